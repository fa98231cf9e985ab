#include "ground_type.h"

#include <algorithm>
#include <cmath>

#include "ui/fileio.h"
#include "ui/format.h"
#include "ui/platform.h"
#include "workbench/asm_line.h"
#include "workbench/geometry.h"
#include "workbench/paths.h"
#include "workbench/placement.h"
#include "workbench/text_file.h"

namespace cg {

const char* const kSurfaceTypes[8] = {"CONCRETE", "GRASS_LANDABLE", "WATER",      "GRASS_BUMPY",
                                      "ASPHALT",  "GRASS_SHORT",    "GRASS_LONG", "HARD_TURF"};

using wb::trim;
using wb::upper;

const std::string& block_vertex_line(const LineArray& asm_lines, long first_vertex_line, long vertex) {
    const long at = first_vertex_line + vertex;
    if (vertex < 0 || at < 1 || at >= asm_lines.top() || !wb::begins_with_keyword(asm_lines[at], "VERTEX_DEF"))
        throw UnusableInput("The triangles of this material use vertex " + std::to_string(vertex) +
                            ", which is not in the vertex list. Export the model again.");
    return asm_lines[at];
}

std::string ground_stem(long row) { return "SKIP_GROUND_" + std::to_string(row); }

bool read_ground_block(const LineArray& asm_lines, long material_line, long vertex_list_start, GroundBlock& block) {
    auto triangle = [&](long at) {
        return at < asm_lines.top() && wb::is_triangle_line(asm_lines[at]);
    };
    block.first_line = material_line + 1;
    if (block.first_line >= asm_lines.top()) return false;
    long at = block.first_line + 1;
    while (triangle(at)) ++at;
    if (at - block.first_line - 1 != 2) return false;
    block.end_line = at;

    const long base = static_cast<long>(wb::operand_value(wb::asm_field(asm_lines[block.first_line], 1)));
    GroundRectangle& r = block.rectangle;
    wb::Polygon p;
    p.count = 4;
    for (int i = 0; i < 4; ++i) {
        const Vertex v = read_vertex(block_vertex_line(asm_lines, vertex_list_start + base, i));
        r.min_x = std::min(r.min_x, v.x);
        r.max_x = std::max(r.max_x, v.x);
        r.min_z = std::min(r.min_z, v.z);
        r.max_z = std::max(r.max_z, v.z);
        p.x[i + 1] = v.x;
        p.y[i + 1] = v.z;
    }
    wb::polygon_centre(p);
    r.centre_x = p.centre_x;
    r.centre_z = p.centre_y;
    return true;
}

std::vector<std::string> ground_placement_lines(const std::string& stem, const wb::PlacementOperands& placement,
                                                const GroundRectangle& r, long heading) {
    PlacementRecord record;
    static_cast<Position&>(record) = placement;
    record.x = r.centre_x;
    record.z = r.centre_z;
    record.scale = placement.scale;
    record.heading = heading;
    const Position p = place_offset(record);
    return {"    SCALE_AGL   " + stem + ", " + std::to_string(placement.op2) + ", " + std::to_string(placement.op3) +
                ", " + std::to_string(placement.scale) + ", " + whole_hex(p.latitude) + ", " +
                fraction_hex(p.latitude_fraction) + ", " + whole_hex(p.longitude) + ", " +
                fraction_hex(p.longitude_fraction) + ", 0,0",
            "    INSTANCE_CALL " + stem + "_CODE,0,0," + std::to_string(wb::fraction_to_unsigned(double(heading))),
            stem + "  label BGLCODE"};
}

std::vector<std::string> ground_subroutine_lines(const std::string& stem, const std::string& surface_type,
                                                 const GroundRectangle& r) {
    const auto whole = [](double v) { return ui::num(ui::int_floor(std::abs(v))); };
    return {stem + "_CODE label BGLCODE",
            "    SET_SURFACE_TYPE " + surface_type + ", " + whole(r.max_x - r.min_x) + "," + whole(r.max_z - r.min_z) +
                ", 0",
            "    BGL_RETURN"};
}

long generate_ground_type(MarkerInput in, const SurfaceParameters& p, LineArray& new_code, bool& rejected) {
    if (in.pair->placement_line.empty()) throw NoPlacementLine();
    const std::string stem = ground_stem(in.row);
    // Kept polygons leave a saved material unprocessed for the next Open: its code is made once.
    if (wb::find_line(stem + " label", in.asm_lines.lines(), 1, false) != 0) {
        ui::warning_box("The object file already holds the ground type of this material (" + stem +
                        ", saved with Keep Polygons). It is not made twice.");
        rejected = true;
        return -1;
    }
    GroundBlock b;
    if (!read_ground_block(in.asm_lines.lines(), in.materials.row(in.row).material_line, in.vertex_list_start, b)) {
        ui::platform().message_box({kNotARectangle, "", ui::Icon::None, ui::Buttons::Ok});
        rejected = true;
        return -1;
    }
    const std::vector<std::string> placement = ground_placement_lines(stem, in.pair->placement, b.rectangle, in.heading);
    if (!p.keep_polygons)
        for (long i = b.first_line; i <= b.end_line; ++i) in.asm_lines.comment_out(i);
    for (size_t k = 0; k < placement.size(); ++k) put_line(new_code, static_cast<long>(k) + 1, placement[k]);
    add_lines(new_code, static_cast<long>(placement.size()));
    *in.work_lines = ground_subroutine_lines(stem, p.surface_type, b.rectangle);
    return 3;
}

std::optional<std::string> append_work_file(const std::string& name, const std::vector<std::string>& lines) {
    const std::string path = wb::program_file(name);
    std::optional<std::string> previous;
    if (ui::file_exists(path)) previous = ui::read_file(path);
    ui::write_file_atomic(path, previous.value_or("") + wb::lines_file_text(lines));
    return previous;
}

void restore_work_file(const std::string& name, const std::optional<std::string>& previous) {
    const std::string path = wb::program_file(name);
    if (previous) ui::write_file_atomic(path, *previous);
    else ui::delete_file(path);
}

}  // namespace cg
