// The watching of every chat window; see chat_watch.h.
#include "capture/chat_watch.h"

#include <algorithm>
#include <exception>

#include "base/text.h"

namespace {

// The form's header of the last message handled follows the place of the window in front, a
// handling that failed included: the message was taken before it was handled.
struct FollowFront {
    std::string& header;
    WindowRef& headerWindow;
    const ChatPlace* place;
    WindowRef window;
    ~FollowFront() {
        if (!place || header == place->lastHeader) return;
        header = place->lastHeader;
        headerWindow = window;
    }
};

}  // namespace

void ChatWatch::Tick() {
    const ReadingOptions& options = options_;
    const bool uia = options.wechat && uia_ && uia_->Available();
    std::vector<UiaJob> jobs;
    if (!options.readall && !options.background) {
        // One message at a time, from the window in front: a window switched to has its newest
        // message handled anew, unless its header is the one handled last.
        places_.clear();
        ChatPlace front{lastHeader_, {}, false};
        {
            FollowFront follow{lastHeader_, headerWindow_, &front, windows_.Foreground()};
            WatchChat(ports_, options_, GetChatText(windows_), chatTitle_, front);
        }
        if (uia) AskUiaInFront(jobs);
    } else {
        WatchOwnPlaces(uia, jobs);
    }
    background_ = options.background;
    ticked_ = true;
    uiaWindows_.erase(std::remove_if(uiaWindows_.begin(), uiaWindows_.end(),
                                     [&](const UiaWindow& w) { return !windows_.Exists(w.window); }),
                      uiaWindows_.end());
    if (!jobs.empty() && uia_->Ready()) uia_->Submit(std::move(jobs));
}

void ChatWatch::TickUia() {
    const ReadingOptions& options = options_;
    if (!options.wechat || !uia_ || !uia_->Available() || !uia_->Ready()) return;
    std::vector<UiaJob> jobs;
    if (options.background) {
        for (WindowRef w : windows_.TopLevelWindows()) {
            const ChatKind* kind = KindOfWindow(windows_, w, true);
            if (kind && kind->reader == ChatReader::UiaList) AskUia(w, *kind, jobs);
        }
    } else {
        AskUiaInFront(jobs);
    }
    if (!jobs.empty()) uia_->Submit(std::move(jobs));
}

void ChatWatch::AskUiaInFront(std::vector<UiaJob>& jobs) {
    const WindowRef w = windows_.Foreground();
    const ChatKind* kind = KindOfWindow(windows_, w, true);
    if (kind && kind->reader == ChatReader::UiaList) AskUia(w, *kind, jobs);
}

void ChatWatch::WatchOwnPlaces(bool uia, std::vector<UiaJob>& jobs) {
    const ReadingOptions& options = options_;
    const WindowRef front = windows_.Foreground();
    // The windows read, each with its row; listing them begins a round of readings.
    std::vector<std::pair<WindowRef, const ChatKind*>> read;
    if (options.background) {
        for (WindowRef w : windows_.TopLevelWindows())
            if (const ChatKind* kind = KindOfWindow(windows_, w, uia)) read.emplace_back(w, kind);
    } else if (const ChatKind* kind = KindOfWindow(windows_, front, uia)) {
        read.emplace_back(front, kind);
    }
    places_.erase(std::remove_if(places_.begin(), places_.end(),
                                 [&](const Place& p) { return !windows_.Exists(p.window); }),
                  places_.end());
    const bool justTicked = options.background && !background_ && ticked_;
    for (const auto& [w, kind] : read) {
        if (kind->reader == ChatReader::UiaList) {
            AskUia(w, *kind, jobs);
            continue;
        }
        // In front, who is a friend is judged as always, by the title the title timer keeps.
        const std::string title = w == front ? chatTitle_ : windows_.Title(w);
        auto at = PlaceOf(w);
        if (at == places_.end()) {
            places_.push_back({w, {}});
            at = places_.end() - 1;
            // The window in front goes on from the message handled last there, when that was
            // this window's; a window behind that the user just asked to be read is placed
            // where it stands, nothing read.
            if (w == front) {
                if (w == headerWindow_) at->place.lastHeader = lastHeader_;
            } else if (justTicked) {
                ChatReading reading = ReadChatWindow(windows_, w);
                if (reading) TakeNewMessages(text::Trim(std::move(*reading)), at->place);
                continue;
            }
        }
        FollowFront follow{lastHeader_, headerWindow_, w == front ? &at->place : nullptr, w};
        WatchChat(ports_, options_, ReadChatWindow(windows_, w), title, at->place, w != front);
    }
}

std::vector<ChatWatch::UiaWindow>::iterator ChatWatch::UiaWindowOf(WindowRef window) {
    return std::find_if(uiaWindows_.begin(), uiaWindows_.end(), [&](const UiaWindow& u) { return u.window == window; });
}

void ChatWatch::AskUia(WindowRef window, const ChatKind& kind, std::vector<UiaJob>& jobs) {
    auto at = UiaWindowOf(window);
    jobs.push_back({window, &kind, at == uiaWindows_.end() ? UiaPlace{} : at->place});
}

void ChatWatch::UiaRoundDone(const std::vector<UiaReading>& readings) {
    const ReadingOptions& options = options_;
    std::exception_ptr failed;
    for (const UiaReading& r : readings) {
        if (r.state == UiaReading::NoList) ports_.MessagesHidden();
        if (r.state != UiaReading::Read || !windows_.Exists(r.window)) continue;
        auto at = UiaWindowOf(r.window);
        if (at == uiaWindows_.end()) at = uiaWindows_.insert(uiaWindows_.end(), UiaWindow{r.window, {}});
        at->place = r.place;
        // A round asked for before the options changed: what it found in a window no longer
        // read is passed over, as the window is.
        const bool behind = r.window != windows_.Foreground();
        if (r.fresh.empty() || !options.wechat || (behind && !options.background)) continue;
        // One at a time, the newest message stands for the burst, as in a transcript.
        const std::vector<ChatMessage> fresh =
            options.readall ? r.fresh : std::vector<ChatMessage>(r.fresh.end() - 1, r.fresh.end());
        try {
            HandleMessages(ports_, options_, fresh, windows_.Title(r.window), behind);
        } catch (...) {
            if (!failed) failed = std::current_exception();
        }
    }
    if (failed) std::rethrow_exception(failed);
}

std::vector<ChatWatch::Place>::iterator ChatWatch::PlaceOf(WindowRef window) {
    return std::find_if(places_.begin(), places_.end(), [&](const Place& p) { return p.window == window; });
}
