#pragma once
// Script actions performed on the native controls, so that scripts test the real windows:
// typing sets the edit's text (the edit reports the change), buttons are clicked, list
// selections are made and reported the way the control reports a user's choice.
#include "../script/script_runner.h"
#include "binder.h"
#include "win32_platform.h"

#include <commctrl.h>

namespace ui {

class NativeDriver : public ScriptDriver {
public:
    explicit NativeDriver(Win32Binder& binder) : binder_(binder) {}
    // Where `snap NAME` puts its pictures ("": nowhere).
    void set_snap_folder(std::string folder) { snap_folder_ = std::move(folder); }

    void type(Control& c, const std::string& text) override {
        HWND h = binder_.hwnd_of(c);
        if (!h) return ScriptDriver::type(c, text);
        SetWindowTextA(h, text.c_str());  // the edit notifies its parent with EN_CHANGE
    }
    void click(Control& c) override {
        if (c.kind() == Kind::Menu) return binder_.choose_menu_item(c);
        HWND h = binder_.hwnd_of(c);
        if (!h) return ScriptDriver::click(c);
        if (c.kind() == Kind::Button || c.kind() == Kind::CheckBox || c.kind() == Kind::Option)
            SendMessageA(h, BM_CLICK, 0, 0);
        else
            notify(c, h, STN_CLICKED);
    }
    void dblclick(Control& c) override {
        HWND h = binder_.hwnd_of(c);
        if (!h) return ScriptDriver::dblclick(c);
        notify(c, h, c.kind() == Kind::ListBox ? LBN_DBLCLK : STN_DBLCLK);
    }
    void select(Control& c, int position) override {
        HWND h = binder_.hwnd_of(c);
        if (!h) return ScriptDriver::select(c, position);
        if (c.kind() == Kind::Tab) {  // a page chosen by the user is reported as a notification
            SendMessageA(h, TCM_SETCURSEL, static_cast<WPARAM>(position), 0);
            NMHDR n{h, static_cast<UINT_PTR>(GetDlgCtrlID(h)), static_cast<UINT>(TCN_SELCHANGE)};
            SendMessageA(GetParent(h), WM_NOTIFY, n.idFrom, reinterpret_cast<LPARAM>(&n));
            return;
        }
        bool list = c.kind() == Kind::ListBox;
        SendMessageA(h, list ? LB_SETCURSEL : CB_SETCURSEL, static_cast<WPARAM>(position), 0);
        notify(c, h, list ? LBN_SELCHANGE : CBN_SELCHANGE);
    }
    void check(Control& c, int value) override {
        HWND h = binder_.hwnd_of(c);
        if (!h) return ScriptDriver::check(c, value);
        if (static_cast<int>(SendMessageA(h, BM_GETCHECK, 0, 0)) != value) SendMessageA(h, BM_CLICK, 0, 0);
    }
    void leave(Control& c) override {
        HWND h = binder_.hwnd_of(c);
        if (!h) return ScriptDriver::leave(c);
        notify(c, h, c.kind() == Kind::ComboBox ? CBN_KILLFOCUS : EN_KILLFOCUS);
    }
    void click_at(Control& c, int x, int y) override {
        HWND h = binder_.hwnd_of(c);
        if (!h) return ScriptDriver::click_at(c, x, y);
        SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    void close(Window& w) override {
        HWND h = binder_.hwnd_of(w);
        if (!h) return ScriptDriver::close(w);
        SendMessageA(h, WM_CLOSE, 0, 0);
    }
    void settle() override { Win32Binder::pump(); }
    void snap(const std::string& name) override {
        if (!snap_folder_.empty()) snapshot(binder_, snap_folder_, name);
    }

private:
    void notify(Control&, HWND h, WORD code) {
        SendMessageA(GetParent(h), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), code), reinterpret_cast<LPARAM>(h));
    }
    Win32Binder& binder_;
    std::string snap_folder_;
};

}  // namespace ui
