// The watcher's tick against doubles of everything it touches: a chat window whose
// transcript (and whether it answers) the test scripts reading by reading, two voices that
// record what they were given, and a log that records its lines. The transcripts use the messenger's layout
// ("nickname HH:MM:SS", then the body), so the real parser decides what is new.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/fmain.h"
#include "app/message_log.h"
#include "base/text.h"
#include "capture/watcher.h"
#include "common/form_doubles.h"
#include "common/uia_tree.h"
#include "capture/chat_watch.h"
#include "support/iconv_codepage.h"
#include "common/memory_log.h"
#include "support/recording_engine.h"

namespace {

const std::string kSaid = gbk::kSaidColon;        // "说："
const std::string kSpaceSaid = gbk::kSpaceSaidColon;  // " 说："
const std::string kHello = "\xc4\xe3\xba\xc3";     // 你好
const std::string kXiaoyu = "\xd0\xa1\xd3\xe3";    // 小鱼

struct Line {
    std::string text;
    std::uint32_t colour;
    bool scroll;
    bool operator==(const Line& o) const { return text == o.text && colour == o.colour && scroll == o.scroll; }
};

std::ostream& operator<<(std::ostream& os, const Line& l) {
    return os << "{\"" << l.text << "\", 0x" << std::hex << l.colour << std::dec << ", " << l.scroll << "}";
}

class FakePorts : public WatcherPorts {
public:
    // The foreground chat window's transcript as the next reading will find it.
    std::string transcript;
    // Called before each reading with its number (1-based within the whole test), so a test
    // can change the transcript between the readings of one tick.
    std::function<void(int)> beforeReading;
    int readings = 0;
    // Numbers of the readings that the chat window leaves unanswered.
    std::set<int> silentReadings;

    ReadingOptions options;
    bool &ownMessages = options.cbme, &ownName = options.cbmyname, &friendMessages = options.cbfriend,
         &friendName = options.cbfriendsname, &showTime = options.showtime;
    std::string& myNick = options.mynick;

    std::vector<std::string> ownSpoken, friendSpoken;
    std::vector<Line> lines;
    std::vector<std::string> events;  // "speak" and "log" in the order they happened
    int failAppendsFrom = 0;          // 1-based number of the first append that throws, 0 = none

    ChatReading ReadChatText() {
        ++readings;
        if (beforeReading) beforeReading(readings);
        if (silentReadings.count(readings)) return std::nullopt;
        return transcript;
    }
    void Speak(ProfileId profile, const std::string& t) override {
        (profile == kOwnProfile ? ownSpoken : friendSpoken).push_back(t);
        events.push_back("speak");
    }
    void AppendColouredLine(const std::string& t, std::uint32_t colour, bool scroll) override {
        if (failAppendsFrom && static_cast<int>(lines.size()) + 1 >= failAppendsFrom)
            throw std::runtime_error("selection failed");
        lines.push_back({t, colour, scroll});
        events.push_back("log");
    }

    // Runs one tick and returns how many readings it took.
    int Tick(const std::string& title, std::string& lastHeader) {
        int before = readings;
        ChatPlace place{lastHeader, {}, false};
        try {
            WatchChat(*this, options, ReadChatText(), title, place);
        } catch (...) {
            lastHeader = place.lastHeader;
            throw;
        }
        lastHeader = place.lastHeader;
        return readings - before;
    }
};

// A transcript in the messenger's layout: header lines "nick HH:MM:SS", each followed by
// its body.
std::string Msg(const std::string& nick, const std::string& time, const std::string& body) {
    return nick + " " + time + "\r\n" + body + "\r\n";
}

const std::string kAliceTitle = "Alice - chat";

TEST(Watcher, FriendMessageIsSpokenWithTheFriendVoiceAndLoggedBlueThenBlack) {
    FakePorts p;
    p.transcript = Msg("Alice", "12:34:56", "hello " + kHello);
    std::string last;
    EXPECT_EQ(p.Tick(kAliceTitle, last), 1);
    EXPECT_EQ(last, "Alice 12:34:56");
    EXPECT_TRUE(p.ownSpoken.empty());
    EXPECT_EQ(p.friendSpoken, std::vector<std::string>{"Alice" + kSaid + "hello " + kHello});
    std::vector<Line> expected = {{"Alice 12:34:56" + kSpaceSaid, kColourFriendHeader, false},
                                  {"hello " + kHello, kColourBody, true}};
    EXPECT_EQ(p.lines, expected);
    EXPECT_EQ(p.events, (std::vector<std::string>{"speak", "log", "log"})) << "speech starts before logging";
}

TEST(Watcher, OwnMessageIsSpokenWithTheOwnVoiceAndLoggedGreen) {
    FakePorts p;
    p.transcript = Msg("Alice", "12:34:56", "hi") + Msg("Bob", "12:35:01", "hello Alice");
    std::string last;
    EXPECT_EQ(p.Tick(kAliceTitle, last), 1);
    EXPECT_EQ(p.ownSpoken, std::vector<std::string>{"Bob" + kSaid + "hello Alice"});
    EXPECT_TRUE(p.friendSpoken.empty());
    std::vector<Line> expected = {{"Bob 12:35:01" + kSpaceSaid, kColourOwnHeader, false},
                                  {"hello Alice", kColourBody, true}};
    EXPECT_EQ(p.lines, expected);
}

TEST(Watcher, NewestMessageIsHandledOnceHoweverManyTicksPass) {
    FakePorts p;
    p.transcript = Msg("Alice", "12:34:56", "hello");
    std::string last;
    p.Tick(kAliceTitle, last);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(p.Tick(kAliceTitle, last), 1);
    EXPECT_EQ(p.friendSpoken.size(), 1u);
    EXPECT_EQ(p.lines.size(), 2u);
}

// The transcript is copied whole out of the chat window at every reading: one per tick,
// whatever the tick finds and whatever it does with it.
TEST(Watcher, OneReadingPerTick) {
    struct Case {
        const char* name;
        std::string transcript;
        std::string lastHeader;
        bool message, name_;
    } cases[] = {
        {"no chat in front", "", "Alice 12:34:56", true, true},
        {"header without a body", "Gina 13:00:00", "", true, true},
        {"header unchanged", Msg("Alice", "12:34:56", "hi"), "Alice 12:34:56", true, true},
        {"new, both options", Msg("Alice", "12:34:57", "hi"), "Alice 12:34:56", true, true},
        {"new, message only", Msg("Alice", "12:34:57", "hi"), "Alice 12:34:56", true, false},
        {"new, name only", Msg("Alice", "12:34:57", "hi"), "Alice 12:34:56", false, true},
        {"new, nothing spoken", Msg("Alice", "12:34:57", "hi"), "Alice 12:34:56", false, false},
    };
    for (const auto& c : cases) {
        for (const std::string& title : {kAliceTitle, std::string("Carol - chat")}) {
            FakePorts p;
            p.transcript = c.transcript;
            p.ownMessages = p.friendMessages = c.message;
            p.ownName = p.friendName = c.name_;
            std::string last = c.lastHeader;
            EXPECT_EQ(p.Tick(title, last), 1) << c.name << " in " << title;
        }
    }
}

// A message may arrive while a tick runs. Here the chat window shows a different message
// at every reading, so what was spoken, logged and recorded shows which reading each value
// came from: all of them from the tick's one reading, never a mix of two messages.
TEST(Watcher, EveryValueComesFromTheTicksOneReading) {
    struct Case {
        const char* name;
        std::string title;
        bool message, nameOpt, showTime;
        std::string recorded, spoken, headerLine, bodyLine;
        bool friendVoice;
    } cases[] = {
        {"own, both", "", true, true, true, "N1 12:34:51", "N1" + kSaid + "body1", "N1 12:34:51", "body1", false},
        {"own, message", "", true, false, true, "N1 12:34:51", "body1", "N1 12:34:51", "body1", false},
        {"own, name", "", false, true, true, "N1 12:34:51", "N1" + kSaid, "N1 12:34:51", "body1", false},
        {"own, none, sender line", "", false, false, false, "N1 12:34:51", "", "N1", "body1", false},
        // N2 in the title: a second reading would make the message a friend's.
        {"own, later sender in the title", "N2 N3", true, true, true, "N1 12:34:51", "N1" + kSaid + "body1",
         "N1 12:34:51", "body1", false},
        {"friend, both", "N1", true, true, true, "N1 12:34:51", "N1" + kSaid + "body1", "N1 12:34:51", "body1", true},
        {"friend, name, sender line", "N1", false, true, false, "N1 12:34:51", "N1" + kSaid, "N1", "body1", true},
    };
    for (const auto& c : cases) {
        FakePorts p;
        p.ownMessages = p.friendMessages = c.message;
        p.ownName = p.friendName = c.nameOpt;
        p.showTime = c.showTime;
        p.beforeReading = [&p](int n) {
            std::string i = std::to_string(n);
            p.transcript = "N" + i + " 12:34:5" + i + "\r\nbody" + i;
        };
        std::string last = "older 11:00:00";
        EXPECT_EQ(p.Tick(c.title, last), 1) << c.name;
        EXPECT_EQ(last, c.recorded) << c.name;
        const auto& spoken = c.friendVoice ? p.friendSpoken : p.ownSpoken;
        const auto& silent = c.friendVoice ? p.ownSpoken : p.friendSpoken;
        EXPECT_TRUE(silent.empty()) << c.name;
        if (c.spoken.empty())
            EXPECT_TRUE(spoken.empty()) << c.name;
        else
            EXPECT_EQ(spoken, std::vector<std::string>{c.spoken}) << c.name;
        std::uint32_t headerColour = c.friendVoice ? kColourFriendHeader : kColourOwnHeader;
        std::vector<Line> expected = {{c.headerLine + kSpaceSaid, headerColour, false}, {c.bodyLine, kColourBody, true}};
        EXPECT_EQ(p.lines, expected) << c.name;
    }
}

TEST(Watcher, ReadingOptionsDecideWhatIsSpokenNeverWhatIsLogged) {
    struct Case {
        bool message, name;
        std::vector<std::string> spoken;
    } cases[] = {
        {true, true, {"Alice" + kSaid + "see you"}},
        {true, false, {"see you"}},
        {false, true, {"Alice" + kSaid}},
        {false, false, {}},
    };
    for (bool friendMsg : {true, false}) {
        for (const auto& c : cases) {
            FakePorts p;
            p.transcript = Msg("Alice", "09:15:00", "see you");
            // The other direction's options are the opposite, so a mix-up shows.
            if (friendMsg) {
                p.friendMessages = c.message;
                p.friendName = c.name;
                p.ownMessages = !c.message;
                p.ownName = !c.name;
            } else {
                p.ownMessages = c.message;
                p.ownName = c.name;
                p.friendMessages = !c.message;
                p.friendName = !c.name;
            }
            std::string last;
            p.Tick(friendMsg ? kAliceTitle : "Carol - chat", last);
            EXPECT_EQ(friendMsg ? p.friendSpoken : p.ownSpoken, c.spoken) << c.message << c.name;
            EXPECT_TRUE((friendMsg ? p.ownSpoken : p.friendSpoken).empty());
            ASSERT_EQ(p.lines.size(), 2u) << "logged whatever is spoken";
            EXPECT_EQ(p.lines[0].text, "Alice 09:15:00" + kSpaceSaid);
            EXPECT_EQ(p.lines[1].text, "see you");
        }
    }
}

TEST(Watcher, ShowTimeChoosesWholeHeaderOrSenderForTheHeaderLine) {
    FakePorts p;
    std::string last;
    p.transcript = Msg(kXiaoyu, "16:20:30", kHello);
    p.showTime = true;
    p.Tick(kXiaoyu + " - chat", last);
    p.showTime = false;
    p.transcript += Msg(kXiaoyu, "16:20:41", "again");
    p.Tick(kXiaoyu + " - chat", last);
    ASSERT_EQ(p.lines.size(), 4u);
    EXPECT_EQ(p.lines[0].text, kXiaoyu + " 16:20:30" + kSpaceSaid);
    EXPECT_EQ(p.lines[2].text, kXiaoyu + kSpaceSaid) << "only messages handled after the toggle change";
    EXPECT_EQ(p.friendSpoken.back(), kXiaoyu + kSaid + "again");
}

TEST(Watcher, IdenticalHeadersMakeTheSecondMessageInvisible) {
    FakePorts p;
    std::string last;
    p.transcript = Msg("Alice", "12:00:00", "first");
    p.Tick(kAliceTitle, last);
    p.transcript += Msg("Alice", "12:00:00", "second, same second");
    p.Tick(kAliceTitle, last);
    EXPECT_EQ(p.friendSpoken, std::vector<std::string>{"Alice" + kSaid + "first"});
    EXPECT_EQ(p.lines.size(), 2u);
}

TEST(Watcher, SeveralMessagesBetweenTwoTicksOnlyTheNewestIsHandled) {
    FakePorts p;
    std::string last;
    p.transcript = Msg("Alice", "12:00:00", "first");
    p.Tick(kAliceTitle, last);
    p.transcript += Msg("Alice", "12:00:01", "second") + Msg("Bob", "12:00:02", "third") +
                    Msg("Alice", "12:00:03", "fourth");
    p.Tick(kAliceTitle, last);
    EXPECT_EQ(p.friendSpoken, (std::vector<std::string>{"Alice" + kSaid + "first", "Alice" + kSaid + "fourth"}));
    EXPECT_TRUE(p.ownSpoken.empty()) << "Bob's message in between is never read";
    ASSERT_EQ(p.lines.size(), 4u);
    EXPECT_EQ(p.lines[3].text, "fourth");
}

TEST(Watcher, SwitchingBetweenTwoChatsHandlesEachNewestAnew) {
    const std::string a = Msg("Alice", "10:00:00", "from A");
    const std::string b = Msg("Carol", "10:00:05", "from B");
    const std::string titleA = kAliceTitle, titleB = "Carol - chat";
    struct Step {
        const std::string* transcript;
        const std::string* title;
        bool handled;
        const char* what;
    } steps[] = {
        {&a, &titleA, true, "first tick with A in front"},
        {&a, &titleA, false, "A again"},
        {&b, &titleB, true, "B brought to the front"},
        {&a, &titleA, true, "back in A: its newest message again"},
        {nullptr, &titleA, false, "another program in front"},
        {&a, &titleA, false, "back to the same chat"},
    };
    FakePorts p;
    std::string last;
    for (const auto& s : steps) {
        p.transcript = s.transcript ? *s.transcript : std::string();
        std::size_t before = p.friendSpoken.size();
        p.Tick(*s.title, last);
        EXPECT_EQ(p.friendSpoken.size() - before, s.handled ? 1u : 0u) << s.what;
    }
    EXPECT_EQ(last, "Alice 10:00:00");
    EXPECT_TRUE(p.ownSpoken.empty());
}

TEST(Watcher, TitleTimerNotYetRefreshedJudgesByThePreviousTitle) {
    FakePorts p;
    std::string last;
    p.transcript = Msg("Carol", "10:00:05", "from B");
    p.Tick(kAliceTitle, last);  // B is in front, but the title is still A's
    EXPECT_EQ(p.ownSpoken, std::vector<std::string>{"Carol" + kSaid + "from B"});
    EXPECT_EQ(p.lines.at(0).colour, kColourOwnHeader);
}

TEST(Watcher, WhoSpokeIsDecidedBySubstringOfTheTitle) {
    struct Case {
        const char* name;
        std::string title, nick;
        bool friendMsg;
        std::string myNick = {};  // "我的昵称": when set, it alone decides
    } cases[] = {
        {"no title seen yet", "", "Alice", false},
        {"friend named in the title", kAliceTitle, "Alice", true},
        {"user's own nickname in the title", "Bob's group - chat", "Bob", true},
        {"one-character sender inside a longer name", kAliceTitle, "A", true},
        {"case matters", kAliceTitle, "alice", false},
        {"Chinese nickname", "\xd3\xeb" + kXiaoyu + "\xc1\xc4\xcc\xec\xd6\xd0", kXiaoyu, true},  // 与小鱼聊天中
        {"my nickname as typed, blanks around it", kAliceTitle, "Alice", false, " Alice "},
        {"my nickname is a whole name, not a part of one", "Meg - chat", "Meg", true, "Me"},
    };
    for (const auto& c : cases) {
        FakePorts p;
        p.myNick = c.myNick;
        p.transcript = Msg(c.nick, "21:07:45", "text");
        std::string last;
        p.Tick(c.title, last);
        EXPECT_EQ(p.friendSpoken.size(), c.friendMsg ? 1u : 0u) << c.name;
        EXPECT_EQ(p.ownSpoken.size(), c.friendMsg ? 0u : 1u) << c.name;
        ASSERT_EQ(p.lines.size(), 2u) << c.name;
        EXPECT_EQ(p.lines[0].colour, c.friendMsg ? kColourFriendHeader : kColourOwnHeader) << c.name;
    }
}

TEST(Watcher, EmptySenderCountsAsOwnAndItsHeaderLineIsLeftToTheLog) {
    // "0:15:20" matches no cut token, so the nickname comes out empty.
    FakePorts p;
    p.transcript = Msg("Dave", "0:15:20", "late");
    p.showTime = false;
    std::string last;
    p.Tick("Dave - chat", last);
    EXPECT_EQ(p.ownSpoken, std::vector<std::string>{kSaid + "late"});
    ASSERT_EQ(p.lines.size(), 2u);
    EXPECT_EQ(p.lines[0].text, kSpaceSaid) << "the log refuses it, not the watcher";
}

TEST(Watcher, EmptyHeaderAfterANonEmptyOneIsHandledOnce) {
    FakePorts p;
    std::string last = "Alice 12:00:00";
    p.transcript = "no header here\r\nsecond\r\nthird";
    EXPECT_EQ(p.Tick(kAliceTitle, last), 1);
    EXPECT_EQ(last, "");
    EXPECT_EQ(p.ownSpoken, std::vector<std::string>{kSaid + "second\r\nthird"});
    p.Tick(kAliceTitle, last);  // an empty header equals an empty record
    EXPECT_EQ(p.ownSpoken.size(), 1u);
}

TEST(Watcher, NothingInFrontKeepsTheRecordedHeader) {
    FakePorts p;
    std::string last = "Alice 12:00:00";
    for (const char* t : {"", "   \r\n", "Gina 13:00:00\r\n   "}) {
        p.transcript = t;
        EXPECT_EQ(p.Tick(kAliceTitle, last), 1);
    }
    EXPECT_EQ(last, "Alice 12:00:00");
    EXPECT_TRUE(p.lines.empty());
}

// A chat window that does not answer (hung, or in the reader's quiet period after a
// time-out) is not a chat with nothing in it: that tick changes nothing, not even the
// recorded header, and a message is spoken and logged once, at the first tick that gets an
// answer. Alice's messages are a friend's, Bob's the user's own. With one reading per tick,
// the unanswered reading is that tick's.
TEST(Watcher, UnansweredReadingChangesNothing) {
    const std::string one = Msg("Alice", "12:00:00", "one");
    const std::string two = one + Msg("Bob", "12:00:05", "two");
    const std::string older = "older 11:00:00", headerOne = "Alice 12:00:00", headerTwo = "Bob 12:00:05";
    const std::string saidOne = "friend: Alice" + kSaid + "one", saidTwo = "own: Bob" + kSaid + "two";
    struct Step {
        const std::string* shown;
        bool answers;
        std::string said;  // "" = nothing spoken and nothing logged
        std::string recorded;
    };
    struct Case {
        const char* name;
        Step ticks[3];
    } cases[] = {
        {"new message, silent at its first tick",
         {{&one, false, "", older}, {&one, true, saidOne, headerOne}, {&one, true, "", headerOne}}},
        {"unchanged message, silent",
         {{&one, true, saidOne, headerOne}, {&one, false, "", headerOne}, {&one, true, "", headerOne}}},
        {"next message arrives while silent",
         {{&one, true, saidOne, headerOne}, {&two, false, "", headerOne}, {&two, true, saidTwo, headerTwo}}},
        {"silent after the next message was handled",
         {{&one, true, saidOne, headerOne}, {&two, true, saidTwo, headerTwo}, {&two, false, "", headerTwo}}},
        {"silent for two ticks",
         {{&one, false, "", older}, {&one, false, "", older}, {&one, true, saidOne, headerOne}}},
    };
    for (const auto& c : cases) {
        FakePorts p;
        for (int t = 0; t < 3; ++t)
            if (!c.ticks[t].answers) p.silentReadings.insert(t + 1);
        std::string last = older;
        for (int t = 0; t < 3; ++t) {
            const Step& s = c.ticks[t];
            SCOPED_TRACE(std::string(c.name) + ", tick " + std::to_string(t + 1));
            p.transcript = *s.shown;
            const std::size_t own = p.ownSpoken.size(), friends = p.friendSpoken.size(), lines = p.lines.size();
            EXPECT_EQ(p.Tick(kAliceTitle, last), 1);
            EXPECT_EQ(last, s.recorded);
            std::vector<std::string> said;
            for (std::size_t i = own; i < p.ownSpoken.size(); ++i) said.push_back("own: " + p.ownSpoken[i]);
            for (std::size_t i = friends; i < p.friendSpoken.size(); ++i) said.push_back("friend: " + p.friendSpoken[i]);
            EXPECT_EQ(said, s.said.empty() ? std::vector<std::string>{} : std::vector<std::string>{s.said});
            EXPECT_EQ(p.lines.size() - lines, s.said.empty() ? 0u : 2u);
        }
    }
}

TEST(Watcher, ClearingTheLogDoesNotBringTheMessageBack) {
    FakePorts p;
    std::string last;
    p.transcript = Msg("Alice", "12:00:00", "hello");
    p.Tick(kAliceTitle, last);
    p.lines.clear();  // the user cleared the log
    p.Tick(kAliceTitle, last);
    EXPECT_TRUE(p.lines.empty());
}

TEST(Watcher, NewestMessageRemovedMakesThePreviousOneNewIfItsHeaderDiffers) {
    FakePorts p;
    std::string last;
    p.transcript = Msg("Alice", "12:00:00", "one") + Msg("Alice", "12:00:09", "two");
    p.Tick(kAliceTitle, last);
    p.transcript = Msg("Alice", "12:00:00", "one");  // the messenger's window was cleared in part
    p.Tick(kAliceTitle, last);
    EXPECT_EQ(p.friendSpoken.back(), "Alice" + kSaid + "one");
    EXPECT_EQ(last, "Alice 12:00:00");
}

TEST(Watcher, LogFailureLeavesTheTickButTheMessageStaysHandled) {
    FakePorts p;
    p.failAppendsFrom = 1;
    p.transcript = Msg("Alice", "12:00:00", "hello");
    std::string last;
    EXPECT_THROW(p.Tick(kAliceTitle, last), std::runtime_error);
    EXPECT_EQ(last, "Alice 12:00:00") << "recorded before anything could fail";
    EXPECT_EQ(p.friendSpoken.size(), 1u) << "speech was already started";
    p.failAppendsFrom = 0;
    p.Tick(kAliceTitle, last);
    EXPECT_TRUE(p.lines.empty());
}

// The main window's own tick: its check boxes, its two voice profiles and its log are what
// the watcher is given, with the chat window as the probe finds it.
// The voice each spoken text was said with: "<voice>: <text>".
std::vector<std::string> SpokenWithVoice(const RecordingEngine& engine) {
    std::vector<std::string> said;
    std::map<std::string, std::string> voiceOf;  // "#n" -> voice
    for (const std::string& entry : engine.log) {
        std::size_t a = entry.find(' '), b = entry.find(' ', a + 1);
        std::string object = entry.substr(0, a), op = entry.substr(a + 1, b - a - 1);
        std::string arg = b == std::string::npos ? std::string() : entry.substr(b + 1);
        if (op == "SetVoice") voiceOf[object] = arg;
        if (op == "Speak") said.push_back(voiceOf[object] + ": " + arg);
    }
    return said;
}

TEST(MainWindowTick, SpeaksWithTheProfileOfTheDirectionAndLogsInItsColour) {
    RecordingEngine engine;
    engine.SetVoices({"Mary", "Mike"});
    OneChatInFront chat;
    chat.title = Utf8ToGbk("与 小鱼 交谈中");
    IconvCodePage codePage;
    MemoryLog log;
    QuietStartup quiet;
    QuietDesk desk;
    TFmain form{QuietServices(chat, codePage, engine, log, quiet, desk)};
    form.FormCreate();
    form.Profiles[kOwnProfile].CBVoice.SetItemIndex(0);   // own: Mary
    form.Profiles[kFriendProfile].CBVoice.SetItemIndex(1);  // friends: Mike
    form.Timer3.Tick();             // the title timer sees the chat window

    const std::string fish = Utf8ToGbk("小鱼");
    chat.transcript = fish + "  12:00:00\r\n" + kHello + "\r\n";
    form.Options.cbme = false;  // own options must not matter for a friend's message
    form.Options.cbmyname = false;
    engine.ClearLog();
    form.Timer2.Tick();
    EXPECT_EQ(SpokenWithVoice(engine), std::vector<std::string>{"Mike: " + fish + " " + kSaid + kHello});
    EXPECT_EQ(form.FLastHeader, fish + "  12:00:00");

    chat.transcript += "Bob  12:00:05\r\nhi\r\n";
    form.Options.cbfriend = false;
    form.Options.cbfriendsname = false;
    form.Options.cbme = true;
    form.Options.showtime = false;
    engine.ClearLog();
    form.Timer2.Tick();
    EXPECT_EQ(SpokenWithVoice(engine), std::vector<std::string>{"Mary: hi"});

    const std::string header1 = fish + "  12:00:00" + kSpaceSaid + "\r", body1 = kHello + "\r";
    const std::string header2 = "Bob " + kSpaceSaid + "\r", body2 = "hi\r";
    EXPECT_EQ(log.text, header1 + body1 + header2 + body2);
    EXPECT_EQ(log.ColourRun(kColourFriendHeader), header1);
    EXPECT_EQ(log.ColourRun(kColourOwnHeader), header2);
    EXPECT_EQ(log.ColourRun(kColourBody), body1 + body2);
    const long bodyStart = static_cast<long>((header1 + body1 + header2).size());
    EXPECT_EQ(log.selStart, bodyStart);
    EXPECT_EQ(log.selEnd, bodyStart);
}

// Reading every message: which messages of each reading are new, tick by tick. Each step is
// a reading of one chat window and the bodies it makes new ("|" between them).
TEST(NewMessages, BelowTheLastHandledOneOldestFirstButNeverTheHistory) {
    const std::string a = Msg("Ann", "10:00:01", "a"), b = Msg("Ann", "10:00:02", "b"),
                      c = Msg("Bob", "10:00:03", "c"), d = Msg("Ann", "10:00:04", "d");
    const std::string same = Msg("Ann", "10:00:02", "b");  // b's header and body again
    struct Step {
        std::string transcript, fresh;
    };
    const struct Case {
        const char* what;
        std::vector<Step> steps;
    } cases[] = {
        {"no place yet: the newest only", {{a + b + c, "c"}}},
        {"a burst", {{a, "a"}, {a + b + c + d, "b|c|d"}, {a + b + c + d, ""}}},
        {"identical headers, even identical messages", {{a + b, "b"}, {a + b + same, "b"}, {a + b + same + c, "c"}}},
        {"history trimmed from the top", {{a + b, "b"}, {b + c + d, "c|d"}}},
        {"history trimmed past the last handled one: what came later", {{a + b, "b"}, {c + d, "c|d"}, {a + b, "b"}, {a + b + c, "c"}}},
        {"the last handled one found from the newest, by header and body",
         {{a + b, "b"}, {a + b + same, "b"}, {b + same + d, "d"}, {Msg("Bob", "10:00:05", "d") + c, "d|c"}}},
        {"an empty transcript is a place", {{"", ""}, {a + b + c, "a|b|c"}, {"", ""}, {d, "d"}}},
        {"closed and reopened with its history",
         {{a + b, "b"}, {"", ""}, {a + b + c, "c"}, {"\n" + a + b + c + d, "d"}}},
        {"past midnight, an hour of one digit",
         {{Msg("Ann", "23:59:58", "x") + Msg("Ann", "23:59:59", "y"), "y"},
          {Msg("Ann", "0:00:01", "z1") + Msg("Ann", "0:00:02", "z2"), "z1|z2"}}},
        {"a body with a time in it splits nothing",
         {{a, "a"}, {a + Msg("Ann", "10:00:02", "3:30 ok\r\nhttp://10.0.0.1:8080/x"), "3:30 ok\r\nhttp://10.0.0.1:8080/x"}}},
        {"a header still without its body is waited for",
         {{a, "a"}, {a + "Ann 10:00:02\r\n", ""}, {a + b + "Bob 10:00:03", ""}, {a + b + c, "b|c"}}},
    };
    for (const Case& c : cases) {
        ChatPlace place;
        for (const Step& step : c.steps) {
            std::string fresh;
            for (const ChatMessage& m : TakeNewMessages(text::Trim(step.transcript), place))
                fresh += (fresh.empty() ? "" : "|") + m.body;
            EXPECT_EQ(fresh, step.fresh) << c.what << ", at " << step.transcript;
        }
    }
}

// The main window with every reading option of its third tab: two chat windows shown, one in
// front and a group chat behind it, one voice that is still speaking, and a burst.
TEST(MainWindowTick, EveryMessageOfEveryChatShownIsQueuedAndSpokenOneAfterAnother) {
    RecordingEngine engine;
    engine.SetVoices({"Mary", "Mike"});
    FakeChatWindows chats;
    auto chat = [&](const std::string& title) { return chats.AddChat(Utf8ToGbk(title)); };
    const auto [front, frontText] = chat("与 小鱼 交谈中");
    const auto [group, groupText] = chat("读书会 － 群");
    chats.front = front;
    IconvCodePage codePage;
    MemoryLog log;
    QuietStartup quiet;
    QuietDesk desk;
    TFmain form{QuietServices(chats, codePage, engine, log, quiet, desk)};
    form.FormCreate();
    form.Profiles[kFriendProfile].CBVoice.SetItemIndex(1);  // friends: Mike
    form.Options.readall = true;
    form.Options.background = true;
    form.Options.mynick = "Me";
    form.Options.mute = "bot";
    form.Timer3.Tick();
    chats.At(frontText).text = Msg("Me", "09:00:00", "old");
    chats.At(groupText).text = Msg("Zed", "09:00:00", "old");
    form.Timer2.Tick();  // the newest of each, never its history
    engine.speaking = true;  // Zed's message goes on while the burst arrives
    std::string burst;
    for (int i = 1; i <= 13; ++i)
        burst += Msg(i == 2 ? "bot" : "Ann", "10:00:" + std::to_string(10 + i), "m" + std::to_string(i));
    burst += Msg("Me", "10:00:24", "own");  // the burst ends with the user's own message
    chats.At(groupText).text += burst;
    engine.ClearLog();
    form.Timer2.Tick();
    EXPECT_TRUE(SpokenWithVoice(engine).empty()) << "nothing cuts off what is being said";
    engine.speaking = false;
    while (form.TimerSpeech.Enabled()) form.TimerSpeech.Tick();
    // The muted bot is not queued; of the other thirteen the three oldest make way for the
    // notice, said by the voice of the next message to come. In a group chat no nickname is in
    // the title: Ann is a friend because she is not "Me".
    std::vector<std::string> expected = {"Mike: " + SkippedMessagesText(3)};
    for (int i = 5; i <= 13; ++i) expected.push_back("Mike: Ann" + kSaid + "m" + std::to_string(i));
    expected.push_back("Mary: Me" + kSaid + "own");
    EXPECT_EQ(SpokenWithVoice(engine), expected);
    EXPECT_NE(log.text.find("bot 10:00:12" + kSpaceSaid + "\rm2\r"), std::string::npos) << "muted, still logged";
    EXPECT_NE(log.text.find("m1\r"), std::string::npos) << "skipped, still logged";

    chats.At(frontText).text += Msg("Me ", "10:00:30", "mine") + Msg("Me", "10:00:31", "more");
    engine.speaking = true;
    engine.ClearLog();
    form.Timer2.Tick();
    form.StopSpeak1Click();
    engine.speaking = false;
    while (form.TimerSpeech.Enabled()) form.TimerSpeech.Tick();
    EXPECT_EQ(SpokenWithVoice(engine), std::vector<std::string>{"Mary: Me " + kSaid + "mine"})
        << "the user by the nickname; stopping empties the queue";

    // What waits is spoken by the options of its turn: a sender muted meanwhile, the windows
    // behind no longer read, every message no longer read.
    auto waitingThenPumped = [&](const std::function<void()>& meanwhile) {
        engine.speaking = true;
        engine.ClearLog();
        form.Timer2.Tick();
        meanwhile();
        engine.speaking = false;
        while (form.TimerSpeech.Enabled()) form.TimerSpeech.Tick();
        return SpokenWithVoice(engine);
    };
    chats.At(frontText).text += Msg("Me", "10:00:40", "a") + Msg("Zed", "10:00:41", "b") + Msg("Me", "10:00:42", "c");
    EXPECT_EQ(waitingThenPumped([&] { form.Options.mute = "bot;Zed"; }),
              (std::vector<std::string>{"Mary: Me" + kSaid + "a", "Mary: Me" + kSaid + "c"}));
    chats.At(groupText).text += Msg("Ann", "10:00:50", "x") + Msg("Ann", "10:00:51", "y");
    chats.At(frontText).text += Msg("Me", "10:00:52", "z");
    EXPECT_EQ(waitingThenPumped([&] { form.Options.background = false; }),
              std::vector<std::string>{"Mary: Me" + kSaid + "z"})
        << "x and y waited, from behind";
    chats.At(frontText).text += Msg("Me", "10:01:00", "p") + Msg("Me", "10:01:01", "q");
    EXPECT_EQ(waitingThenPumped([&] { form.Options.readall = false; }),
              std::vector<std::string>{"Mary: Me" + kSaid + "p"});
}

// The reading worker, answering in the test's own time: a round is read when the test says.
struct RoundByRound : IUiaReader {
    explicit RoundByRound(IUiaTree& tree) : lists(tree) {}
    bool Available() override { return true; }
    bool Ready() override { return jobs.empty(); }
    void Submit(std::vector<UiaJob> j) override { jobs = std::move(j); }
    std::vector<UiaReading> Round() {
        std::vector<UiaReading> readings;
        for (const UiaJob& j : jobs) readings.push_back(lists.Read(j, "12:00:00"));
        jobs.clear();
        return readings;
    }
    UiaListReader lists;
    std::vector<UiaJob> jobs;
};

// WeChat's windows through the worker, with the options of the third tab: a chat popped out
// of WeChat 3.9 in front and WeChat 4 behind it.
TEST(MainWindowTick, WeChatWindowsAreReadThroughTheWorkerWithEveryReadingOption) {
    RecordingEngine engine;
    engine.SetVoices({"Mary", "Mike"});
    FakeChatWindows chats;
    const WindowRef chat39 = chats.Add(0, "ChatWnd", Utf8ToGbk("小鱼"));
    const WindowRef main4 = chats.Add(0, "Qt51514QWindowIcon", Utf8ToGbk("微信"));
    chats.Add(0, "WeChatMainWndForPC", Utf8ToGbk("微信"));  // its tree shows no list
    chats.front = chat39;
    FakeUiaTree tree;
    FakeUiaTree::Node* list39 = tree.Window(chat39);
    FakeUiaTree::Node* list4 = tree.Window(main4);
    tree.Message39(list39, "Ann", "old", false);
    RoundByRound worker(tree);
    IconvCodePage codePage;
    MemoryLog log;
    QuietStartup quiet;
    QuietDesk desk;
    TFmainServices services = QuietServices(chats, codePage, engine, log, quiet, desk);
    services.uia = &worker;
    TFmain form{services};
    form.FormCreate();
    form.Profiles[kFriendProfile].CBVoice.SetItemIndex(1);  // friends: Mike
    form.Options.showtime = false;
    // The watcher's tick asks the worker, and so does the quicker timer between its ticks.
    auto tickWith = [&](TTimer& timer) {
        timer.Tick();
        form.UiaRoundDone(worker.Round());
        while (form.TimerSpeech.Enabled()) form.TimerSpeech.Tick();
    };
    auto tick = [&] { tickWith(form.Timer2); };
    tick();  // first sight: the history is not read
    tree.Message39(list39, "Me", "hi", true);
    tree.Message39(list39, "Ann", "yo", false);
    engine.ClearLog();
    tickWith(form.TimerUia);
    EXPECT_EQ(SpokenWithVoice(engine), std::vector<std::string>{"Mike: Ann " + kSaid + "yo"})
        << "one at a time, the newest stands for the burst, and its avatar's side says whose";
    EXPECT_EQ(log.text, "Ann " + kSpaceSaid + "\ryo\r");

    form.Options.readall = true;
    form.Options.background = true;
    form.Options.mynick = "Ann";
    form.Options.mute = "Bob";
    tree.Message39(list39, "Ann", "a", false);
    tree.Message39(list39, "Bob", "b", false);
    tree.Item4(list4, "mmui::ChatTextItemView", "first sight");
    engine.ClearLog();
    tick();
    tree.Item4(list4, "mmui::ChatItemView", "12:01");
    tree.Item4(list4, "mmui::ChatTextItemView", "behind");
    tickWith(form.TimerUia);
    EXPECT_EQ(SpokenWithVoice(engine), (std::vector<std::string>{"Mary: Ann " + kSaid + "a", "Mike: behind"}))
        << "every message, by the nickname, muted Bob logged only, a window behind without its history";
    EXPECT_NE(log.text.find("Bob " + kSpaceSaid + "\rb\r"), std::string::npos);
    EXPECT_EQ(form.TrayIcon1.BalloonHint, texts::kMessagesHidden) << "a WeChat that shows no list is told of";
    form.TrayIcon1.BalloonHint.clear();

    tree.Item4(list4, "mmui::ChatTextItemView", "late");
    form.Timer2.Tick();  // asked for while the windows behind are read
    form.Options.background = false;
    engine.ClearLog();
    form.UiaRoundDone(worker.Round());
    EXPECT_TRUE(SpokenWithVoice(engine).empty()) << "what a window behind said after that option was unticked";

    form.Options.wechat = false;
    tree.Message39(list39, "Ann", "unread", false);
    form.Timer2.Tick();
    EXPECT_TRUE(worker.jobs.empty()) << "no WeChat window is read with the option off";
    form.Options.wechat = true;
    engine.ClearLog();
    tick();
    EXPECT_EQ(SpokenWithVoice(engine), std::vector<std::string>{"Mary: Ann " + kSaid + "unread"});
    EXPECT_TRUE(form.TrayIcon1.BalloonHint.empty()) << "told once a run";
}

// Each window keeps its place, whichever window is in front and however the options change:
// each step changes the windows or the options, ticks once, and names the bodies handled.
TEST(ChatWatch, EachWindowKeepsItsPlaceAcrossSwitchesAndOptionChanges) {
    FakeChatWindows chats;
    auto chat = [&](const std::string& title) { return chats.AddChat(Utf8ToGbk(title)); };
    const auto [a, aText] = chat("与 小鱼 交谈中");
    const auto [b, bText] = chat("读书会 － 群");
    FakePorts ports;
    std::string lastHeader, title = "x";
    ReadingOptions& o = ports.options;
    o.readall = true;
    ChatWatch watch(chats, ports, o, nullptr, lastHeader, title);
    auto says = [&](WindowRef text, const char* time, const char* body) { chats.At(text).text += Msg("Ann", time, body); };
    struct Step {
        const char* what;
        std::function<void()> change;
        std::string handled;
    } steps[] = {
        {"first sight", [&] { chats.front = a, says(aText, "10:00:01", "a1"); }, "a1"},
        {"another chat in front", [&] { chats.front = b, says(bText, "10:00:02", "b1"); }, "b1"},
        {"back: nothing repeated", [&] { chats.front = a; }, ""},
        {"one at a time", [&] { o.readall = false, says(aText, "10:00:03", "a2"); }, "a2"},
        {"every message again: from there", [&] { o.readall = true, says(aText, "10:00:04", "a3"), says(aText, "10:00:05", "a4"); }, "a3|a4"},
        {"the windows behind ticked: placed, not read", [&] { o.background = true, says(bText, "10:00:06", "b2"); }, ""},
        {"behind", [&] { says(bText, "10:00:07", "b3"); }, "b3"},
        {"behind no more, the front goes on", [&] {
             o.background = false;
             for (const char* m : {"a5", "a6", "a7"}) says(aText, "10:00:08", m);
         }, "a5|a6|a7"},
        {"closed", [&] { o.background = true, chats.At(b).closed = true; }, ""},
        {"its handle reused for another chat: first sight", [&] {
             chats.At(b).closed = false;
             chats.At(bText).text = Msg("Zed", "11:00:00", "c1") + Msg("Zed", "11:00:01", "c2");
         }, "c2"},
    };
    for (const Step& s : steps) {
        s.change();
        const std::size_t before = ports.lines.size();
        watch.Tick();
        std::string handled;
        for (std::size_t i = before + 1; i < ports.lines.size(); i += 2) handled += (handled.empty() ? "" : "|") + ports.lines[i].text;
        EXPECT_EQ(handled, s.handled) << s.what;
    }
    EXPECT_GT(chats.rounds, 0) << "the windows behind were listed";
}

}  // namespace
