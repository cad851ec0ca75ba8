// Win32 side of the settings file; see settings_win.h.
#include "app/settings_win.h"

#include <windows.h>

#include "win/handles.h"

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

std::string Win32ProfileStrings::FirstBytes(const std::string& file, std::size_t count) {
    UniqueFile f(CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string bytes(count, '\0');
    DWORD got = 0;
    if (!f || !ReadFile(f.get(), bytes.data(), static_cast<DWORD>(count), &got, nullptr)) got = 0;
    bytes.resize(got);
    return bytes;
}
