#include "script_runner.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <thread>

#include "../fileio.h"

namespace ui {

namespace {

std::string trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return "";
    size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

// Splits off the first token: a word, or a double-quoted text (with an optional .PROP after it).
std::string next_token(std::string& rest) {
    rest = trim(rest);
    if (rest.empty()) return "";
    size_t end;
    if (rest[0] == '"') {
        end = rest.find('"', 1);
        end = end == std::string::npos ? rest.size() : end + 1;
        while (end < rest.size() && rest[end] != ' ' && rest[end] != '\t') ++end;
    } else {
        end = rest.find_first_of(" \t");
        if (end == std::string::npos) end = rest.size();
    }
    std::string tok = rest.substr(0, end);
    rest = end < rest.size() ? rest.substr(end + 1) : "";
    return tok;
}

std::string unquote(const std::string& s) {
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"') return s.substr(1, s.size() - 2);
    return s;
}

// "\n" in a script text stands for the line break of the window system.
std::string unescape(const std::string& s) {
    std::string r;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size() && s[i + 1] == 'n') { r += "\r\n"; ++i; }
        else r += s[i];
    }
    return r;
}

std::string colour_text(std::uint32_t c) {
    if (c == kDefaultColour) return "default";
    char buf[16];
    std::snprintf(buf, sizeof buf, "%06X", static_cast<unsigned>(c & 0xFFFFFF));
    return buf;
}

[[noreturn]] void stop(const std::string& why) { throw StopRequest(2, why); }

}  // namespace

Window& ScriptRunner::current() {
    if (Window* w = desktop().find(window_)) return *w;
    // The addressed window has closed (a dialog's "O.K."): go on with the active one.
    if (Window* w = desktop().active()) {
        window_ = w->name();
        return *w;
    }
    stop("no window is open");
}

Control& ScriptRunner::resolve(const std::string& token, std::string* prop) {
    std::string t = token;
    std::string p;
    size_t dot;
    if (!t.empty() && t[0] == '"') {
        size_t q = t.find('"', 1);
        if (q != std::string::npos && q + 1 < t.size() && t[q + 1] == '.') p = t.substr(q + 2), t = t.substr(0, q + 1);
    } else if ((dot = t.rfind('.')) != std::string::npos && dot > 0) {
        p = t.substr(dot + 1);
        t = t.substr(0, dot);
    }
    if (prop) *prop = p;
    Window& w = current();
    Control* c = nullptr;
    if (!t.empty() && t[0] == '"') {
        c = w.find_by_caption(unquote(t));
    } else {
        int index = -1;
        std::string name = t;
        auto open = t.find('(');
        if (open != std::string::npos && t.back() == ')') {
            name = t.substr(0, open);
            index = std::atoi(t.substr(open + 1).c_str());
        }
        c = w.find(name, index);
    }
    if (!c) stop("window " + w.name() + " has no control " + t);
    return *c;
}

std::string ScriptRunner::property(Control& c, const std::string& prop) {
    if (prop.empty() || prop == "text") return c.display_text();
    if (prop == "caption") return c.caption();
    if (prop == "tooltip") return c.tooltip;
    if (prop == "enabled") return c.enabled() ? "1" : "0";
    if (prop == "visible") return c.shown() ? "1" : "0";
    if (prop == "forecolor") return colour_text(c.fore_colour());
    if (prop == "backcolor") return colour_text(c.back_colour());
    if (prop == "value") return std::to_string(c.value());
    if (prop == "count") return std::to_string(c.list_count());
    if (prop == "index") return std::to_string(c.list_index());
    if (prop == "items") {
        std::string r;
        for (int i = 0; i < c.list_count(); ++i) r += (i ? "|" : "") + c.item(i);
        return r;
    }
    stop("unknown property ." + prop);
}

// ${NAME} stands for the environment variable NAME (paths that differ between machines).
std::string ScriptRunner::expand(const std::string& line) {
    std::string r;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '$' && i + 1 < line.size() && line[i + 1] == '{') {
            size_t e = line.find('}', i + 2);
            if (e != std::string::npos) {
                r += platform_.environment(line.substr(i + 2, e - i - 2));
                i = e;
                continue;
            }
        }
        r += line[i];
    }
    return r;
}

void ScriptRunner::run_line(const std::string& raw) {
    std::string rest = trim(raw);
    if (rest.empty() || rest[0] == '#') return;
    out_ << "> " << rest << '\n';
    rest = expand(rest);
    std::string cmd = next_token(rest);
    if (cmd == "answer") {
        std::string a = trim(rest);
        static const std::pair<const char*, Answer> names[] = {
            {"yes", Answer::Yes}, {"no", Answer::No}, {"ok", Answer::Ok}, {"cancel", Answer::Cancel},
            {"retry", Answer::Retry}, {"abort", Answer::Abort}, {"ignore", Answer::Ignore}};
        for (auto& [n, v] : names)
            if (a == n) { platform_.queue_answer(v); return; }
        stop("unknown answer " + a);
    }
    if (cmd == "choose") {
        std::string a = unquote(trim(rest));
        platform_.queue_file(a == "cancel" ? std::nullopt : std::optional<std::string>(a));
        return;
    }
    if (cmd == "colour" || cmd == "color") {
        std::string a = trim(rest);
        if (a == "cancel") { platform_.queue_colour(std::nullopt); return; }
        if (a.size() != 6) stop("colour takes RRGGBB or cancel");
        unsigned long rgb = std::strtoul(a.c_str(), nullptr, 16);
        // RRGGBB as written to the window system's BBGGRR
        std::uint32_t bgr = ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
        platform_.queue_colour(bgr);
        return;
    }
    if (cmd == "window") {
        window_ = trim(rest);
        if (!desktop().find(window_)) stop("window " + window_ + " is not open");
        return;
    }
    if (cmd == "snap") {
        driver_.snap(trim(rest));
        return;
    }
    if (cmd == "wait") {
        wait_for_file(unquote(trim(rest)));
        return;
    }
    if (cmd == "close") {
        std::string n = trim(rest);
        Window* w = n.empty() ? &current() : desktop().find(n);
        if (!w) stop("window " + n + " is not open");
        driver_.close(*w);
        driver_.settle();
        return;
    }
    std::string token = next_token(rest);
    if (token.empty()) stop("'" + cmd + "' needs a control");
    std::string prop;
    Control& c = resolve(token, &prop);
    std::string arg = unquote(rest.empty() ? rest : rest);
    if (cmd == "set") {
        if (!c.enabled() || !c.shown()) stop(c.full_name() + " cannot be typed into now");
        driver_.type(c, unescape(arg));
    } else if (cmd == "click") {
        if (!c.enabled() || !c.shown()) stop(c.full_name() + " is disabled");
        driver_.click(c);
    } else if (cmd == "dblclick") {
        if (!c.enabled() || !c.shown()) stop(c.full_name() + " is disabled");
        driver_.dblclick(c);
    } else if (cmd == "select") {
        if (!c.enabled() || !c.shown()) stop(c.full_name() + " is disabled");
        int pos = -1;
        if (arg.size() > 1 && arg[0] == '#') pos = std::atoi(arg.c_str() + 1);
        else
            for (int i = 0; i < c.list_count(); ++i)
                if (c.item(i) == arg) { pos = i; break; }
        if (pos < 0 || pos >= c.list_count()) stop(c.full_name() + " has no item " + arg);
        driver_.select(c, pos);
    } else if (cmd == "check") {
        if (!c.enabled() || !c.shown()) stop(c.full_name() + " is disabled");
        driver_.check(c, arg == "1" ? 1 : 0);
    } else if (cmd == "clickat") {
        // clickat PICTURE X Y: the left button pressed and released at that pixel
        if (!c.enabled() || !c.shown()) stop(c.full_name() + " is disabled");
        std::istringstream xy(arg);
        int x = 0, y = 0;
        if (!(xy >> x >> y)) stop("clickat takes a picture and two pixel numbers");
        driver_.click_at(c, x, y);
    } else if (cmd == "leave") {
        driver_.leave(c);
    } else if (cmd == "print") {
        if (prop.empty() && (c.kind() == Kind::ListBox || c.kind() == Kind::ComboBox || c.kind() == Kind::Tab)) {
            out_ << c.full_name() << ": " << c.list_count() << " items\n";
            for (int i = 0; i < c.list_count(); ++i)
                out_ << (i == c.list_index() ? "  > " : "    ") << c.item(i) << '\n';
        } else {
            std::string v = property(c, prop);
            out_ << c.full_name() << (prop.empty() ? "" : "." + prop) << ":";
            if (v.find('\n') == std::string::npos) {
                out_ << " " << v << '\n';
            } else {
                out_ << '\n';
                size_t s = 0;
                while (s <= v.size()) {
                    size_t e = v.find("\r\n", s);
                    if (e == std::string::npos) e = v.size();
                    out_ << "  | " << v.substr(s, e - s) << '\n';
                    s = e + 2;
                }
            }
        }
    } else if (cmd == "expect") {
        std::string want = unescape(arg);
        std::string got = property(c, prop);
        if (got != want) {
            failed_ = true;
            out_ << "!! line " << line_no_ << ": expected " << c.full_name()
                 << (prop.empty() ? "" : "." + prop) << " to be \"" << show_breaks(want)
                 << "\" but it is \"" << show_breaks(got) << "\"\n";
        }
        return;
    } else {
        stop("unknown command " + cmd);
    }
    driver_.settle();
}

// A program started by the run (comp.bat) writes the file: it counts as there once it holds
// bytes and its size stayed the same over half a second.
void ScriptRunner::wait_for_file(const std::string& name) {
    if (name.empty()) stop("wait needs a file");
    const std::string path = name.find_first_of("\\/") == std::string::npos ? program_file(name) : name;
    std::error_code ec;
    std::uintmax_t last = 0;
    for (int tick = 0; tick < 120; ++tick) {
        driver_.settle();
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        const std::uintmax_t size = std::filesystem::file_size(native_path(path), ec);
        if (!ec && size > 0 && size == last) return;
        last = ec ? 0 : size;
    }
    stop(name + " did not appear within a minute");
}

int ScriptRunner::run(std::istream& script) {
    std::string line;
    line_no_ = 0;
    try {
        while (std::getline(script, line)) {
            ++line_no_;
            run_line(line);
        }
    } catch (const StopRequest& s) {
        out_ << "!! line " << line_no_ << ": " << s.what() << '\n';
        out_.flush();
        return s.status;
    }
    if (platform_.answers_pending()) {
        failed_ = true;
        out_ << "!! answers were queued that no dialog took\n";
    }
    out_.flush();
    return failed_ ? 1 : 0;
}

}  // namespace ui
