// The message log's commands; see log_commands.h.
#include "app/log_commands.h"

#include "app/maker.h"

#include <algorithm>

namespace {

std::string LowerAscii(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::u16string Widen(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

std::u16string JoinLines(std::initializer_list<std::u16string> lines) {
    std::u16string text;
    bool first = true;
    for (const auto& line : lines) {
        if (!first) text += u"\r\n";
        text += line;
        first = false;
    }
    return text;
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
    if (boxes.Show(IMessageBoxes::Owner::Application, u"您确定要清空当前消息内容列表吗？", u"确认",
                   kMbYesNo | kMbIconQuestion) == kIdYes)
        log.Clear();
}

bool PrepareWavExport(ILogDocument& log, IMessageBoxes& boxes, const std::u16string& title, TFileDialog& dialog,
                      std::string& text) {
    if (log.Text().empty()) {
        boxes.Show(IMessageBoxes::Owner::Application, u"当前不能导出消息，消息内容为空!", title, kMbOk);
        return false;
    }
    if (!AskFileName(dialog)) return false;
    // Exactly one of the two: what the user selected, else everything.
    text = log.SelectedText();
    if (text.empty()) text = log.Text();
    return true;
}

std::u16string HelpText() {
    return JoinLines({
        u"如何使用本软件?",
        u"",
        u"1. 打开并登陆 QQ 或 TM 软件。 ",
        u"",
        u"2. 开始与QQ或TM上的好朋友进行文字聊天。",
        u"",
        u"3. 即可立即发送和接收到的消息被朗读出来。",
        u"",
        std::u16string(46, u'-'),
        u"",
        u"在朗读时如何使QQ静音?",
        u"",
        u"1.点击QQ主菜单,",
        u"",
        u"2.点击 静音 菜单项,",
        u"",
        u"3.这样即可在朗读消息时听着更加清楚和舒适。",
    });
}

std::u16string AboutText() {
    const std::u16string rule(37, u'-');
    return JoinLines({u"Sonvira", rule, maker::kNotice, u"", Widen(maker::kMailAddress), u"", Widen(maker::kHomePage),
                      rule});
}

void ShowHelp(IMessageBoxes& boxes) { boxes.Show(IMessageBoxes::Owner::None, HelpText(), u"帮助", kMbOk); }
void ShowAbout(IMessageBoxes& boxes) { boxes.Show(IMessageBoxes::Owner::None, AboutText(), u"关于", kMbOk); }

void OpenVoiceDownloadPage(IShell& shell) { shell.Execute("open", maker::kVoiceDownloadPage, "", "", kSwShowMaximized); }
void OpenHomePage(IShell& shell) { shell.Execute("open", maker::kHomePage, "", "", kSwShowMaximized); }
void WriteMailToMaker(IShell& shell) { shell.Execute("open", "mailto:" + maker::kMailAddress, "", "", kSwShow); }
