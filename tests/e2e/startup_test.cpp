// sonvira.exe's life under Wine: its window comes up with its tabs; a first run starts hidden
// and writes set.ini at exit, key by key in order, and a second start ends at once leaving the
// first alone; stored settings show in the options tab and in the log's header lines, and a
// logoff as Windows sends it saves what the user changed; of two starts at once one goes on; a
// settings folder that cannot be made is told once and the program still speaks, as it does
// under code pages 936, 932 and 1252 in folders named in them; on Windows version 5 the carried
// voices are registered while it runs, next to an installed voice that must survive, and at
// version 6 the registry is left alone.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "app/fmain_win.h"
#include "app/identity_win.h"
#include "speech/carried_voices.h"
#include "support/process.h"
#include "support/registry.h"
#include "support/sonvira.h"
#include "support/standin.h"
#include "support/test_paths.h"
#include "support/voice_record.h"
#include "win/codepage_win.h"

namespace {

const std::string kTokens = "SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens";
const std::string kMary = kTokens + "\\MSMary";
const std::string kMike = kTokens + "\\MSMike";

// Top-level windows of class "TFmain" titled "Sonvira", of any process.
int SonviraWindows() {
    int n = 0;
    for (HWND h = nullptr; (h = FindWindowExW(nullptr, h, kMainWindowClass, kMainWindowTitle)) != nullptr;) ++n;
    return n;
}

// What the voice said of a friend's message in the chat in front ("" when nothing came in
// time); all ASCII, so that it reads the same in any code page.
std::wstring SayFromChat(const std::string& body) {
    StandinChat chat(L"--title \"Chatting with Fish\"");
    if (!ClearVoiceRecord() || !chat.BringToFront() || !chat.WaitForReaders(2) || !chat.AppendMessage("Fish", body))
        return {};
    bool said = false;
    // Said once the voice has finished the message: an utterance begun is written before its text.
    VoiceRecord r = WaitForVoiceRecord([](const VoiceRecord& v) { return !v.empty() && v[0].ended; }, kPatienceMs, &said);
    std::wstring text;
    for (const auto& f : said ? r[0].fragments : std::vector<VoiceFragment>()) text += f.text;
    return text;
}

bool Checked(HWND main, int id) { return SendMessageW(FindControl(main, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
LRESULT Position(HWND main, int id) { return SendMessageW(FindControl(main, id), TBM_GETPOS, 0, 0); }

// Moves a track bar as a user would: the bar takes the position, its parent hears the scroll.
// Posted, since an engine that refuses the rate answers with a modal error box; such boxes
// are said OK to until the value label shows the position.
bool Drag(HWND main, DWORD pid, int trackId, int labelId, int position) {
    HWND track = FindControl(main, trackId);
    SendMessageW(track, TBM_SETPOS, TRUE, position);
    PostMessageW(GetParent(track), WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(track));
    return WaitUntil(
        [&] {
            if (HWND box = VisibleBox(pid)) PostMessageW(box, WM_COMMAND, IDOK, 0);
            return WindowTextW(FindControl(main, labelId)) == std::to_wstring(position);
        },
        kPatienceMs);
}

// What Windows does at logoff to a process that agrees to it: every top-level window is asked,
// then told the session ends, then the process is ended without running its exit code.
void LogOff(RunningSonvira& process) {
    std::vector<HWND> windows;
    for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        if (pid == process.Id()) windows.push_back(h);
    }
    ASSERT_FALSE(windows.empty());
    for (HWND h : windows) {
        DWORD_PTR agreed = 0;
        ASSERT_TRUE(SendMessageTimeoutW(h, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &agreed));
        EXPECT_TRUE(agreed) << "the program refused the logoff";
    }
    for (HWND h : windows) {
        DWORD_PTR unused = 0;
        SendMessageTimeoutW(h, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &unused);
    }
    process.Kill();
}

TEST(Startup, MainWindowComesUpWithItsTabs) {
    RunningSonvira sonvira;
    HWND main = sonvira.Main();
    ASSERT_NE(main, nullptr) << "no TFmain window appeared";
    HWND tabs = WaitForControl(main, IDC_PAGECONTROL);
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(SendMessageW(tabs, 0x1304 /* TCM_GETITEMCOUNT */, 0, 0), 3);
    RECT client;
    GetClientRect(main, &client);
    EXPECT_EQ(client.right - client.left, 305);
    EXPECT_EQ(client.bottom - client.top, 546);
    PumpFor(1500);
    EXPECT_TRUE(sonvira.Running()) << "the program ended on its own";
}

TEST(Startup, AFirstRunWritesItsKeysAtExitAndASecondStartEndsAtOnce) {
    RunningSonvira first;
    const SettingsFile& settings = first.Settings();
    HWND main = first.Main();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(first.StartUpBoxes().empty()) << "start-up reported an error";
    EXPECT_FALSE(IsWindowVisible(main)) << "every start is hidden in the tray";
    EXPECT_FALSE(settings.Exists()) << "start-up writes nothing";

    DWORD started = GetTickCount();
    ChildProcess second(SonviraExe(), L"");
    DWORD code = 99;
    ASSERT_TRUE(second.WaitExit(kPatienceMs, &code)) << "the second start still runs";
    std::printf("second start ended after %lu ms\n", static_cast<unsigned long>(GetTickCount() - started));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(SonviraWindows(), 1);
    EXPECT_TRUE(first.Running());
    EXPECT_FALSE(IsWindowVisible(main)) << "the second start brought the first forward";
    EXPECT_FALSE(settings.Exists()) << "the second start wrote settings";

    ExitSonvira(main);
    ASSERT_TRUE(first.WaitExit(kPatienceMs)) << "the program did not end";
    EXPECT_EQ(settings.Bytes(),
              "[set]\r\nRate=0\r\nVolume=100\r\nEngine=0\r\nRate1=0\r\nVolume1=100\r\nEngine1=0\r\ncbme=1\r\n"
              "cbfriend=1\r\ncbmyname=1\r\ncbfriendsname=1\r\nshowtime=1\r\nEngineName=Sonvira Test Alto\r\n"
              "EngineName1=Sonvira Test Alto\r\nreadall=0\r\nbackground=0\r\nmynick=\r\nnolinks=0\r\nsqueeze=0\r\n"
              "maxlen=0\r\nmute=\r\nwechat=1\r\nautovoice=0\r\n");
}

TEST(Startup, OfTwoStartsAtTheSameMomentOneGoesOn) {
    SettingsFile settings;
    for (int trial = 1; trial <= 5; ++trial) {
        ChildProcess a(SonviraExe(), L""), b(SonviraExe(), L"");
        ASSERT_TRUE(WaitUntil([&] { return !a.Running() || !b.Running(); }, kPatienceMs))
            << "trial " << trial << ": both starts still run after " << kPatienceMs << " ms";
        RunningSonvira winner(std::move(a.Running() ? a : b), SonviraExe());
        ASSERT_NE(winner.Main(), nullptr) << "trial " << trial << ": the start that went on shows no window";
        EXPECT_TRUE(winner.Running() && SonviraWindows() == 1) << "trial " << trial;
    }
}

TEST(Startup, StoredSettingsShowAndALogoffSavesWhatTheUserChanged) {
    RunningSonvira sonvira(SonviraExe(),
                           "[other]\r\nRate=3\r\n[set]\r\nRate=0x0A\r\nVolume=30\r\nEngine=7\r\nVolume1=-5\r\n"
                           "cbme=0\r\ncbfriend=yes\r\nshowtime=0\r\n");
    HWND main = sonvira.Main();
    ASSERT_NE(main, nullptr);
    ASSERT_NE(WaitForControl(main, IDC_TRATE), nullptr);
    EXPECT_EQ(Position(main, IDC_TRATE), 10);
    EXPECT_EQ(WindowTextW(FindControl(main, IDC_LRATE)), L"10");
    EXPECT_EQ(Position(main, IDC_TVOLUME), 30);
    EXPECT_EQ(Position(main, IDC_TVOLUME1), 0);
    EXPECT_EQ(WindowTextW(FindControl(main, IDC_LVOLUME1)), L"0");
    EXPECT_EQ(SendMessageW(FindControl(main, IDC_CBVOICE), CB_GETCURSEL, 0, 0), 0) << "7 is past the list";
    EXPECT_FALSE(Checked(main, IDC_CBME));
    EXPECT_TRUE(Checked(main, IDC_CBFRIEND));
    EXPECT_TRUE(Checked(main, IDC_CBMYNAME));

    // "显示时间" is unticked: a friend's message is logged under the nickname as the header
    // gives it (with the space before the time), without the time.
    StandinChat chat(L"--title \"与 小鱼 交谈中\"");
    ASSERT_TRUE(chat.BringToFront());
    ASSERT_TRUE(chat.WaitForReaders(2)) << "Sonvira never looked at the chat";
    ASSERT_TRUE(chat.AppendMessage(WideToAnsi(L"小鱼"), WideToAnsi(L"你好")));
    HWND log = FindControl(main, IDC_RICHEDIT1);
    EXPECT_TRUE(WaitUntil([log] { return !WindowTextW(log).empty(); }, kPatienceMs));
    EXPECT_EQ(WindowTextW(log), L"小鱼  说：\r\n你好\r\n");

    // The user changes two options, then logs off.
    SendMessageW(FindControl(main, IDC_CBME), BM_CLICK, 0, 0);
    ASSERT_TRUE(Drag(main, sonvira.Id(), IDC_TRATE1, IDC_LRATE1, -7));
    ASSERT_TRUE(Checked(main, IDC_CBME));
    LogOff(sonvira);
    EXPECT_EQ(sonvira.Settings().Bytes(),
              "[other]\r\nRate=3\r\n[set]\r\nRate=10\r\nVolume=30\r\nEngine=0\r\nVolume1=0\r\ncbme=1\r\n"
              "cbfriend=1\r\nshowtime=0\r\nRate1=-7\r\nEngine1=0\r\ncbmyname=1\r\ncbfriendsname=1\r\n"
              "EngineName=Sonvira Test Alto\r\nEngineName1=Sonvira Test Alto\r\nreadall=0\r\nbackground=0\r\n"
              "mynick=\r\nnolinks=0\r\nsqueeze=0\r\nmaxlen=0\r\nmute=\r\nwechat=1\r\nautovoice=0\r\n");
}

TEST(Startup, ASettingsFolderThatCannotBeMadeIsToldOnceAndTheProgramStillSpeaks) {
    SettingsFile settings;
    // A file where the data folder belongs: the folder can be neither found nor made.
    const std::wstring folder = settings.Path().substr(0, settings.Path().find_last_of(L'\\'));
    RemoveDirectoryW(folder.c_str());
    ASSERT_NE(GetFileAttributesW(folder.c_str()), FILE_ATTRIBUTE_DIRECTORY) << "the data folder is not empty";
    CloseHandle(CreateFileW(folder.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    struct Removed {
        const std::wstring& path;
        ~Removed() { DeleteFileW(path.c_str()); }
    } blocker{folder};
    const std::wstring error = L"Unable to create folder " + folder;

    RunningSonvira sonvira;
    HWND main = sonvira.Main();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(sonvira.StartUpBoxes(), std::vector<std::wstring>({error}));
    EXPECT_TRUE(WaitUntil([main] { return IsWindowVisible(main) != FALSE; }, kPatienceMs)) << "the window opens visibly";
    EXPECT_NE(SayFromChat("settings gone"), L"") << "the message was not said";

    ExitSonvira(main);
    std::vector<std::wstring> atExit;
    DWORD code = 99;
    EXPECT_TRUE(WaitUntil(
        [&] {
            if (HWND box = VisibleBox(sonvira.Id())) {
                atExit.push_back(WindowTextW(FindControl(box, 0xFFFF)));
                PostMessageW(box, WM_COMMAND, IDOK, 0);
                WaitUntil([box] { return !IsWindowVisible(box); }, kPatienceMs);
            }
            return sonvira.WaitExit(0, &code);
        },
        10000))
        << "the program did not end";
    EXPECT_TRUE(atExit.empty()) << "the settings error was told again at exit";
    EXPECT_EQ(code, 0u);
}

TEST(Startup, UnderEachCodePageInAFolderNamedInItItStartsKeepsItsSettingsAndSpeaks) {
    // Names with bytes that GBK's rule would pair: 932's "ソ" is 83 5C, "ﾃｽﾄ" three single
    // bytes; 1252's "é" is E9.
    struct Case {
        const wchar_t* lang;
        UINT codePage;
        const wchar_t *folder, *name;
    } cases[] = {{L"zh_CN.UTF-8", 936, L"朗读乗", L"朗读"},
                 {L"ja_JP.UTF-8", 932, L"ソフト", L"ﾃｽﾄ"},
                 {L"fr_FR.UTF-8", 1252, L"Programmé", L"voixé"}};
    wchar_t appData[MAX_PATH] = {}, lang[64] = {};
    SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, appData);
    GetEnvironmentVariableW(L"LANG", lang, 64);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.codePage);
        const std::wstring folder = ExeDir() + L"\\" + c.folder, exe = folder + L"\\" + c.name + L".exe";
        const std::wstring data = std::wstring(appData) + L"\\" + c.name, ini = data + L"\\set.ini";
        DeleteFileW(ini.c_str());
        CreateDirectoryW(folder.c_str(), nullptr);
        ASSERT_TRUE(CopyFileW(SonviraExe().c_str(), exe.c_str(), FALSE));
        // Wine takes a program's code page from LANG: a Windows child inherits its parent's,
        // whatever its environment block says, a Unix one (Wine's loader) takes the block's.
        std::wstring line = L"wine \"" + exe + L"\"";
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        for (const wchar_t* v : {L"LANG", L"LC_ALL"}) SetEnvironmentVariableW(v, c.lang);
        BOOL started = CreateProcessW(L"Z:\\usr\\lib\\wine\\wine", line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                      nullptr, &si, &pi);
        for (const wchar_t* v : {L"LANG", L"LC_ALL"}) SetEnvironmentVariableW(v, lang);
        HWND main = nullptr;
        auto shown = [&] { return (main = FindWindowW(kMainWindowClass, kMainWindowTitle)) != nullptr; };
        ASSERT_TRUE(started && WaitUntil(shown, kPatienceMs)) << "no main window appeared";
        DWORD pid = 0;
        GetWindowThreadProcessId(main, &pid);
        RunningSonvira sonvira(ChildProcess::Adopt(pid), exe);
        EXPECT_TRUE(sonvira.StartUpBoxes().empty()) << "start-up reported an error";
        EXPECT_FALSE(IsWindowVisible(main)) << "it did not start in the tray";
        // The fixed "说：" (GBK bytes) is read in the program's code page, which the voice hears.
        wchar_t shuo[8] = {};
        MultiByteToWideChar(c.codePage, 0, "\xcb\xb5\xa3\xba", 4, shuo, 8);
        const std::string body = "hello " + std::to_string(c.codePage);
        EXPECT_EQ(SayFromChat(body), L"Fish " + std::wstring(shuo) + std::wstring(body.begin(), body.end()));
        ExitSonvira(main);
        ASSERT_TRUE(sonvira.WaitExit(kPatienceMs)) << "the program did not end";
        EXPECT_TRUE(DeleteFileW(ini.c_str())) << "no set.ini in the folder of its name";
        RemoveDirectoryW(data.c_str());
        DeleteFileW(exe.c_str());
        RemoveDirectoryW(folder.c_str());
    }
}

// The token trees as the program's table gives them, for the folder sonvira.exe lies in.
void ExpectCarriedTree(TCarriedVoice voice) {
    const std::string folder = WideToAnsi(BuildDir()) + "\\";
    const std::string token = kTokens + "\\" + CarriedVoiceTokenName(voice);
    for (const auto& k : CarriedVoiceTree(voice, folder, "C:")) {
        std::vector<std::string> want;
        for (const auto& v : k.values) want.push_back(v.name + "=" + v.data);
        EXPECT_EQ(reg::Values(token + (k.subKey.empty() ? "" : "\\" + k.subKey)), want) << token << " " << k.subKey;
    }
    EXPECT_EQ(reg::SubKeys(token), std::vector<std::string>({"Attributes", "Lex", "LTS"}));
}

class CarriedVoicesE2e : public ::testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }
    static void Clean() {
        reg::Delete(kMary);
        reg::Delete(kMike);
    }
    SettingsFile settings_;
};

TEST_F(CarriedVoicesE2e, OnVersionFiveTheyAreListedWhileItRunsBesideAnInstalledVoice) {
    WineVersionFor xp(L"sonvira.exe", L"winxp");
    const std::string installed = "C:\\Program Files\\Common Files\\SpeechEngines\\Microsoft\\TTS\\1033\\mike.spd";
    ASSERT_TRUE(reg::Put(kMike, "", "Microsoft Mike"));
    ASSERT_TRUE(reg::Put(kMike, "VoiceData", installed));
    ASSERT_TRUE(reg::Put(kMike + "\\Attributes", "Vendor", "Microsoft"));
    const std::vector<std::string> foreign = reg::Values(kMike);

    RunningSonvira sonvira;
    for (const auto& box : sonvira.StartUpBoxes()) std::printf("start-up said: %s\n", WideToUtf8(box).c_str());
    HWND main = sonvira.Main();
    ASSERT_NE(main, nullptr);
    ExpectCarriedTree(TCarriedVoice::Mary);
    EXPECT_EQ(reg::Values(kMike), foreign) << "the installed Mike was overwritten";
    EXPECT_EQ(reg::SubKeys(kMike), std::vector<std::string>({"Attributes"}));
    HWND list = FindControl(main, IDC_CBVOICE);
    EXPECT_NE(SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"Microsoft Mary")),
              CB_ERR)
        << "Mary was registered after the voice lists were filled";

    // A run that is killed leaves its token behind; the next start renews it.
    sonvira.Kill();
    ASSERT_TRUE(reg::Exists(kMary));
    ASSERT_TRUE(reg::Put(kMary, "CLSID", "stale"));
    sonvira.Start();
    main = sonvira.Main();
    ASSERT_NE(main, nullptr);
    ExpectCarriedTree(TCarriedVoice::Mary);

    // Another program's key in Sonvira's token keeps the token whole at exit.
    ASSERT_TRUE(reg::Put(kMary + "\\Other", "x", "y"));
    ExitSonvira(main);
    ASSERT_TRUE(sonvira.WaitExit(kPatienceMs));
    EXPECT_TRUE(reg::Exists(kMary + "\\Other") && reg::Exists(kMary + "\\Lex"));
    EXPECT_EQ(reg::Values(kMike), foreign) << "the installed Mike was deleted at exit";
    EXPECT_TRUE(settings_.Exists()) << "the settings are written after the voices are removed";
}

TEST_F(CarriedVoicesE2e, OnVersionSixTheRegistryIsLeftAlone) {
    const std::string own = WideToAnsi(BuildDir()) + "\\TTS\\mary.spd";
    ASSERT_TRUE(reg::Put(kMary, "VoiceData", own));
    ASSERT_TRUE(reg::Put(kMary, "Stale", "1"));
    const std::vector<std::string> before = reg::Values(kMary);
    RunningSonvira sonvira;
    HWND main = sonvira.Main();
    ASSERT_NE(main, nullptr);
    ExitSonvira(main);
    ASSERT_TRUE(sonvira.WaitExit(kPatienceMs));
    EXPECT_EQ(reg::Values(kMary), before);
    EXPECT_EQ(before.size(), 2u);
    EXPECT_FALSE(reg::Exists(kMike));
}

TEST_F(CarriedVoicesE2e, AChineseProgramNameAndFolderReachTheRegistryAndItsSettingsInGbk) {
    // A user's copy, renamed and moved: its settings follow its name, its voices its folder.
    const std::wstring folder = ExeDir() + L"\\工具";
    const std::wstring exe = folder + L"\\朗读.exe";
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(SonviraExe().c_str(), exe.c_str(), FALSE));
    wchar_t appData[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, appData);
    const std::wstring ini = std::wstring(appData) + L"\\朗读\\set.ini";
    DeleteFileW(ini.c_str());
    {
        WineVersionFor xp(L"朗读.exe", L"winxp");
        RunningSonvira copy(exe);
        HWND main = copy.Main();
        ASSERT_NE(main, nullptr);
        const std::vector<std::string> mary = reg::Values(kMary);
        EXPECT_NE(std::find(mary.begin(), mary.end(), "VoiceData=" + WideToAnsi(folder) + "\\TTS\\mary.spd"),
                  mary.end());
        ExitSonvira(main);
        ASSERT_TRUE(copy.WaitExit(kPatienceMs));
        // Looked at before the copy's run goes, which takes its data folder's settings along.
        EXPECT_NE(GetFileAttributesW(ini.c_str()), INVALID_FILE_ATTRIBUTES) << "no set.ini in the folder named 朗读";
    }
    EXPECT_FALSE(reg::Exists(kMary));
    EXPECT_FALSE(settings_.Exists()) << "the copy wrote the settings of sonvira.exe";
    DeleteFileW(ini.c_str());
    RemoveDirectoryW(ini.substr(0, ini.find_last_of(L'\\')).c_str());
    DeleteFileW(exe.c_str());
    RemoveDirectoryW(folder.c_str());
}

}  // namespace
