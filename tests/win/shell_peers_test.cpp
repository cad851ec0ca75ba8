// The tray icon's peer for real: the right button's menu waits for the message loop.
#include <gtest/gtest.h>

#include <windows.h>

#include "common/shell_doubles.h"
#include "win/shell_win.h"

TEST(TrayIconWin, WhatWaitsAtARightClickRunsFromTheLoopBeforeTheMenuOpens) {
    Calls calls;
    RecordingPopup recording(calls);
    TPopupMenu menu;
    menu.AttachPeer(&recording);
    TTrayIcon icon;
    icon.PopupMenu = &menu;
    TrayIconPeer peer(icon, GetModuleHandleW(nullptr), nullptr, nullptr);
    icon.AttachPeer(&peer);
    icon.UserMouse(TTrayMouse::RightUp);
    // A message waits when the click's wait is over; pumping inside the click would take it.
    PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0);
    icon.ClickWaitOver();
    const UINT_PTR patience = SetTimer(nullptr, 0, 10000, nullptr);
    MSG msg;
    while (calls.size() < 2 && GetMessageW(&msg, nullptr, 0, 0) > 0 && !(msg.message == WM_TIMER && msg.wParam == patience)) {
        if (msg.message == WM_APP) calls.push_back("loop");
        DispatchMessageW(&msg);
    }
    KillTimer(nullptr, patience);
    EXPECT_EQ(calls, (Calls{"loop", "popup 0,0"})) << "awaited: the waiting message, then the menu";
}
