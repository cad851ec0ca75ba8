// The stand-in chat window: takes a messenger's place beside Sonvira in tests and in the demo.
//
// It builds the window chain Sonvira reads (title -> "#32770" -> "RichEdit20A") and its own
// transcript control, registered in this process under the class name "RichEdit20A", that
// answers WM_GETTEXT in ANSI code page bytes as a chat client's control does, the zero-size
// request included. (The system's rich edit cannot stand in: under Wine it counts characters
// and cuts cross-process reads short.) A person can type a nickname and a message and press
// the send button; tests drive it with the messages in standin_protocol.h. Variants on the
// command line break the chain, hang the window or report absurd lengths. In a WeChat mode
// it is a WeChat window instead, read through UI Automation (wechat_tree.cpp).
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "tools/standin_chat/standin_protocol.h"
#include "tools/standin_chat/wechat_tree.h"

namespace {

constexpr int kIdNickname = 101;
constexpr int kIdMessage = 102;
constexpr int kIdSend = 103;
constexpr UINT_PTR kHangTimerId = 1;
constexpr UINT_PTR kChatterTimerId = 2;

struct Options {
    std::wstring title = L"与 小鱼 交谈中";
    std::wstring transcriptFile;
    bool front = false;
    bool noDialog = false;
    bool nested = false;
    bool secondControl = false;
    bool hugeLength = false;
    DWORD hangMs = 0;          // how long a hang lasts
    bool hangOnFirstRead = false;
    DWORD hangAfterMs = 0;     // 0 = no timed hang
    bool hangAfter = false;
    DWORD chatterMs = 0;       // 0 = the friend says nothing on its own
    const standin::WeChatMode* wechat = nullptr;  // nullptr = the transcript chain
    bool titleGiven = false;
    unsigned wechatItems = 0;
};

// One transcript control's text and behaviour, kept in its GWLP_USERDATA.
struct Transcript {
    std::string text;  // ANSI code page bytes, exactly as handed out
    bool hugeLength = false;
    DWORD hangOnFirstReadMs = 0;
    unsigned long sizeRequests = 0;
    unsigned long reads = 0;
};

struct App {
    Options options;
    HWND top = nullptr;
    HWND dialog = nullptr;
    HWND pane = nullptr;
    HWND control = nullptr;
    HWND decoy = nullptr;
    HWND nickname = nullptr;
    HWND message = nullptr;
    HWND send = nullptr;
    HFONT font = nullptr;
    Transcript transcript;
    Transcript decoyText;
    std::unique_ptr<wechat::Chat> wechat;
    unsigned long treeRequests = 0;  // WM_GETOBJECT for the UI Automation root
};
App g_app;

// The stand-in keeps text as a chat client on this system would: in the ANSI code page.
std::string ToAnsi(const std::wstring& w) {
    if (w.empty()) return {};
    int n = WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), &s[0], n, nullptr, nullptr);
    return s;
}

std::wstring ToWide(const std::string& s) {
    if (s.empty()) return {};
    int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), &w[0], n);
    return w;
}

std::wstring WindowTextOf(HWND h) {
    int n = GetWindowTextLengthW(h);
    std::wstring w(static_cast<std::size_t>(n) + 1, L'\0');
    GetWindowTextW(h, &w[0], n + 1);
    w.resize(wcslen(w.c_str()));
    return w;
}

// Any line break becomes CR LF, as the chat client's control hands text out.
std::string CrLf(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' || s[i] == '\n') {
            out += "\r\n";
            if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
        } else {
            out += s[i];
        }
    }
    return out;
}

void SetTranscript(std::string text) {
    g_app.transcript.text = std::move(text);
    if (g_app.control) InvalidateRect(g_app.control, nullptr, TRUE);
}

void AppendRaw(const std::string& bytes) { SetTranscript(g_app.transcript.text + bytes); }

// One message as the chat client lays it out: "nickname  HH:MM:SS", then the body.
void AppendMessage(const std::string& nickname, const std::string& body) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char time[16];
    // Midnight's hour goes down as 12, as a twelve-hour clock writes it: "00" is no hour the
    // watcher cuts a nickname at, so from 00:00 to 00:59 every sender would come out empty and
    // the tests that check who spoke would fail for an hour each night.
    const unsigned hour = now.wHour == 0 ? 12 : now.wHour;
    std::snprintf(time, sizeof time, "%02u:%02u:%02u", hour, now.wMinute, now.wSecond);
    std::string add;
    const std::string& t = g_app.transcript.text;
    if (!t.empty() && t.back() != '\n' && t.back() != '\r') add += "\r\n";
    add += nickname + "  " + time + "\r\n" + CrLf(body) + "\r\n";
    AppendRaw(add);
}

// The friend's side of a demo conversation, one line per chatter tick.
void Chatter() {
    static const wchar_t* const kLines[] = {
        L"你好，在吗？", L"今天晚上一起吃饭吧。", L"Sure, see you at 7:30.", L"好的，不见不散！"};
    static unsigned next = 0;
    AppendMessage(ToAnsi(L"小鱼"), ToAnsi(kLines[next++ % (sizeof kLines / sizeof kLines[0])]));
}

void BringToFront(HWND h) {
    if (IsIconic(h)) ShowWindow(h, SW_RESTORE);
    SetForegroundWindow(h);
}

// Sleeping on the window's own thread is what a hung client looks like from outside: no
// message of any window of this thread is answered meanwhile. A WeChat window's providers may
// be called on another thread, so they are held off too.
void HangFor(DWORD ms) {
    if (g_app.wechat) g_app.wechat->Lock();
    Sleep(ms);
    if (g_app.wechat) g_app.wechat->Unlock();
}

// The WeChat modes' history: a time line at every tenth item, friend and own messages between.
void AddHistory(unsigned count) {
    for (unsigned i = 0; i < count; ++i) {
        const std::wstring n = std::to_wstring(i);
        wchar_t time[16];
        wsprintfW(time, L"12:%02u", i / 10 % 60);
        if (i % 10 == 0) g_app.wechat->Append(L"time", L"", time);
        else if (i % 2) g_app.wechat->Append(L"friend", L"小鱼", L"消息 " + n);
        else g_app.wechat->Append(L"own", L"我", L"消息 " + n);
    }
}

// ---- the transcript control ----------------------------------------------------------------

void PaintTranscript(HWND h, const Transcript& t) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    RECT client;
    GetClientRect(h, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    HGDIOBJ old = SelectObject(dc, g_app.font);
    SetBkMode(dc, TRANSPARENT);
    const std::wstring w = ToWide(t.text);
    RECT area = client;
    InflateRect(&area, -4, -4);
    const UINT flags = DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL | DT_EXPANDTABS;
    // Keep the newest lines in view: when the text is taller than the control, it is drawn
    // from above the top so that its end sits at the bottom.
    RECT measure = area;
    DrawTextW(dc, w.c_str(), static_cast<int>(w.size()), &measure, flags | DT_CALCRECT);
    const int height = measure.bottom - measure.top;
    if (height > area.bottom - area.top) area.top = area.bottom - height;
    DrawTextW(dc, w.c_str(), static_cast<int>(w.size()), &area, flags);
    SelectObject(dc, old);
    EndPaint(h, &ps);
}

// WM_GETTEXT as the chat client's control answers it: lengths and copies in bytes.
LRESULT AnswerGetText(Transcript& t, WPARAM size, char* buffer) {
    if (t.hangOnFirstReadMs) {
        DWORD ms = t.hangOnFirstReadMs;
        t.hangOnFirstReadMs = 0;
        Sleep(ms);  // this thread stops answering anyone, as a hung client does
    }
    if (size == 0) {
        ++t.sizeRequests;
        return t.hugeLength ? static_cast<LRESULT>(standin::kHugeLength) : static_cast<LRESULT>(t.text.size());
    }
    // A client that stops answering later does so counted from its first reader, not from
    // its start, which a busy machine can stretch at will.
    if (++t.reads == 1 && &t == &g_app.transcript && g_app.options.hangAfter)
        SetTimer(g_app.top, kHangTimerId, g_app.options.hangAfterMs ? g_app.options.hangAfterMs : 1, nullptr);
    if (!buffer) return 0;
    std::size_t n = t.text.size() < size - 1 ? t.text.size() : size - 1;
    if (n) memcpy(buffer, t.text.data(), n);
    buffer[n] = '\0';
    return static_cast<LRESULT>(n);
}

LRESULT CALLBACK TranscriptProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    auto* t = reinterpret_cast<Transcript*>(GetWindowLongPtrA(h, GWLP_USERDATA));
    try {
        switch (msg) {
        case WM_NCCREATE: {
            auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
            SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
            break;
        }
        case WM_GETTEXT:
            if (t) return AnswerGetText(*t, wp, reinterpret_cast<char*>(lp));
            break;
        case WM_GETTEXTLENGTH:
            if (t) return static_cast<LRESULT>(t->text.size());
            break;
        case WM_SETTEXT:
            if (t) {
                t->text = lp ? reinterpret_cast<const char*>(lp) : "";
                InvalidateRect(h, nullptr, TRUE);
                return TRUE;
            }
            break;
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT fills the whole control; erasing first would only flicker
        case WM_PAINT:
            if (t) {
                PaintTranscript(h, *t);
                return 0;
            }
            break;
        }
    } catch (...) {
        // Out of memory at worst: the request goes unanswered rather than ending the program.
        return 0;
    }
    return DefWindowProcA(h, msg, wp, lp);
}

// ---- the top-level window ------------------------------------------------------------------

// The chain fills the window above one row of input fields; the decoy, if any, takes the
// bottom quarter of the "#32770" so both controls can be seen.
void Layout(HWND h) {
    RECT rc;
    GetClientRect(h, &rc);
    const int w = rc.right, ht = rc.bottom, pad = 8, row = 26;
    const int chainH = ht - 3 * pad - row;
    HWND chainTop = g_app.dialog ? g_app.dialog : g_app.control;
    if (chainTop) MoveWindow(chainTop, pad, pad, w - 2 * pad, chainH, TRUE);
    if (g_app.dialog) {
        RECT d;
        GetClientRect(g_app.dialog, &d);
        HWND inner = g_app.pane ? g_app.pane : g_app.control;
        const int decoyH = g_app.decoy ? d.bottom / 4 : 0;
        MoveWindow(inner, 0, 0, d.right, d.bottom - decoyH, TRUE);
        if (g_app.pane) MoveWindow(g_app.control, 0, 0, d.right, d.bottom - decoyH, TRUE);
        if (g_app.decoy) MoveWindow(g_app.decoy, 0, d.bottom - decoyH, d.right, decoyH, TRUE);
    }
    const int y = ht - pad - row;
    MoveWindow(g_app.nickname, pad, y, 110, row, TRUE);
    MoveWindow(g_app.message, pad + 118, y, w - 3 * pad - 110 - 80 - 8, row, TRUE);
    MoveWindow(g_app.send, w - pad - 80, y, 80, row, TRUE);
}

void SendTyped() {
    const std::wstring body = WindowTextOf(g_app.message);
    if (body.empty()) return;
    AppendMessage(ToAnsi(WindowTextOf(g_app.nickname)), ToAnsi(body));
    SetWindowTextW(g_app.message, L"");
    SetFocus(g_app.message);
}

HWND MakeControl(HWND parent, Transcript* t) {
    HINSTANCE inst = GetModuleHandleW(nullptr);
    return CreateWindowExA(0, "RichEdit20A", nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, 0, 0,
                           10, 10, parent, nullptr, inst, t);
}

HWND MakeInput(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, DWORD exStyle, int id) {
    return CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 0, 0, 10, 10, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

void CreateChildren(HWND h) {
    HINSTANCE inst = GetModuleHandleW(nullptr);
    const Options& o = g_app.options;
    if (o.wechat) {
        g_app.wechat = wechat::Chat::Create(h, *o.wechat);
        AddHistory(o.wechatItems);
        return;
    }
    // The chain first, so every class Sonvira looks for is found first in child order.
    if (!o.noDialog) {
        g_app.dialog = CreateWindowExW(0, L"#32770", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 10, 10,
                                       h, nullptr, inst, nullptr);
        HWND parent = g_app.dialog;
        if (o.nested) {
            g_app.pane = CreateWindowExW(0, standin::kPaneClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10,
                                         g_app.dialog, nullptr, inst, nullptr);
            parent = g_app.pane;
        }
        g_app.control = MakeControl(parent, &g_app.transcript);
        if (o.secondControl) {
            g_app.decoyText.text = "Decoy  00:00:00\r\nnot the transcript\r\n";
            g_app.decoy = MakeControl(g_app.dialog, &g_app.decoyText);
        }
    } else {
        g_app.control = MakeControl(h, &g_app.transcript);
    }
    // The user's own input comes after the chain in child order, outside the "#32770".
    g_app.nickname = MakeInput(h, L"Edit", L"小鱼", ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, kIdNickname);
    g_app.message = MakeInput(h, L"Edit", L"", ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, kIdMessage);
    g_app.send = MakeInput(h, L"Button", L"发送", BS_DEFPUSHBUTTON, 0, kIdSend);
    for (HWND c : {g_app.nickname, g_app.message, g_app.send})
        SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(g_app.font), TRUE);
    Layout(h);
}

// The protocol's data requests (standin_protocol.h). Unknown kinds are refused with FALSE.
BOOL TakeCopyData(const COPYDATASTRUCT& cd) {
    const char* bytes = static_cast<const char*>(cd.lpData);
    const std::size_t size = bytes ? cd.cbData : 0;
    switch (cd.dwData) {
    case standin::kCopyAppendMessage: {
        const std::string s(bytes, size);
        const std::size_t nl = s.find('\n');
        if (nl == std::string::npos) return FALSE;
        AppendMessage(s.substr(0, nl), s.substr(nl + 1));
        return TRUE;
    }
    case standin::kCopyAppendRaw:
        AppendRaw(std::string(bytes, size));
        return TRUE;
    case standin::kCopySetTranscript:
        SetTranscript(std::string(bytes, size));
        return TRUE;
    case standin::kCopySetTitle: {
        std::wstring title(reinterpret_cast<const wchar_t*>(bytes), size / sizeof(wchar_t));
        SetWindowTextW(g_app.top, title.c_str());
        return TRUE;
    }
    case standin::kCopyWeChatAppend:
        return g_app.wechat &&
               g_app.wechat->AppendRequest(std::wstring(reinterpret_cast<const wchar_t*>(bytes), size / sizeof(wchar_t)));
    case standin::kCopyWeChatRemove:
    case standin::kCopyWeChatDrop: {
        DWORD n = 0;
        if (!g_app.wechat || size != sizeof n) return FALSE;
        memcpy(&n, bytes, sizeof n);
        if (cd.dwData == standin::kCopyWeChatRemove) return g_app.wechat->Remove(n);
        g_app.wechat->DropOldest(n);
        return TRUE;
    }
    }
    return FALSE;
}

// A WeChat window's first reader starts the hangs a transcript's first read starts.
LRESULT AnswerGetObject(HWND h, WPARAM wp, LPARAM lp) {
    bool handled = false;
    if (++g_app.treeRequests == 1) {
        if (DWORD ms = g_app.transcript.hangOnFirstReadMs) {
            g_app.transcript.hangOnFirstReadMs = 0;
            HangFor(ms);
        }
        if (g_app.options.hangAfter)
            SetTimer(g_app.top, kHangTimerId, g_app.options.hangAfterMs ? g_app.options.hangAfterMs : 1, nullptr);
    }
    const LRESULT r = g_app.wechat->AnswerGetObject(wp, lp, handled);
    return handled ? r : DefWindowProcW(h, WM_GETOBJECT, wp, lp);
}

void PaintWeChat(HWND h) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    g_app.wechat->Paint(dc, g_app.font);
    EndPaint(h, &ps);
}

LRESULT CALLBACK TopProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    try {
        if (g_app.wechat) {
            switch (msg) {
            case WM_GETOBJECT:
                return AnswerGetObject(h, wp, lp);
            case WM_SIZE:
                InvalidateRect(h, nullptr, TRUE);
                return 0;
            case WM_ERASEBKGND:
                return 1;  // the painting fills the whole client area
            case WM_PAINT:
                PaintWeChat(h);
                return 0;
            case WM_DESTROY:
                g_app.wechat->Disconnect();
                break;
            }
        }
        switch (msg) {
        case WM_CREATE:
            g_app.top = h;
            CreateChildren(h);
            return 0;
        case WM_SIZE:
            Layout(h);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wp) == kIdSend || LOWORD(wp) == IDOK) SendTyped();
            return 0;
        case WM_COPYDATA:
            return TakeCopyData(*reinterpret_cast<const COPYDATASTRUCT*>(lp));
        case WM_TIMER:
            if (wp == kHangTimerId) {
                KillTimer(h, kHangTimerId);
                HangFor(g_app.options.hangMs);
            } else if (wp == kChatterTimerId) {
                Chatter();
            }
            return 0;
        case standin::kMsgBringToFront:
            BringToFront(h);
            return TRUE;
        case standin::kMsgHang:
            HangFor(static_cast<DWORD>(wp));
            return 0;
        case standin::kMsgRequestCount:
            return static_cast<LRESULT>(wp == 0 ? g_app.transcript.sizeRequests : g_app.transcript.reads);
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        }
    } catch (...) {
        return 0;
    }
    return DefWindowProcW(h, msg, wp, lp);
}

// ---- start-up ------------------------------------------------------------------------------

// The transcript file is taken as raw bytes: no conversion, no line-break changes.
bool ReadFileBytes(const std::wstring& path, std::string& out) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    out.clear();
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0) out.append(buf, got);
    CloseHandle(f);
    return true;
}

DWORD ToMs(const std::wstring& s, DWORD scale) { return static_cast<DWORD>(wcstoul(s.c_str(), nullptr, 10)) * scale; }

Options ParseArgs() {
    Options o;
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv) return o;
    for (int i = 1; i < argc; ++i) {
        const std::wstring a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == L"--title" && hasValue) { o.title = argv[++i]; o.titleGiven = true; }
        else if (a == L"--transcript-file" && hasValue) o.transcriptFile = argv[++i];
        else if (a == L"--front") o.front = true;
        else if (a == L"--no-dialog") o.noDialog = true;
        else if (a == L"--nested") o.nested = true;
        else if (a == L"--second-control") o.secondControl = true;
        else if (a == L"--huge-length") o.hugeLength = true;
        else if (a == L"--hang-seconds" && hasValue) { o.hangMs = ToMs(argv[++i], 1000); o.hangOnFirstRead = true; }
        else if (a == L"--hang-after-ms" && hasValue) { o.hangAfterMs = ToMs(argv[++i], 1); o.hangAfter = true; }
        else if (a == L"--chatter-ms" && hasValue) o.chatterMs = ToMs(argv[++i], 1);
        else if (a == L"--wechat-items" && hasValue) o.wechatItems = ToMs(argv[++i], 1);
        else if (a == L"--wechat" && hasValue) {
            const std::wstring mode = argv[++i];
            for (const standin::WeChatMode& m : standin::kWeChatModes)
                if (mode == m.name) o.wechat = &m;
        }
    }
    if (o.wechat && !o.titleGiven) o.title = o.wechat->title;
    LocalFree(argv);
    // A timed hang of the whole window replaces the hang on the first request.
    if (o.hangAfter) {
        o.hangOnFirstRead = false;
        if (o.hangMs == 0) o.hangMs = 30000;
    }
    return o;
}

void RegisterClasses(HINSTANCE inst, const wchar_t* topClass) {
    WNDCLASSEXW top = {};
    top.cbSize = sizeof top;
    top.lpfnWndProc = TopProc;
    top.hInstance = inst;
    top.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    top.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    top.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    top.lpszClassName = topClass;
    RegisterClassExW(&top);

    WNDCLASSW pane = {};
    pane.lpfnWndProc = DefWindowProcW;
    pane.hInstance = inst;
    pane.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    pane.lpszClassName = standin::kPaneClass;
    RegisterClassW(&pane);

    // An ANSI class of this process's own: text requests from other processes arrive with
    // byte counts and byte buffers, as they do at a chat client's control.
    WNDCLASSA edit = {};
    edit.lpfnWndProc = TranscriptProc;
    edit.hInstance = inst;
    edit.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_IBEAM));
    edit.lpszClassName = "RichEdit20A";
    RegisterClassA(&edit);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE inst, HINSTANCE, PWSTR, int show) {
    g_app.options = ParseArgs();
    const Options& o = g_app.options;
    if (!o.transcriptFile.empty() && !ReadFileBytes(o.transcriptFile, g_app.transcript.text)) return 2;
    g_app.transcript.hugeLength = o.hugeLength;
    g_app.transcript.hangOnFirstReadMs = o.hangOnFirstRead ? o.hangMs : 0;

    // A GB2312 font request makes the font mapper pick a face with Chinese glyphs (SimSun on
    // Windows, whatever CJK font Wine has) so the transcript is readable everywhere.
    g_app.font = CreateFontW(-14, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"SimSun");
    // The providers of a WeChat window are COM objects; the system's UI Automation serves them
    // from this thread's apartment.
    if (o.wechat) CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const wchar_t* topClass = o.wechat ? o.wechat->windowClass : standin::kWindowClass;
    RegisterClasses(inst, topClass);
    HWND h = CreateWindowExW(0, topClass, o.title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                             40, 40, 520, 560, nullptr, nullptr, inst, nullptr);
    if (!h) return 1;
    ShowWindow(h, show == SW_HIDE ? SW_SHOWNORMAL : show);
    UpdateWindow(h);
    if (o.front) BringToFront(h);
    if (o.chatterMs) SetTimer(h, kChatterTimerId, o.chatterMs, nullptr);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        // Enter in the message field sends, as in a chat client.
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && msg.hwnd == g_app.message) {
            SendTyped();
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    DeleteObject(g_app.font);
    return 0;
}
