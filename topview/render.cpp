#include "render.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "ui/format.h"
#include "workbench/geometry.h"

namespace topview {

namespace {

constexpr Rgb kBlack{0, 0, 0}, kWhite{255, 255, 255}, kText{40, 40, 40};
constexpr Rgb kPickOuter{0, 0, 0}, kPickInner{255, 230, 0};
constexpr Rgb kEffect{235, 70, 0}, kLibrary{20, 60, 200}, kWindsock{255, 140, 0}, kGround{0, 120, 0},
    kLanding{200, 0, 160}, kLake{0, 90, 220}, kDecal{150, 80, 0}, kOutside{220, 0, 0}, kQuad{80, 80, 80};

double luminance(Rgb c) { return 0.3 * c.r + 0.59 * c.g + 0.11 * c.b; }

Rgb darker(Rgb c) { return mix(c, kBlack, 0.35); }

void draw_light(Canvas& c, double x, double y, Rgb colour) {
    c.disc(x, y, 4.5, kBlack);
    c.disc(x, y, 3.2, colour);
}

void draw_effect(Canvas& c, double x, double y) {
    for (int k = 0; k < 4; ++k) {
        const double a = k * wb::kPi / 4;
        c.line(x - 7 * std::cos(a), y - 7 * std::sin(a), x + 7 * std::cos(a), y + 7 * std::sin(a), kEffect, 2);
    }
    c.disc(x, y, 2, kBlack);
}

// A library object takes the model's heading: its tick points along the model's +z.
void draw_library(Canvas& c, double x, double y) {
    const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    c.rect(ix - 5, iy - 5, 11, 11, kLibrary);
    c.rect(ix - 4, iy - 4, 9, 9, kLibrary);
    c.line(x, y, x, y - 11, kLibrary, 2);
}

void draw_windsock(Canvas& c, double x, double y) {
    c.line(x, y, x + 14, y, kWindsock, 2);
    c.line(x + 14, y, x + 8, y - 5, kWindsock, 2);
    c.line(x + 14, y, x + 8, y + 5, kWindsock, 2);
    c.disc(x, y, 2.5, kBlack);
}

void polygon(Canvas& c, const View& v, const std::vector<Point>& pts, Rgb colour, int width) {
    for (size_t i = 0; i < pts.size(); ++i) {
        const Point& a = pts[i];
        const Point& b = pts[(i + 1) % pts.size()];
        c.line(v.px(a.x), v.py(a.z), v.px(b.x), v.py(b.z), colour, width);
    }
}

// Metres shown by the scale bar: 1, 2 or 5 times a power of ten, about `target` pixels long.
double nice_length(double metres_per_pixel, double target) {
    const double want = metres_per_pixel * target;
    if (!(want > 0) || !std::isfinite(want)) return 0;
    const double p = std::pow(10.0, std::floor(std::log10(want)));
    for (double m : {5.0, 2.0, 1.0})
        if (m * p <= want) return m * p;
    return p;
}

void legend(Canvas& c, const Scene& s, bool picked) {
    struct Entry {
        int symbol;
        const char* text;
    };
    std::vector<Entry> entries{{0, "Highlighted material"}, {1, "Other material (grey)"}};
    if (s.processed > 0) entries.push_back({2, "Processed (hatched)"});
    if (picked) entries.push_back({3, "Picked material"});
    bool has[8] = {};
    for (const SceneObject& o : s.objects) has[o.kind] = true;
    const char* names[8] = {"Light",       "Effect",       "Library object", "Windsock",
                            "Ground type", "Landing area", "Lake outline",   "Decal outline"};
    for (int k = 0; k < 8; ++k)
        if (has[k]) entries.push_back({10 + k, names[k]});
    if (has[SceneObject::Lake] || has[SceneObject::Decal]) entries.push_back({20, "LOD13 quad"});

    int w = 0;
    for (const Entry& e : entries) w = std::max(w, Canvas::text_width(e.text));
    const int x0 = 6, y0 = 6, h = static_cast<int>(entries.size()) * 14 + 8;
    c.fill_rect(x0, y0, w + 40, h, mix(kBackground, kWhite, 0.7));
    c.rect(x0, y0, w + 40, h, {150, 150, 150});
    int y = y0 + 5;
    for (const Entry& e : entries) {
        const double sx = x0 + 14, sy = y + 4;
        switch (e.symbol) {
            case 0: c.fill_rect(x0 + 6, y, 16, 9, {51, 102, 153}); break;
            case 1: c.fill_rect(x0 + 6, y, 16, 9, {170, 170, 170}); break;
            case 2: {
                const double tx[3] = {x0 + 6.0, x0 + 22.0, x0 + 22.0}, ty[3] = {y + 9.0, y + 9.0, y + 0.0};
                const double ux[3] = {x0 + 6.0, x0 + 22.0, x0 + 6.0}, uy[3] = {y + 9.0, y + 0.0, y + 0.0};
                const Rgb f = mix({51, 102, 153}, kWhite, 0.55), hatch = darker({51, 102, 153});
                c.triangle(tx, ty, f, &hatch);
                c.triangle(ux, uy, f, &hatch);
                break;
            }
            case 3:
                c.rect(x0 + 5, y - 1, 18, 11, kPickOuter);
                c.rect(x0 + 6, y, 16, 9, kPickInner);
                c.rect(x0 + 7, y + 1, 14, 7, kPickOuter);
                break;
            case 10 + SceneObject::Light: draw_light(c, sx, sy, light_colour("LIGHT_NAV")); break;
            case 10 + SceneObject::Effect: draw_effect(c, sx, sy); break;
            case 10 + SceneObject::Library: draw_library(c, sx, sy); break;
            case 10 + SceneObject::Windsock: draw_windsock(c, sx - 7, sy); break;
            case 10 + SceneObject::Ground: c.rect(x0 + 6, y, 16, 9, kGround); break;
            case 10 + SceneObject::Landing: c.rect(x0 + 6, y, 16, 9, kLanding); break;
            case 10 + SceneObject::Lake: c.line(x0 + 6, sy, x0 + 22, sy, kLake, 2); break;
            case 10 + SceneObject::Decal: c.line(x0 + 6, sy, x0 + 22, sy, kDecal, 2); break;
            case 20: c.dashed_line(x0 + 6, sy, x0 + 22, sy, kQuad, 3); break;
            default: break;
        }
        c.text(x0 + 30, y + 1, e.text, kText);
        y += 14;
    }
}

}  // namespace

Rgb fill_colour(const SceneMaterial& m) {
    if (m.row == 0) {
        const auto g = static_cast<std::uint8_t>(150 + luminance(m.colour) * 0.2);
        return {g, g, g};
    }
    return m.processed ? mix(m.colour, kWhite, 0.55) : m.colour;
}

Rgb light_colour(const std::string& type) {
    static const std::map<std::string, Rgb> colours{
        {"LIGHT_NAV", {0, 200, 0}},          {"LIGHT_BEACON", {230, 30, 30}},   {"LIGHT_LANDING", {255, 255, 150}},
        {"LIGHT_TAXI", {60, 150, 255}},      {"LIGHT_STROBE", {255, 255, 255}}, {"LIGHT_RECOGNITION", {255, 150, 0}},
        {"LIGHT_WING", {0, 220, 220}},       {"LIGHT_LOGO", {220, 0, 220}}};
    auto it = colours.find(type);
    return it == colours.end() ? Rgb{255, 230, 0} : it->second;
}

void View::fit(const Scene& s) {
    const double w = std::max(s.high.x - s.low.x, 1e-6), d = std::max(s.high.z - s.low.z, 1e-6);
    const double margin = 40;
    pixels_per_unit = std::min((width - 2 * margin) / w, (height - 2 * margin) / d);
    if (!(pixels_per_unit > 0) || !std::isfinite(pixels_per_unit)) pixels_per_unit = 1;
    centre_x = (s.low.x + s.high.x) / 2;
    centre_z = (s.low.z + s.high.z) / 2;
}

void View::zoom_at(double pixel_x, double pixel_y, double factor) {
    const Point keep = model_at(pixel_x, pixel_y);
    const double p = pixels_per_unit * factor;
    if (!(p > 1e-9 && p < 1e9)) return;
    pixels_per_unit = p;
    // keep stays under the pixel: pixel_x = w/2 + (keep.x - cx) * p
    centre_x = keep.x - (pixel_x - width / 2.0) / p;
    centre_z = keep.z + (pixel_y - height / 2.0) / p;
}

void View::pan(double dx_pixels, double dy_pixels) {
    centre_x -= dx_pixels / pixels_per_unit;
    centre_z += dy_pixels / pixels_per_unit;
}

void render(const Scene& s, const View& v, const DrawOptions& o, ui::Raster& out) {
    out.width = v.width;
    out.height = v.height;
    Canvas c(out);
    c.clear(kBackground);
    if (!s.open) {
        const std::string t = kNoModelOpen;
        c.text((v.width - Canvas::text_width(t)) / 2, v.height / 2 - 4, t, kText);
        return;
    }

    // Triangles, lowest first; each material's colours worked out once.
    std::vector<Rgb> fill(s.materials.size()), hatch(s.materials.size()), edge(s.materials.size());
    for (size_t m = 0; m < s.materials.size(); ++m) {
        fill[m] = fill_colour(s.materials[m]);
        hatch[m] = darker(s.materials[m].colour);
        edge[m] = darker(fill[m]);
    }
    const Rgb unknown{200, 200, 200};
    for (const SceneTriangle& t : s.triangles) {
        double x[3], y[3];
        for (int i = 0; i < 3; ++i) x[i] = v.px(t.p[i].x), y[i] = v.py(t.p[i].z);
        const double lo_x = std::min({x[0], x[1], x[2]}), hi_x = std::max({x[0], x[1], x[2]});
        const double lo_y = std::min({y[0], y[1], y[2]}), hi_y = std::max({y[0], y[1], y[2]});
        if (hi_x < 0 || hi_y < 0 || lo_x > v.width || lo_y > v.height) continue;
        const bool known = t.material >= 0;
        const size_t m = known ? static_cast<size_t>(t.material) : 0;
        const bool hatched = known && s.materials[m].processed && s.materials[m].row > 0;
        c.triangle(x, y, known ? fill[m] : unknown, hatched ? &hatch[m] : nullptr);
        // Edges where the triangle is big enough for them to show its shape rather than hide it.
        if (std::max(hi_x - lo_x, hi_y - lo_y) >= 10) {
            const Rgb e = known ? edge[m] : darker(unknown);
            for (int i = 0; i < 3; ++i) c.line(x[i], y[i], x[(i + 1) % 3], y[(i + 1) % 3], e);
        }
    }

    // The picked material: its triangles drawn again on top, and the outline of their union.
    if (o.picked >= 0 && o.picked < static_cast<int>(s.materials.size())) {
        const size_t m = static_cast<size_t>(o.picked);
        std::map<std::pair<std::pair<double, double>, std::pair<double, double>>, int> edges;
        for (const SceneTriangle& t : s.triangles) {
            if (t.material != o.picked) continue;
            double x[3], y[3];
            for (int i = 0; i < 3; ++i) x[i] = v.px(t.p[i].x), y[i] = v.py(t.p[i].z);
            c.triangle(x, y, fill[m], s.materials[m].processed ? &hatch[m] : nullptr);
            for (int i = 0; i < 3; ++i) {
                auto a = std::make_pair(t.p[i].x, t.p[i].z), b = std::make_pair(t.p[(i + 1) % 3].x, t.p[(i + 1) % 3].z);
                if (b < a) std::swap(a, b);
                ++edges[{a, b}];
            }
        }
        for (int pass = 0; pass < 2; ++pass)
            for (const auto& [e, n] : edges) {
                if (n != 1) continue;  // inside the material
                c.line(v.px(e.first.first), v.py(e.first.second), v.px(e.second.first), v.py(e.second.second),
                       pass == 0 ? kPickOuter : kPickInner, pass == 0 ? 4 : 2);
            }
    }

    // Objects: shapes first, then the symbols over them.
    for (const SceneObject& ob : s.objects) {
        switch (ob.kind) {
            case SceneObject::Ground: polygon(c, v, ob.points, kGround, 2); break;
            case SceneObject::Landing:
                polygon(c, v, ob.points, kLanding, 2);
                for (const Point& p : ob.points) {
                    const int x = static_cast<int>(std::floor(v.px(p.x))), y = static_cast<int>(std::floor(v.py(p.z)));
                    c.fill_rect(x - 2, y - 2, 5, 5, kLanding);
                }
                break;
            case SceneObject::Lake:
            case SceneObject::Decal: {
                for (const auto& q : ob.quads)
                    for (size_t i = 0; i < q.size(); ++i)
                        c.dashed_line(v.px(q[i].x), v.py(q[i].z), v.px(q[(i + 1) % q.size()].x),
                                      v.py(q[(i + 1) % q.size()].z), kQuad, 5);
                const Rgb colour = ob.kind == SceneObject::Lake ? kLake : kDecal;
                polygon(c, v, ob.points, colour, 2);
                for (size_t i = 0; i < ob.points.size(); ++i) {
                    const double x = v.px(ob.points[i].x), y = v.py(ob.points[i].z);
                    const Rgb pc = i < ob.outside.size() && ob.outside[i] ? kOutside : colour;
                    c.disc(x, y, 3.5, pc);
                    const std::string n = std::to_string(i + 1);
                    const int tx = static_cast<int>(x) + 5, ty = static_cast<int>(y) - 11;
                    c.fill_rect(tx - 1, ty - 1, Canvas::text_width(n) + 1, 9, kWhite);
                    c.text(tx, ty, n, pc);
                }
                break;
            }
            default:
                break;
        }
    }
    for (const SceneObject& ob : s.objects) {
        const double x = v.px(ob.at.x), y = v.py(ob.at.z);
        switch (ob.kind) {
            case SceneObject::Light: draw_light(c, x, y, light_colour(ob.type)); break;
            case SceneObject::Effect: draw_effect(c, x, y); break;
            case SceneObject::Library: draw_library(c, x, y); break;
            case SceneObject::Windsock: draw_windsock(c, x, y); break;
            default: break;
        }
    }

    legend(c, s, o.picked >= 0);

    // Scale bar, bottom left.
    const double mpp = s.metres_per_unit / v.pixels_per_unit;
    if (const double metres = nice_length(mpp, 120); metres > 0) {
        const int len = static_cast<int>(std::lround(metres / mpp));
        const int x0 = 14, y0 = v.height - 16;
        c.fill_rect(x0 - 4, y0 - 16, len + 8 + 60, 24, mix(kBackground, kWhite, 0.7));
        c.fill_rect(x0, y0, len, 4, kBlack);
        c.fill_rect(x0, y0 - 4, 2, 8, kBlack);
        c.fill_rect(x0 + len - 2, y0 - 4, 2, 8, kBlack);
        c.text(x0, y0 - 13, ui::num(metres) + " m", kText);
    }

    // North arrow, top right: true north in the model's axes (turned back by the heading).
    const double h = s.heading_degrees * wb::kPi / 180;
    const double nx = -std::sin(h), nz = std::cos(h);
    const double ax = v.width - 30, ay = 38;
    c.disc(ax, ay, 20, mix(kBackground, kWhite, 0.7));
    c.line(ax - 14 * nx, ay + 14 * nz, ax + 14 * nx, ay - 14 * nz, kText, 2);
    c.line(ax + 14 * nx, ay - 14 * nz, ax + 7 * nx - 5 * nz, ay - 7 * nz - 5 * nx, kText, 2);
    c.line(ax + 14 * nx, ay - 14 * nz, ax + 7 * nx + 5 * nz, ay - 7 * nz + 5 * nx, kText, 2);
    c.text(static_cast<int>(ax + 20 * nx) - 2, static_cast<int>(ay - 20 * nz) - 3, "N", kBlack);

    // Where the model stands, bottom right.
    std::string where = "Heading " + ui::format(s.heading_degrees, "0.0") + " deg";
    if (s.placed)
        where += ", " + ui::format(std::fabs(s.latitude), "0.0#####") + (s.latitude < 0 ? " S " : " N ") +
                 ui::format(std::fabs(s.longitude), "0.0#####") + (s.longitude < 0 ? " W" : " E");
    c.text(v.width - Canvas::text_width(where) - 8, v.height - 14, where, kText);
}

int hit_test(const Scene& s, const View& v, double pixel_x, double pixel_y) {
    const Point p = v.model_at(pixel_x, pixel_y);
    for (auto it = s.triangles.rbegin(); it != s.triangles.rend(); ++it) {
        const Point* q = it->p;
        auto side = [&](const Point& a, const Point& b) { return (b.x - a.x) * (p.z - a.z) - (b.z - a.z) * (p.x - a.x); };
        const double d1 = side(q[0], q[1]), d2 = side(q[1], q[2]), d3 = side(q[2], q[0]);
        const bool neg = d1 < 0 || d2 < 0 || d3 < 0, pos = d1 > 0 || d2 > 0 || d3 > 0;
        if (!(neg && pos)) return it->material;
    }
    return -1;
}

}  // namespace topview
