// Measures what opening, saving and clearing a big log cost: a chat history of the given size,
// as plain text or as the RTF the log itself saves, through the program's own document code
// and the real rich-edit log. Windows-only tool.
//
//   log_open_bench [megabytes] [rtf|text] [old|oldclear]   (tools/log_open_bench/run.sh runs it under Wine)
//
// For each command it prints the time it took and the longest stretch in which the window
// could not have answered: the longest time between two of the document's progress calls
// (where the program lets the window answer), counting from the command's start to its end.
// "old" also reads the file at once as the program used to, and checks that reading it in
// pieces gave the same log; "oldclear" also clears the way the program used to (emptying the
// control's text, whose cost under Wine grows with the paragraphs: minutes from about 1 MB). It prints
// how much of the process's address space the log took: a 32-bit program has 2 GB of it.
#include <windows.h>

#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/log_commands.h"
#include "app/log_commands_win.h"
#include "app/log_control_win.h"

namespace {

double NowMs() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

unsigned long long AvailableMb() {
    MEMORYSTATUSEX m = {};
    m.dwLength = sizeof m;
    GlobalMemoryStatusEx(&m);
    return m.ullAvailVirtual >> 20;
}

// The time a command took and its longest stretch without a progress call.
struct Stretch {
    double start = NowMs(), last = start, longest = 0, first = -1;
    int calls = 0;
    void Mark() {
        const double now = NowMs();
        longest = std::max(longest, now - last);
        if (first < 0) first = now - start;
        last = now;
        ++calls;
    }
    void Print(const char* what, bool ok) {
        const double before = last;
        Mark();
        std::printf("  %-18s %-6s %7.0f ms, window unanswered at most %6.0f ms (%d calls, first after %.0f ms, "
                    "last %.0f ms before the end)\n",
                    what, ok ? "ok" : "FAILED", last - start, longest, calls - 1, calls > 1 ? first : 0, last - before);
    }
};

struct Source {
    const std::string& data;
    std::size_t at;
    bool wide;
};

// As the program always streamed: UTF-16 text never cut between a CR and its LF.
DWORD CALLBACK Feed(DWORD_PTR cookie, LPBYTE buf, LONG size, LONG* done) {
    auto* src = reinterpret_cast<Source*>(cookie);
    std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(size), src->data.size() - src->at);
    if (src->wide) {
        n &= ~std::size_t{1};
        if (n > 2 && src->at + n < src->data.size() && src->data[src->at + n - 2] == '\r' && src->data[src->at + n - 1] == 0)
            n -= 2;
    }
    std::memcpy(buf, src->data.data() + src->at, n);
    src->at += n;
    *done = static_cast<LONG>(n);
    return 0;
}

// How the program read a file before: the whole file in one stream.
bool ReadAtOnce(HWND edit, const std::string& bytes, bool rtf) {
    std::string data = bytes;
    if (!rtf) {
        const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(n), L'\0');
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), &wide[0], n);
        data.assign(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
    }
    Source src{data, 0, !rtf};
    EDITSTREAM es = {reinterpret_cast<DWORD_PTR>(&src), 0, Feed};
    SendMessageW(edit, EM_STREAMIN, rtf ? SF_RTF : SF_TEXT | SF_UNICODE, reinterpret_cast<LPARAM>(&es));
    return es.dwError == 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const double mb = argc > 1 ? std::atof(argv[1]) : 10;
    const bool rtf = argc > 2 && std::strcmp(argv[2], "rtf") == 0;
    const bool old = argc > 3 && std::strncmp(argv[3], "old", 3) == 0;
    const bool oldClear = argc > 3 && std::strcmp(argv[3], "oldclear") == 0;
    LoadLibraryW(L"riched20.dll");
    HWND top = CreateWindowExW(0, L"STATIC", L"log_open_bench", WS_OVERLAPPEDWINDOW, 0, 0, 305, 546, nullptr,
                               nullptr, nullptr, nullptr);
    HWND edit = CreateLogControl(top, 1, 0, 300, 500, 102, nullptr);
    if (!edit) {
        std::printf("no rich edit\n");
        return 1;
    }
    ShowWindow(top, SW_SHOWNOACTIVATE);
    RichEditDocument log(edit);
    Stretch* running = nullptr;
    // As the main window does: each progress call lets the queued messages run.
    log.OnProgress = [&](LogWork w, std::size_t d, std::size_t t) {
        if (argc > 4) std::printf("    progress %d %zu/%zu at %.0f\n", int(w), d, t, running ? NowMs() - running->start : 0);
        if (running) running->Mark();
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    };

    // Two lines per message, "你好" in each body, as the watcher logs them; as RTF, coloured
    // as the log saves them.
    std::string text, bytes = rtf ? "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 Tahoma;}}"
                                    "{\\colortbl ;\\red0\\green128\\blue0;\\red0\\green0\\blue0;}\\viewkind4\\uc1\\pard"
                                    "\\f0\\fs16 "
                                  : "";
    for (int i = 0; static_cast<double>(rtf ? bytes.size() : text.size()) < mb * 1024 * 1024; ++i) {
        const std::string n = std::to_string(i);
        text += "Alice  12:00:00 \xcb\xb5\xa3\xba\r\n\xc4\xe3\xba\xc3 line " + n + " of a long chat\r\n";
        bytes += "\\cf1 Alice  12:00:00 \\'cb\\'b5\\'a3\\'ba\\par\n\\cf2 \\'c4\\'e3\\'ba\\'c3 line " + n + " of a long chat\\par\n";
    }
    if (rtf) {
        bytes += "}";
        text.resize(text.size() - 2);  // the reader leaves out the file's last paragraph mark
    } else {
        bytes = text;
    }
    const unsigned long long before = AvailableMb();
    Stretch open;
    running = &open;
    bool read = false;
    try {
        read = log.Load(bytes, rtf ? LogFormat::Rtf : LogFormat::Text);
    } catch (const LogOutOfRoom&) {
        std::printf("  refused: the control would run out of memory, the log is kept\n");
    }
    UpdateWindow(top);
    open.Print("open", read);
    std::printf("  %llu MB of address space, text %s\n", before - AvailableMb(),
                read && log.Text() == text ? "whole" : "NOT whole");

    for (LogFormat format : {LogFormat::Rtf, LogFormat::Text}) {
        std::string saved;
        Stretch save;
        running = &save;
        const bool ok = log.Save(format, saved);
        save.Print(format == LogFormat::Rtf ? "save as RTF" : "save as text", ok);
        running = nullptr;
    }

    if (old) {
        // The same file read at once as before, into a control of its own: the time it took
        // (all of it unanswered), and whether reading in pieces gave the same log.
        HWND other = CreateLogControl(top, 1, 0, 300, 500, 103, nullptr);
        const double t0 = NowMs();
        const bool ok = ReadAtOnce(other, bytes, rtf);
        std::printf("  %-18s %-6s %7.0f ms, window unanswered all along\n", "open at once (old)", ok ? "ok" : "FAILED",
                    NowMs() - t0);
        RichEditDocument atOnce(other);
        std::string a, b;
        atOnce.Save(LogFormat::Rtf, a);
        log.Save(LogFormat::Rtf, b);
        std::printf("  read in pieces: %s as read at once\n", a == b ? "the same log" : "NOT the same log");
        if (a != b) {
            std::size_t d = 0;
            while (d < a.size() && d < b.size() && a[d] == b[d]) ++d;
            std::printf("  first difference at %zu of %zu/%zu:\n  at once: %s\n  pieces:  %s\n", d, a.size(), b.size(),
                        a.substr(d > 60 ? d - 60 : 0, 120).c_str(), b.substr(d > 60 ? d - 60 : 0, 120).c_str());
        }
        DestroyWindow(other);
    }

    Stretch clear;
    running = &clear;
    if (oldClear) SetWindowTextW(log.Handle(), L"");
    else log.Clear();
    UpdateWindow(top);
    clear.Print(oldClear ? "clear (old)" : "clear", GetWindowTextLengthW(log.Handle()) == 0);
    running = nullptr;
    DestroyWindow(top);
    return 0;
}
