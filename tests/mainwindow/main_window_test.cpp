// The main window's start, activation and end: "gorvane.ini", "tmf.ini", the level table, the
// web link and the tool buttons.
#include "../codegen/support.h"
#include "app/tools.h"
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
    app::add_tools(form);
    auto tool = [&](const char* name) -> ui::Control& { return *form.find(name); };
    // The Tools frame as it always was, and the Top View button beside the messages.
    const char* const names[] = {"cmdTMF", "cmdGroundPolys", "cmdWings", "cmdLibTool", "cmdLabelTool", "cmdLibComp"};
    const char* const captions[] = {"TMF calculator", "Ground Polys", "Wings - Shadow", "Library Tool", "Label Tool",
                                    "Library Compiler"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(tool(names[i]).caption(), captions[i]);
        EXPECT_EQ(tool(names[i]).container, &form.Frame3);
        EXPECT_EQ(tool(names[i]).rect.x, 264 + i % 3 * 126);
        EXPECT_EQ(tool(names[i]).rect.y, i < 3 ? 338 : 370);
    }
    EXPECT_EQ(tool("cmdLibComp").tooltip, "Create Library files from gmax objects.");
    EXPECT_EQ(tool("cmdTopView").tooltip, "Shows the model from above with the objects generated so far.");
    EXPECT_TRUE(form.cmdBackup.enabled());
    EXPECT_TRUE(form.cmdRestore.enabled());
    EXPECT_TRUE(form.cmdCompile.enabled());

    ui::desktop().show(form);
    form.InputFile.set_text("C:\\m\\hangar");
    tool("cmdLabelTool").click();
    auto* rename = dynamic_cast<labels::FrmLabelRename*>(form.tool_window("cmdLabelTool"));
    ASSERT_NE(rename, nullptr);
    EXPECT_TRUE(rename->is_open());
    EXPECT_TRUE(rename->is_modal());
    EXPECT_EQ(rename->InputFile.text(), "C:\\m\\hangar_0.asm");
    EXPECT_EQ(rename->lblAdition.text(), "FF1");
    ui::desktop().close(*rename);
    // The aircraft and ground-polygon tools are modal too.
    for (const char* name : {"cmdWings", "cmdGroundPolys"}) {
        tool(name).click();
        ui::Window* w = ui::desktop().active();
        ASSERT_NE(w, &form);
        EXPECT_EQ(w, form.tool_window(name));
        EXPECT_TRUE(w->is_modal()) << w->name();
        ui::desktop().close(*w);
    }
    // The terrain calculator and the Top View are modeless.
    for (const char* name : {"cmdTMF", "cmdTopView"}) {
        tool(name).click();
        ASSERT_NE(form.tool_window(name), nullptr);
        EXPECT_TRUE(form.tool_window(name)->is_open());
        EXPECT_FALSE(form.tool_window(name)->is_modal());
    }

    // The library browser is modeless.
    tool("cmdLibTool").click();
    ui::Window* browser = libtool::library_browser();
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->is_open());
    EXPECT_FALSE(browser->is_modal());
    EXPECT_EQ(browser->name(), "LibView");
    // So is the library compiler.
    tool("cmdLibComp").click();
    ui::Window* compiler = libcompiler::library_compiler();
    ASSERT_NE(compiler, nullptr);
    EXPECT_TRUE(compiler->is_open());
    EXPECT_FALSE(compiler->is_modal());
    tool("cmdLabelTool").click();

    // Closing the main window closes the tools too.
    ui::desktop().close(form);
    EXPECT_FALSE(rename->is_open());
    EXPECT_FALSE(browser->is_open());
    EXPECT_FALSE(compiler->is_open());
    EXPECT_FALSE(form.tool_window("cmdTopView")->is_open());
}

}  // namespace
