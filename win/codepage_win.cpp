// Conversions between the ANSI code page, UTF-8 and UTF-16.
#include "win/codepage_win.h"

#include <cstdint>

#include "win/com.h"

namespace {
std::wstring ToWide(UINT cp, const std::string& s) {
    if (s.empty()) return {};
    int n = MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}
std::string FromWide(UINT cp, const std::wstring& w) {
    if (w.empty()) return {};
    int n = WideCharToMultiByte(cp, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(cp, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}
}  // namespace

std::wstring AnsiToWide(const std::string& ansi) { return ToWide(CP_ACP, ansi); }
std::string WideToAnsi(const std::wstring& wide) { return FromWide(CP_ACP, wide); }
// By hand rather than through CP_UTF8, which turns half of a surrogate pair (a file name may
// hold one) into U+FFFD and so names another file: a lone half takes the three bytes its
// code point would (the WTF-8 rule), and Utf8ToWide gives it back.
std::string WideToUtf8(const std::wstring& wide) {
    std::string s;
    for (std::size_t i = 0; i < wide.size(); ++i) {
        std::uint32_t c = static_cast<std::uint16_t>(wide[i]);
        if (IS_HIGH_SURROGATE(c) && i + 1 < wide.size() && IS_LOW_SURROGATE(wide[i + 1]))
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<std::uint16_t>(wide[++i]) - 0xDC00);
        const int tail = c < 0x80 ? 0 : c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
        static const std::uint32_t lead[] = {0, 0xC0, 0xE0, 0xF0};
        s += static_cast<char>(lead[tail] | (c >> (6 * tail)));
        for (int k = tail - 1; k >= 0; --k) s += static_cast<char>(0x80 | ((c >> (6 * k)) & 0x3F));
    }
    return s;
}

// A byte that starts no well-formed sequence becomes U+FFFD, as with CP_UTF8.
std::wstring Utf8ToWide(const std::string& utf8) {
    static const std::uint32_t least[] = {0, 0x80, 0x800, 0x10000};
    std::wstring w;
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char b = static_cast<unsigned char>(utf8[i]);
        const int tail = b < 0x80 ? 0 : b >= 0xF8 ? -1 : b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : -1;
        std::uint32_t c = tail > 0 ? b & (0x3Fu >> tail) : b;
        bool ok = tail >= 0 && i + tail < utf8.size();
        for (int k = 1; ok && k <= tail; ++k) {
            const unsigned char t = static_cast<unsigned char>(utf8[i + k]);
            ok = (t & 0xC0) == 0x80;
            c = (c << 6) | (t & 0x3F);
        }
        if (!ok || c < least[tail] || c > 0x10FFFF) {
            w += L'\xFFFD';
            ++i;
            continue;
        }
        if (c >= 0x10000) {
            w += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
            c = 0xDC00 + (c & 0x3FF);
        }
        w += static_cast<wchar_t>(c);
        i += static_cast<std::size_t>(tail) + 1;
    }
    return w;
}

bool WideToAnsiExact(const std::wstring& wide, std::string& ansi) {
    ansi.clear();
    if (wide.empty()) return true;
    // WideCharToMultiByte refuses the default-character arguments for UTF-8, which a system
    // may have as its ANSI code page; there every character has its form.
    if (GetACP() == CP_UTF8) {
        ansi = WideToUtf8(wide);
        return true;
    }
    BOOL usedDefault = FALSE;
    const int size = static_cast<int>(wide.size());
    int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0, "?", &usedDefault);
    ansi.assign(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, ansi.data(), n, "?", &usedDefault);
    return n > 0 && !usedDefault;
}

std::string WideToAnsiOmitting(const std::wstring& wide) {
    const bool utf8 = GetACP() == CP_UTF8;
    std::string ansi;
    if (!utf8 && WideToAnsiExact(wide, ansi)) return ansi;
    // Rare enough to go one character (a surrogate pair whole) at a time.
    ansi.clear();
    for (std::size_t i = 0; i < wide.size();) {
        const bool pair = IS_HIGH_SURROGATE(wide[i]) && i + 1 < wide.size() && IS_LOW_SURROGATE(wide[i + 1]);
        const std::wstring one = wide.substr(i, pair ? 2 : 1);
        i += one.size();
        const bool half = !pair && (IS_HIGH_SURROGATE(one[0]) || IS_LOW_SURROGATE(one[0]));
        std::string bytes;
        // UTF-8 holds every whole character, but no half of a pair.
        if (utf8 ? !half : WideToAnsiExact(one, bytes)) ansi += utf8 ? WideToUtf8(one) : bytes;
    }
    return ansi;
}

std::u16string Win32CodePage::AnsiToUtf16(const std::string& ansi) {
    std::wstring w = AnsiToWide(ansi);
    return std::u16string(w.begin(), w.end());
}

bool Win32CodePage::IsLeadByte(unsigned char c) const { return IsDBCSLeadByteEx(CP_ACP, c) != FALSE; }

std::string DescribeHResult(HRESULT hr) {
    wchar_t* buf = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
    std::wstring text = n && buf ? std::wstring(buf, n) : std::wstring();
    if (buf) LocalFree(buf);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
    char code[16];
    // The system's formatter: the C runtime's C99 one would cost the program about 27 KB.
    wsprintfA(code, "0x%08lX", static_cast<unsigned long>(hr));
    std::string ansi = WideToAnsi(text);
    return ansi.empty() ? std::string(code) : std::string(code) + ": " + ansi;
}
