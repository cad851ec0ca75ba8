// The main window's start-up and shutdown: the carried voices, the settings file, the
// run-at-logon ticks and the hidden start, in the order the program has always kept.
//
// Two things differ from a plain run of the steps, both so that set.ini keeps what the user
// stored. A failing carried-voice or voice step still lets every stored value be loaded
// (its error is raised afterwards), because exit writes the controls back and would
// otherwise write their creation values over the file. And the end of the Windows session
// saves the settings too, because a session's end never reaches FormDestroy.
#include <exception>

#include "app/fmain.h"

std::string TFmain::ProgramFolder() { return ExtractFilePath(services_.paths.ProgramPath()); }

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
    TIniFile ini(services_.profile, GetDataDir(services_.paths) + kSettingsFileName);
    TStoredSettings stored{};
    ReadSettings(ini, TSettingFeeds::VoiceProfiles, stored);
    std::exception_ptr engineError;
    try {
        InitVoiceProfiles(stored.Engine, stored.Engine1, stored.Rate, stored.Rate1, stored.Volume, stored.Volume1);
    } catch (...) {
        engineError = std::current_exception();
    }
    ReadSettings(ini, TSettingFeeds::ReadingOptions, stored);
    CBMe.SetChecked(stored.cbme);
    CBFriend.SetChecked(stored.cbfriend);
    CBmyname.SetChecked(stored.cbmyname);
    CBFriendsname.SetChecked(stored.cbfriendsname);
    NShowTime1.SetChecked(stored.showtime);
    if (engineError) std::rethrow_exception(engineError);
}

TStoredSettings TFmain::CurrentSettings() const {
    return TStoredSettings{CBVoice.ItemIndex(), CBVoice1.ItemIndex(), TRate.Position(),   TRate1.Position(),
                           TVolume.Position(),  TVolume1.Position(),  CBMe.Checked(),     CBFriend.Checked(),
                           CBmyname.Checked(),  CBFriendsname.Checked(), NShowTime1.Checked()};
}

void TFmain::SaveSettings() {
    TIniFile ini(services_.profile, GetDataDir(services_.paths) + kSettingsFileName);
    WriteSettings(ini, CurrentSettings());
}

void TFmain::FormDestroy() {
    // An export still running at exit leaves no cut-off file, and its voice goes before the
    // carried voices it may speak with are removed.
    wavExport_.Cancel();
    ShowExportState();
    TrayIcon1.SetVisible(false);
    RemoveCarriedVoices(services_.registry, services_.osVersion.MajorVersion(), ProgramFolder());
    SaveSettings();
}

// The process may be ended as soon as this returns: an unfinished export is removed first.
void TFmain::WMEndSession(bool ending) {
    if (!ending) return;
    wavExport_.Cancel();
    ShowExportState();
    SaveSettings();
}
