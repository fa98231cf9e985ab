#include "frm_model.h"

#include "ui/errors.h"
#include "ui/fileio.h"
#include "ui/platform.h"
#include "workbench/asm_line.h"
#include "workbench/pair_backup.h"
#include "workbench/paths.h"
#include "workbench/text_file.h"

namespace aircraft {

namespace {

constexpr const char* kSettings = "model.ini";
constexpr const char* kSettingsTag = "md001";

}  // namespace

FrmModel::FrmModel(std::string version)
    : ui::Window("frmModel", "Model Modifier", 520, 320), version_(std::move(version)) {
    static const char* const kTips[5] = {
        "The complete model of the plane. Export from gmax with fuselage and one complete set of wings.",
        "This is only the fuselage with NO wings.",
        "The model of the wings ONLY in the high position. Everything that moves with the wings must be included.",
        "The model of the wings ONLY in the low position. Everything that moves with the wings must be included.",
        "The simplest possible structure for shadow projection.  This dramaticaly improves the frame rate."};
    for (int k = 0; k < 5; ++k) {
        fnModel[k] = &text_box("fnModel", k);
        fnModel[k]->tip(kTips[k]);
        Command8[k] = &button("Command8", "...", k);
        Command8[k]->on_click = [this, k] { Browse_Click(k); };
    }
    layout();
    Command2.tip("Combine all above selected designs into the final model.");
    Command3.tip("Creates a backup of input files. Used if you want to re-process. Use \"Restore\" to revert to original.");
    Command4.tip("Restores previous backup.");

    chkWings.on_click = [this] { apply_options(); };
    chkShadow.on_click = [this] { apply_options(); };
    Command2.on_click = [this] { Process_Click(); };
    Command3.on_click = [this] { Backup_Click(); };
    Command4.on_click = [this] { Restore_Click(); };
    Command5.on_click = [this] { Compile_Click(); };
    Command1.on_click = [this] { ui::desktop().close(*this); };
    on_load = [this] {
        read_settings();
        apply_options();
    };
    on_unload = [this] { write_settings(); };
}

void FrmModel::layout() {
    auto row = [this](int k, ui::Control& caption, int y) {
        caption.at(20, y + 3, 100, 16);
        fnModel[k]->at(124, y, 340, 22);
        Command8[k]->at(470, y, 30, 22);
    };
    row(0, Label1, 14);
    Frame1.at(10, 46, 500, 128);
    chkWings.at(20, 64, 160, 20).in(Frame1);
    row(1, Label2, 88);
    row(2, Label3, 114);
    row(3, Label4, 140);
    for (ui::Control* c : {fnModel[1], fnModel[2], fnModel[3], Command8[1], Command8[2], Command8[3], &Label2,
                           &Label3, &Label4})
        c->in(Frame1);
    Frame2.at(10, 182, 500, 80);
    chkShadow.at(20, 200, 180, 20).in(Frame2);
    row(4, Label5, 226);
    for (ui::Control* c : {fnModel[4], Command8[4], &Label5}) c->in(Frame2);
    Command2.at(10, 280, 120, 28);
    Command3.at(140, 280, 80, 28);
    Command4.at(228, 280, 80, 28);
    Command5.at(316, 280, 100, 28);
    Command1.at(430, 280, 80, 28);
}

void FrmModel::open(ui::Window& owner) { ui::desktop().show(*this, true, &owner); }

void FrmModel::apply_options() {
    for (int k = 1; k <= 3; ++k) {
        fnModel[k]->set_enabled(chkWings.value() == 1);
        Command8[k]->set_enabled(chkWings.value() == 1);
    }
    fnModel[kShadow]->set_enabled(chkShadow.value() == 1);
    Command8[kShadow]->set_enabled(chkShadow.value() == 1);
}

// "model.ini": a tag line, then the five boxes. A missing or short file leaves boxes empty.
void FrmModel::read_settings() {
    const std::string path = wb::program_file(kSettings);
    if (!ui::file_exists(path)) return;
    try {
        const auto lines = wb::split_lines(ui::read_file(path));
        for (int k = 0; k < 5; ++k)
            fnModel[k]->set_text(static_cast<size_t>(k + 1) < lines.size() ? wb::trim(lines[k + 1]) : "");
    } catch (const ui::RuntimeError&) {
        // Unreadable settings only lose the remembered boxes.
    }
}

void FrmModel::write_settings() {
    std::string text = std::string(kSettingsTag) + "\r\n";
    for (auto* box : fnModel) text += box->text() + "\r\n";
    try {
        ui::write_file_atomic(wb::program_file(kSettings), text);
    } catch (const ui::RuntimeError&) {
        // The window closes all the same; the boxes are only not remembered.
    }
}

AircraftSet FrmModel::set() const {
    AircraftSet s;
    for (int k = 0; k < 5; ++k) s.bases[k] = fnModel[k]->text();
    s.flexing_wings = chkWings.value() == 1;
    s.shadow_optimization = chkShadow.value() == 1;
    return s;
}

void FrmModel::Process_Click() { process_aircraft(set(), version_); }

void FrmModel::Backup_Click() {
    const auto s = set();
    wb::backup_pairs({s.bases.begin(), s.bases.end()},
                     "A previous backup of the selected files exists. Do you want to overwrite it ?");
}

void FrmModel::Restore_Click() {
    const auto s = set();
    wb::restore_pairs({s.bases.begin(), s.bases.end()});
}

void FrmModel::Compile_Click() {
    try {
        const std::string base = fnModel[kComplete]->text();
        wb::run_compile_batch({wb::bglc_command(wb::batch_program_folder(), "mdl", base + ".asm", base + ".mdl")});
    } catch (const ui::StopRequest&) {
        throw;
    } catch (const ui::RuntimeError& e) {
        ui::run_time_error_box(e);
    }
}

void FrmModel::Browse_Click(int k) {
    try {
        ui::FileDialog d;
        d.filter = ".asm/.azm file|*.a?m";
        d.start_folder = wb::path_folder(fnModel[k]->text() + "_0.asm");
        auto chosen = ui::platform().choose_file(d);
        if (!chosen) return;  // cancelling is not an error
        fnModel[k]->set_text(chosen->size() > 4 ? chosen->substr(0, chosen->size() - 4) : "");
    } catch (const ui::StopRequest&) {
        throw;
    } catch (const ui::RuntimeError& e) {
        ui::error_box("error " + std::to_string(e.number) + " " + e.description);
    }
}

}  // namespace aircraft
