#pragma once
// The label renamer window: appends a suffix to every label of one MASM file (and to every
// reference to it), so that two exports of one model can be assembled together.
#include <functional>
#include <string>

#include "ui/window.h"

namespace labels {

// Renames the labels of the file at path: reports the lines read and labels found in the
// message window, asks before saving. Failures end in their boxes; returns the labels found
// (-1 when nothing could be read or an error stopped it).
long rename_labels(const std::string& path, const std::string& suffix);

class FrmLabelRename : public ui::Window {
public:
    // input_base gives the main window's input base each time the window becomes active.
    explicit FrmLabelRename(std::function<std::string()> input_base);
    // Shows the window modal over its owner.
    void open(ui::Window& owner);

    ui::Control& Label1 = label("Label1", "File");
    ui::Control& InputFile = text_box("InputFile");
    ui::Control& cmdBrowse = button("cmdBrowse", "...");
    ui::Control& lblOpen = label("lblOpen", "Append to labels :");
    ui::Control& lblAdition = text_box("lblAdition");

    void Browse_Click();
    void Rename_Click();

private:
    std::function<std::string()> input_base_;
};

}  // namespace labels
