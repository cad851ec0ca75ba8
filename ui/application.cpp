// The application object and its default error handler.
#include "ui/application.h"

TApplication Application;

bool TApplication::Dispatch(const std::function<void()>& handler) noexcept {
    std::string message;
    try {
        if (handler) handler();
        return true;
    } catch (const std::exception& e) {
        message = e.what();
    } catch (...) {
        message = "Unknown error";
    }
    try {
        if (OnException) OnException(message);
    } catch (...) {
        // The default handler is the last stop: nothing may escape into the message loop.
    }
    return false;
}

void TApplication::Terminate() {
    if (OnTerminate) OnTerminate();
}
