#include "macro_fields.h"

#include <cctype>
#include <cmath>
#include <stdexcept>

#include "ui/format.h"
#include "ui/platform.h"
#include "workbench/asm_line.h"

namespace cg {

namespace {

// The stores of the macro files: a word (signed or not), a doubleword, a four-byte real.
constexpr double kWordLow = -32768, kWordHigh = 65535;
constexpr double kDwordLow = -2147483648.0, kDwordHigh = 4294967295.0;
constexpr double kRealMax = 3.4028234663852886e38;

MacroField word(const char* name) { return {name, FieldKind::Whole, kWordLow, kWordHigh}; }
MacroField dword(const char* name) { return {name, FieldKind::Whole, kDwordLow, kDwordHigh}; }
// Signed quantities (altitudes, coordinates): their stores hold the signed half.
MacroField signed_word(const char* name) { return {name, FieldKind::Whole, -32768, 32767}; }
MacroField signed_dword(const char* name) { return {name, FieldKind::Whole, kDwordLow, 2147483647.0}; }
MacroField real(const char* name) { return {name, FieldKind::Real, -kRealMax, kRealMax}; }
MacroField text(const char* name) { return {name, FieldKind::Text}; }
MacroField label(const char* name) { return {name, FieldKind::Label}; }
MacroField name(const char* name) { return {name, FieldKind::Name}; }

std::vector<MacroFields> build_table() {
    const std::vector<MacroField> place = {label("target"), dword("range"), word("size"), dword("scale"),
                                           dword("lat"),    word("latf"),   dword("lon"), word("lonf"),
                                           dword("alt"),    word("altf")};
    std::vector<MacroFields> t = {
        {"BGL_LIGHT",
         {name("type"), real("x"), real("y"), real("z"), real("intensity"), real("lin"), real("sq"), dword("colour"),
          real("nx"), real("ny"), real("nz")}},
        {"IFIN1", {label("target"), label("var"), word("low"), word("high")}},
        {"IFMSK", {label("target"), label("var"), {"mask", FieldKind::Mask}}},
        {"SCALE", place},
        {"SCALE_AGL", place},
        {"INSTANCE_CALL", {label("target"), word("pitch"), word("bank"), word("heading")}},
        {"KZV_FX1", {text("name"), text("params")}},
        {"KZV_LIBRARY_CALL", {dword("g1"), dword("g2"), dword("g3"), dword("g4")}},
        {"BGL_TRANSFORM_MAT",
         {real("x"), real("y"), real("z"), real("m11"), real("m12"), real("m13"), real("m21"), real("m22"),
          real("m23"), real("m31"), real("m32"), real("m33")}},
        {"KZV_WINDSOCK",
         {real("x"), real("y"), real("z"), real("height"), real("length"), dword("mast"), dword("sock"), word("lit")}},
        {"SET_SURFACE_TYPE", {label("type"), dword("width"), dword("length"), signed_dword("alt")}},
        {"ALTITUDE_SET", {signed_dword("alt")}},
        {"FLATTEN_DATA", {word("count"), word("col"), word("sub"), word("row"), word("f1"), word("f2"), word("lake")}},
        {"FLATTEN_POLYGON", {word("count"), signed_dword("alt"), word("flags")}},
        {"FLATTEN_POINT", {word("x"), word("z")}},
        {"FLATTEN_GROUP", {dword("row"), dword("col"), label("data"), label("first"), label("last")}},
        {"DECAL_DATA", {word("count"), word("col"), word("sub"), word("row"), word("f1"), word("f2"), word("f3")}},
        {"DECAL_GEOMETRY", {word("count"), label("kind"), word("texture"), word("flags")}},
        {"DECAL_POINTS", {word("count")}},
        {"DECAL_POINT", {signed_dword("first"), signed_dword("second")}},
        {"DECAL_GROUP", {dword("row"), dword("col"), label("data"), label("first"), label("last")}},
        {"TEXTURE_DATA", {text("name"), word("a"), word("b"), word("c")}},
    };
    for (const char* area : {"AREA_SENSE3", "AREA_SENSE4", "AREA_SENSE5", "AREA_SENSE6", "AREA_SENSE7", "AREA_SENSE8"})
        t.push_back({area, {label("target"), signed_word("point")}, true});
    return t;
}

bool same_name(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

int is_name_char(int c) { return std::isalnum(c) || c == '_' || c == '@' || c == '$' || c == '?'; }

bool all_of(std::string_view s, int (*is)(int)) {
    for (char c : s)
        if (!is(static_cast<unsigned char>(c))) return false;
    return !s.empty();
}

// A number as the compiler reads it: an optional sign, then a whole number (decimal, or
// hexadecimal digits that start with a digit and end in h) or a real (digits, a point, digits,
// an optional exponent). `whole` tells which.
bool read_number(std::string_view t, double& value, bool& whole) {
    bool negative = false;
    if (!t.empty() && (t[0] == '-' || t[0] == '+')) {
        negative = t[0] == '-';
        t.remove_prefix(1);
    }
    if (t.empty() || t == ".") return false;  // a point alone is no number
    const std::string digits = t[0] == '.' ? "0" + std::string(t) : std::string(t);  // ".5"
    t = digits;
    if (t.empty() || !std::isdigit(static_cast<unsigned char>(t[0]))) return false;
    const char last = static_cast<char>(std::tolower(static_cast<unsigned char>(t.back())));
    if (last == 'h' && all_of(t.substr(0, t.size() - 1), std::isxdigit)) {
        whole = true;
        value = 0;
        for (char c : t.substr(0, t.size() - 1))
            value = value * 16 + (std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::toupper(c) - 'A' + 10);
    } else if (all_of(t, std::isdigit)) {
        whole = true;
        value = std::stod(std::string(t));
    } else {
        const size_t point = t.find('.');
        if (point == std::string_view::npos || !all_of(t.substr(0, point), std::isdigit)) return false;
        size_t i = point + 1;
        while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i;
        if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
            ++i;
            if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
            if (!all_of(t.substr(i), std::isdigit)) return false;
        } else if (i != t.size()) {
            return false;
        }
        whole = false;
        value = std::strtod(std::string(t).c_str(), nullptr);
    }
    if (!std::isfinite(value)) return false;
    if (negative) value = -value;
    return true;
}

// "name label type": a label may be named like a macro ("flatten_data").
bool is_label_line(const std::string& line) {
    const std::string t = wb::trim(line);
    size_t at = 0;
    while (at < t.size() && !wb::is_blank(t[at])) ++at;
    while (at < t.size() && wb::is_blank(t[at])) ++at;
    return wb::begins_with_keyword(t.substr(at), "LABEL") && (at + 5 == t.size() || wb::is_blank(t[at + 5]));
}

std::string range_text(const MacroField& f) {
    switch (f.kind) {
        case FieldKind::Whole: return "whole numbers from " + ui::num(f.low) + " to " + ui::num(f.high);
        case FieldKind::Real: return "numbers from " + ui::num(f.low) + " to " + ui::num(f.high);
        case FieldKind::Text: return "a text in double quotes without a double quote inside";
        case FieldKind::Mask: return "a whole number (hexadecimal digits with a trailing h)";
        case FieldKind::Label:
        case FieldKind::Name: return "a name";
    }
    return "";
}

std::string refusal(std::string_view macro, const MacroField& f, const std::string& value) {
    return "The value " + value + " cannot be written: the field " + f.name + " of " + std::string(macro) +
           " holds " + range_text(f) + ".";
}

}  // namespace

const std::vector<MacroFields>& macro_fields() {
    static const std::vector<MacroFields> table = build_table();
    return table;
}

const MacroFields* find_macro(std::string_view macro) {
    for (const MacroFields& m : macro_fields())
        if (same_name(m.macro, macro)) return &m;
    return nullptr;
}

const MacroField& macro_field(std::string_view macro, std::string_view field) {
    if (const MacroFields* m = find_macro(macro))
        for (const MacroField& f : m->fields)
            if (field == f.name) return f;
    throw std::out_of_range("no field " + std::string(field) + " of " + std::string(macro));
}

std::vector<std::string> macro_operands(const std::string& line) {
    const std::string t = wb::trim(line);
    if (t.empty() || t[0] == ';') return {};
    size_t word = 0;
    while (word < t.size() && !wb::is_blank(t[word])) ++word;
    std::vector<std::string> out = {t.substr(0, word)};
    if (word >= t.size()) return out;
    bool quoted = false;
    size_t start = word;
    for (size_t i = word; i <= t.size(); ++i) {
        const char c = i < t.size() ? t[i] : ',';
        if (c == '"') quoted = !quoted;
        if (!quoted && (c == ',' || c == ';')) {
            out.push_back(wb::trim(t.substr(start, i - start)));
            start = i + 1;
            if (c == ';') break;  // a comment ends the operands
        }
    }
    return out;
}

std::string check_value(std::string_view macro, const MacroField& f, double v) {
    const bool fits = std::isfinite(v) && v >= f.low && v <= f.high && (f.kind != FieldKind::Whole || v == std::floor(v));
    return fits || (f.kind != FieldKind::Whole && f.kind != FieldKind::Real) ? "" : refusal(macro, f, ui::num(v));
}

std::string check_operand(std::string_view macro, const MacroField& f, const std::string& operand) {
    switch (f.kind) {
        case FieldKind::Label: return "";
        case FieldKind::Name: {
            const bool fits = all_of(operand, is_name_char) && !std::isdigit(static_cast<unsigned char>(operand[0]));
            return fits ? "" : refusal(macro, f, operand);
        }
        case FieldKind::Text: {
            const bool fits = operand.size() >= 2 && operand.front() == '"' && operand.back() == '"' &&
                              operand.find('"', 1) == operand.size() - 1;
            return fits ? "" : refusal(macro, f, operand);
        }
        case FieldKind::Mask: {
            // Any whole number (the macro keeps its low sixteen bits), or "0-" + digits + "h".
            std::string_view m = operand;
            double v = 0;
            bool whole = false;
            const bool fits = (read_number(m, v, whole) && whole) ||
                              (m.size() >= 4 && m.substr(0, 2) == "0-" && (m.back() == 'h' || m.back() == 'H') &&
                               all_of(m.substr(2, m.size() - 3), std::isxdigit));
            return fits ? "" : refusal(macro, f, operand);
        }
        case FieldKind::Whole:
        case FieldKind::Real: {
            double v = 0;
            bool whole = false;
            if (!read_number(operand, v, whole) || (f.kind == FieldKind::Whole && !whole))
                return refusal(macro, f, operand.empty() ? "(none)" : operand);
            // The compiler reads digits without a point as a whole number, of a doubleword.
            if (f.kind == FieldKind::Real && whole && (v < kDwordLow || v > kDwordHigh))
                return refusal(macro, f, operand) + " Written without a point, it is a whole number from " +
                       ui::num(kDwordLow) + " to " + ui::num(kDwordHigh) + ".";
            return check_value(macro, f, v).empty() ? "" : refusal(macro, f, operand);
        }
    }
    return "";
}

std::string check_generated_lines(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        const std::vector<std::string> ops = macro_operands(line);
        if (ops.empty()) continue;
        const MacroFields* m = find_macro(ops[0]);
        if (!m || is_label_line(line)) continue;
        const size_t given = ops.size() - 1;
        if (given < m->fields.size() || (given > m->fields.size() && !m->last_repeats))
            return "The line \"" + wb::trim(line) + "\" does not give " + m->macro + " its " +
                   std::to_string(m->fields.size()) + " values.";
        for (size_t i = 1; i < ops.size(); ++i) {
            const MacroField& f = m->fields[std::min(i, m->fields.size()) - 1];
            if (std::string why = check_operand(m->macro, f, ops[i]); !why.empty()) return why;
        }
    }
    return "";
}

bool refuse_unwritable(const std::vector<std::string>& lines) {
    const std::string why = check_generated_lines(lines);
    if (why.empty()) return false;
    ui::warning_box(why + "\r\nNothing was written; the material stays unprocessed.");
    return true;
}

std::string check_typed_operand(const std::string& what, const std::string& typed, std::string_view macro,
                                std::string_view field, const std::string& operand) {
    const std::string why = check_operand(macro, macro_field(macro, field), operand);
    return why.empty() ? why : "The " + what + " \"" + typed + "\" cannot be used. " + why;
}

std::string check_is_number(const std::string& what, const std::string& typed, double& value) {
    bool ok = false;
    value = ui::to_number(typed, &ok);
    return ok ? "" : "The " + what + " \"" + typed + "\" is not a number.";
}

}  // namespace cg
