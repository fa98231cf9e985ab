#include "frm_ground_shadows.h"

#include "ground_split.h"
#include "ui/errors.h"
#include "ui/platform.h"
#include "workbench/pair_backup.h"

namespace groundpolys {

const std::array<LayerChoice, 10> kLayers{{{"Shadows", 60},
                                           {"Ground Elements", 40},
                                           {"Craters", 32},
                                           {"Mountains", 28},
                                           {"Runway", 24},
                                           {"Lines", 20},
                                           {"Roads", 16},
                                           {"Rivers", 12},
                                           {"Polygones", 8},
                                           {"Mesh", 4}}};

namespace {
constexpr int kRunway = 4;
}

FrmGroundShadows::FrmGroundShadows(std::function<std::string()> input_base,
                                   std::function<std::string()> output_base, std::string version)
    : ui::Window("frmGroundShadows", "Shadow Fix", 420, 360),
      input_base_(std::move(input_base)),
      output_base_(std::move(output_base)),
      version_(std::move(version)) {
    for (int i = 0; i < 10; ++i) {
        shdType[i] = &option("shdType", kLayers[i].caption, i);
        shdType[i]->tip(i == kRunway
                            ? "Anything below the selected item (including it) will be drawn underneath your ground "
                              "scenery. For example, select 'Runway' to create runway skidmarks."
                            : "Anything below the selected item will be drawn underneath your ground scenery. For "
                              "example, select 'Mountains' to create runway skidmarks.");
        shdType[i]->on_click = [this, i] {
            if (shdType[i]->value() == 1) shdLayer.set_text(std::to_string(kLayers[i].layer));
        };
    }
    layout();
    shdType[kRunway]->set_value(1);
    shdLayer.set_text("24");
    shdZbias.set_text("2");
    shdZbias.tip("The zbias for all objects will be set to this value. Accepted values are 0 to 9. "
                 "Recomended value is 2.");
    Command3.tip("Compile both files.");

    shdZbias.on_lost_focus = [this] { shdZbias.set_text(checked_zbias(shdZbias.text())); };
    Command2.on_click = [this] { Process_Click(); };
    Command3.on_click = [this] { Compile_Click(); };
    Command1.on_click = [this] { ui::desktop().close(*this); };
}

void FrmGroundShadows::layout() {
    Label1.at(10, 10, 400, 70);
    Frame1.at(10, 86, 190, 262);
    for (int i = 0; i < 10; ++i) shdType[i]->at(20, 104 + 24 * i, 170, 20).in(Frame1);
    Label2.at(214, 100, 60, 16);
    shdLayer.at(280, 98, 50, 22);
    Label3.at(214, 132, 60, 16);
    shdZbias.at(280, 130, 50, 22);
    Command2.at(214, 250, 90, 28);
    Command3.at(314, 250, 90, 28);
    Command1.at(314, 320, 90, 28);
}

void FrmGroundShadows::open(ui::Window& owner) {
    Command2.set_enabled(true);
    ui::desktop().show(*this, true, &owner);
}

void FrmGroundShadows::Process_Click() {
    // A value typed without leaving the box is checked here as well.
    shdZbias.set_text(checked_zbias(shdZbias.text()));
    if (split_ground_polygons({input_base_(), output_base_(), shdZbias.text(), shdLayer.text(), version_}))
        Command2.set_enabled(false);
}

void FrmGroundShadows::Compile_Click() {
    try {
        const std::string base = output_base_(), folder = wb::batch_program_folder();
        wb::run_compile_batch({"echo Compiling main file...", wb::bglc_command(folder, "bgl", base + ".asm", base + ".bgl"),
                               "echo Compiling ground polygons file...",
                               wb::bglc_command(folder, "bgl", base + "_SH.asm", base + "_SH.bgl")});
    } catch (const ui::StopRequest&) {
        throw;
    } catch (const ui::RuntimeError& e) {
        ui::run_time_error_box(e);
    }
}

}  // namespace groundpolys
