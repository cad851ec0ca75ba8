// Whole files: what the log commands, the WAV export and the logon shortcut ask of the file
// system. A file the user named in a file dialog is named in UTF-8, so that any name the
// dialog accepts reaches the file whole; the program's own paths are ANSI, as the path
// routines give them. A failure is a FileError whose
// message is the one the user sees, in the framework's wording, so the default error handler
// shows it unchanged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>

#include "base/string_table.h"

class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    // A file named in UTF-8 that the ANSI code page cannot spell shows as "?" in the 8-bit
    // message; exact is then the whole message in UTF-16 with the name as the user typed it.
    FileError(const std::string& message, std::u16string exact) : std::runtime_error(message), exact_(std::move(exact)) {}
    // Empty when the 8-bit message says it all.
    const std::u16string& Exact() const { return exact_; }

private:
    std::u16string exact_;
};

// The framework's messages: the file named in double quotes, then the system's reason.
std::string FileOpenErrorMessage(const std::string& path, const std::string& reason);
std::string FileCreateErrorMessage(const std::string& path, const std::string& reason);

struct IFiles {
    virtual ~IFiles() = default;
    // The file's whole content, or its first atMost + 1 bytes when it is longer: enough to tell
    // a file too big without holding all of it. Throws FileError with FileOpenErrorMessage when
    // it cannot be opened, and with kLoadStreamError when it cannot be read to its end.
    virtual std::string ReadAll(const std::string& utf8Path, std::size_t atMost = SIZE_MAX) = 0;
    // The error for a file that cannot be opened for this reason, naming the file as the
    // user knows it.
    virtual FileError CannotOpen(const std::string& utf8Path, const std::string& reason) {
        return FileError(FileOpenErrorMessage(utf8Path, reason));
    }
    // Creates the file, or replaces it when it exists, holding exactly these bytes. Until all
    // of them are written the old file stays whole; any failure leaves it as it was and
    // throws FileError with FileCreateErrorMessage and the system's reason.
    virtual void WriteAll(const std::string& utf8Path, const std::string& bytes) = 0;
    // False when the file could not be deleted; callers decide whether that matters.
    virtual bool Delete(const std::string& ansiPath) = 0;
};

using texts::kLoadStreamError;
using texts::kSaveStreamError;

// The system's text for an error as the framework quotes it: without the line breaks,
// spaces and full stops it ends with, so that the message ends in one sentence of its own.
std::string TrimSystemReason(const std::string& reason);
