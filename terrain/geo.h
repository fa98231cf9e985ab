#pragma once
// The simulator's global grid: positions as 48-bit fixed-point values and their degrees, the
// cell of a point at a grid level, its placement in the level-8 cell, and the outline of a flat
// polygon drawn as triangles. Shared by the lake and decal writers and the terrain calculator.
#include <cstdint>
#include <string>
#include <vector>

#include "workbench/placement.h"
#include "workbench/text_file.h"

namespace terrain {

// Latitude in metres north of the equator, longitude in 1/2^32 of a turn east of Greenwich,
// altitude in metres; each a signed 32-bit whole part and a 16-bit fraction read as unsigned.
using GeoPosition = wb::Position;

struct Degrees {
    double latitude = 0;
    double longitude = 0;
};

struct FixedPoint {
    std::int32_t whole = 0;
    std::int16_t fraction = 0;
};

// A negative value is held as its whole part truncated towards zero and the magnitude of the
// remainder; the fraction is subtracted when the value rounds to a negative whole degree.
Degrees position_to_degrees(const GeoPosition& p);
// 180 degrees and more become 179.9999999. A fraction that rounds up to 65536 is carried into
// the whole part.
FixedPoint longitude_to_fixed(double degrees);
FixedPoint latitude_to_fixed(double degrees);
// Both conversions at once, altitude 0.
GeoPosition position_at(double latitude, double longitude);

struct Cell {
    long row = 0;     // from the North Pole southwards
    long column = 0;  // from 180 degrees West eastwards
    GeoPosition north_west, south_east;
};

// The cell of a point at level 0 .. 15 (error 9 outside). A point on a west or north edge lies in
// that cell, one on an east or south edge in the next: positions within a billionth of a degree
// of an edge count as on it, so that the rounding of the fixed-point form cannot move them.
Cell cell_of(int level, const GeoPosition& p);
// The centre of a cell of a level, in degrees.
Degrees cell_centre(int level, long row, long column);

// Where a point lies in its level-8 cell: offsets in 1/8192 of the cell's spans, from its west
// and its north edge. The LOD13 quad within the cell is offset / 256 (0 .. 31), the point's place
// in that quad offset mod 256.
struct QuadPlacement {
    long row = 0;
    long column = 0;
    long east = 0;
    long south = 0;
    GeoPosition north_west, south_east;
};

QuadPlacement quad_placement(const GeoPosition& p);
// The three quad numbers of the flatten and decal data records: east / 1024, (east / 256) mod 4
// and south / 256, as "a, b, c".
std::string quad_numbers(const QuadPlacement& q);

// One triangle of a drawing block: its three vertex numbers (relative to the block's vertex
// base) and that base.
struct Triangle {
    long vertex[3] = {0, 0, 0};
    long base = 0;
};
using TriangleList = std::vector<Triangle>;

// The triangles of the drawing block that starts at line block_start (the line after
// "MATERIAL n") and ends at block_end (its "DRAW_TRI_END"). Returns "" or, for a line between
// them that is no "DRAW_TRI " line, a text saying so.
std::string triangles_of_block(const wb::LineArray& asm_lines, long block_start, long block_end,
                               TriangleList& triangles);

// Reorders the triangles so that vertex 1 of triangle 1, 2, ... n are the polygon's points in
// order around its outline. Returns 0, or the number (from 1) of the triangle whose vertex 2 no
// later triangle holds: there the outline breaks and the list is unusable.
std::size_t outline_order(TriangleList& triangles);

}  // namespace terrain
