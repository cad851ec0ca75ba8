// Win32 side of the settings file; see settings_win.h.
#include "app/settings_win.h"

#include <windows.h>

#include <cstring>

#include "win/handles.h"

std::string Win32ProfileStrings::ReadString(const std::string& file, const std::string& section,
                                            const std::string& key, const std::string& def) {
    // A value that filled the buffer (the call then returns its size less one) may have been
    // cut, so it is read again into one twice as big: a long mute list read cut would be
    // written back cut at exit.
    std::string value(2048, '\0');
    for (;;) {
        const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), &value[0],
                                                 static_cast<DWORD>(value.size()), file.c_str());
        if (n + 1 < value.size() || value.size() >= (1u << 30)) {
            value.resize(n);
            return value;
        }
        value.assign(value.size() * 2, '\0');
    }
}

bool Win32ProfileStrings::WriteString(const std::string& file, const std::string& section, const std::string& key,
                                      const std::string& value) {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != FALSE;
}

// The one section read whole is [voices]: 200 rules of long nicknames and voice names fit.
std::vector<std::string> Win32ProfileStrings::ReadSection(const std::string& file, const std::string& section) {
    std::string block(1u << 18, '\0');
    block.resize(GetPrivateProfileSectionA(section.c_str(), &block[0], static_cast<DWORD>(block.size()), file.c_str()));
    std::vector<std::string> lines;
    for (const char* at = block.c_str(); *at; at += std::strlen(at) + 1) lines.emplace_back(at);
    return lines;
}

bool Win32ProfileStrings::WriteSection(const std::string& file, const std::string& section,
                                       const std::vector<std::string>& lines) {
    std::string block;
    for (const std::string& l : lines) block.append(l).push_back('\0');
    block.push_back('\0');
    return WritePrivateProfileSectionA(section.c_str(), block.data(), file.c_str()) != FALSE;
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
