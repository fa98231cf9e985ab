#include "source_files.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "lexer.h"

namespace fs = std::filesystem;

namespace bglc {

std::optional<LoadedFile> read_source_file(const std::string& path) {
    auto found = find_existing_file(path);
    if (!found) return std::nullopt;
    std::ifstream in(*found, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream s;
    s << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return LoadedFile{*found, s.str()};
}

std::string folder_of(const std::string& path) {
    auto p = path.find_last_of("\\/");
    if (p == std::string::npos) return "";
    if (p == 0) return path.substr(0, 1);
    return path.substr(0, p);
}

std::string join_path(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    char last = folder.back();
    if (last == '/' || last == '\\') return folder + name;
#ifdef _WIN32
    return folder + "\\" + name;
#else
    return folder + "/" + name;
#endif
}

bool is_absolute_path(const std::string& path) {
    if (path.empty()) return false;
    if (path[0] == '/' || path[0] == '\\') return true;
    return path.size() >= 2 && path[1] == ':';
}

std::string native_path(const std::string& path) {
#ifdef _WIN32
    return path;
#else
    std::string out = path;
    for (char& c : out)
        if (c == '\\') c = '/';
    return out;
#endif
}

std::optional<std::string> find_existing_file(const std::string& path) {
    std::error_code ec;
    std::string p = native_path(path);
    if (fs::is_regular_file(fs::path(p), ec)) return p;
#ifndef _WIN32
    // Same name in another letter case, in the same folder.
    std::string folder = folder_of(p);
    std::string name = folder.empty() ? p : p.substr(p.find_last_of('/') + 1);
    fs::path dir = folder.empty() ? fs::path(".") : fs::path(folder);
    std::string wanted = upper(name);
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (upper(it->path().filename().string()) == wanted && it->is_regular_file(ec))
            return folder.empty() ? it->path().filename().string() : join_path(folder, it->path().filename().string());
    }
#endif
    return std::nullopt;
}

std::vector<std::string> split_lines(const std::string& text) {
    // CR LF, LF and a lone CR each end a line.
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

}  // namespace bglc
