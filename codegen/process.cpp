#include "process.h"

#include "dictionary.h"
#include "macro_fields.h"

#include <algorithm>

#include "ui/platform.h"

namespace cg {

const char* const kObjectKinds[9] = {"Lights",       "Effects",     "Library", "Library New", "Windsock",
                                     "Landing Area", "Ground Type", "Lake",    "Decal"};

namespace {

// Where a kind's result goes.
enum class Where { AfterMaterialLine, AfterBglEnd, OwnFile };

// A kind's generator: writes into new_code (file writers write their own file instead),
// comments out the consumed lines through in.asm_lines, returns the line count shown as
// "Lines of new code", and sets `rejected` when it refused the material (after saying why).
using Generator = long (*)(MarkerInput in, const ObjectParameters& p, LineArray& new_code, bool& rejected);

long lights(MarkerInput in, const ObjectParameters& p, LineArray& new_code, bool&) {
    return generate_lights(in.asm_lines, in.materials, in.row, in.vertex_list_start, p.lights, new_code);
}
long effects(MarkerInput in, const ObjectParameters& p, LineArray& new_code, bool&) {
    return generate_effects(in, p.markers, new_code);
}
long library(MarkerInput in, const ObjectParameters& p, LineArray& new_code, bool&) {
    return generate_library(in, p.markers, new_code);
}
long library_new(MarkerInput in, const ObjectParameters& p, LineArray& new_code, bool&) {
    return generate_library_new(in, p.markers, new_code);
}
long windsock(MarkerInput in, const ObjectParameters& p, LineArray& new_code, bool& rejected) {
    return generate_windsock(in, p.markers, new_code, rejected);
}
long ground_type(MarkerInput in, const ObjectParameters& p, LineArray& new_code, bool& rejected) {
    return generate_ground_type(in, p.surface, new_code, rejected);
}
long landing_area(MarkerInput in, const ObjectParameters& p, LineArray&, bool& rejected) {
    return generate_landing_area(in, p.platform, rejected);
}
// Lakes and decals write terrain sources of their own and change no line of the pair.
long terrain_source(MarkerInput in, const ObjectParameters& p, bool& rejected,
                    terrain::SourceStatus (*writer)(const terrain::TerrainInput&, const terrain::TerrainParameters&)) {
    const terrain::TerrainInput t{
        {in.asm_lines.lines(), in.azm_lines, in.materials.row(in.row), in.vertex_list_start, in.heading},
        *in.generated};
    rejected = writer(t, p.terrain) != terrain::SourceStatus::Written;
    return 0;
}
long lake(MarkerInput in, const ObjectParameters& p, LineArray&, bool& rejected) {
    return terrain_source(in, p, rejected, terrain::createLakeFileNew);
}
long decal(MarkerInput in, const ObjectParameters& p, LineArray&, bool& rejected) {
    return terrain_source(in, p, rejected, terrain::createDecalFile);
}

struct KindRow {
    const char* kind;
    Where where;
    Generator run;
};

// One row per kind: adding a kind is a row here and its generator.
const KindRow kDispatch[] = {
    {"Lights", Where::AfterMaterialLine, lights},       {"Windsock", Where::AfterMaterialLine, windsock},
    {"Library New", Where::AfterMaterialLine, library_new}, {"Effects", Where::AfterBglEnd, effects},
    {"Library", Where::AfterBglEnd, library},           {"Ground Type", Where::AfterBglEnd, ground_type},
    {"Landing Area", Where::OwnFile, landing_area},     {"Lake", Where::OwnFile, lake},
    {"Decal", Where::OwnFile, decal},
};

const KindRow* find_kind(const std::string& kind) {
    for (const KindRow& r : kDispatch)
        if (kind == r.kind) return &r;
    return nullptr;
}

}  // namespace

std::string kept_polygons_mark(const std::string& kind) {
    return "; " + kind + " made of this material, its polygons kept";
}

bool keeps_polygons(const std::string& kind, const ObjectParameters& p) {
    return (kind == "Ground Type" && p.surface.keep_polygons) || (kind == "Landing Area" && p.platform.keep_polygons);
}

long generate_object_code(const std::string& kind, MarkerInput in, const ObjectParameters& p, LineArray& new_code,
                          bool& rejected) {
    rejected = false;
    const KindRow* k = find_kind(kind);
    return k ? k->run(in, p, new_code, rejected) : 0;
}

ProcessResult process_material(wb::SourcePair& pair, long row, const std::string& kind,
                               const LightParameters& lights) {
    ObjectParameters p;
    p.lights = lights;
    return process_material(pair, row, kind, p);
}

ProcessResult process_material(wb::SourcePair& pair, long row, const std::string& kind,
                               const ObjectParameters& p) {
    ProcessResult result;
    const KindRow* k = find_kind(kind);
    if (!k) return result;  // a kind text outside the table generates nothing
    result.file_writer = k->where == Where::OwnFile;
    const wb::MaterialRow& m = pair.materials.row(row);
    // Everything that can refuse the material is checked before a line changes.
    if (!m.has_block()) {
        ui::warning_box(kNoDrawingBlock);
        result.status = ProcessStatus::Rejected;
        return result;
    }
    long index = m.material_line + 1;
    if (k->where == Where::AfterBglEnd) {
        const long end = find_bgl_end(pair);
        if (end == 0) {  // the box has said why
            result.status = ProcessStatus::Rejected;
            return result;
        }
        index = end + 1;
        if (pair.skip_label_base < 0) pair.skip_label_base = highest_skip_label(pair.asm_lines);
    }

    // The generator changes the pair's lines in place; any failure puts them back.
    SourceEdits edits(pair.asm_lines);
    try {
        LineArray new_code;
        new_code.set_top(0);
        bool rejected = false;
        std::vector<std::string> work_lines;  // ground types: subroutine lines for "tmpSurf.txt"
        const MarkerInput in{edits,  pair.azm_lines, pair.materials, row, pair.vertex_list_start, pair.model_heading,
                             std::max(pair.skip_label_base, 0L), &pair, &pair.generated, &work_lines};
        result.lines = generate_object_code(kind, in, p, new_code, rejected);
        std::vector<std::string> written = work_lines;
        for (long i = 1; !rejected && i <= new_code.top(); ++i) written.push_back(new_code[i]);
        if (rejected || refuse_unwritable(written)) {
            edits.undo();
            result.status = ProcessStatus::Rejected;
            return result;
        }

        // Aircraft lights need the light-state entry of the header's dictionary: built on a copy
        // of the (small) header, taken over once the block is queued.
        LineArray azm_lines;
        wb::ExtParameterList dictionary;
        const bool dictionary_step = kind == "Lights" && p.lights.aircraft;
        if (dictionary_step) {
            azm_lines = pair.azm_lines;
            dictionary = pair.ext_parameters;
            add_light_state_entry(azm_lines, dictionary);
        }
        // Room for the block and the mark first: once the work file is written, queueing cannot fail.
        const bool mark = keeps_polygons(kind, p);
        pair.insertions.reserve(2);
        pair.code.reserve(new_code.top() + 1);
        if (k->where != Where::OwnFile) {
            // The work file is written whole before the block is queued, and put back if that fails.
            std::optional<std::string> previous;
            if (!work_lines.empty()) previous = append_work_file(kSurfaceFile, work_lines);
            try {
                queue_insertion(pair.insertions, pair.code, new_code, index);
            } catch (...) {
                if (!work_lines.empty()) restore_work_file(kSurfaceFile, previous);
                throw;
            }
        }
        if (mark) {
            // Its drawing block stays as it was: the mark before it tells the next Open that
            // this material is done.
            LineArray mark_line = LineArray::from_lines({kept_polygons_mark(kind)});
            mark_line.set_top(1);
            queue_insertion(pair.insertions, pair.code, mark_line, m.material_line + 1);
        }
        if (dictionary_step) {
            pair.azm_lines = std::move(azm_lines);
            pair.ext_parameters = std::move(dictionary);
            pair.header_changed = true;
        }
    } catch (...) {
        edits.undo();
        throw;
    }
    return result;
}

}  // namespace cg
