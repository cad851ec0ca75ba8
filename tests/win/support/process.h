// Starting and finding the programs the Windows tests drive: sonvira.exe, the stand-in chat
// window and the tools. A ChildProcess ends its program when it goes out of scope, so a
// failing test never leaves a window behind for the next one.
#pragma once

#include <windows.h>

#include <objbase.h>

#include <string>
#include <vector>

class ChildProcess {
public:
    ChildProcess() = default;
    // Starts exe with the given command-line tail (may be empty). Throws on failure.
    ChildProcess(const std::wstring& exe, const std::wstring& args);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ChildProcess(ChildProcess&& o) noexcept;
    ChildProcess& operator=(ChildProcess&& o) noexcept;

    // Takes a process started otherwise, to wait for it and end it as one started here.
    static ChildProcess Adopt(DWORD pid);
    DWORD Id() const { return pid_; }
    HANDLE Handle() const { return process_; }
    bool Running() const;
    // Waits for the program to end on its own; false on time-out.
    bool WaitExit(DWORD timeoutMs, DWORD* exitCode = nullptr);
    void Kill();

private:
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
};

// How long a test waits for what a person would wait for (a window shown, a line logged, a
// voice done): generous enough for a machine several times slower than ours, and free when
// all goes well, since every wait ends as soon as its condition holds.
constexpr DWORD kPatienceMs = 30000;

// A top-level window of the given process with that class (nullptr = any) and title
// (nullptr = any), polled for up to timeoutMs. nullptr when none appeared.
HWND WaitForTopWindow(DWORD pid, const wchar_t* cls, const wchar_t* title, DWORD timeoutMs = kPatienceMs);

// Pumps this thread's messages while waiting, so windows of this process stay responsive.
void PumpFor(DWORD ms);

// Whether this thread's COM is initialised: a fresh initialisation says S_FALSE only then.
inline bool ComInitialised() {
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(hr)) CoUninitialize();
    return hr == S_FALSE;
}

// Polls cond every 50 ms for up to timeoutMs; true as soon as it holds.
template <typename F>
bool WaitUntil(F cond, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (cond()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        PumpFor(50);
    }
}

// A control of a window (of any process) by its id, at any depth: the options and the log
// sit on tab pages inside the main window. nullptr when there is none.
HWND FindControl(HWND root, int id);

// FindControl, polled for up to timeoutMs: a program's window exists a moment before the
// controls it creates next.
HWND WaitForControl(HWND root, int id, DWORD timeoutMs = kPatienceMs);

// Moves a track bar as a user would: the bar takes the position, its parent hears the scroll.
// Posted, because the handler may show a modal error box before it returns.
void DragTrackBar(HWND track, int position);

// Picks the item of a drop-down list with exactly that text as a user would: the list selects
// it and tells its parent. False when the list has no such item.
bool PickListItem(HWND combo, const std::wstring& text);

// The top-level windows of the given process with that class (nullptr = any), shown or not,
// from the top of the z-order down.
std::vector<HWND> TopWindowsOf(DWORD pid, const wchar_t* cls);

// A visible top-level window of the given process with that class and (unless nullptr) that
// title, or nullptr.
HWND VisibleTopWindow(DWORD pid, const wchar_t* cls, const wchar_t* title = nullptr);

// A visible dialog-class window (a message box) of the given process, or nullptr. A closed
// box lingers hidden for a while under Wine before it is destroyed, so only visible ones count.
HWND VisibleBox(DWORD pid);

// A window's text read with WM_GETTEXT in UTF-16 (works across processes).
std::wstring WindowTextW(HWND h);

// Builds paths of the Windows build: sonvira.exe, the stand-in chat window, tools.
std::wstring SonviraExe();
std::wstring StandinChatExe();
