// The log append rules on a real rich-edit control, created as the main window creates its
// log. Colours are read back the way a saved log carries them: the control streams itself
// out as RTF, and a small reader turns that into text runs with their colours.
#include <gtest/gtest.h>

#include <windows.h>

#include <richedit.h>

#include <cctype>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "app/log_control_win.h"
#include "app/message_log.h"
#include "base/text.h"
#include "support/rtf_runs.h"
#include "win/codepage_win.h"

namespace {

const std::string kSaid = gbk::kSaidColon;
const std::string kSpaceSaid = gbk::kSpaceSaidColon;
const std::string kHello = "\xc4\xe3\xba\xc3";  // 你好
constexpr COLORREF kGreen = 0x008000, kBlue = 0xFF0000, kBlack = 0x000000;

class LogAppend : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(h_, nullptr);
        log_.Attach(h_);
    }

    // The text as another program reads it: WM_GETTEXT, CR LF between lines.
    std::string Text() {
        int n = GetWindowTextLengthW(h_);
        std::wstring w(static_cast<std::size_t>(n) + 1, L'\0');
        w.resize(static_cast<std::size_t>(GetWindowTextW(h_, &w[0], n + 1)));
        return WideToAnsi(w);
    }
    CHARRANGE Selection() {
        CHARRANGE r = {};
        SendMessageW(h_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
        return r;
    }
    // What a user's keyboard does: characters typed at the caret.
    void Type(const std::wstring& s) {
        for (wchar_t c : s) SendMessageW(h_, WM_CHAR, c, 0);
    }

    LogHost host_{true};
    HWND h_ = host_.Control();
    RichEditLog log_;
};

TEST_F(LogAppend, MessageLinesCarryTheirColoursInTheSavedRtf) {
    AppendColouredLine(log_, "Alice 12:34:56" + kSpaceSaid, kBlue, false);
    AppendColouredLine(log_, "hello " + kHello, kBlack, true);
    AppendColouredLine(log_, "Bob 12:35:01" + kSpaceSaid, kGreen, false);
    AppendColouredLine(log_, "two\r\nlines", kBlack, true);
    const std::string expected = "Alice 12:34:56" + kSpaceSaid + "\r\nhello " + kHello + "\r\nBob 12:35:01" +
                                 kSpaceSaid + "\r\ntwo\r\nlines\r\n";
    ASSERT_EQ(Text(), expected);

    Rtf rtf = ReadRtf(h_);
    EXPECT_NE(rtf.raw.find("\\ansicpg936"), std::string::npos) << rtf.raw;
    std::map<COLORREF, int> seen;
    for (COLORREF c : rtf.table) ++seen[c];
    EXPECT_TRUE(seen.count(kGreen) && seen.count(kBlue) && seen.count(kBlack)) << rtf.raw;
    std::vector<ColourRun> want = {
        {"Alice 12:34:56" + kSpaceSaid + "\r\n", kBlue},
        {"hello " + kHello + "\r\n", kBlack},
        {"Bob 12:35:01" + kSpaceSaid + "\r\n", kGreen},
        {"two\r\nlines\r\n", kBlack},
    };
    EXPECT_EQ(TextRuns(rtf, expected), want) << rtf.raw;
    EXPECT_EQ(rtf.runs.size(), want.size() + 1) << "only the final paragraph mark beyond the text: " << rtf.raw;
}

TEST_F(LogAppend, RefusedLinesAddNothingAndTheBodyStaysBlack) {
    for (const std::string& t : {std::string(), std::string("   "), std::string("\t\r\n"), kSaid,
                                 "  " + kSaid + " ", kSpaceSaid}) {
        AppendLogLine(log_, t);
        AppendColouredLine(log_, t, kGreen, false);
    }
    EXPECT_EQ(log_.TextLength(), 0);
    AppendColouredLine(log_, kSpaceSaid, kGreen, false);  // a header whose sender came out empty
    AppendColouredLine(log_, "body", kBlack, true);
    EXPECT_EQ(Text(), "body\r\n");
    Rtf rtf = ReadRtf(h_);
    EXPECT_EQ(TextRuns(rtf, Text()), (std::vector<ColourRun>{{"body\r\n", kBlack}})) << rtf.raw;
}

TEST_F(LogAppend, TextIsAddedUntrimmedAndGbkIsKept) {
    const std::string line = "  " + kHello + " \xa1\xa1x  ";  // ends in ASCII spaces, holds a full-width one
    AppendLogLine(log_, line);
    EXPECT_EQ(Text(), line + "\r\n");
    EXPECT_EQ(AnsiToWide(Text()), L"  你好 　x  \r\n");
}

TEST_F(LogAppend, LineTypedWithoutABreakIsNotJoinedToTheNextLine) {
    SetFocus(h_);
    Type(L"typed by the user");
    AppendColouredLine(log_, "Alice 12:34:56" + kSpaceSaid, kBlue, false);
    AppendColouredLine(log_, "hello", kBlack, true);
    EXPECT_EQ(Text(), "typed by the user\r\nAlice 12:34:56" + kSpaceSaid + "\r\nhello");
    Rtf rtf = ReadRtf(h_);
    std::vector<ColourRun> runs = TextRuns(rtf, Text());
    ASSERT_EQ(runs.size(), 3u) << rtf.raw;
    EXPECT_EQ(runs[0].text, "typed by the user");
    EXPECT_EQ(runs[1], (ColourRun{"\r\nAlice 12:34:56" + kSpaceSaid, kBlue}));
    EXPECT_EQ(runs[2], (ColourRun{"\r\nhello", kBlack}));
}

TEST_F(LogAppend, LongTypedLineThatWrapsStillCountsAsUnfinished) {
    // The last line wraps over several rows of the narrow log; what matters is the text.
    Type(std::wstring(300, L'w'));
    AppendLogLine(log_, "next");
    EXPECT_EQ(Text(), std::string(300, 'w') + "\r\nnext");
    SendMessageW(h_, WM_KEYDOWN, VK_RETURN, 0);  // Enter
    SendMessageW(h_, WM_KEYUP, VK_RETURN, 0);
    AppendLogLine(log_, "after enter");
    EXPECT_EQ(Text(), std::string(300, 'w') + "\r\nnext\r\nafter enter\r\n");
}

TEST_F(LogAppend, CaretStandsAtTheStartOfTheBodyLineWithNothingSelected) {
    AppendColouredLine(log_, "first" + kSpaceSaid, kBlue, false);
    AppendColouredLine(log_, "line", kBlack, true);
    CHARRANGE user = {2, 7};
    SendMessageW(h_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&user));
    AppendColouredLine(log_, "Alice 12:34:56" + kSpaceSaid, kBlue, false);
    const long bodyStart = log_.TextLength();
    AppendColouredLine(log_, "multi\r\nline " + kHello, kBlack, true);
    CHARRANGE sel = Selection();
    EXPECT_EQ(sel.cpMin, bodyStart);
    EXPECT_EQ(sel.cpMax, bodyStart);
    // The caret's position names the body's first character.
    wchar_t buf[8] = {};
    TEXTRANGEW r = {{bodyStart, bodyStart + 5}, buf};
    SendMessageW(h_, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&r));
    EXPECT_STREQ(buf, L"multi");
}

TEST_F(LogAppend, NewestLineComesIntoViewWhileTheWindowIsHidden) {
    ASSERT_FALSE(IsWindowVisible(h_));
    for (int i = 0; i < 150; ++i) {
        AppendColouredLine(log_, "Alice 12:34:56" + kSpaceSaid, kBlue, false);
        AppendColouredLine(log_, "message " + std::to_string(i), kBlack, true);
    }
    long lines = static_cast<long>(SendMessageW(h_, EM_GETLINECOUNT, 0, 0));
    long first = static_cast<long>(SendMessageW(h_, EM_GETFIRSTVISIBLELINE, 0, 0));
    long bodyLine = static_cast<long>(SendMessageW(h_, EM_EXLINEFROMCHAR, 0, log_.TextLength() - 1));
    EXPECT_GT(first, 0) << "scrolled at all";
    EXPECT_TRUE(GetWindowLongW(h_, GWL_STYLE) & WS_VSCROLL) << "a vertical scroll bar once the log outgrows its window";
    RECT client;
    GetClientRect(h_, &client);
    POINTL at = {};
    SendMessageW(h_, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), log_.TextLength() - 1);
    EXPECT_GE(at.y, client.top) << "newest body line " << bodyLine << " of " << lines << ", first visible " << first;
    EXPECT_LT(at.y, client.bottom) << "newest body line " << bodyLine << " of " << lines << ", first visible " << first;

    // The user scrolled back to the top; scrolling the caret (at the end) brings it back.
    SendMessageW(h_, WM_VSCROLL, SB_TOP, 0);
    ASSERT_EQ(SendMessageW(h_, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    CHARRANGE end = {log_.TextLength(), log_.TextLength()};
    SendMessageW(h_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
    log_.ScrollCaret();
    EXPECT_GE(SendMessageW(h_, EM_GETFIRSTVISIBLELINE, 0, 0), first);
}

TEST_F(LogAppend, LogKeepsLinesBeyondTheControlsDefaultLimit) {
    EXPECT_GE(SendMessageW(h_, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);
    const std::string body(60, 'x');
    for (int i = 0; i < 700; ++i) AppendColouredLine(log_, body + std::to_string(i), kBlack, true);
    EXPECT_GT(log_.TextLength(), 40000);
    std::string text = Text();
    EXPECT_NE(text.find(body + "699\r\n"), std::string::npos) << "the newest line is there";
}

TEST_F(LogAppend, AControlThatIsGoneFailsTheColouringNotTheAppend) {
    RichEditLog gone(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7654)));
    EXPECT_NO_THROW(AppendLogLine(gone, "hello"));
    EXPECT_THROW(AppendColouredLine(gone, "hello", kBlue, true), std::runtime_error);
}

}  // namespace
