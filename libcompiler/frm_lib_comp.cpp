#include "libcompiler/frm_lib_comp.h"

#include <climits>
#include <memory>

#include "libcompiler/ocm_file.h"
#include "ui/errors.h"
#include "ui/fileio.h"
#include "ui/format.h"
#include "ui/platform.h"
#include "workbench/asm_line.h"
#include "workbench/pair_backup.h"
#include "workbench/paths.h"
#include "workbench/placement.h"
#include "workbench/source_pair.h"

namespace libcompiler {
namespace {

constexpr const char* kDefaultGuid = "0AAAAAAAA, 0AAAAAAAA, 0AAAAAAAA, 000000001";
constexpr const char* kOcmFilter = "*.ocm|*.ocm";

void dialog_error_box(const ui::RuntimeError& e) {
    ui::error_box("error " + std::to_string(e.number) + " " + e.description);
}

// A whole number from a box, rounded as the classic conversions round; false for a text that
// is not a number or a value outside low .. high.
bool whole_number(const std::string& text, long long low, long long high, long long& value) {
    bool ok = false;
    const double v = ui::to_number(text, &ok);
    if (!ok || v < static_cast<double>(low) - 0.5 || v > static_cast<double>(high) + 0.5) return false;
    value = ui::round_even(v);
    return value >= low && value <= high;
}

std::unique_ptr<FrmLibComp>& instance() {
    static std::unique_ptr<FrmLibComp> window;
    return window;
}

}  // namespace

FrmLibComp::FrmLibComp(std::string version)
    : ui::Window("frmLibComp", "Library Compiler", 600, 412), version_(std::move(version)) {
    Label1.at(10, 14, 116, 16);
    libFileAdd.at(130, 12, 420, 22)
        .tip("Select an ASM file generated with gmax to be added as a library object. DO NOT USE the xxx_0.asm");
    Command1.at(556, 12, 34, 22).tip("Pick the exported ASM file of the object.");
    Label2.at(10, 44, 116, 16);
    libObjName.at(130, 42, 300, 22).tip("Name of the object in the library (47 characters at most).");
    Label3.at(10, 74, 116, 16);
    libGUID.at(130, 72, 314, 22)
        .tip("Identifier of the object: four hexadecimal numbers separated by commas. Every object needs its own.");
    libGUID.fixed_font = true;
    Command8.at(450, 71, 62, 24).tip("Creates a new unique identifier.");
    Command9.at(518, 71, 72, 24).tip("Adds 1 to the first number of the identifier.");
    Label4.at(10, 104, 116, 16);
    libImgPwr.at(130, 102, 60, 22).tip("Image power of the object, 0 to 255.");
    Label5.at(210, 104, 40, 16);
    libScale.at(250, 102, 70, 22).tip("Scale of the object: 1 keeps the exported size.");
    Label6.at(340, 104, 36, 16);
    libObjType.at(376, 102, 60, 22).tip("Type of the object, a whole number.");
    Label7.at(456, 104, 30, 16);
    libObjSize.at(490, 102, 100, 22).tip("Size of the object, a whole number (read from the exported file).");
    Command2.at(130, 134, 110, 26).tip("Adds the object above to the list.");
    Command4.at(246, 134, 110, 26).tip("Replaces the values of the selected object by those above.");
    Command3.at(362, 134, 110, 26).tip("Removes the selected object from the list.");
    Label8.at(10, 170, 116, 16);
    libFileList.at(130, 170, 460, 150).tip("The objects of the library. Select one to see or change its values.");
    Label9.at(10, 334, 116, 16);
    libOutFile.at(130, 332, 420, 22).tip("The library source file to create (.asm).");
    Command5.at(556, 332, 34, 22).tip("Pick the library source file to create.");
    Command6.at(130, 368, 180, 30)
        .tip("Writes the library source of the listed objects and makes the labels of their drawing files unique.");
    Command7.at(316, 368, 130, 30).tip("Compiles the library source file into a BGL file with bglc.");
    Command10.at(452, 368, 138, 30).tip("Writes the placement macro (.api) of the selected object beside its file.");
    Sort.at(0, 0, 10, 10);
    Sort.sorted = true;
    Sort.set_visible(false);
    mnuLoad.in(mnuFile);
    mnuSave.in(mnuFile);
    mnuExit.in(mnuFile);
    reset();

    on_load = [this] { reset(); };
    Command1.on_click = [this] { PickSource_Click(); };
    Command2.on_click = [this] { AddToList_Click(); };
    Command4.on_click = [this] { Modify_Click(); };
    Command3.on_click = [this] { RemoveFile_Click(); };
    libFileList.on_click = [this] { FileList_Click(); };
    Command5.on_click = [this] { PickOutput_Click(); };
    Command6.on_click = [this] { CreateSource_Click(); };
    Command7.on_click = [this] { Compile_Click(); };
    Command10.on_click = [this] { ApiMacro_Click(); };
    Command8.on_click = [this] { New_Click(); };
    Command9.on_click = [this] { Increment_Click(); };
    mnuSave.on_click = [this] { Save_Click(); };
    mnuLoad.on_click = [this] { Load_Click(); };
    mnuExit.on_click = [this] { ui::desktop().close(*this); };
}

// A new window: an empty list and table, the boxes at their defaults.
void FrmLibComp::reset() {
    table_.clear();
    libFileList.clear();
    Sort.clear();
    libFileAdd.set_text("");
    libObjName.set_text("NewObject");
    libGUID.set_text(kDefaultGuid);
    libImgPwr.set_text("100");
    libScale.set_text("1");
    libObjType.set_text("0");
    libObjSize.set_text("0");
    libOutFile.set_text("");
}

std::vector<LibraryEntry> FrmLibComp::listed_entries() const {
    std::vector<LibraryEntry> entries;
    for (int i = 0; i < libFileList.list_count(); ++i)
        entries.push_back({libFileList.item(i), table_[static_cast<std::size_t>(libFileList.item_data(i))]});
    return entries;
}

void FrmLibComp::PickSource_Click() {
    std::optional<std::string> chosen;
    try {
        ui::FileDialog d;
        d.filter = "*.asm|*.asm";
        d.start_folder = wb::path_folder(libFileAdd.text());
        chosen = ui::platform().choose_file(d);
    } catch (const ui::RuntimeError& e) {
        dialog_error_box(e);
        return;
    }
    if (!chosen) return;  // cancelled
    libFileAdd.set_text(chosen->size() > 4 ? chosen->substr(0, chosen->size() - 4) : std::string());
    read_object_source(libFileAdd.text());
}

// Scale, size and name of an exported object from the placement line of its header file.
void FrmLibComp::read_object_source(const std::string& base) {
    wb::LineArray asm_lines, azm_lines;
    if (wb::load_source_pair(base, asm_lines, azm_lines) == 0 || asm_lines.top() == 0 || azm_lines.top() == 0) {
        ui::warning_box("Invalid filename");
        return;
    }
    const long at = wb::find_line("SCALE_AGL ", azm_lines, 1, false);
    if (at == 0) {
        ui::warning_box("The file " + base + ".asm has not SCALE command.");
        return;
    }
    wb::SplitLine fields;
    if (wb::split_asm_line(azm_lines[at], fields) == 0) {
        ui::warning_box("Error in file " + base + ".asm.");
        return;
    }
    // The fields whole, a last operand included.
    libScale.set_text(ui::num(wb::operand_value(wb::asm_field(azm_lines[at], 4)) / 65536));
    libObjSize.set_text(ui::num(wb::operand_value(wb::asm_field(azm_lines[at], 3))));
    libObjName.set_text(wb::path_file_name(base));
}

bool FrmLibComp::record_from_boxes(LibraryObjectRecord& record) {
    LibraryObjectRecord r = record;
    if (!read_identifier_text(libGUID.text(), r.identifier)) {
        ui::warning_box("Invalid GUID.");
        return false;
    }
    // The name is written between double quotes into the library source.
    if (libObjName.text().find('"') != std::string::npos) {
        ui::warning_box("The object name cannot hold a double quote.");
        return false;
    }
    long long power = 0, type = 0, size = 0;
    if (!whole_number(libImgPwr.text(), 0, 255, power)) {
        ui::warning_box("The image power must be a whole number from 0 to 255.");
        return false;
    }
    // Stored as 65536 / scale: a scale of 0 has no such value, one above 65536 would store 0.
    bool ok = false;
    const double scale = ui::to_number(libScale.text(), &ok);
    if (!ok || scale < 0.0001 || scale > 65536) {
        ui::warning_box("The scale must be a number from 0.0001 to 65536.");
        return false;
    }
    if (!whole_number(libObjType.text(), INT_MIN, INT_MAX, type)) {
        ui::warning_box("The type must be a whole number.");
        return false;
    }
    if (!whole_number(libObjSize.text(), INT_MIN, INT_MAX, size)) {
        ui::warning_box("The size must be a whole number.");
        return false;
    }
    r.name = libObjName.text().substr(0, libtool::kObjectNameLength);
    r.name.resize(libtool::kObjectNameLength, ' ');
    r.image_power = static_cast<std::uint8_t>(power);
    r.scale = static_cast<std::int32_t>(65536 / scale);
    r.type = static_cast<std::int32_t>(type);
    r.size = static_cast<std::int32_t>(size);
    record = r;
    return true;
}

void FrmLibComp::AddToList_Click() {
    if (!ui::file_exists(libFileAdd.text() + ".asm")) {
        ui::warning_box("Invalid Filename.");
        return;
    }
    LibraryObjectRecord record;
    if (!record_from_boxes(record)) return;
    table_.add(record);  // the table grows: record numbers are never reused
    libFileList.add_item(libFileAdd.text(), static_cast<long>(table_.count()));
}

void FrmLibComp::Modify_Click() {
    const int selected = libFileList.list_index();
    if (selected < 0) {
        ui::warning_box("Select an object first.");
        return;
    }
    if (!record_from_boxes(table_[static_cast<std::size_t>(libFileList.item_data(selected))])) return;
    libFileList.set_item(selected, libFileAdd.text());
}

void FrmLibComp::RemoveFile_Click() {
    const int selected = libFileList.list_index();
    if (selected < 0) {
        ui::warning_box("Select an object first.");
        return;
    }
    libFileList.remove_item(selected);
}

void FrmLibComp::FileList_Click() {
    const int selected = libFileList.list_index();
    if (selected < 0) return;
    const LibraryObjectRecord& r = table_[static_cast<std::size_t>(libFileList.item_data(selected))];
    libFileAdd.set_text(libFileList.item(selected));
    libObjName.set_text(libtool::trimmed_name(r));
    libGUID.set_text(libtool::identifier_text(r, false));
    libImgPwr.set_text(ui::num(static_cast<long>(r.image_power)));
    libScale.set_text(r.scale != 0 ? ui::num(65536.0 / r.scale) : "0");
    libObjType.set_text(ui::num(static_cast<long>(r.type)));
    libObjSize.set_text(ui::num(static_cast<long>(r.size)));
}

void FrmLibComp::PickOutput_Click() {
    try {
        ui::FileDialog d;
        d.filter = "*.asm|*.asm";
        d.save = true;
        d.start_folder = wb::path_folder(libOutFile.text());
        d.file_name = wb::path_file_name(libOutFile.text());
        if (auto chosen = ui::platform().choose_file(d)) libOutFile.set_text(*chosen);
    } catch (const ui::RuntimeError& e) {
        dialog_error_box(e);
    }
}

std::string FrmLibComp::output_source() {
    std::string out = libOutFile.text();
    if (wb::path_extension(out) != ".ASM") {
        out += ".asm";
        libOutFile.set_text(out);
    }
    return out;
}

void FrmLibComp::CreateSource_Click() {
    if (wb::trim(libOutFile.text()).empty()) {
        ui::warning_box("Enter an output file.");
        return;
    }
    ui::BusyPointer busy;
    try {
        const std::vector<LibraryEntry> entries = listed_entries();
        if (entries.empty()) {
            ui::warning_box("The list holds no object. Add the objects of the library first.");
            return;
        }
        // Equal identifiers lie next to each other in the sorted list.
        Sort.clear();
        for (const auto& e : entries) Sort.add_item(libtool::identifier_text(e.record, false));
        for (int i = 1; i < Sort.list_count(); ++i) {
            if (Sort.item(i) == Sort.item(i - 1)) {
                ui::warning_box("Duplicated ID found : " + Sort.item(i));
                return;
            }
        }
        // One drawing file included twice would define its labels twice: bglc refuses that.
        for (std::size_t i = 1; i < entries.size(); ++i) {
            for (std::size_t k = 0; k < i; ++k) {
                if (wb::upper(entries[i].source) == wb::upper(entries[k].source)) {
                    ui::warning_box("The file " + entries[i].source +
                                    "_0.asm is listed twice. A library can hold each drawing file once.");
                    return;
                }
            }
        }
        auto files = label_drawing_files(entries);
        if (!files) return;
        Identifier lowest{}, highest{};
        libtool::parse_identifier(Sort.item(0), lowest);
        libtool::parse_identifier(Sort.item(Sort.list_count() - 1), highest);
        // The name that "Compile to BGL" compiles; the library source and the marked drawing
        // files are written together or not at all.
        const std::string out = output_source();
        files->emplace(files->begin(), wb::resolve_in_program_folder(out),
                       library_source_text(entries, lowest, highest, version_));
        ui::write_files_atomic(*files);
        ui::platform().set_busy(false);
        ui::information_box("The output file was created successfully. Compile with 'BGLC /BGL " +
                            wb::path_file_name(out) + "'.");
    } catch (const ui::StopRequest&) {
        throw;
    } catch (const ui::RuntimeError& e) {
        ui::run_time_error_box(e);
    }
}

void FrmLibComp::Compile_Click() {
    if (libOutFile.text().size() <= 4) {
        ui::warning_box("Please select an output file");
        return;
    }
    try {
        wb::compile_source(wb::resolve_in_program_folder(output_source()));
    } catch (const ui::StopRequest&) {
        throw;
    } catch (const ui::RuntimeError& e) {
        ui::run_time_error_box(e);
    }
}

void FrmLibComp::ApiMacro_Click() {
    const int selected = libFileList.list_index();
    if (selected < 0) {
        ui::warning_box("Please select an object.");
        return;
    }
    const std::string macro = wb::trim(libFileAdd.text()) + ".api";
    wb::LineArray lines;
    if (wb::load_file2array(libFileAdd.text() + "_0.asm", lines) == 0) return;
    const Footprint footprint = vertex_footprint(lines);
    if (footprint.empty()) {
        ui::warning_box("The file " + libFileAdd.text() + "_0.asm has no vertex list.");
        return;
    }
    const LibraryObjectRecord& r = table_[static_cast<std::size_t>(libFileList.item_data(selected))];
    ui::write_file_atomic(macro, api_macro_text(footprint, r.identifier, version_));
    ui::information_box("The file " + macro + " was created sucessfuly.");
}

void FrmLibComp::New_Click() {
    libGUID.set_text(libtool::identifier_text(identifier_from_bytes(ui::platform().new_guid()), false));
}

void FrmLibComp::Increment_Click() {
    Identifier id{};
    if (!read_identifier_text(libGUID.text(), id)) {
        ui::warning_box("Invalid GUID.");
        return;
    }
    if (increment_identifier(id)) libGUID.set_text(libtool::identifier_text(id, false));
}

void FrmLibComp::Save_Click() {
    try {
        ui::FileDialog d;
        d.filter = kOcmFilter;
        d.save = true;
        d.file_name = "OCM file";
        auto chosen = ui::platform().choose_file(d);
        if (!chosen) return;
        // A name without extension gets the one that the Load dialog lists.
        std::string path = *chosen;
        if (wb::path_extension(wb::path_file_name(path)).empty()) path += ".ocm";
        ui::write_file_atomic(path, ocm_bytes(libOutFile.text(), listed_entries()));
    } catch (const ui::StopRequest&) {
        throw;
    } catch (const ui::RuntimeError& e) {
        dialog_error_box(e);
    }
}

void FrmLibComp::Load_Click() {
    try {
        ui::FileDialog d;
        d.filter = kOcmFilter;
        auto chosen = ui::platform().choose_file(d);
        if (!chosen) return;
        const std::optional<OcmContents> saved = read_ocm(ui::read_file(*chosen));
        if (!saved) {
            ui::error_box("This is not a valid Object Compilation Save-file.");
            return;
        }
        libFileList.clear();
        for (const LibraryEntry& e : saved->entries) {
            table_.add(e.record);
            libFileList.add_item(e.source, static_cast<long>(table_.count()));
        }
        libOutFile.set_text(saved->output_file);
    } catch (const ui::StopRequest&) {
        throw;
    } catch (const ui::RuntimeError& e) {
        dialog_error_box(e);
    }
}

void show_library_compiler(ui::Window* owner, const std::string& version) {
    auto& window = instance();
    if (!window) window = std::make_unique<FrmLibComp>(version);
    ui::desktop().show(*window, false, owner);
}

FrmLibComp* library_compiler() { return instance().get(); }

}  // namespace libcompiler
