// The test voice's sound: one short sine tone per spoken character, silence for blanks and
// punctuation. Portable and header-only, so the native unit tests check the same rules the
// voice DLL follows, and Windows tests can work out how much audio an utterance must give.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

namespace test_voice {

// Short enough that a test utterance of a few words lasts well under a second.
constexpr double kCharacterMs = 35.0;
// Half of full scale: loud enough to see in a WAV file, far from clipping.
constexpr double kFullAmplitude = 16384.0;

inline int ClampRate(long rate) { return rate < -10 ? -10 : rate > 10 ? 10 : static_cast<int>(rate); }
inline int ClampVolume(long volume) { return volume < 0 ? 0 : volume > 100 ? 100 : static_cast<int>(volume); }

// SAPI's convention: rate 10 speaks three times as fast as rate 0, rate -10 three times as
// slow, and the steps between are geometric.
inline double CharacterMsAtRate(int rate) { return kCharacterMs * std::pow(3.0, -ClampRate(rate) / 10.0); }

inline std::size_t CharacterSamples(int rate, unsigned sampleRate) {
    return static_cast<std::size_t>(std::lround(CharacterMsAtRate(rate) * sampleRate / 1000.0));
}

// Blanks, control characters and punctuation, ASCII and CJK alike, are pauses, not tones:
// chat text is full of "：" and "，" and a tone for each would blur what a test measures.
inline bool IsSilentCharacter(char32_t c) {
    if (c <= 0x20 || c == 0x7F) return true;
    if (c < 0x80) return !((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'));
    if (c >= 0x80 && c <= 0xBF) return true;        // Latin-1 controls, signs and marks
    if (c >= 0x2000 && c <= 0x206F) return true;    // general punctuation
    if (c >= 0x3000 && c <= 0x303F) return true;    // CJK symbols and punctuation
    if (c >= 0xFF01 && c <= 0xFF0F) return true;    // full-width ! " # ... /
    if (c >= 0xFF1A && c <= 0xFF20) return true;    // full-width : ; < = > ? @
    if (c >= 0xFF3B && c <= 0xFF40) return true;    // full-width [ \ ] ^ _ `
    if (c >= 0xFF5B && c <= 0xFF65) return true;    // full-width { | } ~ and half-width marks
    return false;
}

// The characters of UTF-16 text as code points; a surrogate pair is one character, a lone
// surrogate is taken as it is.
inline std::u32string CodePoints(const char16_t* text, std::size_t length) {
    std::u32string out;
    for (std::size_t i = 0; i < length; ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        out.push_back(c);
    }
    return out;
}

// Sample n of a character's tone at the given volume (0..100); each character starts at
// phase zero, so the same text always gives the same bytes.
inline std::int16_t ToneSample(std::size_t n, double toneHz, unsigned sampleRate, int volume) {
    const double pi = 3.14159265358979323846;
    double amplitude = kFullAmplitude * ClampVolume(volume) / 100.0;
    return static_cast<std::int16_t>(std::lround(amplitude * std::sin(2.0 * pi * toneHz * n / sampleRate)));
}

// Samples of 16-bit mono audio for text spoken at one rate: what the voice writes for it.
inline std::size_t TextSamples(const std::u32string& characters, int rate, unsigned sampleRate) {
    return characters.size() * CharacterSamples(rate, sampleRate);
}

}  // namespace test_voice
