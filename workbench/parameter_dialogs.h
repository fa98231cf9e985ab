#pragma once
// The parameter dialogs of lights, effects, windsocks and library objects. Each copies its
// fields in from the main window when it opens and back on "O.K."; "Cancel" leaves the main
// window as it was.
#include "ui/window.h"

namespace wb {

class Form1;

inline constexpr const char* kDefaultTimeConstraints = "MOY=01,12;DOM=01,31;HOD=00,23;MOH=00,59;";

// The items of the parameter lists, shared by the main window and the dialogs (the dialogs copy
// list positions, so both hold the same items in the same order).
extern const char* const kLightTypes[10];     // the main window's texts
extern const long kLightStateBits[10];        // item data of the main window's light types
extern const char* const kFlashVariables[7];

// The mask that goes with a flash variable (position in the variable list).
const char* flash_mask_for_variable(int position);

class FrmLights : public ui::Window {
public:
    explicit FrmLights(Form1& main);
    // Shows the dialog modal over the main window, with the main window's fields.
    void open();

    ui::Control& Label1 = label("Label1", "Light type");
    ui::Control& LightType = list_box("LightType");
    ui::Control& Label2 = label("Label2", "Intensity");
    ui::Control& LightInt = text_box("LightInt");
    ui::Control& Label3 = label("Label3", "Linear attenuation");
    ui::Control& LightAttnL = text_box("LightAttnL");
    ui::Control& Label4 = label("Label4", "Square attenuation");
    ui::Control& LightAttS = text_box("LightAttS");
    ui::Control& Label5 = label("Label5", "Flash variable");
    ui::Control& LightVariable = list_box("LightVariable");
    ui::Control& Label6 = label("Label6", "Flash mask (hex)");
    ui::Control& FlashMask = text_box("FlashMask");
    ui::Control& DayFlag = check_box("DayFlag", "Off during day time");
    ui::Control& AircraftFlag = check_box("AircraftFlag", "Aircraft Lights");
    ui::Control& cmdOK = button("cmdOK", "O.K.");
    ui::Control& cmdCancel = button("cmdCancel", "Cancel");

private:
    void copy_in();
    void copy_out();
    Form1& main_;
    bool pending_copy_ = false;
};

class FrmEffects : public ui::Window {
public:
    explicit FrmEffects(Form1& main);
    void open();

    ui::Control& Label1 = label("Label1", "Effect");
    ui::Control& lstEffectType = list_box("lstEffectType");
    ui::Control& Label2 = label("Label2", "Time constraints");
    ui::Control& fx_params = text_box("fx_params");
    ui::Control& fx_OTG = check_box("fx_OTG", "On the ground");
    ui::Control& Label3 = label("Label3", "Terrain altitude (ft)");
    ui::Control& fx_terrain_alt = text_box("fx_terrain_alt");
    ui::Control& cmdOK = button("cmdOK", "O.K.");
    ui::Control& cmdCancel = button("cmdCancel", "Cancel");

private:
    void load_effect_list();
    void copy_in();
    Form1& main_;
    bool pending_copy_ = false;
    bool list_loaded_ = false;  // "fx_list.txt" is read once per run
};

class FrmWindsock : public ui::Window {
public:
    explicit FrmWindsock(Form1& main);
    void open();

    ui::Control& Label1 = label("Label1", "Mast color (RRGGBB)");
    ui::Control& ws_mastColor = text_box("ws_mastColor");
    ui::Control& picColor = swatch("picColor");
    ui::Control& cmdColour = button("cmdColour", "...");
    ui::Control& ws_lit = check_box("ws_lit", "Night Light");
    ui::Control& cmdOK = button("cmdOK", "O.K.");
    ui::Control& cmdCancel = button("cmdCancel", "Cancel");

private:
    void paint_swatch();
    void pick_colour();
    Form1& main_;
    bool pending_copy_ = false;
};

class FrmLibrary : public ui::Window {
public:
    explicit FrmLibrary(Form1& main);
    // Shows the dialog modeless; it reads the main window's fields each time it is loaded.
    void open();

    ui::Control& Label1 = label("Label1", "Object GUID");
    ui::Control& libGUID = text_box("libGUID");
    ui::Control& Label2 = label("Label2", "Scale");
    ui::Control& libScale = text_box("libScale");
    ui::Control& lib_OTG = check_box("lib_OTG", "On the ground");
    ui::Control& Label3 = label("Label3", "Terrain altitude (ft)");
    ui::Control& lib_terrain_alt = text_box("lib_terrain_alt");
    ui::Control& cmdLibTool = button("cmdLibTool", "Library Tool");
    ui::Control& cmdSearch = button("cmdSearch", "Search Results");
    ui::Control& cmdOK = button("cmdOK", "O.K.");
    ui::Control& cmdCancel = button("cmdCancel", "Cancel");

private:
    void search_results();
    Form1& main_;
};

}  // namespace wb
