#pragma once
// Process: turns the triangles of one highlighted material into generated code of the chosen
// object kind and queues it for Save.
#include <string>

#include "light_code.h"
#include "workbench/source_pair.h"

namespace cg {

enum class ProcessStatus {
    Done,          // the material is processed
    NotAvailable,  // this version cannot generate the kind yet; nothing changed
};

struct ProcessResult {
    ProcessStatus status = ProcessStatus::Done;
    long lines = 0;            // the generator's result, shown as "Lines of new code"
    bool file_writer = false;  // a kind written to its own file (no line count to show)
};

// The object kinds, in the order of the kind list.
extern const char* const kObjectKinds[9];

// Writes the code of `kind` for material table row `row` into the new-code buffer, commenting
// out the consumed lines of asm_lines; returns the generator's line count. Kinds without a
// generator in this version write nothing and return 0.
long generate_object_code(const std::string& kind, LineArray& asm_lines, const wb::MaterialTable& materials,
                          long row, long vertex_list_start, const LightParameters& lights, LineArray& new_code);

// Runs the kind's generator on material table row `row` and queues its block. Nothing of the
// pair changes unless the whole step succeeds: a run-time error, a kind that is not available
// and a full queue (QueueFull) leave the source lines, the header and the queue as they were.
ProcessResult process_material(wb::SourcePair& pair, long row, const std::string& kind,
                               const LightParameters& lights);

}  // namespace cg
