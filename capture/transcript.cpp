// Finding the newest message in a chat transcript. The watcher calls these routines several
// times a second on the whole chat history, which only ever grows, so every routine works
// backwards from the end of the text and costs in proportion to the newest message rather
// than to the transcript. The results are those of splitting the whole text into lines and
// searching them from the bottom; the unit tests hold a literal version of that to compare.
#include "capture/transcript.h"

#include <cstddef>

#include "base/text.h"

namespace {

using Size = std::size_t;

bool IsBreak(char c) { return c == '\r' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Where the bottom-most header line sits: [begin, end) is its content without the break.
struct HeaderSpan {
    bool found = false;
    Size begin = 0;
    Size end = 0;
};

// A header line is one holding a digit immediately followed by ':'. Neither byte is a line
// break, so the last such pair in the text lies in the bottom-most header line, and no line
// list is needed to find it: only the bytes after it and the line around it are read.
HeaderSpan FindLastHeader(const std::string& s) {
    HeaderSpan span;
    for (Size i = s.size(); i >= 2; --i) {
        if (s[i - 1] == ':' && IsDigit(s[i - 2])) {
            Size b = i - 2;
            while (b > 0 && !IsBreak(s[b - 1])) --b;
            Size e = i;
            while (e < s.size() && !IsBreak(s[e])) ++e;
            span.found = true;
            span.begin = b;
            span.end = e;
            break;
        }
    }
    return span;
}

// Skips the break that ends a line at `pos`: one CR if there is one, then one LF if there is
// one. A lone LF followed by CR thus ends one line, and the CR then ends an empty one.
Size SkipBreak(const std::string& s, Size pos) {
    if (pos < s.size() && s[pos] == '\r') ++pos;
    if (pos < s.size() && s[pos] == '\n') ++pos;
    return pos;
}

// The lines from `pos` (a line start) to the end of the text, each followed by CR LF.
std::string JoinLinesFrom(const std::string& s, Size pos) {
    std::string out;
    out.reserve(s.size() - pos + 16);
    while (pos < s.size()) {
        Size e = pos;
        while (e < s.size() && !IsBreak(s[e])) ++e;
        out.append(s, pos, e - pos);
        out += "\r\n";
        pos = SkipBreak(s, e);
    }
    return out;
}

// The cut tokens in the order they are tried. Each later match overrides the earlier ones,
// so only the last token that the header line holds matters.
const char* const kCutTokens[] = {
    " 1",  " 2",  " 3",  " 4",  " 5",  " 6",  " 7",  " 8",  " 9",  " 10", " 11",
    " 12", " 13", " 14", " 15", " 16", " 17", " 18", " 19", " 20", " 21", " 22",
    " 23", " 01", " 02", " 03", " 04", " 05", " 06", " 07", " 08", " 09"};
constexpr Size kCutTokenCount = sizeof(kCutTokens) / sizeof(kCutTokens[0]);

// Cuts a nickname at the opening bracket when both brackets of the pair are in it.
void CutAtBracket(std::string& nick, char open, char close) {
    Size p = nick.find(open);
    if (p != std::string::npos && nick.find(close) != std::string::npos) nick.erase(p);
}

}  // namespace

std::string GetLastHeader(const std::string& transcript) {
    HeaderSpan h = FindLastHeader(transcript);
    if (!h.found) return {};
    return text::Trim(transcript.substr(h.begin, h.end - h.begin));
}

std::string GetLastSender(const std::string& transcript) {
    HeaderSpan h = FindLastHeader(transcript);
    std::string nick;
    if (h.found) {
        const std::string line = transcript.substr(h.begin, h.end - h.begin);
        const std::string trimmed = text::Trim(line);
        // The winner is decided on the line as it stands, but the cut is made in the trimmed
        // line: a token that only spans the leading white space therefore leaves nothing.
        for (Size i = kCutTokenCount; i-- > 0;) {
            if (line.find(kCutTokens[i]) == std::string::npos) continue;
            Size p = trimmed.find(kCutTokens[i]);
            if (p != std::string::npos) nick = trimmed.substr(0, p);
            break;
        }
    }
    CutAtBracket(nick, '(', ')');
    CutAtBracket(nick, '<', '>');
    if (IsAllDigits(nick)) nick = SpaceOutDigits(nick);
    return nick;
}

std::string GetLastMessageBody(const std::string& transcript) {
    HeaderSpan h = FindLastHeader(transcript);
    Size lineEnd;
    if (h.found) {
        lineEnd = h.end;
    } else {
        // Without a header line the body is everything below the first line, as if the first
        // line were the header; its end is cheap to find from the front.
        lineEnd = 0;
        while (lineEnd < transcript.size() && !IsBreak(transcript[lineEnd])) ++lineEnd;
    }
    return text::Trim(JoinLinesFrom(transcript, SkipBreak(transcript, lineEnd)));
}

bool IsAllDigits(const std::string& text) {
    for (char c : text) {
        if (!IsDigit(c)) return false;
    }
    return true;
}

std::string SpaceOutDigits(const std::string& text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (char c : text) {
        if (IsDigit(c)) out += ' ';
        out += c;
    }
    return text::Trim(out);
}

namespace {

// A header line as the messenger writes one: it ends with a time of day, H:MM:SS or HH:MM:SS,
// after white space. A body may well hold a digit before a colon ("下午3:30见", a link with a
// port); it never ends a line with a time standing apart.
bool EndsWithTimeOfDay(const std::string& s, Size begin, Size end) {
    while (end > begin && (s[end - 1] == ' ' || s[end - 1] == '\t')) --end;
    if (end - begin < 8) return false;
    const Size t = end - 8;  // "MM:SS" and the colon before them, then one or two digits
    if (!(IsDigit(s[t + 3]) && IsDigit(s[t + 4]) && s[t + 5] == ':' && IsDigit(s[t + 6]) && IsDigit(s[t + 7]) &&
          s[t + 2] == ':' && IsDigit(s[t + 1])))
        return false;
    const Size h = IsDigit(s[t]) ? t : t + 1;
    return h > begin && (s[h - 1] == ' ' || s[h - 1] == '\t');
}

}  // namespace

std::vector<ChatMessage> MessagesFrom(const std::string& transcript, Size from) {
    const std::string& s = transcript;
    Size pos = from < s.size() ? from : s.size();
    // Begin at a line start: the rest of a line that `from` falls inside belongs to it.
    if (pos > 0 && pos < s.size()) {
        if (!IsBreak(s[pos - 1])) {
            while (pos < s.size() && !IsBreak(s[pos])) ++pos;
            pos = SkipBreak(s, pos);
        } else if (s[pos - 1] == '\r' && s[pos] == '\n') {
            ++pos;
        }
    }
    struct Line {
        Size begin, end;
    };
    std::vector<Line> headers;
    while (pos < s.size()) {
        Size e = pos;
        while (e < s.size() && !IsBreak(s[e])) ++e;
        if (EndsWithTimeOfDay(s, pos, e)) headers.push_back({pos, e});
        pos = SkipBreak(s, e);
    }
    std::vector<ChatMessage> messages;
    messages.reserve(headers.size());
    for (Size i = 0; i < headers.size(); ++i) {
        const std::string line = s.substr(headers[i].begin, headers[i].end - headers[i].begin);
        const Size bodyEnd = i + 1 < headers.size() ? headers[i + 1].begin : s.size();
        const Size bodyBegin = SkipBreak(s, headers[i].end);
        std::string body = bodyBegin < bodyEnd ? JoinLinesFrom(s.substr(0, bodyEnd), bodyBegin) : std::string();
        messages.push_back({text::Trim(line), GetLastSender(line), text::Trim(body)});
    }
    return messages;
}
