// Any bytes as a model's remembered choices (NAME.gvr). The text must read back as it is written:
// each choice read formats to a line that reads as the same choice, and a Save that adds nothing
// keeps every line. Then the sample pair is opened with the file beside it and the question is
// answered Yes, so that every remembered value goes through the dialogs and Process; a value they
// refuse is a box, never an escaped exception.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "ui/fileio.h"
#include "workbench/form1.h"
#include "workbench/remembered_choices.h"

namespace {

bool same(const wb::RememberedChoice& a, const wb::RememberedChoice& b) {
    return a.colour == b.colour && a.kind == b.kind && a.values == b.values;
}

// The choices of a text, in order.
std::vector<wb::RememberedChoice> choices(const std::string& text) {
    std::vector<wb::RememberedChoice> out;
    for (const auto& line : wb::parse_remembered(text)) {
        if (line.choice.has_value() == !line.problem.empty()) __builtin_trap();  // one or the other
        if (line.choice) out.push_back(*line.choice);
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto read = choices(text);
    for (const auto& c : read) {
        const auto again = choices(wb::format_choice(c));
        if (again.size() != 1 || !same(again[0], c)) __builtin_trap();
    }
    const auto kept = choices(wb::merge_remembered(text, {}));
    if (kept.size() != read.size()) __builtin_trap();
    for (size_t i = 0; i < kept.size(); ++i)
        if (!same(kept[i], read[i])) __builtin_trap();

    static const std::string header = ui::read_file(GORVANE_SOURCE_DIR "/samples/hangar.asm"),
                             object = ui::read_file(GORVANE_SOURCE_DIR "/samples/hangar_0.asm"),
                             effects = ui::read_file(GORVANE_SOURCE_DIR "/workbench/fx_list.txt");
    fuzzing::clear_scratch();
    fuzzing::write_file("hangar.asm", header);
    fuzzing::write_file("hangar_0.asm", object);
    fuzzing::write_file("fx_list.txt", effects);
    fuzzing::write_file("hangar.gvr", text);
    fuzzing::Session session;
    session.platform.queue_answer(ui::Answer::Yes);
    wb::Form1 form;
    ui::desktop().show(form);
    form.InputFile.set_text(fuzzing::scratch_file("hangar"));
    form.Command1.click();
    for (const auto& box : session.platform.shown())
        if (box.text.rfind("Error in ", 0) == 0) __builtin_trap();
    ui::desktop().close(form);
    return 0;
}
