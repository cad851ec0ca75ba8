// Every text a user of Sonvira can see: captions, menus, balloons, boxes and error messages.
// A translation touches this file alone. The texts live in portable code rather than in the
// resource file, so that the native tests compare against the very strings the program shows.
//
// Shown texts are UTF-16 (they reach the W functions as they are); error messages are 8-bit,
// because they travel in exceptions and are converted at the boundary like any other ANSI text.
#pragma once

#include <string>

namespace texts {

// --- The main window: menus, controls, balloons, boxes and dialogs ---

// The window's title, the tray icon's hint and the balloons' title. A name, never translated: a
// second start finds a running one by this title (older builds included), and the error boxes'
// caption, Application.Title, is the same name.
inline constexpr char16_t kProgramName[] = u"Sonvira";

// MainMenu1 and PopupMenu1.
inline constexpr char16_t kMenuMain[] = u"主菜单";
inline constexpr char16_t kMenuOpenMessage[] = u"打开消息";
inline constexpr char16_t kMenuClearMessage[] = u"清空消息";
inline constexpr char16_t kMenuSaveMessage[] = u"保存消息";
inline constexpr char16_t kMenuExportToWav[] = u"消息导出为WAV";
inline constexpr char16_t kMenuShowTime[] = u"显示时间";
inline constexpr char16_t kMenuOpenOnStartup[] = u"启动时运行";
inline constexpr char16_t kMenuExit[] = u"退出";
inline constexpr char16_t kMenuHelp[] = u"帮助";
inline constexpr char16_t kMenuHomepage[] = u"网站";
inline constexpr char16_t kMenuEmail[] = u"邮箱";
inline constexpr char16_t kMenuAbout[] = u"关于";
inline constexpr char16_t kMenuOpen[] = u"查看消息";
inline constexpr char16_t kMenuOptions[] = u"选项设置";
inline constexpr char16_t kMenuStopSpeak[] = u"停止朗读";
inline constexpr char16_t kMenuOpenOnStartup2[] = u"开机时运行";
inline constexpr char16_t kMenuPauseSpeak[] = u"暂停朗读";
// A key held for the whole desktop, as a menu item shows it after its caption ("Ctrl+Alt+P").
inline std::u16string HotKeyName(bool ctrl, bool alt, bool shift, char letter) {
    std::u16string name;
    name.append(ctrl ? u"Ctrl+" : u"").append(alt ? u"Alt+" : u"").append(shift ? u"Shift+" : u"");
    return name.append(1, static_cast<char16_t>(letter));
}

// The tray icon's hint while "暂停朗读" is ticked.
inline constexpr char16_t kHintPaused[] = u"Sonvira（已暂停朗读）";

// The tray icon's balloons.
inline constexpr char16_t kBalloonHiddenText[] = u"程序已最小化, 双击即可恢复.";
inline constexpr char16_t kBalloonStartTitle[] = u"Sonvira(使用帮助):";
inline constexpr char16_t kBalloonStartText[] =
    u"请打开登陆 QQ 或 TM 软件,\r\n发送文字消息给好友进行文字聊天,\r\n即可立即听到发送和接收的消息被朗读出来!";

// The log's boxes and dialogs.
inline constexpr char16_t kClearLogQuestion[] = u"您确定要清空当前消息内容列表吗？";
inline constexpr char16_t kClearLogCaption[] = u"确认";
inline constexpr char16_t kNothingToExport[] = u"当前不能导出消息，消息内容为空!";
inline constexpr char16_t kOpenLogFilter[] =
    u"rtf,文本文件(*.rtf;*.txt)|*.rtf;*.txt|rtf文件(*.rtf)|*.rtf|文本文件(*.txt)|*.txt|所有文件(*.*)|*.*";
inline constexpr char16_t kSaveLogFilter[] = u"rtf文件(*.rtf)|*.rtf|文本文件(*.txt)|*.txt|所有文件(*.*)|*.*";
inline constexpr char16_t kWavFilter[] = u"wav文件(*.wav)|*.wav|所有文件(*.*)|*.*";

// The help and about boxes: the help text's lines, between empty lines and a rule.
inline constexpr char16_t kHelpCaption[] = u"帮助";
inline constexpr char16_t kAboutCaption[] = u"关于";
inline constexpr char16_t kAboutNotice[] = u"版权所有 (C) Sonvira 开发组，免费使用。";
inline constexpr char16_t kHelpHowTo[] = u"如何使用本软件?";
inline constexpr char16_t kHelpStep1[] = u"1. 打开并登陆 QQ 或 TM 软件。 ";
inline constexpr char16_t kHelpStep2[] = u"2. 开始与QQ或TM上的好朋友进行文字聊天。";
inline constexpr char16_t kHelpStep3[] = u"3. 即可立即发送和接收到的消息被朗读出来。";
inline constexpr char16_t kHelpMuteQQ[] = u"在朗读时如何使QQ静音?";
inline constexpr char16_t kHelpMuteStep1[] = u"1.点击QQ主菜单,";
inline constexpr char16_t kHelpMuteStep2[] = u"2.点击 静音 菜单项,";
inline constexpr char16_t kHelpMuteStep3[] = u"3.这样即可在朗读消息时听着更加清楚和舒适。";

// The window's tabs, the options page's controls and the status bar.
inline constexpr char16_t kTabMessages[] = u"消息";
inline constexpr char16_t kTabOptions[] = u"选项";
inline constexpr char16_t kGroupReading[] = u"朗读设置";
inline constexpr char16_t kReadOwnMessages[] = u"朗读自己的消息";
inline constexpr char16_t kReadFriendMessages[] = u"朗读好友的消息";
inline constexpr char16_t kReadOwnName[] = u"朗读自己的昵称";
inline constexpr char16_t kReadFriendName[] = u"朗读好友的昵称";
inline constexpr char16_t kGroupOwnVoice[] = u"我的引擎设置";
inline constexpr char16_t kGroupFriendVoice[] = u"好友的引擎设置";
inline constexpr char16_t kVoiceLabel[] = u"引擎:";
inline constexpr char16_t kRateLabel[] = u"语速:";
inline constexpr char16_t kVolumeLabel[] = u"音量:";
inline constexpr char16_t kDefaultButton[] = u"默认";
inline constexpr char16_t kDownloadHint[] = u"如果想让软件有更丰富的中英文发音，请下载语音引擎。";
inline constexpr char16_t kDownloadButton[] = u"开始下载语音引擎";
inline constexpr char16_t kDownloadAfter[] = u"下载安装完毕引擎后，重新启动软件即可在此设置引擎。";
// "朗读方式": how chats are read, beyond what the first two pages say.
inline constexpr char16_t kTabReading[] = u"朗读方式";
inline constexpr char16_t kGroupWhichMessages[] = u"读哪些消息";
inline constexpr char16_t kReadAll[] = u"逐条朗读";
inline constexpr char16_t kReadBackground[] = u"朗读后台聊天窗口";
inline constexpr char16_t kMyNick[] = u"我的昵称";
inline constexpr char16_t kGroupWhatIsSpoken[] = u"怎样朗读";
inline constexpr char16_t kNoLinks[] = u"链接读作“链接”";
inline constexpr char16_t kSqueeze[] = u"重复字最多读三遍";
// "每条最多读 N 字": the number box stands between the two halves.
inline constexpr char16_t kMaxLenBefore[] = u"每条最多读";
inline constexpr char16_t kMaxLenAfter[] = u"字（0 为不限）";
inline constexpr char16_t kMute[] = u"不朗读的昵称";
inline constexpr char16_t kMuteHint[] = u"多个昵称用“;”分开";
inline constexpr char16_t kReadWeChat[] = u"朗读微信窗口";
inline constexpr char16_t kAutoVoice[] = u"自动分配声音";
inline constexpr char16_t kFriendVoicesButton[] = u"好友的声音…";
// The dialog of friends' voices; a rule is listed as "昵称 — 声音 语速 音量".
inline constexpr char16_t kFriendVoicesTitle[] = u"好友的声音";
inline constexpr char16_t kFriendVoiceNick[] = u"昵称:";
inline constexpr char16_t kFriendVoiceDash[] = u" — ";
inline constexpr char16_t kFriendVoicePut[] = u"添加/修改";
inline constexpr char16_t kFriendVoiceRemove[] = u"删除";
inline constexpr char16_t kOk[] = u"确定";
inline constexpr char16_t kCancel[] = u"取消";
inline constexpr char16_t kFriendVoiceNoNick[] = u"请填写好友的昵称。";
inline constexpr char16_t kFriendVoiceNotAKey[] = u"昵称不能含有“=”，也不能以“;”或“[”开头。";
inline constexpr char16_t kFriendVoiceNoVoice[] = u"请选择一个声音。";
inline constexpr char16_t kFriendVoicesTooMany[] = u"最多只能为 200 位好友设置声音。";
inline constexpr char16_t kMessagesHiddenTitle[] = u"微信没有显示消息";
inline constexpr char16_t kMessagesHidden[] =
    u"微信没有把消息交给其他程序，所以无法朗读。请先启动“讲述人”（Win+Ctrl+Enter），再启动微信；之后可以关闭讲述人。";
inline constexpr char16_t kVoiceFailedTitle[] = u"语音引擎无法朗读";
inline std::u16string VoiceFailed(const std::u16string& voice) {
    return u"语音引擎“" + voice + u"”无法朗读，已改用下一个能朗读的语音引擎。";
}
// Keys another program held when Sonvira asked for them: each as "Ctrl+Alt+P（暂停朗读）".
inline constexpr char16_t kHotKeysTakenTitle[] = u"快捷键已被占用";
inline std::u16string HotKeysTaken(const std::u16string& keys) {
    return u"快捷键 " + keys + u" 已被其他程序占用，Sonvira 无法使用。请从托盘图标的菜单中选择这些命令。";
}
inline constexpr char16_t kStatusText[] = u"  Sonvira：即时朗读QQ消息，让你的QQ会说话！";
// While a big log is opened (how much of it is read) or saved (how much is written).
inline std::u16string LogProgress(bool saving, std::size_t done, std::size_t total) {
    const std::string n = saving ? std::to_string(done >> 10) : std::to_string(total ? done * 100 / total : 0);
    return (saving ? u"  正在保存消息… " : u"  正在打开消息… ") + std::u16string(n.begin(), n.end()) +
           (saving ? u" KB" : u"%");
}

// --- Errors and texts of the lower layers: files, settings, voices, the log control ---
// A message built around a value is a function, so that a translation keeps the sentence whole.

// Files: the framework's wording, the file named in double quotes and then the system's reason;
// and what its streams say when a file cannot be read or written whole.
inline std::string CannotOpenFile(const std::string& path, const std::string& reason) {
    return "Cannot open file \"" + path + "\". " + reason;
}
inline std::string CannotCreateFile(const std::string& path, const std::string& reason) {
    return "Cannot create file \"" + path + "\". " + reason;
}
// Said in place of what the speech filters leave out, and of messages the queue skipped: GBK
// bytes, since they are spoken among chat text, whatever the system's code page.
inline constexpr char kSpokenLink[] = "\xc1\xb4\xbd\xd3";                       // 链接
inline constexpr char kSpokenOmitted[] = "\xa3\xac\xd2\xd4\xcf\xc2\xca\xa1\xc2\xd4";  // ，以下省略
inline std::string SkippedMessages(std::size_t count) {                       // 跳过 N 条消息
    return "\xcc\xf8\xb9\xfd " + std::to_string(count) + " \xcc\xf5\xcf\xfb\xcf\xa2";
}
inline constexpr char kLoadStreamError[] = "Failed to Load Stream";
inline constexpr char kSaveStreamError[] = "Failed to Save Stream";
// The system has no text of its own for this error number.
inline std::string SystemError(unsigned long error) { return "System error " + std::to_string(error); }

// The settings file.
inline std::string UnableToWriteTo(const std::string& file) { return "Unable to write to " + file; }
inline std::string SettingsNotText(const std::string& file) {
    return "The settings in " + file + " cannot be read: the file is not 8-bit text (UTF-16 without a byte-order "
           "mark?). It is kept as it is, and this run's settings are not saved.";
}

// Paths and the logon shortcut. The shortcut's complaint carries GBK corner brackets.
inline std::string UnableToCreateFolder(const std::string& folder) { return "Unable to create folder " + folder; }
inline constexpr char kShortcutExtension[] = "File Ext Must Be: \xA1\xE4\xA1\xE4LNK\xA1\xE4\xA1\xE4!";

// The message log's rich-edit control, and the files it cannot take.
inline std::string LogFileTooBig(std::size_t megabytes) {
    return "The message log takes files of up to " + std::to_string(megabytes) + " MB";
}
inline constexpr char kLogOutOfRoom[] = "There is not enough memory to show all of it in the message log";
inline constexpr char kLogLengthUnknown[] = "The message log did not report its length.";
inline constexpr char kLogInsertionError[] = "RichEdit line insertion error";
inline constexpr char kLogColourRefused[] = "The message log refused a text colour.";

// Voices: the profiles, the carried voices' registration and the engine.
inline constexpr char kNoVoiceSelected[] = "No voice is selected";
inline constexpr char kItemCarriesNoVoice[] = "The selected item carries no voice";
inline std::string FailedToSetData(const std::string& valueName) { return "Failed to set data for '" + valueName + "'"; }
inline constexpr char kTokenOfAnotherEngine[] = "The voice token does not belong to this speech engine";
inline constexpr char kStreamOfAnotherEngine[] = "The file stream does not belong to this speech engine";
inline std::string NoAudioWritten(unsigned long samplesPerSec, unsigned bitsPerSample, unsigned channels) {
    return "The voice wrote no audio into the WAV file: it may not speak the file's format (" +
           std::to_string(samplesPerSec) + " Hz, " + std::to_string(bitsPerSample) + "-bit, " +
           std::to_string(channels) + " channel)";
}

// The default error handler's text for an error that carries no message.
inline constexpr char kUnknownError[] = "Unknown error";

}  // namespace texts
