// The real main window inside this process, where its menus can be read (Wine keeps menus
// per process): both menus as the tables give them, captions, order, separators and ticks,
// ticks following their items, the tray icon coming back when the shell restarts, what the
// window hands the shell that Windows needs and Wine forgives, and the ticks that stored
// settings and the logon shortcut give at start. Then the window's logic speaking through the
// real engine.
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/fmain.h"
#include "app/fmain_win.h"
#include "common/chat_windows.h"
#include "common/memory_log.h"
#include "res/resource.h"
#include "speech/sapi_engine_win.h"
#include "support/desktop.h"
#include "support/process.h"
#include "support/voice_record.h"
#include "ui/application.h"
#include "win/codepage_win.h"
#include "win/com.h"

namespace {

// One item as a user sees it: "-" for a separator, "[x] " before a ticked caption, and the
// items of its submenu after "> ".
std::vector<std::wstring> Read(HMENU menu) {
    std::vector<std::wstring> items;
    const int n = GetMenuItemCount(menu);
    for (int i = 0; i < n; ++i) {
        wchar_t text[128] = {};
        MENUITEMINFOW mi = {};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING | MIIM_SUBMENU;
        mi.dwTypeData = text;
        mi.cch = 128;
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &mi);
        if (mi.fType & MFT_SEPARATOR) {
            items.push_back(L"-");
            continue;
        }
        items.push_back(std::wstring(mi.fState & MFS_CHECKED ? L"[x] " : L"") + text);
        if (mi.hSubMenu)
            for (const auto& sub : Read(mi.hSubMenu)) items.push_back(L"> " + sub);
    }
    return items;
}

// Points this program's import of a system function at a recorder while it lives, for what the
// product hands the shell and the shell shows nowhere (the balloon's icon, the show command).
class ImportHook {
public:
    ImportHook(void* system, void* recorder) : system_(system) {
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
        auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
        auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(
            base + nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
        for (; d->Name && !slot_; ++d)
            for (auto** t = reinterpret_cast<void**>(base + d->FirstThunk); *t && !slot_; ++t)
                if (*t == system) slot_ = t;
        Set(recorder);
    }
    ~ImportHook() { Set(system_); }
    bool Hooked() const { return slot_ != nullptr; }

private:
    void Set(void* to) {
        DWORD was = 0;
        if (slot_ && VirtualProtect(slot_, sizeof to, PAGE_READWRITE, &was)) {
            *slot_ = to;
            VirtualProtect(slot_, sizeof to, was, &was);
        }
    }
    void* system_;
    void** slot_ = nullptr;
};

void* Shell32(const char* name) { return reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"shell32.dll"), name)); }

// What the recorders and the window hook below saw. The recorders pass every call on.
struct Seen {
    std::vector<DWORD> balloonIcons;
    std::vector<INT> showCommands;
    bool menuOpened = false;
    HWND trayWindow = nullptr;
    int iconHeldAtDestroy = -1;
} seen;

BOOL WINAPI RecordNotify(DWORD message, PNOTIFYICONDATAW d) {
    if (message == NIM_MODIFY && (d->uFlags & NIF_INFO)) seen.balloonIcons.push_back(d->dwInfoFlags);
    return reinterpret_cast<decltype(&Shell_NotifyIconW)>(Shell32("Shell_NotifyIconW"))(message, d);
}

HINSTANCE WINAPI RecordExecute(HWND h, LPCWSTR op, LPCWSTR file, LPCWSTR params, LPCWSTR dir, INT show) {
    seen.showCommands.push_back(show);
    return reinterpret_cast<decltype(&ShellExecuteW)>(Shell32("ShellExecuteW"))(h, op, file, params, dir, show);
}

// Whether the shell holds the program's tray icon: it answers a change to an icon it holds,
// and refuses one it does not.
bool ShellHoldsIcon(HWND trayWindow) {
    NOTIFYICONDATAW d = {};
    d.cbSize = NOTIFYICONDATAW_V2_SIZE;
    d.hWnd = trayWindow;
    d.uID = 1;
    d.uFlags = NIF_TIP;
    lstrcpyW(d.szTip, L"Sonvira");
    return Shell_NotifyIconW(NIM_MODIFY, &d) != FALSE;
}

// Closes a menu as soon as it waits for the user, and looks whether the shell still holds the
// icon when the tray window is being destroyed.
LRESULT CALLBACK WatchWindows(int code, WPARAM wp, LPARAM lp) {
    const auto* m = reinterpret_cast<const CWPSTRUCT*>(lp);
    if (code == HC_ACTION && m->message == WM_ENTERIDLE && m->wParam == MSGF_MENU) seen.menuOpened = EndMenu();
    if (code == HC_ACTION && m->message == WM_DESTROY && m->hwnd == seen.trayWindow)
        seen.iconHeldAtDestroy = ShellHoldsIcon(m->hwnd);
    return CallNextHookEx(nullptr, code, wp, lp);
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application.OnException = [this](const std::string& m) { errors_.push_back(m); };
        engine_ = CreateSapiEngine();
        window_ = std::make_unique<MainWindow>(*engine_);
        ASSERT_TRUE(window_->Create(GetModuleHandleW(nullptr), false));
    }
    void TearDown() override {
        window_.reset();
        engine_.reset();
        Application.OnException = nullptr;
    }
    ScopedCom com_;
    std::vector<std::string> errors_;
    std::unique_ptr<ISpeechEngine> engine_;
    std::unique_ptr<MainWindow> window_;
};

TEST_F(MainWindowTest, MenusAreAsTheTablesSay) {
    // Each row as the menus show it: a submenu's items after "> ", a separator as "-".
    std::vector<std::wstring> mainMenu, trayMenu;
    for (const TMenuRow& row : TFmain::MenuRows()) {
        const std::u16string text = row.item ? MenuText(row) : u"-";
        std::wstring shown = std::wstring(row.inSubmenu ? L"> " : L"") + (row.ticked ? L"[x] " : L"");
        shown += reinterpret_cast<const wchar_t*>(text.c_str());
        (row.menu == TMenuRow::PopupMenu1 ? trayMenu : mainMenu).push_back(shown);
    }
    EXPECT_EQ(Read(GetMenu(window_->Handle())), mainMenu);
    EXPECT_EQ(Read(window_->TrayMenu()), trayMenu);

    // "显示时间" takes its tick away and back, as the user clicks it.
    HMENU bar = GetMenu(window_->Handle());
    for (bool ticked : {false, true}) {
        SendMessageW(window_->Handle(), WM_COMMAND, IDM_NSHOWTIME1, 0);
        EXPECT_EQ(window_->Form().NShowTime1.Checked(), ticked);
        EXPECT_EQ((GetMenuState(bar, IDM_NSHOWTIME1, MF_BYCOMMAND) & MF_CHECKED) != 0, ticked);
    }
    EXPECT_TRUE(errors_.empty() || errors_.front().rfind("0x", 0) == 0) << "only the engine may complain";
}

// The keys are held by the window while it lives, and the system's message for a held key
// chooses its item; a key held elsewhere first is named in the balloon, and the other one is
// held. (Keys sent with SendInput reach a hot key's holder under Wine in most runs, but not
// on every fresh desktop: the test sends the message the system sends, so it cannot flake.)
TEST_F(MainWindowTest, EachKeyChoosesItsItemAndATakenOneIsNamed) {
    if (RegisterHotKey(nullptr, 3, MOD_CONTROL | MOD_ALT, 'P')) {
        UnregisterHotKey(nullptr, 3);
        ADD_FAILURE() << "the window does not hold Ctrl+Alt+P";
    }
    SendMessageW(window_->Handle(), WM_HOTKEY, IDM_PAUSESPEAK1, MAKELPARAM(MOD_CONTROL | MOD_ALT, 'P'));
    EXPECT_TRUE(GetMenuState(window_->TrayMenu(), IDM_PAUSESPEAK1, 0) & MF_CHECKED) << "Ctrl+Alt+P";
    window_.reset();
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, 'P')) << "the window gave its keys back";
    window_ = std::make_unique<MainWindow>(*engine_);
    ASSERT_TRUE(window_->Create(GetModuleHandleW(nullptr), false));
    EXPECT_NE(window_->Form().TrayIcon1.BalloonHint.find(u"Ctrl+Alt+P"), std::u16string::npos);
    EXPECT_FALSE(RegisterHotKey(nullptr, 2, MOD_CONTROL | MOD_ALT, 'S')) << "the other key is held all the same";
    UnregisterHotKey(nullptr, 1);
}

TEST_F(MainWindowTest, TheTrayIconComesBackWhenTheShellRestartsOrRefusedIt) {
    auto ours = [this] { return ShellHoldsIcon(window_->TrayWindow()); };
    ASSERT_TRUE(ours()) << "the icon is there from creation";
    // A new shell starts without the icon and tells every top-level window so.
    NOTIFYICONDATAW gone = {};
    gone.cbSize = NOTIFYICONDATAW_V2_SIZE;
    gone.hWnd = window_->TrayWindow();
    gone.uID = 1;
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &gone));
    ASSERT_FALSE(ours());
    const std::size_t icons = TrayIconWindows().size();
    SendMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(ours()) << "the icon is back";
    EXPECT_EQ(TrayIconWindows().size(), icons + 1);

    // A shell that refuses the add (it holds an icon of that id, which the test then takes
    // away) is asked again until the icon is there.
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &gone) && Shell_NotifyIconW(NIM_ADD, &gone));
    SendMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &gone));
    ASSERT_FALSE(ours()) << "the refused add was taken after all";
    EXPECT_TRUE(WaitUntil(ours, kPatienceMs)) << "the icon was not added again";
}

// What Windows needs and Wine forgives, seen inside the process: balloons with the information
// icon, the web page asked for maximised, a message to the tray menu's owner after the menu
// (else Windows closes it at once every second time), and the icon gone from the notification
// area before its window (else Windows keeps a ghost icon until the mouse passes over it).
TEST_F(MainWindowTest, TheShellIsTreatedAsWindowsNeeds) {
    ImportHook notify(Shell32("Shell_NotifyIconW"), reinterpret_cast<void*>(RecordNotify));
    ImportHook execute(Shell32("ShellExecuteW"), reinterpret_cast<void*>(RecordExecute));
    ASSERT_TRUE(notify.Hooked() && execute.Hooked()) << "the program imports both from shell32";
    seen = Seen();
    window_->Form().ShowBalloon(u"Sonvira", u"程序已最小化");
    SendMessageW(window_->Handle(), WM_COMMAND, IDM_VISITHOMEPAGE1, 0);
    EXPECT_EQ(seen.balloonIcons, std::vector<DWORD>{NIIF_INFO});
    EXPECT_EQ(seen.showCommands, std::vector<INT>{SW_SHOWMAXIMIZED});

    seen.trayWindow = window_->TrayWindow();
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, WatchWindows, nullptr, GetCurrentThreadId());
    window_->Form().PopupMenu1.Popup(10, 10);
    ASSERT_TRUE(seen.menuOpened) << "the tray menu never waited for the user";
    MSG m;
    bool posted = false;
    while (PeekMessageW(&m, window_->Handle(), 0, 0, PM_REMOVE)) posted |= m.message == WM_NULL;
    EXPECT_TRUE(posted) << "no WM_NULL to the menu's owner after the menu";
    ASSERT_TRUE(ShellHoldsIcon(seen.trayWindow));
    window_.reset();
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(seen.iconHeldAtDestroy, 0) << "the icon was still in the notification area when its window went";
}

// Each control of the options pages reaches what its layout row binds through the
// notification the control itself sends to its page: a setting's field, or a component.
TEST_F(MainWindowTest, EachOptionControlReachesWhatItsRowBinds) {
    TFmain& f = window_->Form();
    auto notify = [&](int id, WORD code) {
        HWND control = FindControl(window_->Handle(), id);
        SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
        return control;
    };
    int fields = 0, lists = 0, resets = 0;
    for (const OptionControl& c : OptionControls()) {
        if (c.id == -1) continue;
        SCOPED_TRACE(c.id);
        HWND control = FindControl(window_->Handle(), c.id);
        ASSERT_NE(control, nullptr);
        const TSettingField* field = FieldOf(c);
        if (field && c.kind == OptionControl::Check) {
            bool& on = f.Options.*std::get<bool TSettings::*>(*field);
            const bool was = on;
            SendMessageW(control, BM_SETCHECK, was ? BST_UNCHECKED : BST_CHECKED, 0);
            notify(c.id, BN_CLICKED);
            EXPECT_NE(on, was);
            ++fields;
        } else if (field) {
            SetWindowTextW(control, L"42");
            notify(c.id, EN_CHANGE);
            EXPECT_EQ(OptionText(f.Options, *field), "42");
            ++fields;
        } else if (TComboBox* list = ComponentOf<TComboBox>(f, c)) {
            SetWindowTextW(control, L"no such voice");
            notify(c.id, CBN_EDITCHANGE);
            EXPECT_EQ(list->Text(), "no such voice");
            ++lists;
        } else if (c.kind == OptionControl::Push && c.profile >= 0) {
            f.Profiles[c.profile].TRate.SetPosition(5);
            notify(c.id, BN_CLICKED);
            EXPECT_EQ(f.Profiles[c.profile].TRate.Position(), 0);
            ++resets;
        }
    }
    // Every setting of the form's own has its control, but "显示时间", which is a menu's tick.
    int settings = 0;
    for (const TSettingsKey& k : SettingsKeys()) settings += k.profile < 0 && k.field != TSettingField(&TSettings::showtime);
    EXPECT_EQ(fields, settings);
    EXPECT_EQ(std::make_pair(lists, resets), std::make_pair(int{kProfileCount}, int{kProfileCount}));
    ImportHook execute(Shell32("ShellExecuteW"), reinterpret_cast<void*>(RecordExecute));
    seen = Seen();
    notify(IDC_BDOWNLOAD, BN_CLICKED);
    EXPECT_EQ(seen.showCommands, std::vector<INT>{SW_SHOWMAXIMIZED}) << "the download button";
}

// The window as FormCreate leaves it when this program's settings untick "显示时间" and its
// logon shortcut exists: the menus show what was stored, read inside the process.
class StoredMainWindowTest : public MainWindowTest {
protected:
    void SetUp() override {
        wchar_t appData[MAX_PATH], startup[MAX_PATH];
        SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, appData);
        SHGetFolderPathW(nullptr, CSIDL_STARTUP, nullptr, 0, startup);
        folder_ = std::wstring(appData) + L"\\win_fmain_test";
        shortcut_ = std::wstring(startup) + L"\\win_fmain_test.lnk";
        CreateDirectoryW(folder_.c_str(), nullptr);
        for (auto [key, value] : {std::pair{L"showtime", L"0"}, {L"readall", L"1"}, {L"mute", L"bot"}, {L"maxlen", L"5"}})
            WritePrivateProfileStringW(L"set", key, value, (folder_ + L"\\set.ini").c_str());
        CloseHandle(CreateFileW(shortcut_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        MainWindowTest::SetUp();
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        DeleteFileW(shortcut_.c_str());
        DeleteFileW((folder_ + L"\\set.ini").c_str());
        RemoveDirectoryW(folder_.c_str());
    }
    std::wstring folder_, shortcut_;
};

TEST_F(StoredMainWindowTest, MenusAndPagesShowTheStoredValuesAndTheShortcutsTicks) {
    const std::vector<std::wstring> main = Read(GetMenu(window_->Handle()));
    const std::vector<std::wstring> tray = Read(window_->TrayMenu());
    EXPECT_NE(std::find(main.begin(), main.end(), L"> 显示时间"), main.end());
    EXPECT_NE(std::find(main.begin(), main.end(), L"> [x] 启动时运行"), main.end());
    EXPECT_NE(std::find(tray.begin(), tray.end(), L"[x] 开机时运行"), tray.end());
    // The pages show what was read, a number as its rule keeps it.
    EXPECT_EQ(SendMessageW(FindControl(window_->Handle(), IDC_CBREADALL), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(WindowTextW(FindControl(window_->Handle(), IDC_EDITMUTE)), L"bot");
    EXPECT_EQ(WindowTextW(FindControl(window_->Handle(), IDC_EDITMAXLEN)), L"10");
}

TEST_F(StoredMainWindowTest, EitherRunAtLogonItemTicksOrUnticksBothMenusAndTheShortcutFollows) {
    HMENU bar = GetMenu(window_->Handle()), tray = window_->TrayMenu();
    auto ticks = [&] {
        return std::make_pair((GetMenuState(bar, IDM_NOPENONSTARTUP, MF_BYCOMMAND) & MF_CHECKED) != 0,
                              (GetMenuState(tray, IDM_NOPENONSTARTUP2, MF_BYCOMMAND) & MF_CHECKED) != 0);
    };
    ASSERT_EQ(ticks(), std::make_pair(true, true));
    SendMessageW(window_->Handle(), WM_COMMAND, IDM_NOPENONSTARTUP, 0);
    EXPECT_EQ(ticks(), std::make_pair(false, false));
    EXPECT_EQ(GetFileAttributesW(shortcut_.c_str()), INVALID_FILE_ATTRIBUTES) << "unticking deletes the shortcut";
    SendMessageW(window_->Handle(), WM_COMMAND, IDM_NOPENONSTARTUP2, 0);
    EXPECT_EQ(ticks(), std::make_pair(true, true));
    EXPECT_NE(GetFileAttributesW(shortcut_.c_str()), INVALID_FILE_ATTRIBUTES) << "ticking makes it again";
    EXPECT_TRUE(errors_.empty() || errors_.front().rfind("0x", 0) == 0) << "only the engine may complain";
}

double Ms(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

// The same logic on the real speech engine with the test voices: a tick that starts a very long
// message returns while the voice is still speaking it, and "停止朗读" silences it at once. The
// chat window is a double here: Wine cannot hand a megabyte of transcript from one process to
// another, a messenger on Windows can.
TEST(FmainSpeech, AMegabyteMessageDoesNotHoldUpTheTickAndStopSilencesItAtOnce) {
    ScopedCom com;
    ASSERT_TRUE(ClearVoiceRecord());
    std::string body;
    while (body.size() < (1u << 20)) body += WideToAnsi(L"一句很长的话，");
    OneChatInFront chat(WideToAnsi(L"与 小鱼 交谈中"), WideToAnsi(L"小鱼  12:00:00") + "\r\n" + body + "\r\n");
    Win32CodePage codePage;
    auto engine = CreateSapiEngine();
    MemoryLog log;
    Win32PathPlatform paths;
    Win32ProfileStrings profile;
    Win32Registry registry;
    Win32OsVersion os;
    const HWND noWindow = nullptr;
    RichEditDocument document;
    Win32Files files;
    Win32MessageBoxes boxes{noWindow};
    Win32Shell shell{noWindow};
    TFmain form({chat, codePage, *engine, log, paths, profile, registry, os, document, files, boxes, shell});
    form.FormCreate();
    form.Timer3Timer();

    LARGE_INTEGER start, ticked;
    QueryPerformanceCounter(&start);
    form.Timer2Timer();
    QueryPerformanceCounter(&ticked);
    bool heard = false;
    VoiceRecord r = WaitForVoiceRecord([](const VoiceRecord& v) { return !v.empty() && !v[0].fragments.empty(); }, kPatienceMs, &heard);
    ASSERT_TRUE(heard) << "the message was never started";
    ASSERT_FALSE(r[0].ended) << "the tick waited for the voice";
    EXPECT_EQ(r[0].fragments.at(0).text.size(), AnsiToWide(body).size() + std::wstring(L"小鱼 说：").size())
        << "the whole message, after the nickname as cut from its header";

    const double stopAt = VoiceClockMs();
    form.StopSpeak1Click();
    r = WaitForVoiceRecord([](const VoiceRecord& v) { return v[0].ended; }, kPatienceMs, &heard);
    ASSERT_TRUE(heard) << "the voice went on after the stop";
    EXPECT_FALSE(r[0].completed);
    std::printf("speech: a tick starting a %u-byte message took %.1f ms; the voice stopped %.1f ms after the stop\n",
                static_cast<unsigned>(body.size()), Ms(start, ticked), r[0].endMs - stopAt);
    EXPECT_EQ(log.text.find(body.substr(0, 64)), log.text.find('\r') + 1) << "the message is logged too";
}

}  // namespace
