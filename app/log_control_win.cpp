// Placeholder until the rich-edit log lands.
#include "app/log_control_win.h"
long RichEditLog::TextLength() { return 0; }
bool RichEditLog::EndsWithLineBreak() { return true; }
void RichEditLog::InsertAtEnd(const std::string&) {}
void RichEditLog::SetSelection(long, long) {}
void RichEditLog::SetSelectionColour(std::uint32_t) {}
void RichEditLog::ScrollCaret() {}
