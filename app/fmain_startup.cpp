// The main window's start-up and shutdown: the carried voices, the settings file, the
// run-at-logon ticks and the hidden start, in the order the program has always kept.
//
// Three things differ from a plain run of the steps. A failing carried-voice or voice step
// still lets every stored value be loaded (its error is raised afterwards), because exit
// writes the controls back and would otherwise write their creation values over the file.
// A settings file that cannot be reached still leaves the voices listed, so the program
// speaks. And the end of the Windows session saves the settings too, because a session's end
// never reaches FormDestroy.
#include <exception>
#include <optional>

#include "app/fmain.h"
#include "base/string_table.h"

std::string TFmain::ProgramFolder() {
    return ExtractFilePath(services_.paths.ProgramPath(), services_.paths.LeadBytes());
}

void TFmain::FormCreate() {
    // The keys are held first, so they work however the rest of start-up goes. Keys another
    // program holds are named after the start's balloon: named before it, they would be lost
    // behind it.
    const std::u16string taken = RegisterHotKeys();
    auto tellTaken = [&] {
        if (!taken.empty()) ShowBalloon(texts::kHotKeysTakenTitle, texts::HotKeysTaken(taken));
    };
    std::exception_ptr failed;
    try {
        RegisterCarriedVoices(services_.registry, services_.osVersion.MajorVersion(), ProgramFolder(),
                              ExtractFileDrive(GetWindowsDir(services_.paths)));
    } catch (...) {
        failed = std::current_exception();
    }
    try {
        LoadSettings();
    } catch (...) {
        if (!failed) failed = std::current_exception();
    }
    // The error ends start-up here: the window opens as designed, visible, with no balloon
    // but the taken keys'.
    if (failed) {
        tellTaken();
        std::rethrow_exception(failed);
    }

    bool shortcut = services_.paths.FileExists(GetLogonShortcutPath(services_.paths));
    NOpenOnStartup.SetChecked(shortcut);
    NOpenOnStartup2.SetChecked(shortcut);

    // A window not shown yet stays hidden when minimised: only the tray icon shows.
    Window.SetWindowState(TWindowState::wsMinimized);
    TrayIcon1.BalloonTimeout = 3000;
    ShowBalloon(texts::kBalloonStartTitle, texts::kBalloonStartText);
    tellTaken();
}

// The rows of the settings table, each binding a key to the control that keeps it.
struct TSettingRows {
    using F = TFmain;
    using S = TStoredSettings;

    // A slider's position feeds its voice profile.
    static TSettingsKey Position(const char* name, int def, int S::*field, TTrackBar F::*bar) {
        return {name, TSettingType::Integer, def, TSettingFeeds::VoiceProfiles, field, nullptr, nullptr, false,
                {nullptr, [=](const F& f, S& s) { s.*field = (f.*bar).Position(); }}};
    }
    // A list that lacks voices the engine has holds other positions than the engine's: then no
    // position is stored, and the one in the file stays.
    static TSettingsKey VoiceIndex(const char* name, int S::*field, TComboBox F::*list) {
        return {name, TSettingType::Integer, -1, TSettingFeeds::VoiceProfiles, field, nullptr, nullptr, true,
                {nullptr, [=](const F& f, S& s) { s.*field = f.voicesWhole_ ? (f.*list).ItemIndex() : -1; }}};
    }
    // The name of the voice selected at exit. From a list that lacks voices it is stored only when
    // the user chose another voice than start-up did: start-up's choice may be a stand-in for a
    // voice that could not be listed.
    static TSettingsKey VoiceName(const char* name, std::optional<std::string> S::*field, bool friends) {
        return {name, TSettingType::Text, 0, TSettingFeeds::VoiceProfiles, nullptr, nullptr, field, false,
                {nullptr, [=](const F& f, S& s) {
                     const TComboBox& list = friends ? f.CBVoice1 : f.CBVoice;
                     const int start = friends ? f.startVoice1_ : f.startVoice_;
                     const int at = list.ItemIndex();
                     if (at >= 0 && at < list.Count() && (f.voicesWhole_ || at != start))
                         s.*field = list.Items(at).text;
                     else
                         (s.*field).reset();
                 }}};
    }
    // A tick (a check box or a menu item) is a reading option, on by default unless said.
    template <typename Control>
    static TSettingsKey Tick(const char* name, bool S::*field, Control F::*control, int def = 1) {
        return {name, TSettingType::Boolean, def, TSettingFeeds::ReadingOptions, nullptr, field, nullptr, false,
                {[=](F& f, const S& s) { (f.*control).SetChecked(s.*field); },
                 [=](const F& f, S& s) { s.*field = (f.*control).Checked(); }}};
    }
    static TSettingsKey Words(const char* name, std::optional<std::string> S::*field, TEdit F::*edit) {
        return {name, TSettingType::Text, 0, TSettingFeeds::ReadingOptions, nullptr, nullptr, field, false,
                {[=](F& f, const S& s) { (f.*edit).SetText((s.*field).value_or("")); },
                 [=](const F& f, S& s) { s.*field = (f.*edit).Text(); }}};
    }
    // A number box holds what the user typed; the number it means is kept within its bounds.
    // The file and the box are read by one rule, so a value too big for an integer is kept
    // within the bounds wherever it was written.
    static TSettingsKey Number(const char* name, int S::*field, TEdit F::*edit, int (*parse)(const std::string&)) {
        return {name, TSettingType::Integer, 0, TSettingFeeds::ReadingOptions, field, nullptr, nullptr, false,
                {[=](F& f, const S& s) { (f.*edit).SetText(std::to_string(s.*field)); },
                 [=](const F& f, S& s) { s.*field = parse((f.*edit).Text()); }},
                parse};
    }
};

using R = TSettingRows;
const TSettingsKey kSettingsKeys[] = {
    R::Position("Rate", 0, &TStoredSettings::Rate, &TFmain::TRate),
    R::Position("Volume", 100, &TStoredSettings::Volume, &TFmain::TVolume),
    R::VoiceIndex("Engine", &TStoredSettings::Engine, &TFmain::CBVoice),
    R::Position("Rate1", 0, &TStoredSettings::Rate1, &TFmain::TRate1),
    R::Position("Volume1", 100, &TStoredSettings::Volume1, &TFmain::TVolume1),
    R::VoiceIndex("Engine1", &TStoredSettings::Engine1, &TFmain::CBVoice1),
    R::Tick("cbme", &TStoredSettings::cbme, &TFmain::CBMe),
    R::Tick("cbfriend", &TStoredSettings::cbfriend, &TFmain::CBFriend),
    R::Tick("cbmyname", &TStoredSettings::cbmyname, &TFmain::CBmyname),
    R::Tick("cbfriendsname", &TStoredSettings::cbfriendsname, &TFmain::CBFriendsname),
    R::Tick("showtime", &TStoredSettings::showtime, &TFmain::NShowTime1),
    R::VoiceName("EngineName", &TStoredSettings::EngineName, false),
    R::VoiceName("EngineName1", &TStoredSettings::EngineName1, true),
    R::Tick("readall", &TStoredSettings::readall, &TFmain::CBReadAll, 0),
    R::Tick("background", &TStoredSettings::background, &TFmain::CBBackground, 0),
    R::Words("mynick", &TStoredSettings::mynick, &TFmain::EditMyNick),
    R::Tick("nolinks", &TStoredSettings::nolinks, &TFmain::CBNoLinks, 0),
    R::Tick("squeeze", &TStoredSettings::squeeze, &TFmain::CBSqueeze, 0),
    R::Number("maxlen", &TStoredSettings::maxlen, &TFmain::EditMaxLen, ParseMaxLength),
    R::Words("mute", &TStoredSettings::mute, &TFmain::EditMute),
    R::Tick("wechat", &TStoredSettings::wechat, &TFmain::CBWeChat),
    R::Tick("autovoice", &TStoredSettings::autovoice, &TFmain::CBAutoVoice, 0),
};
const std::size_t kSettingsKeyCount = sizeof kSettingsKeys / sizeof kSettingsKeys[0];

void TFmain::LoadSettings() {
    // The voices are listed and the options set whatever happens to the settings file: a file
    // that cannot be reached gives every key's default, and the program still speaks. Its
    // error ends start-up once everything else is in place.
    std::exception_ptr failed;
    std::optional<TIniFile> ini;
    try {
        ini.emplace(services_.profile, GetDataDir(services_.paths) + kSettingsFileName);
    } catch (...) {
        failed = std::current_exception();
        settingsFailed_ = true;
    }
    TStoredSettings stored = DefaultSettings();
    if (ini) ReadSettings(*ini, TSettingFeeds::VoiceProfiles, stored);
    try {
        InitVoiceProfiles(stored);
    } catch (...) {
        if (!failed) failed = std::current_exception();
    }
    startVoice_ = CBVoice.ItemIndex();
    startVoice1_ = CBVoice1.ItemIndex();
    if (ini) ReadSettings(*ini, TSettingFeeds::ReadingOptions, stored);
    if (ini) {
        // A line that cannot be a rule stays out; past the limit, the rest are not read.
        FriendVoice rule;
        for (const std::string& line : ini->ReadSection(kVoicesSection)) {
            voicesRead_ = true;
            if (ParseFriendVoice(line, LeadBytes(), rule)) PutFriendVoice(FFriendVoices, rule, LeadBytes());
        }
    }
    for (const TSettingsKey& k : kSettingsKeys)
        if (k.control.load) k.control.load(*this, stored);
    if (failed) std::rethrow_exception(failed);
}

void TFmain::SaveSettings() {
    try {
        TIniFile ini(services_.profile, GetDataDir(services_.paths) + kSettingsFileName);
        TStoredSettings now = DefaultSettings();
        for (const TSettingsKey& k : kSettingsKeys) k.control.store(*this, now);
        WriteSettings(ini, now);
        // A file that never had rules gets no empty section.
        if (voicesRead_ || !FFriendVoices.empty()) {
            std::vector<std::string> lines;
            for (const FriendVoice& rule : FFriendVoices) lines.push_back(FriendVoiceLine(rule));
            ini.WriteSection(kVoicesSection, lines);
        }
    } catch (...) {
        // The user was told at start that the settings cannot be kept.
        if (!settingsFailed_) throw;
    }
}

void TFmain::FormDestroy() {
    // An export still running at exit leaves no cut-off file, and its voice goes before the
    // carried voices it may speak with are removed.
    CancelExport();
    for (int id : hotKeysHeld_) services_.hotkeys->Unregister(id);
    hotKeysHeld_.clear();
    TrayIcon1.SetVisible(false);
    RemoveCarriedVoices(services_.registry, services_.osVersion.MajorVersion(), ProgramFolder());
    SaveSettings();
}

// The process may be ended as soon as this returns: an unfinished export is removed first.
void TFmain::WMEndSession(bool ending) {
    if (!ending) return;
    CancelExport();
    SaveSettings();
}
