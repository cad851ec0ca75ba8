// The message log's commands: open a saved log, save it as RTF or plain text, clear it,
// render it to a WAV file. The log's plain-text mode (false: RTF) is set by saving and
// governs both how the log is written and how the next file is read.
#pragma once

#include <string>

#include "base/files.h"
#include "base/string_table.h"
#include "ui/dialogs.h"

enum class LogFormat { Rtf, Text };

// The log control as a document: its whole text, its selection, and its contents as a file.
struct ILogDocument {
    virtual ~ILogDocument() = default;
    // Removes every line.
    virtual void Clear() = 0;
    // The whole text, and the selected text (empty when nothing is selected), 8-bit with
    // CR LF between lines.
    virtual std::string Text() = 0;
    virtual std::string SelectedText() = 0;
    // The whole log as a file of this format would hold it; false when the control failed.
    virtual bool Save(LogFormat format, std::string& bytes) = 0;
    // Replaces the whole log with these bytes read in this format; false when the control
    // could not read them that way (for RTF: the bytes are no RTF it understands).
    virtual bool Load(const std::string& bytes, LogFormat format) = 0;
};

// The dialogs' settings.
using texts::kOpenLogFilter;
using texts::kSaveLogFilter;
using texts::kWavFilter;
inline const std::u16string kSaveLogDefaultExt = u".rtf";
inline const std::u16string kWavDefaultExt = u"wav";

// The file-name extension from the last "." after the last "\" or ":", or empty.
std::string FileExtension(const std::string& path);
// Saving to this name writes plain text: any name but one ending in ".rtf" (in any case).
bool PlainTextForFileName(const std::string& path);

// A rich edit can die on RTF nested deep enough (Wine 10's reader keeps the state of 32 nested
// groups and aborts past them), and the unsaved log would die with it. A log nests three
// levels; RTF nested deeper than this is refused as no RTF.
constexpr int kMaxRtfGroupDepth = 32;
// The deepest group nesting of RTF bytes; escaped braces are text. Braces inside \binN data
// count too, so the count errs only towards refusing.
int RtfGroupDepth(const std::string& rtf);

// NOpenMessageClick. The file is read before the log is touched, so a file that cannot be
// opened or read leaves the log as it was; then RTF, falling back to plain text (RTF mode),
// or plain text only (plain-text mode). Throws the file errors and kLoadStreamError.
void OpenLogFile(TFileDialog& dialog, IFiles& files, ILogDocument& log, bool plainText);
// NSaveMessageClick: the name's extension sets the plain-text mode, then the whole log is
// written in that mode, replacing an existing file. Throws the file errors and kSaveStreamError.
void SaveLogFile(TFileDialog& dialog, IFiles& files, ILogDocument& log, bool& plainText);
// NClearMessageClick: clears the log when the user confirms.
void ClearLog(IMessageBoxes& boxes, ILogDocument& log);

// The first steps of ExportMessageToWav1Click: an empty log gets a message instead of the
// dialog; otherwise, once the user named a file (in dialog.FileName), the text to speak is
// the selection, or the whole log when nothing is selected. False when there is nothing to do.
bool PrepareWavExport(ILogDocument& log, IMessageBoxes& boxes, const std::u16string& title, TFileDialog& dialog,
                      std::string& text);
