// Measures what logging one message costs in a short log and in a very long one, with the
// real rich-edit control and the program's own append code. A log only ever grows while the
// program runs, so the cost of a message must not depend on how much came before it.
//
//   log_bench [messages-per-sample] [samples]      (tools/log_bench/run.sh runs it under Wine)
//
// Prints, for each log size, the median time per logged message (header line + body line)
// and the ratio of the long log's figure to the short log's, with the log hidden (as in the
// tray) and shown. It also prints what the control charges for putting the caret near the
// end of the log, which an append does once to leave the caret at the start of its line:
// Wine's rich edit finds a position by walking every paragraph before it.
#include <windows.h>

#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/log_control_win.h"
#include "app/message_log.h"
#include "capture/watcher.h"

namespace {

// GBK bytes of " 说：" and of a short Chinese greeting, as the watcher writes them.
const char kSaidColon[] = " \xcb\xb5\xa3\xba";
const char kGreeting[] = "\xc4\xe3\xba\xc3";  // 你好

struct Host {
    HWND top = nullptr;
    HWND log = nullptr;
    HFONT font = nullptr;
    Host(bool visible) {
        top = CreateWindowExW(0, L"STATIC", L"log_bench", WS_OVERLAPPEDWINDOW, 0, 0, 305, 546, nullptr, nullptr,
                              nullptr, nullptr);
        font = CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Tahoma");
        log = CreateLogControl(top, 1, 0, 300, 500, 1, font);
        if (visible) ShowWindow(top, SW_SHOWNOACTIVATE);
    }
    ~Host() {
        DestroyWindow(top);
        DeleteObject(font);
    }
};

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

DWORD CALLBACK FeedRtf(DWORD_PTR cookie, LPBYTE buf, LONG size, LONG* done) {
    auto* src = reinterpret_cast<std::pair<const std::string*, std::size_t>*>(cookie);
    LONG n = static_cast<LONG>(std::min<std::size_t>(static_cast<std::size_t>(size), src->first->size() - src->second));
    std::memcpy(buf, src->first->data() + src->second, static_cast<std::size_t>(n));
    src->second += static_cast<std::size_t>(n);
    *done = n;
    return 0;
}

// Fills the log with `lines` lines as the watcher would have left them (alternating coloured
// header lines and black body lines), in one stream so that setting up stays cheap.
void Prefill(HWND log, int lines) {
    std::string rtf = "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fcharset134 Tahoma;}}"
                      "{\\colortbl;\\red0\\green128\\blue0;\\red0\\green0\\blue255;\\red0\\green0\\blue0;}\\f0\\fs16 ";
    char line[128];
    for (int i = 0; i < lines; ++i) {
        if (i % 2 == 0)
            std::snprintf(line, sizeof line, "\\cf%d Friend%d  12:%02d:%02d \\'cb\\'b5\\'a3\\'ba\\par\n",
                          (i / 2) % 2 + 1, i % 7, (i / 60) % 60, i % 60);
        else
            std::snprintf(line, sizeof line, "\\cf3 message number %d \\'c4\\'e3\\'ba\\'c3\\par\n", i);
        rtf += line;
    }
    rtf += "}";
    std::pair<const std::string*, std::size_t> src{&rtf, 0};
    EDITSTREAM es = {reinterpret_cast<DWORD_PTR>(&src), 0, FeedRtf};
    SendMessageW(log, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&es));
}

double Seconds(LARGE_INTEGER a, LARGE_INTEGER b, LARGE_INTEGER f) {
    return static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(f.QuadPart);
}

struct Figures {
    double perMessage;  // median microseconds per logged message
    double caretMove;   // median microseconds to put the caret near the end of the log
    long rows;          // rows in the log at the end
};

// Median figures over `samples` batches of `perSample` messages.
Figures Measure(int lines, bool visible, int perSample, int samples) {
    Host host(visible);
    Prefill(host.log, lines);
    Pump();
    RichEditLog log(host.log);
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    std::vector<double> perMessage;
    int n = 0;
    for (int s = 0; s < samples; ++s) {
        LARGE_INTEGER t0, t1;
        QueryPerformanceCounter(&t0);
        for (int i = 0; i < perSample; ++i, ++n) {
            char header[64], body[64];
            std::snprintf(header, sizeof header, "Friend  13:%02d:%02d%s", (n / 60) % 60, n % 60, kSaidColon);
            std::snprintf(body, sizeof body, "reply %d %s", n, kGreeting);
            AppendColouredLine(log, header, kColourFriendHeader, false);
            AppendColouredLine(log, body, kColourBody, true);
        }
        // A visible log repaints between timer ticks; that belongs to the cost of a message.
        if (visible) UpdateWindow(host.log);
        QueryPerformanceCounter(&t1);
        Pump();
        perMessage.push_back(Seconds(t0, t1, freq) * 1e6 / perSample);
    }
    // What the control itself charges for naming a position near the end of the log: the
    // one thing an append asks for that a rich edit may find by walking its whole text.
    std::vector<double> caret;
    for (int s = 0; s < samples; ++s) {
        LARGE_INTEGER t0, t1;
        const long end = log.TextLength();
        QueryPerformanceCounter(&t0);
        for (int i = 0; i < perSample; ++i) log.SetSelection(end - 1 - i % 8, 0);
        QueryPerformanceCounter(&t1);
        caret.push_back(Seconds(t0, t1, freq) * 1e6 / perSample);
    }
    log.SetSelection(log.TextLength(), 0);
    std::sort(perMessage.begin(), perMessage.end());
    std::sort(caret.begin(), caret.end());
    return {perMessage[perMessage.size() / 2], caret[caret.size() / 2],
            static_cast<long>(SendMessageW(host.log, EM_GETLINECOUNT, 0, 0))};
}

}  // namespace

int main(int argc, char** argv) {
    const int perSample = argc > 1 ? std::atoi(argv[1]) : 50;
    const int samples = argc > 2 ? std::atoi(argv[2]) : 9;
    if (!LoadLibraryW(L"riched20.dll")) {
        std::printf("log_bench: riched20.dll not found\n");
        return 1;
    }
    bool within = true;
    for (bool visible : {false, true}) {
        Figures small = Measure(100, visible, perSample, samples);
        Figures big = Measure(100000, visible, perSample, samples);
        double ratio = big.perMessage / small.perMessage;
        std::printf("%s log: %8.1f us/message at 100 lines, %8.1f us/message at 100000 lines: ratio %.2f\n",
                    visible ? "shown " : "hidden", small.perMessage, big.perMessage, ratio);
        std::printf("        of which the control's own caret placement near the end: %8.1f us at 100 lines, "
                    "%8.1f us at 100000 lines (rows at end %ld / %ld)\n",
                    small.caretMove, big.caretMove, small.rows, big.rows);
        within = within && ratio <= 2.0;
    }
    std::printf("log_bench: %s\n", within ? "within 2x" : "NOT within 2x");
    return within ? 0 : 2;
}
