#include "parameter_dialogs.h"

#include <cctype>
#include <cmath>
#include <initializer_list>
#include <string>

#include "codegen/macro_fields.h"
#include "asm_line.h"
#include "form1.h"
#include "paths.h"
#include "text_file.h"
#include "ui/errors.h"
#include "ui/fileio.h"
#include "ui/format.h"
#include "ui/platform.h"

namespace wb {

const char* const kLightTypes[10] = {"LIGHT_NAV",  "LIGHT_BEACON",      "LIGHT_LANDING", "LIGHT_TAXI",
                                     "LIGHT_STROBE", "LIGHT_RECOGNITION", "LIGHT_WING",    "LIGHT_LOGO",
                                     "LIGHT_NONE", "*LIGHT_PANEL*"};
const long kLightStateBits[10] = {1, 2, 4, 8, 16, 64, 128, 256, 0, 0};
const char* const kFlashVariables[7] = {"six_second_beacon", "second_flash", "becon2", "becon3",
                                        "becon4",            "becon5",       "beacnt"};

const char* flash_mask_for_variable(int position) {
    switch (position) {
        case 0: return "0800";
        case 1: return "-1";
        case 2: return "0100";
        case 6: return "2";
        default: return "CCCC";
    }
}

namespace {

// Copies a list position between windows; positions beyond the target's items select nothing.
void copy_position(const ui::Control& from, ui::Control& to) {
    int i = from.list_index();
    to.set_list_index(i < to.list_count() ? i : -1);
}

void hide(ui::Window& w) { ui::desktop().close(w); }

// Shows the box of the first value that cannot be written (the dialog then stays open); true then.
bool refused(std::initializer_list<std::string> checks) {
    for (const std::string& why : checks)
        if (!why.empty()) {
            ui::error_box(why);
            return true;
        }
    return false;
}

// Feet of terrain elevation as the metres a placement line adds.
double feet_to_metres(double feet) { return std::floor(feet * 0.3048); }

}  // namespace

// --- lights ---

FrmLights::FrmLights(Form1& main) : ui::Window("frmLights", "Light Properties", 330, 300), main_(main) {
    for (int i = 0; i < 10; ++i) LightType.add_item(i == 9 ? "PANEL*A/C ONLY*" : kLightTypes[i], kLightStateBits[i]);
    for (const char* v : kFlashVariables) LightVariable.add_item(v);

    Label1.at(10, 10, 150, 16);
    LightType.at(10, 28, 150, 150);
    Label5.at(170, 10, 150, 16);
    LightVariable.at(170, 28, 150, 110);
    Label6.at(170, 146, 100, 16);
    FlashMask.at(270, 144, 50, 20);
    Label2.at(10, 186, 110, 16);
    LightInt.at(120, 184, 40, 20);
    Label3.at(10, 210, 110, 16);
    LightAttnL.at(120, 208, 40, 20);
    Label4.at(10, 234, 110, 16);
    LightAttS.at(120, 232, 40, 20);
    DayFlag.at(170, 184, 150, 20);
    AircraftFlag.at(170, 208, 150, 20);
    cmdOK.at(150, 264, 80, 26);
    cmdCancel.at(240, 264, 80, 26);

    DayFlag.on_click = [this] {
        if (DayFlag.value() == 1) AircraftFlag.set_value(0);
    };
    AircraftFlag.on_click = [this] {
        if (AircraftFlag.value() == 1) DayFlag.set_value(0);
    };
    LightVariable.on_click = [this] {
        if (LightVariable.list_index() >= 0) FlashMask.set_text(flash_mask_for_variable(LightVariable.list_index()));
    };
    on_activate = [this] {
        if (pending_copy_) copy_in();
        pending_copy_ = false;
    };
    cmdOK.on_click = [this] {
        if (refused({cg::check_typed_operand("intensity", LightInt.text(), "BGL_LIGHT", "intensity", trim(LightInt.text())),
                     cg::check_typed_operand("linear attenuation", LightAttnL.text(), "BGL_LIGHT", "lin",
                                             trim(LightAttnL.text())),
                     cg::check_typed_operand("square attenuation", LightAttS.text(), "BGL_LIGHT", "sq",
                                             trim(LightAttS.text())),
                     cg::check_typed_operand("flash mask", FlashMask.text(), "IFMSK", "mask",
                                             "0" + FlashMask.text() + "h")}))
            return;
        copy_out();
        hide(*this);
    };
    cmdCancel.on_click = [this] { hide(*this); };
}

void FrmLights::open() {
    pending_copy_ = true;
    ui::desktop().show(*this, true, &main_);
}

void FrmLights::copy_in() {
    copy_position(main_.LightType, LightType);
    // The variable first: choosing it proposes a mask, which the main window's mask then replaces.
    copy_position(main_.LightVariable, LightVariable);
    LightInt.set_text(main_.LightInt.text());
    LightAttnL.set_text(main_.LightAttnL.text());
    LightAttS.set_text(main_.LightAttS.text());
    FlashMask.set_text(main_.FlashMask.text());
    DayFlag.set_value(main_.DayFlag.value());
    AircraftFlag.set_value(main_.AircraftFlag.value());
}

void FrmLights::copy_out() {
    copy_position(LightType, main_.LightType);
    copy_position(LightVariable, main_.LightVariable);
    main_.LightInt.set_text(LightInt.text());
    main_.LightAttnL.set_text(LightAttnL.text());
    main_.LightAttS.set_text(LightAttS.text());
    main_.FlashMask.set_text(FlashMask.text());
    main_.DayFlag.set_value(DayFlag.value());
    main_.AircraftFlag.set_value(AircraftFlag.value());
}

// --- effects ---

FrmEffects::FrmEffects(Form1& main) : ui::Window("frmEffects", "Effect properties", 360, 250), main_(main) {
    Label1.at(10, 10, 200, 16);
    lstEffectType.at(10, 28, 200, 150);
    Label2.at(10, 186, 200, 16);
    fx_params.at(10, 204, 330, 20).tip("Double click for the default values.");
    fx_OTG.at(220, 28, 130, 20);
    Label3.at(220, 56, 130, 16);
    fx_terrain_alt.at(220, 74, 60, 20);
    cmdOK.at(220, 120, 60, 26);
    cmdCancel.at(290, 120, 60, 26);

    on_load = [this] { load_effect_list(); };
    on_activate = [this] {
        if (pending_copy_) copy_in();
        pending_copy_ = false;
    };
    fx_OTG.on_click = [this] { fx_terrain_alt.set_enabled(fx_OTG.value() == 0); };
    fx_params.on_dblclick = [this] { fx_params.set_text(kDefaultTimeConstraints); };
    cmdOK.on_click = [this] {
        if (fx_params.text().size() != 40) {
            ui::error_box("The values of the parameters are incorect. Double click in the textbox for default values. Do not change the overall length.");
            return;
        }
        if (refused({cg::check_typed_operand("time constraints", fx_params.text(), "KZV_FX1", "params",
                                             "\"" + fx_params.text() + "\""),
                     fx_OTG.value() == 1 ? ""
                                         : cg::check_typed_number("terrain altitude", fx_terrain_alt.text(), "SCALE",
                                                                  "alt", feet_to_metres)}))
            return;
        copy_position(lstEffectType, main_.lstEffectType);
        main_.fx_params.set_text(fx_params.text());
        main_.fx_OTG.set_value(fx_OTG.value());
        main_.fx_terrain_alt.set_text(fx_terrain_alt.text());
        hide(*this);
    };
    cmdCancel.on_click = [this] { hide(*this); };
}

void FrmEffects::open() {
    pending_copy_ = true;
    ui::desktop().show(*this, true, &main_);
}

void FrmEffects::load_effect_list() {
    if (list_loaded_) return;
    list_loaded_ = true;
    // A missing list is a run-time error of the loading; the lists stay empty.
    LineArray names = LineArray::from_lines(split_lines(ui::read_file(program_file("fx_list.txt"))));
    for (long i = 1; i < names.top(); ++i) lstEffectType.add_item(names[i]);
    if (lstEffectType.list_count() > 0) lstEffectType.set_list_index(0);
    if (main_.lstEffectType.list_count() > 0) main_.lstEffectType.set_list_index(0);
}

void FrmEffects::copy_in() {
    copy_position(main_.lstEffectType, lstEffectType);
    fx_params.set_text(main_.fx_params.text());
    fx_OTG.set_value(main_.fx_OTG.value());
    fx_terrain_alt.set_text(main_.fx_terrain_alt.text());
    fx_terrain_alt.set_enabled(fx_OTG.value() == 0);
}

// --- windsock ---

FrmWindsock::FrmWindsock(Form1& main) : ui::Window("frmWindsock", "Windsock Properties", 260, 150), main_(main) {
    Label1.at(10, 12, 130, 16);
    ws_mastColor.at(140, 10, 60, 20);
    picColor.at(140, 36, 60, 20);
    cmdColour.at(208, 10, 30, 20);
    ws_lit.at(10, 64, 150, 20);
    cmdOK.at(80, 104, 70, 26);
    cmdCancel.at(160, 104, 70, 26);

    ws_mastColor.on_change = [this] { paint_swatch(); };
    cmdColour.on_click = [this] { pick_colour(); };
    on_activate = [this] {
        if (pending_copy_) {
            ws_mastColor.set_text(main_.ws_mastColor.text());
            ws_lit.set_value(main_.ws_lit.value());
            paint_swatch();
        }
        pending_copy_ = false;
    };
    cmdOK.on_click = [this] {
        if (ws_mastColor.text().size() != 6) {
            ui::error_box("The format of mast color must be in RRGGBB format.");
            return;
        }
        if (refused({cg::check_typed_operand("mast color", ws_mastColor.text(), "KZV_WINDSOCK", "mast",
                                             "0FF" + swap_colour_bytes(ws_mastColor.text()) + "h")}))
            return;
        main_.ws_mastColor.set_text(ws_mastColor.text());
        main_.ws_lit.set_value(ws_lit.value());
        hide(*this);
    };
    cmdCancel.on_click = [this] { hide(*this); };
}

void FrmWindsock::open() {
    pending_copy_ = true;
    ui::desktop().show(*this, true, &main_);
}

void FrmWindsock::paint_swatch() {
    // The colour value of "&h0" + the text in blue-green-red order; a text that is not a
    // hexadecimal number leaves the swatch as it was.
    std::string bgr = swap_colour_bytes(ws_mastColor.text());
    if (bgr.empty() || bgr.size() > 7) return;
    for (char c : bgr)
        if (!std::isxdigit(static_cast<unsigned char>(c))) return;
    picColor.set_back_colour(static_cast<std::uint32_t>(std::stoul(bgr, nullptr, 16)) & 0xFFFFFF);
}

void FrmWindsock::pick_colour() {
    std::uint32_t initial = picColor.back_colour() == ui::kDefaultColour ? 0 : picColor.back_colour();
    auto chosen = ui::platform().choose_colour(initial);
    if (!chosen) return;
    std::string digits = "000000" + ui::hex(*chosen & 0xFFFFFF);
    ws_mastColor.set_text(swap_colour_bytes(digits.substr(digits.size() - 6)));
}

// --- library objects ---

namespace {

// The identifier's four words, each a doubleword of KZV_LIBRARY_CALL.
std::string check_guid(const std::string& guid) {
    std::vector<std::string> words;
    for (size_t start = 0, comma;; start = comma + 1) {
        comma = guid.find(',', start);
        words.push_back(trim(guid.substr(start, comma == std::string::npos ? std::string::npos : comma - start)));
        if (comma == std::string::npos) break;
    }
    if (words.size() != 4)
        return "The object identifier \"" + guid + "\" cannot be used: it needs four hexadecimal words separated by commas.";
    for (int i = 0; i < 4; ++i)
        if (std::string why = cg::check_typed_operand("object identifier", guid, "KZV_LIBRARY_CALL",
                                                      std::string("g") + char('1' + i), words[static_cast<size_t>(i)]);
            !why.empty())
            return why;
    return "";
}

}  // namespace

FrmLibrary::FrmLibrary(Form1& main) : ui::Window("frmLibrary", "Library Placer", 420, 170), main_(main) {
    Label1.at(10, 12, 80, 16);
    libGUID.at(90, 10, 320, 20);
    Label2.at(10, 40, 80, 16);
    libScale.at(90, 38, 60, 20);
    lib_OTG.at(170, 38, 120, 20);
    Label3.at(10, 68, 120, 16);
    lib_terrain_alt.at(130, 66, 60, 20);
    cmdLibTool.at(10, 124, 90, 26).tip("Find the identifier of a library object.");
    cmdSearch.at(106, 124, 100, 26).tip("Shows out.txt, the results of the library tool.");
    cmdOK.at(250, 124, 70, 26);
    cmdCancel.at(330, 124, 70, 26);
    cmdLibTool.on_click = [this] {
        if (main_.show_library_browser) main_.show_library_browser(*this);
    };

    on_load = [this] {
        libGUID.set_text(main_.libGUID.text());
        libScale.set_text(main_.libScale.text());
        lib_OTG.set_value(main_.lib_OTG.value());
        lib_terrain_alt.set_text(main_.lib_terrain_alt.text());
    };
    cmdSearch.on_click = [this] { search_results(); };
    cmdOK.on_click = [this] {
        if (refused({check_guid(libGUID.text()),
                     cg::check_typed_number("scale", libScale.text(), "BGL_TRANSFORM_MAT", "m11",
                                            [](double v) { return ui::val(ui::format(v, "0.0")); }),
                     lib_OTG.value() == 1 ? ""
                                          : cg::check_typed_number("terrain altitude", lib_terrain_alt.text(), "SCALE",
                                                                   "alt", feet_to_metres)}))
            return;
        main_.libGUID.set_text(libGUID.text());
        main_.libScale.set_text(libScale.text());
        main_.lib_OTG.set_value(lib_OTG.value());
        main_.lib_terrain_alt.set_text(lib_terrain_alt.text());
        ui::desktop().close(*this);
    };
    cmdCancel.on_click = [this] { ui::desktop().close(*this); };
}

void FrmLibrary::open() { ui::desktop().show(*this, false, &main_); }

void FrmLibrary::search_results() {
    try {
        if (ui::platform().find_window("", "out.txt - Notepad")) return;  // already open
        ui::platform().start_program("notepad " + program_file("out.txt"), ui::platform().program_folder());
    } catch (const ui::RuntimeError&) {
        // Showing the results is a convenience: failures are ignored.
    }
}

}  // namespace wb
