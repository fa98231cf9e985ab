#pragma once
// Runs a script of user actions against the open windows and prints what a user would see.
//
//   set CONTROL TEXT        type into a box (fires Change)
//   click CONTROL           press a button, toggle a check box, pick an option, click a label,
//                           choose a menu item
//   dblclick CONTROL        double-click (lists)
//   select CONTROL ITEM     pick a list or combo item by its text, or #N for position N (from 0)
//   check CONTROL 0|1       set a check box
//   leave CONTROL           the control loses the focus
//   answer yes|no|ok|cancel|retry|abort|ignore   the answer to the next message box
//   choose PATH|cancel      the answer to the next file dialog
//   colour RRGGBB|cancel    the answer to the next colour dialog
//   window NAME             later commands address this window (Form1 at start)
//   close [NAME]            close a window (the addressed one by default)
//   snap NAME               (real windows) a picture of each open window now, WINDOW-NAME.png
//   wait FILE               (real runs) until a program the run started has written FILE (a
//                           name without folder: in the program folder); at most a minute
//   print CONTROL[.PROP]    print its text, or its items with the selection marked
//   expect CONTROL[.PROP] TEXT   exit status 1 at the end when it differs (\n stands for a line break)
//   # comment
// ${NAME} in a line stands for the environment variable NAME.
// CONTROL is a control name (Text1, Option1(2)) or a caption in double quotes ("Open").
// PROP: text, items, count, index, enabled, visible, forecolor, backcolor, caption, tooltip, value.
#include <istream>
#include <ostream>
#include <string>

#include "../window.h"
#include "script_platform.h"

namespace ui {

// How actions reach the windows: straight into the models (headless) or through native controls.
class ScriptDriver {
public:
    virtual ~ScriptDriver() = default;
    virtual void type(Control& c, const std::string& text) { c.set_text(text); }
    virtual void click(Control& c) { c.click(); }
    virtual void dblclick(Control& c) { c.dblclick(); }
    virtual void select(Control& c, int position) { c.set_list_index(position); }
    virtual void check(Control& c, int value) {
        if (c.value() != value) c.click();
    }
    virtual void leave(Control& c) { c.lost_focus(); }
    // A press and release of the left button at a pixel of a picture.
    virtual void click_at(Control& c, int x, int y) {
        c.mouse({MouseEvent::Down, x, y, 0});
        c.mouse({MouseEvent::Up, x, y, 0});
    }
    virtual void close(Window& w) { desktop().close(w); }
    virtual void settle() {}
    // Pictures of the open windows, named after them and `name`; headless there is nothing to picture.
    virtual void snap(const std::string& name) { (void)name; }
};

class ScriptRunner {
public:
    ScriptRunner(ScriptPlatform& platform, std::ostream& out, ScriptDriver& driver)
        : platform_(platform), out_(out), driver_(driver) {}

    // Runs the script; returns 0, 1 (an expectation failed) or 2 (the script could not go on).
    int run(std::istream& script);
    // Runs one line; throws StopRequest when the script cannot go on.
    void run_line(const std::string& line);
    bool failed() const { return failed_; }

private:
    std::string expand(const std::string& line);
    Window& current();
    Control& resolve(const std::string& token, std::string* property);
    std::string property(Control& c, const std::string& prop);
    void wait_for_file(const std::string& name);
    ScriptPlatform& platform_;
    std::ostream& out_;
    ScriptDriver& driver_;
    std::string window_ = "Form1";
    bool failed_ = false;
    int line_no_ = 0;
};

}  // namespace ui
