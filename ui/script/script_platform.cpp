#include "script_platform.h"

#include <cstdio>

namespace ui {

const char* icon_name(Icon i) {
    switch (i) {
        case Icon::Critical: return "critical";
        case Icon::Question: return "question";
        case Icon::Exclamation: return "exclamation";
        case Icon::Information: return "information";
        case Icon::None: break;
    }
    return "none";
}

const char* answer_name(Answer a) {
    switch (a) {
        case Answer::Ok: return "ok";
        case Answer::Cancel: return "cancel";
        case Answer::Yes: return "yes";
        case Answer::No: return "no";
        case Answer::Retry: return "retry";
        case Answer::Abort: return "abort";
        case Answer::Ignore: return "ignore";
    }
    return "?";
}

namespace {

bool fits(Buttons b, Answer a) {
    switch (b) {
        case Buttons::Ok: return a == Answer::Ok;
        case Buttons::OkCancel: return a == Answer::Ok || a == Answer::Cancel;
        case Buttons::YesNo: return a == Answer::Yes || a == Answer::No;
        case Buttons::YesNoCancel: return a == Answer::Yes || a == Answer::No || a == Answer::Cancel;
        case Buttons::RetryCancel: return a == Answer::Retry || a == Answer::Cancel;
        case Buttons::AbortRetryIgnore: return a == Answer::Abort || a == Answer::Retry || a == Answer::Ignore;
    }
    return false;
}

}  // namespace

std::string show_breaks(const std::string& s) {
    std::string r;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') { r += "\\n"; ++i; }
        else if (s[i] == '\r' || s[i] == '\n') r += "\\n";
        else r += s[i];
    }
    return r;
}

std::string box_line(const MessageBox& box) {
    return std::string("[box ") + icon_name(box.icon) + "] " +
           (box.title.empty() ? "Gorvane" : box.title) + ": " + show_breaks(box.text);
}

void ScriptPlatform::print(const std::string& line) {
    if (out_) *out_ << line << '\n' << std::flush;
}

Answer ScriptPlatform::message_box(const MessageBox& box) {
    shown_.push_back(box);
    std::string line = box_line(box);
    Answer a = Answer::Ok;
    if (!answers_.empty()) {
        a = answers_.front();
        answers_.pop_front();
        if (!fits(box.buttons, a)) {
            print(line);
            throw ScriptStop(2, std::string("the queued answer '") + answer_name(a) +
                                    "' does not fit the box's buttons");
        }
    } else if (box.buttons != Buttons::Ok) {
        print(line);
        throw ScriptStop(2, "a question was asked and no answer was queued");
    }
    print(line + " -> " + answer_name(a));
    return a;
}

std::optional<std::string> ScriptPlatform::choose_file(const FileDialog& dialog) {
    std::string line = "[file " + std::string(dialog.save ? "save" : "open") + "] " +
                       dialog.filter + " in " + (dialog.start_folder.empty() ? "." : dialog.start_folder);
    if (files_.empty()) {
        print(line);
        throw ScriptStop(2, "a file dialog was shown and no choice was queued");
    }
    auto f = files_.front();
    files_.pop_front();
    print(line + " -> " + (f ? *f : "cancel"));
    return f;
}

std::optional<std::uint32_t> ScriptPlatform::choose_colour(std::uint32_t initial) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%06X", static_cast<unsigned>(initial & 0xFFFFFF));
    std::string line = std::string("[colour] ") + buf;
    if (colours_.empty()) {
        print(line);
        throw ScriptStop(2, "a colour dialog was shown and no colour was queued");
    }
    auto c = colours_.front();
    colours_.pop_front();
    if (c) std::snprintf(buf, sizeof buf, "%06X", static_cast<unsigned>(*c & 0xFFFFFF));
    print(line + " -> " + (c ? std::string(buf) : "cancel"));
    return c;
}

bool ScriptPlatform::start_program(const std::string& command_line, const std::string& folder) {
    started_.push_back(command_line);
    print("[start] " + command_line);
    return really_start_ ? SystemPlatform::start_program(command_line, folder) : true;
}

Process ScriptPlatform::start_process(const std::string& program, const std::vector<std::string>& arguments) {
    std::string cmd = program + " ";
    for (size_t i = 0; i < arguments.size(); ++i) cmd += (i ? " " : "") + arguments[i];
    started_.push_back(cmd);
    print("[run] " + cmd);
    return really_start_ ? SystemPlatform::start_process(program, arguments) : Process{};
}

int ScriptPlatform::wait_process(const Process& process) {
    int status = process.handle ? SystemPlatform::wait_process(process) : 0;
    print("[ended] " + std::to_string(status));
    return status;
}

void ScriptPlatform::beep() {
    ++beeps_;
    print("[beep]");
}

bool ScriptPlatform::shell_open(const std::string& file, const std::string& parameters,
                                const std::string& verb) {
    std::string cmd = verb + " " + file + (parameters.empty() ? "" : " " + parameters);
    started_.push_back(cmd);
    print("[shell] " + cmd);
    return really_start_ ? SystemPlatform::shell_open(file, parameters, verb) : true;
}

bool ScriptPlatform::find_window(const std::string& window_class, const std::string& title) {
    return really_start_ ? SystemPlatform::find_window(window_class, title) : false;
}

LocalTime ScriptPlatform::now() { return fixed_clock_ ? clock_ : SystemPlatform::now(); }

std::string ScriptPlatform::new_guid() {
    if (guids_.empty()) return SystemPlatform::new_guid();
    std::string g = guids_.front();
    guids_.pop_front();
    return g;
}

}  // namespace ui
