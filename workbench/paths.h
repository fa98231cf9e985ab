#pragma once
// Paths are Windows paths held as text; they split at the backslash (the Linux build also
// accepts "/"). Colour texts swap between red-green-blue and the window system's blue-green-red.
#include <cstdint>
#include <string>

namespace wb {

std::string path_folder(const std::string& path);     // before the last separator
std::string path_file_name(const std::string& path);  // after the last separator
std::string path_extension(const std::string& name);  // ".ASM"; "" for none or a leading dot only
std::string swap_colour_bytes(const std::string& hex);
// The colour value of a six-digit hexadecimal text (0 for a text that is not one).
std::uint32_t colour_value(const std::string& hex);
// A path inside the program folder.
std::string program_file(const std::string& name);
// A path as the batch files see it, which run in the program folder: a relative path is taken
// from there; an absolute one ("\", "/" or a drive) stays as it is.
std::string resolve_in_program_folder(const std::string& path);

}  // namespace wb
