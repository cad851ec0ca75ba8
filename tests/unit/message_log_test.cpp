// The log append rules against an in-memory log that behaves as a rich edit does where the
// rules depend on it (common/memory_log.h).
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "app/message_log.h"
#include "base/text.h"
#include "common/memory_log.h"

namespace {

const std::string kSaid = gbk::kSaidColon;
const std::string kHello = "\xc4\xe3\xba\xc3";  // 你好
constexpr std::uint32_t kAuto = MemoryLog::kAuto;

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
