#include "frm_halden.h"

#include <cmath>

#include "ui/format.h"
#include "ui/platform.h"
#include "workbench/asm_line.h"
#include "workbench/geometry.h"
#include "workbench/level_table.h"
#include "workbench/text_file.h"

namespace tmfcalc {

using terrain::Degrees;

namespace {

// A degrees box is negative when its value is, or when it reads "-0": a point less than one
// degree south or west keeps its hemisphere.
bool negative(const std::string& text) {
    const double v = ui::val(text);
    return v < 0 || (v == 0 && wb::starts_with(wb::trim(text), "-"));
}

double angle(const ui::Control& degrees, const ui::Control& minutes) {
    return ui::val(degrees.text()) + (negative(degrees.text()) ? -1 : 1) * ui::val(minutes.text()) / 60;
}

void put_angle(double v, ui::Control& degrees, ui::Control& minutes) {
    const double whole = std::trunc(v);
    degrees.set_text(v < 0 && whole == 0 ? "-0" : ui::num(whole));
    minutes.set_text(ui::format(std::fabs(v - whole) * 60, "0.0###"));
}

std::string centre_text(const Degrees& c, const char* pattern) {
    return (c.latitude < 0 ? "S" : "N") + ui::degrees_minutes(std::fabs(c.latitude), pattern) + "  " +
           (c.longitude < 0 ? "W" : "E") + ui::degrees_minutes(std::fabs(c.longitude), pattern);
}

}  // namespace

FrmHalden::FrmHalden() : ui::Window("frmHalden", "Halden's Calculator", 580, 392) {
    layout();
    for (int level = 0; level < wb::kLevels; ++level) hldLOD.add_item(std::to_string(level));
    hldLOD.set_list_index(last_level_);
    hldLat.set_text("0");
    hldLatMin.set_text("0.0");
    hldLon.set_text("0");
    hldLonMin.set_text("0.0");

    // The window opens showing the quad of its point at the chosen level.
    on_load = [this] { Level_Change(); };
    hldLOD.on_click = [this] {
        if (!syncing_level_) Level_Change();
    };
    hldLOD.on_lost_focus = [this] { Level_Change(); };
    Command1.on_click = [this] { Calculate_Click(); };
    Command3.on_click = [this] { GetFromFile_Click(); };
    Command8.on_click = [this] { Move(0, 0); };
    Command4.on_click = [this] { Move(0, 1); };
    Command5.on_click = [this] { Move(0, -1); };
    Command6.on_click = [this] { Move(-1, 0); };
    Command7.on_click = [this] { Move(1, 0); };
    Command2.on_click = [this] { ui::desktop().close(*this); };
}

void FrmHalden::open(ui::Window& owner) { ui::desktop().show(*this, false, &owner); }

void FrmHalden::layout() {
    Frame1.at(8, 4, 300, 96);
    Label1.at(90, 22, 70, 16).in(Frame1);
    Label2.at(166, 22, 70, 16).in(Frame1);
    Label3.at(18, 42, 70, 16).in(Frame1);
    hldLat.at(90, 40, 70, 20).in(Frame1).tip("Enter negative value for South hemisphere");
    hldLatMin.at(166, 40, 90, 20).in(Frame1).tip("Minutes of latitude");
    Label4.at(18, 68, 70, 16).in(Frame1);
    hldLon.at(90, 66, 70, 20).in(Frame1).tip("Enter negative value for Western hemisphere");
    hldLonMin.at(166, 66, 90, 20).in(Frame1).tip("Minutes of longitude");

    Command1.at(318, 10, 110, 26);
    Command3.at(318, 40, 110, 26).tip("Get the point of interest from an asm file. The SCALE center will be used.");
    Command8.at(318, 70, 110, 26).tip("Set Input point to center of quad.");
    Command6.at(486, 10, 36, 26).tip("Move to upper LOD quad.");
    Command5.at(446, 40, 36, 26).tip("Move to previous LOD quad.");
    Command4.at(526, 40, 36, 26).tip("Move to next LOD quad.");
    Command7.at(486, 70, 36, 26).tip("Move to lower LOD quad.");

    // A grid of three rows: level, row, column and centre; then top, bottom and height; then
    // left, right and width.
    Frame2.at(8, 106, 564, 104);
    Label5.at(18, 128, 40, 16).in(Frame2);
    hldLOD.at(60, 124, 56, 240).in(Frame2).tip("Grid level of the quad, 0 to 15.");
    hldLOD.editable = true;
    Label6.at(128, 128, 30, 16).in(Frame2);
    hldRow.at(160, 124, 52, 20).in(Frame2);
    Label7.at(222, 128, 46, 16).in(Frame2);
    hldCol.at(268, 124, 52, 20).in(Frame2);
    Label14.at(332, 128, 42, 16).in(Frame2);
    hldCNTR.at(376, 124, 188, 20).in(Frame2)
        .tip("This is the center of the quad. Copy/Paste into makemdl export center.");
    Label10.at(18, 154, 40, 16).in(Frame2);
    hldTopD.at(60, 152, 110, 20).in(Frame2).tip("Top boundary Latitude (negative is South)");
    Label11.at(182, 154, 48, 16).in(Frame2);
    hldBotD.at(232, 152, 110, 20).in(Frame2).tip("Bottom boundary latitude (Negative is South)");
    Label8.at(356, 154, 66, 16).in(Frame2);
    hldHeight.at(424, 152, 80, 20).in(Frame2).tip("Quad Height in meters");
    Label12.at(18, 180, 40, 16).in(Frame2);
    hldLeftD.at(60, 178, 110, 20).in(Frame2).tip("Left boundary longitude (Negative is East)");
    Label13.at(182, 180, 48, 16).in(Frame2);
    hldRightD.at(232, 178, 110, 20).in(Frame2).tip("Right boundary longitude (Negative is East)");
    Label9.at(356, 180, 66, 16).in(Frame2);
    hldWidth.at(424, 178, 80, 20).in(Frame2).tip("Quad Width in meters.");

    Frame3.at(8, 216, 564, 136);
    Label15.at(18, 240, 56, 16).in(Frame3);
    hldRowO1.at(76, 238, 40, 20).in(Frame3);
    hldRowO2.at(120, 238, 40, 20).in(Frame3);
    Label16.at(174, 240, 44, 16).in(Frame3);
    hldCol1.at(220, 238, 40, 20).in(Frame3);
    Label17.at(274, 240, 56, 16).in(Frame3);
    hldX.at(332, 238, 40, 20).in(Frame3);
    Label18.at(386, 240, 56, 16).in(Frame3);
    hldY.at(444, 238, 40, 20).in(Frame3);
    hldOutTxt.at(18, 266, 544, 76).in(Frame3)
        .tip("Copy / paste the code for use with Halden's macros. Replace values where appropriate");
    hldOutTxt.multiline = true;
    hldOutTxt.fixed_font = true;
    hldOutTxt.read_only = true;
    for (ui::Control* c : {&hldRow, &hldCol, &hldHeight, &hldWidth, &hldTopD, &hldBotD, &hldLeftD, &hldRightD, &hldCNTR,
                           &hldRowO1, &hldRowO2, &hldCol1, &hldX, &hldY})
        c->read_only = true;
    Command2.at(492, 360, 80, 26);
}

void FrmHalden::CheckValidValues() {
    for (ui::Control* c : {&hldLat, &hldLatMin, &hldLon, &hldLonMin}) {
        const std::string& t = c->text();
        c->set_text(negative(t) && ui::val(t) == 0 ? "-0" : ui::num(ui::val(t)));
    }
    for (ui::Control* c : {&hldLatMin, &hldLonMin})
        if (ui::val(c->text()) > 60) c->set_text("59.99");
    auto limit = [](ui::Control& degrees, ui::Control& minutes, double most, const char* minutes_text) {
        const double v = ui::val(degrees.text());
        if (v > most) degrees.set_text(ui::num(most));
        else if (v < -most) degrees.set_text(ui::num(-most));
        else return;
        minutes.set_text(minutes_text);
    };
    limit(hldLon, hldLonMin, 179, "59.99999");
    limit(hldLat, hldLatMin, 89, "59.9999");
}

double FrmHalden::input_latitude() const { return angle(hldLat, hldLatMin); }

Degrees FrmHalden::input_point() {
    CheckValidValues();
    return terrain::position_to_degrees(terrain::position_at(input_latitude(), angle(hldLon, hldLonMin)));
}

bool FrmHalden::chosen_level(int& level) {
    bool ok = false;
    const double v = ui::to_number(hldLOD.text(), &ok);
    if (ok && v >= 0 && v < wb::kLevels && v == std::floor(v)) {
        level = last_level_ = static_cast<int>(v);
        // A typed level selects its item, so that choosing another item later counts as a change.
        syncing_level_ = true;
        hldLOD.set_list_index(level);
        syncing_level_ = false;
        return true;
    }
    ui::warning_box("The level \"" + hldLOD.text() + "\" is not a grid level: choose one from 0 to 15.");
    hldLOD.set_text(std::to_string(last_level_));
    return false;
}

void FrmHalden::show_quad(int level, const Degrees& p, const char* limits, const char* centre) {
    const terrain::Cell c = terrain::cell_of(level, p);
    const Degrees nw = terrain::position_to_degrees(c.north_west), se = terrain::position_to_degrees(c.south_east);
    hldRow.set_text(std::to_string(c.row));
    hldCol.set_text(std::to_string(c.column));
    hldTopD.set_text(ui::degrees_minutes(nw.latitude, limits));
    hldLeftD.set_text(ui::degrees_minutes(nw.longitude, limits));
    hldBotD.set_text(ui::degrees_minutes(se.latitude, limits));
    hldRightD.set_text(ui::degrees_minutes(se.longitude, limits));
    hldCNTR.set_text(centre_text(terrain::cell_centre(level, c.row, c.column), centre));
    const wb::LevelSpan& span = wb::level_table()[static_cast<std::size_t>(level)];
    const double metres_per_degree = wb::kEarthDiameter * wb::kPi / 360;
    hldHeight.set_text(ui::format(span.latitude * metres_per_degree, "0.00"));
    hldWidth.set_text(
        ui::format(span.longitude * metres_per_degree * std::cos(input_latitude() * wb::kPi / 180), "0.00"));
}

void FrmHalden::Level_Change() {
    int level = 0;
    const Degrees p = input_point();
    if (chosen_level(level)) show_quad(level, p, "0.0###", "0.0##");
}

void FrmHalden::Calculate_Click() {
    const Degrees p = input_point();
    const terrain::QuadPlacement q = terrain::quad_placement(p);
    show_quad(8, p, "0.0####", "0.0###");
    hldRowO1.set_text(std::to_string(q.east / 1024));
    hldRowO2.set_text(std::to_string((q.east / 256) % 4));
    hldCol1.set_text(std::to_string(q.south / 256));
    hldX.set_text(std::to_string(q.east % 256));
    hldY.set_text(std::to_string(q.south % 256));
    hldOutTxt.set_text("FLATTEN_DATA <count>," + terrain::quad_numbers(q) + ", <switch1>, <switch2>, <switch3>\r\n" +
                       "FLATTEN_POINT " + hldX.text() + ", " + hldY.text() + "\r\n" + "FLATTEN_GROUP " +
                       std::to_string(q.row) + ", " + std::to_string(q.column) +
                       ", flatten_data, data_start_0, data_end_0");
    Level_Change();
}

void FrmHalden::set_point(const Degrees& d) {
    put_angle(d.latitude, hldLat, hldLatMin);
    put_angle(d.longitude, hldLon, hldLonMin);
}

void FrmHalden::Move(int rows, int columns) {
    int level = 0;
    const Degrees p = input_point();
    if (!chosen_level(level)) return;
    const terrain::Cell c = terrain::cell_of(level, p);
    const terrain::Cell to = terrain::cell_at(level, c.row + rows, c.column + columns);
    set_point(terrain::cell_centre(level, to.row, to.column));
    Calculate_Click();
}

void FrmHalden::GetFromFile_Click() {
    ui::FileDialog d;
    d.filter = ".asm file|*.asm";
    const auto chosen = ui::platform().choose_file(d);
    if (!chosen) return;
    wb::LineArray lines;
    if (wb::load_file2array(*chosen, lines) == 0) return;  // the load said why
    for (long i = 1; i < lines.top(); ++i) {
        if (!wb::starts_with(wb::asm_field(lines[i], 0), "SCALE_AGL")) continue;
        set_point(terrain::placement_to_degrees(wb::read_placement_operands(lines[i])));
        Calculate_Click();
        return;
    }
    ui::warning_box("This file does not contain placement information.");
}

}  // namespace tmfcalc
