#pragma once
// Library BGL images made from scratch: the test suites, the fuzzers' seeds, the benchmarks and
// `bglpack --sample` build their inputs with these, so that no sample file comes from elsewhere.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace bglpack {

struct SampleObject {
    std::array<std::uint32_t, 4> identifier{0xAAAAAAAAu, 0xAAAAAAAAu, 0xAAAAAAAAu, 1u};
    std::uint8_t image_power = 100;
    std::int32_t size = 0;
    std::int32_t scale = 65536;  // 65536 / scale factor
    std::int32_t type = 0;
    std::string name = "NewObject";
    std::vector<std::uint8_t> data;
};

struct SampleLibrary {
    bool extended_header = false;  // 168-byte header (87654321h at offset 118)
    std::vector<SampleObject> objects;
};

// An uncompressed library BGL: header, index (entries in object order, then the terminating
// entry), and each object header (41 bytes + the name padded with zero bytes to a multiple of
// four, at least one zero) followed by its data.
std::vector<std::uint8_t> build_library(const SampleLibrary& library);

// `count` objects with scenery-like data (drawing codes, vertex lists with small steps, some
// texture names, some noise), the same for the same seed.
SampleLibrary synthetic_library(std::size_t count, std::uint32_t seed,
                                bool extended_header = false);

}  // namespace bglpack
