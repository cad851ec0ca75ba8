// Win32 side of the path routines; see paths_win.h.
#include "app/paths_win.h"

#include <windows.h>

#include <shlobj.h>

#include <vector>

std::string Win32PathPlatform::SpecialFolder(int csidl) {
    LPITEMIDLIST pidl = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &pidl)) || !pidl) return {};
    char buf[MAX_PATH] = {};
    BOOL ok = SHGetPathFromIDListA(pidl, buf);
    CoTaskMemFree(pidl);
    return ok ? std::string(buf) : std::string();
}

std::string Win32PathPlatform::ProgramPath() {
    // Grown until the whole path fits: a program may lie deeper than MAX_PATH characters.
    std::vector<char> buf(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return {};
        if (n < buf.size()) return std::string(buf.data(), n);
        buf.resize(buf.size() * 2);
    }
}

std::string Win32PathPlatform::WindowsFolder() {
    char buf[MAX_PATH] = {};
    UINT n = GetWindowsDirectoryA(buf, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(buf, n) : std::string();
}

bool Win32PathPlatform::DirectoryExists(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32PathPlatform::CreateFolder(const std::string& path) {
    // Another process may have made it meanwhile; what counts is that it is there.
    return CreateDirectoryA(path.c_str(), nullptr) || DirectoryExists(path);
}

bool Win32PathPlatform::FileExists(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}
