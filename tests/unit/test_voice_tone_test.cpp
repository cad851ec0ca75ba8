// The test voice's sound rules (tools/test_voice/tone.h): how long a character lasts at each
// rate, which characters are pauses, how loud a tone is, and that text is read in characters,
// not UTF-16 units. Windows tests rely on these to tell from the bytes what was spoken.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "tools/test_voice/tone.h"

namespace {

using namespace test_voice;

TEST(TestVoiceTone, RateScalesTheCharacterLengthThreefoldEachWay) {
    struct Case {
        int rate;
        double factor;  // of the length at rate 0
    } cases[] = {{0, 1.0}, {10, 1.0 / 3}, {-10, 3.0}, {5, 1 / std::sqrt(3.0)}, {-5, std::sqrt(3.0)},
                 // out of range: clamped to the ends
                 {15, 1.0 / 3}, {-40, 3.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rate);
        EXPECT_NEAR(CharacterMsAtRate(c.rate), CharacterMsAtRate(0) * c.factor, 1e-9);
        // Whole samples: never more than half a sample off the exact length.
        double exact = CharacterMsAtRate(c.rate) * 16000 / 1000;
        EXPECT_LE(std::abs(static_cast<double>(CharacterSamples(c.rate, 16000)) - exact), 0.5);
    }
    // Short enough to keep tests fast, long enough to be heard.
    EXPECT_GE(CharacterMsAtRate(0), 30.0);
    EXPECT_LE(CharacterMsAtRate(0), 40.0);
}

TEST(TestVoiceTone, BlanksAndPunctuationArePauses) {
    struct Case {
        char32_t c;
        bool silent;
    } cases[] = {
        {U' ', true},   {U'\t', true},  {U'\n', true},  {U'.', true},   {U',', true},   {U'<', true},
        {U'/', true},   {U'"', true},   {U'=', true},   {U'\u3000', true}, {U'\u3002', true},  // 　 。
        {U'\uFF0C', true}, {U'\uFF1A', true}, {U'\uFF01', true}, {U'\u2026', true},              // ， ： ！ …
        {U'a', false},  {U'Z', false},  {U'0', false},  {U'\u4F60', false}, {U'\u597D', false},  // 你 好
        {U'\uFF21', false}, {U'\U0001F600', false},                                              // Ａ, an emoji
    };
    for (const auto& c : cases) EXPECT_EQ(IsSilentCharacter(c.c), c.silent) << std::hex << std::uint32_t(c.c);
}

TEST(TestVoiceTone, VolumeScalesTheAmplitude) {
    auto peak = [](int volume) {
        int best = 0;
        for (std::size_t n = 0; n < 1000; ++n) best = std::max(best, std::abs(int(ToneSample(n, 660, 16000, volume))));
        return best;
    };
    EXPECT_EQ(peak(0), 0);
    EXPECT_NEAR(peak(100), kFullAmplitude, kFullAmplitude * 0.01);
    EXPECT_NEAR(peak(55), peak(100) * 0.55, 2);
    EXPECT_EQ(peak(150), peak(100));  // clamped
    EXPECT_LT(peak(100), 32767);     // never clips
}

TEST(TestVoiceTone, EachCharacterStartsAtPhaseZeroWithItsOwnPitch) {
    for (double hz : {220.0, 660.0}) {
        for (unsigned rate : {16000u, 22050u}) {
            SCOPED_TRACE(testing::Message() << hz << " Hz at " << rate);
            EXPECT_EQ(ToneSample(0, hz, rate, 100), 0);
            // The first half wave ends where the pitch says.
            std::size_t n = 1;
            while (ToneSample(n, hz, rate, 100) > 0) ++n;
            EXPECT_NEAR(double(n), rate / hz / 2, 1.0);
        }
    }
}

TEST(TestVoiceTone, TextIsReadInCharactersNotUtf16Units) {
    struct Case {
        std::u16string text;
        std::size_t characters;
    } cases[] = {
        {u"", 0},
        {u"ab c", 4},
        {u"\u4F60\u597D", 2},
        {u"\U0001F600x", 2},         // a surrogate pair is one character
        {std::u16string(1, u'\xD800') + u"x", 2},  // a lone surrogate is kept as one
    };
    for (const auto& c : cases) {
        std::u32string chars = CodePoints(c.text.data(), c.text.size());
        EXPECT_EQ(chars.size(), c.characters);
        EXPECT_EQ(TextSamples(chars, 0, 16000), c.characters * CharacterSamples(0, 16000));
    }
    EXPECT_EQ(CodePoints(u"\U0001F600", 2), std::u32string(1, U'\U0001F600'));
}

}  // namespace
