#include "support/ZTUtils.h"

namespace zanth2d {

unsigned long ztNextPOT(unsigned long x)
{
    x = x - 1;
    x = x | (x >> 1);
    x = x | (x >> 2);
    x = x | (x >> 4);
    x = x | (x >> 8);
    x = x | (x >> 16);
    // Where unsigned long has 64 bits, this step keeps values above 2^32 right.
    if constexpr (sizeof(unsigned long) > 4) {
        x = x | (x >> 32);
    }
    return x + 1;
}

} // namespace zanth2d
