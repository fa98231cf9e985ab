#pragma once
// The launcher's window: gmax starts it in place of the exporter; the author picks the
// exporter's options and, for a scenery export, a named location, and "GO!!" runs the real
// exporter ("makem.exe" in the plugins folder) and waits for it.
#include <string>
#include <vector>

#include "launcher.h"
#include "ui/window.h"

namespace launcher {

constexpr int kAboutPicture = 100;  // bitmap resource of the "About" page

class FrmTolvard : public ui::Window {
public:
    // arguments: the command line as gmax gives it, split (the program's name not among them).
    explicit FrmTolvard(std::vector<std::string> arguments);

    enum Page { kOutput, kOptions, kScenery, kAbout };

    ui::Control& tabPages = tab("tabPages", {"Output", "Options", "Scenery", "About"});
    ui::Control& txtOutput = text_box("txtOutput");
    std::vector<ui::Control*> chkOption = option_boxes();  // chkOption(0) .. (36), in table order
    ui::Control& cmdMSDefault = button("cmdMSDefault", "Load MS Default");
    ui::Control& cmdSaveDefault = button("cmdSaveDefault", "Save as Default");
    ui::Control& lblDefault = label("lblDefault", "Default : ");
    ui::Control& lstScenery = list_box("lstScenery");
    ui::Control& lblName = label("lblName", "Name");
    ui::Control& txtName = text_box("txtName");
    ui::Control& lblLatLon = label("lblLatLon", "Lat/Lon");
    ui::Control& txtLatLon = text_box("txtLatLon");
    ui::Control& cmdAdd = button("cmdAdd", "Add");
    ui::Control& cmdDelete = button("cmdDelete", "Delete");
    ui::Control& cmdEdit = button("cmdEdit", "Edit");
    ui::Control& cmdSetDefault = button("cmdSetDefault", "Set as Default");
    ui::Control& picAbout = picture("picAbout", kAboutPicture);
    ui::Control& lblVersion = label("lblVersion", "MakeMDL tolvard");
    ui::Control& lblCredit = label("lblCredit", "");
    ui::Control& cmdViewer = button("cmdViewer", "Select Error Log Viewer");
    ui::Control& cmdGo = button("cmdGo", "GO!!");

    void Form_Load();
    void runmakemdl();
    void LoadMSDefault_Click();
    void SaveAsDefault_Click();
    void Add_Click();
    void Delete_Click();
    void Edit_Click();
    void SetDefault_Click();
    void SelectViewer_Click();

    const SceneryList& scenery() const { return scenery_; }
    Options options() const;

private:
    std::vector<ui::Control*> option_boxes();
    void write(const std::string& line);
    void refuse(const std::string& line);
    void set_options(const Options& o);
    void save_scenery();
    void show_scenery(int select);
    bool choose_viewer();
    void view_log();

    std::vector<std::string> arguments_;
    ExportFiles files_;
    SceneryList scenery_;
    bool exporting_ = false;  // a model was passed
    bool went_ = false;       // GO!! has run the exporter
};

}  // namespace launcher
