// Quiet services for tests that build the main window's logic but exercise only part of it:
// no chat window in front (or one with a transcript), a byte-for-byte code page, a log that
// keeps nothing, a start-up platform with nothing stored, and a desk of file, box and shell
// services that do nothing.
#pragma once

#include <cstring>
#include <string>

#include "app/fmain.h"
#include "app/log_commands.h"
#include "app/message_log.h"
#include "app/shell.h"
#include "base/codepage.h"
#include "base/files.h"
#include "capture/chat_windows.h"
#include "speech/carried_voices.h"
#include "support/fake_paths.h"
#include "support/fake_registry.h"
#include "support/memory_profile.h"
#include "ui/dialogs.h"

struct NoChatWindows : IChatWindows {
    WindowRef Foreground() override { return 0; }
    std::string Title(WindowRef) override { return {}; }
    WindowRef FindChild(WindowRef, const char*) override { return 0; }
    bool QueryTextLength(WindowRef, std::size_t&) override { return false; }
    bool ReadText(WindowRef, std::size_t, std::string&) override { return false; }
};

// One chat window in front, its "#32770" child and under that its transcript control.
struct OneChatInFront : IChatWindows {
    std::string title, transcript;
    WindowRef Foreground() override { return 1; }
    std::string Title(WindowRef w) override { return w == 1 ? title : std::string(); }
    WindowRef FindChild(WindowRef parent, const char* cls) override {
        if (parent == 1 && !std::strcmp(cls, "#32770")) return 2;
        if (parent == 2 && !std::strcmp(cls, "RichEdit20A")) return 3;
        return 0;
    }
    bool QueryTextLength(WindowRef control, std::size_t& n) override {
        n = transcript.size();
        return control == 3;
    }
    bool ReadText(WindowRef control, std::size_t n, std::string& out) override {
        out = transcript.substr(0, n);
        return control == 3;
    }
};

struct BytesCodePage : ICodePage {
    std::u16string AnsiToUtf16(const std::string& a) override { return std::u16string(a.begin(), a.end()); }
    std::string Utf16ToAnsi(const std::u16string& w) override { return std::string(w.begin(), w.end()); }
};

struct NullLog : ILogControl {
    long TextLength() override { return 0; }
    bool EndsWithLineBreak() override { return true; }
    void InsertAtEnd(const std::string&) override {}
    void SetSelection(long, long) override {}
    void SetSelectionColour(std::uint32_t) override {}
    void ScrollCaret() override {}
};

struct FixedOsVersion : IOsVersion {
    int major = 6;
    int MajorVersion() override { return major; }
};

// Folders, settings and registry in memory, on a Windows that carries no voices.
struct QuietStartup {
    FakePathPlatform paths;
    MemoryProfile profile;
    FakeRegistry registry;
    FixedOsVersion os;
};

// The log's document side and the desktop services for tests that use none of them: a log
// that holds nothing, no files, boxes that answer OK and a shell that does nothing.
struct QuietDesk {
    struct : ILogDocument {
        void Clear() override {}
        std::string Text() override { return {}; }
        std::string SelectedText() override { return {}; }
        bool Save(LogFormat, std::string&) override { return false; }
        bool Load(const std::string&, LogFormat) override { return false; }
    } document;
    struct : IFiles {
        std::string ReadAll(const std::string& path) override { throw FileError(FileOpenErrorMessage(path, "")); }
        void WriteAll(const std::string& path, const std::string&) override {
            throw FileError(FileCreateErrorMessage(path, ""));
        }
        bool Delete(const std::string&) override { return false; }
    } files;
    struct : IMessageBoxes {
        int Show(Owner, const std::u16string&, const std::u16string&, unsigned) override { return kIdOk; }
    } boxes;
    struct : IShell {
        void Execute(const std::string&, const std::string&, const std::string&, const std::string&, int) override {}
        void SaveShortcut(const ShortcutSpec&, const std::string&) override {}
    } shell;
};

// A form's services with a quiet start-up and desktop; the caller keeps every one alive.
inline TFmainServices QuietServices(IChatWindows& chat, ICodePage& codePage, ISpeechEngine& speech, ILogControl& log,
                                    QuietStartup& quiet, QuietDesk& desk) {
    return TFmainServices{chat,          codePage,       speech,   log,           quiet.paths, quiet.profile,
                          quiet.registry, quiet.os,      desk.document, desk.files, desk.boxes,  desk.shell};
}
