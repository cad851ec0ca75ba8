// The message log's commands; see log_commands.h.
#include "app/log_commands.h"

#include <algorithm>

#include "base/string_table.h"

namespace {

std::string LowerAscii(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// Asks the dialog with an empty name; true with a name to use.
bool AskFileName(TFileDialog& dialog) {
    dialog.FileName.clear();
    return dialog.Execute() && !dialog.FileName.empty();
}

}  // namespace

std::string FileExtension(const std::string& path) {
    std::size_t dot = path.find_last_of(".\\:");
    if (dot == std::string::npos || path[dot] != '.') return {};
    return path.substr(dot);
}

bool PlainTextForFileName(const std::string& path) { return LowerAscii(FileExtension(path)) != ".rtf"; }

int RtfGroupDepth(const std::string& rtf) {
    int depth = 0, deepest = 0;
    for (std::size_t i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\')
            ++i;  // \{, \} and \\ are text; a control word holds no brace
        else if (rtf[i] == '{')
            deepest = std::max(deepest, ++depth);
        else if (rtf[i] == '}' && depth > 0)
            --depth;
    }
    return deepest;
}

void OpenLogFile(TFileDialog& dialog, IFiles& files, ILogDocument& log, bool plainText) {
    if (!AskFileName(dialog)) return;
    // Read before the log is touched: a file that cannot be opened or read must not cost the
    // user the log they have not saved yet.
    const std::string bytes = files.ReadAll(dialog.FileName);
    if (plainText) {
        // A file read as text shows whatever it holds, RTF markup included.
        if (!log.Load(bytes, LogFormat::Text)) throw FileError(kLoadStreamError);
        return;
    }
    if (log.Load(bytes, LogFormat::Rtf)) return;
    if (!log.Load(bytes, LogFormat::Text)) throw FileError(kLoadStreamError);
}

void SaveLogFile(TFileDialog& dialog, IFiles& files, ILogDocument& log, bool& plainText) {
    if (!AskFileName(dialog)) return;
    plainText = PlainTextForFileName(dialog.FileName);
    // The whole file is made before the old one is replaced, so a log that cannot be
    // streamed out costs no file.
    std::string bytes;
    if (!log.Save(plainText ? LogFormat::Text : LogFormat::Rtf, bytes)) throw FileError(kSaveStreamError);
    files.WriteAll(dialog.FileName, bytes);
}

void ClearLog(IMessageBoxes& boxes, ILogDocument& log) {
    if (boxes.Show(IMessageBoxes::Owner::Application, texts::kClearLogQuestion, texts::kClearLogCaption,
                   kMbYesNo | kMbIconQuestion) == kIdYes)
        log.Clear();
}

bool PrepareWavExport(ILogDocument& log, IMessageBoxes& boxes, const std::u16string& title, TFileDialog& dialog,
                      std::string& text) {
    if (log.Text().empty()) {
        boxes.Show(IMessageBoxes::Owner::Application, texts::kNothingToExport, title, kMbOk);
        return false;
    }
    if (!AskFileName(dialog)) return false;
    // Exactly one of the two: what the user selected, else everything.
    text = log.SelectedText();
    if (text.empty()) text = log.Text();
    return true;
}
