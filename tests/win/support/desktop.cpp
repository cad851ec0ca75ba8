// Input and desktop lookups for the end-to-end tests; see desktop.h.
#include "support/desktop.h"

#include "support/process.h"

namespace {

void SendMouse(DWORD flags) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof in);
}

void SendKey(WORD vk, bool up) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
}

}  // namespace

void ClickAt(POINT at, MouseButton button, int times) {
    SetCursorPos(at.x, at.y);
    Sleep(50);
    const DWORD down = button == MouseButton::Left    ? MOUSEEVENTF_LEFTDOWN
                       : button == MouseButton::Right ? MOUSEEVENTF_RIGHTDOWN
                                                      : MOUSEEVENTF_MIDDLEDOWN;
    const DWORD up = down << 1;  // each button's release flag follows its press flag
    for (int i = 0; i < times; ++i) {
        SendMouse(down);
        SendMouse(up);
        Sleep(30);
    }
}

void PressKeys(std::initializer_list<WORD> keys) {
    for (WORD k : keys) {
        SendKey(k, false);
        SendKey(k, true);
        Sleep(80);
    }
}

void PressChord(std::initializer_list<WORD> keys) {
    for (WORD k : keys) SendKey(k, false);
    for (auto it = keys.end(); it != keys.begin();) SendKey(*--it, true);
    Sleep(80);
}

std::vector<HWND> TrayIconWindows() {
    std::vector<HWND> icons;
    HWND tray = FindWindowW(L"Shell_TrayWnd", nullptr);
    for (HWND h = tray ? FindWindowExW(tray, nullptr, L"__wine_tray_icon", nullptr) : nullptr; h;
         h = FindWindowExW(tray, h, L"__wine_tray_icon", nullptr))
        if (IsWindowVisible(h)) icons.push_back(h);
    return icons;
}

POINT CentreOf(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

HWND OpenMenuOf(DWORD pid) { return VisibleTopWindow(pid, L"#32768"); }
