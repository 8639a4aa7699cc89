#include "platform/ZTTime.h"

#include <time.h>

namespace zanth2d {

namespace {

// Monotonic: a step of the wall clock (a time sync, the user setting the time) must not become one huge
// frame time for every animation and emitter.
void systemClock(zt_timeval* now)
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    now->tv_sec = ts.tv_sec;
    now->tv_usec = ts.tv_nsec / 1000;
}

ZTTime::ClockFunction s_clock = systemClock;

} // namespace

int ZTTime::gettimeofdayZanth2d(zt_timeval* tp, void*)
{
    if (tp) {
        s_clock(tp);
    }
    return 0;
}

void ZTTime::timersubZanth2d(zt_timeval* out, zt_timeval* start, zt_timeval* end)
{
    if (!out || !start || !end) {
        return;
    }
    out->tv_sec = end->tv_sec - start->tv_sec;
    out->tv_usec = end->tv_usec - start->tv_usec;
}

void ZTTime::setClock(ClockFunction clock)
{
    s_clock = clock ? clock : systemClock;
}

} // namespace zanth2d
