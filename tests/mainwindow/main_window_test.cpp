// The main window's start, activation and end: "gorvane.ini", "tmf.ini", the level table, the
// web link and the tool buttons.
#include "../codegen/support.h"
#include "labels/frm_label_rename.h"
#include "libcompiler/frm_lib_comp.h"
#include "libtool/lib_view.h"
#include "ui/fileio.h"
#include "workbench/form1.h"

namespace {

class MainWindow : public cg_test::PlatformFixture {};

TEST_F(MainWindow, TheBasesAreRememberedInGorvaneIniWhenTheWindowEnds) {
    {
        wb::Form1 form;
        EXPECT_EQ(form.InputFile.text(), "");  // first start: no settings yet
        EXPECT_EQ(form.OutputFile.text(), "");
        ui::desktop().show(form);
        form.InputFile.set_text("C:\\m\\hangar");
        EXPECT_EQ(form.OutputFile.text(), "C:\\m\\hangar");
        form.OutputFile.set_text("C:\\out\\hangar");
        EXPECT_EQ(form.InputFile.text(), "C:\\m\\hangar");
        EXPECT_FALSE(folder.exists("gorvane.ini"));
        ui::desktop().close(form);
    }
    EXPECT_EQ(folder.read("gorvane.ini"), "C:\\m\\hangar\r\nC:\\out\\hangar\r\n");

    wb::Form1 again;
    EXPECT_EQ(again.InputFile.text(), "C:\\m\\hangar");
    EXPECT_EQ(again.OutputFile.text(), "C:\\out\\hangar");
}

TEST_F(MainWindow, StartUpReadsTheEffectListAndBuildsTheLevelTable) {
    folder.write("fx_list.txt", {"fx_one", "fx_two"});
    wb::Form1 form;
    ASSERT_EQ(form.lstEffectType.list_count(), 2);
    EXPECT_EQ(form.lstEffectType.selected_text(), "fx_one");
    EXPECT_NE(form.caption().find("2002"), std::string::npos);
    EXPECT_EQ(form.Label10.fore_colour(), ui::kRed);
    EXPECT_EQ(form.levels[0].longitude, 120);
    EXPECT_EQ(form.levels[0].latitude, 90);
    EXPECT_EQ(form.levels[15].longitude, 120.0 / 32768);
    EXPECT_EQ(form.levels[15].latitude, 90.0 / 32768);
}

TEST_F(MainWindow, ActivationReadsTheFlattenSettings) {
    wb::Form1 form;
    folder.write("tmf.ini", {"skipped 99", " 0012", "4080.50", "8160", "-40", "8e2"});
    ui::desktop().show(form);
    EXPECT_EQ(form.hldTextNumber.text(), " 0012");  // a name: as it was typed
    EXPECT_EQ(form.hldNSOffset.text(), "4080.5");
    EXPECT_EQ(form.hldWEOffset.text(), "-40");
    EXPECT_EQ(form.hldWESpan.text(), "800");
    // A number past the range of numbers leaves its field as it was.
    folder.write("tmf.ini", {"v1", "1e400", "-1e400", "7"});
    ui::desktop().activate(form);
    EXPECT_EQ(form.hldTextNumber.text(), "1e400");  // a name, not a number
    EXPECT_EQ(form.hldNSOffset.text(), "4080.5");
    EXPECT_EQ(form.hldNSSpan.text(), "7");
    ui::desktop().close(form);
}

// A platform whose browser look-up and start can be set.
class BrowserPlatform : public ui::ScriptPlatform {
public:
    std::string browser;
    bool opens = true;
    std::string asked;
    bool probe_existed = false;
    std::string find_executable(const std::string& document) override {
        asked = document;
        probe_existed = ui::file_exists(document);
        return browser;
    }
    bool shell_open(const std::string& file, const std::string& parameters, const std::string& verb) override {
        ScriptPlatform::shell_open(file, parameters, verb);
        return opens;
    }
};

class WebLink : public ::testing::Test {
protected:
    WebLink() {
        platform.set_program_folder(folder.path());
        ui::set_platform(&platform);
    }
    ~WebLink() override { ui::set_platform(nullptr); }
    cg_test::TempFolder folder;
    BrowserPlatform platform;
};

TEST_F(WebLink, TheDefaultBrowserOpensTheProgramsPage) {
    platform.browser = "C:\\browser.exe";
    wb::Form1 form;
    form.Label21.click();
    EXPECT_TRUE(platform.probe_existed);
    EXPECT_TRUE(platform.asked.ends_with("test.htm")) << platform.asked;
    ASSERT_EQ(platform.started().size(), 1u);
    EXPECT_EQ(platform.started()[0], std::string("Open C:\\browser.exe ") + wb::kWebPage);
    EXPECT_TRUE(platform.shown().empty());
    EXPECT_FALSE(folder.exists("test.htm"));
}

TEST_F(WebLink, NoBrowserOrAFailedStartIsSaid) {
    wb::Form1 form;
    form.Label21.click();
    ASSERT_EQ(platform.shown().size(), 1u);
    EXPECT_EQ(platform.shown()[0].text, "Could not open your browser!");
    EXPECT_EQ(platform.shown()[0].title, "Browser Not Found...");
    EXPECT_TRUE(platform.started().empty());

    platform.browser = "C:\\browser.exe";
    platform.opens = false;
    form.Label21.click();
    ASSERT_EQ(platform.shown().size(), 2u);
    EXPECT_EQ(platform.shown()[1].text, "Web page fialed to be opened.");
    EXPECT_EQ(platform.shown()[1].title, "Website URL Failed...");
    EXPECT_FALSE(folder.exists("test.htm"));
}

TEST_F(MainWindow, OnlyTheToolsThatExistCanBeOpened) {
    wb::Form1 form;
    EXPECT_TRUE(form.cmdLabelTool.enabled());
    EXPECT_TRUE(form.cmdTMF.enabled());
    EXPECT_TRUE(form.cmdBackup.enabled());
    EXPECT_TRUE(form.cmdRestore.enabled());
    EXPECT_TRUE(form.cmdCompile.enabled());

    ui::desktop().show(form);
    form.InputFile.set_text("C:\\m\\hangar");
    form.cmdLabelTool.click();
    labels::FrmLabelRename& tool = form.frm_label_rename();
    EXPECT_TRUE(tool.is_open());
    EXPECT_TRUE(tool.is_modal());
    EXPECT_EQ(tool.InputFile.text(), "C:\\m\\hangar_0.asm");
    EXPECT_EQ(tool.lblAdition.text(), "FF1");
    ui::desktop().close(tool);
    // The aircraft and ground-polygon tools are modal too.
    for (ui::Control* button : {&form.cmdWings, &form.cmdGroundPolys}) {
        button->click();
        ui::Window* w = ui::desktop().active();
        ASSERT_NE(w, &form);
        EXPECT_TRUE(w->is_modal()) << w->name();
        ui::desktop().close(*w);
    }

    // The library browser is modeless.
    form.cmdLibTool.click();
    ui::Window* browser = libtool::library_browser();
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->is_open());
    EXPECT_FALSE(browser->is_modal());
    EXPECT_EQ(browser->name(), "LibView");
    // So is the library compiler.
    form.cmdLibComp.click();
    ui::Window* compiler = libcompiler::library_compiler();
    ASSERT_NE(compiler, nullptr);
    EXPECT_TRUE(compiler->is_open());
    EXPECT_FALSE(compiler->is_modal());
    form.cmdLabelTool.click();

    // Closing the main window closes the tools too.
    ui::desktop().close(form);
    EXPECT_FALSE(tool.is_open());
    EXPECT_FALSE(browser->is_open());
    EXPECT_FALSE(compiler->is_open());
}

}  // namespace
