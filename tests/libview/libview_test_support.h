#pragma once
// Shared pieces of the browser tests: a scratch program folder with a script platform that finds
// bglunpack in the build, and BGL files of each kind built from bytes.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "libtool/bgl_file.h"
#include "libtool/lib_view.h"
#include "tests/libtool/libtool_test_support.h"
#include "tools/bglpack/bgl_encoder.h"
#include "tools/bglpack/sample_library.h"
#include "ui/script/script_platform.h"

namespace libview_test {

using libtool_test::Bytes;
using libtool_test::ScratchFolder;

class TestPlatform : public ui::ScriptPlatform {
public:
    using ui::ScriptPlatform::ScriptPlatform;
    int events = 0;
    std::function<void()> on_events;  // runs inside do_events, as a user's click would
    void* load_library(const std::string& name) override {
#if defined(_WIN32)
        return ui::ScriptPlatform::load_library(name);
#else
        return ui::ScriptPlatform::load_library(
            name.find('/') == std::string::npos ? GORVANE_BIN_DIR "/" + name : name);
#endif
    }
    void do_events() override {
        ++events;
        if (on_events) on_events();
    }
};

// A scratch folder that is the program folder (and the current folder) of a test platform.
struct Bench {
    ScratchFolder dir;
    TestPlatform platform;
    explicit Bench(const std::string& name) : dir(name) {
        platform.set_program_folder(dir.path().string());
        platform.set_clock({2026, 12, 8, 14, 5, 9});
        ui::set_platform(&platform);
    }
    ~Bench() { ui::set_platform(nullptr); }
    std::string folder(const std::string& name) const {
        std::filesystem::create_directories(dir.path() / name);
        return (dir.path() / name).string();
    }
    std::string write(const std::string& name, const Bytes& bytes) const { return dir.write(name, bytes); }
    std::string read(const std::string& name) const { return dir.read(name); }
    bool exists(const std::string& name) const { return std::filesystem::exists(dir.path() / name); }
    // Names in the program folder, sorted: what a run left there, temporary files included.
    std::vector<std::string> names() const {
        std::vector<std::string> r;
        for (const auto& e : std::filesystem::directory_iterator(dir.path())) r.push_back(e.path().filename().string());
        std::sort(r.begin(), r.end());
        return r;
    }
};

inline bglpack::SampleObject object(std::uint32_t last, const std::string& name, std::int32_t scale = 65536) {
    bglpack::SampleObject o;
    o.identifier = {0xAAAAAAAAu, 0xAAAAAAAAu, 0xAAAAAAAAu, last};
    o.name = name;
    o.scale = scale;
    o.data.assign(8, static_cast<std::uint8_t>(last));
    o.size = 8;
    return o;
}

inline Bytes library(std::vector<bglpack::SampleObject> objects) {
    bglpack::SampleLibrary lib;
    lib.objects = std::move(objects);
    return bglpack::build_library(lib);
}

inline Bytes compressed(const Bytes& image) {
    std::string error;
    auto packed = bglpack::pack_bgl(image, {}, &error);
    return packed ? *packed : Bytes{};
}

// A scenery BGL with an object section and no library.
inline Bytes object_bgl() {
    Bytes b(200, 0);
    libtool::put_le(b, 0, 1, 2);
    libtool::put_le(b, 58, 128, 4);
    return b;
}

inline Bytes invalid_bgl() {
    Bytes b = object_bgl();
    libtool::put_le(b, 0, 2, 2);
    return b;
}

// Picks a file of the browser's list as a click would (firing Click analyses it).
inline void pick(libtool::LibView& view, const std::string& name) {
    for (int i = 0; i < view.File1.list_count(); ++i)
        if (view.File1.item(i) == name) {
            view.File1.set_list_index(i);
            return;
        }
    ADD_FAILURE() << name << " is not in the file list";
}

}  // namespace libview_test
