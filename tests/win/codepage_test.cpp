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
        EXPECT_EQ(WideToAnsi(std::wstring(c.wide.begin(), c.wide.end())), c.ansi);
    }
}

// A file name may hold half of a surrogate pair: through UTF-8 it comes back as it was.
TEST(CodePage, Utf8KeepsEveryWideStringExactly) {
    for (const std::wstring& w : {std::wstring(L"a\xD800" L"b"), std::wstring(L"\xDC00"), std::wstring(L"\xD83D\xDE00 \uD55C")})
        EXPECT_EQ(Utf8ToWide(WideToUtf8(w)), w);
    EXPECT_EQ(WideToUtf8(L"\xD83D\xDE00\uD55C"), "\xF0\x9F\x98\x80\xED\x95\x9C");
    EXPECT_EQ(Utf8ToWide("\xC0\x80\xF8\xE4\xB8"), L"\xFFFD\xFFFD\xFFFD\xFFFD\xFFFD") << "each byte that starts nothing whole";
}

// Text read aloud loses what the code page cannot hold, and only that.
TEST(CodePage, OmitsWhatTheCodePageLacks) {
    const struct {
        std::wstring wide;
        std::string ansi;
    } cases[] = {
        {L"\u597D\u7684\xD83D\xDE00!", "\xba\xc3\xb5\xc4!"},  // an emoji: a surrogate pair
        {L"a\xD800" L"b\xDC00", "ab"},                          // lone halves
        {L"\u8BF4\uFF1A", "\xcb\xb5\xa3\xba"},
        {L"\u0E01x", "x"},                                       // Thai: no GBK form
        {L"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(WideToAnsiOmitting(c.wide), c.ansi);
}
