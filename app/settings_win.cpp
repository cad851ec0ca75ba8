// Win32 side of the settings file; see settings_win.h.
#include "app/settings_win.h"

#include <windows.h>

std::string Win32ProfileStrings::ReadString(const std::string& file, const std::string& section,
                                            const std::string& key, const std::string& def) {
    // The buffer size is part of the file's contract: longer values arrive cut.
    char buf[2048] = {};
    DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buf, sizeof buf, file.c_str());
    return std::string(buf, n);
}

bool Win32ProfileStrings::WriteString(const std::string& file, const std::string& section, const std::string& key,
                                      const std::string& value) {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != FALSE;
}
