// The Win32 main window: creates the window, its pages and controls from the layout tables
// and its menus from the menu table, scaled to the system's dpi; attaches the components of
// TFmain to their peers, the tray icon among them; and turns window messages into TFmain's
// handlers. Every handler runs under the application's default error handler, so no
// exception leaves the window procedure.
//
// The window has a taskbar button exactly while it shows: it is an unowned top-level window,
// and there is no hidden application window beside it that would need hiding too.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>
#include <variant>
#include <vector>

#include "app/fmain.h"
#include "app/friend_voices_win.h"
#include "app/log_commands_win.h"
#include "app/log_control_win.h"
#include "app/paths_win.h"
#include "app/settings_win.h"
#include "capture/chat_windows_win.h"
#include "capture/uia_reader_win.h"
#include "speech/carried_voices_win.h"
#include "win/codepage_win.h"
#include "win/files_win.h"
#include "win/handles.h"
#include "win/peers_win.h"
#include "win/shell_win.h"

// Control ids, also what the end-to-end tests look controls up by. The options page's
// controls are bound and heard through the page's layout table (fmain_win.cpp).
enum ControlId : int {
    IDC_PAGECONTROL = 100,
    IDC_STATUSBAR,
    IDC_RICHEDIT1,
    IDC_CBME = 200,
    IDC_CBFRIEND,
    IDC_CBMYNAME,
    IDC_CBFRIENDSNAME,
    IDC_CBVOICE,
    IDC_TRATE,
    IDC_LRATE,
    IDC_TVOLUME,
    IDC_LVOLUME,
    IDC_BTNDEFAULT1,
    IDC_CBVOICE1,
    IDC_TRATE1,
    IDC_LRATE1,
    IDC_TVOLUME1,
    IDC_LVOLUME1,
    IDC_BTNDEFAULT2,
    IDC_BDOWNLOAD,
    IDC_CBREADALL,
    IDC_CBBACKGROUND,
    IDC_EDITMYNICK,
    IDC_CBNOLINKS,
    IDC_CBSQUEEZE,
    IDC_EDITMAXLEN,
    IDC_EDITMUTE,
    IDC_CBWECHAT,
    IDC_CBAUTOVOICE,
    IDC_BFRIENDVOICES,
};

// The options pages, control by control in creation (and so tab) order, in page coordinates at
// 96 dpi. Group box contents are children of the page, not of the box, so their notifications
// reach one procedure. A bound control shows and changes what its row names: a field of the
// settings (a tick, a text, a number), a component of a voice profile, or a button of the form.
using OptionBinding = std::variant<std::monostate, TSettingField, TComboBox VoiceProfile::*, TTrackBar VoiceProfile::*,
                                   TLabel VoiceProfile::*, TButton VoiceProfile::*, TButton TFmain::*>;
struct OptionControl {
    int page;  // 1 "选项", 2 "朗读方式"
    enum Kind { Group, Text, Check, Push, Combo, Track, Edit, Number } kind;
    const char16_t* caption;
    int x, y, w, h;
    int id = -1;
    OptionBinding binding = {};
    int profile = -1;  // the voice profile whose component the row binds
};
// Every row, each voice profile's block written out once per profile.
const std::vector<OptionControl>& OptionControls();

// The component a row binds, when it binds one of that kind; the field it binds, when one.
template <typename T>
T* ComponentOf(TFmain& f, const OptionControl& c) {
    if (const auto* m = std::get_if<T VoiceProfile::*>(&c.binding)) return &(f.Profiles[c.profile].**m);
    if constexpr (std::is_same_v<T, TButton>) {
        if (const auto* m = std::get_if<TButton TFmain::*>(&c.binding)) return &(f.**m);
    }
    return nullptr;
}
inline const TSettingField* FieldOf(const OptionControl& c) { return std::get_if<TSettingField>(&c.binding); }

// Timer ids of the main window, named after the components they drive.
enum : UINT_PTR { kTimer2Id = 2, kTimer3Id = 3, kTimerWavId = 4, kTimerSpeechId = 5, kTimerUiaId = 6 };

// The reading worker's answer: a round of readings in lParam (Win32UiaReader::TakeRound).
constexpr UINT kMsgUiaRound = WM_APP + 10;

class MainWindow {
public:
    explicit MainWindow(ISpeechEngine& speech);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the window with its tray icon and runs FormCreate; then shows the window when
    // show is set and start-up did not end hidden in the tray.
    bool Create(HINSTANCE instance, bool show);
    // Once the message loop has ended: FormDestroy under the default error handler (an
    // error is shown and the program still ends), then the window goes.
    void Destroy();
    HWND Handle() const { return hwnd_; }
    TFmain& Form() { return *form_; }
    // The system's dpi the window was laid out for.
    int Dpi() const { return scale_.dpi; }
    HMENU TrayMenu() const { return popupMenu_.get(); }
    // The hidden window that hears the shell about the tray icon.
    HWND TrayWindow() const { return trayPeer_ ? trayPeer_->Handle() : nullptr; }

private:
    static LRESULT CALLBACK WndProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK PageProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
    void CreateControls(HINSTANCE instance);
    UniqueMenu CreateMenus();
    HWND AddControl(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h, int id);
    void OnCommand(int id, int code, HWND ctl);
    void OnHScroll(HWND ctl);
    void ShowOptions();
    void ShowLogProgress(LogWork work, std::size_t done, std::size_t total);

    Win32CodePage codePage_;
    Win32ChatWindows chatWindows_;
    RichEditLog log_;
    Win32PathPlatform paths_;
    Win32ProfileStrings profile_;
    Win32Registry registry_;
    Win32OsVersion osVersion_;
    RichEditDocument logDocument_;
    Win32Files files_;
    Win32MessageBoxes boxes_{hwnd_};
    Win32Shell shell_{hwnd_};
    Win32HotKeys hotkeys_{hwnd_};
    Win32UiaReader uia_;
    Win32FriendVoicesDialog friendVoices_{hwnd_, codePage_};
    std::unique_ptr<TFmain> form_;
    HWND hwnd_ = nullptr;
    HWND tabs_ = nullptr;
    HWND status_ = nullptr;
    // A quit that came while a log command let the window answer: the loop ends after it.
    bool quitAsked_ = false;
    int quitCode_ = 0;
    static constexpr int kPageCount = 3;  // "消息", "选项", "朗读方式"
    HWND pages_[kPageCount] = {};
    TDpiScale scale_;
    UniqueMenu popupMenu_;  // the menu bar belongs to the window, this one to us
    UniqueFont font_;
    UniqueFont logFont_;
    std::vector<std::shared_ptr<void>> controlPeers_;  // the options page's, of their several kinds
    std::unique_ptr<TimerPeer> timer2Peer_, timer3Peer_, timerWavPeer_, timerSpeechPeer_, timerUiaPeer_;
    std::vector<std::unique_ptr<MenuItemPeer>> menuPeers_;
    std::unique_ptr<PopupMenuPeer> popupPeer_;
    std::unique_ptr<FormPeer> formPeer_;
    std::unique_ptr<PageControlPeer> pagesPeer_;
    UniqueIcon trayImage_;  // before the tray icon's peer, which shows it and must go first
    std::unique_ptr<TrayIconPeer> trayPeer_;
    MousePeer mousePeer_;
    FileDialogPeer dialogPeer_{hwnd_};
};
