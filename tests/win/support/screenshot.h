// Screenshots for the end-to-end tests: what the screen shows inside a window's rectangle,
// saved as a 24-bit BMP, so a person can look at a layout after a run.
#pragma once

#include <windows.h>

#include <string>

// Copies the screen area of the window (frame included) into a BMP file, creating the folder
// when needed. False when nothing could be captured or written.
bool SaveWindowScreenshot(HWND window, const std::wstring& bmpPath);

// The same for any rectangle of the screen, e.g. a window together with its open menu.
bool SaveScreenshot(RECT area, const std::wstring& bmpPath);
