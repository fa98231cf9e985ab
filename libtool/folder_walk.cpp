#include "libtool/folder_walk.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "ui/fileio.h"

namespace fs = std::filesystem;

namespace libtool {
namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

bool is_separator(char c) { return c == '\\' || c == '/'; }

// Walks the entries of one folder; `take` gets each entry. Unreadable folders and entries
// whose names cannot be represented are skipped.
template <class Take>
void for_each_entry(const std::string& folder, Take&& take) {
    std::error_code ec;
    fs::directory_iterator it(fs::path(ui::native_path(folder)), ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        try {
            take(*it);
        } catch (const std::exception&) {
            // a name that the narrow character set cannot hold
        }
    }
}

// False once keep_going asked to stop.
bool walk(const std::string& folder, std::vector<std::string>& folders,
          const std::function<bool(std::size_t)>& keep_going) {
    const std::vector<std::string> subfolders = list_subfolders(folder);
    const std::size_t first = folders.size();
    for (const auto& name : subfolders) folders.push_back(join_path(folder, name));
    if (keep_going && !keep_going(folders.size())) return false;
    for (std::size_t i = 0; i < subfolders.size(); ++i) {
        const std::string sub = folders[first + i];
        if (!walk(sub, folders, keep_going)) return false;
    }
    return true;
}

}  // namespace

std::string join_path(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (is_separator(folder.back())) return folder + name;
    return folder + kSeparator + name;
}

bool ends_with_ci(const std::string& name, const std::string& suffix) {
    if (name.size() < suffix.size()) return false;
    return std::equal(suffix.begin(), suffix.end(), name.end() - std::ptrdiff_t(suffix.size()),
                      [](char a, char b) {
                          return std::toupper(static_cast<unsigned char>(a)) ==
                                 std::toupper(static_cast<unsigned char>(b));
                      });
}

std::vector<std::string> list_drives() {
#ifdef _WIN32
    std::vector<std::string> drives;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        const std::string root = std::string(1, letter) + ":\\";
        std::error_code ec;
        if (fs::exists(fs::path(root), ec)) drives.push_back(root);
    }
    return drives;
#else
    return {"/"};
#endif
}

std::string drive_of(const std::string& path) {
#ifdef _WIN32
    if (path.size() >= 2 && path[1] == ':')
        return std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])))) +
               ":\\";
    return "C:\\";
#else
    (void)path;
    return "/";
#endif
}

std::vector<std::string> list_files(const std::string& folder) {
    std::vector<std::string> names;
    for_each_entry(folder, [&](const fs::directory_entry& e) {
        std::error_code ec;
        if (e.is_regular_file(ec)) names.push_back(e.path().filename().string());
    });
    return names;
}

std::vector<std::string> list_subfolders(const std::string& folder) {
    std::vector<std::string> names;
    for_each_entry(folder, [&](const fs::directory_entry& e) {
        std::error_code ec;
        if (e.is_directory(ec) && !e.is_symlink(ec)) names.push_back(e.path().filename().string());
    });
    return names;
}

std::vector<std::string> collect_folders(const std::string& start,
                                         const std::function<bool(std::size_t)>& keep_going) {
    std::vector<std::string> folders;
    walk(start, folders, keep_going);
    folders.push_back(start);
    return folders;
}

std::string parent_folder(const std::string& path) {
    std::string p = path;
    while (p.size() > 1 && is_separator(p.back()) && !(p.size() == 3 && p[1] == ':')) p.pop_back();
    const auto cut = p.find_last_of("\\/");
    if (cut == std::string::npos) return p;
    if (cut == 0) return p.substr(0, 1);                  // "/"
    if (cut == 2 && p[1] == ':') return p.substr(0, 3);   // "C:\"
    return p.substr(0, cut);
}

}  // namespace libtool
