// tolvard: the exporter launcher that gmax starts in place of the exporter. On Windows its real
// window, optionally driven by a script; natively a headless runner of scripts against the same
// window model. gmax's arguments follow the launcher's own options:
//   tolvard [--script FILE [--snap DIR] [--out FILE]] [--program-folder DIR] ARGUMENT MODE MODEL
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "launcher/frm_tolvard.h"
#include "ui/errors.h"
#include "ui/fileio.h"
#include "ui/script/script_runner.h"

#ifdef _WIN32
#include "ui/win32/native_driver.h"
#include "ui/win32/win32_platform.h"
#endif

namespace {

struct Options {
    std::string script, snap, out, start_folder;
    std::vector<std::string> arguments;  // gmax's
};

// The launcher's own options come first; everything after them is gmax's command line.
Options parse(std::vector<std::string> words) {
    Options o;
    size_t i = 0;
    for (; i + 1 < words.size(); i += 2) {
        const std::string& a = words[i];
        if (a == "--script") o.script = words[i + 1];
        else if (a == "--snap") o.snap = words[i + 1];
        else if (a == "--out") o.out = words[i + 1];
        else if (a == "--program-folder") o.start_folder = words[i + 1];
        else break;
    }
    o.arguments.assign(words.begin() + static_cast<std::ptrdiff_t>(i), words.end());
    return o;
}

// The words of the command line after the program's name, split as the launcher splits them.
std::vector<std::string> command_words(int argc, char** argv) {
#ifdef _WIN32
    (void)argc;
    (void)argv;
    std::string line = GetCommandLineA();
    size_t end = line[0] == '"' ? line.find('"', 1) : line.find_first_of(" \t");
    return launcher::split_command_line(end == std::string::npos ? "" : line.substr(end + 1));
#else
    return std::vector<std::string>(argv + 1, argv + argc);
#endif
}

// The script is read before the launcher changes the current folder.
int run_script(const std::string* script, ui::ScriptPlatform& platform, ui::ScriptDriver& driver, std::ostream& out) {
    if (!script) {
        out << "!! cannot read the script\n";
        return 2;
    }
    std::istringstream in(*script);
    ui::ScriptRunner runner(platform, out, driver);
    return runner.run(in);
}

}  // namespace

int main(int argc, char** argv) {
    const Options o = parse(command_words(argc, argv));
    std::ofstream file_out;
    if (!o.out.empty()) file_out.open(o.out, std::ios::binary);
    std::ostream& out = o.out.empty() ? std::cout : static_cast<std::ostream&>(file_out);
    std::string script_text;
    const std::string* script = nullptr;
    if (!o.script.empty()) {
        try {
            script_text = ui::read_file(o.script);
            script = &script_text;
        } catch (const ui::RuntimeError&) {
        }
    }
    if (!o.start_folder.empty()) ui::set_current_folder(o.start_folder);

#ifdef _WIN32
    ui::Win32Binder binder(GetModuleHandleA(nullptr));
    ui::desktop().set_observer(&binder);
    if (o.script.empty()) {
        ui::Win32Platform platform(binder);
        ui::set_platform(&platform);
        auto form = std::make_unique<launcher::FrmTolvard>(o.arguments);
        ui::desktop().show(*form);
        int code = ui::run_message_loop(binder);
        ui::desktop().set_observer(nullptr);
        return code;
    }
    // A window program has no console of its own: a script prints to the one it was started from.
    if (o.out.empty() && AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::ios::sync_with_stdio(true);
    }
    ui::ScriptPlatform platform(&out);
    platform.set_really_start(true);
    ui::set_platform(&platform);
    auto form = std::make_unique<launcher::FrmTolvard>(o.arguments);
    ui::desktop().show(*form);
    ui::Win32Binder::pump();
    ui::NativeDriver driver(binder);
    driver.set_snap_folder(o.snap);
    int status = run_script(script, platform, driver, out);
    if (!o.snap.empty() && form->is_open()) ui::snapshot(binder, o.snap);
    ui::desktop().set_observer(nullptr);
    return status;
#else
    if (o.script.empty()) {
        std::cerr << "This build has no windows: give it a script of user actions.\n"
                     "usage: tolvard --script FILE [--out FILE] [--program-folder DIR] ARGUMENT MODE MODEL\n";
        return 2;
    }
    ui::ScriptPlatform platform(&out);
    platform.set_really_start(true);  // GO!! runs the exporter and the viewer
    ui::set_platform(&platform);
    auto form = std::make_unique<launcher::FrmTolvard>(o.arguments);
    ui::desktop().show(*form);
    ui::ScriptDriver driver;
    return run_script(script, platform, driver, out);
#endif
}
