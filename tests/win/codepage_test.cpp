// The code-page service under Wine with the GBK code page, as on the systems served.
#include <gtest/gtest.h>

#include <windows.h>

#include "win/codepage_win.h"

TEST(CodePage, SystemAnsiCodePageIsGbk) { EXPECT_EQ(GetACP(), 936u); }

TEST(CodePage, RoundTripsGbkBytesExactly) {
    Win32CodePage cp;
    struct Case {
        std::string ansi;
        std::u16string wide;
    } cases[] = {
        {"\xcb\xb5\xa3\xba", u"说："},
        {"\xa3\xad \xc8\xba", u"－ 群"},
        {"Chatting with", u"Chatting with"},
        {"", u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cp.AnsiToUtf16(c.ansi), c.wide);
        EXPECT_EQ(cp.Utf16ToAnsi(c.wide), c.ansi);
    }
}
