// The path routines (the unit GetPath): shell special folders, the program file's base name,
// the per-user data folder that holds set.ini, the Startup folder that holds the logon
// shortcut, and the Windows folder. Every string is 8-bit, in the system's ANSI code page, so
// Chinese or Japanese folder names arrive as double-byte characters and are split only
// between them, by the lead-byte rule of the code page the system runs with.
#pragma once

#include <string>

#include "base/codepage.h"

// Shell special folders the program uses, by CSIDL number.
constexpr int kCsidlStartup = 7;
constexpr int kCsidlAppData = 0x1A;

// What the routines need of the platform; Win32PathPlatform (paths_win.h) is the real one.
struct IPathPlatform {
    virtual ~IPathPlatform() = default;
    // The file-system path of a shell special folder without a trailing backslash, or ""
    // when the shell cannot resolve it.
    virtual std::string SpecialFolder(int csidl) = 0;
    // The full path of the running program file.
    virtual std::string ProgramPath() = 0;
    // The Windows folder as the platform returns it (no trailing backslash).
    virtual std::string WindowsFolder() = 0;
    virtual bool DirectoryExists(const std::string& path) = 0;
    // Creates one folder (not its parents); true when it exists as a folder afterwards.
    virtual bool CreateFolder(const std::string& path) = 0;
    // True for an existing file, false for a folder or nothing.
    virtual bool FileExists(const std::string& path) = 0;
    // The lead-byte rule of the code page the paths are in.
    virtual const ILeadBytes& LeadBytes() = 0;
};

std::string GetSpecialFolder(IPathPlatform& platform, int csidl);

// The file-name part of a path with its last extension removed: C:\Tools\sonvira.exe gives
// "sonvira", a.b.exe gives "a.b".
std::string GetExeBaseName(const std::string& path, const ILeadBytes& leadBytes);

// The folder part of a path with its trailing backslash ("C:\Tools\" for C:\Tools\a.exe).
std::string ExtractFilePath(const std::string& path, const ILeadBytes& leadBytes);

// The drive part of a path: "C:" for C:\Windows, "\\server\share" for a UNC path, else "".
std::string ExtractFileDrive(const std::string& path);

std::string GetAppDataDir(IPathPlatform& platform);  // CSIDL_APPDATA + "\"
std::string GetStartupDir(IPathPlatform& platform);  // CSIDL_STARTUP + "\"

// GetAppDataDir + the program's base name + "\". The folder is created (one level) when it is
// missing; std::runtime_error when that fails.
std::string GetDataDir(IPathPlatform& platform);

std::string GetWindowsDir(IPathPlatform& platform);

// The run-at-logon shortcut: GetStartupDir + the program's base name + ".lnk", so a renamed
// program no longer sees the shortcut made under its old name.
std::string GetLogonShortcutPath(IPathPlatform& platform);
