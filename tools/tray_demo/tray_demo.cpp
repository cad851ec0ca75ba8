// Shows Sonvira's life in the tray for the demo (a Windows program, run under Wine): with
// sonvira.exe running, it hides the window as its close button does (unless it is hidden, as
// after a start), waits so the balloon can be seen, and brings the window back with a double
// click on the tray icon, as a user would.
// Prints each step; exits 1 when a step did not happen. With --painted it only waits until the
// shown window has drawn itself whole, tab strip and status bar included, so that a screenshot
// taken next shows what a user sees rather than a window half repainted.
//
//   tray_demo [--hidden-ms MS] | --painted
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "app/identity_win.h"

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

// The window, its tab strip and its status bar are shown, drawn, and nothing of them waits to
// be painted. A repaint is asked for first: painting happens only once the window's thread
// has nothing else to do, and is over when no update region is left.
bool Painted(HWND main) {
    HWND parts[] = {main, FindWindowExW(main, nullptr, L"SysTabControl32", nullptr),
                    FindWindowExW(main, nullptr, L"msctls_statusbar32", nullptr)};
    for (HWND h : parts)
        if (!h || !IsWindowVisible(h)) return false;
    RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    return WaitFor([&] {
        DWORD_PTR r = 0;
        for (HWND h : parts)
            if (GetUpdateRect(h, nullptr, FALSE)) return false;
        return SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &r) != 0;
    }, 15000);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    DWORD hiddenMs = 4000;
    bool painted = false;
    for (int i = 1; i < argc; ++i) {
        if (std::wcscmp(argv[i], L"--painted") == 0) painted = true;
        else if (i + 1 < argc && std::wcscmp(argv[i], L"--hidden-ms") == 0) hiddenMs = static_cast<DWORD>(_wtoi(argv[++i]));
    }
    if (painted) {
        HWND main = FindWindowW(kMainWindowClass, kMainWindowTitle);
        if (!main || !WaitFor([main] { return Painted(main); }, 30000)) {
            std::printf("tray: Sonvira's window did not finish painting\n");
            return 1;
        }
        return 0;
    }

    HWND main = nullptr;
    WaitFor([&] { return (main = FindWindowW(kMainWindowClass, kMainWindowTitle)) != nullptr; }, 15000);
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
