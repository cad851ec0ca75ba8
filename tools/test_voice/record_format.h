// The test voice's record: what the voice writes for every request and how tests read it
// back. One line per event, UTF-8, fields separated by tabs, so grep and awk read it too:
//
//   begin <id> <ms> <voice> <rate> <volume> <flags> <Hz>
//   frag  <id> <action> <text>
//   end   <id> <ms> completed|aborted <bytes> <fnv1a> <why>
//
// <id> ("<process id>-<n>") ties the lines of one request together: several voices and
// processes append to one file, so their lines interleave. <ms> is milliseconds since the
// Unix epoch with a fraction, comparable with the Linux host's clock. <flags> is the
// request's dwSpeakFlags in hex, <Hz> the sample rate the voice wrote, <fnv1a> the 32-bit
// FNV-1a hash of the audio bytes in hex, <why> "-" when completed, else "action" (SAPI asked
// to abort), "nowrite" (the site took no bytes) or the HRESULT of a failed write. Tabs, line
// breaks and backslashes inside <voice> and <text> are written \t \n \r \\.
// Portable and header-only: the voice DLL writes with it, the tests parse with it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace test_voice {

constexpr std::uint32_t kFnvBasis = 0x811C9DC5u;

// FNV-1a over bytes, continued from an earlier value so audio can be hashed chunk by chunk.
inline std::uint32_t Fnv1a(const void* data, std::size_t size, std::uint32_t hash = kFnvBasis) {
    const unsigned char* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) {
        hash ^= p[i];
        hash *= 0x01000193u;
    }
    return hash;
}

// SAPI's fragment actions (SPVACTIONS) in their numeric order.
inline std::string ActionName(int action) {
    static const char* const names[] = {"Speak", "Silence", "Pronounce", "Bookmark",
                                        "SpellOut", "Section", "ParseUnknownTag"};
    if (action >= 0 && action < 7) return names[action];
    return "Action" + std::to_string(action);
}

inline std::string Escape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '\t': out += "\\t"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\\': out += "\\\\"; break;
            default: out += c;
        }
    }
    return out;
}

// The inverse of Escape; an unknown escape keeps its character, a lone trailing backslash
// stays a backslash.
inline std::string Unescape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        char c = text[++i];
        out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    }
    return out;
}

inline std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields(1);
    for (char c : line) {
        if (c == '\t') fields.emplace_back();
        else fields.back() += c;
    }
    return fields;
}

// Milliseconds with four decimals, from 100 ns units since the Unix epoch, written from the
// integer so no digit is lost to a double's precision.
inline std::string FormatMs(std::uint64_t unix100ns) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%llu.%04u", static_cast<unsigned long long>(unix100ns / 10000),
                  static_cast<unsigned>(unix100ns % 10000));
    return buf;
}

inline std::string Hex(unsigned long value, int width) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%0*lx", width, value);
    return buf;
}

inline std::string BeginLine(const std::string& id, std::uint64_t unix100ns, const std::string& voice, long rate,
                             unsigned volume, unsigned long flags, unsigned sampleRate) {
    return "begin\t" + id + "\t" + FormatMs(unix100ns) + "\t" + Escape(voice) + "\t" + std::to_string(rate) + "\t" +
           std::to_string(volume) + "\t0x" + Hex(flags, 1) + "\t" + std::to_string(sampleRate) + "\n";
}

inline std::string FragmentLine(const std::string& id, int action, const std::string& text) {
    return "frag\t" + id + "\t" + ActionName(action) + "\t" + Escape(text) + "\n";
}

inline std::string EndLine(const std::string& id, std::uint64_t unix100ns, bool completed, unsigned long long bytes,
                           std::uint32_t hash, const std::string& why) {
    return "end\t" + id + "\t" + FormatMs(unix100ns) + "\t" + (completed ? "completed" : "aborted") + "\t" +
           std::to_string(bytes) + "\t" + Hex(hash, 8) + "\t" + (completed ? "-" : why) + "\n";
}

struct RecordedFragment {
    std::string action;
    std::string text;  // UTF-8
};

// One request as the record tells it. An utterance still being spoken has no end line yet.
struct RecordedUtterance {
    std::string id;
    double beginMs = 0;
    std::string voice;  // UTF-8
    long rate = 0;
    unsigned volume = 0;
    unsigned long flags = 0;
    unsigned sampleRate = 0;
    std::vector<RecordedFragment> fragments;
    bool ended = false;
    double endMs = 0;
    bool completed = false;
    unsigned long long bytes = 0;
    std::uint32_t hash = 0;
    std::string why;
};

// The utterances of a whole record in the order they began. Lines of unknown kinds, lines
// with missing fields and lines of a request whose begin line is missing are skipped: a
// reader may catch a file while another process is appending to it.
inline std::vector<RecordedUtterance> ParseRecord(const std::string& bytes) {
    std::vector<RecordedUtterance> out;
    std::map<std::string, std::size_t> byId;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) break;  // a line not yet complete
        std::vector<std::string> f = SplitTabs(bytes.substr(start, end - start));
        start = end + 1;
        if (f[0] == "begin" && f.size() == 8) {
            RecordedUtterance u;
            u.id = f[1];
            u.beginMs = std::strtod(f[2].c_str(), nullptr);
            u.voice = Unescape(f[3]);
            u.rate = std::strtol(f[4].c_str(), nullptr, 10);
            u.volume = static_cast<unsigned>(std::strtoul(f[5].c_str(), nullptr, 10));
            u.flags = std::strtoul(f[6].c_str(), nullptr, 16);
            u.sampleRate = static_cast<unsigned>(std::strtoul(f[7].c_str(), nullptr, 10));
            byId[u.id] = out.size();
            out.push_back(u);
            continue;
        }
        auto it = f.size() > 1 ? byId.find(f[1]) : byId.end();
        if (it == byId.end()) continue;
        RecordedUtterance& u = out[it->second];
        if (f[0] == "frag" && f.size() == 4) {
            u.fragments.push_back({f[2], Unescape(f[3])});
        } else if (f[0] == "end" && f.size() == 7) {
            u.ended = true;
            u.endMs = std::strtod(f[2].c_str(), nullptr);
            u.completed = f[3] == "completed";
            u.bytes = std::strtoull(f[4].c_str(), nullptr, 10);
            u.hash = static_cast<std::uint32_t>(std::strtoul(f[5].c_str(), nullptr, 16));
            u.why = f[6];
        }
    }
    return out;
}

}  // namespace test_voice
