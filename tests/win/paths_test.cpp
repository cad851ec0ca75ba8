// The path routines on the real shell under Wine, with the GBK code page: special folders (a
// Chinese one included) and the Windows folder. The data folder under a Chinese program name
// is the end-to-end tests' (a renamed copy of sonvira.exe). A program deeper than MAX_PATH is
// this one, as the loader's record of its path says: Wine cannot start a program that deep.
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>
#include <winternl.h>

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

// Where the loader, and so GetModuleFileName, says this program lies, for one test.
class ProgramLiesAt {
public:
    explicit ProgramLiesAt(const std::wstring& path) : path_(path) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"  // GCC takes the TEB's segment read for an array
        LIST_ENTRY* first = NtCurrentTeb()->ProcessEnvironmentBlock->Ldr->InMemoryOrderModuleList.Flink;
#pragma GCC diagnostic pop
        auto* exe = CONTAINING_RECORD(first, LDR_DATA_TABLE_ENTRY, InMemoryOrderLinks);
        if (exe->DllBase != GetModuleHandleW(nullptr)) return;
        record_ = &exe->FullDllName;
        was_ = *record_;
        record_->Buffer = &path_[0];
        record_->Length = static_cast<USHORT>(path_.size() * sizeof(wchar_t));
        record_->MaximumLength = static_cast<USHORT>(record_->Length + sizeof(wchar_t));
    }
    ~ProgramLiesAt() {
        if (record_) *record_ = was_;
    }
    bool Moved() const { return record_ != nullptr; }

private:
    std::wstring path_;
    UNICODE_STRING* record_ = nullptr;
    UNICODE_STRING was_ = {};
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

TEST(PathsWin, AProgramDeeperThanMaxPathReadsItsWholePath) {
    const std::wstring deep = L"C:\\" + std::wstring(150, L'd') + L"\\数据\\" + std::wstring(150, L'e') + L"\\sonvira.exe";
    ProgramLiesAt moved(deep);
    ASSERT_TRUE(moved.Moved()) << "the loader's first module is this program";
    EXPECT_EQ(Win32PathPlatform().ProgramPath(), WideToAnsi(deep));
}

}  // namespace
