#pragma once
// Shared pieces of the BGL reader tests: a sink that collects report lines, a scratch folder,
// and files written from bytes.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "libtool/bgl_file.h"
#include "libtool/output_sink.h"
#include "ui/script/script_platform.h"

namespace libtool_test {

using Bytes = std::vector<std::uint8_t>;

struct CaptureSink : libtool::OutputSink {
    std::vector<std::string> lines;
    std::string pending;
    void append_output(const std::string& text, bool no_line_end) override {
        pending += text;
        if (!no_line_end) {
            lines.push_back(pending);
            pending.clear();
        }
    }
};

// A fresh folder for the test. It never becomes the current folder: what the code writes
// there, it must name through the program folder.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name) : path_(std::filesystem::temp_directory_path() / name) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    std::string write(const std::string& name, const Bytes& bytes) const {
        std::ofstream(path_ / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return file(name);
    }
    std::string read(const std::string& name) const {
        std::ifstream in(path_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// A scripted platform whose program folder is the scratch folder, installed while it lives.
struct ProgramFolder {
    ui::ScriptPlatform platform;
    explicit ProgramFolder(const ScratchFolder& dir) {
        platform.set_program_folder(dir.path().string());
        ui::set_platform(&platform);
    }
    ~ProgramFolder() { ui::set_platform(nullptr); }
};

inline void put_u32(Bytes& b, std::size_t at, std::uint32_t v) { libtool::put_le(b, at, v, 4); }

}  // namespace libtool_test
