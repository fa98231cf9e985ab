#include "frm_top_view.h"

#include <cmath>
#include <cstdlib>

#include "ui/errors.h"
#include "ui/fileio.h"
#include "ui/format.h"
#include "ui/platform.h"
#include "ui/png.h"

namespace topview {

namespace {
constexpr int kPictureWidth = 800, kPictureHeight = 600;
}

FrmTopView::FrmTopView(wb::Form1& main) : ui::Window("frmTopView", "Top View", 820, 668), main_(main) {
    cmdFit.at(8, 8, 60, 24).tip("Shows the whole model.");
    cmdSave.at(72, 8, 100, 24).tip("Saves the picture as a PNG file.");
    lblSummary.at(182, 4, 630, 30);  // two lines when there are many kinds of objects
    lblPlace.at(182, 36, 630, 16);
    picTop.at(8, 56, kPictureWidth + 4, kPictureHeight + 4)
        .tip("Wheel: zoom about the pointer. Drag: move. Click a triangle: pick its material in the main window.");
    view_.width = kPictureWidth;
    view_.height = kPictureHeight;
    cmdFit.on_click = [this] { Fit_Click(); };
    cmdSave.on_click = [this] { Save_Click(); };
    picTop.on_mouse = [this](const ui::MouseEvent& e) { on_mouse(e); };
    on_load = [this] { reload(); };
    main_.subscribe([this](wb::Change c) { follow(c); });
}

void FrmTopView::follow(wb::Change c) {
    if (!is_open()) return;  // read again when shown
    if (c == wb::Change::Picked) redraw();
    else if (c == wb::Change::Opened) reload();
    else {
        // The view stays where the user put it.
        scene_ = build_scene(main_.pair);
        redraw();
    }
}

void FrmTopView::reload() {
    scene_ = build_scene(main_.pair);
    view_.fit(scene_);
    redraw();
}

void FrmTopView::redraw() {
    DrawOptions o;
    const int position = main_.lstMat2proc.list_index();
    if (position >= 0) o.picked = scene_.material_of_row(position + 1);
    auto picture = std::make_shared<ui::Raster>();
    render(scene_, view_, o, *picture);
    picture_ = picture;
    picTop.set_image(picture_);
    lblSummary.set_caption(summary(scene_));
    if (!scene_.open) lblPlace.set_caption("");
    else if (!scene_.placed)
        lblPlace.set_caption("Heading " + ui::format(scene_.heading_degrees, "0.0") +
                             " degrees; the header has no placement line. x east, z north, from above.");
    else
        lblPlace.set_caption("Heading " + ui::format(scene_.heading_degrees, "0.0") + " degrees at " +
                             ui::format(scene_.latitude, "0.0#####") + ", " + ui::format(scene_.longitude, "0.0#####") +
                             "; scale " + ui::format(scene_.metres_per_unit, "0.0###") + " m a unit. x east, z north.");
}

void FrmTopView::Fit_Click() {
    view_.fit(scene_);
    redraw();
}

void FrmTopView::Save_Click() {
    ui::FileDialog d;
    d.title = "Save Picture";
    d.filter = "PNG picture (*.png)|*.png";
    d.save = true;
    d.file_name = "topview.png";
    d.default_extension = "png";
    try {
        const auto path = ui::platform().choose_file(d);
        if (!path) return;
        ui::write_file_atomic(*path, ui::encode_png(picture_->width, picture_->height, picture_->rgb));
    } catch (const ui::StopRequest&) {
        throw;
    } catch (const ui::RuntimeError& e) {
        ui::run_time_error_box(e);
    }
}

void FrmTopView::pick_at(int x, int y) {
    const int m = hit_test(scene_, view_, x + 0.5, y + 0.5);
    if (m < 0) return;
    const int row = scene_.materials[static_cast<size_t>(m)].row;
    if (row < 1 || row > main_.lstMat2proc.list_count()) return;  // not a highlighted material
    // As if picked in the list: its Click runs and the main window tells us to redraw.
    if (main_.lstMat2proc.list_index() == row - 1) return;
    main_.lstMat2proc.set_list_index(row - 1);
}

void FrmTopView::on_mouse(const ui::MouseEvent& e) {
    switch (e.type) {
        case ui::MouseEvent::Down:
            pressed_ = true;
            dragged_ = false;
            down_x_ = last_x_ = e.x;
            down_y_ = last_y_ = e.y;
            break;
        case ui::MouseEvent::Move:
            if (!pressed_) break;
            if (!dragged_ && std::abs(e.x - down_x_) + std::abs(e.y - down_y_) < 4) break;
            dragged_ = true;
            view_.pan(e.x - last_x_, e.y - last_y_);
            last_x_ = e.x;
            last_y_ = e.y;
            redraw();
            break;
        case ui::MouseEvent::Up:
            if (pressed_ && !dragged_) pick_at(e.x, e.y);
            pressed_ = dragged_ = false;
            break;
        case ui::MouseEvent::Wheel:
            view_.zoom_at(e.x + 0.5, e.y + 0.5, std::pow(1.25, e.wheel));
            redraw();
            break;
    }
}

wb::ToolButton top_view_tool() {
    wb::ToolButton t;
    t.name = "cmdTopView";
    t.caption = "Top View";
    t.tooltip = "Shows the model from above with the objects generated so far.";
    t.rect = {528, 406, 120, 22};
    t.modal = false;
    t.make = [](wb::Form1& main) { return std::make_unique<FrmTopView>(main); };
    return t;
}

}  // namespace topview
