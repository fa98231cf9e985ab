// bglcheck: checks scenery (.bgl) and aircraft (.mdl) sources with the macro files of its "check"
// folder and writes the result in the layout that Gorvane's own readers read. It stands in for
// the user's BGLC in tests and takes the same command line; what it writes is not for the simulator.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "command_line.h"
#include "source_files.h"

namespace {

std::string program_folder(const char* argv0) {
#ifdef _WIN32
    char buf[MAX_PATH + 1];
    DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
    if (n > 0 && n < MAX_PATH) return bglc::folder_of(std::string(buf, n));
#else
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec) return exe.parent_path().string();
#endif
    return bglc::folder_of(argv0 ? argv0 : "");
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    return bglc::run_compiler(args, bglc::macro_folder(program_folder(argc > 0 ? argv[0] : nullptr)), std::cout,
                              std::cerr);
}
