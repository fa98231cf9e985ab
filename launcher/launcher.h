#pragma once
// The exporter launcher's logic: the option table and the switches it passes, the settings files
// "tolvard.sys" (options) and "tolvards.sys" (scenery locations and the error-log viewer), the
// command-line split, the renaming of an exported interior model and the exporter's argument list.
#include <array>
#include <string>
#include <vector>

#include "ui/platform.h"

namespace launcher {

constexpr int kOptionCount = 37;
constexpr int kLabelResource = 2000;   // + option number
constexpr int kSwitchResource = 3000;  // + option number

struct OptionRow {
    const char* label;
    const char* switch_text;
    int polarity;     // 1: the switch is passed when the option is unchecked
    bool ms_default;  // checked by "Load MS Default"
};
const std::array<OptionRow, kOptionCount>& option_table();
// Label and switch of option i as the program's resources hold them (the table where the
// program has no resources, as natively).
std::string option_label(int i);
std::string option_switch(int i);

using Options = std::array<bool, kOptionCount>;  // true: checked
Options ms_defaults();
// The switches the options pass, in table order.
std::vector<std::string> passed_switches(const Options& options);

// One line of a settings file: the key before the first "=", the value after it.
struct SettingsLine {
    std::string key, value;
    bool has_equals = false;
};
// Lines end in CR LF (a lone LF, and a last line without one, are read too).
std::vector<SettingsLine> settings_lines(const std::string& text);

// "tolvard.sys": label + "=1" or "=0" per option, in table order.
std::string options_file_text(const Options& options);
// Sets each option that a line names by its label: checked exactly when the value is "1".
void read_options_file(const std::string& text, Options& options);

struct SceneryEntry {
    std::string name, location;
};

constexpr const char* kDefaultViewer = "c:\\windows\\notepad2.exe";
constexpr int kNameLength = 99;      // most characters of an entry's name
constexpr int kLocationLength = 49;  // most characters of an entry's location

// The scenery locations, sorted by name as the list shows them (case does not count), with the
// default entry and the error-log viewer. At least one entry always remains.
// A line of "tolvards.sys" that the window would not have let become an entry, and why.
struct RefusedLine {
    std::string text, reason;
};

struct SceneryList {
    std::vector<SceneryEntry> entries;
    std::string default_name;
    std::string viewer = kDefaultViewer;
    // Read but refused: kept as they stand and written back after the entries, so that what
    // the user wrote by hand is not lost at the next save.
    std::vector<RefusedLine> refused;

    // Position of the entry of that name (case does not count); -1 when none.
    int find(const std::string& name) const;
    // Position of the default entry (the first when the default names none).
    int default_index() const;
    // Adds an entry at its sorted place and returns it; -1 when the name is taken.
    int add(SceneryEntry entry);
    // Deletes entry i and returns the position to select: the entry before it (the first when
    // the first went). A deleted default passes to the first entry (the second when the first
    // went). -1 when fewer than two entries are left to delete from.
    int remove(int i);
    // Gives entry i a new name and location and returns its new position; the default follows
    // a renamed default entry. -1 when the name is another entry's.
    int edit(int i, SceneryEntry entry);
};
// A name an entry may have: not empty, and without "=" (which ends the name in the file).
bool valid_name(const std::string& name);
// The list with only the built-in entry, which is also the default.
SceneryList builtin_scenery();
// "tolvards.sys": "default=" + name, "notepad=" + viewer, then name + "=" + location per entry.
std::string scenery_file_text(const SceneryList& list);
// Reads "tolvards.sys": first line the default, second the viewer, every further line an
// entry, unless Add would refuse it (no "=", an empty name, a name already listed, letter case
// not counting): such a line goes to `refused`. Empty lines are skipped. A file without entries
// gets the built-in one.
SceneryList read_scenery_file(const std::string& text);

// Splits a command line at blanks; a double-quoted span belongs to one argument, without its
// quotes. Arguments are kept whole, however long.
std::vector<std::string> split_command_line(const std::string& text);

// The model file that the exporter is given, after the interior handling: an interior exported
// as model + "_interior" is renamed to model + "_interior.x" and the model itself to model + ".x".
struct ExportFiles {
    std::string model;         // the exported model path, without extension
    std::string passed;        // the name handed to the exporter
    bool interior = false;     // an interior model was found and renamed
    std::string message;       // what the renaming reports
    std::string log() const { return model + ".log"; }
};
ExportFiles prepare_interior(const std::string& model);
// Removes what the renaming made when the export is abandoned (the window closed without GO!!).
void discard_renamed(const ExportFiles& files);

// The argument list for the exporter: a blank as its program name, the quoted model file, the
// export mode as received, the switches the options pass, and for a scenery export ("-bgl")
// "-latlon" + the quoted location.
std::vector<std::string> makem_arguments(const std::string& passed, const std::string& mode,
                                         const Options& options, const std::string& location);
bool is_scenery_export(const std::string& mode);

// The output page keeps about this many characters, dropping its oldest lines.
constexpr size_t kOutputLimit = 5000;
// Appends a line (and CR LF) to the page text and drops whole lines from its start past the limit.
void append_output(std::string& page, const std::string& line);

// The output line for a program that could not be started.
std::string start_error_text(ui::StartError error);

}  // namespace launcher
