// Effects, library objects (placed and inside the model) and windsocks: the lines written,
// the placement arithmetic, and the windsock refusal that must leave the source untouched.
#include <cmath>

#include "codegen/object_code.h"
#include "codegen/process.h"
#include "support.h"
#include "workbench/asm_line.h"
#include "workbench/placement.h"
#include "workbench/save_pair.h"

namespace {

using cg_test::lines;

using cg_test::material_line;
wb::LineArray source(const std::vector<std::string>& vertices, const std::vector<std::string>& triangles) {
    return cg_test::block_source(vertices, triangles);
}

wb::MaterialTable table(long row, long material_line, const std::string& colour = "9933CC") {
    wb::MaterialTable t;
    t.set_count(static_cast<int>(row));
    t.row(row).material_line = material_line;
    t.row(row).colour = colour;
    return t;
}

// The model sits at latitude 1000 m, longitude 0A9065CC9h, 50 m up; scale 1 unit = 1 m.
wb::LineArray header(const std::string& scale = "10000h") {
    return lines({"OBJECT_DATA label word",
                  "        SCALE_AGL       OBJECT_RET, 7, 3, " + scale + ", 03E8h, 0, 0A9065CC9h, 0, 032h, 0",
                  "OBJECT_RET label word"});
}

wb::LineArray empty_buffer() {
    wb::LineArray b;
    b.set_top(0);
    return b;
}

std::vector<std::string> written(const wb::LineArray& b) {
    std::vector<std::string> r;
    for (long i = 1; i <= b.top(); ++i) r.push_back(b[i]);
    return r;
}

// Operand i (5 .. 10) pairs of a placement line as whole + fraction / 65536.
double position(const std::string& line, int whole_operand) {
    return wb::operand_value(wb::asm_field(line, whole_operand)) +
           wb::fraction_to_unsigned(wb::asm_field(line, whole_operand + 1)) / 65536.0;
}

class Markers : public cg_test::PlatformFixture {
protected:
    wb::LineArray azm = header();
    cg::MarkerParameters p;
    wb::LineArray out = empty_buffer();
};

TEST_F(Markers, EffectsWriteThreeLinesPerTriangleAndAClosingLabel) {
    wb::LineArray src = source({"1.0, 0.0, 2.0", "3.0, 0.0, 4.0", "5.0, 0.0, 6.0"}, {"0,1,2", "1,2,0"});
    const long m = material_line(src);  // 7: triangles at 9 and 10
    p.effect_name = "fx_steam_vent";
    p.fx_on_ground = true;
    cg::SourceEdits src_edits(src);
    const long n = cg::generate_effects({src_edits, azm, table(3, m), 3, 3, 0}, p, out);
    EXPECT_EQ(n, 6);
    auto l = written(out);
    ASSERT_EQ(l.size(), 7u);
    EXPECT_TRUE(l[0].starts_with("    SCALE_AGL   SKIP_FX10, 7, 3, 65536, 0")) << l[0];
    EXPECT_EQ(l[1], "    KZV_FX1 \"fx_steam_vent\" , \"MOY=01,12;DOM=01,31;HOD=00,23;MOH=00,59;\"");
    EXPECT_EQ(l[2], "SKIP_FX10  label BGLCODE");
    EXPECT_TRUE(l[3].starts_with("    SCALE_AGL   SKIP_FX11, ")) << l[3];
    EXPECT_EQ(l[5], "SKIP_FX11  label BGLCODE");
    EXPECT_EQ(l[6], "SKIP_FX_END3  label BGLCODE");
    // Each triangle at its own first corner: 2 m and 4 m north of the reference.
    EXPECT_NEAR(position(l[0], 5), 1002, 1e-4);
    EXPECT_NEAR(position(l[3], 5), 1004, 1e-4);
    for (long i = m + 1; i <= m + 4; ++i) EXPECT_TRUE(src[i].starts_with("; ")) << i;
    EXPECT_EQ(src[m], "        MATERIAL 0,0");
}

TEST_F(Markers, OffTheGroundTheTerrainElevationIsAddedInMetres) {
    const std::vector<std::string> v = {"0.0, 0.0, 0.0"};
    wb::LineArray src0 = source(v, {"0,0,0"}), src100 = source(v, {"0,0,0"}), agl = source(v, {"0,0,0"});
    // Scale 2 units per metre: the elevation must not depend on the model's scale.
    azm = header("20000h");
    p.fx_terrain_alt = "0";
    cg::SourceEdits src0_edits(src0);
    cg::generate_effects({src0_edits, azm, table(1, material_line(src0)), 1, 3, 0}, p, out);
    const std::string at0 = out[1];
    p.fx_terrain_alt = "100";
    out = empty_buffer();
    cg::SourceEdits src100_edits(src100);
    cg::generate_effects({src100_edits, azm, table(1, material_line(src100)), 1, 3, 0}, p, out);
    const std::string at100 = out[1];
    EXPECT_TRUE(at100.starts_with("    SCALE   SKIP_FX")) << at100;
    EXPECT_NEAR(position(at100, 9) - position(at0, 9), 30.48, 1e-4);

    p.fx_on_ground = true;
    out = empty_buffer();
    cg::SourceEdits agl_edits(agl);
    cg::generate_effects({agl_edits, azm, table(1, material_line(agl)), 1, 3, 0}, p, out);
    EXPECT_TRUE(out[1].starts_with("    SCALE_AGL   SKIP_FX")) << out[1];
    EXPECT_NEAR(position(out[1], 9), 50, 1e-4);  // the elevation is ignored on the ground
}

TEST_F(Markers, AQuarterTurnOfHeadingTurnsEastIntoSouth) {
    wb::LineArray src = source({"10.0, 0.0, 0.0"}, {"0,0,0"});
    p.fx_on_ground = true;
    cg::SourceEdits src_edits(src);
    cg::generate_effects({src_edits, azm, table(1, material_line(src)), 1, 3, 16384}, p, out);
    EXPECT_NEAR(position(out[1], 5), 1000 - 10, 1e-3);
    EXPECT_NEAR(position(out[1], 7), wb::operand_value("0A9065CC9h"), 1e-2);
}

TEST_F(Markers, LibraryObjectsFollowTheirOwnOnTheGroundBox) {
    wb::LineArray src = source({"0.0, 0.0, 0.0"}, {"0,0,0"});
    p.guid = "01h,02h,03h,04h";
    p.fx_on_ground = false;
    p.lib_on_ground = true;
    p.lib_terrain_alt = "500";
    cg::SourceEdits src_edits(src);
    EXPECT_EQ(cg::generate_library({src_edits, azm, table(2, material_line(src)), 2, 3, 0}, p, out), 3);
    auto l = written(out);
    ASSERT_EQ(l.size(), 4u);
    EXPECT_TRUE(l[0].starts_with("    SCALE_AGL   SKIP_LIB8, ")) << l[0];
    EXPECT_NEAR(position(l[0], 9), 50, 1e-4);
    EXPECT_EQ(l[1], "    KZV_LIBRARY_CALL 01h,02h,03h,04h");
    EXPECT_EQ(l[3], "SKIP_LIB_END2  label BGLCODE");
}

TEST_F(Markers, WithoutAPlacementLineNothingIsPlaced) {
    wb::LineArray src = source({"0.0, 0.0, 0.0"}, {"0,0,0"});
    azm = lines({"; no placement here"});
    cg::SourceEdits src_edits(src);
    EXPECT_THROW(cg::generate_effects({src_edits, azm, table(1, material_line(src)), 1, 3, 0}, p, out),
                 cg::NoPlacementLine);
}

TEST_F(Markers, LibraryNewCallsTheObjectAtTheCornerWithOneDecimalOfScale) {
    wb::LineArray src = source({"  -25.0000, 0.5000,  -5.0000"}, {"0,0,0", "0,0,0"});
    p.scale = "2";
    cg::SourceEdits src_edits(src);
    EXPECT_EQ(cg::generate_library_new({src_edits, azm, table(1, material_line(src)), 1, 3, 0}, p, out), 6);
    auto l = written(out);
    ASSERT_EQ(l.size(), 6u);
    EXPECT_EQ(l[0], "    BGL_TRANSFORM_MAT -25.0000, 0.5000, -5.0000, 2.0, 0.0, 0.0, 0.0, 2.0, 0.0, 0.0, 0.0, 2.0");
    EXPECT_EQ(l[1], "    KZV_LIBRARY_CALL " + p.guid);
    EXPECT_EQ(l[2], "    BGL_TRANSFORM_END");

    wb::LineArray src2 = source({"1.0, 2.0, 3.0"}, {"0,0,0"});
    p.scale = "0.25";
    out = empty_buffer();
    cg::SourceEdits src2_edits(src2);
    cg::generate_library_new({src2_edits, azm, table(1, material_line(src2)), 1, 3, 0}, p, out);
    EXPECT_EQ(out[1], "    BGL_TRANSFORM_MAT 1.0, 2.0, 3.0, 0.3, 0.0, 0.0, 0.0, 0.3, 0.0, 0.0, 0.0, 0.3");
}

TEST_F(Markers, WindsockMastAtTheLowestCornerSockBetweenTheUpperOnes) {
    // Corners at heights 0, 5, 5; then 5, 0, 5 (the low corner second is moved first).
    wb::LineArray src = source({"1.0, 0.0, 2.0", "1.0, 5.0, 2.0", "4.0, 5.0, 6.0"}, {"0,1,2", "1,0,2"});
    p.mast_colour = "10F0F0";
    p.lit = true;
    bool rejected = true;
    cg::SourceEdits src_edits(src);
    EXPECT_EQ(cg::generate_windsock({src_edits, azm, table(1, material_line(src)), 1, 3, 0}, p, out, rejected), 2);
    EXPECT_FALSE(rejected);
    auto l = written(out);
    ASSERT_EQ(l.size(), 2u);
    EXPECT_EQ(l[0], "    KZV_WINDSOCK 1.0, 0.0, 2.0, 5.0, 5.0, 0FFF0F010h, 0FF9933CCh,1");
    // After the swap: corner 2 is the former corner 1 (1, 5, 2), corner 3 still (4, 5, 6).
    EXPECT_EQ(l[1], "    KZV_WINDSOCK 1.0, 0.0, 2.0, 5.0, 5.0, 0FFF0F010h, 0FF9933CCh,1");

    wb::LineArray odd = source({"0.1234567, 0.0, 0.0", "0.0, 2.5, 0.0", "1.0, 2.5, 1.0"}, {"0,1,2"});
    p.lit = false;
    out = empty_buffer();
    cg::SourceEdits odd_edits(odd);
    cg::generate_windsock({odd_edits, azm, table(1, material_line(odd)), 1, 3, 0}, p, out, rejected);
    EXPECT_EQ(out[1], "    KZV_WINDSOCK 0.123457, 0.0, 0.0, 2.5, 1.414214, 0FFF0F010h, 0FF9933CCh,0");
}

TEST_F(Markers, AFlatWindsockTriangleLeavesTheWholeBlockAsItWas) {
    // The first triangle is good; the second lies flat.
    wb::LineArray src = source({"0.0, 0.0, 0.0", "0.0, 6.0, 0.0", "1.0, 0.05, 0.0"}, {"0,1,2", "0,2,0"});
    const wb::LineArray before = src;
    bool rejected = false;
    cg::SourceEdits src_edits(src);
    EXPECT_EQ(cg::generate_windsock({src_edits, azm, table(1, material_line(src)), 1, 3, 0}, p, out, rejected), 0);
    EXPECT_TRUE(rejected);
    EXPECT_EQ(src.lines(), before.lines());
    EXPECT_EQ(out.top(), 0);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0], "The triangle used has zero height. It cannot be used for Windsock object.");
}

// Every pair below has these vertices, so that the material table stays valid when the
// source is replaced (a second material processed on a fresh block).
const std::vector<std::string> kVertices = {"0.0, 0.0, 0.0", "0.0, 6.0, 0.0", "1.0, 0.0, 0.0"};

class MarkersOnPair : public cg_test::PlatformFixture {
protected:
    MarkersOnPair() {
        pair.asm_lines = source(kVertices, {"0,1,2"});
        pair.azm_lines = header();
        pair.vertex_list_start = 3;
        pair.materials = table(1, material_line(pair.asm_lines));
        pair.materials.set_count(2);
        pair.materials.row(2) = pair.materials.row(1);
    }
    wb::SourcePair pair;
};

TEST_F(MarkersOnPair, PlacedObjectsGoAfterTheEndAndModelCallsAfterTheMaterialLine) {
    cg::ObjectParameters p;
    const long end = wb::find_line("BGL_END", pair.asm_lines, 1, false);
    auto r = cg::process_material(pair, 1, "Library", p);
    EXPECT_EQ(r.status, cg::ProcessStatus::Done);
    EXPECT_EQ(r.lines, 3);
    ASSERT_EQ(pair.insertions.count(), 1);
    EXPECT_EQ(pair.insertions.row(1).index, end + 1);
    EXPECT_EQ(pair.code.count(), 4);

    pair.asm_lines = source(kVertices, {"0,0,0"});
    r = cg::process_material(pair, 2, "Library New", p);
    ASSERT_EQ(pair.insertions.count(), 2);
    EXPECT_EQ(pair.insertions.row(1).index, material_line(pair.asm_lines) + 1);
    EXPECT_EQ(pair.code.count(), 7);
}

TEST_F(MarkersOnPair, TwoEffectsMaterialsCloseWithDifferentLabels) {
    cg::ObjectParameters p;
    cg::process_material(pair, 1, "Effects", p);
    pair.asm_lines = source(kVertices, {"0,0,0"});
    cg::process_material(pair, 2, "Effects", p);
    std::vector<std::string> closing;
    for (long i = 1; i <= pair.code.count(); ++i)
        if (pair.code.row(i).text.starts_with("SKIP_FX_END")) closing.push_back(pair.code.row(i).text);
    ASSERT_EQ(closing.size(), 2u);
    EXPECT_NE(closing[0], closing[1]);
}

TEST_F(MarkersOnPair, ARefusedWindsockChangesNothingAndQueuesNothing) {
    pair.asm_lines = source(kVertices, {"0,1,2", "0,2,0"});
    const wb::LineArray before = pair.asm_lines;
    auto r = cg::process_material(pair, 1, "Windsock", cg::ObjectParameters{});
    EXPECT_EQ(r.status, cg::ProcessStatus::Rejected);
    EXPECT_EQ(pair.asm_lines.lines(), before.lines());
    EXPECT_EQ(pair.insertions.count(), 0);
    EXPECT_EQ(pair.code.count(), 0);
}

TEST_F(MarkersOnPair, AMaterialWithoutTrianglesIsProcessedAndThePairStillSaves) {
    cg::ObjectParameters p;
    pair.asm_lines = source(kVertices, {});
    ASSERT_EQ(cg::process_material(pair, 1, "Library New", p).status, cg::ProcessStatus::Done);
    EXPECT_EQ(pair.code.count(), 0);
    wb::save_regenerated_pair(pair, folder.path("out"));
    EXPECT_NE(folder.read("out_0.asm").find("        MATERIAL 0,0\r\n;         DRAW_TRI_BEGIN 0,3\r\n"
                                            ";         DRAW_TRI_END\r\n        BGL_END\r\n"),
              std::string::npos);
}

TEST_F(MarkersOnPair, SkipLabelsLeftByAnEarlierSessionAreNotDefinedAgain) {
    // Saved earlier with an effects block whose label took the number of this triangle's line.
    std::vector<std::string> saved = source(kVertices, {"0,1,2"}).lines();
    saved.push_back("SKIP_FX10  label BGLCODE");
    pair.asm_lines = lines(saved);
    cg::process_material(pair, 1, "Effects", cg::ObjectParameters{});
    ASSERT_GE(pair.code.count(), 3);
    EXPECT_EQ(pair.code.row(3).text, "SKIP_FX20  label BGLCODE");
}

}  // namespace
