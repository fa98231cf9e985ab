// Shared by the fuzz targets that drive window models: a scratch program folder of the fuzzer's
// own, a script platform whose program folder it is, and the split of one input into parts.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "ui/platform.h"
#include "ui/script/script_platform.h"

namespace fuzzing {

// A folder made once per run under the temporary folder and removed at exit; every file a
// target writes or lets a window write lies in it.
inline const std::filesystem::path& scratch() {
    static const std::filesystem::path dir = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "gorvane_fuzz_XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(scratch(), ec);
        });
        return std::filesystem::path(pattern);
    }();
    return dir;
}

inline std::string scratch_file(const std::string& name) { return (scratch() / name).string(); }

inline void write_file(const std::string& name, std::string_view bytes) {
    std::ofstream(scratch() / name, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string read_file(const std::string& name) {
    std::ifstream in(scratch() / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Empties the scratch folder, so that no file of one input reaches the next.
inline void clear_scratch() {
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(scratch(), ec))
        std::filesystem::remove_all(e.path(), ec);
}

// A script platform for one input: program folder = the scratch folder; boxes recorded.
struct Session {
    ui::ScriptPlatform platform;
    Session() {
        platform.set_program_folder(scratch().string());
        ui::set_platform(&platform);
    }
    ~Session() { ui::set_platform(nullptr); }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
};

// The parts of an input separated by NUL bytes (at most `most`; the last keeps further NULs).
inline std::vector<std::string_view> split_parts(const std::uint8_t* data, std::size_t size, std::size_t most) {
    std::vector<std::string_view> parts;
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    while (parts.size() + 1 < most) {
        const auto nul = rest.find('\0');
        if (nul == std::string_view::npos) break;
        parts.push_back(rest.substr(0, nul));
        rest.remove_prefix(nul + 1);
    }
    parts.push_back(rest);
    return parts;
}

}  // namespace fuzzing
