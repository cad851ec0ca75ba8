// What the chat window probe needs from the windowing system, and nothing more: the
// foreground window, titles, direct children by class, and the two text requests to another
// process's control. Every request to a foreign window is bounded in time by the platform
// side, which answers "no answer" (false) instead of waiting on a hung window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using WindowRef = std::uintptr_t;  // 0 = no window

struct IChatWindows {
    virtual ~IChatWindows() = default;
    virtual WindowRef Foreground() = 0;
    // The title as GetWindowTextA gives it into a 255-byte buffer: at most 254 bytes.
    virtual std::string Title(WindowRef window) = 0;
    // The window's class, as GetClassNameA gives it (which asks nothing of the window).
    virtual std::string ClassName(WindowRef) { return {}; }
    // The first direct child of parent with that window class, in child order, or 0.
    virtual WindowRef FindChild(WindowRef parent, const char* className) = 0;
    // WM_GETTEXT with size 0 and no buffer: the count it returns. False when no answer came.
    virtual bool QueryTextLength(WindowRef control, std::size_t& length) = 0;
    // WM_GETTEXT with size length + 1 into a buffer of that size; out is what the control
    // copied, as many bytes as its answer counts, up to a NUL (see TakeGetTextAnswer). False
    // when no answer came.
    virtual bool ReadText(WindowRef control, std::size_t length, std::string& out) = 0;
    // The visible top-level windows, topmost first. It also begins a round of readings that
    // lasts until the next Foreground(): within a round, all text requests together wait at
    // most as long as the requests of one reading may, so one hung window never holds up the
    // reading of the others.
    virtual std::vector<WindowRef> TopLevelWindows() = 0;
    // False once the window has been destroyed.
    virtual bool Exists(WindowRef window) = 0;
};

// How ReadText turns one WM_GETTEXT answer into the control's text. send makes the request
// into a cleared buffer of length + 1 bytes and sets the count the control answered (false:
// no answer). The text is the bytes counted, up to the first NUL among them: Wine 10 carries
// a cross-process answer only up to its first NUL, in the A and the W form alike, and the
// bytes after it, counted all the same, are memory of its own (an earlier reading, say),
// which neither the caller's cleared buffer nor a second request can tell from the control's.
// No chat client's control holds a NUL that typing or pasting put there.
bool TakeGetTextAnswer(std::size_t length, std::string& out,
                       const std::function<bool(char* buffer, std::size_t size, std::size_t& count)>& send);
