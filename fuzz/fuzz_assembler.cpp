// Any text as a source for the assembler, with the compiler's macro library read first as the
// program reads it (a first byte '!' leaves the library out and is dropped: a run without it is
// many times faster). The input holds the source and up to seven files it may include,
// separated by NUL bytes; each file after the source starts with its name on a line of its own.
// An include is served from these files by name (folder and letter case do not count) or from
// the macro library, never from the disk.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "assembler.h"
#include "command_line.h"
#include "fuzz/fuzz_support.h"

namespace {

constexpr const char* kMacroFolder = "<macros>";

std::string upper_name(const std::string& path) {
    std::string name = path.substr(path.find_last_of("\\/") == std::string::npos ? 0 : path.find_last_of("\\/") + 1);
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name;
}

// The macro files, read once from the source tree.
const std::map<std::string, std::string>& macro_files() {
    static const std::map<std::string, std::string> files = [] {
        std::map<std::string, std::string> m;
        for (const auto& e : std::filesystem::directory_iterator(GORVANE_MACRO_DIR)) {
            std::ifstream in(e.path(), std::ios::binary);
            std::ostringstream s;
            s << in.rdbuf();
            m[upper_name(e.path().string())] = s.str();
        }
        if (m.empty()) std::abort();
        return m;
    }();
    return files;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const bool library = size == 0 || data[0] != '!';
    if (!library) ++data, --size;
    const auto parts = fuzzing::split_parts(data, size, 8);
    std::map<std::string, std::string> files;
    files["MAIN.ASM"] = std::string(parts[0]);
    for (std::size_t k = 1; k < parts.size(); ++k) {
        const auto eol = parts[k].find_first_of("\r\n");
        const std::string name(parts[k].substr(0, eol));
        files.emplace(upper_name(name), eol == std::string_view::npos ? "" : std::string(parts[k].substr(eol + 1)));
    }

    bglc::Options options = bglc::compiler_options(kMacroFolder, "bgl");
    if (!library) options.preload.clear();
    options.reader = [&files](const std::string& path) -> std::optional<bglc::LoadedFile> {
        const bool in_library = path.rfind(kMacroFolder, 0) == 0;
        const auto& from = in_library ? macro_files() : files;
        const auto it = from.find(upper_name(path));
        if (it == from.end()) return std::nullopt;
        return bglc::LoadedFile{path, it->second};
    };
    const bglc::Result r = bglc::assemble("main.asm", options);

    // Every refusal is a diagnostic with a place; a success has bytes within the output limit.
    for (const auto& d : r.errors)
        if (d.message.empty() || d.text().empty()) __builtin_trap();
    if (r.errors.size() > options.max_errors + 1) __builtin_trap();
    if (r.ok() && r.bytes.size() > 64u * 1024 * 1024) __builtin_trap();
    return 0;
}
