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

// Renames from over to (replacing an existing file); false when it cannot.
bool replace_file(const std::string& from, const std::string& to) {
#ifdef _WIN32
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

// A free name beside the target for a file of our own ("tmp" before the write, "bak" for the
// previous file while several files are replaced).
std::string free_name_beside(const std::string& target, const char* kind) {
    static unsigned counter = 0;
    std::string name;
    for (int tries = 0; tries < 100; ++tries) {
        name = target + ".~" + std::to_string(++counter) + kind;
        if (!file_exists(name)) break;
    }
    return name;
}

// Raises 75 when an existing file at the native path may not be replaced: read-only (no write
// permission, for root too, as the read-only attribute of Windows), or held by another program.
void check_replaceable(const std::string& target) {
#ifdef _WIN32
    const DWORD a = GetFileAttributesA(target.c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return;
    if (a & FILE_ATTRIBUTE_READONLY) raise(kPathFileAccess);
    // Replacing a file removes it: another program's handle that does not share deletion stops that.
    HANDLE h = CreateFileA(target.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) raise(kPathFileAccess);
    CloseHandle(h);
#else
    struct stat st {};
    if (stat(target.c_str(), &st) != 0) return;
    if ((st.st_mode & 0222) == 0 || access(target.c_str(), W_OK) != 0) raise(kPathFileAccess);
#endif
}

// The new file keeps what the file it replaces had: its permissions and owner (Linux), its
// hidden, system and archive attributes (Windows). Best effort.
void keep_attributes(const std::string& target, const std::string& temp) {
#ifdef _WIN32
    const DWORD a = GetFileAttributesA(target.c_str());
    if (a != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesA(temp.c_str(), a & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE));
#else
    struct stat st {};
    if (stat(target.c_str(), &st) != 0) return;
    if (chown(temp.c_str(), st.st_uid, st.st_gid) != 0) {
        // not the owner's to give: the new file stays ours
    }
    chmod(temp.c_str(), st.st_mode & 07777);
#endif
}

// Writes bytes to a new temporary file beside the target; returns its native name.
std::string write_beside(const std::string& path, const std::string& bytes) {
    std::string target = native_path(path);
    if (target.empty()) raise(kBadFileName);
    if (folder_exists(target)) raise(kPathFileAccess);
    check_replaceable(target);
    const std::string tmp = free_name_beside(target, "tmp");
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
    keep_attributes(target, tmp);
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
    // Every file but the last is put in place with its previous file moved aside; the last one
    // is renamed straight over its target. A failure on the way puts back every file replaced.
    const size_t n = files.size();
    std::vector<std::string> aside(n);  // the previous file, empty when there was none
    size_t i = 0;
    for (; i < n; ++i) {
        const std::string target = native_path(files[i].first);
        if (i + 1 < n && file_exists(target)) {
            aside[i] = free_name_beside(target, "bak");
            if (!replace_file(target, aside[i])) {
                aside[i].clear();
                break;
            }
        }
        if (!replace_file(temps[i], target)) {
            if (!aside[i].empty()) replace_file(aside[i], target);
            aside[i].clear();
            break;
        }
    }
    if (i < n) {
        for (size_t j = i; j-- > 0;) {
            const std::string target = native_path(files[j].first);
            if (aside[j].empty()) std::remove(target.c_str());
            else replace_file(aside[j], target);
        }
        for (size_t j = i; j < n; ++j) std::remove(temps[j].c_str());
        raise(kPathFileAccess);
    }
    for (const auto& a : aside)
        if (!a.empty()) std::remove(a.c_str());
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
