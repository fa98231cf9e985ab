// A library source compiled by bglc and read back by the library browser's object reader:
// the compiler's layout and the reader's expectations must meet.
#include <gtest/gtest.h>

#include <sstream>

#include "command_line.h"
#include "libtool/bgl_header.h"
#include "libtool/library_objects.h"
#include "sources.h"
#include "temp_folder.h"

using namespace bglc_test;

TEST(LibraryRoundTrip, CompiledLibraryListsItsObjects) {
    TempFolder dir;
    Lines hangar = sample_object(), tower = sample_object();
    hangar[index_of(hangar, "Hangar_Top")] = "Hangar_TopG0      label   BGLCODE";
    tower[index_of(tower, "Hangar_Top")] = "Hangar_TopG1      label   BGLCODE";
    tower.push_back("    db 5 dup(0)");
    dir.write("hangar_0.asm", hangar);
    dir.write("tower_0.asm", tower);
    std::string src = dir.write("objects.asm", library_source(dir.path()));
    std::ostringstream out, err;
    ASSERT_EQ(bglc::run_compiler({"/bgl", src}, std::string(GORVANE_SOURCE_DIR) + "/tools/bglc/include", out, err), 0)
        << err.str();

    std::string bgl = dir.path("objects.bgl");
    EXPECT_TRUE(libtool::is_library_file(bgl));
    libtool::LibraryObjects objects;
    ASSERT_EQ(libtool::get_library_objects(bgl, objects), 2);
    const auto& first = objects[1];
    const auto& second = objects[2];
    EXPECT_EQ(libtool::identifier_text(first, true), "0AAAAAAAAh, 0AAAAAAAAh, 0AAAAAAAAh, 000000001h");
    EXPECT_EQ(libtool::identifier_text(second, false), "0AAAAAAAA, 0AAAAAAAA, 0AAAAAAAA, 000000002");
    EXPECT_EQ(libtool::trimmed_name(first), "NewObject");
    EXPECT_EQ(libtool::trimmed_name(second), "A name of exactly forty-seven characters long..");
    EXPECT_EQ(first.header_size, 45 + 9);
    EXPECT_EQ(second.header_size, 92);
    EXPECT_EQ(first.image_power, 100);
    EXPECT_EQ(second.image_power, 255);
    EXPECT_EQ(first.scale, 65536);
    EXPECT_EQ(second.scale, 131072);
    EXPECT_EQ(second.type, 3);
    EXPECT_EQ(second.size, 7);
    EXPECT_EQ(second.data_size, first.data_size + 5);
    // Positions are 1-based: the index follows the 130-byte header block.
    EXPECT_EQ(first.index_position, 131);
    EXPECT_EQ(second.index_position, 151);
    EXPECT_EQ(second.object_position, first.object_position + first.header_size + first.data_size);
}

TEST(LibraryRoundTrip, HeadersOfCompiledSourcesReadBackThroughTheHeaderReader) {
    TempFolder dir;
    std::string include = std::string(GORVANE_SOURCE_DIR) + "/tools/bglc/include";
    std::ostringstream out, err;
    ASSERT_EQ(bglc::run_compiler({"/bgl", dir.write("tmpLake.asm", lake_source(false))}, include, out, err), 0)
        << err.str();
    libtool::BglHeader header;
    libtool::BglHeaderExt ext;
    libtool::BglFile file;
    ASSERT_EQ(libtool::open_bgl_header(dir.path("tmpLake.bgl"), header, ext, file), libtool::kBglOpened);
    EXPECT_EQ(header.FL_world_set, 1);
    EXPECT_EQ(header.FL_magic, static_cast<std::int32_t>(0x87654321));
    EXPECT_EQ(header.FL_terrain_data, 168);
    EXPECT_EQ(header.FL_north_bounds, static_cast<std::int32_t>(0xFF9A0000));
    EXPECT_EQ(header.FL_west_bounds, static_cast<std::int32_t>(0xC0000000));
    EXPECT_EQ(header.FL_object_ptr, 0);
    EXPECT_EQ(ext.facility2_data, 0);

    dir.write("hangar_0.asm", sample_object());
    ASSERT_EQ(bglc::run_compiler({"/bgl", dir.write("hangar.asm", sample_header())}, include, out, err), 0)
        << err.str();
    libtool::BglFile sample;
    ASSERT_EQ(libtool::open_bgl_header(dir.path("hangar.bgl"), header, ext, sample), libtool::kBglOpened);
    EXPECT_EQ(header.FL_object_ptr, 128);
    EXPECT_EQ(header.FL_magic, 0);
    EXPECT_EQ(header.FL_north_bounds, 0x507AA4);
    EXPECT_EQ(header.FL_east_bounds, static_cast<std::int32_t>(0xA9082ED3));
}
