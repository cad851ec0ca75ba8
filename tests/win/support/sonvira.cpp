// Helpers for the tests that run sonvira.exe; see sonvira.h.
#include "support/sonvira.h"

#include <shlobj.h>

#include <fstream>
#include <iterator>

#include "res/resource.h"
#include "support/process.h"

SettingsFile::SettingsFile() {
    wchar_t appData[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, appData);
    path_ = std::wstring(appData) + L"\\sonvira\\set.ini";
    DeleteFileW(path_.c_str());
}

SettingsFile::~SettingsFile() { DeleteFileW(path_.c_str()); }

bool SettingsFile::Exists() const { return GetFileAttributesW(path_.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string SettingsFile::Bytes() const {
    std::ifstream in(path_.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

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

std::vector<std::wstring> WaitForStartUp(HWND main, DWORD pid, DWORD quietMs) {
    std::vector<std::wstring> texts;
    DWORD quietSince = GetTickCount();
    WaitUntil(
        [&] {
            if (HWND box = VisibleBox(pid)) {
                HWND text = FindControl(box, 0xFFFF);  // the message box's static text
                texts.push_back(text ? WindowTextW(text) : L"");
                PostMessageW(box, WM_COMMAND, IDOK, 0);
                WaitUntil([box] { return !IsWindowVisible(box); }, 5000);
                quietSince = GetTickCount();
            }
            return IsWindowVisible(main) || GetTickCount() - quietSince > quietMs;
        },
        15000);
    return texts;
}

void ExitSonvira(HWND main) { PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDM_NEXIT, 0), 0); }
