// The path routines on the real shell and file system under Wine, with the GBK code page:
// special folders (a Chinese one included), the data folder made one level deep under a
// Chinese program name, and the Windows folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <string>

#include "app/paths_win.h"
#include "win/codepage_win.h"

namespace {

const std::wstring kLangdu = L"朗读";

// The program seen under another name, as a copy of sonvira.exe renamed by its user would be.
struct RenamedProgram : Win32PathPlatform {
    std::string path;
    std::string ProgramPath() override { return path; }
};

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

TEST(PathsWin, TheDataFolderIsMadeOneLevelDeepUnderAChineseName) {
    RenamedProgram p;
    p.path = WideToAnsi(L"C:\\工具\\" + kLangdu + L".exe");
    std::wstring appData = AnsiToWide(GetAppDataDir(p));
    std::wstring folder = appData + kLangdu;
    RemoveDirectoryW(folder.c_str());
    ASSERT_FALSE(IsFolderW(folder));

    EXPECT_EQ(GetDataDir(p), WideToAnsi(folder) + "\\");
    EXPECT_TRUE(IsFolderW(folder));
    // A second call leaves the folder and what it holds alone.
    std::wstring kept = folder + L"\\set.ini";
    HANDLE f = CreateFileW(kept.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(f, "[set]\r\n", 7, &written, nullptr);
    CloseHandle(f);
    EXPECT_EQ(GetDataDir(p), WideToAnsi(folder) + "\\");
    EXPECT_TRUE(p.FileExists(WideToAnsi(kept)));
    EXPECT_FALSE(p.FileExists(WideToAnsi(folder)));
    EXPECT_TRUE(p.DirectoryExists(WideToAnsi(folder)));
    DeleteFileW(kept.c_str());
    RemoveDirectoryW(folder.c_str());
}

TEST(PathsWin, OnlyOneLevelIsCreated) {
    // The base name lies below an application-data folder that does not exist.
    struct NoAppData : RenamedProgram {
        std::string root;
        std::string SpecialFolder(int) override { return root; }
    } p;
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::string tests = WideToAnsi(exe);
    tests = tests.substr(0, tests.find_last_of('\\'));
    p.root = tests + "\\no-such-appdata";
    p.path = "C:\\Tools\\sonvira.exe";
    EXPECT_THROW(GetDataDir(p), std::runtime_error);
    EXPECT_FALSE(p.DirectoryExists(p.root)) << "the application-data folder itself is not created";
    // A file where the folder should be cannot become one.
    std::string blocker = tests + "\\blocked";
    CloseHandle(CreateFileA(blocker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    p.root = tests;
    p.path = "C:\\Tools\\blocked.exe";
    EXPECT_THROW(GetDataDir(p), std::runtime_error);
    DeleteFileA(blocker.c_str());
}

}  // namespace
