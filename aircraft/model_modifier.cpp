#include "model_modifier.h"

#include <utility>
#include <vector>

#include "codegen/dictionary.h"
#include "ui/errors.h"
#include "ui/fileio.h"
#include "ui/platform.h"
#include "workbench/asm_line.h"
#include "workbench/paths.h"
#include "workbench/source_pair.h"
#include "workbench/text_file.h"

namespace aircraft {

using wb::LineArray;

namespace {

// A run that stopped after its box.
struct Stopped {};

[[noreturn]] void stop_with(const std::string& text) {
    ui::error_box(text);
    throw Stopped{};
}

// The anchor lines of an exported aircraft header.
constexpr const char* kLodLabel = "LOD_0L    label    BGLCODE";
constexpr const char* kOutsideCall = "VINSTANCE_CALL  model_outside,AIRCRAFT_PARAMS.llapbh.pbh";
constexpr const char* kShadowPosition = "SHADOW_VPOSITION    AIRCRAFT_PARAMS.llapbh.lla";
constexpr const char* kShadowLabel = "model_shadow label BGLCODE";
constexpr const char* kNotUsable = "Error ! Code appears not usable; trying to include files.";

long find(const std::string& text, const LineArray& lines, long start = 1) {
    return wb::find_line(text, lines, start, false);
}

// The file's lines a .. b (b beyond the last line ends at the last line).
void append(std::vector<std::string>& out, const LineArray& lines, long a, long b) {
    const long last = lines.top() - 1;
    for (long i = a; i <= b && i <= last; ++i) out.push_back(lines[i]);
}

void comment_out(LineArray& lines, long i) { lines[i] = "; " + lines[i]; }

bool marked(const LineArray& lines) { return lines.top() > 1 && wb::trim(lines[1]).substr(0, 8) == ";gorvane"; }

// A drawing file of the set with its labels made unique by the suffix.
LineArray relabelled(const std::string& path, const std::string& shown_name, const std::string& suffix) {
    LineArray lines;
    if (wb::load_file2array(path, lines) == 0) stop_with("Error ! File " + shown_name + " could not be opened.");
    wb::make_labels_unique(lines, suffix);
    return lines;
}

// The line after the include of the level-of-detail code, where the added models go.
long include_line(const LineArray& h) {
    const long a = find(kLodLabel, h);
    const long b = a ? find("include", h, a) : 0;
    if (b == 0) stop_with(kNotUsable);
    return b;
}

// 32-bit forms of the instance calls: "VINSTANCE_CALL x" and "SHADOW_VICALL x".
void use_32bit_calls(LineArray& c) {
    for (long i = 1; i < c.top(); ++i) {
        const std::string t = wb::trim(c[i]);
        const std::string u = wb::upper(t);
        if (wb::starts_with(u, "VINSTANCE_CALL "))
            c[i] = "    VINSTANCE_CALL32 " + t.substr(15);
        else if (wb::starts_with(u, "SHADOW_VICALL "))
            c[i] = "    SHADOW_VICALL32 " + t.substr(14);
    }
}

// The header of the complete model as the run writes it; the drawing files it changes go
// into `drawings`.
LineArray combined_header(const AircraftSet& set, const std::string& version,
                          std::vector<std::pair<std::string, LineArray>>& drawings) {
    const auto& box = set.bases;
    const bool wings = set.flexing_wings, shadow = set.shadow_optimization;

    LineArray object, h;
    const std::string main = wings ? box[kFuselage] : box[kComplete];
    if (wb::load_source_pair(main, object, h) == 0 || h.top() == 0) throw Stopped{};
    LineArray c;
    if (wb::load_file2array(box[kComplete] + ".asm", c) == 0) throw Stopped{};
    if (marked(h) || marked(c))
        stop_with("This appears to be an already processed set.\r\nPlease use restore, or recreate the set from gmax.");

    if (wings) {
        if (find("param_extension_dictionary label dword", c)) {
            wb::ExtParameterList list;
            cg::read_ext_parameters(c, list);
            cg::update_dictionary(h, list);
        }
        for (int k : {kWingsHigh, kWingsLow})
            drawings.emplace_back(box[k] + "_0.asm",
                                  relabelled(box[k] + "_0.asm", box[k], "G" + std::to_string(k)));
        const long b = include_line(h);
        const long c_line = find(kOutsideCall, h);
        if (c_line == 0 || c_line > b)
            stop_with("Error ! Code appears not usable; the instance call of model_outside was not found.");
        std::vector<std::string> out;
        append(out, h, 1, c_line);
        for (const char* l : {"    VAR_BASE_OVERRIDE VAR_BASE_GLOBAL", "    IFMSK SKIP_GROUND, ground, -1",
                              "    VINSTANCE_CALL32 model_wingsl, AIRCRAFT_PARAMS.llapbh.pbh", "    BGL_RETURN",
                              "SKIP_GROUND label BGLCODE",
                              "    VINSTANCE_CALL32 model_wingsh, AIRCRAFT_PARAMS.llapbh.pbh"})
            out.push_back(l);
        append(out, h, c_line + 1, b);
        out.push_back("model_wingsl label BGLCODE");
        out.push_back("    include    " + box[kWingsLow] + "_0.asm");
        out.push_back("model_wingsh label BGLCODE");
        out.push_back("    include    " + box[kWingsHigh] + "_0.asm");
        out.push_back("model_shadow label BGLCODE");
        out.push_back("    include  " + box[kShadow] + "_0.asm");
        append(out, h, b + 1, h.top());
        h = LineArray::from_lines(out);
    }

    if (shadow) {
        long own = find(kShadowLabel, h);
        if (!wings) {
            // Without flexing wings nothing has included the shadow model yet: it goes where the
            // wings would, after the level-of-detail code, and carries the shadow label.
            const long b = include_line(h);
            std::vector<std::string> out;
            append(out, h, 1, b);
            out.push_back(kShadowLabel);
            out.push_back("    include  " + box[kShadow] + "_0.asm");
            append(out, h, b + 1, h.top());
            h = LineArray::from_lines(out);
            if (own > b) own += 2;
        }
        if (own) comment_out(h, own);
        drawings.emplace_back(box[kShadow] + "_0.asm",
                              relabelled(box[kShadow] + "_0.asm", box[kShadow] + "_0.asm", "G4"));
    } else {
        // Flexing wings alone: the low wings cast a shadow beside the model's own one.
        const long p = find(kShadowPosition, h);
        if (p == 0 || p + 2 >= h.top())
            stop_with("Error ! Code appears not usable; the shadow position line was not found.");
        std::vector<std::string> out;
        append(out, h, 1, p + 2);
        out.push_back(h[p]);
        out.push_back(h[p + 1]);
        out.push_back("    SHADOW_VICALL32 model_wingsl,AIRCRAFT_PARAMS.llapbh.pbh");
        append(out, h, p + 3, h.top());
        h = LineArray::from_lines(out);
        const long first = find(kShadowLabel, h);
        const long added = first ? find(kShadowLabel, h, first + 1) : 0;
        if (added) {
            comment_out(h, added);
            comment_out(h, added + 1);
        }
    }

    c = h;
    use_32bit_calls(c);
    long banner = find("db \"MakeBGL -", c);
    if (banner == 0) banner = find("db \"MakeMDL -", c);
    if (banner) c[banner] = "    db  \"MakeBGL - gorvane " + version + "\",0";
    std::vector<std::string> out{kMarker, kModelInclude};
    append(out, c, 1, c.top());
    return LineArray::from_lines(out);
}

}  // namespace

bool process_aircraft(const AircraftSet& set, const std::string& version) {
    if (!set.flexing_wings && !set.shadow_optimization) {
        ui::warning_box("Nothing to do !");
        return false;
    }
    ui::BusyPointer busy;
    try {
        std::vector<std::pair<std::string, LineArray>> drawings;
        LineArray header = combined_header(set, version, drawings);
        drawings.emplace_back(set.bases[kComplete] + ".asm", header);
        wb::save_arrays2files(drawings);
        const std::string name = wb::path_file_name(set.bases[kComplete]);
        ui::information_box("The modification seems to be successful. Output file is " + name +
                            ".asm\r\n\r\nComplile with 'bglc /mdl " + name + ".asm'");
        return true;
    } catch (const Stopped&) {
    } catch (const ui::StopRequest&) {
        throw;
    } catch (const ui::RuntimeError& e) {
        ui::run_time_error_box(e);
    }
    return false;
}

}  // namespace aircraft
