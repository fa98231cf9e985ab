#include "system_platform.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>

#include "window.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#include <climits>
#endif

namespace ui {

namespace {
Platform* g_platform = nullptr;
}

Platform& platform() {
    if (!g_platform) {
        std::fputs("no platform set\n", stderr);
        std::abort();
    }
    return *g_platform;
}

void set_platform(Platform* p) { g_platform = p; }

std::string program_file(const std::string& name) {
    const std::string folder = platform().program_folder();
#ifdef _WIN32
    const char* sep = "\\";
#else
    const char* sep = "/";
#endif
    if (folder.empty()) return name;
    return folder.back() == '\\' || folder.back() == '/' ? folder + name : folder + sep + name;
}

void error_box(const std::string& text) { platform().message_box({text, "", Icon::Critical, Buttons::Ok}); }
void warning_box(const std::string& text) { platform().message_box({text, "", Icon::Exclamation, Buttons::Ok}); }
void information_box(const std::string& text) {
    platform().message_box({text, "", Icon::Information, Buttons::Ok});
}

SystemPlatform::SystemPlatform() : program_folder_(executable_folder()) {
    std::string env = environment("GORVANE_PROGRAM_FOLDER");
    if (!env.empty()) program_folder_ = env;
}

std::string SystemPlatform::executable_folder() {
#ifdef _WIN32
    char buf[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
    std::string p(buf, n);
    auto s = p.find_last_of("\\/");
    return s == std::string::npos ? "." : p.substr(0, s);
#else
    char buf[PATH_MAX + 1] = {};
    ssize_t n = readlink("/proc/self/exe", buf, PATH_MAX);
    if (n <= 0) return ".";
    std::string p(buf, static_cast<size_t>(n));
    auto s = p.find_last_of('/');
    return s == std::string::npos ? "." : p.substr(0, s);
#endif
}

bool SystemPlatform::start_program(const std::string& command_line, const std::string& folder) {
#ifdef _WIN32
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi{};
    std::string cmd = command_line;
    BOOL ok = CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE,
                             nullptr, folder.empty() ? nullptr : folder.c_str(), &si, &pi);
    if (!ok) return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
#else
    std::string cmd = (folder.empty() ? "" : "cd '" + folder + "' && ") + "(" + command_line + ") >/dev/null 2>&1 &";
    return std::system(cmd.c_str()) == 0;
#endif
}

bool SystemPlatform::shell_open(const std::string& file, const std::string& parameters,
                                const std::string& verb) {
#ifdef _WIN32
    auto r = reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, verb.c_str(), file.c_str(),
                                                     parameters.empty() ? nullptr : parameters.c_str(),
                                                     nullptr, SW_SHOWNORMAL));
    return r > 32;
#else
    (void)verb;
    std::string cmd = "'" + file + "'" + (parameters.empty() ? "" : " '" + parameters + "'");
    return start_program(cmd, "");
#endif
}

std::string SystemPlatform::find_executable(const std::string& document) {
#ifdef _WIN32
    char buf[256] = {};
    auto r = reinterpret_cast<INT_PTR>(FindExecutableA(document.c_str(), nullptr, buf));
    return r > 32 ? std::string(buf) : std::string();
#else
    (void)document;
    if (std::system("command -v xdg-open >/dev/null 2>&1") == 0) return "xdg-open";
    return "";
#endif
}

bool SystemPlatform::find_window(const std::string& window_class, const std::string& title) {
#ifdef _WIN32
    return FindWindowExA(nullptr, nullptr, window_class.empty() ? nullptr : window_class.c_str(),
                         title.empty() ? nullptr : title.c_str()) != nullptr;
#else
    (void)window_class;
    (void)title;
    return false;
#endif
}

LocalTime SystemPlatform::now() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &t);
#else
    localtime_r(&t, &tm);
#endif
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::string SystemPlatform::new_guid() {
    static std::mt19937_64 rng(std::random_device{}() ^
                               static_cast<unsigned long long>(
                                   std::chrono::high_resolution_clock::now().time_since_epoch().count()));
    std::string s;
    char buf[4];
    for (int i = 0; i < 16; ++i) {
        std::snprintf(buf, sizeof buf, "%02X", static_cast<unsigned>(rng() & 0xFF));
        s += buf;
    }
    return s;
}

std::string SystemPlatform::environment(const std::string& name) {
    const char* v = std::getenv(name.c_str());
    return v ? v : "";
}

void SystemPlatform::beep() {
#ifdef _WIN32
    MessageBeep(MB_OK);
#endif
}

void* SystemPlatform::load_library(const std::string& name) {
#ifdef _WIN32
    return reinterpret_cast<void*>(LoadLibraryA(name.c_str()));
#else
    // A bare name is looked for beside the executable first, then on the search path, as
    // Windows looks for a DLL.
    if (name.find('/') == std::string::npos)
        if (void* beside = dlopen((executable_folder() + "/" + name).c_str(), RTLD_NOW | RTLD_LOCAL)) return beside;
    return dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
}

void* SystemPlatform::library_symbol(void* library, const std::string& symbol) {
    if (!library) return nullptr;
#ifdef _WIN32
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), symbol.c_str()));
#else
    return dlsym(library, symbol.c_str());
#endif
}

void SystemPlatform::refresh() { desktop().refresh(); }
void SystemPlatform::do_events() { desktop().refresh(); }

}  // namespace ui
