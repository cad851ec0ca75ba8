// The main window's start: chat capture runs even when applying the voices fails, as it does
// under an engine that cannot speak. Its life in the tray: which system commands hide it,
// how it comes back, which tab it shows, the balloons and their time-outs, the menus' rows
// and what their items do, and the exits.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "app/fmain.h"
#include "app/maker.h"
#include "res/resource.h"
#include "common/desk_doubles.h"
#include "common/form_doubles.h"
#include "support/recording_engine.h"
#include "common/memory_log.h"
#include "common/shell_doubles.h"
#include "support/iconv_codepage.h"
#include "ui/application.h"

namespace {

struct CountingChatWindows : NoChatWindows {
    int foregroundAsked = 0;
    WindowRef Foreground() override {
        ++foregroundAsked;
        return 0;
    }
};

TEST(FormCreate, CaptureTimersRunAlthoughTheEngineRefusesTheVoices) {
    for (const char* refused : {"SetVoice", "SetRate", "CreateVoice"}) {
        RecordingEngine engine;
        engine.SetVoices({"Mary"});
        engine.failing = {refused};
        CountingChatWindows chat;
        BytesCodePage codePage;
        NullLog log;
        QuietStartup quiet;
        QuietDesk desk;
        TFmain form{QuietServices(chat, codePage, engine, log, quiet, desk)};
        EXPECT_THROW(form.FormCreate(), EngineError) << refused;
        EXPECT_TRUE(form.Timer2.Enabled()) << refused;
        EXPECT_TRUE(form.Timer3.Enabled()) << refused;
        form.Timer2.Tick();
        form.Timer3.Tick();
        EXPECT_GE(chat.foregroundAsked, 2) << "both ticks looked at the foreground window (" << refused << ")";
    }
}

// The main window's logic with every shell component on a recording peer, as the Win32
// window attaches them. Shown on the log tab to start with, as a user would meet it.
struct Shell {
    explicit Shell(std::set<char> takenKeys = {}) {
        hotkeys.taken = takenKeys;
        engine.SetVoices({"Mary"});
        form.Window.AttachPeer(&window);
        form.PageControl1.AttachPeer(&pages);
        form.TrayIcon1.AttachPeer(&tray);
        form.PopupMenu1.AttachPeer(&popup);
        form.FormCreate();
        form.Window.Show();
        Application.OnTerminate = [this] { calls.push_back("terminate"); };
        calls.clear();
    }
    ~Shell() { Application.OnTerminate = nullptr; }
    Calls calls;
    RecordingWindow window{calls};
    RecordingPages pages{calls};
    RecordingTrayPeer tray{calls};
    RecordingPopup popup{calls};
    RecordingEngine engine;
    OneChatInFront chat;
    BytesCodePage codePage;
    MemoryLog log;
    QuietStartup quiet;
    MemoryDocument document;
    MemoryFiles files;
    RecordingBoxes boxes;
    RecordingShell shell;
    RecordingHotKeys hotkeys;
    TFmain form{TFmainServices{chat, codePage, engine, log, quiet.paths, quiet.profile, quiet.registry, quiet.os,
                               document, files, boxes, shell, nullptr, &hotkeys}};
};

const std::u16string kHideBalloon = u"程序已最小化, 双击即可恢复.";

TEST(SystemCommand, CloseAndMinimiseHideToTheTrayEverythingElseGoesOn) {
    struct Case {
        unsigned command;
        bool hides;
        const char* why;
    } cases[] = {
        {0xF060, true, "SC_CLOSE: close button, Alt+F4, system menu"},
        {0xF020, true, "SC_MINIMIZE"},
        {0xF061, false, "SC_CLOSE with a low bit set is another command"},
        {0xF022, false, "SC_MINIMIZE with a low bit set"},
        {0xF030, false, "SC_MAXIMIZE"},
        {0xF120, false, "SC_RESTORE"},
        {0xF010, false, "SC_MOVE"},
        {0xF100, false, "SC_KEYMENU"},
    };
    for (const auto& c : cases) {
        Shell s;
        EXPECT_EQ(s.form.WMSysCommand(c.command), c.hides) << c.why;
        EXPECT_EQ(s.form.Window.Visible(), !c.hides) << c.why;
        EXPECT_EQ(s.calls, c.hides ? (Calls{"balloon 500", "hide window"}) : Calls{}) << c.why;
    }
}

TEST(HideToTray, BalloonThenHiddenWhileTheIconAndTimersGoOn) {
    Shell s;
    s.form.HideToTray();
    EXPECT_EQ(s.calls, (Calls{"balloon 500", "hide window"})) << "the balloon first, then the window goes";
    EXPECT_EQ(s.tray.title, u"Sonvira");
    EXPECT_EQ(s.tray.text, kHideBalloon);
    EXPECT_EQ(s.tray.flags, TBalloonFlags::bfInfo);
    EXPECT_FALSE(s.form.Window.Visible());
    EXPECT_TRUE(s.form.TrayIcon1.Visible());
    EXPECT_EQ(s.tray.hint, u"Sonvira") << "the icon shows from creation with its hint";
    EXPECT_TRUE(s.form.Timer2.Enabled());
    EXPECT_TRUE(s.form.Timer3.Enabled());
}

TEST(Balloon, ThreeSecondsUntilTheFirstHideThenHalfASecondForGood) {
    Shell s;
    s.form.ShowBalloon(u"Sonvira", u"start");
    s.form.HideToTray();
    s.form.TrayIcon1DblClick();
    s.form.ShowBalloon(u"Sonvira", u"later");
    s.form.HideToTray();
    Calls balloons;
    for (const auto& c : s.calls)
        if (c.rfind("balloon", 0) == 0) balloons.push_back(c);
    EXPECT_EQ(balloons, (Calls{"balloon 3000", "balloon 500", "balloon 500", "balloon 500"}));
}

TEST(RestoreMainWindow, ShowsInFrontAndPicksTheTabItIsGiven) {
    // Each way back as the user takes it: a double click on the icon (with no tab), or the
    // tray menu's two items.
    auto dblClick = [](TFmain& f) { f.TrayIcon1.UserMouse(TTrayMouse::MiddleDblClick); };
    auto open1 = [](TFmain& f) { f.Open1.UserClick(); };
    auto options = [](TFmain& f) { f.NItemOptions.UserClick(); };
    struct Case {
        void (*command)(TFmain&);
        int startTab;
        Calls calls;
        int tab;
    } cases[] = {
        {dblClick, 1, {"normal", "show window", "window to front"}, 1},
        {dblClick, 0, {"normal", "show window", "window to front"}, 0},
        {open1, 1, {"normal", "show window", "window to front", "page 0"}, 0},
        {options, 0, {"normal", "show window", "window to front", "page 1"}, 1},
        {options, 1, {"normal", "show window", "window to front", "page 1"}, 1},
    };
    for (const auto& c : cases) {
        for (bool hiddenFirst : {true, false}) {
            Shell s;
            s.form.PageControl1.UserChanged(c.startTab);
            if (hiddenFirst) s.form.HideToTray();
            s.calls.clear();
            c.command(s.form);
            EXPECT_EQ(s.calls, c.calls) << c.startTab << hiddenFirst;
            EXPECT_TRUE(s.form.Window.Visible());
            EXPECT_EQ(s.form.Window.WindowState(), TWindowState::wsNormal);
            EXPECT_EQ(s.form.PageControl1.ActivePageIndex(), c.tab) << c.startTab << hiddenFirst;
        }
    }
}

TEST(TrayIcon1, ALeftClickOpensTheTrayMenuAtTheCursor) {
    Shell s;
    FixedMouse mouse({612, 18});
    s.form.TrayIcon1.UserMouse(TTrayMouse::LeftUp);
    s.form.TrayIcon1.ClickWaitOver();
    EXPECT_EQ(s.calls, (Calls{"wait", "stop", "popup 612,18"}));
}

TEST(Exit, BothExitItemsEndTheProgramWithoutShowingTheWindow) {
    for (TMenuItem TFmain::*item : {&TFmain::Nexit, &TFmain::Exit1}) {
        Shell s;
        s.form.HideToTray();
        s.calls.clear();
        (s.form.*item).UserClick();
        EXPECT_EQ(s.calls, (Calls{"terminate"}));
        EXPECT_FALSE(s.form.Window.Visible());
    }
}

TEST(Menus, RowsAreWellFormedAndEveryItemIsThereOnce) {
    std::set<int> commands;
    std::vector<TMenuItem TFmain::*> items;  // member pointers have no order: searched
    for (const TMenuRow& row : TFmain::MenuRows()) {
        if (!row.item) {
            EXPECT_EQ(row.command, 0);
            EXPECT_EQ(row.onClick, nullptr);
            continue;
        }
        EXPECT_TRUE(commands.insert(row.command).second) << "command " << row.command << " twice";
        EXPECT_EQ(std::find(items.begin(), items.end(), row.item), items.end()) << "an item twice: " << row.command;
        items.push_back(row.item);
        EXPECT_NE(row.caption, nullptr);
        EXPECT_EQ(std::u16string(row.caption).find(u'&'), std::u16string::npos) << "no accelerator characters";
        EXPECT_FALSE(row.menu == TMenuRow::PopupMenu1 && row.inSubmenu) << "the tray menu is flat";
        EXPECT_TRUE(!row.key.letter || (row.key.letter >= 'A' && row.key.letter <= 'Z')) << "'p' is F1's key code";
    }
    EXPECT_FALSE(TFmain::MenuRows().front().inSubmenu) << "the main menu starts with a submenu's title";
}

TEST(Menus, EachItemDoesWhatItsRowSays) {
    Shell s({'P'});  // another program holds Ctrl+Alt+P: it is named, and Ctrl+Alt+S is held
    EXPECT_EQ(s.hotkeys.held.size(), 1u);
    EXPECT_EQ(s.tray.title + s.tray.text.substr(0, 22), u"快捷键已被占用快捷键 Ctrl+Alt+P（暂停朗读） 已");
    s.form.Speak(kOwnProfile, "one");
    s.form.Speak(kFriendProfile, "two");
    ASSERT_EQ(s.engine.VoicesAlive(), 2) << "the own and the friend's voice objects speak";

    EXPECT_TRUE(s.form.NShowTime1.Checked());
    s.form.NShowTime1.UserClick();
    EXPECT_FALSE(s.form.NShowTime1.Checked()) << "显示时间 toggles its tick";
    s.form.NShowTime1.UserClick();
    EXPECT_TRUE(s.form.NShowTime1.Checked());

    s.form.WMHotKey(IDM_STOPSPEAK1);
    EXPECT_EQ(s.engine.VoicesAlive(), 0) << "停止朗读, by its key, silences both profiles";

    // 暂停朗读, whose key is taken: what speaks and waits stops; a message is then logged, neither
    // spoken nor queued, nor spoken once unticked.
    s.form.Options.readall = true;
    s.engine.speaking = true;
    for (const char* text : {"three", "four"}) s.form.Speak(kFriendProfile, text);
    s.form.PauseSpeak1.UserClick();
    EXPECT_EQ(s.tray.hint, u"Sonvira（已暂停朗读）");
    EXPECT_EQ(s.engine.VoicesAlive(), 0);
    s.chat = OneChatInFront(Utf8ToGbk("与 小鱼 交谈中"), "Ann  12:00:00\r\nfive\r\n");
    s.form.Timer3.Tick();
    s.form.Timer2.Tick();
    EXPECT_NE(s.log.text.find("five"), std::string::npos);
    EXPECT_FALSE(s.form.TimerSpeech.Enabled()) << "nothing queued";
    s.engine.speaking = false;
    s.engine.ClearLog();
    s.form.PauseSpeak1.UserClick();
    EXPECT_EQ(s.tray.hint, u"Sonvira");
    s.form.Speak(kFriendProfile, "six");
    const std::vector<std::string> said = s.engine.Only({"Speak"});
    EXPECT_TRUE(said.size() == 1 && said[0].find(" Speak six") != std::string::npos) << "nothing said of the pause";

    // The log's commands run their dialogs; clear, export, help and about show their boxes.
    ScriptedDialog open{s.form.OpenDialog1}, save{s.form.SaveDialog1}, wav{s.form.SaveDialogWav};
    s.form.NOpenMessage.UserClick();
    s.form.NSaveMessage.UserClick();
    EXPECT_EQ(open.runs + save.runs + wav.runs, 2);
    EXPECT_EQ(open.runs, 1);
    EXPECT_EQ(save.runs, 1);
    for (auto item : {&TFmain::NClearMessage, &TFmain::ExportMessageToWav1, &TFmain::Help1, &TFmain::About1})
        (s.form.*item).UserClick();
    std::vector<std::u16string> captions;
    for (const ShownBox& b : s.boxes.shown) captions.push_back(b.caption);
    EXPECT_EQ(captions, (std::vector<std::u16string>{u"确认", u"Sonvira", u"帮助", u"关于"})) << "the empty log's box";
    EXPECT_EQ(wav.runs, 0);

    // The web site and the mail program, through the shell.
    s.form.VisitHomepage1.UserClick();
    s.form.Email1.UserClick();
    ASSERT_EQ(s.shell.requests.size(), 2u);
    EXPECT_EQ(s.shell.requests[0].show, 3) << "the web site maximised";
    EXPECT_EQ(s.shell.requests[1].file.rfind("mailto:", 0), 0u);
    s.form.BDownload.UserClick();
    ASSERT_EQ(s.shell.requests.size(), 3u);
    EXPECT_EQ(s.shell.requests[2].file, maker::kVoiceDownloadPage) << "开始下载语音引擎";

    // Either run-at-logon item ticks both.
    s.form.NOpenOnStartup2.UserClick();
    EXPECT_TRUE(s.form.NOpenOnStartup.Checked() && s.form.NOpenOnStartup2.Checked());
    s.form.NOpenOnStartup.UserClick();
    EXPECT_FALSE(s.form.NOpenOnStartup.Checked() || s.form.NOpenOnStartup2.Checked());
    EXPECT_EQ(s.shell.shortcuts.size(), 1u);
    s.form.FormDestroy();
    EXPECT_TRUE(s.hotkeys.held.empty()) << "the keys are given back at exit";
}

}  // namespace
