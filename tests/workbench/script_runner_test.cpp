#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "ui/script/script_runner.h"

namespace {

// A small window to drive: a box that copies into another, a question button, a list.
struct Demo : ui::Window {
    ui::Control& In = text_box("In");
    ui::Control& Out = text_box("Out");
    ui::Control& Ask = button("Ask", "Ask me");
    ui::Control& List = list_box("List");
    ui::Control& Check = check_box("Check", "Tick");
    ui::Control& Off = button("Off", "Later");
    std::string answer;
    Demo() : ui::Window("Demo", "Demo", 100, 100) {
        In.on_change = [this] { Out.set_text(In.text()); };
        Ask.on_click = [this] {
            auto a = ui::platform().message_box({"Sure?\r\nReally?", "", ui::Icon::Question, ui::Buttons::YesNo});
            answer = ui::answer_name(a);
        };
        List.add_item("alpha");
        List.add_item("beta");
        Off.set_enabled(false);
    }
};

struct Runner : ::testing::Test {
    std::ostringstream out;
    ui::ScriptPlatform platform{&out};
    ui::ScriptDriver driver;
    std::unique_ptr<Demo> demo;
    void SetUp() override {
        ui::set_platform(&platform);
        demo = std::make_unique<Demo>();
        ui::desktop().show(*demo);
    }
    void TearDown() override {
        ui::desktop().close(*demo);
        ui::set_platform(nullptr);
    }
    int run(const std::string& script) {
        std::istringstream in(script);
        ui::ScriptRunner r(platform, out, driver);
        return r.run(in);
    }
};

TEST_F(Runner, DrivesControlsAndPrintsBoxesWithTheirAnswers) {
    EXPECT_EQ(run("window Demo\nset In hello\nexpect Out hello\nanswer no\nclick \"Ask me\"\n"
                  "select List #1\nexpect List beta\nexpect List.items alpha|beta\ncheck Check 1\n"
                  "expect Check 1\nprint List\n"),
              0)
        << out.str();
    EXPECT_EQ(demo->answer, "no");
    EXPECT_NE(out.str().find("[box question] Gorvane: Sure?\\nReally? -> no"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("List: 2 items\n    alpha\n  > beta\n"), std::string::npos) << out.str();
}

// A window destroyed while open (as a test's window may be) leaves the desktop: closing the one
// it owned activates nothing that is gone.
TEST(Desktop, AWindowDestroyedWhileOpenIsForgotten) {
    auto owner = std::make_unique<Demo>();
    Demo dialog;
    ui::desktop().show(*owner);
    ui::desktop().show(dialog, true, owner.get());
    const ui::Window* gone = owner.get();
    owner.reset();
    for (const ui::Window* w : ui::desktop().open_windows()) EXPECT_NE(w, gone);
    EXPECT_EQ(dialog.owner(), nullptr);
    EXPECT_TRUE(ui::desktop().close(dialog));
}

TEST_F(Runner, FailuresGiveTheirExitStatus) {
    EXPECT_EQ(run("window Demo\nexpect Out something\n"), 1);
    EXPECT_NE(out.str().find("expected Out to be \"something\" but it is \"\""), std::string::npos);
    EXPECT_EQ(run("window Demo\nclick Ask\n"), 2);  // a question with no answer queued
    EXPECT_NE(out.str().find("no answer was queued"), std::string::npos);
    EXPECT_EQ(run("window Demo\nclick Nobody\n"), 2);
    EXPECT_EQ(run("window Demo\nclick Off\n"), 2);  // disabled
    EXPECT_EQ(run("window Demo\nselect List gamma\n"), 2);
    EXPECT_EQ(run("window Demo\nanswer yes\n"), 1);  // an answer nobody took
    EXPECT_EQ(run("frobnicate x\n"), 2);
}

}  // namespace
