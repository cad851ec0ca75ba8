// Quiet services for tests that build the main window's logic but exercise only part of it:
// no chat window in front (or one with a transcript), a byte-for-byte code page, a log that
// keeps nothing, a start-up platform with nothing stored, and a desk of file, box and shell
// services that do nothing.
#pragma once

#include <string>

#include "app/fmain.h"
#include "app/log_commands.h"
#include "app/message_log.h"
#include "ui/shell.h"
#include "base/codepage.h"
#include "base/files.h"
#include "common/chat_windows.h"
#include "common/desk_doubles.h"
#include "common/fake_paths.h"
#include "common/fake_registry.h"
#include "common/memory_profile.h"
#include "speech/carried_voices.h"
#include "ui/dialogs.h"

struct BytesCodePage : ICodePage {
    std::u16string AnsiToUtf16(const std::string& a) override { return std::u16string(a.begin(), a.end()); }
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
    EmptyDocument document;
    NoFiles files;
    OkBoxes boxes;
    IdleShell shell;
};

// A form's services with a quiet start-up and desktop; the caller keeps every one alive.
inline TFmainServices QuietServices(IChatWindows& chat, ICodePage& codePage, ISpeechEngine& speech, ILogControl& log,
                                    QuietStartup& quiet, QuietDesk& desk) {
    return TFmainServices{chat,          codePage,       speech,   log,           quiet.paths, quiet.profile,
                          quiet.registry, quiet.os,      desk.document, desk.files, desk.boxes,  desk.shell};
}
