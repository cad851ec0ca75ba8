// Failures the program drops on purpose still leave one line in the trace.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "app/message_log.h"
#include "base/trace.h"
#include "support/memory_log.h"
#include "ui/application.h"

namespace {

TEST(Trace, EachDroppedFailureLeavesOneLineSayingWhereAndWhat) {
    std::vector<std::string> lines;
    SetTraceSink([&](const std::string& line) { lines.push_back(line); });
    const auto shown = Application.OnException;

    MemoryLog full;
    full.capacity = 0;
    AppendLogLine(full, "hello");  // the control refuses the line
    Application.OnException = [](const std::string&) { throw 42; };
    Application.Dispatch([] { throw std::runtime_error("boom"); });  // and the box fails too
    try {
        throw 7;
    } catch (...) {
        TraceIgnored("somewhere");
    }

    Application.OnException = shown;
    SetTraceSink(nullptr);
    EXPECT_EQ(lines, (std::vector<std::string>{"Sonvira: appending a log line: RichEdit line insertion error",
                                               "Sonvira: error not shown: boom", "Sonvira: somewhere: Unknown error"}));
}

}  // namespace
