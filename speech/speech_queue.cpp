// The speech queue; see speech_queue.h.
#include "speech/speech_queue.h"

#include <algorithm>

#include "base/string_table.h"

void SpeechQueue::Push(VoiceProfile& profile, std::string ansiText) {
    Push(profile, [text = std::move(ansiText)](std::string& out) {
        out = text;
        return true;
    });
}

void SpeechQueue::Push(VoiceProfile& profile, SpeechAtTurn atTurn) {
    waiting_.push_back({&profile, std::move(atTurn)});
    lastProfile_ = &profile;
    if (waiting_.size() > kMaxWaiting) {
        skipped_ += waiting_.size() - kMaxWaiting;
        waiting_.erase(waiting_.begin(), waiting_.end() - kMaxWaiting);
    }
    Pump();
}

bool SpeechQueue::Pump() {
    if (speaking_ && !speaking_->SpVoice.Done()) return true;
    speaking_ = nullptr;
    auto next = std::find_if(waiting_.begin(), waiting_.end(), [&](const Entry& e) { return e.profile != lent_; });
    if (skipped_ > 0) {
        // Said in place of the skipped messages, by the voice of the next one to come.
        VoiceProfile* profile = next != waiting_.end() ? next->profile : lastProfile_;
        if (profile && profile != lent_) {
            const std::size_t count = skipped_;
            skipped_ = 0;
            SpeakWithProfile(*profile, SkippedMessagesText(count));
            speaking_ = profile;
            return true;
        }
    }
    while (next != waiting_.end()) {
        Entry entry = std::move(*next);
        next = waiting_.erase(next);
        std::string text;
        if (entry.atTurn(text)) {
            SpeakWithProfile(*entry.profile, text);
            speaking_ = entry.profile;
            return true;
        }
        next = std::find_if(next, waiting_.end(), [&](const Entry& e) { return e.profile != lent_; });
    }
    return !waiting_.empty() || skipped_ > 0;
}

void SpeechQueue::Clear() {
    waiting_.clear();
    skipped_ = 0;
    speaking_ = nullptr;
}

void SpeechQueue::Lend(const VoiceProfile& profile) {
    lent_ = &profile;
    if (speaking_ == &profile) speaking_ = nullptr;
}

void SpeechQueue::GiveBack(const VoiceProfile& profile) {
    if (lent_ == &profile) lent_ = nullptr;
}

std::string SkippedMessagesText(std::size_t count) {
    return texts::SkippedMessages(count);
}
