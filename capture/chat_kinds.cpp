// The table of chat window kinds; see chat_kinds.h.
#include "capture/chat_kinds.h"

#include <cstring>

#include "capture/chat_probe.h"

// The first row is the messenger the program was made for, found by its title alone; the
// WeChat rows by their window classes: a chat popped out of WeChat 3.9, its main window, and
// WeChat 4's main window (rebuilt on Qt, whose windows all share one class).
const ChatKind kChatKinds[] = {
    {"transcript", nullptr, true, ChatReader::Transcript, UiaItems::None, nullptr},
    {"wechat3.9 chat", "ChatWnd", false, ChatReader::UiaList, UiaItems::Avatars, nullptr},
    {"wechat3.9 main", "WeChatMainWndForPC", false, ChatReader::UiaList, UiaItems::Avatars, nullptr},
    {"wechat4 main", "Qt51514QWindowIcon", false, ChatReader::UiaList, UiaItems::ClassNames, "mmui::ChatItemView"},
};
const std::size_t kChatKindCount = sizeof kChatKinds / sizeof kChatKinds[0];

const ChatKind* KindOfWindow(IChatWindows& windows, WindowRef window, bool uia) {
    if (window == 0) return nullptr;
    std::string cls;  // asked for once, and only when a row needs it
    bool clsRead = false;
    for (const ChatKind& k : kChatKinds) {
        if (k.reader == ChatReader::UiaList && !uia) continue;
        if (k.windowClass) {
            if (!clsRead) cls = windows.ClassName(window), clsRead = true;
            if (cls != k.windowClass) continue;
        }
        if (k.titleMarker && !IsChatTitle(windows, window)) continue;
        return &k;
    }
    return nullptr;
}
