// The application object and its default error handler.
#include "ui/application.h"

#include "base/files.h"
#include "base/string_table.h"
#include "base/trace.h"

TApplication Application;

bool TApplication::Dispatch(const std::function<void()>& handler) noexcept {
    std::string message;
    std::u16string exact;
    try {
        if (handler) handler();
        return true;
    } catch (const FileError& e) {
        message = e.what();
        exact = e.Exact();
    } catch (const std::exception& e) {
        message = e.what();
    } catch (...) {
        message = texts::kUnknownError;
    }
    try {
        if (!exact.empty() && OnExactException) OnExactException(exact);
        else if (OnException) OnException(message);
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
