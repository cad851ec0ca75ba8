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

// The options page, control by control in creation (and so tab) order, in page coordinates at
// 96 dpi. Group box contents are children of the page, not of the box, so their notifications
// reach one procedure. A control bound to a component gets its peer from this row, and its
// notifications go to that component, the kind of component saying how.
using F = TFmain;
using Component = std::variant<std::monostate, TCheckBox F::*, TButton F::*, TComboBox F::*, TTrackBar F::*,
                               TLabel F::*, TEdit F::*>;

// A Page row creates nothing: the rows after it go on the next tab's page.
struct OptionControl {
    enum Kind { Group, Text, Check, Push, Combo, Track, Edit, Number, Page } kind;
    const char16_t* caption;
    int x, y, w, h;
    int id = -1;
    Component component = {};
};

// The reading options stand in two columns: the left ends exactly where the right begins (148).
// CBFriend is 136 wide rather than 150, which would carry it across the group box's right edge.
const OptionControl kOptionControls[] = {
    {OptionControl::Group, texts::kGroupReading, 12, 3, 277, 82},
    {OptionControl::Check, texts::kReadOwnMessages, 26, 28, 103, 17, IDC_CBME, &F::CBMe},
    {OptionControl::Check, texts::kReadFriendMessages, 148, 28, 136, 17, IDC_CBFRIEND, &F::CBFriend},
    {OptionControl::Check, texts::kReadOwnName, 26, 53, 122, 17, IDC_CBMYNAME, &F::CBmyname},
    {OptionControl::Check, texts::kReadFriendName, 148, 53, 134, 17, IDC_CBFRIENDSNAME, &F::CBFriendsname},

    {OptionControl::Group, texts::kGroupOwnVoice, 12, 91, 277, 141},
    {OptionControl::Text, texts::kVoiceLabel, 21, 118, 40, 13},
    {OptionControl::Combo, u"", 80, 115, 176, 200, IDC_CBVOICE, &F::CBVoice},
    {OptionControl::Text, texts::kRateLabel, 21, 150, 40, 13},
    {OptionControl::Track, u"", 76, 146, 164, 28, IDC_TRATE, &F::TRate},
    {OptionControl::Text, u"", 251, 145, 30, 13, IDC_LRATE, &F::LRate},
    {OptionControl::Text, texts::kVolumeLabel, 21, 182, 40, 13},
    {OptionControl::Track, u"", 75, 176, 164, 28, IDC_TVOLUME, &F::TVolume},
    {OptionControl::Text, u"", 249, 180, 30, 13, IDC_LVOLUME, &F::LVolume},
    {OptionControl::Push, texts::kDefaultButton, 116, 207, 75, 22, IDC_BTNDEFAULT1, &F::BtnDefault1},

    {OptionControl::Group, texts::kGroupFriendVoice, 12, 239, 277, 142},
    {OptionControl::Text, texts::kVoiceLabel, 21, 266, 40, 13},
    {OptionControl::Combo, u"", 80, 263, 176, 200, IDC_CBVOICE1, &F::CBVoice1},
    {OptionControl::Text, texts::kRateLabel, 21, 294, 40, 13},
    {OptionControl::Track, u"", 75, 290, 165, 28, IDC_TRATE1, &F::TRate1},
    {OptionControl::Text, u"", 246, 293, 30, 13, IDC_LRATE1, &F::LRate1},
    {OptionControl::Text, texts::kVolumeLabel, 21, 330, 40, 13},
    {OptionControl::Track, u"", 75, 324, 165, 28, IDC_TVOLUME1, &F::TVolume1},
    {OptionControl::Text, u"", 246, 328, 30, 13, IDC_LVOLUME1, &F::LVolume1},
    {OptionControl::Push, texts::kDefaultButton, 116, 356, 75, 21, IDC_BTNDEFAULT2, &F::BtnDefault2},

    {OptionControl::Text, texts::kDownloadHint, 3, 391, 300, 13},
    {OptionControl::Push, texts::kDownloadButton, 26, 415, 247, 25, IDC_BDOWNLOAD, &F::BDownload},
    {OptionControl::Text, texts::kDownloadAfter, 3, 453, 300, 13},

    {OptionControl::Page, u"", 0, 0, 0, 0},
    {OptionControl::Group, texts::kGroupWhichMessages, 12, 3, 277, 108},
    {OptionControl::Check, texts::kReadAll, 26, 26, 250, 17, IDC_CBREADALL, &F::CBReadAll},
    {OptionControl::Check, texts::kReadBackground, 26, 49, 250, 17, IDC_CBBACKGROUND, &F::CBBackground},
    {OptionControl::Text, texts::kMyNick, 26, 79, 62, 13},
    {OptionControl::Edit, u"", 92, 76, 184, 20, IDC_EDITMYNICK, &F::EditMyNick},
    {OptionControl::Group, texts::kGroupWhatIsSpoken, 12, 119, 277, 170},
    {OptionControl::Check, texts::kNoLinks, 26, 142, 250, 17, IDC_CBNOLINKS, &F::CBNoLinks},
    {OptionControl::Check, texts::kSqueeze, 26, 165, 250, 17, IDC_CBSQUEEZE, &F::CBSqueeze},
    {OptionControl::Text, texts::kMaxLenBefore, 26, 195, 62, 13},
    {OptionControl::Number, u"", 92, 192, 44, 20, IDC_EDITMAXLEN, &F::EditMaxLen},
    {OptionControl::Text, texts::kMaxLenAfter, 142, 195, 140, 13},
    {OptionControl::Text, texts::kMute, 26, 224, 250, 13},
    {OptionControl::Edit, u"", 26, 241, 250, 20, IDC_EDITMUTE, &F::EditMute},
    {OptionControl::Text, texts::kMuteHint, 26, 266, 250, 13},
    {OptionControl::Check, texts::kReadWeChat, 26, 299, 250, 17, IDC_CBWECHAT, &F::CBWeChat},
    {OptionControl::Check, texts::kAutoVoice, 26, 322, 250, 17, IDC_CBAUTOVOICE, &F::CBAutoVoice},
    {OptionControl::Push, texts::kFriendVoicesButton, 26, 346, 120, 23, IDC_BFRIENDVOICES, &F::BFriendVoices},
};

const OptionControl* FindOptionControl(int id) {
    for (const OptionControl& c : kOptionControls)
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

    // "选项" and "朗读方式": their controls from the layout table, bound to their components.
    int page = 1;
    for (const OptionControl& c : kOptionControls) {
        if (c.kind == OptionControl::Page) {
            ++page;
            continue;
        }
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
        HWND h = AddControl(pages_[page], kind.cls, W(c.caption), kind.style, c.x, c.y, c.w, c.h, c.id);
        auto bind = [&](auto& component, auto peer) {
            component.AttachPeer(peer.get());
            controlPeers_.push_back(std::move(peer));
        };
        if (auto* check = std::get_if<TCheckBox F::*>(&c.component)) bind(f.*(*check), std::make_shared<CheckBoxPeer>(h));
        if (auto* list = std::get_if<TComboBox F::*>(&c.component)) bind(f.*(*list), std::make_shared<ComboBoxPeer>(h));
        if (auto* track = std::get_if<TTrackBar F::*>(&c.component)) bind(f.*(*track), std::make_shared<TrackBarPeer>(h));
        if (auto* label = std::get_if<TLabel F::*>(&c.component)) bind(f.*(*label), std::make_shared<LabelPeer>(h));
        if (auto* edit = std::get_if<TEdit F::*>(&c.component)) bind(f.*(*edit), std::make_shared<EditPeer>(h));
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
        if (auto* check = std::get_if<TCheckBox F::*>(&c->component); check && code == BN_CLICKED)
            (f.*(*check)).UserToggled(SendMessageW(ctl, BM_GETCHECK, 0, 0) == BST_CHECKED);
        else if (auto* button = std::get_if<TButton F::*>(&c->component); button && code == BN_CLICKED)
            (f.*(*button)).UserClick();
        else if (auto* list = std::get_if<TComboBox F::*>(&c->component); list && code == CBN_SELCHANGE)
            (f.*(*list)).UserSelected(static_cast<int>(SendMessageW(ctl, CB_GETCURSEL, 0, 0)));
        else if (list && code == CBN_EDITCHANGE)
            (f.*(*list)).UserEdited(ComboBoxPeer(ctl).EditText());
        else if (auto* edit = std::get_if<TEdit F::*>(&c->component); edit && code == EN_CHANGE)
            (f.*(*edit)).UserEdited(EditPeer(ctl).Text());
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

void MainWindow::OnHScroll(HWND ctl) {
    const OptionControl* c = FindOptionControl(GetDlgCtrlID(ctl));
    auto* track = c ? std::get_if<TTrackBar F::*>(&c->component) : nullptr;
    if (track) ((*form_).*(*track)).UserMoved(static_cast<int>(SendMessageW(ctl, TBM_GETPOS, 0, 0)));
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
