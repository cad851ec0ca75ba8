// Code-page conversion with the system's ANSI code page, and wide-string helpers for the
// Win32 boundary.
#pragma once

#include <windows.h>

#include <string>

#include "base/codepage.h"

std::wstring AnsiToWide(const std::string& ansi);
std::string WideToAnsi(const std::wstring& wide);
// UTF-8 that keeps every UTF-16 string exact, half a surrogate pair included (see the .cpp).
std::string WideToUtf8(const std::wstring& wide);
std::wstring Utf8ToWide(const std::string& utf8);
// The ANSI form without best fit: a character the code page lacks becomes "?" and the answer
// is false, so a name is never turned into a look-alike that names another file.
bool WideToAnsiExact(const std::wstring& wide, std::string& ansi);
// The ANSI form of text meant to be read aloud: a character the code page lacks (an emoji, a
// lone half of a surrogate pair) is left out, neither spoken as "?" nor turned into a
// look-alike.
std::string WideToAnsiOmitting(const std::wstring& wide);

class Win32CodePage : public ICodePage, public ILeadBytes {
public:
    std::u16string AnsiToUtf16(const std::string& ansi) override;
    // The system's own rule for its ANSI code page (IsDBCSLeadByteEx with CP_ACP).
    bool IsLeadByte(unsigned char c) const override;
};
