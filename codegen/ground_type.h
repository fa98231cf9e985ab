#pragma once
// Ground types: a rectangle drawn as two triangles sets the simulator's surface type. Process
// queues a placement block after the model's "BGL_END" that calls a small subroutine at the
// rectangle's centre; the subroutines of all ground-type materials collect in "tmpSurf.txt",
// which Save appends to the object file.
#include <optional>
#include <string>
#include <vector>

#include "object_code.h"

namespace cg {

// The surface types of the list, in its order.
extern const char* const kSurfaceTypes[8];

struct SurfaceParameters {
    std::string surface_type = "CONCRETE";
    bool keep_polygons = false;  // the marking triangles stay in the drawing code
};

inline constexpr const char* kNotARectangle =
    "This shape cannot be used for surface type definition. You need to define a 4-point rectanlge.";
inline constexpr const char* kSurfaceFile = "tmpSurf.txt";

// The vertex line of vertex number `vertex` of a block whose vertices start at first_vertex_line.
// Throws UnusableInput when that line is not a vertex line.
const std::string& block_vertex_line(const LineArray& asm_lines, long first_vertex_line, long vertex);

// The stem of a material row's labels: "SKIP_GROUND_" + row.
std::string ground_stem(long row);

// Extents of the block's first four vertices (x east, z north) and the middle of their box.
struct GroundRectangle {
    double min_x = 100000, max_x = -100000, min_z = 100000, max_z = -100000;
    double centre_x = 0, centre_z = 0;
};

// A ground-type block as Process consumes it: its lines, checked before anything changes.
struct GroundBlock {
    long first_line = 0;        // the "DRAW_TRI_BEGIN" line
    long end_line = 0;          // the block's closing line
    GroundRectangle rectangle;
};

// Reads the block of the "MATERIAL" line at material_line. False when it is not exactly two
// triangle lines ("DRAW_TRI ", letter case ignored); throws UnusableInput when one of the four
// vertex lines is missing. Changes nothing.
bool read_ground_block(const LineArray& asm_lines, long material_line, long vertex_list_start, GroundBlock& block);

// The placement block: the subroutine placed at the rectangle's centre with the model's heading.
std::vector<std::string> ground_placement_lines(const std::string& stem, const wb::PlacementOperands& placement,
                                                const GroundRectangle& r, long heading);
// The subroutine that sets the surface type over the rectangle's whole width and length.
std::vector<std::string> ground_subroutine_lines(const std::string& stem, const std::string& surface_type,
                                                 const GroundRectangle& r);

// The ground-type generator: checks the block, then queues the placement block in new_code
// (returns 3) and gives the subroutine lines in *in.work_lines. A block that is not two
// triangles, or a material whose ground type an earlier save already holds, is refused after
// its box (`rejected`, nothing changed). Keep Polygons leaves every line of the block as it is.
long generate_ground_type(MarkerInput in, const SurfaceParameters& p, LineArray& new_code, bool& rejected);

// Appends lines to a work file in the program folder (created when missing), written whole;
// returns the file's previous contents (nothing when it did not exist), for restore_work_file.
std::optional<std::string> append_work_file(const std::string& name, const std::vector<std::string>& lines);
void restore_work_file(const std::string& name, const std::optional<std::string>& previous);

}  // namespace cg
