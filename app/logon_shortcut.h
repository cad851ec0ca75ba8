// Running at logon: a shortcut to the program in the user's own Startup folder, which the
// shell runs at every logon. Two menu items, one in each menu, share one tick; ticking makes
// the shortcut and unticking deletes it. The ticks at start come from the shortcut's
// existence (FormCreate).
#pragma once

#include <string>

#include "app/paths.h"
#include "ui/shell.h"
#include "base/files.h"
#include "ui/components.h"

// The argument the shortcut passes; the program reads no arguments, so a start at logon is
// like any other.
inline constexpr char kLogonArguments[] = " -s";

// Makes or replaces the shortcut at linkPath, starting target with the arguments from the
// target's own folder (cut off by the code page's lead-byte rule). Throws "File Ext Must Be:
// ′′LNK′′!" (code page 936) unless linkPath ends in ".lnk" in any letter case, and whatever
// the shell throws.
void CreateShortcut(IShell& shell, const std::string& target, const std::string& arguments,
                    const std::string& linkPath, const std::string& description, const ILeadBytes& leadBytes);

// A click on either item: the shortcut is made (ticking) or deleted when it exists
// (unticking), then the clicked item's tick flips and the other takes the same. When the
// shortcut cannot be made, the error goes on and both ticks stay as they were.
void ToggleRunAtLogon(TMenuItem& clicked, TMenuItem& other, IPathPlatform& paths, IShell& shell, IFiles& files,
                      const std::string& title);
