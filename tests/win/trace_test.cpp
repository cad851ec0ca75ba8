// The trace reaches the debugger output: OutputDebugStringW raises DBG_PRINTEXCEPTION_WIDE_C
// with the text (Microsoft's OutputDebugStringW page), which a vectored handler sees first.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "base/trace.h"
#include "win/trace_win.h"

static std::wstring seen;

static LONG CALLBACK Catch(EXCEPTION_POINTERS* e) {
    const EXCEPTION_RECORD* r = e->ExceptionRecord;
    if (r->ExceptionCode == DBG_PRINTEXCEPTION_WIDE_C) seen += reinterpret_cast<const wchar_t*>(r->ExceptionInformation[1]);
    return EXCEPTION_CONTINUE_SEARCH;
}

TEST(TraceWin, ALineGoesToTheDebuggerOutputInUtf16) {
    PVOID handler = AddVectoredExceptionHandler(1, Catch);
    InstallDebuggerTrace();
    TraceIgnored("speaking a message", "\xc4\xe3\xba\xc3");  // 你好 in the ANSI code page 936
    SetTraceSink(nullptr);
    RemoveVectoredExceptionHandler(handler);
    EXPECT_EQ(seen, L"Sonvira: speaking a message: \x4f60\x597d\n");
}
