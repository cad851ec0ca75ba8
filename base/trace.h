// A trace of the failures the program drops on purpose (a message that cannot be spoken, a log
// line the control refuses): the user is not troubled with them, but a report can still say
// what happened. Each becomes one line "Sonvira: <where>: <what>" handed to a sink; the
// Windows program's sink is the debugger output (win/trace_win.h), which DebugView shows. Without
// a sink nothing happens.
#pragma once

#include <functional>
#include <string>

// Receives each line, without a line break. Called on whatever thread dropped the failure.
using TraceSink = std::function<void(const std::string& line)>;
// Set once at start, before anything could trace.
void SetTraceSink(TraceSink sink);

// Inside a catch block: traces the exception being handled. where: a few words that find the
// place in the code ("speaking a message").
void TraceIgnored(const char* where) noexcept;
// The same for a failure known only by its message.
void TraceIgnored(const char* where, const std::string& what) noexcept;
// The same for a message with a detail after it ("cannot open " and the key): the line is put
// together where a failure to do so cannot escape.
void TraceIgnored(const char* where, const char* what, const char* detail) noexcept;
