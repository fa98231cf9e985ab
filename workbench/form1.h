#pragma once
// The main window: five numbered steps on one source pair, the message window, and the tools.
#include <functional>
#include <memory>
#include <vector>

#include "level_table.h"
#include "remembered_choices.h"
#include "source_pair.h"
#include "ui/window.h"

namespace cg {
class FrmSurface;
class FrmPlatform;
}  // namespace cg

namespace wb {

inline constexpr const char* kVersion = "v0.31b";
// The program's web page, opened from the version label.
inline constexpr const char* kWebPage = "https://gorvane.example.org/latest";

class FrmLights;
class FrmEffects;
class FrmWindsock;
class FrmLibrary;
class FrmHldParams;
struct TerrainFields;

// What changed in the main window, for the tool windows that follow it.
enum class Change { Opened, Picked, Processed, Saved, Restored };

class Form1;

// A tool the program's entry point hands the main window: its button (in the frame named
// `container`, if any) and how its window opens. Either `make` makes the window on the first
// click, kept by the main window and shown modal or modeless (or by `show`, when the tool has its
// own way of showing it); or `open` opens a window kept elsewhere and returns it. The main
// window closes the tools' windows when it ends.
struct ToolButton {
    std::string name, caption, tooltip, container;
    ui::Rect rect;
    bool modal = false;
    std::function<std::unique_ptr<ui::Window>(Form1&)> make;
    std::function<void(ui::Window&, Form1&)> show;
    std::function<ui::Window*(Form1&)> open;
};

class Form1 : public ui::Window {
public:
    Form1();
    ~Form1() override;

    SourcePair pair;     // the open source pair
    LevelTable levels;   // the grid levels, built at start
    // The choices of the materials processed since Open, in their order; Save remembers them.
    std::vector<RememberedChoice> remembered;

    // Step 1
    ui::Control& Frame1 = frame("Frame1", "");
    ui::Control& Label6 = label("Label6", "1");
    ui::Control& Label1 = label("Label1", "Type the exported file (without extension) and Open");
    ui::Control& Label2 = label("Label2", "Input file");
    ui::Control& InputFile = text_box("InputFile");
    ui::Control& cmdBrowse = button("cmdBrowse", "...");
    ui::Control& Command1 = button("Command1", "Open");
    ui::Control& Label3 = label("Label3", "Output file");
    ui::Control& OutputFile = text_box("OutputFile");
    // Step 2
    ui::Control& Label8 = label("Label8", "2");
    ui::Control& Label4 = label("Label4", "Select Maping color (Highlight in gmax)");
    ui::Control& lstMat2proc = list_box("lstMat2proc");
    ui::Control& Label12 = label("Label12", "Actual Color");
    ui::Control& picActual = swatch("picActual");
    ui::Control& Label13 = label("Label13", "Link Color");
    ui::Control& picLink = swatch("picLink");
    ui::Control& Label14 = label("Label14", "Total Materials");
    ui::Control& Text1 = text_box("Text1");
    ui::Control& Label15 = label("Label15", "Unprocessed");
    ui::Control& Text2 = text_box("Text2");
    ui::Control& Label16 = label("Label16", "Processed");
    // Step 3
    ui::Control& Label10 = label("Label10", "3");
    ui::Control& Label5 = label("Label5", "Define type of object and parameters");
    ui::Control& typeOfObj = list_box("typeOfObj");
    ui::Control& cmdParams = button("cmdParams", "Parameters");
    ui::Control& txtinfo = text_box("txtinfo");
    // Step 4
    ui::Control& Label9 = label("Label9", "4");
    ui::Control& Label7 = label("Label7", "Process and Repeat steps 2 to 4 until no more materials left");
    ui::Control& Command2 = button("Command2", "Process");
    ui::Control& cmdApplyRemembered = button("cmdApplyRemembered", "Apply Remembered");
    // Step 5
    ui::Control& Label11 = label("Label11", "5");
    ui::Control& Label17 = label("Label17", "Generate Output file");
    ui::Control& Command3 = button("Command3", "Save");
    // Extra
    ui::Control& Frame2 = frame("Frame2", "Extra");
    ui::Control& cmdBackup = button("cmdBackup", "Backup");
    ui::Control& cmdRestore = button("cmdRestore", "Restore");
    ui::Control& cmdCompile = button("cmdCompile", "Compile BGL");
    // Tools: the frame; the program's entry point hands the window the buttons (add_tool).
    ui::Control& Frame3 = frame("Frame3", "Tools");
    // Messages and version
    ui::Control& Label18 = label("Label18", "Messages");
    ui::Control& MsgText = text_box("MsgText");
    ui::Control& Label21 = label("Label21", kVersion);

    // The parameter set of every object kind. The fields are not shown: the parameter dialogs
    // copy them in when they open and back on "O.K.", and Process reads them.
    ui::Control& LightType = list_box("LightType");  // item data: the type's light-state bit
    ui::Control& LightInt = text_box("LightInt");
    ui::Control& LightAttnL = text_box("LightAttnL");
    ui::Control& LightAttS = text_box("LightAttS");
    ui::Control& FlashMask = text_box("FlashMask");
    ui::Control& DayFlag = check_box("DayFlag", "Day off");
    ui::Control& AircraftFlag = check_box("AircraftFlag", "Aircraft");
    ui::Control& LightVariable = list_box("LightVariable");
    ui::Control& lstEffectType = list_box("lstEffectType");
    ui::Control& fx_params = text_box("fx_params");
    ui::Control& fx_OTG = check_box("fx_OTG", "On the ground");
    ui::Control& fx_terrain_alt = text_box("fx_terrain_alt");
    ui::Control& ws_mastColor = text_box("ws_mastColor");
    ui::Control& ws_lit = check_box("ws_lit", "Night Light");
    ui::Control& libGUID = text_box("libGUID");
    ui::Control& libScale = text_box("libScale");
    ui::Control& lib_OTG = check_box("lib_OTG", "On the ground");
    ui::Control& lib_terrain_alt = text_box("lib_terrain_alt");
    ui::Control& platKeepPolys = check_box("platKeepPolys", "Keep Polygons");
    ui::Control& platGroundElev = text_box("platGroundElev");
    ui::Control& platUseAGL = check_box("platUseAGL", "Use Scale_AGL");
    ui::Control& srfSurfType = list_box("srfSurfType");
    ui::Control& srfKeepPolys = check_box("srfKeepPolys", "Keep Polygons");
    ui::Control& hldTextNumber = text_box("hldTextNumber");
    ui::Control& hldNSOffset = text_box("hldNSOffset");
    ui::Control& hldNSSpan = text_box("hldNSSpan");
    ui::Control& hldWEOffset = text_box("hldWEOffset");
    ui::Control& hldWESpan = text_box("hldWESpan");
    ui::Control& hldLake = check_box("hldLake", "Lake");
    ui::Control& hldAlt = text_box("hldAlt");

    // Actions (public for the tests and the tool windows).
    void Open_Click();
    void Browse_Click();
    void Material_Click();
    void Params_Click();
    void Process_Click();
    void Save_Click();
    void Backup_Click();
    void Restore_Click();
    void Compile_Click();
    // Opens the program's web page in the default browser.
    void WebLink_Click();
    // Rewrites the parameter line (txtinfo) from the selected kind and the parameter set.
    void Update_par_line();

    // The parameter dialogs, created on first use.
    FrmLights& frm_lights();
    FrmEffects& frm_effects();
    FrmWindsock& frm_windsock();
    FrmLibrary& frm_library();
    cg::FrmSurface& frm_surface();
    cg::FrmPlatform& frm_platform();
    wb::FrmHldParams& frm_hld_params();
    // The lake and decal fields, as the terrain dialog and "tmf.ini" use them.
    wb::TerrainFields terrain_fields();

    // The step digits 1 .. 5.
    ui::Control& step_digit(int step);

    // Shows the library browser owned by the given window (the library dialog's "Library Tool");
    // handed in with the tools.
    std::function<void(ui::Window& owner)> show_library_browser;
    // Adds a tool's button; returns it.
    ui::Control& add_tool(ToolButton tool);
    // The window of a tool added by add_tool, once its button has made or opened it (null before).
    ui::Window* tool_window(const std::string& button_name) const;
    // Calls `listener` after each Open, material pick, Process, Save and Restore made in the window.
    void subscribe(std::function<void(Change)> listener) { listeners_.push_back(std::move(listener)); }

private:
    // Forgets the open pair: no lines, materials, placement or queued work; Save disabled.
    void close_pair();
    void layout();
    void init_parameters();
    void read_tmf_settings();
    void read_settings();
    void write_settings();
    void close_dialogs();
    std::unique_ptr<FrmLights> lights_;
    std::unique_ptr<FrmEffects> effects_;
    std::unique_ptr<FrmWindsock> windsock_;
    std::unique_ptr<FrmLibrary> library_;
    std::unique_ptr<cg::FrmSurface> surface_;
    std::unique_ptr<cg::FrmPlatform> platform_;
    std::unique_ptr<wb::FrmHldParams> hld_params_;
    void notify(Change c);
    std::vector<std::function<void(Change)>> listeners_;
    struct Tool {
        ToolButton button;
        std::unique_ptr<ui::Window> window;  // made by `make`
        ui::Window* opened = nullptr;        // returned by `open`
        ui::Window* current() const { return window ? window.get() : opened; }
    };
    std::vector<std::unique_ptr<Tool>> tools_;
};

}  // namespace wb
