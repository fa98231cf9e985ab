#include "tools/bglpack/sample_library.h"

#include <random>

namespace bglpack {
namespace {

constexpr std::size_t kIndexEntry = 20;
constexpr std::size_t kObjectHeader = 41;

struct Writer {
    std::vector<std::uint8_t>& out;
    void u8(std::uint8_t v) { out.push_back(v); }
    void u16(std::uint16_t v) {
        u8(static_cast<std::uint8_t>(v));
        u8(static_cast<std::uint8_t>(v >> 8));
    }
    void u32(std::uint32_t v) {
        u16(static_cast<std::uint16_t>(v));
        u16(static_cast<std::uint16_t>(v >> 16));
    }
};

void set_u32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::size_t name_bytes(const std::string& name) { return (name.size() / 4 + 1) * 4; }

}  // namespace

std::vector<std::uint8_t> build_library(const SampleLibrary& library) {
    const std::size_t header = library.extended_header ? 168 : 128;
    std::vector<std::uint8_t> out(header, 0);
    out[0] = 1;                                // FL_world_set
    set_u32(out, 2, 0x00989D57u);              // north
    set_u32(out, 6, 0xFF6914C5u);              // south
    set_u32(out, 10, 0x7FFFFFFFu);             // east
    set_u32(out, 14, 0x80B60B62u);             // west
    set_u32(out, 62, static_cast<std::uint32_t>(header));  // FL_library_ptr
    if (!library.objects.empty()) {
        const auto& lo = library.objects.front().identifier;
        const auto& hi = library.objects.back().identifier;
        set_u32(out, 86, lo[0]);
        set_u32(out, 90, lo[1]);
        set_u32(out, 94, hi[0]);
        set_u32(out, 98, hi[1]);
    }
    if (library.extended_header) {
        set_u32(out, 118, 0x87654321u);
        set_u32(out, 128, 0x11111111u);
        set_u32(out, 132, 0x22222222u);
        set_u32(out, 136, 0x33333333u);
        set_u32(out, 140, 0x44444444u);
        set_u32(out, 148, 1234);                 // build_num
    }

    Writer w{out};
    std::size_t offset = kIndexEntry * (library.objects.size() + 1);
    for (const auto& o : library.objects) {
        w.u32(static_cast<std::uint32_t>(offset));
        for (auto g : o.identifier) w.u32(g);
        offset += kObjectHeader + name_bytes(o.name) + o.data.size();
    }
    for (std::size_t i = 0; i < kIndexEntry; ++i) w.u8(0);
    for (const auto& o : library.objects) {
        for (auto g : o.identifier) w.u32(g);
        w.u8(o.image_power);
        w.u32(static_cast<std::uint32_t>(kObjectHeader + name_bytes(o.name)));
        w.u32(static_cast<std::uint32_t>(o.data.size()));
        w.u32(static_cast<std::uint32_t>(o.size));
        w.u32(static_cast<std::uint32_t>(o.scale));
        w.u32(static_cast<std::uint32_t>(o.type));
        w.u32(0);
        out.insert(out.end(), o.name.begin(), o.name.end());
        out.resize(out.size() + name_bytes(o.name) - o.name.size(), 0);
        out.insert(out.end(), o.data.begin(), o.data.end());
    }
    return out;
}

SampleLibrary synthetic_library(std::size_t count, std::uint32_t seed, bool extended_header) {
    static const char* const kTextures[] = {"hangar_wall.bmp", "roof_tin.bmp", "tarmac01.bmp",
                                            "grass_edge.bmp", "windows_lm.bmp"};
    std::mt19937 rng(seed);
    SampleLibrary lib;
    lib.extended_header = extended_header;
    for (std::size_t i = 0; i < count; ++i) {
        SampleObject o;
        o.identifier = {std::uint32_t(rng()), std::uint32_t(rng()), std::uint32_t(rng()),
                        static_cast<std::uint32_t>(i + 1)};
        o.image_power = static_cast<std::uint8_t>(50 + rng() % 100);
        o.scale = (rng() % 4 == 0) ? 32768 : 65536;
        o.type = static_cast<std::int32_t>(rng() % 3);
        o.name = "Object_" + std::to_string(i) + (i % 3 ? "_hangar" : "_tower");
        std::vector<std::uint8_t>& d = o.data;
        Writer w{d};
        const int vertices = 20 + static_cast<int>(rng() % 200);
        w.u16(0x0029);  // a drawing opcode, then a vertex list
        w.u16(static_cast<std::uint16_t>(vertices));
        std::int16_t x = 0, y = 0, z = 0;
        for (int v = 0; v < vertices; ++v) {
            x = static_cast<std::int16_t>(x + static_cast<int>(rng() % 64) - 32);
            y = static_cast<std::int16_t>(y + static_cast<int>(rng() % 8) - 4);
            z = static_cast<std::int16_t>(z + static_cast<int>(rng() % 64) - 32);
            w.u16(static_cast<std::uint16_t>(x));
            w.u16(static_cast<std::uint16_t>(y));
            w.u16(static_cast<std::uint16_t>(z));
            w.u16(0);
            w.u16(static_cast<std::uint16_t>(rng() % 3 == 0 ? 0x7FFF : 0));  // normal
            w.u16(0);
        }
        const char* texture = kTextures[rng() % 5];
        w.u16(0x0043);
        for (const char* c = texture; *c; ++c) w.u8(static_cast<std::uint8_t>(*c));
        w.u8(0);
        const int polygons = 10 + static_cast<int>(rng() % 60);
        for (int p = 0; p < polygons; ++p) {
            w.u16(0x003E);
            w.u16(3);
            for (int k = 0; k < 3; ++k) w.u16(static_cast<std::uint16_t>(rng() % vertices));
        }
        for (int n = static_cast<int>(rng() % 64); n > 0; --n) w.u8(static_cast<std::uint8_t>(rng()));
        w.u16(0x0022);  // return
        o.size = static_cast<std::int32_t>(d.size());
        lib.objects.push_back(std::move(o));
    }
    return lib;
}

}  // namespace bglpack
