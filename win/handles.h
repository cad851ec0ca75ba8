// Move-only owners for Win32 handles, so every path out of a function releases them.
#pragma once

#include <windows.h>

#include <utility>

template <typename H, typename Traits>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(H h) : h_(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, Traits::Invalid())) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) {
            reset();
            h_ = std::exchange(o.h_, Traits::Invalid());
        }
        return *this;
    }
    H get() const { return h_; }
    explicit operator bool() const { return h_ != Traits::Invalid(); }
    H release() { return std::exchange(h_, Traits::Invalid()); }
    void reset(H h = Traits::Invalid()) {
        if (h_ != Traits::Invalid()) Traits::Close(h_);
        h_ = h;
    }

private:
    H h_ = Traits::Invalid();
};

// A GDI font, deleted when its owner goes (after the windows that used it).
struct FontTraits {
    static HFONT Invalid() { return nullptr; }
    static void Close(HFONT h) { DeleteObject(h); }
};

using UniqueFont = UniqueHandle<HFONT, FontTraits>;

// A kernel object whose failure value is INVALID_HANDLE_VALUE, such as an open file.
struct FileTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};

using UniqueFile = UniqueHandle<HANDLE, FileTraits>;

// An open registry key; the predefined root keys are never owned.
struct RegKeyTraits {
    static HKEY Invalid() { return nullptr; }
    static void Close(HKEY h) { RegCloseKey(h); }
};

using UniqueRegKey = UniqueHandle<HKEY, RegKeyTraits>;

// A kernel object whose failure value is NULL, such as a mutex.
struct KernelTraits {
    static HANDLE Invalid() { return nullptr; }
    static void Close(HANDLE h) { CloseHandle(h); }
};

using UniqueKernelHandle = UniqueHandle<HANDLE, KernelTraits>;

// A loaded library, freed when its owner goes (after everything that uses it).
struct ModuleTraits {
    static HMODULE Invalid() { return nullptr; }
    static void Close(HMODULE h) { FreeLibrary(h); }
};

using UniqueModule = UniqueHandle<HMODULE, ModuleTraits>;

// A menu not (or not yet) attached to a window: a window destroys its menu bar itself, so the
// bar is released to the window once the window has taken it.
struct MenuTraits {
    static HMENU Invalid() { return nullptr; }
    static void Close(HMENU h) { DestroyMenu(h); }
};

using UniqueMenu = UniqueHandle<HMENU, MenuTraits>;

// An icon made by LoadImage without LR_SHARED, which its maker destroys.
struct IconTraits {
    static HICON Invalid() { return nullptr; }
    static void Close(HICON h) { DestroyIcon(h); }
};

using UniqueIcon = UniqueHandle<HICON, IconTraits>;

// A critical section taken as std::lock_guard takes a mutex. The system's own lock rather than
// std::mutex, whose threads library costs the program about 7 KB; and a critical section
// rather than a slim lock, which Windows XP does not have.
class SectionLock {
public:
    SectionLock() { InitializeCriticalSection(&section_); }
    ~SectionLock() { DeleteCriticalSection(&section_); }
    SectionLock(const SectionLock&) = delete;
    SectionLock& operator=(const SectionLock&) = delete;
    void lock() { EnterCriticalSection(&section_); }
    void unlock() { LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_;
};
