// The kinds of chat window Sonvira reads, one row each: how a kind's windows are recognised,
// how its messages are read, and who is who. The watcher knows rows, not messengers: a new
// messenger is one row here, one reader and one mode of the stand-in chat window.
#pragma once

#include <string>

#include "capture/chat_windows.h"

// How a kind's messages are read.
enum class ChatReader {
    Transcript,  // a rich-edit transcript in the messenger's layout, read with WM_GETTEXT
    UiaList,     // a UI Automation list named "消息", read on the worker thread
};

// How the items of a UI Automation list say what they are and who wrote them.
enum class UiaItems {
    None,
    Avatars,     // a time line has one Text child; a message holds its sender's avatar button,
                 // right of the item's centre for the user's own messages
    ClassNames,  // the item's class tells text, time line and the rest; no sender is shown
};

struct ChatKind {
    const char* name;         // for the trace and the tests
    const char* windowClass;  // the top-level window's class; nullptr: any class
    bool titleMarker;         // the title must carry one of the chat markers
    ChatReader reader;
    UiaItems items;
    const char* timeLineClass;  // ClassNames: the class of a time line
};

extern const ChatKind kChatKinds[];
extern const std::size_t kChatKindCount;

// The first row the window fits, or nullptr. Rows read through UI Automation count only
// when uia is set (the user's option, and UI Automation present on the system).
const ChatKind* KindOfWindow(IChatWindows& windows, WindowRef window, bool uia);
