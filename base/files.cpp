// The file errors' wording; see files.h.
#include "base/files.h"

std::string TrimSystemReason(const std::string& reason) {
    std::size_t n = reason.size();
    while (n > 0 && (static_cast<unsigned char>(reason[n - 1]) <= 0x20 || reason[n - 1] == '.')) --n;
    return reason.substr(0, n);
}

std::string FileOpenErrorMessage(const std::string& path, const std::string& reason) {
    return texts::CannotOpenFile(path, TrimSystemReason(reason));
}

std::string FileCreateErrorMessage(const std::string& path, const std::string& reason) {
    return texts::CannotCreateFile(path, TrimSystemReason(reason));
}
