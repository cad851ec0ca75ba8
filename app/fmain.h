// The main window's logic: it owns every component and all program state, and its event
// handlers are what the Win32 window procedure (or a test) calls. No Windows types here.
#pragma once

#include <string>

#include "app/codepage.h"
#include "app/components.h"
#include "app/message_log.h"
#include "capture/chat_windows.h"
#include "capture/watcher.h"
#include "speech/engine.h"
#include "speech/voice_profiles.h"

struct TFmainServices {
    IChatWindows& chatWindows;
    ICodePage& codePage;
    ISpeechEngine& speech;
    ILogControl& log;  // RichEdit1
};

class TFmain : private WatcherPorts {
public:
    explicit TFmain(const TFmainServices& services);
    TFmain(const TFmain&) = delete;
    TFmain& operator=(const TFmain&) = delete;

    // Runs once the window and its peers exist: fills the voice lists and applies settings.
    void FormCreate();

    // Chat capture.
    ChatReading GetChatText();
    void Timer2Timer();
    void Timer3Timer();

    // Voice profiles.
    void InitVoiceProfiles(int engine, int engine1, int rate, int rate1, int volume, int volume1);
    void SpeakOwn(const std::string& ansiText) override;
    void SpeakFriend(const std::string& ansiText) override;
    void StopSpeak1Click();
    void CBVoiceChange();
    void CBVoice1Change();
    void TRateChange();
    void TRate1Change();
    void TVolumeChange();
    void TVolume1Change();
    void BtnDefault1Click();
    void BtnDefault2Click();

    // Fields.
    std::string FChatTitle;   // title of the last chat window seen in front
    std::string FLastHeader;  // header of the last message handled

    // Components.
    TTimer Timer2{1000};
    TTimer Timer3{1000};
    TCheckBox CBMe{true};
    TCheckBox CBFriend{true};
    TCheckBox CBmyname{true};
    TCheckBox CBFriendsname{true};
    TMenuItem NShowTime1{true};
    TMenuItem StopSpeak1;
    TSpVoice SpVoice;
    TSpVoice SpVoice1;
    TComboBox CBVoice{"CBVoice"};
    TComboBox CBVoice1{"CBVoice"};
    TTrackBar TRate{-10, 10, 0};
    TTrackBar TRate1{-10, 10, 0};
    TTrackBar TVolume{0, 100, 80};
    TTrackBar TVolume1{0, 100, 80};
    TLabel LRate{"0"};
    TLabel LRate1{"0"};
    TLabel LVolume{"80"};
    TLabel LVolume1{"80"};
    TButton BtnDefault1;
    TButton BtnDefault2;
    ILogControl& RichEdit1;

private:
    // WatcherPorts, for the watcher's tick.
    ChatReading ReadChatText() override { return GetChatText(); }
    void AppendColouredLine(const std::string& ansi, std::uint32_t colour, bool scroll) override;
    bool ReadOwnMessages() override { return CBMe.Checked(); }
    bool ReadOwnName() override { return CBmyname.Checked(); }
    bool ReadFriendMessages() override { return CBFriend.Checked(); }
    bool ReadFriendName() override { return CBFriendsname.Checked(); }
    bool ShowTime() override { return NShowTime1.Checked(); }

    TFmainServices services_;
    VoiceProfile own_;
    VoiceProfile friends_;
};
