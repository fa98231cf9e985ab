// Ground types and landing areas: the rectangle and its lines, the platform polygon and its
// code, the work file "tmpMisc.asm", and the inputs that must leave everything as it was.
#include <algorithm>
#include <filesystem>

#include "codegen/ground_type.h"
#include "codegen/landing_area.h"
#include "support.h"
#include "workbench/asm_line.h"
#include "workbench/form1.h"
#include "workbench/placement.h"

namespace {

using cg_test::lines;

using cg_test::material_line;
// Triangle lines written whole: some are no triangle lines.
wb::LineArray source(const std::vector<std::string>& vertices, const std::vector<std::string>& triangles) {
    return cg_test::block_source(vertices, triangles, "");
}
std::vector<std::string> split(const std::string& bytes) { return wb::split_lines(bytes); }

const std::vector<std::string> kHeader = {
    "header  label   word",
    "        dw      0001                                    ; world set",
    "        dd      0507AA4h                              ; north bound",
    "        dd      05071F6h",
    "        dd      0A9082ED3h",
    "        dd      0A9048AC2h",
    "        dd      (offset OBJECT_DATA) - (offset header)",
    "        dw      33 dup(0)",
    "OBJECT_DATA     label   word",
    "        db      21",
    "        dd      050764Dh, 0A9065CC9h",
    "        db      100",
    "        SCALE_AGL       OBJECT_RET, 0, 0, 10000h, 050764Dh, 096F4h, 0A9065CC9h, 0BDDCh, 0, 0",
    "        INSTANCE_CALL   visual_model, 0, 0, 2000h",
};

TEST(GroundType, TheFirstFourVerticesGiveTheRectangleItsSizeAndCentre) {
    // A 40.7 x 60 rectangle; the block's further vertices do not count.
    wb::LineArray src = source({"0.0, 0.0, 0.0", "40.7, 0.0, 0.0", "40.7, 0.0, 60.0", "0.0, 0.0, 60.0",
                                "100.0, 0.0, 100.0", "-100.0, 0.0, -100.0"},
                               {"DRAW_TRI 0,1,2", "draw_tri 0,2,3"});
    const long m = material_line(src);
    cg::GroundBlock b;
    ASSERT_TRUE(cg::read_ground_block(src, m, 3, b));
    EXPECT_EQ(b.end_line, m + 4);
    EXPECT_EQ(cg::ground_subroutine_lines("SKIP_GROUND_4", "GRASS_SHORT", b.rectangle),
              (std::vector<std::string>{"SKIP_GROUND_4_CODE label BGLCODE",
                                        "    SET_SURFACE_TYPE GRASS_SHORT, 40,60, 0", "    BGL_RETURN"}));
    // 1 unit = 1 m at latitude 1000 m. A quarter turn of heading puts the centre (20.35, 30)
    // 20.35 m south (latitude 979.65 = 03D3h + 0A666h / 65536)
    const auto op = wb::read_placement_operands("SCALE_AGL OBJECT_RET, 0, 0, 10000h, 03E8h, 0, 0A9065CC9h, 0, 0, 0");
    const auto l = cg::ground_placement_lines("SKIP_GROUND_4", op, b.rectangle, 16384);
    ASSERT_EQ(l.size(), 3u);
    // and 30 m east: 3220.66 longitude units.
    EXPECT_EQ(l[0], "    SCALE_AGL   SKIP_GROUND_4, 0, 0, 65536, 03D3h, 0A666h, 0A906695Dh, 0A9ADh, 0,0");
    EXPECT_EQ(l[1], "    INSTANCE_CALL SKIP_GROUND_4_CODE,0,0,16384");
    EXPECT_EQ(l[2], "SKIP_GROUND_4  label BGLCODE");
}

TEST(GroundType, OnlyABlockOfTwoTrianglesIsARectangle) {
    const std::vector<std::string> v = {"0.0, 0.0, 0.0", "1.0, 0.0, 0.0", "1.0, 0.0, 1.0", "0.0, 0.0, 1.0"};
    cg::GroundBlock b;
    wb::LineArray three = source(v, {"DRAW_TRI 0,1,2", "DRAW_TRI 0,2,3", "DRAW_TRI 1,2,3"});
    EXPECT_FALSE(cg::read_ground_block(three, material_line(three), 3, b));
    wb::LineArray not_first = source(v, {"; a note", "DRAW_TRI 0,1,2", "DRAW_TRI 0,2,3"});
    EXPECT_FALSE(cg::read_ground_block(not_first, material_line(not_first), 3, b));
    // Three vertices only: the fourth line is no vertex line.
    wb::LineArray short_list = source({v[0], v[1], v[2]}, {"DRAW_TRI 0,1,2", "DRAW_TRI 0,2,1"});
    EXPECT_THROW(cg::read_ground_block(short_list, material_line(short_list), 3, b), cg::UnusableInput);
}

TEST(LandingArea, ByteLinesHoldTheTopThreeBytesLeastSignificantFirst) {
    EXPECT_EQ(cg::platform_byte_line("0507AA4h", true), "    db  052h,  03Dh,  028h");
    EXPECT_EQ(cg::platform_byte_line("0A9082ED3h", false), "    db  02Eh,  008h,  0A9h");
    EXPECT_EQ(cg::platform_byte_line("0FF6914C5H", true), "    db  062h,  08Ah,  0B4h");  // south: negative
    EXPECT_EQ(cg::platform_byte_line("5h", true), "    db  002h,  000h,  000h");           // 2.5 to even
}

class LandingFile : public cg_test::PlatformFixture {
protected:
    // A quad over vertices 2, 3, 5 and 7 of a block of eight.
    wb::LineArray src = source({"9.0, 0.0, 9.0", "9.0, 0.0, 9.0", "-25.5, 1.5, -5.0", "-25.0, 0.0, -3.0",
                                "9.0, 0.0, 9.0", "-23.0, 0.0, -3.0", "9.0, 0.0, 9.0", "-23.0, 0.0, -5.0"},
                               {"DRAW_TRI 2,3,5", "DRAW_TRI 2,5,7"});
    wb::LineArray azm = lines(kHeader);
    long m = material_line(src);
    cg::PlatformParameters p;
    wb::GeneratedSources sources;
    std::vector<long> consumed;

    long write(const wb::LineArray& s) { return cg::write_landing_area({s, azm, m, 3, 2.0, 8192}, p, sources, consumed); }
    std::vector<std::string> file() { return split(folder.read("tmpMisc.asm")); }
};

TEST_F(LandingFile, ThePointsTheTrianglesUseGoRoundTheirCentre) {
    cg::LandingPolygon poly;
    ASSERT_TRUE(cg::read_landing_polygon(src, m, 3, poly));
    EXPECT_EQ(poly.first_y, 1.5);  // vertex 2, the lowest number used
    EXPECT_EQ(poly.end_line, m + 4);
    EXPECT_EQ(cg::platform_code_lines(3, poly.points, 11),
              (std::vector<std::string>{"PLATFORM_3_CODE label BGLCODE",
                                        "    AREA_SENSE4 PLATFORM_3_CODE_END, -23, -3, -23, -5, -26, -5, -25, -3",
                                        "    ALTITUDE_SET 11", "PLATFORM_3_CODE_END label BGLCODE"}));
}

TEST_F(LandingFile, TwoLandingAreasShareOnePlatformRecordAndTheSecondCodeRunsBeforeItsReturn) {
    p.ground_elevation = "32.8084";
    ASSERT_EQ(write(src), 0);
    EXPECT_EQ(sources.count("tmpMisc.asm"), 1);
    EXPECT_EQ(consumed, (std::vector<long>{m + 1, m + 2, m + 3, m + 4}));
    auto f = file();
    ASSERT_GE(f.size(), 22u);
    EXPECT_EQ(f[0], kHeader[0]);
    EXPECT_EQ(f[6], "    dw   42 dup(0)");
    EXPECT_EQ(f[9], "MISC_DATA label word");
    EXPECT_EQ(f[10], "        db      21");
    EXPECT_EQ(f[19], "    db  052h,  03Dh,  028h");
    EXPECT_EQ(f[23], "    SCALE   PLATFORM_END, 0, 0, 10000h, 050764Dh, 096F4h, 0A9065CC9h, 0BDDCh, 10, 0");
    EXPECT_EQ(f[24], "    INSTANCE_CALL  PLATFORM_0_CODE, 0,0,8192");
    EXPECT_EQ(f[27], "PLATFORM_0_CODE label BGLCODE");
    EXPECT_EQ(f[29], "    ALTITUDE_SET 13");  // Int(1.5 x 2) + Int(10)
    EXPECT_EQ(f.back(), "    dd 0    ;The end");

    p.keep_polygons = true;
    ASSERT_EQ(write(src), 0);
    EXPECT_TRUE(consumed.empty());
    f = file();
    auto count = [&](const std::string& text) { return std::count(f.begin(), f.end(), text); };
    auto at = [&](const std::string& text) { return std::find(f.begin(), f.end(), text) - f.begin(); };
    EXPECT_EQ(count("    dd  (offset PLATFORM_0) - (offset MISC_DATA)"), 1);
    EXPECT_EQ(count("    JUMP PLATFORM_END"), 1);
    EXPECT_EQ(count("    BGL_RETURN"), 1);
    EXPECT_LT(at("PLATFORM_0_CODE_END label BGLCODE"), at("PLATFORM_1_CODE label BGLCODE"));
    EXPECT_EQ(at("PLATFORM_1_CODE_END label BGLCODE") + 1, at("    BGL_RETURN"));

    // A seven-point polygon is refused with the box, and the file and the count stay.
    const std::string before = folder.read("tmpMisc.asm");
    wb::LineArray seven = source({"0.0, 0.0, 0.0", "1.0, 0.0, 0.0", "2.0, 0.0, 1.0", "2.0, 0.0, 2.0",
                                  "1.0, 0.0, 3.0", "0.0, 0.0, 3.0", "-1.0, 0.0, 1.0"},
                                 {"DRAW_TRI 0,1,2", "DRAW_TRI 0,2,3", "DRAW_TRI 0,3,4", "DRAW_TRI 0,4,5",
                                  "DRAW_TRI 0,5,6"});
    m = material_line(seven);
    EXPECT_EQ(write(seven), -1);
    EXPECT_TRUE(last_box().starts_with("The selected polygon has less than 4 or more than 6 points and cannot be used.\r\nAlso make sure"));
    EXPECT_EQ(folder.read("tmpMisc.asm"), before);
    EXPECT_EQ(sources.count("tmpMisc.asm"), 2);
}

TEST_F(LandingFile, ScaleAglPutsTheAltitudeAtZeroAndANegativeElevationRoundsDown) {
    const std::vector<std::string> code = {"CODE"};
    auto place = [&](double elevation) { return cg::new_misc_file(azm, p, elevation, 0, code)[23]; };
    EXPECT_EQ(place(cg::ground_elevation_metres("-12.5")),
              "    SCALE   PLATFORM_END, 0, 0, 10000h, 050764Dh, 096F4h, 0A9065CC9h, 0BDDCh, -4, 12451");
    p.use_agl = true;
    EXPECT_EQ(place(10), "    SCALE_AGL   PLATFORM_END, 0, 0, 10000h, 050764Dh, 096F4h, 0A9065CC9h, 0BDDCh, 0, 0");
}

TEST_F(LandingFile, BadInputWritesNothing) {
    auto refused = [&](const std::string& missing) {
        try {
            write(src);
        } catch (const cg::UnusableInput& e) {
            EXPECT_NE(e.description.find(missing), std::string::npos) << e.description;
            EXPECT_FALSE(folder.exists("tmpMisc.asm"));
            EXPECT_EQ(sources.count("tmpMisc.asm"), 0);
            return;
        }
        ADD_FAILURE() << "not refused: " << missing;
    };
    for (const std::string missing :
         {"dw 0001", "OBJECT_DATA label", "dd (offset OBJECT_DATA) - (offset header)", "SCALE_AGL"}) {
        std::vector<std::string> h;
        for (const auto& l : kHeader)
            if (wb::squeeze_blanks(l).find(missing) == std::string::npos) h.push_back(l);
        azm = lines(h);
        refused(missing);
    }
    azm = lines(kHeader);
    p.ground_elevation = "abc";
    refused("\"abc\" is not a number");
    // An elevation no altitude field holds: refused with the value and the range.
    p.ground_elevation = "1e300";
    EXPECT_EQ(write(src), -1);
    EXPECT_EQ(last_box(), "The value 3.04800000001219E+299 cannot be written: the field alt of SCALE holds whole numbers from "
                          "-2147483648 to 4294967295.\r\nNothing was written; the material stays unprocessed.");
    EXPECT_FALSE(folder.exists("tmpMisc.asm"));
    p.ground_elevation = "0";
    src = source({"0.0, 0.0, 0.0", "1.0, 0.0, 0.0", "1.0, 0.0, 1.0"}, {"DRAW_TRI 0,1,2", "DRAW_TRI 0,2,3"});
    m = material_line(src);
    refused("vertex 3, which is not in the vertex list");
}

}  // namespace

namespace {

// The main window on the sample: Process and Save of both kinds.
class AreasOnTheSample : public cg_test::PlatformFixture {
protected:
    AreasOnTheSample() {
        for (const char* f : {"hangar.asm", "hangar_0.asm"})
            std::filesystem::copy_file(std::string(GORVANE_SOURCE_DIR) + "/samples/" + f, folder.path(f));
        form = std::make_unique<wb::Form1>();
        ui::desktop().show(*form);
        form->InputFile.set_text(folder.path("hangar"));
        form->Open_Click();
        platform.forget();
    }
    ~AreasOnTheSample() override { ui::desktop().close(*form); }
    void process(const std::string& colour, const std::string& kind) {
        for (int i = 0; i < form->lstMat2proc.list_count(); ++i)
            if (form->lstMat2proc.item(i) == colour) form->lstMat2proc.set_list_index(i);
        for (int i = 0; i < form->typeOfObj.list_count(); ++i)
            if (form->typeOfObj.item(i) == kind) form->typeOfObj.set_list_index(i);
        form->Process_Click();
    }
    std::unique_ptr<wb::Form1> form;
};

TEST_F(AreasOnTheSample, GroundTypesKeepOrConsumeTheirBlockAndARejectedOneChangesNothing) {
    const std::vector<std::string> untouched = form->pair.asm_lines.lines();
    form->srfKeepPolys.set_value(1);
    process("336699", "Ground Type");
    EXPECT_EQ(form->pair.asm_lines.lines(), untouched);
    EXPECT_EQ(form->pair.code.count(), 4);  // the placement block and the mark of the kept polygons
    EXPECT_TRUE(form->MsgText.text().starts_with("Lines of new code : 3"));

    form->srfKeepPolys.set_value(0);
    form->srfSurfType.set_list_index(5);
    process("669933", "Ground Type");
    const long m = wb::find_line("MATERIAL 11,0", form->pair.asm_lines, 1, false);
    EXPECT_EQ(form->pair.asm_lines[m + 1], "; " + untouched[static_cast<size_t>(m)]);
    EXPECT_EQ(form->pair.asm_lines[m + 4], "; " + untouched[static_cast<size_t>(m + 3)]);
    EXPECT_EQ(split(folder.read("tmpSurf.txt")),
              (std::vector<std::string>{"SKIP_GROUND_3_CODE label BGLCODE", "    SET_SURFACE_TYPE CONCRETE, 0,0, 0",
                                        "    BGL_RETURN", "SKIP_GROUND_9_CODE label BGLCODE",
                                        "    SET_SURFACE_TYPE GRASS_SHORT, 40,10, 0", "    BGL_RETURN"}));

    // Four triangles are no rectangle: nothing changes, and the material can be processed later.
    const std::vector<std::string> before = form->pair.asm_lines.lines();
    const std::string surf = folder.read("tmpSurf.txt");
    process("FFFFFF", "Ground Type");
    EXPECT_EQ(last_box(), cg::kNotARectangle);
    EXPECT_EQ(form->pair.asm_lines.lines(), before);
    EXPECT_EQ(folder.read("tmpSurf.txt"), surf);
    EXPECT_EQ(form->pair.insertions.count(), 3);
    EXPECT_EQ(form->Text2.text(), "8");
    process("FFFFFF", "Lights");
    EXPECT_EQ(form->Text2.text(), "7");
}

TEST_F(AreasOnTheSample, ALandingAreaAloneWritesTheObjectFileAsItIsAndMergesTheHeader) {
    process("B2B2B2", "Landing Area");
    EXPECT_TRUE(form->MsgText.text().starts_with("Lines of new code : \r\n"));
    form->Save_Click();
    EXPECT_FALSE(form->Command3.enabled());
    EXPECT_EQ(last_box(), "Finished. Use 'bglc /bgl hangar.asm' to compile.");
    EXPECT_TRUE(form->MsgText.text().starts_with("Done. "));
    EXPECT_EQ(form->step_digit(5).fore_colour(), ui::kGreen);
    // The object file: the lines in memory, the helipad's block commented out.
    auto object = split(folder.read("hangar_0.asm"));
    EXPECT_EQ(object.back(), "");
    object.pop_back();
    EXPECT_EQ(object, form->pair.asm_lines.lines());
    EXPECT_EQ(std::count_if(object.begin(), object.end(), [](const std::string& l) { return l.starts_with("; "); }),
              7);  // the model's title and the six lines of the block
    const auto saved = split(folder.read("hangar.asm"));
    EXPECT_EQ(std::count(saved.begin(), saved.end(), "    dd      (offset MISC_DATA) - (offset header)"), 1);
    EXPECT_EQ(std::count(saved.begin(), saved.end(), "MISC_DATA label word"), 1);
    EXPECT_EQ(saved.end()[-2], "    dd 0    ;The end");  // the work file, then the empty last line

    // Later work in the same session can be saved again.
    process("FFFFFF", "Lights");
    EXPECT_TRUE(form->Command3.enabled());
    EXPECT_EQ(form->step_digit(5).fore_colour(), ui::kRed);
    form->Save_Click();
    EXPECT_EQ(last_box(), "Finished. Use 'bglc /bgl hangar.asm' to compile.");
    const auto again = split(folder.read("hangar.asm"));
    EXPECT_EQ(std::count(again.begin(), again.end(), "MISC_DATA label word"), 1);
    EXPECT_NE(folder.read("hangar_0.asm").find("LBL1 label BGLCODE"), std::string::npos);
}

// Values taken from the model are checked at Process: a corner no field can hold refuses the
// material, and nothing changes.
TEST_F(AreasOnTheSample, AVertexNoMacroFieldHoldsRefusesTheMaterial) {
    wb::LineArray& l = form->pair.asm_lines;
    auto first_corner = [&](int row) -> std::string& {
        const long m = form->pair.materials.row(row).material_line;
        const long base = static_cast<long>(wb::operand_value(wb::asm_field(l[m + 1], 1)));
        return l[form->pair.vertex_list_start + base + static_cast<long>(wb::operand_value(wb::asm_field(l[m + 2], 1)))];
    };
    first_corner(1) = "        VERTEX_DEF 1.0e39, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0";
    first_corner(9) = "        VERTEX_DEF 0.0, 0.0, 1e30, 0.0, 1.0, 0.0, 0.0, 0.0";
    const std::vector<std::string> before = l.lines();
    process("FFFFFF", "Lights");
    EXPECT_EQ(last_box(), "The value 1.0e39 cannot be written: the field x of BGL_LIGHT holds numbers from "
                          "-3.40282346638529E+38 to 3.40282346638529E+38.\r\nNothing was written; the material "
                          "stays unprocessed.");
    process("669933", "Ground Type");
    EXPECT_NE(last_box().find("no placement line can hold its position"), std::string::npos) << last_box();
    EXPECT_EQ(l.lines(), before);
    EXPECT_EQ(form->pair.insertions.count(), 0);
    EXPECT_FALSE(folder.exists("tmpSurf.txt"));
    EXPECT_EQ(form->Text2.text(), "10");
}

TEST_F(AreasOnTheSample, KeptPolygonsAreKnownAsProcessedWhenThePairIsOpenedAgain) {
    form->srfKeepPolys.set_value(1);
    process("669933", "Ground Type");
    form->platKeepPolys.set_value(1);
    process("B2B2B2", "Landing Area");
    form->Save_Click();
    form->Open_Click();
    EXPECT_EQ(form->Text2.text(), "8");
    for (const char* kind : {"Ground Type", "Landing Area"}) {
        process(kind == std::string("Ground Type") ? "669933" : "B2B2B2", kind);
        EXPECT_EQ(last_box(), "This material is already processed. Please select another.");
    }
    EXPECT_TRUE(form->Label16.visible());
    EXPECT_EQ(form->pair.insertions.count(), 0);
}

}  // namespace
