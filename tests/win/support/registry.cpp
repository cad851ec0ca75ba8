// Registry helpers of the Windows tests; see registry.h.
#include "support/registry.h"

#include <windows.h>

#include "win/codepage_win.h"

namespace reg {

std::vector<std::string> Values(const std::string& path) {
    std::vector<std::string> out;
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return out;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameSize = sizeof name, type = 0, size = 0;
        if (RegEnumValueA(k, i, name, &nameSize, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        std::vector<char> data(size + 1, '\0');
        nameSize = sizeof name;
        RegEnumValueA(k, i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
        // The buffer above ends every string; the stored size shows whether the writer did.
        DWORD stored = 0;
        RegQueryValueExW(k, AnsiToWide(name).c_str(), nullptr, nullptr, nullptr, &stored);
        const bool ended = stored == (AnsiToWide(data.data()).size() + 1) * sizeof(wchar_t);
        out.push_back(type == REG_SZ ? std::string(name) + "=" + data.data() + (ended ? "" : " (no NUL)")
                                     : std::string(name) + ":" + std::to_string(type));
    }
    RegCloseKey(k);
    return out;
}

std::vector<std::string> SubKeys(const std::string& path) {
    std::vector<std::string> out;
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return out;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(k, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        out.emplace_back(name, size);
    }
    RegCloseKey(k);
    return out;
}

bool Exists(const std::string& path) {
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

bool Put(const std::string& path, const std::string& name, const std::string& data) {
    HKEY k;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) !=
        ERROR_SUCCESS)
        return false;
    bool ok = RegSetValueExA(k, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                             static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS;
    RegCloseKey(k);
    return ok;
}

void Delete(const std::string& path) { RegDeleteTreeA(HKEY_LOCAL_MACHINE, path.c_str()); }

}  // namespace reg
