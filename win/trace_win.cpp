// The debugger output as the trace's sink; see trace_win.h.
#include "win/trace_win.h"

#include <windows.h>

#include <string>

#include "base/trace.h"
#include "win/codepage_win.h"

void InstallDebuggerTrace() {
    // The W function, so the line keeps its text on any system; the line break ends the
    // line for viewers that join what arrives without one.
    SetTraceSink([](const std::string& line) { OutputDebugStringW((AnsiToWide(line) + L"\n").c_str()); });
}
