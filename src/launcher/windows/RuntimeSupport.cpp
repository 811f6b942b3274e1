// The launcher is built without exceptions. libstdc++'s containers still refer
// to its throw helpers; defining them here keeps its exception machinery, the
// unwinder and the name demangler out of the executable (about 180 KiB). Each
// ends the process. A failed allocation, or a size no allocation can satisfy
// (bad_alloc, bad_array_new_length, length_error), is reported as out of
// memory; the others only run on a broken invariant, where there is nothing
// sensible left to do.
#include <windows.h>

#include <cstdlib>
#include <new>

#include "base/OutOfMemory.h"

using qarvo::outOfMemory;

namespace {
[[noreturn]] void brokenInvariant() { ExitProcess(3); }
}  // namespace

namespace __gnu_cxx {
// The default handler prints the demangled type of an uncaught exception; the
// launcher throws none, and the demangler alone is 36 KiB.
[[noreturn]] void __verbose_terminate_handler() { brokenInvariant(); }
}  // namespace __gnu_cxx

namespace std {
[[noreturn]] void __throw_bad_alloc() { outOfMemory(); }
[[noreturn]] void __throw_bad_array_new_length() { outOfMemory(); }
[[noreturn]] void __throw_length_error(const char*) { outOfMemory(); }
[[noreturn]] void __throw_logic_error(const char*) { brokenInvariant(); }
[[noreturn]] void __throw_out_of_range(const char*) { brokenInvariant(); }
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) { brokenInvariant(); }
[[noreturn]] void __throw_invalid_argument(const char*) { brokenInvariant(); }
[[noreturn]] void __throw_bad_function_call() { brokenInvariant(); }
}  // namespace std

void* operator new(std::size_t n) {
    void* p = std::malloc(n ? n : 1);
    if (!p) outOfMemory();
    return p;
}
void* operator new[](std::size_t n) { return operator new(n); }
// Temporary buffers (std::stable_sort) ask for memory they can do without.
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return std::malloc(n ? n : 1); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return std::malloc(n ? n : 1); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
