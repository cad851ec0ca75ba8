// Questions asked through UI Automation by one reading of a WeChat window's message list, for
// lists of 20 and 2,000 items: an idle reading (nothing new), and one that finds one new
// message (a friend's text in WeChat 3.9, where the sender and its side cost questions of
// their own; a text in WeChat 4, which shows no sender). Finding the list is counted apart:
// it is done once per window and kept. Each count is "all questions / moves through the tree":
// under Wine 10 a move costs 40-120 ms and a property 1-3 ms, so the moves are the time.
#include <cstdio>

#include "capture/chat_kinds.h"
#include "capture/uia_chat.h"
#include "common/uia_tree.h"

namespace {

struct Count {
    long calls, moves;
};
struct Counts {
    Count find, idle, oneNew;
};

Counts Measure(const ChatKind& kind, int items) {
    FakeUiaTree tree;
    FakeUiaTree::Node* list = tree.Window(1);
    auto add = [&](int i) {
        if (kind.items == UiaItems::Avatars) tree.Message39(list, "Ann", "m" + std::to_string(i), i % 2 == 0);
        else tree.Item4(list, "mmui::ChatTextItemView", "m" + std::to_string(i));
    };
    for (int i = 0; i < items; ++i) add(i);
    auto counted = [&](const auto& step) {
        const Count at{tree.calls, tree.moves};
        step();
        return Count{tree.calls - at.calls, tree.moves - at.moves};
    };
    Counts c{};
    std::unique_ptr<IUiaElement> found;
    c.find = counted([&] { found = FindMessageList(*tree.FromWindow(1)); });
    UiaPlace place;
    TakeNewItems(*found, kind, place, "12:00:00");
    c.idle = counted([&] { TakeNewItems(*found, kind, place, "12:00:00"); });
    add(items);
    c.oneNew = counted([&] { TakeNewItems(*found, kind, place, "12:00:00"); });
    return c;
}

}  // namespace

int main() {
    std::printf("%-16s %6s %8s %8s %8s\n", "kind", "items", "find", "idle", "one new");
    for (const ChatKind* kind : {&kChatKinds[1], &kChatKinds[3]})
        for (int items : {20, 2000}) {
            const Counts c = Measure(*kind, items);
            std::printf("%-16s %6d %4ld/%-3ld %4ld/%-3ld %4ld/%-3ld\n", kind->name, items, c.find.calls, c.find.moves,
                        c.idle.calls, c.idle.moves, c.oneNew.calls, c.oneNew.moves);
        }
    return 0;
}
