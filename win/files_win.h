// Whole files through the Win32 file API, for the log commands, the WAV export and the logon
// shortcut. The names the file dialogs return travel as UTF-8 and are opened as UTF-16, so any
// name the dialog accepts works; the logon shortcut's path is ANSI, as the path routines give it.
// No file is ever overwritten in place: a new content goes to a temporary file beside the
// target, which replaces the target only once it is complete.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "base/files.h"
#include "win/handles.h"

class Win32Files : public IFiles {
public:
    std::string ReadAll(const std::string& utf8Path, std::size_t atMost = SIZE_MAX) override;
    FileError CannotOpen(const std::string& utf8Path, const std::string& reason) override;
    void WriteAll(const std::string& utf8Path, const std::string& bytes) override;
    bool Delete(const std::string& ansiPath) override;
};

// A new content for a file, written under a temporary name in the target's folder (the same
// volume, so the final move is a rename) and put in place by Commit. Until then, and whenever
// a step fails, the target stays exactly as it was and the temporary goes.
class ReplacingFile {
public:
    ReplacingFile() = default;
    ~ReplacingFile() { Discard(); }
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Creates the temporary for this target, after removing what an earlier writer killed
    // meanwhile left of its own; 0 or the system's error code.
    DWORD Create(const std::wstring& target);
    HANDLE Handle() const { return file_.get(); }
    bool Open() const { return static_cast<bool>(file_); }
    // Flushes and closes the temporary, then moves it over the target in one step; 0 or the
    // system's error code, the temporary removed.
    DWORD Commit();
    // Closes and removes the temporary; the target is not touched.
    void Discard();

private:
    UniqueFile file_;
    std::wstring target_, temporary_;
};

// Runs attempt (0 or the system's error code) until it succeeds, fails for another reason than
// another program holding the file, or that program has held it for half a second.
DWORD RetryWhileHeld(const std::function<DWORD()>& attempt);
// Every byte to the file, in pieces WriteFile can take; 0 or the system's error code.
DWORD WriteWhole(HANDLE file, const void* data, std::size_t size);
// The system's text for a Win32 error code, in the ANSI code page.
std::string SystemErrorText(DWORD error);
// The error for a file named in UTF-8, worded by FileOpenErrorMessage or
// FileCreateErrorMessage. The 8-bit message names it in the ANSI code page, where a character
// the code page lacks is a "?", never a look-alike that would name another file; then the
// error carries the exact message too.
FileError NamedFileError(std::string (*wording)(const std::string& path, const std::string& reason),
                         const std::string& utf8Path, const std::string& reason);
