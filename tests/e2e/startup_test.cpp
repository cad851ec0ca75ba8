// sonvira.exe starts under Wine, creates its main window of class "TFmain" titled "Sonvira"
// with the two tabs, and keeps running until it is told to go.
#include <gtest/gtest.h>

#include "app/fmain_win.h"
#include "support/process.h"

TEST(Startup, MainWindowComesUpWithItsTabs) {
    ChildProcess sonvira(SonviraExe(), L"");
    HWND main = WaitForTopWindow(sonvira.Id(), L"TFmain", L"Sonvira");
    ASSERT_NE(main, nullptr) << "no TFmain window appeared";
    HWND tabs = WaitForControl(main, IDC_PAGECONTROL);
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(SendMessageW(tabs, 0x1304 /* TCM_GETITEMCOUNT */, 0, 0), 2);
    RECT client;
    GetClientRect(main, &client);
    EXPECT_EQ(client.right - client.left, 305);
    EXPECT_EQ(client.bottom - client.top, 546);
    PumpFor(1500);
    EXPECT_TRUE(sonvira.Running()) << "the program ended on its own";
}
