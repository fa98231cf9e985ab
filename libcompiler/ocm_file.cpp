#include "libcompiler/ocm_file.h"

#include <span>

#include "libtool/bgl_file.h"
#include "workbench/asm_line.h"

namespace libcompiler {
namespace {

using Bytes = std::vector<std::uint8_t>;

void put_text(Bytes& b, std::size_t at, const std::string& text, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) b[at + i] = static_cast<std::uint8_t>(i < text.size() ? text[i] : ' ');
}

std::string get_text(const Bytes& b, std::size_t at, std::size_t width) {
    return std::string(b.begin() + static_cast<std::ptrdiff_t>(at), b.begin() + static_cast<std::ptrdiff_t>(at + width));
}

// Offsets inside one object's 352 bytes.
constexpr std::size_t kImagePower = 16, kLongs = 17, kName = 41, kPositions = 88, kSource = 96;
constexpr std::size_t kSourceWidth = 256, kOutputWidth = 255;

}  // namespace

std::string ocm_bytes(const std::string& output_file, const std::vector<LibraryEntry>& entries) {
    Bytes b(kOcmHeaderBytes + entries.size() * kOcmObjectBytes, 0);
    libtool::put_le(b, 0, kOcmMark, 4);
    put_text(b, 4, "OCM file", 20);
    libtool::put_le(b, 36, static_cast<std::uint32_t>(static_cast<std::int32_t>(entries.size()) - 1), 4);
    put_text(b, 40, output_file, kOutputWidth);
    std::size_t at = kOcmHeaderBytes;
    for (const LibraryEntry& e : entries) {
        const LibraryObjectRecord& r = e.record;
        for (std::size_t g = 0; g < 4; ++g) libtool::put_le(b, at + 4 * g, r.identifier[g], 4);
        b[at + kImagePower] = r.image_power;
        std::size_t k = at + kLongs;
        for (std::int32_t v : {r.header_size, r.data_size, r.size, r.scale, r.type, r.reserved}) {
            libtool::put_le(b, k, static_cast<std::uint32_t>(v), 4);
            k += 4;
        }
        put_text(b, at + kName, r.name, libtool::kObjectNameLength);
        libtool::put_le(b, at + kPositions, static_cast<std::uint32_t>(r.object_position), 4);
        libtool::put_le(b, at + kPositions + 4, static_cast<std::uint32_t>(r.index_position), 4);
        put_text(b, at + kSource, e.source, kSourceWidth);
        at += kOcmObjectBytes;
    }
    return std::string(b.begin(), b.end());
}

std::optional<OcmContents> read_ocm(const std::string& bytes) {
    const Bytes b(bytes.begin(), bytes.end());
    const std::span<const std::uint8_t> span(b);
    if (b.size() < kOcmHeaderBytes || libtool::le_s32(span, 0) != kOcmMark) return std::nullopt;
    const std::int64_t count = static_cast<std::int64_t>(libtool::le_s32(span, 36)) + 1;
    if (count < 0 || static_cast<std::uint64_t>(count) > (b.size() - kOcmHeaderBytes) / kOcmObjectBytes)
        return std::nullopt;
    OcmContents c;
    c.output_file = wb::trim(get_text(b, 40, kOutputWidth));
    std::size_t at = kOcmHeaderBytes;
    for (std::int64_t n = 0; n < count; ++n, at += kOcmObjectBytes) {
        LibraryEntry e;
        LibraryObjectRecord& r = e.record;
        for (std::size_t g = 0; g < 4; ++g) r.identifier[g] = libtool::le_u32(span, at + 4 * g);
        r.image_power = b[at + kImagePower];
        std::size_t k = at + kLongs;
        for (std::int32_t* v : {&r.header_size, &r.data_size, &r.size, &r.scale, &r.type, &r.reserved}) {
            *v = libtool::le_s32(span, k);
            k += 4;
        }
        r.name = get_text(b, at + kName, libtool::kObjectNameLength);
        r.object_position = libtool::le_s32(span, at + kPositions);
        r.index_position = libtool::le_s32(span, at + kPositions + 4);
        e.source = wb::trim(get_text(b, at + kSource, kSourceWidth));
        c.entries.push_back(std::move(e));
    }
    return c;
}

}  // namespace libcompiler
