// The framework's application object: its title and the default error handler that every
// event coming from the message loop runs under. An exception raised in a handler is shown
// (in the product: a message box captioned with the title) and the program goes on.
#pragma once

#include <exception>
#include <functional>
#include <iterator>
#include <string>

#include "base/string_table.h"

class TApplication {
public:
    // The program's name, which is ASCII.
    std::string Title = std::string(std::begin(texts::kProgramName), std::end(texts::kProgramName) - 1);

    // Receives the message of every exception that reaches the default handler. The Win32
    // layer shows a message box; tests record the messages.
    std::function<void(const std::string& message)> OnException;
    // Receives instead, when set, the exact UTF-16 message an error carries beside its 8-bit
    // one (a file error naming a file the ANSI code page cannot spell).
    std::function<void(const std::u16string& message)> OnExactException;

    // Runs one event as the message loop does: whatever it throws goes to the default
    // handler and stops there. Returns false when the handler had to step in.
    bool Dispatch(const std::function<void()>& handler) noexcept;

    // Asks the message loop to end after the current message; nothing is asked first.
    void Terminate();
    // What ends the loop: the Win32 layer posts the quit message; tests record the request.
    std::function<void()> OnTerminate;
};

// One application object per process, as in the framework the program is modelled on.
extern TApplication Application;
