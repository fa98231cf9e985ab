#include "light_code.h"

#include "workbench/asm_line.h"

namespace cg {

std::string light_label(long row) { return "LBL" + std::to_string(row); }

long generate_lights(SourceEdits& asm_lines, const wb::MaterialTable& materials, long row,
                     long vertex_list_start, const LightParameters& p, LineArray& new_code) {
    const wb::MaterialRow& m = materials.row(row);
    const std::string L = light_label(row);
    BlockWalk walk(asm_lines, m.material_line, vertex_list_start);

    if (p.day_off) {
        put_line(new_code, 1, "    VAR_BASE_OVERRIDE VAR_BASE_GLOBAL");
        put_line(new_code, 2, "    IFIN1 " + L + "b, tod, 1,1");
        put_line(new_code, 3, "    BGL_JUMP_32 " + L + "a");
    } else if (p.aircraft) {
        put_line(new_code, 1, ";   No globals needed !!!! ");
        put_line(new_code, 2, "    IFMSK " + L + "a, dict_g_lightStates ," + std::to_string(p.state_bit));
        put_line(new_code, 3, ";");
    } else {
        for (int k = 1; k <= 3; ++k) put_line(new_code, k, ";");
    }
    put_line(new_code, 4, L + "b label BGLCODE");
    put_line(new_code, 5, "    VAR_BASE_OVERRIDE VAR_BASE_GLOBAL");
    if (p.aircraft) {
        put_line(new_code, 6, "    IFMSK " + L + "a," + p.variable + ", 0" + p.flash_mask + "h");
        put_line(new_code, 7, ";");
    } else {
        put_line(new_code, 6, "    IFMSK " + L + "," + p.variable + ", 0" + p.flash_mask + "h");
        put_line(new_code, 7, "    BGL_JUMP_32 " + L + "a");
    }
    put_line(new_code, 8, L + " label BGLCODE");
    add_lines(new_code, 8);

    const std::string colour = "0FF" + m.colour + "h";
    while (walk.on_triangle()) {
        const std::string& v = walk.vertex_line(walk.corner(1));
        std::string light = "    BGL_LIGHT " + p.type;
        for (int i = 1; i <= 3; ++i) light += ", " + wb::asm_field(v, i);
        light += ", " + p.intensity + " ," + p.attenuation_linear + ", " + p.attenuation_square + ", " + colour;
        for (int i = 4; i <= 6; ++i) light += ", " + wb::asm_field(v, i);
        walk.next();
        put_line(new_code, walk.line_counter(), light);
    }
    walk.finish();
    put_line(new_code, walk.line_counter(), L + "a label BGLCODE");
    add_lines(new_code, walk.line_counter());
    return walk.line_counter();
}

}  // namespace cg
