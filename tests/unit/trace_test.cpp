// Failures the program drops on purpose still leave one line in the trace.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/message_log.h"
#include "base/trace.h"
#include "support/memory_log.h"

TEST(Trace, ADroppedFailureLeavesOneLineSayingWhereAndWhat) {
    std::vector<std::string> lines;
    SetTraceSink([&](const std::string& line) { lines.push_back(line); });
    MemoryLog full;
    full.capacity = 0;
    AppendLogLine(full, "hello");  // the control refuses the line; the watcher's tick goes on
    SetTraceSink(nullptr);
    EXPECT_EQ(lines, std::vector<std::string>{"Sonvira: appending a log line: RichEdit line insertion error"});
}
