#include "assembler.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <set>

#include "expression.h"
#include "lexer.h"

namespace bglc {

std::string Diagnostic::text() const {
    return file + "(" + std::to_string(line) + "): error: " + message;
}

std::optional<std::int64_t> Result::symbol(std::string_view name) const {
    const std::string key = upper(name);
    for (const auto& [written, value] : symbols)
        if (upper(written) == key) return value;
    return std::nullopt;
}

namespace {

constexpr int kMaxNesting = 64;
constexpr std::int64_t kMaxOutput = 64 * 1024 * 1024;

struct Origin {
    std::string file;
    int line = 0;
    std::string macro;   // outermost macro being expanded, empty for plain source lines
};

struct SourceLine {
    std::string text;
    Origin where;
};

struct MacroParam {
    std::string name;      // upper case: parameters are found in the body whatever their case
    std::string written;   // as in the definition, for messages
    bool required = false;
    bool vararg = false;
    std::string default_value;
};

struct Macro {
    std::string name;
    std::vector<MacroParam> params;
    std::vector<std::string> body;
    Origin where;
};

struct DataItem {
    enum class Kind { Value, String, Dup, Undefined } kind = Kind::Value;
    std::unique_ptr<Expr> expr;   // the value, or the count of a Dup
    std::string text;             // String
    std::vector<DataItem> items;  // Dup
};

struct Statement {
    // Assign: "name = value", evaluated where it stands in each pass; Org: moves the location on.
    enum class Kind { Label, Data, Align, Assign, Org } kind = Kind::Label;
    Origin where;
    std::string label;   // name defined (or assigned) at this statement's location, as written
    int unit = 0;        // bytes per item
    bool real = false;   // real4 / real8: numbers are stored as floating point
    std::vector<DataItem> items;
    std::unique_ptr<Expr> expr;   // Align, Assign, Org
};

struct Symbol {
    // Variable: defined with "=", may be assigned again; its value is the last assignment.
    enum class Kind { Label, Equate, Variable } kind = Kind::Label;
    std::string name;   // as first written
    Origin where;
    std::int64_t value = 0;
    bool placed = false;        // label: location known in the current pass; variable: assigned
    const Expr* expr = nullptr; // equate
    std::string text;           // equate: its expression as written
    bool evaluating = false;
    // Labels: the size of one item (type), and the item count of the data line (lengthof),
    // known once sized is set.
    std::int64_t type_size = 0;
    std::int64_t length = 0;
    bool sized = false;
};

struct Conditional {
    bool parent_active = true;
    bool active = true;
    bool taken = false;   // some branch was already active
    bool seen_else = false;
};

// Types and the bytes of one item of each (0: a code label, which has no data size).
const std::map<std::string, int> kTypes = {{"BYTE", 1},  {"SBYTE", 1},  {"WORD", 2},  {"SWORD", 2},
                                           {"DWORD", 4}, {"SDWORD", 4}, {"FWORD", 6}, {"QWORD", 8},
                                           {"TBYTE", 10}, {"REAL4", 4}, {"REAL8", 8}, {"NEAR", 0},
                                           {"FAR", 0},   {"PROC", 0}};
// Directives that change nothing in the output. PUBLIC only matters to a linker.
const std::set<std::string> kIgnored = {".386", ".386P", ".486", ".486P", ".586", ".586P", ".MODEL", ".CODE",
                                        ".DATA", ".CONST", ".LIST", ".NOLIST", ".XLIST", ".LALL", ".SALL",
                                        ".XALL", "TITLE", "SUBTTL", "PAGE", "OPTION", "ASSUME", "PUBLIC"};
constexpr int kMaxTextExpansions = 64;
// Longest line that text macros and macro arguments may build (each pass can double a line).
constexpr std::size_t kMaxExpandedLine = 1 << 16;

struct DataKind {
    int unit;
    bool real;
};

std::optional<DataKind> data_directive(const std::string& u) {
    if (u == "DB" || u == "BYTE" || u == "SBYTE") return DataKind{1, false};
    if (u == "DW" || u == "WORD" || u == "SWORD") return DataKind{2, false};
    if (u == "DD" || u == "DWORD" || u == "SDWORD") return DataKind{4, false};
    if (u == "DQ" || u == "QWORD") return DataKind{8, false};
    if (u == "REAL4") return DataKind{4, true};
    if (u == "REAL8") return DataKind{8, true};
    return std::nullopt;
}

// First word of a line and the rest after it.
void split_first_word(const std::string& text, std::string& first, std::string& rest) {
    std::size_t i = 0;
    while (i < text.size() && text[i] != ' ' && text[i] != '\t') ++i;
    first = text.substr(0, i);
    rest = trim(std::string_view(text).substr(i));
}

std::string strip_angle_brackets(const std::string& s) {
    std::string t = trim(s);
    if (t.size() >= 2 && t.front() == '<' && t.back() == '>') return t.substr(1, t.size() - 2);
    return t;
}

// Replaces each name of `texts` (upper case keys) that stands outside quotes by its text.
// Returns false when nothing changed.
bool replace_text_macros(std::string& line, const std::map<std::string, std::string>& texts) {
    std::string out;
    bool changed = false;
    char quote = 0;
    for (std::size_t i = 0; i < line.size();) {
        char c = line[i];
        if (quote) {
            if (c == quote) quote = 0;
            out += c;
            ++i;
        } else if (c == '\'' || c == '"') {
            quote = c;
            out += c;
            ++i;
        } else if (c == ';') {
            out += line.substr(i);
            break;
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            while (i < line.size() && is_identifier_char(line[i])) out += line[i++];
        } else if (is_identifier_start(c)) {
            std::size_t end = i;
            while (end < line.size() && is_identifier_char(line[end])) ++end;
            std::string word = line.substr(i, end - i);
            auto it = texts.find(upper(word));
            if (it != texts.end()) {
                out += it->second;
                changed = true;
            } else {
                out += word;
            }
            i = end;
        } else {
            out += c;
            ++i;
        }
    }
    if (changed) line = out;
    return changed;
}

class Assembler {
public:
    explicit Assembler(const Options& o) : opt(o) {}

    Result run(const std::string& path) {
        Origin none{path, 1, ""};
        for (const auto& name : opt.preload) {
            if (stopped) break;
            include(name, "", none, true);
        }
        // Without its macro files every line would fail: one message is enough.
        bool usable = result.errors.empty();
        if (usable) {
            auto file = opt.reader(path);
            if (!file) {
                error(none, "cannot open source file '" + path + "'");
                usable = false;
            } else {
                process(lines_of(*file), 0);
            }
        }
        // The passes run after expansion faults too, so that one run reports as much as it can.
        if (usable && !aborted) {
            std::size_t before = result.errors.size();
            run_pass(1);
            if (result.errors.size() == before) run_pass(2);
        }
        if (result.errors.empty()) {
            for (auto& [key, sym] : symbols) {
                std::string err;
                auto v = lookup(sym.name, err);
                if (v) result.symbols[sym.name] = *v;
            }
        } else {
            result.bytes.clear();
        }
        return std::move(result);
    }

private:
    const Options& opt;
    Result result;
    std::vector<Statement> statements;
    // Names ignore letter case, as MASM's do: every map is keyed by the upper-case name. Macros
    // and symbols are apart, so a label flatten_data and a macro FLATTEN_DATA live side by side.
    std::map<std::string, Symbol> symbols;
    std::map<std::string, Macro> macros;
    std::map<std::string, std::string> text_macros;   // TEXTEQU and "EQU <text>"
    std::map<std::string, int> types = kTypes;
    std::set<std::string> read_once;   // names of macro files read, upper case
    std::deque<std::unique_ptr<Expr>> equate_exprs;
    std::vector<std::int64_t> sizes;   // bytes of each statement, from pass 1
    bool stopped = false;              // no more lines are read: END directive, or aborted
    bool aborted = false;              // too many errors or lines: the passes do not run
    int local_counter = 0;
    std::size_t lines_read = 0;
    std::int64_t here = 0;

    void error(const Origin& at, const std::string& message) {
        if (aborted) return;
        std::string m = message;
        if (!at.macro.empty()) m += " (in macro " + at.macro + ")";
        result.errors.push_back(Diagnostic{at.file, at.line, m});
        if (result.errors.size() >= opt.max_errors) {
            result.errors.push_back(Diagnostic{at.file, at.line, "too many errors, stopping"});
            stopped = aborted = true;
        }
    }

    // The lines of a file. A line that ends with a comma (a data line, a macro call) goes on
    // on the next line: the two are one line, numbered as the first.
    std::vector<SourceLine> lines_of(const LoadedFile& file) {
        std::vector<SourceLine> out;
        int n = 0;
        bool continued = false;
        for (auto& text : split_lines(file.text)) {
            ++n;
            if (continued) out.back().text = trim(strip_comment(out.back().text)) + " " + text;
            else out.push_back(SourceLine{text, Origin{file.path, n, ""}});
            std::string code = trim(strip_comment(out.back().text));
            continued = !code.empty() && code.back() == ',';
        }
        return out;
    }

    // ---- expansion: includes, macros, conditionals ----

    void include(const std::string& written, const std::string& from_folder, const Origin& at, bool preload) {
        std::string name = strip_angle_brackets(written);
        if (name.size() >= 2 && (name.front() == '"' || name.front() == '\'') && name.back() == name.front())
            name = name.substr(1, name.size() - 2);
        if (name.empty()) {
            error(at, "include needs a file name");
            return;
        }
        std::vector<std::string> candidates;
        if (is_absolute_path(name)) {
            candidates.push_back(name);
        } else {
            if (!preload) candidates.push_back(join_path(from_folder, name));
            for (const auto& dir : opt.include_dirs) candidates.push_back(join_path(dir, name));
        }
        for (const auto& c : candidates) {
            auto file = opt.reader(c);
            if (!file) continue;
            // A macro file is known by its name: a copy of bglc.inc beside a source is the
            // same macro library, not a second one.
            std::string path = file->path;
            std::string key = upper(path.substr(path.find_last_of("\\/") == std::string::npos
                                                    ? 0 : path.find_last_of("\\/") + 1));
            if (read_once.count(key)) return;
            // Macro files, and the files they include, are read once per run.
            bool macro_file = preload || preloading;
            if (macro_file) read_once.insert(key);
            if (include_depth >= kMaxNesting) {
                error(at, "includes nested too deeply at '" + name + "'");
                return;
            }
            ++include_depth;
            bool was_preloading = preloading;
            preloading = macro_file;
            process(lines_of(*file), 0);
            preloading = was_preloading;
            --include_depth;
            return;
        }
        error(at, "cannot open include file '" + name + "'");
    }
    int include_depth = 0;
    bool preloading = false;

    bool is_conditional(const std::string& u) const {
        return u == "IF" || u == "IFE" || u == "IFDEF" || u == "IFNDEF" || u == "IFB" || u == "IFNB" ||
               u == "IFIDN" || u == "IFIDNI" || u == "IFDIF" || u == "IFDIFI";
    }

    // Processes a run of lines (a file, or one macro expansion). depth counts macro nesting.
    void process(const std::vector<SourceLine>& lines, int depth) {
        std::vector<Conditional> conds;
        auto active = [&] { return conds.empty() || conds.back().active; };
        for (std::size_t i = 0; i < lines.size() && !stopped; ++i) {
            const SourceLine& line = lines[i];
            if (++lines_read > opt.max_lines) {
                error(line.where, "more than " + std::to_string(opt.max_lines) + " lines after macro expansion");
                stopped = aborted = true;
                break;
            }
            std::string text = trim(strip_comment(line.text));
            if (text.empty()) continue;
            if (!text_macros.empty() && !expand_text_macros(text, line.where)) continue;
            std::string first, rest;
            split_first_word(text, first, rest);
            // "name: statement" defines the label, then the rest is read as a line of its own.
            while (first.size() > 1 && first.back() == ':' && !rest.empty() && active()) {
                add_label(first.substr(0, first.size() - 1), line.where);
                text = rest;
                split_first_word(text, first, rest);
            }
            std::string u = upper(first);
            std::string second, after_second;
            split_first_word(rest, second, after_second);
            std::string u2 = upper(second);

            if (is_conditional(u)) {
                Conditional c;
                c.parent_active = active();
                c.active = c.parent_active && condition(u, rest, line.where);
                c.taken = c.active;
                conds.push_back(c);
                continue;
            }
            if (u == "ELSE") {
                if (conds.empty() || conds.back().seen_else) {
                    error(line.where, "else without if");
                    continue;
                }
                auto& c = conds.back();
                c.seen_else = true;
                c.active = c.parent_active && !c.taken;
                c.taken = c.taken || c.active;
                continue;
            }
            if (u == "ENDIF") {
                if (conds.empty()) error(line.where, "endif without if");
                else conds.pop_back();
                continue;
            }
            if (u2 == "MACRO") {
                std::size_t end = collect_macro(lines, i, first, rest.substr(second.size()), active());
                i = end;
                continue;
            }
            if (!active()) continue;

            if (u == "INCLUDE") {
                include(rest, folder_of(line.where.file), line.where, false);
                continue;
            }
            if (u == "END") {
                stopped = true;
                break;
            }
            if (u == "ENDM") {
                error(line.where, "endm without macro");
                continue;
            }
            bool statement_form = u2 == "LABEL" || u2 == "EQU" || u2 == "=" || u2 == "TEXTEQU" ||
                                  u2 == "TYPEDEF" || data_directive(u2) || (!first.empty() && first.back() == ':');
            auto m = macros.find(u);
            if (m != macros.end() && !statement_form) {
                expand(m->second, rest, line.where, depth);
                continue;
            }
            statement(text, line.where);
        }
        if (!conds.empty() && !stopped && !lines.empty())
            error(lines.back().where, "if without endif");
    }

    // Collects a macro definition that starts at lines[start]; returns the index of its ENDM.
    std::size_t collect_macro(const std::vector<SourceLine>& lines, std::size_t start, const std::string& name,
                              const std::string& param_text, bool define) {
        Macro m;
        m.name = name;
        m.where = lines[start].where;
        int nesting = 1;
        std::size_t i = start + 1;
        for (; i < lines.size(); ++i) {
            std::string text = trim(strip_comment(lines[i].text));
            std::string first, rest, second, after;
            split_first_word(text, first, rest);
            split_first_word(rest, second, after);
            std::string u = upper(first);
            if (upper(second) == "MACRO" || u == "REPT" || u == "IRP" || u == "FOR" || u == "IRPC" || u == "FORC")
                ++nesting;
            if (u == "ENDM" && --nesting == 0) break;
            m.body.push_back(lines[i].text);
        }
        if (i >= lines.size()) {
            error(m.where, "macro '" + name + "' has no endm");
            return lines.size();
        }
        if (!define) return i;
        for (const auto& p : split_operands(param_text)) {
            if (p.empty()) continue;
            MacroParam mp;
            auto colon = p.find(':');
            mp.written = trim(p.substr(0, colon));
            mp.name = upper(mp.written);
            if (colon != std::string::npos) {
                std::string q = trim(p.substr(colon + 1));
                std::string uq = upper(q);
                if (uq == "REQ") mp.required = true;
                else if (uq == "VARARG") mp.vararg = true;
                else if (!q.empty() && q[0] == '=') mp.default_value = strip_angle_brackets(q.substr(1));
                else error(m.where, "bad macro parameter '" + p + "'");
            }
            m.params.push_back(mp);
        }
        macros[upper(name)] = std::move(m);
        return i;
    }

    void expand(const Macro& m, const std::string& arg_text, const Origin& at, int depth) {
        if (depth >= kMaxNesting) {
            error(at, "macros nested too deeply in '" + m.name + "'");
            return;
        }
        std::vector<std::string> args = split_operands(arg_text);
        std::map<std::string, std::string> subst;
        for (std::size_t k = 0; k < m.params.size(); ++k) {
            const auto& p = m.params[k];
            std::string value;
            if (p.vararg) {
                for (std::size_t j = k; j < args.size(); ++j) value += (j > k ? "," : "") + args[j];
            } else if (k < args.size()) {
                value = strip_angle_brackets(args[k]);
            }
            if (value.empty()) value = p.default_value;
            if (value.empty() && p.required) error(at, "missing argument '" + p.written + "' of macro " + m.name);
            subst[p.name] = value;
        }
        bool has_vararg = !m.params.empty() && m.params.back().vararg;
        if (!has_vararg && args.size() > m.params.size())
            error(at, "too many arguments for macro " + m.name + " (" + std::to_string(args.size()) + " given, " +
                          std::to_string(m.params.size()) + " expected)");

        Origin inner = at;
        if (inner.macro.empty()) inner.macro = m.name;
        std::vector<SourceLine> body;
        for (const auto& raw : m.body) {
            std::string text = trim(strip_comment(raw));
            std::string first, rest;
            split_first_word(text, first, rest);
            if (upper(first) == "LOCAL") {
                for (const auto& name : split_operands(rest)) {
                    char buf[16];
                    std::snprintf(buf, sizeof buf, "??%04X", local_counter++ & 0xFFFF);
                    subst[upper(name)] = buf;
                }
                continue;
            }
            body.push_back(SourceLine{substitute(raw, subst), inner});
            if (body.back().text.size() > kMaxExpandedLine) {
                error(at, "macro " + m.name + " makes a line longer than " + std::to_string(kMaxExpandedLine) +
                              " characters");
                return;
            }
        }
        process(body, depth + 1);
    }

    // Replaces parameter names by their arguments; '&' joins a parameter to the text beside it.
    static std::string substitute(const std::string& text, const std::map<std::string, std::string>& subst) {
        std::string out;
        char quote = 0;
        std::size_t i = 0;
        auto param_at = [&](std::size_t pos, std::size_t& end) -> const std::string* {
            if (pos >= text.size() || !is_identifier_start(text[pos])) return nullptr;
            end = pos;
            while (end < text.size() && is_identifier_char(text[end])) ++end;
            auto it = subst.find(upper(text.substr(pos, end - pos)));
            return it == subst.end() ? nullptr : &it->second;
        };
        while (i < text.size()) {
            char c = text[i];
            std::size_t end = 0;
            if (quote) {
                if (c == '&') {
                    if (const std::string* v = param_at(i + 1, end)) {
                        out += *v;
                        i = end < text.size() && text[end] == '&' ? end + 1 : end;
                        continue;
                    }
                }
                if (c == quote) quote = 0;
                out += c;
                ++i;
                continue;
            }
            if (c == '\'' || c == '"') {
                quote = c;
                out += c;
                ++i;
                continue;
            }
            if (c == ';') {
                out += text.substr(i);
                break;
            }
            if (std::isdigit(static_cast<unsigned char>(c))) {
                while (i < text.size() && is_identifier_char(text[i])) out += text[i++];
                continue;
            }
            if (c == '&') {
                if (param_at(i + 1, end)) {
                    ++i;
                    continue;
                }
                out += c;
                ++i;
                continue;
            }
            if (is_identifier_start(c)) {
                const std::string* v = param_at(i, end);
                if (v) out += *v;
                else out += text.substr(i, end - i);
                i = v && end < text.size() && text[end] == '&' ? end + 1 : end;
                continue;
            }
            out += c;
            ++i;
        }
        return out;
    }

    bool condition(const std::string& u, const std::string& rest, const Origin& at) {
        if (u == "IFB") return strip_angle_brackets(rest).empty();
        if (u == "IFNB") return !strip_angle_brackets(rest).empty();
        if (u == "IFDEF" || u == "IFNDEF") {
            std::string key = upper(trim(rest));
            bool defined = symbols.count(key) || macros.count(key) || text_macros.count(key);
            return u == "IFDEF" ? defined : !defined;
        }
        if (u == "IFIDN" || u == "IFIDNI" || u == "IFDIF" || u == "IFDIFI") {
            auto parts = split_operands(rest);
            if (parts.size() != 2) {
                error(at, u + " needs two operands");
                return false;
            }
            std::string a = strip_angle_brackets(parts[0]), b = strip_angle_brackets(parts[1]);
            bool same = (u == "IFIDNI" || u == "IFDIFI") ? upper(a) == upper(b) : a == b;
            return (u == "IFIDN" || u == "IFIDNI") ? same : !same;
        }
        std::string err;
        auto e = parse_expression_text(rest, err);
        std::optional<Value> v;
        if (e) v = evaluate(*e, context(0), err);
        if (!v || v->is_real) {
            error(at, "constant expected after " + u + (err.empty() ? "" : ": " + err));
            return false;
        }
        return u == "IF" ? v->integer != 0 : v->integer == 0;
    }

    // ---- statements ----

    // The symbol of a new name; null (with a message) when the name is taken. A variable may
    // be assigned again.
    Symbol* define(const std::string& name, Symbol::Kind kind, const Origin& at) {
        const std::string key = upper(name);
        auto it = symbols.find(key);
        if (it != symbols.end()) {
            if (kind == Symbol::Kind::Variable && it->second.kind == kind) return &it->second;
            const Origin& first = it->second.where;
            error(at, "duplicated label '" + name + "' (first defined at " + first.file + "(" +
                          std::to_string(first.line) + "))");
            return nullptr;
        }
        if (text_macros.count(key)) {
            error(at, "'" + name + "' is already a text macro");
            return nullptr;
        }
        Symbol& s = symbols[key];
        s.kind = kind;
        s.name = name;
        s.where = at;
        return &s;
    }

    EvalContext context(std::int64_t here_value) {
        return EvalContext{[this](const std::string& n, std::string& er) { return lookup(n, er); }, here_value,
                           [this](const std::string& op, const std::string& n, std::string& er) {
                               return query(op, n, er);
                           }};
    }

    // Replaces the text macros of a line (again and again, as their texts may name others).
    // The name on the left of a definition stays. False when the line runs away.
    bool expand_text_macros(std::string& text, const Origin& at) {
        std::string first, rest, second, after;
        split_first_word(text, first, rest);
        split_first_word(rest, second, after);
        std::string u2 = upper(second);
        if (u2 == "TEXTEQU" || u2 == "MACRO" || (u2 == "EQU" && !after.empty() && after[0] == '<')) return true;
        const bool keep_name = u2 == "EQU" || u2 == "=" || u2 == "LABEL" || data_directive(u2);
        std::string tail = keep_name ? after : text;
        for (int k = 0; replace_text_macros(tail, text_macros); ++k) {
            if (k == kMaxTextExpansions || tail.size() > kMaxExpandedLine) {
                error(at, "text macros expand without end");
                return false;
            }
        }
        text = keep_name ? first + " " + second + " " + tail : tail;
        return true;
    }

    // "name TEXTEQU <text>", "name TEXTEQU other" (another text macro) or "name TEXTEQU %expr".
    void define_text(const std::string& name, const std::string& value, const Origin& at) {
        std::string text = trim(value);
        std::string key = upper(name);
        if (symbols.count(key)) {
            error(at, "'" + name + "' is already a label");
            return;
        }
        if (!text.empty() && text[0] == '%') {
            std::string err;
            auto e = parse_expression_text(text.substr(1), err);
            std::optional<Value> v;
            if (e) v = evaluate(*e, context(0), err);
            if (!v || v->is_real) {
                error(at, "constant expected after %" + (err.empty() ? "" : ": " + err));
                return;
            }
            text_macros[key] = std::to_string(v->integer);
        } else if (text.size() >= 2 && text.front() == '<' && text.back() == '>') {
            text_macros[key] = text.substr(1, text.size() - 2);
        } else if (auto other = text_macros.find(upper(text)); other != text_macros.end()) {
            text_macros[key] = other->second;
        } else {
            error(at, "textequ needs <text>, a text macro or %expression");
        }
    }

    // sizeof / lengthof / type of a label (or type name), and PTR: the size of a type.
    std::optional<std::int64_t> query(const std::string& op, const std::string& name, std::string& err) {
        const std::string key = upper(name);
        const std::string what = op == "SIZEOF" ? "sizeof" : op == "LENGTHOF" ? "lengthof" : "type";
        auto type = types.find(key);
        if (op == "PTR") {
            if (type == types.end()) return std::nullopt;
            return type->second;
        }
        if (type != types.end() && op != "LENGTHOF" && type->second > 0) return type->second;
        auto it = symbols.find(key);
        if (it == symbols.end()) {
            err = "undefined label '" + name + "'";
            return std::nullopt;
        }
        const Symbol& s = it->second;
        if (s.kind != Symbol::Kind::Label || s.type_size == 0) {
            err = what + " of '" + name + "': it holds no data";
            return std::nullopt;
        }
        if (!s.sized) {
            err = what + " of '" + name + "' is not known before its data line";
            return std::nullopt;
        }
        if (op == "TYPE") return s.type_size;
        if (op == "LENGTHOF") return s.length;
        return s.length * s.type_size;
    }

    // Tokens from `pos` to the end as one expression; null with `err` otherwise.
    static std::unique_ptr<Expr> rest_as_expression(const std::vector<Token>& t, std::size_t pos, std::string& err) {
        auto e = parse_expression(t, pos, err);
        if (e && pos != t.size()) {
            err = "unexpected '" + t[pos].text + "'";
            e.reset();
        }
        return e;
    }

    void statement(const std::string& text, const Origin& at) {
        std::string err;
        std::string first, rest;
        split_first_word(text, first, rest);
        // ".386" and ".model flat" before the tokenizer, which reads ".386" as a number.
        if (!first.empty() && first[0] == '.' && kIgnored.count(upper(first))) return;
        auto toks = tokenize(text, err);
        if (!toks) {
            error(at, err);
            return;
        }
        auto& t = *toks;
        auto ident = [&](std::size_t k) { return k < t.size() && t[k].kind == TokenKind::Identifier; };
        auto uword = [&](std::size_t k) { return ident(k) ? upper(t[k].text) : std::string(); };
        if (t.empty()) return;

        // name:  [statement]
        if (ident(0) && t.size() >= 2 && t[1].kind == TokenKind::Punct && t[1].text == ":") {
            add_label(t[0].text, at);
            auto colon = text.find(':');
            std::string rest = trim(text.substr(colon + 1));
            if (!rest.empty()) statement(rest, at);
            return;
        }
        std::string w0 = uword(0), w1 = uword(1);
        if (ident(0) && w1 == "LABEL") {
            if (!ident(2)) {
                error(at, "label needs a type");
                return;
            }
            auto type = types.find(upper(t[2].text));
            if (type == types.end()) {
                error(at, "unknown type '" + t[2].text + "'");
                return;
            }
            if (t.size() > 3) {
                error(at, "unexpected '" + t[3].text + "' after label");
                return;
            }
            if (Symbol* sym = add_label(t[0].text, at)) {
                sym->type_size = type->second;
                sym->length = 1;
                sym->sized = true;
            }
            return;
        }
        if (ident(0) && w1 == "TEXTEQU") {
            std::string keyword, value;
            split_first_word(rest, keyword, value);
            define_text(t[0].text, value, at);
            return;
        }
        // "name = value": a number that may be assigned again further on.
        if (ident(0) && t.size() >= 2 && t[1].kind == TokenKind::Punct && t[1].text == "=") {
            auto e = rest_as_expression(t, 2, err);
            if (!e) {
                error(at, "bad value for '" + t[0].text + "': " + err);
                return;
            }
            Symbol* sym = define(t[0].text, Symbol::Kind::Variable, at);
            if (!sym) return;
            // Known at once when it names only numbers and equates, for the conditionals.
            std::string quiet;
            if (auto v = evaluate(*e, context(here), quiet); v && !v->is_real) {
                sym->value = v->integer;
                sym->placed = true;
            }
            Statement s;
            s.kind = Statement::Kind::Assign;
            s.where = at;
            s.label = t[0].text;
            s.expr = std::move(e);
            statements.push_back(std::move(s));
            return;
        }
        if (w0 == "ORG") {
            Statement s;
            s.kind = Statement::Kind::Org;
            s.where = at;
            s.expr = rest_as_expression(t, 1, err);
            if (!s.expr) {
                error(at, "bad org: " + err);
                return;
            }
            statements.push_back(std::move(s));
            return;
        }
        if (ident(0) && w1 == "EQU") {
            // The text after the EQU keyword, whatever separates the words.
            std::size_t p = text.find(t[0].text) + t[0].text.size();
            while (p < text.size() && !std::isalpha(static_cast<unsigned char>(text[p]))) ++p;
            std::string rhs = trim(text.substr(std::min(p + 3, text.size())));
            if (rhs.size() >= 2 && rhs.front() == '<' && rhs.back() == '>') {
                define_text(t[0].text, rhs, at);
                return;
            }
            auto e = parse_expression_text(rhs, err);
            if (!e) {
                error(at, "bad equate '" + t[0].text + "': " + err);
                return;
            }
            auto same = symbols.find(w0);
            if (same != symbols.end() && same->second.kind == Symbol::Kind::Equate && same->second.text == rhs)
                return;   // the same equate again, as when two files share a definition
            Symbol* sym = define(t[0].text, Symbol::Kind::Equate, at);
            if (!sym) return;
            equate_exprs.push_back(std::move(e));
            sym->expr = equate_exprs.back().get();
            sym->text = rhs;
            return;
        }
        if (ident(0) && w1 == "TYPEDEF") {
            auto type = ident(2) ? types.find(upper(t[2].text)) : types.end();
            if (type == types.end() || t.size() > 3) {
                error(at, "typedef needs one known type");
                return;
            }
            types[w0] = type->second;
            return;
        }
        if (auto d = data_directive(w0)) {
            data(t, 1, *d, "", at);
            return;
        }
        if (ident(0) && data_directive(w1)) {
            data(t, 2, *data_directive(w1), t[0].text, at);
            return;
        }
        if (w0 == "ALIGN" || w0 == "EVEN") {
            Statement s;
            s.kind = Statement::Kind::Align;
            s.where = at;
            if (w0 == "EVEN") {
                s.expr = parse_expression_text("2", err);
            } else {
                s.expr = rest_as_expression(t, 1, err);
                if (!s.expr) {
                    error(at, "bad align: " + err);
                    return;
                }
            }
            statements.push_back(std::move(s));
            return;
        }
        if (kIgnored.count(w0)) return;
        if (w0 == "LOCAL") {
            error(at, "local outside a macro");
            return;
        }
        std::string word = ident(0) ? t[0].text : text.substr(0, text.find(' '));
        error(at, "unknown macro or directive '" + word + "'");
    }

    Symbol* add_label(const std::string& name, const Origin& at) {
        Symbol* sym = define(name, Symbol::Kind::Label, at);
        if (!sym) return nullptr;
        Statement s;
        s.kind = Statement::Kind::Label;
        s.where = at;
        s.label = name;
        statements.push_back(std::move(s));
        return sym;
    }

    bool parse_items(const std::vector<Token>& t, std::size_t& pos, std::vector<DataItem>& items, std::string& err,
                     bool in_dup) {
        while (true) {
            if (pos >= t.size()) {
                err = "missing value";
                return false;
            }
            DataItem item;
            bool next_ends = pos + 1 >= t.size() || (t[pos + 1].kind == TokenKind::Punct &&
                                                     (t[pos + 1].text == "," || t[pos + 1].text == ")"));
            if (t[pos].kind == TokenKind::Identifier && t[pos].text == "?" && next_ends) {
                item.kind = DataItem::Kind::Undefined;
                ++pos;
            } else if (t[pos].kind == TokenKind::String && next_ends) {
                item.kind = DataItem::Kind::String;
                item.text = t[pos].text;
                ++pos;
            } else {
                auto e = parse_expression(t, pos, err);
                if (!e) return false;
                if (pos < t.size() && t[pos].kind == TokenKind::Identifier && upper(t[pos].text) == "DUP") {
                    ++pos;
                    if (pos >= t.size() || t[pos].text != "(") {
                        err = "dup needs '('";
                        return false;
                    }
                    ++pos;
                    item.kind = DataItem::Kind::Dup;
                    item.expr = std::move(e);
                    if (!parse_items(t, pos, item.items, err, true)) return false;
                    if (pos >= t.size() || t[pos].text != ")") {
                        err = "dup needs ')'";
                        return false;
                    }
                    ++pos;
                } else {
                    item.kind = DataItem::Kind::Value;
                    item.expr = std::move(e);
                }
            }
            items.push_back(std::move(item));
            if (pos < t.size() && t[pos].kind == TokenKind::Punct && t[pos].text == ",") {
                ++pos;
                continue;
            }
            if (pos >= t.size() || (in_dup && t[pos].text == ")")) return true;
            err = "unexpected '" + t[pos].text + "'";
            return false;
        }
    }

    void data(const std::vector<Token>& t, std::size_t start, DataKind kind, const std::string& label,
              const Origin& at) {
        Statement s;
        s.kind = Statement::Kind::Data;
        s.where = at;
        s.unit = kind.unit;
        s.real = kind.real;
        std::string err;
        std::size_t pos = start;
        if (!parse_items(t, pos, s.items, err, false)) {
            error(at, err);
            return;
        }
        if (!label.empty()) {
            Symbol* sym = define(label, Symbol::Kind::Label, at);
            if (!sym) return;
            sym->type_size = kind.unit;
            s.label = label;
        }
        statements.push_back(std::move(s));
    }

    // ---- symbols ----

    std::optional<std::int64_t> lookup(const std::string& name, std::string& err) {
        auto it = symbols.find(upper(name));
        if (it == symbols.end()) {
            err = "undefined label '" + name + "'";
            return std::nullopt;
        }
        Symbol& s = it->second;
        if (s.kind == Symbol::Kind::Label || s.kind == Symbol::Kind::Variable) {
            if (!s.placed) {
                err = "'" + name + "' must be defined before it is used here";
                return std::nullopt;
            }
            return s.value;
        }
        if (s.evaluating) {
            err = "equate '" + name + "' refers to itself";
            return std::nullopt;
        }
        s.evaluating = true;
        auto v = evaluate(*s.expr, context(here), err);
        s.evaluating = false;
        if (!v) return std::nullopt;
        if (v->is_real) {
            err = "equate '" + name + "' is a real number";
            return std::nullopt;
        }
        return v->integer;
    }

    std::optional<Value> eval(const Expr& e, const Origin& at) {
        std::string err;
        auto v = evaluate(e, context(here), err);
        if (!v) error(at, err);
        return v;
    }

    // ---- the two passes ----

    // True when a value may differ with the location it is written at: it uses $, or an equate
    // that does.
    bool depends_on_location(const Expr& e, std::set<std::string>& seen) const {
        switch (e.kind) {
            case Expr::Kind::Here: return true;
            case Expr::Kind::Symbol: {
                const std::string key = upper(e.name);
                const auto it = symbols.find(key);
                if (it == symbols.end() || !it->second.expr || !seen.insert(key).second) return false;
                return depends_on_location(*it->second.expr, seen);
            }
            default:
                return (e.left && depends_on_location(*e.left, seen)) || (e.right && depends_on_location(*e.right, seen));
        }
    }
    bool depends_on_location(const std::vector<DataItem>& items) const {
        std::set<std::string> seen;
        for (const auto& item : items)
            if ((item.expr && depends_on_location(*item.expr, seen)) || depends_on_location(item.items)) return true;
        return false;
    }

    // Bytes of one item; `count` grows by its number of values (lengthof).
    std::optional<std::int64_t> item_size(const DataItem& item, const Statement& s, std::int64_t& count) {
        switch (item.kind) {
            case DataItem::Kind::Value:
            case DataItem::Kind::Undefined:
                ++count;
                return s.unit;
            case DataItem::Kind::String:
                if (s.unit == 1) {
                    count += static_cast<std::int64_t>(item.text.size());
                    return static_cast<std::int64_t>(item.text.size());
                }
                if (item.text.size() > static_cast<std::size_t>(s.unit)) {
                    error(s.where, "string '" + item.text + "' too long for its data size");
                    return std::nullopt;
                }
                ++count;
                return s.unit;
            case DataItem::Kind::Dup: {
                auto n = eval(*item.expr, s.where);
                if (!n) return std::nullopt;
                if (n->is_real || n->integer < 0 || n->integer > kMaxOutput) {
                    error(s.where, "bad dup count");
                    return std::nullopt;
                }
                std::int64_t total = 0, inner = 0;
                for (const auto& sub : item.items) {
                    auto k = item_size(sub, s, inner);
                    if (!k) return std::nullopt;
                    total += *k;
                }
                if (total * n->integer > kMaxOutput) {
                    error(s.where, "data too large");
                    return std::nullopt;
                }
                count += inner * n->integer;
                return total * n->integer;
            }
        }
        return std::nullopt;
    }

    void emit_integer(std::int64_t v, int unit, const Origin& at) {
        std::int64_t lo = unit == 8 ? INT64_MIN : -(std::int64_t{1} << (unit * 8 - 1));
        std::int64_t hi = unit == 8 ? INT64_MAX : (std::int64_t{1} << (unit * 8)) - 1;
        if (v < lo || v > hi) {
            error(at, "value " + std::to_string(v) + " out of range for " + std::to_string(unit) + " byte" +
                          (unit > 1 ? "s" : ""));
            v = 0;
        }
        std::uint64_t u = static_cast<std::uint64_t>(v);
        for (int k = 0; k < unit; ++k) result.bytes.push_back(static_cast<std::uint8_t>(u >> (8 * k)));
    }

    void emit_value(const Value& v, const Statement& s) {
        if (v.is_real || s.real) {
            double d = v.is_real ? v.real : static_cast<double>(v.integer);
            if (s.unit == 4) {
                float f = static_cast<float>(d);
                std::uint32_t bits;
                std::memcpy(&bits, &f, 4);
                emit_integer(bits, 4, s.where);
            } else if (s.unit == 8) {
                std::uint64_t bits;
                std::memcpy(&bits, &d, 8);
                for (int k = 0; k < 8; ++k) result.bytes.push_back(static_cast<std::uint8_t>(bits >> (8 * k)));
            } else {
                error(s.where, "real number needs 4 or 8 bytes");
                emit_integer(0, s.unit, s.where);
            }
            return;
        }
        emit_integer(v.integer, s.unit, s.where);
    }

    void emit_items(const std::vector<DataItem>& items, const Statement& s) {
        for (const auto& item : items) {
            switch (item.kind) {
                case DataItem::Kind::Undefined:
                    emit_integer(0, s.unit, s.where);
                    break;
                case DataItem::Kind::String:
                    if (s.unit == 1) {
                        for (unsigned char c : item.text) result.bytes.push_back(c);
                    } else {
                        // Like a character constant: the first character is the most significant.
                        std::int64_t v = 0;
                        for (unsigned char c : item.text) v = (v << 8) | c;
                        emit_integer(v, s.unit, s.where);
                    }
                    break;
                case DataItem::Kind::Value: {
                    auto v = eval(*item.expr, s.where);
                    if (v) emit_value(*v, s);
                    else emit_integer(0, s.unit, s.where);
                    break;
                }
                case DataItem::Kind::Dup: {
                    auto n = eval(*item.expr, s.where);
                    if (!n) return;
                    if (n->integer <= 0) break;
                    // Items that do not depend on their location ($) give the same bytes each time:
                    // the first copy is repeated, so that a large dup costs no more than its bytes.
                    const std::size_t start = result.bytes.size();
                    emit_items(item.items, s);
                    if (!depends_on_location(item.items)) {
                        // Doubling what is there: a few block copies, however many the copies.
                        const std::size_t total = (result.bytes.size() - start) * static_cast<std::size_t>(n->integer);
                        std::size_t filled = result.bytes.size() - start;
                        result.bytes.resize(start + total);
                        std::uint8_t* block = result.bytes.data() + start;
                        while (filled < total) {
                            const std::size_t chunk = std::min(filled, total - filled);
                            std::copy_n(block, chunk, block + filled);
                            filled += chunk;
                        }
                    } else {
                        for (std::int64_t k = 1; k < n->integer && !aborted; ++k) emit_items(item.items, s);
                    }
                    break;
                }
            }
            here = static_cast<std::int64_t>(result.bytes.size());
        }
    }

    void run_pass(int pass) {
        for (auto& [key, sym] : symbols) {
            if (sym.kind == Symbol::Kind::Label && pass == 1) sym.placed = false;
            if (sym.kind == Symbol::Kind::Variable) sym.placed = false;   // assigned again in order
        }
        std::int64_t loc = 0;
        result.bytes.clear();
        sizes.resize(statements.size());
        for (std::size_t index = 0; index < statements.size(); ++index) {
            const Statement& s = statements[index];
            if (aborted) return;
            here = loc;
            if (!s.label.empty() && s.kind != Statement::Kind::Assign) {
                Symbol& sym = symbols[upper(s.label)];
                if (pass == 1) {
                    sym.value = loc;
                    sym.placed = true;
                } else if (sym.value != loc) {
                    error(s.where, "label '" + s.label + "' moved between passes");
                }
            }
            switch (s.kind) {
                case Statement::Kind::Label:
                    break;
                case Statement::Kind::Assign: {
                    auto v = eval(*s.expr, s.where);
                    if (!v) break;
                    if (v->is_real) {
                        error(s.where, "'" + s.label + "' must be a whole number");
                        break;
                    }
                    Symbol& sym = symbols[upper(s.label)];
                    sym.value = v->integer;
                    sym.placed = true;
                    break;
                }
                case Statement::Kind::Org: {
                    auto v = eval(*s.expr, s.where);
                    if (!v) return;
                    if (v->is_real || v->integer < loc || v->integer > kMaxOutput) {
                        error(s.where, v->is_real || v->integer > kMaxOutput
                                           ? std::string("bad org value")
                                           : "org cannot move back from " + std::to_string(loc) + " to " +
                                                 std::to_string(v->integer));
                        return;
                    }
                    if (pass == 2)
                        result.bytes.insert(result.bytes.end(), static_cast<std::size_t>(v->integer - loc), 0);
                    loc = v->integer;
                    break;
                }
                case Statement::Kind::Align: {
                    auto v = eval(*s.expr, s.where);
                    if (!v || v->is_real || v->integer <= 0 || v->integer > 4096) {
                        if (v) error(s.where, "bad align value");
                        return;
                    }
                    std::int64_t pad = (v->integer - loc % v->integer) % v->integer;
                    if (pass == 2) result.bytes.insert(result.bytes.end(), static_cast<std::size_t>(pad), 0);
                    loc += pad;
                    break;
                }
                case Statement::Kind::Data:
                    if (pass == 1) {
                        std::int64_t size = 0, count = 0;
                        for (const auto& item : s.items) {
                            auto n = item_size(item, s, count);
                            if (!n) return;
                            size += *n;
                        }
                        sizes[index] = size;
                        if (!s.label.empty()) {
                            Symbol& sym = symbols[upper(s.label)];
                            sym.length = count;
                            sym.sized = true;
                        }
                        loc += size;
                        if (loc > kMaxOutput) {
                            error(s.where, "output too large");
                            return;
                        }
                    } else {
                        std::size_t errors_before = result.errors.size();
                        emit_items(s.items, s);
                        if (errors_before == result.errors.size() &&
                            static_cast<std::int64_t>(result.bytes.size()) != loc + sizes[index]) {
                            // A dup count that changed between passes would shift every later label.
                            error(s.where, "data size changed between passes");
                            return;
                        }
                        loc += sizes[index];
                        result.bytes.resize(static_cast<std::size_t>(loc));
                    }
                    break;
            }
        }
    }

};

}  // namespace

Result assemble(const std::string& source_path, const Options& options) {
    Assembler a(options);
    return a.run(source_path);
}

}  // namespace bglc
