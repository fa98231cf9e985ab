#include "frm_tolvard.h"

#include "ui/errors.h"
#include "ui/fileio.h"
#include "ui/platform.h"

namespace launcher {

namespace {

constexpr const char* kOptionsFile = "tolvard.sys";
constexpr const char* kSceneryFile = "tolvards.sys";
constexpr const char* kExporter = "makem.exe";
constexpr const char* kVersionLine = "tolvard Version 1.0.2";
constexpr const char* kCreditLine = "Written for the Gorvane workbench, a launcher for gmax exports";

constexpr const char* kNoSelection = "ERROR!!!No item selected";
constexpr const char* kBadName = "ERROR!!! A name must not be empty nor hold =";

constexpr int kColumnRows[] = {14, 14, 9};  // check boxes in each of the three columns

}  // namespace

FrmTolvard::FrmTolvard(std::vector<std::string> arguments)
    : ui::Window("frmTolvard", "MakeMDL tolvard v1.0.2", 660, 405), arguments_(std::move(arguments)) {
    tabPages.at(8, 8, 644, 352);
    txtOutput.at(16, 38, 628, 314).on_page(tabPages, kOutput);
    txtOutput.multiline = txtOutput.read_only = txtOutput.fixed_font = txtOutput.scroll_to_end = true;

    cmdMSDefault.at(444, 241, 150, 26).on_page(tabPages, kOptions)
        .tip("Checks the options the exporter uses by default.");
    cmdSaveDefault.at(444, 275, 150, 26).on_page(tabPages, kOptions)
        .tip("Keeps these options for the next export (tolvard.sys).");

    lblDefault.at(24, 42, 600, 18).on_page(tabPages, kScenery);
    lstScenery.at(24, 66, 300, 282).on_page(tabPages, kScenery);
    lblName.at(344, 70, 60, 18).on_page(tabPages, kScenery);
    txtName.at(410, 66, 230, 22).on_page(tabPages, kScenery);
    txtName.max_length = kNameLength;
    lblLatLon.at(344, 100, 60, 18).on_page(tabPages, kScenery);
    txtLatLon.at(410, 96, 230, 22).on_page(tabPages, kScenery).tip("As N41*51.76 W87*36.44");
    txtLatLon.max_length = kLocationLength;
    cmdAdd.at(410, 134, 110, 26).on_page(tabPages, kScenery).tip("Adds the name and location above to the list.");
    cmdDelete.at(530, 134, 110, 26).on_page(tabPages, kScenery);
    cmdEdit.at(410, 168, 110, 26).on_page(tabPages, kScenery)
        .tip("Gives the selected entry the name and location above.");
    cmdSetDefault.at(530, 168, 110, 26).on_page(tabPages, kScenery)
        .tip("The selected location is chosen at the start of each scenery export.");

    picAbout.at(22, 37, 300, 220).on_page(tabPages, kAbout);
    lblVersion.at(340, 60, 300, 28).on_page(tabPages, kAbout);
    lblVersion.bold = true;
    lblCredit.set_caption(std::string(kVersionLine) + "\r\n\r\n" + kCreditLine);
    lblCredit.at(340, 100, 300, 60).on_page(tabPages, kAbout);

    cmdViewer.at(8, 368, 170, 28);
    cmdGo.at(552, 368, 100, 28).tip("Runs the exporter with these options.");

    on_load = [this] { Form_Load(); };
    on_unload = [this] {
        if (exporting_ && !went_) discard_renamed(files_);
    };
    cmdMSDefault.on_click = [this] { LoadMSDefault_Click(); };
    cmdSaveDefault.on_click = [this] { SaveAsDefault_Click(); };
    lstScenery.on_click = [this] {
        const int i = lstScenery.list_index();
        if (i < 0) return;
        txtName.set_text(scenery_.entries[static_cast<size_t>(i)].name);
        txtLatLon.set_text(scenery_.entries[static_cast<size_t>(i)].location);
    };
    cmdAdd.on_click = [this] { Add_Click(); };
    cmdDelete.on_click = [this] { Delete_Click(); };
    cmdEdit.on_click = [this] { Edit_Click(); };
    cmdSetDefault.on_click = [this] { SetDefault_Click(); };
    picAbout.on_error = [this] { write("BITMAP ERROR"); };
    cmdViewer.on_click = [this] { SelectViewer_Click(); };
    cmdGo.on_click = [this] { runmakemdl(); };
}

// The check boxes in three columns of 14, 14 and 9; each box holds its option's state.
std::vector<ui::Control*> FrmTolvard::option_boxes() {
    std::vector<ui::Control*> boxes;
    int i = 0;
    for (int column = 0; column < 3; ++column)
        for (int row = 0; row < kColumnRows[column]; ++row, ++i)
            boxes.push_back(&check_box("chkOption", option_label(i), i)
                                 .at(24 + 210 * column, 40 + 21 * row, 200, 18)
                                 .on_page(tabPages, kOptions));
    return boxes;
}

Options FrmTolvard::options() const {
    Options o{};
    for (size_t i = 0; i < o.size(); ++i) o[i] = chkOption[i]->value() == 1;
    return o;
}

void FrmTolvard::set_options(const Options& o) {
    for (size_t i = 0; i < o.size(); ++i) chkOption[i]->set_value(o[i] ? 1 : 0);
}

void FrmTolvard::write(const std::string& line) {
    std::string page = txtOutput.text();
    append_output(page, line);
    txtOutput.set_text(page);
}

void FrmTolvard::refuse(const std::string& line) {
    write(line);
    ui::platform().beep();
}

void FrmTolvard::Form_Load() {
    write(kVersionLine);
    write(kCreditLine);
    write("");
    const std::string gmax = ui::platform().environment("GMAXLOC");
    if (!gmax.empty()) {
        write("GMAXLOC = " + gmax);
        ui::set_current_folder(gmax + "\\plugins");
    } else {
        refuse("* ERROR!!! Enviroment Variable GMAXLOC not found! *");
    }

    Options o = ms_defaults();  // what a file that names no option leaves
    bool have_options = false;
    try {
        read_options_file(ui::read_file(kOptionsFile), o);
        have_options = true;
    } catch (const ui::RuntimeError&) {
    }
    set_options(o);
    if (!have_options) {
        write("Config file not found, creating a new one");
        LoadMSDefault_Click();
        SaveAsDefault_Click();
    }

    scenery_ = builtin_scenery();
    if (!ui::file_exists(kSceneryFile)) {
        save_scenery();
        write("Scenery CFG file not found, creating a new one");
    }
    try {
        scenery_ = read_scenery_file(ui::read_file(kSceneryFile));
    } catch (const ui::RuntimeError&) {
        write("ERROR!!! Failed to open scenery cfg file!!!! ");
    }
    for (const auto& line : scenery_.refused)
        write("Scenery line refused (" + line.reason + "): " + line.text);
    show_scenery(scenery_.default_index());

    if (arguments_.size() >= 3) {
        exporting_ = true;
        write(arguments_[2]);
        files_ = prepare_interior(arguments_[2]);
        write(files_.message);
        if (is_scenery_export(arguments_[1])) tabPages.set_list_index(kScenery);
    } else {
        write(arguments_.empty() ? "No Parameters passed, going to options mode.."
                                 : "Insufficent Parameters!! Going to options mode");
        cmdGo.set_enabled(false);
        tabPages.set_list_index(kOptions);
    }
}

void FrmTolvard::LoadMSDefault_Click() { set_options(ms_defaults()); }

void FrmTolvard::SaveAsDefault_Click() {
    try {
        ui::write_file_atomic(kOptionsFile, options_file_text(options()));
    } catch (const ui::RuntimeError&) {
        write("ERROR with making cfg file");
    }
}

void FrmTolvard::save_scenery() {
    try {
        ui::write_file_atomic(kSceneryFile, scenery_file_text(scenery_));
    } catch (const ui::RuntimeError&) {
        write("ERROR opening scenery cfg file");
    }
}

// Fills the list from the entries, selects one (showing it in the boxes) and the default's label.
void FrmTolvard::show_scenery(int select) {
    lstScenery.clear();
    for (const auto& e : scenery_.entries) lstScenery.add_item(e.name);
    lstScenery.set_list_index(select);
    lblDefault.set_caption("Default : " + scenery_.default_name);
}

void FrmTolvard::Add_Click() {
    if (!valid_name(txtName.text())) return refuse(kBadName);
    const int at = scenery_.add({txtName.text(), txtLatLon.text()});
    if (at < 0) return ui::platform().beep();
    show_scenery(at);
    save_scenery();
}

void FrmTolvard::Delete_Click() {
    if (scenery_.entries.size() < 2) return refuse("Can`t Delete Item From List (you must leave 1)");
    const int selected = lstScenery.list_index();
    if (selected < 0) return refuse(kNoSelection);
    show_scenery(scenery_.remove(selected));
    save_scenery();
}

void FrmTolvard::Edit_Click() {
    const int selected = lstScenery.list_index();
    if (selected < 0) return refuse(kNoSelection);
    if (!valid_name(txtName.text())) return refuse(kBadName);
    const int at = scenery_.edit(selected, {txtName.text(), txtLatLon.text()});
    if (at < 0) return ui::platform().beep();
    show_scenery(at);
    save_scenery();
}

void FrmTolvard::SetDefault_Click() {
    const int selected = lstScenery.list_index();
    if (selected < 0) return refuse(kNoSelection);
    scenery_.default_name = scenery_.entries[static_cast<size_t>(selected)].name;
    show_scenery(selected);
    save_scenery();
}

// The file dialog for the viewer; on OK the choice is kept in "tolvards.sys".
bool FrmTolvard::choose_viewer() {
    ui::FileDialog d;
    d.title = "Please Select Location Of Notepad.exe";
    d.filter = "notepad (notepad.exe)|notepad.exe|Programs (*.exe)|*.exe";
    d.default_extension = "txt";
    auto chosen = ui::platform().choose_file(d);
    if (!chosen) return false;
    scenery_.viewer = *chosen;
    save_scenery();
    return true;
}

void FrmTolvard::SelectViewer_Click() { choose_viewer(); }

// Opens the error log in the viewer and waits for it; asks for another viewer while it cannot
// be started. Returns to the window when the user cancels.
void FrmTolvard::view_log() {
    for (;;) {
        const ui::Process viewer = ui::platform().start_process(scenery_.viewer, {" ", "\"" + files_.log() + "\""});
        if (viewer.started()) {
            ui::platform().wait_process(viewer);
            ui::desktop().close(*this);
            return;
        }
        write("Failed to open Notepad.exe");
        write("Error Log can be found in.....");
        write(files_.log());
        if (!choose_viewer()) return;
    }
}

void FrmTolvard::runmakemdl() {
    if (!exporting_) return;
    tabPages.set_list_index(kOutput);
    const int selected = lstScenery.list_index() >= 0 ? lstScenery.list_index() : scenery_.default_index();
    const std::string location = scenery_.entries[static_cast<size_t>(selected)].location;
    const std::string& mode = arguments_[1];
    if (is_scenery_export(mode)) write("Scenery Lat/Long = " + location);
    const ui::Process makem =
        ui::platform().start_process(kExporter, makem_arguments(files_.passed, mode, options(), location));
    if (!makem.started()) return write(start_error_text(makem.error));
    write("MakeMDL Successfully Lauched");
    went_ = true;
    int status;
    {
        ui::BusyPointer busy;
        ui::platform().refresh();
        status = ui::platform().wait_process(makem);
    }
    if (status == -1) {
        write("\r\nERROR!! Model Compile Failed");
        cmdGo.set_enabled(false);
        ui::platform().beep();
        view_log();
        return;
    }
    write("Model Compile Succesfull\r\n");
    ui::desktop().close(*this);
}

}  // namespace launcher
