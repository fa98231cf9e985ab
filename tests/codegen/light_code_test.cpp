// The light block, and Process on a small pair: what it changes and what it leaves alone.
#include "codegen/light_code.h"
#include "codegen/process.h"
#include "support.h"

namespace {

using cg_test::lines;

// A drawing block for material 0 after three vertices; the block starts at line 7.
wb::LineArray small_source(const std::vector<std::string>& triangles) {
    std::vector<std::string> l = {"; model",
                                  "        VERTEX_LIST_BEGIN",
                                  "        VERTEX_DEF 1.0, 2.0, 3.0, 0.0, 1.0, 0.0, 0.0, 0.0",
                                  "        VERTEX_DEF 4.0, 5.0, 6.0, 0.0, 1.0, 0.0, 0.0, 0.0",
                                  "        VERTEX_DEF 7.0, 8.0, 9.0, 0.0, 1.0, 0.0, 0.0, 0.0",
                                  "        VERTEX_LIST_END",
                                  "        MATERIAL 0,0",
                                  "        DRAW_TRI_BEGIN 0,3"};
    for (const auto& t : triangles) l.push_back(t);
    l.push_back("        DRAW_TRI_END");
    l.push_back("        BGL_END");
    return lines(l);
}

wb::MaterialTable table_with_row(long row, const std::string& colour) {
    wb::MaterialTable t;
    t.set_count(static_cast<int>(row));
    t.row(row).material_line = 7;
    t.row(row).colour = colour;
    return t;
}

std::vector<std::string> buffer_lines(const wb::LineArray& b) {
    std::vector<std::string> r;
    for (long i = 1; i <= b.top(); ++i) r.push_back(b[i]);
    return r;
}

wb::LineArray empty_buffer() {
    wb::LineArray b;
    b.set_top(0);
    return b;
}

TEST(LightBlock, TheWorkedExampleByteForByte) {
    wb::LineArray src = small_source({"        DRAW_TRI 0,1,2"});
    wb::MaterialTable t = table_with_row(3, "FFFFFF");
    cg::LightParameters p;
    p.type = "LIGHT_STROBE";
    p.day_off = true;
    wb::LineArray out = empty_buffer();
    cg::SourceEdits edits(src);
    EXPECT_EQ(cg::generate_lights(edits, t, 3, 3, p, out), 2);
    const std::vector<std::string> expected = {
        "    VAR_BASE_OVERRIDE VAR_BASE_GLOBAL",
        "    IFIN1 LBL3b, tod, 1,1",
        "    BGL_JUMP_32 LBL3a",
        "LBL3b label BGLCODE",
        "    VAR_BASE_OVERRIDE VAR_BASE_GLOBAL",
        "    IFMSK LBL3,six_second_beacon, 0CCCCh",
        "    BGL_JUMP_32 LBL3a",
        "LBL3 label BGLCODE",
        "    BGL_LIGHT LIGHT_STROBE, 1.0, 2.0, 3.0, 100 ,0.4, 0.04, 0FFFFFFFFh, 0.0, 1.0, 0.0",
        "LBL3a label BGLCODE"};
    EXPECT_EQ(buffer_lines(out), expected);

    // The block's lines are commented out, the MATERIAL line and the rest stay.
    EXPECT_EQ(src[7], "        MATERIAL 0,0");
    EXPECT_EQ(src[8], "; " + std::string("        DRAW_TRI_BEGIN 0,3"));
    EXPECT_EQ(src[9], "; " + std::string("        DRAW_TRI 0,1,2"));
    EXPECT_EQ(src[10], "; " + std::string("        DRAW_TRI_END"));
    EXPECT_EQ(src[11], "        BGL_END");
}

TEST(LightBlock, AircraftLightsAreSwitchedByTheLightStatesAndTheFlashVariable) {
    wb::LineArray src = small_source({"        DRAW_TRI 2,1,0", "        DRAW_TRI 1,2,0"});
    wb::MaterialTable t = table_with_row(2, "FF7F00");
    cg::LightParameters p;
    p.type = "LIGHT_LANDING";
    p.state_bit = 4;
    p.aircraft = true;
    p.variable = "beacnt";
    p.flash_mask = "2";
    wb::LineArray out = empty_buffer();
    cg::SourceEdits edits(src);
    EXPECT_EQ(cg::generate_lights(edits, t, 2, 3, p, out), 3);
    auto l = buffer_lines(out);
    ASSERT_EQ(l.size(), 11u);
    EXPECT_EQ(l[0], ";   No globals needed !!!! ");
    EXPECT_EQ(l[1], "    IFMSK LBL2a, dict_g_lightStates ,4");
    EXPECT_EQ(l[2], ";");
    EXPECT_EQ(l[5], "    IFMSK LBL2a,beacnt, 02h");
    EXPECT_EQ(l[6], ";");
    // One light per triangle, at its first corner, in the material's colour with full alpha.
    EXPECT_EQ(l[8], "    BGL_LIGHT LIGHT_LANDING, 7.0, 8.0, 9.0, 100 ,0.4, 0.04, 0FFFF7F00h, 0.0, 1.0, 0.0");
    EXPECT_EQ(l[9], "    BGL_LIGHT LIGHT_LANDING, 4.0, 5.0, 6.0, 100 ,0.4, 0.04, 0FFFF7F00h, 0.0, 1.0, 0.0");
    EXPECT_EQ(l[10], "LBL2a label BGLCODE");
}

TEST(LightBlock, DayOffWinsTheOpeningAndAircraftKeepsItsFlashForm) {
    wb::LineArray src = small_source({});
    wb::MaterialTable t = table_with_row(1, "000000");
    cg::LightParameters p;
    p.day_off = true;
    p.aircraft = true;
    wb::LineArray out = empty_buffer();
    // A block without triangles: only its first and last lines are consumed.
    cg::SourceEdits edits(src);
    EXPECT_EQ(cg::generate_lights(edits, t, 1, 3, p, out), 1);
    auto l = buffer_lines(out);
    ASSERT_EQ(l.size(), 9u);
    EXPECT_EQ(l[1], "    IFIN1 LBL1b, tod, 1,1");
    EXPECT_EQ(l[5], "    IFMSK LBL1a,six_second_beacon, 0CCCCh");
    EXPECT_EQ(l[6], ";");
    EXPECT_EQ(l[8], "LBL1a label BGLCODE");
    EXPECT_EQ(src[8], "; " + std::string("        DRAW_TRI_BEGIN 0,3"));
    EXPECT_EQ(src[9], "; " + std::string("        DRAW_TRI_END"));
}

TEST(LightBlock, WithoutConditionsTheOpeningIsThreeEmptyComments) {
    wb::LineArray src = small_source({"        DRAW_TRI 0,1,2"});
    wb::MaterialTable t = table_with_row(12, "123456");
    wb::LineArray out = empty_buffer();
    cg::SourceEdits edits(src);
    cg::generate_lights(edits, t, 12, 3, cg::LightParameters{}, out);
    auto l = buffer_lines(out);
    EXPECT_EQ(l[0], ";");
    EXPECT_EQ(l[1], ";");
    EXPECT_EQ(l[2], ";");
    EXPECT_EQ(l[3], "LBL12b label BGLCODE");
    EXPECT_EQ(l[5], "    IFMSK LBL12,six_second_beacon, 0CCCCh");
    EXPECT_EQ(l[6], "    BGL_JUMP_32 LBL12a");
    EXPECT_EQ(l[8], "    BGL_LIGHT LIGHT_NAV, 1.0, 2.0, 3.0, 100 ,0.4, 0.04, 0FF123456h, 0.0, 1.0, 0.0");
}

class ProcessOnPair : public cg_test::PlatformFixture {
protected:
    ProcessOnPair() {
        pair.asm_lines = small_source({"        DRAW_TRI 0,1,2"});
        pair.azm_lines = lines({"header  label   word", "        dd  0", "        dd  0", "        dd  0",
                                "        db  'F','S','8','0'", "        dd  2048",
                                "visual_model_header_end  label dword", "        include x_0.asm"});
        pair.vertex_list_start = 3;
        pair.materials = table_with_row(1, "FFFFFF");
    }
    wb::SourcePair pair;
};

TEST_F(ProcessOnPair, QueuesTheBlockJustAfterTheMaterialLine) {
    cg::ProcessResult r = cg::process_material(pair, 1, "Lights", cg::LightParameters{});
    EXPECT_EQ(r.status, cg::ProcessStatus::Done);
    EXPECT_EQ(r.lines, 2);
    ASSERT_EQ(pair.insertions.count(), 1);
    EXPECT_EQ(pair.insertions.row(1).index, 8);
    EXPECT_EQ(pair.code.count(), 10);
    EXPECT_EQ(pair.asm_lines[9], "; " + std::string("        DRAW_TRI 0,1,2"));
    EXPECT_FALSE(pair.header_changed);
}

TEST_F(ProcessOnPair, AircraftLightsAddTheLightStateEntryToTheHeader) {
    cg::LightParameters p;
    p.aircraft = true;
    cg::process_material(pair, 1, "Lights", p);
    EXPECT_TRUE(pair.header_changed);
    ASSERT_EQ(pair.ext_parameters.count(), 1);
    EXPECT_EQ(pair.ext_parameters.entries[0].name_line, "    dict_g_lightStates equ 152");
}

TEST_F(ProcessOnPair, AnUnknownKindGeneratesAndQueuesNothing) {
    cg::ProcessResult r = cg::process_material(pair, 1, "Balloon", cg::LightParameters{});
    EXPECT_EQ(r.status, cg::ProcessStatus::Done);
    EXPECT_EQ(r.lines, 0);
    EXPECT_EQ(pair.insertions.count(), 0);
}

TEST_F(ProcessOnPair, AFailureHalfwayLeavesTheSourceAndTheQueueUntouched) {
    // The second triangle names a vertex beyond the source.
    pair.asm_lines = small_source({"        DRAW_TRI 0,1,2", "        DRAW_TRI 400,1,2"});
    const wb::LineArray before = pair.asm_lines;
    EXPECT_THROW(cg::process_material(pair, 1, "Lights", cg::LightParameters{}), ui::RuntimeError);
    EXPECT_EQ(pair.asm_lines.lines(), before.lines());
    EXPECT_EQ(pair.insertions.count(), 0);
    EXPECT_EQ(pair.code.count(), 0);
}

TEST_F(ProcessOnPair, NoBlockOrNoEndLineIsRefusedBeforeAnythingChanges) {
    pair.materials.row(1).material_line = 0;  // a material-list entry no MATERIAL line uses
    pair.asm_lines[11] = "        BGL_RETURN";  // and no BGL_END
    const wb::LineArray before = pair.asm_lines;
    EXPECT_EQ(cg::process_material(pair, 1, "Lights", cg::LightParameters{}).status, cg::ProcessStatus::Rejected);
    EXPECT_EQ(last_box(), cg::kNoDrawingBlock);

    pair.materials.row(1).material_line = 7;
    EXPECT_EQ(cg::process_material(pair, 1, "Effects", cg::LightParameters{}).status, cg::ProcessStatus::Rejected);
    EXPECT_EQ(last_box(), "Cannot find proper BGL END code. File cannot be processed.");
    EXPECT_EQ(pair.asm_lines.lines(), before.lines());
    EXPECT_EQ(pair.insertions.count(), 0);
    EXPECT_EQ(pair.code.count(), 0);
}

}  // namespace
