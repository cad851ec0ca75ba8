// The path routines; see paths.h.
#include "app/paths.h"

#include <stdexcept>

#include "base/string_table.h"

namespace {

// A trail byte of a double-byte character may be 0x5C ('\') or 0x2E ('.'), so the
// delimiters are searched for character by character, with the code page's own rule for
// which bytes start a two-byte character (none in a single-byte code page such as 1252).
// Position of the last delimiter byte that stands as a character of its own, or npos.
std::size_t LastDelimiter(const std::string& s, const char* delimiters, const ILeadBytes& leadBytes) {
    std::size_t found = std::string::npos;
    for (std::size_t i = 0; i < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (leadBytes.IsLeadByte(c) && i + 1 < s.size()) {
            ++i;
            continue;
        }
        for (const char* d = delimiters; *d; ++d)
            if (s[i] == *d) found = i;
    }
    return found;
}

std::string WithBackslash(const std::string& folder) { return folder + "\\"; }

}  // namespace

std::string GetSpecialFolder(IPathPlatform& platform, int csidl) { return platform.SpecialFolder(csidl); }

std::string GetExeBaseName(const std::string& path, const ILeadBytes& leadBytes) {
    std::size_t slash = LastDelimiter(path, "\\:", leadBytes);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::size_t dot = LastDelimiter(name, ".", leadBytes);
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string ExtractFilePath(const std::string& path, const ILeadBytes& leadBytes) {
    std::size_t slash = LastDelimiter(path, "\\:", leadBytes);
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string ExtractFileDrive(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
        // Server and share: up to the backslash after the share's name.
        std::size_t server = path.find('\\', 2);
        if (server == std::string::npos) return path;
        std::size_t share = path.find('\\', server + 1);
        return share == std::string::npos ? path : path.substr(0, share);
    }
    return {};
}

std::string GetAppDataDir(IPathPlatform& platform) {
    return WithBackslash(GetSpecialFolder(platform, kCsidlAppData));
}

std::string GetStartupDir(IPathPlatform& platform) {
    return WithBackslash(GetSpecialFolder(platform, kCsidlStartup));
}

std::string GetDataDir(IPathPlatform& platform) {
    // One level only: an application-data folder that is missing is the system's fault, and
    // creating it here would hide that.
    std::string folder = GetAppDataDir(platform) + GetExeBaseName(platform.ProgramPath(), platform.LeadBytes());
    if (!platform.DirectoryExists(folder) && !platform.CreateFolder(folder))
        throw std::runtime_error(texts::UnableToCreateFolder(folder));
    return WithBackslash(folder);
}

std::string GetWindowsDir(IPathPlatform& platform) { return platform.WindowsFolder(); }

std::string GetLogonShortcutPath(IPathPlatform& platform) {
    return GetStartupDir(platform) + GetExeBaseName(platform.ProgramPath(), platform.LeadBytes()) + ".lnk";
}
