#include "process.h"

#include "dictionary.h"

namespace cg {

const char* const kObjectKinds[9] = {"Lights",       "Effects",     "Library", "Library New", "Windsock",
                                     "Landing Area", "Ground Type", "Lake",    "Decal"};

namespace {

enum class Where { AfterMaterialLine, AfterBglEnd, OwnFile };

struct KindRow {
    const char* kind;
    Where where;
    bool available;
};

// Kinds whose generators come with later versions are listed so that they are recognised
// (and refused) rather than silently treated as unknown texts.
const KindRow kDispatch[] = {
    {"Lights", Where::AfterMaterialLine, true},  {"Windsock", Where::AfterMaterialLine, true},
    {"Library New", Where::AfterMaterialLine, true}, {"Effects", Where::AfterBglEnd, true},
    {"Library", Where::AfterBglEnd, true},       {"Ground Type", Where::AfterBglEnd, false},
    {"Landing Area", Where::OwnFile, false},     {"Lake", Where::OwnFile, true},
    {"Decal", Where::OwnFile, true},
};

}  // namespace

long generate_object_code(const std::string& kind, MarkerInput in, const ObjectParameters& p, LineArray& new_code,
                          bool& rejected) {
    rejected = false;
    if (kind == "Lights")
        return generate_lights(in.asm_lines, in.materials, in.row, in.vertex_list_start, p.lights, new_code);
    if (kind == "Effects") return generate_effects(in, p.markers, new_code);
    if (kind == "Library") return generate_library(in, p.markers, new_code);
    if (kind == "Library New") return generate_library_new(in, p.markers, new_code);
    if (kind == "Windsock") return generate_windsock(in, p.markers, new_code, rejected);
    return 0;
}

ProcessResult process_material(wb::SourcePair& pair, long row, const std::string& kind,
                               const LightParameters& lights) {
    ObjectParameters p;
    p.lights = lights;
    return process_material(pair, row, kind, p);
}

ProcessResult process_material(wb::SourcePair& pair, long row, const std::string& kind,
                               const ObjectParameters& p) {
    const LightParameters& lights = p.lights;
    ProcessResult result;
    const KindRow* k = nullptr;
    for (const KindRow& r : kDispatch)
        if (kind == r.kind) k = &r;
    if (!k) return result;  // a kind text outside the table generates nothing
    result.file_writer = k->where == Where::OwnFile;
    if (!k->available) {
        result.status = ProcessStatus::NotAvailable;
        return result;
    }
    if (kind == "Lake" || kind == "Decal") {
        const terrain::TerrainInput in{pair.asm_lines,         pair.azm_lines,    pair.materials.row(row),
                                       pair.vertex_list_start, pair.model_heading, pair.generated};
        const auto written = kind == "Lake" ? terrain::createLakeFileNew(in, p.terrain)
                                            : terrain::createDecalFile(in, p.terrain);
        if (written != terrain::SourceStatus::Written) result.status = ProcessStatus::Rejected;
        return result;
    }

    // Work on copies: the pair is changed only once everything has succeeded.
    LineArray asm_lines = pair.asm_lines;
    LineArray new_code;
    new_code.set_top(0);
    const wb::MaterialRow& m = pair.materials.row(row);

    bool rejected = false;
    result.lines = generate_object_code(
        kind, MarkerInput{asm_lines, pair.azm_lines, pair.materials, row, pair.vertex_list_start, pair.model_heading}, p,
        new_code, rejected);
    if (rejected) {
        result.status = ProcessStatus::Rejected;
        return result;
    }
    long index = m.material_line + 1;
    if (k->where == Where::AfterBglEnd) index = find_bgl_end(pair.asm_lines) + 1;

    LineArray azm_lines;
    wb::ExtParameterList dictionary;
    const bool dictionary_step = kind == "Lights" && lights.aircraft;
    if (dictionary_step) {
        azm_lines = pair.azm_lines;
        dictionary = pair.ext_parameters;
        add_light_state_entry(azm_lines, dictionary);
    }

    queue_insertion(pair.insertions, pair.code, new_code, index);
    pair.asm_lines = std::move(asm_lines);
    if (dictionary_step) {
        pair.azm_lines = std::move(azm_lines);
        pair.ext_parameters = std::move(dictionary);
        pair.header_changed = true;
    }
    return result;
}

}  // namespace cg
