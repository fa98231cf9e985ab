#pragma once
// File access shared by every tool: existence by directory look-up, whole-file reads, and
// writes that never leave half a file (a temporary file beside the target, renamed over it).
#include <string>
#include <utility>
#include <vector>

namespace ui {

// True when a file (not a folder) exists at the path.
bool file_exists(const std::string& path);
bool folder_exists(const std::string& path);
// Reads the whole file; throws RuntimeError 53 when missing, 75 when it cannot be read.
std::string read_file(const std::string& path);
// Writes bytes to path through a temporary file in the same folder and a rename over the
// target. A file the user may not write (read-only, or held by another program) is not
// replaced; a replaced file keeps its permissions. Throws RuntimeError (75 path/file access,
// 61 disk full, 76 path not found) and leaves any previous file untouched when anything fails.
void write_file_atomic(const std::string& path, const std::string& bytes);
// Writes several files (path, bytes) as one step: every file is first written to its
// temporary file, and only then are they all put in place; a failure at any point leaves every
// file as it was.
void write_files_atomic(const std::vector<std::pair<std::string, std::string>>& files);
// Deletes a file when it exists; true when it is gone afterwards.
bool delete_file(const std::string& path);
// Renames a file; false when it cannot (missing, or the new name is taken on Windows).
bool rename_file(const std::string& from, const std::string& to);
// Makes folder the current folder; false when it cannot.
bool set_current_folder(const std::string& folder);
// Native form of a Windows path on this system ("\" becomes "/" on Linux).
std::string native_path(const std::string& path);

}  // namespace ui
