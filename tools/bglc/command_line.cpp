#include "command_line.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "lexer.h"
#include "source_files.h"

namespace fs = std::filesystem;

namespace bglc {

namespace {

const char* kUsage =
    "usage: bglcheck /bgl SOURCE [TARGET]   check a scenery source, write a .bgl file for Gorvane's readers\n"
    "       bglcheck /mdl SOURCE [TARGET]   check an aircraft source, write a .mdl file for Gorvane's readers\n"
    "What bglcheck writes is not for the simulator: compile the checked sources with the SDK's BGLC.\n";

std::string replace_extension(const std::string& path, const std::string& ext) {
    auto slash = path.find_last_of("\\/");
    auto dot = path.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash + 1)) return path.substr(0, dot) + ext;
    return path + ext;
}

}  // namespace

std::optional<CommandLine> parse_command_line(const std::vector<std::string>& args, std::string& error) {
    if (args.size() < 2 || args.size() > 3) {
        error = args.empty() ? "no switch given" : "expected a switch, a source and an optional target";
        return std::nullopt;
    }
    std::string sw = upper(args[0]);
    if (sw.size() < 2 || (sw[0] != '/' && sw[0] != '-') || (sw.substr(1) != "BGL" && sw.substr(1) != "MDL")) {
        error = "unknown switch '" + args[0] + "'";
        return std::nullopt;
    }
    CommandLine cl;
    cl.mode = sw.substr(1) == "BGL" ? "bgl" : "mdl";
    cl.source = args[1];
    if (cl.source.empty()) {
        error = "no source file given";
        return std::nullopt;
    }
    cl.target = args.size() == 3 ? args[2] : replace_extension(cl.source, "." + cl.mode);
    if (cl.target.empty()) {
        error = "no target file given";
        return std::nullopt;
    }
    return cl;
}

std::string macro_folder(const std::string& program_folder) {
    return join_path(program_folder.empty() ? "." : program_folder, "check");
}

Options compiler_options(const std::string& macros, const std::string& mode) {
    Options o;
    o.include_dirs.push_back(macros.empty() ? "." : macros);
    o.preload.push_back("bglc.inc");
    if (mode == "mdl") o.preload.push_back("model.inc");
    return o;
}

bool write_file_replacing(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error) {
    std::string native = native_path(path);
    std::string temp = native + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) {
            error = "cannot create '" + temp + "'";
            return false;
        }
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::remove(temp.c_str());
            error = "cannot write '" + temp + "'";
            return false;
        }
    }
    std::error_code ec;
    fs::rename(fs::path(temp), fs::path(native), ec);
    if (ec) {
        // Some file systems refuse to rename over an existing file.
        fs::remove(fs::path(native), ec);
        fs::rename(fs::path(temp), fs::path(native), ec);
    }
    if (ec) {
        std::remove(temp.c_str());
        error = "cannot write '" + path + "': " + ec.message();
        return false;
    }
    return true;
}

int run_compiler(const std::vector<std::string>& args, const std::string& macros, std::ostream& out,
                 std::ostream& err) {
    std::string problem;
    auto cl = parse_command_line(args, problem);
    if (!cl) {
        err << "bglcheck: error: " << problem << "\n" << kUsage;
        return 1;
    }
    std::error_code ec;
    if (fs::equivalent(fs::path(native_path(cl->source)), fs::path(native_path(cl->target)), ec)) {
        // Writing the compiled bytes there would destroy the source.
        err << "bglcheck: error: the target '" << cl->target << "' is the source file\n";
        return 1;
    }
    Result r = assemble(native_path(cl->source), compiler_options(macros, cl->mode));
    if (!r.ok()) {
        for (const auto& d : r.errors) err << d.text() << "\n";
        err << cl->source << ": " << r.errors.size() << " error" << (r.errors.size() == 1 ? "" : "s")
            << ", no file written\n";
        // An older target would look like the result of this run.
        fs::remove(fs::path(native_path(cl->target)), ec);
        return 1;
    }
    if (!write_file_replacing(cl->target, r.bytes, problem)) {
        err << "bglcheck: error: " << problem << "\n";
        return 1;
    }
    out << cl->source << ": checked, no errors; " << r.bytes.size() << " bytes written to " << cl->target << "\n"
        << "That file is for Gorvane's own readers, not for the simulator: compile the source with the SDK's BGLC "
           "for your scenery.\n";
    return 0;
}

}  // namespace bglc
