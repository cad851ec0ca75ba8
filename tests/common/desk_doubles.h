// Doubles of the log's document side and of the platform services the log commands, the WAV
// export and the logon shortcut use: files kept in memory, scripted dialogs and message
// boxes that write down what they were asked, and a shell that records its requests; and
// quiet ones for tests that use none of them.
#pragma once

#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/log_commands.h"
#include "ui/shell.h"
#include "base/files.h"
#include "ui/dialogs.h"

// A log as a document. Its "RTF" is the text wrapped as "{\rtf1 ...}" and only bytes that
// begin like RTF load as RTF, which is what a rich edit does with a file of another kind.
struct MemoryDocument : ILogDocument {
    std::string text;       // CR LF between lines
    std::string selection;  // the selected text, empty when nothing is selected
    bool failSave = false, failTextLoad = false, outOfRoom = false;
    std::vector<std::string> loads;  // "rtf" or "text" for each Load asked

    static std::string AsRtf(const std::string& t) { return "{\\rtf1 " + t + "}"; }

    void Clear() override {
        text.clear();
        selection.clear();
    }
    std::string Text() override { return text; }
    std::string SelectedText() override { return selection; }
    bool Save(LogFormat format, std::string& bytes) override {
        if (failSave) return false;
        bytes = format == LogFormat::Rtf ? AsRtf(text) : text;
        return true;
    }
    bool Load(const std::string& bytes, LogFormat format) override {
        loads.push_back(format == LogFormat::Rtf ? "rtf" : "text");
        if (outOfRoom) throw LogOutOfRoom();
        if (format == LogFormat::Rtf) {
            const std::string head = "{\\rtf1 ";
            if (bytes.compare(0, head.size(), head) != 0 || bytes.back() != '}') return false;
            text = bytes.substr(head.size(), bytes.size() - head.size() - 1);
        } else {
            if (failTextLoad) return false;
            text = bytes;
        }
        selection.clear();
        return true;
    }
};

// Files in memory. Paths in `locked` cannot be opened or created (the system's reason is
// "locked"); paths in `unreadable` open but fail while being read.
struct MemoryFiles : IFiles {
    std::map<std::string, std::string> files;
    std::set<std::string> locked, unreadable, undeletable;
    std::vector<std::string> deleted;

    std::string ReadAll(const std::string& path, std::size_t atMost) override {
        auto it = files.find(path);
        if (locked.count(path)) throw FileError(FileOpenErrorMessage(path, "locked."));
        if (it == files.end()) throw FileError(FileOpenErrorMessage(path, "not found.\r\n"));
        if (unreadable.count(path)) throw FileError(kLoadStreamError);
        return it->second.substr(0, atMost == SIZE_MAX ? atMost : atMost + 1);
    }
    void WriteAll(const std::string& path, const std::string& bytes) override {
        if (locked.count(path)) throw FileError(FileCreateErrorMessage(path, "locked."));
        files[path] = bytes;
    }
    bool Delete(const std::string& path) override {
        deleted.push_back(path);
        if (undeletable.count(path)) return false;
        return files.erase(path) != 0;
    }
};

// A dialog peer that answers with the next scripted name, or cancels when none is left.
// It notes the name the dialog started from each time.
struct ScriptedDialog : TFileDialog::Peer {
    std::vector<std::string> answers;
    std::vector<std::string> startedWith;
    int runs = 0;
    explicit ScriptedDialog(TFileDialog& dialog) { dialog.AttachPeer(this); }
    bool Execute(TFileDialog& dialog) override {
        ++runs;
        startedWith.push_back(dialog.FileName);
        if (answers.empty()) return false;
        dialog.FileName = answers.front();
        answers.erase(answers.begin());
        return true;
    }
};

struct ShownBox {
    IMessageBoxes::Owner owner;
    std::u16string text, caption;
    unsigned flags;
};

// Message boxes answered with the next scripted button (OK when none is scripted).
struct RecordingBoxes : IMessageBoxes {
    std::vector<ShownBox> shown;
    std::vector<int> answers;
    int Show(Owner owner, const std::u16string& text, const std::u16string& caption, unsigned flags) override {
        shown.push_back({owner, text, caption, flags});
        if (answers.empty()) return kIdOk;
        int a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
};

struct ShellRequest {
    std::string operation, file, parameters, directory;
    int show;
};

// A shell that records what it is asked. A saved shortcut becomes a file the path platform
// sees (when given), holding its fields one per line in `saved`.
struct RecordingShell : IShell {
    std::set<std::string>* existing = nullptr;
    bool failLinkObject = false;
    std::vector<ShellRequest> requests;
    std::vector<std::pair<ShortcutSpec, std::string>> shortcuts;
    std::map<std::string, std::string> saved;

    void Execute(const std::string& operation, const std::string& file, const std::string& parameters,
                 const std::string& directory, int show) override {
        requests.push_back({operation, file, parameters, directory, show});
    }
    void SaveShortcut(const ShortcutSpec& s, const std::string& linkPath) override {
        if (failLinkObject) throw std::runtime_error("Class not registered");
        shortcuts.push_back({s, linkPath});
        saved[linkPath] = s.target + "\n" + s.arguments + "\n" + s.workingDirectory + "\n" + s.description;
        if (existing) existing->insert(linkPath);
    }
};

// A log document that holds nothing and can be neither saved nor loaded.
struct EmptyDocument : ILogDocument {
    void Clear() override {}
    std::string Text() override { return {}; }
    std::string SelectedText() override { return {}; }
    bool Save(LogFormat, std::string&) override { return false; }
    bool Load(const std::string&, LogFormat) override { return false; }
};

// No file opens and none can be made.
struct NoFiles : IFiles {
    std::string ReadAll(const std::string& path, std::size_t) override { throw FileError(FileOpenErrorMessage(path, "")); }
    void WriteAll(const std::string& path, const std::string&) override {
        throw FileError(FileCreateErrorMessage(path, ""));
    }
    bool Delete(const std::string&) override { return false; }
};

// Every box is answered OK.
struct OkBoxes : IMessageBoxes {
    int Show(Owner, const std::u16string&, const std::u16string&, unsigned) override { return kIdOk; }
};

// A shell that does nothing.
struct IdleShell : IShell {
    void Execute(const std::string&, const std::string&, const std::string&, const std::string&, int) override {}
    void SaveShortcut(const ShortcutSpec&, const std::string&) override {}
};
