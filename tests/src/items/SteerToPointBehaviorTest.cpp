// Steering outputs from the owner's position and heading towards a target, one tick at a time.

#include <gtest/gtest.h>

#include "items/steertopointbehavior.h"

#include <QGuiApplication>
#include <QSignalSpy>

#include <cmath>

namespace {

struct Steering
{
    QQuickItem owner;
    QQuickItem target;
    SteerToPointBehavior behavior;

    Steering() { behavior.setOwningEntity(&owner); }
    void steerTo(qreal x, qreal y)
    {
        behavior.setTargetPoint(QPointF(x, y));
        behavior.update();
    }
};

} // namespace

TEST(SteerToPointOutputs, aTargetStraightAheadDrivesForwardWithoutTurning)
{
    Steering s;
    s.steerTo(100, 0);
    EXPECT_FLOAT_EQ(float(s.behavior.distanceToTarget()), 100.0f);
    EXPECT_FLOAT_EQ(s.behavior.absoluteRotationDifference(), 0.0f);
    EXPECT_EQ(s.behavior.outputXAxis(), 0.0);
    EXPECT_EQ(s.behavior.outputYAxis(), 1.0);
}

TEST(SteerToPointOutputs, aTargetBelowOnScreenTurnsClockwiseAndBacksUp)
{
    Steering s;
    s.steerTo(0, 100);
    EXPECT_FLOAT_EQ(s.behavior.absoluteRotationDifference(), 90.0f);
    EXPECT_EQ(s.behavior.outputXAxis(), 1.0);
    EXPECT_EQ(s.behavior.outputYAxis(), -1.0);
    s.steerTo(0, -100);
    EXPECT_EQ(s.behavior.outputXAxis(), -1.0);
}

TEST(SteerToPointOutputs, withoutBackwardSteeringATargetBehindKeepsOrStopsTheForwardOutput)
{
    Steering s;
    s.behavior.setProperty("allowSteerBackward", false);
    s.steerTo(100, 0);
    s.steerTo(-100, 0);
    EXPECT_EQ(s.behavior.outputYAxis(), 1.0) << "kept";
    s.behavior.setProperty("stopForwardMovementAtDifferentDirections", true);
    s.steerTo(-100, 1);
    EXPECT_EQ(s.behavior.outputYAxis(), 0.0);
}

TEST(SteerToPointOutputs, turningStartsOnlyBeyondTheRotationThreshold)
{
    Steering s;
    s.owner.setRotation(4.9);
    s.steerTo(100, 0);
    EXPECT_EQ(s.behavior.outputXAxis(), 0.0);
    s.owner.setRotation(5.1);
    s.behavior.update();
    EXPECT_EQ(s.behavior.outputXAxis(), -1.0);
}

TEST(SteerToPointTargets, reachingTheTargetStopsOnceAndANewPointArmsItAgain)
{
    Steering s;
    QSignalSpy reached(&s.behavior, &SteerToPointBehavior::targetReached);
    s.steerTo(100, 0);
    s.owner.setX(90);
    s.behavior.update();
    s.behavior.update();
    EXPECT_EQ(reached.count(), 1);
    EXPECT_EQ(s.behavior.outputYAxis(), 0.0);
    s.owner.setX(0);
    s.behavior.update();
    EXPECT_EQ(s.behavior.outputYAxis(), 1.0) << "moving away resumes the drive";
    s.owner.setX(95);
    s.behavior.update();
    EXPECT_EQ(reached.count(), 1) << "not again before a reset or a new point";
    s.steerTo(101, 0);
    EXPECT_EQ(reached.count(), 2);
}

TEST(SteerToPointTargets, aTargetItemWinsOverThePointAndItsDestructionResetsTheOutputs)
{
    Steering s;
    auto* item = new QQuickItem;
    item->setPosition(QPointF(0, 100));
    s.steerTo(100, 0);
    s.behavior.setTargetObject(item);
    s.behavior.update();
    EXPECT_FLOAT_EQ(float(s.behavior.distanceToTarget()), 100.0f);
    EXPECT_EQ(s.behavior.outputXAxis(), 1.0);
    delete item;
    EXPECT_EQ(s.behavior.outputXAxis(), 0.0);
    EXPECT_EQ(s.behavior.outputYAxis(), 0.0);
    // Owner on the target: no direction (not a number), so no turning, and the target counts as reached.
    s.steerTo(0, 0);
    s.owner.setPosition(QPointF(0, 0));
    s.behavior.setTargetPoint(QPointF(1, 1));
    s.behavior.setTargetPoint(QPointF(0, 0));
    s.behavior.update();
    EXPECT_TRUE(std::isnan(s.behavior.absoluteRotationDifference()));
    EXPECT_EQ(s.behavior.outputXAxis(), 0.0);
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
