// The main window's handlers. Each is a thin call into the module that decides; the main
// window only owns the state and the components.
#include "app/fmain.h"

#include <algorithm>
#include <string>

#include "app/logon_shortcut.h"
#include "base/string_table.h"
#include "capture/chat_probe.h"
#include "speech/wav_export.h"
#include "ui/application.h"

TFmain::TFmain(const TFmainServices& services)
    : Profiles(MakeVoiceProfiles(services.speech)),
      SpFileStream1(services.speech),
      RichEdit1(services.log),
      services_(services),
      watch_(services.chatWindows, *this, Options, services.uia, FLastHeader, FChatTitle),
      wavExport_(WavExportParts{own_.SpVoice, own_.CBVoice, SpFileStream1}) {
    // The components come with their handlers and the two capture timers come enabled, as a
    // form's stored design does: chat capture must run even when a later start-up step fails
    // (under an engine that cannot speak, applying the voices does).
    Timer2.OnTimer = [this] { Timer2Timer(); };
    Timer3.OnTimer = [this] { Timer3Timer(); };
    TimerWav.OnTimer = [this] { TimerWavTimer(); };
    TimerSpeech.OnTimer = [this] { TimerSpeechTimer(); };
    TimerUia.OnTimer = [this] {
        if (!logBusy_) watch_.TickUia();
    };
    // A voice that cannot speak is named in a balloon, which asks nothing of the user who is
    // chatting; the next voice that speaks has already taken over.
    for (int i = 0; i < kProfileCount; ++i) {
        const ProfileId p = static_cast<ProfileId>(i);
        VoiceProfile& v = Profiles[p];
        v.CBVoice.OnChange = [this, p] { CBVoiceChange(p); };
        v.TRate.OnChange = [this, p] { TRateChange(p); };
        v.TVolume.OnChange = [this, p] { TVolumeChange(p); };
        v.BtnDefault.OnClick = [this, p] { BtnDefaultClick(p); };
        v.onVoiceFailed = [this](const std::string& name) {
            ShowBalloon(texts::kVoiceFailedTitle, texts::VoiceFailed(services_.codePage.AnsiToUtf16(name)));
        };
    }
    BDownload.OnClick = [this] { BDownloadClick(); };
    BFriendVoices.OnClick = [this] { BFriendVoicesClick(); };
    Timer2.SetEnabled(true);
    Timer3.SetEnabled(true);
    TimerUia.SetEnabled(true);

    for (const TMenuRow& row : MenuRows()) {
        if (!row.item) continue;
        (this->*row.item).SetChecked(row.ticked);
        if (row.onClick) (this->*row.item).OnClick = [this, click = row.onClick] { (this->*click)(); };
    }
    TrayIcon1.OnClick = [this] { TrayIcon1Click(); };
    TrayIcon1.OnDblClick = [this] { TrayIcon1DblClick(); };
    TrayIcon1.PopupMenu = &PopupMenu1;
    TrayIcon1.SetHint(texts::kProgramName);
    TrayIcon1.SetVisible(true);
}


// Chat capture goes on during an export: every message is logged and friends' messages are
// spoken; only the own profile keeps quiet then (Speak, below).
// While the log is read from or written to a file, the watcher leaves it alone: the log's
// control is streaming, and the newest message is still there to be read afterwards.
void TFmain::Timer2Timer() {
    if (!logBusy_) watch_.Tick();
}

// The reading worker's answer. While the log streams it is let go: the places stay where they
// were, so the next round reads the same messages again.
void TFmain::UiaRoundDone(const std::vector<UiaReading>& readings) {
    if (!logBusy_) watch_.UiaRoundDone(readings);
}

// Said once a run: the user learns how to let WeChat show its messages, and is not told again
// at every tick while it does not.
void TFmain::MessagesHidden() {
    if (hiddenTold_) return;
    hiddenTold_ = true;
    ShowBalloon(texts::kMessagesHiddenTitle, texts::kMessagesHidden);
}

void TFmain::Timer3Timer() { UpdateChatTitle(services_.chatWindows, services_.codePage, FChatTitle); }

void TFmain::InitVoiceProfiles() {
    voicesWhole_ = false;
    ::InitVoiceProfiles(Profiles, Options.Voices, &voicesWhole_);
}

// An own message would replace the voice object the export speaks with and cut the file
// short: while an export runs it is logged but not spoken.
void TFmain::Speak(ProfileId profile, const std::string& ansiText) {
    if (!Lent(profile)) SpeakWith(Profiles[profile], ansiText);
}

bool TFmain::Lent(ProfileId profile) const { return profile == kOwnProfile && wavExport_.Running(); }

// Read one by one, a message waits for the one before it; otherwise it cuts it off. Paused,
// here and in SpeakLater, the message is only logged: kept for later, it would be said when
// the user no longer expects it.
void TFmain::SpeakWith(VoiceProfile& profile, const std::string& ansiText) {
    if (PauseSpeak1.Checked()) return;
    if (!Options.readall) {
        // Friends are heard one at a time, whoever's voice each has.
        if (&profile != &own_) {
            StopSpeaking(friends_);
            for (auto& s : speakers_) StopSpeaking(s->Profile());
        }
        SpeakWithProfile(profile, ansiText);
        return;
    }
    speechQueue_.Push(profile, ansiText);
    if (speechQueue_.Busy()) TimerSpeech.SetEnabled(true);
}

// A queued message is what it says when its turn comes: a sender muted, a filter ticked or a
// way of reading turned off meanwhile reaches it too. While an export holds the own voice, own
// messages wait in the queue for it, or, one at a time, are not spoken at all.
void TFmain::SpeakLater(ProfileId p, bool behind, const std::string& sender, const Saying& saying) {
    if (PauseSpeak1.Checked()) return;
    const std::optional<std::string> now = saying();
    if (!now) return;
    VoiceProfile& profile = p == kFriendProfile ? FriendProfile(sender) : Profiles[p];
    if (!Options.readall) {
        if (!Lent(p)) SpeakWith(profile, *now);
        return;
    }
    speechQueue_.Push(profile, [this, behind, saying](std::string& text) {
        if (!Options.readall || (behind && !Options.background)) return false;
        const std::optional<std::string> then = saying();
        if (then) text = *then;
        return then.has_value();
    });
    if (speechQueue_.Busy()) TimerSpeech.SetEnabled(true);
}

// A speaker that has had its say lets its voice object go, so a long chat with many friends
// holds no more objects than voices speak at once.
VoiceProfile& TFmain::FriendProfile(const std::string& sender) {
    const FriendVoiceChoice choice = ChooseFriendVoice(FFriendVoices, Options.autovoice, friends_.CBVoice, sender,
                                                       friends_.TRate.Position(), friends_.TVolume.Position(),
                                                       LeadBytes());
    if (choice.at < 0) return friends_;
    FriendSpeaker* chosen = nullptr;
    for (auto& s : speakers_) {
        if (s->Is(choice)) chosen = s.get();
        else if (s->Profile().SpVoice.Connected() && s->Profile().SpVoice.Done()) StopSpeaking(s->Profile());
    }
    if (!chosen) {
        speakers_.push_back(std::make_unique<FriendSpeaker>(services_.speech, friends_, choice));
        chosen = speakers_.back().get();
    }
    return chosen->Profile();
}

void TFmain::TimerSpeechTimer() {
    if (!speechQueue_.Pump()) TimerSpeech.SetEnabled(false);
}

// Stopping speech stops the export's too: it ends as a failure, leaving no cut-off file.
void TFmain::StopSpeak1Click() {
    CancelExport();
    Silence();
}

// Pausing is for silence now (a call comes in), so what is being said stops with the rest of
// the queue. A running export is left alone: its voice speaks into a file nobody hears, and
// the user chose it; "停止朗读" still ends it.
void TFmain::PauseSpeak1Click() {
    const bool paused = !PauseSpeak1.Checked();
    PauseSpeak1.SetChecked(paused);
    TrayIcon1.SetHint(paused ? texts::kHintPaused : texts::kProgramName);
    if (paused) Silence();
}

// Nothing is heard and nothing waits; the own voice is left to an export that holds it.
void TFmain::Silence() {
    speechQueue_.Clear();
    TimerSpeech.SetEnabled(false);
    for (int p = 0; p < kProfileCount; ++p)
        if (!Lent(static_cast<ProfileId>(p))) StopSpeaking(Profiles[p]);
    for (auto& s : speakers_) StopSpeaking(s->Profile());
}

// While an export holds the own voice object, the own profile's controls only move and show
// their values; the next own message applies them afresh, as every own message does.
void TFmain::CBVoiceChange(ProfileId p) {
    if (!Lent(p)) ApplyProfileVoice(Profiles[p]);
}
void TFmain::TRateChange(ProfileId p) {
    VoiceProfile& v = Profiles[p];
    if (Lent(p)) v.LRate.SetCaption(std::to_string(v.TRate.Position()));
    else ApplyProfileRate(v);
}
void TFmain::TVolumeChange(ProfileId p) {
    VoiceProfile& v = Profiles[p];
    if (Lent(p)) v.LVolume.SetCaption(std::to_string(v.TVolume.Position()));
    else ApplyProfileVolume(v);
}
void TFmain::BtnDefaultClick(ProfileId p) {
    VoiceProfile& v = Profiles[p];
    if (!Lent(p)) {
        ResetProfile(v);
        return;
    }
    v.TRate.SetPosition(0);
    v.TVolume.SetPosition(100);
}

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
    ShowBalloon(texts::kProgramName, texts::kBalloonHiddenText);
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

void TFmain::WMHotKey(int id) {
    for (const TMenuRow& row : MenuRows())
        if (row.key.letter && row.command == id) (this->*row.item).UserClick();
}

// A key another program holds stays with it; its item in the menu still works.
std::u16string TFmain::RegisterHotKeys() {
    std::u16string taken;
    if (!services_.hotkeys) return taken;
    for (const TMenuRow& row : MenuRows()) {
        if (!row.key.letter) continue;
        if (services_.hotkeys->Register(row.command, row.key)) {
            hotKeysHeld_.push_back(row.command);
            continue;
        }
        taken.append(taken.empty() ? u"" : u"、").append(KeyText(row.key));
        taken.append(u"（").append(row.caption).append(u"）");
    }
    return taken;
}

void TFmain::TrayIcon1DblClick() { RestoreMainWindow(nullptr); }
void TFmain::Open1Click() { RestoreMainWindow(&TabSheet1); }
void TFmain::NItemOptionsClick() { RestoreMainWindow(&TabSheet2); }
void TFmain::NShowTime1Click() {
    Options.showtime = !Options.showtime;
    NShowTime1.SetChecked(Options.showtime);
}
void TFmain::NexitClick() { Application.Terminate(); }
void TFmain::Exit1Click() { Application.Terminate(); }

// Reading or writing a big log takes a while, and the window answers meanwhile: until the
// work is done the log's commands and the export are greyed, exactly as during an export.
template <typename F>
void TFmain::WorkOnLog(F work) {
    struct Busy {
        TFmain& f;
        explicit Busy(TFmain& form) : f(form) {
            f.logBusy_ = true;
            f.ShowExportState();
        }
        ~Busy() {
            f.logBusy_ = false;
            f.ShowExportState();
        }
    } busy(*this);
    work();
}

void TFmain::NOpenMessageClick() {
    if (logBusy_ || !AskFileName(OpenDialog1)) return;
    WorkOnLog([&] { ReadLogFile(OpenDialog1.FileName, services_.files, services_.logDocument, FPlainText); });
}
void TFmain::NClearMessageClick() {
    if (!logBusy_) ClearLog(services_.boxes, services_.logDocument);
}
void TFmain::NSaveMessageClick() {
    if (logBusy_ || !AskFileName(SaveDialog1)) return;
    WorkOnLog([&] { WriteLogFile(SaveDialog1.FileName, services_.files, services_.logDocument, FPlainText); });
}

// The window shows the export's state once a step has started or ended it, failed steps
// included; the timer's steps that find the voice still speaking change nothing.
template <typename F>
void TFmain::AlteringExport(F step) {
    const bool was = wavExport_.Running();
    try {
        step();
    } catch (...) {
        if (wavExport_.Running() != was) ShowExportState();
        throw;
    }
    if (wavExport_.Running() != was) ShowExportState();
}

// The export only starts here; TimerWav completes it, so the window goes on answering
// (painting, the tray icon, the end of the session) however long the voice speaks.
void TFmain::ExportMessageToWav1Click() {
    // One export at a time, its file dialog included: a command still in the queue may come
    // in while the dialog is up.
    if (askingWavName_ || wavExport_.Running() || logBusy_) return;
    std::string text;
    {
        struct Asking {
            bool& flag;
            explicit Asking(bool& f) : flag(f) { flag = true; }
            ~Asking() { flag = false; }
        } asking(askingWavName_);
        if (!PrepareWavExport(services_.logDocument, services_.boxes,
                              services_.codePage.AnsiToUtf16(Application.Title), SaveDialogWav, text))
            return;
    }
    // The own voice becomes the export's: the queue neither waits for it nor speaks with it
    // until the export has ended.
    speechQueue_.Lend(own_);
    AlteringExport([&] { wavExport_.Start(SaveDialogWav.FileName, text); });
}

void TFmain::TimerWavTimer() { AlteringExport([&] { wavExport_.Poll(); }); }

void TFmain::CancelExport() { AlteringExport([&] { wavExport_.Cancel(); }); }

// The export's timer runs, and the commands it rules out are greyed, exactly while it runs:
// opening or clearing the log (the export speaks what the log held when it began) and a
// second export. While the log is opened or saved, every log command and the export are
// greyed. A command that still comes through a greyed item is refused quietly.
void TFmain::ShowExportState() {
    const bool running = wavExport_.Running();
    TimerWav.SetEnabled(running);
    if (!running) {
        speechQueue_.GiveBack(own_);
        if (speechQueue_.Busy()) TimerSpeech.SetEnabled(true);
    }
    for (TMenuItem* item : {&NOpenMessage, &NClearMessage, &ExportMessageToWav1})
        item->SetEnabled(!running && !logBusy_);
    NSaveMessage.SetEnabled(!logBusy_);
}

void TFmain::Help1Click() { ShowHelp(services_.boxes); }
void TFmain::About1Click() { ShowAbout(services_.boxes); }
void TFmain::VisitHomepage1Click() { OpenHomePage(services_.shell); }
void TFmain::Email1Click() { WriteMailToMaker(services_.shell); }
void TFmain::BDownloadClick() { OpenVoiceDownloadPage(services_.shell); }

// The rules are edited on a copy, among the names the voice lists show: Cancel keeps them.
void TFmain::BFriendVoicesClick() {
    if (!services_.friendVoices) return;
    FriendVoices edited = FFriendVoices;
    if (services_.friendVoices->Edit(edited, friends_.CBVoice)) FFriendVoices = std::move(edited);
}

void TFmain::NOpenOnStartupClick() {
    ToggleRunAtLogon(NOpenOnStartup, NOpenOnStartup2, services_.paths, services_.shell, services_.files,
                     Application.Title);
}
void TFmain::NOpenOnStartup2Click() {
    ToggleRunAtLogon(NOpenOnStartup2, NOpenOnStartup, services_.paths, services_.shell, services_.files,
                     Application.Title);
}
