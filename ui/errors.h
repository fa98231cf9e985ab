#pragma once
// Run-time failures inside a user action: a number and a description, numbered like the
// classic BASIC run-time errors, turned into a message box by the action's one handler.
#include <functional>
#include <stdexcept>
#include <string>

namespace ui {

struct RuntimeError : std::runtime_error {
    int number;
    std::string description;
    RuntimeError(int n, std::string d)
        : std::runtime_error(d), number(n), description(std::move(d)) {}
};

// The classic numbers and their descriptions.
enum ErrorNumber {
    kIllegalCall = 5,
    kOverflow = 6,
    kOutOfMemory = 7,
    kSubscriptOutOfRange = 9,
    kDivisionByZero = 11,
    kTypeMismatch = 13,
    kBadFileName = 52,
    kFileNotFound = 53,
    kFileAlreadyOpen = 55,
    kDeviceIo = 57,
    kFileExists = 58,
    kDiskFull = 61,
    kInputPastEnd = 62,
    kPermissionDenied = 70,
    kPathFileAccess = 75,
    kPathNotFound = 76,
};

// The description the classic runtime gives for a number ("Application-defined or
// object-defined error" for numbers it does not know).
std::string error_description(int number);

// Throws RuntimeError with the classic description of number.
[[noreturn]] void raise(int number);

// Ends the whole run from inside any handler (a script that cannot go on); never shown as a box.
struct StopRequest : std::runtime_error {
    int status;
    StopRequest(int s, const std::string& what) : std::runtime_error(what), status(s) {}
};

// Runs an event handler; a failure that escapes it becomes the box "Error <n> : <description>"
// so that no event can end the program. StopRequest passes through.
void guarded(const char* event, const std::function<void()>& handler);

}  // namespace ui
