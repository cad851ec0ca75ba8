// Reading a chat's messages from a UI Automation list (WeChat's "消息"): which items are new,
// which of them are messages, and who wrote each. Every rule asks the tree as little as it
// can, since each question crosses into the messenger (tens of milliseconds under Wine):
// new items are found by walking back from the list's last item to the last one handled.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "capture/chat_kinds.h"
#include "capture/transcript.h"
#include "capture/uia_element.h"

// Where the reading of one list stands: the RuntimeIds of the newest items seen, newest
// last. Several are kept, so that the newest one being deleted (a message recalled) does not
// lose the place. Empty: the list was never read, and its history must not be.
struct UiaPlace {
    std::vector<std::vector<int>> recent;
};

// Walking back further than this without meeting the place means the list shows another chat
// (or its history was reloaded): a burst between two readings is never this long.
constexpr std::size_t kMaxUiaWalkBack = 100;

// The message list under a window's element: the first List named "消息", breadth first,
// within a bounded number of elements (a messenger's window holds a few hundred at most
// above its list). nullptr when the tree shows none.
// progress, when given, is called at each element: a walk that goes on is not a hung one.
std::unique_ptr<IUiaElement> FindMessageList(IUiaElement& root, const std::function<void()>& progress = {});

// The items below place in list, as messages oldest first, and place moved to the newest
// item. A list read for the first time, or one that no longer holds any item of the place,
// gives nothing: what it shows is history. Time lines and nameless items are no messages.
// timeOfDay ("HH:MM:SS") stands in the header, as the time Sonvira read the message.
std::vector<ChatMessage> TakeNewItems(IUiaElement& list, const ChatKind& kind, UiaPlace& place,
                                      const std::string& timeOfDay, const std::function<void()>& progress = {});

// What the UI thread asks the reading worker for one window, and what comes back.
struct UiaJob {
    WindowRef window = 0;
    const ChatKind* kind = nullptr;
    UiaPlace place;
};
struct UiaReading {
    WindowRef window = 0;
    enum State { Read, NoList, Failed } state = Failed;
    std::vector<ChatMessage> fresh;  // oldest first
    UiaPlace place;                  // where the next job for this window begins
};

// The worker side of a round: the windows' message lists, found once and kept between rounds
// (finding one walks the window's tree), read from the places the jobs give.
class UiaListReader {
public:
    explicit UiaListReader(IUiaTree& tree, std::function<void()> progress = {})
        : tree_(tree), progress_(std::move(progress)) {}
    UiaReading Read(const UiaJob& job, const std::string& timeOfDay);
    // The lists of the windows gone are let go.
    template <typename Gone>
    void ForgetIf(Gone gone) {
        for (std::size_t i = lists_.size(); i-- > 0;)
            if (gone(lists_[i].window)) lists_.erase(lists_.begin() + static_cast<std::ptrdiff_t>(i));
    }

private:
    struct Kept {
        WindowRef window;
        std::unique_ptr<IUiaElement> list;
    };
    IUiaTree& tree_;
    std::function<void()> progress_;
    std::vector<Kept> lists_;
};

// The reading worker as the UI thread sees it. Its answers come back on the UI thread (a
// posted message in the program, a call in the tests) as ChatWatch::UiaRoundDone.
struct IUiaReader {
    virtual ~IUiaReader() = default;
    // False where the system has no UI Automation: its rows are then never asked for.
    virtual bool Available() = 0;
    // False while a round is out: the next is sent only after its answer.
    virtual bool Ready() = 0;
    virtual void Submit(std::vector<UiaJob> jobs) = 0;
};
