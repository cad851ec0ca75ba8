// The main window's logic: it owns every component and all program state, and its event
// handlers are what the Win32 window procedure (or a test) calls. No Windows types here.
//
// The names are the form designer's, kept so that the design and the code read alike:
//   Timer2          the message watcher's timer: reads the chat in front, speaks and logs
//   Timer3          the title tracker's timer: remembers the last chat title in front
//   Profiles        the voice profiles, own and friends', each with the designer's names
//                   (SpVoice, CBVoice, TRate, ...; the friends' end in "1", see VoiceProfile)
//   Options         the settings, live: the options pages show and change its fields
//   N..., ...1      menu items (NShowTime1 "显示时间"); their handlers end in Click
//   TabSheet1/2/3   the pages "消息" (the log, RichEdit1), "选项" (the voices) and
//                   "朗读方式" (how chats are read: the options beyond the first two pages)
//   TrayIcon1       the icon in the notification area; PopupMenu1 its menu
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/help_commands.h"
#include "app/log_commands.h"
#include "app/message_log.h"
#include "app/paths.h"
#include "app/settings.h"
#include "ui/shell.h"
#include "base/codepage.h"
#include "base/files.h"
#include "capture/chat_watch.h"
#include "capture/chat_windows.h"
#include "capture/watcher.h"
#include "speech/carried_voices.h"
#include "speech/engine.h"
#include "speech/friend_voices.h"
#include "speech/speech_queue.h"
#include "speech/voice_profiles.h"
#include "speech/wav_export.h"
#include "ui/components.h"
#include "ui/dialogs.h"
#include "ui/shell_components.h"

struct TFmainServices {
    IChatWindows& chatWindows;
    ICodePage& codePage;
    ISpeechEngine& speech;
    ILogControl& log;  // RichEdit1
    IPathPlatform& paths;
    IProfileStrings& profile;  // set.ini
    IRegistry& registry;       // the carried voices
    IOsVersion& osVersion;
    ILogDocument& logDocument;  // RichEdit1 as a whole, for its file commands
    IFiles& files;
    IMessageBoxes& boxes;
    IShell& shell;
    IUiaReader* uia = nullptr;  // the worker that reads WeChat's windows; none: they are not read
    IHotKeys* hotkeys = nullptr;  // none: the items have no keys
    IFriendVoicesDialog* friendVoices = nullptr;  // none: the rules are not edited
};

class TFmain;

// One row of the two menus, and the one place an item is described: the Win32 window builds
// both menus from these rows, in order, and sends each command to the item of its row; the
// form wires each item's handler and its first tick from them.
struct TMenuRow {
    enum Menu { MainMenu1, PopupMenu1 } menu;
    bool inSubmenu;             // an item of the last top-level item above it
    int command;                // the item's command id; 0 for a separator
    TMenuItem TFmain::*item;    // nullptr for a separator
    const char16_t* caption;
    void (TFmain::*onClick)();  // nullptr: it opens its submenu, or its action is still to come
    bool ticked = false;        // its tick when the program starts
    THotKey key = {};           // pressed anywhere, it chooses the item; shown after the caption
};

// What an item shows: its caption, and after a tab its key ("Ctrl+Alt+P").
std::u16string KeyText(THotKey key);
std::u16string MenuText(const TMenuRow& row);

// System commands that hide the window instead of closing or minimising it.
constexpr unsigned kScMinimize = 0xF020;
constexpr unsigned kScClose = 0xF060;

class TFmain : private WatcherPorts {
public:
    explicit TFmain(const TFmainServices& services);
    TFmain(const TFmain&) = delete;
    TFmain& operator=(const TFmain&) = delete;

    // Start-up and shutdown (fmain_startup.cpp). FormCreate runs once the window and its
    // peers exist, FormDestroy once the message loop has ended.
    void FormCreate();
    void FormDestroy();
    void LoadSettings();
    void SaveSettings();
    // The session ends (logoff, shutdown): the process will not see FormDestroy.
    void WMEndSession(bool ending);

    // Chat capture.
    void Timer2Timer();
    void Timer3Timer();
    // The reading worker's answer for the windows read through UI Automation.
    void UiaRoundDone(const std::vector<UiaReading>& readings);
    void TimerSpeechTimer();  // the speech queue's step: starts the next message once one ends

    // Voice profiles.
    // Fills the voice lists and applies Options' stored voices (see ::InitVoiceProfiles).
    void InitVoiceProfiles();
    void Speak(ProfileId profile, const std::string& ansiText) override;
    void StopSpeak1Click();
    // Ticked: every message is still logged, and none is spoken, then or later.
    void PauseSpeak1Click();
    // A profile's controls changed (CBVoiceChange: CBVoice or CBVoice1), or its BtnDefault.
    void CBVoiceChange(ProfileId profile);
    void TRateChange(ProfileId profile);
    void TVolumeChange(ProfileId profile);
    void BtnDefaultClick(ProfileId profile);
    void BFriendVoicesClick();  // the rules' dialog

    // Window, menus and tray.
    static const std::vector<TMenuRow>& MenuRows();
    // True when the command was taken here and must not reach the default handling.
    bool WMSysCommand(unsigned command);
    void HideToTray();
    void RestoreMainWindow(const TTabSheet* tab);  // nullptr keeps the active tab
    // Sets the balloon's title, information icon and text, and shows it with the time-out
    // set last: 3000 ms at first, 500 ms from the first hide on.
    void ShowBalloon(const std::u16string& title, const std::u16string& text);
    // A key of a menu row was pressed anywhere on the desktop.
    void WMHotKey(int id);
    void TrayIcon1Click();
    void TrayIcon1DblClick();
    void Open1Click();
    void NItemOptionsClick();
    void NShowTime1Click();
    void NexitClick();
    void Exit1Click();

    // The log's commands, the WAV export, help and the maker's addresses.
    void NOpenMessageClick();
    void NClearMessageClick();
    void NSaveMessageClick();
    void ExportMessageToWav1Click();
    void TimerWavTimer();  // the running export's step: completes the file once the voice is done
    void Help1Click();
    void About1Click();
    void VisitHomepage1Click();
    void Email1Click();
    void BDownloadClick();

    // Run at logon: either item ticks or unticks both.
    void NOpenOnStartupClick();
    void NOpenOnStartup2Click();

    // Fields.
    std::string FChatTitle;   // title of the last chat window seen in front
    std::string FLastHeader;  // header of the last message handled
    // The log's plain-text mode: false writes and reads files as RTF. Only saving sets it.
    bool FPlainText = false;
    // The voices of particular friends ([voices] in set.ini).
    FriendVoices FFriendVoices;
    TSettings Options = DefaultSettings();

    // Components.
    TTimer Timer2{1000};
    TTimer Timer3{1000};
    TTimer TimerWav{100};  // runs only while an export speaks into its file
    TButton BFriendVoices;    // "好友的声音…"
    TTimer TimerSpeech{100};  // runs only while the speech queue speaks or waits
    // Asks the reading worker about WeChat's windows between the watcher's ticks: an idle
    // question costs it one move through a list, and a message is heard sooner.
    TTimer TimerUia{250};
    TForm Window;  // the main window itself
    TPageControl PageControl1;
    TTabSheet TabSheet1{0};  // "消息"
    TTabSheet TabSheet2{1};  // "选项"
    TTabSheet TabSheet3{2};  // "朗读方式"
    TTrayIcon TrayIcon1;
    TPopupMenu PopupMenu1;
    // MainMenu1.
    TMenuItem NMain;
    TMenuItem NOpenMessage;
    TMenuItem NClearMessage;
    TMenuItem NSaveMessage;
    TMenuItem ExportMessageToWav1;
    TMenuItem NShowTime1;
    TMenuItem NOpenOnStartup;
    TMenuItem Nexit;
    TMenuItem NHlelp;
    TMenuItem Help1;
    TMenuItem VisitHomepage1;
    TMenuItem Email1;
    TMenuItem About1;
    // PopupMenu1.
    TMenuItem Open1;
    TMenuItem NItemOptions;
    TMenuItem StopSpeak1;
    TMenuItem PauseSpeak1;
    TMenuItem NOpenOnStartup2;
    TMenuItem Exit1;
    VoiceProfiles Profiles;
    TButton BDownload;
    TSpFileStream SpFileStream1;
    TFileDialog OpenDialog1{TFileDialog::Kind::Open, kOpenLogFilter, u"", false};
    TFileDialog SaveDialog1{TFileDialog::Kind::Save, kSaveLogFilter, kSaveLogDefaultExt, false};
    TFileDialog SaveDialogWav{TFileDialog::Kind::Save, kWavFilter, kWavDefaultExt, false};
    ILogControl& RichEdit1;

private:
    // WatcherPorts, for the watcher's tick.
    void AppendColouredLine(const std::string& ansi, std::uint32_t colour, bool scroll) override;
    const ILeadBytes& LeadBytes() override { return services_.paths.LeadBytes(); }
    void MessagesHidden() override;
    void SpeakLater(ProfileId profile, bool behind, const std::string& sender, const Saying& saying) override;

    VoiceProfile& FriendProfile(const std::string& sender);
    void SpeakWith(VoiceProfile& profile, const std::string& ansiText);
    void Silence();
    // A running export holds the own profile's voice object.
    bool Lent(ProfileId profile) const;
    void RecordVoices();
    // Holds the menu rows' keys; the taken ones' names, for the balloon.
    std::u16string RegisterHotKeys();

    std::string ProgramFolder();
    void ShowExportState();
    void CancelExport();
    template <typename F>
    void AlteringExport(F step);
    template <typename F>
    void WorkOnLog(F work);

    TFmainServices services_;
    // The settings file could not be reached at start: that was said then, not again at exit.
    bool settingsFailed_ = false;
    // Whether the voice lists hold every installed voice, and what start-up selected in them:
    // a list with voices missing must not have its start-up choice stored as the user's.
    bool voicesWhole_ = true;
    int startVoice_[kProfileCount] = {};
    VoiceProfile& own_ = Profiles[kOwnProfile];
    VoiceProfile& friends_ = Profiles[kFriendProfile];
    // One per voice, rate and volume a friend was heard with; kept, as the queue may point at one.
    std::vector<std::unique_ptr<FriendSpeaker>> speakers_;
    bool voicesRead_ = false;  // [voices] held rules at start, so an emptied list is written
    SpeechQueue speechQueue_;
    ChatWatch watch_;
    bool hiddenTold_ = false;  // WeChat's hidden messages were told of in a balloon
    std::vector<int> hotKeysHeld_;  // the ids given back at exit
    // While it runs, the own voice object and the file stream are the export's: nothing else
    // may replace, release or reconfigure them.
    TWavExport wavExport_;
    bool askingWavName_ = false;
    // An open or a save of the log is under way; the window answers meanwhile.
    bool logBusy_ = false;
};
