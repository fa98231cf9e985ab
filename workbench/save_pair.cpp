#include "save_pair.h"

#include "asm_line.h"
#include "paths.h"
#include "ui/errors.h"
#include "ui/fileio.h"

namespace wb {

namespace {

std::string join_lines(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const auto& l : lines) bytes += l + "\r\n";
    return bytes;
}

// Elements from..to of a line array (element 0's value at most), appended to out.
void append_range(std::vector<std::string>& out, const LineArray& lines, long from, long to) {
    if (from < 0 || to >= lines.size()) ui::raise(ui::kSubscriptOutOfRange);
    for (long i = from; i <= to; ++i) out.push_back(lines[i]);
}

LineArray read_lines(const std::string& path) {
    return LineArray::from_lines(split_lines(ui::read_file(path)));
}

}  // namespace

std::vector<std::string> merge_queued_blocks(const SourcePair& pair) {
    const InsertionList& q = pair.insertions;
    const CodeStore& code = pair.code;
    std::vector<std::string> out;
    for (int j = 1; j <= q.count(); ++j) {
        const long start = j == 1 ? 1 : q.row(j - 1).index;
        append_range(out, pair.asm_lines, start, q.row(j).index - 1);
        long r = 1;
        while (r <= code.count() && code.row(r).id != q.row(j).id) ++r;
        if (r > code.count()) ui::raise(ui::kSubscriptOutOfRange);
        for (; r <= code.count() && code.row(r).id == q.row(j).id; ++r) out.push_back(code.row(r).text);
    }
    append_range(out, pair.asm_lines, q.count() ? q.row(q.count()).index : 1, pair.asm_lines.top());
    return out;
}

std::vector<std::string> merge_misc_data(const LineArray& header, const LineArray& misc) {
    const long n = find_line("dd      (offset OBJECT_DATA) - (offset header)", header, 1, false);
    if (n == 0)
        throw ui::RuntimeError(ui::kSubscriptOutOfRange,
                               "the header file has no line dd (offset OBJECT_DATA) - (offset header)");
    const long m = find_line("MISC_DATA label word", misc, 1, false);
    if (m == 0) throw ui::RuntimeError(ui::kSubscriptOutOfRange, "tmpMisc.asm has no line MISC_DATA label word");
    std::vector<std::string> out;
    append_range(out, header, 1, n);
    out.push_back("    dw      20 dup(0)");
    out.push_back("    dd      (offset MISC_DATA) - (offset header)");
    out.push_back("    dw      11 dup(0)");
    append_range(out, header, n + 2, header.top());
    append_range(out, misc, m, misc.top());
    return out;
}

SaveOutcome save_regenerated_pair(const SourcePair& pair, const std::string& output_base) {
    SaveOutcome result;
    const std::string misc_file = program_file("tmpMisc.asm");
    const std::string surf_file = program_file("tmpSurf.txt");
    const bool misc = ui::file_exists(misc_file);

    std::vector<std::string> object, header;
    bool write_object = false, write_header = false;
    if (pair.insertions.count() >= 1) {
        object = merge_queued_blocks(pair);
        write_object = true;
        result.blocks_merged = true;
        if (pair.header_changed) {
            append_range(header, pair.azm_lines, 1, pair.azm_lines.top());
            write_header = true;
        }
    } else if (misc) {
        append_range(object, pair.asm_lines, 1, pair.asm_lines.top());
        write_object = true;
    }
    if (misc) {
        // The header as it stands after this save: the one just built, or the file on disk.
        LineArray current = write_header ? pair.azm_lines : read_lines(output_base + ".asm");
        header = merge_misc_data(current, read_lines(misc_file));
        write_header = true;
        result.misc_merged = true;
    }
    // Ground-type subroutines belong to an object file written by this save; they are never
    // appended to a file that this save did not regenerate.
    if (write_object && ui::file_exists(surf_file)) {
        LineArray surf = read_lines(surf_file);
        append_range(object, surf, 1, surf.top());
    }

    if (write_object) {
        ui::write_file_atomic(output_base + "_0.asm", join_lines(object));
        result.object_written = true;
    }
    if (write_header) {
        ui::write_file_atomic(output_base + ".asm", join_lines(header));
        result.header_written = true;
    }
    return result;
}

}  // namespace wb
