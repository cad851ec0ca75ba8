// Conversions between the ANSI code page, UTF-8 and UTF-16.
#include "win/codepage_win.h"

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
std::string WideToUtf8(const std::wstring& wide) { return FromWide(CP_UTF8, wide); }
std::wstring Utf8ToWide(const std::string& utf8) { return ToWide(CP_UTF8, utf8); }

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

std::u16string Win32CodePage::AnsiToUtf16(const std::string& ansi) {
    std::wstring w = AnsiToWide(ansi);
    return std::u16string(w.begin(), w.end());
}

std::string Win32CodePage::Utf16ToAnsi(const std::u16string& wide) {
    return WideToAnsi(std::wstring(wide.begin(), wide.end()));
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
