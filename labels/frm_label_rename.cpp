#include "frm_label_rename.h"

#include "ui/errors.h"
#include "ui/platform.h"
#include "workbench/asm_line.h"
#include "workbench/messages.h"
#include "workbench/paths.h"
#include "workbench/text_file.h"

namespace labels {

long rename_labels(const std::string& path, const std::string& suffix) {
    ui::BusyPointer busy;
    try {
        wb::LineArray lines;
        const long read = wb::load_file2array(path, lines);
        if (read == 0) {
            ui::error_box("File returns no lines.");
            return -1;
        }
        wb::add_message("Open file returned " + std::to_string(read) + " lines of code");
        const long found = wb::make_labels_unique(lines, suffix);
        wb::add_message("Labels mofilied : " + std::to_string(found));
        const ui::Answer a = ui::platform().message_box(
            {"Do you want to save the changes ? ", "File replace", ui::Icon::Question, ui::Buttons::YesNo});
        if (a == ui::Answer::Yes) {
            wb::save_array2file(path, lines);
            wb::add_message("File saved");
        }
        return found;
    } catch (const ui::StopRequest&) {
        throw;
    } catch (const ui::RuntimeError& e) {
        ui::run_time_error_box(e);
    } catch (const std::bad_alloc&) {
        ui::platform().set_busy(false);
        ui::error_box("Error : 7 :" + ui::error_description(7));
    }
    return -1;
}

FrmLabelRename::FrmLabelRename(std::function<std::string()> input_base)
    : ui::Window("frmLabelRename", "Labels Rename tool", 460, 120), input_base_(std::move(input_base)) {
    Label1.at(10, 14, 40, 16);
    InputFile.at(50, 12, 360, 22)
        .tip("The labels in this file will have the extension shown below appended to their names.");
    cmdBrowse.at(416, 12, 30, 22);
    lblOpen.at(50, 50, 120, 18).tip("Click here to append the text on the right to every label of the file.");
    lblOpen.clickable = true;
    lblAdition.at(176, 48, 80, 22)
        .tip("Appends the string to all labels in a file making them unique compared to another file.");
    lblAdition.set_text("FF1");

    on_activate = [this] { InputFile.set_text(input_base_() + "_0.asm"); };
    cmdBrowse.on_click = [this] { Browse_Click(); };
    lblOpen.on_click = [this] { Rename_Click(); };
}

void FrmLabelRename::open(ui::Window& owner) { ui::desktop().show(*this, true, &owner); }

void FrmLabelRename::Browse_Click() {
    ui::BusyPointer busy;
    try {
        ui::FileDialog d;
        d.filter = ".asm/.azm file|*.a?m";
        d.start_folder = wb::path_folder(InputFile.text());
        auto chosen = ui::platform().choose_file(d);
        if (chosen) InputFile.set_text(*chosen);  // cancelling is not an error
    } catch (const ui::StopRequest&) {
        throw;
    } catch (const ui::RuntimeError& e) {
        ui::platform().set_busy(false);
        ui::error_box("error " + std::to_string(e.number) + " " + e.description);
    }
}

void FrmLabelRename::Rename_Click() { rename_labels(InputFile.text(), lblAdition.text()); }

}  // namespace labels
