// The main job as a user sees it: sonvira.exe runs beside a chat window that is in front;
// a friend and the user write, a couple of seconds apart; every message shows up in
// Sonvira's log exactly once, header line then body line, in the order they were written.
// The same run measures how long a message takes from the chat window to the log.
#include <gtest/gtest.h>

#include <windows.h>

#include <richedit.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "app/fmain_win.h"
#include "support/process.h"
#include "support/sonvira.h"
#include "support/standin.h"
#include "win/codepage_win.h"

namespace {

constexpr COLORREF kAutoColour = 0xFF000000;  // no colour of its own: the system's text colour

// The text colour at one position of another process's rich edit. The control takes its
// range and format through pointers, so they live in that process's memory. This moves the
// log's selection, so it is only used once the chat is over.
COLORREF RemoteColourAt(HWND edit, DWORD pid, long pos) {
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return CLR_INVALID;
    // The format first, the range after it, in one block of that process's memory.
    const std::size_t rangeAt = (sizeof(CHARFORMAT2W) + 7) / 8 * 8;
    auto* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, rangeAt + sizeof(CHARRANGE), MEM_COMMIT, PAGE_READWRITE));
    CHARFORMAT2W format = {};
    format.cbSize = sizeof format;
    CHARRANGE range = {pos, pos + 1};
    COLORREF colour = CLR_INVALID;
    if (remote && WriteProcessMemory(process, remote, &format, sizeof format, nullptr) &&
        WriteProcessMemory(process, remote + rangeAt, &range, sizeof range, nullptr)) {
        SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(remote + rangeAt));
        SendMessageW(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(remote));
        if (ReadProcessMemory(process, remote, &format, sizeof format, nullptr))
            colour = (format.dwEffects & CFE_AUTOCOLOR) ? kAutoColour : format.crTextColor;
    }
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return colour;
}

// The log's default character format, read through memory of the program's process.
bool RemoteDefaultFormat(HWND edit, DWORD pid, CHARFORMAT2W& format) {
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return false;
    void* remote = VirtualAllocEx(process, nullptr, sizeof format, MEM_COMMIT, PAGE_READWRITE);
    format = {};
    format.cbSize = sizeof format;
    bool ok = remote && WriteProcessMemory(process, remote, &format, sizeof format, nullptr);
    if (ok) SendMessageW(edit, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(remote));
    ok = ok && ReadProcessMemory(process, remote, &format, sizeof format, nullptr);
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return ok;
}

TEST(MainJob, LogIsAWrappingEditableRichEditInTahomaWithRoomForAWholeSession) {
    RunningSonvira sonvira;
    ASSERT_NE(sonvira.Main(), nullptr);
    HWND log = sonvira.LogControl();
    ASSERT_NE(log, nullptr);
    wchar_t cls[32] = {};
    GetClassNameW(log, cls, 32);
    EXPECT_STREQ(cls, L"RichEdit20W");
    const LONG style = GetWindowLongW(log, GWL_STYLE);
    EXPECT_TRUE(style & ES_MULTILINE);
    EXPECT_FALSE(style & (WS_HSCROLL | ES_AUTOHSCROLL)) << "lines wrap at the window's width";
    EXPECT_FALSE(style & ES_READONLY) << "the user may type into the log";
    EXPECT_GT(SendMessageW(log, EM_GETLIMITTEXT, 0, 0), 32767) << "the rich edit's default limit would drop lines";
    CHARFORMAT2W format;
    ASSERT_TRUE(RemoteDefaultFormat(log, sonvira.Id(), format));
    EXPECT_STREQ(format.szFaceName, L"Tahoma");
    EXPECT_EQ(format.bCharSet, GB2312_CHARSET);
    EXPECT_NEAR(format.yHeight, 165, 10) << "-11 pixels at 96 dots per inch, in twips";
    // The log fills its page but for the 1-pixel strip on the left.
    RECT page, rc;
    GetClientRect(GetParent(log), &page);
    GetWindowRect(log, &rc);
    MapWindowPoints(nullptr, GetParent(log), reinterpret_cast<POINT*>(&rc), 2);
    EXPECT_EQ(rc.left, 1);
    EXPECT_EQ(rc.top, 0);
    EXPECT_EQ(rc.right, page.right);
    EXPECT_EQ(rc.bottom, page.bottom);
}

TEST(MainJob, MessagesFromTheChatInFrontAreLoggedOnceEachInOrder) {
    RunningSonvira sonvira;
    ASSERT_NE(sonvira.Main(), nullptr);
    HWND log = sonvira.LogControl();
    ASSERT_NE(log, nullptr);
    ASSERT_EQ(WindowTextW(log), L"") << "the log starts empty";

    // The friend 小鱼 in the title with the chat marker 交谈中; the user writes as "Bob".
    StandinChat chat(L"--title \"与 小鱼 交谈中\"");
    // The chat window goes in front of Sonvira's and stays there until Sonvira has looked at it.
    ASSERT_TRUE(chat.BringToFront());
    ASSERT_TRUE(chat.WaitForReaders(2)) << "Sonvira never looked at the chat";
    const std::string friendNick = WideToAnsi(L"小鱼"), ownNick = "Bob";
    struct Message {
        const std::string* nick;
        std::wstring body;
    } messages[] = {
        {&friendNick, L"你好，在吗？"},
        {&ownNick, L"在的，什么事？"},
        {&friendNick, L"今天晚上一起吃饭吧。"},
        {&ownNick, L"Sure, see you tonight."},
        {&friendNick, L"好的，不见不散！"},
    };

    std::wstring expected;
    struct Colours {
        long header, body;  // positions in the control's unit (a line break is one)
        COLORREF headerColour;
    };
    std::vector<Colours> colours;
    long position = 0;
    std::vector<double> latencies;
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    for (const auto& m : messages) {
        ASSERT_EQ(GetForegroundWindow(), chat.Window()) << "the chat window lost the front";
        LARGE_INTEGER sent, seen;
        QueryPerformanceCounter(&sent);
        ASSERT_TRUE(chat.AppendMessage(*m.nick, WideToAnsi(m.body)));
        const std::wstring header = AnsiToWide(chat.LastHeader());
        ASSERT_EQ(header.rfind(AnsiToWide(*m.nick) + L"  ", 0), 0u) << "stand-in layout: " << WideToUtf8(header);
        expected += header + L" 说：\r\n" + m.body + L"\r\n";
        const long headerLength = static_cast<long>(header.size()) + 4;  // " 说：" and the break
        colours.push_back({position, position + headerLength, m.nick == &friendNick ? 0xFF0000u : 0x008000u});
        position += headerLength + static_cast<long>(m.body.size()) + 1;
        // A generous bound: the watcher looks once a second.
        bool arrived = WaitUntil([&] { return WindowTextW(log).size() >= expected.size(); }, kPatienceMs);
        QueryPerformanceCounter(&seen);
        ASSERT_TRUE(arrived) << "not logged within 5 s: " << WideToUtf8(m.body) << "\nlog now: "
                             << WideToUtf8(WindowTextW(log)) << "\ntranscript reads: " << chat.Reads() << ", size requests: " << chat.SizeRequests() << ", foreground is chat: " << (GetForegroundWindow() == chat.Window());
        latencies.push_back(static_cast<double>(seen.QuadPart - sent.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart));
        EXPECT_EQ(WindowTextW(log), expected);
        // A couple of seconds to the next message, varied so that messages fall at different
        // moments of the watcher's second; meanwhile nothing is logged twice.
        PumpFor(2000 + static_cast<DWORD>(latencies.size() * 370 % 1000));
        ASSERT_EQ(WindowTextW(log), expected);
    }

    std::vector<double> sorted = latencies;
    std::sort(sorted.begin(), sorted.end());
    std::printf("main job: chat-to-log latency over %u messages: median %.0f ms (min %.0f, max %.0f)\n",
                static_cast<unsigned>(sorted.size()), sorted[sorted.size() / 2], sorted.front(), sorted.back());
    // Friend's header lines blue, the user's green, bodies black.
    for (const auto& c : colours) {
        EXPECT_EQ(RemoteColourAt(log, sonvira.Id(), c.header), c.headerColour) << "header at " << c.header;
        EXPECT_EQ(RemoteColourAt(log, sonvira.Id(), c.body), 0u) << "body at " << c.body;
    }
    EXPECT_TRUE(sonvira.Running());
}

}  // namespace
