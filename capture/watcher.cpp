// The message watcher's tick. It reads the transcript once and takes the body, header and
// sender of the newest message from that one reading: a chat window read several times in a
// tick can change or stop answering between two readings, and the tick would then speak the
// body of one message with the sender of the next, or record a header it never handles.
#include "capture/watcher.h"

#include <exception>

#include "base/text.h"

namespace {

// What differs between the user's own messages and a friend's.
struct Direction {
    bool (WatcherPorts::*readMessage)();
    bool (WatcherPorts::*readName)();
    void (WatcherPorts::*speak)(const std::string&);
    std::uint32_t headerColour;
};

const Direction kOwn = {&WatcherPorts::ReadOwnMessages, &WatcherPorts::ReadOwnName, &WatcherPorts::SpeakOwn,
                        kColourOwnHeader};
const Direction kFriend = {&WatcherPorts::ReadFriendMessages, &WatcherPorts::ReadFriendName,
                           &WatcherPorts::SpeakFriend, kColourFriendHeader};

// GBK's lead bytes, for ports that do not know the system's code page.
struct GbkLeadBytes : ILeadBytes {
    bool IsLeadByte(unsigned char c) const override { return c >= 0x81 && c <= 0xFE; }
};

// A friend's nickname stands in the chat window's title; anything else is the user's. In a
// group chat no nickname stands there, so a user who gave their own nickname is told by it.
// A window that shows who wrote a message (an avatar's side) is believed before its title.
const Direction& WhoSpoke(WatcherPorts& ports, const std::string& title, const ChatMessage& m) {
    const std::string myNick = text::Trim(ports.MyNick());
    if (!myNick.empty()) return text::Trim(m.sender) == myNick ? kOwn : kFriend;
    if (m.side != ChatSide::ByTitle) return m.side == ChatSide::Own ? kOwn : kFriend;
    return text::Contains(title, m.sender) ? kFriend : kOwn;
}

void HandleMessage(WatcherPorts& ports, const Direction& d, const ChatMessage& m) {
    // Speech goes first: it runs asynchronously, so the voice is already talking while the
    // log is being written.
    // A window that shows no sender has no name part to speak, rather than a bare "说：".
    const bool name = (ports.*d.readName)() && !(m.side != ChatSide::ByTitle && m.sender.empty());
    const bool message = (ports.*d.readMessage)();
    const auto said = SpokenText(ports.Filters(), ports.LeadBytes(), message, name, m.sender, m.body);
    if (said) (ports.*d.speak)(*said);
    // Logged whatever was spoken: the log is the record of every handled message.
    ports.AppendColouredLine((ports.ShowTime() ? m.header : m.sender) + gbk::kSpaceSaidColon, d.headerColour, false);
    ports.AppendColouredLine(m.body, kColourBody, true);
}

}  // namespace

const ILeadBytes& WatcherPorts::LeadBytes() {
    static const GbkLeadBytes gbk;
    return gbk;
}

std::vector<ChatMessage> TakeNewMessages(std::string transcript, ChatPlace place) {
    std::vector<ChatMessage> fresh;
    bool placed = false;
    if (!place.seen.empty()) {
        if (transcript.compare(0, place.seen.size(), place.seen) == 0) {
            fresh = MessagesFrom(transcript, place.seen.size());
            placed = true;
        } else {
            // The messenger trimmed its history or reopened the window: the last handled
            // message, found by its header and body, still marks the place.
            const std::string header = GetLastHeader(place.seen), body = GetLastMessageBody(place.seen);
            std::vector<ChatMessage> all = MessagesFrom(transcript, 0);
            for (std::size_t i = all.size(); i-- > 0 && !placed;) {
                if (all[i].header != header || all[i].body != body) continue;
                fresh.assign(all.begin() + static_cast<std::ptrdiff_t>(i) + 1, all.end());
                placed = true;
            }
        }
    }
    if (!placed) {
        // The newest message alone, as a reading one message at a time takes it.
        ChatMessage newest{GetLastHeader(transcript), GetLastSender(transcript), GetLastMessageBody(transcript)};
        if (newest.body.empty()) return {};
        if (newest.header != place.lastHeader) fresh.push_back(std::move(newest));
    } else if (!fresh.empty() && fresh.back().body.empty()) {
        return {};
    }
    if (!fresh.empty()) place.lastHeader = fresh.back().header;
    place.seen = std::move(transcript);
    return fresh;
}

void WatchChat(WatcherPorts& ports, ChatReading reading, const std::string& title, ChatPlace place, bool readAll) {
    // A place kept while messages were read one at a time would make everything since then
    // look new once every message is read: one at a time, there is no place.
    if (!readAll) place.seen.clear();
    // A chat window that did not answer says nothing about its chat: the tick changes nothing
    // and a later one asks again.
    if (!reading) return;
    std::string unplaced;
    // The messages are taken, and the header recorded, before any is handled, so a failing
    // speech or log append never brings one back; the messages after a failure are still
    // handled, and the first error is reported once they are.
    const std::vector<ChatMessage> fresh =
        TakeNewMessages(text::Trim(std::move(*reading)), readAll ? place : ChatPlace{place.lastHeader, unplaced});
    HandleMessages(ports, fresh, title);
}

void HandleMessages(WatcherPorts& ports, const std::vector<ChatMessage>& fresh, const std::string& title) {
    std::exception_ptr failed;
    for (const ChatMessage& m : fresh) {
        try {
            if (!m.body.empty()) HandleMessage(ports, WhoSpoke(ports, title, m), m);
        } catch (...) {
            if (!failed) failed = std::current_exception();
        }
    }
    if (failed) std::rethrow_exception(failed);
}
