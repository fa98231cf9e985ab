#include "area_dialogs.h"

#include <cmath>

#include "ground_type.h"
#include "landing_area.h"
#include "macro_fields.h"
#include "ui/platform.h"

namespace cg {

namespace {

void copy_position(const ui::Control& from, ui::Control& to) {
    const int i = from.list_index();
    to.set_list_index(i < to.list_count() ? i : -1);
}

}  // namespace

FrmSurface::FrmSurface(ui::Window& main, ui::Control& surface_type, ui::Control& keep_polygons)
    : ui::Window("frmSurface", "Surface Parameters", 220, 240),
      main_(main),
      main_type_(surface_type),
      main_keep_(keep_polygons) {
    for (const char* t : kSurfaceTypes) srfSurfType.add_item(t);
    Label1.at(10, 10, 190, 16);
    srfSurfType.at(10, 28, 190, 124);
    srfKeepPolys.at(10, 160, 190, 20)
        .tip("Do not remove the polygons used for defining the area. (Used for checking the scenery)");
    cmdOK.at(40, 196, 70, 26);
    cmdCancel.at(120, 196, 70, 26);

    on_activate = [this] {
        if (pending_copy_) {
            srfKeepPolys.set_value(main_keep_.value());
            copy_position(main_type_, srfSurfType);
        }
        pending_copy_ = false;
    };
    cmdOK.on_click = [this] {
        main_keep_.set_value(srfKeepPolys.value());
        copy_position(srfSurfType, main_type_);
        ui::desktop().close(*this);
    };
    cmdCancel.on_click = [this] { ui::desktop().close(*this); };
}

void FrmSurface::open() {
    pending_copy_ = true;
    ui::desktop().show(*this, true, &main_);
}

FrmPlatform::FrmPlatform(ui::Window& main, ui::Control& ground_elevation, ui::Control& use_agl,
                         ui::Control& keep_polygons)
    : ui::Window("frmPlatform", "Platform Parameters", 280, 142),
      main_(main),
      main_elevation_(ground_elevation),
      main_agl_(use_agl),
      main_keep_(keep_polygons) {
    Label1.at(10, 12, 130, 16);
    platGroundElev.at(140, 10, 70, 20).tip("Enter the elevation of the ground in feet. (Use slew mode in fs)");
    platUseAGL.at(10, 40, 250, 20).tip("Let fs calculate the ground elevation. Does not always work !!");
    platKeepPolys.at(10, 64, 250, 20)
        .tip("Do not remove the polygons used for defining the platform. (Used for checking the scenery)");
    cmdOK.at(100, 96, 70, 26);
    cmdCancel.at(180, 96, 70, 26);

    on_load = [this] {
        platGroundElev.set_text(main_elevation_.text());
        platUseAGL.set_value(main_agl_.value());
        platKeepPolys.set_value(main_keep_.value());
        platGroundElev.set_enabled(platUseAGL.value() == 0);
    };
    platUseAGL.on_click = [this] { platGroundElev.set_enabled(platUseAGL.value() == 0); };
    cmdOK.on_click = [this] {
        // A greyed elevation is not checked; the main window takes it over only when it is a number.
        bool usable = true;
        try {
            ground_elevation_metres(platGroundElev.text());
        } catch (const UnusableInput& e) {
            if (platGroundElev.enabled()) {
                ui::error_box(e.description);
                return;
            }
            usable = false;
        }
        // The platform's altitude is the whole metres of the elevation.
        if (const std::string why = usable ? check_typed_number("ground elevation", platGroundElev.text(), "SCALE", "alt",
                                                                [](double feet) { return std::floor(feet / 3.280839895); })
                                           : std::string();
            !why.empty()) {
            if (platGroundElev.enabled()) {
                ui::error_box(why);
                return;
            }
            usable = false;
        }
        if (usable) main_elevation_.set_text(platGroundElev.text());
        main_agl_.set_value(platUseAGL.value());
        main_keep_.set_value(platKeepPolys.value());
        ui::desktop().close(*this);
    };
    cmdCancel.on_click = [this] { ui::desktop().close(*this); };
}

void FrmPlatform::open() { ui::desktop().show(*this, true, &main_); }

}  // namespace cg
