#include "engine.h"

#include <algorithm>
#include <cmath>

#include "ui/errors.h"
#include "ui/format.h"
#include "ui/platform.h"
#include "workbench/asm_line.h"
#include "workbench/geometry.h"
#include "workbench/placement.h"

namespace cg {

using wb::trim;

void put_line(LineArray& buffer, long k, const std::string& text) {
    long at = buffer.top() + k;
    if (at < 1) ui::raise(ui::kSubscriptOutOfRange);
    if (at >= buffer.size()) buffer.resize(at + 64);
    buffer[at] = text;
}

void add_lines(LineArray& buffer, long n) { buffer.set_top(buffer.top() + n); }

void SourceEdits::comment_out(long index) {
    std::string& line = lines_[index];
    before_.emplace_back(index, line);
    line.insert(0, "; ");
}

void SourceEdits::undo() {
    for (auto it = before_.rbegin(); it != before_.rend(); ++it) lines_[it->first] = std::move(it->second);
    before_.clear();
}

BlockWalk::BlockWalk(SourceEdits& asm_lines, long material_line, long vertex_list_start, bool consume)
    : lines_(asm_lines), consume_(consume) {
    block_line_ = material_line + 1;
    long vertex_base = static_cast<long>(wb::operand_value(wb::asm_field(lines_[block_line_], 1)));
    first_vertex_line_ = vertex_list_start + vertex_base;
    ++block_line_;
    current_ = trim(lines_[block_line_]);
    if (consume_) lines_.comment_out(block_line_ - 1);
}

bool BlockWalk::on_triangle() const { return wb::is_triangle_line(current_); }

long BlockWalk::corner(int which) const {
    return static_cast<long>(wb::operand_value(wb::asm_field(current_, which)));
}

const std::string& BlockWalk::vertex_line(long vertex) const {
    long at = first_vertex_line_ + vertex;
    if (at < 1 || at >= lines_.top()) ui::raise(ui::kSubscriptOutOfRange);
    return lines_[at];
}

void BlockWalk::next() {
    if (consume_) lines_.comment_out(block_line_);
    ++counter_;
    ++block_line_;
    current_ = trim(lines_[block_line_]);
}

void BlockWalk::finish() {
    if (consume_) lines_.comment_out(block_line_);
    ++counter_;
}

long queue_insertion(wb::InsertionList& insertions, wb::CodeStore& code, const LineArray& new_code,
                     long index) {
    const int n = insertions.count() + 1;
    std::vector<wb::StoredLine> block;
    block.reserve(static_cast<size_t>(std::max(new_code.top(), 0L)));
    for (long i = 1; i <= new_code.top(); ++i) block.push_back({n, new_code[i]});
    insertions.reserve(1);
    int k = 1;
    while (k < n && insertions.row(k).index < index) ++k;
    code.append(std::move(block));  // all or nothing
    insertions.insert(k, {index, n});  // room reserved: cannot fail
    return n;
}

namespace {

bool is_bgl_end(const std::string& line) { return wb::begins_with_keyword(line, "BGL_END"); }

}  // namespace

long find_bgl_end(const LineArray& asm_lines) {
    long last = std::min(asm_lines.top(), asm_lines.size() - 1);
    for (long i = 1; i <= last; ++i)
        if (is_bgl_end(asm_lines[i])) return i;
    ui::error_box("Cannot find proper BGL END code. File cannot be processed.");
    return 0;
}

long find_bgl_end(wb::SourcePair& pair) {
    const long known = pair.bgl_end_line;
    if (known < 1 || known >= pair.asm_lines.size() || !is_bgl_end(pair.asm_lines[known]))
        pair.bgl_end_line = find_bgl_end(pair.asm_lines);
    return pair.bgl_end_line;
}

Vertex read_vertex(const std::string& line) {
    return {wb::operand_value(wb::asm_field(line, 1)), wb::operand_value(wb::asm_field(line, 2)),
            wb::operand_value(wb::asm_field(line, 3))};
}

namespace {

// Whole part and 16-bit fraction of a value, Int() rounding towards minus infinity. A whole part
// that 32 bits cannot hold is refused, unless it may go round (longitudes: 2^32 units a turn).
void split_value(double v, std::int32_t& whole, std::int16_t& fraction, bool goes_round = false) {
    if (goes_round && std::isfinite(v)) {
        v = std::fmod(v, 4294967296.0);
        if (v < -2147483648.0) v += 4294967296.0;  // west of the date line, a turn further on
    }
    const double w = std::floor(v);
    if (!(w >= -2147483648.0 && w < (goes_round ? 4294967296.0 : 2147483648.0)))
        throw UnusableInput("A vertex of this material lies so far from the model's reference point (" + ui::num(v) +
                            ") that no placement line can hold its position. Nothing was changed.");
    whole = static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<long long>(w)));
    fraction = wb::fraction_to_signed(std::floor(65536 * (v - w)));
}

double unsigned_fraction(std::int16_t f) { return wb::fraction_to_unsigned(static_cast<double>(f)) / 65536.0; }

}  // namespace

Position place_offset(const PlacementRecord& r) {
    double x = r.x, z = r.z;
    if (r.heading != 0) {
        double d, a;
        wb::to_polar(x, z, d, a);
        a += r.heading * 2 * wb::kPi / 65536;
        wb::from_polar(d, a, x, z);
    }
    const double latitude = r.latitude + unsigned_fraction(r.latitude_fraction);
    const double degrees = latitude / wb::kEarthDiameter * 360 / wb::kPi;
    if (r.scale == 0) ui::raise(ui::kDivisionByZero);
    const double k = 65536 / r.scale;
    const double c = std::cos(degrees * wb::kPi / 180) * wb::kEarthDiameter * wb::kPi;
    const double longitude_change = x * k * 4294967296.0 / c;

    Position p;
    split_value(latitude + z * k, p.latitude, p.latitude_fraction);
    split_value(r.longitude + unsigned_fraction(r.longitude_fraction) + longitude_change, p.longitude,
                p.longitude_fraction, true);
    split_value(r.altitude + r.y * k + unsigned_fraction(r.altitude_fraction), p.altitude, p.altitude_fraction);
    return p;
}

std::string whole_hex(std::int32_t value) { return ui::asm_hex(static_cast<std::uint32_t>(value)); }

std::string fraction_hex(std::int16_t value) {
    return ui::asm_hex(static_cast<std::uint32_t>(wb::fraction_to_unsigned(static_cast<double>(value))));
}

}  // namespace cg
