// The message watcher: once a second it looks at the newest message of the foreground chat
// window and, when its header is new, decides who spoke, speaks it and logs it. Options beyond
// that (off unless the user turns them on) let it handle every message of a burst, read chat
// windows behind other windows, tell the user by a nickname, and filter what is spoken.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/profiles.h"
#include "capture/chat_probe.h"
#include "capture/spoken_text.h"
#include "capture/transcript.h"

// The colours the watcher gives a message's lines in the log (0x00BBGGRR).
constexpr std::uint32_t kColourOwnHeader = 0x008000;     // green
constexpr std::uint32_t kColourFriendHeader = 0xFF0000;  // blue
constexpr std::uint32_t kColourBody = 0x000000;          // black

// The options a message is read by: the form's live settings, which the watcher only reads,
// as they stand when it reads (a queued message asks again when its turn comes).
struct ReadingOptions : SpeechFilters {
    bool cbme = true, cbfriend = true;            // own and friends' messages are spoken
    bool cbmyname = true, cbfriendsname = true;   // with the sender's name before them
    bool showtime = true;                         // the log's header line shows the time
    bool readall = false;     // every message of a burst, not only the newest
    bool background = false;  // every chat window shown, not only the one in front
    // The user's own nickname: when not empty, it alone tells own messages from friends'.
    std::string mynick;
    bool wechat = true;       // the windows read through UI Automation (WeChat)
};

// Everything a handled message does besides reading the options.
struct WatcherPorts {
    virtual ~WatcherPorts() = default;
    virtual void Speak(ProfileId profile, const std::string& ansiText) = 0;
    virtual void AppendColouredLine(const std::string& ansi, std::uint32_t colour, bool scroll) = 0;
    // The system's double-byte characters, which the filters count and cut whole.
    virtual const ILeadBytes& LeadBytes();
    // A messenger's window shows no message list to other programs.
    virtual void MessagesHidden() {}
    // What a message says, worked out anew each time it is asked: by the options of that
    // moment (its sender may be muted since, a filter ticked).
    using Saying = std::function<std::optional<std::string>()>;
    // Speaks what a message says now, with the profile's voice. A port that queues messages
    // asks again when one's turn comes. behind: it came from a window behind. sender: as the
    // message names it, untrimmed, for a port that gives friends voices of their own.
    virtual void SpeakLater(ProfileId profile, bool behind, const std::string& sender, const Saying& saying);
};

// Where the watcher stands in one chat window: the header of the last message handled there,
// and, when every message is read, the transcript as it stood then. A place can hold an empty
// transcript: then every message that appears is new.
struct ChatPlace {
    std::string lastHeader;
    std::string seen;
    bool placed = false;  // seen holds a reading; false: the window was never read in full
};

// The messages of a trimmed transcript that are new since place, oldest first, and the place
// moved past them. Below a transcript that still begins as seen did, every message is new;
// when the history was trimmed or reopened, the messages below the last handled one are, and
// when that one is gone too (or the window was read one message at a time), those whose time
// of day is later than its. A window never read, or one whose history shows nothing newer,
// gives its newest message only, and only when its header differs from lastHeader: never the
// history. Without readAll the newest message alone is taken, by that last rule. A newest
// message still without its body is waited for: nothing is taken and the place stays.
std::vector<ChatMessage> TakeNewMessages(std::string transcript, ChatPlace& place, bool readAll = true);

// One reading of one chat window, handled: its newest message when its header differs from
// place.lastHeader (the place then holds no transcript), or with readAll every new message,
// oldest first. title tells a friend's nickname; an empty reading (the window did not answer)
// changes nothing.
void WatchChat(WatcherPorts& ports, const ReadingOptions& options, ChatReading reading, const std::string& title,
               ChatPlace& place, bool behind = false);
// Speaks and logs each message, oldest first. A failing speech or log append does not keep
// the messages after it from being handled; the first error is rethrown once they are.
void HandleMessages(WatcherPorts& ports, const ReadingOptions& options, const std::vector<ChatMessage>& fresh,
                    const std::string& title, bool behind = false);
