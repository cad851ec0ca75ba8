// The common file dialogs as components, and message boxes as a service. A dialog keeps its
// settings (filter, default extension, whether to ask before replacing a file) and the file
// name, which the user's choice replaces; its peer runs the platform's modal dialog. Texts
// shown to the user are UTF-16; the file name is UTF-8, so that a name the ANSI code page
// cannot spell still names its file.
#pragma once

#include <string>
#include <utility>

class TFileDialog {
public:
    enum class Kind { Open, Save };
    struct Peer {
        virtual ~Peer() = default;
        // Runs the modal dialog for these settings, starting from dialog.FileName; on OK
        // stores the chosen name there and returns true. Cancel returns false.
        virtual bool Execute(TFileDialog& dialog) = 0;
    };

    // filter: pairs of description and pattern, all separated by "|", as the framework
    // writes them; defaultExt: added to a name typed without an extension (a leading "." is
    // ignored).
    TFileDialog(Kind kind, std::u16string filter, std::u16string defaultExt, bool promptOverwrite)
        : kind_(kind), filter_(std::move(filter)), defaultExt_(std::move(defaultExt)), promptOverwrite_(promptOverwrite) {}

    Kind DialogKind() const { return kind_; }
    const std::u16string& Filter() const { return filter_; }
    const std::u16string& DefaultExt() const { return defaultExt_; }
    bool PromptOverwrite() const { return promptOverwrite_; }
    std::string FileName;

    // False when the user cancelled, or when there is no platform to ask.
    bool Execute() { return peer_ && peer_->Execute(*this); }
    void AttachPeer(Peer* peer) { peer_ = peer; }

private:
    Kind kind_;
    std::u16string filter_;
    std::u16string defaultExt_;
    bool promptOverwrite_;
    Peer* peer_ = nullptr;
};

// Message box flags and answers, with the platform's values.
constexpr unsigned kMbOk = 0x00;
constexpr unsigned kMbYesNo = 0x04;
constexpr unsigned kMbIconQuestion = 0x20;
constexpr int kIdOk = 1;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

struct IMessageBoxes {
    // Who owns a box: nobody (a box of its own on the taskbar), or the application, whose
    // windows wait until the box is answered.
    enum class Owner { None, Application };
    virtual ~IMessageBoxes() = default;
    // Shows a modal box and returns the button pressed (kIdOk, kIdYes, ...).
    virtual int Show(Owner owner, const std::u16string& text, const std::u16string& caption, unsigned flags) = 0;
};
