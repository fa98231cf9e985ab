#include "system_platform.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>

#include "errors.h"
#include "fileio.h"
#include "window.h"

#ifdef _WIN32
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#else
#include <dlfcn.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
extern char** environ;
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

void run_time_error_box(const RuntimeError& e) {
    platform().set_busy(false);
    error_box("Error : " + std::to_string(e.number) + " :" + e.description);
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

Process SystemPlatform::start_process(const std::string& program, const std::vector<std::string>& arguments) {
    Process p;
#ifdef _WIN32
    std::string cmd;
    for (size_t i = 0; i < arguments.size(); ++i) cmd += (i ? " " : "") + arguments[i];
    if (cmd.size() >= 32767) {  // the longest command line Windows passes
        p.error = StartError::TooLong;
        return p;
    }
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(program.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        switch (GetLastError()) {
            case ERROR_FILE_NOT_FOUND:
            case ERROR_PATH_NOT_FOUND:
            case ERROR_INVALID_NAME: p.error = StartError::NotFound; break;
            case ERROR_FILENAME_EXCED_RANGE: p.error = StartError::TooLong; break;
            case ERROR_BAD_EXE_FORMAT:
            case ERROR_EXE_MACHINE_TYPE_MISMATCH: p.error = StartError::ExecFormat; break;
            case ERROR_NOT_ENOUGH_MEMORY:
            case ERROR_OUTOFMEMORY: p.error = StartError::OutOfMemory; break;
            case ERROR_INVALID_PARAMETER: p.error = StartError::InvalidArgument; break;
            default: p.error = StartError::Other; break;
        }
        return p;
    }
    CloseHandle(pi.hThread);
    p.handle = reinterpret_cast<std::intptr_t>(pi.hProcess);
#else
    // A Windows program name is found natively without its ".exe" (the Linux build of a tool).
    std::string path = native_path(program);
    if (!file_exists(path) && path.size() > 4 && path.compare(path.size() - 4, 4, ".exe") == 0)
        path.resize(path.size() - 4);
    if (!file_exists(path)) {
        p.error = StartError::NotFound;
        return p;
    }
    std::vector<char*> argv;
    for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    switch (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv.data(), environ)) {
        case 0: p.handle = pid; break;
        case ENOENT: p.error = StartError::NotFound; break;
        case E2BIG: p.error = StartError::TooLong; break;
        case ENOEXEC: p.error = StartError::ExecFormat; break;
        case ENOMEM: p.error = StartError::OutOfMemory; break;
        case EINVAL: p.error = StartError::InvalidArgument; break;
        default: p.error = StartError::Other; break;
    }
#endif
    return p;
}

int SystemPlatform::wait_process(const Process& process) {
    if (!process.started() || !process.handle) return -1;
#ifdef _WIN32
    HANDLE h = reinterpret_cast<HANDLE>(process.handle);
    WaitForSingleObject(h, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(h, &code);
    CloseHandle(h);
    // Exit codes from 0xC0000000 on are the system's report of a fault (access violation ...).
    return code >= 0xC0000000u ? -1 : static_cast<int>(code);
#else
    int status = 0;
    while (waitpid(static_cast<pid_t>(process.handle), &status, 0) < 0)
        if (errno != EINTR) return -1;
    // Exit statuses are 8 bits here: exit(-1) arrives as 255 and is read back as -1.
    return WIFEXITED(status) ? static_cast<signed char>(WEXITSTATUS(status)) : -1;
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

std::string SystemPlatform::resource_string(int id) {
#ifdef _WIN32
    char buf[1024] = {};
    int n = LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(id), buf, sizeof buf);
    return std::string(buf, n > 0 ? static_cast<size_t>(n) : 0);
#else
    (void)id;
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
    unsigned char bytes[16];
#ifdef _WIN32
    // The system's identifier generator; its 16 bytes in memory order.
    GUID g{};
    if (CoCreateGuid(&g) != S_OK) raise(kIllegalCall);
    std::memcpy(bytes, &g, sizeof bytes);
#else
    static std::mt19937_64 rng(std::random_device{}() ^
                               static_cast<unsigned long long>(
                                   std::chrono::high_resolution_clock::now().time_since_epoch().count()));
    for (unsigned char& b : bytes) b = static_cast<unsigned char>(rng() & 0xFF);
#endif
    std::string s;
    char buf[4];
    for (unsigned char b : bytes) {
        std::snprintf(buf, sizeof buf, "%02X", static_cast<unsigned>(b));
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
