// makem: stands in for the exporter that tolvard starts. It checks the argument list it is given
// (a blank program name, the model path in double quotes, the export mode, the option switches in
// the option table's order, for a scenery export -latlon"LOCATION" last), writes the error log
// (the model path without ".x", + ".log") listing what it received, and exits with -1 when the
// model file is missing or an argument is not one it knows, 0 otherwise.
#include <cstdio>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "ui/errors.h"
#include "ui/fileio.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

const char* const kSwitches[] = {
#define OPTION(i, label, sw, polarity, ms) sw,
#include "launcher/options.def"
#undef OPTION
};

// Splits at blanks outside double quotes; the quotes stay, so that their places can be checked.
std::vector<std::string> tokens(const std::string& text) {
    std::vector<std::string> r;
    std::string current;
    bool quoted = false;
    for (char c : text) {
        if (c == '"') quoted = !quoted;
        if (c == ' ' && !quoted) {
            if (!current.empty()) r.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) r.push_back(current);
    return r;
}

struct Export {
    std::vector<std::string> report, errors;
    std::string model;
};

Export check(const std::string& command_line) {
    Export e;
    e.report.push_back("command line: " + command_line);
    if (command_line.empty() || command_line[0] != ' ') e.errors.push_back("the program name is not a blank");
    const std::vector<std::string> args = tokens(command_line.substr(command_line.empty() ? 0 : 1));
    size_t next = 0;
    if (args.empty() || args[0].size() < 2 || args[0].front() != '"' || args[0].back() != '"') {
        e.errors.push_back("the model path is not given in double quotes");
        return e;
    }
    e.model = args[0].substr(1, args[0].size() - 2);
    e.report.push_back("model: " + e.model);
    if (!ui::file_exists(e.model)) e.errors.push_back("model file not found: " + e.model);
    ++next;
    const std::string mode = next < args.size() ? args[next++] : "";
    e.report.push_back("mode: " + mode);
    if (mode != "-bgl" && mode != "-mdl") e.errors.push_back("unknown export mode '" + mode + "'");
    size_t table_at = 0;
    for (; next < args.size(); ++next) {
        const std::string& a = args[next];
        if (a.rfind("-latlon", 0) == 0) break;
        size_t i = table_at;
        while (i < std::size(kSwitches) && a != kSwitches[i]) ++i;
        if (i == std::size(kSwitches)) {
            e.errors.push_back("unknown argument '" + a + "' (or out of the options' order)");
            continue;
        }
        e.report.push_back("switch: " + a);
        table_at = i + 1;
    }
    if (next < args.size()) {
        static const std::regex form(R"([NS]\d+\*\d+(\.\d+)? [EW]\d+\*\d+(\.\d+)?)");
        const std::string& a = args[next];
        const std::string location = a.size() >= 9 && a[7] == '"' && a.back() == '"' ? a.substr(8, a.size() - 9) : "";
        e.report.push_back("location: " + location);
        if (mode != "-bgl") e.errors.push_back("-latlon given for an export that is not scenery");
        if (!std::regex_match(location, form)) e.errors.push_back("unknown location argument '" + a + "'");
        if (next + 1 < args.size()) e.errors.push_back("arguments after -latlon");
    } else if (mode == "-bgl") {
        e.errors.push_back("a scenery export without -latlon");
    }
    return e;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    (void)argc;
    (void)argv;
    const std::string command_line = GetCommandLineA();
#else
    std::string command_line;
    for (int i = 0; i < argc; ++i) command_line += (i ? " " : "") + std::string(argv[i]);
#endif
    const Export e = check(command_line);
    std::string log = "makem: the exporter stand-in\r\n";
    for (const auto& line : e.report) log += line + "\r\n";
    for (const auto& line : e.errors) log += "error: " + line + "\r\n";
    log += e.errors.empty() ? "result: exported\r\n" : "result: failed\r\n";
    std::string log_path = e.model;
    if (log_path.size() > 2 && log_path.compare(log_path.size() - 2, 2, ".x") == 0) log_path.resize(log_path.size() - 2);
    if (!log_path.empty()) {
        log_path += ".log";
        try {
            ui::write_file_atomic(log_path, log);
        } catch (const ui::RuntimeError& err) {
            std::fprintf(stderr, "makem: cannot write %s: %s\n", log_path.c_str(), err.description.c_str());
            return -1;
        }
    }
    if (!e.errors.empty()) {
        std::printf("makem: failed: %s (log: %s)\n", e.errors.front().c_str(), log_path.c_str());
        return -1;
    }
    std::printf("makem: exported %s\n", e.model.c_str());
    return 0;
}
