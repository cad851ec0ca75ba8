// The main window's start-up and shutdown through doubles: what a first run and stored
// values give, the orders of FormCreate and FormDestroy, the run-at-logon ticks, start-up
// errors at each step (stored values are loaded all the same), and the session's end.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <stdexcept>

#include "app/fmain.h"
#include "common/form_doubles.h"
#include "common/memory_profile.h"
#include "support/recording_engine.h"
#include "common/shell_doubles.h"

namespace {

const std::string kIni = "C:\\Users\\ann\\AppData\\Roaming\\sonvira\\set.ini";
const std::string kDataFolder = "C:\\Users\\ann\\AppData\\Roaming\\sonvira";
const std::string kShortcut = "C:\\Users\\ann\\Start Menu\\Programs\\Startup\\sonvira.lnk";
const std::string kTokens = "SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens";

// The main window's logic with three voices, nothing stored and Windows 7 unless a test says.
// Every double writes its calls into one journal, the window's and the tray icon's peers too,
// so a test sees the order across them.
struct Form {
    Form() {
        engine.SetVoices({"Alto", "Bass", "Tenor"});
        form.Window.AttachPeer(&window);
        form.TrayIcon1.AttachPeer(&tray);
        journal.clear();
        quiet.paths.journal = quiet.profile.journal = quiet.registry.journal = engine.journal = &journal;
    }
    // FormCreate's error message, or "" when it ran through.
    std::string Create() {
        try {
            form.FormCreate();
            return "";
        } catch (const std::exception& e) {
            return e.what();
        }
    }
    std::vector<std::string> Ini() const { return quiet.profile.Lines(kIni, "set"); }
    // What the voice controls and the settings hold, in the file's key order.
    std::vector<int> Controls() const {
        std::vector<int> held;
        for (const VoiceProfile& v : form.Profiles)
            held.insert(held.end(), {v.TRate.Position(), v.TVolume.Position(), v.CBVoice.ItemIndex()});
        const TSettings& o = form.Options;
        held.insert(held.end(), {o.cbme, o.cbfriend, o.cbmyname, o.cbfriendsname, form.NShowTime1.Checked(),
                                 o.readall, o.background, o.noLinks, o.squeeze});
        return held;
    }

    Calls journal;
    RecordingWindow window{journal};
    RecordingTrayPeer tray{journal};
    RecordingEngine engine;
    NoChatWindows chat;
    BytesCodePage codePage;
    NullLog log;
    QuietStartup quiet;
    QuietDesk desk;
    TFmain form{QuietServices(chat, codePage, engine, log, quiet, desk)};
};

// set.ini's "set" lines after an exit that found stored in the file: the keys it held keep
// their places, every other key follows in the table's order, each with its value in values,
// else what the file held, else its default. Only the first run's list is written out in
// full: it is the one that guards the file's key order.
using Stored = std::vector<std::pair<const char*, const char*>>;
std::vector<std::string> AfterExit(const Stored& stored, const std::map<std::string, std::string>& values) {
    MemoryProfile defaults;
    TIniFile ini(defaults, kIni);
    WriteSettings(ini, DefaultSettings());
    std::map<std::string, std::string> value;
    for (const std::string& line : defaults.Lines(kIni, "set")) value[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
    for (const auto& [key, held] : stored) value[key] = held;
    for (const auto& [key, given] : values) value[key] = given;
    std::vector<std::string> lines, keys;
    for (const auto& kv : stored) keys.push_back(kv.first);
    for (const TSettingsKey& k : SettingsKeys())
        if (std::find(keys.begin(), keys.end(), k.name) == keys.end()) keys.push_back(k.name);
    for (const std::string& key : keys)
        if (value.count(key)) lines.push_back(key + "=" + value[key]);
    return lines;
}

TEST(Startup, StoredValuesReachTheControlsAsTheReadRulesAndTrackBarsSayAndGoBackAtExit) {
    const std::vector<std::string> three = {"Alto", "Bass", "Tenor"};
    struct Case {
        const char* what;
        std::vector<std::string> voices;
        std::vector<std::pair<const char*, const char*>> stored;
        std::vector<int> controls;  // file order: Rate Volume Engine Rate1 Volume1 Engine1, 5 options
        std::map<std::string, std::string> written;  // the values written otherwise than stored
    } cases[] = {
        {"first run", three, {},
         {0, 100, 0, 0, 100, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0},
         {{"Engine", "0"}, {"Engine1", "0"}, {"EngineName", "Alto"}, {"EngineName1", "Alto"}}},
        {"in range", three,
         {{"Rate", "-4"}, {"Volume", "30"}, {"Engine", "2"}, {"Rate1", "6"}, {"Volume1", "0"}, {"Engine1", "1"},
          {"cbme", "0"}, {"cbfriend", "1"}, {"cbmyname", "0"}, {"cbfriendsname", "1"}, {"showtime", "0"},
          {"readall", "1"}, {"background", "0"}, {"mynick", " Ann "}, {"nolinks", "1"}, {"squeeze", "0"},
          {"maxlen", "5"}, {"mute", "bot;x"}, {"wechat", "0"}, {"autovoice", "1"}},
         {-4, 30, 2, 6, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0},
         {{"maxlen", "10"}, {"EngineName", "Tenor"}, {"EngineName1", "Bass"}}},
        {"clamped and past the list", three,
         {{"Engine", "7"}, {"Rate", "99"}, {"Volume1", "-5"}, {"Rate1", "-11"}, {"Volume", "101"}, {"Engine1", "-3"},
          {"maxlen", "99999999999"}},
         {10, 100, 0, -10, 0, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0},
         {{"Engine", "0"}, {"Rate", "10"}, {"Volume1", "0"}, {"Rate1", "-10"}, {"Volume", "100"}, {"Engine1", "0"},
          {"maxlen", "1000"}, {"EngineName", "Alto"}, {"EngineName1", "Alto"}}},
        {"hexadecimal, garbage, empty", three,
         {{"Rate", "0x0A"}, {"Volume", "$32"}, {"Engine1", "0X2"}, {"Rate1", "-$3"}, {"cbme", "yes"},
          {"cbfriend", ""}, {"cbmyname", "2"}, {"showtime", "0"}, {"Engine", "one"}, {"background", "2"},
          {"maxlen", "5000"}},
         {10, 50, 0, -3, 100, 2, 1, 1, 1, 1, 0, 0, 1, 0, 0},
         {{"Rate", "10"}, {"Volume", "50"}, {"Engine1", "2"}, {"Rate1", "-3"}, {"cbme", "1"}, {"cbfriend", "1"},
          {"cbmyname", "1"}, {"Engine", "0"}, {"background", "1"}, {"maxlen", "1000"}, {"EngineName", "Alto"},
          {"EngineName1", "Tenor"}}},
        {"no voices: the stored engines stay", {},
         {{"Engine", "2"}, {"Engine1", "x"}},
         {0, 100, -1, 0, 100, -1, 1, 1, 1, 1, 1, 0, 0, 0, 0},
         {}},
    };
    for (const auto& c : cases) {
        Form f;
        f.engine.SetVoices(c.voices);
        for (const auto& kv : c.stored) f.quiet.profile.Set(kIni, "set", kv.first, kv.second);
        EXPECT_EQ(f.Create(), "") << c.what;
        EXPECT_EQ(f.Controls(), c.controls) << c.what;
        EXPECT_EQ(f.quiet.paths.created, std::vector<std::string>({kDataFolder})) << c.what;
        EXPECT_EQ(f.Ini().size(), c.stored.size()) << c.what << ": start-up writes nothing";
        f.form.FormDestroy();
        EXPECT_EQ(f.Ini(), AfterExit(c.stored, c.written)) << c.what << ": existing keys keep their places";
    }
    // A new file's keys in the order every later version keeps: set.ini's stored format.
    Form f;
    EXPECT_EQ(f.Create(), "");
    f.form.FormDestroy();
    EXPECT_EQ(f.Ini(), std::vector<std::string>({"Rate=0", "Volume=100", "Engine=0", "Rate1=0", "Volume1=100",
                                                 "Engine1=0", "cbme=1", "cbfriend=1", "cbmyname=1", "cbfriendsname=1",
                                                 "showtime=1", "EngineName=Alto", "EngineName1=Alto", "readall=0",
                                                 "background=0", "mynick=", "nolinks=0", "squeeze=0", "maxlen=0",
                                                 "mute=", "wechat=1", "autovoice=0"}));
}

TEST(Startup, AStoredVoiceNameWinsAndAListWithVoicesMissingKeepsTheStoredChoice) {
    struct Case {
        const char* unreadable;  // the voice whose name cannot be read, or ""
        std::vector<std::pair<const char*, const char*>> stored;
        int userPicks;  // the friend list's item the user picks before exit, or -1
        std::vector<std::string> selected, written;  // own and friend voice; the "Engine" keys after exit
    } cases[] = {
        // A voice installed since: a listed name wins over the position, a name gone does not.
        {"", {{"Engine", "1"}, {"Engine1", "0"}, {"EngineName", "Bass"}, {"EngineName1", "Gone"}}, -1,
         {"Bass", "Aaa Extra"}, {"Engine=2", "Engine1=0", "EngineName=Bass", "EngineName1=Aaa Extra"}},
        // Alto cannot be listed: only the user's pick is stored, and by name only.
        {"Alto", {{"Engine", "2"}, {"Engine1", "1"}, {"EngineName", "Tenor"}, {"EngineName1", "Alto"}}, -1,
         {"Tenor", "Bass"}, {"Engine=2", "Engine1=1", "EngineName=Tenor", "EngineName1=Alto"}},
        {"Alto", {{"Engine", "2"}, {"Engine1", "1"}}, 0, {"Tenor", "Bass"}, {"Engine=2", "Engine1=1", "EngineName1=Aaa Extra"}},
    };
    for (const auto& c : cases) {
        Form f;
        f.engine.SetVoices({"Aaa Extra", "Alto", "Bass", "Tenor"});
        f.engine.failing = {std::string("Description ") + c.unreadable};
        for (const auto& kv : c.stored) f.quiet.profile.Set(kIni, "set", kv.first, kv.second);
        EXPECT_EQ(f.Create(), "");
        EXPECT_EQ((std::vector<std::string>{f.form.Profiles[kOwnProfile].CBVoice.Text(), f.form.Profiles[kFriendProfile].CBVoice.Text()}), c.selected);
        if (c.userPicks >= 0) f.form.Profiles[kFriendProfile].CBVoice.UserSelected(c.userPicks);
        f.form.FormDestroy();
        std::vector<std::string> engineKeys;
        for (const auto& line : f.Ini())
            if (line.rfind("Engine", 0) == 0) engineKeys.push_back(line);
        EXPECT_EQ(engineKeys, c.written) << c.stored.size() << " " << c.unreadable;
    }
}

// The journal condensed to its steps: each entry becomes the step it belongs to, and
// repeats collapse, so the order of the steps is what remains.
std::vector<std::string> Steps(const std::vector<std::string>& journal) {
    std::vector<std::string> steps;
    for (const auto& e : journal) {
        std::string s;
        if (e.rfind("registry ", 0) == 0) s = "carried voices";
        else if (e.rfind("create folder", 0) == 0) s = "data folder";
        else if (e.rfind("read Engine", 0) == 0 || e.rfind("read Rate", 0) == 0 || e.rfind("read Volume", 0) == 0)
            s = "read voice keys";
        else if (e.rfind("read ", 0) == 0) s = "read options";
        else if (e.rfind("engine ", 0) == 0) s = "voice profiles";
        else if (e.rfind("file? ", 0) == 0) s = "shortcut";
        else if (e.rfind("write ", 0) == 0) s = "write settings";
        else if (e == "not normal") s = "minimised";
        else if (e.rfind("balloon ", 0) == 0) s = "start balloon";
        else if (e == "hide icon") s = "tray icon hidden";
        else s = e;
        if (steps.empty() || steps.back() != s) steps.push_back(s);
    }
    return steps;
}

TEST(Startup, FormCreateAndFormDestroyRunTheirStepsInOrder) {
    for (int major : {5, 6}) {
        Form f;
        f.quiet.os.major = major;
        EXPECT_EQ(f.Create(), "");
        Calls create = {"data folder", "read voice keys", "voice profiles", "read options", "shortcut",
                        "minimised", "start balloon"};
        if (major == 5) create.insert(create.begin(), "carried voices");
        EXPECT_EQ(Steps(f.journal), create) << major;
        EXPECT_EQ(f.journal.back(), "balloon 3000");
        EXPECT_EQ(f.tray.title, u"Sonvira(使用帮助):");
        EXPECT_EQ(f.tray.text,
                  u"请打开登陆 QQ 或 TM 软件,\r\n发送文字消息给好友进行文字聊天,\r\n即可立即听到发送和接收的消息被朗读出来!");
        EXPECT_EQ(f.tray.flags, TBalloonFlags::bfInfo);
        EXPECT_EQ(f.form.Window.WindowState(), TWindowState::wsMinimized);
        EXPECT_FALSE(f.form.Window.Visible()) << "only the tray icon shows";
        EXPECT_TRUE(f.form.TrayIcon1.Visible());
        if (major == 5) {
            // Registered before anything else, from this program's folder and the system drive.
            EXPECT_EQ(f.journal.front(), "registry create " + kTokens);
            std::string data;
            ASSERT_TRUE(f.quiet.registry.OpenKey(kTokens + "\\MSMary")->ReadString("VoiceData", data));
            EXPECT_EQ(data, "C:\\Tools\\TTS\\mary.spd");
            ASSERT_TRUE(f.quiet.registry.OpenKey(kTokens + "\\MSMike\\Lex")->ReadString("DataFile", data));
            EXPECT_EQ(data.substr(0, 17), "C:\\Program Files\\");
        }

        f.journal.clear();
        f.form.FormDestroy();
        Calls destroy = {"tray icon hidden", "write settings"};
        if (major == 5) destroy.insert(destroy.begin() + 1, "carried voices");
        EXPECT_EQ(Steps(f.journal), destroy) << major;
        if (major == 5) {
            EXPECT_EQ(f.quiet.registry.Find(kTokens + "\\MSMary"), nullptr);
            EXPECT_EQ(f.quiet.registry.Find(kTokens + "\\MSMike"), nullptr);
        }
    }
}

TEST(Startup, TheRunAtLogonTicksFollowTheShortcutOfThisProgramName) {
    struct Case {
        const char* program;
        std::vector<std::string> shortcuts;
        bool ticked;
    } cases[] = {
        {"C:\\Tools\\sonvira.exe", {kShortcut}, true},
        {"C:\\Tools\\sonvira.exe", {}, false},
        {"C:\\Tools\\a.b.exe", {kShortcut}, false},
        {"C:\\Tools\\a.b.exe", {"C:\\Users\\ann\\Start Menu\\Programs\\Startup\\a.b.lnk"}, true},
    };
    for (const auto& c : cases) {
        for (bool before : {false, true}) {
            Form f;
            f.quiet.paths.programPath = c.program;
            f.quiet.paths.files.insert(c.shortcuts.begin(), c.shortcuts.end());
            f.form.NOpenOnStartup.SetChecked(before);
            f.form.NOpenOnStartup2.SetChecked(before);
            EXPECT_EQ(f.Create(), "");
            EXPECT_EQ(f.form.NOpenOnStartup.Checked(), c.ticked) << c.program << " " << c.shortcuts.size();
            EXPECT_EQ(f.form.NOpenOnStartup2.Checked(), c.ticked) << c.program << " " << c.shortcuts.size();
        }
    }
}

TEST(Startup, AnErrorEndsStartUpAfterEveryStoredValueIsLoadedSoExitKeepsThem) {
    const std::vector<std::pair<const char*, const char*>> stored = {
        {"Rate", "-4"},     {"Volume", "30"},   {"Engine", "2"},         {"Rate1", "6"},
        {"Volume1", "0"},   {"Engine1", "1"},   {"cbme", "0"},           {"cbfriend", "1"},
        {"cbmyname", "0"},  {"cbfriendsname", "0"}, {"showtime", "0"},  {"EngineName", "Tenor"}, {"EngineName1", "Bass"},
        {"readall", "1"},   {"background", "1"}, {"mynick", "Ann"},  {"nolinks", "1"},   {"squeeze", "1"},
        {"maxlen", "20"},   {"mute", "bot"},    {"wechat", "0"}, {"autovoice", "1"}};
    const std::vector<int> loaded = {-4, 30, 2, 6, 0, 1, 0, 1, 0, 0, 0, 1, 1, 1, 1};
    struct Case {
        const char* what;
        const char* engineRefuses;
        const char* registryRefuses;  // a carried voice's value, on Windows 5
        bool folderRefused;
        std::string message;
        std::vector<int> controls;
    } cases[] = {
        {"carried voice", nullptr, "VoiceData", false, "Failed to set data for 'VoiceData'", loaded},
        // Without its file the program still lists the voices and speaks, with the defaults.
        {"data folder", nullptr, nullptr, true, "Unable to create folder " + kDataFolder,
         {0, 100, 0, 0, 100, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0}},
        {"voice object", "CreateVoice", nullptr, false, "engine refused CreateVoice",
         {-4, 30, -1, 6, 0, -1, 0, 1, 0, 0, 0, 1, 1, 1, 1}},
        {"voice list", "GetVoices", nullptr, false, "engine refused GetVoices",
         {-4, 30, -1, 6, 0, -1, 0, 1, 0, 0, 0, 1, 1, 1, 1}},
        {"voice", "SetVoice", nullptr, false, "engine refused SetVoice", loaded},
        {"rate", "SetRate", nullptr, false, "engine refused SetRate", loaded},
        {"volume", "SetVolume", nullptr, false, "engine refused SetVolume", loaded},
    };
    for (const auto& c : cases) {
        Form f;
        for (const auto& kv : stored) f.quiet.profile.Set(kIni, "set", kv.first, kv.second);
        f.quiet.profile.Set(kIni, "voices", "Ann", "Gone|2|50");
        const std::vector<std::string> before = f.Ini();
        f.quiet.paths.files.insert(kShortcut);
        f.quiet.paths.refuseFolders = c.folderRefused;
        if (c.engineRefuses) f.engine.failing = {c.engineRefuses};
        if (c.registryRefuses) {
            f.quiet.os.major = 5;
            f.quiet.registry.refusedValues = {c.registryRefuses};
        }
        EXPECT_EQ(f.Create(), c.message) << c.what;
        EXPECT_EQ(f.Controls(), c.controls) << c.what;
        EXPECT_FALSE(f.form.NOpenOnStartup.Checked() || f.form.NOpenOnStartup2.Checked())
            << c.what << ": the later steps do not run";
        EXPECT_EQ(f.form.Window.WindowState(), TWindowState::wsNormal) << c.what << ": the window opens visibly";
        EXPECT_EQ(f.tray.timeout, 0u) << c.what << ": no start balloon";
        // Exit writes the controls back: the file keeps what the user stored. A settings
        // error was told at start and is not told again.
        EXPECT_NO_THROW(f.form.FormDestroy()) << c.what;
        const std::vector<std::string> after = f.Ini();
        EXPECT_EQ(std::vector<std::string>(after.begin(), after.begin() + std::min(after.size(), before.size())), before)
            << c.what;
        EXPECT_EQ(f.quiet.profile.Lines(kIni, "voices"), std::vector<std::string>{"Ann=Gone|2|50"}) << c.what;
    }
    // A set.ini that the profile calls would misread is said once, and neither read nor written.
    Form f;
    f.quiet.profile.heads[kIni] = std::string("[\0s\0e\0t\0]\0", 10);
    EXPECT_EQ(f.Create(), texts::SettingsNotText(kIni));
    EXPECT_NO_THROW(f.form.FormDestroy());
    EXPECT_EQ(f.quiet.profile.log, std::vector<std::string>{});
}

TEST(Shutdown, AWriteErrorStopsTheKeysAfterItAndComesAfterTheVoicesAreRemoved) {
    Form f;
    f.quiet.os.major = 5;
    EXPECT_EQ(f.Create(), "");
    f.quiet.profile.refusedKeys = {"rate1"};
    try {
        f.form.FormDestroy();
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + kIni);
    }
    EXPECT_EQ(f.Ini(), std::vector<std::string>({"Rate=0", "Volume=100", "Engine=0"}));
    EXPECT_EQ(f.quiet.registry.Find(kTokens + "\\MSMary"), nullptr);
    EXPECT_EQ(f.quiet.registry.Find(kTokens + "\\MSMike"), nullptr);
}

TEST(Shutdown, TheSessionsEndSavesTheSameKeysAndNothingElse) {
    for (bool ending : {true, false}) {
        Form f;
        f.quiet.os.major = 5;
        EXPECT_EQ(f.Create(), "");
        f.form.Profiles[kFriendProfile].TRate.UserMoved(-7);
        f.form.Options.cbfriend = false;
        f.form.NShowTime1.UserClick();
        f.form.Options.mute = "bot";
        f.quiet.registry.log.clear();
        f.quiet.profile.log.clear();
        f.form.WMEndSession(ending);
        std::vector<std::string> atSessionEnd = f.Ini();
        EXPECT_TRUE(f.quiet.registry.log.empty()) << "the carried voices stay: the next start renews them";
        if (!ending) {
            EXPECT_TRUE(f.quiet.profile.log.empty()) << "a cancelled end of session writes nothing";
            continue;
        }
        EXPECT_EQ(atSessionEnd, AfterExit({}, {{"Engine", "0"}, {"Engine1", "0"}, {"Rate1", "-7"}, {"cbfriend", "0"},
                                               {"showtime", "0"}, {"EngineName", "Alto"}, {"EngineName1", "Alto"},
                                               {"mute", "bot"}}));
        std::vector<std::string> sessionWrites = f.quiet.profile.Logged("write ");
        f.quiet.profile.log.clear();
        f.form.FormDestroy();
        EXPECT_EQ(f.quiet.profile.Logged("write "), sessionWrites) << "the same keys in the same way";
    }
}

}  // namespace
