// The message log's commands; see log_commands.h.
#include "app/log_commands.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "base/string_table.h"
#include "base/text.h"

namespace {

std::string LowerAscii(std::string s) {
    for (char& c : s) c = text::LowerAscii(c);
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
    std::string_view word;  // into the RTF itself: a walk over megabytes allocates nothing per token
    long long param = -1;           // -1 when the word has none
    std::size_t begin = 0, end = 0;  // the token's bytes, a control word's delimiting space included
};

class RtfTokens {
public:
    explicit RtfTokens(const std::string& rtf) : s_(rtf), n_(std::min(rtf.size(), rtf.find('\0'))) {}
    const std::string& Source() const { return s_; }

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
            const std::size_t first = i_ - 1;
            while (i_ < n_ && Alpha(s_[i_])) ++i_;
            t.word = std::string_view(s_).substr(first, i_ - first);
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

bool BreaksParagraph(std::string_view word) {
    return word == "par" || word == "sect" || word == "page" || word == "row" || word == "line";
}

struct RtfShape {
    long long deepest = 0;
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
    for (RtfToken t = tokens.Next(); t.kind != RtfToken::End; t = tokens.Next()) {
        if (t.kind == RtfToken::Word) shape.longestWord = std::max(shape.longestWord, t.end - t.begin);
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
        } else if (t.kind != RtfToken::Word) {
            continue;
        } else if (t.word == "uc") {
            skipLength = std::max(skipLength, t.param);
        } else if (t.word == "u") {
            skipLeft = skipLength;
        }
    }
    return shape;
}

// Groups whose text the reader keeps out of the document: tables, pictures, fields'
// instructions, headers, and whatever a "\*" marks as skippable.
bool Destination(std::string_view word) {
    static const char* const kWords[] = {"fonttbl", "colortbl", "stylesheet", "info", "pict", "object", "objdata",
        "fldinst", "header", "headerl", "headerr", "headerf", "footer", "footerl", "footerr", "footerf", "footnote",
        "listtable", "listoverridetable", "rsidtbl", "generator", "themedata", "colorschememapping", "latentstyles",
        "datastore", "xmlnstbl", "revtbl", "filetbl", "nonshppict", "shppict", "bkmkstart", "bkmkend", "annotation",
        "atnid", "atnauthor", "author", "title", "subject", "operator", "keywords", "comment", "doccomm", "company"};
    for (const char* w : kWords)
        if (word == w) return true;
    return false;
}

// The document's text as the control lays it out, token by token: characters outside
// destinations, counted in bytes (a "\u" character as two), and the paragraph breaks. Knows
// where a break may go without cutting a character: not between a lead byte and its trail
// (by the code page "\ansicpg" names), nor between a "\u" and the characters it skips.
class RtfBody {
public:
    explicit RtfBody(const std::string& rtf) : tokens_(rtf) {}

    RtfToken Next() {
        const RtfToken t = tokens_.Next();
        ended_ = false;
        const bool opened = justOpened_;
        justOpened_ = false;
        if (t.kind == RtfToken::Open) {
            skipped_.push_back(!skipped_.empty() && skipped_.back());
            justOpened_ = true;
        } else if (t.kind == RtfToken::Close) {
            if (!skipped_.empty()) skipped_.pop_back();
            skipLeft_ = 0;
        } else if (opened && !skipped_.empty() &&
                   ((t.kind == RtfToken::Symbol && t.end - t.begin == 2 && Source()[t.begin + 1] == '*') ||
                    (t.kind == RtfToken::Word && Destination(t.word)))) {
            skipped_.back() = true;
        }
        if (t.kind == RtfToken::Word && t.word.size() == 7 && t.word == "ansicpg") codePage_ = t.param;
        if (t.kind == RtfToken::Word && t.word.size() == 2 && t.word == "uc") skipLength_ = std::max<long long>(0, t.param);
        const bool body = !skipped_.empty() && !skipped_.back();
        if (t.kind == RtfToken::Text && skipLeft_ > 0) {
            --skipLeft_;
        } else if (t.kind == RtfToken::Text && body) {
            ++paragraph_;
            lead_ = !lead_ && Lead(TextByte(t));
        } else if (t.kind == RtfToken::Word && body) {
            lead_ = false;
            skipLeft_ = 0;
            if (t.word == "u") {
                paragraph_ += 2;
                skipLeft_ = skipLength_;
            } else if (t.word == "tab") {
                ++paragraph_;
                ++tabs_;
            } else if (BreaksParagraph(t.word)) {
                ended_ = true;
                endedLength_ = paragraph_;
                endedTabs_ = tabs_;
                paragraph_ = tabs_ = 0;
            }
        }
        return t;
    }
    // The bytes of the paragraph so far, and its tabs.
    std::size_t Paragraph() const { return paragraph_; }
    std::size_t Tabs() const { return tabs_; }
    // Whether the last token ended a paragraph, and that paragraph's bytes and tabs.
    bool Ended() const { return ended_; }
    std::size_t EndedLength() const { return endedLength_; }
    std::size_t EndedTabs() const { return endedTabs_; }
    // Whether a paragraph break may go after the last token: between characters.
    bool CanBreak() const { return !skipped_.empty() && !skipped_.back() && !lead_ && skipLeft_ == 0; }
    // Whether the last token was a lead byte, its trail still to come.
    bool LeadPending() const { return lead_; }
    // Starts a new paragraph, for a break put in before the last token, which took this many bytes.
    void Broke(std::size_t last) {
        paragraph_ = last;
        tabs_ = 0;
    }

private:
    const std::string& Source() const { return tokens_.Source(); }
    // The byte a text token stands for: itself, the escaped one, or the "\'hh" one.
    unsigned char TextByte(const RtfToken& t) const {
        const std::string& s = Source();
        if (t.end - t.begin == 4 && s[t.begin + 1] == '\'') {
            auto hex = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
            return static_cast<unsigned char>((hex(s[t.begin + 2]) << 4) | (hex(s[t.begin + 3]) & 15));
        }
        return static_cast<unsigned char>(s[t.end - 1]);
    }
    bool Lead(unsigned char c) const {
        if (codePage_ == 932) return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        if (codePage_ == 936 || codePage_ == 949 || codePage_ == 950 || codePage_ < 0) return c >= 0x81 && c <= 0xFE;
        return false;
    }
    RtfTokens tokens_;
    std::vector<bool> skipped_;  // per open group: its text stays out of the document
    bool justOpened_ = false, lead_ = false, ended_ = false;
    long long codePage_ = -1, skipLength_ = 1, skipLeft_ = 0;
    std::size_t paragraph_ = 0, tabs_ = 0, endedLength_ = 0, endedTabs_ = 0;
};

// Control words that put something into the text rather than set a state; replaying them
// would repeat it.
bool MakesText(std::string_view word) {
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

// Fitted to tools/log_open_bench's lines (per line of n bytes): time 0.03 ms at 16 bytes,
// 0.4 ms at 64 (wide letters, three rows), 1.4 ms at 256, 6.5 ms at 512, 25 ms at 1,024, 63 ms
// at 2,048, 280 ms at 4,096; every row after the first costs its measuring, and each row
// measures the rest of its line again. Address space 2.9 KB at 16 bytes, 5.5 KB at 24 (a chat
// log as text), 7.8 KB at 24 coloured (as RTF, 10 MB of it), 71 KB at 256, 272 KB at 512, 1 MB
// at 1,024, 3.8 MB at 2,048 (words), rounded up by a fifth. A tab is laid out as an item of its
// own: 0.2 ms and 0.9 KB each.
LayoutCost LineCost(std::size_t bytes, std::size_t tabs) {
    const double n = static_cast<double>(bytes), wrapped = std::max(0.0, n - 32);
    return {0.02 + 0.005 * wrapped + 1.6e-5 * n * n + 0.2 * static_cast<double>(tabs),
            6144 + 100 * n + 1.1 * n * n + 1280 * static_cast<double>(tabs)};
}

LayoutCost ParagraphCost(std::size_t bytes, std::size_t tabs) {
    LayoutCost cost = bytes > 0 && bytes % kMaxLogLine == 0 ? LayoutCost{0.2 * static_cast<double>(tabs), 1280.0 * static_cast<double>(tabs)}
                                                             : LineCost(bytes % kMaxLogLine, tabs);
    const double whole = static_cast<double>(bytes / kMaxLogLine);
    const LayoutCost line = LineCost(kMaxLogLine, 0);
    cost.ms += whole * line.ms;
    cost.bytes += whole * line.bytes;
    return cost;
}

LayoutCost LogLayoutCost(const std::string& bytes, LogFormat format) {
    LayoutCost total;
    auto add = [&](std::size_t length, std::size_t tabs) {
        const LayoutCost c = ParagraphCost(length, tabs);
        total.ms += c.ms;
        total.bytes += c.bytes;
        total.longest = std::max(total.longest, length);
    };
    if (format == LogFormat::Rtf) {
        RtfBody body(bytes);
        for (RtfToken t = body.Next(); t.kind != RtfToken::End; t = body.Next())
            if (body.Ended()) add(body.EndedLength(), body.EndedTabs());
        add(body.Paragraph(), body.Tabs());
        return total;
    }
    std::size_t length = 0, tabs = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
            add(length, tabs);
            length = tabs = 0;
        } else {
            ++length;
            tabs += c == '\t';
        }
    }
    add(length, tabs);
    return total;
}

std::string WrapRtf(const std::string& rtf, std::size_t maxLine) {
    RtfBody body(rtf);
    std::string out;
    std::size_t copied = 0;
    for (;;) {
        const std::size_t before = body.Paragraph();
        const bool canBreak = body.CanBreak();
        const RtfToken t = body.Next();
        if (t.kind == RtfToken::End) break;
        if (body.Ended() || body.Paragraph() <= before) continue;
        // The break goes before the character that would not fit, a lead byte counting with
        // its trail, so that no line ends in a break of its own.
        const std::size_t added = body.Paragraph() - before;
        if (before > 0 && canBreak && before + added + (body.LeadPending() ? 1 : 0) > maxLine) {
            out.append(rtf, copied, t.begin - copied);
            out += "\\par ";
            copied = t.begin;
            body.Broke(added);
        }
    }
    if (copied == 0) return rtf;
    out.append(rtf, copied, std::string::npos);
    return out;
}

std::vector<std::string> SplitRtf(const std::string& rtf, std::size_t pieceBytes, double pieceMs) {
    if (rtf.size() <= pieceBytes && pieceMs <= 0) return {rtf};
    std::vector<std::string> pieces;
    RtfBody tokens(rtf);
    std::string tables;  // the font, colour and style tables met so far, whole
    std::vector<std::pair<std::string_view, std::string>> state;  // each word's last use, in order of use
    std::string prefix;  // what a later piece starts with: its state at the cut
    std::size_t start = 0, tableStart = 0;
    int depth = 0;
    bool inTable = false, afterOpen = false;
    double ms = 0;  // the layout the piece so far costs
    for (RtfToken t = tokens.Next(); t.kind != RtfToken::End; t = tokens.Next()) {
        const bool opened = afterOpen;
        afterOpen = false;
        if (tokens.Ended()) ms += ParagraphCost(tokens.EndedLength(), tokens.EndedTabs()).ms;
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
            if (t.word == "par" && (t.end - start >= pieceBytes || (pieceMs > 0 && ms >= pieceMs))) {
                pieces.push_back(prefix + rtf.substr(start, t.end - start) + "}");
                start = t.end;
                ms = 0;
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
    // Bytes that do not begin as RTF are no RTF to the reader, which takes nothing of them:
    // walking megabytes of text for it would only keep the window waiting.
    if (rtf.compare(0, 5, "{\\rtf") != 0 && rtf.compare(0, 6, "{\\urtf") != 0) return false;
    const RtfShape shape = WalkRtf(rtf);
    return shape.deepest <= kMaxRtfGroupDepth && shape.longestWord <= kMaxRtfWord;
}

bool AskFileName(TFileDialog& dialog) {
    dialog.FileName.clear();
    return dialog.Execute() && !dialog.FileName.empty();
}

void ReadLogFile(const std::string& utf8Path, IFiles& files, ILogDocument& log, bool plainText) {
    // Read before the log is touched: a file that cannot be opened or read, or that the log
    // cannot take, must not cost the user the log they have not saved yet.
    const std::string bytes = files.ReadAll(utf8Path, kMaxLogFileBytes);
    auto refuse = [&](const std::string& reason) { throw files.CannotOpen(utf8Path, reason); };
    if (bytes.size() > kMaxLogFileBytes) refuse(texts::LogFileTooBig(kMaxLogFileBytes >> 20));
    try {
        if (!plainText && RtfReadable(bytes) && log.Load(bytes, LogFormat::Rtf)) return;
        // A file read as text shows whatever it holds, RTF markup included.
        if (!log.Load(bytes, LogFormat::Text)) throw FileError(kLoadStreamError);
    } catch (const LogOutOfRoom&) {
        refuse(texts::kLogOutOfRoom);
    }
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
