#pragma once
// Backup, restore and compilation of source pairs. A pair of base B is backed up beside itself
// (B + "_azm.bck" of the header file, B + "_asm.bck" of the object file); the batch file
// "comp.bat" in the program folder runs the user's BGLC, which lies in that folder as "bglc".
#include <string>
#include <vector>

namespace wb {

std::string azm_backup_path(const std::string& base);
std::string asm_backup_path(const std::string& base);

// Copies a text file line by line (the copy ends with an empty line, as a line array is
// written). The copy goes through a temporary file renamed over the target, so a failure
// leaves the target as it was. Throws ui::RuntimeError (53 when the source is missing).
void copy_text_lines(const std::string& source, const std::string& target);

// The Backup action of the main window: asks before overwriting earlier backups, copies the
// working files that exist. Errors end in the box "Error while copying: ...".
void backup_pair(const std::string& base);
// The Restore action: asks, then copies the backups that exist over the working files. Errors
// end in the box "Error while restoring: ...".
void restore_pair(const std::string& base);
// The same for several pairs at once (blank bases are skipped); `question` is asked when any
// of them has a backup already.
void backup_pairs(const std::vector<std::string>& bases, const std::string& question);
void restore_pairs(const std::vector<std::string>& bases);

// One bglc line of a batch file: "FOLDER\bglc" /MODE "SOURCE"  "TARGET".
std::string bglc_command(const std::string& program_folder, const std::string& mode, const std::string& source,
                         const std::string& target);
// The three lines of "comp.bat" for the program folder (no trailing separator) and base.
std::string compile_batch_text(const std::string& program_folder, const std::string& base);
// The program folder without a trailing separator, as the batch lines name it.
std::string batch_program_folder();
// BGLC's file in the program folder: "bglc.exe" on Windows, "bglc" natively.
std::string bglc_file_name();
// The box a compile step shows when the program folder holds no BGLC: what is missing, where it
// goes, where it comes from and the macros its macro files must define.
std::string missing_bglc_text(const std::string& program_folder);
// Writes "comp.bat" ("@echo off", the lines, "Pause") in the program folder and starts it
// without waiting. Without BGLC in the program folder it shows the missing_bglc_text box
// instead and writes nothing. Throws ui::RuntimeError when it cannot be written or started.
void run_compile_batch(const std::vector<std::string>& lines);
// The Compile BGL action: comp.bat compiles base + ".asm" into base + ".bgl".
void compile_pair(const std::string& base);
// comp.bat compiles the source, its name as given, into the same name with ".bgl" in place of
// its last four characters.
void compile_source(const std::string& source);

}  // namespace wb
