// WeChat's windows, read through UI Automation by the real sonvira.exe: the stand-in chat
// window in each WeChat shape (a chat popped out of 3.9, 3.9's main window, 4's main window)
// exposes its message list as WeChat does. What the test voice records and what the log shows
// must follow the rows' rules: history never read, each message once with its profile's voice,
// the sender from the avatar (or none in WeChat 4), pictures by their names, an emoji left out
// of speech; and a WeChat that hangs holds up neither Sonvira's window nor, once back, its
// messages.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/fmain_win.h"
#include "support/process.h"
#include "support/sonvira.h"
#include "support/standin.h"
#include "support/voice_record.h"

namespace {

std::wstring Spoken(const VoiceUtterance& u) {
    std::wstring text;
    for (const auto& f : u.fragments) text += f.text;
    return text;
}

// The window answers a message within a second, however long the chat window hangs.
bool Answers(HWND main) {
    DWORD_PTR r;
    return SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &r) != 0;
}

TEST(WeChat, EachShapeIsReadAsItsRowSays) {
    ASSERT_FALSE(VoiceRecordPath().empty()) << "the test voices are not installed";
    struct Shape {
        const wchar_t* mode;
        bool senders;  // WeChat 4 shows none
        const wchar_t* picture;
    } shapes[] = {{L"3.9", true, L"[图片]"}, {L"3.9main", true, L"[图片]"}, {L"4", false, L"图片"}};
    for (const Shape& s : shapes) {
        SCOPED_TRACE(WideToUtf8(s.mode));
        ASSERT_TRUE(ClearVoiceRecord());
        RunningSonvira sonvira(SonviraExe(), WideToAnsi(std::wstring(L"[set]\r\nEngineName=") + kAltoVoice +
                                                        L"\r\nEngineName1=" + kBassVoice + L"\r\nreadall=1\r\n"));
        HWND main = sonvira.Main();
        ASSERT_NE(main, nullptr);
        StandinChat chat(std::wstring(L"--wechat ") + s.mode + L" --wechat-items 30");
        ASSERT_TRUE(chat.BringToFront());
        // Sonvira reads a window seen for the first time from its newest item on: a person
        // writes until the first message is read.
        ASSERT_TRUE(WaitUntil(
            [&] {
                chat.AppendWeChat(L"friend", L"小鱼", L"在吗");
                return WaitUntil([&] { return sonvira.Log().find(L"在吗") != std::wstring::npos; }, 3000);
            },
            8 * kPatienceMs))
            << "Sonvira never read the WeChat window";
        EXPECT_EQ(sonvira.Log().find(L"消息 1"), std::wstring::npos) << "the history is never read";
        const VoiceRecord first = WaitForVoiceRecord(
            [](const VoiceRecord& v) { return !v.empty() && Spoken(v.back()).find(L"在吗") != std::wstring::npos; },
            kPatienceMs);
        const std::size_t before = first.size();

        const double sent = VoiceClockMs();
        ASSERT_TRUE(chat.AppendWeChat(L"friend", L"小鱼", L"你好😀"));
        ASSERT_TRUE(chat.AppendWeChat(L"own", L"我", L"好的"));
        ASSERT_TRUE(chat.AppendWeChat(L"time", L"", L"12:30"));
        ASSERT_TRUE(chat.AppendWeChat(L"picture", L"小鱼", L""));
        struct Said {
            const wchar_t* voice;
            std::wstring text;
        };
        const std::vector<Said> expected =
            s.senders ? std::vector<Said>{{kBassVoice, L"小鱼 说：你好"}, {kAltoVoice, L"我 说：好的"},
                                          {kBassVoice, std::wstring(L"小鱼 说：") + s.picture}}
                      : std::vector<Said>{{kBassVoice, L"你好"}, {kBassVoice, L"好的"}, {kBassVoice, s.picture}};
        bool heard = false;
        VoiceRecord r = WaitForVoiceRecord([&](const VoiceRecord& v) { return v.size() >= before + expected.size() && v.back().ended; },
                                           4 * kPatienceMs, &heard);
        ASSERT_TRUE(heard) << "said " << r.size() - before << " of " << expected.size() << "; log: " << WideToUtf8(sonvira.Log());
        ASSERT_EQ(r.size(), before + expected.size());
        std::printf("wechat %ls: a message to its voice: %.0f ms\n", s.mode, r[before].beginMs - sent);
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(r[before + i].voice, expected[i].voice) << i;
            EXPECT_EQ(Spoken(r[before + i]), expected[i].text) << i;
        }
        const std::wstring log = sonvira.Log();
        EXPECT_EQ(log.find(L"12:30"), std::wstring::npos) << "a time line is no message";
        EXPECT_NE(log.find(s.senders ? L"小鱼  " : L""), std::wstring::npos);
        EXPECT_NE(log.find(L" 说：\r\n你好\r\n"), std::wstring::npos) << "the log shows what the code page holds";

        if (s.mode == std::wstring(L"3.9")) {
            // A hung WeChat: the window answers all along, and the messages written meanwhile
            // are read once it is back.
            chat.Hang(8000);
            for (int i = 0; i < 10; ++i) {
                EXPECT_TRUE(Answers(main)) << "Sonvira's window did not answer while WeChat hung";
                PumpFor(500);
            }
            // Taken once the chat window answers again.
            ASSERT_TRUE(chat.AppendWeChat(L"friend", L"小鱼", L"回来了"));
            EXPECT_TRUE(WaitUntil([&] { return sonvira.Log().find(L"回来了") != std::wstring::npos; }, 6 * kPatienceMs))
                << "the WeChat that came back was not read again";
        }
        EXPECT_TRUE(sonvira.Running());
    }
}

}  // namespace
