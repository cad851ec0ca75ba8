// The trace of dropped failures (base/trace.h) on Windows: each line goes to the debugger
// output, where DebugView or an attached debugger shows it.
#pragma once

// Makes the debugger output the trace's sink. Call first thing in the program.
void InstallDebuggerTrace();
