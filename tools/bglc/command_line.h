// The bglc program: command line, macro files and writing the compiled file.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "assembler.h"

namespace bglc {

struct CommandLine {
    std::string mode;     // "bgl" or "mdl"
    std::string source;
    std::string target;   // the source with the mode's extension when not given
};

// Accepts "/bgl SOURCE [TARGET]" and "/mdl SOURCE [TARGET]" (switch in any case, '-' for '/').
std::optional<CommandLine> parse_command_line(const std::vector<std::string>& args, std::string& error);

// The macro files read before every source, found in the program folder.
Options compiler_options(const std::string& program_folder, const std::string& mode);

// Writes the bytes to a temporary file beside `path` and renames it over `path`,
// so a failed write never leaves half a file.
bool write_file_replacing(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error);

// Runs one compilation; messages go to out (summary) and err (errors). Returns the exit status:
// 0 when the target was written, 1 otherwise (no target file is left behind then).
int run_compiler(const std::vector<std::string>& args, const std::string& program_folder, std::ostream& out,
                 std::ostream& err);

}  // namespace bglc
