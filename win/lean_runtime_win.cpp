// Linked into sonvira.exe alone, to keep the release small. The static C++ runtime's default
// terminate handler names the type of an uncaught exception on stderr, and for that pulls in
// the whole C++ name demangler (about 48 KB of code, tables and unwind data). A GUI program
// has no stderr, so the name would never be read; this demangler declines every name, and the
// handler prints the mangled one before it aborts, as it does for any name it cannot read.
#include <cstddef>

extern "C" char* __cxa_demangle(const char*, char*, std::size_t*, int* status) {
    if (status) *status = -2;  // "not a valid mangled name": the caller keeps the raw one
    return nullptr;
}
