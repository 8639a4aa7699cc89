// Movement animations stepped by the engine's fixed-step scheduler, in game time.

#include <gtest/gtest.h>

#include "InProcessEngine.h"

#include "items/movementanimation.h"
#include "zanthscheduler.h"

#include <QSignalSpy>

namespace {

InProcessEngine* engine = nullptr;

// Game time handed to the scheduler directly, in frames of 50 ms.
void runGameTime(double seconds)
{
    for (double done = 0; done < seconds - 1e-9; done += 0.05)
        engine->wrapper().scheduler()->scheduleUpdates(0.05);
}

QQuickItem* load(const QByteArray& animation)
{
    return engine->load("import QtQuick 2.15\nimport Zanth 1.0\nItem {\n width: 300; height: 200\n"
                        " Rectangle { id: box; objectName: \"box\"; width: 10; height: 10; color: \"red\" }\n"
                        " MovementAnimation { objectName: \"animation\"; target: box\n" +
                        animation + "\n }\n}\n");
}

MovementAnimation* animationIn(QQuickItem* root)
{
    return root->findChild<MovementAnimation*>("animation");
}

} // namespace

TEST(MovementAnimationSteps, aVelocityOfHundredMovesHundredPixelsInOneSecondOfGameTime)
{
    QQuickItem* root = load("property: \"x\"; velocity: 100; running: true");
    QQuickItem* box = findItem(root, "box");
    runGameTime(0.5);
    const qreal before = box->x();
    runGameTime(1.0);
    EXPECT_NEAR(box->x() - before, 100.0, 1.0);
    // Each step adds velocity times the single-precision step interval.
    const qreal stepStart = box->x();
    animationIn(root)->scheduledUpdate(double(1.0f / 60.0f));
    EXPECT_DOUBLE_EQ(box->x() - stepStart, 100 * double(1.0f / 60.0f));
    engine->stepFrames(1);
    EXPECT_EQ(engine->pixel(int(box->x()) + 5, 5), QColor(Qt::red));
}

TEST(MovementAnimationSteps, accelerationGrowsTheVelocityUpToItsMaximum)
{
    QQuickItem* root = load("property: \"x\"; acceleration: 50; maxVelocity: 200; running: true");
    MovementAnimation* animation = animationIn(root);
    // Loading ran a frame, which may already have stepped the running animation.
    const double start = animation->velocity().toDouble();
    QSignalSpy velocityChanges(animation, &MovementAnimation::velocityChanged);
    animation->scheduledUpdate(1.0);
    EXPECT_DOUBLE_EQ(animation->velocity().toDouble(), start + 50.0);
    for (int i = 0; i < 5; ++i)
        animation->scheduledUpdate(1.0);
    EXPECT_DOUBLE_EQ(animation->velocity().toDouble(), 200.0);
    EXPECT_EQ(velocityChanges.count(), 4) << "no signal once the velocity stays";
}

TEST(MovementAnimationLimits, wrappingJumpsToTheOtherLimitAndClampingHoldsAtTheLimit)
{
    QQuickItem* root = load("property: \"x\"; velocity: 120; minPropertyValue: 0; maxPropertyValue: 100;"
                            " wrapping: true; running: true");
    QQuickItem* box = findItem(root, "box");
    MovementAnimation* animation = animationIn(root);
    QSignalSpy limits(animation, &MovementAnimation::limitReached);
    animation->stop();
    box->setX(99);
    animation->start();
    animation->scheduledUpdate(1.0 / 60);
    EXPECT_EQ(box->x(), 0.0);
    EXPECT_EQ(limits.count(), 1);

    animation->setWrapping(false);
    box->setX(99);
    animation->stop();
    animation->start();
    animation->scheduledUpdate(1.0 / 60);
    animation->scheduledUpdate(1.0 / 60);
    EXPECT_EQ(box->x(), 100.0);
    EXPECT_EQ(limits.count(), 3) << "every step past the limit reports it";

    // Without a minimum there is nothing to wrap to.
    animation->setMinPropertyValue(QVariant());
    animation->setWrapping(true);
    animation->scheduledUpdate(1.0 / 60);
    EXPECT_EQ(box->x(), 100.0);
}

TEST(MovementAnimationLimits, theDifferenceLimitCutsEachStep)
{
    QQuickItem* root = load("property: \"x\"; velocity: -1000; maxPropertyValueDifference: 5; running: true");
    QQuickItem* box = findItem(root, "box");
    MovementAnimation* animation = animationIn(root);
    animation->stop();
    box->setX(100);
    animation->start();
    animation->scheduledUpdate(0.0167);
    EXPECT_EQ(box->x(), 95.0);
}

TEST(MovementAnimationPoints, aPointVelocityMovesThePositionAndEachAxisReportsItsLimit)
{
    QQuickItem* root = load("property: \"pos\"; velocity: Qt.point(10, -20); running: true;"
                            " minPropertyValue: Qt.point(-1000, 0); maxPropertyValue: Qt.point(1000, 1000)");
    QQuickItem* box = findItem(root, "box");
    MovementAnimation* animation = animationIn(root);
    QSignalSpy limits(animation, &MovementAnimation::limitReached);
    animation->stop();
    box->setPosition(QPointF(50, 50));
    animation->start();
    animation->scheduledUpdate(1.0);
    EXPECT_EQ(box->position(), QPointF(60, 30));
    animation->scheduledUpdate(2.0);
    EXPECT_EQ(box->position(), QPointF(80, 0));
    EXPECT_EQ(limits.count(), 1);
}

TEST(MovementAnimationLifecycle, runningBeforeCompletionStartsWithoutStartedAndStopUnschedules)
{
    QQuickItem* root = load("property: \"x\"; velocity: 10; running: true");
    MovementAnimation* animation = animationIn(root);
    ZanthScheduler* scheduler = engine->wrapper().scheduler();
    EXPECT_TRUE(scheduler->isScheduled(animation));
    QSignalSpy stopped(animation, &MovementAnimation::stopped);
    QSignalSpy started(animation, &MovementAnimation::started);
    animation->stop();
    EXPECT_FALSE(scheduler->isScheduled(animation));
    animation->start();
    EXPECT_TRUE(scheduler->isScheduled(animation));
    EXPECT_EQ(stopped.count(), 1);
    EXPECT_EQ(started.count(), 1);

    MovementAnimation orphan;
    QSignalSpy runningChanges(&orphan, &MovementAnimation::runningChanged);
    orphan.setRunning(true);
    orphan.scheduledUpdate(1.0);
    EXPECT_EQ(runningChanges.count(), 1) << "no target: nothing steps, nothing breaks";
}

TEST(MovementAnimationLifecycle, aTargetDestroyedWhileRunningStopsTheAnimation)
{
    QQuickItem* root = load("property: \"opacity\"; velocity: -0.1; running: true");
    MovementAnimation* animation = animationIn(root);
    ZanthScheduler* scheduler = engine->wrapper().scheduler();
    // Given from code rather than by a binding, which would let go of a destroyed target by itself.
    auto* target = new QQuickItem(root);
    animation->setTarget(target);
    animation->stop();
    animation->start();
    animation->scheduledUpdate(1.0);
    EXPECT_NEAR(target->opacity(), 0.9, 1e-6);

    QSignalSpy stopped(animation, &MovementAnimation::stopped);
    QSignalSpy targetChanges(animation, &MovementAnimation::targetChanged);
    delete target;
    EXPECT_FALSE(animation->running());
    EXPECT_EQ(stopped.count(), 1);
    EXPECT_EQ(targetChanges.count(), 1);
    EXPECT_EQ(animation->target(), nullptr);
    EXPECT_FALSE(scheduler->isScheduled(animation));
    // A step that still arrives touches nothing.
    animation->scheduledUpdate(1.0);
    runGameTime(0.2);
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
