// The message watcher's tick. It reads the transcript once and takes the body, header and
// sender of the newest message from that one reading: a chat window read several times in a
// tick can change or stop answering between two readings, and the tick would then speak the
// body of one message with the sender of the next, or record a header it never handles.
#include "capture/watcher.h"

#include <exception>

#include "base/text.h"

namespace {

// What differs between the user's own messages and a friend's, a row per profile.
struct Direction {
    ProfileId profile;
    bool ReadingOptions::*readMessage;
    bool ReadingOptions::*readName;
    std::uint32_t headerColour;
};

const Direction kDirections[kProfileCount] = {
    {kOwnProfile, &ReadingOptions::cbme, &ReadingOptions::cbmyname, kColourOwnHeader},
    {kFriendProfile, &ReadingOptions::cbfriend, &ReadingOptions::cbfriendsname, kColourFriendHeader},
};
const Direction& kOwn = kDirections[kOwnProfile];
const Direction& kFriend = kDirections[kFriendProfile];

// GBK's lead bytes, for ports that do not know the system's code page.
struct GbkLeadBytes : ILeadBytes {
    bool IsLeadByte(unsigned char c) const override { return c >= 0x81 && c <= 0xFE; }
};

// A friend's nickname stands in the chat window's title; anything else is the user's. In a
// group chat no nickname stands there, so a user who gave their own nickname is told by it.
// A window that shows who wrote a message (an avatar's side) is believed before its title.
const Direction& WhoSpoke(const ReadingOptions& options, const std::string& title, const ChatMessage& m) {
    const std::string myNick = text::Trim(options.mynick);
    if (!myNick.empty()) return text::Trim(m.sender) == myNick ? kOwn : kFriend;
    if (m.side != ChatSide::ByTitle) return m.side == ChatSide::Own ? kOwn : kFriend;
    return text::Contains(title, m.sender) ? kFriend : kOwn;
}

void HandleMessage(WatcherPorts& ports, const ReadingOptions& options, const Direction& d, const ChatMessage& m,
                   bool behind) {
    // Speech goes first: it runs asynchronously, so the voice is already talking while the
    // log is being written.
    // A window that shows no sender has no name part to speak, rather than a bare "说：".
    const bool nameless = m.side != ChatSide::ByTitle && m.sender.empty();
    WatcherPorts* p = &ports;
    const ReadingOptions* o = &options;
    ports.SpeakLater(d.profile, behind, m.sender, [p, o, dir = &d, sender = m.sender, body = m.body, nameless] {
        const bool name = o->*dir->readName && !nameless;
        return SpokenText(*o, p->LeadBytes(), o->*dir->readMessage, name, sender, body);
    });
    // Logged whatever was spoken: the log is the record of every handled message.
    ports.AppendColouredLine((options.showtime ? m.header : m.sender) + gbk::kSpaceSaidColon, d.headerColour, false);
    ports.AppendColouredLine(m.body, kColourBody, true);
}

}  // namespace

void WatcherPorts::SpeakLater(ProfileId profile, bool, const std::string&, const Saying& saying) {
    if (const auto text = saying()) Speak(profile, *text);
}

const ILeadBytes& WatcherPorts::LeadBytes() {
    static const GbkLeadBytes gbk;
    return gbk;
}

namespace {

// The time of day a header ends with, in seconds; -1 when it ends with none.
long TimeOfDay(const std::string& header) {
    const std::size_t colon2 = header.rfind(':');
    if (colon2 == std::string::npos || colon2 < 3 || header.size() != colon2 + 3) return -1;
    const std::size_t colon1 = header.rfind(':', colon2 - 1);
    if (colon1 == std::string::npos || colon2 - colon1 != 3) return -1;
    std::size_t h = colon1;
    while (h > 0 && header[h - 1] >= '0' && header[h - 1] <= '9' && colon1 - h < 2) --h;
    if (h == colon1) return -1;
    auto number = [&](std::size_t from, std::size_t to) {
        long n = 0;
        for (std::size_t i = from; i < to; ++i) {
            if (header[i] < '0' || header[i] > '9') return -1L;
            n = n * 10 + (header[i] - '0');
        }
        return n;
    };
    const long hours = number(h, colon1), minutes = number(colon1 + 1, colon2), seconds = number(colon2 + 1, header.size());
    if (hours < 0 || minutes < 0 || seconds < 0) return -1;
    return hours * 3600 + minutes * 60 + seconds;
}

// Later in the day, or just past midnight: a chat's history never spans half a day unread.
bool Later(long time, long than) {
    if (time < 0 || than < 0) return false;
    const long ahead = (time - than + 86400) % 86400;
    return ahead > 0 && ahead <= 43200;
}

}  // namespace

std::vector<ChatMessage> TakeNewMessages(std::string transcript, ChatPlace& place, bool readAll) {
    std::vector<ChatMessage> fresh;
    bool placed = false;
    const long handled = TimeOfDay(place.lastHeader);
    if (readAll && place.placed && transcript.compare(0, place.seen.size(), place.seen) == 0) {
        fresh = MessagesFrom(transcript, place.seen.size());
        placed = true;
        // Below a screen that was cleared, or a window that reopened empty and then loads its
        // history, only what was written after the last handled message is new.
        if (place.seen.empty() && handled >= 0) {
            std::size_t keep = 0;
            while (keep < fresh.size() && !Later(TimeOfDay(fresh[keep].header), handled)) ++keep;
            fresh.erase(fresh.begin(), fresh.begin() + static_cast<std::ptrdiff_t>(keep));
        }
    } else if (readAll) {
        // The messenger trimmed its history or reopened the window, or its messages were read
        // one at a time until now: the last handled message, found by its header and body from
        // the newest, still marks the place; failing that, what was written after it does.
        const std::vector<ChatMessage> all = MessagesFrom(transcript, 0);
        if (place.placed) {
            const std::vector<ChatMessage> before = MessagesFrom(place.seen, 0);
            for (std::size_t i = all.size(); i-- > 0 && !placed && !before.empty();) {
                if (all[i].header != before.back().header || all[i].body != before.back().body) continue;
                fresh.assign(all.begin() + static_cast<std::ptrdiff_t>(i) + 1, all.end());
                placed = true;
            }
        }
        for (std::size_t i = 0; i < all.size() && !placed; ++i) {
            if (!Later(TimeOfDay(all[i].header), handled)) continue;
            fresh.assign(all.begin() + static_cast<std::ptrdiff_t>(i), all.end());
            placed = true;
        }
    }
    if (!placed) {
        // The newest message alone, as a reading one message at a time takes it.
        ChatMessage newest{GetLastHeader(transcript), GetLastSender(transcript), GetLastMessageBody(transcript)};
        if (newest.body.empty() && !newest.header.empty()) return {};
        if (!newest.body.empty() && newest.header != place.lastHeader) fresh.push_back(std::move(newest));
    } else if (!fresh.empty() && fresh.back().body.empty()) {
        return {};
    }
    if (!fresh.empty()) place.lastHeader = fresh.back().header;
    place.seen = std::move(transcript);
    place.placed = true;
    return fresh;
}

void WatchChat(WatcherPorts& ports, const ReadingOptions& options, ChatReading reading, const std::string& title,
               ChatPlace& place, bool behind) {
    const bool readAll = options.readall;
    // A place kept while messages were read one at a time would make everything since then
    // look new once every message is read: one at a time, there is no place.
    if (!readAll) {
        place.seen.clear();
        place.placed = false;
    }
    // A chat window that did not answer says nothing about its chat: the tick changes nothing
    // and a later one asks again.
    if (!reading) return;
    // The messages are taken, and the header recorded, before any is handled, so a failing
    // speech or log append never brings one back; the messages after a failure are still
    // handled, and the first error is reported once they are.
    const std::vector<ChatMessage> fresh = TakeNewMessages(text::Trim(std::move(*reading)), place, readAll);
    if (!readAll) {
        place.seen.clear();
        place.placed = false;
    }
    HandleMessages(ports, options, fresh, title, behind);
}

void HandleMessages(WatcherPorts& ports, const ReadingOptions& options, const std::vector<ChatMessage>& fresh,
                    const std::string& title, bool behind) {
    std::exception_ptr failed;
    for (const ChatMessage& m : fresh) {
        try {
            if (!m.body.empty()) HandleMessage(ports, options, WhoSpoke(options, title, m), m, behind);
        } catch (...) {
            if (!failed) failed = std::current_exception();
        }
    }
    if (failed) std::rethrow_exception(failed);
}
