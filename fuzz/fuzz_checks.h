#pragma once
// What every fuzz target uses to report a broken property: a message on
// standard error and an abort, which libFuzzer records as a crash with the
// input that caused it.

#include <cstdio>
#include <cstdlib>

inline void require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "property violated: %s\n", what);
        std::abort();
    }
}
