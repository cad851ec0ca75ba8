// Sonvira's life in the notification area, as a user meets it under Wine: real clicks on its
// tray icon, real keys in its menus, and the system commands of its title bar. One run goes
// through the whole state table: shown, hidden by the close button, Alt+F4 and a minimise
// request, brought back by double clicks with each button and by the tray menu's items, a
// chat message logged but not spoken while hidden with "暂停朗读" ticked, and "退出" ending the
// hidden program. Leaves pictures of the tray menu, of both menus of the main window and of the
// hide balloon in <build>/screenshots.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/fmain_win.h"
#include "res/resource.h"
#include "support/desktop.h"
#include "support/process.h"
#include "support/screenshot.h"
#include "support/sonvira.h"
#include "support/standin.h"
#include "support/test_paths.h"
#include "support/voice_record.h"
#include "win/codepage_win.h"

namespace {

std::wstring Shot(const wchar_t* name) { return BuildDir() + L"\\screenshots\\" + name; }

RECT Union(HWND a, HWND b) {
    RECT ra = {}, rb = {}, u = {};
    GetWindowRect(a, &ra);
    GetWindowRect(b, &rb);
    UnionRect(&u, &ra, &rb);
    return u;
}

// A balloon the shell shows now (a visible balloon-style tooltip), or nullptr.
HWND VisibleBalloon() {
    for (HWND h = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); h;
         h = FindWindowExW(nullptr, h, TOOLTIPS_CLASSW, nullptr))
        if (IsWindowVisible(h) && (GetWindowLongW(h, GWL_STYLE) & TTS_BALLOON)) return h;
    return nullptr;
}

// Counts the times a window of the process is shown, as the system reports it.
struct ShowCounter {
    static inline DWORD pid = 0;
    static inline HWND watched = nullptr;
    static inline int shows = 0;
    HWINEVENTHOOK hook;
    ShowCounter(DWORD p, HWND window) {
        pid = p;
        watched = window;
        shows = 0;
        hook = SetWinEventHook(EVENT_OBJECT_SHOW, EVENT_OBJECT_SHOW, nullptr, Seen, p, 0, WINEVENT_OUTOFCONTEXT);
    }
    ~ShowCounter() {
        if (hook) UnhookWinEvent(hook);
    }
    static void CALLBACK Seen(HWINEVENTHOOK, DWORD, HWND h, LONG object, LONG, DWORD, DWORD) {
        if (h == watched && object == OBJID_WINDOW) ++shows;
    }
};

class TrayLife : public ::testing::Test {
protected:
    void SetUp() override {
        // Programs killed by earlier tests may have left their icons behind: ours is the new one.
        const std::vector<HWND> before = TrayIconWindows();
        sonvira_.Start();
        main_ = sonvira_.Main();
        ASSERT_NE(main_, nullptr);
        ASSERT_TRUE(WaitUntil(
            [&] {
                for (HWND h : TrayIconWindows())
                    if (std::find(before.begin(), before.end(), h) == before.end()) iconWindow_ = h;
                return iconWindow_ != nullptr;
            },
            5000))
            << "the tray icon is there from the start";
        icon_ = CentreOf(iconWindow_);
        // Every start is hidden: only the icon shows, with the start balloon.
        EXPECT_TRUE(Hidden());
        HWND balloon = nullptr;
        EXPECT_TRUE(WaitUntil([&] { return (balloon = VisibleBalloon()) != nullptr; }, kPatienceMs)) << "the start balloon";
        if (balloon) {
            EXPECT_EQ(WindowTextW(balloon),
                      L"请打开登陆 QQ 或 TM 软件,\r\n发送文字消息给好友进行文字聊天,\r\n即可立即听到发送和接收的消息被朗读出来!");
        }
        // The tests begin where a user does: the window brought back by a double click.
        ClickAt(icon_, MouseButton::Left, 2);
        ASSERT_TRUE(WaitUntil([this] { return Shown(); }, kPatienceMs));
        PumpFor(GetDoubleClickTime() + 300);
    }

    bool IconShows() const { return IsWindow(iconWindow_) && IsWindowVisible(iconWindow_); }

    bool Hidden() const { return !IsWindowVisible(main_) && !IsIconic(main_); }
    bool Shown() const { return IsWindowVisible(main_) && !IsIconic(main_); }
    HWND WaitForMenu(DWORD ms = kPatienceMs) const {
        HWND menu = nullptr;
        WaitUntil([&] { return (menu = OpenMenuOf(sonvira_.Id())) != nullptr; }, ms);
        return menu;
    }
    bool InMenuMode() const {
        GUITHREADINFO gui = {};
        gui.cbSize = sizeof gui;
        return GetGUIThreadInfo(GetWindowThreadProcessId(main_, nullptr), &gui) && (gui.flags & GUI_INMENUMODE);
    }
    bool WaitMenuClosed() const {
        return WaitUntil([&] { return OpenMenuOf(sonvira_.Id()) == nullptr; }, kPatienceMs);
    }
    // The tray menu opened by a left click, its item chosen with the keys given.
    void ChooseFromTrayMenu(std::initializer_list<WORD> keys) {
        ClickAt(icon_, MouseButton::Left);
        ASSERT_NE(WaitForMenu(), nullptr);
        PressKeys(keys);
        ASSERT_TRUE(WaitMenuClosed());
    }
    int ActiveTab() const {
        return static_cast<int>(SendMessageW(FindControl(main_, IDC_PAGECONTROL), TCM_GETCURSEL, 0, 0));
    }

    HWND iconWindow_ = nullptr;
    RunningSonvira sonvira_{RunningSonvira::Later{}};  // ended as a user ends it, so that it takes its icon along
    HWND main_ = nullptr;
    POINT icon_ = {};
};

TEST_F(TrayLife, MenusOpenAtTheCursorAndTheWindowHidesAndComesBack) {
    // A left click opens the tray menu with its top-left corner at the cursor, once it is
    // clear that no double click is coming.
    ClickAt(icon_, MouseButton::Left);
    HWND menu = WaitForMenu();
    ASSERT_NE(menu, nullptr) << "a left click opens the tray menu";
    RECT r;
    GetWindowRect(menu, &r);
    POINT cursor;
    GetCursorPos(&cursor);
    EXPECT_NEAR(r.left, cursor.x, 2);
    EXPECT_NEAR(r.top, cursor.y, 2);
    PumpFor(300);
    EXPECT_TRUE(SaveScreenshot(Union(FindWindowW(L"Shell_TrayWnd", nullptr), menu), Shot(L"tray_menu.bmp")));
    PressKeys({VK_ESCAPE});
    EXPECT_TRUE(WaitMenuClosed());

    // A right click brings the program to the front and opens the same menu, which closes
    // when the user clicks elsewhere.
    ClickAt(icon_, MouseButton::Right);
    menu = WaitForMenu();
    ASSERT_NE(menu, nullptr) << "a right click opens the tray menu";
    GetWindowRect(menu, &r);
    EXPECT_NEAR(r.left, icon_.x, 2);
    EXPECT_NEAR(r.top, icon_.y, 2);
    DWORD front = 0;
    GetWindowThreadProcessId(GetForegroundWindow(), &front);
    EXPECT_EQ(front, sonvira_.Id()) << "the program is in front while its menu is open";
    ClickAt(POINT{900, 900}, MouseButton::Left);
    EXPECT_TRUE(WaitMenuClosed()) << "a click elsewhere closes the menu";

    // The main menu as a user opens it with the keyboard.
    SetForegroundWindow(main_);
    ASSERT_TRUE(WaitUntil([this] { return GetForegroundWindow() == main_; }, kPatienceMs));
    // Each key once the last has shown its effect, as a person presses them.
    EXPECT_FALSE(InMenuMode());
    PressKeys({VK_F10});
    ASSERT_TRUE(WaitUntil([this] { return InMenuMode(); }, kPatienceMs)) << "F10 lights the menu bar";
    PressKeys({VK_DOWN});
    menu = WaitForMenu();
    ASSERT_NE(menu, nullptr) << "F10 and Down open 主菜单";
    PumpFor(300);
    EXPECT_TRUE(SaveScreenshot(Union(main_, menu), Shot(L"main_menu.bmp")));
    RECT first = {};
    GetWindowRect(menu, &first);
    PressKeys({VK_RIGHT});
    // The next menu opens to the right of the first, which closes: only then is it 帮助's.
    ASSERT_TRUE(WaitUntil(
        [&] {
            RECT now = {};
            return (menu = OpenMenuOf(sonvira_.Id())) != nullptr && GetWindowRect(menu, &now) && now.left > first.left;
        },
        kPatienceMs))
        << "Right goes on to 帮助";
    PumpFor(300);
    EXPECT_TRUE(SaveScreenshot(Union(main_, menu), Shot(L"help_menu.bmp")));
    PressKeys({VK_ESCAPE, VK_ESCAPE});
    EXPECT_TRUE(WaitMenuClosed());

    // Each way of closing or minimising hides the window with the balloon; each double click
    // brings it back, and opens no menu.
    struct Way {
        const char* hide;
        MouseButton restoreWith;
    } ways[] = {{"close button", MouseButton::Left}, {"Alt+F4", MouseButton::Right}, {"minimise", MouseButton::Middle}};
    for (const auto& way : ways) {
        SCOPED_TRACE(way.hide);
        if (std::string(way.hide) == "Alt+F4") {
            SetForegroundWindow(main_);
            ASSERT_TRUE(WaitUntil([this] { return GetForegroundWindow() == main_; }, kPatienceMs));
            PressChord({VK_MENU, VK_F4});
        } else {
            // What the title bar's close button and a minimise request send.
            PostMessageW(main_, WM_SYSCOMMAND, std::string(way.hide) == "minimise" ? SC_MINIMIZE : SC_CLOSE, 0);
        }
        ASSERT_TRUE(WaitUntil([this] { return Hidden(); }, kPatienceMs)) << "hidden, not minimised";
        EXPECT_TRUE(sonvira_.Running());
        EXPECT_TRUE(IconShows()) << "the icon stays";
        EXPECT_TRUE(WaitUntil([] { return VisibleBalloon() != nullptr; }, kPatienceMs)) << "the hide balloon";
        if (way.restoreWith == MouseButton::Left) {
            PumpFor(500);
            EXPECT_TRUE(SaveScreenshot(Union(FindWindowW(L"Shell_TrayWnd", nullptr), VisibleBalloon()),
                                       Shot(L"hide_balloon.bmp")));
        }
        ClickAt(icon_, way.restoreWith, 2);
        EXPECT_TRUE(WaitUntil([this] { return Shown(); }, kPatienceMs)) << "a double click restores";
        PumpFor(GetDoubleClickTime() + 300);
        EXPECT_EQ(OpenMenuOf(sonvira_.Id()), nullptr) << "a double click is not a click";
    }
}

TEST_F(TrayLife, HiddenItGoesOnWorkingComesBackOnATabAndEndsUnseen) {
    // Hidden with the options tab active.
    SendMessageW(FindControl(main_, IDC_PAGECONTROL), TCM_SETCURFOCUS, 1, 0);
    PostMessageW(main_, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(WaitUntil([this] { return Hidden(); }, kPatienceMs));

    // The watcher goes on while the window is hidden.
    StandinChat chat(L"--title \"与 小鱼 交谈中\"");
    ASSERT_TRUE(chat.BringToFront());
    ASSERT_TRUE(chat.WaitForReaders(2)) << "Sonvira never looked at the chat";
    ASSERT_TRUE(ClearVoiceRecord());
    // 暂停朗读, then back to the chat, which the menu took the foreground from.
    ChooseFromTrayMenu({VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
    ASSERT_TRUE(chat.BringToFront());
    ASSERT_TRUE(chat.AppendMessage(WideToAnsi(L"小鱼"), WideToAnsi(L"你还在吗？")));
    HWND log = FindControl(main_, IDC_RICHEDIT1);
    EXPECT_TRUE(WaitUntil([log] { return WindowTextW(log).find(L"你还在吗？") != std::wstring::npos; }, kPatienceMs))
        << "a message arriving while hidden is logged; log: " << WideToUtf8(WindowTextW(log));
    EXPECT_TRUE(Hidden()) << "and the window stays hidden";
    // Unticked, the next message is the first one heard.
    ChooseFromTrayMenu({VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
    ASSERT_TRUE(chat.BringToFront());
    ASSERT_TRUE(chat.AppendMessage("Bob", WideToAnsi(L"好的")));
    bool heard = false;
    const VoiceRecord said =
        WaitForVoiceRecord([](const VoiceRecord& r) { return !r.empty() && !r[0].fragments.empty(); }, kPatienceMs, &heard);
    ASSERT_TRUE(heard) << "nothing was said after 暂停朗读 was unticked";
    EXPECT_NE(said.front().fragments.front().text.find(L"好的"), std::wstring::npos) << "paused, yet spoken";

    // "查看消息" shows the log tab, "选项设置" the options tab.
    ChooseFromTrayMenu({VK_DOWN, VK_RETURN});
    ASSERT_TRUE(WaitUntil([this] { return Shown(); }, kPatienceMs)) << "查看消息";
    EXPECT_EQ(ActiveTab(), 0);
    EXPECT_TRUE(IsWindowVisible(log));
    PostMessageW(main_, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(WaitUntil([this] { return Hidden(); }, kPatienceMs));
    ChooseFromTrayMenu({VK_DOWN, VK_DOWN, VK_RETURN});
    ASSERT_TRUE(WaitUntil([this] { return Shown(); }, kPatienceMs)) << "选项设置";
    EXPECT_EQ(ActiveTab(), 1);
    EXPECT_TRUE(IsWindowVisible(FindControl(main_, IDC_CBVOICE)));
    EXPECT_FALSE(IsWindowVisible(log));

    // "退出" from the tray menu while hidden: the program ends, its icon goes, and the
    // window is never shown on the way.
    PostMessageW(main_, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(WaitUntil([this] { return Hidden(); }, kPatienceMs));
    ShowCounter shows(sonvira_.Id(), main_);
    ChooseFromTrayMenu({VK_UP, VK_RETURN});
    DWORD code = 1;
    EXPECT_TRUE(sonvira_.WaitExit(kPatienceMs, &code)) << "退出 ends the program";
    EXPECT_EQ(code, 0u);
    PumpFor(200);
    EXPECT_EQ(ShowCounter::shows, 0) << "the window was shown on the way out";
    EXPECT_TRUE(WaitUntil([this] { return !IconShows(); }, kPatienceMs)) << "the icon left with the program";
}

}  // namespace
