// The WeChat modes' UI Automation providers: one hand-written fragment per element, the
// window's root hosted by the system's provider for the window (which names it after the
// title and gives its rectangle), the items under the list "消息" as standin_protocol.h lays
// them out. The import library of uiautomationcore is not in Debian's MinGW-w64, so its two
// functions are looked up at run time.
#include "tools/standin_chat/wechat_tree.h"

#include <ole2.h>
#include <uiautomationcore.h>

#include <vector>

namespace wechat {

namespace {

// Documented UI Automation ids.
constexpr int kButton = 50000, kListItem = 50007, kList = 50008, kText = 50020, kPane = 50033;
constexpr PROPERTYID kControlTypeProperty = 30003, kNameProperty = 30005, kClassNameProperty = 30012;
constexpr HRESULT kNotAvailable = static_cast<HRESULT>(0x80040201);  // UIA_E_ELEMENTNOTAVAILABLE
constexpr LONG kRootObjectId = -25;                                   // UiaRootObjectId
constexpr int kAppendRuntimeId = 3;                                   // UiaAppendRuntimeId

constexpr int kRow = 40, kAvatar = 32, kPad = 4;

using ReturnProviderFn = LRESULT(WINAPI*)(HWND, WPARAM, LPARAM, IRawElementProviderSimple*);
using HostProviderFn = HRESULT(WINAPI*)(HWND, IRawElementProviderSimple**);

enum class Layout { k39, k39Main, k4, kNone };
// Which rectangle an element has: the client area, its item's row, or a part of the row.
enum class Part { kWhole, kRow, kAvatar, kBubble };

class Node;

}  // namespace

struct Chat::State {
    HWND window = nullptr;
    Layout layout = Layout::k39;
    CRITICAL_SECTION lock;
    ReturnProviderFn returnProvider = nullptr;
    HostProviderFn hostProvider = nullptr;
    Node* root = nullptr;
    Node* list = nullptr;
    int nextId = 1;

    RECT Client() const {
        RECT rc;
        GetClientRect(window, &rc);
        return rc;
    }
};

namespace {

class Guard {
public:
    explicit Guard(Chat::State* s) : s_(s) { EnterCriticalSection(&s_->lock); }
    ~Guard() { LeaveCriticalSection(&s_->lock); }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;

private:
    Chat::State* s_;
};

class Node final : public IRawElementProviderSimple,
             public IRawElementProviderFragment,
             public IRawElementProviderFragmentRoot {
public:
    Node(Chat::State* s, Node* parent, int type, std::wstring name, std::wstring cls, Part part)
        : s_(s), parent_(parent), type_(type), name_(std::move(name)), cls_(std::move(cls)), part_(part),
          id_(s->nextId++) {
        if (parent) {
            item_ = parent->item_;
            parent->children_.push_back(this);
        }
    }

    Node* Add(int type, std::wstring name, std::wstring cls = L"", Part part = Part::kWhole) {
        return new Node(s_, this, type, std::move(name), std::move(cls), part == Part::kWhole ? part_ : part);
    }

    // Out of the tree for good: the node and all below answer "not available" from now on,
    // while whoever still holds them keeps them alive.
    void Detach() {
        alive_ = false;
        parent_ = nullptr;
        for (Node* c : children_) {
            c->Detach();
            c->Release();
        }
        children_.clear();
    }

    // ---- IUnknown ----
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (riid == IID_IUnknown || riid == __uuidof(IRawElementProviderSimple))
            *out = static_cast<IRawElementProviderSimple*>(this);
        else if (riid == __uuidof(IRawElementProviderFragment))
            *out = static_cast<IRawElementProviderFragment*>(this);
        else if (riid == __uuidof(IRawElementProviderFragmentRoot) && this == s_->root)
            *out = static_cast<IRawElementProviderFragmentRoot*>(this);
        else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG n = InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }

    // ---- IRawElementProviderSimple ----
    HRESULT STDMETHODCALLTYPE get_ProviderOptions(ProviderOptions* out) override {
        if (!out) return E_POINTER;
        *out = ProviderOptions_ServerSideProvider;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPatternProvider(PATTERNID, IUnknown** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPropertyValue(PROPERTYID id, VARIANT* out) override {
        if (!out) return E_POINTER;
        VariantInit(out);
        Guard g(s_);
        if (!alive_) return kNotAvailable;
        // The root leaves its name and type to the window's host provider.
        const bool root = this == s_->root;
        if (id == kNameProperty && !root) {
            out->vt = VT_BSTR;
            out->bstrVal = SysAllocStringLen(name_.data(), static_cast<UINT>(name_.size()));
        } else if (id == kControlTypeProperty && !root) {
            out->vt = VT_I4;
            out->lVal = type_;
        } else if (id == kClassNameProperty && !cls_.empty()) {
            out->vt = VT_BSTR;
            out->bstrVal = SysAllocStringLen(cls_.data(), static_cast<UINT>(cls_.size()));
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_HostRawElementProvider(IRawElementProviderSimple** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        Guard g(s_);
        if (!alive_) return kNotAvailable;
        return this == s_->root ? s_->hostProvider(s_->window, out) : S_OK;
    }

    // ---- IRawElementProviderFragment ----
    HRESULT STDMETHODCALLTYPE Navigate(NavigateDirection direction, IRawElementProviderFragment** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        Guard g(s_);
        if (!alive_) return kNotAvailable;
        Node* to = nullptr;
        switch (direction) {
        case NavigateDirection_Parent:
            to = parent_;
            break;
        case NavigateDirection_FirstChild:
            to = children_.empty() ? nullptr : children_.front();
            break;
        case NavigateDirection_LastChild:
            to = children_.empty() ? nullptr : children_.back();
            break;
        case NavigateDirection_NextSibling:
        case NavigateDirection_PreviousSibling:
            if (parent_) {
                const std::vector<Node*>& siblings = parent_->children_;
                for (std::size_t i = 0; i < siblings.size(); ++i) {
                    if (siblings[i] != this) continue;
                    if (direction == NavigateDirection_NextSibling && i + 1 < siblings.size()) to = siblings[i + 1];
                    if (direction == NavigateDirection_PreviousSibling && i > 0) to = siblings[i - 1];
                    break;
                }
            }
            break;
        }
        if (to) {
            to->AddRef();
            *out = static_cast<IRawElementProviderFragment*>(to);
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetRuntimeId(SAFEARRAY** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        Guard g(s_);
        if (!alive_) return kNotAvailable;
        // A root hosted in a window takes its id from the window.
        if (this == s_->root) return S_OK;
        SAFEARRAY* a = SafeArrayCreateVector(VT_I4, 0, 2);
        if (!a) return E_OUTOFMEMORY;
        const LONG values[] = {kAppendRuntimeId, id_};
        for (LONG i = 0; i < 2; ++i) SafeArrayPutElement(a, &i, const_cast<LONG*>(&values[i]));
        *out = a;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_BoundingRectangle(UiaRect* out) override {
        if (!out) return E_POINTER;
        *out = UiaRect{0, 0, 0, 0};
        Guard g(s_);
        if (!alive_) return kNotAvailable;
        if (this == s_->root) return S_OK;  // the host provider's rectangle stands
        RECT r = Rect();
        MapWindowPoints(s_->window, nullptr, reinterpret_cast<POINT*>(&r), 2);
        *out = UiaRect{double(r.left), double(r.top), double(r.right - r.left), double(r.bottom - r.top)};
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetEmbeddedFragmentRoots(SAFEARRAY** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetFocus() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE get_FragmentRoot(IRawElementProviderFragmentRoot** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        Guard g(s_);
        if (!alive_) return kNotAvailable;
        s_->root->AddRef();
        *out = static_cast<IRawElementProviderFragmentRoot*>(s_->root);
        return S_OK;
    }

    // ---- IRawElementProviderFragmentRoot ----
    HRESULT STDMETHODCALLTYPE ElementProviderFromPoint(double, double, IRawElementProviderFragment** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetFocus(IRawElementProviderFragment** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        return S_OK;
    }

    // ---- the model ----
    // Client coordinates: a row per item, the newest at the bottom.
    RECT Rect() const {
        RECT rc = s_->Client();
        if (part_ == Part::kWhole || !item_) return rc;
        const long below = static_cast<long>(s_->list->children_.size() - 1 - item_->index_);
        RECT row = {rc.left, rc.bottom - (below + 1) * kRow, rc.right, rc.bottom - below * kRow};
        if (part_ == Part::kRow) return row;
        const bool own = item_->own_;
        RECT avatar = {own ? row.right - kPad - kAvatar : row.left + kPad, row.top + kPad, 0, 0};
        avatar.right = avatar.left + kAvatar;
        avatar.bottom = avatar.top + kAvatar;
        if (part_ == Part::kAvatar) return avatar;
        RECT bubble = {row.left + 2 * kPad + kAvatar, row.top + kPad, row.right - 2 * kPad - kAvatar, row.bottom - kPad};
        return bubble;
    }

    Chat::State* s_;
    Node* parent_;
    std::vector<Node*> children_;  // each holds a reference
    int type_;
    std::wstring name_, cls_;
    Part part_;
    LONG id_;
    LONG refs_ = 1;  // the parent's (or, for the root, the chat's)
    bool alive_ = true;
    // Items only: their place, side and what is painted.
    Node* item_ = nullptr;
    std::size_t index_ = 0;
    bool own_ = false, time_ = false;
    std::wstring line_;
};

}  // namespace

std::unique_ptr<Chat> Chat::Create(HWND window, const standin::WeChatMode& mode) {
    std::unique_ptr<Chat> chat(new Chat());
    chat->state_ = std::make_unique<State>();
    State& s = *chat->state_;
    InitializeCriticalSection(&s.lock);
    s.window = window;
    const std::wstring name = mode.name;
    s.layout = name == L"3.9main" ? Layout::k39Main : name == L"4" ? Layout::k4 : name == L"none" ? Layout::kNone : Layout::k39;
    if (HMODULE core = LoadLibraryW(L"uiautomationcore.dll")) {
        s.returnProvider = reinterpret_cast<ReturnProviderFn>(
            reinterpret_cast<void*>(GetProcAddress(core, "UiaReturnRawElementProvider")));
        s.hostProvider = reinterpret_cast<HostProviderFn>(
            reinterpret_cast<void*>(GetProcAddress(core, "UiaHostProviderFromHwnd")));
    }
    wchar_t title[256] = L"";
    GetWindowTextW(window, title, 256);
    const bool v4 = s.layout == Layout::k4;
    Node* root = s.root = new Node(&s, nullptr, 0, L"", v4 ? L"mmui::MainWindow" : L"", Part::kWhole);
    switch (s.layout) {
    case Layout::k39:
    case Layout::kNone: {
        Node* pane = root->Add(kPane, L"");
        pane->Add(kText, title);
        if (s.layout == Layout::k39) s.list = pane->Add(kPane, L"")->Add(kList, L"消息");
        break;
    }
    case Layout::k39Main: {
        root->Add(kPane, L"导航")->Add(kButton, L"聊天");
        Node* pane = root->Add(kPane, L"");
        pane->Add(kList, L"会话")->Add(kListItem, L"小鱼");
        s.list = pane->Add(kPane, L"")->Add(kList, L"消息");
        break;
    }
    case Layout::k4:
        s.list = root->Add(kPane, L"", L"mmui::ChatPage")->Add(kList, L"消息", L"mmui::RecyclerListView");
        break;
    }
    return chat;
}

Chat::~Chat() = default;

LRESULT Chat::AnswerGetObject(WPARAM wp, LPARAM lp, bool& handled) {
    State& s = *state_;
    handled = static_cast<LONG>(lp) == kRootObjectId && s.returnProvider && s.hostProvider && s.root;
    return handled ? s.returnProvider(s.window, wp, lp, static_cast<IRawElementProviderSimple*>(s.root)) : 0;
}

void Chat::Disconnect() {
    State& s = *state_;
    if (s.returnProvider) s.returnProvider(s.window, 0, 0, nullptr);
    Guard g(&s);
    if (s.root) {
        s.root->Detach();
        s.root->Release();
        s.root = nullptr;
        s.list = nullptr;
    }
}

bool Chat::Append(const std::wstring& kind, const std::wstring& sender, const std::wstring& text) {
    State& s = *state_;
    const bool own = kind == L"own" || kind == L"own-picture";
    const bool picture = kind == L"picture" || kind == L"own-picture";
    const bool time = kind == L"time";
    if (!own && !picture && !time && kind != L"friend") return false;
    Guard g(&s);
    if (!s.list) return false;
    const bool v4 = s.layout == Layout::k4;
    const std::wstring name = picture ? (v4 ? L"图片" : L"[图片]") : text;
    const wchar_t* cls = !v4 ? L"" : time ? L"mmui::ChatItemView" : picture ? L"mmui::ChatImageItemView" : L"mmui::ChatTextItemView";
    Node* item = s.list->Add(kListItem, name, cls, Part::kRow);
    item->item_ = item;
    item->index_ = s.list->children_.size() - 1;
    item->own_ = own;
    item->time_ = time;
    item->line_ = time || v4 ? name : sender + L"：" + name;
    if (!v4) {
        if (time) {
            item->Add(kText, text);
        } else {
            Node* pane = item->Add(kPane, L"");
            // The avatar goes where it is drawn: first for a friend, last for oneself.
            if (!own) pane->Add(kButton, sender, L"", Part::kAvatar);
            if (picture) pane->Add(kPane, L"", L"", Part::kBubble);
            else pane->Add(kText, text, L"", Part::kBubble);
            if (own) pane->Add(kButton, sender, L"", Part::kAvatar);
        }
    }
    InvalidateRect(s.window, nullptr, TRUE);
    return true;
}

bool Chat::AppendRequest(const std::wstring& request) {
    const std::size_t a = request.find(L'\n');
    const std::size_t b = a == std::wstring::npos ? a : request.find(L'\n', a + 1);
    if (b == std::wstring::npos) return false;
    return Append(request.substr(0, a), request.substr(a + 1, b - a - 1), request.substr(b + 1));
}

bool Chat::Remove(std::size_t index) {
    State& s = *state_;
    Guard g(&s);
    if (!s.list || index >= s.list->children_.size()) return false;
    std::vector<Node*>& items = s.list->children_;
    Node* gone = items[index];
    items.erase(items.begin() + static_cast<std::ptrdiff_t>(index));
    gone->Detach();
    gone->Release();
    for (std::size_t i = 0; i < items.size(); ++i) items[i]->index_ = i;
    InvalidateRect(s.window, nullptr, TRUE);
    return true;
}

void Chat::DropOldest(std::size_t n) {
    Guard g(state_.get());
    for (; n > 0 && Remove(0); --n) {
    }
}

void Chat::Paint(HDC dc, HFONT font) {
    State& s = *state_;
    Guard g(&s);
    RECT client = s.Client();
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (!s.list) return;
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    HBRUSH friendBrush = CreateSolidBrush(RGB(0x9c, 0xd8, 0x9c)), ownBrush = CreateSolidBrush(RGB(0x8c, 0xb4, 0xe8));
    for (Node* item : s.list->children_) {
        RECT row = item->Rect();
        if (row.bottom <= client.top) continue;
        UINT align = DT_CENTER;
        if (!item->time_) {
            // The avatar's square, on its side, stands for the sender.
            RECT avatar = {item->own_ ? row.right - kPad - kAvatar : row.left + kPad, row.top + kPad, 0, 0};
            avatar.right = avatar.left + kAvatar;
            avatar.bottom = avatar.top + kAvatar;
            FillRect(dc, &avatar, item->own_ ? ownBrush : friendBrush);
            align = item->own_ ? DT_RIGHT : DT_LEFT;
        }
        SetTextColor(dc, item->time_ ? RGB(0x80, 0x80, 0x80) : RGB(0, 0, 0));
        RECT text = {row.left + 2 * kPad + kAvatar, row.top, row.right - 2 * kPad - kAvatar, row.bottom};
        DrawTextW(dc, item->line_.c_str(), static_cast<int>(item->line_.size()), &text,
                  align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    DeleteObject(friendBrush);
    DeleteObject(ownBrush);
    SelectObject(dc, old);
}

void Chat::Lock() { EnterCriticalSection(&state_->lock); }
void Chat::Unlock() { LeaveCriticalSection(&state_->lock); }

}  // namespace wechat
