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

std::string bglc_file_name() {
#ifdef _WIN32
    return "bglc.exe";
#else
    return "bglc";
#endif
}

std::string missing_bglc_text(const std::string& program_folder) {
    return "BGLC, the BGL compiler, is missing: there is no " + bglc_file_name() +
           " in the program folder, so nothing was compiled and no batch file was written.\r\n\r\n"
           "Copy " + bglc_file_name() + " and its macro files from the simulator's SDK into the program folder\r\n" +
           program_folder +
           "\r\nand press the button again.\r\n\r\n"
           "The generated code uses these macros, which the macro files must define:\r\n"
           "BGL: VAR_BASE_OVERRIDE, VAR_BASE_GLOBAL, IFIN1, IFMSK, BGL_JUMP_32, BGL_LIGHT, BGL_RETURN, BGL_ZBIAS, "
           "SCALE, SCALE_AGL, INSTANCE_CALL, VINSTANCE_CALL32, SHADOW_VPOSITION, SHADOW_VICALL32, "
           "BGL_TRANSFORM_MAT, BGL_TRANSFORM_END, SET_SURFACE_TYPE, AREA_SENSE, ALTITUDE_SET\r\n"
           "Objects: KZV_FX1, KZV_LIBRARY_CALL, KZV_WINDSOCK, KZV_LAKE_ST\r\n"
           "Terrain flatten and decals: FLATTEN_HEADER, FLATTEN_DATA, FLATTEN_LIST, FLATTEN_GROUP, "
           "FLATTEN_POLYGON, FLATTEN_POINT, DECAL_HEADER, DECAL_DATA, DECAL_GEOMETRY, DECAL_POINTS, DECAL_POINT, "
           "DECAL_LIST, DECAL_GROUP, TEXTURE_HEADER, TEXTURE_GROUP, TEXTURE_DATA\r\n"
           "Aircraft models: the file model.inc, which every processed aircraft source includes.\r\n\r\n"
           "bglcheck beside Gorvane only checks sources: what it writes is not for the simulator.";
}

void run_compile_batch(const std::vector<std::string>& lines) {
    if (!ui::file_exists(program_file(bglc_file_name()))) {
        ui::warning_box(missing_bglc_text(batch_program_folder()));
        return;
    }
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
