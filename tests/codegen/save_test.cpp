// Save: queued blocks merged before their insertion lines, the header and the work files.
#include <filesystem>

#include "codegen/engine.h"
#include "support.h"
#include "ui/errors.h"
#include "workbench/save_pair.h"

namespace {

using cg_test::lines;

wb::SourcePair numbered_pair(int n) {
    wb::SourcePair pair;
    std::vector<std::string> l;
    for (int i = 1; i <= n; ++i) l.push_back("line " + std::to_string(i));
    pair.asm_lines = lines(l);
    pair.azm_lines = lines({"header  label   word", "        dd      (offset OBJECT_DATA) - (offset header)",
                            "        dw      33 dup(0)", "OBJECT_DATA     label   word", "        include x_0.asm"});
    return pair;
}

// Queues a block the way Process does.
void queue(wb::SourcePair& pair, long index, const std::vector<std::string>& block) {
    wb::LineArray b = lines(block);
    b.set_top(static_cast<long>(block.size()));
    cg::queue_insertion(pair.insertions, pair.code, b, index);
}

std::string crlf(const std::vector<std::string>& l) {
    std::string s;
    for (const auto& x : l) s += x + "\r\n";
    return s;
}

TEST(MergeQueuedBlocks, EachBlockStandsBeforeItsInsertionLine) {
    wb::SourcePair pair = numbered_pair(400);
    queue(pair, 300, {"second a", "second b"});
    queue(pair, 120, {"first"});
    auto out = wb::merge_queued_blocks(pair);
    ASSERT_EQ(out.size(), 400u + 3u + 1u);
    EXPECT_EQ(out[118], "line 119");
    EXPECT_EQ(out[119], "first");
    EXPECT_EQ(out[120], "line 120");
    EXPECT_EQ(out[299], "line 299");
    EXPECT_EQ(out[300], "second a");
    EXPECT_EQ(out[301], "second b");
    EXPECT_EQ(out[302], "line 300");
    EXPECT_EQ(out[402], "line 400");
    EXPECT_EQ(out[403], "");  // the file ends with an empty line
}

TEST(MergeQueuedBlocks, BlocksAfterTheEndLineComeNewestFirst) {
    wb::SourcePair pair = numbered_pair(5);
    // Two blocks queued by Process for the line after the end line: the newer one comes first.
    queue(pair, 5, {"effects"});
    queue(pair, 5, {"library"});
    auto out = wb::merge_queued_blocks(pair);
    const std::vector<std::string> expected = {"line 1", "line 2", "line 3", "line 4", "library", "effects",
                                               "line 5", ""};
    EXPECT_EQ(out, expected);
}

TEST(MergeQueuedBlocks, AnIdentifierTheQueueNeverIssuedIsAnError) {
    wb::SourcePair pair = numbered_pair(5);
    queue(pair, 2, {"x"});
    pair.insertions.row(1).id = 7;
    EXPECT_THROW(wb::merge_queued_blocks(pair), ui::RuntimeError);
}

class SavePair : public cg_test::PlatformFixture {};

TEST_F(SavePair, WritesTheObjectFileAndTheChangedHeader) {
    wb::SourcePair pair = numbered_pair(3);
    queue(pair, 2, {"new"});
    pair.header_changed = true;
    pair.azm_lines[1] = "changed header";
    auto r = wb::save_regenerated_pair(pair, folder.path("out"));
    EXPECT_TRUE(r.object_written && r.header_written && r.blocks_merged);
    EXPECT_EQ(folder.read("out_0.asm"), crlf({"line 1", "new", "line 2", "line 3", ""}));
    EXPECT_EQ(folder.read("out.asm").substr(0, 16), "changed header\r\n");
}

TEST_F(SavePair, AnUnchangedHeaderIsNotRewritten) {
    wb::SourcePair pair = numbered_pair(3);
    queue(pair, 2, {"new"});
    folder.write("out.asm", {"the author's header"});
    auto r = wb::save_regenerated_pair(pair, folder.path("out"));
    EXPECT_FALSE(r.header_written);
    EXPECT_EQ(folder.read("out.asm"), "the author's header\r\n");
}

TEST_F(SavePair, NothingQueuedAndNoWorkFileWritesNothing) {
    wb::SourcePair pair = numbered_pair(3);
    folder.write("tmpSurf.txt", {"SURFACE_SUB label word"});
    auto r = wb::save_regenerated_pair(pair, folder.path("out"));
    EXPECT_FALSE(r.object_written || r.header_written || r.misc_merged);
    EXPECT_FALSE(folder.exists("out_0.asm"));
    EXPECT_FALSE(folder.exists("out.asm"));
}

TEST_F(SavePair, WorkFilesAreMergedIntoTheHeaderAndAppendedToTheObjectFile) {
    wb::SourcePair pair = numbered_pair(2);
    folder.write("out.asm", pair.azm_lines.lines());
    folder.write("tmpMisc.asm", {"; landing areas", "MISC_DATA label word", "    db 1"});
    folder.write("tmpSurf.txt", {"SURF label word", "    BGL_RETURN"});
    auto r = wb::save_regenerated_pair(pair, folder.path("out"));
    EXPECT_TRUE(r.misc_merged);
    EXPECT_FALSE(r.blocks_merged);
    EXPECT_EQ(folder.read("out_0.asm"), crlf({"line 1", "line 2", "", "SURF label word", "    BGL_RETURN", ""}));
    EXPECT_EQ(folder.read("out.asm"),
              crlf({"header  label   word", "        dd      (offset OBJECT_DATA) - (offset header)",
                    "    dw      20 dup(0)", "    dd      (offset MISC_DATA) - (offset header)",
                    "    dw      11 dup(0)", "OBJECT_DATA     label   word", "        include x_0.asm", "",
                    "MISC_DATA label word", "    db 1", ""}));
}

// Both files of the pair or neither: a header that cannot be replaced (a folder of its name, a
// read-only file) leaves the object file as it was.
TEST_F(SavePair, AHeaderThatCannotBeWrittenLeavesBothFilesAsTheyWere) {
    namespace fs = std::filesystem;
    wb::SourcePair pair = numbered_pair(3);
    queue(pair, 2, {"new"});
    pair.header_changed = true;
    folder.write("out_0.asm", {"previous object"});
    auto save_fails = [&] {
        try {
            wb::save_regenerated_pair(pair, folder.path("out"));
            ADD_FAILURE() << "saved";
        } catch (const ui::RuntimeError& e) {
            EXPECT_EQ(e.number, 75);
        }
        EXPECT_EQ(folder.read("out_0.asm"), "previous object\r\n");
    };
    fs::create_directory(folder.path("out.asm"));
    save_fails();
    fs::remove(folder.path("out.asm"));
    folder.write("out.asm", {"read-only header"});
    fs::permissions(folder.path("out.asm"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    save_fails();
    EXPECT_EQ(folder.read("out.asm"), "read-only header\r\n");
    fs::permissions(folder.path("out.asm"), fs::perms::owner_write, fs::perm_options::add);
    int files = 0;
    for (auto& e : fs::directory_iterator(folder.path())) files += e.is_regular_file();
    EXPECT_EQ(files, 2);  // no work file of the save is left beside them
}

TEST_F(SavePair, AFailedSaveLeavesThePreviousFilesWhole) {
    wb::SourcePair pair = numbered_pair(3);
    queue(pair, 2, {"new"});
    pair.insertions.row(1).id = 9;  // never issued
    folder.write("out_0.asm", {"previous object"});
    EXPECT_THROW(wb::save_regenerated_pair(pair, folder.path("out")), ui::RuntimeError);
    EXPECT_EQ(folder.read("out_0.asm"), "previous object\r\n");

    // A header without the line that the miscellaneous data hangs on: nothing is written.
    wb::SourcePair other = numbered_pair(3);
    queue(other, 2, {"new"});
    folder.write("out.asm", {"no header fields here"});
    folder.write("tmpMisc.asm", {"MISC_DATA label word"});
    EXPECT_THROW(wb::save_regenerated_pair(other, folder.path("out")), ui::RuntimeError);
    EXPECT_EQ(folder.read("out_0.asm"), "previous object\r\n");
    EXPECT_EQ(folder.read("out.asm"), "no header fields here\r\n");
}

}  // namespace
