// The main window's handlers. Each is a thin call into the module that decides; the main
// window only owns the state and the components.
#include "app/fmain.h"

#include <string>

#include "capture/chat_probe.h"
#include "ui/application.h"

TFmain::TFmain(const TFmainServices& services)
    : SpVoice(services.speech),
      SpVoice1(services.speech),
      RichEdit1(services.log),
      services_(services),
      own_{SpVoice, CBVoice, TRate, LRate, TVolume, LVolume},
      friends_{SpVoice1, CBVoice1, TRate1, LRate1, TVolume1, LVolume1} {
    // The components come with their handlers and the two capture timers come enabled, as a
    // form's stored design does: chat capture must run even when a later start-up step fails
    // (under an engine that cannot speak, applying the voices does).
    Timer2.OnTimer = [this] { Timer2Timer(); };
    Timer3.OnTimer = [this] { Timer3Timer(); };
    CBVoice.OnChange = [this] { CBVoiceChange(); };
    CBVoice1.OnChange = [this] { CBVoice1Change(); };
    TRate.OnChange = [this] { TRateChange(); };
    TRate1.OnChange = [this] { TRate1Change(); };
    TVolume.OnChange = [this] { TVolumeChange(); };
    TVolume1.OnChange = [this] { TVolume1Change(); };
    BtnDefault1.OnClick = [this] { BtnDefault1Click(); };
    BtnDefault2.OnClick = [this] { BtnDefault2Click(); };
    Timer2.SetEnabled(true);
    Timer3.SetEnabled(true);

    for (const TMenuRow& row : MenuRows()) {
        if (row.item && row.onClick) (this->*row.item).OnClick = [this, click = row.onClick] { (this->*click)(); };
    }
    TrayIcon1.OnClick = [this] { TrayIcon1Click(); };
    TrayIcon1.OnDblClick = [this] { TrayIcon1DblClick(); };
    TrayIcon1.PopupMenu = &PopupMenu1;
    TrayIcon1.SetHint(u"Sonvira");
    TrayIcon1.SetVisible(true);
}

void TFmain::FormCreate() {
    // Until settings are stored, the profiles start from the defaults.
    InitVoiceProfiles(-1, -1, 0, 0, 100, 100);
}

ChatReading TFmain::GetChatText() { return ::GetChatText(services_.chatWindows, services_.codePage); }

void TFmain::Timer2Timer() { WatchTick(*this, FChatTitle, FLastHeader); }

void TFmain::Timer3Timer() { UpdateChatTitle(services_.chatWindows, services_.codePage, FChatTitle); }

void TFmain::InitVoiceProfiles(int engine, int engine1, int rate, int rate1, int volume, int volume1) {
    ::InitVoiceProfiles(own_, friends_, engine, engine1, rate, rate1, volume, volume1);
}

void TFmain::SpeakOwn(const std::string& ansiText) { SpeakWithProfile(own_, ansiText); }
void TFmain::SpeakFriend(const std::string& ansiText) { SpeakWithProfile(friends_, ansiText); }
void TFmain::StopSpeak1Click() { StopSpeaking(own_, friends_); }
void TFmain::CBVoiceChange() { ApplyProfileVoice(own_); }
void TFmain::CBVoice1Change() { ApplyProfileVoice(friends_); }
void TFmain::TRateChange() { ApplyProfileRate(own_); }
void TFmain::TRate1Change() { ApplyProfileRate(friends_); }
void TFmain::TVolumeChange() { ApplyProfileVolume(own_); }
void TFmain::TVolume1Change() { ApplyProfileVolume(friends_); }
void TFmain::BtnDefault1Click() { ResetProfile(own_); }
void TFmain::BtnDefault2Click() { ResetProfile(friends_); }

void TFmain::AppendColouredLine(const std::string& ansi, std::uint32_t colour, bool scroll) {
    ::AppendColouredLine(RichEdit1, ansi, colour, scroll);
}

bool TFmain::WMSysCommand(unsigned command) {
    // The whole value counts: a command with other low bits is not one of these two.
    if (command != kScMinimize && command != kScClose) return false;
    HideToTray();
    return true;
}

void TFmain::HideToTray() {
    TrayIcon1.BalloonTimeout = 500;
    ShowBalloon(u"Sonvira", u"程序已最小化, 双击即可恢复.");
    Window.Hide();
}

void TFmain::RestoreMainWindow(const TTabSheet* tab) {
    Window.SetWindowState(TWindowState::wsNormal);
    Window.Show();
    Window.BringToFront();
    if (tab) PageControl1.SetActivePage(*tab);
}

void TFmain::ShowBalloon(const std::u16string& title, const std::u16string& text) {
    TrayIcon1.BalloonTitle = title;
    TrayIcon1.BalloonFlags = TBalloonFlags::bfInfo;
    TrayIcon1.BalloonHint = text;
    TrayIcon1.ShowBalloonHint();
}

void TFmain::TrayIcon1Click() {
    TPoint at = Mouse.CursorPos();
    PopupMenu1.Popup(at.X, at.Y);
}

void TFmain::TrayIcon1DblClick() { RestoreMainWindow(nullptr); }
void TFmain::Open1Click() { RestoreMainWindow(&TabSheet1); }
void TFmain::NItemOptionsClick() { RestoreMainWindow(&TabSheet2); }
void TFmain::NShowTime1Click() { NShowTime1.SetChecked(!NShowTime1.Checked()); }
void TFmain::NexitClick() { Application.Terminate(); }
void TFmain::Exit1Click() { Application.Terminate(); }
