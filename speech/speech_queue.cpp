// The speech queue; see speech_queue.h.
#include "speech/speech_queue.h"

#include <algorithm>

void SpeechQueue::Push(VoiceProfile& profile, std::string ansiText) {
    waiting_.push_back({&profile, std::move(ansiText)});
    lastProfile_ = &profile;
    if (waiting_.size() > kMaxWaiting) {
        skipped_ += waiting_.size() - kMaxWaiting;
        waiting_.erase(waiting_.begin(), waiting_.end() - kMaxWaiting);
    }
    Pump();
}

bool SpeechQueue::Pump() {
    if (speaking_ && !speaking_->voice.Done()) return true;
    speaking_ = nullptr;
    if (skipped_ > 0) {
        // Said in place of the skipped messages, by the voice of the next one to come.
        VoiceProfile* profile = waiting_.empty() ? lastProfile_ : waiting_.front().profile;
        const std::size_t count = skipped_;
        skipped_ = 0;
        if (profile) {
            SpeakWithProfile(*profile, SkippedMessagesText(count));
            speaking_ = profile;
            return true;
        }
    }
    if (waiting_.empty()) return false;
    Entry next = std::move(waiting_.front());
    waiting_.erase(waiting_.begin());
    SpeakWithProfile(*next.profile, next.text);
    speaking_ = next.profile;
    return true;
}

void SpeechQueue::Clear() {
    waiting_.clear();
    skipped_ = 0;
    speaking_ = nullptr;
}

void SpeechQueue::Release(const VoiceProfile& profile) {
    waiting_.erase(std::remove_if(waiting_.begin(), waiting_.end(),
                                  [&](const Entry& e) { return e.profile == &profile; }),
                   waiting_.end());
    if (speaking_ == &profile) speaking_ = nullptr;
    if (lastProfile_ == &profile) lastProfile_ = nullptr;
}

std::string SkippedMessagesText(std::size_t count) {
    return "\xcc\xf8\xb9\xfd " + std::to_string(count) + " \xcc\xf5\xcf\xfb\xcf\xa2";
}
