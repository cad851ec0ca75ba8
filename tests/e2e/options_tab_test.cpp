// The options tab of the running sonvira.exe: the voice lists come from the speech engine,
// the value labels follow their track bars, and a speech engine that refuses everything (as
// this Wine's does) costs error boxes at most, never the program. Leaves a screenshot of the
// tab in <build>/screenshots/options_tab.bmp for a person to compare with the layout.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "app/fmain_win.h"
#include "res/resource.h"
#include "support/process.h"
#include "support/screenshot.h"
#include "support/sonvira.h"
#include "support/test_paths.h"

namespace {

// Closes the program's error boxes as they come, waiting up to firstWaitMs for the first one,
// and returns their texts.
std::vector<std::wstring> DismissErrorBoxes(DWORD pid, DWORD firstWaitMs) {
    std::vector<std::wstring> texts;
    DWORD wait = firstWaitMs;
    for (;;) {
        HWND box = nullptr;
        if (!WaitUntil([&] { return (box = VisibleBox(pid)) != nullptr; }, wait)) break;
        EXPECT_EQ(WindowTextW(box), L"Sonvira") << "an error box is captioned with the title";
        HWND text = FindControl(box, 0xFFFF);  // the message box's static text
        texts.push_back(text ? WindowTextW(text) : L"");
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        if (!WaitUntil([box] { return !IsWindowVisible(box); }, kPatienceMs)) break;
        wait = 300;
    }
    return texts;
}

// Every box the engine caused names the HRESULT of a failed call: "0x8...".
void ExpectOnlyEngineErrors(const std::vector<std::wstring>& texts) {
    for (const auto& t : texts) EXPECT_EQ(t.rfind(L"0x8", 0), 0u) << "unexpected error box";
}

TEST(OptionsTab, ShowsTheEnginesVoicesAndKeepsLabelsInStepWithTheBars) {
    RunningSonvira sonvira;
    HWND main = sonvira.Main();
    ASSERT_NE(main, nullptr);
    // An engine that cannot take a voice or rate makes start-up report it once; said OK to.
    ExpectOnlyEngineErrors(sonvira.StartUpBoxes());
    // Out of the tray, as the tray menu's "查看消息" brings it: on the log tab.
    PostMessageW(main, WM_COMMAND, IDM_OPEN1, 0);
    ASSERT_TRUE(WaitUntil([main] { return IsWindowVisible(main) != FALSE; }, kPatienceMs));

    // To the tab "选项": the tab control moves its focus and selection and tells the window.
    HWND tabs = FindControl(main, IDC_PAGECONTROL);
    ASSERT_NE(tabs, nullptr);
    SendMessageW(tabs, TCM_SETCURFOCUS, 1, 0);
    EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 1);
    HWND combo = FindControl(main, IDC_CBVOICE), combo1 = FindControl(main, IDC_CBVOICE1);
    ASSERT_NE(combo, nullptr);
    ASSERT_NE(combo1, nullptr);
    EXPECT_TRUE(WaitUntil([combo] { return IsWindowVisible(combo) != FALSE; }, kPatienceMs)) << "the options page did not show";
    EXPECT_FALSE(IsWindowVisible(FindControl(main, IDC_RICHEDIT1))) << "the log page is still showing";

    // The lists hold the engine's voices, the first selected in both.
    LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    EXPECT_GE(count, 1);
    EXPECT_EQ(SendMessageW(combo1, CB_GETCOUNT, 0, 0), count);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(SendMessageW(combo1, CB_GETCURSEL, 0, 0), 0);
    std::wstring shown = WindowTextW(combo);
    EXPECT_FALSE(shown.empty());
    EXPECT_NE(shown, L"CBVoice") << "no voice was selected";

    // Defaults applied at start, labels included.
    struct Label {
        int id;
        const wchar_t* text;
    } labels[] = {{IDC_LRATE, L"0"}, {IDC_LRATE1, L"0"}, {IDC_LVOLUME, L"100"}, {IDC_LVOLUME1, L"100"}};
    for (const auto& l : labels) EXPECT_EQ(WindowTextW(FindControl(main, l.id)), l.text) << l.id;

    // Dragging a bar moves its label; the engine's refusal is an error box, nothing worse.
    struct Move {
        int track, label, position;
        const wchar_t* text;
    } moves[] = {{IDC_TRATE1, IDC_LRATE1, -4, L"-4"}, {IDC_TVOLUME, IDC_LVOLUME, 35, L"35"}};
    for (const auto& m : moves) {
        HWND track = FindControl(main, m.track), label = FindControl(main, m.label);
        DragTrackBar(track, m.position);
        EXPECT_TRUE(WaitUntil([&] { return WindowTextW(label) == m.text; }, kPatienceMs))
            << "label " << m.label << " did not follow its bar";
        ExpectOnlyEngineErrors(DismissErrorBoxes(sonvira.Id(), 1000));
    }

    // The reset button of the own profile: rate 0, volume 100, the voice kept.
    PostMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(IDC_BTNDEFAULT1, BN_CLICKED),
                 reinterpret_cast<LPARAM>(FindControl(main, IDC_BTNDEFAULT1)));
    EXPECT_TRUE(WaitUntil([&] { return WindowTextW(FindControl(main, IDC_LVOLUME)) == L"100"; }, kPatienceMs));
    ExpectOnlyEngineErrors(DismissErrorBoxes(sonvira.Id(), 1000));
    EXPECT_EQ(SendMessageW(FindControl(main, IDC_TVOLUME), TBM_GETPOS, 0, 0), 100);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);

    // Back to the defaults for the picture, then let everything repaint.
    DragTrackBar(FindControl(main, IDC_TRATE1), 0);
    DismissErrorBoxes(sonvira.Id(), 1000);
    SetForegroundWindow(main);
    RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpFor(700);
    std::wstring shot = BuildDir() + L"\\screenshots\\options_tab.bmp";
    EXPECT_TRUE(SaveWindowScreenshot(main, shot));

    // A letter typed into the friends' voice list: its text now names no voice, which the
    // program reports in its error box; the list is left without a selection.
    HWND edit = FindWindowExW(combo1, nullptr, L"Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    PostMessageW(edit, WM_CHAR, L'x', 1);
    std::vector<std::wstring> typed = DismissErrorBoxes(sonvira.Id(), 3000);
    ASSERT_EQ(typed.size(), 1u);
    EXPECT_EQ(typed[0], L"No voice is selected");
    EXPECT_EQ(SendMessageW(combo1, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(SendMessageW(combo1, CB_GETCOUNT, 0, 0), count) << "typing adds no voice";

    EXPECT_TRUE(sonvira.Running()) << "sonvira.exe ended while its engine refused to speak";
}

// The reading options in two columns inside their group box: the own nickname's option ends
// where the friend's begins, so neither covers the other, and the right column stays inside
// the box. Positions relative to each other hold at any DPI.
TEST(OptionsTab, ReadingOptionsSitSideBySideInsideTheirGroupBox) {
    // Measured as a person sees them: start-up over, the window out of the tray and placed.
    RunningSonvira sonvira;
    HWND main = sonvira.Main();
    ASSERT_NE(main, nullptr);
    PostMessageW(main, WM_COMMAND, IDM_OPEN1, 0);
    ASSERT_TRUE(WaitUntil([main] { return IsWindowVisible(main) != FALSE; }, kPatienceMs));
    HWND myName = FindControl(main, IDC_CBMYNAME);
    ASSERT_NE(myName, nullptr);
    HWND page = GetParent(myName);
    auto rect = [page](HWND h) {
        RECT r = {};
        GetWindowRect(h, &r);
        MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    HWND box = FindWindowExW(page, nullptr, L"Button", L"朗读设置");
    ASSERT_NE(box, nullptr);
    const RECT group = rect(box), own = rect(myName);
    const RECT friendsName = rect(FindControl(main, IDC_CBFRIENDSNAME)), friendMsg = rect(FindControl(main, IDC_CBFRIEND));
    EXPECT_EQ(own.right, friendsName.left) << "CBmyname must end where CBFriendsname begins";
    EXPECT_EQ(own.top, friendsName.top);
    EXPECT_LE(friendMsg.right, group.right);
    EXPECT_LE(friendsName.right, group.right);
}

}  // namespace
