// Byte-string helpers shared by every module. Chat data (titles, transcripts, nicknames, log
// lines, settings) are 8-bit strings in the ANSI code page and are handled byte by byte, so
// nothing here knows about characters: a GBK lead byte is just a byte >= 0x80.
#pragma once

#include <cstddef>
#include <string>

namespace text {

// Removes every byte from 0x00 to 0x20 at both ends, and nothing else (0x80 and above stay).
std::string Trim(const std::string& s);
// The same, made in the string itself: a whole transcript is trimmed at every timer tick, and
// a copy of it would cost as much again as reading it.
std::string Trim(std::string&& s);

// Byte-wise, case-sensitive, leftmost search. An empty needle is never found and nothing is
// found in an empty haystack, which is what the title and nickname tests rely on.
bool Contains(const std::string& haystack, const std::string& needle);

// A Latin capital as its small letter; every other byte, a GBK byte among them, as it is.
inline char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Position of the first occurrence counted from 1, or 0 when absent (same rules as Contains).
std::size_t Pos(const std::string& needle, const std::string& haystack);

}  // namespace text

// Fixed texts that meet chat data, as GBK bytes whatever the system's code page.
namespace gbk {
inline constexpr char kSaidColon[] = "\xcb\xb5\xa3\xba";       // "说：" joins nickname and text in speech
inline constexpr char kSpaceSaidColon[] = " \xcb\xb5\xa3\xba"; // " 说：" ends a log header line
}  // namespace gbk
