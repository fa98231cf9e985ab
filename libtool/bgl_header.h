#pragma once
// The BGL file header: its records, the validity test, opening a file at its header, and the
// three reports (header report, raw header listing, raw section listing).
#include <array>
#include <cstdint>
#include <string>

#include "libtool/bgl_file.h"
#include "libtool/output_sink.h"

namespace libtool {

// The 128-byte header, little-endian and packed; offsets in the comments.
struct BglHeader {
    std::int16_t FL_world_set = 0;          // 0: 1, 3 and 4 are valid
    std::int32_t FL_north_bounds = 0;       // 2: latitude units
    std::int32_t FL_south_bounds = 0;       // 6
    std::int32_t FL_east_bounds = 0;        // 10: longitude units
    std::int32_t FL_west_bounds = 0;        // 14
    std::int32_t FL_vor_ptr = 0;            // 18: section offsets, 0 when absent
    std::int16_t FL_vor_lo = 0;             // 22
    std::int16_t FL_vor_hi = 0;             // 24
    std::array<std::int32_t, 6> FL_free{};  // 26
    std::int32_t FL_msa_data = 0;           // 50
    std::int32_t FL_terrain_data = 0;       // 54
    std::int32_t FL_object_ptr = 0;         // 58
    std::int32_t FL_library_ptr = 0;        // 62: non-zero marks a library file
    std::int32_t FL_facilities_ptr = 0;     // 66
    std::int32_t FL_free_70 = 0;            // 70
    std::int32_t FL_free_74 = 0;            // 74
    std::int32_t FL_adf_data = 0;           // 78
    std::int32_t FL_dynamic_data = 0;       // 82
    std::array<std::int32_t, 2> FL_library_min{};  // 86: lowest object identifier
    std::array<std::int32_t, 2> FL_library_max{};  // 94: highest object identifier
    std::int32_t FL_misc_data = 0;          // 102
    std::int32_t FL_title = 0;              // 106
    std::int32_t FL_magvar = 0;             // 110
    std::int32_t FL_exceptions = 0;         // 114
    std::int32_t FL_magic = 0;              // 118: non-zero: the extension follows
    std::int32_t FL_spare2 = 0;             // 122: non-zero marks a compressed library
    std::int16_t FL_spare3 = 0;             // 126
};

// The 40-byte extension at offset 128, all zeros in the old layout.
struct BglHeaderExt {
    std::int32_t guid_1 = 0;               // 128
    std::int32_t guid_2 = 0;               // 132
    std::int32_t guid_3 = 0;               // 136
    std::int32_t guid_4 = 0;               // 140
    std::int32_t unnamed_144 = 0;          // 144: read, never shown
    std::int32_t build_num = 0;            // 148
    std::int32_t ptr_count = 0;            // 152
    std::int32_t facility2_name_lst = 0;   // 156
    std::int32_t facility2_band_list = 0;  // 160
    std::int32_t facility2_data = 0;       // 164: airport facility data, 0 if none
};

inline constexpr std::size_t kBglHeaderSize = 128;
inline constexpr std::size_t kBglHeaderExtSize = 40;

BglHeader parse_bgl_header(std::span<const std::uint8_t> bytes);     // bytes 0 .. 127
BglHeaderExt parse_bgl_header_ext(std::span<const std::uint8_t> bytes);  // bytes 128 .. 167
std::array<std::uint8_t, kBglHeaderSize> header_bytes(const BglHeader& header);
std::array<std::uint8_t, kBglHeaderExtSize> header_ext_bytes(const BglHeaderExt& ext);

// Results of open_bgl_header (and of the object readers).
enum BglResult : short {
    kBglOpened = 1,
    kBglMissing = -1,      // no such file, or the name does not end in ".BGL"
    kBglNoLibrary = -2,    // no library section
    kBglCompressed = -4,   // compressed library
    kBglInvalid = -8,      // header fails the validity test
};

bool is_valid_world_set(const BglHeader& header);

// Reads the header (and, when FL_magic is non-zero, the extension) of an open file and leaves
// it positioned after them. kBglInvalid when the header fails the test: `header` then holds
// what was read and `extension` is untouched.
short read_bgl_header(BglFile& file, BglHeader& header, BglHeaderExt& extension);

// Opens the file and reads its header: kBglOpened with `file` open and positioned after the
// header, kBglMissing, or kBglInvalid (the file closed again and the path appended as one line
// to "error.txt" in the program folder).
// Appends the path of a file whose header fails the test to "error.txt" in the program folder.
void log_invalid_bgl(const std::string& path);
short open_bgl_header(const std::string& path, BglHeader& header, BglHeaderExt& extension,
                      BglFile& file);

// The header report; with show_raw the raw header listing inside it.
void describe_bgl_header(const BglHeader& header, const BglHeaderExt& extension, bool show_raw,
                         OutputSink& out);
// The raw header listing, also for a header that failed the test.
void dump_raw_header(const BglHeader& header, const BglHeaderExt& extension, OutputSink& out);
// The raw section listing of an open file, built into `text` (which it empties first).
void dump_sections(BglFile& file, const BglHeader& header, std::string& text);

double bgl_latitude(std::int32_t value);   // degrees
double bgl_longitude(std::int32_t value);  // degrees
// "-87* 36.438": whole degrees, "* ", minutes with one to four decimals.
std::string format_degrees(double degrees);

// Upper-case hexadecimal of the value's bit pattern, without leading zeros.
std::string hex_text(std::int32_t value);
std::string hex_text(std::int16_t value);

}  // namespace libtool
