// The library browser: analysing one file, scanning a tree, the overflow into "out.txt", the
// BGL index, the folder walk and the remembered folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "libtool/folder_walk.h"
#include "tests/libview/libview_test_support.h"

namespace {

using namespace libtool;
using namespace libview_test;

std::size_t count_of(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST(Analyse, ObjectLibraryAndInvalidFiles) {
    Bench bench("gorvane_libview_analyse");
    bench.write("scenery.bgl", object_bgl());
    bench.write("lib.bgl", library({object(1, "NewObject"), object(2, "Zero", 0)}));
    bench.write("broken.bgl", invalid_bgl());
    LibView view;
    ASSERT_TRUE(view.set_dir_path(bench.dir.path().string()));

    pick(view, "scenery.bgl");
    const std::string scenery = view.box_text();
    EXPECT_EQ(scenery.rfind(join_path(bench.dir.path().string(), "scenery.bgl") + "\r\n", 0), 0u);
    EXPECT_NE(scenery.find("  >> OBJECT data at offset 80"), std::string::npos);
    EXPECT_EQ(scenery.find("Library Objects : "), std::string::npos);
    EXPECT_EQ(bench.read("out.txt"), scenery) << "the box is written to out.txt";
    EXPECT_TRUE(view.File1.enabled());

    pick(view, "lib.bgl");  // "AC" unchecked: the second report follows the first
    const std::string both = view.box_text();
    ASSERT_EQ(both.rfind(scenery, 0), 0u);
    const std::string lib = both.substr(scenery.size());
    EXPECT_NE(lib.find("Library Objects : 2\r\n"
                       " 0AAAAAAAAh,0AAAAAAAAh,0AAAAAAAAh,000000001h, 1.0 0 100 NewObject\r\n"
                       " 0AAAAAAAAh,0AAAAAAAAh,0AAAAAAAAh,000000002h,  0.0  0 100 Zero\r\n"
                       "=============================================\r\n"),
              std::string::npos)
        << lib;
    EXPECT_EQ(bench.read("out.txt"), both) << "a new analysis replaces out.txt with the box";

    view.chkClrTb.set_value(1);
    pick(view, "broken.bgl");
    EXPECT_EQ(view.box_text().rfind(join_path(bench.dir.path().string(), "broken.bgl") +
                                        "\r\nThis file has not a valid BGL format\r\n"
                                        "-------------------- Raw header data\r\n 000 FL_world_set:        2\r\n",
                                    0),
              0u)
        << "AC checked empties the box first";
    EXPECT_EQ(bench.read("out.txt"), both) << "an invalid file leaves out.txt alone";
    EXPECT_NE(bench.read("error.txt").find("broken.bgl"), std::string::npos);

    view.chkShowRawHdr.set_value(1);
    view.chkBin.set_value(1);
    pick(view, "scenery.bgl");
    EXPECT_NE(view.box_text().find(" 058 FL_object_ptr:       80"), std::string::npos);
    EXPECT_NE(view.box_text().find("========== Object Data at offset 80"), std::string::npos);
}

TEST(Analyse, CompressedLibrariesAreReadInMemoryAndADamagedOneSaysWhy) {
    Bench bench("gorvane_libview_compressed");
    const Bytes packed = compressed(library({object(7, "Hangar"), object(8, "Tower", 32768)}));
    ASSERT_FALSE(packed.empty());
    bench.write("packed.bgl", packed);
    Bytes damaged = packed;  // a stored checksum other than 0
    const std::size_t header = libtool::le_u32(packed, 118) == 0x87654321u ? 168 : 128;
    libtool::put_le(damaged, header + 8, 1, 4);
    bench.write("damaged.bgl", damaged);
    const Bytes mine = library({object(9, "Mine")});
    bench.write("tmp.bgl", mine);  // the user's own library
    LibView view;
    view.set_dir_path(bench.dir.path().string());
    pick(view, "packed.bgl");
    EXPECT_NE(view.box_text().find(" COMPRESSED file"), std::string::npos);
    EXPECT_NE(view.box_text().find("Library Objects : 2\r\n"
                                   " 0AAAAAAAAh,0AAAAAAAAh,0AAAAAAAAh,000000007h, 1.0 0 100 Hangar\r\n"
                                   " 0AAAAAAAAh,0AAAAAAAAh,0AAAAAAAAh,000000008h, 2.0 0 100 Tower\r\n"),
              std::string::npos)
        << view.box_text();
    EXPECT_EQ(view.objects().count(), 2u);

    view.chkClrTb.set_value(1);
    pick(view, "damaged.bgl");
    EXPECT_NE(view.box_text().find("\r\nDecompression failed (code 16) : the stored checksum differs from the "
                                   "library's checksum\r\n====="),
              std::string::npos)
        << view.box_text();
    EXPECT_EQ(view.box_text().find("Library Objects"), std::string::npos);
    view.scan();
    EXPECT_NE(bench.read("out.txt").find(join_path(bench.dir.path().string(), "damaged.bgl") +
                                         " : Decompression failed (code 16)"),
              std::string::npos);
    EXPECT_EQ(bench.read("tmp.bgl"), std::string(mine.begin(), mine.end())) << "the user's file untouched";
}

TEST(Scan, FolderWithoutBglFilesReportsZerosAndCountsTheStartFolder) {
    Bench bench("gorvane_libview_scan_empty");
    const std::string start = bench.folder("tree");
    bench.folder("tree/a/deep");
    bench.folder("tree/b");
    bench.write("tree/a/readme.txt", {'x'});
    LibView view;
    view.set_dir_path(start);
    view.chkClrTb.set_value(1);
    view.Command3.click();
    EXPECT_EQ(view.box_text(),
              "==============================\r\n"
              "Directories searched : 4\r\n"
              "Total files found....: 1\r\n"
              "BGL files scanned....: 0\r\n"
              "Invalid BGL found....: 0\r\n"
              "Compressed lib BGL...: 0\r\n"
              "Object BGL files.....: 0\r\n"
              "Library BGL files....: 0\r\n"
              "Library objects......: 0\r\n"
              "==============================\r\n\r\n");
    EXPECT_EQ(bench.read("out.txt"), "") << "out.txt never holds the summary";
    EXPECT_TRUE(view.File1.enabled());
    EXPECT_TRUE(view.Command3.enabled());
}

TEST(Scan, CountsEveryKindAndListsLibraries) {
    Bench bench("gorvane_libview_scan_mix");
    const std::string start = bench.folder("tree");
    bench.folder("tree/sub");
    bench.write("tree/sub/lib.BGL", library({object(1, "NewObject"), object(2, "Two", 0)}));
    const std::string lib = join_path(join_path(start, "sub"), "lib.BGL");
    bench.write("tree/empty.bgl", library({}));  // a library without objects counts in none
    bench.write("tree/scenery.bgl", object_bgl());
    bench.write("tree/broken.bgl", invalid_bgl());
    bench.write("tree/packed.bgl", compressed(library({object(3, "Packed")})));
    bench.write("tree/notes.txt", {'n'});
    bench.write("tree/lib.bgl.bck", {'b'});
    LibView view;
    view.set_dir_path(start);
    view.scan();
    const ScanCounters& c = view.counters();
    EXPECT_EQ(c.folders, 2);
    EXPECT_EQ(c.files, 7);
    EXPECT_EQ(c.bgl_files, 5);
    EXPECT_EQ(c.invalid, 1);
    EXPECT_EQ(c.compressed, 1);
    EXPECT_EQ(c.object_files, 1);
    EXPECT_EQ(c.library_files, 2);
    EXPECT_EQ(c.library_objects, 3);
    EXPECT_EQ(c.start_folder, start);
    EXPECT_EQ(bench.names(), (std::vector<std::string>{"error.txt", "out.txt", "tree"}))
        << "the search writes its list and its log, and nothing else";
    EXPECT_EQ(bench.read("error.txt"), join_path(start, "broken.bgl") + "\r\n");
    const std::string listing = lib + " :2\r\n"
                                "0AAAAAAAAh,0AAAAAAAAh,0AAAAAAAAh,000000001h,1.0,0,NewObject\r\n"
                                "0AAAAAAAAh,0AAAAAAAAh,0AAAAAAAAh,000000002h,0.0 ,0,Two\r\n\r\n";
    EXPECT_EQ(bench.read("out.txt").rfind(listing, 0), 0u) << "the subfolder is searched first";
    EXPECT_NE(bench.read("out.txt").find("packed.bgl :1\r\n0AAAAAAAAh,0AAAAAAAAh,0AAAAAAAAh,000000003h,1.0,0,Packed\r\n"),
              std::string::npos);
    EXPECT_EQ(view.box_text().find("Library objects......: 3\r\n==============================\r\n\r\n" + listing),
              view.box_text().find("Library objects......: 3"))
        << "the summary stands on top of the listing";
}

TEST(Scan, OverflowMovesTheListingToOutTxtInOrder) {
    Bench bench("gorvane_libview_overflow");
    const std::string start = bench.folder("tree");
    std::vector<bglpack::SampleObject> objects;
    for (std::uint32_t i = 0; i < 2200; ++i) objects.push_back(object(i, "Object" + std::to_string(i)));
    bench.write("tree/big.bgl", library(objects));
    LibView view;
    view.set_dir_path(start);
    view.scan();
    // 2,200 lines of 62 to 65 characters: two overflows, one warning.
    ASSERT_EQ(bench.platform.shown().size(), 1u);
    EXPECT_EQ(bench.platform.shown()[0].text,
              "Too many data for output box. The complete list can be examined from file 'Out.txt'.");
    EXPECT_EQ(bench.platform.shown()[0].icon, ui::Icon::Exclamation);
    const std::string out = bench.read("out.txt");
    std::size_t last = 0;
    EXPECT_NE(out.find("0AAAAAAAAh,0AAAAAAAAh,0AAAAAAAAh,000000897h,1.0,0,Object2199\r\n"), std::string::npos);
    for (std::uint32_t i = 0; i < 2200; i += 100) {
        char id[16];
        std::snprintf(id, sizeof id, "0%08X", i);
        const auto at = out.find(std::string(id) + "h,1.0,0,Object" + std::to_string(i) + "\r\n");
        ASSERT_NE(at, std::string::npos) << i;
        EXPECT_GT(at, last);
        last = at;
    }
    EXPECT_EQ(count_of(out, ",1.0,0,Object"), 2200u) << "no line lost or doubled";
    EXPECT_LT(view.box_text().size(), 65401u);
    EXPECT_EQ(view.box_text().rfind("==============================\r\n", 0), 0u);

    // The next scan starts out.txt afresh with the box ("AC" unchecked: the last summary and
    // the rest of the listing stay on top).
    bench.platform.forget();
    std::filesystem::remove(bench.dir.path() / "tree" / "big.bgl");
    const std::string before = view.box_text();
    view.scan();
    EXPECT_EQ(bench.read("out.txt"), before);
    EXPECT_TRUE(bench.platform.shown().empty());
}

TEST(Analyse, ADamagedIndexWarnsOnceAndMovesTheRestToOutTxt) {
    // 3,000 index entries that all point at the one object header: about three boxes' worth.
    Bench bench("gorvane_libview_damaged");
    Bytes b = library({object(1, "Looped")});
    const std::size_t lib = libtool::le_u32(b, 62);
    const std::size_t header = lib + libtool::le_u32(b, lib);
    const std::size_t index = b.size();
    libtool::put_le(b, 62, static_cast<std::uint32_t>(index), 4);
    b.resize(index + 3001 * 20, 0);
    for (std::size_t k = 0; k < 3000; ++k)
        libtool::put_le(b, index + 20 * k, static_cast<std::uint32_t>(header - index), 4);
    bench.write("damaged.bgl", b);
    LibView view;
    view.set_dir_path(bench.dir.path().string());
    pick(view, "damaged.bgl");
    ASSERT_EQ(bench.platform.shown().size(), 1u);
    EXPECT_EQ(count_of(bench.read("out.txt"), " 100 Looped\r\n"), 3000u);
}

TEST(Scan, WindowEventsRunWhileFoldersWithoutBglFilesAreWalked) {
    Bench bench("gorvane_libview_events");
    const std::string start = bench.folder("tree");
    for (int i = 0; i < 30; ++i) bench.folder("tree/f" + std::to_string(i) + "/sub");
    LibView view;
    view.set_dir_path(start);
    view.set_repaint_interval(std::chrono::milliseconds(0));
    view.scan();
    EXPECT_EQ(view.counters().folders, 61);
    EXPECT_GE(bench.platform.events, 61) << "events run for every folder listed and searched";

    // "Clear List" while the folders are still being listed stops the search there.
    bench.platform.events = 0;
    bench.platform.on_events = [&] {
        if (bench.platform.events == 3) view.Command4.click();
    };
    view.scan();
    EXPECT_LE(bench.platform.events, 4);
    EXPECT_NE(view.lblScan.caption().find("(stopped)"), std::string::npos);
    EXPECT_TRUE(view.Command3.enabled());
}

TEST(Scan, ClearListStopsARunningScanAndKeepsTheWindowUsable) {
    Bench bench("gorvane_libview_stop");
    const std::string start = bench.folder("tree");
    for (int i = 0; i < 40; ++i) bench.write("tree/lib" + std::to_string(i) + ".bgl", library({object(1, "A")}));
    LibView view;
    view.set_dir_path(start);
    bench.platform.on_events = [&] {
        EXPECT_FALSE(view.File1.enabled()) << "no second run while one is going";
        EXPECT_FALSE(view.Command3.enabled());
        if (bench.platform.events == 5) view.Command4.click();  // among the files
    };
    view.set_repaint_interval(std::chrono::milliseconds(0));
    view.scan();
    EXPECT_LE(view.counters().library_files, 2) << "events run between files; the scan stops at the next";
    EXPECT_EQ(view.box_text(), "");
    EXPECT_TRUE(view.File1.enabled());
    EXPECT_TRUE(view.Command3.enabled());
    EXPECT_FALSE(bench.platform.busy());
    EXPECT_NE(view.lblScan.caption().find("(stopped)"), std::string::npos);
}

TEST(Scan, ClosingTheWindowStopsTheScan) {
    Bench bench("gorvane_libview_close");
    const std::string start = bench.folder("tree");
    for (int i = 0; i < 20; ++i) bench.write("tree/lib" + std::to_string(i) + ".bgl", library({object(1, "A")}));
    LibView view;
    ui::desktop().show(view);
    view.set_dir_path(start);
    view.set_repaint_interval(std::chrono::milliseconds(0));
    bench.platform.on_events = [&] {
        if (view.is_open()) ui::desktop().close(view);
    };
    view.scan();
    EXPECT_FALSE(view.is_open());
    EXPECT_LE(view.counters().library_files, 1);
    EXPECT_EQ(bench.read("libview.ini"), start + "\r\n") << "closing saves the folder as usual";
    EXPECT_FALSE(bench.platform.busy());
}

TEST(Analyse, AMissingBglunpackIsReportedAndTheWindowStaysUsable) {
    Bench bench("gorvane_libview_no_unpack");
    struct NoLibrary : TestPlatform {
        void* load_library(const std::string&) override { return nullptr; }
    } platform;
    platform.set_program_folder(bench.dir.path().string());
    ui::set_platform(&platform);
    bench.write("packed.bgl", compressed(library({object(1, "A")})));
    LibView view;
    view.set_dir_path(bench.dir.path().string());
    pick(view, "packed.bgl");
    ASSERT_EQ(platform.shown().size(), 1u);
    EXPECT_EQ(platform.shown()[0].text.rfind("Error 53 : File not found: ", 0), 0u) << platform.shown()[0].text;
    EXPECT_TRUE(view.File1.enabled());
    EXPECT_FALSE(platform.busy());
    ui::set_platform(&bench.platform);
}

TEST(Browse, TheChosenFileGoesIntoTheNameBox) {
    Bench bench("gorvane_libview_browse");
    LibView view;
    bench.platform.queue_file(std::string("C:\\scenery\\lib.bgl"));
    view.Command2.click();
    EXPECT_EQ(view.inpFilename.text(), "C:\\scenery\\lib.bgl");
    bench.platform.queue_file(std::nullopt);
    view.Command2.click();
    EXPECT_EQ(view.inpFilename.text(), "C:\\scenery\\lib.bgl") << "cancelling changes nothing";
    EXPECT_TRUE(bench.platform.shown().empty());
}

TEST(FolderWalk, SiblingsComeBeforeTheirChildrenAndTheStartFolderLast) {
    Bench bench("gorvane_libview_walk");
    const std::string start = bench.folder("t");
    bench.folder("t/a/a1/a11");
    bench.folder("t/a/a2");
    bench.folder("t/b/b1");
    const auto folders = collect_folders(start);
    ASSERT_EQ(folders.size(), 7u);
    EXPECT_EQ(folders.back(), start);
    auto pos = [&](const std::string& path) {
        return std::find(folders.begin(), folders.end(), path) - folders.begin();
    };
    const std::string a_path = join_path(start, "a"), b_path = join_path(start, "b");
    const auto a = pos(a_path), b = pos(b_path);
    EXPECT_LT(std::max(a, b), 2) << "the start folder's subfolders are listed together first";
    const auto a1 = pos(join_path(a_path, "a1")), a2 = pos(join_path(a_path, "a2"));
    const auto a11 = pos(join_path(join_path(a_path, "a1"), "a11"));
    const auto b1 = pos(join_path(b_path, "b1"));
    EXPECT_LT(std::max(a1, a2), a11) << "a's subfolders are listed before a1 is walked";
    if (a < b) {
        EXPECT_LT(a11, b1) << "a's whole tree is walked before b's";
    } else {
        EXPECT_LT(b1, a1);
    }
    EXPECT_LT(a1, a11);
}

TEST(BglList, OneRowPerBglFileWithItsBoundsAndSections) {
    Bench bench("gorvane_libview_bgllist");
    const std::string start = bench.folder("tree");
    Bytes lib = library({object(1, "NewObject")});
    libtool::put_le(lib, 2, 0, 4);
    libtool::put_le(lib, 6, 0, 4);
    libtool::put_le(lib, 10, 0, 4);
    libtool::put_le(lib, 14, 0xFFFFFFFFu, 4);
    bench.write("tree/lib.bgl", lib);
    const std::string lib_path = join_path(start, "lib.bgl");
    bench.write("tree/notes.txt", {'n'});
    LibView view;
    view.set_dir_path(start);
    view.Command7.click();
    const std::string index = bench.read("bglIndex.txt");
    EXPECT_EQ(index,
              "Latitude Min,Latitude Max, Longitude Min, Longitude Max, Filename,Objecs, Library, "
              "Miscelaneous, Terrain, ADF, VOR, Facilities, Dynamic, Exceptions, MagVar, MSA, Path \r\n"
              "0* 0.0, 0* 0.0, -0* 0.0, 0* 0.0, lib.bgl, ,LIB,,,,,,,,,,," +
                  lib_path + "\r\n")
        << index;
    ASSERT_EQ(bench.platform.shown().size(), 1u);
    EXPECT_EQ(bench.platform.shown()[0].text,
              "The file 'bglIndex.txt' has been created in the gorvane directory.");
    EXPECT_EQ(bench.platform.shown()[0].icon, ui::Icon::Information);
}

TEST(Settings, TheFolderIsRememberedInLibviewIni) {
    Bench bench("gorvane_libview_ini");
    const std::string there = bench.folder("there");
    {
        LibView view;
        ui::desktop().show(view);
        EXPECT_EQ(view.dir_path(), bench.dir.path().string()) << "first start: the program folder";
        EXPECT_TRUE(view.set_dir_path(there));
        EXPECT_FALSE(view.set_dir_path(there + "/missing"));
        EXPECT_EQ(view.dir_path(), there);
        ui::desktop().close(view);
    }
    EXPECT_EQ(bench.read("libview.ini"), there + "\r\n");
    LibView again;
    ui::desktop().show(again);
    EXPECT_EQ(again.dir_path(), there);
    EXPECT_EQ(again.Dir1.caption(), there);
    ui::desktop().close(again);

    bench.write("libview.ini", {'/', 'n', 'o', 'n', 'e'});
    LibView third;
    ui::desktop().show(third);
    EXPECT_EQ(third.dir_path(), bench.dir.path().string()) << "an unusable folder is ignored";
    ui::desktop().close(third);
}

}  // namespace
