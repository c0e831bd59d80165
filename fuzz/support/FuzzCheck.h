#pragma once

#include <cstdio>
#include <cstdlib>

// A property of the code under fuzzing that must hold for every input. A failure aborts, which
// libFuzzer reports as a crash and saves with the input that caused it.
#define FUZZ_CHECK(condition)                                                                 \
    do {                                                                                      \
        if (!(condition)) {                                                                   \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                     \
        }                                                                                     \
    } while (0)
