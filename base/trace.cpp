// The trace of dropped failures; see trace.h.
#include "base/trace.h"

#include <exception>
#include <utility>

#include "base/string_table.h"

namespace {

TraceSink& Sink() {
    static TraceSink sink;
    return sink;
}

// A trace must never become a failure of its own: out of memory, or a sink that throws, costs
// the line and nothing else.
void Emit(const char* where, const char* what, const char* detail = "") noexcept {
    try {
        if (Sink()) Sink()(std::string("Sonvira: ") + where + ": " + what + detail);
    } catch (...) {
    }
}

}  // namespace

void SetTraceSink(TraceSink sink) { Sink() = std::move(sink); }

void TraceIgnored(const char* where, const std::string& what) noexcept { Emit(where, what.c_str()); }

void TraceIgnored(const char* where, const char* what, const char* detail) noexcept { Emit(where, what, detail); }

void TraceIgnored(const char* where) noexcept {
    // The exception stays alive through the pointer, and with it the text what() points at.
    const std::exception_ptr failure = std::current_exception();
    const char* what = texts::kUnknownError;
    try {
        if (failure) std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        what = e.what();
    } catch (...) {
    }
    Emit(where, what);
}
