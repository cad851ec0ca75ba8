// The settings file's platform part on Win32: the ANSI profile-string calls, so set.ini keeps
// the system code page's bytes.
#pragma once

#include "app/settings.h"

class Win32ProfileStrings : public IProfileStrings {
public:
    std::string ReadString(const std::string& file, const std::string& section, const std::string& key,
                           const std::string& def) override;
    bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) override;
    std::string FirstBytes(const std::string& file, std::size_t count) override;
    std::vector<std::string> ReadSection(const std::string& file, const std::string& section) override;
    bool WriteSection(const std::string& file, const std::string& section,
                      const std::vector<std::string>& lines) override;
};
