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
// A message built around a value is a function, so that a translation keeps the sentence whole.

// Files: the framework's wording, the file named in double quotes and then the system's reason;
// and what its streams say when a file cannot be read or written whole.
inline std::string CannotOpenFile(const std::string& path, const std::string& reason) {
    return "Cannot open file \"" + path + "\". " + reason;
}
inline std::string CannotCreateFile(const std::string& path, const std::string& reason) {
    return "Cannot create file \"" + path + "\". " + reason;
}
inline const std::string kLoadStreamError = "Failed to Load Stream";
inline const std::string kSaveStreamError = "Failed to Save Stream";
// The system has no text of its own for this error number.
inline std::string SystemError(unsigned long error) { return "System error " + std::to_string(error); }

// Paths and the logon shortcut. The shortcut's complaint carries GBK corner brackets.
inline std::string UnableToCreateFolder(const std::string& folder) { return "Unable to create folder " + folder; }
inline const std::string kShortcutExtension = "File Ext Must Be: \xA1\xE4\xA1\xE4LNK\xA1\xE4\xA1\xE4!";

// The message log's rich-edit control.
inline const std::string kLogLengthUnknown = "The message log did not report its length.";
inline const std::string kLogInsertionError = "RichEdit line insertion error";
inline const std::string kLogColourRefused = "The message log refused a text colour.";

// Voices: the profiles, the carried voices' registration and the engine.
inline const std::string kNoVoiceSelected = "No voice is selected";
inline const std::string kItemCarriesNoVoice = "The selected item carries no voice";
inline std::string FailedToSetData(const std::string& valueName) { return "Failed to set data for '" + valueName + "'"; }
inline const std::string kTokenOfAnotherEngine = "The voice token does not belong to this speech engine";
inline const std::string kStreamOfAnotherEngine = "The file stream does not belong to this speech engine";
inline std::string NoAudioWritten(unsigned long samplesPerSec, unsigned bitsPerSample, unsigned channels) {
    return "The voice wrote no audio into the WAV file: it may not speak the file's format (" +
           std::to_string(samplesPerSec) + " Hz, " + std::to_string(bitsPerSample) + "-bit, " +
           std::to_string(channels) + " channel)";
}

// The default error handler's text for an error that carries no message.
inline const std::string kUnknownError = "Unknown error";

}  // namespace texts
