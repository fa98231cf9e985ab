#include <cstdio>
#include <fstream>

#include <windows.h>
#include <commctrl.h>

#include "../fileio.h"
#include "../png.h"
#include "../script/script_platform.h"
#include "win32_platform.h"

namespace ui {

namespace {

std::string list_text(HWND h, bool list) {
    int n = static_cast<int>(SendMessageA(h, list ? LB_GETCOUNT : CB_GETCOUNT, 0, 0));
    int sel = static_cast<int>(SendMessageA(h, list ? LB_GETCURSEL : CB_GETCURSEL, 0, 0));
    std::string r;
    for (int i = 0; i < n; ++i) {
        int len = static_cast<int>(SendMessageA(h, list ? LB_GETTEXTLEN : CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0));
        std::string item(static_cast<size_t>(len) + 1, '\0');
        SendMessageA(h, list ? LB_GETTEXT : CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
        item.resize(static_cast<size_t>(len));
        r += (i ? "|" : "") + std::string(i == sel ? ">" : "") + item;
    }
    return r;
}

void capture(HWND hwnd, const std::string& path) {
    // Raise the window and let the display show it before repainting, so that nothing of the
    // windows that covered it remains in the picture.
    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    auto settle = [] {
        for (int i = 0; i < 8; ++i) {
            Win32Binder::pump();
            Sleep(25);
        }
    };
    settle();
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    settle();
    RECT r;
    GetWindowRect(hwnd, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    std::vector<std::uint8_t> rgb(static_cast<size_t>(w) * h * 3);
    auto* px = static_cast<const std::uint8_t*>(bits);
    for (size_t i = 0; i < static_cast<size_t>(w) * h; ++i) {
        rgb[i * 3] = px[i * 4 + 2];
        rgb[i * 3 + 1] = px[i * 4 + 1];
        rgb[i * 3 + 2] = px[i * 4];
    }
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    SetWindowPos(hwnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    write_file_atomic(path, encode_png(w, h, rgb));
}

// The page captions of a tab control, the shown one marked as lists mark their selection.
std::string tab_text(HWND h) {
    int n = static_cast<int>(SendMessageA(h, TCM_GETITEMCOUNT, 0, 0));
    int sel = static_cast<int>(SendMessageA(h, TCM_GETCURSEL, 0, 0));
    std::string r;
    for (int i = 0; i < n; ++i) {
        char buf[256] = {};
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = buf;
        item.cchTextMax = sizeof buf;
        SendMessageA(h, TCM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        r += (i ? "|" : "") + std::string(i == sel ? ">" : "") + buf;
    }
    return r;
}

}  // namespace

int snapshot(Win32Binder& binder, const std::string& folder, const std::string& name) {
    CreateDirectoryA(folder.c_str(), nullptr);
    int taken = 0;
    for (Window* w : desktop().open_windows()) {
        HWND hwnd = binder.hwnd_of(*w);
        if (!hwnd) continue;
        ++taken;
        const std::string stem = folder + "\\" + w->name() + (name.empty() ? "" : "-" + name);
        capture(hwnd, stem + ".png");
        std::string text = "window\t" + w->name() + "\t" + Win32Binder::native_text(hwnd) + "\n";
        for (auto& c : w->controls()) {
            std::string caption;
            bool enabled = false;
            if (c->kind() == Kind::Menu && binder.menu_entry(*c, caption, enabled)) {
                text += c->full_name() + "\tMENU\t" + (enabled ? "enabled" : "disabled") + "\tvisible\t" + caption + "\n";
                continue;
            }
            HWND h = binder.hwnd_of(*c);
            if (!h) continue;
            char cls[64] = {};
            GetClassNameA(h, cls, sizeof cls);
            std::string value;
            std::string k = cls;
            for (char& ch : k) ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
            if (k == "LISTBOX") value = list_text(h, true);
            else if (k == "COMBOBOX") value = list_text(h, false);
            else if (k == "SYSTABCONTROL32") value = tab_text(h);
            else value = Win32Binder::native_text(h);
            if (k == "BUTTON" && (c->kind() == Kind::CheckBox || c->kind() == Kind::Option))
                value += "\t" + std::to_string(static_cast<int>(SendMessageA(h, BM_GETCHECK, 0, 0)));
            text += c->full_name() + "\t" + cls + "\t" + (IsWindowEnabled(h) ? "enabled" : "disabled") + "\t" +
                    (IsWindowVisible(h) ? "visible" : "hidden") + "\t" + show_breaks(value) + "\n";
        }
        write_file_atomic(stem + ".txt", text);
    }
    return taken;
}

}  // namespace ui
