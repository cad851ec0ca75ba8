// The path routines' platform part on Win32: the shell's special folders, the program file,
// the Windows folder and the file system, all through the ANSI calls the routines are
// defined by, so paths keep the system code page's bytes.
#pragma once

#include "app/paths.h"
#include "win/codepage_win.h"

class Win32PathPlatform : public IPathPlatform {
public:
    std::string SpecialFolder(int csidl) override;
    std::string ProgramPath() override;
    std::string WindowsFolder() override;
    bool DirectoryExists(const std::string& path) override;
    bool CreateFolder(const std::string& path) override;
    bool FileExists(const std::string& path) override;
    const ILeadBytes& LeadBytes() override { return codePage_; }

private:
    Win32CodePage codePage_;
};
