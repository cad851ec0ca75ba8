// The message log's commands; see log_commands.h.
#include "app/log_commands.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "base/string_table.h"

namespace {

std::string LowerAscii(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

}  // namespace

std::string FileExtension(const std::string& path) {
    std::size_t dot = path.find_last_of(".\\:");
    if (dot == std::string::npos || path[dot] != '.') return {};
    return path.substr(dot);
}

bool PlainTextForFileName(const std::string& path) { return LowerAscii(FileExtension(path)) != ".rtf"; }

namespace {

// One token of RTF as the rich edit's reader cuts it: a character of text (a plain byte, a
// "\'hh" or an escaped "\{", "\}", "\\"), a brace, a control word with its parameter, or a
// control symbol. The reader reads until a NUL byte; CR and LF between tokens are dropped.
struct RtfToken {
    enum Kind { Text, Open, Close, Word, Symbol, End } kind = End;
    std::string word;
    long long param = -1;           // -1 when the word has none
    std::size_t begin = 0, end = 0;  // the token's bytes, a control word's delimiting space included
};

class RtfTokens {
public:
    explicit RtfTokens(const std::string& rtf) : s_(rtf), n_(std::min(rtf.size(), rtf.find('\0'))) {}

    RtfToken Next() {
        while (i_ < n_ && (s_[i_] == '\r' || s_[i_] == '\n')) ++i_;
        RtfToken t;
        t.begin = i_;
        if (i_ >= n_) return t;
        const char c = s_[i_++];
        t.kind = c == '{' ? RtfToken::Open : c == '}' ? RtfToken::Close : c == '\t' ? RtfToken::Symbol : RtfToken::Text;
        if (c == '\\') Control(t);
        t.end = i_;
        return t;
    }

private:
    static bool Alpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
    static bool Digit(char c) { return c >= '0' && c <= '9'; }

    // "\'" takes the next two bytes whatever they are; a word's parameter is an optional "-"
    // and digits, and one space after it belongs to it.
    void Control(RtfToken& t) {
        t.kind = RtfToken::Symbol;
        if (i_ >= n_) return;
        const char d = s_[i_++];
        if (d == '\'') {
            if (n_ - i_ >= 2) t.kind = RtfToken::Text;
            i_ = std::min(n_, i_ + 2);
        } else if (!Alpha(d)) {
            if (d == '{' || d == '}' || d == '\\' || d == ':') t.kind = RtfToken::Text;
        } else {
            t.kind = RtfToken::Word;
            t.word = d;
            while (i_ < n_ && Alpha(s_[i_])) t.word += s_[i_++];
            const bool negative = i_ < n_ && s_[i_] == '-';
            if (negative) ++i_;
            if (i_ < n_ && Digit(s_[i_])) t.param = 0;
            while (i_ < n_ && Digit(s_[i_])) t.param = std::min(t.param * 10 + (s_[i_++] - '0'), 1LL << 40);
            if (negative && t.param > 0) t.param = -t.param;
            if (i_ < n_ && s_[i_] == ' ') ++i_;
        }
    }

    const std::string& s_;
    const std::size_t n_;
    std::size_t i_ = 0;
};

bool BreaksParagraph(const std::string& word) {
    return word == "par" || word == "sect" || word == "page" || word == "row" || word == "line";
}

struct RtfShape {
    long long deepest = 0;
    std::size_t longestParagraph = 0;
    std::size_t longestWord = 0;
};

// The reader's walk, as far as it moves its stack of group states: it reads until the
// outermost group closes. After "\u" it skips the next \ucN text tokens (\uc1 unless told),
// and a token that ends the skip early is put back and read again, once for each skip left
// and once more: each reading of a "{" pushes a state (Wine's reader and its ME_RTFReadHook).
// Where the reader's count is not certain the count here is the larger one: the largest \ucN
// met so far counts everywhere, a "\u" counts even where the reader passes over a group
// unread, and a "}" takes one level away however often it is read.
RtfShape WalkRtf(const std::string& rtf) {
    RtfShape shape;
    RtfTokens tokens(rtf);
    long long depth = 0, skipLength = 1, skipLeft = 0;
    std::size_t paragraph = 0;
    for (RtfToken t = tokens.Next(); t.kind != RtfToken::End; t = tokens.Next()) {
        if (t.kind == RtfToken::Word) shape.longestWord = std::max(shape.longestWord, t.end - t.begin);
        // Characters count as bytes, a double-byte one twice: the count errs towards refusing.
        if (t.kind == RtfToken::Text || t.word == "u") shape.longestParagraph = std::max(shape.longestParagraph, ++paragraph);
        if (BreaksParagraph(t.word)) paragraph = 0;
        if (skipLeft > 0 && t.kind == RtfToken::Text) {
            --skipLeft;
            continue;
        }
        const long long readings = skipLeft + 1;
        skipLeft = 0;
        if (t.kind == RtfToken::Open) {
            depth += readings;
            shape.deepest = std::max(shape.deepest, depth);
        } else if (t.kind == RtfToken::Close && --depth <= 0) {
            break;
        } else if (t.word == "uc") {
            skipLength = std::max(skipLength, t.param);
        } else if (t.word == "u") {
            skipLeft = skipLength;
        }
    }
    return shape;
}

// Control words that put something into the text rather than set a state; replaying them
// would repeat it.
bool MakesText(const std::string& word) {
    if (BreaksParagraph(word)) return true;
    static const char* const kWords[] = {"tab", "cell", "u", "bin",
        "emdash", "endash", "emspace", "enspace", "qmspace", "bullet", "lquote", "rquote", "ldblquote",
        "rdblquote", "zwj", "zwnj", "ltrmark", "rtlmark", "chdate", "chdpl", "chdpa", "chtime", "chpgn",
        "sectnum", "chftn", "nestcell", "nestrow", "softline", "softpage", "column", "rtf"};
    for (const char* w : kWords)
        if (word == w) return true;
    return false;
}

}  // namespace

std::vector<std::string> SplitRtf(const std::string& rtf, std::size_t pieceBytes) {
    if (rtf.size() <= pieceBytes) return {rtf};
    std::vector<std::string> pieces;
    RtfTokens tokens(rtf);
    std::string tables;  // the font, colour and style tables met so far, whole
    std::vector<std::pair<std::string, std::string>> state;  // each word's last use, in order of use
    std::string prefix;  // what a later piece starts with: its state at the cut
    std::size_t start = 0, tableStart = 0;
    int depth = 0;
    bool inTable = false, afterOpen = false;
    for (RtfToken t = tokens.Next(); t.kind != RtfToken::End; t = tokens.Next()) {
        const bool opened = afterOpen;
        afterOpen = false;
        if (t.kind == RtfToken::Open) {
            if (++depth == 2) tableStart = t.begin;
            afterOpen = depth == 2;
        } else if (t.kind == RtfToken::Close) {
            if (depth == 2 && inTable) tables += rtf.substr(tableStart, t.end - tableStart);
            if (depth == 2) inTable = false;
            if (--depth <= 0) break;
        } else if (t.kind == RtfToken::Word && depth == 2 && opened) {
            inTable = t.word == "fonttbl" || t.word == "colortbl" || t.word == "stylesheet";
        } else if (t.kind == RtfToken::Word && depth == 1) {
            if (t.word == "par" && t.end - start >= pieceBytes) {
                pieces.push_back(prefix + rtf.substr(start, t.end - start) + "}");
                start = t.end;
                prefix = "{\\rtf1" + tables;
                for (const auto& s : state) prefix += s.second;
                prefix += " ";
            } else if (!MakesText(t.word)) {
                std::string text = rtf.substr(t.begin, t.end - t.begin);
                while (!text.empty() && text.back() == ' ') text.pop_back();
                auto same = std::find_if(state.begin(), state.end(), [&](const auto& s) { return s.first == t.word; });
                if (same != state.end()) state.erase(same);
                state.emplace_back(t.word, text);
            }
        }
    }
    pieces.push_back(prefix + rtf.substr(start));
    return pieces;
}

int RtfGroupDepth(const std::string& rtf) { return static_cast<int>(std::min<long long>(WalkRtf(rtf).deepest, 1 << 30)); }

bool RtfReadable(const std::string& rtf) {
    const RtfShape shape = WalkRtf(rtf);
    return shape.deepest <= kMaxRtfGroupDepth && shape.longestWord <= kMaxRtfWord;
}

std::size_t LongestParagraph(const std::string& bytes, LogFormat format) {
    if (format == LogFormat::Rtf) {
        // Bytes that do not begin as RTF are no RTF to the reader, which takes nothing of them.
        const bool rtf = bytes.compare(0, 5, "{\\rtf") == 0 || bytes.compare(0, 6, "{\\urtf") == 0;
        return rtf ? WalkRtf(bytes).longestParagraph : 0;
    }
    std::size_t longest = 0, run = 0;
    for (char c : bytes) {
        run = c == '\r' || c == '\n' ? 0 : run + 1;
        longest = std::max(longest, run);
    }
    return longest;
}

bool AskFileName(TFileDialog& dialog) {
    dialog.FileName.clear();
    return dialog.Execute() && !dialog.FileName.empty();
}

void OpenLogFile(TFileDialog& dialog, IFiles& files, ILogDocument& log, bool plainText) {
    if (AskFileName(dialog)) ReadLogFile(dialog.FileName, files, log, plainText);
}

void ReadLogFile(const std::string& utf8Path, IFiles& files, ILogDocument& log, bool plainText) {
    // Read before the log is touched: a file that cannot be opened or read, or that the log
    // cannot take, must not cost the user the log they have not saved yet.
    const std::string bytes = files.ReadAll(utf8Path, kMaxLogFileBytes);
    auto refuse = [&](const std::string& reason) { throw files.CannotOpen(utf8Path, reason); };
    if (bytes.size() > kMaxLogFileBytes) refuse(texts::LogFileTooBig(kMaxLogFileBytes >> 20));
    try {
        if (!plainText && RtfReadable(bytes)) {
            if (LongestParagraph(bytes, LogFormat::Rtf) > kMaxLogParagraph) refuse(texts::LogLineTooLong(kMaxLogParagraph));
            if (log.Load(bytes, LogFormat::Rtf)) return;
        }
        // A file read as text shows whatever it holds, RTF markup included.
        if (LongestParagraph(bytes, LogFormat::Text) > kMaxLogParagraph) refuse(texts::LogLineTooLong(kMaxLogParagraph));
        if (!log.Load(bytes, LogFormat::Text)) throw FileError(kLoadStreamError);
    } catch (const LogOutOfRoom&) {
        refuse(texts::kLogOutOfRoom);
    }
}

void SaveLogFile(TFileDialog& dialog, IFiles& files, ILogDocument& log, bool& plainText) {
    if (AskFileName(dialog)) WriteLogFile(dialog.FileName, files, log, plainText);
}

void WriteLogFile(const std::string& utf8Path, IFiles& files, ILogDocument& log, bool& plainText) {
    plainText = PlainTextForFileName(utf8Path);
    // The whole file is made before the old one is replaced, so a log that cannot be
    // streamed out costs no file.
    std::string bytes;
    if (!log.Save(plainText ? LogFormat::Text : LogFormat::Rtf, bytes)) throw FileError(kSaveStreamError);
    files.WriteAll(utf8Path, bytes);
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
