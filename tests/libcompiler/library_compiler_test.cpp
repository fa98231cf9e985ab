// The library compiler window: its library source compiled by bglc and read back by the object
// reader and the browser (plain and compressed), its save files, and what it refuses.
#include <gtest/gtest.h>

#include <sstream>

#include "command_line.h"
#include "libcompiler/frm_lib_comp.h"
#include "libcompiler/library_compiler.h"
#include "libcompiler/ocm_file.h"
#include "tests/libview/libview_test_support.h"
#include "tests/support/bglc.h"
#include "tests/support/scratch.h"

namespace {

using libtool::identifier_text;
using namespace std::string_literals;

const std::string kData = GORVANE_SOURCE_DIR "/tests/scripts/library_compiler.files/";

// The browser binds the bglunpack of the build.
class LibComp : public testsupport::PlatformFixtureOf<libview_test::TestPlatform> {
protected:
    // An exported pair named `name` (the tower of the script test) picked through "...", its
    // boxes changed by `boxes`, and added.
    std::string add(const std::string& name, const std::string& guid, const std::function<void()>& boxes = {}) {
        for (const char* part : {".asm", "_0.asm"})
            folder.write_bytes(name + part, testsupport::TempFolder::read_bytes(kData + "tower" + part));
        platform.queue_file(folder.path(name + ".asm"));
        w.Command1.click();
        w.libGUID.set_text(guid);
        if (boxes) boxes();
        w.Command2.click();
        return folder.path(name);
    }
    // The object lines of the browser's analysis of a file in the folder.
    std::vector<std::string> object_lines(const std::string& bgl) {
        browser.clear_list();
        browser.set_dir_path(folder.path());
        libview_test::pick(browser, bgl);
        const std::string text = browser.box_text();
        const auto from = text.find("Library Objects");
        return wb::split_lines(text.substr(from, text.find("=====", from) - from));
    }

    libcompiler::FrmLibComp w{"v0.31b"};
    libtool::LibView browser;
};

constexpr const char* kGuid1 = "0AAAAAAAA, 0AAAAAAAA, 0AAAAAAAA, 000000001";
constexpr const char* kGuid2 = "05ADE0809, 042E14DCF, 073AEB9A1, 089EC6060";

TEST_F(LibComp, LibrarySourceCompilesAndReadsBackPlainAndCompressed) {
    add("mast", kGuid1);  // the higher identifier first: the header takes them sorted
    add("tower", kGuid2, [this] {
        w.libObjName.set_text("A name of exactly forty-seven characters long..and cut here");
        w.libImgPwr.set_text("255");
        w.libScale.set_text("0.3");
        w.libObjType.set_text("3");
    });
    w.libOutFile.set_text(folder.path("lib"));
    w.Command6.click();
    ASSERT_EQ(last_box(), "The output file was created successfully. Compile with 'BGLC /BGL lib.asm'.");
    const std::string marked = folder.read("tower_0.asm");
    EXPECT_TRUE(marked.starts_with(std::string(libcompiler::kLabelMark) + " G1\r\n;  Exported model: tower, drawing code\r\n"
                                   "tower_topG1       label   BGLCODE\r\n        BGL_JUMP_32     tower_drawG1\r\n"));
    w.Command6.click();  // a second run leaves marked files alone
    EXPECT_EQ(folder.read("tower_0.asm"), marked);

    std::ostringstream out, err;
    ASSERT_EQ(bglc::run_compiler({"/bgl", folder.path("lib.asm")}, GORVANE_SOURCE_DIR "/tools/bglc/include", out, err), 0)
        << err.str();
    libtool::BglHeader h;
    libtool::BglHeaderExt ext;
    libtool::BglFile file;
    ASSERT_EQ(libtool::open_bgl_header(folder.path("lib.bgl"), h, ext, file), libtool::kBglOpened);
    file.close();
    EXPECT_EQ(h.FL_library_ptr, 130);
    EXPECT_EQ(static_cast<std::uint32_t>(h.FL_library_min[0]), 0x05ADE0809u);  // the second listed
    EXPECT_EQ(static_cast<std::uint32_t>(h.FL_library_max[1]), 0xAAAAAAAAu);
    libtool::LibraryObjects objects;
    ASSERT_EQ(libtool::get_library_objects(folder.path("lib.bgl"), objects), 2);
    const auto& mast = objects[1];
    const auto& tower = objects[2];
    EXPECT_EQ(identifier_text(mast, false), kGuid1);
    EXPECT_EQ(identifier_text(tower, false), kGuid2);
    EXPECT_EQ(libtool::trimmed_name(mast), "mast");
    EXPECT_EQ(libtool::trimmed_name(tower), "A name of exactly forty-seven characters long..");
    EXPECT_EQ(mast.header_size, 49);
    EXPECT_EQ(tower.header_size, 92);
    EXPECT_EQ(mast.image_power, 100);
    EXPECT_EQ(tower.image_power, 255);
    EXPECT_EQ(mast.scale, 131072);
    EXPECT_EQ(tower.scale, 218453);
    EXPECT_EQ(tower.type, 3);
    EXPECT_EQ(mast.size, 25);
    EXPECT_GT(mast.data_size, 100);
    EXPECT_EQ(tower.data_size, mast.data_size);

    const auto plain = testsupport::TempFolder::read_bytes(folder.path("lib.bgl"));
    std::string error;
    const auto packed = bglpack::pack_bgl(std::vector<std::uint8_t>(plain.begin(), plain.end()), {}, &error);
    ASSERT_TRUE(packed) << error;
    folder.write_bytes("packed.bgl", std::string(packed->begin(), packed->end()));
    const std::vector<std::string> listed = object_lines("lib.bgl");
    EXPECT_EQ(listed, (std::vector<std::string>{
                          "Library Objects : 2",
                          " 0AAAAAAAAh,0AAAAAAAAh,0AAAAAAAAh,000000001h, 0.5 0 100 mast",
                          " 05ADE0809h,042E14DCFh,073AEB9A1h,089EC6060h, 0.3 3 255 "
                          "A name of exactly forty-seven characters long.."}));
    EXPECT_EQ(object_lines("packed.bgl"), listed);
}

TEST_F(LibComp, EveryDrawingFileKeepsASuffixOfItsOwnAcrossRunsAndClashesAreRefused) {
    // Exports of one model: every drawing file defines tower_top and tower_draw.
    add("a", "1, 0, 0, 0");
    const std::string b = add("b", "2, 0, 0, 0");
    add("c", "3, 0, 0, 0");
    w.libOutFile.set_text(folder.path("lib.asm"));
    w.Command6.click();  // a G0, b G1, c G2
    w.libFileList.set_list_index(0);
    w.Command3.click();
    add("d", "4, 0, 0, 0");  // fourth in the window's life, third in the list
    w.Command6.click();
    ASSERT_EQ(last_box(), "The output file was created successfully. Compile with 'BGLC /BGL lib.asm'.");
    EXPECT_TRUE(folder.read("d_0.asm").starts_with(std::string(libcompiler::kLabelMark) +
                                                  " G3\r\n;  Exported model: tower, drawing code\r\ntower_topG3 "));
    std::ostringstream out, err;
    EXPECT_EQ(bglc::run_compiler({"/bgl", folder.path("lib.asm")}, GORVANE_SOURCE_DIR "/tools/bglc/include", out, err), 0)
        << err.str();

    // A file marked by hand with another's suffix: the clash is named and nothing is written.
    folder.write_bytes("e.asm", folder.read("b.asm"));
    folder.write_bytes("e_0.asm", folder.read("b_0.asm"));
    w.libFileAdd.set_text(folder.path("e"));
    w.libGUID.set_text("5, 0, 0, 0");
    w.Command2.click();
    const std::string source = folder.read("lib.asm");
    w.Command6.click();
    EXPECT_EQ(last_box(), "Duplicated label found : tower_topG1 in " + b + "_0.asm and " + folder.path("e") + "_0.asm");
    EXPECT_EQ(folder.read("lib.asm"), source);
}

TEST_F(LibComp, CreateWritesAllOrNothingAndTheNameIsUsedAsTyped) {
    add("tower", kGuid1);
    const std::string drawing = folder.read("tower_0.asm");
    w.libOutFile.set_text(folder.path("no such folder/lib.asm"));
    w.Command6.click();
    EXPECT_EQ(last_box(), "Error : 76 :Path not found");
    EXPECT_EQ(folder.read("tower_0.asm"), drawing) << "not marked without the library source";

    w.libOutFile.set_text(folder.path("LIB.ASM"));
    w.Command6.click();
    testsupport::put_bglc(folder);
    w.Command7.click();
    EXPECT_TRUE(folder.exists("LIB.ASM"));
    const std::string bglc = "@echo off\r\n\"" + folder.path() + "\\bglc\" /bgl ";
    EXPECT_EQ(folder.read("comp.bat"), bglc + "\"" + folder.path("LIB.ASM") + "\"  \"" + folder.path("LIB.bgl") +
                                           "\"\r\nPause\r\n");

    // A relative name: written and compiled in the program folder, where comp.bat runs.
    w.libOutFile.set_text("rel");
    w.Command6.click();
    w.Command7.click();
    EXPECT_EQ(w.libOutFile.text(), "rel.asm");
    EXPECT_TRUE(folder.exists("rel.asm"));
    EXPECT_EQ(folder.read("comp.bat"), bglc + "\"" + folder.path("rel.asm") + "\"  \"" + folder.path("rel.bgl") +
                                           "\"\r\nPause\r\n");
}

TEST_F(LibComp, DuplicateIdentifiersOrAnUnreadableDrawingFileChangeNoFile) {
    add("mast", kGuid1);
    const std::string tower = add("tower", kGuid1);
    w.libOutFile.set_text(folder.path("lib.asm"));
    w.Command6.click();
    EXPECT_EQ(last_box(), std::string("Duplicated ID found : ") + kGuid1);

    w.libFileList.set_list_index(1);
    w.libGUID.set_text(kGuid2);
    w.Command4.click();
    std::filesystem::remove(tower + "_0.asm");
    w.Command6.click();
    EXPECT_EQ(last_box(), "Error ! File " + tower + "_0.asm could not be opened.");
    EXPECT_EQ(folder.read("mast_0.asm"), testsupport::TempFolder::read_bytes(kData + "tower_0.asm"));
    EXPECT_FALSE(folder.exists("lib.asm"));
}

TEST_F(LibComp, SaveFileKeepsEveryRecordAndBadFilesAreRefused) {
    add("tower", kGuid2);
    add("mast", kGuid1, [this] { w.libObjSize.set_text("7"); });
    w.libOutFile.set_text("C:\\lib\\out.asm");
    platform.queue_file(folder.path("list"));
    w.mnuSave.click();
    const std::string bytes = folder.read("list.ocm");
    ASSERT_EQ(bytes.size(), 295u + 2 * 352);
    EXPECT_EQ(bytes.substr(0, 40), std::string("\x65\0\0\0OCM file", 12) + std::string(12, ' ') + std::string(12, '\0') +
                                       std::string("\x01\0\0\0", 4));
    EXPECT_EQ(bytes.substr(40, 16), "C:\\lib\\out.asm  ");
    const std::string second = bytes.substr(295 + 352);
    EXPECT_EQ(second.substr(0, 4), "\xAA\xAA\xAA\xAA");
    EXPECT_EQ(second.substr(12, 4), "\x01\0\0\0"s);
    EXPECT_EQ(second.substr(16, 1), "d");              // image power 100
    EXPECT_EQ(second.substr(25, 8), "\x07\0\0\0\0\0\x02\0"s);  // size 7, scale 131072
    EXPECT_EQ(second.substr(41, 47), "mast" + std::string(43, ' '));
    EXPECT_EQ(second.substr(96), folder.path("mast") + std::string(256 - folder.path("mast").size(), ' '));

    const auto before = w.listed_entries();
    w.libFileList.set_list_index(0);
    w.Command3.click();
    folder.write_bytes("bad.ocm", "\x66" + bytes.substr(1));
    folder.write_bytes("short.ocm", bytes.substr(0, bytes.size() - 1));
    for (const char* bad : {"bad.ocm", "short.ocm"}) {
        platform.queue_file(folder.path(bad));
        w.mnuLoad.click();
        EXPECT_EQ(last_box(), "This is not a valid Object Compilation Save-file.");
        EXPECT_EQ(w.libFileList.items(), (std::vector<std::string>{folder.path("mast")}));
    }
    ui::desktop().show(w);  // a new window: empty list and table
    EXPECT_EQ(w.libFileList.list_count(), 0);
    platform.queue_file(folder.path("list.ocm"));
    w.mnuLoad.click();
    EXPECT_EQ(w.libOutFile.text(), "C:\\lib\\out.asm");
    ASSERT_EQ(w.libFileList.items(), (std::vector<std::string>{folder.path("tower"), folder.path("mast")}));
    const auto after = w.listed_entries();
    EXPECT_EQ(libcompiler::ocm_bytes("", after), libcompiler::ocm_bytes("", before));
    ui::desktop().close(w);
}

TEST_F(LibComp, BadBoxesAreRefusedWithTheirBoxAndTheListStaysAsItWas) {
    const std::string power = "The image power must be a whole number from 0 to 255.";
    const std::tuple<ui::Control*, const char*, std::string> bad[] = {
        {&w.libGUID, "0AAAAAAAA, 0AAAAAAAA, 000000001", "Invalid GUID."},
        {&w.libGUID, "0AAAAAAAA, x, 1, 2", "Invalid GUID."},
        {&w.libImgPwr, "300", power},
        {&w.libImgPwr, "abc", power},
        {&w.libScale, "0", "The scale must be a number from 0.0001 to 65536."},
        {&w.libObjType, "1e12", "The type must be a whole number."}};
    add("tower", kGuid1);
    for (const auto& [box, text, message] : bad) {
        const std::string good = box->text();
        box->set_text(text);
        w.Command2.click();
        EXPECT_EQ(last_box(), message) << text;
        box->set_text(good);
    }
    EXPECT_EQ(w.libFileList.list_count(), 1);

    folder.write("noscale.asm", {"header label word"});
    folder.write("noscale_0.asm", {"x label word"});
    platform.queue_file(folder.path("noscale.asm"));
    w.Command1.click();
    EXPECT_EQ(last_box(), "The file " + folder.path("noscale") + ".asm has not SCALE command.");
    w.libOutFile.set_text("a.b");
    w.Command7.click();
    EXPECT_EQ(last_box(), "Please select an output file");
    w.libOutFile.set_text(" ");
    w.Command6.click();
    EXPECT_EQ(last_box(), "Enter an output file.");
}

TEST_F(LibComp, IdentifierToolsAndATableBeyondAHundredObjects) {
    platform.queue_guid("00112233445566778899AABBCCDDEEFF");
    w.Command8.click();
    EXPECT_EQ(w.libGUID.text(), "033221100, 077665544, 0BBAA9988, 0FFEEDDCC");
    w.Command9.click();
    EXPECT_EQ(w.libGUID.text(), "033221101, 077665544, 0BBAA9988, 0FFEEDDCC");
    w.libGUID.set_text("0FFFFFFFF, 0, 0, 1");
    w.Command9.click();
    EXPECT_EQ(w.libGUID.text(), "0FFFFFFFF, 0, 0, 1");

    add("tower", kGuid1);
    for (int i = 0; i < 100; ++i) w.Command2.click();
    EXPECT_EQ(w.libFileList.list_count(), 101);
    EXPECT_EQ(w.libFileList.item_data(100), 101);
    EXPECT_EQ(w.objects().count(), 101u);
}

TEST(ApiMacro, FootprintCornersCentreAndTheObjectCall) {
    const std::string text = libcompiler::api_macro_text(
        libcompiler::vertex_footprint(testsupport::lines(
            {"VERTEX_LIST_BEGIN", "VERTEX_DEF -3.5, 0, -2.0, 0", "; a comment", "VERTEX_DEF 4.25, 12, 6.75, 0",
             "VERTEX_LIST_END", "VERTEX_DEF 99, 0, 99, 0"})),
        {0xAAAAAAAAu, 0x0u, 0x10u, 0x1u}, "v0.31b");
    EXPECT_TRUE(text.starts_with("; --- Created by Gorvane v0.31b\r\n\r\nmif (0)\r\n"));
    EXPECT_NE(text.find("Points( 0\r\n-4 0 -2\r\n-4 0 6\r\n4 0 6\r\n4 0 -2\r\n0 0 2\r\n)\r\n"), std::string::npos);
    EXPECT_TRUE(text.ends_with(":ROT\r\ncallLibobj( 0 AAAAAAAA  0  10  1  )\r\n:END\r\nreturn\r\nEndA\r\n"));
}

}  // namespace
