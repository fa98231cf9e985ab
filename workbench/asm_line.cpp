#include "asm_line.h"

#include <cctype>
#include <vector>

#include "ui/errors.h"

namespace wb {

std::string trim(const std::string& s) {
    size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return "";
    size_t e = s.find_last_not_of(' ');
    return s.substr(b, e - b + 1);
}

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool starts_with(const std::string& s, const std::string& prefix) {
    return s.size() >= prefix.size() && s.compare(0, prefix.size(), prefix) == 0;
}

std::string squeeze_blanks(const std::string& text) {
    std::string t = trim(text);
    std::string r;
    r.reserve(t.size());
    for (size_t i = 0; i < t.size(); ++i)
        if (t[i] != ' ' || r.empty() || r.back() != ' ') r += t[i];
    return r;
}

int split_asm_line(const std::string& line, SplitLine& fields) {
    std::string s = line;
    for (char& c : s)
        if (c == 7) c = ' ';
    s = squeeze_blanks(s);
    for (auto& f : fields) f.clear();
    if (!s.empty() && s[0] == ';') {
        fields[0] = "com";
        return 0;
    }
    size_t word_end = s.find_first_of(" ;");
    word_end = word_end == std::string::npos ? s.size() : word_end + 1;  // includes the separator
    fields[0] = trim(s.substr(0, word_end));
    int n = 0;
    if (word_end < s.size()) {
        std::string rest = trim(s.substr(word_end));
        while (rest.size() > 1) {
            size_t stop = rest.find_first_of(",; ");
            if (stop == std::string::npos) stop = rest.size() - 1;
            if (++n > 40) ui::raise(ui::kSubscriptOutOfRange);
            fields[static_cast<size_t>(n)] = rest.substr(0, stop);
            rest = trim(rest.substr(stop + 1));
        }
    }
    return n;
}

std::string asm_field(const std::string& line, int index) {
    if (index < 0 || index > 40) ui::raise(ui::kSubscriptOutOfRange);
    SplitLine f;
    split_asm_line(line + " ,end", f);
    return trim(f[static_cast<size_t>(index)]);
}

long find_line(const std::string& text, const LineArray& lines, long start, bool backwards) {
    std::string want = upper(squeeze_blanks(text));
    long last = std::min(lines.top(), lines.size() - 1);
    if (backwards) {
        for (long i = std::min(start, last); i >= 1; --i)
            if (starts_with(upper(squeeze_blanks(lines[i])), want)) return i;
    } else {
        for (long i = std::max(start, 0L); i <= last; ++i)
            if (starts_with(upper(squeeze_blanks(lines[i])), want)) return i;
    }
    return 0;
}

long find_material_block(const LineArray& lines, long material_number, long& block_start,
                         long& block_end) {
    // A prefix search alone would take "MATERIAL 10" for material 1: the number must end there.
    std::string key = "MATERIAL " + std::to_string(material_number);
    long at = 0;
    for (long from = 1;; from = at + 1) {
        at = find_line(key, lines, from, false);
        if (at == 0) break;
        std::string s = squeeze_blanks(lines[at]);
        if (s.size() == key.size() || !std::isdigit(static_cast<unsigned char>(s[key.size()]))) break;
    }
    block_start = at + 1;
    block_end = find_line("DRAW_TRI_END", lines, block_start, false);
    return at;
}

long make_labels_unique(LineArray& lines, const std::string& suffix) {
    struct Label {
        long line;
        std::string name;
    };
    std::vector<Label> labels;
    long last = std::min(lines.top(), lines.size() - 1);
    for (long i = 1; i <= last; ++i) {
        size_t p = lines[i].find("label");
        if (p == std::string::npos) continue;
        std::string name = trim(lines[i].substr(0, p));
        // A nameless "label" would match every line; it names nothing to rename.
        if (name.empty()) continue;
        if (labels.size() >= 2000) ui::raise(ui::kSubscriptOutOfRange);
        labels.push_back({i, name});
    }
    auto separator = [](char c) { return c == ' ' || c == ',' || c == ';'; };
    for (const Label& l : labels) {
        for (long i = 1; i <= last; ++i) {
            std::string& s = lines[i];
            size_t p = s.find(l.name);
            if (p == std::string::npos) continue;
            char before = p == 0 ? ' ' : s[p - 1];
            size_t after_at = p + l.name.size();
            bool after_ok = after_at >= s.size() || separator(s[after_at]);
            if (separator(before) && after_ok) s.insert(after_at, suffix);
        }
    }
    return static_cast<long>(labels.size());
}

}  // namespace wb
