// Small portable components with the behaviour the program's handlers rely on. Each keeps
// its own state and, in the product, mirrors it to a Win32 peer (an HWND wrapper in a
// _win.cpp file); in tests it runs without one. Program-made changes raise handlers
// directly, so their exceptions reach the caller; user-made changes arrive through the
// peer's User* calls, which run the handler under the application's default error handler.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

using TNotifyEvent = std::function<void()>;

// Base of objects that list items carry (voice tokens).
struct TObject {
    virtual ~TObject() = default;
};

class TLabel {
public:
    struct Peer {
        virtual ~Peer() = default;
        virtual void SetCaption(const std::string& ansi) = 0;
    };
    explicit TLabel(std::string caption = {}) : caption_(std::move(caption)) {}
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& ansi);
    void AttachPeer(Peer* peer);

private:
    std::string caption_;
    Peer* peer_ = nullptr;
};

class TButton {
public:
    TNotifyEvent OnClick;
    void Click();      // programmatic: exceptions reach the caller
    void UserClick();  // from the peer: exceptions go to the default handler
};

// A horizontal slider of whole numbers. Setting the position clamps to the range and fires
// OnChange only when the position really changes, by the user or by the program.
class TTrackBar {
public:
    struct Peer {
        virtual ~Peer() = default;
        virtual void SetRange(int min, int max) = 0;
        virtual void SetPosition(int position) = 0;
    };
    TTrackBar(int min, int max, int position);
    int Min() const { return min_; }
    int Max() const { return max_; }
    int Position() const { return position_; }
    void SetPosition(int position);
    void UserMoved(int position);
    void AttachPeer(Peer* peer);
    TNotifyEvent OnChange;

private:
    int Clamp(int v) const { return v < min_ ? min_ : v > max_ ? max_ : v; }
    int min_, max_, position_;
    Peer* peer_ = nullptr;
};

// A drop-down list with an edit field. Items carry an object; the selected index is -1
// when nothing is selected, which is also what typing a text that names no item gives.
class TComboBox {
public:
    struct Item {
        std::string text;
        std::shared_ptr<TObject> object;
    };
    struct Peer {
        virtual ~Peer() = default;
        virtual void AddItem(const std::string& ansi) = 0;
        virtual void Clear() = 0;
        virtual void SetItemIndex(int index) = 0;
        virtual void SetText(const std::string& ansi) = 0;
    };
    explicit TComboBox(std::string text = {}) : text_(std::move(text)) {}
    int Count() const { return static_cast<int>(items_.size()); }
    const Item& Items(int index) const { return items_.at(static_cast<std::size_t>(index)); }
    void AddItem(const std::string& text, std::shared_ptr<TObject> object);
    void Clear();
    int ItemIndex() const { return index_; }
    // Program-made selection: like the framework, it does not fire OnChange.
    void SetItemIndex(int index);
    const std::string& Text() const { return text_; }
    void UserSelected(int index);
    void UserEdited(const std::string& ansi);
    void AttachPeer(Peer* peer);
    TNotifyEvent OnChange;

private:
    std::vector<Item> items_;
    int index_ = -1;
    std::string text_;
    Peer* peer_ = nullptr;
};

// A disabled item shows greyed, and a click that reaches it anyway (a command still in the
// queue, an accelerator) does nothing, as a menu's own disabled items do.
class TMenuItem {
public:
    struct Peer {
        virtual ~Peer() = default;
        virtual void SetChecked(bool checked) = 0;
        virtual void SetEnabled(bool enabled) = 0;
    };
    explicit TMenuItem(bool checked = false) : checked_(checked) {}
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    void Click();
    void UserClick();
    void AttachPeer(Peer* peer);
    TNotifyEvent OnClick;

private:
    bool checked_;
    bool enabled_ = true;
    Peer* peer_ = nullptr;
};

// A window-message timer. The peer starts and stops the platform timer and calls Tick; the
// timer decides when, so the peer only ever starts a stopped platform timer and stops a
// running one. Detaching the peer stops it: its window may be about to go.
class TTimer {
public:
    struct Peer {
        virtual ~Peer() = default;
        virtual void Start(unsigned intervalMs) = 0;
        virtual void Stop() = 0;
    };
    explicit TTimer(unsigned intervalMs = 1000) : interval_(intervalMs) {}
    unsigned Interval() const { return interval_; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    void Tick();  // one OnTimer, under the default error handler
    void AttachPeer(Peer* peer);
    TNotifyEvent OnTimer;

private:
    void MirrorToPeer();
    unsigned interval_;
    bool enabled_ = false;
    Peer* peer_ = nullptr;
    bool peerRunning_ = false;
};
