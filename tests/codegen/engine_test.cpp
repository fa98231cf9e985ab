// Queueing of generated blocks, the end of the drawing code, and the placement arithmetic.
#include <cmath>

#include "codegen/engine.h"
#include "codegen/macro_fields.h"
#include "support.h"
#include "workbench/geometry.h"
#include "workbench/placement.h"

namespace {

using cg_test::lines;

wb::LineArray block_of(int n, const std::string& stem) {
    wb::LineArray b;
    b.set_top(0);
    for (int k = 1; k <= n; ++k) cg::put_line(b, k, stem + std::to_string(k));
    cg::add_lines(b, n);
    return b;
}

struct Queue {
    wb::InsertionList list;
    wb::CodeStore code;
};

TEST(QueueInsertion, KeepsRowsSortedByIndexAndStoresEachBlockUnderItsIdentifier) {
    Queue q;
    EXPECT_EQ(cg::queue_insertion(q.list, q.code, block_of(2, "a"), 20), 1);
    EXPECT_EQ(cg::queue_insertion(q.list, q.code, block_of(1, "b"), 10), 2);
    EXPECT_EQ(cg::queue_insertion(q.list, q.code, block_of(3, "c"), 30), 3);
    ASSERT_EQ(q.list.count(), 3);
    EXPECT_EQ(q.list.row(1).index, 10);
    EXPECT_EQ(q.list.row(1).id, 2);
    EXPECT_EQ(q.list.row(2).index, 20);
    EXPECT_EQ(q.list.row(2).id, 1);
    EXPECT_EQ(q.list.row(3).index, 30);
    EXPECT_EQ(q.list.row(3).id, 3);
    EXPECT_EQ(q.list.row(4).index, wb::InsertionList::kEndMark);

    ASSERT_EQ(q.code.count(), 6);
    const std::pair<long, const char*> expected[] = {{1, "a1"}, {1, "a2"}, {2, "b1"}, {3, "c1"}, {3, "c2"}, {3, "c3"}};
    for (long r = 1; r <= 6; ++r) {
        EXPECT_EQ(q.code.row(r).id, expected[r - 1].first) << r;
        EXPECT_EQ(q.code.row(r).text, expected[r - 1].second) << r;
    }
}

TEST(QueueInsertion, BlocksAtTheSameIndexAreWrittenNewestFirst) {
    Queue q;
    cg::queue_insertion(q.list, q.code, block_of(1, "effects"), 120);
    cg::queue_insertion(q.list, q.code, block_of(1, "library"), 120);
    EXPECT_EQ(q.list.row(1).id, 2);
    EXPECT_EQ(q.list.row(2).id, 1);
    EXPECT_EQ(q.list.row(3).index, wb::InsertionList::kEndMark);
}

TEST(QueueInsertion, TheQueueGrowsPastAHundredBlocksAndFiftyThousandLines) {
    Queue q;
    for (int i = 150; i >= 1; --i) cg::queue_insertion(q.list, q.code, block_of(400, "l"), i);
    EXPECT_EQ(q.list.count(), 150);
    EXPECT_EQ(q.code.count(), 60000);
    EXPECT_EQ(q.list.row(1).index, 1);
    EXPECT_EQ(q.list.row(1).id, 150);
    EXPECT_EQ(q.list.row(150).id, 1);
    EXPECT_EQ(q.list.row(151).index, wb::InsertionList::kEndMark);
    EXPECT_EQ(q.code.row(60000).id, 150);
}

class BglEnd : public cg_test::PlatformFixture {};

TEST_F(BglEnd, FindsTheFirstEndLineOrSaysWhyThereIsNone) {
    EXPECT_EQ(cg::find_bgl_end(lines({"  DRAW_TRI_END", "; BGL_END", "   BGL_END", "BGL_END"})), 3);
    EXPECT_TRUE(platform.shown().empty());
    EXPECT_EQ(cg::find_bgl_end(lines({"\tbgl_end", "  BGL_RETURN"})), 1);  // as the compiler reads it
    EXPECT_EQ(cg::find_bgl_end(lines({"  BGL_RETURN"})), 0);
    ASSERT_EQ(platform.shown().size(), 1u);
    EXPECT_EQ(platform.shown()[0].text, "Cannot find proper BGL END code. File cannot be processed.");
    EXPECT_EQ(platform.shown()[0].icon, ui::Icon::Critical);
}

TEST(Vertices, ReadsTheFirstThreeOperands) {
    cg::Vertex v = cg::read_vertex("        VERTEX_DEF -10.5000, 7.5000, -15.2000, 0.0000, 1.0000, 0.0000, 0, 0");
    EXPECT_DOUBLE_EQ(v.x, -10.5);
    EXPECT_DOUBLE_EQ(v.y, 7.5);
    EXPECT_DOUBLE_EQ(v.z, -15.2);
}

TEST(Fractions, SixteenBitsReadBothWays) {
    EXPECT_EQ(wb::fraction_to_unsigned(std::string("8000h")), 32768);
    EXPECT_EQ(wb::fraction_to_signed(std::string("8000h")), -32768);
    EXPECT_EQ(wb::fraction_to_unsigned(std::string("0FFFFh")), 65535);
    EXPECT_EQ(wb::fraction_to_signed(std::string("FFFFh")), -1);
    EXPECT_EQ(wb::fraction_to_unsigned(static_cast<double>(wb::fraction_to_signed(std::string("FFFFh")))), 65535);
    EXPECT_EQ(wb::fraction_to_unsigned(static_cast<double>(wb::fraction_to_signed(std::string("8000h")))), 32768);
    EXPECT_EQ(cg::fraction_hex(-32768), "08000h");
    EXPECT_EQ(cg::fraction_hex(-1), "0FFFFh");
    EXPECT_EQ(cg::fraction_hex(0x1234), "01234h");
}

TEST(Placement, OperandsOfTheSamplePlacementLineAndTheirOutputForm) {
    auto p = wb::read_placement_operands(
        "        SCALE_AGL       OBJECT_RET, 0, 0, 10000h, 050764Dh, 096F4h, 0A9065CC9h, 0BDDCh, 0, 0");
    EXPECT_EQ(p.scale, 65536);
    EXPECT_EQ(p.latitude, 0x50764D);
    EXPECT_EQ(cg::fraction_hex(p.latitude_fraction), "096F4h");
    EXPECT_EQ(cg::whole_hex(p.longitude), "0A9065CC9h");
    EXPECT_EQ(cg::fraction_hex(p.longitude_fraction), "0BDDCh");
    EXPECT_EQ(cg::whole_hex(-1), "0FFFFFFFFh");
    EXPECT_EQ(cg::whole_hex(0), "00h");
}

cg::PlacementRecord record() {
    cg::PlacementRecord r;
    r.latitude = 5000000;
    r.latitude_fraction = wb::fraction_to_signed(std::string("8000h"));
    r.longitude = 100;
    r.longitude_fraction = 0;
    r.altitude = 50;
    r.altitude_fraction = 0;
    r.scale = 65536;  // one model unit per metre
    return r;
}

TEST(Placement, AHeadingOfNinetyDegreesTurnsAnEastOffsetSouth) {
    cg::PlacementRecord r = record();
    r.x = 10;
    r.y = 2;
    r.heading = 16384;
    cg::Position p = cg::place_offset(r);
    EXPECT_EQ(p.latitude, 4999990);
    EXPECT_EQ(wb::fraction_to_unsigned(static_cast<double>(p.latitude_fraction)), 32768);
    EXPECT_EQ(p.longitude, 100);
    EXPECT_EQ(p.longitude_fraction, 0);
    EXPECT_EQ(p.altitude, 52);
    EXPECT_EQ(p.altitude_fraction, 0);

    // Without a heading the same offset goes east: the latitude stays.
    r.heading = 0;
    p = cg::place_offset(r);
    EXPECT_EQ(p.latitude, 5000000);
    EXPECT_GT(p.longitude, 100);
}

TEST(Placement, AQuarterOfTheEquatorIsAQuarterTurnOfLongitude) {
    cg::PlacementRecord r = record();
    r.latitude = 0;
    r.latitude_fraction = 0;
    r.longitude = 0;
    r.x = wb::kEarthDiameter * wb::kPi / 4 * 2;  // scale 2 units per metre
    r.scale = 131072;
    cg::Position p = cg::place_offset(r);
    EXPECT_NEAR(static_cast<double>(static_cast<std::uint32_t>(p.longitude)), 1073741824.0, 1.0);
}

TEST(Placement, WholePartsRoundTowardsMinusInfinity) {
    cg::PlacementRecord r = record();
    r.latitude = 0;
    r.latitude_fraction = 0;
    r.z = -0.25;
    r.y = -0.5;
    r.altitude = 0;
    cg::Position p = cg::place_offset(r);
    EXPECT_EQ(p.latitude, -1);
    EXPECT_EQ(wb::fraction_to_unsigned(static_cast<double>(p.latitude_fraction)), 49152);
    EXPECT_EQ(p.altitude, -1);
    EXPECT_EQ(wb::fraction_to_unsigned(static_cast<double>(p.altitude_fraction)), 32768);
    EXPECT_EQ(cg::whole_hex(p.latitude), "0FFFFFFFFh");
}

}  // namespace

namespace {

// The field table that Process, the writers and the dialogs check generated values against.
TEST(MacroFields, EachOperandIsCheckedAgainstItsField) {
    EXPECT_EQ(cg::check_generated_lines(
                  {"SKIP_FX9  label BGLCODE", "; a comment, 1E+99", "    IFMSK LBL1,second_flash, 0-1h",
                   "    KZV_FX1 \"fx\" , \"MOY=01,12;DOM=01,31;HOD=00,23;MOH=00,59;\"",
                   "    AREA_SENSE4 P_END, 0, -6, 3, -7, 3, -9, 0, -10",
                   "    BGL_TRANSFORM_MAT 1.0, -.5, 3, 0.5, 0.0, 0.0, 0.0, 0.5, 0.0, 0.0, 0.0, 2.5E+3"}),
              "");
    EXPECT_EQ(cg::check_generated_lines({"    DECAL_POINT 1E+20, 0"}),
              "The value 1E+20 cannot be written: the field first of DECAL_POINT holds whole numbers from "
              "-2147483648 to 2147483647.");
    EXPECT_EQ(cg::check_generated_lines({"    SET_SURFACE_TYPE CONCRETE, 40,1.5, 0"}),
              "The value 1.5 cannot be written: the field length of SET_SURFACE_TYPE holds whole numbers from "
              "-2147483648 to 4294967295.");
    EXPECT_NE(cg::check_generated_lines({"    AREA_SENSE4 P_END, 0, 40000"}).find("field point"), std::string::npos);
    EXPECT_EQ(cg::check_generated_lines({"    INSTANCE_CALL X, 0, 0"}),
              "The line \"INSTANCE_CALL X, 0, 0\" does not give INSTANCE_CALL its 4 values.");
    EXPECT_NE(cg::check_generated_lines({"    TEXTURE_DATA  \"a\"b\", 0, 1, 4"}), "");
    // A light type from the list's aircraft-only item, and a point typed alone as a number.
    EXPECT_EQ(cg::check_generated_lines({"    BGL_LIGHT *LIGHT_PANEL*, 1.0, 0.0, 2.0, 100 ,0.5, 0.04, 0FFFF2B15h, "
                                         "0.0, 1.0, 0.0"}),
              "The value *LIGHT_PANEL* cannot be written: the field type of BGL_LIGHT holds a name.");
    EXPECT_NE(cg::check_generated_lines({"    BGL_LIGHT LIGHT_LOGO, 1.0, 0.0, 2.0, 100 ,., 0.04, 0FFFF2B15h, "
                                         "0.0, 1.0, 0.0"}).find("The value . cannot"),
              std::string::npos);
    EXPECT_NE(cg::check_generated_lines({"    BGL_LIGHT LIGHT_LOGO, 1.0, 0.0, 2.0, 99999999999999999999 ,0.5, 0.04, "
                                         "0FFFF2B15h, 0.0, 1.0, 0.0"}).find("it is a whole number from"),
              std::string::npos);
}

}  // namespace
