// Win32UiaTree over the stand-in's WeChat windows in another process, through the system's
// UI Automation: the message list found breadth-first, the newest items' names, ids, classes
// and sides, the walk back, an emoji left out, removed and scrolled-away items gone, and a hung
// window.
#include <gtest/gtest.h>

#include "capture/chat_kinds.h"
#include "capture/uia_chat.h"
#include "capture/uia_element_win.h"
#include "capture/uia_reader_win.h"
#include "common/uia_tree.h"
#include "support/standin.h"
#include "win/codepage_win.h"
#include "win/com.h"

namespace {

std::string Gbk(const std::wstring& w) { return WideToAnsi(w); }

// The message list as the reader finds it.
std::unique_ptr<IUiaElement> MessageList(Win32UiaTree& tree, HWND window) {
    std::unique_ptr<IUiaElement> root = tree.FromWindow(reinterpret_cast<WindowRef>(window));
    return root ? FindMessageList(*root) : nullptr;
}

// The avatar Button of a 3.9 message item: inside its one Pane.
std::unique_ptr<IUiaElement> Avatar(IUiaElement& item) {
    auto pane = item.FirstChild();
    for (auto c = pane ? pane->FirstChild() : nullptr; c; c = c->NextSibling())
        if (c->ControlType() == kUiaButton) return c;
    return nullptr;
}

std::vector<std::string> NamesBackFrom(std::unique_ptr<IUiaElement> e, int count) {
    std::vector<std::string> names;
    for (; e && count-- > 0; e = e->PreviousSibling()) names.push_back(e->Name());
    return names;
}

TEST(UiaElement, ReadsEveryWeChatMode) {
    ScopedCom com(COINIT_MULTITHREADED);
    const struct {
        const wchar_t* mode;
        bool list;
        const char* textClass;  // a text message's ClassName
        bool avatars;
    } cases[] = {
        {L"3.9", true, "", true},
        {L"3.9main", true, "", true},
        {L"4", true, "mmui::ChatTextItemView", false},
        {L"none", false, "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << Gbk(c.mode));
        StandinChat chat(std::wstring(L"--wechat ") + c.mode + L" --wechat-items 12");
        auto tree = Win32UiaTree::Create();
        ASSERT_TRUE(tree);
        auto list = MessageList(*tree, chat.Window());
        if (!c.list) {
            EXPECT_FALSE(list);
            continue;
        }
        ASSERT_TRUE(list);
        ASSERT_TRUE(chat.AppendWeChat(L"own", L"我", L"好的\xD83D\xDE00!"));
        ASSERT_TRUE(chat.AppendWeChat(L"friend", L"小鱼", L"在吗"));
        auto last = list->LastChild();
        ASSERT_TRUE(last);
        EXPECT_EQ(last->ControlType(), kUiaListItem);
        EXPECT_EQ(last->ClassName(), c.textClass);
        const std::vector<int> id = last->RuntimeId();
        EXPECT_GE(id.size(), 2u);
        EXPECT_NE(last->PreviousSibling()->RuntimeId(), id);
        if (c.avatars) {
            auto friendAvatar = Avatar(*last);
            auto ownAvatar = Avatar(*last->PreviousSibling());
            ASSERT_TRUE(friendAvatar && ownAvatar);
            EXPECT_EQ(friendAvatar->Name(), Gbk(L"小鱼"));
            const double centre = last->BoundingRectangle().CentreX();
            EXPECT_GT(centre, 0);
            EXPECT_LT(friendAvatar->BoundingRectangle().CentreX(), centre);
            EXPECT_GT(ownAvatar->BoundingRectangle().CentreX(), centre);
        }
        const std::vector<std::string> back = {Gbk(L"在吗"), Gbk(L"好的!"), Gbk(L"消息 11"), Gbk(L"12:01")};
        EXPECT_EQ(NamesBackFrom(list->LastChild(), 4), back) << "the emoji left out, not \"?\"";

        // An item removed above the place, and the oldest scrolled away.
        auto removed = last->PreviousSibling()->PreviousSibling();
        ASSERT_TRUE(chat.RemoveWeChatItem(11));
        EXPECT_THROW(removed->RuntimeId(), UiaUnavailable);
        const std::vector<std::string> after = {Gbk(L"在吗"), Gbk(L"好的!"), Gbk(L"12:01")};
        EXPECT_EQ(NamesBackFrom(list->LastChild(), 3), after);
        ASSERT_TRUE(chat.DropOldestWeChatItems(5));
        EXPECT_EQ(list->FirstChild()->Name(), Gbk(L"消息 5"));
        const unsigned long before = tree->Calls();
        list->Name();
        list->LastChild();
        list->BoundingRectangle();
        EXPECT_EQ(tree->Calls(), before + 3) << "each call into UI Automation counted once";
    }
}

// A hung window holds every call into it. Wine 10 sets no time limit of its own (measured: a
// call waits out a 45 s hang), so the call returns once the window answers again; Windows
// gives up after its own timeout, and the call throws.
TEST(UiaElement, CallIntoHungWindowWaitsForItOrFails) {
    ScopedCom com(COINIT_MULTITHREADED);
    StandinChat chat(L"--wechat 3.9 --wechat-items 3");
    auto tree = Win32UiaTree::Create();
    ASSERT_TRUE(tree);
    auto list = MessageList(*tree, chat.Window());
    ASSERT_TRUE(list);
    auto answers = [&](UINT ms) {
        DWORD_PTR ignored = 0;
        return SendMessageTimeoutW(chat.Window(), WM_NULL, 0, 0, SMTO_NORMAL, ms, &ignored) != 0;
    };
    chat.Hang(8000);
    ASSERT_TRUE(WaitUntil([&] { return !answers(100); }, kPatienceMs));
    bool threw = false;
    try {
        list->LastChild();
    } catch (const UiaUnavailable&) {
        threw = true;
    }
    EXPECT_TRUE(threw || answers(2000)) << "the call came back while the window still hung";
}

// The reading worker over a tree in memory whose window 1 hangs until released: the round is
// given up on once that reading stands still past the limit, the next round reads window 2
// without waiting, and window 1's reading is taken once it answers again.
FakeUiaTree* gTree = nullptr;
HANDLE gRelease = nullptr;

struct HangingTree : IUiaTree {
    std::unique_ptr<IUiaElement> FromWindow(WindowRef w) override {
        if (w == 1) WaitForSingleObject(gRelease, INFINITE);
        return gTree->FromWindow(w);
    }
};

TEST(UiaReader, AHungWindowIsGivenUpOnAndReadAgainOnceItAnswers) {
    FakeUiaTree tree;
    for (WindowRef w : {1, 2}) tree.Message39(tree.Window(w), "Ann", "old", false);
    gTree = &tree;
    gRelease = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HWND sink = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    constexpr UINT kDone = WM_APP + 1;
    Win32UiaReader reader([]() -> std::unique_ptr<IUiaTree> { return std::make_unique<HangingTree>(); }, 200);
    reader.SetTarget(sink, kDone);
    auto nextRound = [&] {
        MSG m;
        for (const DWORD start = GetTickCount(); GetTickCount() - start < kPatienceMs; Sleep(10))
            if (PeekMessageW(&m, sink, kDone, kDone, PM_REMOVE)) return reader.TakeRound(m.lParam);
        ADD_FAILURE() << "no round came back";
        return std::vector<UiaReading>{};
    };
    auto windows = [](const std::vector<UiaReading>& round) {
        std::vector<WindowRef> read;
        for (const UiaReading& r : round)
            if (r.state == UiaReading::Read) read.push_back(r.window);
        return read;
    };
    const ChatKind& kind = kChatKinds[1];
    reader.Submit({{1, &kind, {}}, {2, &kind, {}}});
    EXPECT_FALSE(reader.Ready()) << "one round at a time";
    ASSERT_TRUE(WaitUntil([&] { return reader.Ready(); }, kPatienceMs)) << "the hung window was given up on";
    reader.Submit({{1, &kind, {}}, {2, &kind, {}}});
    EXPECT_EQ(windows(nextRound()), std::vector<WindowRef>{2}) << "the others are read without it";
    SetEvent(gRelease);
    EXPECT_EQ(windows(nextRound()), std::vector<WindowRef>{1}) << "back: what it read is taken";
    reader.Submit({{1, &kind, {}}});
    EXPECT_EQ(windows(nextRound()), std::vector<WindowRef>{1}) << "and it is asked again";
    DestroyWindow(sink);
    CloseHandle(gRelease);
}

}  // namespace
