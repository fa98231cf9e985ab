#include "binder.h"

#include <commctrl.h>

#include "../errors.h"

namespace ui {

namespace {

constexpr const char* kWindowClass = "GorvaneWindow";
constexpr const char* kImageClass = "GorvaneImage";
constexpr const char* kControlProp = "GorvaneControl";
constexpr const char* kBinderProp = "GorvaneBinder";
constexpr WORD kFirstId = 1000;

COLORREF colour(std::uint32_t c) { return static_cast<COLORREF>(c & 0xFFFFFF); }

// The colour a tab control fills its pages with (white under most themes, the button face
// without one): the control is drawn into memory and its middle read.
COLORREF page_colour(HWND tab, int w, int h) {
    HDC screen = GetDC(tab);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, bmp);
    RECT r{0, 0, w, h};
    FillRect(mem, &r, GetSysColorBrush(COLOR_BTNFACE));
    SendMessageA(tab, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT);
    COLORREF c = GetPixel(mem, w / 2, h / 2);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(tab, screen);
    return c == CLR_INVALID ? GetSysColor(COLOR_BTNFACE) : c;
}

}  // namespace

std::string Win32Binder::native_text(HWND h) {
    int n = GetWindowTextLengthA(h);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    GetWindowTextA(h, s.data(), n + 1);
    s.resize(static_cast<size_t>(n));
    return s;
}

Win32Binder::Win32Binder(HINSTANCE instance) : instance_(instance) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = window_proc;
    wc.hInstance = instance_;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    wc.hIcon = LoadIcon(instance_, MAKEINTRESOURCE(1));
    if (!wc.hIcon) wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    RegisterClassExA(&wc);
    WNDCLASSEXA ic{};
    ic.cbSize = sizeof ic;
    ic.lpfnWndProc = image_proc;
    ic.hInstance = instance_;
    ic.hCursor = LoadCursor(nullptr, IDC_CROSS);
    ic.lpszClassName = kImageClass;
    RegisterClassExA(&ic);
    font_ = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_SWISS, "Tahoma");
    bold_font_ = CreateFontA(-22, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_SWISS, "Arial");
    link_font_ = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, TRUE, 0, ANSI_CHARSET, 0, 0, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_SWISS, "Tahoma");
    fixed_font_ = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, DEFAULT_QUALITY,
                              FIXED_PITCH | FF_MODERN, "Courier New");
}

Win32Binder::~Win32Binder() {
    for (auto& [model, nw] : windows_) {
        if (nw.hwnd) DestroyWindow(nw.hwnd);
        release(nw);
    }
    DeleteObject(font_);
    DeleteObject(bold_font_);
    DeleteObject(fixed_font_);
    DeleteObject(link_font_);
}

HWND Win32Binder::hwnd_of(const Window& w) const {
    auto it = windows_.find(&w);
    return it == windows_.end() ? nullptr : it->second.hwnd;
}

HWND Win32Binder::hwnd_of(const Control& c) const {
    const NativeControl* nc = native_of(c);
    return nc ? nc->hwnd : nullptr;
}

HWND Win32Binder::active_hwnd() const {
    Window* a = desktop().active();
    return a ? hwnd_of(*a) : nullptr;
}

void Win32Binder::pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        HWND top = GetAncestor(msg.hwnd, GA_ROOT);
        if (!top || !IsDialogMessageA(top, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

void Win32Binder::set_busy(bool busy) {
    busy_ = busy;
    SetCursor(LoadCursor(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

void Win32Binder::window_shown(Window& w) {
    NativeWindow& nw = windows_[&w];
    nw.model = &w;
    // No WS_CLIPCHILDREN: the window paints the background that group boxes leave to it.
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT r{0, 0, w.width(), w.height()};
    bool has_menu = false;
    for (auto& c : w.controls()) has_menu = has_menu || c->kind() == Kind::Menu;
    AdjustWindowRectEx(&r, style, has_menu, WS_EX_CONTROLPARENT);
    HWND owner = w.owner() ? hwnd_of(*w.owner()) : nullptr;
    if (!owner && desktop().open_windows().size() > 1) owner = hwnd_of(*desktop().open_windows().front());
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT;
    if (owner) {
        RECT o;
        GetWindowRect(owner, &o);
        x = o.left + 40;
        y = o.top + 40;
    }
    nw.hwnd = CreateWindowExA(WS_EX_CONTROLPARENT, kWindowClass, w.caption().c_str(), style, x, y,
                              r.right - r.left, r.bottom - r.top, owner, nullptr, instance_, nullptr);
    SetWindowLongPtrA(nw.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    create_controls(nw);
    create_menus(nw);
    push(nw);
    if (w.is_modal() && owner) EnableWindow(owner, FALSE);
    ShowWindow(nw.hwnd, SW_SHOWNORMAL);
    UpdateWindow(nw.hwnd);
}

void Win32Binder::window_closed(Window& w) {
    auto it = windows_.find(&w);
    if (it == windows_.end()) return;
    HWND owner = GetWindow(it->second.hwnd, GW_OWNER);
    if (w.is_modal() && owner) EnableWindow(owner, TRUE);
    HWND h = it->second.hwnd;
    NativeWindow gone = std::move(it->second);
    windows_.erase(it);
    DestroyWindow(h);
    release(gone);
    if (w.name() == "Form1" || desktop().open_windows().empty()) {
        quit_ = true;
        PostQuitMessage(0);
    }
}

void Win32Binder::release(NativeWindow& nw) {
    for (auto& nc : nw.controls) {
        if (nc.brush) DeleteObject(nc.brush);
        if (nc.bitmap) DeleteObject(nc.bitmap);
    }
}

void Win32Binder::window_activated(Window& w) {
    if (activating_) return;
    HWND h = hwnd_of(w);
    if (!h) return;
    activating_ = true;
    SetForegroundWindow(h);
    SetActiveWindow(h);
    activating_ = false;
}

void Win32Binder::refresh() {
    if (pushing_) return;
    for (auto& [model, nw] : windows_) {
        push(nw);
        UpdateWindow(nw.hwnd);
    }
}

void Win32Binder::create_controls(NativeWindow& nw) {
    const auto& controls = nw.model->controls();
    nw.controls.resize(controls.size());
    nw.tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nw.hwnd,
                                 nullptr, instance_, nullptr);
    SendMessageA(nw.tooltip, TTM_SETMAXTIPWIDTH, 0, 320);
    // Frames, then tab controls, are made last so that they lie below the controls they hold
    // (the first child made is the top one); the others keep their order, which is also the
    // tab order.
    auto layer = [](Kind k) { return k == Kind::Frame ? 1 : k == Kind::Tab ? 2 : 0; };
    std::vector<size_t> order;
    for (int pass = 0; pass < 3; ++pass)
        for (size_t i = 0; i < controls.size(); ++i)
            if (layer(controls[i]->kind()) == pass) order.push_back(i);
    for (size_t i : order) {
        Control& c = *controls[i];
        NativeControl& nc = nw.controls[i];
        nc.model = &c;
        if (c.kind() == Kind::Menu) continue;
        const char* cls = "STATIC";
        DWORD style = WS_CHILD | WS_CLIPSIBLINGS, ex = 0;
        int h = c.rect.h;
        switch (c.kind()) {
            case Kind::Label:
                style |= SS_LEFT | (c.clickable ? SS_NOTIFY : 0);
                break;
            case Kind::Swatch:
                style |= SS_NOTIFY;
                ex = WS_EX_STATICEDGE;
                break;
            case Kind::TextBox:
                cls = "EDIT";
                style |= WS_TABSTOP | ES_AUTOHSCROLL;
                ex = WS_EX_CLIENTEDGE;
                if (c.multiline) style = (style & ~ES_AUTOHSCROLL) | ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL;
                if (c.multiline && c.scroll_bars) style |= WS_HSCROLL | ES_AUTOHSCROLL;
                if (c.read_only) style |= ES_READONLY;
                break;
            case Kind::Button:
                cls = "BUTTON";
                style |= WS_TABSTOP | BS_PUSHBUTTON;
                break;
            case Kind::CheckBox:
                cls = "BUTTON";
                style |= WS_TABSTOP | BS_AUTOCHECKBOX;
                break;
            case Kind::Option:
                cls = "BUTTON";
                style |= WS_TABSTOP | BS_AUTORADIOBUTTON;
                break;
            case Kind::ListBox:
                cls = "LISTBOX";
                style |= WS_TABSTOP | LBS_NOTIFY | WS_VSCROLL | LBS_NOINTEGRALHEIGHT;
                ex = WS_EX_CLIENTEDGE;
                break;
            case Kind::ComboBox:
                cls = "COMBOBOX";
                style |= WS_TABSTOP | WS_VSCROLL | (c.editable ? CBS_DROPDOWN | CBS_AUTOHSCROLL : CBS_DROPDOWNLIST);
                h += 200;
                break;
            case Kind::Frame:
                cls = "BUTTON";
                style |= BS_GROUPBOX;
                break;
            case Kind::Progress:
                cls = PROGRESS_CLASSA;
                break;
            case Kind::Menu:
                break;
            case Kind::Tab:
                cls = WC_TABCONTROLA;
                style |= WS_TABSTOP;
                break;
            case Kind::Picture:
                style |= SS_BITMAP;
                break;
            case Kind::Image:
                cls = kImageClass;
                style |= WS_TABSTOP;
                ex = WS_EX_CLIENTEDGE;
                break;
        }
        nc.hwnd = CreateWindowExA(ex, cls, "", style, c.rect.x, c.rect.y, c.rect.w, h, nw.hwnd,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstId + i)), instance_, nullptr);
        // A label that acts on clicks looks like a link.
        bool link = c.kind() == Kind::Label && c.clickable;
        HFONT f = c.fixed_font ? fixed_font_ : c.bold ? bold_font_ : link ? link_font_ : font_;
        SendMessageA(nc.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(f), FALSE);
        if (c.kind() == Kind::TextBox)
            SendMessageA(nc.hwnd, EM_SETLIMITTEXT, static_cast<WPARAM>(c.max_length), 0);  // 0: no limit
        if (c.kind() == Kind::Tab) {  // the controls on its pages are drawn on the page's colour
            nc.brush_colour = page_colour(nc.hwnd, c.rect.w, c.rect.h);
            nc.brush = CreateSolidBrush(nc.brush_colour);
        }
        if (c.kind() == Kind::Image) {
            SetPropA(nc.hwnd, kControlProp, &c);
            SetPropA(nc.hwnd, kBinderProp, this);
        }
        if (c.kind() == Kind::Picture) {
            nc.bitmap = static_cast<HBITMAP>(
                LoadImageA(instance_, MAKEINTRESOURCEA(c.picture), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
            if (nc.bitmap) SendMessageA(nc.hwnd, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(nc.bitmap));
            else c.report_error();
        }
        if (!c.tooltip.empty()) {
            TOOLINFOA ti{};
            ti.cbSize = sizeof ti;
            ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            ti.hwnd = nw.hwnd;
            ti.uId = reinterpret_cast<UINT_PTR>(nc.hwnd);
            ti.lpszText = const_cast<char*>(c.tooltip.c_str());
            SendMessageA(nw.tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
        }
    }
}

// The menu bar: each top-level menu a popup holding the items placed in it, in model order.
// Items send their control's id as the command.
void Win32Binder::create_menus(NativeWindow& nw) {
    HMENU bar = nullptr;
    for (size_t i = 0; i < nw.controls.size(); ++i) {
        Control& top = *nw.controls[i].model;
        if (top.kind() != Kind::Menu || top.container) continue;
        if (!bar) bar = CreateMenu();
        HMENU popup = CreatePopupMenu();
        UINT items = 0;
        for (size_t k = 0; k < nw.controls.size(); ++k) {
            Control& item = *nw.controls[k].model;
            if (item.kind() != Kind::Menu || item.container != &top) continue;
            AppendMenuA(popup, MF_STRING, kFirstId + k, item.caption().c_str());
            nw.controls[k].menu = popup;
            nw.controls[k].position = items++;
        }
        nw.controls[i].menu = bar;
        nw.controls[i].position = static_cast<UINT>(GetMenuItemCount(bar));
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), top.caption().c_str());
    }
    if (bar) SetMenu(nw.hwnd, bar);
}

const Win32Binder::NativeControl* Win32Binder::native_of(const Control& c) const {
    auto it = windows_.find(&c.window());
    if (it == windows_.end()) return nullptr;
    for (auto& nc : it->second.controls)
        if (nc.model == &c) return &nc;
    return nullptr;
}

void Win32Binder::choose_menu_item(const Control& c) {
    HWND h = hwnd_of(c.window());
    const NativeControl* nc = native_of(c);
    if (!h || !nc || !nc->menu) return;
    const UINT id = GetMenuItemID(nc->menu, static_cast<int>(nc->position));
    if (id != static_cast<UINT>(-1)) SendMessageA(h, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

bool Win32Binder::menu_entry(const Control& c, std::string& caption, bool& enabled) const {
    const NativeControl* nc = native_of(c);
    if (!nc || !nc->menu) return false;
    char text[256] = {};
    GetMenuStringA(nc->menu, nc->position, text, sizeof text, MF_BYPOSITION);
    caption = text;
    enabled = !(GetMenuState(nc->menu, nc->position, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED));
    return true;
}

void Win32Binder::push(NativeWindow& nw) {
    pushing_ = true;
    if (native_text(nw.hwnd) != nw.model->caption()) SetWindowTextA(nw.hwnd, nw.model->caption().c_str());
    for (auto& nc : nw.controls) push(nc);
    pushing_ = false;
}

void Win32Binder::push(NativeControl& nc) {
    Control& c = *nc.model;
    if (nc.revision == c.revision()) return;
    bool first = nc.revision == ~0ull;
    nc.revision = c.revision();
    if (c.kind() == Kind::Menu) {
        if (!nc.menu) return;
        MENUITEMINFOA mi{};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_STRING | MIIM_STATE;
        mi.dwTypeData = const_cast<char*>(c.caption().c_str());
        mi.fState = c.enabled() ? MFS_ENABLED : MFS_GRAYED;
        SetMenuItemInfoA(nc.menu, nc.position, TRUE, &mi);
        return;
    }
    HWND h = nc.hwnd;
    switch (c.kind()) {
        case Kind::TextBox:
            if (native_text(h) != c.text()) {
                SetWindowTextA(h, c.text().c_str());
                if (c.scroll_to_end) {
                    SendMessageA(h, EM_SETSEL, c.text().size(), static_cast<LPARAM>(c.text().size()));
                    SendMessageA(h, EM_SCROLLCARET, 0, 0);
                }
            }
            break;
        case Kind::Tab:
            if (nc.items != c.items()) {
                SendMessageA(h, TCM_DELETEALLITEMS, 0, 0);
                for (size_t i = 0; i < c.items().size(); ++i) {
                    TCITEMA item{};
                    item.mask = TCIF_TEXT;
                    item.pszText = const_cast<char*>(c.items()[i].c_str());
                    SendMessageA(h, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
                }
                nc.items = c.items();
            }
            if (static_cast<int>(SendMessageA(h, TCM_GETCURSEL, 0, 0)) != c.list_index())
                SendMessageA(h, TCM_SETCURSEL, static_cast<WPARAM>(c.list_index()), 0);
            break;
        case Kind::ListBox:
        case Kind::ComboBox: {
            bool list = c.kind() == Kind::ListBox;
            if (nc.items != c.items()) {
                SendMessageA(h, list ? LB_RESETCONTENT : CB_RESETCONTENT, 0, 0);
                for (auto& item : c.items())
                    SendMessageA(h, list ? LB_ADDSTRING : CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
                nc.items = c.items();
            }
            int sel = static_cast<int>(SendMessageA(h, list ? LB_GETCURSEL : CB_GETCURSEL, 0, 0));
            if (sel != c.list_index()) SendMessageA(h, list ? LB_SETCURSEL : CB_SETCURSEL, static_cast<WPARAM>(c.list_index()), 0);
            if (!list && c.editable && native_text(h) != c.text()) SetWindowTextA(h, c.text().c_str());
            break;
        }
        case Kind::CheckBox:
        case Kind::Option:
            if (native_text(h) != c.caption()) SetWindowTextA(h, c.caption().c_str());
            if (static_cast<int>(SendMessageA(h, BM_GETCHECK, 0, 0)) != c.value())
                SendMessageA(h, BM_SETCHECK, static_cast<WPARAM>(c.value()), 0);
            break;
        case Kind::Progress:
            SendMessageA(h, PBM_SETRANGE32, 0, c.max_value);
            SendMessageA(h, PBM_SETPOS, static_cast<WPARAM>(c.value()), 0);
            break;
        case Kind::Swatch:
        case Kind::Picture:
        case Kind::Image:
            break;
        default:
            if (native_text(h) != c.caption()) SetWindowTextA(h, c.caption().c_str());
            break;
    }
    if (first || static_cast<bool>(IsWindowEnabled(h)) != c.enabled()) EnableWindow(h, c.enabled());
    if (first || static_cast<bool>(IsWindowVisible(h)) != c.shown()) ShowWindow(h, c.shown() ? SW_SHOWNA : SW_HIDE);
    InvalidateRect(h, nullptr, TRUE);
}

Win32Binder::NativeWindow* Win32Binder::find(HWND hwnd) {
    for (auto& [model, nw] : windows_)
        if (nw.hwnd == hwnd) return &nw;
    return nullptr;
}

Win32Binder::NativeControl* Win32Binder::find_native(NativeWindow& nw, const Control* model) {
    for (auto& nc : nw.controls)
        if (nc.model == model) return &nc;
    return nullptr;
}

Win32Binder::NativeControl* Win32Binder::find_control(NativeWindow& nw, HWND child) {
    for (auto& nc : nw.controls)
        if (nc.hwnd == child) return &nc;
    return nullptr;
}

void Win32Binder::on_command(HWND parent, WORD id, WORD code, HWND child) {
    NativeWindow* nw = find(parent);
    if (!nw || id < kFirstId || static_cast<size_t>(id - kFirstId) >= nw->controls.size()) return;
    Control& c = *nw->controls[id - kFirstId].model;
    if (pushing_) return;
    switch (c.kind()) {
        case Kind::Button:
            if (code == BN_CLICKED) c.click();
            break;
        case Kind::CheckBox:
        case Kind::Option:
            if (code == BN_CLICKED) c.click();
            break;
        case Kind::Label:
        case Kind::Swatch:
            if (code == STN_CLICKED) c.click();
            else if (code == STN_DBLCLK) c.dblclick();
            break;
        case Kind::TextBox:
            if (code == EN_CHANGE) c.set_text(native_text(child));
            else if (code == EN_KILLFOCUS) c.lost_focus();
            break;
        case Kind::ListBox:
            if (code == LBN_SELCHANGE) c.set_list_index(static_cast<int>(SendMessageA(child, LB_GETCURSEL, 0, 0)));
            else if (code == LBN_DBLCLK) c.dblclick();
            break;
        case Kind::Menu:
            if (!child) c.click();
            break;
        case Kind::ComboBox:
            if (code == CBN_SELCHANGE) c.set_list_index(static_cast<int>(SendMessageA(child, CB_GETCURSEL, 0, 0)));
            else if (code == CBN_EDITCHANGE) c.set_text(native_text(child));
            else if (code == CBN_KILLFOCUS) c.lost_focus();
            break;
        default:
            break;
    }
    refresh();
}

LRESULT CALLBACK Win32Binder::window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<Win32Binder*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self) {
        if (NativeWindow* nw = self->find(hwnd)) {
            try {
                return self->handle(*nw, msg, wp, lp);
            } catch (const StopRequest&) {
                PostQuitMessage(3);
                return 0;
            }
        }
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT CALLBACK Win32Binder::image_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* c = static_cast<Control*>(GetPropA(hwnd, kControlProp));
    auto* self = static_cast<Win32Binder*>(GetPropA(hwnd, kBinderProp));
    if (!c || !self) return DefWindowProcA(hwnd, msg, wp, lp);
    auto report = [&](MouseEvent::Type type, int x, int y, int wheel) {
        if (self->pushing_) return;
        try {
            c->mouse({type, x, y, wheel});
            self->refresh();
        } catch (const StopRequest&) {
            PostQuitMessage(3);
        }
    };
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            RECT client;
            GetClientRect(hwnd, &client);
            FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
            if (const std::shared_ptr<const Raster>& r = c->image(); r && r->width > 0 && r->height > 0) {
                // 24-bit rows top-down, blue first, each padded to four bytes.
                const int stride = (r->width * 3 + 3) & ~3;
                std::vector<std::uint8_t> bgr(static_cast<size_t>(stride) * static_cast<size_t>(r->height));
                for (int y = 0; y < r->height; ++y)
                    for (int x = 0; x < r->width; ++x) {
                        const std::uint8_t* p = &r->rgb[(static_cast<size_t>(y) * r->width + x) * 3];
                        std::uint8_t* q = &bgr[static_cast<size_t>(y) * stride + static_cast<size_t>(x) * 3];
                        q[0] = p[2];
                        q[1] = p[1];
                        q[2] = p[0];
                    }
                BITMAPINFO bi{};
                bi.bmiHeader.biSize = sizeof bi.bmiHeader;
                bi.bmiHeader.biWidth = r->width;
                bi.bmiHeader.biHeight = -r->height;
                bi.bmiHeader.biPlanes = 1;
                bi.bmiHeader.biBitCount = 24;
                bi.bmiHeader.biCompression = BI_RGB;
                SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(r->width), static_cast<DWORD>(r->height), 0, 0, 0,
                                  static_cast<UINT>(r->height), bgr.data(), &bi, DIB_RGB_COLORS);
            }
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_LBUTTONDOWN:
            SetFocus(hwnd);
            SetCapture(hwnd);
            report(MouseEvent::Down, static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)), 0);
            return 0;
        case WM_MOUSEMOVE:
            if (wp & MK_LBUTTON)
                report(MouseEvent::Move, static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)), 0);
            return 0;
        case WM_LBUTTONUP:
            if (GetCapture() == hwnd) ReleaseCapture();
            report(MouseEvent::Up, static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)), 0);
            return 0;
        case WM_MOUSEWHEEL: {
            POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
            ScreenToClient(hwnd, &pt);
            const int notches = GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA;
            if (notches != 0) report(MouseEvent::Wheel, pt.x, pt.y, notches);
            return 0;
        }
        case WM_NCDESTROY:
            RemovePropA(hwnd, kControlProp);
            RemovePropA(hwnd, kBinderProp);
            break;
        default:
            break;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT Win32Binder::handle(NativeWindow& nw, UINT msg, WPARAM wp, LPARAM lp) {
    HWND hwnd = nw.hwnd;
    switch (msg) {
        case WM_COMMAND:
            // A control's notification, or (no control, code 0) a menu item chosen.
            if (lp || HIWORD(wp) == 0) on_command(hwnd, LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
            return 0;
        case WM_NOTIFY: {
            auto* n = reinterpret_cast<NMHDR*>(lp);
            NativeControl* nc = find_control(nw, n->hwndFrom);
            if (nc && nc->model->kind() == Kind::Tab && n->code == static_cast<UINT>(TCN_SELCHANGE) && !pushing_) {
                nc->model->set_list_index(static_cast<int>(SendMessageA(n->hwndFrom, TCM_GETCURSEL, 0, 0)));
                refresh();
                return 0;
            }
            break;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN: {
            HDC dc = reinterpret_cast<HDC>(wp);
            NativeControl* nc = find_control(nw, reinterpret_cast<HWND>(lp));
            if (!nc) break;
            Control& c = *nc->model;
            if (c.fore_colour() != kDefaultColour) SetTextColor(dc, colour(c.fore_colour()));
            else if (c.kind() == Kind::Label && c.clickable && c.enabled()) SetTextColor(dc, RGB(0, 0, 204));
            std::uint32_t back = c.back_colour();
            if (back == kDefaultColour) {
                NativeControl* tab = c.page >= 0 && c.kind() != Kind::TextBox ? find_native(nw, c.container) : nullptr;
                if (tab && tab->brush && (msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN)) {
                    SetBkColor(dc, colour(tab->brush_colour));
                    return reinterpret_cast<LRESULT>(tab->brush);
                }
                if (msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN) {
                    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
                    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
                }
                break;
            }
            if (!nc->brush || nc->brush_colour != back) {
                if (nc->brush) DeleteObject(nc->brush);
                nc->brush = CreateSolidBrush(colour(back));
                nc->brush_colour = back;
            }
            SetBkColor(dc, colour(back));
            return reinterpret_cast<LRESULT>(nc->brush);
        }
        case WM_MOUSEWHEEL: {
            // The wheel goes to the focused control; a picture under the pointer takes it instead.
            POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
            HWND under = WindowFromPoint(pt);
            if (NativeControl* nc = under ? find_control(nw, under) : nullptr; nc && nc->model->kind() == Kind::Image) {
                SendMessageA(under, WM_MOUSEWHEEL, wp, lp);
                return 0;
            }
            break;
        }
        case WM_SETCURSOR:
            if (busy_) {
                SetCursor(LoadCursor(nullptr, IDC_WAIT));
                return TRUE;
            }
            if (NativeControl* nc = find_control(nw, reinterpret_cast<HWND>(wp));
                nc && nc->model->kind() == Kind::Label && nc->model->clickable && nc->model->enabled()) {
                SetCursor(LoadCursor(nullptr, IDC_HAND));
                return TRUE;
            }
            break;
        case WM_ACTIVATE:
            if (LOWORD(wp) != WA_INACTIVE && !activating_ && nw.model->is_open() &&
                desktop().active() != nw.model) {
                activating_ = true;
                desktop().activate(*nw.model);
                activating_ = false;
                refresh();
            }
            break;
        case WM_CLOSE:
            desktop().close(*nw.model);
            refresh();
            return 0;
        default:
            break;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace ui
