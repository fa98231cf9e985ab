// The exporter launcher on any command line and settings files. The input's NUL-separated parts:
// the command line after the program's name, "tolvard.sys", "tolvards.sys" (a part that is not
// there leaves its file missing), and a name and a location line for the scenery page's buttons.
// The model path of the command line is replaced by one in the fuzzer's folder, since the window
// renames files beside it. What the window saves must read back as what it shows.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "launcher/frm_tolvard.h"

namespace {

struct GmaxPlatform : ui::ScriptPlatform {
    std::string environment(const std::string& name) override {
        return name == "GMAXLOC" ? fuzzing::scratch().string() : "";
    }
};

bool same(const launcher::SceneryList& a, const launcher::SceneryList& b) {
    if (a.default_name != b.default_name || a.viewer != b.viewer || a.entries.size() != b.entries.size())
        return false;
    for (std::size_t i = 0; i < a.entries.size(); ++i)
        if (a.entries[i].name != b.entries[i].name || a.entries[i].location != b.entries[i].location) return false;
    return true;
}

// The list as the window shows it, its file as saved, and the file read again agree.
void check_scenery(const launcher::FrmTolvard& w) {
    const launcher::SceneryList& list = w.scenery();
    if (list.entries.empty() || list.default_index() < 0) __builtin_trap();
    if (w.lstScenery.list_count() != static_cast<int>(list.entries.size())) __builtin_trap();
    const std::string saved = fuzzing::read_file("plugins/tolvards.sys");
    if (!saved.empty() && !same(launcher::read_scenery_file(saved), list)) __builtin_trap();
    if (!same(launcher::read_scenery_file(launcher::scenery_file_text(list)), list)) __builtin_trap();
}

// The lines of a text, at CR and LF.
std::vector<std::string> lines_of(std::string_view text) {
    std::vector<std::string> lines(1);
    for (char c : text) {
        if (c == '\r' || c == '\n') lines.emplace_back();
        else lines.back() += c;
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto parts = fuzzing::split_parts(data, size, 4);
    fuzzing::clear_scratch();
    std::filesystem::create_directories(fuzzing::scratch() / "plugins");
    if (parts.size() > 1) fuzzing::write_file("plugins/tolvard.sys", parts[1]);
    if (parts.size() > 2) fuzzing::write_file("plugins/tolvards.sys", parts[2]);

    std::vector<std::string> args = launcher::split_command_line(std::string(parts[0]));
    for (const auto& a : args)
        if (a.find('"') != std::string::npos) __builtin_trap();  // quotes only group
    if (args.size() >= 3) args[2] = fuzzing::scratch_file("model");

    const auto start = std::filesystem::current_path();
    GmaxPlatform platform;
    platform.set_program_folder(fuzzing::scratch().string());
    ui::set_platform(&platform);
    {
        launcher::FrmTolvard w(args);
        ui::desktop().show(w);

        // The options read are those a file names; what is saved reads back the same.
        launcher::Options expected = launcher::ms_defaults();
        if (parts.size() > 1) launcher::read_options_file(std::string(parts[1]), expected);
        if (w.options() != expected) __builtin_trap();
        launcher::Options again = launcher::ms_defaults();
        launcher::read_options_file(launcher::options_file_text(expected), again);
        if (again != expected) __builtin_trap();
        check_scenery(w);

        if (parts.size() > 3) {
            const auto lines = lines_of(parts[3]);
            w.txtName.set_text(lines[0]);
            w.txtLatLon.set_text(lines.size() > 1 ? lines[1] : "");
            for (auto* button : {&w.cmdAdd, &w.cmdEdit, &w.cmdSetDefault, &w.cmdDelete, &w.cmdDelete}) {
                button->click();
                check_scenery(w);
            }
        }
        ui::desktop().close(w);
    }
    ui::set_platform(nullptr);
    std::filesystem::current_path(start);
    return 0;
}
