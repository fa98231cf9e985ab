#pragma once
// Drawing into an RGB picture: pixels, lines, filled triangles (optionally hatched), discs,
// rectangles and text in a small built-in 5 x 7 bitmap font. Everything is clipped to the picture.
#include <cstdint>
#include <string>

#include "ui/controls.h"

namespace topview {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

// a mixed towards b by t (0: a, 1: b).
Rgb mix(Rgb a, Rgb b, double t);
// Six hex digits red-green-blue ("336699"); grey for anything else.
Rgb rgb_of_hex(const std::string& hex);

class Canvas {
public:
    Canvas(ui::Raster& r) : r_(r) {}
    int width() const { return r_.width; }
    int height() const { return r_.height; }

    void clear(Rgb c);
    void pixel(int x, int y, Rgb c) {
        if (x < 0 || y < 0 || x >= r_.width || y >= r_.height) return;
        std::uint8_t* p = &r_.rgb[(static_cast<size_t>(y) * static_cast<size_t>(r_.width) + static_cast<size_t>(x)) * 3];
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
    }
    Rgb at(int x, int y) const;
    // A line of whole pixels from one point to the other; width 1 .. 4 thickens it around its middle.
    void line(double x0, double y0, double x1, double y1, Rgb c, int width = 1);
    // A dashed line: dash pixels drawn, then as many skipped.
    void dashed_line(double x0, double y0, double x1, double y1, Rgb c, int dash = 4);
    // Fills the pixels whose centres lie inside the triangle; with hatch set, every pixel on a
    // diagonal stripe takes the hatch colour instead.
    void triangle(const double x[3], const double y[3], Rgb fill, const Rgb* hatch = nullptr);
    void rect(int x, int y, int w, int h, Rgb c);       // outline
    void fill_rect(int x, int y, int w, int h, Rgb c);  // filled
    void disc(double cx, double cy, double radius, Rgb c);
    // Text in the built-in font, letters shown as capitals; (x, y) is its top left corner.
    // Returns the width drawn. scale 1 gives 6 pixels a character, 8 a line.
    int text(int x, int y, const std::string& s, Rgb c, int scale = 1);
    static int text_width(const std::string& s, int scale = 1) { return static_cast<int>(s.size()) * 6 * scale; }

private:
    ui::Raster& r_;
};

}  // namespace topview
