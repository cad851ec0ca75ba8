// The Win32 side of the log commands: the rich-edit log as a document (its text, selection
// and RTF or plain-text streaming), the common file dialogs behind the dialog components,
// and message boxes.
#pragma once

#include <windows.h>

#include "app/log_commands.h"
#include "ui/dialogs.h"

class RichEditDocument : public ILogDocument {
public:
    explicit RichEditDocument(HWND richEdit = nullptr) : h_(richEdit) {}
    void Attach(HWND richEdit) { h_ = richEdit; }
    void Clear() override;
    std::string Text() override;
    std::string SelectedText() override;
    bool Save(LogFormat format, std::string& bytes) override;
    bool Load(const std::string& bytes, LogFormat format) override;

private:
    HWND h_;
};

// Runs GetOpenFileNameW or GetSaveFileNameW for a dialog component, owned by a window.
class FileDialogPeer : public TFileDialog::Peer {
public:
    explicit FileDialogPeer(const HWND& owner) : owner_(owner) {}
    bool Execute(TFileDialog& dialog) override;

private:
    const HWND& owner_;
};

// Application boxes are owned by the main window, which waits until they are answered.
class Win32MessageBoxes : public IMessageBoxes {
public:
    explicit Win32MessageBoxes(const HWND& mainWindow) : main_(mainWindow) {}
    int Show(Owner owner, const std::u16string& text, const std::u16string& caption, unsigned flags) override;

private:
    const HWND& main_;
};

// The framework's filter string ("text|pattern|...") as the dialogs take it: NUL between the
// parts and two at the end.
std::wstring DialogFilter(const std::u16string& filter);
