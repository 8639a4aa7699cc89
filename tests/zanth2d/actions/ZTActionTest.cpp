#include <cstdlib>
#include <cstring>

#include "ActionTestSupport.h"
#include "ZTDirector.h"
#include "actions/ZTAction.h"

using namespace zanth2d;

class BaseActionTest : public ActionTest
{
};

// The plain action

TEST_F(BaseActionTest, plainActionBindsUnbindsAndDescribesItsTag)
{
    ZTNode* node = runningNode();
    ZTAction* action = ZTAction::action();
    action->setTag(12);
    action->startWithTarget(node);
    EXPECT_EQ(action->getTarget(), node);
    action->stop();
    EXPECT_EQ(action->getTarget(), nullptr);
    EXPECT_EQ(action->getOriginalTarget(), node);
    EXPECT_TRUE(action->isDone());
    char* text = action->description();
    EXPECT_STREQ(text, "<ZTAction | Tag = 12>");
    std::free(text);
    auto* copy = static_cast<ZTAction*>(action->copy());
    EXPECT_EQ(copy->getTag(), 12);
    EXPECT_EQ(copy->getTarget(), nullptr);
    copy->release();
}

TEST_F(BaseActionTest, removedActionCanRunAgainFromItsStart)
{
    ZTNode* node = runningNode();
    ZTMoveBy* move = ZTMoveBy::actionWithDuration(1, ZTPoint(10, 0));
    run(node, move);
    manager()->update(0);
    manager()->update(0.5f);
    manager()->removeAction(move);
    EXPECT_EQ(node->getPosition().x, 5);
    run(node, move);
    manager()->update(0);
    manager()->update(1);
    EXPECT_EQ(node->getPosition().x, 15);
}

// Speed

TEST_F(BaseActionTest, speedTwoOverOneSecondIsDoneAfterHalfASecond)
{
    ActionLog log;
    ZTSpeed* speed = ZTSpeed::actionWithAction(RecordingAction::create(1, &log), 2);
    speed->startWithTarget(nullptr);
    stepAlone(speed, {0.25f, 0.25f});
    EXPECT_FALSE(speed->isDone());
    speed->step(0.25f);
    EXPECT_TRUE(speed->isDone());
    EXPECT_EQ(log.updates, (std::vector<float>{0, 0.5f, 1}));
}

TEST_F(BaseActionTest, speedMayChangeBetweenStepsAndStopsItsInnerAction)
{
    ActionLog log;
    ZTSpeed* speed = ZTSpeed::actionWithAction(RecordingAction::create(1, &log), 1);
    speed->startWithTarget(nullptr);
    speed->step(0);
    speed->setSpeed(0.5f);
    speed->step(1);
    EXPECT_EQ(log.updates.back(), 0.5f);
    speed->stop();
    EXPECT_EQ(log.events.back(), "stop");
}

TEST_F(BaseActionTest, speedReverseAndCopyKeepTheSpeedOverNewInnerActions)
{
    ActionLog log;
    RecordingAction* inner = RecordingAction::create(1, &log, "a");
    ZTSpeed* speed = ZTSpeed::actionWithAction(inner, 3);
    ZTSpeed* reversed = speed->reverse();
    EXPECT_EQ(reversed->getSpeed(), 3);
    reversed->startWithTarget(nullptr);
    EXPECT_EQ(log.events.back(), "a' start");
    auto* copy = static_cast<ZTSpeed*>(speed->copy());
    EXPECT_EQ(copy->getSpeed(), 3);
    EXPECT_NE(copy->getInnerAction(), inner);
    copy->setInnerAction(nullptr);
    copy->release();
    EXPECT_EQ(inner->retainCount(), 2u); // pool and the original speed action
}

TEST_F(BaseActionTest, speedActionRunsThroughTheManager)
{
    ZTNode* node = runningNode();
    run(node, ZTSpeed::actionWithAction(ZTMoveBy::actionWithDuration(1, ZTPoint(10, 0)), 4));
    manager()->update(0);
    manager()->update(0.125f);
    EXPECT_EQ(node->getPosition().x, 5);
    manager()->update(0.125f);
    EXPECT_EQ(node->getPosition().x, 10);
    EXPECT_EQ(actionsOf(node), 0u);
}

// Follow

class FollowTest : public BaseActionTest
{
protected:
    ZTPoint halfScreen()
    {
        ZTSize size = ZTDirector::sharedDirector()->getWinSize();
        return ZTPoint(size.width * 0.5f, size.height * 0.5f);
    }
};

TEST_F(FollowTest, withoutBoundaryKeepsTheFollowedNodeAtTheScreenCentre)
{
    ZTNode* layer = runningNode();
    ZTNode* hero = runningNode();
    hero->setPosition(ZTPoint(30, 40));
    run(layer, ZTFollow::actionWithTarget(hero));
    manager()->update(0.1f);
    EXPECT_EQ(layer->getPosition().x, halfScreen().x - 30);
    EXPECT_EQ(layer->getPosition().y, halfScreen().y - 40);
    hero->setPosition(ZTPoint(-5, 0));
    manager()->update(0.1f);
    EXPECT_EQ(layer->getPosition().x, halfScreen().x + 5);
}

TEST_F(FollowTest, withBoundaryClampsToTheWorld)
{
    ZTSize screen = ZTDirector::sharedDirector()->getWinSize();
    ZTNode* layer = runningNode();
    ZTNode* hero = runningNode();
    // A world far larger than any screen: left = screen width - 10000, right = 0, bottom likewise, top 0.
    run(layer, ZTFollow::actionWithTarget(hero, ZTRect(0, 0, 10000, 10000)));
    hero->setPosition(ZTPoint(-100, 20000));
    manager()->update(0.1f);
    EXPECT_EQ(layer->getPosition().x, 0);
    EXPECT_EQ(layer->getPosition().y, screen.height - 10000);
    hero->setPosition(ZTPoint(5000, 5000));
    manager()->update(0.1f);
    EXPECT_EQ(layer->getPosition().x, halfScreen().x - 5000);
    EXPECT_EQ(layer->getPosition().y, halfScreen().y - 5000);
}

TEST_F(FollowTest, worldWithinTheScreenIsFullyCoveredAndNeverMoves)
{
    ZTNode* layer = runningNode();
    ZTNode* hero = runningNode();
    layer->setPosition(ZTPoint(7, 7));
    ZTSize screen = ZTDirector::sharedDirector()->getWinSize();
    run(layer, ZTFollow::actionWithTarget(hero, ZTRect(10, 20, screen.width, screen.height)));
    hero->setPosition(ZTPoint(300, 300));
    manager()->update(0.1f);
    EXPECT_EQ(layer->getPosition().x, 7);
    EXPECT_EQ(layer->getPosition().y, 7);
}

TEST_F(FollowTest, endsWhenTheFollowedNodeLeavesTheStageAndCopiesFollowTheSameNode)
{
    int destroyed = 0;
    ZTNode* layer = runningNode();
    auto* hero = new CountedNode(&destroyed);
    hero->onEnter();
    ZTFollow* follow = ZTFollow::actionWithTarget(hero);
    hero->release(); // the follow action keeps it
    auto* copy = static_cast<ZTFollow*>(follow->copy());
    run(layer, copy);
    copy->release();
    hero->setPosition(ZTPoint(1, 2));
    manager()->update(0.1f);
    EXPECT_EQ(layer->getPosition().x, halfScreen().x - 1);
    EXPECT_EQ(actionsOf(layer), 1u);
    hero->onExit();
    manager()->update(0.1f);
    EXPECT_EQ(actionsOf(layer), 0u);
    EXPECT_EQ(destroyed, 0);
    ZTPoolManager::getInstance()->pop(); // the original action lets go of the hero
    EXPECT_EQ(destroyed, 1);
}
