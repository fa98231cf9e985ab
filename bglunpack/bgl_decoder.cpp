#include "bglunpack/bgl_decoder.h"

#include <bit>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace bglunpack {
namespace {

std::uint32_t read_u32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

std::uint64_t read_u64(const std::uint8_t* p) {
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap64(v);
    return v;
}

// Bits are taken from each byte least significant first; a field's first bit is its bit 0.
// The buffer holds `count` valid bits at its bottom, the bits above them are zero.
struct BitReader {
    const std::uint8_t* next;
    const std::uint8_t* end;
    std::uint64_t bits = 0;
    unsigned count = 0;

    // Makes at least n (at most 57) bits available, a byte at a time; false when the input
    // runs out first, which is exactly when a bit-by-bit reader would run out.
    bool need(unsigned n) {
        while (count < n) {
            if (next == end) return false;
            bits |= std::uint64_t(*next++) << count;
            count += 8;
        }
        return true;
    }
    // Tops the buffer up to 56..63 bits with one load; needs 8 bytes of input left. The
    // load also brings part of the next byte, which is cut off to keep the bits above
    // `count` zero.
    void refill_wide() {
        bits |= read_u64(next) << count;
        next += (63 - count) >> 3;
        count |= 56;
        bits &= (std::uint64_t(1) << count) - 1;
    }
    std::uint32_t peek(unsigned n) const {
        return static_cast<std::uint32_t>(bits & ((std::uint64_t(1) << n) - 1));
    }
    void drop(unsigned n) {
        bits >>= n;
        count -= n;
    }
};

// The literal codes by their first nine bits: the byte and the code's length (8 or 9) as
// byte | length << 8; 0 where the bits begin a match or an end code.
struct LiteralTable {
    std::uint16_t entry[512];
    constexpr LiteralTable() : entry{} {
        for (unsigned bits = 0; bits < 512; ++bits) {
            if ((bits & 1) == 0)
                entry[bits] = static_cast<std::uint16_t>((bits >> 1 & 0x7F) | 8u << 8);
            else if (bits & 2)
                entry[bits] = static_cast<std::uint16_t>((bits >> 2 & 0x7F) | 0x80 | 9u << 8);
        }
    }
};
constexpr LiteralTable kLiterals;
// Literals taken from one refill: 6 codes of at most 9 bits fit the 56 bits it guarantees.
constexpr int kLiteralsPerRefill = 6;

// Room that lets a match copy in 8-byte steps without a bounds test per step.
constexpr std::size_t kCopySlack = 8;

void copy_match(std::uint8_t* out, std::size_t pos, std::size_t distance, std::size_t length,
                std::size_t capacity) {
    std::uint8_t* dst = out + pos;
    const std::uint8_t* src = dst - distance;
    if (distance >= 8 && capacity - pos >= length + kCopySlack) {
        // Each 8-byte step reads only bytes written before it, so overlap repeats correctly.
        for (std::size_t i = 0; i < length; i += 8) std::memcpy(dst + i, src + i, 8);
    } else if (distance == 1) {
        std::memset(dst, *src, length);
    } else {
        for (std::size_t i = 0; i < length; ++i) dst[i] = src[i];
    }
}

}  // namespace

std::size_t header_length(const std::uint8_t* file) {
    return read_u32(file + kMagicOffset) == kExtendedMagic ? kLongHeaderLength
                                                           : kShortHeaderLength;
}

Result decode_stream(const std::uint8_t* in, std::size_t in_length, std::uint8_t* out,
                     std::size_t capacity, std::size_t* produced) {
    *produced = 0;
    if (in_length <= kStreamHeaderLength || in[0] != 'J' || in[1] != 'M') return kBadStream;
    BitReader br{in + kStreamHeaderLength, in + in_length};
    std::size_t pos = 0;
    Result result = kBadStream;
    for (;;) {
        // 56 bits cover any code up to a length field of k = 19 without another test.
        if (br.end - br.next >= 8) {
            br.refill_wide();
            if (capacity - pos >= kLiteralsPerRefill) {
                int n = 0;
                for (; n < kLiteralsPerRefill; ++n) {
                    const std::uint16_t e = kLiterals.entry[br.bits & 511];
                    if (e == 0) break;
                    out[pos++] = static_cast<std::uint8_t>(e);
                    br.drop(e >> 8);
                }
                if (n == kLiteralsPerRefill) continue;
                // A match (or an end code) follows: top the bits up again for it.
                if (n > 0 && br.end - br.next >= 8) br.refill_wide();
            }
        }
        if (!br.need(1)) break;
        if ((br.bits & 1) == 0) {  // 0 + 7 bits: literal 00h..7Fh
            if (!br.need(8)) break;
            if (pos >= capacity) { result = kSizeMismatch; break; }
            out[pos++] = static_cast<std::uint8_t>(br.bits >> 1 & 0x7F);
            br.drop(8);
            continue;
        }
        if (!br.need(2)) break;
        if (br.bits & 2) {  // 1 1 + 7 bits: literal 80h..FFh
            if (!br.need(9)) break;
            if (pos >= capacity) { result = kSizeMismatch; break; }
            out[pos++] = static_cast<std::uint8_t>(br.bits >> 2 | 0x80);
            br.drop(9);
            continue;
        }
        if (!br.need(3)) break;
        std::size_t distance;
        if ((br.bits & 4) == 0) {  // 1 0 0 + 6 bits
            if (!br.need(9)) break;
            distance = br.bits >> 3 & 0x3F;
            br.drop(9);
        } else {
            if (!br.need(4)) break;
            if ((br.bits & 8) == 0) {  // 1 0 1 0 + 8 bits
                if (!br.need(12)) break;
                distance = (br.bits >> 4 & 0xFF) + 64;
                br.drop(12);
            } else {  // 1 0 1 1 + 12 bits
                if (!br.need(16)) break;
                distance = (br.bits >> 4 & 0xFFF) + 320;
                br.drop(16);
                if (distance == kEndCode) {
                    if (pos >= capacity) { result = kOk; break; }
                    continue;  // end of a section: the next code starts at the next bit
                }
            }
        }
        // Length: k zero bits, a one bit, then k bits v; length = 2^k + 2 + v (3 for k = 0).
        unsigned k = 0;
        bool ended = false;
        while (br.need(1)) {
            if (br.bits != 0) {
                const auto zeros = static_cast<unsigned>(std::countr_zero(br.bits));
                k += zeros;
                br.drop(zeros + 1);
                ended = true;
                break;
            }
            k += br.count;
            br.drop(br.count);
            if (k > kMaxLengthBits) break;
        }
        if (!ended || k > kMaxLengthBits) break;
        if (!br.need(k)) break;
        const std::uint64_t length = (std::uint64_t(1) << k) + 2 + br.peek(k);
        br.drop(k);
        if (distance == 0 || distance > pos) break;
        if (length > capacity - pos) { result = kSizeMismatch; break; }
        copy_match(out, pos, distance, static_cast<std::size_t>(length), capacity);
        pos += static_cast<std::size_t>(length);
    }
    *produced = pos;
    return result;
}

Result unpack_image(const std::uint8_t* file, std::size_t file_size, std::uint8_t** image,
                    std::size_t* image_size) {
    *image = nullptr;
    // Too short to hold a header and the compressed-data header: not a compressed library.
    if (file_size < kShortHeaderLength + kDataHeaderLength) return kNotCompressed;
    const std::size_t header = header_length(file);
    if (file_size < header + kDataHeaderLength) return kNotCompressed;
    if (header == kLongHeaderLength &&
        (read_u32(file + 54) | read_u32(file + 156) | read_u32(file + 160) |
         read_u32(file + 164)) != 0)
        return kNotCompressed;
    const std::uint8_t* data_header = file + header;
    if (read_u32(data_header) != kSignature) return kNotCompressed;
    const std::uint32_t expected = read_u32(data_header + 4);
    const std::uint32_t checksum = read_u32(data_header + 8);

    // The size output is a signed 32-bit integer: a larger image cannot be handed out.
    if (expected > std::uint32_t(std::numeric_limits<std::int32_t>::max()) - header)
        return kNoMemory;
    const std::size_t total = header + expected;
    auto* buffer = static_cast<std::uint8_t*>(std::malloc(total));
    if (!buffer) return kNoMemory;
    std::memcpy(buffer, file, header);
    std::memset(buffer + kSpare2Offset, 0, 4);

    std::size_t produced = 0;
    Result r = decode_stream(data_header + kDataHeaderLength,
                             file_size - header - kDataHeaderLength, buffer + header, expected,
                             &produced);
    if (r == kOk && produced != expected) r = kSizeMismatch;
    // The library's checksum of the decoded bytes is 0 for every input.
    if (r == kOk && checksum != 0) r = kBadChecksum;
    if (r != kOk) {
        std::free(buffer);
        return r;
    }
    *image = buffer;
    *image_size = total;
    return kOk;
}

}  // namespace bglunpack
