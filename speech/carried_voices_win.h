// The carried voices' platform part on Win32: HKEY_LOCAL_MACHINE through the ANSI registry
// calls (paths keep the system code page's bytes) and the Windows version.
#pragma once

#include "speech/carried_voices.h"

class Win32Registry : public IRegistry {
public:
    std::unique_ptr<IRegistryKey> CreateKey(const std::string& path) override;
    std::unique_ptr<IRegistryKey> OpenKey(const std::string& path) override;
};

class Win32OsVersion : public IOsVersion {
public:
    int MajorVersion() override;
};
