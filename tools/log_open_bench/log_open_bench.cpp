// Measures what opening a big saved log costs: a chat history of the given size, as plain
// text or as the RTF the log itself saves, read into the real rich-edit log through the
// program's own document code. Windows-only tool.
//
//   log_open_bench [megabytes] [rtf]      (tools/log_open_bench/run.sh runs it under Wine)
//
// Prints the time the control took and how much of the process's address space it took: a
// 32-bit program has 2 GB of it, and a rich edit that runs out of it fails the program.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/log_commands_win.h"
#include "app/log_control_win.h"

namespace {

double Ms(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

unsigned long long AvailableMb() {
    MEMORYSTATUSEX m = {};
    m.dwLength = sizeof m;
    GlobalMemoryStatusEx(&m);
    return m.ullAvailVirtual >> 20;
}

}  // namespace

int main(int argc, char** argv) {
    const unsigned mb = argc > 1 ? static_cast<unsigned>(std::atoi(argv[1])) : 10;
    const bool rtf = argc > 2 && std::strcmp(argv[2], "rtf") == 0;
    LoadLibraryW(L"riched20.dll");
    HWND top = CreateWindowExW(0, L"STATIC", L"log_open_bench", WS_OVERLAPPEDWINDOW, 0, 0, 305, 546, nullptr,
                               nullptr, nullptr, nullptr);
    HWND edit = CreateLogControl(top, 1, 0, 300, 500, 102, nullptr);
    if (!edit) {
        std::printf("no rich edit\n");
        return 1;
    }
    RichEditDocument log(edit);

    // Two lines per message, "你好" in each body, as the watcher logs them.
    std::string text;
    for (int i = 0; text.size() < mb * 1024ull * 1024; ++i)
        text += "Alice  12:00:00 \xcb\xb5\xa3\xba\r\n\xc4\xe3\xba\xc3 line " + std::to_string(i) + " of a long chat\r\n";
    std::string bytes = text;
    if (rtf) {
        log.Load(text, LogFormat::Text);
        log.Save(LogFormat::Rtf, bytes);
        log.Clear();
    }

    const unsigned long long before = AvailableMb();
    LARGE_INTEGER a, b;
    QueryPerformanceCounter(&a);
    bool ok = log.Load(bytes, rtf ? LogFormat::Rtf : LogFormat::Text);
    QueryPerformanceCounter(&b);
    std::printf("%u MB of %s: %s in %.0f ms, %llu MB of address space, text %s\n", mb, rtf ? "RTF" : "text",
                ok ? "read" : "refused", Ms(a, b), before - AvailableMb(), log.Text() == text ? "whole" : "NOT whole");
    DestroyWindow(top);
    return 0;
}
