#pragma once

#include <QMap>
#include <QObject>

class ISchedulable;
class ZanthTask;

// Fixed-step updates for physics worlds and movement animations, driven once per frame by the bridge
// (not while the game is paused). Published to QML as the context object zanthScheduler.
class ZanthScheduler : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int schedulingMethod READ schedulingMethod WRITE setSchedulingMethod NOTIFY schedulingMethodChanged)

public:
    enum SchedulingMethod { Accumulated = 0, None = 1 };
    Q_ENUM(SchedulingMethod)

    // Tasks are children of the scheduler; targets are never touched when it goes.
    explicit ZanthScheduler(QObject* parent = nullptr);

    // One pass: every task that is not paused gets the frame's dt (seconds), in ascending order of the
    // targets' addresses. Objects scheduled during the pass wait for the next one; objects unscheduled
    // during it are not called again.
    void scheduleUpdates(double dt);

    // Steps target every updateRate seconds until it is unscheduled; target is not owned. Refused with a
    // warning for a null target, a target already scheduled and a rate that is not greater than 0.
    void schedule(ISchedulable* target, double updateRate);
    bool isScheduled(ISchedulable* target) const;
    void unschedule(ISchedulable* target);
    // The collected time is kept; a rate that is not greater than 0 is refused.
    void setUpdateRate(ISchedulable* target, double updateRate);
    // The collected time is kept across a pause.
    void setPauseState(ISchedulable* target, bool paused);

    int schedulingMethod() const;
    // Applies to every task, present and future.
    void setSchedulingMethod(int method);

signals:
    void schedulingMethodChanged();

private:
    QMap<ISchedulable*, ZanthTask*> m_tasks;
    int m_schedulingMethod = Accumulated;
};
