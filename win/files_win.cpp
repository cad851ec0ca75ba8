// Whole files through the Win32 file API; see files_win.h.
#include "win/files_win.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

#include "base/string_table.h"
#include "win/codepage_win.h"

namespace {

// ReadFile and WriteFile take 32-bit counts; a file is moved in pieces of this size.
constexpr DWORD kPiece = 1 << 20;

DWORD LastErrorOr(DWORD fallback) {
    DWORD e = GetLastError();
    return e ? e : fallback;
}

}  // namespace

std::string SystemErrorText(DWORD error) {
    wchar_t* buf = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, error, 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
    std::wstring text = n && buf ? std::wstring(buf, n) : std::wstring();
    if (buf) LocalFree(buf);
    if (text.empty()) return texts::SystemError(error);
    return WideToAnsi(text);
}

FileError NamedFileError(std::string (*wording)(const std::string& path, const std::string& reason),
                         const std::string& utf8Path, const std::string& reason) {
    const std::wstring name = Utf8ToWide(utf8Path);
    std::string ansi;
    if (WideToAnsiExact(name, ansi)) return FileError(wording(ansi, reason));
    // The wording is 8-bit text as well; a control character that no path holds marks where
    // the name goes once the rest is wide.
    std::wstring exact = AnsiToWide(wording("\x01", reason));
    const std::size_t at = exact.find(L'\x01');
    if (at != std::wstring::npos) exact.replace(at, 1, name);
    return FileError(wording(ansi, reason), std::u16string(exact.begin(), exact.end()));
}

DWORD WriteWhole(HANDLE file, const void* data, std::size_t size) {
    const char* at = static_cast<const char*>(data);
    while (size > 0) {
        DWORD want = static_cast<DWORD>(std::min<std::size_t>(kPiece, size)), put = 0;
        if (!WriteFile(file, at, want, &put, nullptr)) return LastErrorOr(ERROR_WRITE_FAULT);
        // A write that takes nothing without an error is a full medium by another name.
        if (put == 0) return ERROR_DISK_FULL;
        at += put;
        size -= put;
    }
    return 0;
}

// A reader that holds the old file for a moment (a virus scanner, an indexer, a player)
// makes the rename fail with a sharing violation; it is tried again for half a second.
DWORD RetryWhileHeld(const std::function<DWORD()>& attempt) {
    for (int tries = 10;; --tries) {
        const DWORD error = attempt();
        if (!error || tries == 1 ||
            (error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION && error != ERROR_ACCESS_DENIED))
            return error;
        Sleep(50);
    }
}

// The temporaries a killed writer left beside target (a WAV export ended with the process
// leaves tens of KB for good). One still being written is open without delete sharing, so
// DeleteFileW cannot take it: only the stale ones go.
static void RemoveStaleTemporaries(const std::wstring& target) {
    const std::size_t slash = target.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? std::wstring() : target.substr(0, slash + 1);
    const std::wstring name = target.substr(folder.size());
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((target + L".~????????.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        // The pattern may also match a short 8.3 name: only this program's own form is taken.
        const std::wstring f = found.cFileName;
        bool ours = f.size() == name.size() + 14 && _wcsnicmp(f.c_str(), name.c_str(), name.size()) == 0 &&
                    f.compare(name.size(), 2, L".~") == 0 && f.compare(name.size() + 10, 4, L".tmp") == 0;
        for (std::size_t i = name.size() + 2; ours && i < name.size() + 10; ++i) ours = iswxdigit(f[i]) != 0;
        if (ours) DeleteFileW((folder + f).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

DWORD ReplacingFile::Create(const std::wstring& target) {
    Discard();
    target_ = target;
    RemoveStaleTemporaries(target);
    // A name of its own beside the target: never one that exists, so nobody's file is taken.
    const DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 16);
    for (DWORD attempt = 0; attempt < 100; ++attempt) {
        wchar_t suffix[24];
        wsprintfW(suffix, L".~%08lx.tmp", static_cast<unsigned long>(seed + attempt * 7919));
        std::wstring name = target + suffix;
        UniqueFile file(CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            file_ = std::move(file);
            temporary_ = std::move(name);
            return 0;
        }
        DWORD e = GetLastError();
        if (e != ERROR_FILE_EXISTS && e != ERROR_ALREADY_EXISTS) return e ? e : ERROR_CANNOT_MAKE;
    }
    return ERROR_CANNOT_MAKE;
}

DWORD ReplacingFile::Commit() {
    if (!file_) return ERROR_INVALID_HANDLE;
    DWORD error = FlushFileBuffers(file_.get()) ? 0 : LastErrorOr(ERROR_WRITE_FAULT);
    // The handle must be closed before the move: a file open for writing cannot be renamed.
    if (!CloseHandle(file_.release()) && !error) error = LastErrorOr(ERROR_WRITE_FAULT);
    // MOVEFILE_REPLACE_EXISTING makes the move one rename over the old file; WRITE_THROUGH
    // returns only once it is on the disk (MoveFileExW's documentation). ReplaceFileW is not
    // used: one of its documented failures leaves neither the old file nor the new one in place.
    if (!error) error = RetryWhileHeld([this] {
        return MoveFileExW(temporary_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                   ? 0
                   : LastErrorOr(ERROR_WRITE_FAULT);
    });
    if (error) {
        DeleteFileW(temporary_.c_str());
    }
    temporary_.clear();
    return error;
}

void ReplacingFile::Discard() {
    if (temporary_.empty()) return;
    file_.reset();
    DeleteFileW(temporary_.c_str());
    temporary_.clear();
}

FileError Win32Files::CannotOpen(const std::string& utf8Path, const std::string& reason) {
    return NamedFileError(FileOpenErrorMessage, utf8Path, reason);
}

std::string Win32Files::ReadAll(const std::string& utf8Path, std::size_t atMost) {
    // Others may read the file meanwhile, nobody may change it under the reader.
    UniqueFile file(CreateFileW(Utf8ToWide(utf8Path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) throw NamedFileError(FileOpenErrorMessage, utf8Path, SystemErrorText(GetLastError()));
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size)) throw FileError(kLoadStreamError);
    const unsigned long long length =
        std::min<unsigned long long>(static_cast<unsigned long long>(size.QuadPart), atMost + 1ull);
    if (length > 0x7FFFFFFF) throw FileError(kLoadStreamError);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD want = static_cast<DWORD>(std::min<std::size_t>(kPiece, bytes.size() - done)), got = 0;
        if (!ReadFile(file.get(), &bytes[done], want, &got, nullptr) || got == 0) throw FileError(kLoadStreamError);
        done += got;
    }
    return bytes;
}

void Win32Files::WriteAll(const std::string& utf8Path, const std::string& bytes) {
    ReplacingFile file;
    DWORD error = file.Create(Utf8ToWide(utf8Path));
    if (!error) error = WriteWhole(file.Handle(), bytes.data(), bytes.size());
    if (!error) error = file.Commit();
    if (error) throw NamedFileError(FileCreateErrorMessage, utf8Path, SystemErrorText(error));
}

bool Win32Files::Delete(const std::string& ansiPath) { return DeleteFileW(AnsiToWide(ansiPath).c_str()) != FALSE; }
