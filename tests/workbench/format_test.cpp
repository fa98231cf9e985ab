#include <gtest/gtest.h>

#include <cmath>

#include "ui/errors.h"
#include "ui/format.h"

namespace {

TEST(Format, DefaultNumberText) {
    EXPECT_EQ(ui::num(90.0), "90");
    EXPECT_EQ(ui::num(45.52734375), "45.52734375");
    EXPECT_EQ(ui::num(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(ui::num(-0.5), "-0.5");
    EXPECT_EQ(ui::num(0.00001), "1E-05");
    EXPECT_EQ(ui::num(1e15), "1E+15");
    EXPECT_EQ(ui::num(0.0), "0");
}

TEST(Format, PatternsRoundHalvesAwayAndKeepTheDecimalPoint) {
    EXPECT_EQ(ui::format(2.0, "0.0"), "2.0");
    EXPECT_EQ(ui::format(0.25, "0.0"), "0.3");
    EXPECT_EQ(ui::format(-0.25, "0.0"), "-0.3");
    EXPECT_EQ(ui::format(2.675, "0.00"), "2.68");
    EXPECT_EQ(ui::format(30.48, "0.0#####"), "30.48");
    EXPECT_EQ(ui::format(1.23456789, "0.0###"), "1.2346");
    EXPECT_EQ(ui::format(9.99999, "0.0##"), "10.0");
    EXPECT_EQ(ui::format(0.00001, "0.0"), "0.0");
    EXPECT_EQ(ui::format(-0.00001, "0.0"), "0.0");
    EXPECT_EQ(ui::format(123456.5, "0.0"), "123456.5");
}

TEST(Format, HexAndClassicNumberReading) {
    EXPECT_EQ(ui::asm_hex(0xFFFF7F00u), "0FFFF7F00h");
    EXPECT_EQ(ui::asm_hex(0), "00h");
    EXPECT_EQ(ui::val(" 1 2.5x"), 12.5);
    EXPECT_EQ(ui::val("&HFFFF"), -1);
    EXPECT_EQ(ui::val("&H0FFFF"), 65535);
    EXPECT_EQ(ui::val("abc"), 0);
    EXPECT_THROW(ui::val("1e400"), ui::RuntimeError);
    EXPECT_EQ(ui::round_even(2.5), 2);
    EXPECT_EQ(ui::round_even(3.5), 4);
    EXPECT_EQ(ui::to_whole(-2.7), -2);
    for (double wide : {9.3e18, -9.3e18, HUGE_VAL, double(NAN)}) {
        EXPECT_THROW(ui::to_whole(wide), ui::RuntimeError) << wide;
        EXPECT_THROW(ui::round_even(wide), ui::RuntimeError) << wide;
    }
    bool ok = true;
    for (const char* bad : {"1.5x", "0x10", "inf", "nan", "", "1e"}) {
        ok = true;
        EXPECT_EQ(ui::to_number(bad, &ok), 0) << bad;
        EXPECT_FALSE(ok) << bad;
    }
    EXPECT_EQ(ui::to_number(" 1.000000 ", &ok), 1);
    EXPECT_TRUE(ok);
}

}  // namespace
