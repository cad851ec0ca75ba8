// Appending lines to the message log. Every position comes from the control itself, in its
// own unit, so the coloured range is exactly what one append added whatever the control
// counts a line break as.
#include "app/message_log.h"

#include "base/text.h"
#include "base/trace.h"

void AppendLogLine(ILogControl& log, const std::string& ansi) {
    // The trimmed text only decides whether to log at all; the line goes in as passed, so
    // indentation a chat message carried stays visible.
    const std::string trimmed = text::Trim(ansi);
    if (trimmed.empty()) return;
    // A header line whose sender part came out empty is nothing but "说：": not worth a line.
    if (trimmed == gbk::kSaidColon) return;
    try {
        // Text the user typed or loaded without a final break must not run into our line.
        if (log.EndsWithLineBreak())
            log.InsertAtEnd(ansi + "\r\n");
        else
            log.InsertAtEnd("\r\n" + ansi);
    } catch (...) {
        // A log line is a convenience beside the speech: a control that refuses it (full,
        // out of memory) must not stop the watcher's tick.
        TraceIgnored("appending a log line");
    }
}

void AppendColouredLine(ILogControl& log, const std::string& ansi, std::uint32_t colour, bool scroll) {
    const long start = log.TextLength();
    // The colour is given to the insertion point at the end before the line goes in, so the
    // line arrives coloured and exactly the added range carries it. Selecting the range
    // afterwards would come to the same, but a rich edit may have to find a position by
    // walking its whole text, which a log that only grows cannot afford twice per line.
    log.SetSelection(start, 0);
    log.SetSelectionColour(colour);
    AppendLogLine(log, ansi);
    // The caret stands after the new line: scrolling it into view shows the newest line.
    if (scroll) log.ScrollCaret();
    // Leave the caret at the start of what was added, with nothing selected.
    log.SetSelection(start, 0);
}
