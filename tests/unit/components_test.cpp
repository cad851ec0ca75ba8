// The component rules the handlers rely on: clamping, change events only on real changes,
// user events under the default error handler, program events straight to the caller.
#include <gtest/gtest.h>

#include <stdexcept>

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

}  // namespace
