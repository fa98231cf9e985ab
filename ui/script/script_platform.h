#pragma once
// A platform whose dialogs are answered from queues instead of a person: the script runner's
// and the tests'. Every box is recorded and, with an output stream, printed as one line.
#include <deque>
#include <ostream>
#include <stdexcept>
#include <vector>

#include "../errors.h"
#include "../system_platform.h"

namespace ui {

// A script cannot go on: a question without a queued answer, an unknown control ...
using ScriptStop = StopRequest;

const char* icon_name(Icon i);
const char* answer_name(Answer a);
// A text on one line: each line break (CR LF, CR or LF) shown as \n.
std::string show_breaks(const std::string& text);
// "[box critical] Gorvane: text" with line breaks shown as \n.
std::string box_line(const MessageBox& box);

class ScriptPlatform : public SystemPlatform {
public:
    explicit ScriptPlatform(std::ostream* out = nullptr) : out_(out) {}

    void queue_answer(Answer a) { answers_.push_back(a); }
    void queue_file(std::optional<std::string> path) { files_.push_back(std::move(path)); }
    void queue_colour(std::optional<std::uint32_t> c) { colours_.push_back(c); }
    bool answers_pending() const { return !answers_.empty() || !files_.empty() || !colours_.empty(); }

    // When set, programs are really started (the Win32 run); otherwise only recorded.
    void set_really_start(bool on) { really_start_ = on; }
    // Fixed clock and identifiers for repeatable runs.
    void set_clock(LocalTime t) { clock_ = t; fixed_clock_ = true; }
    void queue_guid(std::string g) { guids_.push_back(std::move(g)); }

    Answer message_box(const MessageBox& box) override;
    std::optional<std::string> choose_file(const FileDialog& dialog) override;
    std::optional<std::uint32_t> choose_colour(std::uint32_t initial) override;
    void set_busy(bool busy) override { busy_ = busy; }
    bool busy() const { return busy_; }
    bool start_program(const std::string& command_line, const std::string& folder) override;
    bool shell_open(const std::string& file, const std::string& parameters,
                    const std::string& verb) override;
    Process start_process(const std::string& program, const std::vector<std::string>& arguments) override;
    int wait_process(const Process& process) override;
    void beep() override;
    bool find_window(const std::string& window_class, const std::string& title) override;
    LocalTime now() override;
    std::string new_guid() override;

    const std::vector<MessageBox>& shown() const { return shown_; }
    // Programs started, each as the command that would start it: for start_process the program,
    // a blank and the argument list joined with blanks.
    const std::vector<std::string>& started() const { return started_; }
    int beeps() const { return beeps_; }
    void forget() { shown_.clear(); started_.clear(); }

private:
    void print(const std::string& line);
    std::ostream* out_;
    std::deque<Answer> answers_;
    std::deque<std::optional<std::string>> files_;
    std::deque<std::optional<std::uint32_t>> colours_;
    std::deque<std::string> guids_;
    std::vector<MessageBox> shown_;
    std::vector<std::string> started_;
    bool busy_ = false, really_start_ = false, fixed_clock_ = false;
    int beeps_ = 0;
    LocalTime clock_{};
};

}  // namespace ui
