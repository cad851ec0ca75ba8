// Reading a UI Automation message list; see uia_chat.h.
#include "capture/uia_chat.h"

#include <algorithm>

namespace {

const char kMessageListName[] = "\xcf\xfb\xcf\xa2";  // "消息"

// Above the message list a messenger's window holds a few hundred elements at most; past this
// many the tree is not one the rows know, and walking on would only cost.
constexpr std::size_t kMaxElementsSearched = 400;
constexpr std::size_t kPlaceIds = 4;

bool InPlace(const UiaPlace& place, const std::vector<int>& id) {
    return std::find(place.recent.begin(), place.recent.end(), id) != place.recent.end();
}

void MoveTo(UiaPlace& place, const std::vector<int>& id) {
    place.recent.push_back(id);
    if (place.recent.size() > kPlaceIds) place.recent.erase(place.recent.begin());
}

// The avatar sits at one end of the message's row, beside its bubble: the first child for a
// friend's message, the last for the user's own; which side it is on is read from the screen.
std::unique_ptr<IUiaElement> Avatar(IUiaElement& row) {
    for (auto end : {&IUiaElement::FirstChild, &IUiaElement::LastChild}) {
        std::unique_ptr<IUiaElement> e = (row.*end)();
        if (e && e->ControlType() == kUiaButton) return e;
    }
    return nullptr;
}

// The message an item holds, or false for a time line or a nameless item.
bool ItemMessage(IUiaElement& item, const ChatKind& kind, const std::string& timeOfDay, ChatMessage& m) {
    m = {};
    m.side = ChatSide::Friend;
    if (kind.items == UiaItems::ClassNames && kind.timeLineClass && item.ClassName() == kind.timeLineClass) return false;
    m.body = item.Name();
    if (m.body.empty()) return false;
    if (kind.items == UiaItems::Avatars) {
        std::unique_ptr<IUiaElement> row = item.FirstChild();
        const int rowType = row ? row->ControlType() : 0;
        if (rowType == kUiaText) return false;
        if (std::unique_ptr<IUiaElement> avatar = row && rowType != kUiaButton ? Avatar(*row) : nullptr) {
            const std::string name = avatar->Name();
            if (!name.empty()) m.sender = name + " ";
            if (avatar->BoundingRectangle().CentreX() > item.BoundingRectangle().CentreX()) m.side = ChatSide::Own;
        }
    }
    // Laid out as a transcript's header: the sender, two blanks, the time.
    m.header = m.sender.empty() ? timeOfDay : m.sender + " " + timeOfDay;
    return true;
}

}  // namespace

std::unique_ptr<IUiaElement> FindMessageList(IUiaElement& root, const std::function<void()>& progress) {
    // Breadth first: the first element of each level's runs, taken in order.
    std::vector<std::unique_ptr<IUiaElement>> open;
    open.push_back(root.FirstChild());
    std::size_t seen = 0;
    for (std::size_t at = 0; at < open.size() && seen < kMaxElementsSearched; ++at) {
        std::unique_ptr<IUiaElement> e = std::move(open[at]);
        for (; e && seen < kMaxElementsSearched; ++seen) {
            if (progress) progress();
            std::unique_ptr<IUiaElement> next = e->NextSibling();
            const int type = e->ControlType();
            if (type == kUiaList) {
                if (e->Name() == kMessageListName) return e;
            } else if (type != kUiaListItem) {
                // Other lists and their items hold no message list: their rows are not walked.
                open.push_back(e->FirstChild());
            }
            e = std::move(next);
        }
    }
    return nullptr;
}

std::vector<ChatMessage> TakeNewItems(IUiaElement& list, const ChatKind& kind, UiaPlace& place,
                                      const std::string& timeOfDay, const std::function<void()>& progress) {
    std::unique_ptr<IUiaElement> item = list.LastChild();
    if (place.recent.empty()) {
        // First sight: an empty id stands for an empty list, below which everything is new.
        place.recent.push_back(item ? item->RuntimeId() : std::vector<int>());
        return {};
    }
    std::vector<std::unique_ptr<IUiaElement>> newer;  // newest first
    std::vector<std::vector<int>> ids;
    bool placed = false;
    while (item) {
        if (progress) progress();
        std::vector<int> id = item->RuntimeId();
        if (InPlace(place, id)) {
            placed = true;
            break;
        }
        if (newer.size() == kMaxUiaWalkBack) break;
        std::unique_ptr<IUiaElement> before = item->PreviousSibling();
        newer.push_back(std::move(item));
        ids.push_back(std::move(id));
        item = std::move(before);
    }
    if (!item && InPlace(place, {})) placed = true;
    if (newer.empty()) return {};
    std::vector<ChatMessage> fresh;
    if (placed) {
        for (std::size_t i = newer.size(); i-- > 0;) {
            if (progress) progress();
            ChatMessage m;
            if (ItemMessage(*newer[i], kind, timeOfDay, m)) fresh.push_back(std::move(m));
        }
        for (std::size_t i = ids.size(); i-- > 0;) MoveTo(place, ids[i]);
    } else {
        // Another chat, or history loaded above: nothing of it is new. Reading goes on below
        // its newest item.
        place.recent.assign(1, ids.front());
    }
    return fresh;
}

UiaReading UiaListReader::Read(const UiaJob& job, const std::string& timeOfDay) {
    UiaReading r;
    r.window = job.window;
    r.place = job.place;
    auto kept = std::find_if(lists_.begin(), lists_.end(), [&](const Kept& k) { return k.window == job.window; });
    if (kept == lists_.end()) kept = lists_.insert(lists_.end(), Kept{job.window, nullptr});
    // A kept list that has gone (the window rebuilt its tree) is looked for once more; one
    // just found that fails is not: the window is not answering.
    for (bool found = false; !found;) {
        try {
            if (!kept->list) {
                found = true;
                std::unique_ptr<IUiaElement> root = tree_.FromWindow(job.window);
                kept->list = root ? FindMessageList(*root, progress_) : nullptr;
                if (!kept->list) {
                    r.state = UiaReading::NoList;
                    return r;
                }
            }
            UiaPlace place = job.place;
            r.fresh = TakeNewItems(*kept->list, *job.kind, place, timeOfDay, progress_);
            r.place = std::move(place);
            r.state = UiaReading::Read;
            return r;
        } catch (const UiaUnavailable&) {
            kept->list.reset();
        }
    }
    return r;
}
