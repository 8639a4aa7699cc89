#include <gtest/gtest.h>

#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

#include "ischedulable.h"
#include "zanthscheduler.h"

namespace {

struct Recorder : ISchedulable
{
    void scheduledUpdate(double dt) override
    {
        steps.push_back(dt);
        if (onUpdate) {
            onUpdate();
        }
    }
    std::vector<double> steps;
    std::function<void()> onUpdate;
};

QStringList g_warnings;

void recordWarning(QtMsgType, const QMessageLogContext&, const QString& message)
{
    g_warnings << message;
}

class ZanthSchedulerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_warnings.clear();
        m_previous = qInstallMessageHandler(recordWarning);
    }
    void TearDown() override { qInstallMessageHandler(m_previous); }

    // Steps taken by each of the given frames.
    std::vector<size_t> framesOf(Recorder& recorder, const std::vector<double>& frames)
    {
        std::vector<size_t> counts;
        for (double frame : frames) {
            const size_t before = recorder.steps.size();
            scheduler.scheduleUpdates(frame);
            counts.push_back(recorder.steps.size() - before);
        }
        return counts;
    }

    ZanthScheduler scheduler;
    QtMessageHandler m_previous = nullptr;
};

} // namespace

TEST_F(ZanthSchedulerTest, fixedStepsCarryTheRemainderOver)
{
    Recorder recorder;
    scheduler.schedule(&recorder, 0.02);
    EXPECT_EQ(framesOf(recorder, {0.05, 0.05, 0.05}), (std::vector<size_t>{2, 2, 3}));
    for (double dt : recorder.steps) {
        EXPECT_EQ(dt, 0.02);
    }
    EXPECT_TRUE(g_warnings.isEmpty());
}

TEST_F(ZanthSchedulerTest, frameOfExactlyOneStepWaitsForMore)
{
    Recorder recorder;
    scheduler.schedule(&recorder, 0.0625);
    EXPECT_EQ(framesOf(recorder, {0.0625, 0.03125}), (std::vector<size_t>{0, 1}));
}

TEST_F(ZanthSchedulerTest, longFrameIsClampedToATenthOfASecond)
{
    Recorder recorder;
    scheduler.schedule(&recorder, 0.02);
    scheduler.scheduleUpdates(2.0);
    EXPECT_GE(recorder.steps.size(), 4u);
    EXPECT_LE(recorder.steps.size(), 5u);
}

TEST_F(ZanthSchedulerTest, methodNoneMakesOneClampedCallPerFrame)
{
    Recorder recorder;
    scheduler.schedule(&recorder, 0.02);
    int changed = 0;
    QObject::connect(&scheduler, &ZanthScheduler::schedulingMethodChanged, [&changed] { ++changed; });
    scheduler.setSchedulingMethod(ZanthScheduler::None);
    scheduler.setSchedulingMethod(ZanthScheduler::None);
    EXPECT_EQ(changed, 1);
    scheduler.scheduleUpdates(0.016);
    scheduler.scheduleUpdates(0.5);
    EXPECT_EQ(recorder.steps, (std::vector<double>{0.016, 0.1}));

    Recorder later;
    scheduler.schedule(&later, 0.02);
    scheduler.scheduleUpdates(0.05);
    EXPECT_EQ(later.steps, std::vector<double>{0.05});
    EXPECT_EQ(scheduler.property("schedulingMethod").toInt(), 1);
}

TEST_F(ZanthSchedulerTest, pausedTaskKeepsItsCollectedTime)
{
    Recorder recorder;
    scheduler.schedule(&recorder, 0.02);
    EXPECT_EQ(framesOf(recorder, {0.03}), std::vector<size_t>{1});
    scheduler.setPauseState(&recorder, true);
    EXPECT_EQ(framesOf(recorder, {0.05, 0.05, 0.05}), (std::vector<size_t>{0, 0, 0}));
    scheduler.setPauseState(&recorder, false);
    EXPECT_EQ(framesOf(recorder, {0.015}), std::vector<size_t>{1});
}

TEST_F(ZanthSchedulerTest, misuseWarnsAndChangesNothing)
{
    Recorder recorder;
    Recorder stranger;
    scheduler.unschedule(&recorder);
    scheduler.setPauseState(&recorder, true);
    EXPECT_TRUE(g_warnings.isEmpty()) << "nothing scheduled yet: silent";

    scheduler.schedule(nullptr, 0.02);
    scheduler.schedule(&recorder, 0.02);
    scheduler.schedule(&recorder, 0.5);
    scheduler.unschedule(nullptr);
    scheduler.unschedule(&stranger);
    scheduler.setUpdateRate(&stranger, 0.1);
    scheduler.setPauseState(nullptr, true);
    EXPECT_EQ(g_warnings,
              (QStringList{QStringLiteral("WARNING: No schedulable element found! Schedulable element not added!"),
                           QStringLiteral("WARNING: Schedulable element already sheduling! Schedulable element not added!"),
                           QStringLiteral("WARNING: No shedulable element found! Schedulable element not removed!"),
                           QStringLiteral("WARNING: Schedulable element not found! Schedulable element not removed!"),
                           QStringLiteral("WARNING: No shedulable element found! UpdateRate of Schedulable element not removed!"),
                           QStringLiteral("WARNING: No shedulable element found! Pause state of Schedulable element not changed!")}));
    EXPECT_TRUE(scheduler.isScheduled(&recorder));
    EXPECT_FALSE(scheduler.isScheduled(&stranger));
    EXPECT_EQ(framesOf(recorder, {0.05}), std::vector<size_t>{2}) << "the first interval stays";
}

TEST_F(ZanthSchedulerTest, rateOfZeroOrLessIsRefused)
{
    Recorder recorder;
    scheduler.schedule(&recorder, 0.0);
    scheduler.schedule(&recorder, -1.0);
    EXPECT_FALSE(scheduler.isScheduled(&recorder));
    scheduler.schedule(&recorder, 0.02);
    scheduler.setUpdateRate(&recorder, 0.0);
    EXPECT_EQ(g_warnings.size(), 3);
    EXPECT_EQ(framesOf(recorder, {0.05}), std::vector<size_t>{2});
    scheduler.setUpdateRate(&recorder, 0.01);
    EXPECT_EQ(framesOf(recorder, {0.05}), std::vector<size_t>{5});
}

TEST_F(ZanthSchedulerTest, targetUnscheduledAndDeletedDuringPassIsNotCalled)
{
    auto first = std::make_unique<Recorder>();
    auto second = std::make_unique<Recorder>();
    if (std::less<ISchedulable*>()(second.get(), first.get())) {
        std::swap(first, second);
    }
    Recorder* victim = second.get();
    first->onUpdate = [&] {
        scheduler.unschedule(victim);
        second.reset();
    };
    scheduler.schedule(first.get(), 0.02);
    scheduler.schedule(victim, 0.02);
    scheduler.scheduleUpdates(0.03);
    EXPECT_EQ(first->steps.size(), 1u);
    EXPECT_FALSE(second);
    EXPECT_FALSE(scheduler.isScheduled(victim));
}

TEST_F(ZanthSchedulerTest, targetUnschedulingItselfStopsItsOwnSteps)
{
    Recorder recorder;
    recorder.onUpdate = [&] { scheduler.unschedule(&recorder); };
    scheduler.schedule(&recorder, 0.02);
    scheduler.scheduleUpdates(0.09);
    EXPECT_EQ(recorder.steps.size(), 1u);
    scheduler.scheduleUpdates(0.09);
    EXPECT_EQ(recorder.steps.size(), 1u);
}

TEST_F(ZanthSchedulerTest, targetScheduledDuringPassWaitsForTheNext)
{
    Recorder first;
    Recorder added;
    first.onUpdate = [&] {
        if (!scheduler.isScheduled(&added)) {
            scheduler.schedule(&added, 0.02);
        }
    };
    scheduler.schedule(&first, 0.02);
    scheduler.scheduleUpdates(0.03);
    EXPECT_TRUE(added.steps.empty());
    scheduler.scheduleUpdates(0.03);
    EXPECT_EQ(added.steps.size(), 1u);
}
