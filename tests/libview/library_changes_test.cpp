// Changes to a library: exact copies, universal bounds with their backup, reverting, and the
// identifier editor with its checks and log.
#include <gtest/gtest.h>

#include "libtool/frm_guid_mod.h"
#include "libtool/library_changes.h"
#include "tests/libview/libview_test_support.h"

namespace {

using namespace libtool;
using namespace libview_test;

Bytes bytes_of(const std::string& s) { return Bytes(s.begin(), s.end()); }

TEST(CopyFile, TheTargetBecomesAnExactCopy) {
    Bench bench("gorvane_libview_copy");
    const std::string longer = bench.write("long.bin", Bytes(100, 7));
    const std::string shorter = bench.write("short.bin", Bytes(10, 3));
    copy_file(shorter, longer);
    EXPECT_EQ(bench.read("long.bin"), std::string(10, '\3')) << "no old tail left behind";
    try {
        copy_file(bench.dir.file("missing.bin"), longer);
        FAIL() << "a missing source must raise";
    } catch (const ui::RuntimeError& e) {
        EXPECT_EQ(e.number, 53);
    }
    EXPECT_EQ(bench.read("long.bin"), std::string(10, '\3')) << "a failed copy leaves the target";
}

TEST(MakeUniversal, RewritesTheBoundsOnceBackedUpAndRevertRestores) {
    Bench bench("gorvane_libview_universal");
    Bytes original = library({object(1, "NewObject")});
    libtool::put_le(original, 2, 0x12345678, 4);
    bench.write("lib.bgl", original);
    LibView view;
    view.set_dir_path(bench.dir.path().string());
    pick(view, "lib.bgl");

    bench.platform.queue_answer(ui::Answer::No);
    view.Command5.click();
    EXPECT_EQ(bytes_of(bench.read("lib.bgl")), original) << "No changes nothing";
    EXPECT_FALSE(bench.exists("lib.bgl.bck"));

    bench.platform.queue_answer(ui::Answer::Yes);
    view.Command5.click();
    const Bytes changed = bytes_of(bench.read("lib.bgl"));
    ASSERT_EQ(changed.size(), original.size());
    EXPECT_TRUE(std::equal(kUniversalBounds.begin(), kUniversalBounds.end(), changed.begin()));
    EXPECT_TRUE(std::equal(original.begin() + 18, original.end(), changed.begin() + 18));
    EXPECT_EQ(bytes_of(bench.read("lib.bgl.bck")), original);
    EXPECT_EQ(bench.names(), (std::vector<std::string>{"lib.bgl", "lib.bgl.bck", "out.txt"}))
        << "no temporary file of any name is left";
    EXPECT_NE(std::find(view.File1.items().begin(), view.File1.items().end(), "lib.bgl.bck"),
              view.File1.items().end())
        << "the file list shows the backup";
    EXPECT_EQ(view.File1.selected_text(), "lib.bgl");

    // A second time: told about the backup, which keeps the state before the first change.
    bench.platform.forget();
    bench.platform.queue_answer(ui::Answer::Ok);
    bench.platform.queue_answer(ui::Answer::Yes);
    view.Command5.click();
    ASSERT_EQ(bench.platform.shown().size(), 2u);
    EXPECT_EQ(bench.platform.shown()[0].text,
              "A backup of this file already exists.\r\n You can use 'Revert' to restore original");
    EXPECT_EQ(bench.platform.shown()[1].buttons, ui::Buttons::YesNo);
    EXPECT_EQ(bytes_of(bench.read("lib.bgl.bck")), original);

    // Revert with the backup itself selected restores the library of the same name.
    pick(view, "lib.bgl.bck");
    bench.platform.forget();
    view.Command6.click();
    EXPECT_EQ(bytes_of(bench.read("lib.bgl")), original);
    EXPECT_FALSE(bench.exists("lib.bgl.bck"));
    ASSERT_EQ(bench.platform.shown().size(), 1u);
    EXPECT_EQ(bench.platform.shown()[0].text, "File restored.");

    pick(view, "lib.bgl");
    bench.platform.forget();
    view.Command6.click();
    ASSERT_EQ(bench.platform.shown().size(), 1u);
    EXPECT_EQ(bench.platform.shown()[0].text, "No backup file found. Nothing to do");
    EXPECT_EQ(bench.platform.shown()[0].icon, ui::Icon::Exclamation);
}

TEST(MakeUniversal, RefusesFilesThatAreNoLibrary) {
    Bench bench("gorvane_libview_universal_refused");
    const Bytes scenery = object_bgl();
    bench.write("scenery.bgl", scenery);
    bench.write("notes.txt", {'n'});
    LibView view;
    view.set_dir_path(bench.dir.path().string());
    pick(view, "notes.txt");
    view.Command5.click();
    EXPECT_TRUE(bench.platform.shown().empty()) << "a name without .BGL does nothing";
    pick(view, "scenery.bgl");
    view.Command5.click();
    ASSERT_EQ(bench.platform.shown().size(), 1u);
    EXPECT_EQ(bench.platform.shown()[0].text, "This is not a library file.\r\n Only library files can be modified");
    EXPECT_EQ(bytes_of(bench.read("scenery.bgl")), scenery);
    EXPECT_FALSE(bench.exists("scenery.bgl.bck"));
}

struct Editor {
    Bench bench;
    LibView view;
    Editor(const std::string& name, const Bytes& lib) : bench(name) {
        bench.write("lib.bgl", lib);
        view.set_dir_path(bench.dir.path().string());
        pick(view, "lib.bgl");
        bench.platform.forget();
        view.Command8.click();
    }
    ~Editor() { ui::desktop().close(view.guid_editor()); }
    FrmGUIDMod& editor() { return view.guid_editor(); }
};

TEST(IdentifierEditor, ListsObjectsAndWritesBothPlacesWithALogLine) {
    const Bytes original = library({object(1, "NewObject"), object(2, "Second")});
    Editor e("gorvane_libview_modify", original);
    FrmGUIDMod& ed = e.editor();
    ASSERT_TRUE(ed.is_open());
    EXPECT_TRUE(ed.is_modal());
    ASSERT_EQ(ed.guidList.list_count(), 2);
    EXPECT_EQ(ed.guidList.item(0), "0AAAAAAAA, 0AAAAAAAA, 0AAAAAAAA, 000000001, NewObject");
    EXPECT_EQ(ed.guidList.list_index(), 0);
    EXPECT_EQ(ed.guidID(4).text(), "000000001");
    ed.guidList.set_list_index(1);
    EXPECT_EQ(ed.guidID(4).text(), "000000002");
    EXPECT_EQ(ed.guidID(1).text(), "0AAAAAAAA");

    // The unchanged identifier already exists.
    e.bench.platform.queue_answer(ui::Answer::Yes);
    ed.Command1.click();
    ASSERT_EQ(e.bench.platform.shown().size(), 2u);
    EXPECT_EQ(e.bench.platform.shown()[1].text, "The modified ID already exists. Please select a different one.");
    EXPECT_EQ(bytes_of(e.bench.read("lib.bgl")), original);
    EXPECT_EQ(bytes_of(e.bench.read("lib.bgl.bck")), original) << "the backup comes with the confirmation";

    ed.guidID(1).set_text("12ab");
    ed.guidID(1).lost_focus();
    EXPECT_EQ(ed.guidID(1).text(), "0000012AB");
    ed.guidID(2).set_text("zz");
    ed.guidID(2).lost_focus();
    EXPECT_EQ(ed.guidID(2).text(), "000000000");
    e.bench.platform.forget();
    e.bench.platform.queue_answer(ui::Answer::Yes);
    ed.Command1.click();
    ASSERT_EQ(e.bench.platform.shown().size(), 1u) << e.bench.platform.shown().back().text;
    ASSERT_EQ(ed.guidList.list_count(), 2);
    EXPECT_EQ(ed.guidList.item(1), "0000012AB, 000000000, 0AAAAAAAA, 000000002, Second")
        << "the list is read again from the changed file";
    LibraryObjects objects;
    ASSERT_EQ(get_library_objects(e.bench.dir.file("lib.bgl"), objects), 2);
    EXPECT_EQ(objects[2].identifier, (Identifier{0x12AB, 0, 0xAAAAAAAA, 2}));
    const Bytes changed = bytes_of(e.bench.read("lib.bgl"));
    EXPECT_EQ(libtool::le_u32(changed, std::size_t(objects[2].index_position - 1 + 4)), 0x12ABu)
        << "the index entry changed too";
    EXPECT_EQ(e.bench.read("libLog.txt"),
              "2026-12-08 14:05:09 : lib.bgl--- Changed ID :0AAAAAAAA, 0AAAAAAAA, 0AAAAAAAA, "
              "000000002, Second to : 0000012AB, 000000000, 0AAAAAAAA, 000000002\r\n");
    EXPECT_EQ(bytes_of(e.bench.read("lib.bgl.bck")), original);
}

TEST(IdentifierEditor, DisagreeingHeaderAndIndexWriteNothing) {
    Bytes lib = library({object(1, "NewObject")});
    LibraryObjects objects;
    {
        BglFile f;
        f.open_memory(lib);
        BglHeader h;
        BglHeaderExt x;
        read_bgl_header(f, h, x);
        read_library_objects(f, h, objects);
    }
    libtool::put_le(lib, std::size_t(objects[1].index_position - 1 + 4 + 12), 5, 4);  // index says ...5
    Editor e("gorvane_libview_inconsistent", lib);
    FrmGUIDMod& ed = e.editor();
    ASSERT_EQ(ed.guidList.list_count(), 1);
    ed.guidID(1).set_text("1");
    e.bench.platform.queue_answer(ui::Answer::Yes);
    ed.Command1.click();
    ASSERT_EQ(e.bench.platform.shown().size(), 2u);
    EXPECT_EQ(e.bench.platform.shown()[1].text, "Error ! library file inconsistent !!");
    EXPECT_EQ(e.bench.platform.shown()[1].icon, ui::Icon::Critical);
    EXPECT_EQ(bytes_of(e.bench.read("lib.bgl")), lib) << "neither place written";
    EXPECT_FALSE(e.bench.exists("libLog.txt")) << "no change, no log line";
}

TEST(IdentifierEditor, ALogThatCannotBeWrittenStopsTheChangeBeforeTheLibrary) {
    const Bytes original = library({object(1, "NewObject")});
    Editor e("gorvane_libview_no_log", original);
    std::filesystem::create_directory(e.bench.dir.path() / "libLog.txt");  // cannot be appended to
    FrmGUIDMod& ed = e.editor();
    ed.guidID(1).set_text("1");
    e.bench.platform.queue_answer(ui::Answer::Yes);
    ed.Command1.click();
    ASSERT_EQ(e.bench.platform.shown().size(), 2u);
    EXPECT_EQ(e.bench.platform.shown()[1].text, "Error 75 : Path/File access error");
    EXPECT_EQ(bytes_of(e.bench.read("lib.bgl")), original);

    std::filesystem::remove(e.bench.dir.path() / "libLog.txt");
    e.bench.platform.forget();
    e.bench.platform.queue_answer(ui::Answer::Yes);
    ed.Command1.click();  // the list still matches the file: the change goes through now
    ASSERT_EQ(e.bench.platform.shown().size(), 1u) << e.bench.platform.shown().back().text;
    EXPECT_EQ(ed.guidList.item(0), "000000001, 0AAAAAAAA, 0AAAAAAAA, 000000001, NewObject");
}

TEST(IdentifierEditor, CompressedLibrariesAreRefusedAndTheBrowserStaysUsable) {
    Editor e("gorvane_libview_modify_compressed", compressed(library({object(1, "NewObject")})));
    ASSERT_EQ(e.bench.platform.shown().size(), 1u);
    EXPECT_EQ(e.bench.platform.shown()[0].text, "Compressed libraries cannot be modified. Sorry.");
    EXPECT_EQ(e.bench.platform.shown()[0].icon, ui::Icon::Critical);
    EXPECT_EQ(e.editor().guidList.list_count(), 0);
    EXPECT_TRUE(e.view.File1.enabled());
    EXPECT_FALSE(e.bench.platform.busy());
    EXPECT_NE(e.view.box_text().find("lib.bgl\r\n"), std::string::npos) << "the path goes to the browser";

    // With nothing listed Modify asks, backs up, then says what is missing.
    e.bench.platform.forget();
    e.bench.platform.queue_answer(ui::Answer::Yes);
    e.editor().Command1.click();
    ASSERT_EQ(e.bench.platform.shown().size(), 2u);
    EXPECT_EQ(e.bench.platform.shown()[1].text, "Please select a library file from the browser.");
}

}  // namespace
