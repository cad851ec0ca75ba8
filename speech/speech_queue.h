// Messages spoken one after another, in the order they arrived, whichever profile speaks
// them: none cuts another off and none overlaps another. A queue that falls far behind drops
// its oldest waiting messages and says how many it skipped, so the listener hears the chat as
// it is now rather than minutes late.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "speech/voice_profiles.h"

// What a waiting message says when its turn comes, by the options of that moment: false when
// it has nothing left to say (its sender was muted since, or its kind of reading turned off).
using SpeechAtTurn = std::function<bool(std::string& ansiText)>;

class SpeechQueue {
public:
    // Waiting messages kept at most; beyond them the oldest are skipped.
    static constexpr std::size_t kMaxWaiting = 10;

    // Queues a message for the profile and starts it at once when nothing is speaking.
    void Push(VoiceProfile& profile, SpeechAtTurn atTurn);
    void Push(VoiceProfile& profile, std::string ansiText);
    // Starts the next message once the one speaking is done. Call it until it answers false:
    // true while a message speaks or waits.
    bool Pump();
    // Forgets every waiting message; what speaks is the caller's to stop.
    void Clear();
    // The profile's voice is lent elsewhere (a WAV export): the queue no longer waits for it,
    // and its messages wait, the others passing them, until it is given back.
    void Lend(const VoiceProfile& profile);
    void GiveBack(const VoiceProfile& profile);
    bool Busy() const { return speaking_ || !waiting_.empty() || skipped_ > 0; }

private:
    struct Entry {
        VoiceProfile* profile;
        SpeechAtTurn atTurn;
    };
    std::vector<Entry> waiting_;  // at most kMaxWaiting + 1: taking from the front is cheap
    std::size_t skipped_ = 0;
    VoiceProfile* speaking_ = nullptr;
    VoiceProfile* lastProfile_ = nullptr;  // speaks the skip notice when nothing else waits
    const VoiceProfile* lent_ = nullptr;
};

// "跳过 N 条消息" in GBK.
std::string SkippedMessagesText(std::size_t count);
