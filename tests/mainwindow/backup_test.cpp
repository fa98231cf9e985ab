// Backup, Restore and Compile BGL through the main window's buttons.
#include "../codegen/support.h"
#include "tests/support/bglc.h"
#include "workbench/form1.h"
#include "workbench/pair_backup.h"
#include "workbench/paths.h"

namespace {

class Backups : public cg_test::PlatformFixture {
protected:
    Backups() {
        base = folder.path("my pair");
        form.OutputFile.set_text(base);
    }
    void write_pair() {
        folder.write("my pair.asm", {"header", "        include my pair_0.asm"});
        folder.write("my pair_0.asm", {"object", "        BGL_END"});
    }
    std::string base;
    wb::Form1 form;
};

TEST_F(Backups, OnlyTheFilesThatExistAreCopiedEachWithOneEmptyLineMore) {
    folder.write("my pair_0.asm", {"object", "        BGL_END"});
    form.cmdBackup.click();
    EXPECT_TRUE(boxes().empty());
    EXPECT_FALSE(folder.exists("my pair_azm.bck"));
    EXPECT_EQ(folder.read("my pair_asm.bck"), "object\r\n        BGL_END\r\n\r\n");
    EXPECT_FALSE(platform.busy());
}

TEST_F(Backups, ASecondBackupAsksAndNoLeavesBothBackupsUntouched) {
    write_pair();
    form.cmdBackup.click();
    const std::string azm = folder.read("my pair_azm.bck"), asm_ = folder.read("my pair_asm.bck");
    folder.write("my pair.asm", {"changed header"});
    folder.write("my pair_0.asm", {"changed object"});

    platform.queue_answer(ui::Answer::No);
    form.cmdBackup.click();
    ASSERT_EQ(platform.shown().size(), 1u);
    EXPECT_EQ(platform.shown()[0].text, "A previous backup of the file exists. Do you want to overwrite it ?");
    EXPECT_EQ(platform.shown()[0].icon, ui::Icon::Exclamation);
    EXPECT_EQ(folder.read("my pair_azm.bck"), azm);
    EXPECT_EQ(folder.read("my pair_asm.bck"), asm_);

    platform.queue_answer(ui::Answer::Yes);
    form.cmdBackup.click();
    EXPECT_EQ(folder.read("my pair_azm.bck"), "changed header\r\n\r\n");
    EXPECT_EQ(folder.read("my pair_asm.bck"), "changed object\r\n\r\n");
}

TEST_F(Backups, RestoreAsksThenPutsTheBackupsBack) {
    write_pair();
    form.cmdBackup.click();
    folder.write("my pair_0.asm", {"; processed"});

    platform.queue_answer(ui::Answer::No);
    form.cmdRestore.click();
    EXPECT_EQ(boxes().back(), "Do you want to overwrite the working files ?");
    EXPECT_EQ(folder.read("my pair_0.asm"), "; processed\r\n");

    platform.queue_answer(ui::Answer::Yes);
    form.cmdRestore.click();
    // Each copy ends with one empty line more: the working file has two now.
    EXPECT_EQ(folder.read("my pair_0.asm"), "object\r\n        BGL_END\r\n\r\n\r\n");
    EXPECT_EQ(boxes().size(), 2u);
}

TEST_F(Backups, RestoreWithoutBackupsChangesNothingAndSaysNothing) {
    write_pair();
    platform.queue_answer(ui::Answer::Yes);
    form.cmdRestore.click();
    EXPECT_EQ(boxes().size(), 1u);  // the question only
    EXPECT_EQ(folder.read("my pair_0.asm"), "object\r\n        BGL_END\r\n");
    EXPECT_EQ(folder.read("my pair.asm"), "header\r\n        include my pair_0.asm\r\n");
}

TEST_F(Backups, ACopyThatCannotBeWrittenSaysSoAndLeavesNoHalfFile) {
    write_pair();
    // A folder where the backup should go: the copy cannot replace it.
    std::filesystem::create_directory(folder.path("my pair_asm.bck"));
    form.cmdBackup.click();
    ASSERT_FALSE(boxes().empty());
    EXPECT_TRUE(boxes().back().starts_with("Error while copying: ")) << boxes().back();
    EXPECT_FALSE(platform.busy());
    EXPECT_TRUE(std::filesystem::is_directory(folder.path("my pair_asm.bck")));
    // Nothing but the pair, the header's backup and that folder: no temporary file left behind.
    int entries = 0;
    for (const auto& e : std::filesystem::directory_iterator(folder.path())) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 4);
}

TEST_F(Backups, CompileWritesTheBatchFileWithQuotedPathsAndStartsIt) {
    put_bglc(folder);
    form.cmdCompile.click();
    const std::string p = folder.path();
    EXPECT_EQ(folder.read("comp.bat"), "@echo off\r\n\"" + p + "\\bglc\" /bgl \"" + base + ".asm\"  \"" + base +
                                           ".bgl\"\r\nPause\r\n");
    ASSERT_EQ(platform.started().size(), 1u);
#ifdef _WIN32
    EXPECT_EQ(platform.started()[0], "\"" + p + "\\comp.bat\"");
#else
    EXPECT_EQ(platform.started()[0], "\"" + p + "/comp.bat\"");
#endif
    EXPECT_TRUE(boxes().empty());
}

TEST_F(Backups, CompileWithoutBglcSaysWhereItComesFromAndWritesNothing) {
    folder.write("comp.bat", {"an earlier batch"});
    form.cmdCompile.click();
    ASSERT_EQ(platform.shown().size(), 1u);
    EXPECT_EQ(platform.shown()[0].icon, ui::Icon::Exclamation);
    const std::string& text = platform.shown()[0].text;
    EXPECT_TRUE(text.starts_with("BGLC, the BGL compiler, is missing: there is no " + wb::bglc_file_name() +
                                 " in the program folder")) << text;
    EXPECT_NE(text.find("from the simulator's SDK into the program folder\r\n" + folder.path() + "\r\n"),
              std::string::npos) << text;
    EXPECT_NE(text.find("KZV_LAKE_ST"), std::string::npos);
    EXPECT_EQ(folder.read("comp.bat"), "an earlier batch\r\n");
    EXPECT_TRUE(platform.started().empty());
}

TEST(CompileBatch, ThreeLinesWithTwoBlanksBetweenSourceAndTarget) {
    EXPECT_EQ(wb::compile_batch_text("C:\\Gor vane", "C:\\My Models\\hangar"),
              "@echo off\r\n\"C:\\Gor vane\\bglc\" /bgl \"C:\\My Models\\hangar.asm\"  "
              "\"C:\\My Models\\hangar.bgl\"\r\nPause\r\n");
}

}  // namespace
