// Win32 side of the carried voices; see carried_voices_win.h.
#include "speech/carried_voices_win.h"

#include <windows.h>

#include <vector>

#include "win/handles.h"

namespace {

// Sub-keys first, then the key itself. RegDeleteTree would do it in one call, but it came
// with Vista, and the carried voices exist for Windows XP, where importing it would keep the
// program from loading at all.
void DeleteKeyTree(HKEY parent, const std::string& name) {
    HKEY raw = nullptr;
    if (RegOpenKeyExA(parent, name.c_str(), 0, KEY_ALL_ACCESS, &raw) != ERROR_SUCCESS) return;
    UniqueRegKey key(raw);
    for (;;) {
        // Always the first sub-key: deleting renumbers the rest.
        char sub[256];
        DWORD size = sizeof sub;
        if (RegEnumKeyExA(key.get(), 0, sub, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        std::string child(sub, size);
        DeleteKeyTree(key.get(), child);
        // A sub-key that would not go would be found again and again.
        HKEY still = nullptr;
        if (RegOpenKeyExA(key.get(), child.c_str(), 0, KEY_READ, &still) == ERROR_SUCCESS) {
            RegCloseKey(still);
            break;
        }
    }
    key.reset();
    RegDeleteKeyA(parent, name.c_str());
}

class Win32RegistryKey : public IRegistryKey {
public:
    explicit Win32RegistryKey(HKEY key) : key_(key) {}

    bool WriteString(const std::string& name, const std::string& data) override {
        return RegSetValueExA(key_.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                              static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS;
    }

    bool ReadString(const std::string& name, std::string& data) override {
        DWORD type = 0, size = 0;
        if (RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
        if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
        std::vector<char> buf(size + 1, '\0');
        if (RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &size) !=
            ERROR_SUCCESS)
            return false;
        data.assign(buf.data());
        return true;
    }

    void DeleteTree(const std::string& subKey) override { DeleteKeyTree(key_.get(), subKey); }

    std::vector<std::string> SubKeyNames() override {
        std::vector<std::string> names;
        char name[256];
        for (DWORD i = 0, size = sizeof name;
             RegEnumKeyExA(key_.get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
             ++i, size = sizeof name)
            names.emplace_back(name, size);
        return names;
    }

    // Value names are at most 16,383 characters (Microsoft's "Registry Element Size Limits").
    std::vector<std::string> ValueNames() override {
        std::vector<std::string> names;
        std::vector<char> name(16384 * 2);
        for (DWORD i = 0, size = static_cast<DWORD>(name.size());
             RegEnumValueA(key_.get(), i, name.data(), &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
             ++i, size = static_cast<DWORD>(name.size()))
            names.emplace_back(name.data(), size);
        return names;
    }

private:
    UniqueRegKey key_;
};

}  // namespace

std::unique_ptr<IRegistryKey> Win32Registry::CreateKey(const std::string& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<Win32RegistryKey>(key);
}

std::unique_ptr<IRegistryKey> Win32Registry::OpenKey(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return nullptr;
    return std::make_unique<Win32RegistryKey>(key);
}

int Win32OsVersion::MajorVersion() {
    OSVERSIONINFOA v = {};
    v.dwOSVersionInfoSize = sizeof v;
    return GetVersionExA(&v) ? static_cast<int>(v.dwMajorVersion) : 0;
}
