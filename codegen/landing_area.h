#pragma once
// Landing areas: a flat polygon of 4 to 6 points on which aircraft can stand. It is not turned
// into drawing code: the writer puts a platform into the work file "tmpMisc.asm" (a source with
// a MISC data section), which Save merges into the header file. The first landing area after
// Open writes the whole file; each later one adds its platform code inside the same instance.
#include <string>
#include <vector>

#include "object_code.h"
#include "workbench/generated_sources.h"
#include "workbench/geometry.h"

namespace cg {

struct PlatformParameters {
    std::string ground_elevation = "0";  // feet
    bool use_agl = false;                // the simulator places the platform on the ground
    bool keep_polygons = false;          // the marking triangles stay in the drawing code
};

inline constexpr const char* kMiscFile = "tmpMisc.asm";
inline constexpr const char* kBadPlatformPolygon =
    "The selected polygon has less than 4 or more than 6 points and cannot be used.\r\n"
    "Also make sure you have created a concave polygon (all internal angles are less than 180 degrees.";

// The ground elevation in metres; throws UnusableInput for a text that is no number.
double ground_elevation_metres(const std::string& feet);

// A byte line of the platform record from operand 1 of a header bound line: the top three
// bytes of the value, least significant first; `halve` first halves the value (latitudes).
std::string platform_byte_line(const std::string& operand, bool halve);

// The polygon of a landing-area block, read without changing anything.
struct LandingPolygon {
    wb::Polygon points;  // x east, y north, whole model units, in vertex-number order
    double first_y = 0;  // height of the lowest-numbered vertex, model units
    long end_line = 0;   // the block's "DRAW_TRI_END" line
};

// The points the triangles of the block after material_line really use, in the order of their
// vertex numbers. False when they are fewer than 4 or more than 6; throws UnusableInput for a
// vertex outside the vertex list or a block without its end line.
bool read_landing_polygon(const LineArray& asm_lines, long material_line, long vertex_list_start,
                          LandingPolygon& polygon);

// The code of platform n: an area-sense polygon round its centre and the platform's altitude.
std::vector<std::string> platform_code_lines(long n, wb::Polygon points, double altitude);

// The whole work file for the first platform (n = 0): the header's bounds, the MISC section with
// its one pointer, the platform record placed like the model, and the platform code. Throws
// UnusableInput when the header lacks a line the file is built from.
std::vector<std::string> new_misc_file(const LineArray& azm_lines, const PlatformParameters& p, double elevation,
                                       long heading, const std::vector<std::string>& code);
// An existing work file with a later platform's code put before its "BGL_RETURN" line.
std::vector<std::string> add_platform_code(const LineArray& misc, const std::vector<std::string>& code);

struct LandingAreaInput {
    const LineArray& asm_lines;
    const LineArray& azm_lines;
    long material_line = 0;
    long vertex_list_start = 0;
    double scale_factor = 0;  // metres per model unit
    long heading = 0;         // model heading, 1/65536 of a turn
};

// Writes the landing area into "tmpMisc.asm" in the program folder, whole, and counts it in
// `sources`. Its platform number counts the platforms written since Open (0 when the file does
// not exist yet), after those that an earlier save left in the header; such a header's MISC
// section is carried on rather than started again. Returns 0, or -1 after the box when the
// polygon is refused. On success `consumed` receives the lines to comment out (none when the
// polygons are kept); on any failure nothing is written and nothing counted.
long write_landing_area(const LandingAreaInput& in, const PlatformParameters& p, wb::GeneratedSources& sources,
                        std::vector<long>& consumed);

// The landing-area step of Process: the writer above on the pair, then the block's lines
// commented out through in.asm_lines. `rejected` when the polygon was refused (after its box).
long generate_landing_area(MarkerInput in, const PlatformParameters& p, bool& rejected);

}  // namespace cg
