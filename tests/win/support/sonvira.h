// Driving a running sonvira.exe from the end-to-end tests: the program started on a prepared
// data folder, its settings file in this prefix, the Windows version Wine reports to it,
// waiting out start-up and ending it the way a user does.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "support/process.h"

// %APPDATA%\<program>\set.ini of this prefix (a program keeps its settings under its file
// name). Removed when made and when it goes, so a test neither sees nor leaves settings of
// another.
class SettingsFile {
public:
    explicit SettingsFile(const std::wstring& program = L"sonvira");
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

// sonvira.exe as a test runs it: started on a data folder of its own (no stored settings, or
// the given set.ini), its main window found and start-up waited out, and when the test is
// done ended as a user ends it, by the tray menu's "退出" (closing the window only hides it).
// A program that does not end in time, or that waits for the user in a box, is killed, so a
// failed test leaves nothing running behind.
class RunningSonvira {
public:
    // Starts exe (sonvira.exe unless told; a copy keeps its settings under its own name).
    explicit RunningSonvira(const std::wstring& exe = SonviraExe(), const std::string& settings = {});
    // Takes over a program of that file started otherwise, from the moment it was started.
    RunningSonvira(ChildProcess started, const std::wstring& exe);
    // Prepares the data folder now and starts the program at Start().
    struct Later {};
    explicit RunningSonvira(Later, const std::wstring& exe = SonviraExe());
    ~RunningSonvira();
    RunningSonvira(const RunningSonvira&) = delete;
    RunningSonvira& operator=(const RunningSonvira&) = delete;

    // Ends the program if it runs, then starts it again on the data it left behind.
    void Start();
    // Ends it as above; true when it ended by itself.
    bool Exit();
    void Kill() { process_.Kill(); }

    HWND Main() const { return main_; }  // nullptr when no main window came up
    // Looked up each time: clearing or opening the log puts a new control in its place.
    HWND LogControl() const;
    std::wstring Log() const { return WindowTextW(LogControl()); }
    // The texts of the boxes start-up showed, which were answered OK.
    const std::vector<std::wstring>& StartUpBoxes() const { return startUpBoxes_; }
    // A menu command, as a user's choice (posted: it may open a modal box).
    void Choose(int command) const;
    SettingsFile& Settings() { return settings_; }

    DWORD Id() const { return process_.Id(); }
    bool Running() const { return process_.Running(); }
    bool WaitExit(DWORD timeoutMs, DWORD* exitCode = nullptr) { return process_.WaitExit(timeoutMs, exitCode); }

private:
    void Find();

    std::wstring exe_;
    SettingsFile settings_;
    ChildProcess process_;
    HWND main_ = nullptr;
    HWND log_ = nullptr;
    std::vector<std::wstring> startUpBoxes_;
};
