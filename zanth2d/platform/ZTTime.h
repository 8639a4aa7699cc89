#pragma once

#include <cstdint>

namespace zanth2d {

struct zt_timeval
{
    int64_t tv_sec;
    int64_t tv_usec;
};

// The clock the director measures frames with.
class ZTTime
{
public:
    using ClockFunction = void (*)(zt_timeval* now);

    // Fills tp with the time of a monotonic clock (seconds since an unspecified start, never stepped) when
    // it is given; always returns 0. tzp is ignored.
    static int gettimeofdayZanth2d(zt_timeval* tp, void* tzp);
    // out = end - start, field by field without carrying between microseconds and seconds.
    static void timersubZanth2d(zt_timeval* out, zt_timeval* start, zt_timeval* end);
    // Replaces the clock read by gettimeofdayZanth2d, so that frames can be stepped by exact times;
    // null restores the monotonic clock.
    static void setClock(ClockFunction clock);
};

} // namespace zanth2d
