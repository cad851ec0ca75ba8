// An in-memory message log for native tests that behaves as a rich edit does where the log
// rules depend on it: a line break is one position (CR), inserted text takes the colour of
// the insertion point when the caret waits at the end, a selection has a start and an end,
// EM_SCROLLCARET is recorded, and the control can be told to refuse.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/message_log.h"

class MemoryLog : public ILogControl {
public:
    static constexpr std::uint32_t kAuto = 0xABCDEF;  // colour of text nobody coloured

    std::string text;  // CR for every line break, as the control stores it
    std::vector<std::uint32_t> colours;
    long selStart = 0, selEnd = 0;
    std::optional<std::uint32_t> insertColour;  // what the insertion point would give
    std::size_t capacity = std::string::npos;   // insertion beyond it is cut and throws
    bool failSelection = false, failColour = false;
    std::vector<long> scrolledTo;  // caret position at each EM_SCROLLCARET

    // Text typed or loaded by the user, in the default colour.
    void UserText(const std::string& t) {
        text = Breaks(t);
        colours.assign(text.size(), kAuto);
        selStart = selEnd = 0;
        insertColour.reset();
    }
    std::string ColourRun(std::uint32_t c) const {
        std::string s;
        for (std::size_t i = 0; i < text.size(); ++i)
            if (colours[i] == c) s += text[i];
        return s;
    }

    long TextLength() override { return static_cast<long>(text.size()); }
    bool EndsWithLineBreak() override {
        if (text.empty()) return true;
        MoveToEnd();
        return text.back() == '\r';
    }
    void InsertAtEnd(const std::string& ansi) override {
        MoveToEnd();
        std::string t = Breaks(ansi);
        std::uint32_t c = insertColour ? *insertColour : (text.empty() ? kAuto : colours.back());
        bool cut = capacity != std::string::npos && text.size() + t.size() > capacity;
        if (cut) t.resize(capacity > text.size() ? capacity - text.size() : 0);
        text += t;
        colours.resize(text.size(), c);
        selStart = selEnd = TextLength();
        insertColour.reset();
        if (cut) throw std::runtime_error("RichEdit line insertion error");
    }
    void SetSelection(long start, long length) override {
        if (failSelection) throw std::runtime_error("selection failed");
        long n = TextLength();
        selStart = std::min(std::max(start, 0L), n);
        selEnd = std::min(std::max(start + length, selStart), n);
        insertColour.reset();
    }
    void SetSelectionColour(std::uint32_t colour) override {
        if (failColour) throw std::runtime_error("colour failed");
        if (selStart == selEnd) insertColour = colour;
        for (long i = selStart; i < selEnd; ++i) colours[static_cast<std::size_t>(i)] = colour;
    }
    void ScrollCaret() override { scrolledTo.push_back(selEnd); }

private:
    static std::string Breaks(const std::string& s) {
        std::string r;
        for (std::size_t i = 0; i < s.size(); ++i) {
            if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
            r += s[i] == '\n' ? '\r' : s[i];
        }
        return r;
    }
    void MoveToEnd() {
        long n = TextLength();
        if (selStart != n || selEnd != n) {
            selStart = selEnd = n;
            insertColour.reset();
        }
    }
};
