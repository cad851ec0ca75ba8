// Linked into sonvira.exe alone: what the static runtime would otherwise bring that the program
// must not carry. First, to keep the release small, the static C++ runtime's default
// terminate handler names the type of an uncaught exception on stderr, and for that pulls in
// the whole C++ name demangler (about 48 KB of code, tables and unwind data). A GUI program
// has no stderr, so the name would never be read; this demangler declines every name, and the
// handler prints the mangled one before it aborts, as it does for any name it cannot read.
#include <windows.h>

#include <cstddef>

extern "C" char* __cxa_demangle(const char*, char*, std::size_t*, int* status) {
    if (status) *status = -2;  // "not a valid mangled name": the caller keeps the raw one
    return nullptr;
}

// The threads library the C++ runtime brings asks the system for GetTickCount64, which Windows
// XP does not have: imported as it is, that one name would keep the program from starting
// there at all. Its import slot is filled here instead, with the system's function where there
// is one and GetTickCount (which wraps after 49 days) on XP, so kernel32 is asked for nothing
// older systems lack.
namespace {
ULONGLONG WINAPI TickCount64() {
    using Fn = ULONGLONG(WINAPI*)();
    static const Fn system =
        reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTickCount64")));
    return system ? system() : GetTickCount();
}
}  // namespace

extern "C" ULONGLONG(WINAPI* const lean_GetTickCount64)() __asm__("__imp__GetTickCount64@0") = TickCount64;
