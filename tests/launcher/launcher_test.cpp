// The exporter launcher: the exporter's argument list, the settings files and their damage, the
// location list's rules, the interior renaming, and GO!! against the real exporter stand-in.
#include <filesystem>

#include "launcher/frm_tolvard.h"
#include "tests/support/scratch.h"
#include "ui/system_platform.h"

namespace {

using namespace launcher;
using Args = std::vector<std::string>;

#ifdef _WIN32
const char* const kMakem = "makem.exe";
#else
const char* const kMakem = "makem";
#endif

// A gmax folder (GMAXLOC) whose plugins folder holds the exporter stand-in.
class GmaxPlatform : public ui::ScriptPlatform {
public:
    std::string gmax;
    std::string environment(const std::string& name) override { return name == "GMAXLOC" ? gmax : ""; }
};

class Launcher : public ::testing::Test {
protected:
    Launcher() {
        std::filesystem::create_directories(folder.path("plugins"));
        std::filesystem::copy_file(std::string(GORVANE_BIN_DIR) + "/" + kMakem, plugins(kMakem));
        platform.gmax = folder.path();
        platform.set_really_start(true);
        ui::set_platform(&platform);
    }
    ~Launcher() override {
        for (auto& w : windows) ui::desktop().close(*w);
        std::filesystem::current_path(start_folder);
        ui::set_platform(nullptr);
    }
    std::string plugins(const std::string& name) const { return folder.path("plugins/" + name); }
    FrmTolvard* start(Args args) {
        windows.push_back(std::make_unique<FrmTolvard>(std::move(args)));
        ui::desktop().show(*windows.back());
        return windows.back().get();
    }
    testsupport::TempFolder folder;
    GmaxPlatform platform;
    std::filesystem::path start_folder = std::filesystem::current_path();
    std::vector<std::unique_ptr<FrmTolvard>> windows;
};

TEST(LauncherLogic, ArgumentListForScenery_ModelExportsAndEveryOption) {
    EXPECT_EQ(makem_arguments("C:\\x\\m", "-bgl", ms_defaults(), "N41*51.76 W87*36.44"),
              (Args{" ", "\"C:\\x\\m\"", "-bgl", "-b", "-latlon\"N41*51.76 W87*36.44\""}));
    EXPECT_EQ(makem_arguments("m.x", "-mdl", ms_defaults(), "N1*0 W1*0"), (Args{" ", "\"m.x\"", "-mdl", "-b"}));
    Options none{};
    EXPECT_EQ(passed_switches(none), (Args{"-viewlog-", "-il-", "-i8-", "-fullmat-", "-deffallback-", "-w-", "-info",
                                           "-z-", "-o-", "-damage-", "-vis-", "-crash-"}));
}

TEST(LauncherLogic, CommandLineKeepsQuotedSpansAndLongPathsWhole) {
    const std::string path = "C:\\gmax\\" + std::string(280, 'p');
    EXPECT_EQ(split_command_line("  x -bgl \"" + path + "\"  a\"b c\"d"), (Args{"x", "-bgl", path, "ab cd"}));
}

TEST(LauncherLogic, DamagedSettingsFilesAreReadLineByLine) {
    Options o = ms_defaults();
    read_options_file("no equals sign\r\nView BGL=1\nBatch Mode=0\r\nCrash=yes\r\nKeep Files=1", o);
    EXPECT_TRUE(o[1] && o[4]);
    EXPECT_FALSE(o[15] || o[36]);
    EXPECT_TRUE(o[0]);  // not named: as the defaults leave it

    SceneryList l = read_scenery_file("default=Gone\r\nnotepad=\r\nzulu=S1*0 E1*0\r\nbroken line\r\nAlpha=N2*0 W2*0");
    ASSERT_EQ(l.entries.size(), 2u);
    ASSERT_EQ(l.refused.size(), 1u);
    EXPECT_EQ(l.refused[0].text, "broken line");
    EXPECT_EQ(l.entries[0].name, "Alpha");
    EXPECT_EQ(l.default_name, "Alpha");
    EXPECT_EQ(l.viewer, "c:\\windows\\notepad2.exe");
    EXPECT_EQ(read_scenery_file("").entries[0].location, "N41*51.76 W87*36.44");
    const std::string viewer = "D:\\" + std::string(300, 'v') + ".exe";
    EXPECT_EQ(read_scenery_file("default=a\r\nnotepad=" + viewer + "\r\na=N1*0 W1*0\r\n").viewer, viewer);

    // A repeat of a deleted or renamed entry goes with it, so that it does not come back.
    SceneryList r = read_scenery_file("default=a\r\nnotepad=\r\na=1\r\nb=2\r\nc=3\r\nA=4\r\nB=5\r\nx");
    ASSERT_EQ(r.refused.size(), 3u);
    r.remove(r.find("a"));
    r.edit(r.find("b"), {"d", "2"});
    EXPECT_EQ(scenery_file_text(r), "default=d\r\nnotepad=c:\\windows\\notepad2.exe\r\nc=3\r\nd=2\r\nx\r\n");
}

TEST(LauncherLogic, LocationListKeepsOneEntryAndItsDefault) {
    SceneryList l = builtin_scenery();
    EXPECT_EQ(l.remove(0), -1);
    EXPECT_EQ(l.add({"LAKEFRONT field", "x"}), -1);
    EXPECT_EQ(l.add({"Alpha", "N1*0 W1*0"}), 0);
    EXPECT_EQ(l.remove(1), 0);  // the default goes: the first entry takes its place
    EXPECT_EQ(l.default_name, "Alpha");
    EXPECT_EQ(l.add({"Zulu", "S1*0 E1*0"}), 1);
    EXPECT_EQ(l.edit(0, {"Yankee", "N3*0 W3*0"}), 0);
    EXPECT_EQ(l.default_name, "Yankee");
    EXPECT_EQ(l.edit(0, {"zulu", "N3*0 W3*0"}), -1);
}

TEST(LauncherLogic, OutputPageDropsItsOldestLines) {
    std::string page;
    for (int i = 0; i < 1000; ++i) append_output(page, "line " + std::to_string(i));
    EXPECT_LE(page.size(), 5000u);
    EXPECT_TRUE(page.starts_with("line 5"));
    EXPECT_TRUE(page.ends_with("line 999\r\n"));
}

TEST_F(Launcher, SavedOptionsComeBackAtTheNextStart) {
    auto w = start({});
    EXPECT_EQ(w->tabPages.selected_text(), "Options");
    EXPECT_FALSE(w->cmdGo.enabled());
    EXPECT_TRUE(w->txtOutput.text().ends_with("No Parameters passed, going to options mode..\r\n"));
    w->find("chkOption", 0)->click();
    w->find("chkOption", 29)->click();
    w->cmdSaveDefault.click();
    const Options saved = w->options();
    EXPECT_TRUE(folder.read("plugins/tolvard.sys").starts_with("View Error Log=0\r\nView BGL=0\r\n"));
    w->cmdMSDefault.click();
    EXPECT_EQ(w->options(), ms_defaults());
    ui::desktop().close(*w);
    EXPECT_EQ(start({"x"})->options(), saved);
}

TEST_F(Launcher, AnAddedLocationIsSavedWholeAndHoldsAtMost49Characters) {
    auto w = start({});
    w->txtName.set_text("Home Field");
    w->txtLatLon.set_text("N51*28.39 W0*27.41" + std::string(42, '0'));
    w->cmdAdd.click();
    EXPECT_EQ(w->lstScenery.items(), (Args{"Home Field", "Lakefront Field"}));
    EXPECT_EQ(folder.read("plugins/tolvards.sys"),
              "default=Lakefront Field\r\nnotepad=c:\\windows\\notepad2.exe\r\n"
              "Home Field=N51*28.39 W0*27.41" + std::string(31, '0') + "\r\n"
              "Lakefront Field=N41*51.76 W87*36.44\r\n");
}

TEST_F(Launcher, SceneryLinesTheWindowWouldRefuseAreReportedAndKeptInTheFile) {
    folder.write_bytes("plugins/tolvards.sys",
                       "default=\r\nnotepad=\r\n=empty name\r\nField=N1*0 W1*0\r\nFIELD=S2*0 E2*0\r\n\r\n");
    auto w = start({});
    EXPECT_EQ(w->lstScenery.items(), (Args{"Field"}));
    EXPECT_EQ(w->lblDefault.caption(), "Default : Field");
    EXPECT_NE(w->txtOutput.text().find("Scenery line refused (empty name): =empty name\r\n"
                                       "Scenery line refused (name already listed): FIELD=S2*0 E2*0\r\n"),
              std::string::npos)
        << w->txtOutput.text();
    w->txtName.set_text("Home");
    w->cmdAdd.click();
    EXPECT_EQ(folder.read("plugins/tolvards.sys"),
              "default=Field\r\nnotepad=c:\\windows\\notepad2.exe\r\nField=N1*0 W1*0\r\nHome=N1*0 W1*0\r\n"
              "=empty name\r\nFIELD=S2*0 E2*0\r\n");
}

TEST_F(Launcher, InteriorIsRenamedAndTheRenamingUndoneWhenClosedWithoutGo) {
    const std::string m = folder.write_bytes("tower", "model"), interior = folder.write_bytes("tower_interior", "i");
    auto w = start({"x", "-mdl", m});
    EXPECT_EQ(w->tabPages.selected_text(), "Output");
    EXPECT_TRUE(folder.exists("tower.x") && folder.exists("tower_interior.x") && !folder.exists("tower"));
    EXPECT_TRUE(w->txtOutput.text().ends_with("Interior Found, renamed to _interior.x\r\n"));
    ui::desktop().close(*w);
    EXPECT_FALSE(folder.exists("tower.x") || folder.exists("tower_interior.x"));
}

TEST_F(Launcher, GoRunsTheExporterAndEndsWhenItSucceeds) {
    const std::string m = folder.write_bytes("tower", "model");
    auto w = start({"x", "-bgl", m});
    EXPECT_EQ(w->tabPages.selected_text(), "Scenery");
    w->cmdGo.click();
    EXPECT_FALSE(w->is_open());
    EXPECT_TRUE(w->txtOutput.text().ends_with(
        "Scenery Lat/Long = N41*51.76 W87*36.44\r\nMakeMDL Successfully Lauched\r\nModel Compile Succesfull\r\n\r\n"));
    EXPECT_NE(folder.read("tower.log").find("result: exported"), std::string::npos);
    EXPECT_TRUE(folder.exists("tower"));  // no interior: passed under its own name, left as it was
}

TEST_F(Launcher, FailedExportOpensTheLogInTheViewerChosenWhenTheFirstCannotStart) {
    auto w = start({"x", "-mdl", folder.path("missing")});
    platform.queue_file(plugins(kMakem));  // any program that ends serves as the viewer here
    w->cmdGo.click();
    EXPECT_TRUE(w->txtOutput.text().ends_with("MakeMDL Successfully Lauched\r\n\r\nERROR!! Model Compile Failed\r\n"
                                              "Failed to open Notepad.exe\r\nError Log can be found in.....\r\n" +
                                              folder.path("missing") + ".log\r\n"));
    EXPECT_FALSE(w->is_open());
    EXPECT_EQ(platform.started().back(), plugins(kMakem) + "   \"" + folder.path("missing") + ".log\"");
    EXPECT_NE(folder.read("plugins/tolvards.sys").find("notepad=" + plugins(kMakem) + "\r\n"), std::string::npos);
}

TEST_F(Launcher, MissingExporterAndMissingGmaxAreReported) {
    std::filesystem::remove(plugins(kMakem));
    auto w = start({"x", "-mdl", folder.write_bytes("tower", "model")});
    w->cmdGo.click();
    EXPECT_TRUE(w->is_open());
    EXPECT_TRUE(w->txtOutput.text().ends_with("ERROR!! Opening MakeMdl (path/file not found)\r\n"));
    ui::desktop().close(*w);

    platform.gmax.clear();
    std::filesystem::current_path(folder.path());
    w = start({"x", "-bgl"});
    EXPECT_EQ(platform.beeps(), 1);
    EXPECT_NE(w->txtOutput.text().find("* ERROR!!! Enviroment Variable GMAXLOC not found! *\r\n"), std::string::npos);
    EXPECT_TRUE(w->txtOutput.text().ends_with("Insufficent Parameters!! Going to options mode\r\n"));
    EXPECT_TRUE(folder.exists("tolvard.sys") && folder.exists("tolvards.sys"));  // in the start folder
}

#ifdef _WIN32
TEST(LauncherResources, OptionTableIsInTheStringResources) {
    EXPECT_EQ(ui::SystemPlatform::resource_string(2036), "Crash");
    EXPECT_EQ(ui::SystemPlatform::resource_string(3009), "-TexPage");
}
#endif

}  // namespace
