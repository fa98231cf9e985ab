// bglpack: compresses a library BGL into the format that bglunpack reads, unpacks one again,
// or writes a synthetic library to try things with.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bglunpack/bgl_decoder.h"
#include "tools/bglpack/bgl_encoder.h"
#include "tools/bglpack/sample_library.h"
#include "ui/errors.h"
#include "ui/fileio.h"

namespace {

const char kUsage[] =
    "usage: bglpack [--sections BYTES] [--chain N] [--greedy] INPUT.bgl OUTPUT.bgl\n"
    "       bglpack -d INPUT.bgl OUTPUT.bgl\n"
    "       bglpack --sample OBJECTS [--extended] [--seed N] OUTPUT.bgl\n"
    "Compresses an uncompressed library BGL (default), unpacks a compressed one (-d), or\n"
    "writes a synthetic uncompressed library (--sample).\n";

bool read_file(const std::string& path, std::vector<std::uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

int fail(const std::string& message) {
    std::fprintf(stderr, "bglpack: %s\n", message.c_str());
    return 1;
}

// The output is written whole or not at all (a full disk included): a failed write leaves no
// partial file and any earlier file of that name as it was.
bool write_file(const std::string& path, const std::uint8_t* data, std::size_t size) {
    try {
        ui::write_file_atomic(path, std::string(reinterpret_cast<const char*>(data), size));
        return true;
    } catch (const ui::RuntimeError& e) {
        fail("cannot write " + path + ": " + e.description);
        return false;
    }
}

bool number(const char* text, unsigned long& value) {
    char* end = nullptr;
    value = std::strtoul(text, &end, 10);
    return end != text && *end == 0;
}

}  // namespace

int main(int argc, char** argv) {
    bglpack::Options options;
    bool unpack = false, extended = false;
    unsigned long sample = 0, seed = 1;
    bool make_sample = false;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        unsigned long v = 0;
        const bool has_value = i + 1 < argc;
        if (a == "-d") {
            unpack = true;
        } else if (a == "--greedy") {
            options.lazy = false;
        } else if (a == "--extended") {
            extended = true;
        } else if (a == "--sections" && has_value && number(argv[i + 1], v)) {
            options.section_size = v;
            ++i;
        } else if (a == "--chain" && has_value && number(argv[i + 1], v) && v > 0) {
            options.max_chain = static_cast<unsigned>(v);
            ++i;
        } else if (a == "--sample" && has_value && number(argv[i + 1], v)) {
            make_sample = true;
            sample = v;
            ++i;
        } else if (a == "--seed" && has_value && number(argv[i + 1], v)) {
            seed = v;
            ++i;
        } else if (a == "-h" || a == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (!a.empty() && a[0] != '-') {
            files.push_back(a);
        } else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }

    if (make_sample) {
        if (files.size() != 1) { std::fputs(kUsage, stderr); return 2; }
        const auto image = bglpack::build_library(
            bglpack::synthetic_library(sample, static_cast<std::uint32_t>(seed), extended));
        if (!write_file(files[0], image.data(), image.size())) return 1;
        std::printf("%s: %lu objects, %zu bytes\n", files[0].c_str(), sample, image.size());
        return 0;
    }
    if (files.size() != 2) { std::fputs(kUsage, stderr); return 2; }

    std::vector<std::uint8_t> input;
    if (!read_file(files[0], input)) return fail("cannot read " + files[0]);
    if (unpack) {
        std::uint8_t* image = nullptr;
        std::size_t size = 0;
        const auto r = bglunpack::unpack_image(input.data(), input.size(), &image, &size);
        if (r != bglunpack::kOk)
            return fail(files[0] + ": cannot unpack (result code " + std::to_string(r) + ")");
        const bool ok = write_file(files[1], image, size);
        std::free(image);
        if (!ok) return 1;
        std::printf("%s: %zu bytes -> %s: %zu bytes\n", files[0].c_str(), input.size(),
                    files[1].c_str(), size);
        return 0;
    }
    std::string error;
    const auto packed = bglpack::pack_bgl(input, options, &error);
    if (!packed) return fail(files[0] + ": " + error);
    if (!write_file(files[1], packed->data(), packed->size())) return 1;
    std::printf("%s: %zu bytes -> %s: %zu bytes (%.1f%%)\n", files[0].c_str(), input.size(),
                files[1].c_str(), packed->size(),
                input.empty() ? 0.0 : 100.0 * double(packed->size()) / double(input.size()));
    return 0;
}
