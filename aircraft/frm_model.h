#pragma once
// The "Model Modifier" window: the five exports of one aircraft, the two options, and Process
// Aircraft, Backup, Restore and Compile MDL over them. The boxes are remembered in "model.ini".
#include <array>
#include <string>

#include "model_modifier.h"
#include "ui/window.h"

namespace aircraft {

class FrmModel : public ui::Window {
public:
    // version: the main window's version text, written into the processed header's banner.
    explicit FrmModel(std::string version);
    // Shows the window modal over its owner.
    void open(ui::Window& owner);

    ui::Control& Label1 = label("Label1", "Complete Model");
    ui::Control& Frame1 = frame("Frame1", "Flexing Wings");
    ui::Control& chkWings = check_box("chkWings", "Flexing Wings");
    ui::Control& Label2 = label("Label2", "Fuselage");
    ui::Control& Label3 = label("Label3", "Wings High");
    ui::Control& Label4 = label("Label4", "Wings Low");
    ui::Control& Frame2 = frame("Frame2", "Shadow Optimization");
    ui::Control& chkShadow = check_box("chkShadow", "Shadow Optimization");
    ui::Control& Label5 = label("Label5", "Shadow");
    std::array<ui::Control*, 5> fnModel{};   // the five base paths
    std::array<ui::Control*, 5> Command8{};  // their browse buttons
    ui::Control& Command2 = button("Command2", "Process Aircraft");
    ui::Control& Command3 = button("Command3", "Backup");
    ui::Control& Command4 = button("Command4", "Restore");
    ui::Control& Command5 = button("Command5", "Compile MDL");
    ui::Control& Command1 = button("Command1", "Exit");

    AircraftSet set() const;
    void Process_Click();
    void Backup_Click();
    void Restore_Click();
    void Compile_Click();
    void Browse_Click(int k);

private:
    void layout();
    void apply_options();
    void read_settings();
    void write_settings();
    std::string version_;
};

}  // namespace aircraft
