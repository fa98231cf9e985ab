#pragma once
// The operating system's side of the platform: program folder, clock, identifiers, environment,
// shared libraries, starting programs. Dialogs are left to the derived platforms.
#include "platform.h"

namespace ui {

class SystemPlatform : public Platform {
public:
    SystemPlatform();
    std::string program_folder() override { return program_folder_; }
    void set_program_folder(const std::string& folder) { program_folder_ = folder; }

    bool start_program(const std::string& command_line, const std::string& folder) override;
    bool shell_open(const std::string& file, const std::string& parameters,
                    const std::string& verb) override;
    Process start_process(const std::string& program, const std::vector<std::string>& arguments) override;
    int wait_process(const Process& process) override;
    std::string find_executable(const std::string& document) override;
    bool find_window(const std::string& window_class, const std::string& title) override;
    LocalTime now() override;
    std::string new_guid() override;
    std::string environment(const std::string& name) override;
    void beep() override;
    void* load_library(const std::string& name) override;
    void* library_symbol(void* library, const std::string& symbol) override;
    void set_busy(bool) override {}
    void refresh() override;
    void do_events() override;

    // The folder of the running executable.
    static std::string executable_folder();
    // String resource `id` of the running executable ("" when it has none, as natively).
    static std::string resource_string(int id);

private:
    std::string program_folder_;
};

}  // namespace ui
