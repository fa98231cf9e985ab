#include "libtool/bgl_header.h"

#include <bit>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <type_traits>

#include "ui/fileio.h"
#include "ui/format.h"
#include "ui/platform.h"

namespace libtool {
namespace {

// Every header field with its offset, for reading and writing the record.
template <class Header, class Visit>
void header_fields(Header& h, Visit&& f) {
    f(0, h.FL_world_set);
    f(2, h.FL_north_bounds);
    f(6, h.FL_south_bounds);
    f(10, h.FL_east_bounds);
    f(14, h.FL_west_bounds);
    f(18, h.FL_vor_ptr);
    f(22, h.FL_vor_lo);
    f(24, h.FL_vor_hi);
    for (std::size_t i = 0; i < h.FL_free.size(); ++i) f(26 + 4 * i, h.FL_free[i]);
    f(50, h.FL_msa_data);
    f(54, h.FL_terrain_data);
    f(58, h.FL_object_ptr);
    f(62, h.FL_library_ptr);
    f(66, h.FL_facilities_ptr);
    f(70, h.FL_free_70);
    f(74, h.FL_free_74);
    f(78, h.FL_adf_data);
    f(82, h.FL_dynamic_data);
    f(86, h.FL_library_min[0]);
    f(90, h.FL_library_min[1]);
    f(94, h.FL_library_max[0]);
    f(98, h.FL_library_max[1]);
    f(102, h.FL_misc_data);
    f(106, h.FL_title);
    f(110, h.FL_magvar);
    f(114, h.FL_exceptions);
    f(118, h.FL_magic);
    f(122, h.FL_spare2);
    f(126, h.FL_spare3);
}

template <class Ext, class Visit>
void ext_fields(Ext& e, Visit&& f) {
    f(0, e.guid_1);
    f(4, e.guid_2);
    f(8, e.guid_3);
    f(12, e.guid_4);
    f(16, e.unnamed_144);
    f(20, e.build_num);
    f(24, e.ptr_count);
    f(28, e.facility2_name_lst);
    f(32, e.facility2_band_list);
    f(36, e.facility2_data);
}

auto reader(std::span<const std::uint8_t> bytes) {
    return [bytes](std::size_t at, auto& field) {
        using T = std::remove_reference_t<decltype(field)>;
        field = static_cast<T>(sizeof(T) == 2 ? le_u32(bytes, at) & 0xFFFF : le_u32(bytes, at));
    };
}

template <std::size_t N>
auto writer(std::array<std::uint8_t, N>& bytes) {
    return [&bytes](std::size_t at, auto field) {
        put_le(bytes, at, static_cast<std::uint32_t>(field), static_cast<int>(sizeof field));
    };
}

// The raw header listing: label, offset of the value in its record's bytes, width.
struct RawLine {
    const char* label;
    std::size_t offset;
    int width;
};

constexpr RawLine kRawHeader[] = {
    {" 000 FL_world_set:        ", 0, 2},   {" 002 FL_north_bounds:     ", 2, 4},
    {" 006 FL_south_bounds:     ", 6, 4},   {" 010 FL_east_bounds:      ", 10, 4},
    {" 014 FL_west_bounds:      ", 14, 4},  {" 018 FL_vor_ptr:          ", 18, 4},
    {" 022 FL_vor_lo:           ", 22, 2},  {" 024 FL_vor_hi:           ", 24, 2},
    {" 026 FL_free[0]:          ", 26, 4},  {" 030 FL_free[1]:          ", 30, 4},
    {" 034 FL_free[2]:          ", 34, 4},  {" 038 FL_free[3]:          ", 38, 4},
    {" 042 FL_free[4]:          ", 42, 4},  {" 046 FL_free[5]:          ", 46, 4},
    {" 050 FL_msa_data:         ", 50, 4},  {" 054 FL_terrain_data:     ", 54, 4},
    {" 058 FL_object_ptr:       ", 58, 4},  {" 062 FL_library_ptr:      ", 62, 4},
    {" 066 FL_facilities_ptr:   ", 66, 4},  {" 070 FL_free_70:          ", 70, 4},
    {" 074 FL_free_74:          ", 74, 4},  {" 078 FL_adf_data:         ", 78, 4},
    {" 082 FL_dynamic_data:     ", 82, 4},  {" 086 FL_library_min[0]:   ", 86, 4},
    {" 090 FL_library_min[1]:   ", 90, 4},  {" 094 FL_library_max[0]:   ", 94, 4},
    {" 098 FL_library_max[1]:   ", 98, 4},  {" 102 FL_misc_data:        ", 102, 4},
    {" 106 FL_title:            ", 106, 4}, {" 110 FL_magvar:           ", 110, 4},
    {" 114 FL_exceptions:       ", 114, 4}, {" 118 FL_magic:            ", 118, 4},
    {" 122 FL_spare2:           ", 122, 4}, {" 126 FL_spare3:           ", 126, 2},
};

// The numbers in the last five labels are 4 below the offsets of their values; the dword at
// 144 is not listed.
constexpr RawLine kRawExt[] = {
    {" 128 guid_1:              ", 0, 4},  {" 132 guid_2:              ", 4, 4},
    {" 136 guid_3:              ", 8, 4},  {" 140 guid_4:              ", 12, 4},
    {" 144 build_num:           ", 20, 4}, {" 148 ptr_count:           ", 24, 4},
    {" 152 facility2_name_lst:  ", 28, 4}, {" 156 facility2_band_list: ", 32, 4},
    {" 160 facility2_data:      ", 36, 4},
};

std::string raw_value(std::span<const std::uint8_t> bytes, const RawLine& line) {
    return line.width == 2 ? hex_text(le_s16(bytes, line.offset))
                           : hex_text(le_s32(bytes, line.offset));
}

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// The last five characters of "00000" + hex(value).
std::string address_label(std::int64_t value) {
    const std::string s = "00000" + ui::hex(static_cast<std::uint32_t>(value));
    return s.substr(s.size() - 5);
}

const char kHexDigits[] = "0123456789ABCDEF";

}  // namespace

BglHeader parse_bgl_header(std::span<const std::uint8_t> bytes) {
    BglHeader h;
    header_fields(h, reader(bytes));
    return h;
}

BglHeaderExt parse_bgl_header_ext(std::span<const std::uint8_t> bytes) {
    BglHeaderExt e;
    ext_fields(e, reader(bytes));
    return e;
}

std::array<std::uint8_t, kBglHeaderSize> header_bytes(const BglHeader& header) {
    std::array<std::uint8_t, kBglHeaderSize> bytes{};
    header_fields(header, writer(bytes));
    return bytes;
}

std::array<std::uint8_t, kBglHeaderExtSize> header_ext_bytes(const BglHeaderExt& ext) {
    std::array<std::uint8_t, kBglHeaderExtSize> bytes{};
    ext_fields(ext, writer(bytes));
    return bytes;
}

bool is_valid_world_set(const BglHeader& header) {
    return header.FL_world_set == 1 || header.FL_world_set == 3 || header.FL_world_set == 4;
}

short read_bgl_header(BglFile& file, BglHeader& header, BglHeaderExt& extension) {
    std::array<std::uint8_t, kBglHeaderSize> bytes{};
    file.seek(0);
    file.read_next(bytes.data(), bytes.size());
    header = parse_bgl_header(bytes);
    if (!is_valid_world_set(header)) return kBglInvalid;
    extension = BglHeaderExt{};
    if (header.FL_magic != 0) {
        std::array<std::uint8_t, kBglHeaderExtSize> ext{};
        file.read_next(ext.data(), ext.size());
        extension = parse_bgl_header_ext(ext);
    }
    return kBglOpened;
}

short open_bgl_header(const std::string& path, BglHeader& header, BglHeaderExt& extension,
                      BglFile& file) {
    file.close();
    if (path.size() < 4 || upper(path.substr(path.size() - 4)) != ".BGL") return kBglMissing;
    if (!ui::file_exists(path) || !file.open(path)) return kBglMissing;
    const short r = read_bgl_header(file, header, extension);
    if (r == kBglInvalid) {
        file.close();
        log_invalid_bgl(path);
    }
    return r;
}

void log_invalid_bgl(const std::string& path) {
    if (std::FILE* log = std::fopen(ui::native_path(ui::program_file("error.txt")).c_str(), "ab")) {
        std::fputs(path.c_str(), log);
        std::fputs(kLineEnd, log);
        std::fclose(log);
    }
}

void describe_bgl_header(const BglHeader& h, const BglHeaderExt& ext, bool show_raw,
                         OutputSink& out) {
    if (!is_valid_world_set(h)) {
        out.append_output("This is not a valid bgl file.");
        return;
    }
    if (h.FL_world_set == 1) out.append_output(" This is a Visual/Default data file");
    if (h.FL_world_set == 4) out.append_output(" This is a Special data file");
    out.append_output(h.FL_magic == 0 ? " Old file format (pre fs-7) "
                                      : " New file format (fs-7, fs-8)");
    out.append_output(" Lat bounds : " + format_degrees(bgl_latitude(h.FL_south_bounds)) +
                      " to " + format_degrees(bgl_latitude(h.FL_north_bounds)));
    out.append_output(" Lon bounds : " + format_degrees(bgl_longitude(h.FL_west_bounds)) +
                      " to " + format_degrees(bgl_longitude(h.FL_east_bounds)));
    out.append_output(std::string(h.FL_spare2 != 0 ? " COMPRESSED" : " UNCOMPRESSED") +
                      " file (FL_Spare2=" + hex_text(h.FL_spare2) + ")");

    struct Section {
        std::int32_t offset;
        const char* present;
        const char* absent;
    };
    const Section sections[] = {
        {h.FL_object_ptr, "  >> OBJECT data at offset ", "    no object data"},
        {h.FL_library_ptr, "  >> LIBRARY data at offset ", "    no library data"},
        {h.FL_terrain_data, "  >> TERRAIN data at offset ", "    no terrain data"},
        {h.FL_msa_data, "  >> MSA (Minimum Safe Altitude Data) at offset ", "    no msa data"},
        {h.FL_vor_ptr, "  >> VOR data at offset ", "    no VOR data"},
        {h.FL_adf_data, "  >> ADF data at offset ", "    no ADF data"},
        {h.FL_facilities_ptr, "  >> FACILITIES data at offset ", "    no facility data"},
        {h.FL_dynamic_data, "  >> DYNAMIC data at offset ", "    no dynamic data"},
        {h.FL_exceptions, "  >> EXCEPTION data at offset ", "    no Ecxeption data"},
        {h.FL_misc_data, "  >> MISC data at offset ", "    no misc data"},
        {h.FL_magvar, "  >> MAGNETIC VARIATION data at offset ", "    no mag.var.data"},
        {h.FL_magic != 0 ? ext.facility2_data : 0, "  >> AIRPORT FACILITY DATA at offset ",
         "    no afd data"},
    };
    for (const auto& s : sections)
        out.append_output(s.offset != 0 ? s.present + hex_text(s.offset) : s.absent);
    if (show_raw) dump_raw_header(h, ext, out);
    out.append_output(std::string(45, '='));
}

void dump_raw_header(const BglHeader& header, const BglHeaderExt& extension, OutputSink& out) {
    out.append_output("-------------------- Raw header data");
    const auto bytes = header_bytes(header);
    for (const auto& line : kRawHeader) out.append_output(line.label + raw_value(bytes, line));
    if (header.FL_magic == 0) return;
    const auto ext = header_ext_bytes(extension);
    for (const auto& line : kRawExt) out.append_output(line.label + raw_value(ext, line));
}

void dump_sections(BglFile& file, const BglHeader& h, std::string& text) {
    text.clear();
    const std::pair<std::int32_t, const char*> sections[] = {
        {h.FL_misc_data, "Misc"},       {h.FL_terrain_data, "Terrain"},
        {h.FL_adf_data, "ADF"},         {h.FL_facilities_ptr, "Facilities"},
        {h.FL_exceptions, "Exceptions"}, {h.FL_library_ptr, "Library"},
        {h.FL_magvar, "Magvar"},        {h.FL_msa_data, "MSA"},
        {h.FL_object_ptr, "Object"},    {h.FL_vor_ptr, "VOR"},
    };
    for (const auto& [offset, name] : sections) {
        if (offset == 0) continue;
        text += "========== ";
        text += name;
        text += " Data at offset " + hex_text(offset) + kLineEnd;
        text += std::string(9, ' ');
        for (std::int64_t i = offset; i < std::int64_t(offset) + 16; ++i) {
            text += kHexDigits[static_cast<std::uint32_t>(i) & 15];
            text += "  ";
        }
        text += kLineEnd;
        text += address_label(offset) + " : ";
        std::array<std::uint8_t, 256> bytes{};
        file.read_at(offset, bytes.data(), bytes.size());
        for (std::size_t k = 1; k <= bytes.size(); ++k) {
            const std::uint8_t b = bytes[k - 1];
            text += kHexDigits[b >> 4];
            text += kHexDigits[b & 15];
            text += ' ';
            if (k % 16 == 0) {
                text += kLineEnd;
                text += address_label(std::int64_t(offset) + std::int64_t(k)) + " : ";
            }
        }
    }
}

double bgl_latitude(std::int32_t value) {
    // 20003494.319128808, exactly the double with the bits 417313AA651B26CFh.
    static const double kDivisor = std::bit_cast<double>(0x417313AA651B26CFull);
    return value * 180.0 / kDivisor;
}

double bgl_longitude(std::int32_t value) { return value * 360.0 / 4294967296.0; }

std::string format_degrees(double degrees) { return ui::degrees_minutes(degrees, "0.0###"); }

std::string hex_text(std::int32_t value) { return ui::hex(static_cast<std::uint32_t>(value)); }

std::string hex_text(std::int16_t value) {
    return ui::hex(static_cast<std::uint16_t>(value));
}

}  // namespace libtool
