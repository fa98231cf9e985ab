#include "dictionary.h"

#include <algorithm>
#include <vector>

#include "ui/errors.h"
#include "ui/fileio.h"
#include "ui/format.h"
#include "ui/platform.h"
#include "workbench/asm_line.h"
#include "workbench/placement.h"

namespace cg {

using wb::LineArray;
using wb::starts_with;
using wb::trim;

const char* const kLightStateName = "    dict_g_lightStates equ ";
const char* const kLightStateWords = "057F0E99Dh, 04E9C0523h, 0BB12B6BCh, 0063FE72Fh";

namespace {

constexpr int kMaxDictionaryLines = 300;
const std::string kLabel = "param_extension_dictionary";
const std::string kEndLabel = "param_extension_dictionary_end";
const std::string kSizeLine = "    dd (param_extension_dictionary_end) - (param_extension_dictionary) - 4";

// The first word of a source line, as split_asm_line gives it, without its operand limit.
std::string first_word(const std::string& line) {
    std::string s = wb::squeeze_blanks(line);
    return trim(s.substr(0, s.find_first_of(" ;")));
}

double offset_of(const wb::ExtParameter& e) { return wb::operand_value(wb::asm_field(e.data_line, 2)); }
double end_of(const wb::ExtParameter& e) {
    return offset_of(e) + wb::operand_value(wb::asm_field(e.data_line, 3));
}

wb::ExtParameter light_state_entry(const std::string& offset) {
    return {kLightStateName + offset, "    dd 2," + offset + ",4, " + kLightStateWords};
}

// A line array from lines 1 .. n of a file-shaped list.
LineArray to_array(const std::vector<std::string>& out) { return LineArray::from_lines(out); }

}  // namespace

void read_ext_parameters(const LineArray& header, wb::ExtParameterList& list) {
    list.clear();
    const long last = header.top() - 1;
    long i = 1;
    while (i <= last && first_word(header[i]) != kLabel) ++i;
    if (i > last) return;
    list.found = true;
    list.size_line = i + 1;
    std::vector<std::string> collected;
    long at = i + 2;
    for (; at <= last; ++at) {
        std::string t = trim(header[at]);
        if (starts_with(t, kEndLabel)) break;
        if (!starts_with(t, ";") && t.size() > 5) {
            if (static_cast<int>(collected.size()) >= kMaxDictionaryLines) ui::raise(ui::kSubscriptOutOfRange);
            collected.push_back(header[at]);
        }
    }
    list.last_line = std::min(at, last) - 1;
    const size_t n = collected.size() / 2;
    if (n > static_cast<size_t>(wb::ExtParameterList::kMaxEntries)) ui::raise(ui::kSubscriptOutOfRange);
    for (size_t k = 0; k < n; ++k) list.entries.push_back({collected[2 * k], collected[2 * k + 1]});
    // Every entry is kept, also one at offset 0 or two at the same offset: a dictionary that is
    // rewritten must not lose what the author's header held.
    std::stable_sort(list.entries.begin(), list.entries.end(),
                     [](const wb::ExtParameter& a, const wb::ExtParameter& b) { return offset_of(a) < offset_of(b); });
}

bool load_ext_parameters(const std::string& base, wb::ExtParameterList& list) {
    const std::string path = base + ".asm";
    try {
        LineArray header = LineArray::from_lines(wb::split_lines(ui::read_file(path)));
        read_ext_parameters(header, list);
        return true;
    } catch (const ui::RuntimeError& e) {
        ui::error_box("File " + path + " cannot be opened (load_ext_parameters): " +
                      std::to_string(e.number) + ": " + e.description);
        return false;
    }
}

namespace {

// The size line and each entry's name and data line; remembers where they stand in out.
void write_entries(std::vector<std::string>& out, wb::ExtParameterList& list) {
    out.push_back(kSizeLine);
    list.size_line = static_cast<long>(out.size());
    for (const auto& e : list.entries) {
        out.push_back(e.name_line);
        out.push_back(e.data_line);
    }
    list.last_line = static_cast<long>(out.size());
}

}  // namespace

void update_dictionary(LineArray& azm_lines, wb::ExtParameterList& list) {
    if (list.entries.empty()) ui::raise(ui::kSubscriptOutOfRange);
    const long last = azm_lines.top() - 1;
    LineArray source = azm_lines;

    // The old body stays, commented out, between the new entries and the end label.
    long i = list.size_line;
    for (;; ++i) {
        if (i < 1 || i > last) ui::raise(ui::kSubscriptOutOfRange);
        if (starts_with(trim(source[i]), kEndLabel)) break;
        source[i] = "; " + source[i];
    }

    std::vector<std::string> out;
    long j = 1;
    for (;; ++j) {
        if (j > last) ui::raise(ui::kSubscriptOutOfRange);
        out.push_back(source[j]);
        if (starts_with(trim(source[j]), "db  'F','S','8','0'")) break;
    }
    if (out.size() < 2) ui::raise(ui::kSubscriptOutOfRange);
    out[out.size() - 2] = "    dd   " + ui::num(end_of(list.entries.back()));
    for (++j;; ++j) {
        if (j > last) ui::raise(ui::kSubscriptOutOfRange);
        out.push_back(source[j]);
        if (starts_with(trim(source[j]), kLabel)) break;
    }
    write_entries(out, list);
    for (++j; j <= last; ++j) out.push_back(source[j]);
    azm_lines = to_array(out);
}

void create_dictionary(LineArray& azm_lines, wb::ExtParameterList& list) {
    if (list.entries.empty()) ui::raise(ui::kSubscriptOutOfRange);
    const long last = azm_lines.top() - 1;
    std::vector<std::string> out;
    long j = 1;
    for (;; ++j) {
        if (j > last)
            throw ui::RuntimeError(ui::kSubscriptOutOfRange,
                                   "the header file has no visual model header (no line beginning \"dd  0\")");
        out.push_back(azm_lines[j]);
        if (starts_with(trim(azm_lines[j]), "dd  0")) break;
    }
    if (j + 5 > last) ui::raise(ui::kSubscriptOutOfRange);
    out.push_back("dd  param_extension_dictionary - visual_model_header");
    out.push_back("    dd   " + ui::num(end_of(list.entries.front())));
    out.push_back("    db  'F','S','8','0'");
    out.push_back("    dd  2048");
    out.push_back("visual_model_header_end  label dword");
    out.push_back("  ");
    out.push_back("    db  'D','I','C','T'");
    out.push_back("param_extension_dictionary     label dword");
    write_entries(out, list);
    out.push_back("param_extension_dictionary_end     label dword");
    for (j += 6; j <= last; ++j) out.push_back(azm_lines[j]);
    list.found = true;
    azm_lines = to_array(out);
}

bool add_light_state_entry(LineArray& azm_lines, wb::ExtParameterList& list) {
    if (!list.found) read_ext_parameters(azm_lines, list);
    for (const auto& e : list.entries)
        if (starts_with(trim(e.name_line), "dict_g_lightStates")) return false;
    if (list.found) {
        if (list.count() >= wb::ExtParameterList::kMaxEntries) ui::raise(ui::kSubscriptOutOfRange);
        const double offset = list.entries.empty() ? 152 : end_of(list.entries.back());
        list.entries.push_back(light_state_entry(ui::num(offset)));
        update_dictionary(azm_lines, list);
    } else {
        list.entries = {light_state_entry("152")};
        create_dictionary(azm_lines, list);
    }
    return true;
}

}  // namespace cg
