// Win32 peers of the portable components: each wraps one HWND (or a timer id, or a menu
// item) and sends only the messages the component needs. Text crosses as ANSI in the
// component and UTF-16 at the window.
#pragma once

#include <windows.h>

#include "ui/components.h"

class LabelPeer : public TLabel::Peer {
public:
    explicit LabelPeer(HWND h) : h_(h) {}
    void SetCaption(const std::string& ansi) override;

private:
    HWND h_;
};

// The window's text in ANSI, as the user left it.
std::string WindowTextAnsi(HWND h);

class TrackBarPeer : public TTrackBar::Peer {
public:
    explicit TrackBarPeer(HWND h) : h_(h) {}
    void SetRange(int min, int max) override;
    void SetPosition(int position) override;

private:
    HWND h_;
    int min_ = 0, max_ = 0;
    bool rangeChanged_ = false;
};

class ComboBoxPeer : public TComboBox::Peer {
public:
    explicit ComboBoxPeer(HWND h) : h_(h) {}
    void AddItem(const std::string& ansi) override;
    void Clear() override;
    void SetItemIndex(int index) override;
    void SetText(const std::string& ansi) override;
    // The edit field's text as the user left it, in ANSI.
    std::string EditText() const;

private:
    HWND h_;
};

// The component says when to start and stop (see TTimer); this only does it.
class TimerPeer : public TTimer::Peer {
public:
    TimerPeer(HWND owner, UINT_PTR id) : owner_(owner), id_(id) {}
    void Start(unsigned intervalMs) override;
    void Stop() override;

private:
    HWND owner_;
    UINT_PTR id_;
};
