// The watching of every chat window; see chat_watch.h.
#include "capture/chat_watch.h"

#include <algorithm>
#include <exception>

void ChatWatch::Tick(const ChatWatchOptions& options) {
    const bool uia = options.uia && uia_ && uia_->Available();
    std::vector<UiaJob> jobs;
    if (!options.background) {
        if (!places_.empty()) {
            // The window in front goes on from where the reading of every window left it.
            auto front = PlaceOf(windows_.Foreground());
            if (front != places_.end()) frontSeen_ = std::move(front->seen);
            places_.clear();
        }
        WatchChat(ports_, GetChatText(windows_), chatTitle_, {lastHeader_, frontSeen_}, options.readAll);
        if (uia) {
            const WindowRef front = windows_.Foreground();
            const ChatKind* kind = KindOfWindow(windows_, front, true);
            if (kind && kind->reader == ChatReader::UiaList) AskUia(front, *kind, jobs);
        }
    } else {
        WatchShownChats(options.readAll, uia, jobs);
    }
    uiaWindows_.erase(std::remove_if(uiaWindows_.begin(), uiaWindows_.end(),
                                     [&](const UiaWindow& w) { return !windows_.Exists(w.window); }),
                      uiaWindows_.end());
    if (!jobs.empty() && uia_->Ready()) uia_->Submit(std::move(jobs));
}

void ChatWatch::WatchShownChats(bool readAll, bool uia, std::vector<UiaJob>& jobs) {
    const WindowRef front = windows_.Foreground();
    // The windows shown, each with its row; listing them begins a round of readings.
    std::vector<std::pair<WindowRef, const ChatKind*>> shown;
    for (WindowRef w : windows_.TopLevelWindows())
        if (const ChatKind* kind = KindOfWindow(windows_, w, uia)) shown.emplace_back(w, kind);
    places_.erase(std::remove_if(places_.begin(), places_.end(),
                                 [&](const Place& p) { return !windows_.Exists(p.window); }),
                  places_.end());
    for (const auto& [w, kind] : shown) {
        if (kind->reader == ChatReader::UiaList) {
            AskUia(w, *kind, jobs);
            continue;
        }
        auto at = PlaceOf(w);
        if (at == places_.end()) {
            // The window in front was being read before the others were: it goes on from there.
            if (w == front) places_.push_back({w, lastHeader_, std::move(frontSeen_)});
            else places_.push_back({w, {}, {}});
            at = places_.end() - 1;
        }
        Place& place = *at;
        // In front, who is a friend is judged as always, by the title the title timer keeps.
        const std::string title = w == front ? chatTitle_ : windows_.Title(w);
        WatchChat(ports_, ReadChatWindow(windows_, w), title, {place.lastHeader, place.seen}, readAll);
        if (w == front) lastHeader_ = place.lastHeader;
    }
}

void ChatWatch::AskUia(WindowRef window, const ChatKind& kind, std::vector<UiaJob>& jobs) {
    auto at = std::find_if(uiaWindows_.begin(), uiaWindows_.end(), [&](const UiaWindow& u) { return u.window == window; });
    jobs.push_back({window, &kind, at == uiaWindows_.end() ? UiaPlace{} : at->place});
}

void ChatWatch::UiaRoundDone(const std::vector<UiaReading>& readings, const ChatWatchOptions& options) {
    std::exception_ptr failed;
    for (const UiaReading& r : readings) {
        if (r.state == UiaReading::NoList) ports_.MessagesHidden();
        if (r.state != UiaReading::Read || !windows_.Exists(r.window)) continue;
        auto at = std::find_if(uiaWindows_.begin(), uiaWindows_.end(), [&](const UiaWindow& u) { return u.window == r.window; });
        if (at == uiaWindows_.end()) at = uiaWindows_.insert(uiaWindows_.end(), UiaWindow{r.window, {}});
        at->place = r.place;
        if (r.fresh.empty()) continue;
        // One at a time, the newest message stands for the burst, as in a transcript.
        const std::vector<ChatMessage> fresh =
            options.readAll ? r.fresh : std::vector<ChatMessage>(r.fresh.end() - 1, r.fresh.end());
        try {
            HandleMessages(ports_, fresh, windows_.Title(r.window));
        } catch (...) {
            if (!failed) failed = std::current_exception();
        }
    }
    if (failed) std::rethrow_exception(failed);
}

std::vector<ChatWatch::Place>::iterator ChatWatch::PlaceOf(WindowRef window) {
    return std::find_if(places_.begin(), places_.end(), [&](const Place& p) { return p.window == window; });
}
