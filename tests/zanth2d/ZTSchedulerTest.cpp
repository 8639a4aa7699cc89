#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ZTScheduler.h"
#include "cocoa/ZTAutoreleasePool.h"
#include "support/ZTScriptEngineManager.h"
#include "support/ZTScriptEngineProtocol.h"

using namespace zanth2d;

namespace {

std::vector<std::string> g_log;

// A scheduled target that logs every call as "name:what" and can run a hook from inside its callbacks.
class Probe : public ZTObject
{
public:
    explicit Probe(std::string name, bool* destroyed = nullptr)
        : m_name(std::move(name)), m_destroyed(destroyed)
    {
    }
    ~Probe() override
    {
        if (m_destroyed) {
            *m_destroyed = true;
        }
        if (onDestroy) {
            auto hook = onDestroy; // the hook may replace itself
            hook();
        }
    }
    void update(float dt) override
    {
        g_log.push_back(m_name + ":update");
        lastDt = dt;
        if (onUpdate) {
            auto hook = onUpdate; // the hook may replace itself
            hook();
        }
    }
    void tickA(float elapsed)
    {
        g_log.push_back(m_name + ":a");
        elapsedA.push_back(elapsed);
        if (onA) {
            auto hook = onA; // the hook may replace itself
            hook();
        }
    }
    void tickB(float) { g_log.push_back(m_name + ":b"); }

    std::string m_name;
    bool* m_destroyed;
    float lastDt = -1.0f;
    std::vector<float> elapsedA;
    std::function<void()> onUpdate, onA, onDestroy;
};

class RecordingEngine : public ZTScriptEngineProtocol
{
public:
    void removeScriptObjectByID(int id) override { g_log.push_back("forget object " + std::to_string(id)); }
    void removeScriptHandler(int h) override { g_log.push_back("remove handler " + std::to_string(h)); }
    void executeSchedule(int h, float dt) override
    {
        g_log.push_back("run handler " + std::to_string(h) + " after " + std::to_string(dt).substr(0, 3));
    }
    void executeNodeEvent(int, int) override {}
    void executeTouchEvent(int, int, ZTTouch*) override {}
    void executeTouchesEvent(int, int, ZTSet*) override {}
};

class SchedulerTest : public ::testing::Test
{
protected:
    void SetUp() override { g_log.clear(); }
    void TearDown() override
    {
        ZTScheduler::purgeSharedScheduler();
        ZTScriptEngineManager::purgeSharedManager();
        ZTPoolManager::purgePoolManager();
    }
    static ZTScheduler* scheduler() { return ZTScheduler::sharedScheduler(); }
    static std::vector<std::string> takeLog()
    {
        std::vector<std::string> log;
        log.swap(g_log);
        return log;
    }
};

using Log = std::vector<std::string>;

} // namespace

// Update order and registration

TEST_F(SchedulerTest, updatesRunByPriorityWithTiesInRegistrationOrder)
{
    Probe first("first1"), negative("neg"), second("second1"), zero("zero"), low("neg5");
    scheduler()->scheduleUpdateForTarget(&first, 1, false);
    scheduler()->scheduleUpdateForTarget(&negative, -1, false);
    scheduler()->scheduleUpdateForTarget(&second, 1, false);
    scheduler()->scheduleUpdateForTarget(&zero, 0, false);
    scheduler()->scheduleUpdateForTarget(&low, -5, false);
    scheduler()->tick(0.5f);
    EXPECT_EQ(takeLog(),
              (Log{"neg5:update", "neg:update", "zero:update", "first1:update", "second1:update"}));
    EXPECT_FLOAT_EQ(first.lastDt, 0.5f);
    scheduler()->unscheduleAllSelectors();
}

TEST_F(SchedulerTest, scheduledTargetsAreRetainedUntilUnscheduled)
{
    Probe target("t");
    scheduler()->scheduleUpdateForTarget(&target, 0, false);
    scheduler()->scheduleSelector(schedule_selector(Probe::tickA), &target, 0.0f, false);
    EXPECT_EQ(target.retainCount(), 3u);
    scheduler()->unscheduleAllSelectorsForTarget(&target);
    EXPECT_EQ(target.retainCount(), 1u);
}

TEST_F(SchedulerTest, registeringAgainKeepsTheFirstPriorityAndPausedState)
{
    Probe a("a"), b("b");
    scheduler()->scheduleUpdateForTarget(&a, 5, false);
    scheduler()->scheduleUpdateForTarget(&b, 1, false);
    scheduler()->scheduleUpdateForTarget(&a, -5, true);
    scheduler()->tick(0.1f);
    EXPECT_EQ(takeLog(), (Log{"b:update", "a:update"}));
    EXPECT_EQ(a.retainCount(), 2u);
    scheduler()->unscheduleAllSelectors();
}

// Timers

TEST_F(SchedulerTest, intervalZeroTimerFiresEveryTickStartingWithElapsedZero)
{
    Probe a("a");
    scheduler()->scheduleSelector(schedule_selector(Probe::tickA), &a, 0.0f, false);
    scheduler()->tick(0.1f);
    scheduler()->tick(0.2f);
    ASSERT_EQ(a.elapsedA.size(), 2u);
    EXPECT_FLOAT_EQ(a.elapsedA[0], 0.0f);
    EXPECT_FLOAT_EQ(a.elapsedA[1], 0.2f);
    scheduler()->unscheduleAllSelectors();
}

TEST_F(SchedulerTest, oneSecondTimerUnderSixTenthTicksFiresOnTheThirdTickWithElapsedOnePointTwo)
{
    Probe a("a");
    scheduler()->scheduleSelector(schedule_selector(Probe::tickA), &a, 1.0f, false);
    std::vector<size_t> firedAfterTick;
    for (int tick = 1; tick <= 5; ++tick) {
        scheduler()->tick(0.6f);
        firedAfterTick.push_back(a.elapsedA.size());
    }
    EXPECT_EQ(firedAfterTick, (std::vector<size_t>{0, 0, 1, 1, 2}));
    ASSERT_EQ(a.elapsedA.size(), 2u);
    EXPECT_FLOAT_EQ(a.elapsedA[0], 1.2f);
    EXPECT_FLOAT_EQ(a.elapsedA[1], 1.2f);
    scheduler()->unscheduleAllSelectors();
}

TEST_F(SchedulerTest, schedulingTheSameSelectorAgainOnlyChangesItsInterval)
{
    Probe a("a");
    scheduler()->scheduleSelector(schedule_selector(Probe::tickA), &a, 5.0f, false);
    scheduler()->scheduleSelector(schedule_selector(Probe::tickA), &a, 0.0f, false);
    scheduler()->tick(0.1f);
    EXPECT_EQ(takeLog(), (Log{"a:a"}));
    scheduler()->unscheduleAllSelectors();
}

TEST_F(SchedulerTest, timersFireAfterUpdatesInTheOrderTargetsWereFirstScheduled)
{
    Probe a("a"), b("b");
    scheduler()->scheduleSelector(schedule_selector(Probe::tickA), &b, 0.0f, false);
    scheduler()->scheduleSelector(schedule_selector(Probe::tickA), &a, 0.0f, false);
    scheduler()->scheduleSelector(schedule_selector(Probe::tickB), &b, 0.0f, false);
    scheduler()->scheduleUpdateForTarget(&a, 10, false);
    scheduler()->tick(0.1f);
    EXPECT_EQ(takeLog(), (Log{"a:update", "b:a", "b:b", "a:a"}));
    scheduler()->unscheduleAllSelectors();
}

TEST_F(SchedulerTest, pausedTargetsGetNoTimersAndNoUpdatesUntilResumed)
{
    Probe a("a"), b("b");
    scheduler()->scheduleSelector(schedule_selector(Probe::tickA), &a, 0.0f, false);
    scheduler()->scheduleUpdateForTarget(&a, 0, false);
    scheduler()->scheduleUpdateForTarget(&b, 0, true);
    scheduler()->pauseTarget(&a);
    EXPECT_TRUE(scheduler()->isTargetPaused(&a));
    EXPECT_FALSE(scheduler()->isTargetPaused(&b)) << "only the timers' paused state is reported";
    scheduler()->tick(0.1f);
    EXPECT_TRUE(takeLog().empty());
    scheduler()->resumeTarget(&a);
    scheduler()->resumeTarget(&b);
    scheduler()->tick(0.1f);
    EXPECT_EQ(takeLog(), (Log{"a:update", "b:update", "a:a"}));
    scheduler()->unscheduleAllSelectors();
}

// Changes from inside the running tick

TEST_F(SchedulerTest, timerUnschedulingItselfFinishesAndTheNextTimerOfItsTargetStillFires)
{
    bool destroyed = false;
    auto* a = new Probe("a", &destroyed);
    a->onA = [a] {
        ZTScheduler::sharedScheduler()->unscheduleSelector(schedule_selector(Probe::tickA), a);
        g_log.push_back("a:after unschedule");
    };
    scheduler()->scheduleSelector(schedule_selector(Probe::tickA), a, 0.0f, false);
    scheduler()->scheduleSelector(schedule_selector(Probe::tickB), a, 0.0f, false);
    a->release();
    scheduler()->tick(0.1f);
    scheduler()->tick(0.1f);
    EXPECT_EQ(takeLog(), (Log{"a:a", "a:after unschedule", "a:b", "a:b"}));
    EXPECT_FALSE(destroyed);
    scheduler()->unscheduleAllSelectors();
    EXPECT_TRUE(destroyed);
}

TEST_F(SchedulerTest, targetOnlyHeldByTheSchedulerCanUnscheduleEverythingInsideItsOwnCallbacks)
{
    bool destroyed = false;
    auto* a = new Probe("a", &destroyed);
    a->onA = [a] {
        ZTScheduler::sharedScheduler()->unscheduleAllSelectorsForTarget(a);
        // Still alive here: it is released only once its timers have run.
        g_log.push_back(a->m_name + ":still alive");
    };
    a->onUpdate = [a] { ZTScheduler::sharedScheduler()->unscheduleUpdateForTarget(a); };
    scheduler()->scheduleUpdateForTarget(a, 0, false);
    scheduler()->scheduleSelector(schedule_selector(Probe::tickA), a, 0.0f, false);
    scheduler()->scheduleSelector(schedule_selector(Probe::tickB), a, 0.0f, false);
    a->release();
    scheduler()->tick(0.1f);
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(takeLog(), (Log{"a:update", "a:a", "a:still alive"}));
    scheduler()->tick(0.1f);
    EXPECT_TRUE(takeLog().empty());
}

TEST_F(SchedulerTest, updateUnscheduledByAnotherTargetIsSkippedAndRemovedAtTheEndOfTheTick)
{
    Probe a("a");
    auto* b = new Probe("b");
    a.onUpdate = [b] { ZTScheduler::sharedScheduler()->unscheduleUpdateForTarget(b); };
    scheduler()->scheduleUpdateForTarget(&a, 0, false);
    scheduler()->scheduleUpdateForTarget(b, 0, false);
    b->onUpdate = [] { FAIL() << "a removed b before its turn"; };
    EXPECT_EQ(b->retainCount(), 2u);
    scheduler()->tick(0.1f);
    EXPECT_EQ(b->retainCount(), 1u);
    b->release();
    scheduler()->unscheduleAllSelectors();
}

TEST_F(SchedulerTest, updateRegisteredAgainWhilePendingDeletionIsRevivedWithItsOldPriority)
{
    Probe a("a"), b("b");
    scheduler()->scheduleUpdateForTarget(&b, 1, false);
    scheduler()->scheduleUpdateForTarget(&a, 3, false);
    b.onUpdate = [&a] {
        ZTScheduler::sharedScheduler()->unscheduleUpdateForTarget(&a);
        ZTScheduler::sharedScheduler()->scheduleUpdateForTarget(&a, -7, false);
    };
    scheduler()->tick(0.1f);
    scheduler()->tick(0.1f);
    EXPECT_EQ(takeLog(), (Log{"b:update", "a:update", "b:update", "a:update"}));
    scheduler()->unscheduleAllSelectors();
}

TEST_F(SchedulerTest, updatesAddedDuringATickBehindTheRunningEntryStartWithTheNextTick)
{
    Probe a("a"), late("late"), early("early");
    a.onUpdate = [&] {
        ZTScheduler::sharedScheduler()->scheduleUpdateForTarget(&late, 0, false);
        ZTScheduler::sharedScheduler()->scheduleUpdateForTarget(&early, -1, false);
    };
    scheduler()->scheduleUpdateForTarget(&a, 0, false);
    scheduler()->tick(0.1f);
    EXPECT_EQ(takeLog(), (Log{"a:update"}));
    scheduler()->tick(0.1f);
    EXPECT_EQ(takeLog(), (Log{"early:update", "a:update", "late:update"}));
    scheduler()->unscheduleAllSelectors();
}

TEST_F(SchedulerTest, timerOfANewTargetScheduledDuringATickFiresInThatTick)
{
    Probe a("a"), b("b");
    a.onA = [&] {
        a.onA = nullptr;
        ZTScheduler::sharedScheduler()->scheduleSelector(schedule_selector(Probe::tickA), &b, 0.0f, false);
    };
    scheduler()->scheduleSelector(schedule_selector(Probe::tickA), &a, 0.0f, false);
    scheduler()->tick(0.1f);
    EXPECT_EQ(takeLog(), (Log{"a:a", "b:a"}));
    scheduler()->unscheduleAllSelectors();
}

TEST_F(SchedulerTest, targetWhoseReleaseUnschedulesTheNextTargetDoesNotBreakTheTick)
{
    // "owner" is released by the scheduler at the end of its turn; its destructor unschedules "child",
    // which is the next target in line.
    auto* owner = new Probe("owner");
    auto* child = new Probe("child");
    Probe last("last");
    owner->onA = [owner] { ZTScheduler::sharedScheduler()->unscheduleAllSelectorsForTarget(owner); };
    owner->onDestroy = [child] {
        ZTScheduler::sharedScheduler()->unscheduleAllSelectorsForTarget(child);
        child->release();
    };
    scheduler()->scheduleSelector(schedule_selector(Probe::tickA), owner, 0.0f, false);
    scheduler()->scheduleSelector(schedule_selector(Probe::tickA), child, 0.0f, false);
    scheduler()->scheduleSelector(schedule_selector(Probe::tickA), &last, 0.0f, false);
    owner->release();
    scheduler()->tick(0.1f);
    EXPECT_EQ(takeLog(), (Log{"owner:a", "last:a"}));
    scheduler()->unscheduleAllSelectors();
}

TEST_F(SchedulerTest, purgeReleasesEveryTargetEvenWhenTheirDestructorsUnscheduleOthers)
{
    bool ownerDestroyed = false, childDestroyed = false;
    auto* owner = new Probe("owner", &ownerDestroyed);
    auto* child = new Probe("child", &childDestroyed);
    owner->onDestroy = [child] {
        ZTScheduler::sharedScheduler()->unscheduleUpdateForTarget(child);
        ZTScheduler::sharedScheduler()->unscheduleAllSelectorsForTarget(child);
        child->release();
    };
    scheduler()->scheduleUpdateForTarget(owner, 0, false);
    scheduler()->scheduleUpdateForTarget(child, 0, false);
    scheduler()->scheduleSelector(schedule_selector(Probe::tickA), owner, 0.0f, false);
    scheduler()->scheduleSelector(schedule_selector(Probe::tickA), child, 0.0f, false);
    owner->release();
    ZTScheduler::purgeSharedScheduler();
    EXPECT_TRUE(ownerDestroyed);
    EXPECT_TRUE(childDestroyed);
}

// Script hooks

TEST_F(SchedulerTest, scriptEntriesRunThroughTheInstalledEngineUntilUnscheduled)
{
    ZTScriptEngineManager::sharedManager()->setScriptEngine(new RecordingEngine());
    const unsigned int running = scheduler()->scheduleScriptFunc(7, 0.0f, false);
    const unsigned int paused = scheduler()->scheduleScriptFunc(8, 0.0f, true);
    EXPECT_NE(running, paused);
    scheduler()->tick(0.5f);
    scheduler()->unscheduleScriptEntry(running);
    scheduler()->tick(0.5f);
    ZTPoolManager::getInstance()->pop();
    EXPECT_EQ(takeLog(), (Log{"run handler 7 after 0.0", "remove handler 7"}));
    ZTScheduler::purgeSharedScheduler();
    EXPECT_EQ(takeLog(), (Log{"remove handler 8"}));
}

TEST_F(SchedulerTest, objectWithAScriptIdIsForgottenByTheEngineWhenDestroyed)
{
    ZTScriptEngineManager::sharedManager()->setScriptEngine(new RecordingEngine());
    auto* object = new ZTObject();
    object->m_nLuaID = 42;
    object->release();
    (new ZTObject())->release();
    EXPECT_EQ(takeLog(), (Log{"forget object 42"}));
}
