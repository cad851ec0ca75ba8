// The shell's components; see shell_components.h.
#include "ui/shell_components.h"

#include "ui/application.h"

TMouse Mouse;

int TDpiScale::operator()(int designed) const {
    const long long product = static_cast<long long>(designed) * dpi;
    const long long scaled = product >= 0 ? (product + 48) / 96 : -((-product + 48) / 96);
    return static_cast<int>(scaled);
}

void TForm::Show() {
    visible_ = true;
    if (peer_) peer_->SetVisible(true);
}
void TForm::Hide() {
    visible_ = false;
    if (peer_) peer_->SetVisible(false);
}
void TForm::BringToFront() {
    if (peer_) peer_->BringToFront();
}
void TForm::SetWindowState(TWindowState state) {
    state_ = state;
    if (peer_) peer_->SetWindowState(state);
}

void TPageControl::SetActivePage(const TTabSheet& page) {
    active_ = page.PageIndex();
    if (peer_) peer_->SetActivePage(active_);
}
void TPageControl::AttachPeer(Peer* peer) {
    peer_ = peer;
    if (peer_) peer_->SetActivePage(active_);
}

void TPopupMenu::Popup(int x, int y) {
    if (peer_) peer_->Popup(x, y);
}

std::u16string CutText(const std::u16string& text, std::size_t max) {
    if (text.size() <= max) return text;
    std::size_t n = max;
    // Half a character would show as a box: leave the whole pair out instead.
    if (n > 0 && text[n - 1] >= 0xD800 && text[n - 1] <= 0xDBFF) --n;
    return text.substr(0, n);
}

void TTrayIcon::SetHint(const std::u16string& hint) {
    hint_ = hint;
    if (visible_ && peer_) peer_->Show(CutText(hint_, kHintMax));
}

void TTrayIcon::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    if (!peer_) return;
    if (visible_) peer_->Show(CutText(hint_, kHintMax));
    else peer_->Hide();
}

void TTrayIcon::ShowBalloonHint() {
    if (peer_)
        peer_->ShowBalloon(CutText(BalloonTitle, kBalloonTitleMax), CutText(BalloonHint, kBalloonHintMax), BalloonFlags,
                           BalloonTimeout);
}

void TTrayIcon::Restore() {
    if (visible_ && peer_) peer_->Show(CutText(hint_, kHintMax));
}

void TTrayIcon::UserMouse(TTrayMouse event) {
    switch (event) {
        case TTrayMouse::LeftUp:
        case TTrayMouse::RightUp: {
            const Button button = event == TTrayMouse::LeftUp ? Button::Left : Button::Right;
            if (dblClicked_ == button) {
                dblClicked_ = Button::None;
                return;
            }
            pending_ = button;
            if (peer_) peer_->StartClickWait();
            return;
        }
        case TTrayMouse::LeftDblClick:
        case TTrayMouse::RightDblClick:
        case TTrayMouse::MiddleDblClick:
            if (pending_ != Button::None && peer_) peer_->StopClickWait();
            pending_ = Button::None;
            dblClicked_ = event == TTrayMouse::LeftDblClick    ? Button::Left
                          : event == TTrayMouse::RightDblClick ? Button::Right
                                                               : Button::None;
            if (OnDblClick) Application.Dispatch(OnDblClick);
            return;
    }
}

void TTrayIcon::ClickWaitOver() {
    const Button button = pending_;
    pending_ = Button::None;
    if (peer_) peer_->StopClickWait();
    if (button == Button::Left) {
        if (OnClick) Application.Dispatch(OnClick);
    } else if (button == Button::Right) {
        if (peer_) {
            peer_->BringApplicationToFront();
            peer_->StartMenuWait();
        } else {
            MenuWaitOver();
        }
    }
}

void TTrayIcon::MenuWaitOver() {
    if (!PopupMenu) return;
    Application.Dispatch([this] {
        TPoint at = Mouse.CursorPos();
        PopupMenu->Popup(at.X, at.Y);
    });
}

void TTrayIcon::AttachPeer(Peer* peer) {
    peer_ = peer;
    if (visible_ && peer_) peer_->Show(CutText(hint_, kHintMax));
}
