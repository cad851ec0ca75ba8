// Chat windows for tests of the logic that reads them: none in front, one chat window in front
// with its transcript, and a scripted window tree that answers as each test says and keeps
// count of what it was asked.
#pragma once

#include <cstring>
#include <utility>
#include <map>
#include <string>
#include <vector>

#include "capture/chat_windows.h"

struct NoChatWindows : IChatWindows {
    WindowRef Foreground() override { return 0; }
    std::string Title(WindowRef) override { return {}; }
    WindowRef FindChild(WindowRef, const char*) override { return 0; }
    bool QueryTextLength(WindowRef, std::size_t&) override { return false; }
    bool ReadText(WindowRef, std::size_t, std::string&) override { return false; }
    std::vector<WindowRef> TopLevelWindows() override { return {}; }
    bool Exists(WindowRef) override { return false; }
};

// One chat window in front, its "#32770" child and under that its transcript control.
struct OneChatInFront : IChatWindows {
    std::string title, transcript;
    OneChatInFront() = default;
    OneChatInFront(std::string t, std::string text) : title(std::move(t)), transcript(std::move(text)) {}
    WindowRef Foreground() override { return 1; }
    std::string Title(WindowRef w) override { return w == 1 ? title : std::string(); }
    WindowRef FindChild(WindowRef parent, const char* cls) override {
        if (parent == 1 && !std::strcmp(cls, "#32770")) return 2;
        if (parent == 2 && !std::strcmp(cls, "RichEdit20A")) return 3;
        return 0;
    }
    bool QueryTextLength(WindowRef control, std::size_t& n) override {
        n = transcript.size();
        return control == 3;
    }
    bool ReadText(WindowRef control, std::size_t n, std::string& out) override {
        out = transcript.substr(0, n);
        return control == 3;
    }
    std::vector<WindowRef> TopLevelWindows() override { return {1}; }
    bool Exists(WindowRef w) override { return w == 1; }
};

// A window tree in the shape the probe walks, with controls that answer WM_GETTEXT the way
// the test says, and a record of what the probe asked.
class FakeChatWindows : public IChatWindows {
public:
    struct Window {
        std::string cls;
        std::string title;
        std::vector<WindowRef> children;
        std::string text;           // what a text request copies out
        bool answerLength = true;   // false: the size request gets no answer in time
        bool answerRead = true;     // false: the read request gets no answer in time
        bool reportedSet = false;   // true: the size request answers `reported`
        std::size_t reported = 0;
        bool topLevel = false;
        bool closed = false;
    };

    WindowRef Add(WindowRef parent, const std::string& cls, const std::string& title = {}) {
        WindowRef id = next_++;
        windows_[id].cls = cls;
        windows_[id].title = title;
        windows_[id].topLevel = parent == 0;
        if (parent) windows_[parent].children.push_back(id);
        return id;
    }
    Window& At(WindowRef w) { return windows_.at(w); }
    // A chat window as the messenger builds it: its top window, and under a "#32770" child its
    // transcript control, in that order.
    std::pair<WindowRef, WindowRef> AddChat(const std::string& title) {
        const WindowRef top = Add(0, "Window", title);
        return {top, Add(Add(top, "#32770"), "RichEdit20A")};
    }

    WindowRef front = 0;
    bool cutTitles = true;  // GetWindowTextA's 255-byte buffer keeps 254 bytes
    int findCalls = 0;
    int lengthCalls = 0;
    int readCalls = 0;
    std::size_t readLength = 0;

    WindowRef Foreground() override { return front; }
    std::string Title(WindowRef w) override {
        auto it = windows_.find(w);
        if (it == windows_.end()) return {};
        std::string t = it->second.title;
        if (cutTitles && t.size() > 254) t.resize(254);
        return t;
    }
    std::string ClassName(WindowRef w) override {
        auto it = windows_.find(w);
        return it == windows_.end() ? std::string() : it->second.cls;
    }
    WindowRef FindChild(WindowRef parent, const char* cls) override {
        ++findCalls;
        auto it = windows_.find(parent);
        if (it == windows_.end()) return 0;
        for (WindowRef c : it->second.children)
            if (windows_.at(c).cls == cls) return c;
        return 0;
    }
    bool QueryTextLength(WindowRef control, std::size_t& length) override {
        ++lengthCalls;
        Window& w = windows_.at(control);
        if (!w.answerLength) return false;
        length = w.reportedSet ? w.reported : w.text.size();
        return true;
    }
    bool ReadText(WindowRef control, std::size_t length, std::string& out) override {
        ++readCalls;
        readLength = length;
        Window& w = windows_.at(control);
        if (!w.answerRead) return false;
        // As WM_GETTEXT with size length + 1: at most length bytes, each counted.
        out = w.text.substr(0, length);
        return true;
    }
    // The top-level windows: those added without a parent and not closed, in the order added.
    std::vector<WindowRef> TopLevelWindows() override {
        ++rounds;
        std::vector<WindowRef> top;
        for (const auto& [id, w] : windows_)
            if (w.topLevel && !w.closed) top.push_back(id);
        return top;
    }
    bool Exists(WindowRef w) override {
        auto it = windows_.find(w);
        return it != windows_.end() && !it->second.closed;
    }
    int rounds = 0;

private:
    std::map<WindowRef, Window> windows_;
    WindowRef next_ = 0x100;
};
