#pragma once
// What each material of a model became, remembered beside the pair in NAME.gvr so that a fresh
// export of the same model is processed again in one step.
//
// The file is text a person can edit: "#" lines are comments, every other line is one processed
// material, its fields "key=value" separated by "|":
//   colour=FF7F00 | kind=Lights | type=LIGHT_LANDING | intensity=100 | ...
// colour and kind come first; then every parameter the kind uses, each once (0 = off, 1 = on for
// the check boxes). Lists take the texts the parameter dialogs show.
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace wb {

class Form1;

inline constexpr const char* kRememberedExtension = ".gvr";

// The file of the pair with base `base`: base + ".gvr".
std::string remembered_path(const std::string& base);

struct RememberedChoice {
    std::string colour;  // six hexadecimal digits, as the material list shows it
    std::string kind;    // one of the object kinds
    std::vector<std::pair<std::string, std::string>> values;  // the kind's keys, in their order

    // The value of a key; "" when the choice has none.
    const std::string& value(const std::string& key) const;
};

// The parameter keys of a kind, in the order the file writes them; empty for an unknown kind.
std::vector<std::string> remembered_keys(const std::string& kind);
// True for the keys whose value is a check box (0 or 1).
bool remembered_flag(const std::string& key);

// One line of a file.
struct RememberedLine {
    long number = 0;                        // line number in the file, from 1
    std::optional<RememberedChoice> choice;  // the choice, when the line is one
    std::string problem;                     // otherwise why not
};

// The line of a choice, without line end.
std::string format_choice(const RememberedChoice& c);
// Every line that is not blank and not a comment, with its choice or its problem.
std::vector<RememberedLine> parse_remembered(const std::string& bytes);
// The file after a Save: the lines of `existing` (empty: a new file) kept as they are, except that
// the lines of a colour processed in this session take its new choices; the session's other
// choices follow in the order they were made. Colours are normally unique; where several
// materials share one, the first kept[colour] lines of it stay (the materials done before this
// Open), the next ones take the session's choices of that colour in order. CR LF line ends.
std::string merge_remembered(const std::string& existing, const std::vector<RememberedChoice>& session,
                             const std::map<std::string, int>& kept = {});

// --- the main window ---

// The choice the main window's fields make for a material just processed as `kind`.
RememberedChoice choice_from_window(const Form1& f, const std::string& colour, const std::string& kind);
// After a successful Save to `base`: merges the session's choices into base + ".gvr". A file that
// cannot be written gets a warning box; the Save stands.
void save_remembered_choices(const Form1& f, const std::string& base);
// After a successful Open: when the pair's file holds choices for unprocessed materials, asks
// "Apply the N choices remembered for this model?" and applies them on Yes.
void offer_remembered_choices(Form1& f);
// The "Apply Remembered" button: applies the file of the open pair without asking.
void apply_remembered_choices(Form1& f);

}  // namespace wb
