// A code-page service for native tests that converts like a Windows system with the given
// ANSI code page does, through the C library's iconv. By default that is GBK (code page 936),
// as on the Chinese systems served; "BIG5" or "CP1252" stand for other systems. Bytes that do
// not form a character come out as U+FFFD; characters the code page cannot hold as '?'.
#pragma once

#include <string>
#include <utility>

#include "base/codepage.h"

class IconvCodePage : public ICodePage {
public:
    explicit IconvCodePage(std::string charset = "GBK") : charset_(std::move(charset)) {}
    std::u16string AnsiToUtf16(const std::string& ansi) override;
    // The other way, for tests that build chat data from readable text.
    std::string Utf16ToAnsi(const std::u16string& wide);

private:
    std::string charset_;
};

// Shorthands for tests that write their data in UTF-8 source text.
std::string Utf8ToGbk(const std::string& utf8);
std::string GbkToUtf8(const std::string& gbk);
