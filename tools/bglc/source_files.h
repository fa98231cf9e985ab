// Finding and reading source and include files.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace bglc {

struct LoadedFile {
    std::string path;   // the name under which the file was found
    std::string text;
};

// Finds and reads a file by the path written for it; nullopt when there is none.
using FileReader = std::function<std::optional<LoadedFile>(const std::string& path)>;

// The disk reader: native path, letter case ignored on Linux (see find_existing_file).
std::optional<LoadedFile> read_source_file(const std::string& path);

// Folder part of a path ("" when it has none); accepts '\' and '/'.
std::string folder_of(const std::string& path);

// Joins a folder and a relative name with the platform's separator.
std::string join_path(const std::string& folder, const std::string& name);

// True for "C:\..", "\\server\..", "\.." and "/..".
bool is_absolute_path(const std::string& path);

// Turns a path as written in a source into one this platform opens: on Linux '\' becomes '/'.
std::string native_path(const std::string& path);

// The existing file a path names. Windows names ignore letter case, so on Linux a file whose
// name differs only in case is found too. nullopt when there is none.
std::optional<std::string> find_existing_file(const std::string& path);

// Splits a text into lines (CR LF, LF or CR).
std::vector<std::string> split_lines(const std::string& text);

}  // namespace bglc
