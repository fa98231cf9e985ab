#pragma once
// Kinds whose triangles only mark where objects go: effects and library objects placed in the
// world (one placement block per triangle, after the model's "BGL_END"), library objects
// called inside the model ("Library New") and windsocks.
#include <string>
#include <vector>

#include "engine.h"

namespace cg {

// The parameters of these kinds, as the main window holds them.
struct MarkerParameters {
    // Effects
    std::string effect_name;
    std::string time_constraints = "MOY=01,12;DOM=01,31;HOD=00,23;MOH=00,59;";
    bool fx_on_ground = false;
    std::string fx_terrain_alt = "0";  // feet
    // Library, Library New
    std::string guid = "05ADE0809h,042E14DCFh,073AEB9A1h,089EC6060h";
    std::string scale = "0.5";
    bool lib_on_ground = false;
    std::string lib_terrain_alt = "0";  // feet
    // Windsock
    std::string mast_colour = "10F0F0";  // blue-green-red digits as typed
    bool lit = false;
};

// What a generator needs of the open pair besides the material row.
struct MarkerInput {
    SourceEdits& asm_lines;  // read, and comment out the consumed lines
    const LineArray& azm_lines;
    const wb::MaterialTable& materials;
    long row = 0;
    long vertex_list_start = 0;
    long heading = 0;          // model heading, 1/65536 of a turn
    long skip_label_base = 0;  // added to the numbers of skip labels (see highest_skip_label)
    // For the kinds that need more of the pair (ground types, landing areas): the pair itself,
    // read only, and its count of generated scenery sources.
    const wb::SourcePair* pair = nullptr;
    wb::GeneratedSources* generated = nullptr;
    // Ground types: the lines for their work file, appended by Process once the block is queued.
    std::vector<std::string>* work_lines = nullptr;
};

// The highest number of a "SKIP_FX" or "SKIP_LIB" skip label that starts a line of the object
// file, 0 when there is none. A pair processed in an earlier session holds such labels, numbered
// by the lines of that session's file; new labels are numbered after them, so that a pair
// finished over several sessions never defines a label twice.
long highest_skip_label(const LineArray& asm_lines);

// The header has no "SCALE_AGL" placement line, so objects cannot be put in the world.
struct NoPlacementLine : UnusableInput {
    NoPlacementLine();
};

// The placement line of one object at model-space vertex v, relative to the header's first
// "SCALE_AGL" placement line: on the ground a SCALE_AGL line, otherwise a SCALE line with the
// terrain elevation (feet) added. Throws NoPlacementLine when the header has none.
std::string object_placement_line(const LineArray& azm_lines, const Vertex& v, bool on_ground,
                                  const std::string& terrain_alt_feet, long heading, const std::string& skip_label);

// Each returns the number of lines it reports (three per triangle for the three placing kinds)
// and adds every line written, the closing label included, to element 0 of new_code.
long generate_effects(MarkerInput in, const MarkerParameters& p, LineArray& new_code);
long generate_library(MarkerInput in, const MarkerParameters& p, LineArray& new_code);
long generate_library_new(MarkerInput in, const MarkerParameters& p, LineArray& new_code);

inline constexpr const char* kWindsockZeroHeight =
    "The triangle used has zero height. It cannot be used for Windsock object.";

// One windsock per triangle: the mast at the lowest corner, as high as the second corner above
// it, the sock as long as the horizontal distance between the two upper corners. The whole
// block is checked first: when a triangle has no height (below 0.1) the warning box is shown,
// nothing is changed or written and `rejected` is set.
long generate_windsock(MarkerInput in, const MarkerParameters& p, LineArray& new_code, bool& rejected);

}  // namespace cg
