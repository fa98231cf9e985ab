// Speed of the library browser's search: a generated tree of small BGL files (object files,
// libraries and compressed libraries) searched by the browser, beside a bare walk that opens
// each file and reads its first 168 bytes. One run prints both times and their ratio.
//
// usage: libview_scan_bench [FILES] [FOLDER]   (default 10000 files in a temporary folder)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "libtool/folder_walk.h"
#include "libtool/lib_view.h"
#include "tools/bglpack/bgl_encoder.h"
#include "tools/bglpack/sample_library.h"
#include "ui/fileio.h"
#include "ui/script/script_platform.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Finds bglunpack beside this program whatever the program folder is.
class BenchPlatform : public ui::ScriptPlatform {
public:
    void* load_library(const std::string& name) override {
        if (void* l = ui::ScriptPlatform::load_library(name)) return l;
        return ui::ScriptPlatform::load_library((fs::path(executable_folder()) / name).string());
    }
    void do_events() override { ++events; }
    long events = 0;
};

Bytes object_file(std::mt19937& rng) {
    Bytes b(400 + rng() % 2000, 0);
    b[0] = 1;
    b[58] = 128;  // object section right after the header
    for (std::size_t i = 128; i < b.size(); ++i) b[i] = static_cast<std::uint8_t>(rng());
    return b;
}

void write(const fs::path& p, const Bytes& b) {
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

// 100 files a folder in a two-level tree: 60 % object files, 30 % libraries of 1 .. 4 objects,
// 10 % compressed libraries; one text file per folder.
void make_tree(const fs::path& root, int files) {
    std::mt19937 rng(6);
    std::vector<Bytes> libraries, packed;
    for (int i = 0; i < 16; ++i) {
        const Bytes lib = bglpack::build_library(bglpack::synthetic_library(1 + i % 4, 100 + i));
        libraries.push_back(lib);
        std::string error;
        packed.push_back(*bglpack::pack_bgl(lib, {}, &error));
    }
    for (int i = 0; i < files; ++i) {
        const fs::path folder = root / ("area" + std::to_string(i / 1000)) / ("tile" + std::to_string(i / 100));
        if (i % 100 == 0) {
            fs::create_directories(folder);
            write(folder / "readme.txt", Bytes(40, 'x'));
        }
        const int kind = static_cast<int>(rng() % 10);
        const fs::path file = folder / ("f" + std::to_string(i) + ".bgl");
        if (kind < 6) write(file, object_file(rng));
        else if (kind < 9) write(file, libraries[rng() % libraries.size()]);
        else if (std::getenv("SCAN_BENCH_UNPACKED")) write(file, libraries[rng() % libraries.size()]);
        else write(file, packed[rng() % packed.size()]);
    }
}

// The bare walk: the same folders, every BGL file opened and its first 168 bytes read.
long bare_walk(const std::string& start) {
    long files = 0;
    char header[168];
    for (const auto& folder : libtool::collect_folders(start)) {
        for (const auto& name : libtool::list_files(folder)) {
            if (!libtool::ends_with_ci(name, ".BGL")) continue;
            if (std::FILE* f = std::fopen(ui::native_path(libtool::join_path(folder, name)).c_str(), "rb")) {
                files += std::fread(header, 1, sizeof header, f) > 0;
                std::fclose(f);
            }
        }
    }
    return files;
}

double seconds_since(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

}  // namespace

int main(int argc, char** argv) {
    const int files = argc > 1 ? std::atoi(argv[1]) : 10000;
    const fs::path work = argc > 2 ? fs::path(argv[2]) : fs::temp_directory_path() / "gorvane_scan_bench";
    fs::remove_all(work);
    fs::create_directories(work / "program");
    std::cout << "generating " << files << " BGL files in " << work.string() << " ..." << std::endl;
    make_tree(work / "tree", files);

    BenchPlatform platform;
    platform.set_program_folder((work / "program").string());
    ui::set_platform(&platform);
    libtool::LibView view;
    view.set_dir_path((work / "tree").string());
    view.chkClrTb.set_value(1);

    double walk_best = 1e9, scan_best = 1e9;
    long walked = 0;
    for (int round = 0; round < 3; ++round) {
        auto t = std::chrono::steady_clock::now();
        walked = bare_walk(view.dir_path());
        walk_best = std::min(walk_best, seconds_since(t));
        platform.forget();
        t = std::chrono::steady_clock::now();
        view.scan();
        scan_best = std::min(scan_best, seconds_since(t));
    }
    const auto& c = view.counters();
    std::cout << "folders " << c.folders << ", files " << c.files << ", BGL " << c.bgl_files
              << ", object " << c.object_files << ", libraries " << c.library_files
              << ", compressed " << c.compressed << ", objects " << c.library_objects << "\n"
              << "overflow warnings in the last search: " << platform.shown().size()
              << ", window event calls: " << platform.events << " (all rounds)\n"
              << "bare walk (open + read 168 bytes of " << walked << " files): " << walk_best * 1000
              << " ms\nlibrary browser search: " << scan_best * 1000 << " ms\nratio: "
              << scan_best / walk_best << "\n";
    ui::set_platform(nullptr);
    if (argc <= 2) fs::remove_all(work);
    return 0;
}
