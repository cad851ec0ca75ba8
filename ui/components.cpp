// Portable component behaviour; see components.h.
#include "ui/components.h"

#include "ui/application.h"

namespace {
void Fire(const TNotifyEvent& e) {
    if (e) e();
}
void FireFromUser(const TNotifyEvent& e) {
    if (e) Application.Dispatch(e);
}
}  // namespace

void TLabel::SetCaption(const std::string& ansi) {
    caption_ = ansi;
    if (peer_) peer_->SetCaption(caption_);
}
void TLabel::AttachPeer(Peer* peer) {
    peer_ = peer;
    if (peer_) peer_->SetCaption(caption_);
}

void TButton::Click() { Fire(OnClick); }
void TButton::UserClick() { FireFromUser(OnClick); }

TTrackBar::TTrackBar(int min, int max, int position) : min_(min), max_(max), position_(position) {
    position_ = Clamp(position_);
}
void TTrackBar::SetPosition(int position) {
    position = Clamp(position);
    if (position == position_) return;
    position_ = position;
    if (peer_) peer_->SetPosition(position_);
    Fire(OnChange);
}
void TTrackBar::UserMoved(int position) {
    position = Clamp(position);
    if (position == position_) return;
    position_ = position;
    FireFromUser(OnChange);
}
void TTrackBar::AttachPeer(Peer* peer) {
    peer_ = peer;
    if (peer_) {
        peer_->SetRange(min_, max_);
        peer_->SetPosition(position_);
    }
}

void TComboBox::AddItem(const std::string& text, std::shared_ptr<TObject> object) {
    items_.push_back({text, std::move(object)});
    if (peer_) peer_->AddItem(text);
}
void TComboBox::Clear() {
    items_.clear();
    index_ = -1;
    if (peer_) peer_->Clear();
}
void TComboBox::SetItemIndex(int index) {
    if (index < -1 || index >= Count()) index = -1;
    index_ = index;
    if (index_ >= 0) text_ = items_[static_cast<std::size_t>(index_)].text;
    if (peer_) peer_->SetItemIndex(index_);
}
void TComboBox::UserSelected(int index) {
    if (index < -1 || index >= Count()) index = -1;
    index_ = index;
    if (index_ >= 0) text_ = items_[static_cast<std::size_t>(index_)].text;
    FireFromUser(OnChange);
}
void TComboBox::UserEdited(const std::string& ansi) {
    text_ = ansi;
    index_ = -1;
    for (int i = 0; i < Count(); ++i) {
        if (items_[static_cast<std::size_t>(i)].text == ansi) {
            index_ = i;
            break;
        }
    }
    FireFromUser(OnChange);
}
void TComboBox::AttachPeer(Peer* peer) {
    peer_ = peer;
    if (!peer_) return;
    peer_->Clear();
    for (const auto& item : items_) peer_->AddItem(item.text);
    peer_->SetItemIndex(index_);
    if (index_ < 0) peer_->SetText(text_);
}

void TMenuItem::SetChecked(bool checked) {
    checked_ = checked;
    if (peer_) peer_->SetChecked(checked_);
}
void TMenuItem::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (peer_) peer_->SetEnabled(enabled_);
}
void TMenuItem::Click() {
    if (enabled_) Fire(OnClick);
}
void TMenuItem::UserClick() {
    if (enabled_) FireFromUser(OnClick);
}
void TMenuItem::AttachPeer(Peer* peer) {
    peer_ = peer;
    if (!peer_) return;
    peer_->SetChecked(checked_);
    peer_->SetEnabled(enabled_);
}

void TTimer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    MirrorToPeer();
}
void TTimer::Tick() {
    if (enabled_) FireFromUser(OnTimer);
}
void TTimer::AttachPeer(Peer* peer) {
    if (peer_ && peerRunning_) peer_->Stop();
    peerRunning_ = false;
    peer_ = peer;
    MirrorToPeer();
}
void TTimer::MirrorToPeer() {
    if (!peer_ || peerRunning_ == enabled_) return;
    if (enabled_) peer_->Start(interval_);
    else peer_->Stop();
    peerRunning_ = enabled_;
}
