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

// The fraction is the remainder's magnitude: it goes away from zero, on the whole part's side.
double signed_sum(double whole, double fraction) { return whole < 0 ? whole - fraction : whole + fraction; }

const wb::LevelSpan& span_of(int level) {
    if (level < 0 || level >= wb::kLevels) ui::raise(ui::kSubscriptOutOfRange);
    return wb::level_table()[static_cast<std::size_t>(level)];
}

// The row and column a point falls in at a level, before they are brought into the grid, and
// its place in that cell as fractions (0 .. 1) of the spans from the west and the north edge.
struct GridSpot {
    long row = 0, column = 0;
    double east = 0, south = 0;
};

GridSpot spot(const wb::LevelSpan& span, const Degrees& d) {
    const double x = d.longitude + 180, y = 90 - d.latitude;
    GridSpot s;
    s.column = static_cast<long>(std::floor((x + kEdgeTolerance) / span.longitude));
    s.row = static_cast<long>(std::floor((y + kEdgeTolerance) / span.latitude));
    s.east = std::max(0.0, x - s.column * span.longitude) / span.longitude;
    s.south = std::max(0.0, y - s.row * span.latitude) / span.latitude;
    return s;
}

}  // namespace

Degrees position_to_degrees(const GeoPosition& p) {
    const double to_latitude = 360 / (wb::kEarthDiameter * wb::kPi);
    Degrees d;
    d.longitude = signed_sum(p.longitude / kTurn * 360, unsigned_fraction(p.longitude_fraction) / kTurn * 360);
    d.latitude = signed_sum(p.latitude * to_latitude, unsigned_fraction(p.latitude_fraction) * to_latitude);
    return d;
}

Degrees placement_to_degrees(const GeoPosition& p) {
    Degrees d;
    d.longitude = (p.longitude + unsigned_fraction(p.longitude_fraction)) / kTurn * 360;
    d.latitude = (p.latitude + unsigned_fraction(p.latitude_fraction)) / wb::kEarthDiameter * 360 / wb::kPi;
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

Cell cell_at(int level, long row, long column) {
    const wb::LevelSpan& span = span_of(level);
    const long rows = 2L << level, columns = 3L << level;
    Cell c;
    c.row = std::clamp(row, 0L, rows - 1);
    c.column = (column % columns + columns) % columns;
    c.north_west = position_at(90 - c.row * span.latitude, c.column * span.longitude - 180);
    c.south_east = position_at(90 - (c.row + 1) * span.latitude, (c.column + 1) * span.longitude - 180);
    return c;
}

Cell cell_of(int level, const Degrees& point) {
    const GridSpot s = spot(span_of(level), point);
    return cell_at(level, s.row, s.column);
}

Degrees cell_centre(int level, long row, long column) {
    const wb::LevelSpan& span = span_of(level);
    return {90 - (row + 0.5) * span.latitude, (column + 0.5) * span.longitude - 180};
}

QuadPlacement quad_placement(const Degrees& point) {
    GridSpot s = spot(span_of(8), point);
    long east = static_cast<long>(ui::round_even(8192 * s.east));
    long south = static_cast<long>(ui::round_even(8192 * s.south));
    if (east >= 8192) ++s.column, east = 0;
    if (south >= 8192) ++s.row, south = 0;
    const long rows = 2L << 8;
    if (s.row >= rows) s.row = rows - 1, south = 8191;
    if (s.row < 0) s.row = 0, south = 0;
    const Cell c = cell_at(8, s.row, s.column);
    return {c.row, c.column, east, south, c.north_west, c.south_east};
}

Cell lod13_quad(const QuadPlacement& q) { return cell_at(13, q.row * 32 + q.south / 256, q.column * 32 + q.east / 256); }

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
    // The centre of a fan, the one vertex that every triangle holds, goes to the back of each:
    // wherever the exporter put it, the outline is then made of the other two.
    if (n >= 3)
        for (const long centre : {t[0].vertex[0], t[0].vertex[1], t[0].vertex[2]}) {
            bool everywhere = true;
            for (std::size_t i = 1; i < n && everywhere; ++i) everywhere = holds(i, centre);
            if (!everywhere) continue;
            for (Triangle& tri : t)
                for (int k = 0; k < 2; ++k)
                    if (tri.vertex[k] == centre) std::swap(tri.vertex[k], tri.vertex[2]);
            break;
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
    // The outline goes round: each triangle's second corner is the next one's first, and the
    // last one's the first one's.
    for (std::size_t i = 0; i < n; ++i)
        if (t[i].vertex[1] != t[(i + 1) % n].vertex[0]) return i + 1;
    return 0;
}

}  // namespace terrain
