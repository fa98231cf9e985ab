#include "fileio.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

#include "errors.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace ui {

std::string native_path(const std::string& path) {
#ifdef _WIN32
    return path;
#else
    std::string p = path;
    for (char& c : p)
        if (c == '\\') c = '/';
    return p;
#endif
}

bool file_exists(const std::string& path) {
    if (path.empty()) return false;
#ifdef _WIN32
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
#else
    struct stat st {};
    return stat(native_path(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
#endif
}

bool folder_exists(const std::string& path) {
    if (path.empty()) return false;
#ifdef _WIN32
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
#else
    struct stat st {};
    return stat(native_path(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
#endif
}

std::string read_file(const std::string& path) {
    if (!file_exists(path)) raise(kFileNotFound);
    std::ifstream in(native_path(path), std::ios::binary);
    if (!in) raise(kPathFileAccess);
    std::ostringstream s;
    s << in.rdbuf();
    if (in.bad()) raise(kDeviceIo);
    return s.str();
}

namespace {

bool replace_file(const std::string& from, const std::string& to) {
#ifdef _WIN32
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

}  // namespace

namespace {

// Writes bytes to a new temporary file beside the target; returns its native name.
std::string write_beside(const std::string& path, const std::string& bytes) {
    std::string target = native_path(path);
    if (target.empty()) raise(kBadFileName);
    if (folder_exists(target)) raise(kPathFileAccess);
    static unsigned counter = 0;
    std::string tmp;
    for (int tries = 0; tries < 100; ++tries) {
        tmp = target + ".~" + std::to_string(++counter) + "tmp";
        if (!file_exists(tmp)) break;
    }
    std::FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) raise(errno == ENOENT ? kPathNotFound : kPathFileAccess);
    size_t n = bytes.empty() ? 0 : std::fwrite(bytes.data(), 1, bytes.size(), f);
    bool ok = n == bytes.size();
    ok = (std::fflush(f) == 0) && ok;
    int err = errno;
    ok = (std::fclose(f) == 0) && ok;
    if (!ok) {
        std::remove(tmp.c_str());
        raise(err == ENOSPC ? kDiskFull : kDeviceIo);
    }
    return tmp;
}

}  // namespace

void write_file_atomic(const std::string& path, const std::string& bytes) { write_files_atomic({{path, bytes}}); }

void write_files_atomic(const std::vector<std::pair<std::string, std::string>>& files) {
    std::vector<std::string> temps;
    try {
        for (const auto& [path, bytes] : files) temps.push_back(write_beside(path, bytes));
    } catch (...) {
        for (const auto& t : temps) std::remove(t.c_str());
        throw;
    }
    for (size_t i = 0; i < files.size(); ++i) {
        if (!replace_file(temps[i], native_path(files[i].first))) {
            for (size_t j = i; j < temps.size(); ++j) std::remove(temps[j].c_str());
            raise(kPathFileAccess);
        }
    }
}

bool rename_file(const std::string& from, const std::string& to) {
    return file_exists(from) && std::rename(native_path(from).c_str(), native_path(to).c_str()) == 0;
}

bool set_current_folder(const std::string& folder) {
#ifdef _WIN32
    return SetCurrentDirectoryA(folder.c_str()) != 0;
#else
    return chdir(native_path(folder).c_str()) == 0;
#endif
}

bool delete_file(const std::string& path) {
    if (!file_exists(path)) return true;
    std::remove(native_path(path).c_str());
    return !file_exists(path);
}

}  // namespace ui
