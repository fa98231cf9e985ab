// BGL header: reading, validity, the header report and the raw listings, as the browser shows them.
#include <gtest/gtest.h>

#include "libtool/bgl_header.h"
#include "tests/libtool/libtool_test_support.h"
#include "tools/bglpack/sample_library.h"

namespace {

using namespace libtool;
using namespace libtool_test;

std::vector<std::string> report(const BglHeader& h, const BglHeaderExt& e, bool raw = false) {
    CaptureSink sink;
    describe_bgl_header(h, e, raw, sink);
    EXPECT_TRUE(sink.pending.empty());
    return sink.lines;
}

Bytes file_bytes(const BglHeader& h, const BglHeaderExt* e = nullptr) {
    const auto head = header_bytes(h);
    Bytes b(head.begin(), head.end());
    if (e) {
        const auto ext = header_ext_bytes(*e);
        b.insert(b.end(), ext.begin(), ext.end());
    }
    return b;
}

TEST(BglHeader, DegreesAsText) {
    EXPECT_EQ(format_degrees(-87.6073), "-87* 36.438");
    EXPECT_EQ(format_degrees(-0.5), "-0* 30.0");
    EXPECT_EQ(format_degrees(0), "0* 0.0");
    EXPECT_EQ(format_degrees(bgl_latitude(0)), "0* 0.0");
    EXPECT_EQ(format_degrees(12.25), "12* 15.0");
    // The bounds that the library compiler writes: minutes rounded after truncation.
    EXPECT_EQ(format_degrees(bgl_latitude(std::int32_t(0xFF6914C5u))), "-89* 0.0013");
    EXPECT_EQ(format_degrees(bgl_latitude(0x00989D57)), "90* 0.0021");
    EXPECT_EQ(format_degrees(bgl_longitude(std::int32_t(0x80B60B62u))), "-178* 60.0");
    EXPECT_EQ(format_degrees(bgl_longitude(0x7FFFFFFF)), "179* 60.0");
}

TEST(BglHeader, ReportOfALibraryHeader) {
    const Bytes lib = bglpack::build_library(bglpack::synthetic_library(2, 1));
    const BglHeader h = parse_bgl_header(lib);
    EXPECT_EQ(report(h, {}), (std::vector<std::string>{
                                 " This is a Visual/Default data file",
                                 " Old file format (pre fs-7) ",
                                 " Lat bounds : -89* 0.0013 to 90* 0.0021",
                                 " Lon bounds : -178* 60.0 to 179* 60.0",
                                 " UNCOMPRESSED file (FL_Spare2=0)",
                                 "    no object data",
                                 "  >> LIBRARY data at offset 80",
                                 "    no terrain data",
                                 "    no msa data",
                                 "    no VOR data",
                                 "    no ADF data",
                                 "    no facility data",
                                 "    no dynamic data",
                                 "    no Ecxeption data",
                                 "    no misc data",
                                 "    no mag.var.data",
                                 "    no afd data",
                                 "=============================================",
                             }));
}

TEST(BglHeader, WorldSetsAndLayouts) {
    BglHeader h;
    h.FL_world_set = 2;
    EXPECT_FALSE(is_valid_world_set(h));
    EXPECT_EQ(report(h, {}), std::vector<std::string>{"This is not a valid bgl file."});
    h.FL_world_set = 3;
    EXPECT_TRUE(is_valid_world_set(h));
    EXPECT_EQ(report(h, {}).front(), " Old file format (pre fs-7) ") << "no kind line for 3";
    h.FL_world_set = 4;
    EXPECT_EQ(report(h, {}).front(), " This is a Special data file");

    // Airport facility data counts only in the new layout.
    BglHeaderExt e;
    e.facility2_data = 0xA8;
    h.FL_spare2 = 1;
    auto old_layout = report(h, e, true);
    EXPECT_EQ(old_layout[4], " COMPRESSED file (FL_Spare2=1)");
    EXPECT_EQ(old_layout[16], "    no afd data");
    EXPECT_EQ(old_layout[old_layout.size() - 2], " 126 FL_spare3:           0");
    h.FL_magic = std::int32_t(0x87654321u);
    auto new_layout = report(h, e, true);
    EXPECT_EQ(new_layout[1], " New file format (fs-7, fs-8)");
    EXPECT_EQ(new_layout[16], "  >> AIRPORT FACILITY DATA at offset A8");
    EXPECT_EQ(new_layout.size(), old_layout.size() + 9);
}

TEST(BglHeader, RawListingShowsBitPatternsAtTheirWidths) {
    BglHeader h;
    h.FL_world_set = 1;
    h.FL_vor_lo = -2;
    h.FL_free[0] = -1;
    h.FL_library_max[1] = 0x1234;
    h.FL_magic = 5;
    BglHeaderExt e;
    e.guid_1 = 0x11;
    e.unnamed_144 = 0x77;  // never listed
    e.build_num = 0x148;
    e.facility2_data = -16;
    CaptureSink sink;
    dump_raw_header(h, e, sink);
    const auto& l = sink.lines;
    ASSERT_EQ(l.size(), 1u + 34 + 9);
    EXPECT_EQ(l[0], "-------------------- Raw header data");
    EXPECT_EQ(l[1], " 000 FL_world_set:        1");
    EXPECT_EQ(l[7], " 022 FL_vor_lo:           FFFE");
    EXPECT_EQ(l[9], " 026 FL_free[0]:          FFFFFFFF");
    EXPECT_EQ(l[27], " 098 FL_library_max[1]:   1234");
    EXPECT_EQ(l[32], " 118 FL_magic:            5");
    EXPECT_EQ(l[35], " 128 guid_1:              11");
    EXPECT_EQ(l[39], " 144 build_num:           148");
    EXPECT_EQ(l[43], " 160 facility2_data:      FFFFFFF0");
    for (const auto& line : l) EXPECT_EQ(line.find("77"), std::string::npos) << line;
}

TEST(BglHeader, OpenChecksNameExistenceAndValidity) {
    ScratchFolder dir("gorvane_bgl_header_test");
    ProgramFolder program(dir);   // the program folder is the scratch folder, not the current one
    BglHeader h;
    h.FL_world_set = 1;
    h.FL_library_ptr = 0x80;
    BglHeaderExt e;
    e.build_num = 99;
    const std::string lower = dir.write("lib.bgl", file_bytes(h));
    const std::string upper = dir.write("LIB2.BGL", file_bytes(h));
    h.FL_magic = 1;
    const std::string extended = dir.write("ext.Bgl", file_bytes(h, &e));
    dir.write("lib.bgl.bak", file_bytes(h));

    BglHeader got;
    BglHeaderExt ext;
    BglFile file;
    EXPECT_EQ(open_bgl_header(lower, got, ext, file), kBglOpened);
    EXPECT_EQ(file.position(), 128);
    EXPECT_EQ(got.FL_library_ptr, 0x80);
    EXPECT_EQ(ext.build_num, 0) << "old layout: the extension reads as zeros";
    EXPECT_EQ(open_bgl_header(upper, got, ext, file), kBglOpened);
    EXPECT_EQ(open_bgl_header(extended, got, ext, file), kBglOpened);
    EXPECT_EQ(file.position(), 168);
    EXPECT_EQ(ext.build_num, 99);
    EXPECT_EQ(open_bgl_header(dir.file("lib.bgl.bak"), got, ext, file), kBglMissing);
    EXPECT_EQ(open_bgl_header(dir.file("none.bgl"), got, ext, file), kBglMissing);
    EXPECT_FALSE(file.is_open());

    // Invalid: closed, header as read, extension untouched, the path logged each time.
    h.FL_world_set = 2;
    const std::string invalid = dir.write("bad.bgl", file_bytes(h, &e));
    ext.build_num = 12345;
    EXPECT_EQ(open_bgl_header(invalid, got, ext, file), kBglInvalid);
    EXPECT_FALSE(file.is_open());
    EXPECT_EQ(got.FL_world_set, 2);
    EXPECT_EQ(ext.build_num, 12345);
    EXPECT_EQ(open_bgl_header(invalid, got, ext, file), kBglInvalid);
    EXPECT_EQ(dir.read("error.txt"), invalid + "\r\n" + invalid + "\r\n");

    // A file shorter than its header reads zeros beyond its end.
    const std::string tiny = dir.write("tiny.bgl", {1, 0, 0x10, 0x20});
    EXPECT_EQ(open_bgl_header(tiny, got, ext, file), kBglOpened);
    EXPECT_EQ(got.FL_north_bounds, 0x2010);
    EXPECT_EQ(got.FL_library_ptr, 0);
}

TEST(BglHeader, SectionListingReadsZerosPastTheEnd) {
    BglHeader h;
    h.FL_world_set = 1;
    h.FL_misc_data = 0x123;
    h.FL_library_ptr = 0x80;
    Bytes bytes = file_bytes(h);
    bytes.resize(0x123 + 3);
    bytes[0x80] = 0xAB;
    bytes[0x123] = 0x5C;
    bytes[0x125] = 0x01;
    BglFile file;
    file.open_memory(bytes);
    std::string text = "left over";
    dump_sections(file, h, text);
    const std::string misc =
        "========== Misc Data at offset 123\r\n"
        "         3  4  5  6  7  8  9  A  B  C  D  E  F  0  1  2  \r\n"
        "00123 : 5C 00 01 00 00 00 00 00 00 00 00 00 00 00 00 00 \r\n"
        "00133 : ";
    ASSERT_EQ(text.substr(0, misc.size()), misc);
    // Misc comes before Library, and each listing ends with the label of the row after it.
    const auto library = text.find("========== Library Data at offset 80\r\n");
    ASSERT_NE(library, std::string::npos);
    EXPECT_EQ(text.substr(library - 8, 8), "00223 : ");
    EXPECT_EQ(text.substr(text.size() - 8), "00180 : ");
    EXPECT_NE(text.find("00080 : AB 00"), std::string::npos);
}

}  // namespace
