#include <cfloat>
#include <cmath>

#include "ActionTestSupport.h"
#include "ZTProtocols.h"
#include "cocoa/ZTArray.h"

using namespace zanth2d;

class IntervalActionTest : public ActionTest
{
protected:
    // Runs the action on the node through the manager, one update per step.
    void play(ZTNode* node, ZTAction* action, const std::vector<float>& steps)
    {
        run(node, action);
        for (float dt : steps) {
            manager()->update(dt);
        }
    }
};

namespace {
// A node with the colour-and-opacity interface, as sprites and colour layers have.
class ColourNode : public ZTNode, public ZTRGBAProtocol
{
public:
    void setColor(const ztColor3B& color) override { m_color = color; }
    const ztColor3B& getColor() override { return m_color; }
    GLubyte getOpacity() override { return m_opacity; }
    void setOpacity(GLubyte opacity) override { m_opacity = opacity; }

    ztColor3B m_color{255, 255, 255};
    GLubyte m_opacity = 255;
};
} // namespace

// Interval time

TEST_F(IntervalActionTest, firstStepAppliesZeroAndLaterStepsAccumulate)
{
    ActionLog log;
    RecordingAction* action = RecordingAction::create(1, &log);
    action->startWithTarget(nullptr);
    std::vector<bool> done;
    for (int i = 0; i < 5; ++i) {
        action->step(0.25f);
        done.push_back(action->isDone());
    }
    EXPECT_EQ(log.updates, (std::vector<float>{0, 0.25f, 0.5f, 0.75f, 1}));
    EXPECT_EQ(done, (std::vector<bool>{false, false, false, false, true}));
}

TEST_F(IntervalActionTest, zeroDurationIsStoredAsEpsilonAndEndsOnTheSecondStep)
{
    ActionLog log;
    RecordingAction* action = RecordingAction::create(0, &log);
    EXPECT_EQ(action->getDuration(), FLT_EPSILON);
    action->startWithTarget(nullptr);
    action->step(5);
    EXPECT_FALSE(action->isDone());
    action->step(0.001f);
    EXPECT_TRUE(action->isDone());
    EXPECT_EQ(log.updates, (std::vector<float>{0, 1}));
}

TEST_F(IntervalActionTest, timeThatIsNotANumberCountsAsTheEnd)
{
    ActionLog log;
    RecordingAction* action = RecordingAction::create(1, &log);
    action->startWithTarget(nullptr);
    stepAlone(action, {0, NAN});
    EXPECT_EQ(log.updates.back(), 1);
}

TEST_F(IntervalActionTest, restartResetsTheTimeAndCopyKeepsDurationAndTag)
{
    ActionLog log;
    RecordingAction* action = RecordingAction::create(2, &log);
    action->setTag(5);
    action->startWithTarget(nullptr);
    stepAlone(action, {0, 2});
    ASSERT_TRUE(action->isDone());
    action->startWithTarget(nullptr);
    EXPECT_FALSE(action->isDone());
    action->step(1);
    EXPECT_EQ(log.updates.back(), 0);

    auto* copy = static_cast<RecordingAction*>(action->copy());
    EXPECT_EQ(copy->getDuration(), 2);
    EXPECT_EQ(copy->getTag(), 5);
    EXPECT_EQ(copy->getElapsed(), 0);
    copy->release();
}

// Sequences

TEST_F(IntervalActionTest, sequenceOfTwoHalvesHandsOverAtTheSplit)
{
    ActionLog log;
    ZTSequence* seq = ZTSequence::actionOneTwo(RecordingAction::create(0.5f, &log, "a"),
                                               RecordingAction::create(0.5f, &log, "b"));
    EXPECT_EQ(seq->getDuration(), 1);
    seq->startWithTarget(nullptr);
    seq->update(0.25f);
    EXPECT_EQ(log.events, (std::vector<std::string>{"a start", "a update 0.500"}));
    log.clear();
    seq->update(0.75f);
    EXPECT_EQ(log.events,
              (std::vector<std::string>{"a update 1.000", "a stop", "b start", "b update 0.500"}));
}

TEST_F(IntervalActionTest, sequenceThatJumpsPastItsFirstActionStillRunsItToTheEnd)
{
    ActionLog log;
    ZTSequence* seq = ZTSequence::actionOneTwo(RecordingAction::create(0.5f, &log, "a"),
                                               RecordingAction::create(0.5f, &log, "b"));
    seq->startWithTarget(nullptr);
    seq->update(0.75f);
    EXPECT_EQ(log.events,
              (std::vector<std::string>{"a start", "a update 1.000", "a stop", "b start", "b update 0.500"}));
}

TEST_F(IntervalActionTest, sequenceListsNestFromTheLeft)
{
    ActionLog log;
    RecordingAction* a = RecordingAction::create(1, &log, "a");
    EXPECT_EQ(ZTSequence::actions(a, nullptr), a);
    EXPECT_EQ(ZTSequence::actions(nullptr), nullptr);

    ZTFiniteTimeAction* seq = ZTSequence::actions(a, RecordingAction::create(1, &log, "b"),
                                                  RecordingAction::create(2, &log, "c"), nullptr);
    EXPECT_EQ(seq->getDuration(), 4);
    seq->startWithTarget(nullptr);
    // ((a, b), c): the outer split is at one half, the inner one at one half of that.
    seq->update(0.375f);
    EXPECT_EQ(log.events,
              (std::vector<std::string>{"a start", "a update 1.000", "a stop", "b start", "b update 0.500"}));

    ZTArray* array = ZTArray::array();
    array->addObject(a);
    EXPECT_EQ(ZTSequence::actionsWithArray(array), a);
    array->addObject(RecordingAction::create(3, &log));
    EXPECT_EQ(ZTSequence::actionsWithArray(array)->getDuration(), 4);
}

TEST_F(IntervalActionTest, sequenceReverseAndCopyAreDeep)
{
    ZTNode* node = runningNode();
    ZTSequence* seq = ZTSequence::actionOneTwo(ZTMoveBy::actionWithDuration(1, ZTPoint(10, 0)),
                                               ZTMoveBy::actionWithDuration(1, ZTPoint(0, 20)));
    auto* copy = static_cast<ZTSequence*>(seq->copy());
    play(node, seq, {0, 1, 1});
    EXPECT_EQ(node->getPosition().x, 10);
    EXPECT_EQ(node->getPosition().y, 20);
    play(node, copy, {0, 1, 1}); // a copy runs on its own, from the node's new position
    EXPECT_EQ(node->getPosition().x, 20);
    EXPECT_EQ(node->getPosition().y, 40);
    play(node, seq->reverse(), {0, 1});
    EXPECT_EQ(node->getPosition().x, 20);
    EXPECT_EQ(node->getPosition().y, 20);
    copy->release();
}

// Repeats

TEST_F(IntervalActionTest, repeatOfMoveByThreeTimesMovesThirtyAndEndsWithTheLastStep)
{
    ZTNode* node = runningNode();
    run(node, ZTRepeat::actionWithAction(ZTMoveBy::actionWithDuration(1, ZTPoint(10, 0)), 3));
    int frames = 0;
    while (actionsOf(node) > 0 && frames < 100) {
        manager()->update(0.25f);
        ++frames;
    }
    EXPECT_EQ(frames, 13);
    EXPECT_FLOAT_EQ(node->getPosition().x, 30);
}

TEST_F(IntervalActionTest, repeatFinishesAtMostOneRepetitionPerUpdate)
{
    ActionLog log;
    ZTRepeat* repeat = ZTRepeat::actionWithAction(RecordingAction::create(1, &log), 3);
    repeat->startWithTarget(nullptr);
    int steps = 0;
    for (float dt : {0.0f, 3.0f, 0.1f, 0.1f}) {
        repeat->step(dt);
        ++steps;
        if (repeat->isDone()) {
            break;
        }
    }
    EXPECT_EQ(steps, 4);
    EXPECT_EQ(std::count(log.events.begin(), log.events.end(), "stop"), 2);
}

TEST_F(IntervalActionTest, repeatOfZeroTimesIsDoneAfterItsFirstStep)
{
    ActionLog log;
    ZTRepeat* repeat = ZTRepeat::actionWithAction(RecordingAction::create(1, &log), 0);
    EXPECT_EQ(repeat->getDuration(), FLT_EPSILON);
    repeat->startWithTarget(nullptr);
    repeat->step(0.1f);
    EXPECT_TRUE(repeat->isDone());
    EXPECT_EQ(log.updates, (std::vector<float>{0}));
}

TEST_F(IntervalActionTest, repeatForeverRestartsItsInnerActionAndIsNeverDone)
{
    ActionLog log;
    ZTRepeatForever* forever = ZTRepeatForever::actionWithAction(RecordingAction::create(1, &log));
    forever->startWithTarget(nullptr);
    stepAlone(forever, {0, 0.5f, 0.5f, 0.5f});
    EXPECT_FALSE(forever->isDone());
    EXPECT_EQ(log.events, (std::vector<std::string>{"start", "update 0.000", "update 0.500", "update 1.000",
                                                    "start", "update 0.000", "update 0.500"}));
}

// Spawn, reverse time, delay

TEST_F(IntervalActionTest, spawnLastsAsLongAsItsLongerActionWhileTheShorterOneIdles)
{
    ActionLog log;
    ZTSpawn* spawn =
        ZTSpawn::actionOneTwo(RecordingAction::create(1, &log, "a"), RecordingAction::create(3, &log, "b"));
    EXPECT_EQ(spawn->getDuration(), 3);
    spawn->startWithTarget(nullptr);
    spawn->update(0.5f);
    log.clear();
    spawn->update(0.75f);
    EXPECT_EQ(log.events, (std::vector<std::string>{"b update 0.750"}));
    EXPECT_EQ(ZTSpawn::actions(spawn, nullptr), spawn);
}

TEST_F(IntervalActionTest, spawnRunsBothMovesTogether)
{
    ZTNode* node = runningNode();
    play(node,
         ZTSpawn::actionOneTwo(ZTMoveBy::actionWithDuration(2, ZTPoint(10, 0)),
                               ZTRotateBy::actionWithDuration(1, 90)),
         {0, 1});
    EXPECT_EQ(node->getPosition().x, 5);
    EXPECT_EQ(node->getRotation(), 90);
}

TEST_F(IntervalActionTest, reverseTimeOfMoveByJumpsToTheEndAndMovesBack)
{
    ZTNode* node = runningNode();
    node->setPosition(ZTPoint(5, 5));
    run(node, ZTReverseTime::actionWithAction(ZTMoveBy::actionWithDuration(1, ZTPoint(100, 0))));
    manager()->update(0);
    EXPECT_EQ(node->getPosition().x, 105);
    manager()->update(0.5f);
    EXPECT_EQ(node->getPosition().x, 55);
    manager()->update(0.5f);
    EXPECT_EQ(node->getPosition().x, 5);
}

TEST_F(IntervalActionTest, delayChangesNothingAndReversesToADelay)
{
    ZTNode* node = runningNode();
    play(node, ZTDelayTime::actionWithDuration(1), {0, 0.5f, 0.5f});
    EXPECT_EQ(node->getPosition().x, 0);
    EXPECT_EQ(actionsOf(node), 0u);
    EXPECT_EQ(ZTDelayTime::actionWithDuration(2)->reverse()->getDuration(), 2);
}

// Property actions

TEST_F(IntervalActionTest, rotateToTakesTheShortWayRound)
{
    ZTNode* node = runningNode();
    node->setRotation(350);
    play(node, ZTRotateTo::actionWithDuration(1, 10), {0, 1});
    EXPECT_EQ(node->getRotation(), 370);
    node->setRotation(-170);
    play(node, ZTRotateTo::actionWithDuration(1, 170), {0, 1});
    EXPECT_EQ(node->getRotation(), -190);
    node->setRotation(-370);
    play(node, ZTRotateTo::actionWithDuration(1, 0), {0, 1});
    EXPECT_EQ(node->getRotation(), 0);
    EXPECT_EQ(ZTRotateTo::actionWithDuration(1, 0)->reverse(), nullptr);
}

TEST_F(IntervalActionTest, rotateByAndItsReverseReturnToTheStart)
{
    ZTNode* node = runningNode();
    node->setRotation(15);
    ZTRotateBy* rotate = ZTRotateBy::actionWithDuration(1, 90);
    play(node, rotate, {0, 0.5f});
    EXPECT_EQ(node->getRotation(), 60);
    manager()->update(0.5f);
    play(node, rotate->reverse(), {0, 1});
    EXPECT_EQ(node->getRotation(), 15);
}

TEST_F(IntervalActionTest, moveToCapturesItsStartAtEveryStart)
{
    ZTNode* node = runningNode();
    ZTMoveTo* move = ZTMoveTo::actionWithDuration(1, ZTPoint(10, 10));
    move->retain();
    play(node, move, {0, 0.5f});
    EXPECT_EQ(node->getPosition().x, 5);
    manager()->update(0.5f);
    node->setPosition(ZTPoint(-10, 30));
    play(node, move, {0, 0.5f});
    EXPECT_EQ(node->getPosition().x, 0);
    EXPECT_EQ(node->getPosition().y, 20);
    EXPECT_EQ(move->reverse(), nullptr);
    move->release();
}

TEST_F(IntervalActionTest, skewToReducesXModulo180AndYModulo360)
{
    ZTNode* node = runningNode();
    node->setSkewX(200); // starts at 20
    node->setSkewY(200); // starts at 200, turns the short way to 10 + 360
    play(node, ZTSkewTo::actionWithDuration(1, 30, 10), {0, 1});
    EXPECT_EQ(node->getSkewX(), 30);
    EXPECT_EQ(node->getSkewY(), 370);
}

TEST_F(IntervalActionTest, skewByAddsItsAmountsAndReversesThem)
{
    ZTNode* node = runningNode();
    ZTSkewBy* skew = ZTSkewBy::actionWithDuration(1, 10, -20);
    play(node, skew, {0, 1});
    EXPECT_EQ(node->getSkewX(), 10);
    EXPECT_EQ(node->getSkewY(), -20);
    auto* copy = static_cast<ZTSkewBy*>(skew->copy());
    play(node, copy, {0, 1});
    EXPECT_EQ(node->getSkewX(), 20);
    play(node, skew->reverse(), {0, 1});
    EXPECT_EQ(node->getSkewX(), 10);
    EXPECT_EQ(node->getSkewY(), -20);
    copy->release();
}

TEST_F(IntervalActionTest, jumpByPeaksAtTheMiddleOfEveryJump)
{
    ZTNode* node = runningNode();
    ZTJumpBy* jump = ZTJumpBy::actionWithDuration(1, ZTPoint(100, 8), 50, 2);
    jump->startWithTarget(node);
    std::vector<float> ys;
    for (float t : {0.0f, 0.25f, 0.5f, 0.75f, 1.0f}) {
        jump->update(t);
        ys.push_back(node->getPosition().y - 8 * t);
    }
    EXPECT_EQ(ys, (std::vector<float>{0, 50, 0, 50, 0}));
    EXPECT_EQ(node->getPosition().x, 100);
}

TEST_F(IntervalActionTest, jumpToLandsOnItsPositionFromEveryStart)
{
    ZTNode* node = runningNode();
    ZTJumpTo* jump = ZTJumpTo::actionWithDuration(1, ZTPoint(40, 0), 10, 1);
    jump->retain();
    play(node, jump, {0, 1});
    EXPECT_EQ(node->getPosition().x, 40);
    node->setPosition(ZTPoint(100, 0));
    play(node, jump, {0, 1});
    EXPECT_EQ(node->getPosition().x, 40);
    jump->release();
}

TEST_F(IntervalActionTest, bezierByEndsExactlyAtStartPlusEnd)
{
    ZTNode* node = runningNode();
    node->setPosition(ZTPoint(3, 4));
    ztBezierConfig config{ZTPoint(100, 50), ZTPoint(0, 200), ZTPoint(100, 200)};
    ZTBezierBy* bezier = ZTBezierBy::actionWithDuration(1, config);
    bezier->startWithTarget(node);
    bezier->update(0.5f);
    EXPECT_FLOAT_EQ(node->getPosition().x, 3 + 3 * 0.125f * 0 + 3 * 0.125f * 100 + 0.125f * 100);
    EXPECT_FLOAT_EQ(node->getPosition().y, 4 + 3 * 0.125f * 200 + 3 * 0.125f * 200 + 0.125f * 50);
    bezier->update(1);
    EXPECT_EQ(node->getPosition().x, 103);
    EXPECT_EQ(node->getPosition().y, 54);
    play(node, bezier->reverse(), {0, 1});
    EXPECT_EQ(node->getPosition().x, 3);
    EXPECT_EQ(node->getPosition().y, 4);
}

TEST_F(IntervalActionTest, bezierToEndsAtItsPointFromEveryStart)
{
    ZTNode* node = runningNode();
    ztBezierConfig config{ZTPoint(10, 10), ZTPoint(0, 10), ZTPoint(10, 0)};
    ZTBezierTo* bezier = ZTBezierTo::actionWithDuration(1, config);
    bezier->retain();
    play(node, bezier, {0, 1});
    EXPECT_EQ(node->getPosition().x, 10);
    node->setPosition(ZTPoint(-50, 7));
    play(node, bezier, {0, 1});
    EXPECT_EQ(node->getPosition().x, 10);
    EXPECT_EQ(node->getPosition().y, 10);
    bezier->release();
}

TEST_F(IntervalActionTest, scaleByMultipliesAndItsReverseDivides)
{
    ZTNode* node = runningNode();
    node->setScaleX(1.5f);
    node->setScaleY(1.5f);
    ZTScaleBy* scale = ZTScaleBy::actionWithDuration(1, 2);
    play(node, scale, {0, 1});
    EXPECT_EQ(node->getScaleX(), 3);
    EXPECT_EQ(node->getScaleY(), 3);
    play(node, scale->reverse(), {0, 1});
    EXPECT_EQ(node->getScaleX(), 1.5f);
    play(node, ZTScaleTo::actionWithDuration(1, 2, 4), {0, 0.5f});
    EXPECT_EQ(node->getScaleX(), 1.75f);
    EXPECT_EQ(node->getScaleY(), 2.75f);
}

TEST_F(IntervalActionTest, blinkShowsInTheSecondHalfOfEverySliceAndKeepsItsLastState)
{
    ZTNode* node = runningNode();
    ZTBlink* blink = ZTBlink::actionWithDuration(1, 5);
    blink->startWithTarget(node);
    blink->update(0.15f);
    EXPECT_TRUE(node->getIsVisible());
    blink->update(0.25f);
    EXPECT_FALSE(node->getIsVisible());
    run(node, blink);
    manager()->update(0);
    manager()->update(0.75f);
    EXPECT_TRUE(node->getIsVisible());
    manager()->update(0.25f); // reaches the end: nothing changes
    EXPECT_TRUE(node->getIsVisible());
    EXPECT_EQ(actionsOf(node), 0u);
}

TEST_F(IntervalActionTest, fadesSetOpacityByTruncation)
{
    auto* node = new ColourNode();
    node->onEnter();
    ZTFadeIn* fadeIn = ZTFadeIn::actionWithDuration(1);
    fadeIn->startWithTarget(node);
    fadeIn->update(0.5f);
    EXPECT_EQ(node->m_opacity, 127);
    ZTActionInterval* fadeOut = fadeIn->reverse();
    fadeOut->startWithTarget(node);
    fadeOut->update(1);
    EXPECT_EQ(node->m_opacity, 0);
    fadeOut->update(0.25f);
    EXPECT_EQ(node->m_opacity, 191);

    node->m_opacity = 200;
    ZTFadeTo* fadeTo = ZTFadeTo::actionWithDuration(1, 100);
    fadeTo->startWithTarget(node);
    fadeTo->update(0.5f);
    EXPECT_EQ(node->m_opacity, 150);
    node->release();
}

TEST_F(IntervalActionTest, tintsMoveEachChannelAndTintByReversesItsSignedDeltas)
{
    auto* node = new ColourNode();
    node->m_color = ztColor3B{100, 200, 0};
    ZTTintTo* tintTo = ZTTintTo::actionWithDuration(1, 0, 100, 255);
    tintTo->startWithTarget(node);
    tintTo->update(0.5f);
    EXPECT_EQ(node->m_color.r, 50);
    EXPECT_EQ(node->m_color.g, 150);
    EXPECT_EQ(node->m_color.b, 127);

    node->m_color = ztColor3B{100, 100, 100};
    ZTTintBy* tintBy = ZTTintBy::actionWithDuration(1, -50, 20, 0);
    tintBy->startWithTarget(node);
    tintBy->update(1);
    EXPECT_EQ(node->m_color.r, 50);
    EXPECT_EQ(node->m_color.g, 120);
    auto* copy = static_cast<ZTTintBy*>(tintBy->copy());
    copy->startWithTarget(node);
    copy->update(1);
    EXPECT_EQ(node->m_color.r, 0);
    ZTActionInterval* back = tintBy->reverse();
    back->startWithTarget(node);
    back->update(1);
    EXPECT_EQ(node->m_color.r, 50);
    EXPECT_EQ(node->m_color.g, 120);
    copy->release();
    node->release();
}

TEST_F(IntervalActionTest, fadesAndTintsLeaveANodeWithoutColourAlone)
{
    ZTNode* node = runningNode();
    play(node,
         ZTSpawn::actionOneTwo(ZTFadeTo::actionWithDuration(1, 3), ZTTintBy::actionWithDuration(1, 1, 2, 3)),
         {0, 1});
    EXPECT_EQ(actionsOf(node), 0u);
}
