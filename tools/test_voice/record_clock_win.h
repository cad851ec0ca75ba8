// The record's clock: 100 ns units since the Unix epoch from the system's precise wall clock,
// so times written by the voice in one process, read by a test in another and printed by the
// Linux host all compare. Header-only: the voice DLL and the Windows tests share it.
#pragma once

#include <windows.h>

#include <cstdint>

namespace test_voice {

inline std::uint64_t NowUnix100ns() {
    // Windows 8 and Wine have the precise clock; an older system falls back to the tick-rate one.
    using PreciseFn = VOID(WINAPI*)(LPFILETIME);
    static const PreciseFn precise = reinterpret_cast<PreciseFn>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetSystemTimePreciseAsFileTime")));
    FILETIME ft;
    if (precise) precise(&ft);
    else GetSystemTimeAsFileTime(&ft);
    std::uint64_t since1601 = (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return since1601 - 116444736000000000ull;  // 1601-01-01 to 1970-01-01
}

inline double NowMs() { return static_cast<double>(NowUnix100ns()) / 10000.0; }

}  // namespace test_voice
