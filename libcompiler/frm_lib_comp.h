#pragma once
// The library compiler window: a list of exported objects, each with its name, identifier,
// image power, scale, type and size, turned into the source of a library BGL, compiled with
// bglc, and kept in ".ocm" save files.
#include <string>
#include <vector>

#include "libcompiler/library_compiler.h"
#include "ui/window.h"

namespace libcompiler {

class FrmLibComp : public ui::Window {
public:
    // version: the program's version text, written into the sources and macros.
    explicit FrmLibComp(std::string version);

    ui::Control& Label1 = label("Label1", "Exported object");
    ui::Control& libFileAdd = text_box("libFileAdd");
    ui::Control& Command1 = button("Command1", "...");
    ui::Control& Label2 = label("Label2", "Object name");
    ui::Control& libObjName = text_box("libObjName");
    ui::Control& Label3 = label("Label3", "GUID");
    ui::Control& libGUID = text_box("libGUID");
    ui::Control& Command8 = button("Command8", "New");
    ui::Control& Command9 = button("Command9", "Increment");
    ui::Control& Label4 = label("Label4", "Image power");
    ui::Control& libImgPwr = text_box("libImgPwr");
    ui::Control& Label5 = label("Label5", "Scale");
    ui::Control& libScale = text_box("libScale");
    ui::Control& Label6 = label("Label6", "Type");
    ui::Control& libObjType = text_box("libObjType");
    ui::Control& Label7 = label("Label7", "Size");
    ui::Control& libObjSize = text_box("libObjSize");
    ui::Control& Command2 = button("Command2", "Add to List");
    ui::Control& Command4 = button("Command4", "Modify");
    ui::Control& Command3 = button("Command3", "Remove File");
    ui::Control& Label8 = label("Label8", "Library objects");
    ui::Control& libFileList = list_box("libFileList");
    ui::Control& Label9 = label("Label9", "Library source");
    ui::Control& libOutFile = text_box("libOutFile");
    ui::Control& Command5 = button("Command5", "...");
    ui::Control& Command6 = button("Command6", "Create Library Source File");
    ui::Control& Command7 = button("Command7", "Compile to BGL");
    ui::Control& Command10 = button("Command10", "Create API macro");
    ui::Control& Sort = list_box("Sort");
    ui::Control& mnuFile = menu("mnuFile", "File");
    ui::Control& mnuLoad = menu("mnuLoad", "Load");
    ui::Control& mnuSave = menu("mnuSave", "Save");
    ui::Control& mnuExit = menu("mnuExit", "Exit");

    void PickSource_Click();   // Command1
    void AddToList_Click();    // Command2
    void Modify_Click();       // Command4
    void RemoveFile_Click();   // Command3
    void FileList_Click();     // libFileList
    void PickOutput_Click();   // Command5
    void CreateSource_Click(); // Command6
    void Compile_Click();      // Command7
    void ApiMacro_Click();     // Command10
    void New_Click();          // Command8
    void Increment_Click();    // Command9
    void Save_Click();         // mnuSave
    void Load_Click();         // mnuLoad

    // The object table: records numbered from 1 in the order they were added or loaded.
    const libtool::LibraryObjects& objects() const { return table_; }
    // The listed objects in list order.
    std::vector<LibraryEntry> listed_entries() const;

private:
    void reset();
    void read_object_source(const std::string& base);
    // Fills the record's fields from the boxes; false (after the box that says why) when a box
    // holds a value that cannot be stored. The record is left as it was then.
    bool record_from_boxes(LibraryObjectRecord& record);
    // The output box's file with ".asm" appended (in the box too) unless it ends so.
    std::string output_source();

    std::string version_;
    libtool::LibraryObjects table_;
};

// Opens the library compiler (one per program) beside the owner, without blocking it.
void show_library_compiler(ui::Window* owner, const std::string& version);
// The window that show_library_compiler opened, or null.
FrmLibComp* library_compiler();

}  // namespace libcompiler
