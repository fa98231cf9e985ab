#include "libtool/lib_view.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "libtool/bgl_header.h"
#include "libtool/folder_walk.h"
#include "libtool/frm_guid_mod.h"
#include "libtool/library_changes.h"
#include "libtool/library_image.h"
#include "ui/errors.h"
#include "ui/fileio.h"
#include "ui/format.h"
#include "ui/platform.h"

namespace libtool {
namespace {

constexpr std::size_t kBoxLimit = 65400;
constexpr const char* kEquals45 = "=============================================";
constexpr const char* kEquals30 = "==============================";

std::string scale_text(std::int32_t scale, const char* when_zero) {
    return scale == 0 ? std::string(when_zero) : ui::format(65536.0 / scale, "0.0##");
}

bool less_ci(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
    });
}

void box(const std::string& text, ui::Icon icon) {
    ui::platform().message_box({text, "", icon, ui::Buttons::Ok});
}

void write_text(const std::string& path, const std::string& text, bool append) {
    if (!append) {
        ui::write_file_atomic(path, text);
        return;
    }
    std::FILE* f = std::fopen(ui::native_path(path).c_str(), "ab");
    if (!f) ui::raise(ui::kPathFileAccess);
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (std::fclose(f) != 0 || !ok) ui::raise(ui::kPathFileAccess);
}

std::unique_ptr<LibView>& browser_instance() {
    static std::unique_ptr<LibView> instance;
    return instance;
}

}  // namespace

// While an analysis, a scan or a list runs: busy pointer, the file list (and every control
// that would start another run) disabled; all restored however the run ends.
struct LibView::Running {
    LibView& view;
    explicit Running(LibView& v) : view(v) {
        view.running_ = true;
        view.stop_ = false;
        ui::platform().set_busy(true);
        view.lock_for_run(true);
    }
    ~Running() {
        view.lock_for_run(false);
        view.running_ = false;
        view.sync_box();
        ui::platform().set_busy(false);
        ui::platform().refresh();
    }
};

LibView::LibView() : ui::Window("LibView", "Library Browser", 740, 580) {
    Drive1.at(10, 10, 220, 22).tip("Drive");
    Dir1.at(10, 38, 220, 180).tip("Folder that a search starts from.");
    File1.at(10, 224, 220, 316).tip("Click on a file to get detailed information.");
    inpFilename.at(240, 10, 450, 22);
    Command2.at(696, 10, 30, 22);
    Command1.at(240, 40, 176, 26);
    Command3.at(422, 40, 176, 26);
    Command7.at(604, 40, 122, 26);
    Command5.at(240, 70, 176, 26);
    Command6.at(422, 70, 176, 26);
    Command8.at(604, 70, 122, 26);
    Command4.at(240, 100, 110, 26).tip("Empties the list; stops a search that is running.");
    chkClrTb.at(362, 102, 50, 22).tip("Empty the list before each analysis and each search.");
    chkShowRawHdr.at(420, 102, 110, 22);
    chkBin.at(540, 102, 100, 22);
    lblScan.at(240, 130, 486, 18);
    prgScan.at(240, 150, 486, 14);
    tb1.at(240, 170, 486, 370);
    tb1.multiline = true;
    tb1.scroll_bars = true;
    tb1.fixed_font = true;

    on_load = [this] {
        overflow_ = false;
        fill_drives();
        if (dir_path_.empty() || !ui::folder_exists(dir_path_))
            set_dir_path(ui::platform().program_folder());
        // Dir1 comes back from "libview.ini" once per opening; later activations (returning
        // from the identifier editor) keep the folder the user moved to.
        try {
            const std::string ini = ui::read_file(ui::program_file("libview.ini"));
            const std::string folder = ini.substr(0, ini.find_first_of("\r\n"));
            if (!folder.empty()) set_dir_path(folder);
        } catch (const std::exception&) {
            // no settings yet, or unreadable: Dir1 stays as it is
        }
    };
    on_unload = [this] {
        stop_ = true;  // a running search ends at its next file
        try {
            ui::write_file_atomic(ui::program_file("libview.ini"), dir_path_ + kLineEnd);
        } catch (const std::exception&) {
            // the folder is only a convenience
        }
        if (guid_editor_ && guid_editor_->is_open()) ui::desktop().close(*guid_editor_);
    };

    Drive1.on_click = [this] {
        if (filling_) return;
        const std::string drive = Drive1.selected_text();
        if (drive.empty() || drive_of(dir_path_) == drive) return;
        if (!set_dir_path(drive)) fill_drives();  // drive not ready: back to the folder's drive
    };
    Dir1.on_click = [this] {
        if (filling_ || Dir1.list_index() < 0) return;
        const std::string target = Dir1.item_data(Dir1.list_index()) < 0
                                       ? join_path(dir_path_, Dir1.selected_text())
                                       : std::string();
        if (!target.empty()) {
            set_dir_path(target);
            return;
        }
        // an ancestor: rebuild its path from the chain above it
        std::string path = dir_path_;
        const long up = Dir1.item_data(Dir1.list_index());
        for (long i = 0; i < up; ++i) path = parent_folder(path);
        if (path != dir_path_) set_dir_path(path);
    };
    // Typing a path into the folder list (scripts) moves it there.
    Dir1.on_change = [this] {
        if (!filling_ && !Dir1.text().empty()) set_dir_path(Dir1.text());
    };
    File1.on_click = [this] {
        if (!filling_) analyse();
    };
    tb1.on_change = [this] {
        if (!syncing_) box_ = tb1.text();
    };
    Command1.on_click = [this] { analyse(); };
    Command2.on_click = [this] { browse(); };
    Command3.on_click = [this] { scan(); };
    Command4.on_click = [this] { clear_list(); };
    Command5.on_click = [this] { make_universal(); };
    Command6.on_click = [this] { revert_to_original(); };
    Command7.on_click = [this] { create_bgl_list(); };
    Command8.on_click = [this] { modify_guid(); };
}

LibView::~LibView() = default;

FrmGUIDMod& LibView::guid_editor() {
    if (!guid_editor_) guid_editor_ = std::make_unique<FrmGUIDMod>(*this);
    return *guid_editor_;
}

// ---- output box ----

void LibView::append_output(const std::string& text, bool no_line_end) {
    box_ += text;
    if (!no_line_end) {
        box_ += kLineEnd;
        if (box_.size() > kBoxLimit) {
            sync_box();
            // One warning per analysis or search; later overflows move into out.txt silently.
            if (!overflow_)
                box("Too many data for output box. The complete list can be examined from file 'Out.txt'.",
                    ui::Icon::Exclamation);
            write_text(ui::program_file("out.txt"), box_ + kLineEnd, overflow_);
            overflow_ = true;
            box_.clear();
        }
    }
    repaint(false);
}

void LibView::sync_box() {
    if (tb1.text() == box_) return;
    syncing_ = true;
    tb1.set_text(box_);
    syncing_ = false;
}

// Repaints the window and lets window events run; between forced repaints at most every few
// hundredths of a second, so that long runs cost little beyond their own work.
void LibView::repaint(bool force) {
    const auto now = std::chrono::steady_clock::now();
    if (!force && now - last_repaint_ < repaint_every_) return;
    last_repaint_ = now;
    sync_box();
    if (running_) ui::platform().do_events();
    else ui::platform().refresh();
}

// During a run: at the repaint rhythm, shows the progress and lets window events run (a click
// on "Clear List" among them). False once the run is to stop.
bool LibView::keep_going(const std::function<void()>& show_progress) {
    if (std::chrono::steady_clock::now() - last_repaint_ >= repaint_every_) {
        show_progress();
        repaint(true);
    }
    return !stop_;
}

void LibView::write_out_txt() { write_text(ui::program_file("out.txt"), box_, overflow_); }

void LibView::clear_list() {
    box_.clear();
    sync_box();
    if (running_) stop_ = true;
}

void LibView::lock_for_run(bool locked) {
    for (ui::Control* c : {&File1, &Dir1, &Drive1, &Command1, &Command2, &Command3, &Command5,
                           &Command6, &Command7, &Command8})
        c->set_enabled(!locked);
}

void LibView::report_error(const std::exception& e) {
    ui::platform().set_busy(false);
    if (const auto* r = dynamic_cast<const ui::RuntimeError*>(&e))
        box("Error " + std::to_string(r->number) + " : " + r->description, ui::Icon::Critical);
    else if (dynamic_cast<const std::bad_alloc*>(&e))
        box("Error 7 : " + ui::error_description(7), ui::Icon::Critical);
    else
        box(std::string("Error : ") + e.what(), ui::Icon::Critical);
}

// ---- drive, folder and file lists ----

void LibView::fill_drives() {
    filling_ = true;
    Drive1.clear();
    const std::string current = drive_of(dir_path_.empty() ? ui::platform().program_folder() : dir_path_);
    for (const auto& d : list_drives()) Drive1.add_item(d);
    for (int i = 0; i < Drive1.list_count(); ++i)
        if (Drive1.item(i) == current) Drive1.set_list_index(i);
    filling_ = false;
}

// The folder list: the chain from the drive down to the folder (item data: how many levels up),
// then the folder's subfolders (item data -1).
void LibView::fill_dirs() {
    filling_ = true;
    Dir1.clear();
    std::vector<std::string> chain;
    for (std::string p = dir_path_;;) {
        chain.push_back(p);
        const std::string up = parent_folder(p);
        if (up == p) break;
        p = up;
    }
    for (std::size_t i = chain.size(); i-- > 0;) {
        const std::string& p = chain[i];
        const auto cut = p.find_last_of("\\/");
        const std::string shown = i + 1 == chain.size() || cut == std::string::npos || cut + 1 == p.size()
                                      ? p
                                      : p.substr(cut + 1);
        Dir1.add_item(shown, static_cast<long>(i));
    }
    Dir1.set_list_index(static_cast<int>(chain.size()) - 1);
    std::vector<std::string> subs = list_subfolders(dir_path_);
    std::sort(subs.begin(), subs.end(), less_ci);
    for (const auto& s : subs) Dir1.add_item(s, -1);
    Dir1.set_caption(dir_path_);
    filling_ = false;
}

bool LibView::set_dir_path(const std::string& folder) {
    std::string f = folder;
    while (f.size() > 1 && (f.back() == '\\' || f.back() == '/') && !(f.size() == 3 && f[1] == ':'))
        f.pop_back();
    if (f.empty() || !ui::folder_exists(f)) return false;
    const bool drive_changed = dir_path_.empty() || drive_of(dir_path_) != drive_of(f);
    dir_path_ = f;
    fill_dirs();
    if (drive_changed) fill_drives();
    filling_ = true;
    File1.clear();  // a new folder: no file selected
    filling_ = false;
    refresh_files();
    return true;
}

void LibView::refresh_files() {
    const std::string keep = File1.selected_text();
    std::vector<std::string> names = list_files(dir_path_);
    std::sort(names.begin(), names.end(), less_ci);
    filling_ = true;
    File1.clear();
    for (const auto& n : names) File1.add_item(n);
    for (int i = 0; i < File1.list_count() && !keep.empty(); ++i)
        if (File1.item(i) == keep) File1.set_list_index(i);
    filling_ = false;
}

std::string LibView::selected_path() const {
    return join_path(dir_path_, File1.selected_text());
}

void LibView::browse() {
    try {
        ui::FileDialog d;
        d.filter = "BGL file|*.bgl";
        d.start_folder = dir_path_;
        auto chosen = ui::platform().choose_file(d);
        if (chosen) inpFilename.set_text(*chosen);  // cancelling does nothing more
    } catch (const ui::StopRequest&) {
        throw;
    } catch (const ui::RuntimeError& e) {
        ui::platform().set_busy(false);
        box("error " + std::to_string(e.number) + " " + e.description, ui::Icon::Critical);
    }
}

// ---- analysis ----

void LibView::analyse() {
    if (running_) return;
    Running run(*this);
    try {
        overflow_ = false;
        if (chkClrTb.value() == 1) box_.clear();
        const std::string path = selected_path();
        append_output(path);
        BglHeader header;
        BglHeaderExt extension;
        BglFile file;
        const short opened = open_bgl_header(path, header, extension, file);
        if (opened == kBglInvalid) {
            append_output("This file has not a valid BGL format");
            dump_raw_header(header, extension, *this);
            return;
        }
        if (opened < 0) return;
        describe_bgl_header(header, extension, chkShowRawHdr.value() == 1, *this);
        if (chkBin.value() == 1) {
            std::string sections;
            dump_sections(file, header, sections);
            append_output(sections);
        }
        int unpacked = 0;
        if (header.FL_library_ptr != 0 && header.FL_spare2 != 0) {
            file.close();
            read_compressed_objects(ui::platform(), path, objects_, unpacked);
        } else if (header.FL_library_ptr != 0) {
            read_library_objects(file, header, objects_);
        }
        if (unpacked != 0) {
            // A library that cannot be unpacked is not an empty one: say what went wrong.
            append_output(unpack_failure_text(unpacked));
            append_output(kEquals45);
        } else if (header.FL_library_ptr != 0) {
            append_output("Library Objects : " + ui::num(static_cast<long>(objects_.count())));
            for (const auto& o : objects_) {
                append_output(" " + identifier_dword(o.identifier[0]) + "h," +
                                  identifier_dword(o.identifier[1]) + "h,",
                              true);
                append_output(identifier_dword(o.identifier[2]) + "h," +
                                  identifier_dword(o.identifier[3]) + "h,",
                              true);
                append_output(" " + scale_text(o.scale, " 0.0 "), true);
                append_output(" " + ui::num(static_cast<long>(o.type)), true);
                append_output(" " + ui::num(static_cast<long>(o.image_power)) + " ", true);
                append_output(trimmed_name(o));
            }
            append_output(kEquals45);
        }
        file.close();
        write_out_txt();
    } catch (const ui::StopRequest&) {
        throw;
    } catch (const std::exception& e) {
        report_error(e);
    }
}

// ---- scan ----

void LibView::show_counters(std::size_t folders_done) {
    const ScanCounters& c = counters_;
    lblScan.set_caption("Folders " + std::to_string(folders_done) + "/" + std::to_string(c.folders) +
                        "  Files " + std::to_string(c.files) + "  BGL " + std::to_string(c.bgl_files) +
                        "  Libraries " + std::to_string(c.library_files) + "  Objects " +
                        std::to_string(c.library_objects));
    prgScan.set_value(static_cast<int>(folders_done));
}

void LibView::list_objects_of(const std::string& path, long count) {
    append_output(path + " :" + ui::num(count));
    for (const auto& o : objects_) {
        if (stop_) return;  // "Clear List" during the listing
        append_output(identifier_dword(o.identifier[0]) + "h," + identifier_dword(o.identifier[1]) +
                      "h," + identifier_dword(o.identifier[2]) + "h," +
                      identifier_dword(o.identifier[3]) + "h" + "," + scale_text(o.scale, "0.0 ") +
                      "," + ui::num(static_cast<long>(o.type)) + "," + trimmed_name(o));
    }
    box_ += kLineEnd;
}

void LibView::scan() {
    if (running_) return;
    Running run(*this);
    try {
        overflow_ = false;
        if (chkClrTb.value() == 1) box_.clear();
        counters_ = ScanCounters{};
        lblScan.set_caption("Listing the folders of " + dir_path_);
        prgScan.set_value(0);
        repaint(true);
        const std::vector<std::string> folders = collect_folders(dir_path_, [this](std::size_t found) {
            return keep_going([&] {
                lblScan.set_caption("Listing the folders of " + dir_path_ + " : " + std::to_string(found));
            });
        });
        counters_.folders = static_cast<long>(folders.size());
        counters_.start_folder = dir_path_;
        prgScan.max_value = static_cast<int>(folders.size());
        std::size_t done = 0;
        const auto progress = [&] { show_counters(done); };
        for (const auto& folder : folders) {
            if (!keep_going(progress)) break;
            const std::vector<std::string> names = list_files(folder);
            counters_.files += static_cast<long>(names.size());
            for (const auto& name : names) {
                if (!keep_going(progress)) break;
                if (!ends_with_ci(name, ".BGL")) continue;
                ++counters_.bgl_files;
                const std::string path = join_path(folder, name);
                long result = scan_library_objects(path, objects_);
                if (result == kBglCompressed) {
                    ++counters_.compressed;
                    int unpacked = 0;
                    result = read_compressed_objects(ui::platform(), path, objects_, unpacked);
                    if (unpacked != 0) append_output(path + " : " + unpack_failure_text(unpacked));
                } else if (result == kBglInvalid) {
                    ++counters_.invalid;
                } else if (result == kBglNoLibrary) {
                    ++counters_.object_files;
                }
                if (result > 0) {
                    ++counters_.library_files;
                    counters_.library_objects += result;
                    list_objects_of(path, result);
                }
            }
            ++done;
        }
        show_counters(done);
        if (stop_) {
            lblScan.set_caption(lblScan.caption() + "  (stopped)");
            return;
        }
        write_out_txt();
        const ScanCounters& c = counters_;
        std::string summary;
        for (const std::string& line :
             {std::string(kEquals30), "Directories searched : " + ui::num(c.folders),
              "Total files found....: " + ui::num(c.files), "BGL files scanned....: " + ui::num(c.bgl_files),
              "Invalid BGL found....: " + ui::num(c.invalid), "Compressed lib BGL...: " + ui::num(c.compressed),
              "Object BGL files.....: " + ui::num(c.object_files),
              "Library BGL files....: " + ui::num(c.library_files),
              "Library objects......: " + ui::num(c.library_objects), std::string(kEquals30)})
            summary += line + kLineEnd;
        box_ = summary + kLineEnd + box_;
    } catch (const ui::StopRequest&) {
        throw;
    } catch (const std::exception& e) {
        report_error(e);
    }
}

// ---- BGL list ----

void LibView::create_bgl_list() {
    if (running_) return;
    Running run(*this);
    try {
        if (chkClrTb.value() == 1) box_.clear();
        std::string index =
            "Latitude Min,Latitude Max, Longitude Min, Longitude Max, Filename,Objecs, Library, "
            "Miscelaneous, Terrain, ADF, VOR, Facilities, Dynamic, Exceptions, MagVar, MSA, Path ";
        index += kLineEnd;
        const std::vector<std::string> folders =
            collect_folders(dir_path_, [this](std::size_t) { return keep_going([] {}); });
        prgScan.max_value = static_cast<int>(folders.size());
        prgScan.set_value(0);
        std::size_t done = 0;
        const auto progress = [&] { prgScan.set_value(static_cast<int>(done)); };
        for (const auto& folder : folders) {
            if (!keep_going(progress)) break;
            for (const auto& name : list_files(folder)) {
                if (!keep_going(progress)) break;
                if (!ends_with_ci(name, ".BGL")) continue;
                const std::string path = join_path(folder, name);
                BglHeader h;
                BglHeaderExt ext;
                BglFile file;
                // A header that fails the test still gets its row, from the bytes as read.
                if (open_bgl_header(path, h, ext, file) == kBglMissing) continue;
                file.close();
                auto mark = [](std::int32_t offset, const char* marker) {
                    return std::string(offset != 0 ? marker : ",");
                };
                index += format_degrees(bgl_latitude(h.FL_south_bounds)) + ", " +
                         format_degrees(bgl_latitude(h.FL_north_bounds)) + ", " +
                         format_degrees(bgl_longitude(h.FL_west_bounds)) + ", " +
                         format_degrees(bgl_longitude(h.FL_east_bounds)) + ", " + name + ", " +
                         mark(h.FL_object_ptr, "OBJ,") + mark(h.FL_library_ptr, "LIB,") +
                         mark(h.FL_misc_data, "MIS,") + mark(h.FL_terrain_data, "TER,") +
                         mark(h.FL_adf_data, "ADF,") + mark(h.FL_vor_ptr, "VOR,") +
                         mark(h.FL_facilities_ptr, "FAC,") + mark(h.FL_dynamic_data, "DYN,") +
                         mark(h.FL_exceptions, "EXC,") + mark(h.FL_magvar, "MAG,") +
                         mark(h.FL_msa_data, "MSA,") +
                         std::string(h.FL_magic != 0 && ext.facility2_data != 0 ? "AFD," : ",") +
                         path + kLineEnd;
            }
            ++done;
        }
        prgScan.set_value(static_cast<int>(done));
        if (stop_) return;
        ui::write_file_atomic(ui::program_file("bglIndex.txt"), index);
        ui::platform().set_busy(false);
        box("The file 'bglIndex.txt' has been created in the gorvane directory.", ui::Icon::Information);
    } catch (const ui::StopRequest&) {
        throw;
    } catch (const std::exception& e) {
        report_error(e);
    }
}

// ---- changes to the selected library ----

void LibView::make_universal() {
    if (running_) return;
    try {
        const std::string library = selected_path();
        if (!ends_with_ci(library, ".BGL")) return;
        const std::string backup = backup_path(library);
        bool make_backup = true;
        if (ui::file_exists(backup)) {
            box("A backup of this file already exists.\r\n You can use 'Revert' to restore original",
                ui::Icon::Information);
            make_backup = false;
        }
        if (!is_library_file(library)) {
            box("This is not a library file.\r\n Only library files can be modified", ui::Icon::Exclamation);
            return;
        }
        const ui::Answer a = ui::platform().message_box(
            {"ATTENTION ! This will modify the header of the library file to make it available outside "
             "the intended area.\r\nA copy of the original will be saved under the '.bck' "
             "extension.\r\nYou can restore the original file by clicking the 'Revert' button anytime "
             "you wish.\r\nAre you sure you want to proceed ? ",
             "", ui::Icon::Exclamation, ui::Buttons::YesNo});
        if (a == ui::Answer::Yes) {
            // The backup first; the library is only replaced once the new bytes are complete.
            if (make_backup) copy_file(library, backup);
            write_universal_bounds(library);
        }
        refresh_files();
    } catch (const ui::StopRequest&) {
        throw;
    } catch (const std::exception& e) {
        report_error(e);
        refresh_files();
    }
}

void LibView::revert_to_original() {
    if (running_) return;
    try {
        const std::string selected = selected_path();
        std::string library;
        if (ends_with_ci(selected, ".BCK")) library = selected.substr(0, selected.size() - 4);
        else if (ends_with_ci(selected, ".BGL")) library = selected;
        else return;
        const std::string backup = backup_path(library);
        if (!ui::file_exists(backup)) {
            box("No backup file found. Nothing to do", ui::Icon::Exclamation);
            return;
        }
        if (ui::file_exists(library) && ends_with_ci(library, ".BGL")) {
            copy_file(backup, library);
            box("File restored.", ui::Icon::Information);
            ui::delete_file(backup);
        }
        refresh_files();
    } catch (const ui::StopRequest&) {
        throw;
    } catch (const std::exception& e) {
        report_error(e);
        refresh_files();
    }
}

void LibView::modify_guid() {
    if (running_) return;
    ui::desktop().show(guid_editor(), true, this);
}

void show_library_browser(ui::Window* owner) {
    auto& instance = browser_instance();
    if (!instance) instance = std::make_unique<LibView>();
    ui::desktop().show(*instance, false, owner);
}

LibView* library_browser() { return browser_instance().get(); }

}  // namespace libtool
