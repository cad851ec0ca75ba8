// Quiet services for tests that build the main window's logic but exercise only part of it:
// no chat window in front, a byte-for-byte code page, and a log that keeps nothing.
#pragma once

#include "app/message_log.h"
#include "base/codepage.h"
#include "capture/chat_windows.h"

struct NoChatWindows : IChatWindows {
    WindowRef Foreground() override { return 0; }
    std::string Title(WindowRef) override { return {}; }
    WindowRef FindChild(WindowRef, const char*) override { return 0; }
    bool QueryTextLength(WindowRef, std::size_t&) override { return false; }
    bool ReadText(WindowRef, std::size_t, std::string&) override { return false; }
};

struct BytesCodePage : ICodePage {
    std::u16string AnsiToUtf16(const std::string& a) override { return std::u16string(a.begin(), a.end()); }
    std::string Utf16ToAnsi(const std::u16string& w) override { return std::string(w.begin(), w.end()); }
};

struct NullLog : ILogControl {
    long TextLength() override { return 0; }
    bool EndsWithLineBreak() override { return true; }
    void InsertAtEnd(const std::string&) override {}
    void SetSelection(long, long) override {}
    void SetSelectionColour(std::uint32_t) override {}
    void ScrollCaret() override {}
};
