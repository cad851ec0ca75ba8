// The path routines on the real shell under Wine, with the GBK code page: special folders (a
// Chinese one included) and the Windows folder. The data folder under a Chinese program name
// is the end-to-end tests' (a renamed copy of sonvira.exe).
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <string>

#include "app/paths_win.h"
#include "win/codepage_win.h"

namespace {

bool IsFolderW(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Points the user's AppData at another folder for one test, as a user who moved it has.
class MovedAppData {
public:
    explicit MovedAppData(const std::wstring& folder) {
        RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                      0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key_);
        DWORD size = sizeof old_;
        had_ = RegQueryValueExW(key_, L"AppData", nullptr, &type_, reinterpret_cast<BYTE*>(old_), &size) ==
               ERROR_SUCCESS;
        oldSize_ = size;
        RegSetValueExW(key_, L"AppData", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                       static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
    }
    ~MovedAppData() {
        if (had_) RegSetValueExW(key_, L"AppData", 0, type_, reinterpret_cast<const BYTE*>(old_), oldSize_);
        else RegDeleteValueW(key_, L"AppData");
        RegCloseKey(key_);
    }

private:
    HKEY key_ = nullptr;
    wchar_t old_[1024] = {};
    DWORD type_ = REG_EXPAND_SZ, oldSize_ = 0;
    bool had_ = false;
};

TEST(PathsWin, SpecialFoldersComeFromTheShellWithOneBackslash) {
    Win32PathPlatform p;
    std::string appData = GetAppDataDir(p), startup = GetStartupDir(p);
    EXPECT_TRUE(EndsWith(appData, "\\AppData\\Roaming\\")) << appData;
    EXPECT_TRUE(EndsWith(startup, "\\Start Menu\\Programs\\StartUp\\")) << startup;
    EXPECT_FALSE(EndsWith(appData, "\\\\"));
    EXPECT_TRUE(IsFolderW(AnsiToWide(appData)));
    // A number the shell does not know gives nothing.
    EXPECT_EQ(GetSpecialFolder(p, 0x7F), "");
    EXPECT_EQ(GetWindowsDir(p), "C:\\windows");
    EXPECT_TRUE(EndsWith(p.ProgramPath(), "\\win_paths_test.exe")) << p.ProgramPath();
}

TEST(PathsWin, AChineseAppDataFolderArrivesInGbk) {
    wchar_t build[MAX_PATH];
    GetModuleFileNameW(nullptr, build, MAX_PATH);
    std::wstring folder = std::wstring(build).substr(0, std::wstring(build).find_last_of(L'\\')) + L"\\数据";
    CreateDirectoryW(folder.c_str(), nullptr);
    {
        MovedAppData moved(folder);
        Win32PathPlatform p;
        EXPECT_EQ(GetAppDataDir(p), WideToAnsi(folder) + "\\");
        EXPECT_NE(GetAppDataDir(p).find("\xca\xfd\xbe\xdd"), std::string::npos) << "GBK bytes of 数据";
    }
    RemoveDirectoryW(folder.c_str());
}

}  // namespace
