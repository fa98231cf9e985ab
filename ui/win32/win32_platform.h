#pragma once
// The platform of the interactive Windows program: the system's own message boxes, file and
// colour dialogs, busy pointer and message pump.
#include "../system_platform.h"
#include "binder.h"

namespace ui {

class Win32Platform : public SystemPlatform {
public:
    explicit Win32Platform(Win32Binder& binder) : binder_(binder) {}
    Answer message_box(const MessageBox& box) override;
    std::optional<std::string> choose_file(const FileDialog& dialog) override;
    std::optional<std::uint32_t> choose_colour(std::uint32_t initial) override;
    void set_busy(bool busy) override { binder_.set_busy(busy); }
    void refresh() override { binder_.refresh(); }
    void do_events() override {
        binder_.refresh();
        Win32Binder::pump();
    }
    // Waits with the windows kept painted (input waits until the program has ended).
    int wait_process(const Process& process) override;

private:
    Win32Binder& binder_;
};

// Runs the program's message loop until the main window closes; returns the exit code.
int run_message_loop(Win32Binder& binder);

// Writes a PNG picture of each open window and the text of each native control into folder
// (WINDOW.png and WINDOW.txt, or WINDOW-NAME.* with a name); returns the number of windows written.
int snapshot(Win32Binder& binder, const std::string& folder, const std::string& name = "");

}  // namespace ui
