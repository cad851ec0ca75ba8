// Where the Windows tests find the programs they start: beside the build's tests folder.
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
