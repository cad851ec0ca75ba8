// Friends' voices: which voice, rate and volume each message of a group chat is heard with,
// by the rules in set.ini's [voices] and by 自动分配声音, one message at a time and queued;
// the rules the dialog may take, and the lines written back at exit.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/fmain.h"
#include "common/form_doubles.h"
#include "support/iconv_codepage.h"
#include "support/recording_engine.h"

namespace {

const std::string kIni = "C:\\Users\\ann\\AppData\\Roaming\\sonvira\\set.ini";
const std::string kFish = "\xd0\xa1\xd3\xe3";  // 小鱼

// A group chat in front; "Me" tells the user's own messages. The friends' profile is Alto at
// rate 1, volume 90; the own one Tenor at the defaults.
struct Group {
    explicit Group(bool autoVoice = false) {
        engine.SetVoices({"Alto", "Bass", "Tenor", ""});
        quiet.profile.Set(kIni, "voices", kFish, "Bass|-3|70");
        quiet.profile.Set(kIni, "voices", "Zed", "Gone|5|5");
        quiet.profile.Set(kIni, "voices", "bot", "Tenor|2|2");
        quiet.profile.Set(kIni, "voices", ";note", "Bass|0|0");
        quiet.profile.Set(kIni, "set", "EngineName", "Tenor");
        quiet.profile.Set(kIni, "set", "Rate1", "1");
        quiet.profile.Set(kIni, "set", "Volume1", "90");
        quiet.profile.Set(kIni, "set", "mynick", "Me");
        quiet.profile.Set(kIni, "set", "mute", "bot");
        quiet.profile.Set(kIni, "set", "autovoice", autoVoice ? "1" : "0");
        chat.title = Utf8ToGbk("读书会 － 群");
        form.FormCreate();
        form.Timer3.Tick();
        form.NShowTime1.SetChecked(false);
        form.CBFriendsname.SetChecked(false);
        form.CBmyname.SetChecked(false);
        form.Timer2.Tick();
        engine.ClearLog();
    }
    // Each message spoken, as "voice rate volume: text".
    std::vector<std::string> Heard(const std::vector<std::pair<std::string, std::string>>& messages) {
        static int second = 10;
        for (const auto& [sender, body] : messages)
            chat.transcript += sender + " 10:00:" + std::to_string(second++ % 50 + 10) + "\r\n" + body + "\r\n";
        form.Timer2.Tick();
        while (form.TimerSpeech.Enabled()) form.TimerSpeech.Tick();
        std::vector<std::string> heard;
        std::map<std::string, std::map<std::string, std::string>> set;  // object -> operation -> value
        for (const std::string& entry : engine.log) {
            const std::size_t a = entry.find(' '), b = entry.find(' ', a + 1);
            const std::string object = entry.substr(0, a), op = entry.substr(a + 1, b - a - 1);
            const std::string arg = b == std::string::npos ? "" : entry.substr(b + 1);
            if (op == "Speak") heard.push_back(set[object]["SetVoice"] + " " + set[object]["SetRate"] + " " +
                                               set[object]["SetVolume"] + ": " + arg);
            else set[object][op] = arg;
        }
        engine.ClearLog();
        return heard;
    }
    RecordingEngine engine;
    OneChatInFront chat;
    IconvCodePage codePage;
    NullLog log;
    QuietStartup quiet;
    QuietDesk desk;
    TFmain form{QuietServices(chat, codePage, engine, log, quiet, desk)};
};

TEST(FriendVoices, EachFriendIsHeardWithTheVoiceOfTheRulesOrOfTheNickname) {
    struct Case {
        const char* what;
        bool autoVoice;
        std::string sender;
        std::vector<std::string> heard;
    } cases[] = {
        {"a rule: its voice, rate and volume", false, kFish, {"Bass -3 70: hi"}},
        {"trimmed of blanks, the full-width one too", false, kFish + "\xa1\xa1 ", {"Bass -3 70: hi"}},
        {"no rule: the friends' profile", false, "Ann", {"Alto 1 90: hi"}},
        {"a rule whose voice is not installed: the friends' profile", false, "Zed", {"Alto 1 90: hi"}},
        {"muted, with a rule: not heard", false, "bot", {}},
        {"own messages keep the own profile", false, "Me", {"Tenor 0 100: hi"}},
        {"a line that cannot be a key is no rule", false, ";note", {"Alto 1 90: hi"}},
        {"autovoice: a rule still rules", true, kFish, {"Bass -3 70: hi"}},
        {"autovoice: an unknown voice's rule still takes the profile", true, "Zed", {"Alto 1 90: hi"}},
        {"autovoice: muted stays muted", true, "bot", {}},
    };
    for (const Case& c : cases) {
        Group g(c.autoVoice);
        EXPECT_EQ(g.Heard({{c.sender, "hi"}}), c.heard) << c.what;
    }
}

// The same nickname gets the same voice on every start; the hash is FNV-1a, whatever the
// machine. An unnamed voice is never given, nor one that failed.
TEST(FriendVoices, AutomaticVoicesAreStableAcrossStartsAndPassOverFailedOnes) {
    EXPECT_EQ(NickHash("a"), 0xE40C292Cu);
    EXPECT_EQ(NickHash(""), 2166136261u);
    std::vector<std::string> first, second;
    for (auto* run : {&first, &second}) {
        Group g(true);
        for (const char* nick : {"Ann", "Bob", "Cy", "Dee", "Eve", "Fay"}) {
            const auto heard = g.Heard({{nick, "x"}});
            ASSERT_EQ(heard.size(), 1u) << nick;
            run->push_back(heard[0]);
            EXPECT_NE(heard[0].substr(0, 1), " ") << nick << ": the unnamed voice is no voice of its own";
        }
    }
    EXPECT_EQ(first, second);
    std::set<std::string> voices;
    for (const std::string& h : first) voices.insert(h.substr(0, h.find(' ')));
    EXPECT_GT(voices.size(), 1u) << "six friends are not all given one voice";

    Group g(true);
    g.engine.failing = {"Speak with Bass"};
    g.Heard({{"Ann", "x"}, {"Bob", "x"}, {"Cy", "x"}, {"Dee", "x"}, {"Eve", "x"}, {"Fay", "x"}});
    for (const char* nick : {"Ann", "Bob", "Cy", "Dee", "Eve", "Fay"})
        for (const std::string& h : g.Heard({{nick, "x"}}))
            EXPECT_EQ(h.find("Bass"), std::string::npos) << nick << ": a failed voice is passed over";
}

// Queued, a friend's own voice waits its turn and is waited for; 停止朗读 silences it.
TEST(FriendVoices, QueuedTheyWaitTheirTurnAndStopSilencesThem) {
    Group g;
    g.form.CBReadAll.SetChecked(true);
    g.Heard({{"Ann", "start"}});
    g.engine.speaking = true;
    g.chat.transcript += "Ann 10:01:00\r\na\r\n" + kFish + " 10:01:01\r\nb\r\nAnn 10:01:02\r\nc\r\n";
    g.form.Timer2.Tick();
    g.engine.speaking = false;
    g.form.TimerSpeech.Tick();  // a is done: b begins
    g.engine.speaking = true;
    for (int i = 0; i < 3; ++i) g.form.TimerSpeech.Tick();
    EXPECT_EQ(g.engine.Only({"Speak"}).size(), 2u) << "c waits for b's own voice";
    g.engine.speaking = false;
    EXPECT_EQ(g.Heard({}), (std::vector<std::string>{"Alto 1 90: a", "Bass -3 70: b", "Alto 1 90: c"}));
    g.engine.speaking = true;
    g.chat.transcript += kFish + " 10:02:00\r\nd\r\nAnn 10:02:01\r\ne\r\n";
    g.form.Timer2.Tick();
    g.form.StopSpeak1Click();
    g.engine.speaking = false;
    EXPECT_EQ(g.Heard({}), std::vector<std::string>{"Bass -3 70: d"}) << "e no longer waits";
    EXPECT_EQ(g.engine.VoicesAlive(), 0) << "every voice object let go, d's too";
}

TEST(FriendVoices, TheDialogTakesUpTo200RulesWithNicknamesThatCanBeKeys) {
    struct : ILeadBytes {
        bool IsLeadByte(unsigned char c) const override { return c >= 0x81 && c <= 0xFE; }
    } lead;
    FriendVoices rules;
    struct Case {
        std::string nick;
        FriendVoiceProblem problem;
    } cases[] = {
        {" \xa1\xa1 ", FriendVoiceProblem::NoNick}, {"a=b", FriendVoiceProblem::NotAKey},
        {";x", FriendVoiceProblem::NotAKey},        {"[x", FriendVoiceProblem::NotAKey},
        {"x;[", FriendVoiceProblem::None},
    };
    for (const Case& c : cases) EXPECT_EQ(PutFriendVoice(rules, {c.nick, "Bass", 0, 100}, lead), c.problem) << c.nick;
    EXPECT_EQ(PutFriendVoice(rules, {"y", "", 0, 100}, lead), FriendVoiceProblem::NoVoice);
    for (int i = 1; i < 200; ++i)
        ASSERT_EQ(PutFriendVoice(rules, {"n" + std::to_string(i), "Bass", 0, 100}, lead), FriendVoiceProblem::None);
    EXPECT_EQ(PutFriendVoice(rules, {"one more", "Bass", 0, 100}, lead), FriendVoiceProblem::TooMany);
    EXPECT_EQ(PutFriendVoice(rules, {" n7 ", "Alto", 30, -4}, lead), FriendVoiceProblem::None) << "a change";
    ASSERT_EQ(rules.size(), 200u);
    EXPECT_EQ(FriendVoiceLine(rules[7]), "n7=Alto|10|0") << "trimmed and kept within bounds";

    // Written back at exit in their order, an uninstalled voice's rule as written.
    Group g;
    g.form.FFriendVoices.push_back({"Ann", "Tenor|x", -1, 55});
    g.form.FormDestroy();
    EXPECT_EQ(g.quiet.profile.Lines(kIni, "voices"),
              (std::vector<std::string>{kFish + "=Bass|-3|70", "Zed=Gone|5|5", "bot=Tenor|2|2", "Ann=Tenor|x|-1|55"}));
    FriendVoice back;
    ASSERT_TRUE(ParseFriendVoice("Ann=Tenor|x|-1|55", lead, back));
    EXPECT_EQ(back.voice, "Tenor|x");
}

}  // namespace
