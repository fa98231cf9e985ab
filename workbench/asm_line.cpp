#include "asm_line.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <vector>

#include "ui/errors.h"

namespace wb {

std::string trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return "";
    size_t e = s.find_last_not_of(" \t");
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
    for (char c : t) {
        if (c == '\t') c = ' ';
        if (c != ' ' || r.empty() || r.back() != ' ') r += c;
    }
    return r;
}

int split_asm_line(const std::string& line, SplitLine& fields) {
    std::string s = line;
    for (char& c : s)
        if (c == 7 || c == '\t') c = ' ';
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

namespace {

// The line from character `at` on begins with the keyword, compared without letter case; a
// blank of the keyword matches a blank or a tab.
bool begins_with_word(const std::string& line, size_t at, std::string_view word) {
    for (char w : word) {
        if (at >= line.size()) return false;
        const char c = line[at++];
        if (w == ' ' ? !is_blank(c) : std::toupper(static_cast<unsigned char>(c)) != std::toupper(static_cast<unsigned char>(w)))
            return false;
    }
    return true;
}

size_t skip_blanks(const std::string& line, size_t at) {
    while (at < line.size() && is_blank(line[at])) ++at;
    return at;
}

}  // namespace

bool begins_with_keyword(const std::string& line, std::string_view keyword) {
    return begins_with_word(line, skip_blanks(line, 0), keyword);
}

bool is_keyword_line(const std::string& line, std::string_view keyword) {
    const size_t at = skip_blanks(line, 0);
    return begins_with_word(line, at, keyword) && skip_blanks(line, at + keyword.size()) == line.size();
}

bool is_triangle_line(const std::string& line) { return begins_with_keyword(line, "DRAW_TRI "); }

std::string_view material_line_number(const std::string& line) {
    size_t at = skip_blanks(line, 0);
    if (!begins_with_word(line, at, "MATERIAL")) return {};
    at += 8;
    if (at >= line.size() || !is_blank(line[at])) return {};
    at = skip_blanks(line, at);
    size_t end = at;
    while (end < line.size() && std::isdigit(static_cast<unsigned char>(line[end]))) ++end;
    return std::string_view(line).substr(at, end - at);
}

bool is_draw_tri_end(const std::string& line) { return begins_with_word(line, skip_blanks(line, 0), "DRAW_TRI_END"); }

long find_material_block(const LineArray& lines, long material_number, long& block_start,
                         long& block_end) {
    const std::string key = std::to_string(material_number);
    const long last = std::min(lines.top(), lines.size() - 1);
    long at = 0;
    for (long i = 1; i <= last && at == 0; ++i)
        if (material_line_number(lines[i]) == key) at = i;
    block_start = at + 1;
    block_end = 0;
    for (long i = std::max(block_start, 1L); i <= last && block_end == 0; ++i)
        if (is_draw_tri_end(lines[i])) block_end = i;
    return at;
}

MaterialBlockIndex::MaterialBlockIndex(const LineArray& lines) {
    const long last = std::min(lines.top(), lines.size() - 1);
    for (long i = 1; i <= last; ++i) {
        const std::string& line = lines[i];
        if (is_draw_tri_end(line)) {
            tri_ends_.push_back(i);
        } else if (std::string_view n = material_line_number(line); !n.empty()) {
            if (first_line_.find(std::string(n)) == first_line_.end()) first_line_.emplace(std::string(n), i);
        }
    }
}

long MaterialBlockIndex::find(long material_number, long& block_start, long& block_end) const {
    const auto hit = first_line_.find(std::to_string(material_number));
    const long at = hit == first_line_.end() ? 0 : hit->second;
    block_start = at + 1;
    const auto end = std::lower_bound(tri_ends_.begin(), tri_ends_.end(), block_start);
    block_end = end == tri_ends_.end() ? 0 : *end;
    return at;
}

namespace {

bool label_separator(char c) { return is_blank(c) || c == ',' || c == ';'; }

// The renaming step of one label on one line: the first occurrence of the name, when it stands
// between separators or line ends, gets the suffix. True when the line changed.
bool rename_first(std::string& s, const std::string& name, const std::string& suffix) {
    const size_t p = s.find(name);
    if (p == std::string::npos) return false;
    const size_t after = p + name.size();
    if (!(p == 0 || label_separator(s[p - 1])) || !(after >= s.size() || label_separator(s[after]))) return false;
    s.insert(after, suffix);
    return true;
}

// The label names of a file, found by their text: a line is tried only with the labels whose
// names stand in it between separators (the only places where a rename can happen).
class LabelNames {
public:
    explicit LabelNames(const std::vector<std::string>& names) : names_(names) {
        size_t slots = 16;
        while (slots < names.size() * 2) slots *= 2;
        slots_.assign(slots, -1);
        mask_ = slots - 1;
        for (int l = 0; l < static_cast<int>(names.size()); ++l) {
            const std::string& n = names[static_cast<size_t>(l)];
            const std::uint64_t h = hash(n.data(), n.size());
            if (const int g = group(h, n.data(), n.size()); g >= 0) {
                groups_[static_cast<size_t>(g)].labels.push_back(l);
                continue;
            }
            size_t at = h & mask_;
            while (slots_[at] >= 0) at = (at + 1) & mask_;
            slots_[at] = static_cast<int>(groups_.size());
            groups_.push_back({h, l, {l}});
            if (n.find_first_of(" \t,;") != std::string::npos) spanning_lengths_.push_back(n.size());
        }
        std::sort(spanning_lengths_.begin(), spanning_lengths_.end());
        spanning_lengths_.erase(std::unique(spanning_lengths_.begin(), spanning_lengths_.end()),
                                spanning_lengths_.end());
    }

    // For each name that stands in s between separators, its first label after `after`, in
    // ascending order. The later labels of a name are left out: they can only be renamed after a
    // rename changed the line, and the search after that rename finds them.
    void candidates(const std::string& s, int after, std::vector<int>& out) const {
        out.clear();
        const char* d = s.data();
        const size_t n = s.size();
        // Names without separators: whole words between separators.
        for (size_t i = 0; i < n;) {
            if (label_separator(d[i])) {
                ++i;
                continue;
            }
            const size_t a = i;
            std::uint64_t h = kOffset;
            for (; i < n && !label_separator(d[i]); ++i) h = (h ^ static_cast<unsigned char>(d[i])) * kPrime;
            add(group(h, d + a, i - a), after, out);
        }
        // Names that hold separators themselves: every stretch of their lengths that starts
        // after a separator and ends before one.
        if (!spanning_lengths_.empty())
            for (size_t a = 0; a < n; ++a) {
                if (a > 0 && !label_separator(d[a - 1])) continue;
                for (size_t len : spanning_lengths_) {
                    const size_t b = a + len;
                    if (b > n) break;
                    if (b == n || label_separator(d[b])) add(group(hash(d + a, len), d + a, len), after, out);
                }
            }
        std::sort(out.begin(), out.end());
        out.erase(std::unique(out.begin(), out.end()), out.end());
    }

private:
    struct Group {
        std::uint64_t hash;
        int first;                // a label with this name
        std::vector<int> labels;  // every label with this name, ascending
    };
    static constexpr std::uint64_t kOffset = 14695981039346656037ull, kPrime = 1099511628211ull;
    static std::uint64_t hash(const char* p, size_t n) {
        std::uint64_t h = kOffset;
        for (size_t i = 0; i < n; ++i) h = (h ^ static_cast<unsigned char>(p[i])) * kPrime;
        return h;
    }
    // The group of the name p[0 .. n), -1 when no label has it.
    int group(std::uint64_t h, const char* p, size_t n) const {
        for (size_t at = h & mask_; slots_[at] >= 0; at = (at + 1) & mask_) {
            const Group& g = groups_[static_cast<size_t>(slots_[at])];
            const std::string& name = names_[static_cast<size_t>(g.first)];
            if (g.hash == h && name.size() == n && name.compare(0, n, p, n) == 0) return slots_[at];
        }
        return -1;
    }
    void add(int g, int after, std::vector<int>& out) const {
        if (g < 0) return;
        const std::vector<int>& labels = groups_[static_cast<size_t>(g)].labels;
        const auto next = std::upper_bound(labels.begin(), labels.end(), after);
        if (next != labels.end()) out.push_back(*next);
    }

    const std::vector<std::string>& names_;
    std::vector<int> slots_;  // group numbers, -1 for a free slot
    size_t mask_ = 0;
    std::vector<Group> groups_;
    std::vector<size_t> spanning_lengths_;
};

}  // namespace

std::vector<std::string> label_names(const LineArray& lines) {
    std::vector<std::string> names;
    const long last = std::min(lines.top(), lines.size() - 1);
    for (long i = 1; i <= last; ++i) {
        const std::string& line = lines[i];
        // A comment defines nothing, whatever it says (the library compiler's mark among them).
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == ';') continue;
        const size_t p = line.find("label");
        if (p == std::string::npos) continue;
        std::string name = trim(line.substr(0, p));
        // A nameless "label" would match every line; it names nothing to rename.
        if (!name.empty()) names.push_back(std::move(name));
    }
    return names;
}

long make_labels_unique(LineArray& lines, const std::string& suffix) {
    const std::vector<std::string> names = label_names(lines);  // in the order found
    const long last = std::min(lines.top(), lines.size() - 1);
    // Each line changes only by its own text and the labels in their order, so the lines can be
    // taken one by one; after a rename the line is searched again for the labels still to come.
    const LabelNames index(names);
    std::vector<int> todo;
    for (long i = 1; i <= last; ++i) {
        std::string& s = lines[i];
        index.candidates(s, -1, todo);
        size_t k = 0;
        while (k < todo.size()) {
            const int l = todo[k++];
            if (rename_first(s, names[static_cast<size_t>(l)], suffix)) {
                index.candidates(s, l, todo);
                k = 0;
            }
        }
    }
    return static_cast<long>(names.size());
}

}  // namespace wb
