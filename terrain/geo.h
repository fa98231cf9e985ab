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

// The grid's own form (the cell corners, the calculator's input point): a negative value is held
// as its whole part truncated towards zero and the magnitude of the remainder, so the fraction
// is subtracted from a negative whole part. (Between -1 and 0 units the sign is lost: the whole
// part is 0.)
Degrees position_to_degrees(const GeoPosition& p);
// The form of placement lines and of the positions place_offset makes: the whole part rounded
// down and the fraction added to it, one 48-bit number in 1/65536 of a unit, exact everywhere.
Degrees placement_to_degrees(const GeoPosition& p);
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
// Columns go round the globe; rows end at the poles. The point is in degrees, decoded in the
// form its position was made in.
Cell cell_of(int level, const Degrees& point);
// The cell of a row and column at a level, with its corners: a column beyond either end goes
// round the globe, a row beyond a pole stays at that pole's last row.
Cell cell_at(int level, long row, long column);
// The centre of a cell of a level, in degrees.
Degrees cell_centre(int level, long row, long column);

// Where a point lies in its level-8 cell: offsets 0 .. 8191 in 1/8192 of the cell's spans, from
// its west and its north edge, rounded to the nearest. The LOD13 quad within the cell is
// offset / 256 (0 .. 31), the point's place in that quad offset mod 256.
struct QuadPlacement {
    long row = 0;
    long column = 0;
    long east = 0;
    long south = 0;
    GeoPosition north_west, south_east;
};

// An offset that rounds to 8192 is offset 0 of the next cell (its row or column and corners); at
// the South Pole, where no row follows, it stays 8191.
QuadPlacement quad_placement(const Degrees& point);
// The LOD13 quad a placement lies in, with its corners: the quad its offsets name, so that a
// point rounded onto a quad's edge lies in the quad its numbers are written for.
Cell lod13_quad(const QuadPlacement& q);
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
// order around its outline: a fan of triangles around one centre vertex, in any order, with the
// centre at any corner. Returns 0, or the number (from 1) of the triangle after which the outline
// breaks (its vertex 2 is not the first point of the next triangle, or for the last triangle of
// the first): then the list is unusable.
std::size_t outline_order(TriangleList& triangles);

}  // namespace terrain
