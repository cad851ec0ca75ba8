// The chat windows as Win32 shows them: the foreground window, titles, children, and the
// text requests to another process's transcript control, each bounded in time.
#pragma once

#include <map>

#include "capture/chat_windows.h"

class Win32ChatWindows : public IChatWindows {
public:
    // How long one text request may wait for a foreign window. An honest control copies even
    // a long transcript in milliseconds; a second is a hang, and one reading waits at most
    // two of them (size request and read).
    static constexpr unsigned kDefaultTimeoutMs = 1000;
    // After a request went unanswered, the same control gets no request for this long, so a
    // hung window holds up the program for one time limit every few seconds, not every tick.
    static constexpr unsigned kQuietAfterFailureMs = 3000;
    // All the text requests of one tick together wait at most this long, however many
    // windows hang: the window goes on answering within a second whatever the messengers do.
    static constexpr unsigned kRoundBudgetMs = 700;

    explicit Win32ChatWindows(unsigned timeoutMs = kDefaultTimeoutMs)
        : timeoutMs_(timeoutMs), roundBudgetMs_(2 * timeoutMs < kRoundBudgetMs ? 2 * timeoutMs : kRoundBudgetMs) {}
    WindowRef Foreground() override;
    std::string Title(WindowRef window) override;
    std::string ClassName(WindowRef window) override;
    WindowRef FindChild(WindowRef parent, const char* className) override;
    bool QueryTextLength(WindowRef control, std::size_t& length) override;
    bool ReadText(WindowRef control, std::size_t length, std::string& out) override;
    std::vector<WindowRef> TopLevelWindows() override;
    bool Exists(WindowRef window) override;

private:
    bool SendGetText(WindowRef control, std::size_t size, char* buffer, std::size_t& result);

    unsigned timeoutMs_, roundBudgetMs_;
    // The controls that failed to answer lately, each with the tick count of its failure.
    std::map<WindowRef, unsigned long> silent_;
    bool inRound_ = false;
    unsigned long roundStart_ = 0;
};
