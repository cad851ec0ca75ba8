// The components of the program's shell: the window itself as its handlers see it, the page
// control, the pop-up menu, the mouse and the tray icon. Like the components in components.h
// each keeps its own state and mirrors it to a Win32 peer, or runs headless in tests. Texts
// here are shown to the user and never meet chat data, so they are UTF-16 from the start.
#pragma once

#include <cstddef>
#include <string>

#include "ui/components.h"

struct TPoint {
    int X = 0;
    int Y = 0;
};

enum class TWindowState { wsNormal, wsMinimized, wsMaximized };

// The layout and fonts are designed at 96 dots per inch. As the form framework does with a
// form, the window scales every position, size and font height to the system's dpi when it
// is created, rounding halves away from zero as MulDiv does.
struct TDpiScale {
    int dpi = 96;
    int operator()(int designed) const;
};

// The main window's own appearance: shown or hidden, its state, and its place in front.
class TForm {
public:
    struct Peer {
        virtual ~Peer() = default;
        virtual void SetVisible(bool visible) = 0;
        virtual void BringToFront() = 0;
        virtual void SetWindowState(TWindowState state) = 0;
    };
    bool Visible() const { return visible_; }
    void Show();
    void Hide();
    void BringToFront();
    TWindowState WindowState() const { return state_; }
    void SetWindowState(TWindowState state);
    void AttachPeer(Peer* peer) { peer_ = peer; }

private:
    bool visible_ = false;
    TWindowState state_ = TWindowState::wsNormal;
    Peer* peer_ = nullptr;
};

class TTabSheet {
public:
    explicit TTabSheet(int pageIndex) : pageIndex_(pageIndex) {}
    int PageIndex() const { return pageIndex_; }

private:
    int pageIndex_;
};

// The first page is active at creation, as a form's stored design has it.
class TPageControl {
public:
    struct Peer {
        virtual ~Peer() = default;
        virtual void SetActivePage(int index) = 0;
    };
    int ActivePageIndex() const { return active_; }
    void SetActivePage(const TTabSheet& page);
    // The user picked a tab; the peer has already shown it.
    void UserChanged(int index) { active_ = index; }
    void AttachPeer(Peer* peer);

private:
    int active_ = 0;
    Peer* peer_ = nullptr;
};

class TPopupMenu {
public:
    struct Peer {
        virtual ~Peer() = default;
        // Opens the menu with its top-left corner at a screen point and returns at once; the
        // chosen item reports its click through the message loop.
        virtual void Popup(int x, int y) = 0;
    };
    void Popup(int x, int y);
    void AttachPeer(Peer* peer) { peer_ = peer; }

private:
    Peer* peer_ = nullptr;
};

// The framework's mouse object: where the cursor is on the screen.
class TMouse {
public:
    struct Peer {
        virtual ~Peer() = default;
        virtual TPoint CursorPos() = 0;
    };
    TPoint CursorPos() const { return peer_ ? peer_->CursorPos() : TPoint{}; }
    void AttachPeer(Peer* peer) { peer_ = peer; }

private:
    Peer* peer_ = nullptr;
};

extern TMouse Mouse;

enum class TBalloonFlags { bfNone, bfInfo, bfWarning, bfError };

// What the shell reports of the mouse on the icon. Only these matter to the icon.
enum class TTrayMouse { LeftUp, RightUp, LeftDblClick, RightDblClick, MiddleDblClick };

// An icon in the notification area with its hint, balloons and pop-up menu.
//
// A click is only a click once the double-click time has passed without a second one: the
// click opens a modal menu, which would swallow the second click of a double click, so
// without the wait the window could never be restored by a double click. The shell follows a
// double click with one more button release, which belongs to the double click.
// The right button's menu opens only after the messages that waited at the click have run
// from the message loop, so that a timer tick never runs inside the click's handler.
class TTrayIcon {
public:
    struct Peer {
        virtual ~Peer() = default;
        // Adds the icon with this hint, or updates it when it is there already.
        virtual void Show(const std::u16string& hint) = 0;
        virtual void Hide() = 0;
        virtual void ShowBalloon(const std::u16string& title, const std::u16string& text, TBalloonFlags flags,
                                 unsigned timeoutMs) = 0;
        // Calls ClickWaitOver once the platform's double-click time has passed, unless stopped.
        virtual void StartClickWait() = 0;
        virtual void StopClickWait() = 0;
        // What the framework does before its tray menu: the application to the foreground, so
        // that the menu closes when the user clicks elsewhere.
        virtual void BringApplicationToFront() = 0;
        // Calls MenuWaitOver once, after the messages waiting now have gone through the message
        // loop: they run there, each on its own, never inside the click's handler.
        virtual void StartMenuWait() = 0;
    };

    // How many characters of each text the platform is given, at most.
    static constexpr std::size_t kHintMax = 127;
    static constexpr std::size_t kBalloonTitleMax = 63;
    static constexpr std::size_t kBalloonHintMax = 255;

    std::u16string BalloonTitle;
    std::u16string BalloonHint;
    TBalloonFlags BalloonFlags = TBalloonFlags::bfNone;
    unsigned BalloonTimeout = 3000;
    TPopupMenu* PopupMenu = nullptr;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;

    const std::u16string& Hint() const { return hint_; }
    void SetHint(const std::u16string& hint);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    // Shows the balloon with the values set last.
    void ShowBalloonHint();
    // The shell lost its icons (it restarted): put the icon back if it is meant to show.
    void Restore();

    void UserMouse(TTrayMouse event);
    void ClickWaitOver();
    // Opens the pop-up menu at the cursor.
    void MenuWaitOver();
    void AttachPeer(Peer* peer);

private:
    enum class Button { None, Left, Right };
    Button pending_ = Button::None;      // released, waiting to become a click
    Button dblClicked_ = Button::None;   // its next release ends the double click
    std::u16string hint_;
    bool visible_ = false;
    Peer* peer_ = nullptr;
};

// The first max UTF-16 units of text, without splitting a surrogate pair at the cut.
std::u16string CutText(const std::u16string& text, std::size_t max);
