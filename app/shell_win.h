// The Windows shell for the program: ShellExecute on behalf of the main window, and shortcut
// files through the shell link object.
#pragma once

#include <windows.h>

#include "app/shell.h"

class Win32Shell : public IShell {
public:
    explicit Win32Shell(const HWND& mainWindow) : main_(mainWindow) {}
    void Execute(const std::string& operation, const std::string& file, const std::string& parameters,
                 const std::string& directory, int showCommand) override;
    void SaveShortcut(const ShortcutSpec& shortcut, const std::string& linkPath) override;

private:
    const HWND& main_;
};
