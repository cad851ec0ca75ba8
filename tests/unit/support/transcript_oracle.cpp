// The literal transcript rules, written line by line without any shortcut; see the header.
#include "support/transcript_oracle.h"

#include "base/text.h"

namespace oracle {

namespace {

// Every time-of-day prefix the chat client may write; any one of them in a line makes it a
// header line. Listed in full, as the rules state them, rather than as "digit then colon".
const char* const kHeaderTokens[] = {
    "0:",  "1:",  "2:",  "3:",  "4:",  "5:",  "6:",  "7:",  "8:",  "9:",  "10:",
    "11:", "12:", "13:", "14:", "15:", "16:", "17:", "18:", "19:", "20:", "21:",
    "22:", "23:", "01:", "02:", "03:", "04:", "05:", "06:", "07:", "08:", "09:"};

// The hour as it follows the nickname, tried in this order; the order decides the result.
const char* const kCutTokens[] = {
    " 1",  " 2",  " 3",  " 4",  " 5",  " 6",  " 7",  " 8",  " 9",  " 10", " 11",
    " 12", " 13", " 14", " 15", " 16", " 17", " 18", " 19", " 20", " 21", " 22",
    " 23", " 01", " 02", " 03", " 04", " 05", " 06", " 07", " 08", " 09"};

bool Has(const std::string& s, const std::string& k) { return s.find(k) != std::string::npos; }

bool IsHeaderLine(const std::string& line) {
    for (const char* t : kHeaderTokens) {
        if (Has(line, t)) return true;
    }
    return false;
}

// Index of the bottom-most header line, or -1.
long FindHeader(const std::vector<std::string>& lines) {
    for (long i = static_cast<long>(lines.size()) - 1; i >= 0; --i) {
        if (IsHeaderLine(lines[i])) return i;
    }
    return -1;
}

// Every occurrence, left to right, as a text editor's "replace all" does.
std::string ReplaceAll(const std::string& s, const std::string& from, const std::string& to) {
    std::string out;
    std::size_t pos = 0;
    for (;;) {
        std::size_t p = s.find(from, pos);
        if (p == std::string::npos) break;
        out += s.substr(pos, p - pos);
        out += to;
        pos = p + from.size();
    }
    return out + s.substr(pos);
}

}  // namespace

// A line runs to the next CR or LF; then one CR and one LF are skipped if present, so LF CR
// ends a line and then an empty one, and a break at the very end adds no empty line.
std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t start = i;
        while (i < text.size() && text[i] != '\r' && text[i] != '\n') ++i;
        lines.push_back(text.substr(start, i - start));
        if (i < text.size() && text[i] == '\r') ++i;
        if (i < text.size() && text[i] == '\n') ++i;
    }
    return lines;
}

std::string GetLastHeader(const std::string& transcript) {
    std::vector<std::string> lines = SplitLines(transcript);
    long h = FindHeader(lines);
    if (h < 0) return "";
    return text::Trim(lines[h]);
}

std::string GetLastSender(const std::string& transcript) {
    std::vector<std::string> lines = SplitLines(transcript);
    long h = FindHeader(lines);
    std::string nick;
    if (h >= 0) {
        const std::string& l = lines[h];
        std::string t = text::Trim(l);
        // Each token the line holds overrides the cut of the ones before it; the cut is made
        // in the trimmed line, so a token seen only across leading blanks leaves nothing.
        for (const char* k : kCutTokens) {
            if (!Has(l, k)) continue;
            std::size_t p = t.find(k);
            nick = p == std::string::npos ? std::string() : t.substr(0, p);
        }
    }
    if (Has(nick, "(") && Has(nick, ")")) nick = nick.substr(0, nick.find('('));
    if (Has(nick, "<") && Has(nick, ">")) nick = nick.substr(0, nick.find('<'));
    if (IsAllDigits(nick)) nick = SpaceOutDigits(nick);
    return nick;
}

std::string GetLastMessageBody(const std::string& transcript) {
    std::vector<std::string> lines = SplitLines(transcript);
    long h = FindHeader(lines);
    if (h < 0) h = 0;  // no header line: the first line stands in for it
    std::vector<std::string> collected;
    for (std::size_t i = static_cast<std::size_t>(h) + 1; i < lines.size(); ++i) collected.push_back(lines[i]);
    std::string joined;
    for (const std::string& l : collected) joined += l + "\r\n";
    return text::Trim(joined);
}

bool IsAllDigits(const std::string& text) {
    for (unsigned char c : text) {
        if (c < 0x30 || c > 0x39) return false;
    }
    return true;
}

std::string SpaceOutDigits(const std::string& text) {
    // One pass per digit: the spaces put in by one pass are never touched by another.
    std::string s = text;
    for (char d = '0'; d <= '9'; ++d) s = ReplaceAll(s, std::string(1, d), std::string(" ") + d);
    return text::Trim(s);
}

}  // namespace oracle
