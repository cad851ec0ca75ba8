// The Windows shell and the peers of the shell's components; see shell_win.h.
#include "win/shell_win.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cstring>
#include <stdexcept>

#include "base/files.h"
#include "win/codepage_win.h"
#include "win/com.h"
#include "win/window_object.h"

namespace {

const wchar_t kTrayWindowClass[] = L"TTrayIconWindow";
constexpr UINT kIconId = 1;
constexpr UINT_PTR kClickWaitTimer = 1;
// At logon the program may start before the shell takes icons: Shell_NotifyIcon then fails
// (or times out while the shell is busy), and a shell that was only busy never broadcasts
// "TaskbarCreated". So an icon that could not be added is tried again until it is there.
constexpr UINT_PTR kAddRetryTimer = 2;
constexpr UINT kAddRetryMs = 2000;
constexpr UINT_PTR kMenuWaitTimer = 3;

// The platform's texts are fixed-size arrays; the component has already cut the text to fit.
template <std::size_t N>
void CopyText(wchar_t (&to)[N], const std::u16string& from) {
    const std::size_t n = from.size() < N ? from.size() : N - 1;
    std::memcpy(to, from.data(), n * sizeof(wchar_t));
    to[n] = L'\0';
}

DWORD InfoFlags(TBalloonFlags flags) {
    switch (flags) {
        case TBalloonFlags::bfInfo: return NIIF_INFO;
        case TBalloonFlags::bfWarning: return NIIF_WARNING;
        case TBalloonFlags::bfError: return NIIF_ERROR;
        case TBalloonFlags::bfNone: break;
    }
    return NIIF_NONE;
}

}  // namespace

void Win32Shell::Execute(const std::string& operation, const std::string& file, const std::string& parameters,
                         const std::string& directory, int showCommand) {
    const std::wstring op = AnsiToWide(operation), target = AnsiToWide(file);
    const std::wstring params = AnsiToWide(parameters), dir = AnsiToWide(directory);
    // The outcome is not looked at: without a browser or mail program there is nothing to say.
    ShellExecuteW(main_, op.c_str(), target.c_str(), params.empty() ? nullptr : params.c_str(),
                  dir.empty() ? nullptr : dir.c_str(), showCommand);
}

void Win32Shell::SaveShortcut(const ShortcutSpec& s, const std::string& linkPath) {
    // Declared first, so the interface pointers below are released before it uninitialises.
    ScopedOle ole;
    ComPtr<IShellLinkA> link;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(link.GetAddressOf()));
    ComPtr<IPersistFile> file;
    if (SUCCEEDED(hr)) hr = link.As(&file);
    // A shortcut missing a part would start the program wrongly or not at all, and one that
    // was not written would leave the user believing it starts at logon: every step counts.
    if (SUCCEEDED(hr)) hr = link->SetPath(s.target.c_str());
    if (SUCCEEDED(hr)) hr = link->SetArguments(s.arguments.c_str());
    if (SUCCEEDED(hr)) hr = link->SetWorkingDirectory(s.workingDirectory.c_str());
    if (SUCCEEDED(hr)) hr = link->SetDescription(s.description.c_str());
    if (SUCCEEDED(hr)) hr = file->Save(AnsiToWide(linkPath).c_str(), FALSE);
    if (FAILED(hr)) throw FileError(FileCreateErrorMessage(linkPath, DescribeHResult(hr)));
}

// MOD_NOREPEAT keeps a held key from pausing and resuming over and over. Windows before 7
// does not know the flag (its documentation says Vista refuses it), so a refusal for any
// reason but a holder is asked again without it.
bool Win32HotKeys::Register(int id, THotKey key) {
    const UINT modifiers = key.modifiers, letter = static_cast<unsigned char>(key.letter);
    if (RegisterHotKey(main_, id, modifiers | MOD_NOREPEAT, letter)) return true;
    return GetLastError() != ERROR_HOTKEY_ALREADY_REGISTERED && RegisterHotKey(main_, id, modifiers, letter);
}

void FormPeer::SetVisible(bool visible) { ShowWindow(h_, visible ? SW_SHOW : SW_HIDE); }

void FormPeer::BringToFront() {
    SetForegroundWindow(h_);
    BringWindowToTop(h_);
}

void FormPeer::SetWindowState(TWindowState state) {
    switch (state) {
        case TWindowState::wsNormal:
            if (IsIconic(h_) || IsZoomed(h_)) ShowWindow(h_, SW_RESTORE);
            break;
        // A window that was never shown keeps the state for later, as a form does, so
        // start-up can minimise it without showing it.
        case TWindowState::wsMinimized:
            if (IsWindowVisible(h_)) ShowWindow(h_, SW_MINIMIZE);
            break;
        case TWindowState::wsMaximized: ShowWindow(h_, SW_MAXIMIZE); break;
    }
}

void PageControlPeer::SetActivePage(int index) {
    SendMessageW(tabs_, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    for (std::size_t i = 0; i < pages_.size(); ++i)
        ShowWindow(pages_[i], static_cast<int>(i) == index ? SW_SHOW : SW_HIDE);
}

void MenuItemPeer::SetChecked(bool checked) {
    CheckMenuItem(menu_, command_, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void MenuItemPeer::SetEnabled(bool enabled) {
    EnableMenuItem(menu_, command_, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void PopupMenuPeer::Popup(int x, int y) {
    // Without the owner in front the menu would not close when the user clicks elsewhere,
    // and without a message after it the next opening would close at once.
    SetForegroundWindow(owner_);
    TrackPopupMenuEx(menu_, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, x, y, owner_, nullptr);
    PostMessageW(owner_, WM_NULL, 0, 0);
}

TPoint MousePeer::CursorPos() {
    POINT p = {};
    GetCursorPos(&p);
    return {p.x, p.y};
}

TrayIconPeer::TrayIconPeer(TTrayIcon& icon, HINSTANCE instance, HICON image, HWND application)
    : icon_(icon), image_(image), application_(application),
      taskbarCreated_(RegisterWindowMessageW(L"TaskbarCreated")) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.lpszClassName = kTrayWindowClass;
    RegisterClassExW(&wc);
    // Never shown; a tool window so that it could not get a taskbar button even then.
    CreateWindowExW(WS_EX_TOOLWINDOW, kTrayWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, this);
}

TrayIconPeer::~TrayIconPeer() {
    Hide();
    if (hwnd_) KillTimer(hwnd_, kAddRetryTimer);
    if (hwnd_) DestroyWindow(hwnd_);
}

NOTIFYICONDATAW TrayIconPeer::Data(UINT flags) const {
    NOTIFYICONDATAW d = {};
    // The size Windows 2000 and XP know, with balloons: newer shells take it as well.
    d.cbSize = NOTIFYICONDATAW_V2_SIZE;
    d.hWnd = hwnd_;
    d.uID = kIconId;
    d.uFlags = flags;
    return d;
}

void TrayIconPeer::Show(const std::u16string& hint) {
    hint_ = hint;
    NOTIFYICONDATAW d = Data(NIF_MESSAGE | NIF_ICON | NIF_TIP);
    d.uCallbackMessage = kCallbackMessage;
    d.hIcon = image_;
    CopyText(d.szTip, hint_);
    if (added_ && Shell_NotifyIconW(NIM_MODIFY, &d)) return;
    added_ = Shell_NotifyIconW(NIM_ADD, &d) != FALSE;
    if (!added_) {
        SetTimer(hwnd_, kAddRetryTimer, kAddRetryMs, nullptr);
        return;
    }
    KillTimer(hwnd_, kAddRetryTimer);
    // A balloon asked for while the icon was missing has had nothing to show on.
    if (pendingBalloon_) {
        pendingBalloon_ = false;
        ShowBalloon(balloonTitle_, balloonText_, balloonFlags_, balloonTimeout_);
    }
}

void TrayIconPeer::Hide() {
    KillTimer(hwnd_, kAddRetryTimer);
    pendingBalloon_ = false;
    if (!added_) return;
    NOTIFYICONDATAW d = Data(0);
    Shell_NotifyIconW(NIM_DELETE, &d);
    added_ = false;
}

void TrayIconPeer::ShowBalloon(const std::u16string& title, const std::u16string& text, TBalloonFlags flags,
                               unsigned timeoutMs) {
    if (!added_) {
        pendingBalloon_ = true;
        balloonTitle_ = title;
        balloonText_ = text;
        balloonFlags_ = flags;
        balloonTimeout_ = timeoutMs;
        return;
    }
    NOTIFYICONDATAW d = Data(NIF_INFO);
    CopyText(d.szInfoTitle, title);
    CopyText(d.szInfo, text);
    d.dwInfoFlags = InfoFlags(flags);
    d.uTimeout = timeoutMs;
    Shell_NotifyIconW(NIM_MODIFY, &d);
}

void TrayIconPeer::StartClickWait() { SetTimer(hwnd_, kClickWaitTimer, GetDoubleClickTime(), nullptr); }

void TrayIconPeer::StopClickWait() { KillTimer(hwnd_, kClickWaitTimer); }

void TrayIconPeer::BringApplicationToFront() { SetForegroundWindow(application_); }

// A timer rather than a posted message: GetMessage hands out WM_TIMER only when no posted,
// input or paint message waits (Microsoft's GetMessage page), so everything already queued
// goes through the message loop first. The order among timers that are due together is not
// documented: a watcher tick that comes after the menu's runs in the menu's own loop, as
// every tick does while a menu is open.
void TrayIconPeer::StartMenuWait() { SetTimer(hwnd_, kMenuWaitTimer, USER_TIMER_MINIMUM, nullptr); }

LRESULT TrayIconPeer::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kCallbackMessage) {
        switch (static_cast<UINT>(lp)) {
            case WM_LBUTTONUP: icon_.UserMouse(TTrayMouse::LeftUp); break;
            case WM_RBUTTONUP: icon_.UserMouse(TTrayMouse::RightUp); break;
            case WM_LBUTTONDBLCLK: icon_.UserMouse(TTrayMouse::LeftDblClick); break;
            case WM_RBUTTONDBLCLK: icon_.UserMouse(TTrayMouse::RightDblClick); break;
            case WM_MBUTTONDBLCLK: icon_.UserMouse(TTrayMouse::MiddleDblClick); break;
            default: break;
        }
        return 0;
    }
    if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
        // A new shell knows none of the old icons.
        added_ = false;
        icon_.Restore();
        return 0;
    }
    if (msg == WM_TIMER && wp == kAddRetryTimer) {
        // Show kills the timer once the icon is there; Hide kills it when it is not wanted.
        Show(hint_);
        return 0;
    }
    if (msg == WM_TIMER && wp == kClickWaitTimer) {
        icon_.ClickWaitOver();
        return 0;
    }
    if (msg == WM_TIMER && wp == kMenuWaitTimer) {
        KillTimer(hwnd_, kMenuWaitTimer);
        icon_.MenuWaitOver();
        return 0;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK TrayIconPeer::WndProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    return RouteToObject(h, msg, wp, lp, &TrayIconPeer::hwnd_, &TrayIconPeer::Handle);
}
