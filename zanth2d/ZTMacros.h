#pragma once

#include <cstdio>
#include <cstdlib>

// Checks a programming error (never an input error): prints the condition text with its place and
// stops the process. Kept in every build type, like the engine's own invariants.
#define ZTAssert(cond, msg)                                                                           \
    do {                                                                                              \
        if (!(cond)) {                                                                                \
            std::fprintf(stderr, "Assertion failed: %s, file %s, function %s, line %d\n", (msg),     \
                         __FILE__, __func__, __LINE__);                                               \
            std::fflush(stderr);                                                                      \
            std::abort();                                                                             \
        }                                                                                             \
    } while (0)

#define ZT_SAFE_RELEASE(p)                                                                            \
    do {                                                                                              \
        if (p) {                                                                                      \
            (p)->release();                                                                           \
        }                                                                                             \
    } while (0)

#define ZT_SAFE_RELEASE_NULL(p)                                                                       \
    do {                                                                                              \
        if (p) {                                                                                      \
            (p)->release();                                                                           \
            (p) = nullptr;                                                                            \
        }                                                                                             \
    } while (0)

#define ZT_SAFE_RETAIN(p)                                                                             \
    do {                                                                                              \
        if (p) {                                                                                      \
            (p)->retain();                                                                            \
        }                                                                                             \
    } while (0)
