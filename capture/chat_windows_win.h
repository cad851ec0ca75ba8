// The chat windows as Win32 shows them: the foreground window, titles, children, and the
// text requests to another process's transcript control, each bounded in time.
#pragma once

#include "capture/chat_windows.h"

class Win32ChatWindows : public IChatWindows {
public:
    // How long one text request may wait for a foreign window before giving up.
    explicit Win32ChatWindows(unsigned timeoutMs = 2000) : timeoutMs_(timeoutMs) {}
    WindowRef Foreground() override;
    std::string Title(WindowRef window) override;
    WindowRef FindChild(WindowRef parent, const char* className) override;
    bool QueryTextLength(WindowRef control, std::size_t& length) override;
    bool ReadText(WindowRef control, std::size_t length, std::string& out) override;

private:
    unsigned timeoutMs_;
};
