// What a user does and sees on the virtual desktop, for the end-to-end tests: real mouse
// clicks and key presses (they travel through the X server like a person's), the icons in
// the notification area, and pop-up menus that are open.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <vector>

enum class MouseButton { Left, Right, Middle };

// Moves the cursor there and presses and releases the button; twice, quickly, for a double
// click.
void ClickAt(POINT at, MouseButton button, int times = 1);

// Presses and releases each key in turn. For a chord, PressChord({VK_MENU, VK_F4}).
void PressKeys(std::initializer_list<WORD> keys);
void PressChord(std::initializer_list<WORD> keys);

// The notification area's icons, in the order the shell shows them.
std::vector<HWND> TrayIconWindows();
POINT CentreOf(HWND window);

// An open pop-up menu of the process (class "#32768", visible), or nullptr.
HWND OpenMenuOf(DWORD pid);
