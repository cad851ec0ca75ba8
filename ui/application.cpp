// The application object and its default error handler.
#include "ui/application.h"

#include "base/string_table.h"
#include "base/trace.h"

TApplication Application;

bool TApplication::Dispatch(const std::function<void()>& handler) noexcept {
    std::string message;
    try {
        if (handler) handler();
        return true;
    } catch (const std::exception& e) {
        message = e.what();
    } catch (...) {
        message = texts::kUnknownError;
    }
    try {
        if (OnException) OnException(message);
    } catch (...) {
        // The default handler is the last stop: nothing may escape into the message loop. The
        // message the user did not see is what a report needs.
        TraceIgnored("error not shown", message);
    }
    return false;
}

void TApplication::Terminate() {
    if (OnTerminate) OnTerminate();
}
