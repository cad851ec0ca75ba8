// The component rules the handlers rely on: clamping, change events only on real changes,
// user events under the default error handler, program events straight to the caller; and
// what each component asks of its on-screen control, through recording doubles of the peers.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/components.h"

namespace {

struct RecordedErrors {
    std::vector<std::string> messages;
    RecordedErrors() {
        Application.OnException = [this](const std::string& m) { messages.push_back(m); };
    }
    ~RecordedErrors() { Application.OnException = nullptr; }
};

TEST(TrackBar, ClampsAndFiresOnlyOnChange) {
    struct Case {
        int min, max, start, set, expected, fired;
    } cases[] = {
        {-10, 10, 0, 15, 10, 1},  {-10, 10, 0, -11, -10, 1}, {0, 100, 80, -5, 0, 1},
        {0, 100, 80, 80, 80, 0},  {0, 100, 100, 150, 100, 0}, {-10, 10, 3, 3, 3, 0},
    };
    for (const auto& c : cases) {
        TTrackBar t(c.min, c.max, c.start);
        int fired = 0;
        t.OnChange = [&] { ++fired; };
        t.SetPosition(c.set);
        EXPECT_EQ(t.Position(), c.expected) << c.set;
        EXPECT_EQ(fired, c.fired) << c.set;
    }
}

TEST(TrackBar, ProgramChangeErrorsReachTheCallerUserChangeErrorsTheDefaultHandler) {
    RecordedErrors errors;
    TTrackBar t(0, 100, 50);
    t.OnChange = [] { throw std::runtime_error("engine says no"); };
    EXPECT_THROW(t.SetPosition(60), std::runtime_error);
    t.UserMoved(70);
    EXPECT_EQ(t.Position(), 70);
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_EQ(errors.messages[0], "engine says no");
}

TEST(ComboBox, EditedTextSelectsOnlyAnExactItem) {
    TComboBox c("CBVoice");
    c.AddItem("Mary", nullptr);
    c.AddItem("Mike", nullptr);
    int changes = 0;
    c.OnChange = [&] { ++changes; };
    c.SetItemIndex(1);
    EXPECT_EQ(changes, 0) << "a program-made selection does not fire";
    EXPECT_EQ(c.Text(), "Mike");
    c.UserEdited("Mar");
    EXPECT_EQ(c.ItemIndex(), -1);
    c.UserEdited("Mary");
    EXPECT_EQ(c.ItemIndex(), 0);
    c.UserSelected(1);
    EXPECT_EQ(c.ItemIndex(), 1);
    EXPECT_EQ(changes, 3);
    c.SetItemIndex(7);
    EXPECT_EQ(c.ItemIndex(), -1) << "an index past the end selects nothing";
}

TEST(ComboBox, AnIndexOutsideTheListSelectsNothing) {
    struct Case {
        int index, selected;
    } cases[] = {{0, 0}, {2, 2}, {-1, -1}, {3, -1}, {4, -1}, {-2, -1}};  // three items: 3 is Count()
    const char* const names[] = {"Mary", "Mike", "Lili"};
    for (bool user : {false, true}) {
        for (const auto& c : cases) {
            TComboBox box("CBVoice");
            for (const char* n : names) box.AddItem(n, nullptr);
            box.SetItemIndex(1);
            if (user) box.UserSelected(c.index);
            else box.SetItemIndex(c.index);
            EXPECT_EQ(box.ItemIndex(), c.selected) << c.index << (user ? " by the user" : " by the program");
            if (c.selected >= 0) {
                EXPECT_EQ(box.Text(), names[c.selected]) << c.index;
            }
        }
    }
}

TEST(ComboBox, ATypedNameTwoItemsShareSelectsTheFirst) {
    TComboBox c("CBVoice");
    c.AddItem("Mike", nullptr);
    c.AddItem("Mary", nullptr);
    c.AddItem("Mary", nullptr);
    c.UserEdited("Mary");
    EXPECT_EQ(c.ItemIndex(), 1) << "as the list's own search finds it";
}

TEST(Timer, TicksOnlyWhileEnabledAndSurvivesHandlerErrors) {
    RecordedErrors errors;
    TTimer t(1000);
    int ticks = 0;
    t.OnTimer = [&] {
        ++ticks;
        throw std::runtime_error("tick failed");
    };
    t.Tick();
    EXPECT_EQ(ticks, 0);
    t.SetEnabled(true);
    t.Tick();
    t.Tick();
    EXPECT_EQ(ticks, 2);
    EXPECT_EQ(errors.messages.size(), 2u);
}

// Doubles of the on-screen controls: every request a component makes, in order.
using Calls = std::vector<std::string>;
struct TimerDouble : TTimer::Peer {
    Calls& calls;
    std::string name;
    TimerDouble(Calls& c, std::string n) : calls(c), name(std::move(n)) {}
    void Start(unsigned ms) override { calls.push_back(name + " start " + std::to_string(ms)); }
    void Stop() override { calls.push_back(name + " stop"); }
};
struct CheckBoxDouble : TCheckBox::Peer {
    Calls calls;
    void SetChecked(bool c) override { calls.push_back(c ? "check 1" : "check 0"); }
};
struct ListDouble : TComboBox::Peer, TLabel::Peer {
    Calls calls;
    void AddItem(const std::string& t) override { calls.push_back("add " + t); }
    void Clear() override { calls.push_back("clear"); }
    void SetItemIndex(int i) override { calls.push_back("select " + std::to_string(i)); }
    void SetText(const std::string& t) override { calls.push_back("text " + t); }
    void SetCaption(const std::string& t) override { calls.push_back("caption " + t); }
};

// The platform timer runs exactly while the timer is enabled and has a control: a timer
// that is disabled when it gets its control stays stopped, and a control that goes is
// stopped first.
TEST(TimerPeer, RunsOnlyWhileEnabledAndAttached) {
    Calls calls;
    TimerDouble a(calls, "A"), b(calls, "B");
    TTimer t(1000);
    struct Step {
        const char* what;
        void (*op)(TTimer&, TimerDouble&, TimerDouble&);
        Calls expected;
    } steps[] = {
        {"attached while disabled", [](TTimer& t, TimerDouble& a, TimerDouble&) { t.AttachPeer(&a); }, {}},
        {"disabled again", [](TTimer& t, TimerDouble&, TimerDouble&) { t.SetEnabled(false); }, {}},
        {"enabled", [](TTimer& t, TimerDouble&, TimerDouble&) { t.SetEnabled(true); }, {"A start 1000"}},
        {"enabled again", [](TTimer& t, TimerDouble&, TimerDouble&) { t.SetEnabled(true); }, {}},
        {"another control", [](TTimer& t, TimerDouble&, TimerDouble& b) { t.AttachPeer(&b); },
         {"A stop", "B start 1000"}},
        {"disabled", [](TTimer& t, TimerDouble&, TimerDouble&) { t.SetEnabled(false); }, {"B stop"}},
        {"detached while stopped", [](TTimer& t, TimerDouble&, TimerDouble&) { t.AttachPeer(nullptr); }, {}},
        {"enabled without a control", [](TTimer& t, TimerDouble&, TimerDouble&) { t.SetEnabled(true); }, {}},
        {"attached while enabled", [](TTimer& t, TimerDouble& a, TimerDouble&) { t.AttachPeer(&a); },
         {"A start 1000"}},
        {"detached while running", [](TTimer& t, TimerDouble&, TimerDouble&) { t.AttachPeer(nullptr); }, {"A stop"}},
    };
    for (const auto& s : steps) {
        calls.clear();
        s.op(t, a, b);
        EXPECT_EQ(calls, s.expected) << s.what;
    }
}

// A check box shows what the program sets, not what the user already did on screen; its
// OnClick fires on a change only, whoever makes it, and not when it gets its control.
TEST(CheckBoxPeer, ShowsProgramChangesAndClicksOnAChangeOnly) {
    struct Case {
        bool start, byUser, value;
        int clicks;
        Calls shown;
    } cases[] = {
        {false, false, true, 1, {"check 1"}}, {true, false, true, 0, {}}, {true, false, false, 1, {"check 0"}},
        {false, true, true, 1, {}},           {true, true, true, 0, {}},  {true, true, false, 1, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.start) + (c.byUser ? " user " : " program ") + std::to_string(c.value));
        TCheckBox box(c.start);
        int clicks = 0;
        box.OnClick = [&] { ++clicks; };
        CheckBoxDouble peer;
        box.AttachPeer(&peer);
        EXPECT_EQ(peer.calls, Calls{c.start ? "check 1" : "check 0"});
        peer.calls.clear();
        if (c.byUser) box.UserToggled(c.value);
        else box.SetChecked(c.value);
        EXPECT_EQ(clicks, c.clicks);
        EXPECT_EQ(peer.calls, c.shown);
    }
}

// Labels and voice lists show their whole state once attached and every program-made change
// after; what the user did in the list is already on screen and is not sent back.
TEST(ListPeer, ShowsItsStateFromAttachOnButNotTheUsersOwnChanges) {
    TLabel label("80");
    TComboBox list("CBVoice");
    list.AddItem("Mary", nullptr);
    list.AddItem("Mike", nullptr);
    ListDouble peer;
    label.AttachPeer(&peer);
    list.AttachPeer(&peer);
    EXPECT_EQ(peer.calls, (Calls{"caption 80", "clear", "add Mary", "add Mike", "select -1", "text CBVoice"}));
    struct Step {
        const char* what;
        void (*op)(TLabel&, TComboBox&);
        Calls shown;
    } steps[] = {
        {"caption", [](TLabel& l, TComboBox&) { l.SetCaption("-3"); }, {"caption -3"}},
        {"program selects", [](TLabel&, TComboBox& c) { c.SetItemIndex(1); }, {"select 1"}},
        {"item added", [](TLabel&, TComboBox& c) { c.AddItem("Lili", nullptr); }, {"add Lili"}},
        {"user selects", [](TLabel&, TComboBox& c) { c.UserSelected(0); }, {}},
        {"user types", [](TLabel&, TComboBox& c) { c.UserEdited("Li"); }, {}},
        {"cleared", [](TLabel&, TComboBox& c) { c.Clear(); }, {"clear"}},
    };
    for (const auto& s : steps) {
        peer.calls.clear();
        s.op(label, list);
        EXPECT_EQ(peer.calls, s.shown) << s.what;
    }
    // Attached with a selection, the list shows it and leaves the edit field to it.
    list.AddItem("Mary", nullptr);
    list.SetItemIndex(0);
    ListDouble second;
    list.AttachPeer(&second);
    EXPECT_EQ(second.calls, (Calls{"clear", "add Mary", "select 0"}));
}

}  // namespace
