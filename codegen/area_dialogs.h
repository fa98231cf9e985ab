#pragma once
// The parameter dialogs of ground types ("Surface Parameters") and landing areas ("Platform
// Parameters"). The parameters live in the main window's controls, which each dialog is given:
// it copies them in when shown and back on "O.K."; "Cancel" leaves them as they were.
#include "ui/window.h"

namespace cg {

class FrmSurface : public ui::Window {
public:
    // The main window and its surface-type list and "Keep Polygons" box.
    FrmSurface(ui::Window& main, ui::Control& surface_type, ui::Control& keep_polygons);
    // Shows the dialog modal over the main window; it copies the fields in as it becomes active.
    void open();

    ui::Control& Label1 = label("Label1", "Surface type");
    ui::Control& srfSurfType = list_box("srfSurfType");
    ui::Control& srfKeepPolys = check_box("srfKeepPolys", "Keep Polygons");
    ui::Control& cmdOK = button("cmdOK", "O.K.");
    ui::Control& cmdCancel = button("cmdCancel", "Cancel");

private:
    ui::Window& main_;
    ui::Control& main_type_;
    ui::Control& main_keep_;
    bool pending_copy_ = false;
};

class FrmPlatform : public ui::Window {
public:
    // The main window and its elevation box, "Use Scale_AGL" and "Keep Polygons" boxes.
    FrmPlatform(ui::Window& main, ui::Control& ground_elevation, ui::Control& use_agl, ui::Control& keep_polygons);
    // Shows the dialog modal over the main window; it copies the fields in as it loads.
    void open();

    ui::Control& Label1 = label("Label1", "Ground elevation (ft)");
    ui::Control& platGroundElev = text_box("platGroundElev");
    ui::Control& platUseAGL = check_box("platUseAGL", "Use Scale_AGL");
    ui::Control& platKeepPolys = check_box("platKeepPolys", "Keep Polygons");
    ui::Control& cmdOK = button("cmdOK", "O.K.");
    ui::Control& cmdCancel = button("cmdCancel", "Cancel");

private:
    ui::Window& main_;
    ui::Control& main_elevation_;
    ui::Control& main_agl_;
    ui::Control& main_keep_;
};

}  // namespace cg
