// Questions asked through UI Automation by one reading of a WeChat window's message list, for
// lists of 20 and 2,000 items: an idle reading (nothing new), and one that finds one new
// message (a friend's text in WeChat 3.9, where the sender and its side cost questions of
// their own; a text in WeChat 4, which shows no sender). Finding the list is counted apart:
// it is done once per window and kept.
#include <cstdio>

#include "capture/chat_kinds.h"
#include "capture/uia_chat.h"
#include "common/uia_tree.h"

namespace {

struct Counts {
    long find, idle, oneNew;
};

Counts Measure(const ChatKind& kind, int items) {
    FakeUiaTree tree;
    FakeUiaTree::Node* list = tree.Window(1);
    auto add = [&](int i) {
        if (kind.items == UiaItems::Avatars) tree.Message39(list, "Ann", "m" + std::to_string(i), i % 2 == 0);
        else tree.Item4(list, "mmui::ChatTextItemView", "m" + std::to_string(i));
    };
    for (int i = 0; i < items; ++i) add(i);
    Counts c{};
    long at = tree.calls;
    std::unique_ptr<IUiaElement> found = FindMessageList(*tree.FromWindow(1));
    c.find = tree.calls - at;
    UiaPlace place;
    TakeNewItems(*found, kind, place, "12:00:00");
    at = tree.calls;
    TakeNewItems(*found, kind, place, "12:00:00");
    c.idle = tree.calls - at;
    add(items);
    at = tree.calls;
    TakeNewItems(*found, kind, place, "12:00:00");
    c.oneNew = tree.calls - at;
    return c;
}

}  // namespace

int main() {
    std::printf("%-16s %6s %6s %6s %8s\n", "kind", "items", "find", "idle", "one new");
    for (const ChatKind* kind : {&kChatKinds[1], &kChatKinds[3]})
        for (int items : {20, 2000}) {
            const Counts c = Measure(*kind, items);
            std::printf("%-16s %6d %6ld %6ld %8ld\n", kind->name, items, c.find, c.idle, c.oneNew);
        }
    return 0;
}
