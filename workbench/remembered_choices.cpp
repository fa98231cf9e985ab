#include "remembered_choices.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "asm_line.h"
#include "codegen/area_dialogs.h"
#include "form1.h"
#include "messages.h"
#include "parameter_dialogs.h"
#include "paths.h"
#include "text_file.h"
#include "workbench/frm_hld_params.h"
#include "ui/errors.h"
#include "ui/fileio.h"
#include "ui/platform.h"

namespace wb {

namespace {

// The texts this feature shows.
std::string question_text(int n) {
    return "Apply the " + std::to_string(n) + (n == 1 ? " choice" : " choices") + " remembered for this model?";
}
constexpr const char* kFileHeader =
    "# Gorvane remembers here what each processed material of this model became, one material a line.\r\n"
    "# Fields are key=value, separated by |. Check boxes are 0 (off) or 1 (on).\r\n";
constexpr const char* kNoPairOpen = "Please open a model first: its remembered choices are read from the file beside it.";

std::string line_label(const std::string& file, long number) {
    return path_file_name(file) + " line " + std::to_string(number);
}

const std::string kEmpty;

struct KindKeys {
    const char* kind;
    std::vector<std::string> keys;
};

const std::vector<KindKeys>& kind_keys() {
    static const std::vector<KindKeys> k = {
        {"Lights",
         {"type", "intensity", "linear_attenuation", "square_attenuation", "flash_variable", "flash_mask", "day_off",
          "aircraft"}},
        {"Effects", {"effect", "time_constraints", "on_ground", "terrain_altitude"}},
        {"Library", {"guid", "scale", "on_ground", "terrain_altitude"}},
        {"Library New", {"guid", "scale", "on_ground", "terrain_altitude"}},
        {"Windsock", {"mast_colour", "night_light"}},
        {"Landing Area", {"ground_elevation", "use_scale_agl", "keep_polygons"}},
        {"Ground Type", {"surface_type", "keep_polygons"}},
        {"Lake", {"altitude", "lake"}},
        {"Decal", {"texture", "we_offset", "we_span", "ns_offset", "ns_span"}},
    };
    return k;
}

bool is_colour(const std::string& s) {
    return s.size() == 6 && std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isxdigit(c); });
}

// The colour of a line that names one, whatever else is wrong with it ("" otherwise).
std::string line_colour(const std::string& line) {
    const std::string t = trim(line);
    if (t.rfind("colour=", 0) != 0) return "";
    return upper(trim(t.substr(7, t.find('|') - 7)));  // no "|": npos - 7 still takes the rest
}

std::optional<RememberedChoice> parse_line(const std::string& line, std::string& problem) {
    std::vector<std::pair<std::string, std::string>> fields;
    for (size_t start = 0;;) {
        const size_t bar = line.find('|', start);
        const std::string field = trim(line.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        const size_t eq = field.find('=');
        if (eq == std::string::npos) {
            problem = "\"" + field + "\" is not key=value";
            return std::nullopt;
        }
        fields.emplace_back(trim(field.substr(0, eq)), trim(field.substr(eq + 1)));
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    if (fields.size() < 2 || fields[0].first != "colour" || fields[1].first != "kind") {
        problem = "the line must begin with colour=... | kind=...";
        return std::nullopt;
    }
    RememberedChoice c;
    c.colour = upper(fields[0].second);
    c.kind = fields[1].second;
    if (!is_colour(c.colour)) {
        problem = "the colour \"" + fields[0].second + "\" is not six hexadecimal digits";
        return std::nullopt;
    }
    const std::vector<std::string> keys = remembered_keys(c.kind);
    if (keys.empty()) {
        problem = "the kind \"" + c.kind + "\" is unknown";
        return std::nullopt;
    }
    for (const std::string& key : keys) {
        auto it = std::find_if(fields.begin() + 2, fields.end(), [&](const auto& f) { return f.first == key; });
        if (it == fields.end()) {
            problem = "the key \"" + key + "\" of " + c.kind + " is missing";
            return std::nullopt;
        }
        if (remembered_flag(key) && it->second != "0" && it->second != "1") {
            problem = "the value of \"" + key + "\" must be 0 or 1";
            return std::nullopt;
        }
        c.values.emplace_back(key, it->second);
    }
    for (auto it = fields.begin() + 2; it != fields.end(); ++it)
        if (std::count_if(fields.begin() + 2, fields.end(), [&](const auto& f) { return f.first == it->first; }) > 1 ||
            std::find(keys.begin(), keys.end(), it->first) == keys.end()) {
            problem = "the key \"" + it->first + "\" is unknown for " + c.kind + " or given twice";
            return std::nullopt;
        }
    return c;
}

int index_of(const ui::Control& list, const std::string& text) {
    for (int i = 0; i < list.list_count(); ++i)
        if (list.item(i) == text) return i;
    return -1;
}

int flag(const RememberedChoice& c, const char* key) { return c.value(key) == "1" ? 1 : 0; }

// Sets the remembered parameters in the kind's dialog and presses its "O.K.", as a user would.
// "" when the dialog took them; otherwise why not (the dialog has shown its box and is closed).
std::string set_parameters(Form1& f, const RememberedChoice& c) {
    const std::string& kind = c.kind;
    ui::Window* dialog = nullptr;
    ui::Control* ok = nullptr;
    // Values of lists are looked up before a dialog opens.
    if (kind == "Lights") {
        const int type = index_of(f.LightType, c.value("type"));
        const int variable = index_of(f.LightVariable, c.value("flash_variable"));
        if (type < 0) return "the light type \"" + c.value("type") + "\" is unknown";
        if (variable < 0) return "the flash variable \"" + c.value("flash_variable") + "\" is unknown";
        FrmLights& d = f.frm_lights();
        d.open();
        d.LightType.set_list_index(type);
        d.LightVariable.set_list_index(variable);  // proposes a mask, replaced below
        d.LightInt.set_text(c.value("intensity"));
        d.LightAttnL.set_text(c.value("linear_attenuation"));
        d.LightAttS.set_text(c.value("square_attenuation"));
        d.FlashMask.set_text(c.value("flash_mask"));
        d.DayFlag.set_value(flag(c, "day_off"));
        d.AircraftFlag.set_value(flag(c, "aircraft"));
        dialog = &d;
        ok = &d.cmdOK;
    } else if (kind == "Effects") {
        if (index_of(f.lstEffectType, c.value("effect")) < 0)
            return "the effect \"" + c.value("effect") + "\" is not in " + program_file("fx_list.txt");
        FrmEffects& d = f.frm_effects();
        d.open();
        d.lstEffectType.set_list_index(index_of(d.lstEffectType, c.value("effect")));
        d.fx_params.set_text(c.value("time_constraints"));
        d.fx_OTG.set_value(flag(c, "on_ground"));
        d.fx_terrain_alt.set_text(c.value("terrain_altitude"));
        dialog = &d;
        ok = &d.cmdOK;
    } else if (kind == "Library" || kind == "Library New") {
        FrmLibrary& d = f.frm_library();
        d.open();
        d.libGUID.set_text(c.value("guid"));
        d.libScale.set_text(c.value("scale"));
        d.lib_OTG.set_value(flag(c, "on_ground"));
        d.lib_terrain_alt.set_text(c.value("terrain_altitude"));
        dialog = &d;
        ok = &d.cmdOK;
    } else if (kind == "Windsock") {
        FrmWindsock& d = f.frm_windsock();
        d.open();
        d.ws_mastColor.set_text(c.value("mast_colour"));
        d.ws_lit.set_value(flag(c, "night_light"));
        dialog = &d;
        ok = &d.cmdOK;
    } else if (kind == "Landing Area") {
        cg::FrmPlatform& d = f.frm_platform();
        d.open();
        d.platUseAGL.set_value(flag(c, "use_scale_agl"));
        d.platGroundElev.set_text(c.value("ground_elevation"));
        d.platKeepPolys.set_value(flag(c, "keep_polygons"));
        dialog = &d;
        ok = &d.cmdOK;
    } else if (kind == "Ground Type") {
        const int type = index_of(f.srfSurfType, c.value("surface_type"));
        if (type < 0) return "the surface type \"" + c.value("surface_type") + "\" is unknown";
        cg::FrmSurface& d = f.frm_surface();
        d.open();
        d.srfSurfType.set_list_index(type);
        d.srfKeepPolys.set_value(flag(c, "keep_polygons"));
        dialog = &d;
        ok = &d.cmdOK;
    } else if (kind == "Lake" || kind == "Decal") {
        wb::FrmHldParams& d = f.frm_hld_params();
        d.open(f);
        if (kind == "Lake") {
            d.hldAlt.set_text(c.value("altitude"));
            d.hldLake.set_value(flag(c, "lake"));
        } else {
            d.hldTextNumber.set_text(c.value("texture"));
            d.hldWEOffset.set_text(c.value("we_offset"));
            d.hldWESpan.set_text(c.value("we_span"));
            d.hldNSOffset.set_text(c.value("ns_offset"));
            d.hldNSSpan.set_text(c.value("ns_span"));
        }
        dialog = &d;
        ok = &d.cmdOK;
    } else {
        return "the kind \"" + kind + "\" is unknown";
    }
    ok->click();
    if (!dialog->is_open()) return "";
    ui::desktop().close(*dialog);
    return "the parameters dialog refused a value";
}

// What applying does with one line of the file.
struct Step {
    const RememberedLine* line = nullptr;
    long row = 0;  // the material row it processes; 0: none
    enum { Apply, Done, Gone, Bad } what = Bad;
};

// Matches the lines to the material rows before anything is applied. The lines of one colour go to
// the rows of that colour in their order; rows processed already take the first lines (what was
// done before), the following lines go to the unprocessed rows.
struct Plan {
    std::vector<RememberedLine> lines;
    std::vector<Step> steps;
    // The lines that process a material.
    int count() const {
        return static_cast<int>(
            std::count_if(steps.begin(), steps.end(), [](const Step& s) { return s.what == Step::Apply; }));
    }
};

Plan make_plan(const Form1& f, const std::string& path) {
    Plan p;
    p.lines = parse_remembered(ui::read_file(path));
    std::map<std::string, int> used;  // lines of each colour met so far
    for (const RememberedLine& l : p.lines) {
        Step s;
        s.line = &l;
        if (l.choice) {
            const std::string& colour = l.choice->colour;
            int processed = 0, present = 0;
            std::vector<long> open_rows;
            for (long r = 1; r <= f.pair.materials.count(); ++r) {
                const MaterialRow& m = f.pair.materials.row(r);
                if (upper(m.colour) != colour) continue;
                ++present;
                if (m.processed()) ++processed;
                else open_rows.push_back(r);
            }
            const int n = used[colour]++;
            if (present == 0) s.what = Step::Gone;
            else if (n < processed || n - processed >= static_cast<int>(open_rows.size())) s.what = Step::Done;
            else {
                s.what = Step::Apply;
                s.row = open_rows[static_cast<size_t>(n - processed)];
            }
        }
        p.steps.push_back(s);
    }
    return p;
}

void apply_plan(Form1& f, const std::string& path, const Plan& p) {
    int applied = 0;
    for (const Step& s : p.steps) {
        const RememberedLine& l = *s.line;
        const std::string where = line_label(path, l.number);
        if (s.what == Step::Bad) {
            add_message(where + " skipped: " + l.problem);
            continue;
        }
        const RememberedChoice& c = *l.choice;
        if (s.what == Step::Gone) {
            add_message(where + ": the colour " + c.colour + " is no longer in this model");
            continue;
        }
        if (s.what == Step::Done || f.pair.materials.row(s.row).processed()) continue;
        // Pick the material, its kind and parameters, then Process: the user's own steps.
        f.lstMat2proc.set_list_index(static_cast<int>(s.row) - 1);
        f.Material_Click();
        f.typeOfObj.set_list_index(index_of(f.typeOfObj, c.kind));
        f.Update_par_line();
        if (const std::string why = set_parameters(f, c); !why.empty()) {
            add_message(where + " skipped (" + c.colour + "): " + why);
            continue;
        }
        f.Process_Click();
        if (f.pair.materials.row(s.row).processed()) ++applied;
        else add_message(where + ": " + c.colour + " was not processed as " + c.kind);
    }
    add_message("Remembered choices applied : " + std::to_string(applied) + " of " + std::to_string(p.count()));
}

}  // namespace

std::string remembered_path(const std::string& base) { return base + kRememberedExtension; }

const std::string& RememberedChoice::value(const std::string& key) const {
    for (const auto& [k, v] : values)
        if (k == key) return v;
    return kEmpty;
}

std::vector<std::string> remembered_keys(const std::string& kind) {
    for (const KindKeys& k : kind_keys())
        if (kind == k.kind) return k.keys;
    return {};
}

bool remembered_flag(const std::string& key) {
    for (const char* k : {"day_off", "aircraft", "on_ground", "night_light", "use_scale_agl", "keep_polygons", "lake"})
        if (key == k) return true;
    return false;
}

std::string format_choice(const RememberedChoice& c) {
    std::string s = "colour=" + c.colour + " | kind=" + c.kind;
    for (const auto& [k, v] : c.values) s += " | " + k + "=" + v;
    return s;
}

std::vector<RememberedLine> parse_remembered(const std::string& bytes) {
    std::vector<RememberedLine> r;
    const std::vector<std::string> lines = split_lines(bytes);
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string t = trim(lines[i]);
        if (t.empty() || t[0] == '#') continue;
        RememberedLine l;
        l.number = static_cast<long>(i) + 1;
        l.choice = parse_line(t, l.problem);
        r.push_back(std::move(l));
    }
    return r;
}

std::string merge_remembered(const std::string& existing, const std::vector<RememberedChoice>& session,
                             const std::map<std::string, int>& kept) {
    // The session's choices of each colour, in their order, and how many lines of it were met.
    std::map<std::string, std::vector<size_t>> of_colour;
    for (size_t i = 0; i < session.size(); ++i) of_colour[session[i].colour].push_back(i);
    std::map<std::string, size_t> met;
    std::vector<bool> placed(session.size(), false);
    std::string out = existing.empty() ? kFileHeader : "";
    for (const std::string& line : split_lines(existing)) {
        const std::string colour = line_colour(line);
        auto it = of_colour.find(colour);
        const size_t n = met[colour]++;
        const auto k = kept.find(colour);
        const size_t keep = k == kept.end() ? 0 : static_cast<size_t>(k->second);
        if (colour.empty() || it == of_colour.end() || n < keep || n - keep >= it->second.size()) {
            out += line + "\r\n";
        } else {
            placed[it->second[n - keep]] = true;
            out += format_choice(session[it->second[n - keep]]) + "\r\n";
        }
    }
    for (size_t i = 0; i < session.size(); ++i)
        if (!placed[i]) out += format_choice(session[i]) + "\r\n";
    return out;
}

RememberedChoice choice_from_window(const Form1& f, const std::string& colour, const std::string& kind) {
    RememberedChoice c{upper(colour), kind, {}};
    auto b = [](const ui::Control& box) { return std::string(box.value() == 1 ? "1" : "0"); };
    std::vector<std::string> v;
    if (kind == "Lights")
        v = {f.LightType.selected_text(), f.LightInt.text(),   f.LightAttnL.text(), f.LightAttS.text(),
             f.LightVariable.selected_text(), f.FlashMask.text(), b(f.DayFlag),      b(f.AircraftFlag)};
    else if (kind == "Effects")
        v = {f.lstEffectType.selected_text(), f.fx_params.text(), b(f.fx_OTG), f.fx_terrain_alt.text()};
    else if (kind == "Library" || kind == "Library New")
        v = {f.libGUID.text(), f.libScale.text(), b(f.lib_OTG), f.lib_terrain_alt.text()};
    else if (kind == "Windsock")
        v = {f.ws_mastColor.text(), b(f.ws_lit)};
    else if (kind == "Landing Area")
        v = {f.platGroundElev.text(), b(f.platUseAGL), b(f.platKeepPolys)};
    else if (kind == "Ground Type")
        v = {f.srfSurfType.selected_text(), b(f.srfKeepPolys)};
    else if (kind == "Lake")
        v = {f.hldAlt.text(), b(f.hldLake)};
    else if (kind == "Decal")
        v = {f.hldTextNumber.text(), f.hldWEOffset.text(), f.hldWESpan.text(), f.hldNSOffset.text(), f.hldNSSpan.text()};
    const std::vector<std::string> keys = remembered_keys(kind);
    for (size_t i = 0; i < keys.size() && i < v.size(); ++i) c.values.emplace_back(keys[i], v[i]);
    return c;
}

void save_remembered_choices(const Form1& f, const std::string& base) {
    const std::string path = remembered_path(base);
    try {
        const bool exists = ui::file_exists(path);
        if (!exists && f.remembered.empty()) return;
        const std::string existing = exists ? ui::read_file(path) : std::string();
        std::map<std::string, int> kept;  // rows done before this Open keep their lines
        for (long r = 1; r <= f.pair.materials.count(); ++r)
            if (f.pair.materials.row(r).processed_before) ++kept[upper(f.pair.materials.row(r).colour)];
        const std::string merged = merge_remembered(existing, f.remembered, kept);
        if (!exists || merged != existing) ui::write_file_atomic(path, merged);
    } catch (const ui::RuntimeError& e) {
        ui::warning_box("The choices of this model could not be remembered in " + path + ": error " +
                        std::to_string(e.number) + " " + e.description);
    }
}

void offer_remembered_choices(Form1& f) {
    const std::string path = remembered_path(f.InputFile.text());
    if (!ui::file_exists(path)) return;
    try {
        const Plan p = make_plan(f, path);
        if (p.count() == 0) return;
        if (ui::platform().message_box({question_text(p.count()), "", ui::Icon::Question, ui::Buttons::YesNo}) !=
            ui::Answer::Yes)
            return;
        apply_plan(f, path, p);
    } catch (const ui::RuntimeError& e) {
        add_message(path + " cannot be read: error " + std::to_string(e.number) + " " + e.description);
    }
}

void apply_remembered_choices(Form1& f) {
    if (f.pair.materials.count() == 0) {  // no pair open
        ui::warning_box(kNoPairOpen);
        return;
    }
    const std::string path = remembered_path(f.InputFile.text());
    if (!ui::file_exists(path)) {
        ui::information_box("No choices are remembered for this model: " + path + " not found.");
        return;
    }
    try {
        apply_plan(f, path, make_plan(f, path));
    } catch (const ui::RuntimeError& e) {
        ui::run_time_error_box(e);
    }
}

}  // namespace wb
