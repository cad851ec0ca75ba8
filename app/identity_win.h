// Who the running program is to Windows, written once: a second start, the tests and the
// tools find the main window by its class and title, and the first start of a session holds
// the mutex. The title is the program's name in the string table.
#pragma once

#include "base/string_table.h"

inline constexpr wchar_t kMainWindowClass[] = L"TFmain";
inline const wchar_t* const kMainWindowTitle = reinterpret_cast<const wchar_t*>(texts::kProgramName);
// Named in the session's own namespace: another user's session runs its own Sonvira.
inline constexpr wchar_t kInstanceMutex[] = L"Local\\Sonvira.Instance";
