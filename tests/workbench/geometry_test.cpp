#include <gtest/gtest.h>

#include "workbench/geometry.h"
#include "workbench/placement.h"

namespace {

TEST(Geometry, HeadingsRunClockwiseFromNorth) {
    double d, a;
    wb::to_polar(0, 0, d, a);
    EXPECT_EQ(d, 0);
    EXPECT_DOUBLE_EQ(a, wb::kPi / 2);
    wb::to_polar(-1, 0, d, a);
    EXPECT_DOUBLE_EQ(a, 3 * wb::kPi / 2);
    wb::to_polar(1, -1, d, a);
    EXPECT_NEAR(a, 3 * wb::kPi / 4, 1e-12);
    wb::to_polar(-1, 1, d, a);
    EXPECT_NEAR(a, 7 * wb::kPi / 4, 1e-12);
    double x, y;
    wb::to_polar(3, 4, d, a);
    wb::from_polar(d, a, x, y);
    EXPECT_NEAR(x, 3, 1e-9);
    EXPECT_NEAR(y, 4, 1e-9);
}

TEST(Geometry, SortingASquareGivesItClockwiseFromTheNorthEast) {
    wb::Polygon p;
    p.count = 4;
    // counter-clockwise: NE, NW, SW, SE
    double xs[] = {1, -1, -1, 1}, ys[] = {1, 1, -1, -1};
    for (int i = 0; i < 4; ++i) p.x[i + 1] = xs[i] + 5, p.y[i + 1] = ys[i] + 7;
    wb::polygon_centre(p);
    EXPECT_EQ(p.centre_x, 5);
    EXPECT_EQ(p.centre_y, 7);
    wb::sort_polygon_by_angle(p);
    EXPECT_EQ(p.x[1], 6);  EXPECT_EQ(p.y[1], 8);   // NE
    EXPECT_EQ(p.x[2], 6);  EXPECT_EQ(p.y[2], 6);   // SE
    EXPECT_EQ(p.x[3], 4);  EXPECT_EQ(p.y[3], 6);   // SW
    EXPECT_EQ(p.x[4], 4);  EXPECT_EQ(p.y[4], 8);   // NW
}

TEST(Placement, HexOperandsAndSixteenBitFractions) {
    EXPECT_EQ(wb::operand_value("4000h"), 16384);
    EXPECT_EQ(wb::operand_value(" 0FFFFh "), 65535);
    EXPECT_EQ(wb::operand_value("0C1C71C72h"), static_cast<double>(static_cast<std::int32_t>(0xC1C71C72)));
    EXPECT_EQ(wb::operand_value("12.5"), 12.5);
    EXPECT_EQ(wb::fraction_to_unsigned("8000h"), 32768);
    EXPECT_EQ(wb::fraction_to_unsigned("0FFFFh"), 65535);
    EXPECT_EQ(wb::fraction_to_signed("8000h"), -32768);
    EXPECT_EQ(wb::fraction_to_signed("FFFFh"), -1);
    EXPECT_EQ(wb::fraction_to_unsigned(-1.0), 65535);
    EXPECT_EQ(wb::fraction_to_unsigned(static_cast<double>(wb::fraction_to_signed("8000h"))), 32768);
    auto p = wb::read_placement_operands(
        "SCALE_AGL ret, 0, 0, 10000h, 00507B4Dh, 096F4h, 0A9067E49h, 0BDDCh, 0, 0");
    EXPECT_EQ(p.scale, 65536);
    EXPECT_EQ(p.latitude, 0x507B4D);
    EXPECT_EQ(p.latitude_fraction, static_cast<std::int16_t>(0x96F4));
    EXPECT_EQ(p.longitude, static_cast<std::int32_t>(0xA9067E49));
    EXPECT_EQ(p.altitude, 0);
}

}  // namespace
