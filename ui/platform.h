#pragma once
// Everything the outside world provides to the logic and the window models: message boxes,
// file and colour dialogs, starting programs, the busy pointer, repainting, the clock, GUIDs,
// the environment, shared libraries. One implementation talks to Win32, one answers from a
// script; tests use the script one.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// <windows.h> renames MessageBox; the name here is ours.
#ifdef MessageBox
#undef MessageBox
#endif

namespace ui {

enum class Icon { None, Critical, Question, Exclamation, Information };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class Answer { Ok, Cancel, Yes, No, Retry, Abort, Ignore };

struct MessageBox {
    std::string text;   // line breaks as "\r\n"
    std::string title;  // empty: the program's title ("Gorvane")
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
};

struct FileDialog {
    std::string title;
    std::string filter;        // "description|pattern|description|pattern"
    std::string start_folder;  // Windows path; empty: the current folder
    bool save = false;         // a save dialog instead of an open dialog
    std::string file_name;     // proposed name
    std::string default_extension;  // added to a name typed without one ("txt")
};

// Why a program could not be started.
enum class StartError { None, NotFound, TooLong, ExecFormat, OutOfMemory, InvalidArgument, Other };

// A program started by start_process; `handle` is the platform's, 0 when nothing runs.
struct Process {
    StartError error = StartError::None;
    std::intptr_t handle = 0;
    bool started() const { return error == StartError::None; }
};

struct LocalTime {
    int year, month, day, hour, minute, second;
};

class Platform {
public:
    virtual ~Platform() = default;

    // Dialogs.
    virtual Answer message_box(const MessageBox& box) = 0;
    virtual std::optional<std::string> choose_file(const FileDialog& dialog) = 0;
    // Colour as 0x00BBGGRR (the window system's order); nullopt when cancelled.
    virtual std::optional<std::uint32_t> choose_colour(std::uint32_t initial) = 0;

    // Feedback while an action runs.
    virtual void set_busy(bool busy) = 0;
    virtual void refresh() = 0;      // repaint the windows now
    virtual void do_events() = 0;    // let pending window events run

    // The program's own folder: settings, work files, batch files and bglc live here.
    virtual std::string program_folder() = 0;

    // Starting other programs, without waiting. Returns false when it could not be started.
    virtual bool start_program(const std::string& command_line, const std::string& folder) = 0;
    virtual bool shell_open(const std::string& file, const std::string& parameters,
                            const std::string& verb) = 0;
    // Starts program (a path, looked for in the current folder when relative) with an argument
    // list whose first element is the name the program sees as its own, without waiting. On
    // Windows the arguments are joined with blanks into the program's command line.
    virtual Process start_process(const std::string& program, const std::vector<std::string>& arguments) = 0;
    // Waits for a started program to end and returns its exit status (-1 when it did not end
    // by itself: killed, or ended by a fault).
    virtual int wait_process(const Process& process) = 0;
    // The program that opens a document ("" when none); 0 when no association.
    virtual std::string find_executable(const std::string& document) = 0;
    // True when a top-level window of the class (and title, when not empty) exists.
    virtual bool find_window(const std::string& window_class, const std::string& title) = 0;

    virtual LocalTime now() = 0;
    virtual std::string new_guid() = 0;  // 16 random bytes as 32 upper-case hex digits
    virtual std::string environment(const std::string& name) = 0;
    virtual void beep() = 0;

    // Shared libraries, bound by file name (a bare name is looked for beside the program, then
    // on the system's search path). Handles are opaque; null on failure.
    virtual void* load_library(const std::string& name) = 0;
    virtual void* library_symbol(void* library, const std::string& symbol) = 0;
};

// The process-wide platform, set once by the entry point (or a test).
Platform& platform();
void set_platform(Platform* p);

// A file of the program folder. The program's own files (settings, work files, logs) are named
// through it, never relative to the current folder.
std::string program_file(const std::string& name);

// Boxes with an O.K. button and the program's title.
void error_box(const std::string& text);        // critical icon
void warning_box(const std::string& text);      // exclamation icon
void information_box(const std::string& text);  // information icon
struct RuntimeError;
// The box of a run-time error that ended an action ("Error : 53 :File not found"), shown with
// the normal pointer.
void run_time_error_box(const RuntimeError& e);

// Shows the busy pointer for as long as it lives, so that an action restores the normal
// pointer however it ends.
struct BusyPointer {
    BusyPointer() { platform().set_busy(true); }
    ~BusyPointer() { platform().set_busy(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

}  // namespace ui
