#include "ActionTestSupport.h"
#include "ZTScheduler.h"
#include "actions/ZTAction.h"

using namespace zanth2d;

class ActionManagerTest : public ActionTest
{
};

// Stepping and finishing

TEST_F(ActionManagerTest, moveByOfOneSecondInQuarterTicksMovesTheNodeHundred)
{
    ZTNode* node = runningNode();
    run(node, ZTMoveBy::actionWithDuration(1, ZTPoint(100, 0)));
    std::vector<float> xs;
    for (int frame = 0; frame < 5; ++frame) {
        manager()->update(0.25f);
        xs.push_back(node->getPosition().x);
    }
    EXPECT_EQ(xs, (std::vector<float>{0, 25, 50, 75, 100}));
    EXPECT_EQ(node->getPosition().y, 0);
    EXPECT_EQ(actionsOf(node), 0u);
}

TEST_F(ActionManagerTest, finishedActionIsStoppedOnceAndReleasedInItsLastFrame)
{
    ActionLog log;
    ZTNode* node = runningNode();
    RecordingAction* action = RecordingAction::create(1, &log);
    action->retain();
    run(node, action);
    EXPECT_EQ(action->retainCount(), 3u); // test, pool, manager
    for (int frame = 0; frame < 4; ++frame) {
        manager()->update(0.25f);
    }
    EXPECT_EQ(actionsOf(node), 1u);
    manager()->update(0.25f);
    EXPECT_EQ(log.updates, (std::vector<float>{0, 0.25f, 0.5f, 0.75f, 1}));
    EXPECT_EQ(std::count(log.events.begin(), log.events.end(), "stop"), 1);
    EXPECT_EQ(log.events.back(), "stop");
    EXPECT_EQ(action->retainCount(), 2u);
    action->release();
}

TEST_F(ActionManagerTest, targetWhoseOnlyActionFinishesIsReleasedInTheSameUpdate)
{
    int destroyed = 0;
    auto* node = new CountedNode(&destroyed);
    node->onEnter();
    run(node, ZTDelayTime::actionWithDuration(0.5f));
    node->release(); // only the manager holds it now
    manager()->update(0);
    EXPECT_EQ(destroyed, 0);
    manager()->update(0.5f);
    EXPECT_EQ(destroyed, 1);
}

TEST_F(ActionManagerTest, schedulerTickStepsTheActions)
{
    ZTNode* node = runningNode();
    run(node, ZTMoveBy::actionWithDuration(1, ZTPoint(0, 10)));
    ZTScheduler::sharedScheduler()->tick(0.5f);
    ZTScheduler::sharedScheduler()->tick(0.5f);
    EXPECT_EQ(node->getPosition().y, 5);
}

// Re-entrancy from inside a step

TEST_F(ActionManagerTest, actionRemovingItselfIsNotStoppedAndTheNextActionStillSteps)
{
    ActionLog log;
    ZTNode* node = runningNode();
    auto* remover = hookAction([](ZTAction* self) { ZTActionManager::sharedManager()->removeAction(self); });
    remover->retain();
    run(node, remover);
    run(node, RecordingAction::create(1, &log));
    manager()->update(0.1f);
    EXPECT_EQ(remover->steps, 1);
    EXPECT_EQ(remover->stops, 0);
    EXPECT_EQ(log.updates.size(), 1u);
    EXPECT_EQ(actionsOf(node), 1u);
    EXPECT_EQ(remover->retainCount(), 2u); // test and pool: the manager let go
    remover->release();
}

TEST_F(ActionManagerTest, removingAnEarlierActionDuringAStepNeitherSkipsNorRepeats)
{
    ActionLog log;
    ZTNode* node = runningNode();
    RecordingAction* first = RecordingAction::create(10, &log, "a");
    run(node, first);
    run(node, hookAction([first](ZTAction*) { ZTActionManager::sharedManager()->removeAction(first); }));
    run(node, RecordingAction::create(10, &log, "c"));
    log.clear();
    manager()->update(0.1f);
    EXPECT_EQ(log.events, (std::vector<std::string>{"a update 0.000", "c update 0.000"}));
    log.clear();
    manager()->update(0.1f);
    EXPECT_EQ(log.events, (std::vector<std::string>{"c update 0.010"}));
}

TEST_F(ActionManagerTest, targetRemovedDuringItsOwnStepSurvivesUntilTheTurnEnds)
{
    int destroyed = 0;
    ActionLog log;
    auto* node = new CountedNode(&destroyed);
    node->onEnter();
    int positionSeen = -1;
    auto* killer = hookAction([&](ZTAction* self) {
        ZTNode* target = self->getTarget();
        ZTActionManager::sharedManager()->removeAllActionsFromTarget(target);
        // Still alive: the manager's entry holds the target until the end of the turn.
        positionSeen = static_cast<int>(target->getPosition().x);
        target->setPosition(ZTPoint(1, 1));
    });
    run(node, killer);
    run(node, RecordingAction::create(1, &log));
    node->release();
    log.clear();
    manager()->update(0.1f);
    EXPECT_EQ(positionSeen, 0);
    EXPECT_TRUE(log.updates.empty());
    EXPECT_EQ(destroyed, 1);
    manager()->update(0.1f);
}

TEST_F(ActionManagerTest, nodeThatRemovesItselfFromTheTreeDuringAStepDiesAfterTheTurn)
{
    int destroyed = 0;
    ActionLog log;
    ZTNode* parent = runningNode();
    auto* child = new CountedNode(&destroyed);
    parent->addChild(child);
    child->release(); // the parent owns it
    run(child, hookAction([&](ZTAction* self) {
            ZTNode* target = self->getTarget();
            target->removeFromParentAndCleanup(false);
            ZTActionManager::sharedManager()->removeAllActionsFromTarget(target);
            EXPECT_EQ(destroyed, 0);
        }));
    run(child, RecordingAction::create(1, &log));
    ZTNode* other = runningNode();
    run(other, RecordingAction::create(1, &log, "other"));
    log.clear();
    manager()->update(0.1f);
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(log.events, (std::vector<std::string>{"other update 0.000"}));
    manager()->update(0.1f);
}

TEST_F(ActionManagerTest, removeAllActionsDuringAStepLeavesTheManagerUsable)
{
    int destroyed = 0;
    ActionLog log;
    auto* first = new CountedNode(&destroyed);
    auto* second = new CountedNode(&destroyed);
    first->onEnter();
    second->onEnter();
    run(first, hookAction([](ZTAction*) { ZTActionManager::sharedManager()->removeAllActions(); }));
    run(second, RecordingAction::create(1, &log));
    first->release();
    second->release();
    log.clear();
    manager()->update(0.1f);
    EXPECT_TRUE(log.updates.empty());
    EXPECT_EQ(destroyed, 2);
    ZTNode* node = runningNode();
    run(node, ZTMoveBy::actionWithDuration(1, ZTPoint(4, 0)));
    manager()->update(0);
    manager()->update(1);
    EXPECT_EQ(node->getPosition().x, 4);
}

namespace {
// Clears the actions of another node when it dies, as a node's cleanup can.
class NodeClearingAnotherOnDeath : public ZTNode
{
public:
    explicit NodeClearingAnotherOnDeath(ZTNode* other) : m_other(other) {}
    ~NodeClearingAnotherOnDeath() override
    {
        ZTActionManager::sharedManager()->removeAllActionsFromTarget(m_other);
    }

private:
    ZTNode* m_other;
};
} // namespace

TEST_F(ActionManagerTest, targetWhoseReleaseRemovesTheNextEntryDoesNotBreakTheWalk)
{
    ActionLog log;
    ZTNode* next = runningNode();
    ZTNode* last = runningNode();
    auto* dying = new NodeClearingAnotherOnDeath(next);
    dying->onEnter();
    run(dying, ZTDelayTime::actionWithDuration(0)); // done after its first step
    dying->release();
    run(next, RecordingAction::create(1, &log, "next"));
    run(last, RecordingAction::create(1, &log, "last"));
    manager()->update(0.1f);
    log.clear();
    manager()->update(0.1f);
    EXPECT_EQ(actionsOf(next), 0u);
    EXPECT_EQ(log.events, (std::vector<std::string>{"last update 0.100"}));
}

TEST_F(ActionManagerTest, actionRunOnANewNodeDuringAStepStartsAtOnceAndStepsInTheSameUpdate)
{
    ActionLog log;
    ZTNode* first = runningNode();
    ZTNode* second = runningNode();
    bool added = false;
    run(first, hookAction([&](ZTAction*) {
            if (!added) {
                added = true;
                run(second, RecordingAction::create(1, &log));
            }
        }));
    manager()->update(0.1f);
    EXPECT_EQ(log.events, (std::vector<std::string>{"start", "update 0.000"}));
}

namespace {
// Done after its first step; its stop() takes itself off its node, the way an end-of-action clean-up
// that calls stopAllActions does.
class SelfRemovingOnStop : public ZTAction
{
public:
    SelfRemovingOnStop(int* destroyed, int* stops, bool allOfTheNode)
        : m_destroyed(destroyed), m_stops(stops), m_all(allOfTheNode)
    {
    }
    ~SelfRemovingOnStop() override { ++*m_destroyed; }
    bool isDone() override { return true; }
    void stop() override
    {
        ++*m_stops;
        if (m_all)
            getTarget()->stopAllActions();
        else
            getTarget()->stopAction(this);
        ZTAction::stop();
    }

private:
    int* m_destroyed;
    int* m_stops;
    bool m_all;
};
} // namespace

TEST_F(ActionManagerTest, actionWhoseStopRemovesItselfIsStoppedOnceAndReleased)
{
    for (bool allOfTheNode : {true, false}) {
        int destroyed = 0;
        int stops = 0;
        ActionLog log;
        ZTNode* node = runningNode();
        auto* action = new SelfRemovingOnStop(&destroyed, &stops, allOfTheNode);
        run(node, action);
        run(node, RecordingAction::create(1, &log));
        action->release(); // only the manager holds it now
        manager()->update(0.1f);
        EXPECT_EQ(destroyed, 1) << "all of the node: " << allOfTheNode;
        EXPECT_EQ(actionsOf(node), allOfTheNode ? 0u : 1u);
        manager()->update(0.1f);
        EXPECT_EQ(destroyed, 1);
        EXPECT_EQ(stops, 1);
    }
}

// Pausing

TEST_F(ActionManagerTest, pausedTargetIsNotSteppedUntilResumedAndALaterAddDoesNotUnpause)
{
    ActionLog log;
    ZTNode* node = runningNode();
    manager()->addAction(RecordingAction::create(1, &log, "a"), node, true);
    manager()->addAction(RecordingAction::create(1, &log, "b"), node, false);
    manager()->update(0.1f);
    EXPECT_TRUE(log.updates.empty());
    manager()->resumeTarget(node);
    manager()->update(0.1f);
    EXPECT_EQ(log.updates.size(), 2u);
}

TEST_F(ActionManagerTest, pauseOfATargetWithoutActionsIsNotRemembered)
{
    ActionLog log;
    ZTNode* node = runningNode();
    manager()->pauseTarget(node);
    manager()->addAction(RecordingAction::create(1, &log), node, false);
    manager()->update(0.1f);
    EXPECT_EQ(log.updates.size(), 1u);
}

// Lookup and removal

TEST_F(ActionManagerTest, tagLookupAndRemovalTakeTheFirstMatchOnly)
{
    ActionLog log;
    ZTNode* node = runningNode();
    RecordingAction* first = RecordingAction::create(1, &log, "a");
    RecordingAction* second = RecordingAction::create(1, &log, "b");
    first->setTag(7);
    second->setTag(7);
    run(node, first);
    run(node, second);
    EXPECT_EQ(manager()->getActionByTag(7, node), first);
    manager()->removeActionByTag(7, node);
    EXPECT_EQ(actionsOf(node), 1u);
    EXPECT_EQ(manager()->getActionByTag(7, node), second);
    EXPECT_EQ(manager()->getActionByTag(8, node), nullptr);
}

TEST_F(ActionManagerTest, removalNeverStopsTheActionAndUnknownsAreIgnored)
{
    ActionLog log;
    ZTNode* node = runningNode();
    ZTNode* idle = runningNode();
    RecordingAction* action = RecordingAction::create(1, &log);
    run(node, action);
    manager()->removeAction(nullptr);
    manager()->removeAction(ZTDelayTime::actionWithDuration(1));
    manager()->removeAllActionsFromTarget(nullptr);
    manager()->removeAllActionsFromTarget(idle);
    manager()->removeActionByTag(3, idle);
    EXPECT_EQ(manager()->numberOfRunningActionsInTarget(idle), 0u);
    EXPECT_EQ(actionsOf(node), 1u);
    manager()->removeAction(action);
    EXPECT_EQ(actionsOf(node), 0u);
    EXPECT_EQ(std::count(log.events.begin(), log.events.end(), "stop"), 0);
}

TEST_F(ActionManagerTest, purgeReleasesEveryTargetAndAction)
{
    int destroyed = 0;
    auto* node = new CountedNode(&destroyed);
    run(node, ZTMoveBy::actionWithDuration(1, ZTPoint(1, 1)));
    run(node, ZTRotateBy::actionWithDuration(1, 90));
    node->release();
    EXPECT_EQ(destroyed, 0);
    ZTActionManager::purgeSharedManager();
    EXPECT_EQ(destroyed, 1);
}
