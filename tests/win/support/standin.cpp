// Driving the stand-in chat window through the messages of its protocol.
#include "support/standin.h"

#include <stdexcept>
#include <vector>

namespace {
// The top-level window's class for these arguments: a WeChat mode's own, or the stand-in's.
const wchar_t* WindowClassFor(const std::wstring& args) {
    for (const standin::WeChatMode& m : standin::kWeChatModes) {
        const std::wstring option = std::wstring(L"--wechat ") + m.name;
        for (std::size_t at = args.find(option); at != std::wstring::npos; at = args.find(option, at + 1)) {
            const std::size_t end = at + option.size();
            if (end == args.size() || args[end] == L' ') return m.windowClass;
        }
    }
    return standin::kWindowClass;
}
}  // namespace

StandinChat::StandinChat(const std::wstring& args) : process_(StandinChatExe(), args) {
    top_ = WaitForTopWindow(process_.Id(), WindowClassFor(args), nullptr);
    if (!top_) throw std::runtime_error("the stand-in chat window did not come up");
    // The window exists before its children do; it is shown once they are all there, and
    // its requests are served once its message loop runs.
    if (!WaitUntil([this] { return IsWindowVisible(top_) != FALSE; }, kPatienceMs))
        throw std::runtime_error("the stand-in chat window was never shown");
    // Ready once it answers a request of its own protocol, however long a busy machine takes.
    if (SizeRequests() < 0) throw std::runtime_error("the stand-in chat window does not answer");
}

HWND StandinChat::TranscriptControl() const {
    // The chain as the variants build it: under "#32770", under its pane, or under the top.
    HWND dialog = FindWindowExW(top_, nullptr, L"#32770", nullptr);
    if (!dialog) return FindWindowExW(top_, nullptr, L"RichEdit20A", nullptr);
    if (HWND direct = FindWindowExW(dialog, nullptr, L"RichEdit20A", nullptr)) return direct;
    HWND pane = FindWindowExW(dialog, nullptr, standin::kPaneClass, nullptr);
    return pane ? FindWindowExW(pane, nullptr, L"RichEdit20A", nullptr) : nullptr;
}

bool StandinChat::Copy(unsigned long kind, const void* data, std::size_t size) {
    COPYDATASTRUCT cd = {};
    cd.dwData = kind;
    cd.cbData = static_cast<DWORD>(size);
    cd.lpData = const_cast<void*>(data);
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(top_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cd), SMTO_NORMAL, kPatienceMs,
                               &result) &&
           result == TRUE;
}

bool StandinChat::SetTitle(const std::wstring& title) {
    return Copy(standin::kCopySetTitle, title.data(), title.size() * sizeof(wchar_t));
}
bool StandinChat::SetTranscript(const std::string& bytes) {
    return Copy(standin::kCopySetTranscript, bytes.data(), bytes.size());
}
bool StandinChat::AppendRaw(const std::string& bytes) {
    return Copy(standin::kCopyAppendRaw, bytes.data(), bytes.size());
}
bool StandinChat::AppendMessage(const std::string& nickname, const std::string& body) {
    const std::string s = nickname + "\n" + body;
    return Copy(standin::kCopyAppendMessage, s.data(), s.size());
}

bool StandinChat::AppendWeChat(const std::wstring& kind, const std::wstring& sender, const std::wstring& text) {
    const std::wstring s = kind + L"\n" + sender + L"\n" + text;
    return Copy(standin::kCopyWeChatAppend, s.data(), s.size() * sizeof(wchar_t));
}
bool StandinChat::RemoveWeChatItem(DWORD index) { return Copy(standin::kCopyWeChatRemove, &index, sizeof index); }
bool StandinChat::DropOldestWeChatItems(DWORD n) { return Copy(standin::kCopyWeChatDrop, &n, sizeof n); }

bool StandinChat::BringToFront() {
    // Asking from here works under Wine without a window manager; the stand-in is asked too,
    // since a window may always bring itself forward when its process was the last to get input.
    SetForegroundWindow(top_);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(top_, standin::kMsgBringToFront, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    return WaitUntil([&] { return GetForegroundWindow() == top_; }, kPatienceMs);
}

void StandinChat::Hang(DWORD ms) { PostMessageW(top_, standin::kMsgHang, ms, 0); }

long StandinChat::Count(WPARAM which) const {
    DWORD_PTR n = 0;
    // Not abort-if-hung: a stand-in that is merely slow on a busy machine is waited for.
    if (!SendMessageTimeoutW(top_, standin::kMsgRequestCount, which, 0, SMTO_NORMAL, kPatienceMs, &n)) return -1;
    return static_cast<long>(n);
}

bool StandinChat::WaitForReaders(long ticks) const {
    const long start = SizeRequests();
    return start >= 0 && WaitUntil([&] { return SizeRequests() >= start + ticks; }, kPatienceMs);
}
long StandinChat::SizeRequests() const { return Count(0); }
long StandinChat::Reads() const { return Count(1); }

std::string StandinChat::LastHeader() const {
    HWND transcript = TranscriptControl();
    LRESULT n = SendMessageA(transcript, WM_GETTEXT, 0, 0);
    std::string text(static_cast<std::size_t>(n) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        SendMessageA(transcript, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]))));
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t p; (p = text.find("\r\n", start)) != std::string::npos; start = p + 2)
        lines.push_back(text.substr(start, p - start));
    return lines.size() >= 2 ? lines[lines.size() - 2] : std::string();
}

std::wstring WriteTempFile(const std::string& bytes) {
    wchar_t dir[MAX_PATH], path[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    if (!GetTempFileNameW(dir, L"sv", 0, path)) throw std::runtime_error("no temporary file");
    HANDLE f = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write a temporary file");
    DWORD written = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
    return path;
}
