#include "paths.h"

#include <cstdlib>

#include "asm_line.h"
#include "ui/platform.h"

namespace wb {

namespace {
size_t last_separator(const std::string& path) {
#ifdef _WIN32
    return path.find_last_of('\\');
#else
    return path.find_last_of("\\/");
#endif
}
}  // namespace

std::string path_folder(const std::string& path) {
    size_t s = last_separator(path);
    return s == std::string::npos ? std::string() : path.substr(0, s);
}

std::string path_file_name(const std::string& path) {
    size_t s = last_separator(path);
    return s == std::string::npos ? path : path.substr(s + 1);
}

std::string path_extension(const std::string& name) {
    size_t d = name.find_last_of('.');
    if (d == std::string::npos || d == 0) return "";
    return upper(name.substr(d));
}

std::string swap_colour_bytes(const std::string& hex) {
    if (hex.size() < 6) return hex;
    return hex.substr(hex.size() - 2, 2) + hex.substr(2, 2) + hex.substr(0, 2);
}

std::uint32_t colour_value(const std::string& hex) {
    char* end = nullptr;
    unsigned long v = std::strtoul(hex.c_str(), &end, 16);
    return (end && *end == 0 && !hex.empty()) ? static_cast<std::uint32_t>(v & 0xFFFFFF) : 0;
}

std::string program_file(const std::string& name) { return ui::program_file(name); }

std::string resolve_in_program_folder(const std::string& path) {
    const bool absolute =
        !path.empty() && (path[0] == '\\' || path[0] == '/' || (path.size() > 1 && path[1] == ':'));
    return absolute ? path : program_file(path);
}

}  // namespace wb
