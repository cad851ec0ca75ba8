// Driving the stand-in chat window (tools/standin_chat) from a Windows test: start it with
// command-line variants, find its windows, change its title and transcript, bring it to the
// front, make it hang, and ask what requests its transcript control answered.
#pragma once

#include <windows.h>

#include <string>

#include "support/process.h"
#include "tools/standin_chat/standin_protocol.h"

class StandinChat {
public:
    // Starts standin_chat.exe with the given arguments and waits for its window (in a WeChat
    // mode, "--wechat MODE", the window of that mode's class). Throws when it does not come up.
    explicit StandinChat(const std::wstring& args = L"");

    HWND Window() const { return top_; }
    // The "RichEdit20A" transcript control wherever the variant put it (nullptr if none).
    HWND TranscriptControl() const;
    DWORD ProcessId() const { return process_.Id(); }
    bool Running() const { return process_.Running(); }

    // Each of these waits for the stand-in to take the request; false if it did not answer.
    bool SetTitle(const std::wstring& title);
    bool SetTranscript(const std::string& ansiBytes);
    bool AppendRaw(const std::string& ansiBytes);
    bool AppendMessage(const std::string& ansiNickname, const std::string& ansiBody);
    // WeChat modes: an item of that kind ("friend", "own", "time", "picture", "own-picture")
    // appended, the item at index removed, the oldest n items dropped.
    bool AppendWeChat(const std::wstring& kind, const std::wstring& sender, const std::wstring& text);
    bool RemoveWeChatItem(DWORD index);
    bool DropOldestWeChatItems(DWORD n);
    // Brings the stand-in to the front and waits until it really is the foreground window.
    bool BringToFront();
    // The stand-in's window stops answering for ms milliseconds from now (posted).
    void Hang(DWORD ms);
    // How many size requests (size 0) and reads (size > 0) the transcript control answered;
    // -1 when the stand-in does not answer.
    long SizeRequests() const;
    long Reads() const;
    // Waits until the transcript's length was asked for ticks more times: a watcher ticking
    // once a second has then looked at the chat, and its title timer, ticking as often, too.
    bool WaitForReaders(long ticks) const;
    // The transcript's newest header line as the stand-in wrote it (the line before the last).
    std::string LastHeader() const;

private:
    bool Copy(unsigned long kind, const void* data, std::size_t size);
    long Count(WPARAM which) const;

    ChildProcess process_;
    HWND top_ = nullptr;
};

// Writes bytes to a fresh file in the temporary folder and returns its path.
std::wstring WriteTempFile(const std::string& bytes);
