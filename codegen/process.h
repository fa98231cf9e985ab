#pragma once
// Process: turns the triangles of one highlighted material into generated code of the chosen
// object kind and queues it for Save.
#include <string>

#include "ground_type.h"
#include "landing_area.h"
#include "light_code.h"
#include "object_code.h"
#include "terrain/terrain_sources.h"
#include "workbench/source_pair.h"

namespace cg {

enum class ProcessStatus {
    Done,          // the material is processed
    Rejected,      // the generator refused the material (it said why); nothing changed
};

struct ProcessResult {
    ProcessStatus status = ProcessStatus::Done;
    long lines = 0;            // the generator's result, shown as "Lines of new code"
    bool file_writer = false;  // a kind written to its own file (no line count to show)
};

// The object kinds, in the order of the kind list.
extern const char* const kObjectKinds[9];

// The parameter set of every kind, as Process reads it from the main window.
struct ObjectParameters {
    LightParameters lights;
    MarkerParameters markers;
    terrain::TerrainParameters terrain;
    SurfaceParameters surface;
    PlatformParameters platform;
};

// Ground types and landing areas made with Keep Polygons leave their drawing block as it was;
// Process queues this comment line before it, which makes the next Open know the material as
// processed.
std::string kept_polygons_mark(const std::string& kind);
bool keeps_polygons(const std::string& kind, const ObjectParameters& p);

inline constexpr const char* kNoDrawingBlock =
    "This material has no drawing block: no MATERIAL line of the object file uses it, so there is "
    "nothing to process. The material stays unprocessed.";

// Writes the code of `kind` for material table row `row` into the new-code buffer (a file
// writer's kind writes its own file), commenting out the consumed lines through in.asm_lines;
// returns the generator's line count, 0 for a kind outside the list. `rejected` is set when the
// generator refused the material (the caller undoes in.asm_lines).
long generate_object_code(const std::string& kind, MarkerInput in, const ObjectParameters& p, LineArray& new_code,
                          bool& rejected);

// Runs the kind's generator on material table row `row` and queues its block. Nothing of the
// pair changes unless the whole step succeeds: a run-time error, a material without a drawing
// block, an after-the-end kind on a file without "BGL_END" (each refused with its box) and a
// generator's refusal leave the source lines, the header and the queue as they were. Only the lines the generator changed are kept aside, never the file.
// "Landing Area", "Lake" and "Decal" go to their writers instead, which write a file of their own
// and change nothing of the pair but its count of generated sources and, for landing areas, the
// commented-out block (Rejected when a writer refused). A ground type's subroutine goes into
// "tmpSurf.txt" as its block is queued.
ProcessResult process_material(wb::SourcePair& pair, long row, const std::string& kind,
                               const ObjectParameters& p);
// The same with default parameters for every kind but lights.
ProcessResult process_material(wb::SourcePair& pair, long row, const std::string& kind,
                               const LightParameters& lights);

}  // namespace cg
