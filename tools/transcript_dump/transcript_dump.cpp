// transcript-dump: shows what the parser makes of a saved chat transcript, the newest
// message's header line, sender and body, with every space and line break made visible.
// Handy when a real chat window yields an unexpected sender or body: save its text, run
// this on it, and the bytes that decided the result are on screen.
#include <cstdio>
#include <cstring>
#include <string>

#include "capture/transcript.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

const char kUsage[] =
    "usage: transcript-dump [--hex | --raw8] [FILE]\n"
    "\n"
    "Reads a chat transcript (raw bytes in the ANSI code page, GBK) from FILE, or from\n"
    "standard input when FILE is absent or \"-\", and prints the newest message's header\n"
    "line, sender and body as the parser finds them.\n"
    "\n"
    "Default output, one value per line:\n"
    "  header: VALUE\n"
    "  sender: VALUE\n"
    "  body:   VALUE\n"
    "where VALUE is escaped so that nothing is invisible: space is \\s, CR is \\r, LF is\n"
    "\\n, tab is \\t, backslash is \\\\, and every other byte below 0x21, 0x7f and every byte\n"
    "from 0x80 up is \\xNN (two lowercase hex digits). An empty value prints nothing\n"
    "after the label.\n"
    "\n"
    "  --raw8  keep bytes from 0x80 up as they are (readable on a GBK console)\n"
    "  --hex   print only the three values as lowercase hex, one per line, in the\n"
    "          order header, sender, body; an empty value gives an empty line\n"
    "  --help  show this text\n"
    "\n"
    "Exit status: 0 done, 1 the file could not be read, 2 bad arguments.\n";

// Reads to the end; a transcript may hold any byte, NUL included.
bool ReadAll(std::FILE* f, std::string& out) {
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    return !std::ferror(f);
}

// One visible token per byte that could hide: blanks and breaks are what decide where the
// parser cuts, so none of them may print as white space.
std::string Escape(const std::string& s, bool raw8) {
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : s) {
        if (c == ' ') out += "\\s";
        else if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else if (c == '\t') out += "\\t";
        else if (c == '\\') out += "\\\\";
        else if (c < 0x21 || c == 0x7f || (c >= 0x80 && !raw8)) {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string Hex(const std::string& s) {
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : s) {
        out += kHex[c >> 4];
        out += kHex[c & 15];
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // Transcripts are bytes: no CR LF translation on the way in, and the same output
    // bytes on every system on the way out.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    bool hex = false, raw8 = false;
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--hex") == 0) {
            hex = true;
        } else if (std::strcmp(argv[i], "--raw8") == 0) {
            raw8 = true;
        } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (argv[i][0] == '-' && argv[i][1] != '\0') {
            std::fprintf(stderr, "transcript-dump: unknown option %s\n\n%s", argv[i], kUsage);
            return 2;
        } else if (path) {
            std::fprintf(stderr, "transcript-dump: only one file, please\n\n%s", kUsage);
            return 2;
        } else {
            path = argv[i];
        }
    }
    if (hex && raw8) {
        std::fprintf(stderr, "transcript-dump: --hex and --raw8 do not go together\n");
        return 2;
    }

    std::string transcript;
    if (!path || std::strcmp(path, "-") == 0) {
        if (!ReadAll(stdin, transcript)) {
            std::fprintf(stderr, "transcript-dump: cannot read standard input\n");
            return 1;
        }
    } else {
        std::FILE* f = std::fopen(path, "rb");
        if (!f) {
            std::fprintf(stderr, "transcript-dump: cannot open %s\n", path);
            return 1;
        }
        bool ok = ReadAll(f, transcript);
        std::fclose(f);
        if (!ok) {
            std::fprintf(stderr, "transcript-dump: cannot read %s\n", path);
            return 1;
        }
    }

    // Each routine gets the whole text, as the watcher gives it.
    const std::string header = GetLastHeader(transcript);
    const std::string sender = GetLastSender(transcript);
    const std::string body = GetLastMessageBody(transcript);
    if (hex) {
        std::printf("%s\n%s\n%s\n", Hex(header).c_str(), Hex(sender).c_str(), Hex(body).c_str());
    } else {
        const struct {
            const char* label;
            const std::string& value;
        } lines[] = {{"header:", header}, {"sender:", sender}, {"body:  ", body}};
        for (const auto& l : lines) {
            std::fputs(l.label, stdout);
            if (!l.value.empty()) std::printf(" %s", Escape(l.value, raw8).c_str());
            std::fputc('\n', stdout);
        }
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
