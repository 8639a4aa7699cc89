#pragma once

#include <cstdlib>
#include <cstring>

// How many times longer than usual a test waits for a condition before it gives up. Slow leak-check
// unwinding (ASAN_OPTIONS with fast_unwind_on_malloc=0) makes every allocation many times dearer, so the
// programs under test run that much slower; ZANTH_TEST_DEADLINE_SCALE sets the factor by hand.
inline double deadlineScale()
{
    static const double scale = [] {
        if (const char* set = std::getenv("ZANTH_TEST_DEADLINE_SCALE")) {
            const double value = std::atof(set);
            if (value >= 1.0) {
                return value;
            }
        }
        const char* asan = std::getenv("ASAN_OPTIONS");
        return asan && std::strstr(asan, "fast_unwind_on_malloc=0") ? 6.0 : 1.0;
    }();
    return scale;
}
