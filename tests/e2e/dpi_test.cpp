// sonvira.exe on a display of 144 dots per inch: its layout and fonts grow with the dpi, as
// a form of the framework does, instead of staying at 96-dpi pixels. Leaves a screenshot in
// <build>/screenshots/dpi144.bmp.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <richedit.h>

#include <cstdio>

#include "app/fmain_win.h"
#include "res/resource.h"
#include "support/process.h"
#include "support/screenshot.h"
#include "support/sonvira.h"
#include "support/test_paths.h"

namespace {

// Sets the user's display dpi for the programs started meanwhile (Wine reads it at a
// program's start) and puts back what was there.
class DisplayDpi {
public:
    explicit DisplayDpi(DWORD dpi) {
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                        &key_, nullptr);
        DWORD size = sizeof old_;
        had_ = RegQueryValueExW(key_, L"LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&old_), &size) ==
               ERROR_SUCCESS;
        RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
    }
    ~DisplayDpi() {
        if (had_) RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&old_), sizeof old_);
        else RegDeleteValueW(key_, L"LogPixels");
        RegCloseKey(key_);
    }
    DisplayDpi(const DisplayDpi&) = delete;
    DisplayDpi& operator=(const DisplayDpi&) = delete;

private:
    HKEY key_ = nullptr;
    DWORD old_ = 0;
    bool had_ = false;
};

// The log's default character height in twips, read through memory of the program's process.
LONG RemoteLogFontTwips(HWND log, DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return 0;
    CHARFORMAT2W format = {};
    format.cbSize = sizeof format;
    void* remote = VirtualAllocEx(process, nullptr, sizeof format, MEM_COMMIT, PAGE_READWRITE);
    if (remote && WriteProcessMemory(process, remote, &format, sizeof format, nullptr)) {
        SendMessageW(log, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(remote));
        ReadProcessMemory(process, remote, &format, sizeof format, nullptr);
    }
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return format.yHeight;
}

// Runs in a second copy of this test program, started once the display has 144 dpi: Wine
// hands a program the dpi of its start and shows it every window in that dpi, so only a
// program started at 144 dpi sees the screen's own pixels.
void MeasureAt144() {
    SetProcessDPIAware();
    HDC screen = GetDC(nullptr);
    ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 144);
    ReleaseDC(nullptr, screen);
    // Start-up's engine complaints, if any, go first; then the window comes out of the tray
    // on its options tab, as "选项设置" brings it.
    RunningSonvira sonvira;
    HWND main = sonvira.Main(), log = sonvira.LogControl();
    ASSERT_NE(main, nullptr);
    ASSERT_NE(log, nullptr);
    PostMessageW(main, WM_COMMAND, IDM_NITEMOPTIONS, 0);
    ASSERT_TRUE(WaitUntil([main] { return IsWindowVisible(main) != FALSE; }, kPatienceMs));

    RECT client;
    GetClientRect(main, &client);
    std::printf("dpi 144: client %ld x %ld\n", client.right, client.bottom);
    EXPECT_NEAR(client.right, 458, 2) << "305 at 96 dpi";
    EXPECT_NEAR(client.bottom, 819, 2) << "546 at 96 dpi";
    // A font of -17 pixels at 144 dpi is 17 points * 10 = 170 twips; unscaled it would be 110.
    const LONG twips = RemoteLogFontTwips(log, sonvira.Id());
    std::printf("dpi 144: log font %ld twips = %.1f pixels\n", twips, twips * 144.0 / 1440.0);
    EXPECT_NEAR(twips, 170, 5);
    // The controls grew with the window: the options' last button ends where it should.
    RECT button;
    GetWindowRect(FindControl(main, IDC_BDOWNLOAD), &button);
    EXPECT_NEAR(button.right - button.left, 371, 2) << "247 at 96 dpi";
    EXPECT_NEAR(button.bottom - button.top, 38, 2) << "25 at 96 dpi";

    SetForegroundWindow(main);
    RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpFor(700);
    // Wine draws a 144-dpi program's windows onto the X screen at its 96 dpi, shrunk by a
    // third: the picture is taken there, where a person sees the window.
    RECT r;
    GetWindowRect(main, &r);
    RECT seen = {MulDiv(r.left, 96, 144), MulDiv(r.top, 96, 144), MulDiv(r.right, 96, 144), MulDiv(r.bottom, 96, 144)};
    EXPECT_TRUE(SaveScreenshot(seen, BuildDir() + L"\\screenshots\\dpi144.bmp"));
}

TEST(Dpi, At144TheWindowAndItsFontsAreHalfAsLargeAgain) {
    if (GetEnvironmentVariableW(L"SONVIRA_DPI_MEASURE", nullptr, 0) != 0) {
        MeasureAt144();
        return;
    }
    DisplayDpi dpi(144);
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    SetEnvironmentVariableW(L"SONVIRA_DPI_MEASURE", L"1");
    ChildProcess measure(self, L"--gtest_filter=Dpi.*");
    SetEnvironmentVariableW(L"SONVIRA_DPI_MEASURE", nullptr);
    DWORD code = 1;
    ASSERT_TRUE(measure.WaitExit(120000, &code)) << "the measuring copy did not end";
    EXPECT_EQ(code, 0u) << "the measurements at 144 dpi failed (their report is above)";
}

}  // namespace
