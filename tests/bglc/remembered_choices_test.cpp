// Remembered choices: a fresh export of the sample processed in one step from NAME.gvr gives,
// byte for byte, what the session by hand gave; lines that no longer fit are reported and skipped.
#include <filesystem>
#include <map>
#include <sstream>

#include "memory_files.h"
#include "sources.h"
#include "tests/support/bglc.h"
#include "tests/support/scratch.h"
#include "ui/script/script_runner.h"
#include "workbench/form1.h"

using namespace bglc_test;
namespace fs = std::filesystem;

namespace {

class RememberedChoices : public testsupport::PlatformFixture {
protected:
    RememberedChoices() {
        fs::copy_file(std::string(GORVANE_SOURCE_DIR) + "/workbench/fx_list.txt", folder.path("fx_list.txt"));
        fresh_export();
    }
    ~RememberedChoices() override { end_program(); }

    // The exporter writes the pair again, as gmax does after a change of the model.
    void fresh_export() {
        for (const char* f : {"hangar.asm", "hangar_0.asm"})
            fs::copy_file(std::string(GORVANE_SOURCE_DIR) + "/samples/" + f, folder.path(f),
                          fs::copy_options::overwrite_existing);
    }
    // A new run of the program, without the settings of the last one.
    void start_program() {
        end_program();
        for (const char* f : {"tmf.ini", "gorvane.ini"}) fs::remove(folder.path(f));
        form = std::make_unique<wb::Form1>();
        ui::desktop().show(*form);
    }
    void end_program() {
        if (form && form->is_open()) ui::desktop().close(*form);
        form.reset();
    }
    // Runs script lines against the open windows, ${DIR} standing for the scratch folder.
    void run(std::string script) {
        for (size_t at; (at = script.find("${DIR}")) != std::string::npos;) script.replace(at, 6, folder.path());
        std::istringstream in(script);
        std::ostringstream out;
        ui::ScriptDriver driver;
        ASSERT_EQ(ui::ScriptRunner(platform, out, driver).run(in), 0) << out.str();
    }
    std::unique_ptr<wb::Form1> form;
};

// Every kind, most with values other than the defaults, so that a choice not replayed shows: each
// material picked, its kind chosen ("": the kind stays), its parameters set in the dialog, processed.
struct ByHand {
    const char *colour, *kind, *dialog, *settings;
};
const ByHand kByHand[] = {
    {"FFFFFF", "Lights", "frmLights", "select LightType LIGHT_STROBE\nselect LightVariable becon3\nset LightInt 80\n"
                                      "check DayFlag 1"},
    {"FF7F00", "", "frmLights", "select LightType LIGHT_LANDING\ncheck AircraftFlag 1"},
    {"336699", "Effects", "frmEffects",
     "select lstEffectType fx_fire_small\nset fx_params MOY=03,10;DOM=01,31;HOD=06,20;MOH=00,59;"},
    {"CC1919", "Library", "frmLibrary",
     "set libGUID 01234ABCDh,042E14DCFh,073AEB9A1h,089EC6060h\nset libScale 2\nset lib_terrain_alt 30"},
    {"9933CC", "Windsock", "frmWindsock", "set ws_mastColor FF2000\ncheck ws_lit 1"},
    {"009933", "Library New", "frmLibrary", "set libScale 1.5\ncheck lib_OTG 1"},
    {"4C4C4C", "Lake", "frmHldParams", "set hldAlt 40\ncheck hldLake 1"},
    {"194CE5", "Decal", "frmHldParams", "set hldTextNumber 1300\nset hldWESpan 8000"},
    {"669933", "Ground Type", "frmSurface", "select srfSurfType GRASS_SHORT\ncheck srfKeepPolys 1"},
    {"B2B2B2", "Landing Area", "frmPlatform", "set platGroundElev 120"},
};

std::string by_hand_script() {
    std::string s = "set InputFile ${DIR}/hangar\nclick \"Open\"\n";
    for (const ByHand& m : kByHand) {
        s += "select lstMat2proc " + std::string(m.colour) + "\n";
        if (*m.kind) s += "select typeOfObj \"" + std::string(m.kind) + "\"\n";
        s += "click \"Parameters\"\nwindow " + std::string(m.dialog) + "\n" + m.settings +
             "\nclick \"O.K.\"\nwindow Form1\nclick \"Process\"\n";
    }
    return s + "expect Text2 0\nclick \"Save\"\n";
}

TEST_F(RememberedChoices, AFreshExportAppliedFromTheFileSavesWhatTheSessionByHandSaved) {
    start_program();
    run(by_hand_script());
    const char* const kSaved[] = {"hangar.asm", "hangar_0.asm", "tmpLake.asm", "tmpDecal.asm", "tmpMisc.asm", "hangar.gvr"};
    std::map<std::string, std::string> by_hand;
    for (const char* f : kSaved) by_hand[f] = folder.read(f);
    const std::string& gvr = by_hand["hangar.gvr"];
    EXPECT_NE(gvr.find("colour=FFFFFF | kind=Lights | type=LIGHT_STROBE | intensity=80 | linear_attenuation=0.4 | "
                       "square_attenuation=0.04 | flash_variable=becon3 | flash_mask="),
              std::string::npos)
        << gvr;
    EXPECT_NE(gvr.find("colour=194CE5 | kind=Decal | texture=1300 | we_offset=4080 | we_span=8000 | ns_offset=4080 | "
                       "ns_span=8160\r\n"),
              std::string::npos)
        << gvr;

    fresh_export();
    for (const char* f : {"tmpLake.asm", "tmpDecal.asm", "tmpMisc.asm"}) fs::remove(folder.path(f));
    start_program();
    platform.forget();
    run("set InputFile ${DIR}/hangar\nanswer yes\nclick \"Open\"\nexpect Text2 0\nclick \"Save\"\n");
    ASSERT_FALSE(boxes().empty());
    EXPECT_EQ(boxes().front(), "Apply the 10 choices remembered for this model?");
    for (const char* f : kSaved) EXPECT_TRUE(folder.read(f) == by_hand[f]) << f << " differs";
    EXPECT_NE(form->MsgText.text().find("Remembered choices applied : 10 of 10"), std::string::npos);

    const auto r = bglc::assemble(folder.path("hangar.asm"), real_macros());
    EXPECT_TRUE(r.ok()) << all_errors(r);
}

TEST_F(RememberedChoices, LinesThatNoLongerFitAreReportedAndSkipped) {
    const std::string gvr =
        "# edited by hand\r\n"
        "colour=FFFFFF | kind=Lights | type=LIGHT_NAV | intensity=100 | linear_attenuation=0.4 | "
        "square_attenuation=0.04 | flash_variable=six_second_beacon | flash_mask=CCCC | day_off=0 | aircraft=0\r\n"
        "colour=123456 | kind=Windsock | mast_colour=10F0F0 | night_light=0\r\n"
        "colour=FF7F00 | kind=Lights | type=LIGHT_NAV | intensity=abc | linear_attenuation=0.4 | "
        "square_attenuation=0.04 | flash_variable=six_second_beacon | flash_mask=CCCC | day_off=0 | aircraft=0\r\n"
        "colour=336699 | kind=Effects | effect=fx_gone | time_constraints=MOY=01,12;DOM=01,31;HOD=00,23;MOH=00,59; | "
        "on_ground=0 | terrain_altitude=0\r\n"
        "colour=CC1919 | kind=Libary | guid=0h\r\n"
        "colour=9933CC | kind=Windsock | mast_colour=10F0F0 | night_light=2\r\n"
        "colour=009933 | kind=Library New | guid=05ADE0809h,042E14DCFh,073AEB9A1h,089EC6060h | scale=0.5 | "
        "on_ground=0 | terrain_altitude=0\r\n";
    folder.write_bytes("hangar.gvr", gvr);
    start_program();
    // No: nothing is applied; the button applies later without asking.
    run("set InputFile ${DIR}/hangar\nanswer no\nclick \"Open\"\nexpect Text2 10\n"
        "click \"Apply Remembered\"\nexpect Text2 8\n");
    EXPECT_EQ(boxes().front(), "Apply the 4 choices remembered for this model?");
    ASSERT_EQ(boxes().size(), 2u);
    EXPECT_NE(boxes()[1].find("intensity"), std::string::npos) << boxes()[1];  // the lights dialog refused
    const std::string m = form->MsgText.text();
    for (const char* report :
         {"hangar.gvr line 3: the colour 123456 is no longer in this model",
          "hangar.gvr line 4 skipped (FF7F00): the parameters dialog refused a value",
          "hangar.gvr line 5 skipped (336699): the effect \"fx_gone\" is not in",
          "hangar.gvr line 6 skipped: the kind \"Libary\" is unknown",
          "hangar.gvr line 7 skipped: the value of \"night_light\" must be 0 or 1",
          "Remembered choices applied : 2 of 4"})
        EXPECT_NE(m.find(report), std::string::npos) << report << "\n" << m;
    EXPECT_FALSE(form->pair.materials.row(3).processed());  // FF7F00 is row 2, 336699 row 3
    EXPECT_EQ(form->pair.materials.row(8).kind, "Library New");  // 009933

    // Saving keeps the person's lines as they are: the two applied ones say what they said.
    run("click \"Save\"\n");
    EXPECT_EQ(folder.read("hangar.gvr"), gvr);
}

}  // namespace
