// What a chat message sounds like: the nickname and "说：" as the reading options say, and the
// body after the listener's filters (links, repeated characters, a length cut, muted senders).
// The log never sees any of this: it keeps every message as it was written.
#pragma once

#include <optional>
#include <string>

#include "base/codepage.h"

// The filters of the speech, each off by default.
struct SpeechFilters {
    bool noLinks = false;  // a link is spoken as "链接"
    bool squeeze = false;  // a run of more than three of one character is spoken three times
    int maxLength = 0;     // characters of the body spoken at most, as ParseMaxLength gives it; 0: no limit
    std::string mute;      // nicknames never spoken, separated by ";" or "；"
};

// The bounds of the length cut: 0 (no limit), else 10 to 1000 characters. A stored or typed
// value outside them is taken as the nearest bound, so an odd set.ini never silences a body.
int ClampMaxLength(int value);

// The length cut a number box or set.ini holds, within those bounds. A paste brings blanks
// around the number, an IME full-width digits ("２０", A3 B0 to A3 B9): both are taken. A
// number beyond any integer type is the upper bound; anything but digits means no limit.
int ParseMaxLength(const std::string& text);

// The text to speak for one message, or nothing. message and name are the direction's two
// reading options; the sender and "说：" are never filtered. leadBytes tells the system's
// double-byte characters, which count once and are never split.
std::optional<std::string> SpokenText(const SpeechFilters& filters, const ILeadBytes& leadBytes, bool message,
                                      bool name, const std::string& sender, const std::string& body);
