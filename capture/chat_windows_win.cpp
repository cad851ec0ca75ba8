// Reading the messenger's windows with Win32: the foreground window, its title, its children
// by class, and WM_GETTEXT to a transcript control that lives in another process.
//
// Titles come from GetWindowTextA, which for another process's window reads the cached
// caption without sending it a message, so a hung messenger cannot stall it. The two text
// requests do go to the other process; each is sent with a time limit and without letting
// other sent messages into this thread meanwhile, so a timer tick stays one uninterrupted
// step and ends within the limit whatever the messenger does. A control that failed to answer
// is then left alone for a few seconds rather than waited on again at every reading.
#include "capture/chat_windows_win.h"

#include <windows.h>

#include <iterator>
#include <limits>

namespace {

HWND ToHwnd(WindowRef w) { return reinterpret_cast<HWND>(w); }
WindowRef FromHwnd(HWND h) { return reinterpret_cast<WindowRef>(h); }

BOOL CALLBACK AddIfVisible(HWND h, LPARAM list) {
    if (IsWindowVisible(h)) reinterpret_cast<std::vector<WindowRef>*>(list)->push_back(FromHwnd(h));
    return TRUE;
}

}  // namespace

// SMTO_ABORTIFHUNG gives up at once on a window the system already counts as hung;
// SMTO_BLOCK keeps other processes' sent messages out of the waiting tick.
bool Win32ChatWindows::SendGetText(WindowRef control, std::size_t size, char* buffer, std::size_t& result) {
    result = 0;
    const DWORD now = GetTickCount();
    auto quiet = silent_.find(control);
    if (quiet != silent_.end()) {
        if (now - quiet->second < kQuietAfterFailureMs) return false;
        silent_.erase(quiet);
    }
    // Within a round, what is left of its budget is all any request gets.
    DWORD limit = timeoutMs_;
    if (inRound_) {
        const DWORD spent = now - roundStart_;
        if (spent >= roundBudgetMs_) return false;
        if (roundBudgetMs_ - spent < limit) limit = roundBudgetMs_ - spent;
    }
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(ToHwnd(control), WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer),
                             SMTO_ABORTIFHUNG | SMTO_BLOCK, limit, &answer)) {
        silent_[control] = GetTickCount();
        return false;
    }
    result = static_cast<std::size_t>(answer);
    return true;
}

// Each tick begins by asking for the window in front: its requests are one round.
WindowRef Win32ChatWindows::Foreground() {
    inRound_ = true;
    roundStart_ = GetTickCount();
    return FromHwnd(GetForegroundWindow());
}

std::vector<WindowRef> Win32ChatWindows::TopLevelWindows() {
    // Closed windows leave the quiet list too, so it never grows with the windows seen.
    for (auto it = silent_.begin(); it != silent_.end();) it = IsWindow(ToHwnd(it->first)) ? std::next(it) : silent_.erase(it);
    std::vector<WindowRef> shown;
    // EnumWindows lists top-level windows in Z order and asks nothing of them, so a hung
    // messenger cannot stall it.
    EnumWindows(AddIfVisible, reinterpret_cast<LPARAM>(&shown));
    inRound_ = true;
    roundStart_ = GetTickCount();
    return shown;
}

bool Win32ChatWindows::Exists(WindowRef window) { return window != 0 && IsWindow(ToHwnd(window)); }

std::string Win32ChatWindows::Title(WindowRef window) {
    if (window == 0) return {};
    char buffer[255] = {};
    GetWindowTextA(ToHwnd(window), buffer, sizeof buffer);
    buffer[sizeof buffer - 1] = '\0';
    return std::string(buffer);
}

std::string Win32ChatWindows::ClassName(WindowRef window) {
    char buffer[256] = {};
    if (window == 0 || !GetClassNameA(ToHwnd(window), buffer, sizeof buffer)) return {};
    return std::string(buffer);
}

WindowRef Win32ChatWindows::FindChild(WindowRef parent, const char* className) {
    // FindWindowExA with no parent would search the top-level windows instead.
    if (parent == 0) return 0;
    return FromHwnd(FindWindowExA(ToHwnd(parent), nullptr, className, nullptr));
}

bool Win32ChatWindows::QueryTextLength(WindowRef control, std::size_t& length) {
    length = 0;
    return SendGetText(control, 0, nullptr, length);
}

bool Win32ChatWindows::ReadText(WindowRef control, std::size_t length, std::string& out) {
    out.clear();
    // The buffer size must fit the message's WPARAM; a length that does not is no length.
    if (length >= std::numeric_limits<WPARAM>::max()) return false;
    return TakeGetTextAnswer(length, out, [&](char* buffer, std::size_t size, std::size_t& count) {
        return SendGetText(control, size, buffer, count);
    });
}
