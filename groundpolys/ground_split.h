#pragma once
// Ground polygons: the material blocks of a scenery export that lie flat on the ground (every
// corner at height 0) move into a ground source of their own, drawn with a z-bias in a chosen
// ground layer, so they no longer flicker against the terrain.
#include <string>

namespace groundpolys {

// The first characters of a drawing file already split.
inline constexpr const char* kMarkerStart = ";gorvane GS";

struct SplitRequest {
    std::string input_base;   // input base + "_0.asm" and ".asm" are read
    std::string output_base;  // output base + "_0.asm", "_SH_0.asm" and "_SH.asm" are written
    std::string zbias;        // text of the z-bias box (checked as checked_zbias does)
    std::string layer;        // text of the layer box
    std::string version;      // the main window's version text
};

// Splits the export. Every output is built in memory and the three files are written together
// only when the whole split succeeded. Shows the boxes of each outcome; true when written.
bool split_ground_polygons(const SplitRequest& request);

// The z-bias box after it lost the focus: below 0 becomes "0", above 9 "9", then the text is
// replaced by its numeric value.
std::string checked_zbias(const std::string& text);

}  // namespace groundpolys
