// The Windows shell as the program uses it: opening addresses, writing shortcut files, and
// the paths it builds its own files' names from. Every path and text here is 8-bit, in the
// ANSI code page.
#pragma once

#include <string>

// Show commands handed to the shell, with the platform's values.
constexpr int kSwShow = 5;
constexpr int kSwShowMaximized = 3;

// CSIDL numbers of the shell's special folders.
constexpr int kCsidlStartup = 7;

// What a shortcut file holds. Show command, icon and hot key stay at the shell's defaults.
struct ShortcutSpec {
    std::string target;
    std::string arguments;
    std::string workingDirectory;
    std::string description;
};

struct IShell {
    virtual ~IShell() = default;
    // Asks the shell to carry out an operation ("open") on a file or address, on behalf of
    // the main window. The outcome is not reported: with no program to answer, nothing happens.
    virtual void Execute(const std::string& operation, const std::string& file, const std::string& parameters,
                         const std::string& directory, int showCommand) = 0;
    // Makes or replaces the shortcut file at linkPath through the shell link object, with the
    // object library initialised around it. Throws when the shell link object cannot be
    // created; whether the file could be written is not reported.
    virtual void SaveShortcut(const ShortcutSpec& shortcut, const std::string& linkPath) = 0;
    // The full path of the running program file.
    virtual std::string ProgramPath() = 0;
    // The file-system path of a special folder, without a trailing backslash; empty when the
    // shell cannot resolve it.
    virtual std::string SpecialFolder(int csidl) = 0;
};
