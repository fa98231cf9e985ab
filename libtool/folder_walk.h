#pragma once
// The file system as the library browser sees it: drives, the folders of a tree in the browser's
// walk order, the files of one folder, and joining a folder and a name.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace libtool {

// Folder + separator + name ("\" on Windows, "/" elsewhere); no second separator after a root.
std::string join_path(const std::string& folder, const std::string& name);
// True when name ends in suffix, letter case ignored (".BGL", ".BCK").
bool ends_with_ci(const std::string& name, const std::string& suffix);

// Drives that can be listed now: "C:\", "D:\" ... on Windows; "/" elsewhere.
std::vector<std::string> list_drives();
// The drive (root) of a path: "C:\" or "/".
std::string drive_of(const std::string& path);

// Names of the regular files of a folder, in the order the system lists them; empty when the
// folder cannot be read.
std::vector<std::string> list_files(const std::string& folder);
// Names of the subfolders ("." and ".." never appear), in the order the system lists them.
std::vector<std::string> list_subfolders(const std::string& folder);

// Every folder of the tree below start: each folder's subfolders are listed together, then
// each of them is walked in turn; the start folder comes last. Symbolic links are not followed.
// The list grows as needed. keep_going, when given, is called after each folder is listed with
// the number of folders found so far; when it returns false the walk ends there.
std::vector<std::string> collect_folders(const std::string& start,
                                         const std::function<bool(std::size_t found)>& keep_going = {});

// The folder that holds path (no trailing separator, except for a root).
std::string parent_folder(const std::string& path);

}  // namespace libtool
