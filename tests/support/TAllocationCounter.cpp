#include "tests/support/TAllocationCounter.h"

#include <cstddef>

namespace {

// Plain thread_locals of the program: reading them allocates nothing.
thread_local bool tCounting = false;
thread_local uint64_t tAllocations = 0;

void Count()
{
    if (tCounting)
        ++tAllocations;
}

} // namespace

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)

// The sanitizer runtimes own malloc and offer hooks on it instead. GCC ships the runtimes but not
// their interface headers, so the one call is declared here.
extern "C" int __sanitizer_install_malloc_and_free_hooks(
    void (*mallocHook)(const volatile void*, size_t), void (*freeHook)(const volatile void*));

namespace {

void OnMalloc(const volatile void*, size_t)
{
    Count();
}

void OnFree(const volatile void*) {}

[[maybe_unused]] const int kHooksInstalled = __sanitizer_install_malloc_and_free_hooks(&OnMalloc, &OnFree);

} // namespace

#else

// glibc's own allocator under its exported names; new and delete end in malloc and free.
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);

void* malloc(size_t size)
{
    Count();
    return __libc_malloc(size);
}

void* calloc(size_t count, size_t size)
{
    Count();
    return __libc_calloc(count, size);
}

void* realloc(void* pointer, size_t size)
{
    Count();
    return __libc_realloc(pointer, size);
}
}

#endif

void TAllocationCounter::Start()
{
    tAllocations = 0;
    tCounting = true;
}

uint64_t TAllocationCounter::Stop()
{
    tCounting = false;
    return tAllocations;
}
