// The message log's commands: open a saved log, save it as RTF or plain text, clear it,
// render it to a WAV file. The log's plain-text mode (false: RTF) is set by saving and
// governs both how the log is written and how the next file is read.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

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
    // could not read them that way (for RTF: the bytes are no RTF it understands). Throws
    // LogOutOfRoom when they would not fit; the log is as it was after either.
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
// levels; RTF nested deeper than this, counted as the reader counts, is refused as no RTF.
constexpr int kMaxRtfGroupDepth = 16;
// The deepest group nesting of RTF bytes as the rich edit's reader reaches it (see the
// definition); where the reader's count is uncertain, the larger one.
int RtfGroupDepth(const std::string& rtf);
// The reader keeps a control word with its parameter in a buffer of 1024 bytes and writes
// past it (Wine 10 dies on one of 1100 letters); RTF's own words are a few dozen bytes at most.
constexpr std::size_t kMaxRtfWord = 256;
// RTF the reader survives: bytes that begin as RTF ("{\rtf" or "{\urtf"), nested no deeper
// than kMaxRtfGroupDepth, no control word longer than kMaxRtfWord. Other bytes are refused as
// no RTF and read as text.
bool RtfReadable(const std::string& rtf);

// What the log control can take, measured with Wine 10's rich edit (tools/log_open_bench). It
// lays out a paragraph at a cost that grows with the square of its length, in time and in
// address space it never gives back: one line of 4,096 bytes of wide letters took 0.28 s and
// 8.5 MB, one of 32,768 bytes 5 to 13 s and 250 to 550 MB, four of 65,536 bytes ran a 32-bit
// program out of its 2 GB. Lines are therefore cut into lines of at most kMaxLogLine bytes
// before they reach it (10 to 25 ms and about 1 MB each). No file of more than
// kMaxLogFileBytes fits into its memory at all, so a bigger one is refused unread.
constexpr std::size_t kMaxLogFileBytes = 16u << 20;
constexpr std::size_t kMaxLogLine = 1024;

// What laying out text costs the control: milliseconds on a 2-core machine under a load of 1
// to 3, and bytes of address space. From the measurements, rounded up towards the worst
// text (the widest letters, words that wrap, tabs), so that a file is refused before the
// control could run out, and read in pieces small enough for the window to answer meanwhile.
struct LayoutCost {
    double ms = 0;
    double bytes = 0;
    std::size_t longest = 0;  // LogLayoutCost's longest paragraph in bytes, before it is cut
};
// One line of this many bytes, tabs among them, as the control takes it.
LayoutCost LineCost(std::size_t bytes, std::size_t tabs);
// One paragraph, cut into lines of kMaxLogLine bytes.
LayoutCost ParagraphCost(std::size_t bytes, std::size_t tabs);
// A whole file read in this format: its paragraphs, plain text's between line breaks, RTF's
// between paragraph marks in the document's text.
LayoutCost LogLayoutCost(const std::string& bytes, LogFormat format);

// RTF with a paragraph mark put in wherever a paragraph of the document's text would grow
// longer than maxLine bytes, never inside a character; RTF without such paragraphs stays as it was.
std::string WrapRtf(const std::string& rtf, std::size_t maxLine);

// RTF cut into documents of their own at paragraph marks outside any inner group, each of
// about pieceBytes or the rest, or, with pieceMs, sooner where its paragraphs would cost the
// control that much layout: a rich edit lays out what it read at the end of each read, so a
// big log read in pieces lets the window answer between them. Each later piece starts with
// the tables met so far and the last use of each control word outside groups, so it reads as
// it would have read in place. RTF of pieceBytes or less stays whole unless pieceMs is given.
std::vector<std::string> SplitRtf(const std::string& rtf, std::size_t pieceBytes, double pieceMs = 0);

// Thrown by ILogDocument::Load when the control would run out of memory before the whole
// file is in (LogLayoutCost against the address space left; a 32-bit program has 2 GB); the
// log is then as it was.
class LogOutOfRoom : public std::runtime_error {
public:
    LogOutOfRoom() : std::runtime_error("the log's control is out of memory") {}
};

// Asks the dialog with an empty name; true with a name to use.
bool AskFileName(TFileDialog& dialog);
// NOpenMessageClick, once a name was asked for. The file is read before the log is touched, so
// a file that cannot be opened or read, or that the log cannot take, leaves the log as it was;
// then RTF, falling back to plain text (RTF mode), or plain text only (plain-text mode). Throws
// the file errors and kLoadStreamError.
void ReadLogFile(const std::string& utf8Path, IFiles& files, ILogDocument& log, bool plainText);
// NSaveMessageClick, once a name was asked for: the name's extension sets the plain-text mode,
// then the whole log is written in that mode, replacing an existing file. Throws the file
// errors and kSaveStreamError.
void WriteLogFile(const std::string& utf8Path, IFiles& files, ILogDocument& log, bool& plainText);
// NClearMessageClick: clears the log when the user confirms.
void ClearLog(IMessageBoxes& boxes, ILogDocument& log);

// The first steps of ExportMessageToWav1Click: an empty log gets a message instead of the
// dialog; otherwise, once the user named a file (in dialog.FileName), the text to speak is
// the selection, or the whole log when nothing is selected. False when there is nothing to do.
bool PrepareWavExport(ILogDocument& log, IMessageBoxes& boxes, const std::u16string& title, TFileDialog& dialog,
                      std::string& text);
