// ANSI code page <-> UTF-16 through iconv, converting piecewise so that one bad byte costs one
// replacement character instead of the whole text.
#include "support/iconv_codepage.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>
#include <vector>

namespace {

// One iconv conversion descriptor, closed on every path.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv cannot convert these code pages");
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts in to bytes of the target encoding. An unconvertible unit of inUnit bytes is
    // skipped and replaced by the bytes of replacement.
    std::string Run(const std::string& in, std::size_t inUnit, const std::string& replacement) {
        std::string out;
        char* src = const_cast<char*>(in.data());
        std::size_t left = in.size();
        std::vector<char> chunk(4096);
        while (left > 0) {
            char* dst = chunk.data();
            std::size_t room = chunk.size();
            std::size_t rc = iconv(cd_, &src, &left, &dst, &room);
            out.append(chunk.data(), static_cast<std::size_t>(dst - chunk.data()));
            if (rc != static_cast<std::size_t>(-1)) continue;
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL (a lead byte cut off at the end): replace one unit, go on.
            std::size_t skip = left < inUnit ? left : inUnit;
            src += skip;
            left -= skip;
            out += replacement;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

private:
    iconv_t cd_;
};

std::string U16Bytes(const std::u16string& s) {
    std::string b;
    for (char16_t c : s) {
        b.push_back(static_cast<char>(c & 0xff));
        b.push_back(static_cast<char>(c >> 8));
    }
    return b;
}

std::u16string FromU16Bytes(const std::string& b) {
    std::u16string s;
    for (std::size_t i = 0; i + 1 < b.size(); i += 2)
        s.push_back(static_cast<char16_t>(static_cast<unsigned char>(b[i]) |
                                          (static_cast<unsigned char>(b[i + 1]) << 8)));
    return s;
}

}  // namespace

std::u16string IconvCodePage::AnsiToUtf16(const std::string& ansi) {
    Converter c("UTF-16LE", charset_.c_str());
    return FromU16Bytes(c.Run(ansi, 1, U16Bytes(u"\ufffd")));
}

std::string IconvCodePage::Utf16ToAnsi(const std::u16string& wide) {
    Converter c(charset_.c_str(), "UTF-16LE");
    return c.Run(U16Bytes(wide), 2, "?");
}

std::string Utf8ToGbk(const std::string& utf8) {
    Converter c("GBK", "UTF-8");
    return c.Run(utf8, 1, "?");
}

std::string GbkToUtf8(const std::string& gbk) {
    Converter c("UTF-8", "GBK");
    return c.Run(gbk, 1, "\xef\xbf\xbd");
}
