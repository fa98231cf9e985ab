// Any bytes as a MASM file for the label renamer, saved on "Yes". The suffix is the input up to
// its first NUL byte (at most 16 characters; "FF1" when the input holds no NUL). The saved file
// must be what the plain rule gives: for each label in the order found, on every line, the first
// occurrence of its name gets the suffix when separators (blank, tab, comma, semicolon) or the
// line's ends stand on both sides of it. A comment line defines no label.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "labels/frm_label_rename.h"
#include "workbench/asm_line.h"
#include "workbench/text_file.h"

namespace {

bool separator(char c) { return c == ' ' || c == '\t' || c == ',' || c == ';'; }

std::vector<std::string> renamed_plainly(std::vector<std::string> lines, const std::string& suffix) {
    std::vector<std::string> names;
    for (const auto& l : lines)
        if (const auto first = l.find_first_not_of(" \t"); first != std::string::npos && l[first] == ';')
            continue;  // a comment defines no label
        else if (const auto p = l.find("label"); p != std::string::npos)
            if (std::string name = wb::trim(l.substr(0, p)); !name.empty()) names.push_back(name);
    for (const auto& name : names)
        for (auto& s : lines) {
            const auto p = s.find(name);
            if (p == std::string::npos) continue;
            const auto after = p + name.size();
            if ((p == 0 || separator(s[p - 1])) && (after >= s.size() || separator(s[after])))
                s.insert(after, suffix);
        }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto parts = fuzzing::split_parts(data, size, 2);
    const std::string suffix = parts.size() > 1 ? std::string(parts[0].substr(0, 16)) : "FF1";
    const std::string_view file = parts.back();
    fuzzing::write_file("labels.asm", file);
    fuzzing::Session session;
    session.platform.queue_answer(ui::Answer::Yes);
    const long found = labels::rename_labels(fuzzing::scratch_file("labels.asm"), suffix);
    if (found < 0) __builtin_trap();  // a readable file always loads

    std::vector<std::string> expected = renamed_plainly(wb::split_lines(std::string(file)), suffix);
    expected.push_back("");  // the empty element after the last line is written too
    std::string text;
    for (const auto& l : expected) text += l + "\r\n";
    if (fuzzing::read_file("labels.asm") != text) __builtin_trap();
    return 0;
}
