// The message watcher: once a second it looks at the newest message of the foreground chat
// window and, when its header is new, decides who spoke, speaks it and logs it.
#pragma once

#include <cstdint>
#include <string>

#include "capture/chat_probe.h"

// The colours the watcher gives a message's lines in the log (0x00BBGGRR).
constexpr std::uint32_t kColourOwnHeader = 0x008000;     // green
constexpr std::uint32_t kColourFriendHeader = 0xFF0000;  // blue
constexpr std::uint32_t kColourBody = 0x000000;          // black

// Everything one tick touches besides the two string fields it is given.
struct WatcherPorts {
    virtual ~WatcherPorts() = default;
    // A reading of the transcript, untrimmed; no value when the chat window did not answer.
    virtual ChatReading ReadChatText() = 0;
    virtual void SpeakOwn(const std::string& ansiText) = 0;
    virtual void SpeakFriend(const std::string& ansiText) = 0;
    virtual void AppendColouredLine(const std::string& ansi, std::uint32_t colour, bool scroll) = 0;
    virtual bool ReadOwnMessages() = 0;      // CBMe
    virtual bool ReadOwnName() = 0;          // CBmyname
    virtual bool ReadFriendMessages() = 0;   // CBFriend
    virtual bool ReadFriendName() = 0;       // CBFriendsname
    virtual bool ShowTime() = 0;             // NShowTime1
};

// One tick. chatTitle is only read; lastHeader is updated when a message is handled.
void WatchTick(WatcherPorts& ports, const std::string& chatTitle, std::string& lastHeader);
