#include "zanthscheduler.h"

#include "zanthtask.h"

#include <QList>
#include <QPointer>

ZanthScheduler::ZanthScheduler(QObject* parent) : QObject(parent) {}

void ZanthScheduler::scheduleUpdates(double dt)
{
    if (m_tasks.isEmpty()) {
        return;
    }
    // A task deleted by unschedule during the pass turns its guard null and is skipped.
    QList<QPointer<ZanthTask>> pass;
    pass.reserve(m_tasks.size());
    for (ZanthTask* task : std::as_const(m_tasks)) {
        pass.append(task);
    }
    for (const QPointer<ZanthTask>& task : std::as_const(pass)) {
        if (task && !task->paused()) {
            task->run(dt);
        }
    }
}

void ZanthScheduler::schedule(ISchedulable* target, double updateRate)
{
    if (!target) {
        qWarning("WARNING: No schedulable element found! Schedulable element not added!");
        return;
    }
    if (m_tasks.contains(target)) {
        qWarning("WARNING: Schedulable element already sheduling! Schedulable element not added!");
        return;
    }
    if (!(updateRate > 0.0)) {
        qWarning("ZanthScheduler: WARNING: update rate %g is not greater than 0! Schedulable element not added!", updateRate);
        return;
    }
    auto* task = new ZanthTask(this, target, updateRate);
    task->setSchedulingMethod(m_schedulingMethod);
    m_tasks.insert(target, task);
}

bool ZanthScheduler::isScheduled(ISchedulable* target) const
{
    return m_tasks.contains(target);
}

void ZanthScheduler::unschedule(ISchedulable* target)
{
    if (m_tasks.isEmpty()) {
        return;
    }
    if (!target) {
        qWarning("WARNING: No shedulable element found! Schedulable element not removed!");
        return;
    }
    ZanthTask* task = m_tasks.take(target);
    if (!task) {
        qWarning("WARNING: Schedulable element not found! Schedulable element not removed!");
        return;
    }
    delete task;
}

void ZanthScheduler::setUpdateRate(ISchedulable* target, double updateRate)
{
    if (m_tasks.isEmpty()) {
        return;
    }
    ZanthTask* task = m_tasks.value(target);
    if (!task) {
        qWarning("WARNING: No shedulable element found! UpdateRate of Schedulable element not removed!");
        return;
    }
    if (!(updateRate > 0.0)) {
        qWarning("ZanthScheduler: WARNING: update rate %g is not greater than 0! UpdateRate not changed!", updateRate);
        return;
    }
    task->setUpdateRate(updateRate);
}

void ZanthScheduler::setPauseState(ISchedulable* target, bool paused)
{
    if (m_tasks.isEmpty()) {
        return;
    }
    ZanthTask* task = m_tasks.value(target);
    if (!task) {
        qWarning("WARNING: No shedulable element found! Pause state of Schedulable element not changed!");
        return;
    }
    task->setPaused(paused);
}

int ZanthScheduler::schedulingMethod() const
{
    return m_schedulingMethod;
}

void ZanthScheduler::setSchedulingMethod(int method)
{
    if (method == m_schedulingMethod) {
        return;
    }
    m_schedulingMethod = method;
    for (ZanthTask* task : std::as_const(m_tasks)) {
        task->setSchedulingMethod(method);
    }
    emit schedulingMethodChanged();
}
