// The Win32 side of the log commands: the rich-edit log as a document (its text, selection
// and RTF or plain-text streaming), the common file dialogs behind the dialog components,
// and message boxes.
#pragma once

#include <windows.h>

#include <functional>

#include "app/log_commands.h"
#include "ui/dialogs.h"

// What a long stream reports while it runs, so that the window can show it and go on answering.
enum class LogWork { Opening, Saving, Done };

class RichEditDocument : public ILogDocument {
public:
    explicit RichEditDocument(HWND richEdit = nullptr) : h_(richEdit) {}
    void Attach(HWND richEdit) { h_ = richEdit; }
    HWND Handle() const { return h_; }
    void Clear() override;
    std::string Text() override;
    std::string SelectedText() override;
    bool Save(LogFormat format, std::string& bytes) override;
    bool Load(const std::string& bytes, LogFormat format) override;

    // Clearing and opening put a new control in the log's place: Wine's rich edit empties
    // itself at a cost per paragraph (minutes for a big log), and a file read into a hidden
    // control leaves the log whole until the file is read whole. Told the new control before
    // the old one goes.
    std::function<void(HWND)> OnReplaced;
    // Called at most about every kProgressEveryMs while a stream runs, with the bytes done
    // and the bytes in all (0 when not known), and once with Done after a stream that
    // reported anything. Whatever it does, the control being streamed is no business of it.
    std::function<void(LogWork, std::size_t done, std::size_t total)> OnProgress;
    static constexpr DWORD kProgressEveryMs = 100;

private:
    void Replace(HWND fresh);
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
