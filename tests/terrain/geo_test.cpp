// The grid arithmetic: fixed-point encoding, cells and quad placements, the outline order.
#include <gtest/gtest.h>

#include "terrain/geo.h"
#include "ui/errors.h"

namespace {

using terrain::position_at;

// A point in the grid's own form, as the calculator builds it.
terrain::Degrees at(double latitude, double longitude) {
    return terrain::position_to_degrees(position_at(latitude, longitude));
}

TEST(Grid, CellsOfTheWorkedPoints) {
    const terrain::Cell c8 = terrain::cell_of(8, at(0, 0));
    EXPECT_EQ(c8.row, 256);
    EXPECT_EQ(c8.column, 384);
    const terrain::Cell c13 = terrain::cell_of(13, at(0, 0));
    EXPECT_EQ(c13.row, 8192);
    EXPECT_EQ(c13.column, 12288);
    EXPECT_EQ(terrain::cell_of(8, at(10, -180)).column, 0);
    EXPECT_EQ(c8.south_east.latitude, -39069);
    EXPECT_EQ(c8.south_east.longitude, 0x555555);
    EXPECT_THROW(terrain::cell_of(16, at(0, 0)), ui::RuntimeError);
}

TEST(Grid, LongitudeEncoding) {
    const terrain::FixedPoint east = terrain::longitude_to_fixed(180);
    EXPECT_EQ(east.whole, 2147483646);
    EXPECT_EQ(static_cast<std::uint16_t>(east.fraction), 52885);
    // A fraction that rounds up to 65536 is carried into the whole part.
    const terrain::FixedPoint carried = terrain::longitude_to_fixed(5.029141902085394e-07);
    EXPECT_EQ(carried.whole, 6);
    EXPECT_EQ(carried.fraction, 0);
}

TEST(Grid, NegativeValuesWithinHalfADegreeRoundTrip) {
    // Half a rounding unit of the fraction, in degrees of longitude and of latitude.
    const double longitude_unit = 360 / 281474976710656.0 / 2, latitude_unit = 360 / (12734620 * 3.14159265358979) / 65536 / 2;
    for (const double v : {-0.3, -0.6, -0.0001}) {
        const terrain::Degrees d = terrain::position_to_degrees(position_at(v, v));
        EXPECT_NEAR(d.longitude, v, longitude_unit) << v;
        EXPECT_NEAR(d.latitude, v, latitude_unit) << v;
    }
}

TEST(Grid, PointsOnCellEdges) {
    // The west edge of column 385 and the north edge of row 256 at level 8.
    const terrain::QuadPlacement west = terrain::quad_placement(at(-0.1, 0.46875));
    EXPECT_EQ(west.column, 385);
    EXPECT_EQ(west.east, 0);
    const terrain::QuadPlacement north = terrain::quad_placement(at(0, 0.2));
    EXPECT_EQ(north.row, 256);
    EXPECT_EQ(north.south, 0);
    // West of Greenwich and south of the equator: the edges of column 382 and row 260.
    const terrain::QuadPlacement south_west = terrain::quad_placement(at(-1.40625, -0.9375));
    EXPECT_EQ(south_west.column, 382);
    EXPECT_EQ(south_west.east, 0);
    EXPECT_EQ(south_west.row, 260);
    EXPECT_EQ(south_west.south, 0);
    const terrain::QuadPlacement middle = terrain::quad_placement(at(-0.17578125, 0.234375));
    EXPECT_EQ(middle.east, 4096);
    EXPECT_EQ(middle.south, 4096);
    EXPECT_EQ(terrain::quad_numbers(middle), "4, 0, 16");
}

terrain::TriangleList triangles(std::initializer_list<std::array<long, 3>> l) {
    terrain::TriangleList t;
    for (const auto& v : l) t.push_back({{v[0], v[1], v[2]}, 7});
    return t;
}

std::vector<long> points(const terrain::TriangleList& t) {
    std::vector<long> p;
    for (const auto& tri : t) p.push_back(tri.vertex[0]);
    return p;
}

TEST(Outline, AFanListedOutOfOrderComesOutAroundItsEdge) {
    // Points 1 .. 5 around the centre 0, the triangles in no particular order.
    terrain::TriangleList t = triangles({{1, 2, 0}, {4, 5, 0}, {3, 4, 0}, {5, 1, 0}, {2, 3, 0}});
    EXPECT_EQ(terrain::outline_order(t), 0u);
    EXPECT_EQ(points(t), (std::vector<long>{1, 2, 3, 4, 5}));
    EXPECT_EQ(t[3].base, 7);

    terrain::TriangleList one = triangles({{4, 5, 6}});
    EXPECT_EQ(terrain::outline_order(one), 1u);  // one point is no outline
    EXPECT_EQ(points(one), std::vector<long>{6});  // the isolated corners went to the back
    terrain::TriangleList none;
    EXPECT_EQ(terrain::outline_order(none), 0u);
}

TEST(Outline, TheCentreOfAFanMayBeAnyCornerAndAnOpenFanIsNoOutline) {
    // The ring 1, 2, 3, 4 around the centre 0, which stands first, second or third.
    terrain::TriangleList t = triangles({{0, 1, 2}, {3, 0, 4}, {2, 3, 0}, {0, 4, 1}});
    EXPECT_EQ(terrain::outline_order(t), 0u);
    EXPECT_EQ(points(t), (std::vector<long>{2, 1, 4, 3}));
    // A fan around a corner of the outline leaves that corner and its neighbour out: refused.
    terrain::TriangleList open = triangles({{1, 2, 3}, {1, 3, 4}, {1, 4, 5}, {1, 5, 6}});
    EXPECT_EQ(terrain::outline_order(open), 4u);
}

TEST(Outline, SharedVerticesStayAndABrokenChainIsReported) {
    // Vertex 9 belongs to the first triangle only and goes to its back; the shared 1 stays first.
    terrain::TriangleList t = triangles({{1, 9, 2}, {2, 1, 3}});
    terrain::outline_order(t);
    EXPECT_EQ((std::array<long, 3>{t[0].vertex[0], t[0].vertex[1], t[0].vertex[2]}), (std::array<long, 3>{1, 2, 9}));
    EXPECT_EQ((std::array<long, 3>{t[1].vertex[0], t[1].vertex[1], t[1].vertex[2]}), (std::array<long, 3>{2, 1, 3}));
    // Two triangles without a common corner: the outline breaks after the first.
    terrain::TriangleList apart = triangles({{1, 2, 0}, {3, 4, 5}});
    EXPECT_EQ(terrain::outline_order(apart), 1u);
}

}  // namespace
