// The shared library as a program meets it: loaded by name (LoadLibraryA("bglunpack.dll") on
// Windows, dlopen on Linux), both exports found by their undecorated names, files decoded.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bglunpack/bglunpack.h"
#include "tools/bglpack/bgl_encoder.h"
#include "tools/bglpack/sample_library.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>
#endif

namespace {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

struct UnpackLibrary {
    FSGetUncompressedBGLDataFn get = nullptr;
    FSCompleteBGLOperationFn complete = nullptr;
    UnpackLibrary() {
#if defined(_WIN32)
        HMODULE h = LoadLibraryA("bglunpack.dll");
        if (!h) return;
        get = reinterpret_cast<FSGetUncompressedBGLDataFn>(
            reinterpret_cast<void*>(GetProcAddress(h, "FSGetUncompressedBGLData")));
        complete = reinterpret_cast<FSCompleteBGLOperationFn>(
            reinterpret_cast<void*>(GetProcAddress(h, "FSCompleteBGLOperation")));
#else
        void* h = dlopen(GORVANE_BIN_DIR "/libbglunpack.so", RTLD_NOW | RTLD_LOCAL);
        if (!h) return;
        get = reinterpret_cast<FSGetUncompressedBGLDataFn>(dlsym(h, "FSGetUncompressedBGLData"));
        complete = reinterpret_cast<FSCompleteBGLOperationFn>(dlsym(h, "FSCompleteBGLOperation"));
#endif
    }
};

class Exports : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        lib_ = new UnpackLibrary;
        dir_ = fs::temp_directory_path() / "gorvane_bglunpack_test";
        fs::create_directories(dir_);
    }
    static void TearDownTestSuite() {
        std::error_code ec;
        fs::remove_all(dir_, ec);
        delete lib_;
    }
    void SetUp() override {
        ASSERT_TRUE(lib_->get) << "FSGetUncompressedBGLData not found";
        ASSERT_TRUE(lib_->complete) << "FSCompleteBGLOperation not found";
    }

    static std::string write(const std::string& name, const Bytes& bytes) {
        const fs::path p = dir_ / name;
        std::ofstream(p, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return p.string();
    }

    struct Call {
        std::int32_t code;
        Bytes image;
    };
    // One call; on success the buffer is copied and handed back, which must succeed once.
    static Call get(const std::string& path) {
        std::int32_t size = -1;
        void* buffer = &size;  // anything but null: a failure must set it to null
        Call c{lib_->get(path.c_str(), &size, &buffer), {}};
        if (c.code != 0) {
            EXPECT_EQ(buffer, nullptr);
            return c;
        }
        const auto* p = static_cast<const std::uint8_t*>(buffer);
        c.image.assign(p, p + size);
        EXPECT_EQ(lib_->complete(size, buffer), 0);
        EXPECT_EQ(lib_->complete(size, buffer), 1) << "a buffer is released only once";
        return c;
    }

    static Bytes pack(const Bytes& image, bglpack::Options options = {}) {
        std::string error;
        auto packed = bglpack::pack_bgl(image, options, &error);
        EXPECT_TRUE(packed) << error;
        return packed.value_or(Bytes{});
    }

    static UnpackLibrary* lib_;
    static fs::path dir_;
};

UnpackLibrary* Exports::lib_ = nullptr;
fs::path Exports::dir_;

TEST_F(Exports, DecodeLibrariesByteForByte) {
    std::mt19937 rng(5);
    Bytes noisy = bglpack::build_library(bglpack::synthetic_library(3, 9));
    for (int i = 0; i < 200000; ++i) noisy.push_back(static_cast<std::uint8_t>(rng() % (i % 7 ? 256 : 4)));
    const std::vector<Bytes> images = {
        bglpack::build_library(bglpack::synthetic_library(250, 1)),
        bglpack::build_library(bglpack::synthetic_library(250, 2, true)),
        bglpack::build_library({false, {}}),
        noisy,
    };
    int n = 0;
    for (const auto& image : images) {
        for (const auto& options : {bglpack::Options{}, bglpack::Options{512, 8, false}}) {
            const std::string path = write("lib" + std::to_string(n++) + ".bgl", pack(image, options));
            Bytes expected = image;
            const auto r = get(path);
            ASSERT_EQ(r.code, 0) << path;
            EXPECT_EQ(r.image, expected) << path;
        }
    }
}

TEST_F(Exports, ResultCodes) {
    const Bytes image = bglpack::build_library(bglpack::synthetic_library(4, 4));
    const Bytes good = pack(image);
    const std::string good_path = write("good.bgl", good);
    std::int32_t size = 0;
    void* buffer = nullptr;
    EXPECT_EQ(lib_->get(good_path.c_str(), nullptr, &buffer), 1);
    EXPECT_EQ(lib_->get(good_path.c_str(), &size, nullptr), 1);
#if defined(_WIN32)
    EXPECT_EQ(lib_->get(good_path.c_str(), reinterpret_cast<std::int32_t*>(16), &buffer), 1);
    // A pointer slot of 4 bytes before an inaccessible page: enough only where pointers are 32 bits.
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    auto* pages = static_cast<char*>(
        VirtualAlloc(nullptr, 2 * si.dwPageSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    DWORD was;
    ASSERT_TRUE(VirtualProtect(pages + si.dwPageSize, si.dwPageSize, PAGE_NOACCESS, &was));
    auto** slot = reinterpret_cast<void**>(pages + si.dwPageSize - 4);
    EXPECT_EQ(lib_->get(good_path.c_str(), &size, slot), sizeof(void*) == 4 ? 0 : 1);
    if (sizeof(void*) == 4) {
        EXPECT_EQ(lib_->complete(size, *slot), 0);
    }
    VirtualFree(pages, 0, MEM_RELEASE);
#endif
    EXPECT_EQ(get((dir_ / "missing.bgl").string()).code, 64);
    EXPECT_EQ(get(write("empty.bgl", {})).code, 64);
    EXPECT_EQ(get(write("plain.bgl", image)).code, 2);

    auto with_dword = [&](std::size_t at, std::uint32_t v) {
        Bytes b = good;
        std::memcpy(b.data() + at, &v, 4);
        return b;
    };
    std::uint32_t stored;
    std::memcpy(&stored, good.data() + 132, 4);
    EXPECT_EQ(get(write("huge.bgl", with_dword(132, 0xFFFFFFF0u))).code, 4);
    EXPECT_EQ(get(write("short.bgl", with_dword(132, stored - 10))).code, 8);
    EXPECT_EQ(get(write("checksum.bgl", with_dword(136, 1))).code, 16);
    EXPECT_EQ(get(write("stream.bgl", with_dword(148, 0x0100584Au))).code, 32);  // "JX"
    Bytes cut(good.begin(), good.end() - 5);
    EXPECT_EQ(get(write("cut.bgl", cut)).code, 32);
    EXPECT_EQ(get(good_path).code, 0) << "the input file is closed again after each call";
    EXPECT_EQ(get(dir_.string()).code, 64) << "a folder";
}

#if !defined(_WIN32)
TEST_F(Exports, AFifoFailsAtOnceInsteadOfWaitingForAWriter) {
    const std::string fifo = (dir_ / "pipe.bgl").string();
    fs::remove(fifo);
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    auto call = std::async(std::launch::async, [&] { return get(fifo).code; });
    if (call.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        // Release the blocked call so that the test ends, then fail.
        const int w = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (w >= 0) close(w);
        call.wait();
        FAIL() << "FSGetUncompressedBGLData blocked on a FIFO";
    }
    EXPECT_EQ(call.get(), 64);
}
#endif

TEST_F(Exports, CompleteReleasesOnlyItsOwnBuffers) {
    EXPECT_EQ(lib_->complete(0, nullptr), 1);
    std::uint8_t foreign[64] = {};
    EXPECT_EQ(lib_->complete(sizeof foreign, foreign), 1);

    const std::string path = write("own.bgl", pack(bglpack::build_library({true, {}})));
    std::int32_t size = 0;
    void* buffer = nullptr;
    ASSERT_EQ(lib_->get(path.c_str(), &size, &buffer), 0);
    EXPECT_EQ(size, 168 + 20);
    EXPECT_EQ(lib_->complete(size + 1, buffer), 1) << "not readable over that many bytes";
    EXPECT_EQ(lib_->complete(-1, buffer), 1);
    EXPECT_EQ(lib_->complete(size, buffer), 0);
}

}  // namespace
