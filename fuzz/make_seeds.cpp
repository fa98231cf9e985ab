// Seed corpora for the fuzzers, made by bglpack and the library compiler's save file: make_seeds
// DIR writes DIR/decoder, DIR/header, DIR/objects and DIR/ocm.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "libcompiler/ocm_file.h"
#include "tools/bglpack/bgl_encoder.h"
#include "tools/bglpack/sample_library.h"

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

static void write(const fs::path& dir, const std::string& name, const Bytes& b) {
    fs::create_directories(dir);
    std::ofstream(dir / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const fs::path root = argv[1];
    int n = 0;
    for (std::size_t objects : {0u, 1u, 3u, 6u}) {
        for (bool extended : {false, true}) {
            const auto lib = bglpack::synthetic_library(objects, 100 + n, extended);
            const Bytes image = bglpack::build_library(lib);
            const std::string name = "seed" + std::to_string(n++);
            write(root / "header", name, image);
            write(root / "objects", name, image);
            std::string error;
            for (const auto& options : {bglpack::Options{}, bglpack::Options{256, 8, false}}) {
                const auto packed = bglpack::pack_bgl(image, options, &error);
                if (!packed) return 1;
                Bytes file = {0x80};  // whole-file mode
                file.insert(file.end(), packed->begin(), packed->end());
                write(root / "decoder", name + "f" + std::to_string(options.section_size), file);
                // Stream mode: capacity, then the stream body after its 4-byte header.
                const std::size_t header = extended ? 168 : 128;
                const std::size_t data = image.size() - header;
                Bytes stream = {0, static_cast<std::uint8_t>(data), static_cast<std::uint8_t>(data >> 8),
                                static_cast<std::uint8_t>(data >> 16)};
                stream.insert(stream.end(), packed->begin() + header + 24, packed->end());
                write(root / "decoder", name + "s" + std::to_string(options.section_size), stream);
            }
        }
    }
    // A compressed library and an object file (no library section) for the header reader.
    auto image = bglpack::build_library(bglpack::synthetic_library(2, 7));
    image[62] = image[63] = 0;
    image[58] = 0x80;
    write(root / "header", "object_file", image);
    // Save files of none and of two objects.
    std::vector<libcompiler::LibraryEntry> entries(2);
    entries[1].source = "C:\\scenery\\tower";
    entries[1].record.name = std::string(libtool::kObjectNameLength, 'n');
    entries[1].record.scale = 65536;
    for (std::size_t count : {2u, 0u}) {
        entries.resize(count);
        const std::string ocm = libcompiler::ocm_bytes("C:\\scenery\\lib.asm", entries);
        write(root / "ocm", "seed" + std::to_string(count), Bytes(ocm.begin(), ocm.end()));
    }
    return 0;
}
