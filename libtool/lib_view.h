#pragma once
// The library browser window: picks BGL files, analyses one (header report and object list),
// scans a folder tree for library objects, writes "bglIndex.txt", and starts the changes to a
// library (universal bounds, revert, new identifier). Its output box overflows into "out.txt".
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "libtool/library_objects.h"
#include "libtool/output_sink.h"
#include "ui/window.h"

namespace libtool {

class FrmGUIDMod;

// The counters of the last scan.
struct ScanCounters {
    long folders = 0;
    long files = 0;
    long bgl_files = 0;
    long invalid = 0;
    long compressed = 0;
    long object_files = 0;
    long library_files = 0;
    long library_objects = 0;
    std::string start_folder;
};

class LibView : public ui::Window, public OutputSink {
public:
    LibView();
    ~LibView() override;

    ui::Control& Drive1 = combo_box("Drive1");
    ui::Control& Dir1 = list_box("Dir1");
    ui::Control& File1 = list_box("File1");
    ui::Control& inpFilename = text_box("inpFilename");
    ui::Control& Command2 = button("Command2", "...");
    ui::Control& Command1 = button("Command1", "Analyse Selected file");
    ui::Control& Command3 = button("Command3", "Search Selected Directory");
    ui::Control& Command4 = button("Command4", "Clear List");
    ui::Control& Command5 = button("Command5", "Make Universal");
    ui::Control& Command6 = button("Command6", "Revert to Original");
    ui::Control& Command7 = button("Command7", "Create BGL List");
    ui::Control& Command8 = button("Command8", "Modify GUID");
    ui::Control& chkClrTb = check_box("chkClrTb", "AC");
    ui::Control& chkShowRawHdr = check_box("chkShowRawHdr", "Show Header");
    ui::Control& chkBin = check_box("chkBin", "Raw Data");
    ui::Control& tb1 = text_box("tb1");
    ui::Control& lblScan = label("lblScan", "");
    ui::Control& prgScan = progress("prgScan");

    // The output box.
    void append_output(const std::string& text, bool no_line_end = false) override;
    const std::string& box_text() const { return box_; }

    // The folder shown in Dir1 (the folder that scans start from) and moving it; false (and the
    // folder unchanged) when the folder cannot be read.
    const std::string& dir_path() const { return dir_path_; }
    bool set_dir_path(const std::string& folder);
    // Folder of Dir1 + the file selected in File1 (the folder + separator when none).
    std::string selected_path() const;
    std::string selected_name() const { return File1.selected_text(); }
    // Lists the files of the folder again, keeping the selection when the file still exists.
    void refresh_files();

    void analyse();            // Command1 and a click in File1
    void scan();               // Command3
    void create_bgl_list();    // Command7
    void clear_list();         // Command4: also stops a running scan
    void make_universal();     // Command5
    void revert_to_original(); // Command6
    void modify_guid();        // Command8
    void browse();             // Command2

    const ScanCounters& counters() const { return counters_; }
    const LibraryObjects& objects() const { return objects_; }
    bool busy() const { return running_; }
    FrmGUIDMod& guid_editor();
    // Least time between repaints (and window events) while a run goes on.
    void set_repaint_interval(std::chrono::milliseconds every) { repaint_every_ = every; }

private:
    friend class FrmGUIDMod;
    struct Running;
    void fill_dirs();
    void fill_drives();
    void sync_box();
    void repaint(bool force);
    bool keep_going(const std::function<void()>& show_progress);
    void write_out_txt();
    void lock_for_run(bool locked);
    void show_counters(std::size_t folders_done);
    void list_objects_of(const std::string& path, long count);
    void report_error(const std::exception& e);

    std::string box_;
    std::string dir_path_;
    bool overflow_ = false;
    bool syncing_ = false;
    bool filling_ = false;
    bool running_ = false;
    bool stop_ = false;
    LibraryObjects objects_;
    ScanCounters counters_;
    std::chrono::steady_clock::time_point last_repaint_{};
    std::chrono::milliseconds repaint_every_{40};
    std::unique_ptr<FrmGUIDMod> guid_editor_;
};

// Opens the library browser (one per program) over the owner window.
void show_library_browser(ui::Window* owner);
// The browser that show_library_browser opened, or null.
LibView* library_browser();

}  // namespace libtool
