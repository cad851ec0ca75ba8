// The Win32 main window of Sonvira; see fmain_win.h.
#include "app/fmain_win.h"

#include <commctrl.h>

#include "res/resource.h"
#include "ui/application.h"
#include "win/window_object.h"

namespace {

constexpr int kClientWidth = 305;
constexpr int kClientHeight = 546;
constexpr int kStatusHeight = 19;
const wchar_t kMainClass[] = L"TFmain";
const wchar_t kPageClass[] = L"TTabSheet";
const wchar_t kStatusText[] = L"  Sonvira：即时朗读QQ消息，让你的QQ会说话！";

HFONT MakeFont(const wchar_t* face, int height, BYTE charset) {
    return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, charset, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

}  // namespace

MainWindow::MainWindow(ISpeechEngine& speech)
    : form_(std::make_unique<TFmain>(TFmainServices{chatWindows_, codePage_, speech, log_, paths_, profile_, registry_,
                                                    osVersion_, logDocument_, files_, boxes_, shell_})) {}

MainWindow::~MainWindow() {
    // The peers point at windows that are about to go: detach (which stops the platform
    // timers) before anything is destroyed. The tray icon leaves the notification area with
    // its peer.
    TFmain& f = *form_;
    f.Timer2.AttachPeer(nullptr);
    f.Timer3.AttachPeer(nullptr);
    f.TimerWav.AttachPeer(nullptr);
    f.TrayIcon1.AttachPeer(nullptr);
    trayPeer_.reset();
    if (trayImage_) DestroyIcon(trayImage_);
    f.PopupMenu1.AttachPeer(nullptr);
    for (const TMenuRow& row : TFmain::MenuRows())
        if (row.item) (f.*row.item).AttachPeer(nullptr);
    f.Window.AttachPeer(nullptr);
    f.PageControl1.AttachPeer(nullptr);
    Mouse.AttachPeer(nullptr);
    if (hwnd_) DestroyWindow(hwnd_);
    if (popupMenu_) DestroyMenu(popupMenu_);
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
    hwnd_ = CreateWindowExW(0, kMainClass, L"Sonvira", style, 0, 0, w, h, nullptr, CreateMenus(), instance, this);
    if (!hwnd_) return false;
    // A menu bar that wraps takes room from the client area: give it back.
    RECT client;
    GetClientRect(hwnd_, &client);
    w += clientWidth - client.right;
    h += clientHeight - client.bottom;
    int x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
    SetWindowPos(hwnd_, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);

    font_.reset(MakeFont(L"Tahoma", scale_(-11), DEFAULT_CHARSET));
    logFont_.reset(MakeFont(L"Tahoma", scale_(-11), GB2312_CHARSET));
    CreateControls(instance);

    TFmain& f = *form_;
    // The tray menu's commands come to this window like the menu bar's.
    popupPeer_ = std::make_unique<PopupMenuPeer>(popupMenu_, hwnd_);
    f.PopupMenu1.AttachPeer(popupPeer_.get());
    formPeer_ = std::make_unique<FormPeer>(hwnd_);
    f.Window.AttachPeer(formPeer_.get());
    Mouse.AttachPeer(&mousePeer_);
    trayImage_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_SONVIRA), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    trayPeer_ = std::make_unique<TrayIconPeer>(f.TrayIcon1, instance, trayImage_, hwnd_);
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

HMENU MainWindow::CreateMenus() {
    TFmain& f = *form_;
    HMENU bar = CreateMenu();
    popupMenu_ = CreatePopupMenu();
    HMENU submenu = nullptr;
    for (const TMenuRow& row : TFmain::MenuRows()) {
        HMENU into = row.menu == TMenuRow::PopupMenu1 ? popupMenu_ : row.inSubmenu ? submenu : bar;
        const auto* caption = reinterpret_cast<const wchar_t*>(row.caption);
        if (!row.item) {
            AppendMenuW(into, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const bool opensSubmenu = row.menu == TMenuRow::MainMenu1 && !row.inSubmenu;
        if (opensSubmenu) {
            submenu = CreatePopupMenu();
            AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(submenu), caption);
            continue;
        }
        AppendMenuW(into, MF_STRING, static_cast<UINT_PTR>(row.command), caption);
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
    const wchar_t* tabNames[] = {L"消息", L"选项"};
    for (int i = 0; i < 2; ++i) {
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(tabNames[i]);
        SendMessageW(tabs_, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    RECT area;
    GetClientRect(tabs_, &area);
    SendMessageW(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    for (int i = 0; i < 2; ++i) {
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
    for (TFileDialog* d : {&f.OpenDialog1, &f.SaveDialog1, &f.SaveDialogWav}) d->AttachPeer(&dialogPeer_);

    // "选项": the layout table of the options page. Group box contents are children of the
    // page (offset by the box's position), so their notifications reach one procedure.
    HWND p = pages_[1];
    const DWORD check = BS_AUTOCHECKBOX | WS_TABSTOP;
    const DWORD track = TBS_HORZ | TBS_NOTICKS | WS_TABSTOP;
    const DWORD combo = CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP;
    auto label = [&](HWND parent, const wchar_t* text, int x, int y, int w, int id) {
        return AddControl(parent, WC_STATICW, text, SS_LEFT, x, y, w, 13, id);
    };
    auto group = [&](const wchar_t* text, int x, int y, int w, int h) {
        AddControl(p, WC_BUTTONW, text, BS_GROUPBOX, x, y, w, h, -1);
        return POINT{x, y};
    };
    auto bindCheck = [&](TCheckBox& c, HWND h) {
        checkPeers_.push_back(std::make_unique<CheckBoxPeer>(h));
        c.AttachPeer(checkPeers_.back().get());
    };
    auto bindTrack = [&](TTrackBar& t, HWND h) {
        trackPeers_.push_back(std::make_unique<TrackBarPeer>(h));
        t.AttachPeer(trackPeers_.back().get());
    };
    auto bindLabel = [&](TLabel& l, HWND h) {
        labelPeers_.push_back(std::make_unique<LabelPeer>(h));
        l.AttachPeer(labelPeers_.back().get());
    };

    // Two columns: the left ends exactly where the right begins (14 + 122 = 136). CBFriend is
    // 136 wide rather than 150, which would carry it across the group box's right edge.
    POINT g3 = group(L"朗读设置", 12, 3, 277, 82);
    bindCheck(f.CBMe, AddControl(p, WC_BUTTONW, L"朗读自己的消息", check, g3.x + 14, g3.y + 25, 103, 17, IDC_CBME));
    bindCheck(f.CBFriend, AddControl(p, WC_BUTTONW, L"朗读好友的消息", check, g3.x + 136, g3.y + 25, 136, 17, IDC_CBFRIEND));
    bindCheck(f.CBmyname, AddControl(p, WC_BUTTONW, L"朗读自己的昵称", check, g3.x + 14, g3.y + 50, 122, 17, IDC_CBMYNAME));
    bindCheck(f.CBFriendsname, AddControl(p, WC_BUTTONW, L"朗读好友的昵称", check, g3.x + 136, g3.y + 50, 134, 17, IDC_CBFRIENDSNAME));

    struct ProfileRows {
        const wchar_t* caption;
        int top, height;
        TComboBox& list;
        TTrackBar& rate;
        TLabel& rateLabel;
        TTrackBar& volume;
        TLabel& volumeLabel;
        int rateY, rateX, rateW, rateLabelX, volX, volW, volLabelX, btnY, btnH;
        int idVoice, idRate, idLRate, idVolume, idLVolume, idButton;
        std::unique_ptr<ComboBoxPeer>& comboPeer;
    };
    ProfileRows rows[] = {
        {L"我的引擎设置", 91, 141, f.CBVoice, f.TRate, f.LRate, f.TVolume, f.LVolume, 59, 64, 164, 239, 63, 164, 237, 116,
         22, IDC_CBVOICE, IDC_TRATE, IDC_LRATE, IDC_TVOLUME, IDC_LVOLUME, IDC_BTNDEFAULT1, voicePeer_},
        {L"好友的引擎设置", 239, 142, f.CBVoice1, f.TRate1, f.LRate1, f.TVolume1, f.LVolume1, 55, 63, 165, 234, 63, 165,
         234, 117, 21, IDC_CBVOICE1, IDC_TRATE1, IDC_LRATE1, IDC_TVOLUME1, IDC_LVOLUME1, IDC_BTNDEFAULT2, voice1Peer_},
    };
    for (auto& r : rows) {
        POINT g = group(r.caption, 12, r.top, 277, r.height);
        label(p, L"引擎:", g.x + 9, g.y + 27, 40, -1);
        HWND cb = AddControl(p, WC_COMBOBOXW, L"", combo, g.x + 68, g.y + 24, 176, 200, r.idVoice);
        r.comboPeer = std::make_unique<ComboBoxPeer>(cb);
        r.list.AttachPeer(r.comboPeer.get());
        label(p, L"语速:", g.x + 9, g.y + r.rateY, 40, -1);
        bindTrack(r.rate, AddControl(p, TRACKBAR_CLASSW, L"", track, g.x + r.rateX, g.y + r.rateY - 4, r.rateW, 28, r.idRate));
        bindLabel(r.rateLabel, label(p, L"", g.x + r.rateLabelX, g.y + 54, 30, r.idLRate));
        label(p, L"音量:", g.x + 9, g.y + 91, 40, -1);
        bindTrack(r.volume, AddControl(p, TRACKBAR_CLASSW, L"", track, g.x + r.volX, g.y + 85, r.volW, 28, r.idVolume));
        bindLabel(r.volumeLabel, label(p, L"", g.x + r.volLabelX, g.y + 89, 30, r.idLVolume));
        AddControl(p, WC_BUTTONW, L"默认", BS_PUSHBUTTON | WS_TABSTOP, g.x + 104, g.y + r.btnY, 75, r.btnH, r.idButton);
    }

    label(p, L"如果想让软件有更丰富的中英文发音，请下载语音引擎。", 3, 391, 300, -1);
    AddControl(p, WC_BUTTONW, L"开始下载语音引擎", BS_PUSHBUTTON | WS_TABSTOP, 26, 415, 247, 25, IDC_BDOWNLOAD);
    label(p, L"下载安装完毕引擎后，重新启动软件即可在此设置引擎。", 3, 453, 300, -1);

    HWND status = CreateWindowExW(0, STATUSCLASSNAMEW, kStatusText, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, hwnd_,
                                  reinterpret_cast<HMENU>(IDC_STATUSBAR), instance, nullptr);
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

    pagesPeer_ = std::make_unique<PageControlPeer>(tabs_, pages_[0], pages_[1]);
    f.PageControl1.AttachPeer(pagesPeer_.get());
}

void MainWindow::OnCommand(int id, int code, HWND ctl) {
    TFmain& f = *form_;
    auto checked = [ctl] { return SendMessageW(ctl, BM_GETCHECK, 0, 0) == BST_CHECKED; };
    switch (id) {
        case IDC_CBME: if (code == BN_CLICKED) f.CBMe.UserToggled(checked()); break;
        case IDC_CBFRIEND: if (code == BN_CLICKED) f.CBFriend.UserToggled(checked()); break;
        case IDC_CBMYNAME: if (code == BN_CLICKED) f.CBmyname.UserToggled(checked()); break;
        case IDC_CBFRIENDSNAME: if (code == BN_CLICKED) f.CBFriendsname.UserToggled(checked()); break;
        case IDC_BTNDEFAULT1: if (code == BN_CLICKED) f.BtnDefault1.UserClick(); break;
        case IDC_BTNDEFAULT2: if (code == BN_CLICKED) f.BtnDefault2.UserClick(); break;
        case IDC_BDOWNLOAD: if (code == BN_CLICKED) f.BDownload.UserClick(); break;
        case IDC_CBVOICE:
        case IDC_CBVOICE1: {
            TComboBox& list = id == IDC_CBVOICE ? f.CBVoice : f.CBVoice1;
            ComboBoxPeer& peer = id == IDC_CBVOICE ? *voicePeer_ : *voice1Peer_;
            if (code == CBN_SELCHANGE) list.UserSelected(static_cast<int>(SendMessageW(ctl, CB_GETCURSEL, 0, 0)));
            else if (code == CBN_EDITCHANGE) list.UserEdited(peer.EditText());
            break;
        }
        default:
            for (const TMenuRow& row : TFmain::MenuRows()) {
                if (row.item && row.command == id) {
                    (f.*row.item).UserClick();
                    break;
                }
            }
            break;
    }
}

void MainWindow::OnHScroll(HWND ctl) {
    TFmain& f = *form_;
    int pos = static_cast<int>(SendMessageW(ctl, TBM_GETPOS, 0, 0));
    switch (GetDlgCtrlID(ctl)) {
        case IDC_TRATE: f.TRate.UserMoved(pos); break;
        case IDC_TRATE1: f.TRate1.UserMoved(pos); break;
        case IDC_TVOLUME: f.TVolume.UserMoved(pos); break;
        case IDC_TVOLUME1: f.TVolume1.UserMoved(pos); break;
        default: break;
    }
}

LRESULT MainWindow::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_TIMER:
            if (wp == kTimer2Id) form_->Timer2.Tick();
            else if (wp == kTimer3Id) form_->Timer3.Tick();
            else if (wp == kTimerWavId) form_->TimerWav.Tick();
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
            OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
            return 0;
        case WM_HSCROLL:
            if (lp) OnHScroll(reinterpret_cast<HWND>(lp));
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
