#pragma once

#include <QObject>

class ISchedulable;

// The scheduler's record of one scheduled object: it turns frame time into fixed steps for its target.
class ZanthTask : public QObject
{
    Q_OBJECT

public:
    // target is not owned; without one the task stays paused for good. A rate of 0 or less never steps.
    ZanthTask(QObject* parent, ISchedulable* target, double updateRate);

    // Advances the target by one frame of dt seconds (at most 0.1 s are taken into account).
    // The target may unschedule itself, and so delete this task, from inside its update.
    void run(double dt);

    double updateRate() const { return m_updateRate; }
    void setUpdateRate(double updateRate) { m_updateRate = updateRate; }
    bool paused() const { return m_paused; }
    void setPaused(bool paused);
    int schedulingMethod() const { return m_schedulingMethod; }
    void setSchedulingMethod(int method) { m_schedulingMethod = method; }
    double accumulator() const { return m_accumulator; }

private:
    double m_accumulator = 0.0;
    double m_updateRate;
    bool m_paused = false;
    ISchedulable* m_target;
    int m_schedulingMethod = 0;
};
