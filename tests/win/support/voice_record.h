// What the test voice (tools/test_voice) was asked to say, read back from its record file:
// every request SAPI passed to one of its voices, with voice, rate, volume, flags, text
// fragments, begin and end times and how it ended. The voices and the record come from
// tools/test_voice/install.sh, which the Wine session runs before the tests.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "speech/engine.h"
#include "support/process.h"

// Waits until the voice has spoken all it was asked, as the program's timers learn it.
inline bool WaitUntilSpoken(IVoiceObject& v) { return WaitUntil([&v] { return v.Done(); }, kPatienceMs); }

// The voices install.sh registers, by display name and token key.
extern const wchar_t kAltoVoice[];
extern const wchar_t kBassVoice[];
extern const wchar_t kAltoKey[];
extern const wchar_t kBassKey[];

struct VoiceFragment {
    std::string action;  // "Speak", "Silence", ... (SAPI's SPVA_ names)
    std::wstring text;
};

struct VoiceUtterance {
    std::string id;
    std::wstring voice;
    long rate = 0;
    unsigned volume = 0;
    unsigned long flags = 0;  // dwSpeakFlags as the voice got them
    unsigned sampleRate = 0;
    std::vector<VoiceFragment> fragments;
    double beginMs = 0;  // milliseconds since the Unix epoch (VoiceClockMs)
    bool ended = false;  // false while it is still being spoken
    double endMs = 0;
    bool completed = false;  // ended and not cut off
    unsigned long long bytes = 0;
    std::uint32_t hash = 0;
    std::string why;  // how it was cut off: "action", "nowrite" or a write's HRESULT
};

using VoiceRecord = std::vector<VoiceUtterance>;

// The record file the installed voices write to (a token value); empty when none is installed.
std::wstring VoiceRecordPath();
// Empties the record; false when it cannot be written.
bool ClearVoiceRecord();
// The utterances recorded so far, in the order they began.
VoiceRecord ReadVoiceRecord();
// Reads the record until cond holds or timeoutMs passes; returns the last reading either way.
VoiceRecord WaitForVoiceRecord(const std::function<bool(const VoiceRecord&)>& cond, DWORD timeoutMs,
                               bool* satisfied = nullptr);
// The record's clock, in milliseconds since the Unix epoch.
double VoiceClockMs();

// A voice token that exists while the object lives: the installed test voice's class and
// record file under a key, name, tone and sample rate of the test's choosing. The token is
// gone again when the object goes, even when the test fails.
inline constexpr wchar_t kSapiTokens[] = L"SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens\\";
inline constexpr wchar_t kOneCoreTokens[] = L"SOFTWARE\\Microsoft\\Speech_OneCore\\Voices\\Tokens\\";

class ScopedVoiceToken {
public:
    // tokens: the category's key of tokens below HKEY_LOCAL_MACHINE, SAPI's own by default.
    ScopedVoiceToken(const std::wstring& key, const std::wstring& name, unsigned toneHz, unsigned sampleRate,
                     const wchar_t* tokens = kSapiTokens);
    ~ScopedVoiceToken();
    ScopedVoiceToken(const ScopedVoiceToken&) = delete;
    ScopedVoiceToken& operator=(const ScopedVoiceToken&) = delete;
    bool Created() const { return created_; }

private:
    std::wstring key_;
    bool created_ = false;
};
