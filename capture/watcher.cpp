// The message watcher's tick. It never keeps the transcript: every value (body, header,
// sender) comes from a reading of its own, taken at the moment it is needed, in a fixed
// order, so each decision is made on the chat window as it is at that moment.
#include "capture/watcher.h"

#include "app/message_log.h"
#include "app/text.h"
#include "capture/transcript.h"

namespace {

using Parser = std::string (*)(const std::string&);

// One reading: the foreground transcript as it is now, trimmed, handed to one parser.
std::string Read(WatcherPorts& ports, Parser parse) { return parse(text::Trim(ports.ReadChatText())); }

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

void HandleMessage(WatcherPorts& ports, const Direction& d) {
    const bool message = (ports.*d.readMessage)();
    const bool name = (ports.*d.readName)();
    // Speech goes first: it runs asynchronously, so the voice is already talking while the
    // log is being written.
    if (message && name) {
        std::string sender = Read(ports, GetLastSender);  // sender is read before the body
        std::string body = Read(ports, GetLastMessageBody);
        (ports.*d.speak)(sender + gbk::kSaidColon + body);
    } else if (message) {
        (ports.*d.speak)(Read(ports, GetLastMessageBody));
    } else if (name) {
        (ports.*d.speak)(Read(ports, GetLastSender) + gbk::kSaidColon);
    }
    // Logged whatever was spoken: the log is the record of every handled message.
    std::string who = ports.ShowTime() ? Read(ports, GetLastHeader) : Read(ports, GetLastSender);
    ports.AppendColouredLine(who + gbk::kSpaceSaidColon, d.headerColour, false);
    ports.AppendColouredLine(Read(ports, GetLastMessageBody), kColourBody, true);
}

}  // namespace

void WatchTick(WatcherPorts& ports, const std::string& chatTitle, std::string& lastHeader) {
    if (Read(ports, GetLastMessageBody).empty()) return;  // no chat in front, or nothing said
    if (Read(ports, GetLastHeader) == lastHeader) return;  // the newest message was handled
    // Recorded before anything can fail, so a failing speech or log never brings the same
    // message back at the next tick.
    lastHeader = Read(ports, GetLastHeader);
    // A friend's nickname stands in the chat window's title; anything else is the user's.
    // Both tests always run, each on a reading of its own.
    if (!text::Contains(chatTitle, Read(ports, GetLastSender))) HandleMessage(ports, kOwn);
    if (text::Contains(chatTitle, Read(ports, GetLastSender))) HandleMessage(ports, kFriend);
}
