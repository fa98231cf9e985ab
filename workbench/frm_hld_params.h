#pragma once
// The lake and decal parameters dialog: copies the main window's seven terrain fields in each
// time it is shown, back on "O.K.", and keeps five of them in "tmf.ini".
#include "tmf_settings.h"
#include "ui/window.h"

namespace wb {

class FrmHldParams : public ui::Window {
public:
    explicit FrmHldParams(TerrainFields main);
    // Shows the dialog modal over the owner, with the main window's fields.
    void open(ui::Window& owner);

    ui::Control& Frame1 = frame("Frame1", "Lake / flatten");
    ui::Control& Label1 = label("Label1", "Altitude (ft)");
    ui::Control& hldAlt = text_box("hldAlt");
    ui::Control& hldLake = check_box("hldLake", "Lake");
    ui::Control& Frame2 = frame("Frame2", "Decal");
    ui::Control& Label2 = label("Label2", "Texture number");
    ui::Control& hldTextNumber = text_box("hldTextNumber");
    ui::Control& Label3 = label("Label3", "West-east offset");
    ui::Control& hldWEOffset = text_box("hldWEOffset");
    ui::Control& Label4 = label("Label4", "West-east span");
    ui::Control& hldWESpan = text_box("hldWESpan");
    ui::Control& Label5 = label("Label5", "North-south offset");
    ui::Control& hldNSOffset = text_box("hldNSOffset");
    ui::Control& Label6 = label("Label6", "North-south span");
    ui::Control& hldNSSpan = text_box("hldNSSpan");
    ui::Control& cmdOK = button("cmdOK", "O.K.");
    ui::Control& cmdCancel = button("cmdCancel", "Cancel");

    // Copies the fields back, writes "tmf.ini" and hides the dialog; a file that cannot be
    // written is reported and the dialog stays open.
    void OK_Click();

private:
    TerrainFields own() { return {hldAlt, hldLake, hldTextNumber, hldNSOffset, hldNSSpan, hldWEOffset, hldWESpan}; }
    TerrainFields main_;
    bool pending_copy_ = false;
};

// Copies the seven fields from one set of controls to another.
void copy_fields(const TerrainFields& from, TerrainFields& to);

}  // namespace wb
