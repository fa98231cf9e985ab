#include "launcher.h"

#include <algorithm>
#include <cctype>

#include "ui/fileio.h"
#include "ui/system_platform.h"

namespace launcher {

namespace {

constexpr const char* kBuiltinName = "Lakefront Field";
constexpr const char* kBuiltinLocation = "N41*51.76 W87*36.44";

std::string lower(const std::string& s) {
    std::string r = s;
    for (char& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return r;
}

// The order the list box shows: by name, case not counting.
bool before(const SceneryEntry& a, const SceneryEntry& b) { return lower(a.name) < lower(b.name); }

int insert_sorted(std::vector<SceneryEntry>& entries, SceneryEntry entry) {
    const auto at = std::upper_bound(entries.begin(), entries.end(), entry, before) - entries.begin();
    entries.insert(entries.begin() + at, std::move(entry));
    return static_cast<int>(at);
}

// Why Add would not have made the line an entry of the list; empty when it would (and for an
// empty line, which is no entry at all).
constexpr const char* kRepeated = "name already listed";

std::string refusal(const SceneryList& list, const SettingsLine& line) {
    if (!line.has_equals) return line.key.empty() ? "" : "no \"=\" between name and location";
    if (line.key.empty()) return "empty name";
    if (list.find(line.key) >= 0) return kRepeated;
    return "";
}

// The lines refused as repeats of an entry go with the entry: read again without it, they
// would bring back the name the user deleted or renamed.
void drop_repeats_of(SceneryList& list, const std::string& name) {
    const std::string n = lower(name);
    std::erase_if(list.refused, [&](const RefusedLine& l) {
        return l.reason == kRepeated && lower(l.text.substr(0, l.text.find('='))) == n;
    });
}

}  // namespace

const std::array<OptionRow, kOptionCount>& option_table() {
    static const std::array<OptionRow, kOptionCount> table = {{
#define OPTION(i, label, sw, polarity, ms) {label, sw, polarity, ms != 0},
#include "options.def"
#undef OPTION
    }};
    return table;
}

std::string option_label(int i) {
    std::string s = ui::SystemPlatform::resource_string(kLabelResource + i);
    return s.empty() ? option_table()[static_cast<size_t>(i)].label : s;
}

std::string option_switch(int i) {
    std::string s = ui::SystemPlatform::resource_string(kSwitchResource + i);
    return s.empty() ? option_table()[static_cast<size_t>(i)].switch_text : s;
}

Options ms_defaults() {
    Options o{};
    for (int i = 0; i < kOptionCount; ++i) o[static_cast<size_t>(i)] = option_table()[static_cast<size_t>(i)].ms_default;
    return o;
}

std::vector<std::string> passed_switches(const Options& options) {
    std::vector<std::string> r;
    for (int i = 0; i < kOptionCount; ++i) {
        const bool checked = options[static_cast<size_t>(i)];
        if (checked == (option_table()[static_cast<size_t>(i)].polarity == 0)) r.push_back(option_switch(i));
    }
    return r;
}

std::vector<SettingsLine> settings_lines(const std::string& text) {
    std::vector<SettingsLine> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        start = end + 1;
        SettingsLine l;
        const size_t eq = line.find('=');
        l.has_equals = eq != std::string::npos;
        l.key = line.substr(0, eq);
        if (l.has_equals) l.value = line.substr(eq + 1);
        lines.push_back(std::move(l));
    }
    return lines;
}

std::string options_file_text(const Options& options) {
    std::string r;
    for (int i = 0; i < kOptionCount; ++i)
        r += option_label(i) + (options[static_cast<size_t>(i)] ? "=1" : "=0") + "\r\n";
    return r;
}

void read_options_file(const std::string& text, Options& options) {
    for (const auto& line : settings_lines(text)) {
        if (!line.has_equals) continue;
        for (int i = 0; i < kOptionCount; ++i)
            if (line.key == option_label(i)) options[static_cast<size_t>(i)] = line.value == "1";
    }
}

int SceneryList::find(const std::string& name) const {
    const std::string n = lower(name);
    for (size_t i = 0; i < entries.size(); ++i)
        if (lower(entries[i].name) == n) return static_cast<int>(i);
    return -1;
}

int SceneryList::default_index() const {
    const int i = find(default_name);
    return i >= 0 ? i : (entries.empty() ? -1 : 0);
}

int SceneryList::add(SceneryEntry entry) {
    if (find(entry.name) >= 0) return -1;
    return insert_sorted(entries, std::move(entry));
}

int SceneryList::remove(int i) {
    if (entries.size() < 2 || i < 0 || i >= static_cast<int>(entries.size())) return -1;
    if (i == default_index()) default_name = entries[i == 0 ? 1 : 0].name;
    drop_repeats_of(*this, entries[static_cast<size_t>(i)].name);
    entries.erase(entries.begin() + i);
    return i == 0 ? 0 : i - 1;
}

int SceneryList::edit(int i, SceneryEntry entry) {
    if (i < 0 || i >= static_cast<int>(entries.size())) return -1;
    const int other = find(entry.name);
    if (other >= 0 && other != i) return -1;
    if (i == default_index()) default_name = entry.name;
    if (lower(entries[static_cast<size_t>(i)].name) != lower(entry.name))
        drop_repeats_of(*this, entries[static_cast<size_t>(i)].name);
    entries.erase(entries.begin() + i);
    return insert_sorted(entries, std::move(entry));
}

bool valid_name(const std::string& name) { return !name.empty() && name.find('=') == std::string::npos; }

SceneryList builtin_scenery() {
    SceneryList list;
    list.entries.push_back({kBuiltinName, kBuiltinLocation});
    list.default_name = kBuiltinName;
    return list;
}

std::string scenery_file_text(const SceneryList& list) {
    std::string r = "default=" + list.default_name + "\r\nnotepad=" + list.viewer + "\r\n";
    for (const auto& e : list.entries) r += e.name + "=" + e.location + "\r\n";
    for (const auto& l : list.refused) r += l.text + "\r\n";
    return r;
}

SceneryList read_scenery_file(const std::string& text) {
    SceneryList list;
    const auto lines = settings_lines(text);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i == 0) list.default_name = lines[i].value;
        else if (i == 1) list.viewer = lines[i].value.empty() ? kDefaultViewer : lines[i].value;
        else if (const std::string why = refusal(list, lines[i]); !why.empty())
            list.refused.push_back({lines[i].has_equals ? lines[i].key + "=" + lines[i].value : lines[i].key, why});
        else if (lines[i].has_equals)
            insert_sorted(list.entries, {lines[i].key, lines[i].value});
    }
    if (list.entries.empty()) list.entries = builtin_scenery().entries;
    list.default_name = list.entries[static_cast<size_t>(list.default_index())].name;
    return list;
}

std::vector<std::string> split_command_line(const std::string& text) {
    std::vector<std::string> args;
    std::string current;
    bool in_argument = false, quoted = false;
    for (char c : text) {
        if (c == '"') {
            quoted = !quoted;
            in_argument = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (in_argument) args.push_back(current);
            current.clear();
            in_argument = false;
        } else {
            current += c;
            in_argument = true;
        }
    }
    if (in_argument) args.push_back(current);
    return args;
}

ExportFiles prepare_interior(const std::string& model) {
    ExportFiles f;
    f.model = model;
    f.passed = model;
    ui::delete_file(model + "_interior.x");
    if (!ui::rename_file(model + "_interior", model + "_interior.x")) {
        f.message = "No Interior Model Found";
        return f;
    }
    f.interior = true;
    f.passed = model + ".x";
    ui::delete_file(model + ".x");
    f.message = ui::rename_file(model, model + ".x") ? "Interior Found, renamed to _interior.x"
                                                     : "Failed to rename File to File.x";
    return f;
}

void discard_renamed(const ExportFiles& files) {
    ui::delete_file(files.model + "_interior.x");
    if (files.interior) ui::delete_file(files.model + ".x");
}

bool is_scenery_export(const std::string& mode) { return mode == "-bgl"; }

std::vector<std::string> makem_arguments(const std::string& passed, const std::string& mode,
                                         const Options& options, const std::string& location) {
    std::vector<std::string> args = {" ", "\"" + passed + "\"", mode};
    for (auto& s : passed_switches(options)) args.push_back(std::move(s));
    if (is_scenery_export(mode)) args.push_back("-latlon\"" + location + "\"");
    return args;
}

void append_output(std::string& page, const std::string& line) {
    page += line + "\r\n";
    if (page.size() <= kOutputLimit) return;
    const size_t cut = page.find("\r\n", page.size() - kOutputLimit);
    page.erase(0, cut == std::string::npos ? page.size() - kOutputLimit : cut + 2);
}

std::string start_error_text(ui::StartError error) {
    switch (error) {
        case ui::StartError::NotFound: return "ERROR!! Opening MakeMdl (path/file not found)";
        case ui::StartError::TooLong: return "ERROR!! Opening MakeMdl (Argumnet list too long)";
        case ui::StartError::ExecFormat: return "ERROR!! Opening MakeMdl (Exec format error)";
        case ui::StartError::OutOfMemory: return "ERROR!! Opening MakeMdl (Out of Memory)";
        case ui::StartError::InvalidArgument: return "ERROR!! Opening MakeMdl (Invalid Argument)";
        default: return "ERROR!! Opening MakeMdl (unknown error)";
    }
}

}  // namespace launcher
