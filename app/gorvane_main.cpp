// gorvane: the workbench. On Windows the real windows, optionally driven by a script;
// natively a headless runner of scripts against the same window models.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "ui/script/script_runner.h"
#include "app/tools.h"
#include "workbench/form1.h"

#ifdef _WIN32
#include "ui/win32/native_driver.h"
#include "ui/win32/win32_platform.h"
#endif

namespace {

struct Options {
    std::string script, snap, program_folder, out;
    bool help = false;
    std::string error;
};

Options parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc) o.error = a + " needs a value";
            else into = argv[++i];
        };
        if (a == "--script") value(o.script);
        else if (a == "--snap") value(o.snap);
        else if (a == "--program-folder") value(o.program_folder);
        else if (a == "--out") value(o.out);
        else if (a == "--help" || a == "-h" || a == "/?") o.help = true;
        else o.error = "unknown argument " + a;
    }
    return o;
}

const char* kUsage =
    "usage: gorvane [--script FILE [--snap DIR] [--out FILE]] [--program-folder DIR]\n"
    "  --script FILE          run the user actions in FILE and print what the windows show\n"
    "  --snap DIR             (Windows) save a picture and the native texts of each window\n"
    "  --out FILE             write the script's output to FILE instead of the console\n"
    "  --program-folder DIR   folder for settings, work files and batch files\n";

// The script is read at start, before the program folder becomes the current folder, so that
// a relative name means the file the user named.
bool read_script(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    text = s.str();
    return !in.bad();
}

// The main window with the tools the program hands it.
std::unique_ptr<wb::Form1> make_main_window() {
    auto form = std::make_unique<wb::Form1>();
    app::add_tools(*form);
    return form;
}

int run_script(const std::string& script, ui::ScriptPlatform& platform, ui::ScriptDriver& driver,
               std::ostream& out) {
    std::istringstream in(script);
    ui::ScriptRunner runner(platform, out, driver);
    return runner.run(in);
}

#ifdef _WIN32
bool usable_handle(DWORD which) {
    HANDLE h = GetStdHandle(which);
    return h != nullptr && h != INVALID_HANDLE_VALUE && GetFileType(h) != FILE_TYPE_UNKNOWN;
}

// A window program has no console of its own. What it prints goes where its output was
// redirected, or else into the console of the command prompt that started it. False when there
// is neither (started from Explorer).
bool attach_to_console() {
    const bool out = usable_handle(STD_OUTPUT_HANDLE), err = usable_handle(STD_ERROR_HANDLE);
    if (out && err) return true;
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return out;
    if (!out && std::freopen("CONOUT$", "w", stdout)) std::cout.clear();
    if (!err && std::freopen("CONOUT$", "w", stderr)) std::cerr.clear();
    return true;
}
#endif

}  // namespace

int main(int argc, char** argv) {
    Options o = parse(argc, argv);
#ifdef _WIN32
    const bool console = (o.script.empty() && o.error.empty() && !o.help) || attach_to_console();
#endif
    if (!o.error.empty() || o.help) {
        const std::string text = (o.error.empty() ? "" : o.error + "\n") + kUsage;
#ifdef _WIN32
        if (!console) MessageBoxA(nullptr, text.c_str(), "Gorvane", o.help ? MB_ICONINFORMATION : MB_ICONERROR);
#endif
        std::cerr << text;
        return o.help ? 0 : 2;
    }
    std::ofstream file_out;
    if (!o.out.empty()) file_out.open(o.out, std::ios::binary);
    std::ostream& out = o.out.empty() ? std::cout : static_cast<std::ostream&>(file_out);
    std::string script;
    if (!o.script.empty() && !read_script(o.script, script)) {
        out << "!! cannot read the script " << o.script << '\n';
        return 2;
    }

#ifdef _WIN32
    ui::Win32Binder binder(GetModuleHandleA(nullptr));
    ui::desktop().set_observer(&binder);
    if (o.script.empty()) {
        ui::Win32Platform platform(binder);
        if (!o.program_folder.empty()) platform.set_program_folder(o.program_folder);
        ui::set_platform(&platform);
        SetCurrentDirectoryA(platform.program_folder().c_str());
        auto form = make_main_window();
        ui::desktop().show(*form);
        int code = ui::run_message_loop(binder);
        ui::desktop().set_observer(nullptr);
        return code;
    }
    // Pictures go where the user named, not into the program folder made current below.
    std::error_code ec;
    if (const auto snap = std::filesystem::absolute(o.snap, ec); !o.snap.empty() && !ec) o.snap = snap.string();
    ui::ScriptPlatform platform(&out);
    platform.set_really_start(true);
    if (!o.program_folder.empty()) platform.set_program_folder(o.program_folder);
    ui::set_platform(&platform);
    SetCurrentDirectoryA(platform.program_folder().c_str());
    auto form = make_main_window();
    ui::desktop().show(*form);
    ui::Win32Binder::pump();
    ui::NativeDriver driver(binder);
    driver.set_snap_folder(o.snap);
    int status = run_script(script, platform, driver, out);
    if (!o.snap.empty() && ui::snapshot(binder, o.snap) == 0) {
        out << "!! no window could be pictured (is there a display?)\n";
        if (status == 0) status = 3;
    }
    ui::desktop().set_observer(nullptr);
    return status;
#else
    if (o.script.empty()) {
        std::cerr << "This build has no windows: give it a script of user actions.\n" << kUsage;
        return 2;
    }
    ui::ScriptPlatform platform(&out);
    if (!o.program_folder.empty()) platform.set_program_folder(o.program_folder);
    ui::set_platform(&platform);
    auto form = make_main_window();
    ui::desktop().show(*form);
    ui::ScriptDriver driver;
    return run_script(script, platform, driver, out);
#endif
}
