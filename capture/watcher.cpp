// The message watcher's tick. It reads the transcript once and takes the body, header and
// sender of the newest message from that one reading: a chat window read several times in a
// tick can change or stop answering between two readings, and the tick would then speak the
// body of one message with the sender of the next, or record a header it never handles.
#include "capture/watcher.h"

#include "base/text.h"
#include "capture/transcript.h"

namespace {

// The newest message as one reading of the transcript shows it.
struct Newest {
    std::string body, header, sender;
};

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

void HandleMessage(WatcherPorts& ports, const Direction& d, const Newest& m) {
    const bool message = (ports.*d.readMessage)();
    const bool name = (ports.*d.readName)();
    // Speech goes first: it runs asynchronously, so the voice is already talking while the
    // log is being written.
    if (message && name) (ports.*d.speak)(m.sender + gbk::kSaidColon + m.body);
    else if (message) (ports.*d.speak)(m.body);
    else if (name) (ports.*d.speak)(m.sender + gbk::kSaidColon);
    // Logged whatever was spoken: the log is the record of every handled message.
    ports.AppendColouredLine((ports.ShowTime() ? m.header : m.sender) + gbk::kSpaceSaidColon, d.headerColour, false);
    ports.AppendColouredLine(m.body, kColourBody, true);
}

}  // namespace

void WatchTick(WatcherPorts& ports, const std::string& chatTitle, std::string& lastHeader) {
    // A chat window that did not answer says nothing about its chat: the tick changes nothing
    // and a later one asks again.
    ChatReading reading = ports.ReadChatText();
    if (!reading) return;
    const std::string transcript = text::Trim(std::move(*reading));

    Newest m;
    m.body = GetLastMessageBody(transcript);
    if (m.body.empty()) return;  // no chat in front, or nothing said
    m.header = GetLastHeader(transcript);
    if (m.header == lastHeader) return;  // the newest message was handled
    // Recorded before anything can fail, so a failing speech or log never brings the same
    // message back at the next tick.
    lastHeader = m.header;
    m.sender = GetLastSender(transcript);
    // A friend's nickname stands in the chat window's title; anything else is the user's.
    HandleMessage(ports, text::Contains(chatTitle, m.sender) ? kFriend : kOwn, m);
}
