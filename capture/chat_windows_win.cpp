// Placeholder until the Win32 chat window reader lands.
#include "capture/chat_windows_win.h"
WindowRef Win32ChatWindows::Foreground() { return 0; }
std::string Win32ChatWindows::Title(WindowRef) { return {}; }
WindowRef Win32ChatWindows::FindChild(WindowRef, const char*) { return 0; }
bool Win32ChatWindows::QueryTextLength(WindowRef, std::size_t&) { return false; }
bool Win32ChatWindows::ReadText(WindowRef, std::size_t, std::string&) { return false; }
