#pragma once
// Backup, restore and compilation of the source pair of an output base B: backups beside the
// pair (B + "_azm.bck" of the header file, B + "_asm.bck" of the object file), and the batch
// file "comp.bat" in the program folder that runs bglc on the header file.
#include <string>

namespace wb {

std::string azm_backup_path(const std::string& base);
std::string asm_backup_path(const std::string& base);

// Copies a text file line by line (the copy ends with an empty line, as a line array is
// written). The copy goes through a temporary file renamed over the target, so a failure
// leaves the target as it was. Throws ui::RuntimeError (53 when the source is missing).
void copy_text_lines(const std::string& source, const std::string& target);

// The Backup action: asks before overwriting earlier backups, copies the working files that
// exist. Errors end in the box "Error while copying: ...".
void backup_pair(const std::string& base);
// The Restore action: asks, then copies the backups that exist over the working files. Errors
// end in the box "Error while restoring: ...".
void restore_pair(const std::string& base);

// The three lines of "comp.bat" for the program folder (no trailing separator) and base.
std::string compile_batch_text(const std::string& program_folder, const std::string& base);
// The Compile BGL action: writes "comp.bat" in the program folder and starts it without
// waiting. Throws ui::RuntimeError when the file cannot be written or started.
void compile_pair(const std::string& base);

}  // namespace wb
