#pragma once
// The macros that generated code calls, each with the range of values its fields hold (as the
// macro files store them: a word, a doubleword, a four-byte real, a quoted text). Every value
// that goes into generated code is checked here: typed values when their dialog closes with
// "O.K.", values taken from the model before Process changes anything. What passes is what the
// compiler takes.
#include <string>
#include <string_view>
#include <vector>

namespace cg {

enum class FieldKind {
    Whole,  // a whole number (decimal, or hexadecimal with a trailing h) from low to high
    Real,   // a number within the four-byte real's range; a point marks a fraction
    Text,   // a text in double quotes, without a double quote inside
    Mask,   // a whole number, also "0-" + hexadecimal digits + "h": only its low 16 bits count
    Label,  // a name made by the generator: not checked
    Name,   // a name chosen by the user (a light type): letters, digits, _ @ $ ?, not a digit first
};

struct MacroField {
    const char* name;
    FieldKind kind;
    double low = 0, high = 0;  // Whole and Real
};

struct MacroFields {
    const char* macro;
    std::vector<MacroField> fields;
    bool last_repeats = false;  // the last field takes every further operand (point lists)
};

// Every macro of generated code that carries values.
const std::vector<MacroFields>& macro_fields();
// The fields of a macro (letter case ignored); nullptr when it carries no checked values.
const MacroFields* find_macro(std::string_view macro);
// One field by macro and field name; throws std::out_of_range for a name not in the table.
const MacroField& macro_field(std::string_view macro, std::string_view field);

// The operands of a macro line, split at commas outside double quotes, trimmed; the first
// element is the macro's name. Empty for a comment or an empty line.
std::vector<std::string> macro_operands(const std::string& line);

// "" when the operand text fits the field; otherwise the text of the box that refuses it,
// naming the value, the field and its range.
std::string check_operand(std::string_view macro, const MacroField& field, const std::string& operand);
// The same for a number about to be written into the field.
std::string check_value(std::string_view macro, const MacroField& field, double value);
// Checks every line that calls a macro of the table: "" or the first refusal.
std::string check_generated_lines(const std::vector<std::string>& lines);
// The same, and the warning box that says why when a line cannot be written (true then): the
// caller writes nothing and changes nothing.
bool refuse_unwritable(const std::vector<std::string>& lines);

// A number typed into a dialog: "" when it is a number and `written(number)` fits the field,
// otherwise the box text naming what was typed and what it may be.
template <typename Written>
std::string check_typed_number(const std::string& what, const std::string& typed, std::string_view macro,
                               std::string_view field, Written written);
// A text typed into a dialog that goes into the field as `operand`: "" or the box text.
std::string check_typed_operand(const std::string& what, const std::string& typed, std::string_view macro,
                                std::string_view field, const std::string& operand);
// "" when typed is a number; the box text otherwise.
std::string check_is_number(const std::string& what, const std::string& typed, double& value);

template <typename Written>
std::string check_typed_number(const std::string& what, const std::string& typed, std::string_view macro,
                               std::string_view field, Written written) {
    double v = 0;
    if (std::string why = check_is_number(what, typed, v); !why.empty()) return why;
    const std::string why = check_value(macro, macro_field(macro, field), written(v));
    return why.empty() ? why : "The " + what + " \"" + typed + "\" is out of range. " + why;
}

}  // namespace cg
