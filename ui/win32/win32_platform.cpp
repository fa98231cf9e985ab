#include "win32_platform.h"

#include <commdlg.h>

namespace ui {

Answer Win32Platform::message_box(const MessageBox& box) {
    UINT flags = MB_TASKMODAL;
    switch (box.icon) {
        case Icon::Critical: flags |= MB_ICONERROR; break;
        case Icon::Question: flags |= MB_ICONQUESTION; break;
        case Icon::Exclamation: flags |= MB_ICONWARNING; break;
        case Icon::Information: flags |= MB_ICONINFORMATION; break;
        case Icon::None: break;
    }
    switch (box.buttons) {
        case Buttons::Ok: flags |= MB_OK; break;
        case Buttons::OkCancel: flags |= MB_OKCANCEL; break;
        case Buttons::YesNo: flags |= MB_YESNO; break;
        case Buttons::YesNoCancel: flags |= MB_YESNOCANCEL; break;
        case Buttons::RetryCancel: flags |= MB_RETRYCANCEL; break;
        case Buttons::AbortRetryIgnore: flags |= MB_ABORTRETRYIGNORE; break;
    }
    binder_.set_busy(false);
    int r = MessageBoxA(binder_.active_hwnd(), box.text.c_str(),
                        box.title.empty() ? "Gorvane" : box.title.c_str(), flags);
    switch (r) {
        case IDCANCEL: return Answer::Cancel;
        case IDYES: return Answer::Yes;
        case IDNO: return Answer::No;
        case IDRETRY: return Answer::Retry;
        case IDABORT: return Answer::Abort;
        case IDIGNORE: return Answer::Ignore;
        default: return Answer::Ok;
    }
}

std::optional<std::string> Win32Platform::choose_file(const FileDialog& dialog) {
    std::string filter = dialog.filter;
    for (char& c : filter)
        if (c == '|') c = '\0';
    filter += std::string(2, '\0');
    char file[MAX_PATH * 4] = {};
    dialog.file_name.copy(file, sizeof file - 1);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = binder_.active_hwnd();
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrInitialDir = dialog.start_folder.empty() ? nullptr : dialog.start_folder.c_str();
    ofn.lpstrTitle = dialog.title.empty() ? nullptr : dialog.title.c_str();
    ofn.lpstrDefExt = dialog.default_extension.empty() ? nullptr : dialog.default_extension.c_str();
    ofn.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | (dialog.save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    BOOL ok = dialog.save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
    if (!ok) return std::nullopt;
    return std::string(file);
}

std::optional<std::uint32_t> Win32Platform::choose_colour(std::uint32_t initial) {
    static COLORREF custom[16] = {};
    CHOOSECOLORA cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = binder_.active_hwnd();
    cc.rgbResult = initial & 0xFFFFFF;
    cc.lpCustColors = custom;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorA(&cc)) return std::nullopt;
    return static_cast<std::uint32_t>(cc.rgbResult);
}

int Win32Platform::wait_process(const Process& process) {
    if (process.handle) {
        binder_.refresh();
        HANDLE h = reinterpret_cast<HANDLE>(process.handle);
        while (MsgWaitForMultipleObjects(1, &h, FALSE, INFINITE, QS_PAINT) == WAIT_OBJECT_0 + 1) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageA(&msg);
        }
    }
    return SystemPlatform::wait_process(process);
}

int run_message_loop(Win32Binder& binder) {
    MSG msg;
    while (!binder.quit_requested() && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        HWND top = GetAncestor(msg.hwnd, GA_ROOT);
        if (!top || !IsDialogMessageA(top, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return 0;
}

}  // namespace ui
