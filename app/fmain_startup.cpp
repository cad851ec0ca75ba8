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
    Options = DefaultSettings();
    if (ini) ReadSettings(*ini, TSettingFeeds::VoiceProfiles, Options);
    try {
        InitVoiceProfiles();
    } catch (...) {
        if (!failed) failed = std::current_exception();
    }
    for (int p = 0; p < kProfileCount; ++p) startVoice_[p] = Profiles[p].CBVoice.ItemIndex();
    if (ini) ReadSettings(*ini, TSettingFeeds::ReadingOptions, Options);
    if (ini) {
        // A line that cannot be a rule stays out; past the limit, the rest are not read.
        FriendVoice rule;
        for (const std::string& line : ini->ReadSection(kVoicesSection)) {
            voicesRead_ = true;
            if (ParseFriendVoice(line, LeadBytes(), rule)) PutFriendVoice(FFriendVoices, rule, LeadBytes());
        }
    }
    NShowTime1.SetChecked(Options.showtime);
    if (failed) std::rethrow_exception(failed);
}

// The voice lists are the engine's, and a voice that fails moves its list to the next one:
// what each profile holds at exit is recorded into its stored voice then. A list that lacks
// voices the engine has holds other positions than the engine's: then no position is
// recorded, and the one in the file stays. Its voice's name is recorded only when the user
// chose another voice than start-up did: start-up's choice may stand in for a voice that
// could not be listed.
void TFmain::RecordVoices() {
    for (int p = 0; p < kProfileCount; ++p) {
        const VoiceProfile& v = Profiles[p];
        StoredVoice& stored = Options.Voices[p];
        const int at = v.CBVoice.ItemIndex();
        stored.Engine = voicesWhole_ ? at : -1;
        if (at >= 0 && at < v.CBVoice.Count() && (voicesWhole_ || at != startVoice_[p]))
            stored.EngineName = v.CBVoice.Items(at).text;
        else
            stored.EngineName.reset();
        stored.Rate = v.TRate.Position();
        stored.Volume = v.TVolume.Position();
    }
}

void TFmain::SaveSettings() {
    try {
        TIniFile ini(services_.profile, GetDataDir(services_.paths) + kSettingsFileName);
        RecordVoices();
        WriteSettings(ini, Options);
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
