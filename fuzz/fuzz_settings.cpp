// Any bytes as one of the settings files the windows read, read by the window that reads it and
// written back by it. The first byte picks the file (its value modulo 5): "gorvane.ini",
// "fx_list.txt", "tmf.ini", "libview.ini" or "model.ini"; the rest is the file. What a window
// writes must read back as what it held.
#include <cstdint>
#include <string>
#include <vector>

#include "aircraft/frm_model.h"
#include "app/tools.h"
#include "fuzz/fuzz_support.h"
#include "libtool/lib_view.h"
#include "workbench/frm_hld_params.h"
#include "ui/format.h"
#include "workbench/form1.h"
#include "workbench/parameter_dialogs.h"
#include "workbench/text_file.h"

namespace {

void select(ui::Control& list, const std::string& text) {
    for (int i = 0; i < list.list_count(); ++i)
        if (list.item(i) == text) list.set_list_index(i);
}

// The main window, shown (so that it is activated) and closed (so that it writes its settings).
struct Shown {
    wb::Form1 form;
    Shown() {
        app::add_tools(form);
        ui::desktop().show(form);
    }
    aircraft::FrmModel& model() {
        form.find("cmdWings")->click();
        return *dynamic_cast<aircraft::FrmModel*>(form.tool_window("cmdWings"));
    }
    ~Shown() {
        if (form.is_open()) ui::desktop().close(form);
    }
};

void gorvane_ini(const std::string& file) {
    std::string input, output;
    {
        Shown s;
        const auto lines = wb::split_lines(file);
        if (s.form.InputFile.text() != (lines.empty() ? "" : lines[0])) __builtin_trap();
        if (s.form.OutputFile.text() != (lines.size() > 1 ? lines[1] : "")) __builtin_trap();
        input = s.form.InputFile.text();
        output = s.form.OutputFile.text();
    }
    Shown again;
    if (again.form.InputFile.text() != input || again.form.OutputFile.text() != output) __builtin_trap();
}

void fx_list(const std::string& file) {
    Shown s;
    const auto names = wb::split_lines(file);
    if (s.form.lstEffectType.list_count() != static_cast<int>(names.size())) __builtin_trap();
    select(s.form.typeOfObj, "Effects");
    s.form.Update_par_line();
    wb::FrmEffects& dialog = s.form.frm_effects();
    dialog.open();
    if (dialog.lstEffectType.items() != s.form.lstEffectType.items()) __builtin_trap();
    if (dialog.lstEffectType.list_count() > 0) dialog.lstEffectType.set_list_index(dialog.lstEffectType.list_count() - 1);
    dialog.cmdOK.click();
    s.form.Update_par_line();
}

// The five fields of "tmf.ini" as the main window holds them: the texture name as written, then
// four numbers, each the decimal text of a number.
std::vector<ui::Control*> tmf_fields(wb::Form1& f) {
    return {&f.hldTextNumber, &f.hldNSOffset, &f.hldNSSpan, &f.hldWEOffset, &f.hldWESpan};
}

void tmf_ini() {
    std::vector<std::string> fields;
    {
        Shown s;
        const auto shown = tmf_fields(s.form);
        for (size_t i = 1; i < shown.size(); ++i) {
            bool ok = false;
            if (ui::num(ui::to_number(shown[i]->text(), &ok)) != shown[i]->text() || !ok) __builtin_trap();
        }
        for (const char* kind : {"Lake", "Decal"}) {
            select(s.form.typeOfObj, kind);
            s.form.Update_par_line();
        }
        s.form.frm_hld_params().open(s.form);
        s.form.frm_hld_params().cmdOK.click();  // writes tmf.ini from the fields
        for (auto* c : tmf_fields(s.form)) fields.push_back(c->text());
    }
    Shown again;
    std::vector<std::string> reread;
    for (auto* c : tmf_fields(again.form)) reread.push_back(c->text());
    if (reread != fields) __builtin_trap();
}

void libview_ini() {
    std::string folder;
    {
        Shown s;
        libtool::show_library_browser(&s.form);
        libtool::LibView* browser = libtool::library_browser();
        folder = browser->dir_path();
        if (folder.empty()) __builtin_trap();
        ui::desktop().close(*browser);  // writes libview.ini
    }
    Shown again;
    libtool::show_library_browser(&again.form);
    if (libtool::library_browser()->dir_path() != folder) __builtin_trap();
    ui::desktop().close(*libtool::library_browser());
}

void model_ini() {
    std::vector<std::string> boxes;
    {
        Shown s;
        aircraft::FrmModel& w = s.model();
        for (auto* box : w.fnModel) boxes.push_back(box->text());
        ui::desktop().close(w);  // writes model.ini
    }
    Shown again;
    aircraft::FrmModel& w = again.model();
    for (std::size_t k = 0; k < boxes.size(); ++k)
        if (w.fnModel[k]->text() != boxes[k]) __builtin_trap();
    ui::desktop().close(w);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    static const char* const kFiles[] = {"gorvane.ini", "fx_list.txt", "tmf.ini", "libview.ini", "model.ini"};
    const int which = data[0] % 5;
    const std::string file(reinterpret_cast<const char*>(data + 1), size - 1);
    fuzzing::clear_scratch();
    fuzzing::write_file(kFiles[which], file);
    fuzzing::Session session;
    switch (which) {
        case 0: gorvane_ini(file); break;
        case 1: fx_list(file); break;
        case 2: tmf_ini(); break;
        case 3: libview_ini(); break;
        case 4: model_ini(); break;
    }
    return 0;
}
