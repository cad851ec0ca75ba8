// Voices for particular friends; see friend_voices.h.
#include "speech/friend_voices.h"

#include <cstdlib>
#include <utility>

namespace {

const std::string kFullWidthSpace = "\xa1\xa1";

int Clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

}  // namespace

std::string TrimNick(const std::string& nick, const ILeadBytes& lead) {
    std::size_t from = std::string::npos, to = 0;
    for (std::size_t i = 0; i < nick.size();) {
        const std::size_t n = lead.IsLeadByte(static_cast<unsigned char>(nick[i])) && i + 1 < nick.size() ? 2 : 1;
        const bool blank = static_cast<unsigned char>(nick[i]) <= 0x20 || nick.compare(i, n, kFullWidthSpace) == 0;
        if (!blank) {
            if (from == std::string::npos) from = i;
            to = i + n;
        }
        i += n;
    }
    return from == std::string::npos ? std::string() : nick.substr(from, to - from);
}

// The voice's name may hold "|" itself: the numbers are taken from the right.
bool ParseFriendVoice(const std::string& line, const ILeadBytes& lead, FriendVoice& rule) {
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos) return false;
    rule.nick = TrimNick(line.substr(0, eq), lead);
    std::string value = line.substr(eq + 1);
    const std::size_t bar2 = value.rfind('|');
    const std::size_t bar1 = bar2 == std::string::npos || bar2 == 0 ? std::string::npos : value.rfind('|', bar2 - 1);
    rule.rate = 0;
    rule.volume = 100;
    if (bar1 != std::string::npos) {
        rule.rate = Clamp(std::atoi(value.c_str() + bar1 + 1), -10, 10);
        rule.volume = Clamp(std::atoi(value.c_str() + bar2 + 1), 0, 100);
        value.resize(bar1);
    }
    rule.voice = std::move(value);
    return !rule.nick.empty() && !rule.voice.empty() && rule.nick[0] != ';' && rule.nick[0] != '[';
}

std::string FriendVoiceLine(const FriendVoice& rule) {
    return rule.nick + "=" + rule.voice + "|" + std::to_string(rule.rate) + "|" + std::to_string(rule.volume);
}

int FindFriendVoice(const FriendVoices& rules, const std::string& nick) {
    for (std::size_t i = 0; i < rules.size(); ++i)
        if (rules[i].nick == nick) return static_cast<int>(i);
    return -1;
}

std::uint32_t NickHash(const std::string& nick) {
    std::uint32_t h = 2166136261u;
    for (unsigned char c : nick) h = (h ^ c) * 16777619u;
    return h;
}

// A voice marked failed is passed over: the friend it would have given is heard with the
// friends' voice rather than not at all. An unnamed voice can be in no rule, and under some
// engines cannot speak either, so it is no voice of its own.
FriendVoiceChoice ChooseFriendVoice(const FriendVoices& rules, bool autoVoice, const TComboBox& voices,
                                    const std::string& sender, int rate, int volume, const ILeadBytes& lead) {
    const std::string nick = TrimNick(sender, lead);
    auto working = [&](int i) {
        auto token = std::dynamic_pointer_cast<IVoiceToken>(voices.Items(i).object);
        return token && !token->failed && !voices.Items(i).text.empty();
    };
    FriendVoiceChoice choice{-1, rate, volume};
    if (nick.empty()) return choice;
    if (const int r = FindFriendVoice(rules, nick); r >= 0) {
        for (int i = 0; i < voices.Count(); ++i)
            if (voices.Items(i).text == rules[r].voice && working(i))
                return {i, rules[r].rate, rules[r].volume};
        return choice;
    }
    if (!autoVoice) return choice;
    int count = 0;
    for (int i = 0; i < voices.Count(); ++i) count += working(i);
    if (count == 0) return choice;
    int left = static_cast<int>(NickHash(nick) % static_cast<unsigned>(count));
    for (int i = 0; i < voices.Count(); ++i)
        if (working(i) && left-- == 0) choice.at = i;
    return choice;
}

FriendVoiceProblem PutFriendVoice(FriendVoices& rules, FriendVoice rule, const ILeadBytes& lead) {
    rule.nick = TrimNick(rule.nick, lead);
    if (rule.nick.empty()) return FriendVoiceProblem::NoNick;
    if (rule.nick.find('=') != std::string::npos || rule.nick[0] == ';' || rule.nick[0] == '[')
        return FriendVoiceProblem::NotAKey;
    if (rule.voice.empty()) return FriendVoiceProblem::NoVoice;
    rule.rate = Clamp(rule.rate, -10, 10);
    rule.volume = Clamp(rule.volume, 0, 100);
    if (const int at = FindFriendVoice(rules, rule.nick); at >= 0) {
        rules[at] = std::move(rule);
        return FriendVoiceProblem::None;
    }
    if (rules.size() >= kMaxFriendVoices) return FriendVoiceProblem::TooMany;
    rules.push_back(std::move(rule));
    return FriendVoiceProblem::None;
}

FriendSpeaker::FriendSpeaker(ISpeechEngine& engine, const VoiceProfile& friends, const FriendVoiceChoice& choice)
    : choice_(choice), profile_(engine) {
    profile_.onVoiceFailed = friends.onVoiceFailed;
    const TComboBox& from = friends.CBVoice;
    for (int i = 0; i < from.Count(); ++i) profile_.CBVoice.AddItem(from.Items(i).text, from.Items(i).object);
    profile_.CBVoice.SetItemIndex(choice.at);
    profile_.TRate.SetPosition(choice.rate);
    profile_.TVolume.SetPosition(choice.volume);
}
