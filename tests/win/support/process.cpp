// Child processes and window lookup for the Windows tests.
#include "support/process.h"

#include <commctrl.h>

#include <stdexcept>
#include <utility>
#include <vector>

#include "support/test_paths.h"

ChildProcess::ChildProcess(const std::wstring& exe, const std::wstring& args) {
    std::wstring cmd = L"\"" + exe + L"\"";
    if (!args.empty()) cmd += L" " + args;
    std::vector<wchar_t> line(cmd.begin(), cmd.end());
    line.push_back(L'\0');
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        throw std::runtime_error("cannot start a test program");
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    pid_ = pi.dwProcessId;
}

ChildProcess::~ChildProcess() { Kill(); }

ChildProcess ChildProcess::Adopt(DWORD pid) {
    ChildProcess p;
    p.process_ = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION, FALSE, pid);
    p.pid_ = p.process_ ? pid : 0;
    return p;
}

ChildProcess::ChildProcess(ChildProcess&& o) noexcept
    : process_(std::exchange(o.process_, nullptr)), pid_(std::exchange(o.pid_, 0)) {}

ChildProcess& ChildProcess::operator=(ChildProcess&& o) noexcept {
    if (this != &o) {
        Kill();
        process_ = std::exchange(o.process_, nullptr);
        pid_ = std::exchange(o.pid_, 0);
    }
    return *this;
}

bool ChildProcess::Running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

bool ChildProcess::WaitExit(DWORD timeoutMs, DWORD* exitCode) {
    if (!process_) return true;
    if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return false;
    if (exitCode) GetExitCodeProcess(process_, exitCode);
    return true;
}

void ChildProcess::Kill() {
    if (!process_) return;
    if (Running()) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
    process_ = nullptr;
    pid_ = 0;
}

namespace {
struct TopList {
    DWORD pid;
    const wchar_t* cls;
    std::vector<HWND>* found;
};

BOOL CALLBACK CollectTop(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<TopList*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    wchar_t cls[64] = {};
    GetClassNameW(h, cls, 64);
    if (pid == s->pid && (!s->cls || wcscmp(cls, s->cls) == 0)) s->found->push_back(h);
    return TRUE;
}

// Compared with the caption the system keeps: no message, so a busy program cannot hold it up.
bool Titled(HWND h, const wchar_t* title) {
    if (!title) return true;
    wchar_t buf[512] = {};
    GetWindowTextW(h, buf, 512);
    return wcscmp(buf, title) == 0;
}
}  // namespace

std::vector<HWND> TopWindowsOf(DWORD pid, const wchar_t* cls) {
    std::vector<HWND> found;
    TopList list = {pid, cls, &found};
    EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&list));
    return found;
}

HWND WaitForTopWindow(DWORD pid, const wchar_t* cls, const wchar_t* title, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND h : TopWindowsOf(pid, cls))
                if (Titled(h, title)) return (found = h) != nullptr;
            return false;
        },
        timeoutMs);
    return found;
}

namespace {
struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK MatchControl(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<ControlSearch*>(lp);
    if (GetDlgCtrlID(h) != s->id) return TRUE;
    s->found = h;
    return FALSE;
}

}  // namespace

HWND FindControl(HWND root, int id) {
    ControlSearch search = {id, nullptr};
    EnumChildWindows(root, MatchControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForControl(HWND root, int id, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindControl(root, id)) != nullptr; }, timeoutMs);
    return found;
}

HWND VisibleTopWindow(DWORD pid, const wchar_t* cls, const wchar_t* title) {
    for (HWND h : TopWindowsOf(pid, cls))
        if (IsWindowVisible(h) && Titled(h, title)) return h;
    return nullptr;
}

HWND VisibleBox(DWORD pid) { return VisibleTopWindow(pid, L"#32770"); }

void PumpFor(DWORD ms) {
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < ms);
}

std::wstring WindowTextW(HWND h) {
    DWORD_PTR n = 0;
    // Not abort-if-hung: a program busy for a moment on a loaded machine is waited for.
    if (!SendMessageTimeoutW(h, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kPatienceMs, &n)) return {};
    // Room for what the control holds and no more: under Wine a buffer far beyond a big log's
    // text (2 MiB or more) ends the program that holds it.
    std::vector<wchar_t> buf(static_cast<std::size_t>(n) + 1, L'\0');
    DWORD_PTR got = 0;
    SendMessageTimeoutW(h, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()), SMTO_NORMAL, kPatienceMs, &got);
    return std::wstring(buf.data());
}

std::wstring SonviraExe() { return BuildDir() + L"\\sonvira.exe"; }
std::wstring StandinChatExe() { return BuildDir() + L"\\tools\\standin_chat\\standin_chat.exe"; }

void DragTrackBar(HWND track, int position) {
    SendMessageW(track, TBM_SETPOS, TRUE, position);
    PostMessageW(GetParent(track), WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(track));
}

bool PickListItem(HWND combo, const std::wstring& text) {
    LRESULT index = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
    if (index == CB_ERR) return false;
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    PostMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
    return true;
}
