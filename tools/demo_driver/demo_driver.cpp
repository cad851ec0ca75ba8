// Plays a short chat for the demo: with sonvira.exe and the stand-in chat window running, it
// brings the chat window to the front, lets the friend and the user write in turn a few
// seconds apart, and finally prints what Sonvira's log shows. Output is UTF-8.
//
// With the test voices' record file given, the friend's messages get a voice of their own in
// the options tab, as a user would pick it, and what Sonvira says is printed as it says it.
//
//   demo_driver [--messages N] [--interval-ms MS] [--settle-ms MS] [--voice-record FILE]
#include <windows.h>

#include <cwchar>
#include <string>

#include "app/fmain_win.h"
#include "app/identity_win.h"
#include "support/process.h"
#include "support/sonvira.h"
#include "tools/standin_chat/standin_protocol.h"
#include "tools/test_voice/record_format.h"
#include "win/codepage_win.h"

namespace {

void Print(const std::string& utf8) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}
void Print(const std::wstring& w) { Print(WideToUtf8(w)); }

bool Send(HWND chat, const std::wstring& nick, const std::wstring& body) {
    std::string bytes = WideToAnsi(nick) + "\n" + WideToAnsi(body);
    COPYDATASTRUCT cd = {standin::kCopyAppendMessage, static_cast<DWORD>(bytes.size()), &bytes[0]};
    DWORD_PTR ok = 0;
    return SendMessageTimeoutW(chat, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cd), SMTO_ABORTIFHUNG, 5000, &ok) && ok;
}

// Asked from here and by the chat window itself, as a window may always come forward when its
// process was the last to get input; true once it really is in front.
bool BringToFront(HWND chat) {
    return WaitUntil(
        [chat] {
            if (GetForegroundWindow() == chat) return true;
            SetForegroundWindow(chat);
            DWORD_PTR ignored = 0;
            SendMessageTimeoutW(chat, standin::kMsgBringToFront, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
            return GetForegroundWindow() == chat;
        },
        5000);
}

// The voices' record from byte `from` on; `from` moves past what was read.
std::string ReadRecordFrom(const std::wstring& path, std::size_t& from) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (f == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    LARGE_INTEGER size = {};
    if (GetFileSizeEx(f, &size) && static_cast<std::size_t>(size.QuadPart) > from) {
        bytes.resize(static_cast<std::size_t>(size.QuadPart) - from);
        LARGE_INTEGER at = {};
        at.QuadPart = static_cast<LONGLONG>(from);
        DWORD got = 0;
        SetFilePointerEx(f, at, nullptr, FILE_BEGIN);
        ReadFile(f, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr);
        bytes.resize(bytes.rfind('\n') == std::string::npos ? 0 : bytes.rfind('\n') + 1);  // whole lines only
        from += bytes.size();
    }
    CloseHandle(f);
    return bytes;
}

// Prints what the voices began to say since the last call, naming the profile by its voice.
void PrintSpeech(const std::wstring& record, std::size_t& from, const std::string& ownVoice,
                 const std::string& friendVoice) {
    for (const auto& u : test_voice::ParseRecord(ReadRecordFrom(record, from))) {
        std::string text;
        for (const auto& f : u.fragments) text += f.text;
        const std::string who = u.voice == friendVoice ? "friend voice" : u.voice == ownVoice ? "own voice" : u.voice;
        Print("says (" + who + "): " + text + "\n");
    }
}

// Picks the voice list's item as a user would: the list selects it and tells its parent.
void PickItem(HWND combo, int index) {
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int messages = 6;
    DWORD interval = 3000, settle = 2500;
    std::wstring record;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!wcscmp(argv[i], L"--voice-record")) record = argv[i + 1];
        if (!wcscmp(argv[i], L"--messages")) messages = _wtoi(argv[i + 1]);
        else if (!wcscmp(argv[i], L"--interval-ms")) interval = static_cast<DWORD>(_wtoi(argv[i + 1]));
        else if (!wcscmp(argv[i], L"--settle-ms")) settle = static_cast<DWORD>(_wtoi(argv[i + 1]));
    }

    HWND main = nullptr, chat = nullptr;
    if (!WaitUntil([&] { return (main = FindWindowW(kMainWindowClass, kMainWindowTitle)) != nullptr; }, kPatienceMs)) {
        Print("demo: Sonvira's window did not appear\n");
        return 1;
    }
    if (!WaitUntil([&] { return (chat = FindWindowW(standin::kWindowClass, nullptr)) != nullptr; }, kPatienceMs)) {
        Print("demo: the stand-in chat window did not appear\n");
        return 1;
    }
    auto control = [main](int id) { return FindControl(main, id); };

    // Start-up reports hold up the rest of start-up; they are answered as they come. Then the
    // chat window is brought in front of Sonvira's.
    DWORD pid = 0;
    GetWindowThreadProcessId(main, &pid);
    if (!WaitForStartUp(main, pid).empty()) Print("demo: answered Sonvira's start-up message box\n");
    // A voice of their own for the friend's messages, when there is a second one to pick.
    std::string ownVoice, friendVoice;
    std::size_t recordRead = 0;
    if (!record.empty()) {
        HWND voice = control(IDC_CBVOICE), voice1 = control(IDC_CBVOICE1);
        if (voice1 && SendMessageW(voice1, CB_GETCOUNT, 0, 0) > 1) PickItem(voice1, 1);
        ownVoice = WideToUtf8(WindowTextW(voice));
        friendVoice = WideToUtf8(WindowTextW(voice1));
        Print("demo: own messages speak with \"" + ownVoice + "\", the friend's with \"" + friendVoice + "\"\n");
        ReadRecordFrom(record, recordRead);  // only what the chat makes Sonvira say
    }
    // Side by side, the chat on the left of Sonvira's window, so that both can be watched.
    RECT m = {}, c = {};
    GetWindowRect(main, &m);
    GetWindowRect(chat, &c);
    const int chatWidth = c.right - c.left;
    const int chatLeft = m.left - chatWidth - 8 >= 0 ? m.left - chatWidth - 8 : 16;
    SetWindowPos(chat, nullptr, chatLeft, m.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (chatLeft + chatWidth + 8 > m.left)
        SetWindowPos(main, nullptr, chatLeft + chatWidth + 8, m.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!BringToFront(chat)) Print("demo: the chat window could not be brought to the front\n");

    wchar_t title[256] = {};
    GetWindowTextW(chat, title, 256);
    Print(L"demo: chat window \"" + std::wstring(title) + L"\" in front; Sonvira is watching it\n");

    const wchar_t* const friendLines[] = {L"你好，在吗？", L"今天晚上一起吃饭吧。", L"七点半，老地方。", L"好的，不见不散！"};
    const wchar_t* const ownLines[] = {L"在的，什么事？", L"好啊，几点？", L"OK, see you there."};
    for (int i = 0; i < messages; ++i) {
        Sleep(i == 0 ? 1500 : interval);
        // Back in front if anything took the front meanwhile, and long enough for Sonvira's
        // title timer to see it again: before that a friend's message would count as the user's.
        if (GetForegroundWindow() != chat && BringToFront(chat)) Sleep(1500);  // the first wait lets Sonvira see the chat title
        bool friendSpeaks = i % 2 == 0;
        std::wstring nick = friendSpeaks ? L"小鱼" : L"我";
        std::wstring body = friendSpeaks ? friendLines[(i / 2) % 4] : ownLines[(i / 2) % 3];
        if (!Send(chat, nick, body)) Print("demo: the stand-in did not take a message\n");
        Print(L"chat:  " + nick + L": " + body + L"\n");
        if (!record.empty()) {
            Sleep(1500);  // the watcher's second, and the voice starting
            PrintSpeech(record, recordRead, ownVoice, friendVoice);
        }
    }
    Sleep(settle);
    if (!record.empty()) PrintSpeech(record, recordRead, ownVoice, friendVoice);

    Print("\nSonvira's log now reads:\n");
    HWND log = control(IDC_RICHEDIT1);
    std::wstring text = log ? WindowTextW(log) : std::wstring(L"(log not found)");
    // One line of output per log line, marked so that it stands out in a terminal.
    std::wstring shown = L"  | ";
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r') continue;
        shown += text[i];
        if (text[i] == L'\n' && i + 1 < text.size()) shown += L"  | ";
    }
    Print(shown + L"\n");
    return 0;
}
