#pragma once
// The Top View window: the open model seen from above, following the main window.
#include <memory>

#include "render.h"
#include "scene.h"
#include "ui/window.h"
#include "workbench/form1.h"

namespace topview {

class FrmTopView : public ui::Window {
public:
    explicit FrmTopView(wb::Form1& main);

    ui::Control& cmdFit = button("cmdFit", "Fit");
    ui::Control& cmdSave = button("cmdSave", "Save Picture...");
    ui::Control& lblSummary = label("lblSummary", "");
    ui::Control& lblPlace = label("lblPlace", "");
    ui::Control& picTop = image("picTop");

    const Scene& scene() const { return scene_; }
    const View& view() const { return view_; }
    const ui::Raster& picture() const { return *picture_; }

    // Reads the main window's pair again and shows all of it.
    void reload();
    // Draws the picture again with the view and the main window's pick as they are.
    void redraw();
    void Fit_Click();
    void Save_Click();
    // A click on the picture: the material under it is picked in the main window's list.
    void pick_at(int x, int y);

private:
    void on_mouse(const ui::MouseEvent& e);
    void follow(wb::Change c);
    wb::Form1& main_;
    Scene scene_;
    View view_;
    std::shared_ptr<ui::Raster> picture_ = std::make_shared<ui::Raster>();
    int down_x_ = 0, down_y_ = 0, last_x_ = 0, last_y_ = 0;
    bool pressed_ = false, dragged_ = false;
};

// The tool button that opens the Top View (the seventh of the main window's tools).
wb::ToolButton top_view_tool();

}  // namespace topview
