// Whole files through the Win32 file API; see files_win.h.
#include "win/files_win.h"

#include <algorithm>

#include "win/codepage_win.h"
#include "win/handles.h"

namespace {

// ReadFile and WriteFile take 32-bit counts; a file is moved in pieces of this size.
constexpr DWORD kPiece = 1 << 20;

}  // namespace

std::string SystemErrorText(DWORD error) {
    wchar_t* buf = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, error, 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
    std::wstring text = n && buf ? std::wstring(buf, n) : std::wstring();
    if (buf) LocalFree(buf);
    if (text.empty()) return "System error " + std::to_string(error);
    return WideToAnsi(text);
}

std::string Win32Files::ReadAll(const std::string& path) {
    // Others may read the file meanwhile, nobody may change it under the reader.
    UniqueFile file(CreateFileW(AnsiToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) throw FileError(FileOpenErrorMessage(path, SystemErrorText(GetLastError())));
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > 0x7FFFFFFF) throw FileError(kLoadStreamError);
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD want = static_cast<DWORD>(std::min<std::size_t>(kPiece, bytes.size() - done)), got = 0;
        if (!ReadFile(file.get(), &bytes[done], want, &got, nullptr) || got == 0) throw FileError(kLoadStreamError);
        done += got;
    }
    return bytes;
}

void Win32Files::WriteAll(const std::string& path, const std::string& bytes) {
    UniqueFile file(CreateFileW(AnsiToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) throw FileError(FileCreateErrorMessage(path, SystemErrorText(GetLastError())));
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD want = static_cast<DWORD>(std::min<std::size_t>(kPiece, bytes.size() - done)), put = 0;
        if (!WriteFile(file.get(), bytes.data() + done, want, &put, nullptr) || put == 0)
            throw FileError(kSaveStreamError);
        done += put;
    }
}

bool Win32Files::Delete(const std::string& path) { return DeleteFileW(AnsiToWide(path).c_str()) != FALSE; }
