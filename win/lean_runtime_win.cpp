// Linked into sonvira.exe alone: what the static runtime would otherwise bring that the program
// must not carry. First, to keep the release small, the static C++ runtime's default
// terminate handler names the type of an uncaught exception on stderr, and for that pulls in
// the whole C++ name demangler (about 48 KB of code, tables and unwind data). A GUI program
// has no stderr, so the name would never be read; this demangler declines every name, and the
// handler prints the mangled one before it aborts, as it does for any name it cannot read.
#include <windows.h>

#include <cstddef>
#include <cstdint>

extern "C" char* __cxa_demangle(const char*, char*, std::size_t*, int* status) {
    if (status) *status = -2;  // "not a valid mangled name": the caller keeps the raw one
    return nullptr;
}

// The C++ runtime of the posix thread model takes its few locks through the pthread calls: one
// lock for its pool of exceptions and one for the unwinder's tables, a once for their setup,
// a wait when two threads race to make a static, and per-thread storage for the exceptions in
// flight. The threads library behind them costs the program about 31 KB, and asks kernel32 for
// GetTickCount64, which Windows XP lacks; these few calls are the system's own locks and
// storage, which run on XP too. Only the runtime calls them, with the values its headers give:
// a lock or a condition is an intptr_t, -1, -2 or -3 until first used (the plain, error-checking
// and recursive PTHREAD_*MUTEX_INITIALIZER: a critical section is all three), and a once is a
// long, 0 until run (PTHREAD_ONCE_INIT).
namespace {
constexpr intptr_t kNotYetMade = -1;

bool Made(intptr_t lock) { return lock != 0 && lock != -1 && lock != -2 && lock != -3; }

CRITICAL_SECTION* SectionOf(intptr_t* lock) {
    const intptr_t seen = *static_cast<volatile intptr_t*>(lock);
    if (Made(seen)) return reinterpret_cast<CRITICAL_SECTION*>(seen);
    auto* made = static_cast<CRITICAL_SECTION*>(HeapAlloc(GetProcessHeap(), 0, sizeof(CRITICAL_SECTION)));
    InitializeCriticalSection(made);
    const LONG was = InterlockedCompareExchange(reinterpret_cast<volatile LONG*>(lock), reinterpret_cast<LONG>(made),
                                                static_cast<LONG>(seen));
    if (was == static_cast<LONG>(seen)) return made;
    DeleteCriticalSection(made);  // another thread made it first
    HeapFree(GetProcessHeap(), 0, made);
    return reinterpret_cast<CRITICAL_SECTION*>(was);
}
}  // namespace

extern "C" {
int pthread_mutex_init(intptr_t* lock, const void*) {
    *lock = kNotYetMade;
    SectionOf(lock);
    return 0;
}
int pthread_mutex_destroy(intptr_t* lock) {
    if (Made(*lock)) {
        auto* section = reinterpret_cast<CRITICAL_SECTION*>(*lock);
        DeleteCriticalSection(section);
        HeapFree(GetProcessHeap(), 0, section);
    }
    *lock = kNotYetMade;
    return 0;
}
int pthread_mutex_lock(intptr_t* lock) {
    EnterCriticalSection(SectionOf(lock));
    return 0;
}
int pthread_mutex_unlock(intptr_t* lock) {
    LeaveCriticalSection(SectionOf(lock));
    return 0;
}
// 0: not run, 1: running, 2: done.
int pthread_once(long* once, void (*run)()) {
    if (InterlockedCompareExchange(once, 1, 0) == 0) {
        run();
        InterlockedExchange(once, 2);
    }
    while (*static_cast<volatile long*>(once) != 2) Sleep(0);
    return 0;
}
// A waiter may wake without a broadcast: the runtime checks its condition again each time.
int pthread_cond_wait(intptr_t*, intptr_t* lock) {
    pthread_mutex_unlock(lock);
    Sleep(1);
    pthread_mutex_lock(lock);
    return 0;
}
int pthread_cond_broadcast(intptr_t*) { return 0; }
// A key's destructor is not run when a thread ends: the few threads end with the program.
int pthread_key_create(unsigned* key, void (*)(void*)) {
    const DWORD index = TlsAlloc();
    if (index == TLS_OUT_OF_INDEXES) return 11;  // EAGAIN
    *key = index;
    return 0;
}
void* pthread_getspecific(unsigned key) { return TlsGetValue(key); }
int pthread_setspecific(unsigned key, const void* value) { return TlsSetValue(key, const_cast<void*>(value)) ? 0 : 22; }
}
