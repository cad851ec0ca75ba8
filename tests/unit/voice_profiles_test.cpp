// The voice profiles against a recording engine: which voice, rate and volume each profile's
// engine object gets, in which order, which object speaks and which one is dropped, and which
// errors reach the user. Start-up rules run both with the handlers wired as the main window
// wires them and with none wired, since the label and order rules must hold either way.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/fmain.h"
#include "speech/voice_profiles.h"
#include "common/form_doubles.h"
#include "support/recording_engine.h"
#include "ui/application.h"

namespace {

using Log = std::vector<std::string>;

// Collects what reaches the default error handler while a test runs.
struct RecordedErrors {
    std::vector<std::string> messages;
    RecordedErrors() {
        Application.OnException = [this](const std::string& m) { messages.push_back(m); };
    }
    ~RecordedErrors() { Application.OnException = nullptr; }
};

// The components of both profiles as the main window holds them, with the same creation
// values ("CBVoice", volume 80), optionally with the main window's handler wiring.
struct Profiles {
    explicit Profiles(RecordingEngine& engine, bool wired) : all(MakeVoiceProfiles(engine)) {
        if (!wired) return;
        for (VoiceProfile& v : all) {
            v.CBVoice.OnChange = [&v] { ApplyProfileVoice(v); };
            v.TRate.OnChange = [&v] { ApplyProfileRate(v); };
            v.TVolume.OnChange = [&v] { ApplyProfileVolume(v); };
        }
    }
    void Init(int engine, int engine1, int rate, int rate1, int volume, int volume1) {
        const StoredVoice stored[kProfileCount] = {{engine, {}, rate, volume}, {engine1, {}, rate1, volume1}};
        InitVoiceProfiles(all, stored);
    }
    VoiceProfiles all;
    VoiceProfile &own = all[kOwnProfile], &friends = all[kFriendProfile];
    TSpVoice &SpVoice = own.SpVoice, &SpVoice1 = friends.SpVoice;
    TComboBox &CBVoice = own.CBVoice, &CBVoice1 = friends.CBVoice;
    TTrackBar &TRate = own.TRate, &TRate1 = friends.TRate, &TVolume = own.TVolume, &TVolume1 = friends.TVolume;
    TLabel &LRate = own.LRate, &LRate1 = friends.LRate, &LVolume = own.LVolume, &LVolume1 = friends.LVolume;
};

// A handler that sets the engine value runs first when a bar moves, then the explicit set:
// the same call twice in a row. Collapsing repeats leaves the order that matters.
Log WithoutRepeats(const Log& log) {
    Log out;
    for (const auto& e : log)
        if (out.empty() || out.back() != e) out.push_back(e);
    return out;
}

// The main window's logic after its creation handler, with three voices by default.
struct Window {
    explicit Window(std::vector<std::string> voices = {"Mary", "Mike", "Lili"}) {
        engine.SetVoices(voices);
        form.FormCreate();
    }
    RecordingEngine engine;
    NoChatWindows chat;
    BytesCodePage codePage;
    NullLog log;
    QuietStartup quiet;
    QuietDesk desk;
    TFmain form{QuietServices(chat, codePage, engine, log, quiet, desk)};
};

const char kHello[] = "\xc4\xe3\xba\xc3";  // "你好" in GBK: passed on as bytes

TEST(InitVoiceProfiles, StoredIndexSelectsItsItemOrTheFirst) {
    struct Case {
        std::vector<std::string> voices;
        int engine, engine1;
        int selected, selected1;
        const char* why;
    } cases[] = {
        {{"Mary", "Mike", "Lili"}, 5, 1, 0, 1, "past the end"},
        {{"Mary", "Mike", "Lili"}, 3, 2, 0, 2, "one past the last"},
        {{"Mary", "Mike", "Lili"}, -1, -1, 0, 0, "nothing stored"},
        {{"Mary", "Mike", "Lili"}, -7, 2, 0, 2, "negative"},
        {{"Mary", "", "Lili"}, 1, 2, 0, 2, "empty display name"},
        {{"", "Mike"}, 0, 1, 0, 1, "item 0 is taken even when its name is empty"},
        {{"Mary"}, 0, 0, 0, 0, "only voice"},
    };
    for (bool wired : {true, false}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.why) + (wired ? " (wired)" : " (unwired)"));
            RecordingEngine engine;
            engine.SetVoices(c.voices);
            Profiles p(engine, wired);
            p.Init(c.engine, c.engine1, 0, 0, 100, 100);
            EXPECT_EQ(p.CBVoice.ItemIndex(), c.selected);
            EXPECT_EQ(p.CBVoice1.ItemIndex(), c.selected1);
            EXPECT_EQ(p.CBVoice.Text(), c.voices[static_cast<std::size_t>(c.selected)]);
            // The change handler ran exactly once per list, on that list's own object.
            auto setVoice = [&](int object, int index) {
                const std::string& name = c.voices[static_cast<std::size_t>(index)];
                return "#" + std::to_string(object) + " SetVoice" + (name.empty() ? "" : " " + name);
            };
            EXPECT_EQ(engine.Only({"SetVoice"}), (Log{setVoice(1, c.selected), setVoice(2, c.selected1)}));
        }
    }
}

TEST(InitVoiceProfiles, ClampsStoredValuesAndLabelsShowWhatWasApplied) {
    struct Case {
        int rate, rate1, volume, volume1;
        int expRate, expRate1, expVolume, expVolume1;
    } cases[] = {
        {15, -11, -5, 150, 10, -10, 0, 100},
        {0, 0, 0, 80, 0, 0, 0, 80},  // positions the bars already had: nothing fires
        {-3, 7, 100, 100, -3, 7, 100, 100},
        {10, -10, 1, 99, 10, -10, 1, 99},
    };
    for (bool wired : {true, false}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::to_string(c.rate) + "/" + std::to_string(c.volume) + (wired ? " wired" : " unwired"));
            RecordingEngine engine;
            engine.SetVoices({"Mary"});
            Profiles p(engine, wired);
            p.Init(-1, -1, c.rate, c.rate1, c.volume, c.volume1);
            EXPECT_EQ(p.TRate.Position(), c.expRate);
            EXPECT_EQ(p.TRate1.Position(), c.expRate1);
            EXPECT_EQ(p.TVolume.Position(), c.expVolume);
            EXPECT_EQ(p.TVolume1.Position(), c.expVolume1);
            EXPECT_EQ(p.LRate.Caption(), std::to_string(c.expRate));
            EXPECT_EQ(p.LRate1.Caption(), std::to_string(c.expRate1));
            EXPECT_EQ(p.LVolume.Caption(), std::to_string(c.expVolume));
            EXPECT_EQ(p.LVolume1.Caption(), std::to_string(c.expVolume1));
            // The engine objects got the clamped values, each on its own object.
            EXPECT_EQ(WithoutRepeats(engine.Only({"SetRate", "SetVolume"})),
                      (Log{"#1 SetRate " + std::to_string(c.expRate), "#2 SetRate " + std::to_string(c.expRate1),
                           "#1 SetVolume " + std::to_string(c.expVolume),
                           "#2 SetVolume " + std::to_string(c.expVolume1)}));
        }
    }
}

TEST(InitVoiceProfiles, RunsItsStepsInOrder) {
    RecordingEngine engine;
    engine.SetVoices({"Mary", "Mike"});
    const Log expected = {
        "#1 Create",           "#1 GetVoices",     "#0 Description Mary", "#0 Description Mary",
        "#0 Description Mike", "#0 Description Mike", "#1 SetVoice Mike",  "#2 Create",
        "#2 SetVoice Mary",    "#1 SetRate 3",     "#2 SetRate -2",       "#1 SetVolume 50",
        "#2 SetVolume 70",
    };
    Profiles unwired(engine, false);
    unwired.Init(1, 0, 3, -2, 50, 70);
    EXPECT_EQ(engine.log, expected);

    RecordingEngine engine2;
    engine2.SetVoices({"Mary", "Mike"});
    Profiles wired(engine2, true);
    wired.Init(1, 0, 3, -2, 50, 70);
    EXPECT_EQ(WithoutRepeats(engine2.log), WithoutRepeats(expected));
}

TEST(InitVoiceProfiles, BothListsShareEachTokenObject) {
    RecordingEngine engine;
    engine.SetVoices({"Mary", "Mike", "Lili"});
    Profiles p(engine, true);
    p.Init(-1, -1, 0, 0, 100, 100);
    ASSERT_EQ(p.CBVoice.Count(), 3);
    ASSERT_EQ(p.CBVoice1.Count(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(p.CBVoice.Items(i).object.get(), engine.Tokens()[static_cast<std::size_t>(i)].get());
        EXPECT_EQ(p.CBVoice1.Items(i).object.get(), p.CBVoice.Items(i).object.get());
        EXPECT_EQ(p.CBVoice1.Items(i).text, p.CBVoice.Items(i).text);
    }
}

TEST(InitVoiceProfiles, NoVoicesLeavesListsEmptyAndStillAppliesRatesAndVolumes) {
    RecordingEngine engine;
    Profiles p(engine, true);
    p.Init(2, 0, 4, 0, 60, 100);
    EXPECT_EQ(p.CBVoice.Count(), 0);
    EXPECT_EQ(p.CBVoice.ItemIndex(), -1);
    EXPECT_EQ(p.CBVoice1.ItemIndex(), -1);
    EXPECT_EQ(p.CBVoice.Text(), "CBVoice") << "the creation text stays while nothing is selected";
    EXPECT_TRUE(engine.Only({"SetVoice"}).empty());
    EXPECT_EQ(WithoutRepeats(engine.Only({"SetRate", "SetVolume"})),
              (Log{"#1 SetRate 4", "#2 SetRate 0", "#1 SetVolume 60", "#2 SetVolume 100"}));
}

TEST(InitVoiceProfiles, AnEngineErrorStillLeavesEveryControlAtItsStoredValue) {
    // Shutdown writes the controls back: a half-applied start would overwrite stored values.
    // Of two different failing calls, the first is the one reported.
    struct Case {
        std::set<std::string> refused;
        const char* first;
    } cases[] = {
        {{"GetVoices"}, "GetVoices"}, {{"SetVoice"}, "SetVoice"},
        {{"SetRate"}, "SetRate"},     {{"SetVolume"}, "SetVolume"},
        {{"SetVoice", "SetVolume"}, "SetVoice"}, {{"SetRate", "SetVolume"}, "SetRate"},
        {{"Description", "SetRate"}, "Description"},
    };
    for (const auto& c : cases) {
        const std::string refused = c.first;
        SCOPED_TRACE(refused);
        RecordingEngine engine;
        engine.SetVoices({"Mary", "Mike"});
        engine.failing = c.refused;
        Profiles p(engine, true);
        try {
            p.Init(1, 1, -4, 6, 30, 0);
            ADD_FAILURE() << "the engine error was not raised";
        } catch (const EngineError& e) {
            EXPECT_EQ(std::string(e.what()), "engine refused " + refused);
        }
        EXPECT_EQ(p.TRate.Position(), -4);
        EXPECT_EQ(p.TRate1.Position(), 6);
        EXPECT_EQ(p.TVolume.Position(), 30);
        EXPECT_EQ(p.TVolume1.Position(), 0);
        EXPECT_EQ(p.LRate.Caption(), "-4");
        EXPECT_EQ(p.LRate1.Caption(), "6");
        EXPECT_EQ(p.LVolume.Caption(), "30");
        EXPECT_EQ(p.LVolume1.Caption(), "0");
        if (refused != "GetVoices" && refused != "Description") {
            EXPECT_EQ(p.CBVoice.ItemIndex(), 1);
            EXPECT_EQ(p.CBVoice1.ItemIndex(), 1);
        }
    }
}

TEST(MainWindow, StartsWithTheFirstVoiceRateZeroAndVolumeHundred) {
    Window w;
    EXPECT_EQ(w.form.Profiles[kOwnProfile].CBVoice.ItemIndex(), 0);
    EXPECT_EQ(w.form.Profiles[kFriendProfile].CBVoice.ItemIndex(), 0);
    EXPECT_EQ(w.form.Profiles[kOwnProfile].LRate.Caption(), "0");
    EXPECT_EQ(w.form.Profiles[kFriendProfile].LRate.Caption(), "0");
    EXPECT_EQ(w.form.Profiles[kOwnProfile].LVolume.Caption(), "100");
    EXPECT_EQ(w.form.Profiles[kFriendProfile].LVolume.Caption(), "100");
    EXPECT_EQ(w.form.Profiles[kOwnProfile].TVolume.Position(), 100);
    EXPECT_EQ(w.engine.VoicesAlive(), 2);
}

TEST(Speaking, UsesTheControlsOfTheProfileOnAFreshObject) {
    Window w;
    w.form.Profiles[kFriendProfile].CBVoice.UserSelected(2);
    w.form.Profiles[kFriendProfile].TRate.UserMoved(-3);
    w.form.Profiles[kFriendProfile].TVolume.UserMoved(40);
    w.engine.ClearLog();
    w.form.Speak(kFriendProfile, kHello);
    EXPECT_EQ(w.engine.log, (Log{"#2 Destroy", "#3 Create", "#3 SetVoice Lili", "#3 SetRate -3", "#3 SetVolume 40",
                                 std::string("#3 Speak ") + kHello}));
}

TEST(Speaking, ASecondMessageCutsOffTheFirstOfItsProfileOnly) {
    Window w;
    w.form.Speak(kOwnProfile, "one");
    w.form.Speak(kFriendProfile, "two");
    w.engine.ClearLog();
    w.form.Speak(kOwnProfile, "three");
    Log log = w.engine.log;
    // The own object that said "one" (#3) is gone before "three" is spoken; the friend's
    // object (#4) is untouched and still alive.
    auto at = [&](const std::string& e) { return static_cast<std::size_t>(std::find(log.begin(), log.end(), e) - log.begin()); };
    ASSERT_LT(at("#3 Destroy"), log.size());
    ASSERT_LT(at("#5 Speak three"), log.size());
    EXPECT_LT(at("#3 Destroy"), at("#5 Speak three"));
    for (const auto& e : log) EXPECT_EQ(e.rfind("#4 ", 0), std::string::npos) << e;
    EXPECT_EQ(w.engine.VoicesAlive(), 2);
}

TEST(Speaking, StopSilencesBothAndTheNextMessageSpeaksNormally) {
    Window w;
    w.form.Speak(kOwnProfile, "one");
    w.form.Speak(kFriendProfile, "two");
    w.engine.ClearLog();
    w.form.StopSpeak1Click();
    EXPECT_EQ(w.engine.log, (Log{"#3 Destroy", "#4 Destroy"}));
    EXPECT_EQ(w.engine.VoicesAlive(), 0);
    w.engine.ClearLog();
    w.form.Speak(kOwnProfile, "three");
    EXPECT_EQ(w.engine.log, (Log{"#5 Create", "#5 SetVoice Mary", "#5 SetRate 0", "#5 SetVolume 100", "#5 Speak three"}));
}

TEST(Speaking, NoVoicesSaysNothingAndReportsNothing) {
    RecordedErrors errors;
    Window w(std::vector<std::string>{});
    EXPECT_EQ(w.form.Profiles[kOwnProfile].CBVoice.Count(), 0);
    EXPECT_EQ(w.form.Profiles[kFriendProfile].CBVoice.Count(), 0);
    w.form.Speak(kOwnProfile, "one");
    w.form.Speak(kFriendProfile, "two");
    EXPECT_TRUE(w.engine.Only({"Speak", "SetVoice"}).empty());
    EXPECT_TRUE(errors.messages.empty());
}

TEST(Speaking, EngineErrorsAreSwallowedAndStopTheRemainingSteps) {
    struct Case {
        const char* refused;
        Log spoken;  // what reached the engine after the old object went
    } cases[] = {
        {"CreateVoice", {}},
        {"SetVoice", {"#3 Create", "#3 SetVoice Mary"}},
        {"SetRate", {"#3 Create", "#3 SetVoice Mary", "#3 SetRate 0"}},
        {"SetVolume", {"#3 Create", "#3 SetVoice Mary", "#3 SetRate 0", "#3 SetVolume 100"}},
        {"Speak", {"#3 Create", "#3 SetVoice Mary", "#3 SetRate 0", "#3 SetVolume 100", "#3 Speak hi"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.refused);
        RecordedErrors errors;
        Window w({"Mary"});  // no other voice to fall back on
        w.engine.failing = {c.refused};
        w.engine.ClearLog();
        w.form.Speak(kOwnProfile, "hi");
        Log expected = {"#1 Destroy"};
        expected.insert(expected.end(), c.spoken.begin(), c.spoken.end());
        expected.push_back("#0 Description Mary");  // to name the voice that failed
        EXPECT_EQ(w.engine.log, expected);
        EXPECT_TRUE(errors.messages.empty());
    }
}

// A voice that fails is named once, the next one that speaks takes over in its list (so it is
// the one stored), and both profiles pass the failed one over from then on.
TEST(Speaking, AFailedVoiceIsNamedOnceAndTheNextVoiceThatSpeaksTakesOver) {
    struct Case {
        std::set<std::string> refused;
        int speaker;  // -1: none
        Log named;
    } cases[] = {
        {{"SetVoice Mary"}, 1, {"Mary"}},
        {{"Speak with Mary", "SetVoice Mike"}, 2, {"Mary", "Mike"}},
        {{"SetVoice Mary", "Speak with Mike", "SetVoice Lili"}, -1, {"Mary", "Mike", "Lili"}},
    };
    for (const auto& c : cases) {
        RecordingEngine engine;
        engine.SetVoices({"Mary", "Mike", "Lili"});
        Profiles p(engine, true);
        p.Init(-1, -1, 0, 0, 100, 100);
        Log named;
        for (VoiceProfile* v : {&p.own, &p.friends})
            v->onVoiceFailed = [&](const std::string& name) { named.push_back(name); };
        engine.failing = c.refused;
        engine.ClearLog();
        for (const char* text : {"one", "two"})
            for (VoiceProfile* v : {&p.own, &p.friends}) SpeakWithProfile(*v, text);
        EXPECT_EQ(named, c.named);
        // Each failed voice was tried once in all; the speaker spoke all four messages.
        std::map<std::string, int> tries;
        for (const auto& e : engine.Only({"SetVoice"})) ++tries[e.substr(e.rfind(' ') + 1)];
        std::map<std::string, int> expected;
        for (const auto& n : c.named) expected[n] = 1;
        if (c.speaker >= 0) expected[p.CBVoice.Items(c.speaker).text] = 4;
        EXPECT_EQ(tries, expected);
        EXPECT_EQ(p.CBVoice.ItemIndex(), std::max(c.speaker, 0));
        EXPECT_EQ(p.CBVoice1.ItemIndex(), std::max(c.speaker, 0));
    }
}

TEST(MainWindow, NamesAFailedVoiceInABalloon) {
    Window w;
    w.engine.failing = {"SetVoice Mary"};
    w.form.Speak(kOwnProfile, "hi");
    EXPECT_EQ(w.form.TrayIcon1.BalloonHint, texts::VoiceFailed(u"Mary"));
}

TEST(VoiceList, ATextThatNamesNoVoiceReachesTheDefaultHandlerAndKeepsTheVoice) {
    RecordedErrors errors;
    Window w;
    w.form.Profiles[kOwnProfile].CBVoice.UserSelected(1);
    w.engine.ClearLog();
    w.form.Profiles[kOwnProfile].CBVoice.UserEdited("Nobody");
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_EQ(errors.messages[0], "No voice is selected");
    EXPECT_TRUE(w.engine.log.empty()) << "the voice object keeps its voice";
    // Until a voice is picked again this profile says nothing, quietly.
    w.form.Speak(kOwnProfile, "lost");
    EXPECT_TRUE(w.engine.Only({"Speak"}).empty());
    EXPECT_EQ(errors.messages.size(), 1u);
    w.form.Profiles[kOwnProfile].CBVoice.UserEdited("Lili");
    w.form.Speak(kOwnProfile, "back");
    EXPECT_EQ(w.engine.Only({"SetVoice", "Speak"}), (Log{"#3 SetVoice Lili", "#4 SetVoice Lili", "#4 Speak back"}));
}

TEST(Controls, ChangesReachTheLiveObjectAndTheLabel) {
    Window w;
    w.engine.ClearLog();
    w.form.Profiles[kOwnProfile].TRate.UserMoved(-6);
    w.form.Profiles[kFriendProfile].TVolume.UserMoved(35);
    w.form.Profiles[kFriendProfile].CBVoice.UserSelected(1);
    EXPECT_EQ(w.engine.log, (Log{"#1 SetRate -6", "#2 SetVolume 35", "#2 SetVoice Mike"}));
    EXPECT_EQ(w.form.Profiles[kOwnProfile].LRate.Caption(), "-6");
    EXPECT_EQ(w.form.Profiles[kFriendProfile].LVolume.Caption(), "35");
}

TEST(Controls, EngineErrorsOfHandlersReachTheDefaultHandlerAndLabelsStillFollow) {
    RecordedErrors errors;
    Window w;
    w.engine.failing = {"SetRate", "SetVolume", "SetVoice"};
    w.form.Profiles[kFriendProfile].TRate.UserMoved(4);
    w.form.Profiles[kOwnProfile].TVolume.UserMoved(20);
    w.form.Profiles[kOwnProfile].CBVoice.UserSelected(2);
    EXPECT_EQ(errors.messages, (std::vector<std::string>{"engine refused SetRate", "engine refused SetVolume",
                                                          "engine refused SetVoice"}));
    EXPECT_EQ(w.form.Profiles[kFriendProfile].LRate.Caption(), "4");
    EXPECT_EQ(w.form.Profiles[kOwnProfile].LVolume.Caption(), "20");
}

TEST(ResetButton, RestoresRateAndVolumeAndKeepsTheVoice) {
    Window w;
    w.form.Profiles[kFriendProfile].CBVoice.UserSelected(2);
    w.form.Profiles[kFriendProfile].TRate.UserMoved(8);
    w.form.Profiles[kFriendProfile].TVolume.UserMoved(10);
    w.engine.ClearLog();
    w.form.Profiles[kFriendProfile].BtnDefault.Click();
    EXPECT_EQ(w.form.Profiles[kFriendProfile].TRate.Position(), 0);
    EXPECT_EQ(w.form.Profiles[kFriendProfile].TVolume.Position(), 100);
    EXPECT_EQ(w.form.Profiles[kFriendProfile].LRate.Caption(), "0");
    EXPECT_EQ(w.form.Profiles[kFriendProfile].LVolume.Caption(), "100");
    EXPECT_EQ(w.form.Profiles[kFriendProfile].CBVoice.ItemIndex(), 2);
    EXPECT_EQ(WithoutRepeats(w.engine.log), (Log{"#2 SetRate 0", "#2 SetVolume 100"}));
    // The own profile was not touched.
    EXPECT_EQ(w.form.Profiles[kOwnProfile].LRate.Caption(), "0");
    EXPECT_EQ(w.form.Profiles[kOwnProfile].CBVoice.ItemIndex(), 0);
}

TEST(ResetButton, LabelsAreRightEvenWhenNoBarMoves) {
    // Unwired, no handler can set a label: the reset itself must.
    RecordingEngine engine;
    engine.SetVoices({"Mary"});
    Profiles p(engine, false);
    p.LRate.SetCaption("7");  // stale text, bar already at 0
    ResetProfile(p.own);
    EXPECT_EQ(p.LRate.Caption(), "0");
    EXPECT_EQ(p.LVolume.Caption(), "100");
    EXPECT_EQ(engine.Only({"SetRate", "SetVolume"}), (Log{"#1 SetRate 0", "#1 SetVolume 100"}));
}

// The reset does not stop at the first engine error, by choice: an engine that refuses a
// value refuses it at every press (this Wine's refuses every rate), so stopping there would
// leave the volume impossible to reset. Every message is spoken with the controls' values,
// so resetting both controls resets what is heard next; the first error is still reported.
TEST(ResetButton, KeepsResettingPastAnEngineErrorAndReportsTheFirst) {
    struct Case {
        std::set<std::string> refused;
        std::string reported;
    } cases[] = {
        {{"SetRate"}, "engine refused SetRate"},
        {{"SetVolume"}, "engine refused SetVolume"},
        {{"SetRate", "SetVolume"}, "engine refused SetRate"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reported);
        RecordedErrors errors;
        Window w;
        w.form.Profiles[kOwnProfile].TRate.UserMoved(5);
        w.form.Profiles[kOwnProfile].TVolume.UserMoved(5);
        w.engine.failing = c.refused;
        w.form.Profiles[kOwnProfile].BtnDefault.UserClick();
        w.form.Profiles[kOwnProfile].BtnDefault.UserClick();  // a second press meets the same refusal
        EXPECT_EQ(errors.messages, (std::vector<std::string>{c.reported, c.reported}));
        EXPECT_EQ(w.form.Profiles[kOwnProfile].TRate.Position(), 0);
        EXPECT_EQ(w.form.Profiles[kOwnProfile].TVolume.Position(), 100);
        EXPECT_EQ(w.form.Profiles[kOwnProfile].LRate.Caption(), "0");
        EXPECT_EQ(w.form.Profiles[kOwnProfile].LVolume.Caption(), "100");
    }
}

}  // namespace
