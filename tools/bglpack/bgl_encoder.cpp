#include "tools/bglpack/bgl_encoder.h"

#include <algorithm>
#include <bit>
#include <limits>

namespace bglpack {
namespace {

constexpr std::size_t kWindow = 4414;
constexpr unsigned kEndDistance = 4415;
constexpr unsigned kHashBits = 15;
constexpr std::size_t kChainSize = 8192;  // a power of two above the window
constexpr std::uint32_t kExtendedMagic = 0x87654321u;
constexpr std::uint32_t kSignature = 0xABCDEF01u;

std::uint32_t read_u32(std::span<const std::uint8_t> b, std::size_t at) {
    if (at + 4 > b.size()) return 0;
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
           std::uint32_t(b[at + 3]) << 24;
}

void put_u32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// Hash chains over 3-byte prefixes, positions older than the window dropped.
class MatchFinder {
public:
    explicit MatchFinder(std::span<const std::uint8_t> data)
        : data_(data), head_(std::size_t(1) << kHashBits, -1), prev_(kChainSize, -1) {}

    // Inserts every position below `end` that is not in yet.
    void insert_until(std::size_t end) {
        for (; next_ < end && next_ + kMinMatch <= data_.size(); ++next_) {
            const std::uint32_t h = hash(next_);
            prev_[next_ & (kChainSize - 1)] = head_[h];
            head_[h] = static_cast<std::ptrdiff_t>(next_);
        }
        next_ = std::max(next_, end);
    }

    struct Match {
        std::size_t length = 0, distance = 0;
    };
    // The longest earlier match at pos within the window (length 0 when shorter than 3).
    Match longest(std::size_t pos, unsigned max_chain) const {
        Match best;
        if (pos + kMinMatch > data_.size()) return best;
        const std::size_t limit = std::min(kMaxMatch, data_.size() - pos);
        const std::uint8_t* here = data_.data() + pos;
        std::size_t best_length = kMinMatch - 1;
        std::ptrdiff_t candidate = head_[hash(pos)];
        for (unsigned chain = max_chain; candidate >= 0 && chain > 0; --chain) {
            const auto at = static_cast<std::size_t>(candidate);
            if (at >= pos || pos - at > kWindow) break;
            const std::uint8_t* there = data_.data() + at;
            if (there[best_length] == here[best_length]) {
                std::size_t n = 0;
                while (n < limit && there[n] == here[n]) ++n;
                if (n > best_length) {
                    best_length = n;
                    best = {n, pos - at};
                    if (n == limit) break;
                }
            }
            const std::ptrdiff_t older = prev_[at & (kChainSize - 1)];
            if (older >= candidate) break;  // slot reused by a newer position
            candidate = older;
        }
        return best;
    }

private:
    std::uint32_t hash(std::size_t pos) const {
        const std::uint32_t v = std::uint32_t(data_[pos]) | std::uint32_t(data_[pos + 1]) << 8 |
                                std::uint32_t(data_[pos + 2]) << 16;
        return (v * 2654435761u) >> (32 - kHashBits);
    }

    std::span<const std::uint8_t> data_;
    std::vector<std::ptrdiff_t> head_;
    std::vector<std::ptrdiff_t> prev_;
    std::size_t next_ = 0;
};

}  // namespace

StreamWriter::StreamWriter() : bytes_{'J', 'M', 0x00, 0x01} {}

void StreamWriter::bits(std::uint32_t value, unsigned count) {
    if (count == 0) return;
    if (count < 32) value &= (std::uint32_t(1) << count) - 1;
    acc_ |= std::uint64_t(value) << fill_;
    fill_ += count;
    while (fill_ >= 8) {
        bytes_.push_back(static_cast<std::uint8_t>(acc_));
        acc_ >>= 8;
        fill_ -= 8;
    }
}

void StreamWriter::literal(std::uint8_t byte) {
    if (byte < 0x80)
        bits(std::uint32_t(byte) << 1, 8);                   // 0, 7 bits
    else
        bits(0x3u | std::uint32_t(byte & 0x7F) << 2, 9);     // 1 1, 7 bits
}

void StreamWriter::match(unsigned distance, std::uint64_t length) {
    if (distance < 64)
        bits(0x1u | distance << 3, 9);                       // 1 0 0, 6 bits
    else if (distance < 320)
        bits(0x5u | (distance - 64) << 4, 12);               // 1 0 1 0, 8 bits
    else
        bits(0xDu | (distance - 320) << 4, 16);              // 1 0 1 1, 12 bits
    // k zero bits, a one bit, k bits: length = 2^k + 2 + v.
    const std::uint64_t rest = length - 2;
    const unsigned k = static_cast<unsigned>(std::bit_width(rest)) - 1;
    for (unsigned z = k; z > 0;) {
        const unsigned n = std::min(z, 31u);
        bits(0, n);
        z -= n;
    }
    bits(1, 1);
    bits(static_cast<std::uint32_t>(rest - (std::uint64_t(1) << k)), k);
}

void StreamWriter::end_code() { bits(0xDu | (kEndDistance - 320) << 4, 16); }

std::vector<std::uint8_t> StreamWriter::finish() const {
    std::vector<std::uint8_t> out = bytes_;
    if (fill_ > 0) out.push_back(static_cast<std::uint8_t>(acc_));
    return out;
}

std::vector<std::uint8_t> compress_stream(std::span<const std::uint8_t> data,
                                          const Options& options) {
    StreamWriter w;
    MatchFinder finder(data);
    const unsigned chain = std::max(1u, options.max_chain);
    std::size_t pos = 0, in_section = 0;
    while (pos < data.size()) {
        finder.insert_until(pos);
        auto m = finder.longest(pos, chain);
        if (m.length >= kMinMatch && options.lazy && m.length < kMaxMatch) {
            finder.insert_until(pos + 1);
            if (finder.longest(pos + 1, chain).length > m.length) m.length = 0;
        }
        if (m.length >= kMinMatch) {
            w.match(static_cast<unsigned>(m.distance), m.length);
            pos += m.length;
            in_section += m.length;
        } else {
            w.literal(data[pos]);
            ++pos;
            ++in_section;
        }
        if (options.section_size && in_section >= options.section_size && pos < data.size()) {
            w.end_code();
            in_section = 0;
        }
    }
    w.end_code();
    return w.finish();
}

std::size_t bgl_header_length(std::span<const std::uint8_t> image) {
    return read_u32(image, 118) == kExtendedMagic ? 168 : 128;
}

std::vector<std::uint8_t> assemble_file(std::span<const std::uint8_t> header,
                                        std::span<const std::uint8_t> stream,
                                        std::uint32_t uncompressed_size, std::uint32_t checksum) {
    std::vector<std::uint8_t> out(header.begin(), header.end());
    if (out.size() >= 126) {
        out[122] = 1;
        out[123] = out[124] = out[125] = 0;
    }
    put_u32(out, kSignature);
    put_u32(out, uncompressed_size);
    put_u32(out, checksum);
    put_u32(out, 0);
    put_u32(out, 0);
    out.insert(out.end(), stream.begin(), stream.end());
    return out;
}

std::optional<std::vector<std::uint8_t>> pack_bgl(std::span<const std::uint8_t> image,
                                                  const Options& options, std::string* error) {
    auto fail = [&](const char* why) {
        if (error) *error = why;
        return std::nullopt;
    };
    const std::size_t header = bgl_header_length(image);
    if (image.size() < header) return fail("the file is shorter than a BGL header");
    if (image.size() > std::size_t(std::numeric_limits<std::int32_t>::max()))
        return fail("the file is too large");
    if (read_u32(image, 122) != 0) return fail("the file is already compressed (FL_spare2 set)");
    if (header == 168 && (read_u32(image, 54) | read_u32(image, 156) | read_u32(image, 160) |
                          read_u32(image, 164)) != 0)
        return fail("a compressed library cannot carry terrain or airport facility data");
    const auto data = image.subspan(header);
    return assemble_file(image.first(header), compress_stream(data, options),
                         static_cast<std::uint32_t>(data.size()));
}

}  // namespace bglpack
