#include "geo.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "ui/errors.h"
#include "ui/format.h"
#include "workbench/asm_line.h"
#include "workbench/geometry.h"
#include "workbench/level_table.h"

namespace terrain {

namespace {

constexpr double kTurn = 4294967296.0;     // longitude units in 360 degrees
constexpr double kEdgeTolerance = 1e-9;    // degrees

double unsigned_fraction(std::int16_t f) { return static_cast<std::uint16_t>(f) / 65536.0; }

// Whole part towards zero and the rounded magnitude of the remainder in 1/65536.
FixedPoint to_fixed(double v) {
    double whole = std::trunc(v);
    long long fraction = ui::round_even(std::fabs(v - whole) * 65536);
    if (fraction >= 65536) {
        fraction = 0;
        whole += v < 0 ? -1 : 1;
    }
    whole = std::clamp(whole, -2147483648.0, 2147483647.0);
    return {static_cast<std::int32_t>(whole), static_cast<std::int16_t>(static_cast<std::uint16_t>(fraction))};
}

double signed_sum(double whole, double fraction) {
    return ui::round_even(whole) < 0 ? whole - fraction : whole + fraction;
}

const wb::LevelSpan& span_of(int level) {
    if (level < 0 || level >= wb::kLevels) ui::raise(ui::kSubscriptOutOfRange);
    return wb::level_table()[static_cast<std::size_t>(level)];
}

}  // namespace

Degrees position_to_degrees(const GeoPosition& p) {
    const double to_latitude = 360 / (wb::kEarthDiameter * wb::kPi);
    Degrees d;
    d.longitude = signed_sum(p.longitude / kTurn * 360, unsigned_fraction(p.longitude_fraction) / kTurn * 360);
    d.latitude = signed_sum(p.latitude * to_latitude, unsigned_fraction(p.latitude_fraction) * to_latitude);
    return d;
}

FixedPoint longitude_to_fixed(double degrees) {
    if (degrees >= 180) degrees = 179.9999999;
    return to_fixed(kTurn * degrees / 360);
}

FixedPoint latitude_to_fixed(double degrees) { return to_fixed(degrees / 360 * wb::kEarthDiameter * wb::kPi); }

GeoPosition position_at(double latitude, double longitude) {
    GeoPosition p;
    const FixedPoint lat = latitude_to_fixed(latitude), lon = longitude_to_fixed(longitude);
    p.latitude = lat.whole;
    p.latitude_fraction = lat.fraction;
    p.longitude = lon.whole;
    p.longitude_fraction = lon.fraction;
    return p;
}

Cell cell_of(int level, const GeoPosition& p) {
    const wb::LevelSpan& span = span_of(level);
    const Degrees d = position_to_degrees(p);
    Cell c;
    c.column = static_cast<long>(std::floor((d.longitude + 180 + kEdgeTolerance) / span.longitude));
    c.row = static_cast<long>(std::floor((90 - d.latitude + kEdgeTolerance) / span.latitude));
    c.north_west = position_at(90 - c.row * span.latitude, c.column * span.longitude - 180);
    c.south_east = position_at(90 - (c.row + 1) * span.latitude, (c.column + 1) * span.longitude - 180);
    return c;
}

Degrees cell_centre(int level, long row, long column) {
    const wb::LevelSpan& span = span_of(level);
    return {90 - (row + 0.5) * span.latitude, (column + 0.5) * span.longitude - 180};
}

QuadPlacement quad_placement(const GeoPosition& p) {
    const Cell c = cell_of(8, p);
    const wb::LevelSpan& span = span_of(8);
    const Degrees corner = position_to_degrees(c.north_west), point = position_to_degrees(p);
    QuadPlacement q;
    q.row = c.row;
    q.column = c.column;
    q.north_west = c.north_west;
    q.south_east = c.south_east;
    q.east = static_cast<long>(ui::round_even(8192 * std::fabs(point.longitude - corner.longitude) / span.longitude));
    q.south = static_cast<long>(ui::round_even(8192 * std::fabs(point.latitude - corner.latitude) / span.latitude));
    return q;
}

std::string quad_numbers(const QuadPlacement& q) {
    return std::to_string(q.east / 1024) + ", " + std::to_string((q.east / 256) % 4) + ", " +
           std::to_string(q.south / 256);
}

std::string triangles_of_block(const wb::LineArray& asm_lines, long block_start, long block_end,
                               TriangleList& triangles) {
    triangles.clear();
    const long base = static_cast<long>(wb::operand_value(wb::asm_field(asm_lines[block_start], 1)));
    for (long at = block_start + 1; at < block_end; ++at) {
        const std::string line = wb::trim(asm_lines[at]);
        if (!wb::is_triangle_line(line))
            return "Line " + std::to_string(at) + " of the drawing block is no triangle: " + line;
        Triangle t;
        for (int k = 0; k < 3; ++k) t.vertex[k] = static_cast<long>(wb::operand_value(wb::asm_field(line, k + 1)));
        t.base = base;
        triangles.push_back(t);
    }
    return "";
}

std::size_t outline_order(TriangleList& t) {
    const std::size_t n = t.size();
    auto holds = [&](std::size_t i, long v) {
        return t[i].vertex[0] == v || t[i].vertex[1] == v || t[i].vertex[2] == v;
    };
    // Vertices that no other triangle shares go to the back of their triangle.
    for (std::size_t i = 0; i < n; ++i)
        for (int k = 0; k < 2; ++k) {
            bool shared = false;
            for (std::size_t j = 0; j < n && !shared; ++j) shared = j != i && holds(j, t[i].vertex[k]);
            if (!shared) std::swap(t[i].vertex[k], t[i].vertex[2]);
        }
    // Chain: the next triangle is the first later one that holds vertex 2 of this one; only
    // vertices 1 and 2 move with it.
    for (std::size_t i = 0; i + 1 < n; ++i) {
        std::size_t e = i + 1;
        while (e < n && !holds(e, t[i].vertex[1])) ++e;
        if (e == n) return i + 1;
        std::swap(t[i + 1].vertex[0], t[e].vertex[0]);
        std::swap(t[i + 1].vertex[1], t[e].vertex[1]);
        if (t[i + 1].vertex[1] == t[i].vertex[1]) std::swap(t[i + 1].vertex[0], t[i + 1].vertex[1]);
    }
    return 0;
}

}  // namespace terrain
