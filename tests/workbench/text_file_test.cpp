#include <filesystem>

#include "tests/support/scratch.h"
#include "ui/fileio.h"
#include "workbench/text_file.h"

using testsupport::PlatformFixture;
using wb::LineArray;

namespace {

struct TextFile : PlatformFixture {};

TEST_F(TextFile, LoadCountsLinesAndSaveAddsTheEmptyLastElement) {
    folder.write_bytes("three.txt", "a\r\nb\r\nc\r\n");
    LineArray lines;
    EXPECT_EQ(wb::load_file2array(path("three.txt"), lines), 4);
    EXPECT_EQ(lines[0], "4");
    EXPECT_EQ(lines[1], "a");
    EXPECT_EQ(lines[3], "c");
    EXPECT_EQ(lines[4], "");
    wb::save_array2file(path("out.txt"), lines);
    EXPECT_EQ(folder.read("out.txt"), "a\r\nb\r\nc\r\n\r\n");
}

TEST_F(TextFile, EmptyFileLoadsAsNoLinesAndSavesOneEmptyLine) {
    folder.write_bytes("empty.txt", "");
    LineArray lines;
    EXPECT_EQ(wb::load_file2array(path("empty.txt"), lines), 1);
    EXPECT_EQ(lines[0], "1");
    wb::save_array2file(path("out.txt"), lines);
    EXPECT_EQ(folder.read("out.txt"), "\r\n");
}

TEST_F(TextFile, LineEndsOfEveryKindAndHighBytesAreKept) {
    // CR only, CR LF, LF only, a last line without terminator, and bytes above 127.
    folder.write_bytes("mixed.txt", "one\rtwo\r\nthr\xe9\xff\nfour");
    LineArray lines;
    ASSERT_EQ(wb::load_file2array(path("mixed.txt"), lines), 5);
    EXPECT_EQ(lines[1], "one");
    EXPECT_EQ(lines[2], "two");
    EXPECT_EQ(lines[3], "thr\xe9\xff");
    EXPECT_EQ(lines[4], "four");
    folder.write_bytes("blank.txt", "a\r\n\r\n");
    EXPECT_EQ(wb::load_file2array(path("blank.txt"), lines), 3);
    EXPECT_EQ(lines[2], "");
}

TEST_F(TextFile, MissingFileShowsItsBoxAndLeavesTheArray) {
    LineArray lines = LineArray::from_lines({"kept"});
    EXPECT_EQ(wb::load_file2array(path("nope.txt"), lines), 0);
    EXPECT_EQ(last_box(), "Error ! File does not exist: (" + path("nope.txt") + ").");
    EXPECT_EQ(lines[1], "kept");
    // A folder is not a file.
    EXPECT_EQ(wb::load_file2array(folder.path(), lines), 0);
}

TEST_F(TextFile, FailedSaveKeepsThePreviousFileWhole) {
    folder.write_bytes("target.txt", "precious\r\n");
    LineArray lines = LineArray::from_lines({"new"});
    EXPECT_THROW(wb::save_array2file(path("no/such/folder/x.txt"), lines), ui::RuntimeError);
    // A target that is a folder cannot be replaced; nothing is left beside it.
    std::filesystem::create_directory(path("dir.txt"));
    EXPECT_THROW(wb::save_array2file(path("dir.txt"), lines), ui::RuntimeError);
    EXPECT_EQ(folder.read("target.txt"), "precious\r\n");
    int files = 0;
    for (auto& e : std::filesystem::directory_iterator(folder.path())) files += e.is_regular_file();
    EXPECT_EQ(files, 1);
}

TEST_F(TextFile, AReadOnlyFileIsNotReplacedAndAReplacedFileKeepsItsPermissions) {
    namespace fs = std::filesystem;
    folder.write_bytes("ro.txt", "read only\r\n");
    fs::permissions(path("ro.txt"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    try {
        ui::write_file_atomic(path("ro.txt"), "new");
        ADD_FAILURE() << "replaced";
    } catch (const ui::RuntimeError& e) {
        EXPECT_EQ(e.number, 75);
    }
    EXPECT_EQ(folder.read("ro.txt"), "read only\r\n");
    fs::permissions(path("ro.txt"), fs::perms::owner_write, fs::perm_options::add);
#ifndef _WIN32
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    folder.write_bytes("kept.txt", "old");
    fs::permissions(path("kept.txt"), mode);
    ui::write_file_atomic(path("kept.txt"), "new");
    EXPECT_EQ(folder.read("kept.txt"), "new");
    EXPECT_EQ(fs::status(path("kept.txt")).permissions() & fs::perms::all, mode);
#endif
}

TEST_F(TextFile, CopyOfAMissingSourceWritesNothing) {
    folder.write_bytes("backup.txt", "old backup\r\n");
    EXPECT_FALSE(wb::copy_text_file(path("missing.txt"), path("backup.txt")));
    EXPECT_EQ(folder.read("backup.txt"), "old backup\r\n");
    folder.write_bytes("src.txt", "x\ny");
    EXPECT_TRUE(wb::copy_text_file(path("src.txt"), path("backup.txt")));
    EXPECT_EQ(folder.read("backup.txt"), "x\r\ny\r\n\r\n");
}

TEST(LineArray, SubscriptOutsideRaisesError9) {
    LineArray lines = LineArray::from_lines({"a"});
    try {
        (void)lines[5];
        FAIL();
    } catch (const ui::RuntimeError& e) {
        EXPECT_EQ(e.number, 9);
        EXPECT_EQ(e.description, "Subscript out of range");
    }
}

}  // namespace
