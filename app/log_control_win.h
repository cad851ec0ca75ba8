// The message log's rich-edit control as the append rules see it. Positions are the
// control's own character positions (a paragraph break counts once), the unit in which it
// also selects, so a measured range can be selected as it is.
#pragma once

#include <windows.h>

#include "app/message_log.h"

class RichEditLog : public ILogControl {
public:
    explicit RichEditLog(HWND richEdit = nullptr) : h_(richEdit) {}
    void Attach(HWND richEdit) { h_ = richEdit; }
    HWND Handle() const { return h_; }
    long TextLength() override;
    bool EndsWithLineBreak() override;
    void InsertAtEnd(const std::string& ansi) override;
    void SetSelection(long start, long length) override;
    void SetSelectionColour(std::uint32_t colour) override;
    void ScrollCaret() override;

private:
    bool CaretAtEnd(long length);
    HWND h_;
};

// Creates the log control as the main window has it: a "RichEdit20W" child with a vertical
// scroll bar, word wrap, editable, the given font, no notifications and room for a
// long-running log; hidden when asked. The rich-edit library must be loaded.
HWND CreateLogControl(HWND parent, int x, int y, int width, int height, int id, HFONT font, bool visible = true);
// A new, empty log control where this one is, with its id, font and size, hidden when asked.
HWND CreateLogControlLike(HWND log, bool visible);
