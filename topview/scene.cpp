#include "scene.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <utility>

#include "terrain/terrain_sources.h"
#include "ui/format.h"
#include "workbench/asm_line.h"
#include "workbench/geometry.h"

namespace topview {

namespace {

// The keyword of a line, past blanks and the "; " that Process puts before lines it consumed.
// Returns the position after the keyword, or npos when the line does not begin with it.
size_t after_keyword(const std::string& line, const char* keyword) {
    size_t at = 0;
    for (;;) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
        if (at < line.size() && line[at] == ';') {
            ++at;
            continue;
        }
        break;
    }
    const size_t n = std::strlen(keyword);
    if (line.size() < at + n) return std::string::npos;
    for (size_t i = 0; i < n; ++i)
        if ((line[at + i] >= 'a' && line[at + i] <= 'z' ? line[at + i] - 32 : line[at + i]) != keyword[i])
            return std::string::npos;
    at += n;
    if (at < line.size() && line[at] != ' ' && line[at] != '\t') return std::string::npos;
    return at;
}

// Up to n comma-separated decimal numbers after position `at`; the count read.
int numbers(const std::string& line, size_t at, double* out, int n) {
    const char* p = line.data() + at;
    const char* const end = line.data() + line.size();
    int k = 0;
    while (k < n) {
        while (p < end && (*p == ' ' || *p == '\t' || *p == ',')) ++p;
        if (p < end && *p == '+') ++p;
        double v = 0;
        const auto r = std::from_chars(p, end, v);
        if (r.ec != std::errc() || r.ptr == p) break;
        out[k++] = v;
        p = r.ptr;
    }
    return k;
}

// The operand after the keyword as a word ("LIGHT_NAV").
std::string first_word(const std::string& line, size_t at) {
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
    size_t end = at;
    while (end < line.size() && line[end] != ',' && line[end] != ' ' && line[end] != '\t') ++end;
    return line.substr(at, end - at);
}

std::string plural(int n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// Maps degrees back to model units near the model: the inverse of the placement's affine
// map, measured at the reference point.
struct DegreesToModel {
    double a = 0, b = 0, c = 0, d = 0;  // model = M * (degrees - origin)
    terrain::Degrees origin;
    bool ok = false;

    DegreesToModel(const wb::PlacementOperands& op, long heading) {
        const double s = 1000;
        origin = terrain::place_point(op, heading, 0, 0);
        const terrain::Degrees ex = terrain::place_point(op, heading, s, 0);
        const terrain::Degrees ez = terrain::place_point(op, heading, 0, s);
        // degrees offset = [[ex.lon, ez.lon], [ex.lat, ez.lat]] * (x, z) / s
        const double m11 = (ex.longitude - origin.longitude) / s, m12 = (ez.longitude - origin.longitude) / s;
        const double m21 = (ex.latitude - origin.latitude) / s, m22 = (ez.latitude - origin.latitude) / s;
        const double det = m11 * m22 - m12 * m21;
        if (det == 0 || !std::isfinite(det)) return;
        a = m22 / det, b = -m12 / det, c = -m21 / det, d = m11 / det;
        ok = true;
    }
    Point operator()(double latitude, double longitude) const {
        const double dl = longitude - origin.longitude, dp = latitude - origin.latitude;
        return {a * dl + b * dp, c * dl + d * dp};
    }
};

}  // namespace

int Scene::material_of_row(int row) const {
    for (size_t i = 0; i < materials.size(); ++i)
        if (materials[i].row == row) return static_cast<int>(i);
    return -1;
}

Scene build_scene(const wb::SourcePair& pair) {
    Scene s;
    const wb::LineArray& lines = pair.asm_lines;
    const long last = std::min(lines.top(), lines.size() - 1);
    if (last < 1) return s;
    s.open = true;

    // Materials: every row of the material list, with its table row when highlighted.
    for (long i = 1; i <= pair.material_count(); ++i) {
        SceneMaterial m;
        m.number = i - 1;
        m.colour = rgb_of_hex(wb::material_colour_text(pair.material_list[static_cast<size_t>(i)].line));
        s.materials.push_back(m);
    }
    for (int r = 1; r <= pair.materials.count(); ++r) {
        const wb::MaterialRow& row = pair.materials.row(r);
        if (row.number < 0 || row.number >= static_cast<long>(s.materials.size())) continue;
        SceneMaterial& m = s.materials[static_cast<size_t>(row.number)];
        m.row = r;
        m.processed = row.processed();
        ++s.highlighted;
        if (m.processed) ++s.processed;
    }

    // Vertices, then every drawing block (consumed ones included: their lines are commented out).
    std::vector<Point> vertices;
    std::vector<double> heights;
    long at = pair.vertex_list_start > 0 ? pair.vertex_list_start : 1;
    for (; at <= last; ++at) {
        const size_t k = after_keyword(lines[at], "VERTEX_DEF");
        if (k == std::string::npos) {
            if (after_keyword(lines[at], "VERTEX_LIST_END") != std::string::npos || vertices.size() > 0) break;
            continue;
        }
        double v[3] = {0, 0, 0};
        numbers(lines[at], k, v, 3);
        vertices.push_back({v[0], v[2]});
        heights.push_back(v[1]);
    }
    std::map<long, int> index_of;  // material number -> index in s.materials
    for (size_t i = 0; i < s.materials.size(); ++i) index_of[s.materials[i].number] = static_cast<int>(i);
    int material = -1;
    long base = 0;
    for (; at <= last; ++at) {
        const std::string& line = lines[at];
        size_t k;
        if ((k = after_keyword(line, "DRAW_TRI")) != std::string::npos) {
            double c[3];
            if (numbers(line, k, c, 3) != 3) continue;
            SceneTriangle t;
            t.material = material;
            bool inside = true;
            for (int i = 0; i < 3; ++i) {
                const double v = base + c[i];
                if (!(v >= 0 && v < static_cast<double>(vertices.size()))) {
                    inside = false;
                    break;
                }
                t.p[i] = vertices[static_cast<size_t>(v)];
                t.height += heights[static_cast<size_t>(v)] / 3;
            }
            if (inside) s.triangles.push_back(t);
        } else if ((k = after_keyword(line, "DRAW_TRI_BEGIN")) != std::string::npos) {
            double b = 0;
            numbers(line, k, &b, 1);
            base = static_cast<long>(b);
        } else if ((k = after_keyword(line, "MATERIAL")) != std::string::npos) {
            double n = -1;
            numbers(line, k, &n, 1);
            auto hit = index_of.find(static_cast<long>(n));
            material = hit == index_of.end() ? -1 : hit->second;
        }
    }
    const auto lower = [](const SceneTriangle& a, const SceneTriangle& b) { return a.height < b.height; };
    if (!std::is_sorted(s.triangles.begin(), s.triangles.end(), lower))  // flat models need no sorting
        std::stable_sort(s.triangles.begin(), s.triangles.end(), lower);

    // Placement.
    s.placed = !pair.placement_line.empty() && pair.placement.scale != 0;
    s.heading_degrees = pair.model_heading * 360.0 / 65536;
    if (s.placed) {
        s.metres_per_unit = 65536.0 / pair.placement.scale;
        const terrain::Degrees d = terrain::placement_to_degrees(pair.placement);
        s.latitude = d.latitude;
        s.longitude = d.longitude;
    }

    // Objects of this session. Lights, windsocks and objects inside the model are read from the
    // queued code itself.
    for (long r = 1; r <= pair.code.count(); ++r) {
        const std::string& line = pair.code.row(r).text;
        size_t k;
        double v[3];
        if ((k = after_keyword(line, "BGL_LIGHT")) != std::string::npos) {
            SceneObject o;
            o.kind = SceneObject::Light;
            o.type = first_word(line, k);
            const size_t comma = line.find(',', k);
            if (comma == std::string::npos || numbers(line, comma, v, 3) != 3) continue;
            o.at = {v[0], v[2]};
            s.objects.push_back(o);
        } else if ((k = after_keyword(line, "KZV_WINDSOCK")) != std::string::npos) {
            if (numbers(line, k, v, 3) != 3) continue;
            SceneObject o;
            o.kind = SceneObject::Windsock;
            o.at = {v[0], v[2]};
            s.objects.push_back(o);
        } else if ((k = after_keyword(line, "BGL_TRANSFORM_MAT")) != std::string::npos) {
            if (numbers(line, k, v, 3) != 3) continue;
            SceneObject o;
            o.kind = SceneObject::Library;
            o.at = {v[0], v[2]};
            s.objects.push_back(o);
        }
    }
    // The others from the material's triangles, as their generators read them.
    // The triangles of each material processed in this session, found in one pass.
    std::vector<std::vector<const SceneTriangle*>> processed_now(s.materials.size());
    std::vector<std::pair<int, int>> rows_now;  // (row, material index) of the rows processed now
    std::vector<char> wanted(s.materials.size(), 0);
    for (int r = 1; r <= pair.materials.count(); ++r) {
        const wb::MaterialRow& row = pair.materials.row(r);
        const int m = s.material_of_row(r);
        if (row.kind.empty() || row.processed_before || m < 0) continue;
        wanted[static_cast<size_t>(m)] = 1;
        rows_now.emplace_back(r, m);
    }
    if (!rows_now.empty())
        for (const SceneTriangle& t : s.triangles)
            if (t.material >= 0 && wanted[static_cast<size_t>(t.material)])
                processed_now[static_cast<size_t>(t.material)].push_back(&t);
    for (const auto& [r, m] : rows_now) {
        const wb::MaterialRow& row = pair.materials.row(r);
        const std::vector<const SceneTriangle*>& triangles_of_m = processed_now[static_cast<size_t>(m)];
        if (row.kind == "Effects" || row.kind == "Library") {
            // Placed in the world at corner 1 of each triangle (in block order).
            SceneObject o;
            o.kind = row.kind == "Effects" ? SceneObject::Effect : SceneObject::Library;
            for (const SceneTriangle* t : triangles_of_m) {
                o.at = t->p[0];
                s.objects.push_back(o);
            }
        } else if (row.kind == "Ground Type" || row.kind == "Landing Area") {
            std::vector<Point> pts;
            for (const SceneTriangle* t : triangles_of_m)
                for (const Point& p : t->p) pts.push_back(p);
            if (pts.empty()) continue;
            SceneObject o;
            if (row.kind == "Ground Type") {
                o.kind = SceneObject::Ground;
                Point lo = pts[0], hi = pts[0];
                for (const Point& p : pts) {
                    lo = {std::min(lo.x, p.x), std::min(lo.z, p.z)};
                    hi = {std::max(hi.x, p.x), std::max(hi.z, p.z)};
                }
                o.points = {{lo.x, lo.z}, {hi.x, lo.z}, {hi.x, hi.z}, {lo.x, hi.z}};
            } else {
                o.kind = SceneObject::Landing;
                // Its distinct corners in whole model units, sorted round their centre, as the
                // area code lists them (a processed landing area has at most six).
                wb::Polygon poly;
                for (const Point& p : pts) {
                    const double x = std::floor(p.x), z = std::floor(p.z);
                    bool seen = false;
                    for (int i = 1; i <= poly.count; ++i) seen = seen || (poly.x[i] == x && poly.y[i] == z);
                    if (!seen && poly.count < 10) {
                        ++poly.count;
                        poly.x[poly.count] = x;
                        poly.y[poly.count] = z;
                    }
                }
                wb::polygon_centre(poly);
                wb::sort_polygon_by_angle(poly);
                for (int i = 1; i <= poly.count; ++i) o.points.push_back({poly.x[i], poly.y[i]});
            }
            o.at = o.points[0];
            s.objects.push_back(o);
        } else if (row.kind == "Lake" || row.kind == "Decal") {
            SceneObject o;
            o.kind = row.kind == "Lake" ? SceneObject::Lake : SceneObject::Decal;
            terrain::PlacedShape shape;
            const terrain::ShapeInput in{pair.asm_lines, pair.azm_lines, row, pair.vertex_list_start,
                                         pair.model_heading};
            if (!terrain::place_shape(in, shape).empty() || shape.points.empty()) continue;
            for (const terrain::PlacedPoint& p : shape.points) {
                o.points.push_back({p.x, p.z});
                o.outside.push_back(p.outside);
            }
            o.at = o.points[0];
            // The LOD13 quads its points lie in, the reference quad first.
            const DegreesToModel to_model(pair.placement, pair.model_heading);
            if (to_model.ok) {
                std::vector<std::pair<long, long>> seen;
                std::vector<terrain::QuadPlacement> quads{shape.reference};
                for (const terrain::PlacedPoint& p : shape.points) quads.push_back(p.quad);
                for (const terrain::QuadPlacement& q : quads) {
                    const terrain::Cell c = terrain::lod13_quad(q);
                    if (std::find(seen.begin(), seen.end(), std::make_pair(c.row, c.column)) != seen.end()) continue;
                    seen.emplace_back(c.row, c.column);
                    const terrain::Degrees nw = terrain::position_to_degrees(c.north_west);
                    const terrain::Degrees se = terrain::position_to_degrees(c.south_east);
                    o.quads.push_back({to_model(nw.latitude, nw.longitude), to_model(nw.latitude, se.longitude),
                                       to_model(se.latitude, se.longitude), to_model(se.latitude, nw.longitude)});
                }
            }
            s.objects.push_back(o);
        }
    }

    // Extent: the triangles, or the objects when there are none.
    bool any = false;
    auto grow = [&](const Point& p) {
        if (!std::isfinite(p.x) || !std::isfinite(p.z)) return;
        if (!any) s.low = s.high = p, any = true;
        s.low = {std::min(s.low.x, p.x), std::min(s.low.z, p.z)};
        s.high = {std::max(s.high.x, p.x), std::max(s.high.z, p.z)};
    };
    for (const SceneTriangle& t : s.triangles)
        for (const Point& p : t.p) grow(p);
    if (!any)
        for (const SceneObject& o : s.objects) grow(o.at);
    return s;
}

std::string summary(const Scene& s) {
    if (!s.open) return kNoModelOpen;
    std::string r = plural(static_cast<int>(s.materials.size()), "material", "materials") + ", " +
                    std::to_string(s.highlighted) + " highlighted, " + std::to_string(s.processed) + " processed";
    static const struct {
        SceneObject::Kind kind;
        const char *one, *many;
    } kinds[] = {{SceneObject::Light, "light", "lights"},
                 {SceneObject::Effect, "effect", "effects"},
                 {SceneObject::Library, "library object", "library objects"},
                 {SceneObject::Windsock, "windsock", "windsocks"},
                 {SceneObject::Ground, "ground type", "ground types"},
                 {SceneObject::Landing, "landing area", "landing areas"},
                 {SceneObject::Lake, "lake", "lakes"},
                 {SceneObject::Decal, "decal", "decals"}};
    std::string objects;
    for (const auto& k : kinds) {
        const int n = static_cast<int>(
            std::count_if(s.objects.begin(), s.objects.end(), [&](const SceneObject& o) { return o.kind == k.kind; }));
        if (n > 0) objects += (objects.empty() ? "" : ", ") + plural(n, k.one, k.many);
    }
    r += "; " + (objects.empty() ? std::string("no objects generated yet") : objects);
    r += "; " + ui::format(s.width_metres(), "0.0") + " x " + ui::format(s.depth_metres(), "0.0") + " m";
    return r;
}

}  // namespace topview
