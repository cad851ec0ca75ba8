// Placeholder until the log append lands.
#include "app/message_log.h"
void AppendLogLine(ILogControl&, const std::string&) {}
void AppendColouredLine(ILogControl&, const std::string&, std::uint32_t, bool) {}
