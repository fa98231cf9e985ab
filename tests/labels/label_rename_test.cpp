// The label renamer: what it renames, what it reports in the main window, and when it saves.
#include "../codegen/support.h"
#include "labels/frm_label_rename.h"
#include "workbench/form1.h"

namespace {

class LabelRename : public cg_test::PlatformFixture {
protected:
    LabelRename() {
        path = folder.write("two_0.asm", {"obj1 label BGLCODE", "    BGL_JUMP_32 obj10", "obj10 label BGLCODE",
                                          "    BGL_CALL obj1", "; obj1, obj10 and obj100 are named here"});
        tool.InputFile.set_text(path);
    }
    // Message window lines, oldest first.
    std::vector<std::string> messages() const {
        std::vector<std::string> r = wb::split_lines(form.MsgText.text());
        return {r.rbegin(), r.rend()};
    }
    wb::Form1 form;  // owns the message window
    labels::FrmLabelRename tool{[this] { return form.InputFile.text(); }};
    std::string path;
};

TEST_F(LabelRename, EveryLabelAndEveryReferenceGetsTheSuffixOnlyWhereTheNameEnds) {
    platform.queue_answer(ui::Answer::Yes);
    tool.lblOpen.click();
    EXPECT_EQ(folder.read("two_0.asm"),
              "obj1FF1 label BGLCODE\r\n    BGL_JUMP_32 obj10FF1\r\nobj10FF1 label BGLCODE\r\n    BGL_CALL obj1FF1\r\n"
              "; obj1FF1, obj10FF1 and obj100 are named here\r\n\r\n");
    EXPECT_EQ(messages(), (std::vector<std::string>{"Open file returned 6 lines of code", "Labels mofilied : 2",
                                                    "File saved"}));
    ASSERT_EQ(platform.shown().size(), 1u);
    EXPECT_EQ(platform.shown()[0].text, "Do you want to save the changes ? ");
    EXPECT_EQ(platform.shown()[0].title, "File replace");
    EXPECT_EQ(platform.shown()[0].buttons, ui::Buttons::YesNo);
    EXPECT_FALSE(platform.busy());
}

TEST_F(LabelRename, NoLeavesTheFileAsItWasAfterReportingTheLabels) {
    const std::string before = folder.read("two_0.asm");
    platform.queue_answer(ui::Answer::No);
    tool.lblAdition.set_text("X");
    tool.lblOpen.click();
    EXPECT_EQ(folder.read("two_0.asm"), before);
    EXPECT_EQ(messages(), (std::vector<std::string>{"Open file returned 6 lines of code", "Labels mofilied : 2"}));
}

TEST_F(LabelRename, RunningTwiceAppendsTheSuffixTwice) {
    platform.queue_answer(ui::Answer::Yes);
    platform.queue_answer(ui::Answer::Yes);
    tool.lblOpen.click();
    tool.lblOpen.click();
    EXPECT_TRUE(folder.read("two_0.asm").starts_with("obj1FF1FF1 label BGLCODE\r\n    BGL_JUMP_32 obj10FF1FF1\r\n"));
}

TEST_F(LabelRename, CommentLinesDefineNoLabelAndTheLibraryMarkStays) {
    path = folder.write("lib_0.asm", {"; gorvane labels  !!!! DO NOT REMOVE THIS LINE !!!", "apron_top label BGLCODE",
                                      "  ; a comment about label names", "    BGL_JUMP_32 apron_top"});
    tool.InputFile.set_text(path);
    platform.queue_answer(ui::Answer::Yes);
    tool.lblOpen.click();
    EXPECT_EQ(folder.read("lib_0.asm"), "; gorvane labels  !!!! DO NOT REMOVE THIS LINE !!!\r\napron_topFF1 label BGLCODE\r\n"
                                        "  ; a comment about label names\r\n    BGL_JUMP_32 apron_topFF1\r\n\r\n");
    EXPECT_EQ(messages()[1], "Labels mofilied : 1");
}

TEST_F(LabelRename, AnEmptyPathFailsAtLoading) {
    tool.InputFile.set_text("");
    tool.lblOpen.click();
    ASSERT_EQ(platform.shown().size(), 2u);
    EXPECT_EQ(platform.shown()[0].text, "Error ! File does not exist: ().");
    EXPECT_EQ(platform.shown()[1].text, "File returns no lines.");
    EXPECT_TRUE(messages().empty());
}

TEST_F(LabelRename, FiveThousandLabelsAndANameUsedAHundredThousandTimes) {
    std::vector<std::string> big;
    for (int i = 0; i < 5000; ++i) big.push_back("l" + std::to_string(i) + " label BGLCODE");
    for (int i = 0; i < 100000; ++i) big.push_back("    BGL_JUMP_32 l4999");
    tool.InputFile.set_text(folder.write("big_0.asm", big));
    platform.queue_answer(ui::Answer::Yes);
    tool.lblOpen.click();
    EXPECT_EQ(messages()[1], "Labels mofilied : 5000");
    const std::string saved = folder.read("big_0.asm");
    EXPECT_TRUE(saved.starts_with("l0FF1 label BGLCODE\r\nl1FF1 label BGLCODE\r\n"));
    EXPECT_NE(saved.find("\r\nl4999FF1 label BGLCODE\r\n    BGL_JUMP_32 l4999FF1\r\n"), std::string::npos);
    EXPECT_TRUE(saved.ends_with("    BGL_JUMP_32 l4999FF1\r\n    BGL_JUMP_32 l4999FF1\r\n\r\n"));
    EXPECT_EQ(saved.find("l4999\r"), std::string::npos);  // no use of it left unrenamed
}

TEST_F(LabelRename, ActivationTakesTheMainWindowsObjectFileAndTheBrowserItsChoice) {
    form.InputFile.set_text(folder.path("hangar"));
    ui::desktop().show(form);
    tool.open(form);
    EXPECT_EQ(tool.InputFile.text(), folder.path("hangar") + "_0.asm");
    EXPECT_EQ(tool.caption(), "Labels Rename tool");

    platform.queue_file(std::string("C:\\m\\other.azm"));
    tool.cmdBrowse.click();
    EXPECT_EQ(tool.InputFile.text(), "C:\\m\\other.azm");
    platform.queue_file(std::nullopt);
    tool.cmdBrowse.click();
    EXPECT_EQ(tool.InputFile.text(), "C:\\m\\other.azm");
    EXPECT_TRUE(platform.shown().empty());
    ui::desktop().close(tool);
    ui::desktop().close(form);
}

}  // namespace
