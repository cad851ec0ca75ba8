// Where the Windows tests find the programs they start (beside the build's tests folder), and
// the files they read.
#include "support/test_paths.h"

#include <windows.h>

#include <vector>

std::wstring ExeDir() {
    std::vector<wchar_t> buf(MAX_PATH * 4);
    DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    std::wstring path(buf.data(), n);
    return path.substr(0, path.find_last_of(L"\\/"));
}

std::wstring BuildDir() {
    std::wstring tests = ExeDir();
    return tests.substr(0, tests.find_last_of(L"\\/"));
}

std::string FileBytes(const std::wstring& path) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0) bytes.append(buf, got);
    CloseHandle(f);
    return bytes;
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
