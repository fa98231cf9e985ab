#include "landing_area.h"

#include <algorithm>
#include <cstdint>
#include <set>

#include "ground_type.h"
#include "macro_fields.h"
#include "ui/fileio.h"
#include "ui/format.h"
#include "ui/platform.h"
#include "workbench/asm_line.h"
#include "workbench/paths.h"
#include "workbench/placement.h"
#include "workbench/save_pair.h"
#include "workbench/text_file.h"

namespace cg {

using wb::trim;
using wb::upper;

namespace {

std::string last(const std::string& s, size_t n) { return s.size() <= n ? s : s.substr(s.size() - n); }

std::string whole(double v) { return ui::num(ui::int_floor(v)); }

// The line of the header that the work file is built from, checked to have `following` lines after it.
long header_line(const LineArray& azm_lines, const std::string& text, long following) {
    const long at = wb::find_line(text, azm_lines, 1, false);
    if (at == 0 || at + following >= azm_lines.top())
        throw UnusableInput("The header file has no line beginning with \"" + wb::squeeze_blanks(text) + "\"" +
                            (at == 0 ? "" : " followed by " + std::to_string(following) + " more lines") +
                            ", so the landing area cannot be written.");
    return at;
}

}  // namespace

double ground_elevation_metres(const std::string& feet) {
    bool ok = false;
    const double v = ui::to_number(feet, &ok);
    if (!ok)
        throw UnusableInput("The ground elevation \"" + feet +
                            "\" is not a number of feet. Set it in the Platform Parameters.");
    return v / 3.280839895;
}

std::string platform_byte_line(const std::string& operand, bool halve) {
    const std::string t = last("00000000" + operand, 9);
    std::string d = t;
    if (halve) {
        const long long v = ui::round_even(ui::val("&H" + t.substr(0, 8)) / 2);
        d = last("000000" + ui::hex(static_cast<std::uint32_t>(v)), 6);
    }
    return "    db  0" + d.substr(4, 2) + "h, " + " 0" + d.substr(2, 2) + "h, " + " 0" + d.substr(0, 2) + "h";
}

bool read_landing_polygon(const LineArray& asm_lines, long material_line, long vertex_list_start,
                          LandingPolygon& polygon) {
    const long first = material_line + 1;
    if (first >= asm_lines.top()) throw UnusableInput("This material has no drawing block.");
    const long base = static_cast<long>(wb::operand_value(wb::asm_field(asm_lines[first], 1)));
    std::set<long> used;
    long at = first + 1;
    for (;; ++at) {
        if (at >= asm_lines.top())
            throw UnusableInput("The drawing block of this material has no DRAW_TRI_END line.");
        const std::string& line = asm_lines[at];
        if (wb::is_draw_tri_end(line)) break;
        if (!wb::begins_with_keyword(line, "DRAW_TRI")) continue;
        for (int i = 1; i <= 3; ++i) used.insert(static_cast<long>(wb::operand_value(wb::asm_field(line, i))));
    }
    polygon.end_line = at;
    if (used.size() < 4 || used.size() > 6) {
        ui::platform().message_box({kBadPlatformPolygon, "", ui::Icon::None, ui::Buttons::Ok});
        return false;
    }
    wb::Polygon& p = polygon.points;
    p.count = 0;
    for (long v : used) {
        const Vertex vertex = read_vertex(block_vertex_line(asm_lines, vertex_list_start + base, v));
        if (p.count == 0) polygon.first_y = vertex.y;
        ++p.count;
        p.x[p.count] = ui::int_floor(vertex.x);
        p.y[p.count] = ui::int_floor(vertex.z);
    }
    return true;
}

std::vector<std::string> platform_code_lines(long n, wb::Polygon points, double altitude) {
    const std::string label = "PLATFORM_" + std::to_string(n) + "_CODE";
    wb::polygon_centre(points);
    wb::sort_polygon_by_angle(points);
    std::string area = "    AREA_SENSE" + std::to_string(points.count) + " " + label + "_END";
    for (int i = 1; i <= points.count; ++i) area += ", " + whole(points.x[i]) + ", " + whole(points.y[i]);
    return {label + " label BGLCODE", area, "    ALTITUDE_SET " + whole(altitude), label + "_END label BGLCODE"};
}

namespace {

// The work file's own BGL header: the model header's bounds and a pointer to the MISC section.
std::vector<std::string> misc_file_header(const LineArray& azm_lines) {
    const long header = header_line(azm_lines, "header label ", 5);
    std::vector<std::string> out;
    for (long i = header; i < header + 6; ++i) out.push_back(azm_lines[i]);
    out.insert(out.end(), {"    dw   42 dup(0)", "    dd   (offset MISC_DATA) - (offset header)", "    dw   11 dup(0)"});
    return out;
}

// The number after the last platform of a MISC section saved into the header (0 for none).
long saved_platforms(const LineArray& azm_lines, long misc_section) {
    long next = 0;
    for (long i = misc_section; misc_section > 0 && i < azm_lines.top(); ++i) {
        const std::string t = trim(azm_lines[i]);
        const size_t end = t.find("_CODE label");
        if (!wb::starts_with(t, "PLATFORM_") || end == std::string::npos || end <= 9) continue;
        const std::string digits = t.substr(9, end - 9);
        if (digits.find_first_not_of("0123456789") == std::string::npos)
            next = std::max(next, std::stol(digits) + 1);
    }
    return next;
}

}  // namespace

std::vector<std::string> new_misc_file(const LineArray& azm_lines, const PlatformParameters& p, double elevation,
                                       long heading, const std::vector<std::string>& code) {
    std::vector<std::string> out = misc_file_header(azm_lines);
    const long object = header_line(azm_lines, "OBJECT_DATA label ", 3);
    const long bounds = header_line(azm_lines, "dw 0001 ", 4);
    const long placement = header_line(azm_lines, "SCALE_AGL ", 0);
    out.push_back("MISC_DATA label word");
    for (long i = object + 1; i <= object + 3; ++i) out.push_back(azm_lines[i]);
    out.insert(out.end(), {"    dd  (offset PLATFORM_0) - (offset MISC_DATA)", "    db  0               ;;EOL", "",
                           "PLATFORM_0 label BGLCODE", "    db 065h",
                           "    db (offset PLATFORM_END) - (offset PLATFORM_0)"});
    for (long i = 1; i <= 4; ++i) out.push_back(platform_byte_line(wb::asm_field(azm_lines[bounds + i], 1), i <= 2));

    std::string place = std::string("    ") + (p.use_agl ? "SCALE_AGL   " : "SCALE   ") + "PLATFORM_END, ";
    for (int i = 2; i <= 8; ++i) place += wb::asm_field(azm_lines[placement], i) + ", ";
    const double e = ui::int_floor(elevation);
    place += p.use_agl ? "0, 0" : ui::num(e) + ", " + whole(65536 * (elevation - e));
    out.push_back(place);
    out.push_back("    INSTANCE_CALL  PLATFORM_0_CODE, 0,0," + std::to_string(heading));
    out.push_back("    JUMP PLATFORM_END");
    out.push_back("");
    out.insert(out.end(), code.begin(), code.end());
    out.insert(out.end(), {"    BGL_RETURN", "", "PLATFORM_END label BGLCODE", "    dd 0    ;The end"});
    return out;
}

std::vector<std::string> add_platform_code(const LineArray& misc, const std::vector<std::string>& code) {
    long ret = 1;
    while (ret < misc.top() && !wb::starts_with(trim(misc[ret]), "BGL_RETURN")) ++ret;
    if (ret >= misc.top())
        throw UnusableInput(std::string(kMiscFile) + " has no BGL_RETURN line, so no further landing area can be added.");
    std::vector<std::string> out;
    for (long i = 1; i < ret; ++i) out.push_back(misc[i]);
    out.insert(out.end(), code.begin(), code.end());
    for (long i = ret; i < misc.top(); ++i) out.push_back(misc[i]);
    return out;
}

long write_landing_area(const LandingAreaInput& in, const PlatformParameters& p, wb::GeneratedSources& sources,
                        std::vector<long>& consumed) {
    if (wb::find_line("SCALE_AGL ", in.azm_lines, 1, false) == 0) throw NoPlacementLine();
    const double elevation = ground_elevation_metres(p.ground_elevation);
    // Save hangs the MISC section on the header's object pointer, or on the section an earlier
    // save left: a header with neither can never take a landing area.
    const long saved = wb::find_misc_section(in.azm_lines);
    if (!saved) header_line(in.azm_lines, wb::kObjectDataPointer, 1);
    LandingPolygon polygon;
    if (!read_landing_polygon(in.asm_lines, in.material_line, in.vertex_list_start, polygon)) return -1;

    const std::string path = wb::program_file(kMiscFile);
    const bool exists = ui::file_exists(path);
    // A header saved with landing areas goes on with their MISC section and their numbers.
    const long n = saved_platforms(in.azm_lines, saved) + (exists ? sources.count(kMiscFile) : 0);
    const double altitude = ui::int_floor(polygon.first_y * in.scale_factor) + ui::int_floor(elevation);
    const std::vector<std::string> code = platform_code_lines(n, polygon.points, altitude);
    std::vector<std::string> file;
    if (exists) {
        file = add_platform_code(LineArray::from_lines(wb::split_lines(ui::read_file(path))), code);
    } else if (saved) {
        file = misc_file_header(in.azm_lines);
        for (long i = saved; i < in.azm_lines.top(); ++i) file.push_back(in.azm_lines[i]);
        file = add_platform_code(LineArray::from_lines(file), code);
    } else {
        file = new_misc_file(in.azm_lines, p, elevation, in.heading, code);
    }
    if (refuse_unwritable(file)) return -1;
    ui::write_file_atomic(path, wb::lines_file_text(file));
    sources.add(kMiscFile);
    consumed.clear();
    if (!p.keep_polygons)
        for (long i = in.material_line + 1; i <= polygon.end_line; ++i) consumed.push_back(i);
    return 0;
}

long generate_landing_area(MarkerInput in, const PlatformParameters& p, bool& rejected) {
    std::vector<long> consumed;
    const LandingAreaInput li{in.asm_lines.lines(), in.azm_lines, in.materials.row(in.row).material_line,
                              in.vertex_list_start, in.pair->scale_factor, in.heading};
    if (write_landing_area(li, p, *in.generated, consumed) != 0) {
        rejected = true;
        return 0;
    }
    for (long i : consumed) in.asm_lines.comment_out(i);
    return 0;
}

}  // namespace cg
