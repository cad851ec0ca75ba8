// The message log's rich-edit control as the append rules see it.
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
    HWND h_;
};
