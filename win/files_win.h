// Whole files through the Win32 file API, for the log commands, the WAV export and the logon
// shortcut. Paths are ANSI and opened as UTF-16, so any name the code page can spell works.
#pragma once

#include <windows.h>

#include <string>

#include "base/files.h"

class Win32Files : public IFiles {
public:
    std::string ReadAll(const std::string& path) override;
    void WriteAll(const std::string& path, const std::string& bytes) override;
    bool Delete(const std::string& path) override;
};

// The system's text for a Win32 error code, in the ANSI code page.
std::string SystemErrorText(DWORD error);
