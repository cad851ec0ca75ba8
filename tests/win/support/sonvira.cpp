// Helpers for the tests that run sonvira.exe; see sonvira.h.
#include "support/sonvira.h"

#include <richedit.h>
#include <shlobj.h>

#include <algorithm>
#include <fstream>
#include <utility>

#include "app/fmain_win.h"
#include "app/identity_win.h"
#include "res/resource.h"
#include "support/process.h"
#include "support/test_paths.h"

SettingsFile::SettingsFile(const std::wstring& program) {
    wchar_t appData[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, appData);
    path_ = std::wstring(appData) + L"\\" + program + L"\\set.ini";
    DeleteFileW(path_.c_str());
}

SettingsFile::~SettingsFile() { DeleteFileW(path_.c_str()); }

bool SettingsFile::Exists() const { return FileExists(path_); }

std::string SettingsFile::Bytes() const { return FileBytes(path_); }

void SettingsFile::Write(const std::string& bytes) const {
    CreateDirectoryW(path_.substr(0, path_.find_last_of(L'\\')).c_str(), nullptr);
    std::ofstream out(path_.c_str(), std::ios::binary);
    out << bytes;
}

WineVersionFor::WineVersionFor(const std::wstring& exe, const std::wstring& version)
    : key_(L"Software\\Wine\\AppDefaults\\" + exe) {
    HKEY k;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExW(k, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                   static_cast<DWORD>((version.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(k);
}

WineVersionFor::~WineVersionFor() { RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str()); }

std::vector<std::wstring> WaitForStartUp(HWND main, DWORD pid) {
    std::vector<std::wstring> texts;
    std::vector<HWND> answered;
    HWND log = WaitForControl(main, IDC_RICHEDIT1);
    auto modified = [log] {
        DWORD_PTR flag = 0;
        return SendMessageTimeoutW(log, EM_GETMODIFY, 0, 0, SMTO_NORMAL, kPatienceMs, &flag) && flag;
    };
    while (log) {
        // Start-up runs before the program's message loop, and a posted message waits for a
        // message loop: the program's own once start-up has ended, or that of a start-up box.
        // (A sent one would not do: it is also answered while start-up itself waits on another
        // program.) The log's modified flag, which the program never reads, shows it was taken.
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(log, EM_SETMODIFY, FALSE, 0, SMTO_NORMAL, kPatienceMs, &ignored);
        PostMessageW(log, EM_SETMODIFY, TRUE, 0);
        const bool looping = WaitUntil(modified, 2 * kPatienceMs);
        SendMessageTimeoutW(log, EM_SETMODIFY, FALSE, 0, SMTO_NORMAL, kPatienceMs, &ignored);
        if (!looping) break;
        // A box's loop runs before the box shows; answered boxes linger hidden for a while.
        HWND box = nullptr;
        for (HWND h : TopWindowsOf(pid, L"#32770"))
            if (std::find(answered.begin(), answered.end(), h) == answered.end()) box = h;
        if (!box || !WaitUntil([box] { return !IsWindow(box) || IsWindowVisible(box); }, kPatienceMs) || !IsWindow(box)) break;
        HWND text = FindControl(box, 0xFFFF);  // the message box's static text
        texts.push_back(text ? WindowTextW(text) : L"");
        answered.push_back(box);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        WaitUntil([box] { return !IsWindowVisible(box); }, kPatienceMs);
    }
    return texts;
}

void ExitSonvira(HWND main) { PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDM_NEXIT, 0), 0); }

namespace {

// The program's name without folder and extension, as it names its data folder.
std::wstring ProgramName(const std::wstring& exe) {
    const std::size_t slash = exe.find_last_of(L"\\/"), from = slash == std::wstring::npos ? 0 : slash + 1;
    const std::size_t dot = exe.find_last_of(L'.');
    return exe.substr(from, dot == std::wstring::npos || dot < from ? std::wstring::npos : dot - from);
}

}  // namespace

RunningSonvira::RunningSonvira(const std::wstring& exe, const std::string& settings)
    : exe_(exe), settings_(ProgramName(exe)) {
    if (!settings.empty()) settings_.Write(settings);
    Start();
}

RunningSonvira::RunningSonvira(ChildProcess started, const std::wstring& exe)
    : exe_(exe), settings_(ProgramName(exe)), process_(std::move(started)) {
    Find();
}

RunningSonvira::RunningSonvira(Later, const std::wstring& exe) : exe_(exe), settings_(ProgramName(exe)) {}

RunningSonvira::~RunningSonvira() { Exit(); }

void RunningSonvira::Start() {
    Exit();
    process_ = ChildProcess(exe_, L"");
    Find();
}

void RunningSonvira::Find() {
    startUpBoxes_.clear();
    main_ = WaitForTopWindow(process_.Id(), kMainWindowClass, kMainWindowTitle);
    log_ = main_ ? WaitForControl(main_, IDC_RICHEDIT1) : nullptr;
    if (main_) startUpBoxes_ = WaitForStartUp(main_, process_.Id());
}

bool RunningSonvira::Exit() {
    if (!process_.Running()) return true;
    const DWORD pid = process_.Id();
    if (main_ && !VisibleBox(pid)) {
        Choose(IDM_EXIT1);
        WaitUntil([&] { return !process_.Running() || VisibleBox(pid); }, kPatienceMs);
    }
    const bool ended = !process_.Running();
    process_.Kill();
    return ended;
}

void RunningSonvira::Choose(int command) const { PostMessageW(main_, WM_COMMAND, MAKEWPARAM(command, 0), 0); }

HWND RunningSonvira::LogControl() const { return main_ ? FindControl(main_, IDC_RICHEDIT1) : log_; }
