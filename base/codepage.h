// The one place where text changes encoding: the system's ANSI code page (8-bit chat data)
// to UTF-16 (what the speech engine and the wide Win32 calls take) and back.
#pragma once

#include <string>

struct ICodePage {
    virtual ~ICodePage() = default;
    virtual std::u16string AnsiToUtf16(const std::string& ansi) = 0;
    virtual std::string Utf16ToAnsi(const std::u16string& wide) = 0;
};
