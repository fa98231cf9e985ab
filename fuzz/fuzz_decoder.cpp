// The decoder against the plain bit-by-bit decoder: same result code, same bytes, and no read
// or write outside the buffers (ASan). The first byte picks the mode:
//   bit 7 clear: bytes 1..3 are the output capacity (below 1 MiB), the rest a stream body
//                behind "JM" 00h 01h;
//   bit 7 set:   the rest is a whole compressed library file for unpack_image.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bglunpack/bgl_decoder.h"
#include "tests/bglunpack/reference_decoder.h"

namespace {

void check_stream(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return;
    const std::size_t capacity = (data[0] | data[1] << 8 | data[2] << 16) & 0xFFFFF;
    std::vector<std::uint8_t> stream = {'J', 'M', 0, 1};
    stream.insert(stream.end(), data + 3, data + size);
    // Exactly `capacity` bytes, so that ASan reports any write past them.
    auto* out = static_cast<std::uint8_t*>(std::malloc(capacity ? capacity : 1));
    std::size_t produced = 0;
    const auto code = bglunpack::decode_stream(stream.data(), stream.size(), out, capacity,
                                               &produced);
    const auto plain = reference::decode(stream.data(), stream.size(), capacity);
    if (code != plain.code) __builtin_trap();
    if (code == bglunpack::kOk &&
        (produced != plain.output.size() ||
         (produced > 0 && std::memcmp(out, plain.output.data(), produced) != 0)))
        __builtin_trap();
    std::free(out);
}

void check_file(const std::uint8_t* data, std::size_t size) {
    // A stored size above 16 MiB would only measure the allocator.
    if (size >= bglunpack::kMagicOffset + 4) {
        const std::size_t header = bglunpack::header_length(data);
        if (size >= header + 8 && (data[header + 7] != 0 || data[header + 6] != 0)) return;
    }
    std::uint8_t* image = nullptr;
    std::size_t image_size = 0;
    if (bglunpack::unpack_image(data, size, &image, &image_size) == bglunpack::kOk) {
        if (image_size < bglunpack::kShortHeaderLength) __builtin_trap();
        std::free(image);
    } else if (image) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    if (data[0] & 0x80)
        check_file(data + 1, size - 1);
    else
        check_stream(data + 1, size - 1);
    return 0;
}
