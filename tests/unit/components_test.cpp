// The component rules the handlers rely on: clamping, change events only on real changes,
// user events under the default error handler, program events straight to the caller; and
// what each component asks of its on-screen control, through recording doubles of the peers.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/files.h"
#include "ui/application.h"
#include "ui/components.h"

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
    // An error's exact wide message goes to whoever takes it, instead of the 8-bit one.
    std::u16string exact;
    Application.OnExactException = [&exact](const std::u16string& m) { exact = m; };
    t.OnChange = [] { throw FileError("?.rtf", u"\uD55C.rtf"); };
    t.UserMoved(80);
    EXPECT_TRUE(exact == u"\uD55C.rtf" && errors.messages.size() == 1u);
    Application.OnExactException = nullptr;
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
    c.SetItemIndex(1);
    c.SetItemIndex(c.Count());
    EXPECT_EQ(c.ItemIndex(), -1) << "nor does the index one past the last item";
    // A typed name that two items share selects the first, as the list's own search does.
    c.AddItem("Mary", nullptr);
    c.UserEdited("Mary");
    EXPECT_EQ(c.ItemIndex(), 0);
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

// A double of any on-screen control: every request a component makes of it, in order, into
// one record shared by all, each led by the control's name.
using Calls = std::vector<std::string>;
struct Screen : TTimer::Peer, TComboBox::Peer, TLabel::Peer {
    Screen(Calls& c, const char* n) : calls(c), name(n) {}
    void Start(unsigned ms) override { Add("start " + std::to_string(ms)); }
    void Stop() override { Add("stop"); }
    void AddItem(const std::string& t) override { Add("add " + t); }
    void Clear() override { Add("clear"); }
    void SetItemIndex(int i) override { Add("select " + std::to_string(i)); }
    void SetText(const std::string& t) override { Add("text " + t); }
    void SetCaption(const std::string& t) override { Add("caption " + t); }
    void Add(const std::string& c) { calls.push_back(std::string(name) + " " + c); }
    Calls& calls;
    const char* name;
};

// A control shows its component's whole state once attached and every program-made change
// after it; what the user did on screen is not sent back. A platform timer runs exactly
// while its timer is enabled and attached, so a timer disabled when it gets its control
// stays stopped. A list tells of the user's changes only.
TEST(Peers, ShowTheirComponentsFromAttachOn) {
    Calls calls;
    Screen a(calls, "A"), b(calls, "B"), list(calls, "list");
    TTimer timer(1000);
    TLabel label("80");
    TComboBox combo("CBVoice");
    combo.AddItem("Mary", nullptr);
    combo.AddItem("Mike", nullptr);
    int clicks = 0;
    combo.OnChange = [&] { ++clicks; };
    struct Step {
        const char* what;
        std::function<void()> op;
        Calls shown;
        int clicks;
    } steps[] = {
        {"timer attached while disabled", [&] { timer.AttachPeer(&a); }, {}, 0},
        {"timer enabled", [&] { timer.SetEnabled(true); }, {"A start 1000"}, 0},
        {"timer enabled again", [&] { timer.SetEnabled(true); }, {}, 0},
        {"timer given another control", [&] { timer.AttachPeer(&b); }, {"A stop", "B start 1000"}, 0},
        {"timer disabled", [&] { timer.SetEnabled(false); }, {"B stop"}, 0},
        {"timer detached while stopped", [&] { timer.AttachPeer(nullptr); }, {}, 0},
        {"timer enabled without a control", [&] { timer.SetEnabled(true); }, {}, 0},
        {"timer attached while enabled", [&] { timer.AttachPeer(&a); }, {"A start 1000"}, 0},
        {"timer detached while running", [&] { timer.AttachPeer(nullptr); }, {"A stop"}, 0},
        {"label attached", [&] { label.AttachPeer(&list); }, {"list caption 80"}, 0},
        {"label changed", [&] { label.SetCaption("-3"); }, {"list caption -3"}, 0},
        {"list attached", [&] { combo.AttachPeer(&list); },
         {"list clear", "list add Mary", "list add Mike", "list select -1", "list text CBVoice"}, 0},
        {"program selects", [&] { combo.SetItemIndex(1); }, {"list select 1"}, 0},
        {"user selects", [&] { combo.UserSelected(0); }, {}, 1},
        {"user types", [&] { combo.UserEdited("Mi"); }, {}, 1},
        {"list attached with a selection", [&] { combo.UserSelected(1); combo.AttachPeer(&list); },
         {"list clear", "list add Mary", "list add Mike", "list select 1"}, 1},
    };
    for (const auto& s : steps) {
        calls.clear();
        const int before = clicks;
        s.op();
        EXPECT_EQ(calls, s.shown) << s.what;
        EXPECT_EQ(clicks - before, s.clicks) << s.what;
    }
}

}  // namespace
