#include "pair_backup.h"

#include "asm_line.h"
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

void backup_pairs(const std::vector<std::string>& bases, const std::string& question) {
    ui::BusyPointer busy;
    try {
        std::vector<std::string> used;
        for (const auto& b : bases)
            if (!trim(b).empty()) used.push_back(b);
        for (const auto& b : used) {
            if (ui::file_exists(azm_backup_path(b)) || ui::file_exists(asm_backup_path(b))) {
                if (!ask(question)) return;
                break;
            }
        }
        for (const auto& b : used) {
            copy_if_exists(b + ".asm", azm_backup_path(b));
            copy_if_exists(b + "_0.asm", asm_backup_path(b));
        }
    } catch (const ui::StopRequest&) {
        throw;
    } catch (const ui::RuntimeError& e) {
        ui::platform().set_busy(false);
        copy_error_box("Error while copying: ", e);
    }
}

void restore_pairs(const std::vector<std::string>& bases) {
    if (!ask("Do you want to overwrite the working files ?")) return;
    ui::BusyPointer busy;
    try {
        for (const auto& b : bases) {
            if (trim(b).empty()) continue;
            copy_if_exists(azm_backup_path(b), b + ".asm");
            copy_if_exists(asm_backup_path(b), b + "_0.asm");
        }
    } catch (const ui::StopRequest&) {
        throw;
    } catch (const ui::RuntimeError& e) {
        ui::platform().set_busy(false);
        copy_error_box("Error while restoring: ", e);
    }
}

void backup_pair(const std::string& base) {
    backup_pairs({base}, "A previous backup of the file exists. Do you want to overwrite it ?");
}

void restore_pair(const std::string& base) { restore_pairs({base}); }

std::string bglc_command(const std::string& program_folder, const std::string& mode, const std::string& source,
                         const std::string& target) {
    const std::string q = "\"";
    return q + program_folder + "\\bglc" + q + " /" + mode + " " + q + source + q + "  " + q + target + q;
}

namespace {

std::string batch_text(const std::vector<std::string>& lines) {
    return "@echo off\r\n" + lines_file_text(lines) + "Pause\r\n";
}

}  // namespace

std::string compile_batch_text(const std::string& program_folder, const std::string& base) {
    return batch_text({bglc_command(program_folder, "bgl", base + ".asm", base + ".bgl")});
}

std::string batch_program_folder() {
    std::string folder = ui::platform().program_folder();
    while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    return folder;
}

void run_compile_batch(const std::vector<std::string>& lines) {
    ui::write_file_atomic(program_file("comp.bat"), batch_text(lines));
    // The console window stays open at its end ("Pause"): the compiler's messages are read there.
    if (!ui::platform().start_program("\"" + program_file("comp.bat") + "\"", batch_program_folder()))
        throw ui::RuntimeError(ui::kFileNotFound, "comp.bat could not be started");
}

void compile_pair(const std::string& base) { compile_source(base + ".asm"); }

void compile_source(const std::string& source) {
    const std::string base = source.substr(0, source.size() >= 4 ? source.size() - 4 : 0);
    run_compile_batch({bglc_command(batch_program_folder(), "bgl", source, base + ".bgl")});
}

}  // namespace wb
