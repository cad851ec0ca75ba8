// Byte-string helpers; see text.h for the rules they keep.
#include "base/text.h"

namespace text {

namespace {
bool IsTrimmed(unsigned char c) { return c <= 0x20; }
}  // namespace

std::string Trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && IsTrimmed(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && IsTrimmed(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

std::string Trim(std::string&& s) {
    std::size_t e = s.size();
    while (e > 0 && IsTrimmed(static_cast<unsigned char>(s[e - 1]))) --e;
    s.erase(e);
    std::size_t b = 0;
    while (b < s.size() && IsTrimmed(static_cast<unsigned char>(s[b]))) ++b;
    s.erase(0, b);
    return std::move(s);
}

bool Contains(const std::string& haystack, const std::string& needle) {
    return Pos(needle, haystack) != 0;
}

std::size_t Pos(const std::string& needle, const std::string& haystack) {
    if (needle.empty() || haystack.empty()) return 0;
    std::size_t p = haystack.find(needle);
    return p == std::string::npos ? 0 : p + 1;
}

}  // namespace text
