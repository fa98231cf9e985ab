// Process Aircraft on copies of the sample glider exports: what it writes, what it refuses,
// and that the result compiles as an aircraft model.
#include <algorithm>

#include "aircraft/frm_model.h"
#include "memory_files.h"
#include "tests/support/bglc.h"
#include "workbench/text_file.h"

namespace {

const char* const kParts[5] = {"glider", "glider_fus", "glider_wh", "glider_wl", "glider_sh"};

class Aircraft : public testsupport::PlatformFixture {
protected:
    Aircraft() {
        for (const char* p : kParts)
            for (const std::string ext : {".asm", "_0.asm"})
                folder.write_bytes(p + ext, testsupport::TempFolder::read_bytes(std::string(GORVANE_SOURCE_DIR) +
                                                                                  "/samples/" + p + ext));
        for (int k = 0; k < 5; ++k) set.bases[k] = path(kParts[k]);
    }
    std::vector<std::string> lines_of(const std::string& name) const {
        return wb::split_lines(folder.read(name));
    }
    bool has(const std::string& name, const std::string& line) const {
        auto l = lines_of(name);
        return std::find(l.begin(), l.end(), line) != l.end();
    }
    std::string snapshot() const {
        std::string all;
        for (const char* p : kParts) all += folder.read(std::string(p) + ".asm") + folder.read(std::string(p) + "_0.asm");
        return all;
    }
    void compiles() const {
        auto r = bglc::assemble(path("glider.asm"), bglc_test::real_macros("mdl"));
        ASSERT_TRUE(r.ok()) << r.errors.front().text();
    }
    aircraft::AircraftSet set;
};

TEST_F(Aircraft, WingsAndShadowMakeOneSourceThatCompilesAndASecondRunIsRefused) {
    set.flexing_wings = set.shadow_optimization = true;
    ASSERT_TRUE(aircraft::process_aircraft(set, "v0.31b"));
    EXPECT_EQ(last_box(), "The modification seems to be successful. Output file is glider.asm\r\n\r\n"
                          "Complile with 'bglc /mdl glider.asm'");
    auto h = lines_of("glider.asm");
    EXPECT_EQ(h[0], ";gorvane - ");
    EXPECT_EQ(h[1], "include model.inc");
    EXPECT_TRUE(has("glider.asm", "    db  \"MakeBGL - gorvane v0.31b\",0"));
    EXPECT_TRUE(has("glider.asm", "    VINSTANCE_CALL32  model_outside,AIRCRAFT_PARAMS.llapbh.pbh"));
    EXPECT_TRUE(has("glider.asm", "; model_shadow    label   BGLCODE"));  // the export's own shadow
    auto shadow = std::find(h.begin(), h.end(), "model_shadow label BGLCODE");
    ASSERT_NE(shadow, h.end());
    EXPECT_EQ(*(shadow + 1), "    include  " + path("glider_sh") + "_0.asm");
    EXPECT_TRUE(has("glider.asm", "        include glider_fus_0.asm"));  // the fuselage is the main model
    EXPECT_TRUE(has("glider_wh_0.asm", "glider_topG2      label   BGLCODE"));
    EXPECT_TRUE(has("glider_wl_0.asm", "glider_topG3      label   BGLCODE"));
    EXPECT_TRUE(has("glider_sh_0.asm", "glider_topG4      label   BGLCODE"));
    compiles();

    const std::string before = snapshot();
    EXPECT_FALSE(aircraft::process_aircraft(set, "v0.31b"));
    EXPECT_EQ(last_box(), "This appears to be an already processed set.\r\n"
                          "Please use restore, or recreate the set from gmax.");
    EXPECT_EQ(snapshot(), before);
}

TEST_F(Aircraft, WingsAloneCastTheModelsShadowAndTheLowWingsShadow) {
    set.flexing_wings = true;
    ASSERT_TRUE(aircraft::process_aircraft(set, "v0.31b"));
    EXPECT_TRUE(has("glider.asm", "    SHADOW_VICALL32 model_wingsl,AIRCRAFT_PARAMS.llapbh.pbh"));
    EXPECT_TRUE(has("glider.asm", "model_shadow    label   BGLCODE"));
    EXPECT_TRUE(has("glider.asm", "; model_shadow label BGLCODE"));
    EXPECT_TRUE(has("glider.asm", ";     include  " + path("glider_sh") + "_0.asm"));
    EXPECT_TRUE(has("glider_sh_0.asm", "glider_top      label   BGLCODE"));  // untouched
    compiles();
}

TEST_F(Aircraft, ShadowAloneIncludesTheShadowModelUnderTheShadowLabel) {
    set.shadow_optimization = true;
    ASSERT_TRUE(aircraft::process_aircraft(set, "v0.31b"));
    EXPECT_TRUE(has("glider.asm", "; model_shadow    label   BGLCODE"));
    EXPECT_TRUE(has("glider.asm", "    include  " + path("glider_sh") + "_0.asm"));
    compiles();
}

TEST_F(Aircraft, AFailureLeavesAllFiveExportsAsTheyWere) {
    set.flexing_wings = set.shadow_optimization = true;
    std::filesystem::remove(path("glider_sh_0.asm"));
    const std::string before = snapshot();
    EXPECT_FALSE(aircraft::process_aircraft(set, "v0.31b"));
    EXPECT_EQ(last_box(), "Error ! File " + path("glider_sh") + "_0.asm could not be opened.");
    EXPECT_EQ(snapshot(), before);  // the wings were relabelled in memory only

    folder.write("glider_fus.asm", {"visual_model label BGLCODE", "    BGL_RETURN"});
    EXPECT_FALSE(aircraft::process_aircraft(set, "v0.31b"));
    EXPECT_EQ(last_box(), "Error ! Code appears not usable; trying to include files.");

    set.flexing_wings = set.shadow_optimization = false;
    EXPECT_FALSE(aircraft::process_aircraft(set, "v0.31b"));
    EXPECT_EQ(last_box(), "Nothing to do !");
}

TEST_F(Aircraft, WindowRemembersItsBoxesAndEnablesThemByTheirOption) {
    folder.write("model.ini", {"md001", "C:\\planes\\cub"});  // shorter than six lines
    aircraft::FrmModel w("v0.31b");
    ui::desktop().show(w);
    EXPECT_EQ(w.fnModel[0]->text(), "C:\\planes\\cub");
    EXPECT_EQ(w.fnModel[4]->text(), "");
    EXPECT_FALSE(w.fnModel[2]->enabled());
    w.chkWings.set_value(1);
    EXPECT_TRUE(w.fnModel[2]->enabled() && w.Command8[3]->enabled());
    EXPECT_FALSE(w.fnModel[4]->enabled());

    testsupport::put_bglc(folder);
    w.Command5.click();
    EXPECT_EQ(folder.read("comp.bat"), "@echo off\r\n\"" + folder.path() + "\\bglc\" /mdl \"C:\\planes\\cub.asm\"  "
                                       "\"C:\\planes\\cub.mdl\"\r\nPause\r\n");
    w.fnModel[3]->set_text("C:\\planes\\cub_wl");
    w.Command1.click();
    EXPECT_EQ(folder.read("model.ini"), "md001\r\nC:\\planes\\cub\r\n\r\n\r\nC:\\planes\\cub_wl\r\n\r\n");
}

}  // namespace
