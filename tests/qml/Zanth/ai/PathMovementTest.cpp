// Path movement of an entity along waypoints, in the game time of the engine started in the test process.

#include <gtest/gtest.h>

#include "InProcessEngine.h"

#include "ZTDirector.h"
#include "ZTScheduler.h"

#include <QElapsedTimer>

namespace {

InProcessEngine* engine = nullptr;

// Frames until the condition holds or the time is up; QML animations advance by the frame times.
bool runUntil(const std::function<bool()>& condition, int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < milliseconds)
        engine->stepFrames(1);
    return condition();
}

QQuickItem* loadPath(const QByteArray& pathProperties)
{
    return engine->load(R"(import QtQuick 2.15
import Zanth 1.0
Item {
    width: 200; height: 200
    property var log: []
    Rectangle { objectName: "entity"; width: 10; height: 10; color: "red"
        PathMovement { objectName: "path"
            waypoints: [{x: 0, y: 0}, {x: 50, y: 0}, {x: 50, y: 50}]
            onWaypointReached: (index) => { log.push("reached " + index); log = log }
            onPathCompleted: { log.push("completed"); log = log }
            )" + pathProperties +
                        R"( } }
})");
}

QStringList logOf(QQuickItem* root)
{
    return root->property("log").toStringList();
}

} // namespace

TEST(PathMovement, runsThroughTheWaypointsOnceTurningTowardsEachAndCompletes)
{
    QQuickItem* root = loadPath("");
    QQuickItem* entity = findItem(root, "entity");
    QObject* path = root->findChild<QObject*>("path");
    EXPECT_EQ(path->property("completePathAnimationDuration").toInt(), 1000);
    ASSERT_TRUE(runUntil([&] { return logOf(root).contains("completed"); }, 5000));
    EXPECT_EQ(logOf(root), QStringList({"reached 1", "reached 2", "completed"}));
    EXPECT_EQ(entity->position(), QPointF(50, 50));
    // Turning runs on QML's animation clock beside the move: on a busy machine the last turn may still
    // be on its way when the path completes.
    EXPECT_TRUE(runUntil([&] { return entity->rotation() == 90.0; }, 5000)) << entity->rotation();
    EXPECT_FALSE(path->property("running").toBool());
    EXPECT_EQ(path->property("currentWaypointIndex").toInt(), 2);
}

TEST(PathMovement, aPathCompletingInOneLongFrameStillEndsTurnedTowardsItsLastWaypoint)
{
    QQuickItem* root = loadPath("");
    QQuickItem* entity = findItem(root, "entity");
    ASSERT_TRUE(runUntil([&] { return logOf(root).contains("reached 1"); }, 5000));
    // A frame longer than the whole last segment (game time running many times faster for it): the move
    // and the turn both end in it.
    zanth2d::ZTScheduler* scheduler = zanth2d::ZTDirector::sharedDirector()->getScheduler();
    scheduler->setTimeScale(10000);
    engine->stepFrames(1);
    scheduler->setTimeScale(1);
    ASSERT_TRUE(logOf(root).contains("completed"));
    EXPECT_EQ(entity->position(), QPointF(50, 50));
    EXPECT_EQ(entity->rotation(), 90.0);
}

TEST(PathMovement, endlessLoopsReturnToTheFirstWaypointAndNeverComplete)
{
    QQuickItem* root = loadPath("loops: -2");
    QQuickItem* entity = findItem(root, "entity");
    ASSERT_TRUE(runUntil([&] { return logOf(root).contains("reached 0"); }, 5000));
    EXPECT_EQ(logOf(root), QStringList({"reached 1", "reached 2", "reached 0"}));
    EXPECT_EQ(entity->position(), QPointF(0, 0));
    ASSERT_TRUE(runUntil([&] { return logOf(root).count("reached 1") == 2; }, 5000));
    EXPECT_FALSE(logOf(root).contains("completed"));
}

TEST(PathMovement, stoppingMidwayAndStartingAgainGoesOnTowardsTheSameWaypoint)
{
    QQuickItem* root = loadPath("");
    QQuickItem* entity = findItem(root, "entity");
    QObject* path = root->findChild<QObject*>("path");
    ASSERT_TRUE(runUntil([&] { return entity->x() > 10; }, 5000));
    path->setProperty("running", false);
    const QPointF stoppedAt = entity->position();
    runUntil([] { return false; }, 200);
    EXPECT_EQ(entity->position(), stoppedAt);
    EXPECT_TRUE(logOf(root).isEmpty());
    path->setProperty("running", true);
    ASSERT_TRUE(runUntil([&] { return logOf(root).contains("reached 1"); }, 5000));
    EXPECT_EQ(entity->position(), QPointF(50, 0));
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
