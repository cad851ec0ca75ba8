// Driving a running sonvira.exe from the end-to-end tests: its settings file in this prefix,
// the Windows version Wine reports to it, waiting out start-up and ending it the way a user
// does.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// %APPDATA%\sonvira\set.ini of this prefix. Removed when made and when it goes, so a test
// neither sees nor leaves settings of another.
class SettingsFile {
public:
    SettingsFile();
    ~SettingsFile();
    SettingsFile(const SettingsFile&) = delete;
    SettingsFile& operator=(const SettingsFile&) = delete;
    const std::wstring& Path() const { return path_; }
    bool Exists() const;
    std::string Bytes() const;
    void Write(const std::string& bytes) const;

private:
    std::wstring path_;
};

// Wine reports this Windows version ("winxp": 5.1) to every program named exe while it
// lives (HKCU\Software\Wine\AppDefaults\<exe>\Version).
class WineVersionFor {
public:
    WineVersionFor(const std::wstring& exe, const std::wstring& version);
    ~WineVersionFor();
    WineVersionFor(const WineVersionFor&) = delete;
    WineVersionFor& operator=(const WineVersionFor&) = delete;

private:
    std::wstring key_;
};

// Answers start-up's error boxes as they come (a speech engine that refuses a voice costs
// one) and returns their texts once start-up has ended: the program's message loop runs.
std::vector<std::wstring> WaitForStartUp(HWND main, DWORD pid);

// Chooses "退出" in the main menu; the caller waits for the process to end.
void ExitSonvira(HWND main);
