#include "ground_split.h"

#include <optional>
#include <utility>
#include <vector>

#include "ui/errors.h"
#include "ui/fileio.h"
#include "ui/format.h"
#include "ui/platform.h"
#include "workbench/asm_line.h"
#include "workbench/text_file.h"

namespace groundpolys {

using wb::LineArray;

namespace {

long find(const std::string& text, const LineArray& lines, long start = 1) {
    return wb::find_line(text, lines, start, false);
}

bool begins(const std::string& line, const char* word) { return wb::starts_with(wb::upper(wb::trim(line)), word); }

// The ground drawing code (G) and the object's drawing code without its flat blocks (A).
struct Split {
    std::vector<std::string> ground;
    LineArray object;
};

// Nothing when the drawing code has no vertex list (no height can be read).
std::optional<Split> split_drawing(LineArray a, const std::string& zbias, const std::string& marker) {
    Split s;
    const long e = find("VERTEX_LIST_END", a);
    const long v = find("VERTEX_LIST_BEGIN", a) + 1;
    if (e == 0 || v == 1) return std::nullopt;
    for (long i = 1; i <= e; ++i) s.ground.push_back(a[i]);
    s.ground.push_back("    BGL_ZBIAS " + zbias);

    // Material lines are looked up in the lines as read: one that moved with a flat block is
    // still the material of the blocks after it.
    const LineArray read = a;
    long previous_end = 0;     // the last line of the block before, moved or not
    long ground_material = 0;  // the material line the ground source drew with last
    long moved_from = 0, moved_to = 0;  // the lines from the last material line moved to its block
    for (long d = find("DRAW_TRI_BEGIN", a); d; d = find("DRAW_TRI_BEGIN", a, previous_end + 1)) {
        const long base = static_cast<long>(ui::val(wb::asm_field(a[d], 1)));
        long t = d + 1;
        bool flat = true;
        for (; begins(a[t], "DRAW_TRI "); ++t)
            for (int corner = 1; corner <= 3; ++corner) {
                const long vertex = v + base + static_cast<long>(ui::val(wb::asm_field(a[t], corner)));
                if (ui::val(wb::asm_field(a[vertex], 2)) != 0) flat = false;
            }
        const long m = wb::find_line("MATERIAL ", read, d, true);
        if (flat) {
            // The block moves with its material line; a material line that an earlier block
            // uses too is only copied, once, so that neither file loses it.
            long from = m;
            if (m == 0 || m <= previous_end) {
                if (m != 0 && ground_material != m) s.ground.push_back(" " + read[m]);
                from = d;
            } else {
                moved_from = m;
                moved_to = d - 1;
            }
            ground_material = m;
            for (long j = from; j <= t; ++j) {
                if (begins(a[j], "BGL_ZBIAS")) a[j] = "    ; ";
                a[j] = "; " + a[j];
                s.ground.push_back(a[j].substr(1));
            }
        } else if (m != 0 && m == moved_from && a[m] != read[m]) {
            // Its material line (and what stands between it and the first block) moved with a
            // flat block before it: it stays in the object too.
            for (long j = moved_from; j <= moved_to; ++j) a[j] = read[j];
        }
        previous_end = t;
    }
    s.ground.push_back("    BGL_ZBIAS 0");
    s.ground.push_back("BGL_END");
    s.ground.push_back("BGL_RETURN");

    std::vector<std::string> object{marker};
    for (long i = 1; i < a.top(); ++i) object.push_back(a[i]);
    s.object = LineArray::from_lines(object);
    return s;
}

void point_at_ground_code(LineArray& h, const std::string& layer, const std::string& ground_file) {
    if (const long k = find("ADDOBJ", h)) {
        h[k] = "    ADDCAT      OBJECT_0_SCALE, " + layer;
        if (k + 1 < h.top() && begins(h[k + 1], "SHADOW_CALL")) h[k + 1] = ";" + h[k + 1];
    }
    if (const long i = find("include", h)) h[i] = "    include " + ground_file;
}

}  // namespace

std::string checked_zbias(const std::string& text) {
    double z = ui::val(text);
    if (z < 0) z = 0;
    if (z > 9) z = 9;
    return ui::num(z);
}

bool split_ground_polygons(const SplitRequest& r) {
    const std::string missing = "Please enter valid input file in the main gorvane window, step 1. \r\n" + r.input_base;
    if (!ui::file_exists(r.input_base + "_0.asm")) {
        ui::error_box(missing + "_0.asm file not found");
        return false;
    }
    if (!ui::file_exists(r.input_base + ".asm")) {
        ui::error_box(missing + ".asm file not found");
        return false;
    }
    ui::BusyPointer busy;
    try {
        LineArray a, h;
        if (wb::load_file2array(r.input_base + "_0.asm", a) == 0) return false;
        if (a.top() > 1 && a[1].substr(0, 11) == kMarkerStart) {
            ui::warning_box("This file is already processed. Use restore or regenerate it from gmax.");
            return false;
        }
        if (wb::load_file2array(r.input_base + ".asm", h) == 0) return false;
        const std::string ground_file = r.output_base + "_SH_0.asm";
        auto s = split_drawing(a, checked_zbias(r.zbias), std::string(kMarkerStart) + "  " + r.version);
        if (!s) {
            ui::error_box("The file " + r.input_base + "_0.asm has no vertex list and cannot be processed.");
            return false;
        }
        point_at_ground_code(h, r.layer, ground_file);
        ui::write_files_atomic({{ground_file, wb::lines_file_text(s->ground)},
                                {r.output_base + "_0.asm", wb::array_file_text(s->object)},
                                {r.output_base + "_SH.asm", wb::array_file_text(h)}});
        return true;
    } catch (const ui::StopRequest&) {
        throw;
    } catch (const ui::RuntimeError& e) {
        ui::run_time_error_box(e);
    }
    return false;
}

}  // namespace groundpolys
