// The one place where text changes encoding: the system's ANSI code page (8-bit chat data)
// to UTF-16 (what the speech engine and the wide Win32 calls take) and back.
#pragma once

#include <string>

// Which bytes begin a two-byte character in the system's ANSI code page. Paths and names are
// split only between characters: in a double-byte code page (936, 932, 949, 950) the second
// byte of a character may be a backslash or a dot, in a single-byte one (1252) no byte leads.
struct ILeadBytes {
    virtual ~ILeadBytes() = default;
    virtual bool IsLeadByte(unsigned char c) const = 0;
};

struct ICodePage {
    virtual ~ICodePage() = default;
    virtual std::u16string AnsiToUtf16(const std::string& ansi) = 0;
};
