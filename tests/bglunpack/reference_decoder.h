#pragma once
// A deliberately plain decoder of the compressed stream, one bit at a time, written straight
// from the format's code table. Tests and the differential fuzzer compare the fast decoder
// against it: same result code, same bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace reference {

struct Outcome {
    std::int32_t code;  // 0, 8 or 32 as bglunpack::Result
    std::vector<std::uint8_t> output;
};

inline Outcome decode(const std::uint8_t* in, std::size_t length, std::size_t capacity) {
    Outcome o{32, {}};
    if (length <= 4 || in[0] != 'J' || in[1] != 'M') return o;
    std::size_t byte = 4;
    unsigned bit = 8;
    bool exhausted = false;
    auto read_bit = [&]() -> unsigned {
        if (bit == 8) {
            if (byte == length) {
                exhausted = true;
                return 0;
            }
            ++byte;
            bit = 0;
        }
        return in[byte - 1] >> bit++ & 1;
    };
    auto read_field = [&](unsigned n) {
        std::uint64_t v = 0;
        for (unsigned i = 0; i < n && !exhausted; ++i) v |= std::uint64_t(read_bit()) << i;
        return v;
    };
    for (;;) {
        const unsigned first = read_bit();
        if (exhausted) return o;
        if (first == 0) {
            const auto v = read_field(7);
            if (exhausted) return o;
            if (o.output.size() >= capacity) { o.code = 8; return o; }
            o.output.push_back(static_cast<std::uint8_t>(v));
            continue;
        }
        const unsigned second = read_bit();
        if (exhausted) return o;
        if (second == 1) {
            const auto v = read_field(7);
            if (exhausted) return o;
            if (o.output.size() >= capacity) { o.code = 8; return o; }
            o.output.push_back(static_cast<std::uint8_t>(v + 0x80));
            continue;
        }
        std::uint64_t distance;
        if (read_bit() == 0) {
            distance = read_field(6);
        } else if (read_bit() == 0) {
            distance = read_field(8) + 64;
        } else {
            distance = read_field(12) + 320;
        }
        if (exhausted) return o;
        if (distance == 4415) {
            if (o.output.size() >= capacity) { o.code = 0; return o; }
            continue;
        }
        unsigned k = 0;
        while (read_bit() == 0) {
            if (exhausted) return o;
            if (++k > 31) return o;
        }
        if (exhausted) return o;
        const std::uint64_t v = read_field(k);
        if (exhausted) return o;
        const std::uint64_t match = (std::uint64_t(1) << k) + 2 + v;
        if (distance == 0 || distance > o.output.size()) return o;
        if (match > capacity - o.output.size()) { o.code = 8; return o; }
        for (std::uint64_t i = 0; i < match; ++i)
            o.output.push_back(o.output[o.output.size() - distance]);
    }
}

}  // namespace reference
