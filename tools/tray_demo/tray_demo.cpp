// Shows Sonvira's life in the tray for the demo (a Windows program, run under Wine): with
// sonvira.exe running, it hides the window as its close button does (unless it is hidden, as
// after a start), waits so the balloon can be seen, and brings the window back with a double
// click on the tray icon, as a user would.
// Prints each step; exits 1 when a step did not happen.
//
//   tray_demo [--hidden-ms MS]
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

template <typename F>
bool WaitFor(F cond, DWORD ms) {
    for (DWORD start = GetTickCount();; Sleep(100)) {
        if (cond()) return true;
        if (GetTickCount() - start >= ms) return false;
    }
}

// The newest icon in the notification area: in the demo, Sonvira's.
HWND NewestTrayIcon() {
    HWND tray = FindWindowW(L"Shell_TrayWnd", nullptr), last = nullptr;
    for (HWND h = tray ? FindWindowExW(tray, nullptr, L"__wine_tray_icon", nullptr) : nullptr; h;
         h = FindWindowExW(tray, h, L"__wine_tray_icon", nullptr))
        if (IsWindowVisible(h)) last = h;
    return last;
}

void DoubleClick(POINT at) {
    SetCursorPos(at.x, at.y);
    Sleep(100);
    INPUT in[4] = {};
    for (int i = 0; i < 4; ++i) {
        in[i].type = INPUT_MOUSE;
        in[i].mi.dwFlags = i % 2 ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
    }
    SendInput(4, in, sizeof in[0]);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    DWORD hiddenMs = 4000;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::wcscmp(argv[i], L"--hidden-ms") == 0) hiddenMs = static_cast<DWORD>(_wtoi(argv[++i]));

    HWND main = nullptr;
    WaitFor([&] { return (main = FindWindowW(L"TFmain", L"Sonvira")) != nullptr; }, 15000);
    HWND icon = nullptr;
    WaitFor([&] { return (icon = NewestTrayIcon()) != nullptr; }, 15000);
    if (!main || !icon) {
        std::printf("tray: Sonvira or its tray icon is not there\n");
        return 1;
    }
    // Sonvira starts in the tray: then there is nothing to close, only the icon to double-click.
    if (IsWindowVisible(main)) {
        PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
        if (!WaitFor([main] { return !IsWindowVisible(main); }, 5000)) {
            std::printf("tray: the close button did not hide Sonvira\n");
            return 1;
        }
        std::printf("tray: closed, Sonvira went to the tray and keeps running\n");
    } else {
        std::printf("tray: Sonvira started hidden, only its icon shows\n");
    }
    Sleep(hiddenMs);
    RECT r;
    GetWindowRect(icon, &r);
    DoubleClick({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    if (!WaitFor([main] { return IsWindowVisible(main) != FALSE; }, 5000)) {
        std::printf("tray: a double click on the icon did not bring Sonvira back\n");
        return 1;
    }
    std::printf("tray: a double click on the tray icon brought it back\n");
    return 0;
}
