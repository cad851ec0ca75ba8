// The chat window probe with the real Win32 reader against the stand-in chat window, a
// separate process whose transcript control answers as a chat client's does: titles, the
// window chain, the text rules, and windows that hang or report absurd lengths.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "capture/chat_probe.h"
#include "capture/chat_windows_win.h"
#include "support/process.h"
#include "support/standin.h"
#include "win/codepage_win.h"

namespace {

// "小鱼  16:20:30" CR LF "你好，世界" CR LF in GBK.
const std::string kTranscript =
    "\xd0\xa1\xd3\xe3  16:20:30\r\n\xc4\xe3\xba\xc3\xa3\xac\xca\xc0\xbd\xe7\r\n";

struct Probe {
    Win32ChatWindows windows;
    Win32CodePage codePage;
    ChatReading Read() { return GetChatText(windows); }
    // The text of a reading, for tests of what the stand-in shows; "" when none came.
    std::string Text() { return Read().value_or(std::string()); }
    void Tick(std::string& chatTitle) { UpdateChatTitle(windows, codePage, chatTitle); }
};

// How long one reading may take when its requests go unanswered: two time limits (the size
// request answered and the read not), with room for a loaded machine. The stand-in's hangs
// last well beyond it, so that a reading that waited one out cannot pass.
constexpr DWORD kHangBoundMs = 2 * Win32ChatWindows::kDefaultTimeoutMs + 2000;

// Milliseconds that one call takes.
template <typename F>
DWORD TimeMs(F f) {
    LARGE_INTEGER freq, a, b;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&a);
    f();
    QueryPerformanceCounter(&b);
    return static_cast<DWORD>((b.QuadPart - a.QuadPart) * 1000 / freq.QuadPart);
}

// True once the window has stopped answering.
bool WaitUntilHung(HWND h) {
    return WaitUntil(
        [&] {
            DWORD_PTR r;
            return SendMessageTimeoutW(h, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 100, &r) == 0;
        },
        5000);
}

bool WaitUntilAnswering(HWND h, DWORD timeoutMs) {
    return WaitUntil(
        [&] {
            DWORD_PTR r;
            return SendMessageTimeoutW(h, WM_NULL, 0, 0, 0, 200, &r) != 0;
        },
        timeoutMs);
}

// A plain window of this process, for "something else is in front".
class OtherWindow {
public:
    OtherWindow() {
        h_ = CreateWindowExW(0, L"Static", L"无标题 - 记事本", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 100, 300,
                             200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    ~OtherWindow() { DestroyWindow(h_); }
    bool BringToFront() {
        SetForegroundWindow(h_);
        return WaitUntil([&] { return GetForegroundWindow() == h_; }, kPatienceMs);
    }

private:
    HWND h_;
};

TEST(ChatProbeWin, ReadsTheTranscriptByteForByte) {
    // Leading blanks and a trailing empty line stay: the probe hands out what it read.
    const std::string transcript = "  \r\n" + kTranscript + "\xce\xd2  16:21:02\r\n\xd4\xda\xc2\xf0\xa3\xbf\r\n\r\n";
    StandinChat standin(L"--transcript-file \"" + WriteTempFile(transcript) + L"\"");
    ASSERT_TRUE(standin.BringToFront());
    Probe probe;
    EXPECT_EQ(probe.Read(), transcript);
    EXPECT_EQ(standin.SizeRequests(), 1);
    EXPECT_EQ(standin.Reads(), 1);

    std::string chatTitle;
    probe.Tick(chatTitle);
    EXPECT_EQ(chatTitle, WideToAnsi(L"与 小鱼 交谈中"));
}

TEST(ChatProbeWin, TitlesDecideWhetherAWindowIsAChat) {
    struct Case {
        const wchar_t* title;
        bool chat;
    } cases[] = {
        {L"小鱼 - 聊天中", true},
        {L"与 小鱼 交谈中", true},
        {L"小鱼 - 发送消息", true},
        {L"小鱼 - 查看消息", true},
        {L"Chatting with Fish", true},
        {L"Fish - Send Message", true},
        {L"Fish - View message", true},
        {L"小魚 - 發送消息", true},
        {L"與 小魚 交談中", true},
        {L"同学会 \uff0d 群", true},
        {L"某某公司 \uff0d 企业", true},
        {L"Group \uff0d Classmates", true},
        {L"临时会话 \uff0d 小鱼", true},
        {L"Fish in Session with Bob", true},
        {L"小鱼 会话中", true},
        {L"Fish - send message", false},     // marker 6 only in lower case
        {L"Fish - View Message", false},     // marker 7 with a capital M
        {L"chatting with Fish", false},
        {L"Fish In Session With Bob", false},
        {L"同学会 - 群", false},              // ASCII hyphen in place of the full-width dash
        {L"同学会 \uff0d群", false},          // no space
        {L"Group\uff0d Classmates", false},  // space on the wrong side
        {L"临时会话\uff0d 小鱼", false},
        {L"小鱼 - 记事本", false},
        {L"", false},
    };
    StandinChat standin(L"--transcript-file \"" + WriteTempFile(kTranscript) + L"\"");
    Probe probe;
    for (const Case& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.title));
        ASSERT_TRUE(standin.SetTitle(c.title));
        ASSERT_TRUE(standin.BringToFront());
        EXPECT_EQ(probe.Read(), c.chat ? kTranscript : "");
        std::string chatTitle = "before";
        probe.Tick(chatTitle);
        EXPECT_EQ(chatTitle, c.chat ? WideToAnsi(c.title) : "before");
    }
}

TEST(ChatProbeWin, OnlyTheFirst254TitleBytesCount) {
    StandinChat standin(L"--transcript-file \"" + WriteTempFile(kTranscript) + L"\"");
    ASSERT_TRUE(standin.BringToFront());
    Probe probe;

    // 300 bytes whose only marker starts after byte 254.
    const std::wstring late = std::wstring(270, L'x') + L"交谈中" + std::wstring(24, L'z');
    ASSERT_EQ(WideToAnsi(late).size(), 300u);
    ASSERT_TRUE(standin.SetTitle(late));
    EXPECT_EQ(probe.Read(), "");
    std::string chatTitle = "before";
    probe.Tick(chatTitle);
    EXPECT_EQ(chatTitle, "before");

    // A long chat title is kept as its first 254 bytes.
    const std::wstring longChat = L"与 小鱼 交谈中 " + std::wstring(300, L'a');
    ASSERT_TRUE(standin.SetTitle(longChat));
    EXPECT_EQ(probe.Read(), kTranscript);
    probe.Tick(chatTitle);
    EXPECT_EQ(chatTitle, WideToAnsi(longChat).substr(0, 254));

    // Where byte 254 falls inside a Chinese character, what is kept is still a prefix of the
    // title's bytes and no longer than the buffer allows.
    const std::wstring split = L"x聊天中" + std::wstring(130, L'聊');
    const std::string splitBytes = WideToAnsi(split);
    ASSERT_TRUE(standin.SetTitle(split));
    probe.Tick(chatTitle);
    EXPECT_LE(chatTitle.size(), 254u);
    EXPECT_GE(chatTitle.size(), 253u);
    EXPECT_EQ(chatTitle, splitBytes.substr(0, chatTitle.size()));
}

TEST(ChatProbeWin, BrokenWindowChainsYieldNothing) {
    struct Case {
        const wchar_t* args;
        bool found;
    } cases[] = {
        {L"--no-dialog", false},  // transcript control straight under the top window
        {L"--nested", false},     // one level below the "#32770"
        {L"--second-control", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.args));
        StandinChat standin(std::wstring(c.args) + L" --title \"Chatting with Fish\" --transcript-file \"" +
                            WriteTempFile(kTranscript) + L"\"");
        ASSERT_NE(standin.TranscriptControl(), nullptr) << "the variant must still have its transcript control";
        ASSERT_TRUE(standin.BringToFront());
        Probe probe;
        EXPECT_EQ(probe.Read(), c.found ? kTranscript : "");
        EXPECT_EQ(standin.SizeRequests(), c.found ? 1 : 0);
        // The title timer does not care about the chain.
        std::string chatTitle;
        probe.Tick(chatTitle);
        EXPECT_EQ(chatTitle, "Chatting with Fish");
    }
}

TEST(ChatProbeWin, TranscriptTextRules) {
    struct Case {
        const char* name;
        std::string text;
        bool kept;
    } cases[] = {
        {"empty", "", false},
        {"line breaks only", "\r\n\r\n", false},
        // "小鱼  16：20：30" CR LF "聊天：好的": full-width colons only.
        {"full-width colons",
         "\xd0\xa1\xd3\xe3  16\xa3\xba\x32\x30\xa3\xba\x33\x30\r\n\xc1\xc4\xcc\xec\xa3\xba\xba\xc3\xb5\xc4", false},
        {"one ASCII colon at the end", "\xc1\xc4\xcc\xec\xa3\xba\xba\xc3\xb5\xc4 http:", true},
        {"full transcript", kTranscript, true},
    };
    StandinChat standin;
    ASSERT_TRUE(standin.BringToFront());
    Probe probe;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(standin.SetTranscript(c.text));
        EXPECT_EQ(probe.Read(), c.kept ? c.text : "");
    }
    // Wine carries the answer only up to a NUL and counts the rest with bytes of its own: the
    // reading ends at the NUL rather than hold them (Windows would bring " back f" as well).
    ASSERT_TRUE(standin.SetTranscript(std::string("A  12:00:00\r\nfront\0back f\r\n", 27)));
    EXPECT_EQ(probe.Read(), "A  12:00:00\r\nfront");
}

TEST(ChatProbeWin, NothingIsReadFromAWindowThatIsNotInFront) {
    StandinChat standin(L"--transcript-file \"" + WriteTempFile(kTranscript) + L"\"");
    OtherWindow other;
    Probe probe;
    std::string chatTitle;

    ASSERT_TRUE(other.BringToFront());
    EXPECT_EQ(probe.Read(), "");
    probe.Tick(chatTitle);
    EXPECT_EQ(chatTitle, "");
    EXPECT_EQ(standin.SizeRequests(), 0);

    ASSERT_TRUE(standin.BringToFront());
    probe.Tick(chatTitle);
    EXPECT_EQ(chatTitle, WideToAnsi(L"与 小鱼 交谈中"));

    // Leaving the chat for another program keeps its title.
    ASSERT_TRUE(other.BringToFront());
    probe.Tick(chatTitle);
    EXPECT_EQ(chatTitle, WideToAnsi(L"与 小鱼 交谈中"));
}

// A chat window of this process whose transcript control answers the size request with
// whatever the test says and counts the reads it gets. Under Wine a control in another
// process cannot hand out a count beyond its text (Wine copies the reply by the count and
// ends that process), so absurd counts are tested here, with the same real Win32 calls.
class LocalChatWindow {
public:
    LocalChatWindow() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ControlProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = "RichEdit20A";
        RegisterClassA(&wc);
        top_ = CreateWindowExW(0, L"Static", L"Chatting with Local", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300,
                               200, nullptr, nullptr, wc.hInstance, nullptr);
        HWND dialog = CreateWindowExW(0, L"#32770", L"", WS_CHILD | WS_VISIBLE, 0, 0, 200, 100, top_, nullptr,
                                      wc.hInstance, nullptr);
        control_ = CreateWindowExA(0, "RichEdit20A", "", WS_CHILD | WS_VISIBLE, 0, 0, 200, 100, dialog, nullptr,
                                   wc.hInstance, nullptr);
    }
    ~LocalChatWindow() { DestroyWindow(top_); }
    // What the next size requests are answered with; also restarts the count of reads.
    void AnswerSizeWith(LRESULT answer) {
        answer_ = answer;
        reads_ = 0;
    }
    bool Ready() const { return top_ && control_; }
    bool BringToFront() {
        SetForegroundWindow(top_);
        return WaitUntil([&] { return GetForegroundWindow() == top_; }, kPatienceMs);
    }
    static int Reads() { return reads_; }

private:
    static LRESULT CALLBACK ControlProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg != WM_GETTEXT) return DefWindowProcA(h, msg, wp, lp);
        if (wp == 0) return answer_;
        ++reads_;
        // "a 1:2" and a NUL, or what fits of it.
        const char text[] = "a 1:2";
        const std::size_t n = wp - 1 < sizeof text - 1 ? wp - 1 : sizeof text - 1;
        std::memcpy(reinterpret_cast<char*>(lp), text, n);
        reinterpret_cast<char*>(lp)[n] = '\0';
        return static_cast<LRESULT>(n);
    }
    static LRESULT answer_;
    static int reads_;
    HWND top_ = nullptr;
    HWND control_ = nullptr;
};
LRESULT LocalChatWindow::answer_ = 0;
int LocalChatWindow::reads_ = 0;

TEST(ChatProbeWin, AbsurdLengthsAreNotBelieved) {
    struct Case {
        LRESULT answer;
        const char* text;  // what a read hands out
        int reads;
    } cases[] = {
        {static_cast<LRESULT>(kMaxTranscriptBytes + 1), "", 0},
        {static_cast<LRESULT>(standin::kHugeLength), "", 0},
        {-1, "", 0},      // 0xFFFFFFFF as a count: the buffer size would wrap around to 0
        {5, "a 1:2", 1},  // the same window with a believable length is read
        {3, "a 1", 1},    // only as far as the length it reported: the colon is cut off
    };
    LocalChatWindow chat;
    ASSERT_TRUE(chat.Ready());
    ASSERT_TRUE(chat.BringToFront());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        chat.AnswerSizeWith(c.answer);
        Probe probe;
        const std::string text = c.text;
        EXPECT_EQ(probe.Read(), text.find(':') == std::string::npos ? "" : text);
        EXPECT_EQ(LocalChatWindow::Reads(), c.reads);
    }
}

// Across processes under Wine the huge count never arrives (see the protocol header), so
// this checks only that the reader comes back at once without a reading when the control's
// process dies while answering; the cap itself is tested with the local window above.
TEST(ChatProbeWin, HugeLengthFromAnotherProcessGivesNoReading) {
    StandinChat standin(L"--huge-length --transcript-file \"" + WriteTempFile(kTranscript) + L"\"");
    ASSERT_TRUE(standin.BringToFront());
    Probe probe;
    ChatReading text = std::string("unset");
    DWORD ms = TimeMs([&] { text = probe.Read(); });
    EXPECT_FALSE(text.has_value()) << "a control that died answering did not answer";
    EXPECT_LT(ms, kHangBoundMs);
}

TEST(ChatProbeWin, HungWindowGivesNoReadingWithinTheBound) {
    StandinChat standin(L"--transcript-file \"" + WriteTempFile(kTranscript) + L"\"");
    ASSERT_TRUE(standin.BringToFront());
    Probe probe;
    ASSERT_EQ(probe.Read(), kTranscript);

    standin.Hang(kHangBoundMs + 3000);
    ASSERT_TRUE(WaitUntilHung(standin.Window()));
    ChatReading text = std::string("unset");
    DWORD first = TimeMs([&] { text = probe.Read(); });
    EXPECT_FALSE(text.has_value()) << "a hung window is no empty transcript";
    EXPECT_LT(first, kHangBoundMs);
    // The title needs no answer from the window.
    std::string chatTitle;
    DWORD titleMs = TimeMs([&] { probe.Tick(chatTitle); });
    EXPECT_EQ(chatTitle, WideToAnsi(L"与 小鱼 交谈中"));
    // Readings right after an unanswered one do not wait again.
    text = std::string("unset");
    DWORD again = TimeMs([&] { text = probe.Read(); });
    EXPECT_FALSE(text.has_value()) << "the quiet period after a time-out gives no reading either";
    EXPECT_LT(again, Win32ChatWindows::kDefaultTimeoutMs) << "it waited out a time limit again";
    std::printf("hung window: first reading %lu ms, title %lu ms, next reading %lu ms\n",
                static_cast<unsigned long>(first), static_cast<unsigned long>(titleMs),
                static_cast<unsigned long>(again));

    // Once the window answers again, so does the probe.
    ASSERT_TRUE(WaitUntilAnswering(standin.Window(), 15000));
    EXPECT_TRUE(WaitUntil([&] { return probe.Read() == kTranscript; }, kPatienceMs));
}

// Every chat window shown is read in one round: hung ones above another cost the round no
// more than its budget together, however many they are, and the one below is still read.
TEST(ChatProbeWin, HungWindowsDoNotHoldUpTheOthersOfARound) {
    StandinChat below(L"--title \"Chatting with Below\" --transcript-file \"" + WriteTempFile(kTranscript) + L"\"");
    ASSERT_TRUE(below.BringToFront());
    std::vector<std::unique_ptr<StandinChat>> hung;
    for (int i = 0; i < 4; ++i) {
        hung.push_back(std::make_unique<StandinChat>(L"--transcript-file \"" + WriteTempFile(kTranscript) + L"\""));
        ASSERT_TRUE(hung.back()->BringToFront());
    }
    // A hidden chat window is not shown, so it is no part of the round.
    StandinChat hidden(L"--transcript-file \"" + WriteTempFile(kTranscript) + L"\"");
    ShowWindow(hidden.Window(), SW_HIDE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(hidden.Window()); }, kPatienceMs));
    for (auto& h : hung) h->Hang(kHangBoundMs + 5000);
    for (auto& h : hung) ASSERT_TRUE(WaitUntilHung(h->Window()));
    Probe probe;
    // A hung window spends the budget of the round it is met in, and is left alone for a few
    // seconds after: the rounds that follow pass over it to the windows below.
    ChatReading belowRead;
    DWORD slowest = 0;
    for (int i = 0; i < 8 && !belowRead; ++i) {
        std::vector<std::pair<HWND, ChatReading>> round;
        const DWORD ms = TimeMs([&] {
            probe.windows.Foreground();
            for (WindowRef w : probe.windows.TopLevelWindows())
                if (IsChatTitle(probe.windows, w))
                round.emplace_back(reinterpret_cast<HWND>(w), ReadChatWindow(probe.windows, w));
        });
        slowest = std::max(slowest, ms);
        ASSERT_EQ(round.size(), 5u) << "every chat window is shown";
        for (std::size_t h = 0; h < hung.size(); ++h) EXPECT_FALSE(round[h].second.has_value()) << "hung, topmost first";
        EXPECT_EQ(round[4].first, below.Window());
        belowRead = round[4].second;
    }
    EXPECT_EQ(belowRead, ChatReading{kTranscript});
    // Four hung windows would cost four time limits, were the round's budget not shared.
    EXPECT_LT(slowest, 2 * Win32ChatWindows::kDefaultTimeoutMs);
    std::printf("rounds over four hung windows and an answering one: the slowest %lu ms\n",
                static_cast<unsigned long>(slowest));
}

TEST(ChatProbeWin, ControlThatHangsOnTheRequestGivesNoReadingWithinTheBound) {
    StandinChat standin(L"--hang-seconds 9 --transcript-file \"" + WriteTempFile(kTranscript) + L"\"");
    ASSERT_TRUE(standin.BringToFront());
    Probe probe;
    ChatReading text = std::string("unset");
    DWORD ms = TimeMs([&] { text = probe.Read(); });
    EXPECT_FALSE(text.has_value());
    EXPECT_LT(ms, kHangBoundMs);
    std::printf("control hanging on the request: reading %lu ms\n", static_cast<unsigned long>(ms));
}

TEST(ChatProbeWin, WindowThatHangsLaterGivesNoReadingWithinTheBound) {
    StandinChat standin(L"--hang-after-ms 3000 --hang-seconds 9 --transcript-file \"" + WriteTempFile(kTranscript) +
                        L"\"");
    ASSERT_TRUE(standin.BringToFront());
    Probe probe;
    EXPECT_EQ(probe.Read(), kTranscript);
    ASSERT_TRUE(WaitUntilHung(standin.Window()));
    ChatReading text = std::string("unset");
    DWORD ms = TimeMs([&] { text = probe.Read(); });
    EXPECT_FALSE(text.has_value());
    EXPECT_LT(ms, kHangBoundMs);
}

// The stand-in lays out messages as a chat client does: "nickname  HH:MM:SS", then the body.
bool IsHeaderWithTime(const std::string& line, const std::string& nickname) {
    if (line.size() != nickname.size() + 10 || line.compare(0, nickname.size(), nickname) != 0) return false;
    const std::string rest = line.substr(nickname.size());
    unsigned h, m, s;
    char tail;
    return rest.compare(0, 2, "  ") == 0 && std::sscanf(rest.c_str() + 2, "%2u:%2u:%2u%c", &h, &m, &s, &tail) == 3 &&
           h < 24 && m < 60 && s < 60 && rest[4] == ':' && rest[7] == ':';
}

TEST(StandinChatWin, AppendsMessagesAsAChatClientLaysThemOut) {
    StandinChat standin(L"--transcript-file \"" + WriteTempFile(kTranscript) + L"\"");
    ASSERT_TRUE(standin.BringToFront());
    Probe probe;

    // Through the protocol: nickname and a two-line body.
    ASSERT_TRUE(standin.AppendMessage("Bob", "line one\nline two"));
    std::string t = probe.Text();
    ASSERT_EQ(t.compare(0, kTranscript.size(), kTranscript), 0);
    std::string added = t.substr(kTranscript.size());
    ASSERT_GT(added.size(), 15u);
    EXPECT_TRUE(IsHeaderWithTime(added.substr(0, added.find("\r\n")), "Bob")) << added;
    EXPECT_EQ(added.substr(added.find("\r\n")), "\r\nline one\r\nline two\r\n");

    // As a person would: type a nickname and a message, press the send button.
    HWND top = standin.Window();
    HWND nick = FindWindowExW(top, nullptr, L"Edit", nullptr);
    ASSERT_NE(nick, nullptr);
    HWND message = FindWindowExW(top, nick, L"Edit", nullptr);
    HWND send = FindWindowExW(top, nullptr, L"Button", nullptr);
    ASSERT_NE(message, nullptr);
    ASSERT_NE(send, nullptr);
    SetWindowTextW(nick, L"我");
    SetWindowTextW(message, L"在吗？");
    DWORD_PTR r;
    SendMessageTimeoutW(send, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &r);
    ASSERT_TRUE(standin.BringToFront());
    const std::string before = t;
    t = probe.Text();
    ASSERT_EQ(t.compare(0, before.size(), before), 0);
    added = t.substr(before.size());
    const std::string me = WideToAnsi(L"我");
    EXPECT_TRUE(IsHeaderWithTime(added.substr(0, added.find("\r\n")), me)) << added;
    EXPECT_EQ(added.substr(added.find("\r\n")), "\r\n" + WideToAnsi(L"在吗？") + "\r\n");
    EXPECT_EQ(WindowTextW(message), L"") << "the message field empties after sending";

    // Verbatim bytes, so tests can choose the time text themselves.
    ASSERT_TRUE(standin.AppendRaw("Eve  23:59:59\r\nbye\r\n"));
    t = probe.Text();
    EXPECT_EQ(t.substr(t.size() - 20), "Eve  23:59:59\r\nbye\r\n");
}

TEST(StandinChatWin, ChattersOnItsOwnWhenAsked) {
    StandinChat standin(L"--chatter-ms 150");
    ASSERT_TRUE(standin.BringToFront());
    Probe probe;
    std::string t;
    // Two messages are four line breaks.
    auto lineBreaks = [](const std::string& s) {
        int n = 0;
        for (std::size_t p = s.find("\r\n"); p != std::string::npos; p = s.find("\r\n", p + 2)) ++n;
        return n;
    };
    ASSERT_TRUE(WaitUntil([&] { return lineBreaks(t = probe.Text()) >= 4; }, kPatienceMs))
        << "fewer than two messages arrived";
    // Every message is a header line with the friend's nickname and a time, then one body line.
    const std::string friendName = WideToAnsi(L"小鱼");
    std::size_t pos = 0;
    int messages = 0;
    while (pos < t.size()) {
        std::size_t headerEnd = t.find("\r\n", pos);
        ASSERT_NE(headerEnd, std::string::npos);
        EXPECT_TRUE(IsHeaderWithTime(t.substr(pos, headerEnd - pos), friendName)) << t.substr(pos, headerEnd - pos);
        std::size_t bodyEnd = t.find("\r\n", headerEnd + 2);
        ASSERT_NE(bodyEnd, std::string::npos);
        EXPECT_GT(bodyEnd, headerEnd + 2) << "empty body";
        pos = bodyEnd + 2;
        ++messages;
    }
    EXPECT_GE(messages, 2);
}

TEST(StandinChatWin, TakesItsSettingsFromTheCommandLine) {
    // Chinese on the command line must arrive whole, not through the ANSI code page.
    StandinChat standin(L"--title \"与 大熊 聊天中\"");
    EXPECT_EQ(WindowTextW(standin.Window()), L"与 大熊 聊天中");
    ASSERT_TRUE(standin.BringToFront());
    Probe probe;
    std::string chatTitle;
    probe.Tick(chatTitle);
    EXPECT_EQ(chatTitle, WideToAnsi(L"与 大熊 聊天中"));
    EXPECT_EQ(probe.Read(), "") << "starts with an empty transcript";

    // A transcript file that cannot be read ends the stand-in at once with exit code 2.
    ChildProcess missing(StandinChatExe(), L"--transcript-file \"C:\\no\\such\\file.txt\"");
    DWORD code = 0;
    ASSERT_TRUE(missing.WaitExit(kPatienceMs, &code));
    EXPECT_EQ(code, 2u);
}

TEST(StandinChatWin, TranscriptControlAnswersInBytes) {
    StandinChat standin(L"--transcript-file \"" + WriteTempFile(kTranscript) + L"\"");
    HWND control = standin.TranscriptControl();
    ASSERT_NE(control, nullptr);
    char cls[32] = {};
    GetClassNameA(control, cls, sizeof cls);
    EXPECT_STREQ(cls, "RichEdit20A");
    DWORD_PTR n = 0;
    ASSERT_TRUE(SendMessageTimeoutA(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &n));
    EXPECT_EQ(n, kTranscript.size());
    // A short buffer gets what fits and a NUL, as WM_GETTEXT promises.
    char small[8];
    std::memset(small, 'Z', sizeof small);
    ASSERT_TRUE(SendMessageTimeoutA(control, WM_GETTEXT, sizeof small, reinterpret_cast<LPARAM>(small),
                                    SMTO_ABORTIFHUNG, 5000, &n));
    EXPECT_EQ(n, 7u);
    EXPECT_EQ(std::string(small), kTranscript.substr(0, 7));
}

}  // namespace
