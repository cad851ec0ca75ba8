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
    // The error ends start-up here: the window opens as designed, visible, with no balloon.
    if (failed) std::rethrow_exception(failed);

    bool shortcut = services_.paths.FileExists(GetLogonShortcutPath(services_.paths));
    NOpenOnStartup.SetChecked(shortcut);
    NOpenOnStartup2.SetChecked(shortcut);

    // A window not shown yet stays hidden when minimised: only the tray icon shows.
    Window.SetWindowState(TWindowState::wsMinimized);
    TrayIcon1.BalloonTimeout = 3000;
    ShowBalloon(texts::kBalloonStartTitle, texts::kBalloonStartText);
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
    for (const TSettingBinding& b : SettingBindings())
        if (b.load) b.load(*this, stored);
    if (failed) std::rethrow_exception(failed);
}

// Which control keeps each key, in the keys' order. What exit stores of a voice list is the
// selected position and the name of the voice there. A list that lacks voices the engine has
// holds other positions than the engine's, so then the position is never stored, and the name
// only when the user chose another voice than start-up did: start-up's choice may be a stand-in
// for a voice that could not be listed.
const std::vector<TSettingBinding>& TFmain::SettingBindings() {
    using F = TFmain;
    using S = TStoredSettings;
    auto tick = [](bool S::*field, auto F::*control) {
        return TSettingBinding{[=](F& f, const S& s) { (f.*control).SetChecked(s.*field); },
                               [=](const F& f, S& s) { s.*field = (f.*control).Checked(); }};
    };
    auto position = [](int S::*field, TTrackBar F::*bar) {
        return TSettingBinding{nullptr, [=](const F& f, S& s) { s.*field = (f.*bar).Position(); }};
    };
    auto index = [](int S::*field, TComboBox F::*list) {
        return TSettingBinding{nullptr, [=](const F& f, S& s) { s.*field = f.voicesWhole_ ? (f.*list).ItemIndex() : -1; }};
    };
    auto name = [](std::optional<std::string> S::*field, TComboBox F::*list, int F::*startIndex) {
        return TSettingBinding{nullptr, [=](const F& f, S& s) {
                                   const TComboBox& l = f.*list;
                                   const int at = l.ItemIndex();
                                   if (at >= 0 && at < l.Count() && (f.voicesWhole_ || at != f.*startIndex))
                                       s.*field = l.Items(at).text;
                                   else
                                       (s.*field).reset();
                               }};
    };
    static const std::vector<TSettingBinding> rows = {
        position(&S::Rate, &F::TRate),
        position(&S::Volume, &F::TVolume),
        index(&S::Engine, &F::CBVoice),
        position(&S::Rate1, &F::TRate1),
        position(&S::Volume1, &F::TVolume1),
        index(&S::Engine1, &F::CBVoice1),
        tick(&S::cbme, &F::CBMe),
        tick(&S::cbfriend, &F::CBFriend),
        tick(&S::cbmyname, &F::CBmyname),
        tick(&S::cbfriendsname, &F::CBFriendsname),
        tick(&S::showtime, &F::NShowTime1),
        name(&S::EngineName, &F::CBVoice, &F::startVoice_),
        name(&S::EngineName1, &F::CBVoice1, &F::startVoice1_),
    };
    return rows;
}

void TFmain::SaveSettings() {
    try {
        TIniFile ini(services_.profile, GetDataDir(services_.paths) + kSettingsFileName);
        TStoredSettings now = DefaultSettings();
        for (const TSettingBinding& b : SettingBindings()) b.store(*this, now);
        WriteSettings(ini, now);
    } catch (...) {
        // The user was told at start that the settings cannot be kept.
        if (!settingsFailed_) throw;
    }
}

void TFmain::FormDestroy() {
    // An export still running at exit leaves no cut-off file, and its voice goes before the
    // carried voices it may speak with are removed.
    CancelExport();
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
