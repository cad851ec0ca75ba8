// The chat windows as Win32 shows them: the foreground window, titles, children, and the
// text requests to another process's transcript control, each bounded in time.
#pragma once

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

    explicit Win32ChatWindows(unsigned timeoutMs = kDefaultTimeoutMs) : timeoutMs_(timeoutMs) {}
    WindowRef Foreground() override;
    std::string Title(WindowRef window) override;
    WindowRef FindChild(WindowRef parent, const char* className) override;
    bool QueryTextLength(WindowRef control, std::size_t& length) override;
    bool ReadText(WindowRef control, std::size_t length, std::string& out) override;

private:
    bool SendGetText(WindowRef control, std::size_t size, char* buffer, std::size_t& result);

    unsigned timeoutMs_;
    WindowRef silent_ = 0;           // the control that last failed to answer, if any
    unsigned long silentSince_ = 0;  // tick count of that failure
};
