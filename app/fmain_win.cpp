// The Win32 main window of Sonvira; see fmain_win.h.
#include "app/fmain_win.h"

#include <commctrl.h>

#include <variant>

#include "app/identity_win.h"
#include "capture/uia_element_win.h"
#include "base/string_table.h"
#include "res/resource.h"
#include "ui/application.h"
#include "win/window_object.h"

namespace {

constexpr int kClientWidth = 305;
constexpr int kClientHeight = 546;
constexpr int kStatusHeight = 19;
const wchar_t* const kMainClass = kMainWindowClass;
const wchar_t kPageClass[] = L"TTabSheet";

const wchar_t* W(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }

HFONT MakeFont(const wchar_t* face, int height, BYTE charset) {
    return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, charset, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

using C = OptionControl;
using F = TFmain;

// The reading options stand in two columns: the left ends exactly where the right begins (148).
// CBFriend is 136 wide rather than 150, which would carry it across the group box's right edge.
const OptionControl kReadingGroup[] = {
    {1, C::Group, texts::kGroupReading, 12, 3, 277, 82},
    {1, C::Check, texts::kReadOwnMessages, 26, 28, 103, 17, IDC_CBME, &TSettings::cbme},
    {1, C::Check, texts::kReadFriendMessages, 148, 28, 136, 17, IDC_CBFRIEND, &TSettings::cbfriend},
    {1, C::Check, texts::kReadOwnName, 26, 53, 122, 17, IDC_CBMYNAME, &TSettings::cbmyname},
    {1, C::Check, texts::kReadFriendName, 148, 53, 134, 17, IDC_CBFRIENDSNAME, &TSettings::cbfriendsname},
};

// One voice profile's block, from its group box's top; a profile's ids are the own profile's
// plus kProfileIdStride for each profile before it.
constexpr int kProfileIdStride = IDC_CBVOICE1 - IDC_CBVOICE;
const OptionControl kProfileBlock[] = {
    {1, C::Group, nullptr, 12, 0, 277, 141},
    {1, C::Text, texts::kVoiceLabel, 21, 27, 40, 13},
    {1, C::Combo, u"", 80, 24, 176, 200, IDC_CBVOICE, &VoiceProfile::CBVoice},
    {1, C::Text, texts::kRateLabel, 21, 59, 40, 13},
    {1, C::Track, u"", 76, 55, 164, 28, IDC_TRATE, &VoiceProfile::TRate},
    {1, C::Text, u"", 251, 54, 30, 13, IDC_LRATE, &VoiceProfile::LRate},
    {1, C::Text, texts::kVolumeLabel, 21, 91, 40, 13},
    {1, C::Track, u"", 75, 85, 164, 28, IDC_TVOLUME, &VoiceProfile::TVolume},
    {1, C::Text, u"", 249, 89, 30, 13, IDC_LVOLUME, &VoiceProfile::LVolume},
    {1, C::Push, texts::kDefaultButton, 116, 116, 75, 22, IDC_BTNDEFAULT1, &VoiceProfile::BtnDefault},
};
struct ProfileBlock {
    const char16_t* caption;
    int top;
};
const ProfileBlock kProfileBlocks[kProfileCount] = {{texts::kGroupOwnVoice, 91}, {texts::kGroupFriendVoice, 239}};

const OptionControl kAfterProfiles[] = {
    {1, C::Text, texts::kDownloadHint, 3, 391, 300, 13},
    {1, C::Push, texts::kDownloadButton, 26, 415, 247, 25, IDC_BDOWNLOAD, &F::BDownload},
    {1, C::Text, texts::kDownloadAfter, 3, 453, 300, 13},

    {2, C::Group, texts::kGroupWhichMessages, 12, 3, 277, 108},
    {2, C::Check, texts::kReadAll, 26, 26, 250, 17, IDC_CBREADALL, &TSettings::readall},
    {2, C::Check, texts::kReadBackground, 26, 49, 250, 17, IDC_CBBACKGROUND, &TSettings::background},
    {2, C::Text, texts::kMyNick, 26, 79, 62, 13},
    {2, C::Edit, u"", 92, 76, 184, 20, IDC_EDITMYNICK, &TSettings::mynick},
    {2, C::Group, texts::kGroupWhatIsSpoken, 12, 119, 277, 170},
    {2, C::Check, texts::kNoLinks, 26, 142, 250, 17, IDC_CBNOLINKS, &TSettings::noLinks},
    {2, C::Check, texts::kSqueeze, 26, 165, 250, 17, IDC_CBSQUEEZE, &TSettings::squeeze},
    {2, C::Text, texts::kMaxLenBefore, 26, 195, 62, 13},
    {2, C::Number, u"", 92, 192, 44, 20, IDC_EDITMAXLEN, &TSettings::maxLength},
    {2, C::Text, texts::kMaxLenAfter, 142, 195, 140, 13},
    {2, C::Text, texts::kMute, 26, 224, 250, 13},
    {2, C::Edit, u"", 26, 241, 250, 20, IDC_EDITMUTE, &TSettings::mute},
    {2, C::Text, texts::kMuteHint, 26, 266, 250, 13},
    {2, C::Check, texts::kReadWeChat, 26, 299, 250, 17, IDC_CBWECHAT, &TSettings::wechat},
    {2, C::Check, texts::kAutoVoice, 26, 322, 250, 17, IDC_CBAUTOVOICE, &TSettings::autovoice},
    {2, C::Push, texts::kFriendVoicesButton, 26, 346, 120, 23, IDC_BFRIENDVOICES, &F::BFriendVoices},
};

}  // namespace

const std::vector<OptionControl>& OptionControls() {
    static const std::vector<OptionControl> rows = [] {
        std::vector<OptionControl> all(std::begin(kReadingGroup), std::end(kReadingGroup));
        for (int p = 0; p < kProfileCount; ++p) {
            for (OptionControl c : kProfileBlock) {
                c.y += kProfileBlocks[p].top;
                if (c.kind == C::Group) c.caption = kProfileBlocks[p].caption;
                if (c.id != -1) c.id += p * kProfileIdStride;
                if (c.binding.index() != 0) c.profile = p;
                all.push_back(c);
            }
        }
        all.insert(all.end(), std::begin(kAfterProfiles), std::end(kAfterProfiles));
        return all;
    }();
    return rows;
}

namespace {

const OptionControl* FindOptionControl(int id) {
    for (const OptionControl& c : OptionControls())
        if (c.id == id && c.id != -1) return &c;
    return nullptr;
}

}  // namespace

MainWindow::MainWindow(ISpeechEngine& speech)
    : uia_([]() -> std::unique_ptr<IUiaTree> { return Win32UiaTree::Create(); }),
      form_(std::make_unique<TFmain>(TFmainServices{chatWindows_, codePage_, speech, log_, paths_, profile_, registry_,
                                                    osVersion_, logDocument_, files_, boxes_, shell_, &uia_,
                                                    &hotkeys_, &friendVoices_})) {}

MainWindow::~MainWindow() {
    // The peers point at windows that are about to go: detach (which stops the platform
    // timers) before anything is destroyed. The tray icon leaves the notification area with
    // its peer.
    TFmain& f = *form_;
    f.Timer2.AttachPeer(nullptr);
    f.Timer3.AttachPeer(nullptr);
    f.TimerWav.AttachPeer(nullptr);
    f.TimerSpeech.AttachPeer(nullptr);
    f.TimerUia.AttachPeer(nullptr);
    f.TrayIcon1.AttachPeer(nullptr);
    trayPeer_.reset();
    f.PopupMenu1.AttachPeer(nullptr);
    for (const TMenuRow& row : TFmain::MenuRows())
        if (row.item) (f.*row.item).AttachPeer(nullptr);
    f.Window.AttachPeer(nullptr);
    f.PageControl1.AttachPeer(nullptr);
    Mouse.AttachPeer(nullptr);
    if (hwnd_) DestroyWindow(hwnd_);
}

bool MainWindow::Create(HINSTANCE instance, bool show) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_SONVIRA));
    wc.hIconSm = wc.hIcon;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kMainClass;
    RegisterClassExW(&wc);

    WNDCLASSEXW pc = wc;
    pc.lpfnWndProc = PageProc;
    pc.hIcon = pc.hIconSm = nullptr;
    pc.lpszClassName = kPageClass;
    RegisterClassExW(&pc);

    HDC screen = GetDC(nullptr);
    scale_.dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);

    // Fixed single border with the system menu and the close button only.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const int clientWidth = scale_(kClientWidth), clientHeight = scale_(kClientHeight);
    RECT r = {0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&r, style, TRUE, 0);
    int w = r.right - r.left, h = r.bottom - r.top;
    UniqueMenu bar = CreateMenus();
    hwnd_ = CreateWindowExW(0, kMainClass, W(texts::kProgramName), style, 0, 0, w, h, nullptr, bar.get(), instance,
                            this);
    // The window's now, and it goes with the window. A creation that failed may have given it
    // to the window already and destroyed both: a leak on that path beats a second DestroyMenu.
    bar.release();
    if (!hwnd_) return false;
    uia_.SetTarget(hwnd_, kMsgUiaRound);
    // A menu bar that wraps takes room from the client area: give it back.
    RECT client;
    GetClientRect(hwnd_, &client);
    w += clientWidth - client.right;
    h += clientHeight - client.bottom;
    int x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
    SetWindowPos(hwnd_, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);

    font_.reset(MakeFont(L"Tahoma", scale_(-11), DEFAULT_CHARSET));
    logFont_.reset(MakeFont(L"Tahoma", scale_(-11), GB2312_CHARSET));
    friendVoices_.Style(font_.get(), scale_);
    CreateControls(instance);

    TFmain& f = *form_;
    // The tray menu's commands come to this window like the menu bar's.
    popupPeer_ = std::make_unique<PopupMenuPeer>(popupMenu_.get(), hwnd_);
    f.PopupMenu1.AttachPeer(popupPeer_.get());
    formPeer_ = std::make_unique<FormPeer>(hwnd_);
    f.Window.AttachPeer(formPeer_.get());
    Mouse.AttachPeer(&mousePeer_);
    trayImage_.reset(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_SONVIRA), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
    trayPeer_ = std::make_unique<TrayIconPeer>(f.TrayIcon1, instance, trayImage_.get(), hwnd_);
    f.TrayIcon1.AttachPeer(trayPeer_.get());

    // A start-up error is shown and the program goes on, as the framework's does: FormCreate
    // then never reached the hidden start, so the window opens visibly.
    Application.Dispatch([this] { form_->FormCreate(); });
    ShowOptions();
    if (show && f.Window.WindowState() == TWindowState::wsNormal) {
        f.Window.Show();
        UpdateWindow(hwnd_);
    }
    return true;
}

void MainWindow::Destroy() {
    Application.Dispatch([this] { form_->FormDestroy(); });
    if (hwnd_) DestroyWindow(hwnd_);
}

UniqueMenu MainWindow::CreateMenus() {
    TFmain& f = *form_;
    UniqueMenu bar(CreateMenu());
    popupMenu_.reset(CreatePopupMenu());
    HMENU submenu = nullptr;
    for (const TMenuRow& row : TFmain::MenuRows()) {
        HMENU into = row.menu == TMenuRow::PopupMenu1 ? popupMenu_.get() : row.inSubmenu ? submenu : bar.get();
        if (!row.item) {
            AppendMenuW(into, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const bool opensSubmenu = row.menu == TMenuRow::MainMenu1 && !row.inSubmenu;
        if (opensSubmenu) {
            submenu = CreatePopupMenu();
            AppendMenuW(bar.get(), MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(submenu), W(row.caption));
            continue;
        }
        AppendMenuW(into, MF_STRING, static_cast<UINT_PTR>(row.command), W(MenuText(row).c_str()));
        menuPeers_.push_back(std::make_unique<MenuItemPeer>(into, static_cast<UINT>(row.command)));
        (f.*row.item).AttachPeer(menuPeers_.back().get());
    }
    return bar;
}

HWND MainWindow::AddControl(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y,
                            int w, int h, int id) {
    HWND c = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, scale_(x), scale_(y), scale_(w), scale_(h),
                             parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                             nullptr);
    SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    return c;
}

void MainWindow::CreateControls(HINSTANCE instance) {
    TFmain& f = *form_;
    const int pageHeight = kClientHeight - kStatusHeight;

    tabs_ = AddControl(hwnd_, WC_TABCONTROLW, L"", WS_CLIPSIBLINGS, 0, 0, kClientWidth, pageHeight, IDC_PAGECONTROL);
    const char16_t* tabNames[] = {texts::kTabMessages, texts::kTabOptions, texts::kTabReading};
    for (int i = 0; i < kPageCount; ++i) {
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(W(tabNames[i]));
        SendMessageW(tabs_, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    RECT area;
    GetClientRect(tabs_, &area);
    SendMessageW(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    for (int i = 0; i < kPageCount; ++i) {
        pages_[i] = CreateWindowExW(WS_EX_CONTROLPARENT, kPageClass, L"", WS_CHILD | WS_CLIPSIBLINGS, area.left,
                                    area.top, area.right - area.left, area.bottom - area.top, hwnd_, nullptr,
                                    instance, this);
    }
    // New child windows go below their older siblings, so the tab control would lie on top
    // of the pages and, clipping its siblings, paint its empty body over them: put it under.
    SetWindowPos(tabs_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const int pw = area.right - area.left, ph = area.bottom - area.top;

    // "消息": a 1-pixel strip on the left, the log filling the rest.
    log_.Attach(CreateLogControl(pages_[0], scale_(1), 0, pw - scale_(1), ph, IDC_RICHEDIT1, logFont_.get()));
    logDocument_.Attach(log_.Handle());
    logDocument_.OnReplaced = [this](HWND fresh) { log_.Attach(fresh); };
    logDocument_.OnProgress = [this](LogWork work, std::size_t done, std::size_t total) {
        ShowLogProgress(work, done, total);
    };
    for (TFileDialog* d : {&f.OpenDialog1, &f.SaveDialog1, &f.SaveDialogWav}) d->AttachPeer(&dialogPeer_);

    // "选项" and "朗读方式": their controls from the layout table, bound to what their rows name.
    for (const OptionControl& c : OptionControls()) {
        static const struct {
            const wchar_t* cls;
            DWORD style;
        } kinds[] = {
            {WC_BUTTONW, BS_GROUPBOX},
            {WC_STATICW, SS_LEFT},
            {WC_BUTTONW, BS_AUTOCHECKBOX | WS_TABSTOP},
            {WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP},
            {WC_COMBOBOXW, CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP},
            {TRACKBAR_CLASSW, TBS_HORZ | TBS_NOTICKS | WS_TABSTOP},
            {WC_EDITW, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP},
            {WC_EDITW, ES_AUTOHSCROLL | ES_NUMBER | WS_BORDER | WS_TABSTOP},
        };
        const auto& kind = kinds[c.kind];
        HWND h = AddControl(pages_[c.page], kind.cls, W(c.caption), kind.style, c.x, c.y, c.w, c.h, c.id);
        auto bind = [&](auto* component, auto peer) {
            if (!component) return;
            component->AttachPeer(peer.get());
            controlPeers_.push_back(std::move(peer));
        };
        bind(ComponentOf<TComboBox>(f, c), std::make_shared<ComboBoxPeer>(h));
        bind(ComponentOf<TTrackBar>(f, c), std::make_shared<TrackBarPeer>(h));
        bind(ComponentOf<TLabel>(f, c), std::make_shared<LabelPeer>(h));
    }

    HWND status = CreateWindowExW(0, STATUSCLASSNAMEW, W(texts::kStatusText), WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, hwnd_,
                                  reinterpret_cast<HMENU>(IDC_STATUSBAR), instance, nullptr);
    status_ = status;
    SendMessageW(status, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    RECT client;
    GetClientRect(hwnd_, &client);
    MoveWindow(status, 0, scale_(pageHeight), client.right, client.bottom - scale_(pageHeight), FALSE);

    timer2Peer_ = std::make_unique<TimerPeer>(hwnd_, kTimer2Id);
    timer3Peer_ = std::make_unique<TimerPeer>(hwnd_, kTimer3Id);
    f.Timer2.AttachPeer(timer2Peer_.get());
    f.Timer3.AttachPeer(timer3Peer_.get());
    timerWavPeer_ = std::make_unique<TimerPeer>(hwnd_, kTimerWavId);
    f.TimerWav.AttachPeer(timerWavPeer_.get());
    timerSpeechPeer_ = std::make_unique<TimerPeer>(hwnd_, kTimerSpeechId);
    f.TimerSpeech.AttachPeer(timerSpeechPeer_.get());
    timerUiaPeer_ = std::make_unique<TimerPeer>(hwnd_, kTimerUiaId);
    f.TimerUia.AttachPeer(timerUiaPeer_.get());

    pagesPeer_ = std::make_unique<PageControlPeer>(tabs_, std::vector<HWND>(pages_, pages_ + kPageCount));
    f.PageControl1.AttachPeer(pagesPeer_.get());
}

void MainWindow::OnCommand(int id, int code, HWND ctl) {
    TFmain& f = *form_;
    if (const OptionControl* c = ctl ? FindOptionControl(id) : nullptr) {
        // A setting's control writes its change into its field; a component hears it as its own.
        const TSettingField* field = FieldOf(*c);
        TComboBox* list = ComponentOf<TComboBox>(f, *c);
        if (field && c->kind == OptionControl::Check && code == BN_CLICKED)
            f.Options.*std::get<bool TSettings::*>(*field) = SendMessageW(ctl, BM_GETCHECK, 0, 0) == BST_CHECKED;
        else if (field && code == EN_CHANGE)
            SetOptionText(f.Options, *field, WindowTextAnsi(ctl));
        else if (TButton* button = ComponentOf<TButton>(f, *c); button && code == BN_CLICKED)
            button->UserClick();
        else if (list && code == CBN_SELCHANGE)
            list->UserSelected(static_cast<int>(SendMessageW(ctl, CB_GETCURSEL, 0, 0)));
        else if (list && code == CBN_EDITCHANGE)
            list->UserEdited(ComboBoxPeer(ctl).EditText());
        return;
    }
    for (const TMenuRow& row : TFmain::MenuRows()) {
        if (row.item && row.command == id) {
            (f.*row.item).UserClick();
            return;
        }
    }
}

// A long open or save shows how far it has come and lets the window answer meanwhile: the
// queued messages run here as the message loop would run them, while the form keeps the
// log's commands and the watcher away from the log. A quit asked for meanwhile ends the
// loop once the command is done.
void MainWindow::ShowLogProgress(LogWork work, std::size_t done, std::size_t total) {
    const std::u16string text =
        work == LogWork::Done ? std::u16string(texts::kStatusText) : texts::LogProgress(work == LogWork::Saving, done, total);
    SetWindowTextW(status_, W(text.c_str()));
    if (work == LogWork::Done) return;
    UpdateWindow(status_);
    MSG msg;
    while (!quitAsked_ && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quitAsked_ = true;
            quitCode_ = static_cast<int>(msg.wParam);
        } else if (!IsDialogMessageW(hwnd_, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

// The settings' controls show what start-up read, or the defaults when it could not read.
void MainWindow::ShowOptions() {
    const TSettings& options = form_->Options;
    for (const OptionControl& c : OptionControls()) {
        const TSettingField* field = FieldOf(c);
        HWND h = field ? GetDlgItem(pages_[c.page], c.id) : nullptr;
        if (!h) continue;
        if (c.kind == OptionControl::Check)
            SendMessageW(h, BM_SETCHECK, options.*std::get<bool TSettings::*>(*field) ? BST_CHECKED : BST_UNCHECKED, 0);
        else
            SetWindowTextW(h, AnsiToWide(OptionText(options, *field)).c_str());
    }
}

void MainWindow::OnHScroll(HWND ctl) {
    const OptionControl* c = FindOptionControl(GetDlgCtrlID(ctl));
    TTrackBar* track = c ? ComponentOf<TTrackBar>(*form_, *c) : nullptr;
    if (track) track->UserMoved(static_cast<int>(SendMessageW(ctl, TBM_GETPOS, 0, 0)));
}

LRESULT MainWindow::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_TIMER:
            if (wp == kTimer2Id) form_->Timer2.Tick();
            else if (wp == kTimer3Id) form_->Timer3.Tick();
            else if (wp == kTimerWavId) form_->TimerWav.Tick();
            else if (wp == kTimerSpeechId) form_->TimerSpeech.Tick();
            else if (wp == kTimerUiaId) form_->TimerUia.Tick();
            return 0;
        case WM_NOTIFY: {
            auto* hdr = reinterpret_cast<NMHDR*>(lp);
            if (hdr->hwndFrom == tabs_ && hdr->code == TCN_SELCHANGE) {
                const int index = static_cast<int>(SendMessageW(tabs_, TCM_GETCURSEL, 0, 0));
                pagesPeer_->SetActivePage(index);
                form_->PageControl1.UserChanged(index);
            }
            return 0;
        }
        case WM_COMMAND:
        {
            struct Requit {
                MainWindow& w;
                ~Requit() {
                    if (w.quitAsked_) PostQuitMessage(w.quitCode_);
                    w.quitAsked_ = false;
                }
            } requit{*this};
            OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
            return 0;
        }
        case WM_HSCROLL:
            if (lp) OnHScroll(reinterpret_cast<HWND>(lp));
            return 0;
        case WM_HOTKEY:
            form_->WMHotKey(static_cast<int>(wp));
            return 0;
        case kMsgUiaRound:
            form_->UiaRoundDone(uia_.TakeRound(lp));
            return 0;
        case WM_ENDSESSION:
            form_->WMEndSession(wp != FALSE);
            return 0;
        case WM_SYSCOMMAND:
            if (form_->WMSysCommand(static_cast<unsigned>(wp))) return 0;
            return DefWindowProcW(hwnd_, msg, wp, lp);
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd_, msg, wp, lp);
    }
}

LRESULT CALLBACK MainWindow::WndProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    return RouteToObject(h, msg, wp, lp, &MainWindow::hwnd_, &MainWindow::Handle);
}

// Tab pages own the controls; what the controls report belongs to the main window.
LRESULT CALLBACK MainWindow::PageProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND:
        case WM_HSCROLL:
        case WM_NOTIFY:
            return SendMessageW(GetParent(h), msg, wp, lp);
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        default:
            return DefWindowProcW(h, msg, wp, lp);
    }
}
