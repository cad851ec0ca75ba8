// The test voice itself under Wine 10's SAPI, spoken to with plain SAPI calls: it takes the
// format its token names, and writes exactly the audio its rules say. The Windows tests of
// the program rely on both when they compare records and WAV files.
#include <gtest/gtest.h>

#include <windows.h>

#include <sapi.h>

#include <string>

#include "support/process.h"
#include "support/voice_record.h"
#include "tools/test_voice/tone.h"
#include "win/com.h"

namespace {

TEST(TestVoice, SpeaksInTheSampleRateItsTokenNames) {
    ScopedCom com;
    ASSERT_TRUE(ComInitialised());
    ASSERT_TRUE(ClearVoiceRecord());
    ScopedVoiceToken wide(L"SonviraTestWide", L"Sonvira Test Wide", 440, 22050);
    ASSERT_TRUE(wide.Created());
    struct Case {
        const wchar_t* key;
        const wchar_t* name;
        unsigned sampleRate;
    } cases[] = {{kAltoKey, kAltoVoice, 16000}, {L"SonviraTestWide", L"Sonvira Test Wide", 22050}};
    const std::u16string text = u"abc d";
    for (const auto& c : cases) {
        ComPtr<ISpObjectToken> token;
        ComPtr<ISpVoice> voice;
        ASSERT_TRUE(SUCCEEDED(CoCreateInstance(__uuidof(SpObjectToken), nullptr, CLSCTX_ALL,
                                               IID_PPV_ARGS(token.GetAddressOf()))));
        std::wstring id = std::wstring(L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens\\") + c.key;
        ASSERT_TRUE(SUCCEEDED(token->SetId(nullptr, id.c_str(), FALSE)));
        ASSERT_TRUE(SUCCEEDED(CoCreateInstance(__uuidof(SpVoice), nullptr, CLSCTX_ALL,
                                               IID_PPV_ARGS(voice.GetAddressOf()))));
        ASSERT_TRUE(SUCCEEDED(voice->SetVoice(token.Get())));
        // Synchronous: returns when the voice is done.
        ASSERT_TRUE(SUCCEEDED(voice->Speak(reinterpret_cast<const wchar_t*>(text.c_str()), SPF_IS_NOT_XML, nullptr)));
    }
    VoiceRecord r = ReadVoiceRecord();
    ASSERT_EQ(r.size(), std::size(cases));
    for (std::size_t i = 0; i < r.size(); ++i) {
        SCOPED_TRACE(cases[i].sampleRate);
        EXPECT_EQ(r[i].voice, cases[i].name);
        EXPECT_EQ(r[i].sampleRate, cases[i].sampleRate);
        EXPECT_TRUE(r[i].completed) << r[i].why;
        std::u32string chars = test_voice::CodePoints(text.data(), text.size());
        EXPECT_EQ(r[i].bytes, 2 * test_voice::TextSamples(chars, 0, cases[i].sampleRate));
        // Paced to real time: the request lasted as long as its audio sounds.
        double soundMs = 1000.0 * r[i].bytes / 2 / cases[i].sampleRate;
        EXPECT_GE(r[i].endMs - r[i].beginMs, soundMs - 1);
    }
}

}  // namespace
