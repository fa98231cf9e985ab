// Ground types and landing areas compiled: the landing-area work file as a BGL of its own, the
// sample worked by the run command's script, and a pair finished over two sessions; the header
// reader finds the MISC section where the header says.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "codegen/landing_area.h"
#include "libtool/bgl_header.h"
#include "memory_files.h"
#include "sources.h"
#include "tests/support/bglc.h"
#include "tests/support/scratch.h"
#include "ui/script/script_runner.h"
#include "workbench/asm_line.h"
#include "workbench/form1.h"

using namespace bglc_test;

namespace {

class AreaSources : public testsupport::PlatformFixture {
protected:
    AreaSources() {
        folder.write("hangar.asm", sample_header());
        folder.write("hangar_0.asm", sample_object());
        std::filesystem::copy_file(std::string(GORVANE_SOURCE_DIR) + "/workbench/fx_list.txt", folder.path("fx_list.txt"));
        form = std::make_unique<wb::Form1>();
        ui::desktop().show(*form);
    }
    ~AreaSources() override { ui::desktop().close(*form); }

    // Runs script lines against the main window, ${GORVANE_SAMPLES} standing for the scratch folder.
    void run(std::string script) {
        for (size_t at; (at = script.find("${GORVANE_SAMPLES}")) != std::string::npos;)
            script.replace(at, 18, folder.path());
        std::istringstream in(script);
        std::ostringstream out;
        ui::ScriptDriver driver;
        ASSERT_EQ(ui::ScriptRunner(platform, out, driver).run(in), 0) << out.str();
    }
    bglc::Result compile() {
        auto r = bglc::assemble(folder.path("hangar.asm"), real_macros());
        EXPECT_TRUE(r.ok()) << all_errors(r);
        return r;
    }
    std::unique_ptr<wb::Form1> form;
};

std::int64_t at(const bglc::Result& r, const std::string& label) {
    auto v = r.symbol(label);
    EXPECT_TRUE(v) << label;
    return v.value_or(0);
}

TEST_F(AreaSources, TwoLandingAreasCompileAsOneMiscSection) {
    wb::LineArray azm = testsupport::lines({
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
    });
    // A quad and a hexagon.
    wb::LineArray asm_lines = testsupport::lines({
        "VERTEX_LIST_BEGIN",
        "VERTEX_DEF -25.0, 0.0, -5.0, 0,1,0, 0,0", "VERTEX_DEF -25.0, 0.0, -3.0, 0,1,0, 0,0",
        "VERTEX_DEF -23.0, 0.0, -3.0, 0,1,0, 0,0", "VERTEX_DEF -23.0, 0.0, -5.0, 0,1,0, 0,0",
        "VERTEX_DEF 0.0, 8.0, 2.0, 0,1,0, 0,0", "VERTEX_DEF 2.0, 8.0, 1.0, 0,1,0, 0,0",
        "VERTEX_DEF 2.0, 8.0, -1.0, 0,1,0, 0,0", "VERTEX_DEF 0.0, 8.0, -2.0, 0,1,0, 0,0",
        "VERTEX_DEF -2.0, 8.0, -1.0, 0,1,0, 0,0", "VERTEX_DEF -2.0, 8.0, 1.0, 0,1,0, 0,0",
        "VERTEX_LIST_END",
        "MATERIAL 0,0", "DRAW_TRI_BEGIN 0,4", "DRAW_TRI 0,1,2", "DRAW_TRI 0,2,3", "DRAW_TRI_END",
        "MATERIAL 1,0", "DRAW_TRI_BEGIN 4,6", "DRAW_TRI 0,1,2", "DRAW_TRI 0,2,3", "DRAW_TRI 0,3,4",
        "DRAW_TRI 0,4,5", "DRAW_TRI_END",
    });
    cg::PlatformParameters p;
    p.ground_elevation = "32.8084";
    wb::GeneratedSources sources;
    std::vector<long> consumed;
    for (const char* material : {"MATERIAL 0", "MATERIAL 1"}) {
        const long m = wb::find_line(material, asm_lines, 1, false);
        ASSERT_EQ(cg::write_landing_area({asm_lines, azm, m, 2, 1.0, 8192}, p, sources, consumed), 0);
    }

    auto r = bglc::assemble(folder.path("tmpMisc.asm"), real_macros());
    ASSERT_TRUE(r.ok()) << all_errors(r);
    const libtool::BglHeader h = libtool::parse_bgl_header(r.bytes);
    EXPECT_EQ(h.FL_world_set, 1);
    EXPECT_EQ(h.FL_north_bounds, 0x507AA4);
    EXPECT_EQ(h.FL_misc_data, *r.symbol("MISC_DATA"));
    EXPECT_EQ(h.FL_object_ptr, 0);

    // The section points at the platform record; its length byte spans both platforms' code.
    const auto misc = static_cast<std::size_t>(h.FL_misc_data);
    EXPECT_EQ(r.bytes[misc], 21);
    const std::size_t record = misc + u32(r.bytes, misc + 10);  // after type, position and image power
    EXPECT_EQ(static_cast<std::int64_t>(record), *r.symbol("PLATFORM_0"));
    EXPECT_EQ(r.bytes[record], 0x65);
    EXPECT_EQ(r.bytes[record + 1], *r.symbol("PLATFORM_END") - *r.symbol("PLATFORM_0"));
    EXPECT_EQ(r.bytes[record + 2], 0x52);   // half the north bound, least significant byte first
    EXPECT_EQ(r.bytes[record + 13], 0xA9);  // the top byte of the west bound
    const auto second = static_cast<std::size_t>(*r.symbol("PLATFORM_1_CODE"));
    EXPECT_EQ(static_cast<std::int64_t>(second), *r.symbol("PLATFORM_0_CODE_END"));
    EXPECT_EQ(u16(r.bytes, second), 0x2C);  // area sense
    EXPECT_EQ(u16(r.bytes, second + 6), 6);
    EXPECT_EQ(u16(r.bytes, second + 8 + 24), 0x2D);  // altitude set after the six points
    EXPECT_EQ(u32(r.bytes, second + 8 + 26), 18u);    // 8 units of 1 m plus 10 m of ground
}

TEST_F(AreaSources, TheSampleScriptWorksEveryKindAndTheSavedPairCompiles) {
    testsupport::put_bglc(folder);  // the script ends with "Compile BGL"
    std::ifstream script(std::string(GORVANE_SOURCE_DIR) + "/samples/open-sample.gvs");
    run(std::string(std::istreambuf_iterator<char>(script), {}));
    EXPECT_EQ(form->Text2.text(), "0");
    const auto r = compile();
    const libtool::BglHeader h = libtool::parse_bgl_header(r.bytes);
    EXPECT_EQ(h.FL_object_ptr, at(r, "OBJECT_DATA"));
    EXPECT_EQ(h.FL_misc_data, at(r, "MISC_DATA"));
    // The apron's subroutine: short grass over 40 x 10 units, called from after the model's end.
    const auto surface = static_cast<std::size_t>(at(r, "SKIP_GROUND_9_CODE"));
    EXPECT_EQ(u16(r.bytes, surface), 0x2B);
    EXPECT_EQ(u16(r.bytes, surface + 2), 5);
    EXPECT_EQ(u32(r.bytes, surface + 4), 40u);
    EXPECT_EQ(u32(r.bytes, surface + 8), 10u);
    // The roof's helipad: six points at 8 m plus the 36 m of ground.
    const auto area = static_cast<std::size_t>(at(r, "PLATFORM_0_CODE"));
    EXPECT_EQ(u16(r.bytes, area + 6), 6);
    EXPECT_EQ(u32(r.bytes, area + 8 + 24 + 2), 44u);
    // The pond and the decal are real polygons that compile; no point lies outside the model's
    // LOD13 quad (the boxes: the two sources made, the pair saved).
    EXPECT_EQ(boxes().size(), 3u) << last_box();
    EXPECT_NE(folder.read("tmpLake.asm").find("    FLATTEN_POLYGON 6, 6, 0\r\n"), std::string::npos);
    EXPECT_NE(folder.read("tmpDecal.asm").find("    DECAL_POINTS 4\r\n"), std::string::npos);
    for (const char* source : {"tmpLake.asm", "tmpDecal.asm"}) {
        const auto t = bglc::assemble(folder.path(source), real_macros());
        EXPECT_TRUE(t.ok()) << source << all_errors(t);
    }
}

TEST_F(AreaSources, APairFinishedOverTwoSessionsKeepsOneMiscSectionAndEachGroundTypeOnce) {
    run("set InputFile ${GORVANE_SAMPLES}/hangar\nclick \"Open\"\n"
        "select lstMat2proc B2B2B2\nselect typeOfObj \"Landing Area\"\nclick \"Process\"\n"
        "select lstMat2proc 669933\nselect typeOfObj \"Ground Type\"\nclick \"Parameters\"\n"
        "window frmSurface\ncheck srfKeepPolys 1\nclick \"O.K.\"\nwindow Form1\nclick \"Process\"\n"
        "click \"Save\"\n"
        // Tomorrow: the kept rectangle is known as processed and not made twice; another
        // rectangle becomes a second landing area in the saved MISC section.
        "click \"Open\"\nselect lstMat2proc 669933\nexpect Label16.visible 1\nclick \"Process\"\n"
        "select lstMat2proc 336699\nselect typeOfObj \"Landing Area\"\nclick \"Process\"\nclick \"Save\"\n");
    EXPECT_EQ(boxes()[1], "This material is already processed. Please select another.");
    const auto r = compile();
    const libtool::BglHeader h = libtool::parse_bgl_header(r.bytes);
    EXPECT_EQ(h.FL_misc_data, at(r, "MISC_DATA"));
    const auto record = static_cast<std::size_t>(at(r, "PLATFORM_0"));
    EXPECT_EQ(r.bytes[record + 1], at(r, "PLATFORM_END") - at(r, "PLATFORM_0"));
    EXPECT_EQ(at(r, "PLATFORM_1_CODE"), at(r, "PLATFORM_0_CODE_END"));
}

}  // namespace
