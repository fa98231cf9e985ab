// Library object records: reading libraries (compressed ones through bglunpack), damaged
// indexes, and the identifier text forms.
#include <gtest/gtest.h>

#include "libtool/library_objects.h"
#include "tests/libtool/libtool_test_support.h"
#include "tools/bglpack/bgl_encoder.h"
#include "tools/bglpack/sample_library.h"
#include "ui/errors.h"
#include "ui/script/script_platform.h"

namespace {

using namespace libtool;
using namespace libtool_test;

bglpack::SampleObject object(std::uint32_t last, const std::string& name, std::size_t data) {
    bglpack::SampleObject o;
    o.identifier = {0xAAAAAAAAu, 0xAAAAAAAAu, 0xAAAAAAAAu, last};
    o.name = name;
    o.data.assign(data, static_cast<std::uint8_t>(last));
    o.size = static_cast<std::int32_t>(data);
    return o;
}

long read_memory(const Bytes& bytes, LibraryObjects& objects) {
    BglFile file;
    file.open_memory(bytes);
    BglHeader header;
    BglHeaderExt ext;
    EXPECT_EQ(read_bgl_header(file, header, ext), kBglOpened);
    return read_library_objects(file, header, objects);
}

TEST(LibraryObjects, ReadsEveryFieldAndPosition) {
    bglpack::SampleLibrary lib;
    lib.objects = {object(1, "NewObject", 10), object(2, std::string(60, 'L'), 3),
                   object(0xFF6914C5u, "Tower", 0)};
    lib.objects[0].scale = 32768;
    lib.objects[0].type = 2;
    lib.objects[0].image_power = 77;
    for (bool extended : {false, true}) {
        lib.extended_header = extended;
        LibraryObjects objects;
        ASSERT_EQ(read_memory(bglpack::build_library(lib), objects), 3);
        const std::int32_t library = extended ? 168 : 128;
        const auto& first = objects[1];
        EXPECT_EQ(identifier_text(first, true), "0AAAAAAAAh, 0AAAAAAAAh, 0AAAAAAAAh, 000000001h");
        EXPECT_EQ(first.image_power, 77);
        EXPECT_EQ(first.header_size, 41 + 12);
        EXPECT_EQ(first.data_size, 10);
        EXPECT_EQ(first.size, 10);
        EXPECT_EQ(first.scale, 32768);
        EXPECT_EQ(first.type, 2);
        EXPECT_EQ(first.name, std::string("NewObject\0\0\0", 12) + std::string(35, ' '));
        EXPECT_EQ(trimmed_name(first), "NewObject");
        EXPECT_EQ(first.index_position, library + 1);
        EXPECT_EQ(first.object_position, library + 80 + 1);
        EXPECT_EQ(objects[2].name, std::string(47, 'L')) << "cut to 47 characters";
        EXPECT_EQ(objects[2].index_position, library + 21);
        EXPECT_EQ(objects[2].object_position, library + 80 + 53 + 10 + 1);
        EXPECT_EQ(identifier_text(objects[3], false), "0AAAAAAAA, 0AAAAAAAA, 0AAAAAAAA, 0FF6914C5");
    }
}

TEST(LibraryObjects, EmptyNamesEmptyIndexesAndLargeLibraries) {
    bglpack::SampleLibrary lib;
    LibraryObjects objects;
    EXPECT_EQ(read_memory(bglpack::build_library(lib), objects), 0) << "terminator only";

    lib.objects = {object(1, "", 4), object(2, "Next", 4)};
    Bytes bytes = bglpack::build_library(lib);
    put_u32(bytes, 128 + 60 + 17, 41);  // first header size: no name at all
    ASSERT_EQ(read_memory(bytes, objects), 2);
    EXPECT_EQ(objects[1].name, std::string(47, ' '));
    EXPECT_EQ(trimmed_name(objects[1]), "");
    EXPECT_EQ(trimmed_name(objects[2]), "Next");

    // Beyond the browser's old 2,000 records: the list grows.
    EXPECT_EQ(read_memory(bglpack::build_library(bglpack::synthetic_library(2600, 8)), objects),
              2600);
    EXPECT_EQ(objects[2600].identifier[3], 2600u);
}

TEST(LibraryObjects, DamagedIndexesEndTheListCleanly) {
    bglpack::SampleLibrary lib;
    lib.objects = {object(1, "One", 8), object(2, "Two", 8), object(3, "Three", 8)};
    const Bytes good = bglpack::build_library(lib);
    LibraryObjects objects;

    // Index entries in another order than the objects: each header is read where its entry
    // points, so identifiers and names still belong together.
    Bytes swapped = good;
    std::swap_ranges(swapped.begin() + 128, swapped.begin() + 148, swapped.begin() + 148);
    ASSERT_EQ(read_memory(swapped, objects), 3);
    EXPECT_EQ(trimmed_name(objects[1]), "Two");
    EXPECT_EQ(objects[1].identifier[3], 2u);
    EXPECT_EQ(objects[1].index_position, 129);
    EXPECT_EQ(trimmed_name(objects[2]), "One");

    Bytes outside = good;
    put_u32(outside, 128 + 20, 0x7FFFFF00u);  // second entry far past the end
    EXPECT_EQ(read_memory(outside, objects), 1);
    put_u32(outside, 128 + 20, 0xFFFFF000u);  // before the start of the file
    EXPECT_EQ(read_memory(outside, objects), 1);

    Bytes truncated(good.begin(), good.end() - 8 - 8 - 20);  // the third header is cut
    EXPECT_EQ(read_memory(truncated, objects), 2);

    Bytes no_terminator(good.begin(), good.begin() + 128 + 40);  // index runs off the end
    EXPECT_EQ(read_memory(no_terminator, objects), 0);
}

TEST(LibraryObjects, ResultCodesOfTheFileReaders) {
    ScratchFolder dir("gorvane_library_objects_test");
    ProgramFolder program(dir);
    bglpack::SampleLibrary lib;
    lib.objects = {object(1, "One", 8)};
    Bytes bytes = bglpack::build_library(lib);
    const std::string library = dir.write("lib.bgl", bytes);
    Bytes no_library = bytes;
    put_u32(no_library, 62, 0);
    Bytes compressed = bytes;
    put_u32(compressed, 122, 1);
    Bytes invalid = bytes;
    invalid[0] = 7;

    LibraryObjects objects;
    EXPECT_EQ(get_library_objects(library, objects), 1);
    EXPECT_EQ(get_library_objects(dir.write("obj.bgl", no_library), objects), kBglNoLibrary);
    EXPECT_EQ(get_library_objects(dir.write("packed.bgl", compressed), objects), kBglCompressed);
    const std::string bad = dir.write("bad.bgl", invalid);
    EXPECT_EQ(get_library_objects(bad, objects), kBglInvalid);
    EXPECT_EQ(dir.read("error.txt"), bad + "\r\n") << "logged in the program folder";
    EXPECT_EQ(get_library_objects(dir.file("none.bgl"), objects), kBglMissing);
    EXPECT_TRUE(objects.empty());
    EXPECT_TRUE(is_library_file(library));
    EXPECT_FALSE(is_library_file(dir.file("obj.bgl")));
    EXPECT_FALSE(is_library_file(dir.file("bad.bgl")));
    EXPECT_FALSE(is_library_file(dir.file("none.bgl")));
}

TEST(Identifiers, TextFormsAndParsing) {
    const Identifier id{0xAAAAAAAAu, 0xAAAAAAAAu, 0xAAAAAAAAu, 1u};
    const std::string comma = "0AAAAAAAA, 0AAAAAAAA, 0AAAAAAAA, 000000001";
    EXPECT_EQ(identifier_text(id, false), comma);
    Identifier parsed{};
    ASSERT_EQ(parse_identifier(comma, parsed), 3);
    EXPECT_EQ(parsed, id);
    EXPECT_EQ(identifier_text(parsed, false), comma);

    ASSERT_EQ(parse_identifier("0AAAAAAAAh, 0a aaa aaa ah,,1FFFFFFFF", parsed), 3);
    EXPECT_EQ(parsed, (Identifier{0xAAAAAAAAu, 0xAAAAAAAAu, 0u, 0xFFFFFFFFu}))
        << "blanks ignored, a trailing h allowed, an empty part is 0, 32-bit pattern kept";
    ASSERT_EQ(parse_identifier("12x34, 5, 6, 7", parsed), 3);
    EXPECT_EQ(parsed[0], 0x12u) << "reading stops at the first non-hex character";
    EXPECT_EQ(parse_identifier("1, 2, 3", parsed), 0);
    EXPECT_EQ(parse_identifier("1, 2, 3, 4, 5", parsed), 0);
    EXPECT_EQ(parsed[0], 0x12u) << "a refused text leaves the identifier alone";
}

// The platform of the tests, which finds the shared library in the build's program folder.
class TestPlatform : public ui::ScriptPlatform {
public:
    bool have_library = true;
    void* load_library(const std::string& name) override {
        if (!have_library) return nullptr;
#if defined(_WIN32)
        return ui::ScriptPlatform::load_library(name);
#else
        return ui::ScriptPlatform::load_library(name.find('/') == std::string::npos
                                                    ? GORVANE_BIN_DIR "/" + name
                                                    : name);
#endif
    }
};

TEST(UnpackLibrary, CompressedLibrariesAreUnpackedInMemory) {
    ScratchFolder dir("gorvane_unpack_library_test");
    TestPlatform platform;
    platform.set_program_folder(dir.path().string());
    const Bytes image = bglpack::build_library(bglpack::synthetic_library(30, 3, true));
    std::string error;
    const auto packed = bglpack::pack_bgl(image, {}, &error);
    ASSERT_TRUE(packed) << error;
    const std::string path = dir.write("packed.bgl", *packed);

    LibraryObjects objects;
    EXPECT_EQ(get_library_objects(path, objects), kBglCompressed);
    Bytes unpacked;
    ASSERT_EQ(unpack_library(platform, path, unpacked), 0);
    EXPECT_EQ(unpacked, image);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "no file written";

    // A damaged file: a result code, and what it means.
    Bytes damaged = *packed;
    damaged.resize(damaged.size() - 10);
    EXPECT_EQ(unpack_library(platform, dir.write("damaged.bgl", damaged), unpacked), 32);
    EXPECT_EQ(unpack_library(platform, dir.file("missing.bgl"), unpacked), 64);
    EXPECT_EQ(unpack_failure_text(64), "Decompression failed (code 64) : the file could not be opened or read");

    TestPlatform without;
    without.have_library = false;
    without.set_program_folder(dir.path().string());
    try {
        unpack_library(without, path, unpacked);
        FAIL() << "a missing bglunpack must raise an error";
    } catch (const ui::RuntimeError& e) {
        EXPECT_EQ(e.number, 53);
        EXPECT_NE(e.description.find("bglunpack"), std::string::npos);
    }
}

}  // namespace
