#include "frm_hld_params.h"

#include <cmath>

#include "codegen/macro_fields.h"
#include "ui/errors.h"
#include "ui/platform.h"
#include "workbench/asm_line.h"
#include "workbench/paths.h"

namespace wb {

void copy_fields(const TerrainFields& from, TerrainFields& to) {
    to.hldAlt.set_text(from.hldAlt.text());
    to.hldLake.set_value(from.hldLake.value());
    to.hldTextNumber.set_text(from.hldTextNumber.text());
    to.hldNSOffset.set_text(from.hldNSOffset.text());
    to.hldNSSpan.set_text(from.hldNSSpan.text());
    to.hldWEOffset.set_text(from.hldWEOffset.text());
    to.hldWESpan.set_text(from.hldWESpan.text());
}

FrmHldParams::FrmHldParams(TerrainFields main)
    : ui::Window("frmHldParams", "Lake and Decal Parameters", 280, 262), main_(main) {
    Frame1.at(8, 4, 264, 56);
    Label1.at(18, 28, 110, 16).in(Frame1);
    hldAlt.at(130, 26, 60, 20).in(Frame1).tip("Altitude of the flattened terrain, in feet.");
    hldLake.at(200, 26, 64, 20).in(Frame1).tip("The flattened polygon is a lake (water).");
    Frame2.at(8, 66, 264, 152);
    Label2.at(18, 90, 110, 16).in(Frame2);
    hldTextNumber.at(130, 88, 60, 20).in(Frame2).tip("Texture of the decal, written in quotes into the source.");
    Label3.at(18, 116, 110, 16).in(Frame2);
    hldWEOffset.at(130, 114, 60, 20).in(Frame2).tip("Added to the west-east coordinate of every decal point.");
    Label4.at(18, 142, 110, 16).in(Frame2);
    hldWESpan.at(130, 140, 60, 20).in(Frame2).tip("West-east coordinates across the whole level-8 cell.");
    Label5.at(18, 168, 110, 16).in(Frame2);
    hldNSOffset.at(130, 166, 60, 20).in(Frame2).tip("Added to the north-south coordinate of every decal point.");
    Label6.at(18, 194, 110, 16).in(Frame2);
    hldNSSpan.at(130, 192, 60, 20).in(Frame2).tip("North-south coordinates across the whole level-8 cell.");
    cmdOK.at(106, 228, 80, 26);
    cmdCancel.at(192, 228, 80, 26);

    on_activate = [this] {
        TerrainFields mine = own();
        if (pending_copy_) copy_fields(main_, mine);
        pending_copy_ = false;
    };
    cmdOK.on_click = [this] { OK_Click(); };
    cmdCancel.on_click = [this] { ui::desktop().close(*this); };
}

void FrmHldParams::open(ui::Window& owner) {
    pending_copy_ = true;
    ui::desktop().show(*this, true, &owner);
}

namespace {

// "" when every field can be written into the lake and decal sources; otherwise the box text.
// A decal point is its offset plus up to its span.
std::string check_fields(const TerrainFields& f) {
    const auto metres = [](double feet) { return std::floor(feet / 3.280839895); };
    if (std::string why = cg::check_typed_number("flatten altitude", f.hldAlt.text(), "FLATTEN_POLYGON", "alt", metres);
        !why.empty())
        return why;
    const std::string texture = wb::trim(f.hldTextNumber.text());
    if (texture.empty()) return "The texture of the decal is empty.";
    if (std::string why = cg::check_operand("TEXTURE_DATA", cg::macro_field("TEXTURE_DATA", "name"), "\"" + texture + "\"");
        !why.empty())
        return "The texture \"" + texture + "\" cannot be used. " + why;
    const struct {
        const char* what;
        ui::Control& offset;
        ui::Control& span;
    } axes[] = {{"west-east", f.hldWEOffset, f.hldWESpan}, {"north-south", f.hldNSOffset, f.hldNSSpan}};
    const cg::MacroField& point = cg::macro_field("DECAL_POINT", "first");
    for (const auto& a : axes) {
        double offset = 0, span = 0;
        const std::string what = a.what;
        if (std::string why = cg::check_is_number(what + " offset", a.offset.text(), offset); !why.empty()) return why;
        if (std::string why = cg::check_is_number(what + " span", a.span.text(), span); !why.empty()) return why;
        // The decal's points lie from the offset to the offset plus the span.
        if (std::string why = cg::check_value("DECAL_POINT", point, offset); !why.empty())
            return "The " + what + " offset \"" + a.offset.text() + "\" is out of range. " + why;
        if (std::string why = cg::check_value("DECAL_POINT", point, offset + std::floor(span)); !why.empty())
            return "The " + what + " span \"" + a.span.text() + "\" is out of range. " + why;
    }
    return "";
}

}  // namespace

void FrmHldParams::OK_Click() {
    if (const std::string why = check_fields(own()); !why.empty()) {
        ui::error_box(why);
        return;
    }
    copy_fields(own(), main_);
    try {
        write_tmf_settings(wb::program_file("tmf.ini"), main_);
    } catch (const ui::RuntimeError& e) {
        ui::run_time_error_box(e);
        return;
    }
    ui::desktop().close(*this);
}

}  // namespace wb
