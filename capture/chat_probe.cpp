// Recognising the messenger's chat windows and reading the foreground one's transcript.
//
// Two title tests share one marker table: the byte test (GBK bytes, used before reading a
// transcript) and the UTF-16 test (used by the title timer). The reader walks the fixed window
// chain foreground -> "#32770" -> "RichEdit20A" and asks the control for its text twice: once
// for the length, once for the bytes. Anything missing or odd along the way yields ""; a
// control that does not answer yields no reading at all.
#include "capture/chat_probe.h"

#include <algorithm>
#include <cstring>

#include "base/text.h"

namespace {

// What GetWindowTextA leaves of a title in the 255-byte buffer (one byte goes to the NUL).
constexpr std::size_t kTitleBytes = 254;

struct ChatMarker {
    const char* gbk;     // the marker as GBK bytes, whatever the system's code page
    const char16_t* wide;
};

// Searched in this order; the first hit ends a test. In the dashed markers the dash is the
// full-width U+FF0D (GBK A3 AD) with exactly one ASCII space on the side shown.
const ChatMarker kChatMarkers[] = {
    {"\xc1\xc4\xcc\xec\xd6\xd0", u"聊天中"},
    {"\xbd\xbb\xcc\xb8\xd6\xd0", u"交谈中"},
    {"\xb7\xa2\xcb\xcd\xcf\xfb\xcf\xa2", u"发送消息"},
    {"\xb2\xe9\xbf\xb4\xcf\xfb\xcf\xa2", u"查看消息"},
    {"Chatting with", u"Chatting with"},
    {"Send Message", u"Send Message"},
    {"View message", u"View message"},
    {"\xb0\x6c\xcb\xcd\xcf\xfb\xcf\xa2", u"發送消息"},
    {"\xbd\xbb\xd5\x84\xd6\xd0", u"交談中"},
    {"\xa3\xad \xc8\xba", u"\uff0d 群"},
    {"\xa3\xad \xc6\xf3\xd2\xb5", u"\uff0d 企业"},
    {"Group \xa3\xad", u"Group \uff0d"},
    {"\xc1\xd9\xca\xb1\xbb\xe1\xbb\xb0 \xa3\xad", u"临时会话 \uff0d"},
    {"in Session with", u"in Session with"},
    {"\xbb\xe1\xbb\xb0\xd6\xd0", u"会话中"},
};

// The title as the 255-byte buffer holds it. The service already promises this; cutting
// again keeps the stored title within bounds whatever the service does.
std::string CutTitle(std::string title) {
    if (title.size() > kTitleBytes) title.resize(kTitleBytes);
    return title;
}

}  // namespace

bool TitleHasChatMarkerBytes(const std::string& title) {
    for (const ChatMarker& m : kChatMarkers)
        if (text::Contains(title, m.gbk)) return true;
    return false;
}

bool TitleHasChatMarker(const std::u16string& title) {
    for (const ChatMarker& m : kChatMarkers)
        if (title.find(m.wide) != std::u16string::npos) return true;
    return false;
}

bool IsChatTitle(IChatWindows& windows, WindowRef window) {
    return TitleHasChatMarkerBytes(CutTitle(windows.Title(window)));
}

ChatReading GetChatText(IChatWindows& windows) { return ReadChatWindow(windows, windows.Foreground()); }

ChatReading ReadChatWindow(IChatWindows& windows, WindowRef front) {
    if (front == 0) return std::string();
    if (!IsChatTitle(windows, front)) return std::string();

    // Only direct children count, and only the first of each class in child order.
    const WindowRef dialog = windows.FindChild(front, "#32770");
    if (dialog == 0) return std::string();
    const WindowRef control = windows.FindChild(dialog, "RichEdit20A");
    if (control == 0) return std::string();

    // A control that does not answer in time gives no reading; one that reports a length
    // nobody could mean is treated like an empty one: the timer tick must not allocate on
    // its word.
    std::size_t length = 0;
    if (!windows.QueryTextLength(control, length)) return std::nullopt;
    if (length > kMaxTranscriptBytes) return std::string();
    std::string transcript;
    if (!windows.ReadText(control, length, transcript)) return std::nullopt;
    if (transcript.empty()) return std::string();

    // A transcript worth parsing has a time of day written with an ASCII colon somewhere;
    // the full-width colon does not count. The bytes are searched, not the text converted
    // (which cost most of a tick on a long history): in every ANSI code page Windows has,
    // 0x3A is never the second byte of a double-byte character (GBK, Shift-JIS, Big5 and
    // UHC all start their trail bytes at 0x40 or above), so a 0x3A byte is always the colon.
    // A lead byte with nothing valid after it does not swallow a colon that follows: such a
    // pair is no character at all, and the parser, which reads bytes too, sees the colon.
    if (transcript.find(':') == std::string::npos) return std::string();
    // A NUL inside a message would end the text wherever it travels on as a C string (the
    // log's insertion, the voice): a blank stands in for it, and the messages below it stay.
    std::replace(transcript.begin(), transcript.end(), '\0', ' ');
    return transcript;
}

void UpdateChatTitle(IChatWindows& windows, ICodePage& codePage, std::string& chatTitle) {
    const WindowRef front = windows.Foreground();
    const std::string title = front == 0 ? std::string() : CutTitle(windows.Title(front));
    // The 8-bit title is what is kept, not the converted one: the watcher compares bytes.
    if (TitleHasChatMarker(codePage.AnsiToUtf16(title))) chatTitle = title;
}

bool TakeGetTextAnswer(std::size_t length, std::string& out,
                       const std::function<bool(char* buffer, std::size_t size, std::size_t& count)>& send) {
    // Read straight into the result: a long history is copied once, by the control.
    out.assign(length + 1, '\0');
    std::size_t copied = 0;
    if (!send(&out[0], out.size(), copied)) {
        out.clear();
        return false;
    }
    // A control that counts nothing (or more than it was given room for) is read up to its NUL.
    out.resize(copied > 0 && copied <= length ? copied : length);
    const void* nul = std::memchr(out.data(), '\0', out.size());
    if (nul) out.resize(static_cast<std::size_t>(static_cast<const char*>(nul) - out.data()));
    return true;
}
