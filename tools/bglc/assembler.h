// A two-pass assembler for the MASM subset that scenery and aircraft sources use:
// labels, data directives, equates ("equ", "=", "textequ"), org, includes, macros with
// parameters and conditional blocks. As in MASM, no name depends on its letter case. Macro
// names stand apart from labels and equates: a macro is only called as a line's first word, so
// a label flatten_data and a macro FLATTEN_DATA live side by side.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "source_files.h"

namespace bglc {

struct Diagnostic {
    std::string file;
    int line = 0;
    std::string message;
    // "FILE(LINE): error: MESSAGE"
    std::string text() const;
};

struct Options {
    // Folders searched for an include after the including file's own folder.
    std::vector<std::string> include_dirs;
    // Macro files read before the source, found on include_dirs; each is read once per run,
    // so a source that includes one of them again gets nothing twice.
    std::vector<std::string> preload;
    FileReader reader = read_source_file;
    std::size_t max_errors = 100;
    // Source lines read, macro expansions included; beyond it the run stops.
    std::size_t max_lines = 4'000'000;
};

struct Result {
    std::vector<std::uint8_t> bytes;
    std::vector<Diagnostic> errors;
    std::map<std::string, std::int64_t> symbols;   // labels and equates, as first written

    bool ok() const { return errors.empty(); }
    // The value of a label or equate, whatever the letter case of `name`.
    std::optional<std::int64_t> symbol(std::string_view name) const;
};

// Assembles the file `source_path` (read through options.reader).
Result assemble(const std::string& source_path, const Options& options);

}  // namespace bglc
