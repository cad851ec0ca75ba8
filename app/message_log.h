// Appending lines to the message log. The log control measures and selects in its own unit
// of positions; the append rules need only its length, whether it ends with a line break,
// insertion at the end, a selection, a text colour and scrolling the caret into view.
#pragma once

#include <cstdint>
#include <string>

struct ILogControl {
    virtual ~ILogControl() = default;
    // Length of the whole text in the control's own position unit, without copying it.
    virtual long TextLength() = 0;
    // True when the log is empty or its last character is a line break. May leave the caret
    // at the end of the log.
    virtual bool EndsWithLineBreak() = 0;
    // Inserts 8-bit text at the very end and leaves the caret after it; may throw when the
    // control refuses it. When the caret already stands at the end with nothing selected,
    // the text takes the colour set there (as a rich edit's insertion point does);
    // otherwise it takes the colour of the text before it.
    virtual void InsertAtEnd(const std::string& ansi) = 0;
    virtual void SetSelection(long start, long length) = 0;
    // Colours the selected text; with nothing selected, sets the colour of what is inserted
    // at the caret next.
    virtual void SetSelectionColour(std::uint32_t colour) = 0;  // 0x00BBGGRR
    virtual void ScrollCaret() = 0;
};

// Adds the text as a new last line unless it trims to nothing or to "说：". Never throws.
void AppendLogLine(ILogControl& log, const std::string& ansi);

// Appends through AppendLogLine and colours exactly the range that was added; with scroll on
// the newest line comes into view. Afterwards nothing is selected and the caret stands at
// the start of the appended range. Selection and colouring errors propagate.
void AppendColouredLine(ILogControl& log, const std::string& ansi, std::uint32_t colour, bool scroll);
