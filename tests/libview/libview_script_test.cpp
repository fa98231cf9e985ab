// Scripts of user actions against the library browser and the identifier editor, compared with
// their expected output (refresh with UPDATE=1).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "libtool/lib_view.h"
#include "tests/libview/libview_test_support.h"
#include "ui/script/script_runner.h"

namespace {

using namespace libview_test;

class ScriptTestPlatform : public TestPlatform {
public:
    ScriptTestPlatform(std::ostream* out, std::string folder) : TestPlatform(out), folder_(std::move(folder)) {}
    std::string environment(const std::string& name) override {
        return name == "LIBVIEW_DIR" ? folder_ : TestPlatform::environment(name);
    }

private:
    std::string folder_;
};

std::string replace_all(std::string text, const std::string& from, const std::string& to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

void run_script(const std::string& name, const std::function<void(ScratchFolder&)>& prepare) {
    ScratchFolder dir("gorvane_libview_script_" + name);
    prepare(dir);
    std::ostringstream out;
    ScriptTestPlatform platform(&out, dir.path().string());
    platform.set_program_folder(dir.path().string());
    platform.set_clock({2026, 12, 8, 9, 30, 0});
    ui::set_platform(&platform);
    libtool::show_library_browser(nullptr);
    const std::string base = GORVANE_SOURCE_DIR "/tests/libview/" + name;
    std::ifstream script(base + ".gvs", std::ios::binary);
    ASSERT_TRUE(script) << base << ".gvs";
    ui::ScriptDriver driver;
    ui::ScriptRunner runner(platform, out, driver);
    const int status = runner.run(script);
    if (ui::Window* w = ui::desktop().find("LibView")) ui::desktop().close(*w);
    ui::set_platform(nullptr);

    // One text on every system: the scratch folder named, and one kind of separator.
    std::string got = replace_all(out.str(), dir.path().string(), "${LIBVIEW_DIR}");
    for (std::size_t i = 0; i + 1 < got.size(); ++i)
        if (got[i] == '\\' && got[i + 1] != 'n') got[i] = '/';
    got += "exit " + std::to_string(status) + "\n";
    if (const char* update = std::getenv("UPDATE"); update && std::string(update) == "1") {
        std::ofstream(base + ".out", std::ios::binary) << got;
        return;
    }
    std::ifstream expected_file(base + ".out", std::ios::binary);
    std::stringstream expected;
    expected << expected_file.rdbuf();
    EXPECT_EQ(got, expected.str());
}

TEST(BrowserScripts, AnalyseSearchUniversalModifyRevert) {
    run_script("browser", [](ScratchFolder& dir) {
        std::filesystem::create_directories(dir.path() / "tree" / "sub");
        dir.write("tree/lib.bgl", library({object(1, "NewObject"), object(2, "Hangar", 32768)}));
        // one library per folder: the listing's order does not depend on the file system's
        dir.write("tree/sub/packed.bgl", compressed(library({object(3, "Packed")})));
        dir.write("tree/scenery.bgl", object_bgl());
    });
}

}  // namespace
