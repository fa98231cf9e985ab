#pragma once
// The lake and decal fields of the main window, and "tmf.ini", where the terrain parameters
// dialog keeps five of them: line 1 "v1", then the texture number, the north-south offset and
// span, the west-east offset and span.
#include <string>

#include "ui/controls.h"

namespace wb {

struct TerrainFields {
    ui::Control& hldAlt;
    ui::Control& hldLake;
    ui::Control& hldTextNumber;
    ui::Control& hldNSOffset;
    ui::Control& hldNSSpan;
    ui::Control& hldWEOffset;
    ui::Control& hldWESpan;
};

// Writes the file whole; throws ui::RuntimeError when it cannot.
void write_tmf_settings(const std::string& path, const TerrainFields& f);
// Puts an existing file's texture (as written) and numbers (as decimal texts of their values)
// into the five fields; a line without a number or with one past the range of numbers, a
// missing or an unreadable file leave their fields as they are.
void read_tmf_settings(const std::string& path, TerrainFields& f);

}  // namespace wb
