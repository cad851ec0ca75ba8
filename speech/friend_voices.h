// Voices for particular friends: rules that give a nickname its own voice, rate and volume,
// the lines of set.ini's [voices] section that keep them, the voice a nickname gets by itself
// when no rule names it, and the edits the rules' dialog makes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/codepage.h"
#include "speech/voice_profiles.h"

struct FriendVoice {
    std::string nick;   // trimmed of blanks
    std::string voice;  // a voice's name as the voice lists show it
    int rate = 0;       // -10 .. 10
    int volume = 100;   // 0 .. 100
};
using FriendVoices = std::vector<FriendVoice>;

constexpr std::size_t kMaxFriendVoices = 200;
inline const char kVoicesSection[] = "voices";

// The nickname without the blanks around it: ASCII ones and the full-width space (A1 A1),
// walked by the code page's characters so that a trail byte never starts a blank.
std::string TrimNick(const std::string& nick, const ILeadBytes& lead);

// One [voices] line, "nick=voice|rate|volume", and back. A line without "=" or a voice is no
// rule; a rate or volume missing or out of range is taken as the nearest sensible value.
bool ParseFriendVoice(const std::string& line, const ILeadBytes& lead, FriendVoice& rule);
std::string FriendVoiceLine(const FriendVoice& rule);

// The rule of a trimmed nickname, or -1.
int FindFriendVoice(const FriendVoices& rules, const std::string& nick);

// FNV-1a over the nickname's bytes: the same on every start and every machine.
std::uint32_t NickHash(const std::string& nick);

// Where in the voice list a friend's message is spoken, with which rate and volume: the
// rule's voice for a nickname that has one; with autoVoice, for any other nickname one of the
// working voices with a name, by NickHash, at the friends' rate and volume. at -1: the
// friends' profile speaks (no rule, or a rule whose voice is not installed or failed).
struct FriendVoiceChoice {
    int at = -1;
    int rate = 0, volume = 100;
};
FriendVoiceChoice ChooseFriendVoice(const FriendVoices& rules, bool autoVoice, const TComboBox& voices,
                                    const std::string& sender, int rate, int volume,
                                    const ILeadBytes& lead);

// Why the dialog cannot take a rule.
enum class FriendVoiceProblem { None, NoNick, NotAKey, NoVoice, TooMany };
// Adds the rule, or changes the one of the same nickname; the nickname is trimmed first. A
// nickname with "=", or starting with ";" or "[", cannot be a key of set.ini.
FriendVoiceProblem PutFriendVoice(FriendVoices& rules, FriendVoice rule, const ILeadBytes& lead);

// A voice object of its own for one voice, rate and volume, with the friends' voices in its
// list: speaking with it passes over a failed voice as the profiles do.
class FriendSpeaker {
public:
    FriendSpeaker(ISpeechEngine& engine, const VoiceProfile& friends, const FriendVoiceChoice& choice);
    FriendSpeaker(const FriendSpeaker&) = delete;
    FriendSpeaker& operator=(const FriendSpeaker&) = delete;
    bool Is(const FriendVoiceChoice& c) const { return c.at == choice_.at && c.rate == choice_.rate && c.volume == choice_.volume; }
    VoiceProfile& Profile() { return profile_; }

private:
    FriendVoiceChoice choice_;
    VoiceProfile profile_;
};

// The rules' dialog: the user edits a copy of the rules among the named voices of a voice
// list; true when they are to be kept.
struct IFriendVoicesDialog {
    virtual ~IFriendVoicesDialog() = default;
    virtual bool Edit(FriendVoices& rules, const TComboBox& voices) = 0;
};
