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
    ShowBalloon(u"Sonvira(使用帮助):",
                u"请打开登陆 QQ 或 TM 软件,\r\n发送文字消息给好友进行文字聊天,\r\n即可立即听到发送和接收的消息被朗读出来!");
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
    CBMe.SetChecked(stored.cbme);
    CBFriend.SetChecked(stored.cbfriend);
    CBmyname.SetChecked(stored.cbmyname);
    CBFriendsname.SetChecked(stored.cbfriendsname);
    NShowTime1.SetChecked(stored.showtime);
    if (failed) std::rethrow_exception(failed);
}

namespace {

// What exit stores of one voice list: the selected position and the name of the voice there.
// A list that lacks voices the engine has holds other positions than the engine's, so then
// the position is never stored, and the name only when the user chose another voice than
// start-up did: start-up's choice may be a stand-in for a voice that could not be listed.
void StoreVoice(const TComboBox& list, int startIndex, bool whole, int& index, std::optional<std::string>& name) {
    const int selected = list.ItemIndex();
    index = whole ? selected : -1;
    if (selected >= 0 && selected < list.Count() && (whole || selected != startIndex))
        name = list.Items(selected).text;
    else
        name.reset();
}

}  // namespace

TStoredSettings TFmain::CurrentSettings() const {
    TStoredSettings s{CBVoice.ItemIndex(), CBVoice1.ItemIndex(), TRate.Position(),      TRate1.Position(),
                      TVolume.Position(),  TVolume1.Position(),  CBMe.Checked(),        CBFriend.Checked(),
                      CBmyname.Checked(),  CBFriendsname.Checked(), NShowTime1.Checked(), {}, {}};
    StoreVoice(CBVoice, startVoice_, voicesWhole_, s.Engine, s.EngineName);
    StoreVoice(CBVoice1, startVoice1_, voicesWhole_, s.Engine1, s.EngineName1);
    return s;
}

void TFmain::SaveSettings() {
    try {
        TIniFile ini(services_.profile, GetDataDir(services_.paths) + kSettingsFileName);
        WriteSettings(ini, CurrentSettings());
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
