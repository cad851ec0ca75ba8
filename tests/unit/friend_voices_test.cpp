// Friends' voices: which voice, rate and volume each message of a group chat is heard with,
// by the rules in set.ini's [voices] and by 自动分配声音, one at a time and queued; what the
// dialog may take; the rules written back at exit.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <vector>

#include "app/fmain.h"
#include "common/form_doubles.h"
#include "support/iconv_codepage.h"
#include "support/recording_engine.h"

namespace {

const std::string kIni = "C:\\Users\\ann\\AppData\\Roaming\\sonvira\\set.ini";
const std::string kFish = "\xd0\xa1\xd3\xe3";  // 小鱼
using Heard = std::vector<std::string>;

// A group chat in front, "Me" the user (Tenor at the defaults), friends on Alto at 1 and 90.
struct Group {
    explicit Group(const char* autoVoice = "0") {
        engine.SetVoices({"Alto", "Bass", "Tenor", ""});
        for (const auto& r : std::vector<std::array<std::string, 3>>{{"voices", kFish, "Bass|-3|70"}, {"voices", "Zed", "Gone|5|5"},
                                                   {"voices", "bot", "Tenor|2|2"}, {"voices", ";note", "Bass|0|0"},
                                                   {"voices", "Ann", "Tenor|x|-1|55"},
                                                   {"set", "EngineName", "Tenor"}, {"set", "Rate1", "1"},
                                                   {"set", "Volume1", "90"}, {"set", "mynick", "Me"},
                                                   {"set", "mute", "bot"}, {"set", "autovoice", autoVoice},
                                                   {"set", "cbmyname", "0"}, {"set", "cbfriendsname", "0"}})
            quiet.profile.Set(kIni, r[0], r[1], r[2]);
        chat.title = Utf8ToGbk("读书会 － 群");
        form.FormCreate();
        form.Timer3.Tick();
    }
    // Each message spoken since the last call, as "voice rate volume: text".
    Heard Say(const std::string& sender, const std::string& body = "x") {
        if (!sender.empty()) chat.transcript += sender + " 10:00:" + std::to_string(10 + n++) + "\r\n" + body + "\r\n";
        form.Timer2.Tick();
        while (form.TimerSpeech.Enabled()) form.TimerSpeech.Tick();
        Heard heard;
        std::map<std::string, std::map<std::string, std::string>> set;  // object -> operation -> value
        for (const std::string& entry : engine.log) {
            const std::size_t a = entry.find(' '), b = entry.find(' ', a + 1);
            const std::string object = entry.substr(0, a), op = entry.substr(a + 1, b - a - 1), arg = entry.substr(b + 1);
            auto& o = set[object];
            if (op == "Speak") heard.push_back(o["SetVoice"] + " " + o["SetRate"] + " " + o["SetVolume"] + ": " + arg);
            else o[op] = arg;
        }
        engine.ClearLog();
        return heard;
    }
    int n = 0;
    RecordingEngine engine;
    OneChatInFront chat;
    IconvCodePage codePage;
    NullLog log;
    QuietStartup quiet;
    QuietDesk desk;
    TFmain form{QuietServices(chat, codePage, engine, log, quiet, desk)};
};

TEST(FriendVoices, EachFriendIsHeardWithTheVoiceOfTheRulesOrOfTheNickname) {
    const struct {
        const char* what;
        const char* autoVoice;
        std::string sender;
        Heard heard;
    } cases[] = {
        {"a rule: its voice, rate and volume", "0", kFish, {"Bass -3 70: x"}},
        {"trimmed of blanks, the full-width one too", "0", kFish + "\xa1\xa1 ", {"Bass -3 70: x"}},
        {"no rule: the friends' profile", "0", "Cy", {"Alto 1 90: x"}},
        {"a voice named with \"|\", not installed: the friends' profile", "0", "Ann", {"Alto 1 90: x"}},
        {"a rule whose voice is not installed: the friends' profile", "0", "Zed", {"Alto 1 90: x"}},
        {"muted, with a rule: not heard", "0", "bot", {}},
        {"own messages keep the own profile", "0", "Me", {"Tenor 0 100: x"}},
        {"a line that cannot be a key is no rule", "0", ";note", {"Alto 1 90: x"}},
        {"autovoice: a rule still rules", "1", kFish, {"Bass -3 70: x"}},
        {"autovoice: an uninstalled voice's rule still takes the profile", "1", "Zed", {"Alto 1 90: x"}},
        {"autovoice: muted stays muted", "1", "bot", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(Group(c.autoVoice).Say(c.sender), c.heard) << c.what;
}

// FNV-1a, whatever the machine; never the unnamed voice, nor one that failed.
TEST(FriendVoices, AutomaticVoicesAreStableAcrossStartsAndPassOverFailedOnes) {
    EXPECT_EQ(NickHash("a"), 0xE40C292Cu);
    const char* const nicks[] = {"Al", "Bob", "Cy", "Dee", "Eve", "Fay"};
    Heard first, second, failed;
    for (Heard* run : {&first, &second, &failed}) {
        Group g("1");
        if (run == &failed) g.engine.failing = {"Speak with Bass"};
        for (int twice = 0; twice < 2; ++twice) {
            run->clear();
            for (const char* nick : nicks) run->push_back(g.Say(nick).at(0));
        }
    }
    EXPECT_EQ(first, second);
    EXPECT_NE(std::count_if(first.begin(), first.end(), [](auto& h) { return h[0] == 'A'; }), 6) << "not one voice";
    EXPECT_EQ(std::count_if(first.begin(), first.end(), [](auto& h) { return h[0] == ' '; }), 0) << "the unnamed";
    EXPECT_EQ(std::count_if(failed.begin(), failed.end(), [](auto& h) { return h[0] == 'B'; }), 0) << "failed";
}

// Queued (the queue's waiting is heard end to end), 停止朗读 silences a friend's own voice.
TEST(FriendVoices, StopSilencesTheVoiceOfAFriendAndWhatWaits) {
    Group g;
    g.form.Options.readall = true;
    g.Say("Ann");
    g.engine.speaking = true;
    g.chat.transcript += kFish + " 10:02:00\r\nd\r\nAnn 10:02:01\r\ne\r\n";
    g.form.Timer2.Tick();
    g.form.StopSpeak1Click();
    g.engine.speaking = false;
    EXPECT_EQ(g.Say(""), Heard{"Bass -3 70: d"}) << "e no longer waits";
    EXPECT_EQ(g.engine.VoicesAlive(), 0) << "every voice object let go, d's too";
}

TEST(FriendVoices, TheDialogTakesUpTo200RulesWithNicknamesThatCanBeKeysAndExitKeepsThem) {
    Group g;
    FriendVoices rules;
    auto put = [&](const std::string& nick, const char* voice = "Bass", int rate = 0, int volume = 100) {
        return PutFriendVoice(rules, {nick, voice, rate, volume}, g.quiet.paths.LeadBytes());
    };
    using P = FriendVoiceProblem;
    EXPECT_EQ((std::vector<P>{put(" \xa1\xa1 "), put("a=b"), put(";x"), put("[x"), put("y", ""), put("x;[")}),
              (std::vector<P>{P::NoNick, P::NotAKey, P::NotAKey, P::NotAKey, P::NoVoice, P::None}));
    for (int i = 1; i < 200; ++i) ASSERT_EQ(put("n" + std::to_string(i)), P::None);
    EXPECT_EQ(put("one more"), P::TooMany);
    EXPECT_EQ(put(" n7 ", "Alto", 30, -4), P::None) << "a change";
    EXPECT_EQ(FriendVoiceLine(rules.at(7)), "n7=Alto|10|0") << "trimmed and within bounds";

    g.form.FormDestroy();
    EXPECT_EQ(g.quiet.profile.Lines(kIni, "voices"),
              (Heard{kFish + "=Bass|-3|70", "Zed=Gone|5|5", "bot=Tenor|2|2", "Ann=Tenor|x|-1|55"}));
}

}  // namespace
