// The shell components' own rules: which mouse reports on the tray icon make a click, a
// double click or the tray menu; what the platform is given of long texts; the dpi scaling.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/shell_doubles.h"
#include "ui/shell_components.h"

namespace {

// W = the click wait is over, M = the menu's wait.
enum Step { LU, RU, LD, RD, MD, W, M };

TEST(TrayIcon, MouseReportsMakeClicksDoubleClicksAndTheMenu) {
    struct Case {
        std::vector<Step> steps;
        int clicks, dblClicks;
        Calls calls;  // what the platform was asked, menu included
        const char* why;
    } cases[] = {
        {{LU, W}, 1, 0, {"wait", "stop"}, "a left click once the wait is over"},
        {{LU}, 0, 0, {"wait"}, "not before"},
        {{LU, LD, LU, W}, 0, 1, {"wait", "stop", "stop"}, "a left double click and the release after it"},
        {{RU, W}, 0, 0, {"wait", "stop", "front", "menu wait"}, "right: front, then the menu from the loop"},
        {{RU, W, M}, 0, 0, {"wait", "stop", "front", "menu wait", "popup 40,700"}, "the menu at the cursor"},
        {{RU, RD, RU, W}, 0, 1, {"wait", "stop", "stop"}, "a right double click opens no menu"},
        {{MD}, 0, 1, {}, "a middle double click"},
        {{LD, LU, LU, W}, 1, 1, {"wait", "stop"}, "only the release right after it belongs to a double click"},
        {{LD, RU, W}, 0, 1, {"wait", "stop", "front", "menu wait"}, "another button's release does not"},
        {{W}, 0, 0, {"stop"}, "a stray timer does nothing"},
    };
    FixedMouse mouse({40, 700});
    for (const auto& c : cases) {
        Calls calls;
        RecordingTrayPeer peer(calls);
        RecordingPopup popup(calls);
        TPopupMenu menu;
        menu.AttachPeer(&popup);
        TTrayIcon icon;
        icon.PopupMenu = &menu;
        icon.AttachPeer(&peer);
        int clicks = 0, dblClicks = 0;
        icon.OnClick = [&] { ++clicks; };
        icon.OnDblClick = [&] { ++dblClicks; };
        for (Step s : c.steps) {
            switch (s) {
                case LU: icon.UserMouse(TTrayMouse::LeftUp); break;
                case RU: icon.UserMouse(TTrayMouse::RightUp); break;
                case LD: icon.UserMouse(TTrayMouse::LeftDblClick); break;
                case RD: icon.UserMouse(TTrayMouse::RightDblClick); break;
                case MD: icon.UserMouse(TTrayMouse::MiddleDblClick); break;
                case W: icon.ClickWaitOver(); break;
                case M: icon.MenuWaitOver(); break;
            }
        }
        EXPECT_EQ(clicks, c.clicks) << c.why;
        EXPECT_EQ(dblClicks, c.dblClicks) << c.why;
        EXPECT_EQ(calls, c.calls) << c.why;
    }
}

TEST(TrayIcon, ThePlatformGetsTheTextsCutToItsLimits) {
    struct Case {
        std::u16string text;
        std::size_t max;
        std::u16string expected;
    } cases[] = {
        {std::u16string(70, u'a'), 63, std::u16string(63, u'a')},
        {std::u16string(63, u'a'), 63, std::u16string(63, u'a')},
        {u"", 63, u""},
        // U+1F600 as a surrogate pair straddling the cut: it goes whole.
        {std::u16string(62, u'a') + u"\U0001F600", 63, std::u16string(62, u'a')},
        {std::u16string(61, u'a') + u"\U0001F600", 63, std::u16string(61, u'a') + u"\U0001F600"},
    };
    for (const auto& c : cases) EXPECT_EQ(CutText(c.text, c.max), c.expected) << c.text.size();

    Calls calls;
    RecordingTrayPeer peer(calls);
    TTrayIcon icon;
    icon.AttachPeer(&peer);
    icon.SetHint(std::u16string(200, u'h'));
    EXPECT_TRUE(calls.empty()) << "an icon not yet visible is not shown";
    icon.SetVisible(true);
    EXPECT_EQ(peer.hint.size(), 127u);
    icon.BalloonTitle = std::u16string(100, u't');
    icon.BalloonHint = std::u16string(300, u'x');
    icon.BalloonTimeout = 1234;
    icon.ShowBalloonHint();
    EXPECT_EQ(peer.title.size(), 63u);
    EXPECT_EQ(peer.text.size(), 255u);
    EXPECT_EQ(peer.timeout, 1234u);
    EXPECT_EQ(icon.BalloonTitle.size(), 100u) << "the property keeps what was set";
}

TEST(DpiScale, ScalesLikeMulDivRoundingHalvesAwayFromZero) {
    struct Case {
        int designed, dpi, expected;
    } cases[] = {
        {305, 96, 305}, {546, 96, 546}, {305, 144, 458}, {546, 144, 819}, {-11, 144, -17},
        {-11, 120, -14}, {1, 144, 2},   {19, 144, 29},   {527, 144, 791}, {305, 120, 381},
        {0, 144, 0},     {-1, 144, -2}, {13, 192, 26},
    };
    for (const auto& c : cases) EXPECT_EQ(TDpiScale{c.dpi}(c.designed), c.expected) << c.designed << " at " << c.dpi;
}

}  // namespace
