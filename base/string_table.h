// Every text a user of Sonvira can see: captions, menus, balloons, boxes and error messages.
// A translation touches this file alone. The texts live in portable code rather than in the
// resource file, so that the native tests compare against the very strings the program shows.
//
// Shown texts are UTF-16 (they reach the W functions as they are); error messages are 8-bit,
// because they travel in exceptions and are converted at the boundary like any other ANSI text.
#pragma once

#include <string>

namespace texts {

// --- The main window: menus, controls, balloons, boxes and dialogs ---

// --- Errors and texts of the lower layers: files, settings, voices, the log control ---

}  // namespace texts
