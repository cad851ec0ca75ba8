// The Windows shell as the program uses it: opening addresses, writing shortcut files, and
// keys held for the whole desktop. Every path and text here is 8-bit, in the ANSI code page;
// the folders the program's own files live in come from the path routines.
#pragma once

#include <string>

// Show commands handed to the shell, with the platform's values.
constexpr int kSwShow = 5;
constexpr int kSwShowMaximized = 3;

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
    // object library initialised around it. Throws FileError naming linkPath when any step
    // fails, the shell link object's creation and the writing of the file included.
    virtual void SaveShortcut(const ShortcutSpec& shortcut, const std::string& linkPath) = 0;
};

// A key combination held for the whole desktop: modifier keys (the platform's values) and a
// capital letter, whose virtual-key code is its character code.
struct THotKey {
    enum Modifier : unsigned { Alt = 1, Ctrl = 2, Shift = 4 };
    unsigned modifiers = 0;
    char letter = 0;  // 0: no key
};

// Keys pressed anywhere reach the main window as the id they were held under.
struct IHotKeys {
    virtual ~IHotKeys() = default;
    // False when another program holds the combination already.
    virtual bool Register(int id, THotKey key) = 0;
    virtual void Unregister(int id) = 0;
};
