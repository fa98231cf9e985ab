#include "libtool/frm_guid_mod.h"

#include <cctype>

#include "libtool/bgl_header.h"
#include "libtool/folder_walk.h"
#include "libtool/lib_view.h"
#include "libtool/library_changes.h"
#include "ui/errors.h"
#include "ui/fileio.h"
#include "ui/platform.h"

namespace libtool {
namespace {

constexpr std::size_t kIdentifierText = 42;  // comma form of an identifier
constexpr std::uint32_t kShaded = 0xE0E0E0;

void box(const std::string& text, ui::Icon icon) {
    ui::platform().message_box({text, "", icon, ui::Buttons::Ok});
}

std::string entry_text(const LibraryObjectRecord& o) {
    return identifier_text(o, false) + ", " + trimmed_name(o);
}

}  // namespace

std::uint32_t hex_box_value(const std::string& text) {
    std::uint32_t value = 0;
    std::size_t i = text.find_first_not_of(" \t");
    if (i == std::string::npos) return 0;
    if (text.compare(i, 2, "&H") == 0 || text.compare(i, 2, "&h") == 0) i += 2;
    for (; i < text.size() && std::isxdigit(static_cast<unsigned char>(text[i])); ++i) {
        const char c = text[i];
        const unsigned digit = c <= '9' ? unsigned(c - '0') : unsigned((c | 0x20) - 'a' + 10);
        value = value << 4 | digit;  // more than eight digits keep the last eight
    }
    return value;
}

std::string hex_box_text(const std::string& text) { return identifier_dword(hex_box_value(text)); }

FrmGUIDMod::FrmGUIDMod(LibView& browser)
    : ui::Window("frmGUIDMod", "GUID Modifier", 560, 330), browser_(browser) {
    Label1.at(10, 8, 540, 34);
    guidList.at(10, 46, 540, 190).tip("Select the object to modify.");
    guidList.fixed_font = true;
    for (int n = 1; n <= 4; ++n) {
        ui::Control& box = guidID(n);
        box.at(10 + (n - 1) * 110, 246, 100, 22);
        box.fixed_font = true;
        if (n <= 2) {
            box.tip("Enter vaues in hexadecimal.");
            box.on_lost_focus = [this, n] { guidID_LostFocus(n); };
        } else {
            box.tip("First part of GUID. Can not be modified.");
            box.read_only = true;
            box.set_back_colour(kShaded);
        }
    }
    Command1.at(460, 244, 90, 26);

    // Listed at each opening (the window is modal: the browser's selection cannot change while
    // it is open). Not at every activation: a message box or another program taking the focus
    // would otherwise reset the selection and the typed identifier.
    on_load = [this] { load_objects(); };
    guidList.on_click = [this] { guidList_Click(); };
    Command1.on_click = [this] { Modify_Click(); };
}

ui::Control& FrmGUIDMod::guidID(int n) {
    switch (n) {
        case 1: return guidID1;
        case 2: return guidID2;
        case 3: return guidID3;
        case 4: return guidID4;
        default: ui::raise(ui::kSubscriptOutOfRange);
    }
}

void FrmGUIDMod::load_objects() {
    ui::platform().set_busy(true);
    browser_.File1.set_enabled(false);
    try {
        guidList.clear();
        objects_.clear();
        const std::string path = browser_.selected_path();
        browser_.append_output(path);
        BglHeader header;
        BglHeaderExt extension;
        BglFile file;
        const short opened = open_bgl_header(path, header, extension, file);
        if (opened == kBglInvalid) {
            browser_.append_output("This file has not a valid BGL format");
            dump_raw_header(header, extension, browser_);
        }
        if (opened > 0 && header.FL_library_ptr != 0) {
            if (header.FL_spare2 != 0) {
                file.close();
                ui::platform().set_busy(false);
                box("Compressed libraries cannot be modified. Sorry.", ui::Icon::Critical);
            } else {
                read_library_objects(file, header, objects_);
                for (const auto& o : objects_) guidList.add_item(entry_text(o), o.object_position);
                file.close();
                if (guidList.list_count() > 0) guidList.set_list_index(0);
            }
        }
    } catch (const ui::StopRequest&) {
        browser_.File1.set_enabled(true);
        throw;
    } catch (const ui::RuntimeError& e) {
        ui::platform().set_busy(false);
        box("Error " + std::to_string(e.number) + " : " + e.description, ui::Icon::Critical);
    }
    browser_.sync_box();
    ui::platform().set_busy(false);
    browser_.File1.set_enabled(true);
}

void FrmGUIDMod::guidList_Click() {
    const int i = guidList.list_index();
    if (i < 0 || static_cast<std::size_t>(i) >= objects_.count()) return;
    const Identifier& id = objects_[static_cast<std::size_t>(i) + 1].identifier;
    for (int n = 1; n <= 4; ++n) guidID(n).set_text(identifier_dword(id[static_cast<std::size_t>(n - 1)]));
}

void FrmGUIDMod::guidID_LostFocus(int n) { guidID(n).set_text(hex_box_text(guidID(n).text())); }

void FrmGUIDMod::Modify_Click() {
    try {
        const std::string library = browser_.selected_path();
        if (!ends_with_ci(library, ".BGL")) {
            box("No bgl file selected.", ui::Icon::Information);
            return;
        }
        if (!is_library_file(library)) {
            box("This is not a library file.\r\n Only library files can be modified", ui::Icon::Exclamation);
            return;
        }
        const ui::Answer a = ui::platform().message_box(
            {"ATTENTION ! This will modify the library file.\r\nA copy of the original is saved with the "
             "'.bck' extension.\r\nYou can restore the original file by clicking the 'Revert' button in "
             "the library browser anytime you wish.\r\nAre you sure you want to proceed ? ",
             "", ui::Icon::Exclamation, ui::Buttons::YesNo});
        if (a != ui::Answer::Yes) return;
        if (!ui::file_exists(backup_path(library))) copy_file(library, backup_path(library));
        const int selected = guidList.list_index();
        if (guidList.list_count() == 0 || selected < 0) {
            box("Please select a library file from the browser.", ui::Icon::Information);
            return;
        }
        Identifier replacement{};
        for (int n = 1; n <= 4; ++n)
            replacement[static_cast<std::size_t>(n - 1)] = hex_box_value(guidID(n).text());
        const std::string new_id = identifier_text(replacement, false);
        for (const auto& entry : guidList.items()) {
            if (entry.compare(0, kIdentifierText, new_id) == 0) {
                box("The modified ID already exists. Please select a different one.", ui::Icon::Information);
                return;
            }
        }
        const std::string entry = guidList.item(selected);
        const LibraryObjectRecord& object = objects_[static_cast<std::size_t>(selected) + 1];
        // Both places are checked before either is written. The log line comes before the
        // library: a log that cannot be written stops the change before anything changed.
        const std::optional<std::string> changed = with_new_identifier(library, object, entry, replacement);
        if (!changed) {
            box("Error ! library file inconsistent !!", ui::Icon::Critical);
            return;
        }
        append_change_log(browser_.dir_path(), time_text(ui::platform().now()) + " : " +
                                                   browser_.selected_name() + "--- Changed ID :" +
                                                   entry + " to : " + new_id);
        ui::write_file_atomic(library, *changed);
        load_objects();
    } catch (const ui::StopRequest&) {
        throw;
    } catch (const ui::RuntimeError& e) {
        ui::platform().set_busy(false);
        box("Error " + std::to_string(e.number) + " : " + e.description, ui::Icon::Critical);
    }
}

}  // namespace libtool
