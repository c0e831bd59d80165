#pragma once

#include <cstdint>

// Counts the heap allocations that the calling thread makes between Start() and Stop(): every
// malloc, calloc, realloc and operator new, since Qt's strings allocate with malloc. Under a
// sanitizer it listens to the sanitizer's allocator; otherwise the test program's own malloc
// passes each call on to the C library's. Link it into a test program of its own.
class TAllocationCounter {
public:
    void Start();
    // The allocations counted since Start().
    uint64_t Stop();
};
