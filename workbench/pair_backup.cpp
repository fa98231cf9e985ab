#include "pair_backup.h"

#include "paths.h"
#include "text_file.h"
#include "ui/errors.h"
#include "ui/fileio.h"
#include "ui/platform.h"

namespace wb {

namespace {

bool ask(const std::string& question) {
    return ui::platform().message_box({question, "", ui::Icon::Exclamation, ui::Buttons::YesNo}) == ui::Answer::Yes;
}

void copy_if_exists(const std::string& source, const std::string& target) {
    if (ui::file_exists(source)) copy_text_lines(source, target);
}

void copy_error_box(const std::string& prefix, const ui::RuntimeError& e) {
    ui::error_box(prefix + std::to_string(e.number) + " : " + e.description);
}

}  // namespace

std::string azm_backup_path(const std::string& base) { return base + "_azm.bck"; }
std::string asm_backup_path(const std::string& base) { return base + "_asm.bck"; }

void copy_text_lines(const std::string& source, const std::string& target) {
    save_array2file(target, LineArray::from_lines(split_lines(ui::read_file(source))));
}

void backup_pair(const std::string& base) {
    ui::BusyPointer busy;
    try {
        if (ui::file_exists(azm_backup_path(base)) || ui::file_exists(asm_backup_path(base))) {
            if (!ask("A previous backup of the file exists. Do you want to overwrite it ?")) return;
        }
        copy_if_exists(base + ".asm", azm_backup_path(base));
        copy_if_exists(base + "_0.asm", asm_backup_path(base));
    } catch (const ui::StopRequest&) {
        throw;
    } catch (const ui::RuntimeError& e) {
        ui::platform().set_busy(false);
        copy_error_box("Error while copying: ", e);
    }
}

void restore_pair(const std::string& base) {
    if (!ask("Do you want to overwrite the working files ?")) return;
    ui::BusyPointer busy;
    try {
        copy_if_exists(azm_backup_path(base), base + ".asm");
        copy_if_exists(asm_backup_path(base), base + "_0.asm");
    } catch (const ui::StopRequest&) {
        throw;
    } catch (const ui::RuntimeError& e) {
        ui::platform().set_busy(false);
        copy_error_box("Error while restoring: ", e);
    }
}

std::string compile_batch_text(const std::string& program_folder, const std::string& base) {
    const std::string q = "\"";
    return "@echo off\r\n" + q + program_folder + "\\bglc" + q + " /bgl " + q + base + ".asm" + q + "  " + q + base +
           ".bgl" + q + "\r\nPause\r\n";
}

void compile_pair(const std::string& base) {
    std::string folder = ui::platform().program_folder();
    while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    ui::write_file_atomic(program_file("comp.bat"), compile_batch_text(folder, base));
    // The console window stays open at its end ("Pause"): the compiler's messages are read there.
    if (!ui::platform().start_program("\"" + program_file("comp.bat") + "\"", folder))
        throw ui::RuntimeError(ui::kFileNotFound, "comp.bat could not be started");
}

}  // namespace wb
