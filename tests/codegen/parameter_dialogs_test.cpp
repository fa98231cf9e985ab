// The parameter set of the main window, its parameter line, and the four parameter dialogs.
#include "support.h"
#include "app/tools.h"
#include "libtool/lib_view.h"
#include "codegen/area_dialogs.h"
#include "workbench/frm_hld_params.h"
#include "workbench/form1.h"
#include "workbench/parameter_dialogs.h"

namespace {

class Parameters : public cg_test::PlatformFixture {
protected:
    Parameters() {
        form = std::make_unique<wb::Form1>();
        ui::desktop().show(*form);
    }
    ~Parameters() override {
        ui::desktop().close(*form);
        form.reset();
    }
    void kind(const std::string& k) {
        for (int i = 0; i < form->typeOfObj.list_count(); ++i)
            if (form->typeOfObj.item(i) == k) form->typeOfObj.set_list_index(i);
    }
    std::unique_ptr<wb::Form1> form;
};

TEST_F(Parameters, DefaultsAndTheParameterLineOfEachKind) {
    EXPECT_EQ(form->LightType.selected_text(), "LIGHT_NAV");
    EXPECT_EQ(form->LightType.item_data(5), 64);
    EXPECT_EQ(form->LightType.item(9), "*LIGHT_PANEL*");
    EXPECT_EQ(form->txtinfo.text(), "LIGHT_NAV/100/CCCC");
    EXPECT_EQ(form->step_digit(3).fore_colour(), ui::kRed);

    form->AircraftFlag.set_value(1);
    form->Update_par_line();
    EXPECT_EQ(form->txtinfo.text(), "LIGHT_NAV/100/CCCC-A/C");

    kind("Library");
    EXPECT_EQ(form->txtinfo.text(), "05ADE0809h,042E14DCFh,073AEB9A1h,089EC6060h");
    kind("Library New");
    EXPECT_EQ(form->txtinfo.text(), "05ADE0809h,042E14DCFh,073AEB9A1h,089EC6060h");  // unchanged
    kind("Windsock");
    EXPECT_EQ(form->txtinfo.text(), "");
    form->platGroundElev.set_text("120");
    kind("Landing Area");
    EXPECT_EQ(form->txtinfo.text(), "GROUND ELEVATION: 120 ft");
    form->platUseAGL.set_value(1);
    form->Update_par_line();
    EXPECT_EQ(form->txtinfo.text(), "SCALE_AGL");
    kind("Ground Type");
    EXPECT_EQ(form->txtinfo.text(), "SURFACETYPE: CONCRETE");
    kind("Lake");
    EXPECT_EQ(form->txtinfo.text(), "FLATTEN: 20 ft");
    form->hldLake.set_value(1);
    form->Update_par_line();
    EXPECT_EQ(form->txtinfo.text(), "FLATTEN: 20 ft LAKE");
    kind("Decal");
    EXPECT_EQ(form->txtinfo.text(), "DECAL TEXTURE: 1207");
    form->lstEffectType.add_item("fx_beacon");
    form->lstEffectType.set_list_index(0);
    kind("Effects");
    EXPECT_EQ(form->txtinfo.text(), "FX_BEACON/MOY=01,12;DOM=01,31;HOD=00,23;MOH=00,59;");
}

TEST_F(Parameters, ALightFieldChangedInTheMainWindowCompletesStepThree) {
    form->LightAttS.set_text("0.05");
    EXPECT_EQ(form->step_digit(3).fore_colour(), ui::kGreen);
}

TEST_F(Parameters, LightDialogCopiesInAndOutAndKeepsItsRules) {
    form->LightInt.set_text("250");
    form->FlashMask.set_text("F0F0");
    form->LightVariable.set_list_index(3);
    form->AircraftFlag.set_value(1);
    form->Params_Click();
    wb::FrmLights& d = form->frm_lights();
    ASSERT_TRUE(d.is_open());
    EXPECT_TRUE(d.is_modal());
    EXPECT_EQ(d.caption(), "Light Properties");
    EXPECT_EQ(d.LightInt.text(), "250");
    EXPECT_EQ(d.FlashMask.text(), "F0F0");  // the main window's mask, not the variable's proposal
    EXPECT_EQ(d.LightVariable.list_index(), 3);
    EXPECT_EQ(d.AircraftFlag.value(), 1);
    EXPECT_EQ(d.LightType.item(9), "PANEL*A/C ONLY*");

    d.LightVariable.set_list_index(6);
    EXPECT_EQ(d.FlashMask.text(), "2");
    d.LightVariable.set_list_index(3);
    EXPECT_EQ(d.FlashMask.text(), "CCCC");
    d.LightVariable.set_list_index(1);
    EXPECT_EQ(d.FlashMask.text(), "-1");
    d.LightVariable.set_list_index(0);
    EXPECT_EQ(d.FlashMask.text(), "0800");

    d.DayFlag.click();
    EXPECT_EQ(d.AircraftFlag.value(), 0);
    d.AircraftFlag.click();
    EXPECT_EQ(d.DayFlag.value(), 0);
    EXPECT_EQ(d.AircraftFlag.value(), 1);

    // Cancel leaves the main window as it was.
    d.LightInt.set_text("999");
    d.cmdCancel.click();
    EXPECT_FALSE(d.is_open());
    EXPECT_EQ(form->LightInt.text(), "250");
    EXPECT_EQ(form->FlashMask.text(), "F0F0");

    // Opening again shows the main window's values, not the cancelled ones.
    form->Params_Click();
    EXPECT_EQ(d.LightInt.text(), "250");
    d.LightType.set_list_index(2);
    d.LightInt.set_text("80");
    d.DayFlag.click();
    d.cmdOK.click();
    EXPECT_EQ(form->LightType.selected_text(), "LIGHT_LANDING");
    EXPECT_EQ(form->LightInt.text(), "80");
    EXPECT_EQ(form->DayFlag.value(), 1);
    EXPECT_EQ(form->AircraftFlag.value(), 0);
    EXPECT_EQ(form->txtinfo.text(), "LIGHT_LANDING/80/F0F0");  // refreshed when the main window is active again
}

TEST_F(Parameters, EffectDialogReadsTheEffectListAndChecksTheTimeConstraints) {
    folder.write("fx_list.txt", {"fx_beacon", "fx_smoke"});
    // The main window's list is filled at start from the same file.
    form.reset();
    form = std::make_unique<wb::Form1>();
    ui::desktop().show(*form);
    EXPECT_EQ(form->lstEffectType.items(), (std::vector<std::string>{"fx_beacon", "fx_smoke"}));

    kind("Effects");
    form->Params_Click();
    wb::FrmEffects& d = form->frm_effects();
    ASSERT_TRUE(d.is_open());
    EXPECT_EQ(d.lstEffectType.items(), (std::vector<std::string>{"fx_beacon", "fx_smoke"}));
    EXPECT_EQ(d.fx_params.text(), wb::kDefaultTimeConstraints);

    d.fx_OTG.click();
    EXPECT_FALSE(d.fx_terrain_alt.enabled());
    d.fx_OTG.click();
    EXPECT_TRUE(d.fx_terrain_alt.enabled());

    d.lstEffectType.set_list_index(1);
    d.fx_params.set_text("MOY=01,12;DOM=01,31;HOD=00,23;MOH=00,59;X");
    d.cmdOK.click();
    EXPECT_TRUE(d.is_open());
    EXPECT_EQ(boxes(), std::vector<std::string>{"The values of the parameters are incorect. Double click in the textbox for default values. Do not change the overall length."});
    EXPECT_EQ(form->lstEffectType.list_index(), 0);
    // The box does not reset what the user typed.
    ui::desktop().activate(d);
    EXPECT_EQ(d.fx_params.text().size(), 41u);

    d.fx_params.dblclick();
    EXPECT_EQ(d.fx_params.text(), wb::kDefaultTimeConstraints);
    d.fx_terrain_alt.set_text("350");
    d.cmdOK.click();
    EXPECT_FALSE(d.is_open());
    EXPECT_EQ(form->lstEffectType.list_index(), 1);
    EXPECT_EQ(form->fx_terrain_alt.text(), "350");
    EXPECT_EQ(form->txtinfo.text(), "FX_SMOKE/MOY=01,12;DOM=01,31;HOD=00,23;MOH=00,59;");

    // The list is read once per run.
    folder.write("fx_list.txt", {"changed"});
    form->Params_Click();
    EXPECT_EQ(d.lstEffectType.list_count(), 2);
    EXPECT_EQ(d.lstEffectType.list_index(), 1);
}

TEST_F(Parameters, EffectDialogWithoutAnEffectListSaysWhy) {
    kind("Effects");
    form->Params_Click();
    ASSERT_EQ(platform.shown().size(), 1u);
    EXPECT_NE(platform.shown()[0].text.find("File not found"), std::string::npos);
    EXPECT_EQ(form->frm_effects().lstEffectType.list_count(), 0);
}

TEST_F(Parameters, WindsockDialogChecksTheColourAndUsesThePicker) {
    kind("Windsock");
    form->Params_Click();
    wb::FrmWindsock& d = form->frm_windsock();
    ASSERT_TRUE(d.is_open());
    EXPECT_EQ(d.ws_mastColor.text(), "10F0F0");
    EXPECT_EQ(d.picColor.back_colour(), 0xF0F010u);

    d.ws_mastColor.set_text("zz");
    EXPECT_EQ(d.picColor.back_colour(), 0xF0F010u);  // not a colour: the swatch stays
    d.cmdOK.click();
    EXPECT_TRUE(d.is_open());
    EXPECT_EQ(boxes().back(), "The format of mast color must be in RRGGBB format.");
    EXPECT_EQ(form->ws_mastColor.text(), "10F0F0");

    platform.queue_colour(0x0000FFu);  // red in the window system's order
    d.cmdColour.click();
    EXPECT_EQ(d.ws_mastColor.text(), "FF0000");
    EXPECT_EQ(d.picColor.back_colour(), 0x0000FFu);
    platform.queue_colour(std::nullopt);
    d.cmdColour.click();
    EXPECT_EQ(d.ws_mastColor.text(), "FF0000");
    platform.queue_colour(0x123456u);
    d.cmdColour.click();
    EXPECT_EQ(d.ws_mastColor.text(), "563412");

    d.ws_lit.click();
    d.cmdOK.click();
    EXPECT_FALSE(d.is_open());
    EXPECT_EQ(form->ws_mastColor.text(), "563412");
    EXPECT_EQ(form->ws_lit.value(), 1);
}

TEST_F(Parameters, LibraryDialogIsModelessAndReloadsEachTime) {
    kind("Library New");
    form->Params_Click();
    wb::FrmLibrary& d = form->frm_library();
    ASSERT_TRUE(d.is_open());
    EXPECT_FALSE(d.is_modal());
    EXPECT_EQ(d.libScale.text(), "0.5");
    app::add_tools(*form);  // the browser is the main window's tool
    d.cmdLibTool.click();
    ASSERT_NE(libtool::library_browser(), nullptr);
    EXPECT_TRUE(libtool::library_browser()->is_open());
    ui::desktop().close(*libtool::library_browser());

    d.cmdSearch.click();
    ASSERT_EQ(platform.started().size(), 1u);
    EXPECT_EQ(platform.started()[0].substr(0, 8), "notepad ");
    EXPECT_NE(platform.started()[0].find("out.txt"), std::string::npos);

    d.libGUID.set_text("01h,02h,03h,04h");
    d.libScale.set_text("2");
    d.lib_OTG.click();
    d.cmdOK.click();
    EXPECT_FALSE(d.is_open());
    EXPECT_EQ(form->libGUID.text(), "01h,02h,03h,04h");
    EXPECT_EQ(form->libScale.text(), "2");
    EXPECT_EQ(form->lib_OTG.value(), 1);

    form->libScale.set_text("3");
    form->Params_Click();
    EXPECT_EQ(d.libScale.text(), "3");
    d.libScale.set_text("9");
    d.cmdCancel.click();
    EXPECT_EQ(form->libScale.text(), "3");
}

TEST_F(Parameters, ClosingTheMainWindowClosesItsDialogs) {
    kind("Library");
    form->Params_Click();
    ASSERT_TRUE(form->frm_library().is_open());
    ui::desktop().close(*form);
    EXPECT_FALSE(form->frm_library().is_open());
    EXPECT_TRUE(ui::desktop().open_windows().empty());
}

TEST_F(Parameters, SurfaceDialogCopiesTypeAndKeepPolygons) {
    kind("Ground Type");
    form->srfSurfType.set_list_index(5);
    form->Params_Click();
    cg::FrmSurface& d = form->frm_surface();
    ASSERT_TRUE(d.is_open());
    EXPECT_TRUE(d.is_modal());
    EXPECT_EQ(d.caption(), "Surface Parameters");
    EXPECT_EQ(d.srfSurfType.selected_text(), "GRASS_SHORT");
    EXPECT_EQ(d.srfKeepPolys.tooltip,
              "Do not remove the polygons used for defining the area. (Used for checking the scenery)");
    d.srfSurfType.set_list_index(7);
    d.cmdCancel.click();
    EXPECT_EQ(form->txtinfo.text(), "SURFACETYPE: GRASS_SHORT");
    form->Params_Click();
    EXPECT_EQ(d.srfSurfType.list_index(), 5);
    d.srfSurfType.set_list_index(7);
    d.srfKeepPolys.set_value(1);
    d.cmdOK.click();
    EXPECT_FALSE(d.is_open());
    EXPECT_EQ(form->srfKeepPolys.value(), 1);
    EXPECT_EQ(form->txtinfo.text(), "SURFACETYPE: HARD_TURF");
}

TEST_F(Parameters, PlatformDialogDisablesTheElevationForScaleAglAndRefusesANonNumber) {
    kind("Landing Area");
    form->platGroundElev.set_text("120");
    form->Params_Click();
    cg::FrmPlatform& d = form->frm_platform();
    ASSERT_TRUE(d.is_open());
    EXPECT_EQ(d.caption(), "Platform Parameters");
    EXPECT_EQ(d.platGroundElev.text(), "120");
    EXPECT_EQ(d.platUseAGL.tooltip, "Let fs calculate the ground elevation. Does not always work !!");
    d.platUseAGL.click();
    EXPECT_FALSE(d.platGroundElev.enabled());
    d.platUseAGL.click();
    EXPECT_TRUE(d.platGroundElev.enabled());

    d.platGroundElev.set_text("abc");
    d.cmdOK.click();
    EXPECT_TRUE(d.is_open());
    EXPECT_NE(last_box().find("\"abc\" is not a number"), std::string::npos) << last_box();
    EXPECT_EQ(form->platGroundElev.text(), "120");

    d.platGroundElev.set_text("-12.5");
    d.platKeepPolys.click();
    d.cmdOK.click();
    EXPECT_FALSE(d.is_open());
    EXPECT_EQ(form->platGroundElev.text(), "-12.5");
    EXPECT_EQ(form->platKeepPolys.value(), 1);
    EXPECT_EQ(form->txtinfo.text(), "GROUND ELEVATION: -12.5 ft");
    // Loaded again from the main window: Scale_AGL checked there disables the box at once, and
    // a greyed box is not checked: O.K. closes, the main window keeps its elevation.
    form->platUseAGL.set_value(1);
    form->Params_Click();
    EXPECT_FALSE(d.platGroundElev.enabled());
    d.platGroundElev.set_text("abc");
    const std::size_t shown = boxes().size();
    d.cmdOK.click();
    EXPECT_FALSE(d.is_open());
    EXPECT_EQ(boxes().size(), shown);
    EXPECT_EQ(form->platGroundElev.text(), "-12.5");
}

TEST_F(Parameters, TerrainDialogRefusesWhatCannotBeWrittenAndKeepsTheTextureAsTyped) {
    kind("Decal");
    form->Params_Click();
    wb::FrmHldParams& d = form->frm_hld_params();
    ASSERT_TRUE(d.is_open());
    d.hldTextNumber.set_text("12 07");
    d.hldNSSpan.set_text("abc");
    d.cmdOK.click();
    EXPECT_TRUE(d.is_open());
    EXPECT_EQ(last_box(), "The north-south span \"abc\" is not a number.");
    d.hldNSSpan.set_text("8000");
    d.hldWEOffset.set_text("1e20");
    d.cmdOK.click();
    EXPECT_TRUE(d.is_open());
    EXPECT_EQ(last_box(), "The west-east offset \"1e20\" is out of range. The value 1E+20 cannot be written: the field "
                          "first of DECAL_POINT holds whole numbers from -2147483648 to 2147483647.");
    d.hldWEOffset.set_text("4080");
    d.cmdOK.click();
    ASSERT_FALSE(d.is_open());
    // The main window reads "tmf.ini" again as it becomes active: what was accepted comes back.
    ui::desktop().activate(*form);
    EXPECT_EQ(form->hldTextNumber.text(), "12 07");
    EXPECT_EQ(form->hldNSSpan.text(), "8000");
    EXPECT_EQ(form->txtinfo.text(), "DECAL TEXTURE: 12 07");
}

TEST_F(Parameters, DialogsRefuseValuesTheirMacroFieldsCannotHold) {
    form->Params_Click();
    wb::FrmLights& lights = form->frm_lights();
    lights.LightInt.set_text("1e39");
    lights.cmdOK.click();
    EXPECT_TRUE(lights.is_open());
    EXPECT_EQ(last_box(), "The intensity \"1e39\" cannot be used. The value 1e39 cannot be written: the field intensity "
                          "of BGL_LIGHT holds numbers from -3.40282346638529E+38 to 3.40282346638529E+38.");
    lights.cmdCancel.click();
    EXPECT_EQ(form->LightInt.text(), "100");

    kind("Library");
    form->Params_Click();
    wb::FrmLibrary& library = form->frm_library();
    library.libGUID.set_text("01h,02h,03h");
    library.cmdOK.click();
    EXPECT_TRUE(library.is_open());
    EXPECT_NE(last_box().find("needs four hexadecimal words"), std::string::npos) << last_box();
    library.libGUID.set_text("01h,02h,03h,100000000h");
    library.cmdOK.click();
    EXPECT_NE(last_box().find("The value 100000000h cannot be written"), std::string::npos) << last_box();
    library.cmdCancel.click();

    kind("Landing Area");
    form->Params_Click();
    cg::FrmPlatform& platform_dialog = form->frm_platform();
    platform_dialog.platGroundElev.set_text("1e300");
    platform_dialog.cmdOK.click();
    EXPECT_TRUE(platform_dialog.is_open());
    EXPECT_NE(last_box().find("ground elevation \"1e300\" is out of range"), std::string::npos) << last_box();
    EXPECT_EQ(form->platGroundElev.text(), "0");
}

TEST_F(Parameters, TerrainMacroSettingsAreReadWhenTheWindowBecomesActive) {
    folder.write("tmf.ini", {"skipped", "1300", "4000.50", "8000", "100", "200"});
    ui::desktop().activate(*form);
    EXPECT_EQ(form->hldTextNumber.text(), "1300");
    EXPECT_EQ(form->hldNSOffset.text(), "4000.5");
    EXPECT_EQ(form->hldWESpan.text(), "200");
}

}  // namespace
