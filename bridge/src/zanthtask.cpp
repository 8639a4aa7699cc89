#include "zanthtask.h"

#include "ischedulable.h"

#include <QPointer>

#include <algorithm>

namespace {
// A longer frame is cut short, so that after a stall the objects don't try to catch up.
constexpr double kMaxFrameTime = 0.1;
// Sums of frame times carry rounding noise: a remainder within a nanosecond of the rate counts as equal to
// it, so whether a step is due doesn't hang on the last bit (0.05 s frames at 0.02 s give 2, 2, 3 steps).
constexpr double kRoundingTolerance = 1e-9;
} // namespace

ZanthTask::ZanthTask(QObject* parent, ISchedulable* target, double updateRate)
    : QObject(parent), m_updateRate(updateRate), m_target(target)
{
    if (!m_target) {
        qWarning("SchedulableTask: WARNING: No schedulable found, task will not run!");
        m_paused = true;
    }
}

void ZanthTask::setPaused(bool paused)
{
    m_paused = paused || !m_target;
}

void ZanthTask::run(double dt)
{
    if (m_paused || !(m_updateRate > 0.0)) {
        return;
    }
    const double clamped = std::min(dt, kMaxFrameTime);
    if (m_schedulingMethod != 0) {
        m_target->scheduledUpdate(clamped);
        return;
    }
    const QPointer<ZanthTask> alive(this);
    m_accumulator += clamped;
    while (m_accumulator - m_updateRate > kRoundingTolerance) {
        m_accumulator -= m_updateRate;
        m_target->scheduledUpdate(m_updateRate);
        if (!alive || m_paused) {
            return;
        }
    }
}
