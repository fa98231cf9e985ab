#include "canvas.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

namespace topview {

namespace {

// One glyph: seven rows of five pixels, bit 4 the leftmost.
struct Glyph {
    char c;
    std::uint8_t rows[7];
};

constexpr Glyph kFont[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}}, {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}}, {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}}, {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}}, {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}}, {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'A', {0x0E, 0x11, 0x11, 0x11, 0x1F, 0x11, 0x11}}, {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}}, {'D', {0x1C, 0x12, 0x11, 0x11, 0x11, 0x12, 0x1C}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}}, {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}}, {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}}, {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}}, {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}}, {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}}, {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}}, {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}}, {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
    {'Y', {0x11, 0x11, 0x11, 0x0A, 0x04, 0x04, 0x04}}, {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}}, {',', {0x00, 0x00, 0x00, 0x00, 0x0C, 0x04, 0x08}},
    {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}}, {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}},
    {'(', {0x02, 0x04, 0x08, 0x08, 0x08, 0x04, 0x02}}, {')', {0x08, 0x04, 0x02, 0x02, 0x02, 0x04, 0x08}},
    {'/', {0x01, 0x01, 0x02, 0x04, 0x08, 0x10, 0x10}}, {'+', {0x00, 0x04, 0x04, 0x1F, 0x04, 0x04, 0x00}},
    {'=', {0x00, 0x00, 0x1F, 0x00, 0x1F, 0x00, 0x00}}, {'%', {0x18, 0x19, 0x02, 0x04, 0x08, 0x13, 0x03}},
    {'#', {0x0A, 0x0A, 0x1F, 0x0A, 0x1F, 0x0A, 0x0A}}, {'\'', {0x04, 0x04, 0x08, 0x00, 0x00, 0x00, 0x00}},
    {'"', {0x0A, 0x0A, 0x00, 0x00, 0x00, 0x00, 0x00}}, {'_', {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x1F}},
    {'?', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x00, 0x04}}, {'!', {0x04, 0x04, 0x04, 0x04, 0x04, 0x00, 0x04}},
    {'*', {0x00, 0x15, 0x0E, 0x1F, 0x0E, 0x15, 0x00}}, {'<', {0x02, 0x04, 0x08, 0x10, 0x08, 0x04, 0x02}},
    {'>', {0x08, 0x04, 0x02, 0x01, 0x02, 0x04, 0x08}},
};

const Glyph* glyph(char c) {
    const char u = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const Glyph& g : kFont)
        if (g.c == u) return &g;
    return nullptr;
}

}  // namespace

Rgb mix(Rgb a, Rgb b, double t) {
    auto m = [t](int x, int y) { return static_cast<std::uint8_t>(std::lround(x + (y - x) * t)); };
    return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

Rgb rgb_of_hex(const std::string& hex) {
    if (hex.size() != 6 || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return {128, 128, 128};
    const unsigned long v = std::strtoul(hex.c_str(), nullptr, 16);
    return {static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
}

void Canvas::clear(Rgb c) {
    r_.rgb.resize(static_cast<size_t>(r_.width) * static_cast<size_t>(r_.height) * 3);
    for (size_t i = 0; i + 2 < r_.rgb.size(); i += 3) {
        r_.rgb[i] = c.r;
        r_.rgb[i + 1] = c.g;
        r_.rgb[i + 2] = c.b;
    }
}

Rgb Canvas::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= r_.width || y >= r_.height) return {};
    const std::uint8_t* p = &r_.rgb[(static_cast<size_t>(y) * static_cast<size_t>(r_.width) + static_cast<size_t>(x)) * 3];
    return {p[0], p[1], p[2]};
}

namespace {

// Clips the segment to the rectangle [lo, hi] in both axes (Liang-Barsky); false when nothing is left.
bool clip(double& x0, double& y0, double& x1, double& y1, double lo_x, double lo_y, double hi_x, double hi_y) {
    double t0 = 0, t1 = 1;
    const double dx = x1 - x0, dy = y1 - y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - lo_x, hi_x - x0, y0 - lo_y, hi_y - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) t0 = std::max(t0, t);
        else t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    const double ax = x0 + t0 * dx, ay = y0 + t0 * dy;
    x1 = x0 + t1 * dx;
    y1 = y0 + t1 * dy;
    x0 = ax;
    y0 = ay;
    return true;
}

}  // namespace

void Canvas::line(double x0, double y0, double x1, double y1, Rgb c, int width) {
    if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1)) return;
    if (!clip(x0, y0, x1, y1, -4, -4, r_.width + 4, r_.height + 4)) return;
    const int ax = static_cast<int>(std::lround(x0)), ay = static_cast<int>(std::lround(y0));
    const int bx = static_cast<int>(std::lround(x1)), by = static_cast<int>(std::lround(y1));
    const int dx = std::abs(bx - ax), dy = -std::abs(by - ay);
    const int sx = ax < bx ? 1 : -1, sy = ay < by ? 1 : -1;
    const bool steep = -dy > dx;
    const int from = -(width - 1) / 2, to = width / 2;
    int x = ax, y = ay, err = dx + dy;
    for (;;) {
        for (int k = from; k <= to; ++k) steep ? pixel(x + k, y, c) : pixel(x, y + k, c);
        if (x == bx && y == by) break;
        const int e2 = 2 * err;
        if (e2 >= dy) err += dy, x += sx;
        if (e2 <= dx) err += dx, y += sy;
    }
}

void Canvas::dashed_line(double x0, double y0, double x1, double y1, Rgb c, int dash) {
    if (!clip(x0, y0, x1, y1, -4, -4, r_.width + 4, r_.height + 4)) return;
    const double length = std::hypot(x1 - x0, y1 - y0);
    if (length < 1) return;
    for (double s = 0; s < length; s += 2 * dash) {
        const double e = std::min(length, s + dash);
        line(x0 + (x1 - x0) * s / length, y0 + (y1 - y0) * s / length, x0 + (x1 - x0) * e / length,
             y0 + (y1 - y0) * e / length, c);
    }
}

void Canvas::triangle(const double x[3], const double y[3], Rgb fill, const Rgb* hatch) {
    double area = (x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0]);
    if (!(std::fabs(area) > 1e-12)) return;
    const double lo_x = std::min({x[0], x[1], x[2]}), hi_x = std::max({x[0], x[1], x[2]});
    const double lo_y = std::min({y[0], y[1], y[2]}), hi_y = std::max({y[0], y[1], y[2]});
    const int x_from = std::max(0, static_cast<int>(std::ceil(lo_x - 0.5)));
    const int x_to = std::min(r_.width - 1, static_cast<int>(std::floor(hi_x - 0.5)));
    const int y_from = std::max(0, static_cast<int>(std::ceil(lo_y - 0.5)));
    const int y_to = std::min(r_.height - 1, static_cast<int>(std::floor(hi_y - 0.5)));
    if (x_from > x_to || y_from > y_to) return;
    const double sign = area > 0 ? 1 : -1;
    // Each row: the span where all three edge functions are on the inside.
    for (int py = y_from; py <= y_to; ++py) {
        const double cy = py + 0.5;
        double left = x_from + 0.5, right = x_to + 0.5;
        bool empty = false;
        for (int e = 0; e < 3 && !empty; ++e) {
            const int f = e, t = (e + 1) % 3;
            // inside: sign * ((x[t]-x[f])*(cy-y[f]) - (y[t]-y[f])*(cx-x[f])) >= 0, linear in cx
            const double a = -sign * (y[t] - y[f]);
            const double b = sign * ((x[t] - x[f]) * (cy - y[f]) + (y[t] - y[f]) * x[f]);
            if (a == 0) {
                if (b < 0) empty = true;
            } else if (a > 0) {
                left = std::max(left, -b / a);
            } else {
                right = std::min(right, -b / a);
            }
        }
        if (empty) continue;
        const int from = std::max(x_from, static_cast<int>(std::ceil(left - 0.5)));
        const int to = std::min(x_to, static_cast<int>(std::floor(right - 0.5)));
        std::uint8_t* p = &r_.rgb[(static_cast<size_t>(py) * static_cast<size_t>(r_.width) + static_cast<size_t>(std::max(from, 0))) * 3];
        for (int px = from; px <= to; ++px, p += 3) {
            const Rgb& c = hatch && (px + py) % 6 == 0 ? *hatch : fill;
            p[0] = c.r;
            p[1] = c.g;
            p[2] = c.b;
        }
    }
}

void Canvas::rect(int x, int y, int w, int h, Rgb c) {
    line(x, y, x + w - 1, y, c);
    line(x, y + h - 1, x + w - 1, y + h - 1, c);
    line(x, y, x, y + h - 1, c);
    line(x + w - 1, y, x + w - 1, y + h - 1, c);
}

void Canvas::fill_rect(int x, int y, int w, int h, Rgb c) {
    for (int py = std::max(0, y); py < std::min(r_.height, y + h); ++py)
        for (int px = std::max(0, x); px < std::min(r_.width, x + w); ++px) pixel(px, py, c);
}

void Canvas::disc(double cx, double cy, double radius, Rgb c) {
    const int r = static_cast<int>(std::ceil(radius));
    const int ix = static_cast<int>(std::floor(cx)), iy = static_cast<int>(std::floor(cy));
    for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx)
            if (dx * dx + dy * dy <= radius * radius + 0.5) pixel(ix + dx, iy + dy, c);
}

int Canvas::text(int x, int y, const std::string& s, Rgb c, int scale) {
    int at = x;
    for (char ch : s) {
        if (const Glyph* g = glyph(ch))
            for (int row = 0; row < 7; ++row)
                for (int col = 0; col < 5; ++col)
                    if (g->rows[row] & (0x10 >> col))
                        for (int k = 0; k < scale * scale; ++k)
                            pixel(at + col * scale + k % scale, y + row * scale + k / scale, c);
        at += 6 * scale;
    }
    return at - x;
}

}  // namespace topview
