// Running at logon: a shortcut to the program in the user's own Startup folder, which the
// shell runs at every logon. Two menu items, one in each menu, share one tick; ticking makes
// the shortcut and unticking deletes it.
#pragma once

#include <string>

#include "app/components.h"
#include "app/files.h"
#include "app/shell.h"

// The argument the shortcut passes; the program reads no arguments, so a start at logon is
// like any other.
inline const std::string kLogonArguments = " -s";

// The file-name part of the path without its last extension: C:\Tools\sonvira.exe gives
// sonvira, a.b.exe gives a.b.
std::string GetExeBaseName(const std::string& path);
// The folder part of the path with its trailing backslash (empty when it names no folder).
std::string ExtractFilePath(const std::string& path);
// The per-user Startup folder with a trailing backslash.
std::string GetStartupDir(IShell& shell);
// The Startup folder + the program's base name + ".lnk".
std::string LogonShortcutPath(IShell& shell);

// Makes or replaces the shortcut at linkPath, starting target with the arguments from the
// target's own folder. Throws "File Ext Must Be: ′′LNK′′!" (code page 936) unless linkPath
// ends in ".lnk" in any letter case, and whatever the shell throws.
void CreateShortcut(IShell& shell, const std::string& target, const std::string& arguments,
                    const std::string& linkPath, const std::string& description);

// A click on either item: the clicked item's tick flips, the other takes the same, and the
// shortcut is made (ticked) or deleted when it exists (unticked).
void ToggleRunAtLogon(TMenuItem& clicked, TMenuItem& other, IShell& shell, IFiles& files, const std::string& title);

// At start: both ticks say whether the shortcut exists.
void InitRunAtLogonTicks(TMenuItem& item, TMenuItem& item2, IShell& shell, IFiles& files);
