// What Sonvira says, heard through the real speech engine: sonvira.exe beside the stand-in
// chat window, with the test voices installed. The user picks a voice, rate and volume for
// each kind of message in the options tab; then, under each setting of the reading options,
// a friend and the user write. The test voice's record must hold exactly what the reading
// options ask for, each message once, with the voice, rate and volume of its profile, and the
// log must show every message whatever was spoken. The same run measures how long a message
// takes from the chat window to the voice.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "app/fmain_win.h"
#include "support/process.h"
#include "support/sonvira.h"
#include "support/standin.h"
#include "support/voice_record.h"
#include "win/codepage_win.h"

namespace {

struct Profile {
    const wchar_t* voice;
    int rate, volume;
};

struct Expected {
    std::wstring voice, text;
    int rate, volume;
};

void SetCheck(HWND main, int id, bool on) {
    HWND box = FindControl(main, id);
    ASSERT_NE(box, nullptr);
    if ((SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED) != on) SendMessageW(box, BM_CLICK, 0, 0);
    ASSERT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED, on);
}

std::wstring Spoken(const VoiceUtterance& u) {
    std::wstring text;
    for (const auto& f : u.fragments) text += f.text;
    return text;
}

TEST(Speech, EachMessageIsSaidOnceAsTheReadingOptionsAskWithItsProfilesVoice) {
    ASSERT_FALSE(VoiceRecordPath().empty()) << "the test voices are not installed";
    ASSERT_TRUE(ClearVoiceRecord());
    RunningSonvira sonvira;
    HWND main = sonvira.Main();
    ASSERT_NE(main, nullptr);
    // With voices that speak, start-up has nothing to report.
    const std::vector<std::wstring> boxes = sonvira.StartUpBoxes();
    EXPECT_TRUE(boxes.empty()) << "start-up showed a box: " << WideToUtf8(boxes.front());

    // The options tab, as a user sets it: a voice, rate and volume for each kind of message.
    const Profile own = {kAltoVoice, 4, 55}, friends = {kBassVoice, -6, 90};
    ASSERT_TRUE(PickListItem(FindControl(main, IDC_CBVOICE), own.voice));
    ASSERT_TRUE(PickListItem(FindControl(main, IDC_CBVOICE1), friends.voice));
    struct Bar {
        int track, label, position;
    } bars[] = {{IDC_TRATE, IDC_LRATE, own.rate},
                {IDC_TVOLUME, IDC_LVOLUME, own.volume},
                {IDC_TRATE1, IDC_LRATE1, friends.rate},
                {IDC_TVOLUME1, IDC_LVOLUME1, friends.volume}};
    for (const auto& b : bars) {
        DragTrackBar(FindControl(main, b.track), b.position);
        HWND label = FindControl(main, b.label);
        ASSERT_TRUE(WaitUntil([&] { return WindowTextW(label) == std::to_wstring(b.position); }, kPatienceMs));
    }
    EXPECT_EQ(VisibleBox(sonvira.Id()), nullptr) << "the options were refused";

    StandinChat chat(L"--title \"与 小鱼 交谈中\"");
    ASSERT_TRUE(chat.BringToFront());
    ASSERT_TRUE(chat.WaitForReaders(2)) << "Sonvira never looked at the chat";
    HWND log = FindControl(main, IDC_RICHEDIT1);
    const std::wstring friendNick = L"小鱼", ownNick = L"Bob";
    std::vector<Expected> expected;
    std::vector<double> latencies;
    int n = 0;
    struct Options {
        bool message, name;
    } settings[] = {{true, true}, {true, false}, {false, true}, {false, false}};
    for (const auto& o : settings) {
        SetCheck(main, IDC_CBME, o.message);
        SetCheck(main, IDC_CBFRIEND, o.message);
        SetCheck(main, IDC_CBMYNAME, o.name);
        SetCheck(main, IDC_CBFRIENDSNAME, o.name);
        ASSERT_TRUE(chat.BringToFront());
        for (bool fromFriend : {true, false}) {
            const std::wstring& nick = fromFriend ? friendNick : ownNick;
            const Profile& p = fromFriend ? friends : own;
            const std::wstring body = L"第" + std::to_wstring(++n) + L"条 <silence msec=\"9000\"/> ok";
            // Messages fall at different moments of the watcher's second, for a fair latency.
            PumpFor(static_cast<DWORD>(n * 370 % 1000));
            const double sent = VoiceClockMs();
            ASSERT_TRUE(chat.AppendMessage(WideToAnsi(nick), WideToAnsi(body)));
            // The nickname as cut from the header keeps one of the two blanks before the time.
            const std::wstring sender = nick + L" ";
            const std::wstring said = o.message && o.name ? sender + L"说：" + body
                                      : o.message         ? body
                                      : o.name            ? sender + L"说："
                                                          : L"";
            if (!said.empty()) expected.push_back({p.voice, said, p.rate, p.volume});
            // Logged whatever was said, after the speech was started.
            ASSERT_TRUE(WaitUntil([&] { return WindowTextW(log).find(L" 说：\r\n" + body + L"\r\n") != std::wstring::npos; },
                                  5000))
                << "not logged: " << WideToUtf8(body);
            if (!said.empty()) {
                bool heard = false;
                VoiceRecord r = WaitForVoiceRecord([&](const VoiceRecord& v) { return v.size() >= expected.size(); },
                                                   kPatienceMs, &heard);
                ASSERT_TRUE(heard) << "not said: " << WideToUtf8(said);
                latencies.push_back(r[expected.size() - 1].beginMs - sent);
            }
            if (n == 1) {
                // The same header again with another body is no new message.
                const std::string header = chat.LastHeader();
                ASSERT_TRUE(chat.AppendRaw(header + "\r\n" + WideToAnsi(L"同一个标题") + "\r\n"));
                ASSERT_TRUE(chat.WaitForReaders(2));
            }
        }
    }

    // Exactly what was expected, in order: nothing twice, nothing for a repeated header, once
    // the watcher has looked again.
    ASSERT_TRUE(chat.WaitForReaders(2));
    VoiceRecord record = ReadVoiceRecord();
    ASSERT_EQ(record.size(), expected.size());
    for (std::size_t i = 0; i < record.size(); ++i) {
        const VoiceUtterance& u = record[i];
        EXPECT_EQ(u.voice, expected[i].voice) << i;
        EXPECT_EQ(Spoken(u), expected[i].text) << i;
        // Markup-like chat text reaches the voice as one plain fragment.
        ASSERT_EQ(u.fragments.size(), 1u) << i;
        EXPECT_EQ(u.fragments[0].action, "Speak") << i;
        EXPECT_EQ(u.rate, expected[i].rate) << i;
        EXPECT_EQ(u.volume, static_cast<unsigned>(expected[i].volume)) << i;
    }
    const std::wstring text = WindowTextW(log);
    EXPECT_EQ(std::count(text.begin(), text.end(), L'\n'), 2 * n) << "two log lines per message, no more";
    EXPECT_EQ(text.find(L"同一个标题"), std::wstring::npos);

    std::sort(latencies.begin(), latencies.end());
    std::printf("speech: chat-to-voice latency over %u messages: median %.0f ms (min %.0f, max %.0f)\n",
                static_cast<unsigned>(latencies.size()), latencies[latencies.size() / 2], latencies.front(),
                latencies.back());
    EXPECT_TRUE(sonvira.Running());
}

// The third tab's options, some from set.ini and some set on the tab: a group chat behind the
// chat in front gets a burst, two of its messages with the same header. Each is said once, in
// arrival order, none cut off and none over another, links and repeats filtered, the user told
// by the nickname; the log keeps every message as written.
TEST(Speech, EveryMessageOfABurstBehindTheChatInFrontIsSaidInTurn) {
    ASSERT_TRUE(ClearVoiceRecord());
    RunningSonvira sonvira(SonviraExe(), "[set]\r\nreadall=1\r\nbackground=1\r\nnolinks=1\r\n");
    HWND main = sonvira.Main();
    ASSERT_NE(main, nullptr);
    ASSERT_NE(WaitForControl(main, IDC_EDITMYNICK), nullptr);
    ASSERT_TRUE(PickListItem(FindControl(main, IDC_CBVOICE1), kBassVoice));
    SendMessageW(FindControl(main, IDC_EDITMYNICK), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Bob"));
    SetCheck(main, IDC_CBSQUEEZE, true);

    StandinChat group(L"--title \"读书会 － 群\"");
    ASSERT_TRUE(group.SetTranscript(WideToAnsi(L"老王  09:59:00\r\n早\r\n")));
    StandinChat chat(L"--title \"与 小鱼 交谈中\"");
    ASSERT_TRUE(chat.BringToFront());
    ASSERT_TRUE(group.WaitForReaders(2)) << "Sonvira never looked at the chat behind";
    const std::wstring burst = L"小鱼  10:00:01\r\n看 http://a.cn/x?y=1 呀\r\nBob  10:00:01\r\n哈哈哈哈哈哈\r\n"
                               L"老王  10:00:02\r\n好\r\n老王  10:00:02\r\n好吗\r\n";
    const double sent = VoiceClockMs();
    ASSERT_TRUE(group.AppendRaw(WideToAnsi(burst)));

    const std::vector<std::pair<const wchar_t*, std::wstring>> expected = {
        {kBassVoice, L"老王 说：早"}, {kBassVoice, L"小鱼 说：看 链接 呀"}, {kAltoVoice, L"Bob 说：哈哈哈"},
        {kBassVoice, L"老王 说：好"}, {kBassVoice, L"老王 说：好吗"}};
    bool heard = false;
    VoiceRecord r = WaitForVoiceRecord(
        [&](const VoiceRecord& v) { return v.size() >= expected.size() && v.back().ended; }, 4 * kPatienceMs, &heard);
    ASSERT_TRUE(heard) << "said " << r.size() << " of " << expected.size();
    ASSERT_TRUE(group.WaitForReaders(2));
    r = ReadVoiceRecord();
    ASSERT_EQ(r.size(), expected.size());
    std::printf("speech: burst behind the chat in front to its first voice: %.0f ms\n", r[1].beginMs - sent);
    for (std::size_t i = 0; i < r.size(); ++i) {
        EXPECT_EQ(r[i].voice, expected[i].first) << i;
        EXPECT_EQ(Spoken(r[i]), expected[i].second) << i;
        EXPECT_TRUE(r[i].completed) << i << " was cut off";
        if (i > 0) {
            EXPECT_GE(r[i].beginMs, r[i - 1].endMs) << i << " began while " << i - 1 << " spoke";
        }
    }
    EXPECT_NE(WindowTextW(FindControl(main, IDC_RICHEDIT1)).find(L"看 http://a.cn/x?y=1 呀\r\nBob  10:00:01 说：\r\n哈哈哈哈哈哈"),
              std::wstring::npos);
}

// Friends' own voices in a group chat: two friends with rules in set.ini's [voices], a third
// given one by 自动分配声音, the user with the own profile. A burst is said in turn, each with
// its voice, rate and volume; the rules are still in set.ini after exit.
TEST(Speech, FriendsOfAGroupChatAreHeardWithTheirOwnVoices) {
    ASSERT_TRUE(ClearVoiceRecord());
    const std::string rules = WideToAnsi(L"小鱼=Sonvira Test Alto|3|40\r\n老王=Sonvira Test Bass|-4|70\r\n");
    RunningSonvira sonvira(SonviraExe(), "[set]\r\nEngineName=Sonvira Test Alto\r\nEngineName1=Sonvira Test Bass\r\n"
                                         "Rate1=-6\r\nVolume1=90\r\nreadall=1\r\nmynick=Bob\r\nautovoice=1\r\n"
                                         "[voices]\r\n" + rules);
    HWND main = sonvira.Main();
    ASSERT_NE(main, nullptr);
    ASSERT_NE(WaitForControl(main, IDC_CBAUTOVOICE), nullptr);
    EXPECT_EQ(SendMessageW(FindControl(main, IDC_CBAUTOVOICE), BM_GETCHECK, 0, 0), BST_CHECKED);
    // 阿花 gets a voice by herself: her nickname's hash picks the first of the two named voices,
    // Alto, so she is told from the friends' profile (Bass).
    StandinChat group(L"--title \"读书会 － 群\"");
    ASSERT_TRUE(group.SetTranscript(WideToAnsi(L"Bob  09:59:00\r\n早\r\n")));
    ASSERT_TRUE(group.BringToFront());
    ASSERT_TRUE(group.WaitForReaders(2)) << "Sonvira never looked at the chat";
    ASSERT_TRUE(group.AppendRaw(WideToAnsi(L"小鱼  10:00:01\r\n一\r\n老王  10:00:02\r\n二\r\n"
                                           L"阿花  10:00:03\r\n三\r\nBob  10:00:04\r\n四\r\n")));
    const std::vector<Expected> expected = {{kAltoVoice, L"Bob 说：早", 0, 100},  {kAltoVoice, L"小鱼 说：一", 3, 40},
                                            {kBassVoice, L"老王 说：二", -4, 70}, {kAltoVoice, L"阿花 说：三", -6, 90},
                                            {kAltoVoice, L"Bob 说：四", 0, 100}};
    bool heard = false;
    VoiceRecord r = WaitForVoiceRecord(
        [&](const VoiceRecord& v) { return v.size() >= expected.size() && v.back().ended; }, 4 * kPatienceMs, &heard);
    ASSERT_TRUE(heard) << "said " << r.size() << " of " << expected.size();
    ASSERT_EQ(r.size(), expected.size());
    for (std::size_t i = 0; i < r.size(); ++i) {
        const Expected& e = expected[i];
        EXPECT_EQ(std::make_tuple(r[i].voice, Spoken(r[i]), r[i].rate, r[i].volume, r[i].completed),
                  std::make_tuple(e.voice, e.text, long{e.rate}, static_cast<unsigned>(e.volume), true)) << i;
        if (i > 0) {
            EXPECT_GE(r[i].beginMs, r[i - 1].endMs) << i << " began while " << i - 1 << " spoke";
        }
    }
    // A rule added in the dialog "好友的声音…" joins them.
    PostMessageW(FindControl(main, IDC_BFRIENDVOICES), BM_CLICK, 0, 0);
    HWND dialog = WaitForTopWindow(sonvira.Id(), L"#32770", L"好友的声音");
    ASSERT_NE(dialog, nullptr);
    SetDlgItemTextW(dialog, IDC_FV_NICK, L" 阿花 ");
    SendDlgItemMessageW(dialog, IDC_FV_VOICE, CB_SETCURSEL, 1, 0);
    SendDlgItemMessageW(dialog, IDC_FV_PUT, BM_CLICK, 0, 0);
    EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_FV_LIST, LB_GETCOUNT, 0, 0), 3);
    PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, kPatienceMs));
    ASSERT_TRUE(sonvira.Exit());
    EXPECT_NE(sonvira.Settings().Bytes().find("[voices]\r\n" + rules + WideToAnsi(L"阿花=Sonvira Test Bass|0|100\r\n")),
              std::string::npos);
}

// Windows 10 and 11 register their Chinese voices only for the newer speech platform, where
// SAPI 5 does not look: such a voice must be offered, kept by its name and heard again after
// a restart, or a user who picked Huihui would lose her on the next start.
TEST(Speech, AVoiceOfTheNewerSpeechPlatformIsChosenKeptAndHeardAfterARestart) {
    const std::wstring oneCore = L"Sonvira OneCore Voice";
    ScopedVoiceToken token(L"SonviraOneCore", oneCore, 330, 16000, kOneCoreTokens);
    ASSERT_TRUE(token.Created());
    RunningSonvira sonvira;
    ASSERT_NE(sonvira.Main(), nullptr);
    HWND voices = WaitForControl(sonvira.Main(), IDC_CBVOICE1);
    ASSERT_TRUE(PickListItem(voices, oneCore)) << "the voice is not offered";
    ASSERT_TRUE(sonvira.Exit());
    EXPECT_NE(sonvira.Settings().Bytes().find("EngineName1=Sonvira OneCore Voice\r\n"), std::string::npos);

    ASSERT_TRUE(ClearVoiceRecord());
    sonvira.Start();
    ASSERT_NE(sonvira.Main(), nullptr);
    EXPECT_EQ(WindowTextW(WaitForControl(sonvira.Main(), IDC_CBVOICE1)), oneCore);
    StandinChat chat(L"--title \"与 小鱼 交谈中\"");
    ASSERT_TRUE(chat.BringToFront());
    ASSERT_TRUE(chat.WaitForReaders(2)) << "Sonvira never looked at the chat";
    ASSERT_TRUE(chat.AppendMessage(WideToAnsi(L"小鱼"), WideToAnsi(L"你好")));
    bool heard = false;
    VoiceRecord r = WaitForVoiceRecord([](const VoiceRecord& v) { return !v.empty() && v.back().ended; },
                                       kPatienceMs, &heard);
    ASSERT_TRUE(heard) << "the friend was not heard";
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].voice, oneCore);
    EXPECT_EQ(Spoken(r[0]), L"小鱼 说：你好");
}

}  // namespace
