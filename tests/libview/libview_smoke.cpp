// Smoke run of the library browser through real Win32 windows: puts a small library into the
// program folder, opens the browser, runs a script through the native controls and keeps a
// picture and the native texts of each open window.
// usage: libview_smoke --script FILE --snap DIR --program-folder DIR --out FILE
#include <windows.h>

#include <fstream>
#include <iostream>
#include <string>

#include "libtool/folder_walk.h"
#include "libtool/lib_view.h"
#include "tools/bglpack/sample_library.h"
#include "ui/script/script_runner.h"
#include "ui/win32/native_driver.h"
#include "ui/win32/win32_platform.h"

int main(int argc, char** argv) {
    std::string script, snap, folder, out_path;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--script") script = argv[i + 1];
        else if (a == "--snap") snap = argv[i + 1];
        else if (a == "--program-folder") folder = argv[i + 1];
        else if (a == "--out") out_path = argv[i + 1];
    }
    std::ofstream file_out(out_path, std::ios::binary);
    std::ostream& out = out_path.empty() ? std::cout : file_out;

    ui::Win32Binder binder(GetModuleHandleA(nullptr));
    ui::desktop().set_observer(&binder);
    ui::ScriptPlatform platform(&out);
    if (!folder.empty()) platform.set_program_folder(folder);
    ui::set_platform(&platform);
    SetCurrentDirectoryA(platform.program_folder().c_str());

    bglpack::SampleLibrary lib;
    lib.objects.resize(2);
    lib.objects[1].identifier[3] = 2;
    lib.objects[1].name = "Hangar";
    const auto bytes = bglpack::build_library(lib);
    std::ofstream(libtool::join_path(platform.program_folder(), "smoke_lib.bgl"), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));

    libtool::show_library_browser(nullptr);
    ui::Win32Binder::pump();
    ui::NativeDriver driver(binder);
    std::ifstream in(script, std::ios::binary);
    ui::ScriptRunner runner(platform, out, driver);
    const int status = in ? runner.run(in) : 2;
    if (!snap.empty()) ui::snapshot(binder, snap);
    ui::desktop().set_observer(nullptr);
    return status;
}
