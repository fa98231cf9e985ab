#pragma once
// The terrain sources written beside the model: a flatten polygon (optionally a lake) in
// "tmpLake.asm" and a textured decal in "tmpDecal.asm", both the polygon of one material placed
// on the globe through the model's placement and expressed on the LOD13 quad grid. The user
// compiles them by hand with "bglc /bgl".
#include <string>
#include <vector>

#include "geo.h"
#include "workbench/generated_sources.h"
#include "workbench/source_pair.h"

namespace terrain {

// The credit at the end of the sources' first line: the terrain macros are our own.
inline constexpr const char* kMacroCredit = "the Gorvane authors";

// The lake and decal fields of the main window, as typed.
struct TerrainParameters {
    std::string altitude = "20";  // hldAlt, flatten altitude in feet
    bool lake = false;            // hldLake
    std::string texture = "1207";  // hldTextNumber
    std::string we_offset = "4080", we_span = "8160";  // hldWEOffset, hldWESpan
    std::string ns_offset = "4080", ns_span = "8160";  // hldNSOffset, hldNSSpan
    std::string version = "v0.31b";  // the version shown on the main window
};

// What the polygon of a material is made of: the open pair's lines, the material's row, the
// model's vertex list and heading. Neither line array is changed.
struct ShapeInput {
    const wb::LineArray& asm_lines;
    const wb::LineArray& azm_lines;
    const wb::MaterialRow& material;
    long vertex_list_start = 0;
    long heading = 0;  // model heading, 1/65536 of a turn
};

// What the writers need besides: the sources written since Open.
struct TerrainInput : ShapeInput {
    wb::GeneratedSources& sources;
};

enum class SourceStatus {
    Written,  // the file is written and the user was told how to compile it
    Refused,  // a box said why; no file was touched
};

// A point of the model (x east, z north, in model units) on the globe: placed through the
// model's placement and heading by place_offset and read back in the form that makes.
Degrees place_point(const wb::PlacementOperands& placement, long heading, double x, double z);

// The polygon of a material on the grid: the reference point's placement, each point's, and
// the placement the group record takes (the last point's).
struct PlacedPoint {
    double x = 0, z = 0;  // model units
    Degrees where;
    QuadPlacement quad;
    bool outside = false;  // not in the reference point's LOD13 quad
};
struct PlacedShape {
    Degrees origin;  // the model's placement
    QuadPlacement reference;
    std::vector<PlacedPoint> points;
    QuadPlacement group;
    double scale_factor = 0;  // metres per model unit
};

// The fewest outline points a lake or decal polygon can have.
inline constexpr std::size_t kFewestOutlinePoints = 3;

// Places the material's triangles in outline order, one point per triangle; "" or the text of
// the box that refuses it (no block, a broken outline, fewer than three points, no placement).
std::string place_shape(const ShapeInput& in, PlacedShape& shape);

// The decal's four offsets and spans, read from their fields.
struct DecalNumbers {
    double we_offset = 4080, we_span = 8160, ns_offset = 4080, ns_span = 8160;
};
// The full sources, line by line.
std::vector<std::string> lake_source(const PlacedShape& s, const std::string& version, long altitude_metres,
                                     bool lake);
std::vector<std::string> decal_source(const PlacedShape& s, const std::string& version, const DecalNumbers& n,
                                      const std::string& texture);

// The writers of the two kinds. Each checks everything before it writes: the drawing block and
// its outline of at least three points, the placement line, the numbers of the parameter fields.
// A second source of a kind after one Open asks before it replaces the first. Points outside the
// reference LOD13 quad are reported one box each and still written. The file is written whole.
SourceStatus createLakeFileNew(const TerrainInput& in, const TerrainParameters& p);
SourceStatus createDecalFile(const TerrainInput& in, const TerrainParameters& p);

}  // namespace terrain
