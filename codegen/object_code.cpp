#include "object_code.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <vector>

#include "ui/format.h"
#include "ui/platform.h"
#include "workbench/asm_line.h"
#include "workbench/paths.h"
#include "workbench/placement.h"

namespace cg {

NoPlacementLine::NoPlacementLine() : UnusableInput(wb::kNoPlacementLine) {}

std::string object_placement_line(const LineArray& azm_lines, const Vertex& v, bool on_ground,
                                  const std::string& terrain_alt_feet, long heading, const std::string& skip_label) {
    const long at = wb::find_line("SCALE_AGL ", azm_lines, 1, false);
    if (at == 0) throw NoPlacementLine();
    const wb::PlacementOperands op = wb::read_placement_operands(azm_lines[at]);

    PlacementRecord r;
    static_cast<Position&>(r) = op;
    r.x = v.x;
    r.y = v.y;
    r.z = v.z;
    // Feet of terrain elevation turned into model units, so that place_offset adds metres.
    if (!on_ground) r.y += ui::val(terrain_alt_feet) * (op.scale / 65536.0) * 0.3048;
    r.scale = op.scale;
    r.heading = heading;
    const Position p = place_offset(r);

    return (on_ground ? "    SCALE_AGL   " : "    SCALE   ") + skip_label + ", " + std::to_string(op.op2) + ", " +
           std::to_string(op.op3) + ", " + std::to_string(op.scale) + ", " + whole_hex(p.latitude) + ", " +
           fraction_hex(p.latitude_fraction) + ", " + whole_hex(p.longitude) + ", " +
           fraction_hex(p.longitude_fraction) + ", " + whole_hex(p.altitude) + ", " + fraction_hex(p.altitude_fraction);
}

long highest_skip_label(const LineArray& asm_lines) {
    long highest = 0;
    const long last = std::min(asm_lines.top(), asm_lines.size() - 1);
    for (long i = 1; i <= last; ++i) {
        const std::string& line = asm_lines[i];
        size_t at = line.find_first_not_of(" \t");
        if (at == std::string::npos || line.compare(at, 5, "SKIP_") != 0) continue;
        at += 5;
        if (line.compare(at, 2, "FX") == 0) at += 2;
        else if (line.compare(at, 3, "LIB") == 0) at += 3;
        else continue;
        long n = 0;
        for (; at < line.size() && std::isdigit(static_cast<unsigned char>(line[at])) && n < 100000000; ++at)
            n = n * 10 + (line[at] - '0');
        highest = std::max(highest, n);
    }
    return highest;
}

namespace {

// The common walk of effects and library objects: a placement block per triangle, each ended by
// its skip label, and a closing label for the material.
template <typename Call>
long place_objects(MarkerInput& in, const std::string& stem, bool on_ground, const std::string& terrain_alt,
                   Call call_line, LineArray& new_code) {
    const wb::MaterialRow& m = in.materials.row(in.row);
    BlockWalk walk(in.asm_lines, m.material_line, in.vertex_list_start);
    long count = 0;
    while (walk.on_triangle()) {
        const Vertex v = read_vertex(walk.vertex_line(walk.corner(1)));
        walk.next();
        // Numbered by the line after the triangle, so labels stay unique within the file.
        const std::string skip = stem + std::to_string(in.skip_label_base + walk.block_line());
        put_line(new_code, count + 1, object_placement_line(in.azm_lines, v, on_ground, terrain_alt, in.heading, skip));
        put_line(new_code, count + 2, call_line());
        put_line(new_code, count + 3, skip + "  label BGLCODE");
        count += 3;
    }
    walk.finish();
    // The closing label carries the material row: two materials of one kind on the same pair
    // would otherwise define the same label twice and the pair would no longer compile.
    put_line(new_code, count + 1, stem + "_END" + std::to_string(in.row) + "  label BGLCODE");
    add_lines(new_code, count + 1);
    return count;
}

std::string f6(double v) { return ui::format(v, "0.0#####"); }

}  // namespace

long generate_effects(MarkerInput in, const MarkerParameters& p, LineArray& new_code) {
    const std::string call = "    KZV_FX1 \"" + p.effect_name + "\" , \"" + p.time_constraints + "\"";
    return place_objects(in, "SKIP_FX", p.fx_on_ground, p.fx_terrain_alt, [&] { return call; }, new_code);
}

long generate_library(MarkerInput in, const MarkerParameters& p, LineArray& new_code) {
    const std::string call = "    KZV_LIBRARY_CALL " + p.guid;
    return place_objects(in, "SKIP_LIB", p.lib_on_ground, p.lib_terrain_alt, [&] { return call; }, new_code);
}

long generate_library_new(MarkerInput in, const MarkerParameters& p, LineArray& new_code) {
    const wb::MaterialRow& m = in.materials.row(in.row);
    const std::string s = ui::format(ui::val(p.scale), "0.0");
    BlockWalk walk(in.asm_lines, m.material_line, in.vertex_list_start);
    long count = 0;
    while (walk.on_triangle()) {
        const std::string& v = walk.vertex_line(walk.corner(1));
        const std::string x = wb::trim(wb::asm_field(v, 1)), y = wb::trim(wb::asm_field(v, 2)),
                          z = wb::trim(wb::asm_field(v, 3));
        walk.next();
        put_line(new_code, count + 1,
                 "    BGL_TRANSFORM_MAT " + x + ", " + y + ", " + z + ", " + s + ", 0.0, 0.0, " + "0.0, " + s +
                     ", 0.0, " + "0.0, 0.0, " + s);
        put_line(new_code, count + 2, "    KZV_LIBRARY_CALL " + p.guid);
        put_line(new_code, count + 3, "    BGL_TRANSFORM_END");
        count += 3;
    }
    walk.finish();
    add_lines(new_code, count);
    return count;
}

long generate_windsock(MarkerInput in, const MarkerParameters& p, LineArray& new_code, bool& rejected) {
    rejected = false;
    const wb::MaterialRow& m = in.materials.row(in.row);

    // First the whole block is read and checked, without changing a line: a triangle without
    // height must leave the source exactly as it was.
    std::vector<std::string> socks;
    {
        const LineArray& lines = in.asm_lines.lines();
        const long first_line = m.material_line + 1;
        const long vertex_base = static_cast<long>(wb::operand_value(wb::asm_field(lines[first_line], 1)));
        const long first_vertex_line = in.vertex_list_start + vertex_base;
        for (long at = first_line + 1; wb::is_triangle_line(lines[at]); ++at) {
            const std::string tri = wb::trim(lines[at]);
            double X[4], Y[4], Z[4];
            for (int i = 1; i <= 3; ++i) {
                const long vl = first_vertex_line + static_cast<long>(wb::operand_value(wb::asm_field(tri, i)));
                if (vl < 1 || vl >= lines.top()) ui::raise(ui::kSubscriptOutOfRange);
                const Vertex v = read_vertex(lines[vl]);
                X[i] = v.x;
                Y[i] = v.y;
                Z[i] = v.z;
            }
            // The mast stands at the lowest corner (the first of equally low ones).
            int low = 1;
            double lowest = 99999.999;
            for (int i = 1; i <= 3; ++i)
                if (Y[i] < lowest) lowest = Y[i], low = i;
            std::swap(X[1], X[low]);
            std::swap(Y[1], Y[low]);
            std::swap(Z[1], Z[low]);
            const double h = Y[2] - Y[1];
            if (h < 0.1) {
                ui::warning_box(kWindsockZeroHeight);
                rejected = true;
                return 0;
            }
            const double d = std::sqrt((X[3] - X[2]) * (X[3] - X[2]) + (Z[3] - Z[2]) * (Z[3] - Z[2]));
            socks.push_back("    KZV_WINDSOCK " + f6(X[1]) + ", " + f6(Y[1]) + ", " + f6(Z[1]) + ", " + f6(h) + ", " +
                            f6(d) + ", " + "0FF" + wb::swap_colour_bytes(p.mast_colour) + "h, 0FF" + m.colour +
                            "h," + (p.lit ? "1" : "0"));
        }
    }

    BlockWalk walk(in.asm_lines, m.material_line, in.vertex_list_start);
    long count = 0;
    while (walk.on_triangle()) {
        walk.next();
        ++count;
        put_line(new_code, count, socks[static_cast<size_t>(count - 1)]);
    }
    walk.finish();
    add_lines(new_code, count);
    return count;
}

}  // namespace cg
