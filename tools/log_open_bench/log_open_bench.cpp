// Measures what opening, saving and clearing a big log cost: a chat history of the given size,
// as plain text or as the RTF the log itself saves, through the program's own document code
// and the real rich-edit log. Windows-only tool.
//
//   log_open_bench [megabytes] [rtf|text] [old|oldclear]   (tools/log_open_bench/run.sh runs it under Wine)
//   log_open_bench lines LENGTH COUNT [x|words|wide|tabs|gbk]
//   log_open_bench file PATH [text]
//
// "lines" streams COUNT lines of LENGTH bytes (one letter repeated, words of five letters, a
// wide letter, tabs, or double-byte characters) into a bare log control in one read, as the
// control would take a file at once: the time it took, and the address space it took at its
// peak and once done. What a line of each length costs sets what the log opens and how it is
// cut into pieces (LineCost). "file" opens a file as "打开消息" does (RTF mode unless "text"),
// limits included: the steps before the first piece, whether it was refused, the longest time
// the window went unanswered, and the address space it took. A run's address space is
// measured as the system reports what is left, so heaps that grow in big steps make small
// runs read 0: measure with a few hundred megabytes.
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
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "app/log_commands.h"
#include "app/log_commands_win.h"
#include "app/log_control_win.h"
#include "win/codepage_win.h"
#include "win/files_win.h"

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

// The least address space left while it runs, sampled by a thread of its own: a read that
// takes seconds in one call shows its peak only from outside that call.
class PeakSampler {
public:
    PeakSampler() : least_(AvailableMb()) { thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr); }
    ~PeakSampler() { Stop(); }
    unsigned long long Stop() {
        if (thread_) {
            stop_ = true;
            WaitForSingleObject(thread_, INFINITE);
            CloseHandle(thread_);
            thread_ = nullptr;
        }
        return least_;
    }

private:
    static DWORD WINAPI Run(void* self) {
        auto* s = static_cast<PeakSampler*>(self);
        while (!s->stop_) {
            s->least_ = std::min(s->least_, AvailableMb());
            Sleep(5);
        }
        return 0;
    }
    std::atomic<bool> stop_{false};
    unsigned long long least_;  // the thread's alone until it is joined
    HANDLE thread_ = nullptr;
};

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

// What one read of lines of a length costs the bare control.
int MeasureLines(HWND edit, std::size_t length, std::size_t count, const char* kind) {
    std::string line;
    if (std::strcmp(kind, "words") == 0)
        while (line.size() < length) line += line.size() % 6 == 5 ? ' ' : 'w';
    else if (std::strcmp(kind, "wide") == 0)
        line.assign(length, 'W');
    else if (std::strcmp(kind, "tabs") == 0)
        line.assign(length, '\t');
    else if (std::strcmp(kind, "gbk") == 0)
        while (line.size() < length) line += "\xc4\xe3\xba\xc3";
    else
        line.assign(length, 'x');
    line.resize(length);
    std::string bytes;
    for (std::size_t i = 0; i < count; ++i) bytes += line + "\r\n";
    const unsigned long long before = AvailableMb();
    PeakSampler peak;
    const double t0 = NowMs();
    const bool ok = ReadAtOnce(edit, bytes, false);
    UpdateWindow(GetParent(edit));
    const double ms = NowMs() - t0;
    const unsigned long long least = peak.Stop();
    std::printf("lines %-5s length %6zu count %5zu: %-6s %8.0f ms (%7.3f ms a line), address space %5llu MB at "
                "the peak, %5llu MB after\n",
                kind, length, count, ok ? "ok" : "FAILED", ms, ms / static_cast<double>(count), before - least,
                before - AvailableMb());
    return ok ? 0 : 1;
}

// A file opened as the log command opens it, with the window's stretches and the address space.
int OpenFile(RichEditDocument& log, const std::string& path, bool plainText, std::function<void(double, std::size_t)>& mark) {
    Win32Files files;
    {
        // The steps before the first piece, each on its own: what the window waits for first.
        double t = NowMs();
        const std::string bytes = files.ReadAll(path, kMaxLogFileBytes);
        const double read = NowMs() - t;
        t = NowMs();
        const bool rtf = !plainText && RtfReadable(bytes);
        const double readable = NowMs() - t;
        t = NowMs();
        const LayoutCost cost = LogLayoutCost(bytes, rtf ? LogFormat::Rtf : LogFormat::Text);
        const double estimate = NowMs() - t;
        t = NowMs();
        const std::string wrapped = rtf ? WrapRtf(bytes, kMaxLogLine) : bytes;
        const double wrap = NowMs() - t;
        t = NowMs();
        const std::size_t pieces = rtf ? SplitRtf(wrapped, 128u << 10, 150).size() : 0;
        std::printf("  read %.0f ms, RTF check %.0f ms, estimate %.0f ms (%.0f MB, %.0f ms of layout), wrap %.0f ms, "
                    "split %.0f ms (%zu pieces)\n",
                    read, readable, estimate, cost.bytes / 1048576, cost.ms, wrap, NowMs() - t, pieces);
    }
    const unsigned long long before = AvailableMb();
    PeakSampler peak;
    const double t0 = NowMs();
    double last = t0, longest = 0;
    int calls = 0;
    mark = [&](double now, std::size_t done) {
        // Where the long stretches fall: before the first piece, or late, as the log grows.
        if (now - last > 300) std::printf("  %.0f ms unanswered at %.0f ms, until %zu bytes were read\n", now - last, now - t0, done);
        longest = std::max(longest, now - last);
        last = now;
        ++calls;
    };
    std::string outcome = "opened";
    try {
        ReadLogFile(path, files, log, plainText);
    } catch (const std::exception& e) {
        outcome = std::string("refused: ") + e.what();
    }
    UpdateWindow(GetParent(log.Handle()));
    mark(NowMs(), 0);
    mark = nullptr;
    const unsigned long long least = peak.Stop();
    std::printf("file %s: %s\n  %.0f ms, window unanswered at most %.0f ms (%d progress calls), address space %llu MB "
                "at the peak, %llu MB after\n",
                path.c_str(), outcome.c_str(), last - t0, longest, calls - 1, before - least, before - AvailableMb());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc > 1 && (std::strcmp(argv[1], "lines") == 0 || std::strcmp(argv[1], "file") == 0)) {
        MEMORYSTATUSEX m = {};
        m.dwLength = sizeof m;
        GlobalMemoryStatusEx(&m);
        std::printf("address space: %llu MB in all, %llu MB free at the start\n", m.ullTotalVirtual >> 20,
                    m.ullAvailVirtual >> 20);
        LoadLibraryW(L"riched20.dll");
        HWND top = CreateWindowExW(0, L"STATIC", L"log_open_bench", WS_OVERLAPPEDWINDOW, 0, 0, 305, 546, nullptr,
                                   nullptr, nullptr, nullptr);
        // The log's own font: how many characters a row holds decides how many rows a line wraps into.
        HFONT font = CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Tahoma");
        HWND edit = CreateLogControl(top, 1, 0, 300, 500, 102, font);
        if (!edit) return 1;
        ShowWindow(top, SW_SHOWNOACTIVATE);
        if (argv[1][0] == 'l')
            return MeasureLines(edit, argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 1024,
                                argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 1, argc > 4 ? argv[4] : "x");
        RichEditDocument log(edit);
        std::function<void(double, std::size_t)> mark;
        log.OnProgress = [&](LogWork, std::size_t done, std::size_t) {
            if (mark) mark(NowMs(), done);
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        };
        return OpenFile(log, argc > 2 ? argv[2] : "", argc > 3 && std::strcmp(argv[3], "text") == 0, mark);
    }
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
