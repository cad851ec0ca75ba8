// The rules of the chat windows read through UI Automation, over a tree in memory shaped as
// WeChat's: which items are new (by their RuntimeIds), which are messages, who wrote each,
// and how a list is found and found again.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "capture/chat_kinds.h"
#include "capture/uia_chat.h"
#include "common/uia_tree.h"

namespace {

using Node = FakeUiaTree::Node;
const ChatKind& kWeChat39 = kChatKinds[1];
const ChatKind& kWeChat4 = kChatKinds[3];
const std::string kPicture39 = "[\xcd\xbc\xc6\xac]";  // "[图片]"

// What a reading made new: "sender>side:body", ";" between messages.
std::string Render(const std::vector<ChatMessage>& fresh) {
    std::string out;
    for (const ChatMessage& m : fresh)
        out += (out.empty() ? "" : ";") + m.sender + ">" + (m.side == ChatSide::Own ? "own" : "friend") + ":" + m.body;
    return out;
}

TEST(UiaChat, NewItemsFromThePlaceOnwardNeverTheHistory) {
    struct Step {
        std::function<void(FakeUiaTree&, Node*)> change;
        std::string fresh;
    };
    struct Case {
        const char* what;
        const ChatKind& kind;
        std::vector<Step> steps;
    };
    auto friendSays = [](std::string text) {
        return [text](FakeUiaTree& t, Node* l) { t.Message39(l, "Ann", text, false); };
    };
    auto iSay = [](std::string text) { return [text](FakeUiaTree& t, Node* l) { t.Message39(l, "Me", text, true); }; };
    auto nothing = [](FakeUiaTree&, Node*) {};
    const Case cases[] = {
        {"first sight reads no history; then friend and own by the avatar's side", kWeChat39,
         {{friendSays("old"), ""}, {friendSays("hi"), "Ann >friend:hi"}, {iSay("yo"), "Me >own:yo"},
          {[](FakeUiaTree& t, Node* l) {
               t.Message39(l, "Ann", "a", false);
               t.Message39(l, "Bob", "b", false);
           },
           "Ann >friend:a;Bob >friend:b"},
          {nothing, ""}}},
        {"time lines are no messages; a picture is read by its name", kWeChat39,
         {{nothing, ""},
          {[](FakeUiaTree& t, Node* l) {
               t.TimeLine39(l, "12:00");
               t.Message39(l, "Ann", kPicture39, false);
           },
           "Ann >friend:" + kPicture39}}},
        {"an empty list: its first message is new", kWeChat39, {{nothing, ""}, {friendSays("first"), "Ann >friend:first"}}},
        {"an item removed above the place, the oldest scrolled away", kWeChat39,
         {{[](FakeUiaTree& t, Node* l) {
               for (const char* text : {"a", "b", "c"}) t.Message39(l, "Ann", text, false);
           },
           ""},
          {[](FakeUiaTree& t, Node* l) {
               t.Remove(l->children.front());
               t.Remove(l->children.front());
               t.Message39(l, "Ann", "d", false);
           },
           "Ann >friend:d"}}},
        {"the newest item recalled: the one before it still holds the place", kWeChat39,
         {{friendSays("a"), ""}, {friendSays("b"), "Ann >friend:b"},
          {[](FakeUiaTree& t, Node* l) {
               t.Remove(l->children.back());
               t.Message39(l, "Ann", "c", false);
           },
           "Ann >friend:c"}}},
        {"another chat shown in the same list: its history is not read", kWeChat39,
         {{friendSays("a"), ""},
          {[](FakeUiaTree& t, Node* l) {
               while (!l->children.empty()) t.Remove(l->children.front());
               t.Message39(l, "Bob", "other", false);
               t.Message39(l, "Bob", "chat", false);
           },
           ""},
          {friendSays("new"), "Ann >friend:new"}}},
        {"a burst longer than a list scrolls is taken for another chat", kWeChat39,
         {{friendSays("a"), ""},
          {[](FakeUiaTree& t, Node* l) {
               for (std::size_t i = 0; i <= kMaxUiaWalkBack; ++i) t.Message39(l, "Ann", "x", false);
           },
           ""}}},
        {"WeChat 4: items by class, no sender, time lines skipped", kWeChat4,
         {{[](FakeUiaTree& t, Node* l) { t.Item4(l, "mmui::ChatTextItemView", "old"); }, ""},
          {[](FakeUiaTree& t, Node* l) {
               t.Item4(l, "mmui::ChatItemView", "12:00");
               t.Item4(l, "mmui::ChatTextItemView", "hi");
               t.Item4(l, "mmui::ChatImageItemView", "\xcd\xbc\xc6\xac");  // "图片"
           },
           ">friend:hi;>friend:\xcd\xbc\xc6\xac"}}},
    };
    for (const Case& c : cases) {
        FakeUiaTree tree;
        Node* list = tree.Window(1);
        UiaPlace place;
        int step = 0;
        for (const Step& s : c.steps) {
            s.change(tree, list);
            auto listElement = tree.Wrap(list);
            EXPECT_EQ(Render(TakeNewItems(*listElement, c.kind, place, "12:34:56")), s.fresh) << c.what << ", step " << ++step;
        }
    }
}

TEST(UiaChat, HeaderIsTheSenderAndTheTimeItWasRead) {
    FakeUiaTree tree;
    Node* list = tree.Window(1);
    UiaPlace place;
    auto l = tree.Wrap(list);
    TakeNewItems(*l, kWeChat39, place, "00:00:00");
    tree.Message39(list, "Ann", "hi", false);
    tree.Item4(list, "mmui::ChatTextItemView", "bare");
    const std::vector<ChatMessage> fresh = TakeNewItems(*l, kWeChat39, place, "09:05:01");
    ASSERT_EQ(fresh.size(), 2u);
    EXPECT_EQ(fresh[0].header, "Ann  09:05:01");
    EXPECT_EQ(fresh[1].header, "09:05:01") << "an item without an avatar has no sender to head it";
}

// The list is found once, kept between rounds, and looked for again when it has gone.
TEST(UiaChat, TheListIsFoundOnceAndAgainWhenTheWindowRebuiltIt) {
    FakeUiaTree tree;
    Node* list = tree.Window(7);
    tree.Message39(list, "Ann", "old", false);
    UiaListReader reader(tree);
    UiaJob job{7, &kWeChat39, {}};
    UiaReading r = reader.Read(job, "12:00:00");
    ASSERT_EQ(r.state, UiaReading::Read);
    tree.Message39(list, "Ann", "a", false);
    const long before = tree.calls;
    job.place = r.place;
    r = reader.Read(job, "12:00:00");
    EXPECT_EQ(Render(r.fresh), "Ann >friend:a");
    const long oneNew = tree.calls - before;

    // The window rebuilds its tree: the kept list is gone, a new one holds a new message.
    tree.Remove(list);
    Node* rebuilt = tree.Window(7);
    tree.Message39(rebuilt, "Ann", "b", false);
    job.place = r.place;
    r = reader.Read(job, "12:00:00");
    EXPECT_EQ(r.state, UiaReading::Read);
    EXPECT_EQ(Render(r.fresh), "") << "a rebuilt list is a list seen anew";
    EXPECT_GT(tree.calls - before - oneNew, oneNew) << "finding the list again walked the tree";

    EXPECT_EQ(reader.Read({8, &kWeChat39, {}}, "").state, UiaReading::NoList) << "a window without a tree";
    tree.hung = true;
    EXPECT_EQ(reader.Read(job, "").state, UiaReading::Failed) << "a hung messenger gives no reading";
}

}  // namespace
