#include "platform/ZTTime.h"

#include <sys/time.h>

namespace zanth2d {

namespace {

void systemClock(zt_timeval* now)
{
    timeval tv{};
    gettimeofday(&tv, nullptr);
    now->tv_sec = tv.tv_sec;
    now->tv_usec = tv.tv_usec;
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
