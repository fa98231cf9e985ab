#include "random_export.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace property {

int pick(Random& rng, int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }
double uniform(Random& rng, double low, double high) { return std::uniform_real_distribution<double>(low, high)(rng); }
bool chance(Random& rng, double p) { return uniform(rng, 0, 1) < p; }

namespace {

constexpr double kPi = 3.14159265358979;
constexpr double kEarthDiameter = 12734620;

// "0" + upper-case hexadecimal + "h", negative values as their 32-bit two's complement.
std::string hex(std::int64_t v) {
    char b[24];
    std::snprintf(b, sizeof b, "0%Xh", static_cast<unsigned>(static_cast<std::uint32_t>(v)));
    return b;
}

std::string fixed(double v, int decimals) {
    char b[48];
    std::snprintf(b, sizeof b, "%.*f", decimals, v);
    return b;
}

struct Vertex {
    double x, y, z;
};

// One drawing block: its vertices (numbered from 0 in the block) and triangles.
struct Block {
    std::vector<Vertex> vertices;
    std::vector<std::array<int, 3>> triangles;
};

// A convex outline of 3 .. 10 points drawn as a fan from its first point, as a flat polygon in
// gmax exports (lakes, decals, landing areas).
Block fan(Random& rng) {
    Block b;
    const int n = pick(rng, 3, 10);
    const double cx = uniform(rng, -300, 300), cz = uniform(rng, -300, 300), y = chance(rng, 0.7) ? 0 : uniform(rng, -5, 40);
    const double radius = uniform(rng, 1, 400), start = uniform(rng, 0, 2 * kPi);
    const bool clockwise = chance(rng, 0.5);
    for (int i = 0; i < n; ++i) {
        const double a = start + (clockwise ? 1 : -1) * 2 * kPi * i / n;
        b.vertices.push_back({cx + radius * std::sin(a), y, cz + radius * std::cos(a)});
    }
    for (int i = 1; i + 1 < n; ++i) b.triangles.push_back({0, i, i + 1});
    return b;
}

// Rectangles of two triangles sharing their diagonal (ground types), 1 .. 25 of them.
Block quads(Random& rng) {
    Block b;
    const int n = pick(rng, 1, 25);
    for (int q = 0; q < n; ++q) {
        const double x = uniform(rng, -300, 300), z = uniform(rng, -300, 300);
        const double w = uniform(rng, 0.5, 60), d = uniform(rng, 0.5, 60), y = chance(rng, 0.8) ? 0 : uniform(rng, 0, 10);
        const int v = static_cast<int>(b.vertices.size());
        b.vertices.insert(b.vertices.end(), {{x, y, z}, {x + w, y, z}, {x + w, y, z + d}, {x, y, z + d}});
        b.triangles.push_back({v, v + 1, v + 2});
        b.triangles.push_back({v, v + 2, v + 3});
    }
    return b;
}

// Triangles of their own three corners each, some upright (a corner above the others, as a
// windsock's mast or a light's marker), 1 .. 50 of them.
Block loose(Random& rng) {
    Block b;
    const int n = pick(rng, 1, 50);
    for (int t = 0; t < n; ++t) {
        const double x = uniform(rng, -500, 500), z = uniform(rng, -500, 500), y = uniform(rng, 0, 30);
        const double s = uniform(rng, 0.05, 5), h = chance(rng, 0.5) ? uniform(rng, 0.5, 20) : 0;
        const int v = static_cast<int>(b.vertices.size());
        b.vertices.insert(b.vertices.end(), {{x, y, z}, {x + s, y, z}, {x, y + h, z + s}});
        b.triangles.push_back({v, v + 1, v + 2});
    }
    return b;
}

// 1 .. 50 triangles over a shared cloud of points.
Block cloud(Random& rng) {
    Block b;
    const int points = pick(rng, 3, 30);
    for (int i = 0; i < points; ++i)
        b.vertices.push_back({uniform(rng, -200, 200), uniform(rng, 0, 20), uniform(rng, -200, 200)});
    const int n = pick(rng, 1, 50);
    for (int t = 0; t < n; ++t) {
        std::array<int, 3> c{};
        for (int& k : c) k = pick(rng, 0, points - 1);
        b.triangles.push_back(c);
    }
    return b;
}

Block random_block(Random& rng) {
    switch (pick(rng, 0, 3)) {
        case 0: return fan(rng);
        case 1: return quads(rng);
        case 2: return loose(rng);
        default: return cloud(rng);
    }
}

std::string material_line(Random& rng, int highlight) {
    double c[3];
    for (double& v : c) v = chance(rng, 0.2) ? pick(rng, 0, 1) : uniform(rng, 0, 1);
    std::string h;
    if (highlight > 0) h = std::to_string(highlight >> 2 & 1) + "," + std::to_string(highlight >> 1 & 1) + "," +
                           std::to_string(highlight & 1);
    else h = chance(rng, 0.8) ? "0,0,0" : "1,0,0.5";
    std::string s = "        MATERIAL_DEF ";
    for (double v : c) s += fixed(v, 6) + ",";
    s += "1.000000,";
    for (double v : c) s += fixed(v, 6) + ",";
    return s + h + ",0.000000";
}

}  // namespace

Export random_export(Random& rng, const std::string& name) {
    Export e;
    const int materials = pick(rng, 1, 12);
    std::vector<std::string> material_lines;
    for (int m = 0; m < materials; ++m) {
        const int highlight = chance(rng, 0.6) ? pick(rng, 1, 7) : 0;
        if (highlight) e.highlighted.push_back(m);
        material_lines.push_back(material_line(rng, highlight));
    }
    if (e.highlighted.empty()) {  // an export to work on has at least one highlighted material
        e.highlighted.push_back(0);
        material_lines[0] = material_line(rng, pick(rng, 1, 7));
    }

    // Blocks in a random order; now and then a material without one.
    std::vector<int> order;
    for (int m = 0; m < materials; ++m)
        if (chance(rng, 0.95)) order.push_back(m);
    std::shuffle(order.begin(), order.end(), rng);
    e.with_block = order;
    std::vector<std::string> vertex_lines, draw_lines;
    for (int m : order) {
        const Block b = random_block(rng);
        const std::size_t base = vertex_lines.size();
        for (const Vertex& v : b.vertices)
            vertex_lines.push_back("        VERTEX_DEF " + fixed(v.x, 4) + ", " + fixed(v.y, 4) + ", " + fixed(v.z, 4) +
                                   ", 0.0000, 1.0000, 0.0000, 0.0000, 0.0000");
        draw_lines.push_back("        MATERIAL " + std::to_string(m) + ",0");
        draw_lines.push_back("        DRAW_TRI_BEGIN " + std::to_string(base) + "," + std::to_string(b.vertices.size()));
        for (const auto& t : b.triangles)
            draw_lines.push_back("        DRAW_TRI " + std::to_string(t[0]) + "," + std::to_string(t[1]) + "," +
                                 std::to_string(t[2]));
        draw_lines.push_back("        DRAW_TRI_END");
    }

    std::string& o = e.object;
    o = ";  Exported model: " + name + ", drawing code\r\n" + name + "_top      label   BGLCODE\r\n";
    o += "        BGL_BEGIN 0800h\r\n        MATERIAL_LIST_BEGIN\r\n";
    for (const auto& l : material_lines) o += l + "\r\n";
    o += "        MATERIAL_LIST_END\r\n        VERTEX_LIST_BEGIN\r\n";
    for (const auto& l : vertex_lines) o += l + "\r\n";
    o += "        VERTEX_LIST_END\r\n";
    for (const auto& l : draw_lines) o += l + "\r\n";
    o += "        BGL_END\r\n        BGL_RETURN\r\n";

    // Placement: any hemisphere, heading and scale. Latitude in metres north of the equator and
    // longitude in 1/2^32 of a turn, each a 32-bit whole part and a 16-bit fraction.
    const double latitude = uniform(rng, -85, 85) * kEarthDiameter * kPi / 360;
    const double longitude = uniform(rng, -180, 180) / 360 * 4294967296.0;
    const auto lat = static_cast<std::int64_t>(std::floor(latitude));
    const auto lon = static_cast<std::int64_t>(std::floor(longitude));
    const auto lat_fraction = static_cast<int>((latitude - std::floor(latitude)) * 65536);
    const auto lon_fraction = static_cast<int>((longitude - std::floor(longitude)) * 65536);
    static const int kScales[] = {0x10000, 0x8000, 0x20000, 0x4000, 0x40000};
    const int scale = chance(rng, 0.8) ? kScales[pick(rng, 0, 4)] : pick(rng, 0x1000, 0x100000);
    const int heading = chance(rng, 0.3) ? 0 : pick(rng, 0, 65535);
    const bool instance = chance(rng, 0.7);

    std::string& h = e.header;
    h = ";  Exported model: " + name + "\r\n";
    h += "header  label   word\r\n        dw      0001\r\n";
    h += "        dd      " + hex(lat + 2000) + ", " + hex(lat - 2000) + "\r\n";
    h += "        dd      " + hex(lon + 200000) + ", " + hex(lon - 200000) + "\r\n";
    h += "        dd      0\r\n        dw      0, 0\r\n        dd      0, 0, 0, 0, 0, 0\r\n        dd      0\r\n"
         "        dd      0\r\n";
    h += "        dd      (offset OBJECT_DATA) - (offset header)\r\n";
    h += "        dw      33 dup(0)\r\n\r\n";
    h += "OBJECT_DATA     label   word\r\n        db      21\r\n";
    h += "        dd      " + hex(lat) + ", " + hex(lon) + "\r\n        db      100\r\n";
    h += "        dw      (offset OBJECT_END) - (offset OBJECT_DATA)\r\n";
    h += "        SCALE_AGL       OBJECT_RET, 0, 0, " + hex(scale) + ", " + hex(lat) + ", " + hex(lat_fraction) + ", " +
         hex(lon) + ", " + hex(lon_fraction) + ", 0, 0\r\n";
    if (instance) h += "        INSTANCE_CALL   visual_model, 0, 0, " + hex(heading) + "\r\n";
    else h += "        ADDOBJ          visual_model\r\n";
    h += "OBJECT_RET      label   word\r\n        BGL_RETURN\r\n        db      0\r\nOBJECT_END      label   word\r\n\r\n";
    h += "visual_model    label   word\r\n        BGL_JUMP_32     " + name + "_top\r\n\r\n";
    h += "visual_model_header     label   dword\r\n        dd  0\r\n        dd  0\r\n        dd  0\r\n"
         "        db  'F','S','8','0'\r\n        dd  2048\r\nvisual_model_header_end  label dword\r\n\r\n";
    h += "        include " + name + "_0.asm\r\n";
    return e;
}

}  // namespace property
