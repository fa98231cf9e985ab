#include "source_pair.h"

#include <algorithm>
#include <cmath>

#include "asm_line.h"
#include "geometry.h"
#include "ui/errors.h"
#include "ui/format.h"
#include "ui/platform.h"

namespace wb {

MaterialRow& MaterialTable::row(long n) {
    if (n < 0 || n > count()) ui::raise(ui::kSubscriptOutOfRange);
    return rows_[static_cast<size_t>(n)];
}
const MaterialRow& MaterialTable::row(long n) const {
    if (n < 0 || n > count()) ui::raise(ui::kSubscriptOutOfRange);
    return rows_[static_cast<size_t>(n)];
}

namespace {

// Room for n more elements, growing by doubling so that a long run of blocks stays linear.
template <typename T>
void make_room(std::vector<T>& v, size_t n) {
    if (v.capacity() < v.size() + n) v.reserve(std::max(v.size() + n, v.capacity() * 2));
}

}  // namespace

void InsertionList::reset() {
    rows_.assign(2, {});
    rows_[1].index = kEndMark;
}
Insertion& InsertionList::row(int k) {
    if (k < 0 || k > count() + 1) ui::raise(ui::kSubscriptOutOfRange);
    return rows_[static_cast<size_t>(k)];
}
const Insertion& InsertionList::row(int k) const {
    if (k < 0 || k > count() + 1) ui::raise(ui::kSubscriptOutOfRange);
    return rows_[static_cast<size_t>(k)];
}
void InsertionList::reserve(int n) { make_room(rows_, static_cast<size_t>(n)); }
void InsertionList::insert(int k, Insertion r) {
    if (k < 1 || k > count() + 1) ui::raise(ui::kSubscriptOutOfRange);
    rows_.insert(rows_.begin() + k, r);
}

StoredLine& CodeStore::row(long k) {
    if (k < 0 || k > count()) ui::raise(ui::kSubscriptOutOfRange);
    return rows_[static_cast<size_t>(k)];
}
const StoredLine& CodeStore::row(long k) const {
    if (k < 0 || k > count()) ui::raise(ui::kSubscriptOutOfRange);
    return rows_[static_cast<size_t>(k)];
}
void CodeStore::reserve(long n) { make_room(rows_, static_cast<size_t>(std::max(n, 0L))); }
void CodeStore::append(std::vector<StoredLine>&& lines) {
    make_room(rows_, lines.size());  // the only step that can fail
    for (auto& l : lines) rows_.push_back(std::move(l));
}

long load_source_pair(const std::string& base, LineArray& asm_lines, LineArray& azm_lines) {
    try {
        const long object = load_file2array(base + "_0.asm", asm_lines);
        if (object == 0) return 0;
        const long header = load_file2array(base + ".asm", azm_lines);
        return header == 0 ? 0 : object + header;
    } catch (const ui::StopRequest&) {
        throw;
    } catch (const std::exception&) {
        ui::error_box("Error ! Make sure you do not specify the extension, and both azm and asm files are in the same folder.");
        return 0;
    }
}

std::vector<MaterialListRow> read_material_list(const LineArray& asm_lines, bool& found_begin) {
    std::vector<MaterialListRow> rows(1);
    long last = asm_lines.top() - 1;
    long i = 1;
    while (i <= last && !is_keyword_line(asm_lines[i], "MATERIAL_LIST_BEGIN")) ++i;
    found_begin = i <= last;
    if (!found_begin) return rows;
    for (++i; i <= last; ++i) {
        if (is_keyword_line(asm_lines[i], "MATERIAL_LIST_END")) break;
        rows.push_back({trim(asm_lines[i]), i});
    }
    return rows;
}

long find_vertex_list(const LineArray& asm_lines) {
    long top = asm_lines.top();
    for (long i = 0; i <= top && i < asm_lines.size(); ++i)
        if (is_keyword_line(asm_lines[i], "VERTEX_LIST_BEGIN")) return i + 1;
    return top + 1;
}

int highlight_index(const std::string& material_line) {
    bool ok[3];
    double v[3];
    for (int k = 0; k < 3; ++k) v[k] = ui::to_number(asm_field(material_line, 8 + k), &ok[k]);
    for (int k = 0; k < 3; ++k)
        if (!ok[k] || (v[k] != 0 && v[k] != 1)) return 0;
    int index = static_cast<int>(v[0]) * 4 + static_cast<int>(v[1]) * 2 + static_cast<int>(v[2]);
    return index;  // 0 when all three are 0
}

std::string highlight_colour_text(int index) {
    static const char* const texts[] = {"", "FF0000", "00FF00", "FFFF00", "0000FF", "FF00FF", "00FFFF", "FFFFFF"};
    return index >= 1 && index <= 7 ? texts[index] : "";
}

std::string material_colour_text(const std::string& material_line) {
    std::string r;
    for (int k = 1; k <= 3; ++k) {
        double v = ui::val(asm_field(material_line, k));
        if (!(std::fabs(v) < 8e6)) ui::raise(ui::kOverflow);  // its byte would pass a Long
        long byte = static_cast<long>(std::floor(v * 255));
        std::string h = "00" + ui::hex(static_cast<std::uint32_t>(byte));
        r += h.substr(h.size() - 2);
    }
    return r;
}

void build_material_table(SourcePair& pair) {
    pair.materials.set_count(0);
    const MaterialBlockIndex blocks(pair.asm_lines);
    for (long i = 1; i <= pair.material_count(); ++i) {
        const std::string& line = pair.material_list[static_cast<size_t>(i)].line;
        int h = highlight_index(line);
        if (h == 0) continue;
        MaterialRow& r = pair.materials.add();
        r.number = i - 1;
        r.line = line;
        long start = 0, end = 0;
        r.material_line = blocks.find(r.number, start, end);
        r.tri_end_line = end;
        // Process comments a block's first line out (or puts its code before it): a block that no
        // longer starts with "DRA" was processed in an earlier session.
        r.processed_before = r.has_block() && start < pair.asm_lines.size() &&
                             !begins_with_keyword(pair.asm_lines[start], "DRA");
        r.link_colour = highlight_colour_text(h);
        r.colour = material_colour_text(line);
    }
}

std::vector<long> read_model_placement(SourcePair& pair) {
    std::vector<long> headings;
    const LineArray& azm = pair.azm_lines;
    long last = azm.top() - 1;
    for (long i = 1; i <= last; ++i) {
        if (!starts_with(upper(asm_field(azm[i], 0)), "SCALE_AGL")) continue;
        const std::string& line = azm[i];
        pair.placement_line = line;
        pair.placement = read_placement_operands(line);
        // Whole parts as signed numbers; the fractions are the unsigned sixteen bits below them.
        pair.reference_latitude = operand_value(asm_field(line, 5)) +
                                  fraction_to_unsigned(asm_field(line, 6)) / 65536.0;
        pair.reference_longitude = operand_value(asm_field(line, 7)) +
                                   fraction_to_unsigned(asm_field(line, 8)) / 65536.0;
        pair.reference_latitude_degrees = pair.reference_latitude / kEarthDiameter * 360 / kPi;
        double scale = operand_value(asm_field(line, 4));
        pair.scale_factor = scale != 0 ? 65536 / scale : 0;
        if (i + 1 <= last && starts_with(upper(asm_field(azm[i + 1], 0)), "INSTANCE_CALL")) {
            pair.model_heading = static_cast<long>(ui::to_whole(operand_value(asm_field(azm[i + 1], 4))));
            headings.push_back(pair.model_heading);
        } else {
            pair.model_heading = 0;
        }
    }
    return headings;
}

}  // namespace wb
