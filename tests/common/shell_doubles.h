// Peers of the shell components that do nothing but write down what they were asked, as
// short words in one shared list, so a test sees the order across components.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "ui/shell.h"
#include "ui/shell_components.h"

using Calls = std::vector<std::string>;

struct RecordingTrayPeer : TTrayIcon::Peer {
    Calls& calls;
    std::u16string hint, title, text;
    TBalloonFlags flags = TBalloonFlags::bfNone;
    unsigned timeout = 0;
    explicit RecordingTrayPeer(Calls& c) : calls(c) {}
    void Show(const std::u16string& h) override {
        hint = h;
        calls.push_back("show icon");
    }
    void Hide() override { calls.push_back("hide icon"); }
    void ShowBalloon(const std::u16string& t, const std::u16string& x, TBalloonFlags f, unsigned ms) override {
        title = t;
        text = x;
        flags = f;
        timeout = ms;
        calls.push_back("balloon " + std::to_string(ms));
    }
    void StartClickWait() override { calls.push_back("wait"); }
    void StopClickWait() override { calls.push_back("stop"); }
    void BringApplicationToFront() override { calls.push_back("front"); }
    void StartMenuWait() override { calls.push_back("menu wait"); }
};

struct RecordingPopup : TPopupMenu::Peer {
    Calls& calls;
    explicit RecordingPopup(Calls& c) : calls(c) {}
    void Popup(int x, int y) override { calls.push_back("popup " + std::to_string(x) + "," + std::to_string(y)); }
};

struct RecordingWindow : TForm::Peer {
    Calls& calls;
    explicit RecordingWindow(Calls& c) : calls(c) {}
    void SetVisible(bool visible) override { calls.push_back(visible ? "show window" : "hide window"); }
    void BringToFront() override { calls.push_back("window to front"); }
    void SetWindowState(TWindowState s) override { calls.push_back(s == TWindowState::wsNormal ? "normal" : "not normal"); }
};

struct RecordingPages : TPageControl::Peer {
    Calls& calls;
    explicit RecordingPages(Calls& c) : calls(c) {}
    void SetActivePage(int index) override { calls.push_back("page " + std::to_string(index)); }
};

// The cursor stands where the test puts it; attached to the global mouse for its lifetime.
struct FixedMouse : TMouse::Peer {
    TPoint at;
    explicit FixedMouse(TPoint p) : at(p) { Mouse.AttachPeer(this); }
    ~FixedMouse() override { Mouse.AttachPeer(nullptr); }
    TPoint CursorPos() override { return at; }
};

// The desktop's keys; another program holds those with the letters in taken.
struct RecordingHotKeys : IHotKeys {
    std::set<char> taken;
    std::map<int, THotKey> held;
    bool Register(int id, THotKey key) override { return !taken.count(key.letter) && held.emplace(id, key).second; }
    void Unregister(int id) override { held.erase(id); }
};
