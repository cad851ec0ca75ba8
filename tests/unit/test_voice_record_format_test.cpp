// The test voice's record format (tools/test_voice/record_format.h): what the voice writes
// must come back field for field, whatever the text holds and however the lines of several
// voices interleave; a half-written file must not confuse the reader.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/test_voice/record_format.h"

namespace {

using namespace test_voice;

TEST(TestVoiceRecord, TextSurvivesEscapingAndStaysOnOneLine) {
    const std::string texts[] = {
        "",
        "plain",
        "tab\there",
        "line\nbreak\r\nand CR",
        "back\\slash \\t not a tab",
        "\\",
        "<silence msec=\"9000\"/>",
        "\xe4\xbd\xa0\xe5\xa5\xbd\xef\xbc\x9a",  // 你好：
    };
    for (const auto& t : texts) {
        std::string e = Escape(t);
        EXPECT_EQ(e.find_first_of("\t\n\r"), std::string::npos) << e;
        EXPECT_EQ(Unescape(e), t);
    }
}

TEST(TestVoiceRecord, Fnv1aMatchesThePublishedValuesAndRunsInChunks) {
    struct Case {
        std::string data;
        std::uint32_t hash;
    } cases[] = {{"", 0x811c9dc5u}, {"a", 0xe40c292cu}, {"foobar", 0xbf9cf968u}};
    for (const auto& c : cases) EXPECT_EQ(Fnv1a(c.data.data(), c.data.size()), c.hash) << c.data;
    std::string s = "chunked audio bytes";
    EXPECT_EQ(Fnv1a(s.data() + 7, s.size() - 7, Fnv1a(s.data(), 7)), Fnv1a(s.data(), s.size()));
}

TEST(TestVoiceRecord, MillisecondsKeepEveryDigitOfTheClock) {
    // 2024-04-05 ... in 100 ns units: 13 digits of milliseconds and 4 of fraction.
    EXPECT_EQ(FormatMs(17123456789012345ull), "1712345678901.2345");
    EXPECT_EQ(FormatMs(10000ull), "1.0000");
    EXPECT_EQ(FormatMs(7ull), "0.0007");
}

TEST(TestVoiceRecord, InterleavedRequestsComeBackWhole) {
    std::string file = BeginLine("10-1", 17000000000000000ull, "Sonvira Test Alto", -10, 55, 0x11, 16000) +
                       FragmentLine("10-1", 0, "a\tb") +
                       BeginLine("22-1", 17000000000100000ull, "Bass\\voice", 10, 0, 0, 22050) +
                       FragmentLine("22-1", 1, "") +
                       FragmentLine("10-1", 0, "second\nfragment") +
                       EndLine("22-1", 17000000000200000ull, false, 320, 0xdeadbeef, "nowrite") +
                       EndLine("10-1", 17000000000300000ull, true, 11200, 0x0000abcd, "ignored");
    std::vector<RecordedUtterance> r = ParseRecord(file);
    ASSERT_EQ(r.size(), 2u);

    EXPECT_EQ(r[0].id, "10-1");
    EXPECT_DOUBLE_EQ(r[0].beginMs, 1700000000000.0);
    EXPECT_EQ(r[0].voice, "Sonvira Test Alto");
    EXPECT_EQ(r[0].rate, -10);
    EXPECT_EQ(r[0].volume, 55u);
    EXPECT_EQ(r[0].flags, 0x11ul);
    EXPECT_EQ(r[0].sampleRate, 16000u);
    ASSERT_EQ(r[0].fragments.size(), 2u);
    EXPECT_EQ(r[0].fragments[0].action, "Speak");
    EXPECT_EQ(r[0].fragments[0].text, "a\tb");
    EXPECT_EQ(r[0].fragments[1].text, "second\nfragment");
    EXPECT_TRUE(r[0].ended);
    EXPECT_TRUE(r[0].completed);
    EXPECT_DOUBLE_EQ(r[0].endMs, 1700000000030.0);
    EXPECT_EQ(r[0].bytes, 11200u);
    EXPECT_EQ(r[0].hash, 0x0000abcdu);
    EXPECT_EQ(r[0].why, "-");  // a completed request has no reason to stop

    EXPECT_EQ(r[1].voice, "Bass\\voice");
    EXPECT_EQ(r[1].sampleRate, 22050u);
    ASSERT_EQ(r[1].fragments.size(), 1u);
    EXPECT_EQ(r[1].fragments[0].action, "Silence");
    EXPECT_FALSE(r[1].completed);
    EXPECT_EQ(r[1].why, "nowrite");
    EXPECT_EQ(r[1].hash, 0xdeadbeefu);
}

TEST(TestVoiceRecord, UnfinishedAndStrayLinesAreSkipped) {
    std::string begun = BeginLine("5-1", 0, "v", 0, 100, 0, 16000);
    struct Case {
        const char* what;
        std::string file;
        std::size_t utterances;
        bool ended;
    } cases[] = {
        {"nothing yet", "", 0, false},
        {"a begin line still being written", begun.substr(0, begun.size() - 1), 0, false},
        {"still speaking", begun + FragmentLine("5-1", 0, "x"), 1, false},
        {"an end line still being written", begun + "end\t5-1\t1.0\tcompleted", 1, false},
        {"lines of a request begun before the file was cleared",
         FragmentLine("4-9", 0, "x") + EndLine("4-9", 0, true, 0, 0, "-") + begun, 1, false},
        {"an unknown kind of line", "note\t5-1\tx\n" + begun, 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<RecordedUtterance> r = ParseRecord(c.file);
        ASSERT_EQ(r.size(), c.utterances);
        if (!r.empty()) {
            EXPECT_EQ(r[0].id, "5-1");
            EXPECT_EQ(r[0].ended, c.ended);
        }
    }
}

}  // namespace
