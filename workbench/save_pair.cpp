#include "save_pair.h"

#include "asm_line.h"
#include "paths.h"
#include "ui/errors.h"
#include "ui/fileio.h"

namespace wb {

namespace {

// Elements from..to of a line array (element 0's value at most), appended to out.
void append_range(std::vector<std::string>& out, const LineArray& lines, long from, long to) {
    if (from < 0 || to >= lines.size()) ui::raise(ui::kSubscriptOutOfRange);
    for (long i = from; i <= to; ++i) out.push_back(lines[i]);
}

// Hands each line of the object file, with every queued block merged in before its insertion
// line, to out. The code store is walked once: a block's lines are the rows that follow the
// first row with its identifier. A block without lines (a material without triangles) writes
// nothing; an identifier the queue never issued raises error 9.
template <typename Out>
void merge_blocks(const SourcePair& pair, Out&& out) {
    const InsertionList& q = pair.insertions;
    const CodeStore& code = pair.code;
    std::vector<long> first(static_cast<size_t>(q.count()) + 1, 0);
    for (long r = code.count(); r >= 1; --r) {
        const long id = code.row(r).id;
        if (id >= 1 && id <= q.count()) first[static_cast<size_t>(id)] = r;
    }
    auto range = [&](long from, long to) {
        if (from < 0 || to >= pair.asm_lines.size()) ui::raise(ui::kSubscriptOutOfRange);
        for (long i = from; i <= to; ++i) out(pair.asm_lines[i]);
    };
    for (int j = 1; j <= q.count(); ++j) {
        const long id = q.row(j).id;
        if (id < 1 || id > q.count()) ui::raise(ui::kSubscriptOutOfRange);
        range(j == 1 ? 1 : q.row(j - 1).index, q.row(j).index - 1);
        if (const long r0 = first[static_cast<size_t>(id)]; r0 != 0)
            for (long r = r0; r <= code.count() && code.row(r).id == id; ++r) out(code.row(r).text);
    }
    range(q.count() ? q.row(q.count()).index : 1, pair.asm_lines.top());
}

}  // namespace

std::vector<std::string> merge_queued_blocks(const SourcePair& pair) {
    std::vector<std::string> out;
    merge_blocks(pair, [&](const std::string& l) { out.push_back(l); });
    return out;
}

long find_misc_section(const LineArray& header) { return find_line("MISC_DATA label word", header, 1, false); }

std::vector<std::string> merge_misc_data(const LineArray& header, const LineArray& misc) {
    const long m = find_line("MISC_DATA label word", misc, 1, false);
    if (m == 0) throw ui::RuntimeError(ui::kSubscriptOutOfRange, "tmpMisc.asm has no line MISC_DATA label word");
    std::vector<std::string> out;
    // The work file carried that section on (the landing-area writer): it replaces it whole.
    if (const long saved = find_misc_section(header)) {
        append_range(out, header, 1, saved - 1);
        append_range(out, misc, m, misc.top());
        return out;
    }
    const long n = find_line(kObjectDataPointer, header, 1, false);
    if (n == 0)
        throw ui::RuntimeError(ui::kSubscriptOutOfRange,
                               "the header file has no line dd (offset OBJECT_DATA) - (offset header)");
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

    std::string object;  // the object file's bytes, built straight from the model
    std::vector<std::string> header;
    bool write_object = false, write_header = false;
    auto add = [&object](const std::string& l) {
        object += l;
        object += "\r\n";
    };
    if (pair.insertions.count() >= 1) {
        size_t size = 0;
        merge_blocks(pair, [&size](const std::string& l) { size += l.size() + 2; });
        object.reserve(size);
        merge_blocks(pair, add);
        write_object = true;
        result.blocks_merged = true;
        if (pair.header_changed) {
            append_range(header, pair.azm_lines, 1, pair.azm_lines.top());
            write_header = true;
        }
    } else if (misc) {
        for (long i = 1; i <= pair.asm_lines.top(); ++i) add(pair.asm_lines[i]);
        write_object = true;
    }
    if (misc) {
        // The header as it stands after this save: the one just built, or the file on disk.
        LineArray current = write_header ? pair.azm_lines : LineArray::from_file(output_base + ".asm");
        header = merge_misc_data(current, LineArray::from_file(misc_file));
        write_header = true;
        result.misc_merged = true;
    }
    // Ground-type subroutines belong to an object file written by this save; they are never
    // appended to a file that this save did not regenerate.
    if (write_object && ui::file_exists(surf_file)) {
        const LineArray surf = LineArray::from_file(surf_file);
        for (long i = 1; i <= surf.top(); ++i) add(surf[i]);
    }

    // Both files or neither: an object file whose header does not match would not compile.
    std::vector<std::pair<std::string, std::string>> files;
    if (write_object) files.emplace_back(output_base + "_0.asm", std::move(object));
    if (write_header) files.emplace_back(output_base + ".asm", lines_file_text(header));
    ui::write_files_atomic(files);
    result.object_written = write_object;
    result.header_written = write_header;
    return result;
}

}  // namespace wb
