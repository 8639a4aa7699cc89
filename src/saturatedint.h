#pragma once

#include <algorithm>
#include <climits>
#include <cmath>

// Numbers from files and scripts can be anything; converting one beyond int's range is undefined, so
// they are clamped first (NaN counts as 0).
inline int saturatedInt(double value)
{
    if (std::isnan(value))
        return 0;
    return int(std::clamp(value, double(INT_MIN), double(INT_MAX)));
}
