// Sources held in memory for assembler tests, plus the real macro files from the source tree.
#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "assembler.h"

namespace bglc_test {

struct MemoryFiles {
    std::map<std::string, std::string> files;

    bglc::FileReader reader() const {
        return [this](const std::string& path) -> std::optional<bglc::LoadedFile> {
            std::string key = path;
            for (char& c : key)
                if (c == '\\') c = '/';
            auto it = files.find(key);
            if (it == files.end()) return std::nullopt;
            return bglc::LoadedFile{path, it->second};
        };
    }
};

// Options that read the macro files of tools/bglc/include from the source tree.
inline bglc::Options real_macros(const std::string& mode = "bgl") {
    bglc::Options o;
    o.include_dirs.push_back(std::string(GORVANE_SOURCE_DIR) + "/tools/bglc/include");
    o.preload.push_back("bglc.inc");
    if (mode == "mdl") o.preload.push_back("model.inc");
    return o;
}

inline std::uint32_t u32(const std::vector<std::uint8_t>& b, std::size_t at) {
    if (at + 4 > b.size()) return 0;
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

inline std::uint16_t u16(const std::vector<std::uint8_t>& b, std::size_t at) {
    if (at + 2 > b.size()) return 0;
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

inline float f32(const std::vector<std::uint8_t>& b, std::size_t at) {
    std::uint32_t bits = u32(b, at);
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

inline std::string all_errors(const bglc::Result& r) {
    std::string s;
    for (const auto& d : r.errors) s += d.text() + "\n";
    return s;
}

}  // namespace bglc_test
