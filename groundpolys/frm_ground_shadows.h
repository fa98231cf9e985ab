#pragma once
// The "Shadow Fix" window: splits the flat-on-the-ground polygons of the main window's export
// into a ground source drawn with a z-bias in a chosen layer, and compiles both sources.
#include <array>
#include <functional>
#include <string>

#include "ui/window.h"

namespace groundpolys {

// Layer choices: caption and the layer number they put into the layer box.
struct LayerChoice {
    const char* caption;
    int layer;
};
extern const std::array<LayerChoice, 10> kLayers;

class FrmGroundShadows : public ui::Window {
public:
    // input_base and output_base read the main window's boxes when an action needs them.
    FrmGroundShadows(std::function<std::string()> input_base, std::function<std::string()> output_base,
                     std::string version);
    // Shows the window modal over its owner, with Process enabled again.
    void open(ui::Window& owner);

    ui::Control& Label1 = label("Label1",
        "The result of this process is to seperate the flat-on-the-ground polygons and create a seperate asm "
        "file. The original file is also modified and needed for the rest of the objects/shadows. The compile "
        "button will compile both. The new ground file has an \"_SH\" appended to it.");
    ui::Control& Frame1 = frame("Frame1", "New polygons type");
    std::array<ui::Control*, 10> shdType{};
    ui::Control& Label2 = label("Label2", "Layer");
    ui::Control& shdLayer = text_box("shdLayer");
    ui::Control& Label3 = label("Label3", "Z Bias");
    ui::Control& shdZbias = text_box("shdZbias");
    ui::Control& Command2 = button("Command2", "Process");
    ui::Control& Command3 = button("Command3", "Compile");
    ui::Control& Command1 = button("Command1", "Cancel");

    void Process_Click();
    void Compile_Click();

private:
    void layout();
    std::function<std::string()> input_base_, output_base_;
    std::string version_;
};

}  // namespace groundpolys
