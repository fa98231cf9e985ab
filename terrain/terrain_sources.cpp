#include "terrain_sources.h"

#include <cmath>

#include "codegen/engine.h"
#include "codegen/macro_fields.h"
#include "ui/fileio.h"
#include "ui/format.h"
#include "ui/platform.h"
#include "workbench/asm_line.h"
#include "workbench/paths.h"
#include "workbench/placement.h"
#include "workbench/text_file.h"

namespace terrain {

namespace {

const char* const kNotComplete = "(This version of gorvane is not complete yet...)";

// Banner, the 168-byte BGL header over the reference point's level-8 cell, and the label of the
// terrain header that follows.
std::vector<std::string> banner_and_header(const QuadPlacement& r, const std::string& version) {
    auto bound = [](std::int32_t v) { return "    dd  " + ui::asm_hex(static_cast<std::uint32_t>(v)); };
    return {"; ========= Gorvane " + version + ". TMF Know How and macros by " + kMacroCredit,
            "",
            "header label BGLCODE",
            "    dw  1",
            bound(r.north_west.latitude),
            bound(r.south_east.latitude),
            bound(r.south_east.longitude),
            bound(r.north_west.longitude),
            "    dd  9 dup(0)",
            "    dd  (offset terrain_data) - (offset header)",
            "    dd  15 dup(0)",
            "    dd  87654321h",
            "    dw  3 dup(0)",
            "    dd  10 dup(0)",
            "",
            "terrain_data label BGLCODE",
            "    dd  (offset terrain_header_end) - (offset terrain_data)",
            "    dd  0202h"};
}

void append(std::vector<std::string>& to, std::initializer_list<std::string> lines) {
    to.insert(to.end(), lines.begin(), lines.end());
}

std::string group_numbers(const QuadPlacement& g) { return std::to_string(g.row) + ", " + std::to_string(g.column); }

bool read_number(const std::string& text, const std::string& what, double& value) {
    bool ok = false;
    value = ui::to_number(text, &ok);
    if (!ok)
        ui::warning_box("The " + what + " \"" + text + "\" is not a number. Change it with the \"Parameters\" button.");
    return ok;
}

// Everything checked and built: ask before replacing a source of this run, report each point
// outside the reference quad, write the file whole and say how to compile it.
SourceStatus deliver(const TerrainInput& in, const PlacedShape& s, const std::string& file,
                     const std::vector<std::string>& lines, bool whole_coordinates, const std::string& how_to_compile) {
    const std::string path = wb::program_file(file);
    if (cg::refuse_unwritable(lines)) return SourceStatus::Refused;
    if (in.sources.count(file) > 0) {
        const ui::Answer a = ui::platform().message_box(
            {"The file '" + path + "' already holds the polygon of a material processed since this pair was opened." +
                 "\r\nReplace it with the polygon of this material?",
             "", ui::Icon::Question, ui::Buttons::YesNo});
        if (a != ui::Answer::Yes) return SourceStatus::Refused;
    }
    for (const PlacedPoint& p : s.points) {
        if (!p.outside) continue;
        double x = p.x * s.scale_factor, z = p.z * s.scale_factor;
        if (whole_coordinates) x = std::floor(x), z = std::floor(z);
        ui::warning_box("Point out of LOD13 quad :\r\nThe point at coordinates " + ui::num(x) + ", " + ui::num(z) +
                        "is out of the LOAD quad.");
    }
    ui::write_file_atomic(path, wb::lines_file_text(lines));
    in.sources.add(file);
    ui::information_box("The file '" + path + "' has been created.\r\n" + how_to_compile + "\r\n" + kNotComplete);
    return SourceStatus::Written;
}

bool refused(const std::string& why) {
    if (why.empty()) return false;
    ui::warning_box(why);
    return true;
}

}  // namespace

Degrees place_point(const wb::PlacementOperands& placement, long heading, double x, double z) {
    cg::PlacementRecord r;
    static_cast<wb::Position&>(r) = placement;
    r.x = x;
    r.z = z;
    r.scale = placement.scale;
    r.heading = heading;
    return placement_to_degrees(cg::place_offset(r));
}

std::string place_shape(const ShapeInput& in, PlacedShape& s) {
    const wb::LineArray& lines = in.asm_lines;
    const long material_line = in.material.material_line;
    if (material_line < 1 || material_line + 1 >= lines.top())
        return "The selected material has no drawing block in the object file.";
    const long start = material_line + 1;
    const long end = wb::find_line("DRAW_TRI_END", lines, start, false);
    if (end == 0) return "The drawing block of the selected material has no DRAW_TRI_END line.";
    TriangleList triangles;
    if (std::string why = triangles_of_block(lines, start, end, triangles); !why.empty()) return why;
    const char* const how = "\r\nModel the area in gmax as a fan: one vertex in its middle and one triangle from it "
                            "to each side of the outline.\r\nNothing was written.";
    if (triangles.size() < kFewestOutlinePoints)
        return "The selected material gives a polygon of " + std::to_string(triangles.size()) +
               " points, one for each of its triangles: a lake or a decal needs at least " +
               std::to_string(kFewestOutlinePoints) + "." + how;
    if (std::size_t broken = outline_order(triangles))
        return "The selected polygon cannot be used: its triangles do not join into one outline around a centre vertex "
               "(the outline breaks after triangle " + std::to_string(broken) + ")." + how;

    const long at = wb::find_line("SCALE_AGL ", in.azm_lines, 1, false);
    if (at == 0) return wb::kNoPlacementLine;
    const std::string& line = in.azm_lines[at];
    for (int i = 1; i <= 10; ++i)
        if (wb::asm_field(line, i).empty())
            return "The placement line of the header file lacks operands:\r\n" + wb::trim(line);
    const wb::PlacementOperands op = wb::read_placement_operands(line);
    if (op.scale == 0) return "The placement line of the header file has the scale 0:\r\n" + wb::trim(line);

    s.origin = placement_to_degrees(op);
    s.reference = quad_placement(s.origin);
    s.scale_factor = 65536.0 / op.scale;
    const Cell reference_quad = lod13_quad(s.reference);
    s.points.clear();
    for (const Triangle& t : triangles) {
        const long vertex_line = in.vertex_list_start + t.base + t.vertex[0];
        if (vertex_line < 1 || vertex_line >= lines.top())
            return "Vertex " + std::to_string(t.vertex[0]) + " of the selected material lies outside the object file.";
        const cg::Vertex v = cg::read_vertex(lines[vertex_line]);
        const Degrees where = place_point(op, in.heading, v.x, v.z);
        const QuadPlacement q = quad_placement(where);
        const Cell quad = lod13_quad(q);
        s.points.push_back({v.x, v.z, where, q, quad.row != reference_quad.row || quad.column != reference_quad.column});
    }
    s.group = s.points.back().quad;
    return "";
}

std::vector<std::string> lake_source(const PlacedShape& s, const std::string& version, long altitude_metres,
                                     bool lake) {
    std::vector<std::string> l = banner_and_header(s.reference, version);
    append(l, {"    dd  12 dup(0)", "    dd  (offset flatten_header) - (offset terrain_data)", "    dd  10 dup(0)",
               "terrain_header_end label BGLCODE", "", "flatten_header label BGLCODE",
               "    FLATTEN_HEADER  513, flatten_list, flatten_data, flatten_end", "flatten_data label BGLCODE",
               "data_start_0 label BGLCODE",
               "    FLATTEN_DATA  1," + quad_numbers(s.reference) + ", 1, 1, " + (lake ? "1" : "0"),
               "    FLATTEN_POLYGON " + std::to_string(s.points.size()) + ", " + std::to_string(altitude_metres) +
                   ", 0"});
    for (const PlacedPoint& p : s.points)
        l.push_back("    FLATTEN_POINT  " + std::to_string(p.quad.east % 256) + ", " + std::to_string(p.quad.south % 256));
    append(l, {"data_end_0 label BGLCODE", "", "flatten_list Label BGLCODE", "    FLATTEN_LIST 1, flatten_groups", "",
               "flatten_groups Label BGLCODE",
               "    FLATTEN_GROUP " + group_numbers(s.group) + ", flatten_data, data_start_0, data_end_0",
               "flatten_end label BGLCODE"});
    return l;
}

std::vector<std::string> decal_source(const PlacedShape& s, const std::string& version, const DecalNumbers& n,
                                      const std::string& texture) {
    std::vector<std::string> l = banner_and_header(s.reference, version);
    append(l, {"    dd  13 dup(0)", "    dd  (offset decal_header) - (offset terrain_data)", "    dd  9 dup(0)",
               "terrain_header_end label BGLCODE", "", "decal_header label BGLCODE",
               "    DECAL_HEADER  256, decal_list, decal_textures, decal_end", "decal_data label BGLCODE",
               "data_start_0 label BGLCODE", "    DECAL_DATA  1," + quad_numbers(s.reference) + ", 1, 0, 0 ",
               "    DECAL_GEOMETRY  1, DECAL_POLYGON, 1, 0", "    DECAL_POINTS " + std::to_string(s.points.size())});
    for (const PlacedPoint& p : s.points)
        l.push_back("    DECAL_POINT  " + ui::num(n.we_offset + std::floor(n.we_span * p.quad.east / 8192)) + ", " +
                    ui::num(n.ns_offset + std::floor(n.ns_span * p.quad.south / 8192)));
    append(l, {"data_end_0 label BGLCODE", "", "decal_list Label BGLCODE", "    DECAL_LIST 1, decal_groups, decal_data",
               "", "decal_groups Label BGLCODE",
               "    DECAL_GROUP " + group_numbers(s.group) + ", decal_data, data_start_0, data_end_0",
               "decal_textures label BGLCODE", "    TEXTURE_HEADER  1, texture_groups, texture_data, texture_end",
               "    texture_groups label BGLCODE",
               "    TEXTURE_GROUP       texture_data,   texture_start_0,    texture_end_0", "texture_data label BGLCODE",
               "texture_start_0 label BGLCODE", "    TEXTURE_DATA  \"" + texture + "\", 0, 1, 4",
               "texture_end_0 label BGLCODE", "texture_end label BGLCODE", "decal_end label BGLCODE"});
    return l;
}

SourceStatus createLakeFileNew(const TerrainInput& in, const TerrainParameters& p) {
    PlacedShape s;
    double feet = 0;
    if (refused(place_shape(in, s)) || !read_number(p.altitude, "flatten altitude", feet)) return SourceStatus::Refused;
    const long metres = static_cast<long>(std::floor(feet / 3.280839895));
    return deliver(in, s, "tmpLake.asm", lake_source(s, p.version, metres, p.lake), false,
                   "You have to compile this file by hand with 'bglc /bgl tmpLake.asm' in a Command Prompt window. ");
}

SourceStatus createDecalFile(const TerrainInput& in, const TerrainParameters& p) {
    PlacedShape s;
    DecalNumbers n;
    if (refused(place_shape(in, s)) || !read_number(p.we_offset, "west-east offset", n.we_offset) ||
        !read_number(p.we_span, "west-east span", n.we_span) || !read_number(p.ns_offset, "north-south offset", n.ns_offset) ||
        !read_number(p.ns_span, "north-south span", n.ns_span))
        return SourceStatus::Refused;
    const std::string texture = wb::trim(p.texture);
    if (texture.empty() || texture.find('"') != std::string::npos) {
        ui::warning_box("The texture number \"" + p.texture + "\" cannot be used. Change it with the \"Parameters\" button.");
        return SourceStatus::Refused;
    }
    return deliver(in, s, "tmpDecal.asm", decal_source(s, p.version, n, texture), true,
                   "You have to compile this decal source by hand with 'bglc /bgl tmpDecal.asm'\r\nin a Command Prompt window. ");
}

}  // namespace terrain
