// The log append rules against an in-memory log that behaves as a rich edit does where the
// rules depend on it: a line break is one position (CR), inserted text takes the colour of
// the insertion point, a selection has a start and an end, and the control can refuse.
#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/message_log.h"
#include "app/text.h"

namespace {

constexpr std::uint32_t kAuto = 0xABCDEF;  // colour of text nobody coloured
const std::string kSaid = gbk::kSaidColon;
const std::string kHello = "\xc4\xe3\xba\xc3";  // 你好

class MemoryLog : public ILogControl {
public:
    std::string text;  // CR for every line break, as the control stores it
    std::vector<std::uint32_t> colours;
    long selStart = 0, selEnd = 0;
    std::optional<std::uint32_t> insertColour;  // what the insertion point would give
    std::size_t capacity = std::string::npos;   // insertion beyond it is cut and throws
    bool failSelection = false, failColour = false;
    std::vector<long> scrolledTo;  // caret position at each EM_SCROLLCARET

    // Text typed or loaded by the user, in the default colour.
    void UserText(const std::string& t) {
        text = Breaks(t);
        colours.assign(text.size(), kAuto);
        selStart = selEnd = 0;
        insertColour.reset();
    }
    std::string ColourRun(std::uint32_t c) const {
        std::string s;
        for (std::size_t i = 0; i < text.size(); ++i)
            if (colours[i] == c) s += text[i];
        return s;
    }

    long TextLength() override { return static_cast<long>(text.size()); }
    bool EndsWithLineBreak() override {
        if (text.empty()) return true;
        MoveToEnd();
        return text.back() == '\r';
    }
    void InsertAtEnd(const std::string& ansi) override {
        MoveToEnd();
        std::string t = Breaks(ansi);
        std::uint32_t c = insertColour ? *insertColour : (text.empty() ? kAuto : colours.back());
        bool cut = capacity != std::string::npos && text.size() + t.size() > capacity;
        if (cut) t.resize(capacity > text.size() ? capacity - text.size() : 0);
        text += t;
        colours.resize(text.size(), c);
        selStart = selEnd = TextLength();
        insertColour.reset();
        if (cut) throw std::runtime_error("RichEdit line insertion error");
    }
    void SetSelection(long start, long length) override {
        if (failSelection) throw std::runtime_error("selection failed");
        long n = TextLength();
        selStart = std::min(std::max(start, 0L), n);
        selEnd = std::min(std::max(start + length, selStart), n);
        insertColour.reset();
    }
    void SetSelectionColour(std::uint32_t colour) override {
        if (failColour) throw std::runtime_error("colour failed");
        if (selStart == selEnd) insertColour = colour;
        for (long i = selStart; i < selEnd; ++i) colours[static_cast<std::size_t>(i)] = colour;
    }
    void ScrollCaret() override { scrolledTo.push_back(selEnd); }

private:
    static std::string Breaks(const std::string& s) {
        std::string r;
        for (std::size_t i = 0; i < s.size(); ++i) {
            if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
            r += s[i] == '\n' ? '\r' : s[i];
        }
        return r;
    }
    void MoveToEnd() {
        long n = TextLength();
        if (selStart != n || selEnd != n) {
            selStart = selEnd = n;
            insertColour.reset();
        }
    }
};

TEST(LogAppend, RefusesEmptyTextsAndABareSaidColon) {
    const std::string refused[] = {"", " ", "\t\r\n ", "\x01\x1f", kSaid, "  " + kSaid + "  ",
                                   " " + kSaid, "\r\n" + kSaid + "\x20"};
    for (const auto& t : refused) {
        MemoryLog log;
        log.UserText("typed");
        AppendLogLine(log, t);
        EXPECT_EQ(log.text, "typed") << t;
        AppendColouredLine(log, t, 0xFF0000, true);
        EXPECT_EQ(log.text, "typed") << t;
        EXPECT_EQ(log.ColourRun(0xFF0000), "") << t;
        EXPECT_EQ(log.selStart, 5);
        EXPECT_EQ(log.selEnd, 5);
    }
}

TEST(LogAppend, AddsTheTextUntrimmedAsANewLastLine) {
    struct Case {
        std::string before, line, after;
    } cases[] = {
        {"", "hello", "hello\r"},
        {"", "  hi  ", "  hi  \r"},
        {"", kSaid + "x", kSaid + "x\r"},
        {"", kSaid + kSaid, kSaid + kSaid + "\r"},
        {"", "\xa1\xa1" + kSaid, "\xa1\xa1" + kSaid + "\r"},  // a full-width space is not trimmed
        {"old\r\n", "new", "old\rnew\r"},
        {"typed", "new", "typed\rnew"},  // typed without a final break: the line gets its own
        {"typed\r\n\r\n", "new", "typed\r\rnew\r"},
        {"", "two\r\nlines", "two\rlines\r"},
    };
    for (const auto& c : cases) {
        MemoryLog log;
        log.UserText(c.before);
        AppendLogLine(log, c.line);
        EXPECT_EQ(log.text, c.after) << c.line;
    }
}

TEST(LogAppend, ColoursExactlyTheAppendedRange) {
    MemoryLog log;
    log.UserText("typed");
    AppendColouredLine(log, "Alice 12:34:56 " + kSaid, 0xFF0000, false);
    AppendColouredLine(log, "hello " + kHello, 0x000000, true);
    AppendColouredLine(log, "Bob 12:35:00 " + kSaid, 0x008000, false);
    EXPECT_EQ(log.text, "typed\rAlice 12:34:56 " + kSaid + "\rhello " + kHello + "\rBob 12:35:00 " + kSaid);
    EXPECT_EQ(log.ColourRun(kAuto), "typed");
    EXPECT_EQ(log.ColourRun(0xFF0000), "\rAlice 12:34:56 " + kSaid);
    EXPECT_EQ(log.ColourRun(0x000000), "\rhello " + kHello);
    EXPECT_EQ(log.ColourRun(0x008000), "\rBob 12:35:00 " + kSaid);
}

TEST(LogAppend, MessageLinesFromAnEmptyLogEachEndWithTheirBreak) {
    MemoryLog log;
    AppendColouredLine(log, "Alice 12:34:56 " + kSaid, 0xFF0000, false);
    AppendColouredLine(log, "hello", 0x000000, true);
    EXPECT_EQ(log.text, "Alice 12:34:56 " + kSaid + "\rhello\r");
    EXPECT_EQ(log.ColourRun(0xFF0000), "Alice 12:34:56 " + kSaid + "\r");
    EXPECT_EQ(log.ColourRun(0x000000), "hello\r");
    EXPECT_EQ(log.ColourRun(kAuto), "");
}

TEST(LogAppend, RefusedHeaderLeavesTheBodyBlack) {
    MemoryLog log;
    log.UserText("x\r\n");
    AppendColouredLine(log, " " + kSaid, 0x008000, false);
    AppendColouredLine(log, "body", 0x000000, true);
    EXPECT_EQ(log.text, "x\rbody\r");
    EXPECT_EQ(log.ColourRun(0x008000), "");
    EXPECT_EQ(log.ColourRun(0x000000), "body\r");
}

TEST(LogAppend, CaretStandsAtTheStartOfTheNewLineWithNothingSelected) {
    MemoryLog log;
    log.UserText("first line\r\nsecond\r\n");
    log.SetSelection(2, 5);  // the user's selection is lost
    AppendColouredLine(log, "Alice 12:34:56 " + kSaid, 0xFF0000, false);
    const long bodyStart = log.TextLength();
    AppendColouredLine(log, "multi\r\nline body", 0x000000, true);
    EXPECT_EQ(log.selStart, bodyStart);
    EXPECT_EQ(log.selEnd, bodyStart);
    // Measured in the control's unit: the CR LF inside the body is one position.
    EXPECT_EQ(log.TextLength(), bodyStart + 16);
}

TEST(LogAppend, ScrollsTheCaretAtTheEndOfTheNewLineOnlyWhenAsked) {
    MemoryLog log;
    AppendColouredLine(log, "header", 0xFF0000, false);
    EXPECT_TRUE(log.scrolledTo.empty());
    AppendColouredLine(log, "body", 0x000000, true);
    EXPECT_EQ(log.scrolledTo, std::vector<long>{log.TextLength()});
}

TEST(LogAppend, InsertionErrorsAreSwallowedAndWhatWasAddedIsStillColoured) {
    MemoryLog log;
    log.UserText("abc\r\n");
    log.capacity = 8;
    EXPECT_NO_THROW(AppendLogLine(log, "0123456789"));
    EXPECT_EQ(log.text, "abc\r0123");
    EXPECT_NO_THROW(AppendColouredLine(log, "more", 0xFF0000, true));
    EXPECT_EQ(log.text, "abc\r0123") << "full: nothing more goes in";
    EXPECT_EQ(log.selStart, 8);
    EXPECT_EQ(log.selEnd, 8);

    MemoryLog cut;
    cut.capacity = 3;
    EXPECT_NO_THROW(AppendColouredLine(cut, "hello", 0xFF0000, false));
    EXPECT_EQ(cut.ColourRun(0xFF0000), "hel");
    EXPECT_EQ(cut.selEnd, 0);
}

TEST(LogAppend, SelectionAndColourErrorsReachTheCaller) {
    MemoryLog sel;
    sel.failSelection = true;
    EXPECT_THROW(AppendColouredLine(sel, "hello", 0, true), std::runtime_error);
    MemoryLog colour;
    colour.failColour = true;
    EXPECT_THROW(AppendColouredLine(colour, "hello", 0, true), std::runtime_error);
}

}  // namespace
