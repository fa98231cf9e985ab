#pragma once
// The identifier editor: lists the objects of the library selected in the browser and gives one
// of them a new identifier, in its object header and its index entry, with a line in
// "libLog.txt".
#include <string>

#include "libtool/library_objects.h"
#include "ui/window.h"

namespace libtool {

class LibView;

class FrmGUIDMod : public ui::Window {
public:
    explicit FrmGUIDMod(LibView& browser);

    ui::Control& Label1 = label("Label1",
        "This utility modifies your original files. Although a backup is automatically created, "
        "you are strongly advised to BACKUP your files before proceeding.");
    ui::Control& guidList = list_box("guidList");
    ui::Control& guidID1 = text_box("guidID", 1);
    ui::Control& guidID2 = text_box("guidID", 2);
    ui::Control& guidID3 = text_box("guidID", 3);
    ui::Control& guidID4 = text_box("guidID", 4);
    ui::Control& Command1 = button("Command1", "Modify");

    ui::Control& guidID(int n);  // 1 .. 4

    // Lists the objects of the browser's selected library (each time the window opens).
    void load_objects();
    void guidList_Click();
    void guidID_LostFocus(int n);
    void Modify_Click();

    const LibraryObjects& objects() const { return objects_; }

private:
    LibView& browser_;
    LibraryObjects objects_;
};

// The text of a box read as hexadecimal, as nine hex digits ("0" for a text without digits).
std::string hex_box_text(const std::string& text);
std::uint32_t hex_box_value(const std::string& text);

}  // namespace libtool
