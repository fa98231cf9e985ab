#pragma once
// The generic Win32 binder: real windows and controls made from window models. Native events
// become model events; after every event the model's state is pushed back to the natives.
#include <map>
#include <string>
#include <vector>

#include <windows.h>
#undef MessageBox

#include "../window.h"

namespace ui {

class Win32Binder : public DesktopObserver {
public:
    explicit Win32Binder(HINSTANCE instance);
    ~Win32Binder() override;

    void window_shown(Window& w) override;
    void window_closed(Window& w) override;
    void window_activated(Window& w) override;
    void refresh() override;

    HWND hwnd_of(const Window& w) const;
    HWND hwnd_of(const Control& c) const;
    HWND active_hwnd() const;
    // The window that was closed last is Form1 (or every window is closed): time to quit.
    bool quit_requested() const { return quit_; }
    void set_busy(bool busy);
    // The text of a native window or control.
    static std::string native_text(HWND h);
    // Runs pending native messages without blocking.
    static void pump();

    // Native → model, shared with the script driver that works through native controls.
    void on_command(HWND parent, WORD id, WORD code, HWND child);
    // Chooses a menu item as a user would (the window receives its command).
    void choose_menu_item(const Control& c);
    // The native caption of a menu or menu item, and whether it is enabled; false when the
    // control has no native menu entry.
    bool menu_entry(const Control& c, std::string& caption, bool& enabled) const;

private:
    struct NativeControl {
        Control* model = nullptr;
        HWND hwnd = nullptr;
        std::uint64_t revision = ~0ull;
        std::vector<std::string> items;
        HBRUSH brush = nullptr;
        HBITMAP bitmap = nullptr;
        std::uint32_t brush_colour = kDefaultColour;
        HMENU menu = nullptr;  // Menu: the menu (or menu bar) holding the entry, at `position`
        UINT position = 0;
    };
    struct NativeWindow {
        Window* model = nullptr;
        HWND hwnd = nullptr;
        std::uint64_t revision = ~0ull;
        std::vector<NativeControl> controls;
        HWND tooltip = nullptr;
    };
    static LRESULT CALLBACK window_proc(HWND, UINT, WPARAM, LPARAM);
    // The window procedure of Image controls: paints the model's picture, reports the mouse.
    static LRESULT CALLBACK image_proc(HWND, UINT, WPARAM, LPARAM);
    LRESULT handle(NativeWindow& nw, UINT msg, WPARAM wp, LPARAM lp);
    void create_controls(NativeWindow& nw);
    void create_menus(NativeWindow& nw);
    const NativeControl* native_of(const Control& c) const;
    static void release(NativeWindow& nw);
    void push(NativeWindow& nw);
    void push(NativeControl& nc);
    NativeWindow* find(HWND hwnd);
    NativeControl* find_control(NativeWindow& nw, HWND child);
    static NativeControl* find_native(NativeWindow& nw, const Control* model);

    HINSTANCE instance_;
    std::map<const Window*, NativeWindow> windows_;
    HFONT font_ = nullptr, bold_font_ = nullptr, fixed_font_ = nullptr, link_font_ = nullptr;
    bool pushing_ = false;
    bool activating_ = false;
    bool quit_ = false;
    bool busy_ = false;
};

}  // namespace ui
