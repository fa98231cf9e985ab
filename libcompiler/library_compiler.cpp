#include "libcompiler/library_compiler.h"

#include <cctype>
#include <map>
#include <set>

#include "ui/fileio.h"
#include "ui/format.h"
#include "ui/platform.h"
#include "workbench/asm_line.h"
#include "workbench/text_file.h"

namespace libcompiler {
namespace {

constexpr const char* kCrLf = "\r\n";

std::string drawing_file(const LibraryEntry& entry) { return entry.source + "_0.asm"; }

}  // namespace

bool has_label_mark(const wb::LineArray& lines) {
    std::string first = lines.size() > 1 ? lines[1] : std::string();
    first.resize(16, ' ');
    return first == std::string(kLabelMark, 16);
}

std::string marked_suffix(const wb::LineArray& lines) {
    if (!has_label_mark(lines)) return "";
    const std::string& first = lines[1];
    const std::size_t mark = std::string(kLabelMark).size();
    if (first.size() <= mark + 1 || first.compare(0, mark, kLabelMark) != 0 || first[mark] != ' ') return "";
    return wb::trim(first.substr(mark + 1));
}

std::optional<std::vector<std::pair<std::string, std::string>>> label_drawing_files(
    const std::vector<LibraryEntry>& entries) {
    // All files are read first: a missing one stops the step before anything is changed.
    std::vector<wb::LineArray> files(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (wb::load_file2array(drawing_file(entries[i]), files[i]) == 0) {
            ui::error_box("Error ! File " + drawing_file(entries[i]) + " could not be opened.");
            return std::nullopt;
        }
    }
    // Suffixes and labels that marked files carry, and the files that define each label.
    std::set<std::string> suffixes;
    std::map<std::string, std::size_t> defined_in;  // upper-case name -> file
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!has_label_mark(files[i])) continue;
        suffixes.insert(wb::upper(marked_suffix(files[i])));
        for (const auto& name : wb::label_names(files[i])) defined_in.emplace(wb::upper(name), i);
    }
    auto clashes = [&](std::size_t file, const std::vector<std::string>& names, const std::string& suffix) {
        for (const auto& name : names) {
            const auto at = defined_in.find(wb::upper(name + suffix));
            if (at != defined_in.end() && at->second != file) return true;
        }
        return false;
    };
    std::vector<std::pair<std::string, std::string>> changed;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (has_label_mark(files[i])) continue;
        const std::vector<std::string> names = wb::label_names(files[i]);
        std::string suffix;
        for (std::size_t n = i;; ++n) {
            suffix = "G" + std::to_string(n);
            if (!suffixes.count(suffix) && !clashes(i, names, suffix)) break;
        }
        suffixes.insert(suffix);
        for (const auto& name : names) defined_in.emplace(wb::upper(name + suffix), i);
        wb::make_labels_unique(files[i], suffix);
        std::vector<std::string> lines = files[i].lines();
        lines.insert(lines.begin(), std::string(kLabelMark) + " " + suffix);
        files[i] = wb::LineArray::from_lines(lines);
        changed.emplace_back(drawing_file(entries[i]), wb::array_file_text(files[i]));
    }
    // The labels as bglc will see them, every file in its final form.
    std::map<std::string, std::size_t> first_file;
    for (std::size_t i = 0; i < files.size(); ++i) {
        for (const auto& name : wb::label_names(files[i])) {
            const auto [at, added] = first_file.emplace(wb::upper(name), i);
            if (added) continue;
            const std::string where = at->second == i ? drawing_file(entries[i])
                                                      : drawing_file(entries[at->second]) + " and " +
                                                            drawing_file(entries[i]);
            ui::warning_box("Duplicated label found : " + name + " in " + where);
            return std::nullopt;
        }
    }
    return changed;
}

std::string library_source_text(const std::vector<LibraryEntry>& entries, const Identifier& lowest,
                                 const Identifier& highest, const std::string& version) {
    std::string s;
    auto line = [&s](const std::string& text) { s += text + kCrLf; };
    line("; Library Compiler - gorvane " + version + " by the Gorvane authors");
    line("; Compile with bglc /bgl and put the library BGL file into a scenery folder.");
    line("; ");
    for (const char* text : {"header label word", "    dw  0001", "    dd  000989D57H", "    dd  0FF6914C5H",
                             "    dd  07FFFFFFFH", "    dd  080B60B62H", "    dw  22 dup(0)",
                             "    dd  (offset LIBRARY_DATA) - (offset header)", "    dw  10 dup(0)"})
        line(text);
    for (std::uint32_t dword : {lowest[0], lowest[1], highest[0], highest[1]}) line("    dd  " + ui::asm_hex(dword));
    line("    dw  14 dup(0)");

    line("LIBRARY_DATA label word");
    for (std::size_t i = 0; i < entries.size(); ++i) {
        line("    dd  (offset LIBRARY_" + std::to_string(i) + ") - (offset LIBRARY_DATA)");
        line("    dd  " + libtool::identifier_text(entries[i].record, true));
    }
    line("    dd  0,6,8");
    line("    dd  (offset LIBRARY_DATA)");

    for (std::size_t n = 0; n < entries.size(); ++n) {
        const LibraryObjectRecord& r = entries[n].record;
        const std::string i = "LIBRARY_" + std::to_string(n);
        line(i + " label word");
        line("    dd  " + libtool::identifier_text(r, true));
        line("    db  " + std::to_string(r.image_power));
        line("    dd  (offset " + i + "_HE) - (offset " + i + ")");
        line("    dd  (offset " + i + "_END) - (offset " + i + "_START)");
        for (std::int32_t value : {r.size, r.scale, r.type, r.reserved}) line("    dd  " + std::to_string(value));
        line("    db \"" + libtool::trimmed_name(r) + "\"");
        line("    dd 0");
        line(i + "_HE label word");
        line(i + "_START label word");
        line("    include " + drawing_file(entries[n]));
        line(i + "_END label word");
    }
    line("    dd 0,0,0,0");
    return s;
}

Footprint vertex_footprint(const wb::LineArray& lines) {
    Footprint f;
    const long begin = wb::find_line("VERTEX_LIST_BEGIN", lines, 1, false);
    if (begin == 0) return f;
    long end = wb::find_line("VERTEX_LIST_END", lines, begin, false);
    if (end == 0) end = lines.top();
    for (long i = begin + 1; i < end; ++i) {
        const std::string word = wb::asm_field(lines[i], 0);
        if (word.empty() || word == "com") continue;  // blank lines and comments hold no vertex
        const double x = ui::val(wb::asm_field(lines[i], 1));
        const double z = ui::val(wb::asm_field(lines[i], 3));
        if (x < f.min_x) f.min_x = x;
        if (x > f.max_x) f.max_x = x;
        if (z < f.min_z) f.min_z = z;
        if (z > f.max_z) f.max_z = z;
    }
    return f;
}

std::string api_macro_text(const Footprint& f, const Identifier& identifier, const std::string& version) {
    std::string s;
    auto line = [&s](const std::string& text) { s += text + kCrLf; };
    auto point = [&line](double x, double z) {
        line(ui::num(ui::int_floor(x)) + " 0 " + ui::num(ui::int_floor(z)));
    };
    line("; --- Created by Gorvane " + version);
    line("");
    for (const char* text : {"mif (0)", "Area( 5 %1 %2 1 )", "RotatedCall( :symbol 0 0 %5 )", "Jump( :endsymbl )",
                             ":symbol", "RefPoint( 7 : 0.5 %1 %2 )", "Points( 0"})
        line(text);
    point(f.min_x, f.min_z);
    point(f.min_x, f.max_z);
    point(f.max_x, f.max_z);
    point(f.max_x, f.min_z);
    point((f.min_x + f.max_x) / 2, (f.min_z + f.max_z) / 2);
    for (const char* text :
         {")", "Poly( a 0 1 2 3 )", "Poly( a 0 4 3 )", "Return", ":endsymbl", "EndA", "mifend", "",
          "Area( 5 %1 %2 22 )", "perspectivecall( :OBJ )", "shadowcall( :OBJ )", "jump( : )", ":OBJ", "mif( %11  )",
          "refpoint( 2 :END %4 %1 %2 E= %11 v1= %10 %13 %14 )", "melse",
          "refpoint( 7 :END %4 %1 %2 v1= %10 %13 %14 )", "mifend", "rotatedcall( :ROT 0 0 %5 )", "return", ":ROT"})
        line(text);
    std::string call = "callLibobj( 0 ";
    for (std::uint32_t dword : identifier) call += ui::hex(dword) + "  ";
    line(call + ")");
    line(":END");
    line("return");
    line("EndA");
    return s;
}

Identifier identifier_from_bytes(const std::string& hex_digits) {
    Identifier id{};
    for (std::size_t b = 0; b < 16 && 2 * b + 1 < hex_digits.size(); ++b) {
        const std::uint32_t byte = std::stoul(hex_digits.substr(2 * b, 2), nullptr, 16);
        id[b / 4] |= byte << (8 * (b % 4));
    }
    return id;
}

bool increment_identifier(Identifier& identifier) {
    if (identifier[0] == 0xFFFFFFFFu) return false;
    ++identifier[0];
    return true;
}

bool read_identifier_text(const std::string& text, Identifier& identifier) {
    std::string part;
    int parts = 0;
    auto part_ok = [&part] {
        std::string digits = part;
        if (!digits.empty() && (digits.back() == 'h' || digits.back() == 'H')) digits.pop_back();
        if (digits.empty()) return false;
        for (char c : digits)
            if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
        const auto first = digits.find_first_not_of('0');
        return first == std::string::npos || digits.size() - first <= 8;  // a dword at most
    };
    for (char c : text + ",") {
        if (c == ' ' || c == '\t') continue;
        if (c != ',') {
            part += c;
            continue;
        }
        if (!part_ok()) return false;
        ++parts;
        part.clear();
    }
    return parts == 4 && libtool::parse_identifier(text, identifier) == 3;
}

}  // namespace libcompiler
