// Transcript parsing: the known shapes of chat transcripts and their awkward corners, each
// checked byte for byte, then the fast routines compared with the literal line-by-line
// reading (support/transcript_oracle) on a million small generated transcripts.
#include "capture/transcript.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "support/transcript_oracle.h"

namespace {

const std::string kCrLf = "\r\n";

// Shows every byte that is not plain printable ASCII, so a failing case can be read and
// pasted back into a test.
std::string Escape(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        char buf[8];
        if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else if (c == '\\') out += "\\\\";
        else if (c == '"') out += "\\\"";
        else if (c < 0x20 || c >= 0x7f) {
            std::snprintf(buf, sizeof buf, "\\x%02x", c);
            out += buf;
        } else out += static_cast<char>(c);
    }
    return "\"" + out + "\"";
}

std::string Join(const std::vector<std::string>& lines, const std::string& br) {
    std::string s;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i) s += br;
        s += lines[i];
    }
    return s;
}

// The known transcript shapes: what the watcher must get for each newest message. Inputs
// are given line by line and joined below with each kind of line break.
struct Row {
    std::vector<std::string> lines;  // the transcript, line by line
    std::string header, sender, body;
};

// GBK bytes used below: 小鱼, 你好, and the full-width colon.
#define XIAOYU "\xd0\xa1\xd3\xe3"
#define NIHAO "\xc4\xe3\xba\xc3"
#define FWCOLON "\xa3\xba"

const Row kRows[] = {
    {{"Alice  12:34:56", "hello there"}, "Alice  12:34:56", "Alice ", "hello there"},
    {{"Alice 12:34:56", "hello", "", "second line  "}, "Alice 12:34:56", "Alice", "hello\r\n\r\nsecond line"},
    {{"Mia 1:2", "b"}, "Mia 1:2", "Mia", "b"},
    {{"Bob(857)  9:05:33", "ok"}, "Bob(857)  9:05:33", "Bob", "ok"},
    {{"Eve<+>  21:07:45", "bye"}, "Eve<+>  21:07:45", "Eve", "bye"},
    {{"Kim)x(y  15:15:15", "z"}, "Kim)x(y  15:15:15", "Kim)x", "z"},
    {{"857 10:00:00", "hi"}, "857 10:00:00", "8 5 7", "hi"},
    {{"857  10:00:00", "hi"}, "857  10:00:00", "857 ", "hi"},
    {{"Carol 2008-05-01 12:34:56", "old news"}, "Carol 2008-05-01 12:34:56", "Carol", "old news"},
    {{"Agent 21  9:15:00", "hey"}, "Agent 21  9:15:00", "Agent", "hey"},
    {{"Team 7  12:00:01", "yo"}, "Team 7  12:00:01", "Team 7 ", "yo"},
    {{"Dave  07:15:20", "early"}, "Dave  07:15:20", "Dave ", "early"},
    {{"Dave  0:15:20", "late"}, "Dave  0:15:20", "", "late"},
    {{"Dave  00:15:20", "late"}, "Dave  00:15:20", "", "late"},
    {{XIAOYU "  16:20:30", NIHAO}, XIAOYU "  16:20:30", XIAOYU " ", NIHAO},
    {{"older  10:00:00", "first", "newer  10:00:05", "second"}, "newer  10:00:05", "newer ", "second"},
    {{"Frank  11:02:03", "see you at 5:30", "ok?"}, "see you at 5:30", "see you at", "ok?"},
    {{"x  1:00:00", "y", "  12:30:00 Hank", "z"}, "12:30:00 Hank", "", "z"},
    {{"Gina  13:00:00"}, "Gina  13:00:00", "Gina ", ""},
    {{"Alice  12" FWCOLON "34" FWCOLON "56", "hello"}, "", "", "hello"},
    {{"no header here", "second", "third"}, "", "", "second\r\nthird"},
    {{"only one line"}, "", "", ""},
    {{""}, "", "", ""},
};

// Every row holds whichever line break the control hands over, and a break at the very end
// changes nothing either.
TEST(TranscriptTable, EveryRowWithEveryLineBreak) {
    for (const Row& row : kRows) {
        for (const std::string br : {"\r\n", "\n", "\r"}) {
            for (const std::string& tail : {std::string(), br}) {
                const std::string t = Join(row.lines, br) + tail;
                SCOPED_TRACE("transcript " + Escape(t));
                EXPECT_EQ(Escape(GetLastHeader(t)), Escape(row.header));
                EXPECT_EQ(Escape(GetLastSender(t)), Escape(row.sender));
                EXPECT_EQ(Escape(GetLastMessageBody(t)), Escape(row.body));
                // The oracle must read the table the same way, or the random comparison
                // below would prove nothing.
                EXPECT_EQ(oracle::GetLastHeader(t), row.header);
                EXPECT_EQ(oracle::GetLastSender(t), row.sender);
                EXPECT_EQ(oracle::GetLastMessageBody(t), row.body);
            }
        }
    }
}

TEST(TranscriptSplitting, MixedBreaksAndLfCrMakeAnEmptyLine) {
    const std::string t = "Ivy  8:01:02\nfirst\nsecond\rthird\n\rfourth";
    EXPECT_EQ(oracle::SplitLines(t),
              (std::vector<std::string>{"Ivy  8:01:02", "first", "second", "third", "", "fourth"}));
    EXPECT_EQ(GetLastHeader(t), "Ivy  8:01:02");
    EXPECT_EQ(GetLastMessageBody(t), "first\r\nsecond\r\nthird\r\n\r\nfourth");
}

// The oracle's own splitting, checked by hand, since the random comparison trusts it.
TEST(TranscriptSplitting, LinesAsTheOracleSplitsThem) {
    struct Case {
        std::string text;
        std::vector<std::string> lines;
    } cases[] = {
        {"", {}},
        {"\r\n", {""}},
        {"a\n", {"a"}},
        {"a\n\n", {"a", ""}},
        {"a\r\r\n", {"a", ""}},
        {"a\n\r", {"a", ""}},
        {"\n\ra", {"", "", "a"}},
        {" a \r\n b ", {" a ", " b "}},
    };
    for (const Case& c : cases) EXPECT_EQ(oracle::SplitLines(c.text), c.lines) << Escape(c.text);
}

// Where the body starts depends on how the header line's own break is read.
TEST(TranscriptBody, BreakAfterTheHeaderLine) {
    struct Case {
        std::string text, body;
    } cases[] = {
        {"A 1:0\n\rx\n\ry", "x\r\n\r\ny"},
        {"A 1:0\r\n\r\n  x  \r\n\r\n", "x"},
        {"A 1:0\r\r\n\tx", "x"},
        {"A 1:0\n \n\t\n  \r\n", ""},  // only white space below the header line
        {"A 1:0\r\n  indented\r\n\r\n\r\nlast", "indented\r\n\r\n\r\nlast"},
        {"A 1:0", ""},
        {"A 1:0\r\n", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(Escape(GetLastMessageBody(c.text)), Escape(c.body)) << Escape(c.text);
}

// With no header line the first line stands in for it, however it ends.
TEST(TranscriptBody, NoHeaderLineDropsTheFirstLine) {
    struct Case {
        std::string text, body;
    } cases[] = {
        {"first\n\rx\n\ry", "x\r\n\r\ny"},
        {"\nsecond\nthird", "second\r\nthird"},
        {"\r\n\r\nthird", "third"},
        {"first", ""},
        {"first\r\n", ""},
        {"  \r\nsecond", "second"},
        {"one\rtwo\rthree", "two\r\nthree"},
    };
    for (const Case& c : cases) EXPECT_EQ(Escape(GetLastMessageBody(c.text)), Escape(c.body)) << Escape(c.text);
}

// Nothing but "a digit, then ':'" makes a header line, wherever it stands and whatever the
// line means; full-width digits and colons never do.
TEST(TranscriptHeader, DigitColonAnywhereMakesTheHeaderLine) {
    struct Case {
        std::string text, header;
    } cases[] = {
        {"a\r\nscore 3:1\r\nb", "score 3:1"},
        {"9:", "9:"},
        {":9\r\n9 :\r\n", ""},                                  // colon before digit, or apart
        {"x \xa3\xb1:", ""},                                     // full-width digit
        {"\xa3\xba" "1" "\xa3\xba", ""},                        // full-width colons
        {"A 1:0\r\nB 2:0\r\n   \t  ", "B 2:0"},                 // white-space lines below
        {"  \t Bob 12:00 \t\r\nbody", "Bob 12:00"},             // trimmed
        {"pre 5:00\nmid\rpost 6:00 tail\r\n", "post 6:00 tail"},
    };
    for (const Case& c : cases) EXPECT_EQ(Escape(GetLastHeader(c.text)), Escape(c.header)) << Escape(c.text);
}

// The nickname is cut at the hour token latest in the fixed order, wherever it stands, then
// at a complete bracket pair; a nickname of digits only is spaced out for speaking.
TEST(TranscriptSender, LatestCutTokenInTheTableWins) {
    struct Case {
        std::string header, sender;
    } cases[] = {
        {"Agent 21  12:00:00", "Agent"},
        {"Agent 12  21:00:00", "Agent 12 "},
        {"Bob 05  12:00:00", "Bob"},
        {"Ann 3  07:15:20", "Ann 3 "},
        {"Jay(a)<+>  14:14:14", "Jay"},
        {"Jay<+>(a)  14:14:14", "Jay"},
        {"Jay(a  14:14:14", "Jay(a "},       // one bracket of a pair cuts nothing
        {"Jay<a)  14:14:14", "Jay<a) "},
        {"(x)  12:00:00", ""},
        {"Zed 0:00:00", ""},                 // no " 0" token
        {"Zed 00:00:00", ""},
        {"Zed 24:00:00", "Zed"},             // " 2" still matches
        {"12 12:00:00", "1 2"},
        {"007 09:00:00", "0 0 7"},
        {" 1:00", ""},                       // the token only spans leading white space
        {"\t 1:00 x 1", "1:00 x"},           // ... unless it is found again in the trimmed line
        {"  5:00", ""},
        {"Name\t12:00", ""},                 // a tab is not the token's space
    };
    for (const Case& c : cases) {
        const std::string t = "before\r\n" + c.header + "\r\nbody";
        EXPECT_EQ(Escape(GetLastSender(t)), Escape(c.sender)) << Escape(c.header);
    }
}

TEST(TranscriptDigits, IsAllDigits) {
    struct Case {
        std::string text;
        bool all;
    } cases[] = {
        {"", true},         {"0123456789", true}, {"7", true},   {"12a", false},
        {" 1", false},      {"1 ", false},        {"/", false},  {":", false},
        {"\xa3\xb1", false}, {std::string("1\0" "2", 3), false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsAllDigits(c.text), c.all) << Escape(c.text);
}

TEST(TranscriptDigits, SpaceOutDigits) {
    struct Case {
        std::string text, spaced;
    } cases[] = {
        {"", ""},          {"857", "8 5 7"},     {"007", "0 0 7"},   {"9", "9"},
        {"a1b", "a 1b"},   {"12 ", "1 2"},       {"\t1", "1"},       {"x", "x"},
        {"0123456789", "0 1 2 3 4 5 6 7 8 9"},   {"  ", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(Escape(SpaceOutDigits(c.text)), Escape(c.spaced)) << Escape(c.text);
}

// Long transcripts give the same answers as short ones ending in the same message.
TEST(TranscriptLong, HistoryAboveTheNewestMessageChangesNothing) {
    const std::string tail = "Nick(1)  23:59:59\r\nline one\r\n\r\n  line two  \r\n";
    std::string history;
    for (int i = 0; i < 2000; ++i) history += "someone  10:0" + std::to_string(i % 10) + ":00\r\nmessage " + std::to_string(i) + "\r\n";
    const std::string t = history + tail;
    EXPECT_EQ(GetLastHeader(t), "Nick(1)  23:59:59");
    EXPECT_EQ(GetLastSender(t), "Nick");
    EXPECT_EQ(GetLastMessageBody(t), "line one\r\n\r\n  line two");
    EXPECT_EQ(GetLastHeader(t), oracle::GetLastHeader(t));
    EXPECT_EQ(GetLastSender(t), oracle::GetLastSender(t));
    EXPECT_EQ(GetLastMessageBody(t), oracle::GetLastMessageBody(t));
}

// Pieces chosen so that short random strings hit the rules' corners often: breaks in every
// grouping, digits next to colons and spaces, brackets, GBK characters and stray high bytes.
const char* const kPieces[] = {
    "\r", "\n", "\r\n", "\n\r", " ", "  ", "\t", "0", "1", "2", "5", "9", "12", "23", "05",
    ":", ":", "(", ")", "<", ">", "\xd0\xa1", "\xc4\xe3", "\xa3\xba", "\xa3\xb1", "\x80",
    "\xff", "a", "Z", "x", "" /* a NUL byte */, " 1", " 0", "1:", "12:34",
};

// Up to twelve pieces: short enough for the oracle to be quick, long enough for several
// lines, headers and bodies.
std::string RandomTranscript(std::mt19937& rng) {
    std::uniform_int_distribution<int> count(0, 12);
    std::uniform_int_distribution<std::size_t> piece(0, sizeof(kPieces) / sizeof(kPieces[0]) - 1);
    std::string s;
    for (int n = count(rng); n > 0; --n) {
        const char* p = kPieces[piece(rng)];
        if (*p == '\0') s += '\0';  // the empty piece stands for a NUL byte
        else s += p;
    }
    return s;
}

// A million generated transcripts in all, in shards that ctest can run side by side.
class TranscriptRandom : public ::testing::TestWithParam<unsigned> {};

TEST_P(TranscriptRandom, FastRoutinesAgreeWithTheLiteralRules) {
    constexpr int kRunsPerShard = 250000;
    std::mt19937 rng(20261207u + GetParam());
    for (int i = 0; i < kRunsPerShard; ++i) {
        const std::string t = RandomTranscript(rng);
        if (GetLastHeader(t) != oracle::GetLastHeader(t) || GetLastSender(t) != oracle::GetLastSender(t) ||
            GetLastMessageBody(t) != oracle::GetLastMessageBody(t) || IsAllDigits(t) != oracle::IsAllDigits(t) ||
            SpaceOutDigits(t) != oracle::SpaceOutDigits(t)) {
            ADD_FAILURE() << "run " << i << ": " << Escape(t) << "\n header " << Escape(GetLastHeader(t)) << " vs "
                          << Escape(oracle::GetLastHeader(t)) << "\n sender " << Escape(GetLastSender(t)) << " vs "
                          << Escape(oracle::GetLastSender(t)) << "\n body " << Escape(GetLastMessageBody(t))
                          << " vs " << Escape(oracle::GetLastMessageBody(t)) << "\n spaced "
                          << Escape(SpaceOutDigits(t)) << " vs " << Escape(oracle::SpaceOutDigits(t));
            return;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Shards, TranscriptRandom, ::testing::Range(0u, 4u));

}  // namespace
