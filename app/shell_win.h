// The Windows shell for the program: ShellExecute on behalf of the main window, shortcut
// files through the shell link object, the program's path and the special folders.
#pragma once

#include <windows.h>

#include "app/shell.h"

class Win32Shell : public IShell {
public:
    explicit Win32Shell(const HWND& mainWindow) : main_(mainWindow) {}
    void Execute(const std::string& operation, const std::string& file, const std::string& parameters,
                 const std::string& directory, int showCommand) override;
    void SaveShortcut(const ShortcutSpec& shortcut, const std::string& linkPath) override;
    std::string ProgramPath() override;
    std::string SpecialFolder(int csidl) override;

private:
    const HWND& main_;
};
