// The bglcheck program: command line, macro files and writing the checked file.
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

// The folder of the checker's own macro files: "check" in its program folder, apart from the
// macro files of the user's BGLC.
std::string macro_folder(const std::string& program_folder);

// The macro files read before every source, found in the macro folder.
Options compiler_options(const std::string& macros, const std::string& mode);

// Writes the bytes to a temporary file beside `path` and renames it over `path`,
// so a failed write never leaves half a file.
bool write_file_replacing(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error);

// Runs one check with the macro files of `macros`; messages go to out (summary) and err (errors).
// Returns the exit status: 0 when the target was written, 1 otherwise (no target file is left
// behind then).
int run_compiler(const std::vector<std::string>& args, const std::string& macros, std::ostream& out,
                 std::ostream& err);

}  // namespace bglc
