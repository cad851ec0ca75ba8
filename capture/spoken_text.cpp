// What is spoken for a message; see spoken_text.h.
//
// Every filter walks the body character by character in the system's code page, because a
// GBK trail byte may be any byte from 0x40 up: a byte-wise scan would count "哈" as two, see a
// repeat inside two different characters, or cut one in half.
#include "capture/spoken_text.h"

#include <cstddef>
#include <vector>

#include "base/string_table.h"
#include "base/text.h"

namespace {

const char* const kLinkWord = texts::kSpokenLink;
const char* const kOmitted = texts::kSpokenOmitted;
const std::string kFullWidthSemicolon = "\xa3\xbb";                      // ；
const std::string kFullWidthSpace = "\xa1\xa1";                          // U+3000

// The length in bytes of the character that starts at i.
std::size_t CharLength(const std::string& s, std::size_t i, const ILeadBytes& lead) {
    return lead.IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

bool StartsWithNoCase(const std::string& s, std::size_t at, const char* prefix) {
    for (std::size_t k = 0; prefix[k]; ++k) {
        if (at + k >= s.size()) return false;
        if (text::LowerAscii(s[at + k]) != prefix[k]) return false;
    }
    return true;
}

// A link runs to the next blank, line break or character outside ASCII.
bool EndsLink(char c) { return static_cast<unsigned char>(c) <= 0x20 || static_cast<unsigned char>(c) >= 0x80; }

std::string ReplaceLinks(const std::string& s, const ILeadBytes& lead) {
    static const char* const kStarts[] = {"http://", "https://", "ftp://", "www."};
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
        bool link = false;
        for (const char* start : kStarts) link = link || StartsWithNoCase(s, i, start);
        if (link) {
            while (i < s.size() && !EndsLink(s[i])) ++i;
            out += kLinkWord;
            continue;
        }
        const std::size_t n = CharLength(s, i, lead);
        out.append(s, i, n);
        i += n;
    }
    return out;
}

std::string SqueezeRepeats(const std::string& s, const ILeadBytes& lead) {
    std::string out;
    std::string previous;
    int run = 0;
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t n = CharLength(s, i, lead);
        std::string c = s.substr(i, n);
        i += n;
        run = c == previous ? run + 1 : 1;
        if (run <= 3) out += c;
        previous = std::move(c);
    }
    return out;
}

std::string CutToLength(const std::string& s, const ILeadBytes& lead, int maxLength) {
    if (maxLength <= 0) return s;
    std::size_t i = 0;
    for (int count = 0; i < s.size(); ++count) {
        if (count == maxLength) return s.substr(0, i) + kOmitted;
        i += CharLength(s, i, lead);
    }
    return s;
}

// A blank around a name: an ASCII one, or the full-width space an IME types after "；".
bool IsBlank(const std::string& c) {
    return (c.size() == 1 && static_cast<unsigned char>(c[0]) <= 0x20) || c == kFullWidthSpace;
}

// The names of a list, each trimmed; empty names are dropped. The list is walked by the code
// page's characters: a trail byte (A3 in "埃", B0 A3) and the next lead byte may look like
// "；" (A3 BB), and a byte from 0x80 up need not lead ("€" is the single byte 80 in 936).
std::vector<std::string> SplitNames(const std::string& list, const ILeadBytes& lead) {
    std::vector<std::string> names;
    std::string current;
    std::size_t kept = 0;  // the bytes of current up to its last character that is no blank
    auto flush = [&] {
        if (kept) names.push_back(current.substr(0, kept));
        current.clear();
        kept = 0;
    };
    for (std::size_t i = 0; i < list.size();) {
        const std::size_t n = CharLength(list, i, lead);
        const std::string c = list.substr(i, n);
        i += n;
        if (c == ";" || c == kFullWidthSemicolon) {
            flush();
        } else if (!IsBlank(c) || !current.empty()) {
            current += c;
            if (!IsBlank(c)) kept = current.size();
        }
    }
    flush();
    return names;
}

}  // namespace

int ClampMaxLength(int value) {
    if (value <= 0) return 0;
    if (value < 10) return 10;
    return value > 1000 ? 1000 : value;
}

int ParseMaxLength(const std::string& text) {
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size()) {
            if (static_cast<unsigned char>(text[i]) <= 0x20) ++i;
            else if (text.compare(i, kFullWidthSpace.size(), kFullWidthSpace) == 0) i += kFullWidthSpace.size();
            else break;
        }
    };
    skipBlanks();
    const std::size_t first = i;
    int value = 0;
    while (i < text.size()) {
        int digit;
        if (text[i] >= '0' && text[i] <= '9') {
            digit = text[i] - '0';
            i += 1;
        } else if (static_cast<unsigned char>(text[i]) == 0xA3 && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) >= 0xB0 && static_cast<unsigned char>(text[i + 1]) <= 0xB9) {
            digit = static_cast<unsigned char>(text[i + 1]) - 0xB0;
            i += 2;
        } else {
            break;
        }
        // Past the upper bound every number is the bound: no overflow, however many digits.
        value = value > 1000 ? value : value * 10 + digit;
    }
    if (i == first) return 0;
    skipBlanks();
    return i == text.size() ? ClampMaxLength(value) : 0;
}

namespace {

// True when the sender, trimmed of blanks, is one of the names in list (each trimmed of
// blanks, full-width spaces included), walked by the characters lead tells.
bool IsNameInList(const std::string& list, const std::string& sender, const ILeadBytes& lead) {
    const std::string name = text::Trim(sender);
    if (name.empty()) return false;
    for (const std::string& n : SplitNames(list, lead))
        if (n == name) return true;
    return false;
}

// The body as the filters leave it (mute aside), in their order: links, repeats, the cut.
std::string FilterBody(const SpeechFilters& f, const ILeadBytes& lead, const std::string& body) {
    std::string s = f.noLinks ? ReplaceLinks(body, lead) : body;
    if (f.squeeze) s = SqueezeRepeats(s, lead);
    return CutToLength(s, lead, f.maxLength);
}

}  // namespace

std::optional<std::string> SpokenText(const SpeechFilters& f, const ILeadBytes& lead, bool message, bool name,
                                      const std::string& sender, const std::string& body) {
    if (!message && !name) return std::nullopt;
    if (IsNameInList(f.mute, sender, lead)) return std::nullopt;
    if (!message) return sender + gbk::kSaidColon;
    const std::string said = FilterBody(f, lead, body);
    return name ? sender + gbk::kSaidColon + said : said;
}
