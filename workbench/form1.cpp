#include "form1.h"

#include "asm_line.h"
#include "codegen/area_dialogs.h"
#include "codegen/ground_type.h"
#include "codegen/process.h"
#include "pair_backup.h"
#include "messages.h"
#include "parameter_dialogs.h"
#include "paths.h"
#include "save_pair.h"
#include "workbench/frm_hld_params.h"
#include "ui/errors.h"
#include "ui/fileio.h"
#include "ui/format.h"
#include "ui/platform.h"

namespace wb {

Form1::Form1() : ui::Window("Form1", "Gorvane", 656, 606) {
    layout();
    set_caption("Gorvane  -  MASM workbench for gmax scenery, 2002");
    for (const char* k : cg::kObjectKinds) typeOfObj.add_item(k);
    typeOfObj.set_list_index(0);
    read_settings();
    init_parameters();

    InputFile.on_change = [this] { OutputFile.set_text(InputFile.text()); };
    Command1.on_click = [this] {
        Open_Click();
        notify(Change::Opened);
    };
    cmdBrowse.on_click = [this] { Browse_Click(); };
    lstMat2proc.on_click = [this] {
        Material_Click();
        notify(Change::Picked);
    };
    typeOfObj.on_click = [this] { Update_par_line(); };
    cmdParams.on_click = [this] { Params_Click(); };
    Command2.on_click = [this] {
        Process_Click();
        notify(Change::Processed);
    };
    cmdApplyRemembered.on_click = [this] {
        apply_remembered_choices(*this);
        notify(Change::Processed);
    };
    Command3.on_click = [this] {
        Save_Click();
        notify(Change::Saved);
    };
    cmdBackup.on_click = [this] { Backup_Click(); };
    cmdRestore.on_click = [this] {
        Restore_Click();
        notify(Change::Restored);
    };
    cmdCompile.on_click = [this] { Compile_Click(); };
    Label21.on_click = [this] { WebLink_Click(); };
    on_activate = [this] {
        Update_par_line();
        read_tmf_settings();
    };
    // The tool windows do not outlive the main window; the last bases are remembered.
    on_unload = [this] {
        close_dialogs();
        write_settings();
    };

    // Save waits for Open.
    Command3.set_enabled(false);
    Label16.set_visible(false);

    set_message_window(&MsgText);
    Update_par_line();
    Label10.set_fore_colour(ui::kRed);
    levels = build_level_table();
}

Form1::~Form1() {
    close_dialogs();
    if (message_window() == &MsgText) set_message_window(nullptr);
}

void Form1::close_dialogs() {
    for (ui::Window* w : std::initializer_list<ui::Window*>{lights_.get(), effects_.get(), windsock_.get(),
                                                            library_.get(), surface_.get(), platform_.get(),
                                                            hld_params_.get()})
        if (w && w->is_open()) ui::desktop().close(*w);
    for (auto& t : tools_)
        if (ui::Window* w = t->current(); w && w->is_open()) ui::desktop().close(*w);
}

void Form1::init_parameters() {
    int y = 0;
    for (ui::Control* c : {&LightType, &LightInt, &LightAttnL, &LightAttS, &FlashMask, &DayFlag, &AircraftFlag,
                           &LightVariable, &lstEffectType, &fx_params, &fx_OTG, &fx_terrain_alt, &ws_mastColor,
                           &ws_lit, &libGUID, &libScale, &lib_OTG, &lib_terrain_alt, &platKeepPolys,
                           &platGroundElev, &platUseAGL, &srfSurfType, &srfKeepPolys, &hldTextNumber,
                           &hldNSOffset, &hldNSSpan, &hldWEOffset, &hldWESpan, &hldLake, &hldAlt}) {
        c->at(0, y++, 100, 20);
        c->set_visible(false);
    }
    for (int i = 0; i < 10; ++i) LightType.add_item(kLightTypes[i], kLightStateBits[i]);
    for (const char* v : kFlashVariables) LightVariable.add_item(v);
    for (const char* t : cg::kSurfaceTypes) srfSurfType.add_item(t);
    LightInt.set_text("100");
    LightAttnL.set_text("0.4");
    LightAttS.set_text("0.04");
    FlashMask.set_text("CCCC");
    fx_params.set_text(kDefaultTimeConstraints);
    fx_terrain_alt.set_text("0");
    ws_mastColor.set_text("10F0F0");
    libGUID.set_text("05ADE0809h,042E14DCFh,073AEB9A1h,089EC6060h");
    libScale.set_text("0.5");
    lib_terrain_alt.set_text("0");
    platGroundElev.set_text("0");
    hldTextNumber.set_text("1207");
    hldNSOffset.set_text("4080");
    hldNSSpan.set_text("8160");
    hldWEOffset.set_text("4080");
    hldWESpan.set_text("8160");
    hldAlt.set_text("20");

    // The effect names come from "fx_list.txt" in the program folder; without it the list
    // stays empty (the effect dialog says why when it is opened).
    const std::string fx_list = program_file("fx_list.txt");
    if (ui::file_exists(fx_list)) {
        try {
            for (const auto& name : split_lines(ui::read_file(fx_list))) lstEffectType.add_item(name);
        } catch (const ui::RuntimeError&) {
        }
    }
    if (lstEffectType.list_count() > 0) lstEffectType.set_list_index(0);
    LightType.set_list_index(0);
    LightVariable.set_list_index(0);
    srfSurfType.set_list_index(0);

    // A light field changed in the main window: step 3 is done.
    auto step3_done = [this] { step_digit(3).set_fore_colour(ui::kGreen); };
    LightInt.on_change = step3_done;
    LightAttnL.on_change = step3_done;
    LightAttS.on_change = step3_done;
    LightType.on_click = step3_done;
}

void Form1::read_tmf_settings() {
    wb::TerrainFields fields = terrain_fields();
    wb::read_tmf_settings(program_file("tmf.ini"), fields);
}

// "gorvane.ini": the input base on line 1, the output base on line 2. A missing or unreadable
// file leaves both boxes as they are.
void Form1::read_settings() {
    const std::string path = program_file("gorvane.ini");
    if (!ui::file_exists(path)) return;
    try {
        const std::vector<std::string> l = split_lines(ui::read_file(path));
        if (!l.empty()) InputFile.set_text(l[0]);
        OutputFile.set_text(l.size() > 1 ? l[1] : std::string());
    } catch (const ui::RuntimeError&) {
    }
}

void Form1::write_settings() {
    ui::write_file_atomic(program_file("gorvane.ini"), InputFile.text() + "\r\n" + OutputFile.text() + "\r\n");
}

FrmLights& Form1::frm_lights() {
    if (!lights_) lights_ = std::make_unique<FrmLights>(*this);
    return *lights_;
}
FrmEffects& Form1::frm_effects() {
    if (!effects_) effects_ = std::make_unique<FrmEffects>(*this);
    return *effects_;
}
FrmWindsock& Form1::frm_windsock() {
    if (!windsock_) windsock_ = std::make_unique<FrmWindsock>(*this);
    return *windsock_;
}
FrmLibrary& Form1::frm_library() {
    if (!library_) library_ = std::make_unique<FrmLibrary>(*this);
    return *library_;
}
cg::FrmSurface& Form1::frm_surface() {
    if (!surface_) surface_ = std::make_unique<cg::FrmSurface>(*this, srfSurfType, srfKeepPolys);
    return *surface_;
}
cg::FrmPlatform& Form1::frm_platform() {
    if (!platform_) platform_ = std::make_unique<cg::FrmPlatform>(*this, platGroundElev, platUseAGL, platKeepPolys);
    return *platform_;
}
wb::FrmHldParams& Form1::frm_hld_params() {
    if (!hld_params_) hld_params_ = std::make_unique<wb::FrmHldParams>(terrain_fields());
    return *hld_params_;
}
wb::TerrainFields Form1::terrain_fields() {
    return {hldAlt, hldLake, hldTextNumber, hldNSOffset, hldNSSpan, hldWEOffset, hldWESpan};
}

ui::Control& Form1::add_tool(ToolButton tool) {
    auto& t = tools_.emplace_back(std::make_unique<Tool>());
    t->button = std::move(tool);
    ui::Control& b = button(t->button.name, t->button.caption);
    b.rect = t->button.rect;
    b.tip(t->button.tooltip);
    if (!t->button.container.empty()) b.container = find(t->button.container);
    Tool* raw = t.get();
    b.on_click = [this, raw] {
        const ToolButton& tb = raw->button;
        if (tb.open) {
            raw->opened = tb.open(*this);
            return;
        }
        if (!raw->window && tb.make) raw->window = tb.make(*this);
        if (!raw->window) return;
        if (tb.show) tb.show(*raw->window, *this);
        else ui::desktop().show(*raw->window, tb.modal, this);
    };
    return b;
}

ui::Window* Form1::tool_window(const std::string& button_name) const {
    for (auto& t : tools_)
        if (t->button.name == button_name) return t->current();
    return nullptr;
}

void Form1::notify(Change c) {
    for (auto& l : listeners_) l(c);
}

ui::Control& Form1::step_digit(int step) {
    switch (step) {
        case 1: return Label6;
        case 2: return Label8;
        case 3: return Label10;
        case 4: return Label9;
        default: return Label11;
    }
}

void Form1::layout() {
    Frame1.at(8, 4, 640, 76);
    Label6.at(16, 20, 20, 28);
    Label1.at(44, 20, 380, 16);
    Label2.at(44, 42, 60, 16);
    InputFile.at(110, 40, 300, 22).tip("Input file generated by gmax/makemdl. (*.asm)");
    cmdBrowse.at(414, 40, 28, 22);
    Command1.at(448, 40, 70, 22);
    Label3.at(44, 64 - 4, 60, 14);
    Label3.set_visible(true);
    OutputFile.at(110, 58, 300, 18).tip("Must be the same with Input file. Used only for debuging.");

    Label8.at(16, 92, 20, 28);
    Label4.at(44, 92, 280, 16);
    lstMat2proc.at(44, 112, 120, 126)
        .tip("This is the color used for \"highlight\" in gmax. Select one to set its object type and parameters.");
    Label12.at(174, 112, 80, 16);
    picActual.at(256, 110, 40, 20);
    Label13.at(174, 138, 80, 16);
    picLink.at(256, 136, 40, 20);
    Label14.at(174, 166, 90, 16);
    Text1.at(266, 164, 40, 20);
    Label15.at(174, 190, 90, 16);
    Text2.at(266, 188, 40, 20);
    Label16.at(174, 216, 90, 16);

    Label10.at(330, 92, 20, 28);
    Label5.at(358, 92, 290, 16);
    typeOfObj.at(358, 112, 130, 126)
        .tip("Select the type of object that will be created in place of the above material");
    cmdParams.at(496, 112, 100, 24);
    txtinfo.at(496, 142, 150, 96)
        .tip("Information regarding selected object parameters. Use button above to change.");
    txtinfo.multiline = true;
    txtinfo.read_only = true;

    Label9.at(16, 248, 20, 28);
    Label7.at(44, 254, 372, 16);
    Command2.at(424, 250, 90, 26);
    cmdApplyRemembered.at(520, 250, 128, 26)
        .tip("Processes the materials of this model again as they were processed before (NAME.gvr beside the pair).");

    Label11.at(16, 282, 20, 28);
    Label17.at(44, 288, 300, 16);
    Command3.at(424, 284, 90, 26).tip("Save only when you have processed all matterials.");

    Frame2.at(8, 318, 240, 86);
    cmdBackup.at(18, 352, 70, 26).in(Frame2);
    cmdRestore.at(92, 352, 70, 26).in(Frame2);
    cmdCompile.at(166, 352, 76, 26).in(Frame2);

    Frame3.at(256, 318, 392, 86);

    Label18.at(8, 412, 100, 16);
    MsgText.at(8, 430, 640, 150).tip("Generic info window. Latest message on top.");
    MsgText.multiline = true;
    MsgText.read_only = true;
    MsgText.scroll_bars = true;
    MsgText.fixed_font = true;
    Label21.at(598, 584, 50, 16).tip("Click here to check latest version.");
    Label21.clickable = true;

    for (int s = 1; s <= 5; ++s) step_digit(s).bold = true;
    Text1.read_only = true;
    Text2.read_only = true;
}

void Form1::Browse_Click() {
    try {
        ui::FileDialog d;
        d.filter = ".asm file|*.asm";
        d.start_folder = path_folder(InputFile.text());
        auto chosen = ui::platform().choose_file(d);
        if (!chosen) return;  // cancelling is not an error
        if (chosen->size() > 4) InputFile.set_text(chosen->substr(0, chosen->size() - 4));
    } catch (const ui::RuntimeError& e) {
        ui::error_box("error " + std::to_string(e.number) + " " + e.description);
    }
}

void Form1::Open_Click() {
    const std::string base = InputFile.text();
    if (!ui::file_exists(base + "_0.asm")) {
        ui::error_box("Please enter valid input file. " + base + "_0.asm file not found");
        return;
    }
    if (!ui::file_exists(base + ".asm")) {
        ui::error_box("Please enter valid input file. " + base + ".asm file not found");
        return;
    }
    ui::BusyPointer busy;
    // Until this Open succeeds no pair is open for work: a failure leaves none loaded rather
    // than the previous pair's lines, or its placement, under the new pair's name.
    close_pair();
    try {
        MsgText.set_text("");

        if (load_source_pair(base, pair.asm_lines, pair.azm_lines) == 0) {
            close_pair();
            return;
        }
        add_message("ASM file:" + pair.asm_lines[0] + " lines of code");
        add_message("AZM file:" + pair.azm_lines[0] + " lines of code");

        bool found_begin = false;
        pair.material_list = read_material_list(pair.asm_lines, found_begin);
        if (!found_begin)
            ui::warning_box("No material list found: the line MATERIAL_LIST_BEGIN is missing in " +
                        base + "_0.asm");
        add_message("Materials found : " + std::to_string(pair.material_count()) + " ");

        pair.vertex_list_start = find_vertex_list(pair.asm_lines);
        build_material_table(pair);
        const int rows = pair.materials.count();
        add_message("Materials for translation : " + std::to_string(rows));

        // A pair processed and saved in an earlier session opens with those materials marked
        // processed; only a pair with nothing left to process cannot be used.
        int processed = 0, unusable = 0;
        for (int r = 1; r <= rows; ++r) {
            const MaterialRow& m = pair.materials.row(r);
            if (m.processed_before) ++processed;
            else if (!m.has_block()) ++unusable;
        }
        const int unprocessed = rows - processed - unusable;
        if (unprocessed == 0) {
            ui::error_box("This file cannot be used. (Already processed ?)");
            return;
        }
        if (processed > 0) add_message("Materials processed before : " + std::to_string(processed));
        if (unusable > 0) add_message("Materials without a drawing block : " + std::to_string(unusable));

        add_message("");
        for (int r = 1; r <= rows; ++r) {
            add_message("  " + pair.materials.row(r).colour, true);
            lstMat2proc.add_item(pair.materials.row(r).colour);
        }
        add_message("Material colors : ");

        Text1.set_text(std::to_string(rows));
        Text2.set_text(std::to_string(unprocessed));
        step_digit(1).set_fore_colour(ui::kGreen);
        for (int s = 2; s <= 5; ++s) step_digit(s).set_fore_colour(ui::kRed);

        // Each placement line followed by its heading line says its rotation; the last one's
        // values stay.
        for (long heading : read_model_placement(pair))
            add_message("Rotation is " + ui::num(heading * 360.0 / 65536) + " degrees");

        for (const char* work : {"tmpMisc.asm", "tmpSurf.txt", "tmpLake.asm"})
            ui::delete_file(program_file(work));
        pair.generated.reset();

        ui::platform().do_events();
        Command3.set_enabled(true);
        offer_remembered_choices(*this);
    } catch (const ui::StopRequest&) {
        throw;
    } catch (const ui::RuntimeError& e) {
        close_pair();
        ui::run_time_error_box(e);
    } catch (const std::bad_alloc&) {
        close_pair();
        ui::error_box("Error : 7 :" + ui::error_description(7));
    }
}

void Form1::close_pair() {
    pair = SourcePair();
    remembered.clear();
    Command3.set_enabled(false);
    lstMat2proc.clear();
    Text1.set_text("");
    Text2.set_text("");
    Label16.set_visible(false);
}

void Form1::Update_par_line() {
    const std::string kind = typeOfObj.selected_text();
    if (kind == "Lights")
        txtinfo.set_text(LightType.selected_text() + "/" + LightInt.text() + "/" + FlashMask.text() +
                         (AircraftFlag.value() == 1 ? "-A/C" : ""));
    else if (kind == "Effects")
        txtinfo.set_text(upper(lstEffectType.selected_text()) + "/" + fx_params.text());
    else if (kind == "Windsock")
        txtinfo.set_text("");
    else if (kind == "Library")
        txtinfo.set_text(libGUID.text());
    else if (kind == "Landing Area")
        txtinfo.set_text(platUseAGL.value() == 1 ? "SCALE_AGL" : "GROUND ELEVATION: " + platGroundElev.text() + " ft");
    else if (kind == "Ground Type")
        txtinfo.set_text("SURFACETYPE: " + srfSurfType.selected_text());
    else if (kind == "Lake")
        txtinfo.set_text("FLATTEN: " + hldAlt.text() + " ft" + (hldLake.value() == 1 ? " LAKE" : ""));
    else if (kind == "Decal")
        txtinfo.set_text("DECAL TEXTURE: " + trim(hldTextNumber.text()));
}

void Form1::Material_Click() {
    const int position = lstMat2proc.list_index();
    if (position < 0 || position + 1 > pair.materials.count()) return;
    const MaterialRow& m = pair.materials.row(position + 1);
    picLink.set_back_colour(colour_value(m.link_colour));
    picActual.set_back_colour(colour_value(swap_colour_bytes(m.colour)));
    Label16.set_visible(m.processed());
    step_digit(2).set_fore_colour(ui::kGreen);
    Update_par_line();
}

void Form1::Params_Click() {
    const std::string kind = typeOfObj.selected_text();
    if (kind == "Lights") frm_lights().open();
    else if (kind == "Effects") frm_effects().open();
    else if (kind == "Windsock") frm_windsock().open();
    else if (kind == "Library" || kind == "Library New") frm_library().open();
    else if (kind == "Landing Area") frm_platform().open();
    else if (kind == "Ground Type") frm_surface().open();
    else if (kind == "Lake" || kind == "Decal") frm_hld_params().open(*this);
}

void Form1::Process_Click() {
    if (lstMat2proc.selected_text().empty()) {
        ui::warning_box("Error ! Please select material and set processing parameters first !!");
        return;
    }
    const long row = lstMat2proc.list_index() + 1;
    ui::BusyPointer busy;
    try {
        MaterialRow& m = pair.materials.row(row);
        if (m.processed()) {
            ui::warning_box("This material is already processed. Please select another.");
            return;
        }
        const std::string kind = typeOfObj.selected_text();
        cg::ObjectParameters params;
        cg::LightParameters& lights = params.lights;
        lights.type = LightType.selected_text();
        lights.state_bit = LightType.list_index() >= 0 ? LightType.item_data(LightType.list_index()) : 0;
        lights.intensity = LightInt.text();
        lights.attenuation_linear = LightAttnL.text();
        lights.attenuation_square = LightAttS.text();
        lights.variable = LightVariable.selected_text();
        lights.flash_mask = FlashMask.text();
        lights.day_off = DayFlag.value() == 1;
        lights.aircraft = AircraftFlag.value() == 1;
        cg::MarkerParameters& markers = params.markers;
        markers.effect_name = lstEffectType.selected_text();
        markers.time_constraints = fx_params.text();
        markers.fx_on_ground = fx_OTG.value() == 1;
        markers.fx_terrain_alt = fx_terrain_alt.text();
        markers.guid = libGUID.text();
        markers.scale = libScale.text();
        markers.lib_on_ground = lib_OTG.value() == 1;
        markers.lib_terrain_alt = lib_terrain_alt.text();
        markers.mast_colour = ws_mastColor.text();
        markers.lit = ws_lit.value() == 1;
        terrain::TerrainParameters& terrain = params.terrain;
        terrain.altitude = hldAlt.text();
        terrain.lake = hldLake.value() == 1;
        terrain.texture = hldTextNumber.text();
        terrain.we_offset = hldWEOffset.text();
        terrain.we_span = hldWESpan.text();
        terrain.ns_offset = hldNSOffset.text();
        terrain.ns_span = hldNSSpan.text();
        terrain.version = Label21.caption();
        params.surface.surface_type = srfSurfType.selected_text();
        params.surface.keep_polygons = srfKeepPolys.value() == 1;
        params.platform.ground_elevation = platGroundElev.text();
        params.platform.use_agl = platUseAGL.value() == 1;
        params.platform.keep_polygons = platKeepPolys.value() == 1;

        const cg::ProcessResult r = cg::process_material(pair, row, kind, params);
        if (r.status == cg::ProcessStatus::Rejected) return;  // the generator has said why
        add_message("Lines of new code : " + (r.file_writer ? std::string() : ui::num(r.lines)));
        m.kind = kind;
        remembered.push_back(choice_from_window(*this, m.colour, kind));
        Label16.set_visible(true);
        // New work to save, also after an earlier Save of this pair.
        Command3.set_enabled(true);
        step_digit(5).set_fore_colour(ui::kRed);
        Text2.set_text(ui::num(ui::val(Text2.text()) - 1));
        step_digit(3).set_fore_colour(ui::kRed);
        if (ui::val(Text2.text()) == 0) {
            step_digit(4).set_fore_colour(ui::kGreen);
            step_digit(3).set_fore_colour(ui::kGreen);
        }
    } catch (const ui::StopRequest&) {
        throw;
    } catch (const cg::UnusableInput& e) {
        ui::warning_box(e.description);
    } catch (const ui::RuntimeError& e) {
        ui::run_time_error_box(e);
    } catch (const std::bad_alloc&) {
        ui::error_box("Error : 7 :" + ui::error_description(7));
    }
}

void Form1::Save_Click() {
    if (step_digit(5).fore_colour() == ui::kGreen) {
        ui::information_box("This file has already been saved. Reload or restore to continue modifications");
        return;
    }
    const std::string base = OutputFile.text();
    if (trim(base).empty()) {
        ui::warning_box("Please enter the output file (the base path, without extension) before saving.");
        return;
    }
    ui::BusyPointer busy;
    try {
        const SaveOutcome r = save_regenerated_pair(pair, base);
        if (r.object_written || r.header_written) {
            add_message("Done. ");
            step_digit(5).set_fore_colour(ui::kGreen);
            Command3.set_enabled(false);
            save_remembered_choices(*this, base);
            ui::information_box("Finished. Use 'bglc /bgl " + path_file_name(base) + ".asm' to compile.");
        } else {
            ui::information_box("No material matches");
        }
    } catch (const ui::StopRequest&) {
        throw;
    } catch (const ui::RuntimeError& e) {
        ui::error_box("ERROR : " + std::to_string(e.number) + ": " + e.description);
    } catch (const std::bad_alloc&) {
        ui::error_box("ERROR : 7: " + ui::error_description(7));
    }
}

}  // namespace wb

namespace wb {

void Form1::Backup_Click() { backup_pair(OutputFile.text()); }

void Form1::Restore_Click() { restore_pair(OutputFile.text()); }

void Form1::Compile_Click() {
    try {
        compile_pair(OutputFile.text());
    } catch (const ui::StopRequest&) {
        throw;
    } catch (const ui::RuntimeError& e) {
        ui::run_time_error_box(e);
    }
}

void Form1::WebLink_Click() {
    // The default browser is the program that opens an HTML file.
    const std::string probe = program_file("test.htm");
    try {
        ui::write_file_atomic(probe, "<HTML> <\\HTML>\r\n");
        const std::string browser = ui::platform().find_executable(probe);
        if (browser.empty())
            ui::platform().message_box(
                {"Could not open your browser!", "Browser Not Found...", ui::Icon::Exclamation, ui::Buttons::Ok});
        else if (!ui::platform().shell_open(browser, kWebPage, "Open"))
            ui::platform().message_box(
                {"Web page fialed to be opened.", "Website URL Failed...", ui::Icon::Exclamation, ui::Buttons::Ok});
    } catch (const ui::StopRequest&) {
        ui::delete_file(probe);
        throw;
    } catch (const ui::RuntimeError& e) {
        ui::error_box("error " + std::to_string(e.number) + " " + e.description);
    }
    ui::delete_file(probe);
}

}  // namespace wb
