#pragma once
// The terrain macro calculator: for one point on the globe, the grid quad that holds it at a
// chosen level, its limits, centre and size, and the numbers of the flatten macros as lines
// ready to paste.
#include "terrain/geo.h"
#include "ui/window.h"

namespace tmfcalc {

class FrmHalden : public ui::Window {
public:
    FrmHalden();
    // Shows the calculator beside its owner (modeless).
    void open(ui::Window& owner);

    // Input point
    ui::Control& Frame1 = frame("Frame1", "Input Point");
    ui::Control& Label1 = label("Label1", "Degrees");
    ui::Control& Label2 = label("Label2", "Minutes");
    ui::Control& Label3 = label("Label3", "Latitude");
    ui::Control& hldLat = text_box("hldLat");
    ui::Control& hldLatMin = text_box("hldLatMin");
    ui::Control& Label4 = label("Label4", "Longitude");
    ui::Control& hldLon = text_box("hldLon");
    ui::Control& hldLonMin = text_box("hldLonMin");
    // Buttons
    ui::Control& Command1 = button("Command1", "Calculate");
    ui::Control& Command3 = button("Command3", "Get from file");
    ui::Control& Command8 = button("Command8", "Set to Center");
    ui::Control& Command6 = button("Command6", "^");
    ui::Control& Command5 = button("Command5", "<");
    ui::Control& Command4 = button("Command4", ">");
    ui::Control& Command7 = button("Command7", "v");
    // Quad limits
    ui::Control& Frame2 = frame("Frame2", "Quadrant Limits");
    ui::Control& Label5 = label("Label5", "LOD :");
    ui::Control& hldLOD = combo_box("hldLOD");
    ui::Control& Label6 = label("Label6", "Row");
    ui::Control& hldRow = text_box("hldRow");
    ui::Control& Label7 = label("Label7", "Column");
    ui::Control& hldCol = text_box("hldCol");
    ui::Control& Label8 = label("Label8", "Height (m)");
    ui::Control& hldHeight = text_box("hldHeight");
    ui::Control& Label9 = label("Label9", "Width (m)");
    ui::Control& hldWidth = text_box("hldWidth");
    ui::Control& Label10 = label("Label10", "Top");
    ui::Control& hldTopD = text_box("hldTopD");
    ui::Control& Label11 = label("Label11", "Bottom");
    ui::Control& hldBotD = text_box("hldBotD");
    ui::Control& Label12 = label("Label12", "Left");
    ui::Control& hldLeftD = text_box("hldLeftD");
    ui::Control& Label13 = label("Label13", "Right");
    ui::Control& hldRightD = text_box("hldRightD");
    ui::Control& Label14 = label("Label14", "Center");
    ui::Control& hldCNTR = text_box("hldCNTR");
    // Output values
    ui::Control& Frame3 = frame("Frame3", "Output values");
    ui::Control& Label15 = label("Label15", "Sub Row");
    ui::Control& hldRowO1 = text_box("hldRowO1");
    ui::Control& hldRowO2 = text_box("hldRowO2");
    ui::Control& Label16 = label("Label16", "Column");
    ui::Control& hldCol1 = text_box("hldCol1");
    ui::Control& Label17 = label("Label17", "X Offset");
    ui::Control& hldX = text_box("hldX");
    ui::Control& Label18 = label("Label18", "Y Offset");
    ui::Control& hldY = text_box("hldY");
    ui::Control& hldOutTxt = text_box("hldOutTxt");
    ui::Control& Command2 = button("Command2", "Exit");

    // Each input box becomes its numeric value; minutes above 60 and points beyond 179 degrees
    // of longitude or 89 of latitude are brought back into range.
    void CheckValidValues();
    // The quad of the chosen level: limits, centre, size.
    void Level_Change();
    // The level-8 placement and the macro lines, then the chosen level's quad.
    void Calculate_Click();
    // The point of an export's placement line.
    void GetFromFile_Click();
    // Moves the point to the centre of the quad rows and columns away at the chosen level.
    void Move(int rows, int columns);

private:
    void layout();
    // The checked input point, read back from the grid's fixed-point form.
    terrain::Degrees input_point();
    double input_latitude() const;
    // The chosen level; false (after a box, with the last good level put back) when the level
    // box holds no level 0 .. 15.
    bool chosen_level(int& level);
    void show_quad(int level, const terrain::Degrees& p, const char* limits, const char* centre);
    void set_point(const terrain::Degrees& d);
    int last_level_ = 13;
    bool syncing_level_ = false;
};

}  // namespace tmfcalc
