#pragma once
// Lights: one BGL light per triangle of a material, at the triangle's first corner, facing
// along its normal, in the material's own colour, optionally switched off by day or by the
// aircraft's light switches.
#include <string>

#include "engine.h"

namespace cg {

struct LightParameters {
    std::string type = "LIGHT_NAV";  // light type text
    long state_bit = 1;              // the type's bit among the aircraft light states
    std::string intensity = "100";
    std::string attenuation_linear = "0.4";
    std::string attenuation_square = "0.04";
    std::string variable = "six_second_beacon";  // drives the flashing
    std::string flash_mask = "CCCC";             // hexadecimal digits
    bool day_off = false;
    bool aircraft = false;
};

// The light label of a material row: "LBL" + row.
std::string light_label(long row);

// Writes the light block of material table row `row` into the new-code buffer and comments out
// the consumed block in asm_lines. Returns the generator's line counter (triangles + 1).
long generate_lights(SourceEdits& asm_lines, const wb::MaterialTable& materials, long row,
                     long vertex_list_start, const LightParameters& p, LineArray& new_code);

}  // namespace cg
