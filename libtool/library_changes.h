#pragma once
// Changes the library browser makes to an uncompressed library BGL: the byte copy used for
// backups and restores, the universal area bounds, a new object identifier, and the change log.
// Every change goes through a temporary file renamed over the library, so that a failure leaves
// the library whole.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "libtool/library_objects.h"
#include "ui/platform.h"

namespace libtool {

// The backup of a library: its full name + ".bck".
std::string backup_path(const std::string& library);

// Makes target an exact copy of source (through a temporary file and a rename, so a shorter
// source leaves no old tail behind). Throws ui::RuntimeError 53 when source is missing, 75
// when either side cannot be read or written.
void copy_file(const std::string& source, const std::string& target);

// The area bounds that let a library's objects be placed anywhere: world set 1, north 00A00000h,
// south FF600000h, east 0, west FFFFFFFFh, little-endian over bytes 0 .. 17.
inline constexpr std::array<std::uint8_t, 18> kUniversalBounds = {
    0x01, 0x00, 0x00, 0x00, 0xA0, 0x00, 0x00, 0x00, 0x60,
    0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF};

// Writes the universal bounds over the start of the library; the rest stays byte for byte.
void write_universal_bounds(const std::string& library);

// The library's bytes with one object's new identifier in its object header and in its index
// entry, for the caller to write. Both places are checked against `current` (the identifier
// the list shows); nothing when either disagrees or lies outside the file.
std::optional<std::string> with_new_identifier(const std::string& library, const LibraryObjectRecord& object,
                                               const std::string& current, const Identifier& replacement);

// "2026-12-08 14:22:31".
std::string time_text(const ui::LocalTime& t);

// Appends one line (CR LF) to "libLog.txt" in the folder.
void append_change_log(const std::string& folder, const std::string& line);

}  // namespace libtool
