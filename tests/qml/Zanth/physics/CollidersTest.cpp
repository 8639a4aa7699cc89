// The physics world component and the collider components on the engine started in the test process, the
// world stepped through the engine's scheduler.

#include <gtest/gtest.h>

#include "InProcessEngine.h"
#include "MessageLog.h"
#include "box2dbody.h"
#include "box2dfixture.h"
#include "box2dworld.h"
#include "zanthscheduler.h"

#include <QQmlContext>
#include <QQuickItem>

namespace {

InProcessEngine* engine = nullptr;

// A game window with a 480 x 320 scene (shown at twice its size), a physics world with the given
// properties, and a static floor entity whose top is at 280, plus the entities given.
QByteArray game(const QByteArray& worldProperties, const QByteArray& entities)
{
    return "import QtQuick 2.15\nimport Zanth 1.0\n"
           "GameWindow {\n  displayFpsEnabled: false\n"
           "  EntityManager { id: entityManager; entityContainer: scene }\n"
           "  Scene { id: scene; objectName: \"scene\"\n"
           "    PhysicsWorld { objectName: \"world\"; " +
           worldProperties +
           " }\n"
           "    EntityBase { entityType: \"floor\"; y: 280; width: 480; height: 40\n"
           "      BoxCollider { bodyType: Body.Static } }\n" +
           entities + "\n  }\n}\n";
}

// Three falling 32 x 32 entities: a box at x 40, a circle at x 140 and a triangle
// at x 240, all from y 20.
const QByteArray kFallingEntities = R"(
    EntityBase { objectName: "boxEntity"; entityType: "box"; x: 40; y: 20; width: 32; height: 32
        BoxCollider { objectName: "collider"; density: 1 } }
    EntityBase { objectName: "circleEntity"; entityType: "ball"; x: 140; y: 20; width: 32; height: 32
        CircleCollider { objectName: "collider"; x: 8; y: 8; radius: 16; density: 1 } }
    EntityBase { objectName: "polygonEntity"; entityType: "wedge"; x: 240; y: 20; width: 32; height: 32
        PolygonCollider { objectName: "collider"; density: 1
            vertices: [Qt.point(0, 32), Qt.point(16, 0), Qt.point(32, 32)] } }
)";

Box2DWorld* worldOf(QQuickItem* root)
{
    return root->findChild<Box2DWorld*>("world");
}

// Runs the engine's scheduler until the world has stepped count more times.
void step(QQuickItem* root, int count)
{
    auto* scheduler = qobject_cast<ZanthScheduler*>(
        engine->view().rootContext()->contextProperty("zanthScheduler").value<QObject*>());
    ASSERT_NE(scheduler, nullptr);
    Box2DWorld* world = worldOf(root);
    int stepped = 0;
    const auto connection = QObject::connect(world, &Box2DWorld::stepped, [&stepped] { ++stepped; });
    for (int guard = 0; stepped < count && guard < 2 * count + 4; ++guard)
        scheduler->scheduleUpdates(world->timeStep());
    QObject::disconnect(connection);
    EXPECT_EQ(stepped, count);
}

Box2DBody* bodyOf(QQuickItem* entity)
{
    return entity->findChild<Box2DBody*>();
}

} // namespace

TEST(PhysicsWorldComponent, defaultsToNoGravityAtThirtyStepsASecondAndTakesTheMisspeltRateOnce)
{
    QQuickItem* root = engine->load(game("", ""));
    ASSERT_NE(root, nullptr);
    Box2DWorld* world = worldOf(root);
    EXPECT_EQ(world->gravity(), QPointF(0, 0));
    EXPECT_FLOAT_EQ(world->timeStep(), 1.0f / 30.0f);
    EXPECT_EQ(world->frameTime(), 33);
    EXPECT_EQ(world->width(), 480);
    QObject* system = engine->view().rootContext()->contextProperty("system").value<QObject*>();
    EXPECT_EQ(world->property("debugDrawVisible").toBool(), system->property("debugBuild").toBool());

    MessageLog log;
    world = worldOf(engine->load(game("updatesPerSecondForPhyiscs: 60", "")));
    EXPECT_TRUE(log.contains("ERROR: PhysicsWorld: USE OF DEPRECATED PROPERTY updatesPerSecondForPhyiscs"));
    EXPECT_EQ(world->property("updatesPerSecondForPhysics").toInt(), 60);
    EXPECT_FLOAT_EQ(world->timeStep(), 1.0f / 60.0f);
    EXPECT_EQ(world->frameTime(), 16);
    // A rate that would make the step infinite or negative steps at 30.
    world->setProperty("updatesPerSecondForPhysics", 0);
    EXPECT_FLOAT_EQ(world->timeStep(), 1.0f / 30.0f);
    EXPECT_TRUE(log.contains("WARNING: PhysicsWorld: updatesPerSecondForPhysics must be above 0"));
}

TEST(Colliders, eachColliderGivesItsEntityABodyThatMovesItOntoTheFloor)
{
    QQuickItem* root = engine->load(game("gravity: Qt.point(0, -10)", kFallingEntities));
    ASSERT_NE(root, nullptr);
    const char* names[] = {"boxEntity", "circleEntity", "polygonEntity"};
    const char* types[] = {"box", "circle", "polygon"};
    for (int i = 0; i < 3; ++i) {
        QQuickItem* collider = findItem(findItem(root, names[i]), "collider");
        ASSERT_NE(collider, nullptr) << names[i];
        EXPECT_EQ(collider->property("colliderType").toString(), types[i]);
        EXPECT_EQ(bodyOf(findItem(root, names[i]))->target(), findItem(root, names[i]));
    }
    step(root, 15);
    for (const char* name : names)
        EXPECT_GT(findItem(root, name)->y(), 40) << name;
    step(root, 90);
    // All three rest on the floor: the box and the wedge with their bottom on it, the ball likewise.
    for (const char* name : names)
        EXPECT_NEAR(findItem(root, name)->y(), 248, 1.0) << name;
    EXPECT_FALSE(findItem(findItem(root, "boxEntity"), "collider")->property("sleeping").toBool());
}

TEST(Colliders, anEntityWhoseCollidersAreInactiveNeitherMovesNorIsFoundUntilTheyAreActive)
{
    QQuickItem* root = engine->load(game("gravity: Qt.point(0, -10)", R"(
    EntityBase { objectName: "resting"; entityType: "box"; x: 40; y: 20; width: 32; height: 32
        collidersActive: false
        BoxCollider { density: 1 } }
    EntityBase { objectName: "hidden"; entityType: "box"; x: 140; y: 20; width: 32; height: 32
        visible: false
        BoxCollider { density: 1 } }
)"));
    ASSERT_NE(root, nullptr);
    Box2DWorld* world = worldOf(root);
    step(root, 20);
    EXPECT_EQ(findItem(root, "resting")->y(), 20);
    EXPECT_EQ(findItem(root, "hidden")->y(), 20);
    EXPECT_EQ(world->bodyAt(QPointF(56, 36)), nullptr);
    EXPECT_EQ(world->bodyAt(QPointF(156, 36)), nullptr);

    findItem(root, "resting")->setProperty("collidersActive", true);
    findItem(root, "hidden")->setVisible(true);
    EXPECT_EQ(world->bodyAt(QPointF(56, 36)), bodyOf(findItem(root, "resting")));
    step(root, 15);
    EXPECT_GT(findItem(root, "resting")->y(), 30);
    EXPECT_GT(findItem(root, "hidden")->y(), 30);
}

TEST(Colliders, collisionTestingOnlyModeMakesSensorsOnABodyThatFollowsTheEntityAndNeverSleeps)
{
    QQuickItem* root = engine->load(game("gravity: Qt.point(0, -10)", R"(
    EntityBase { objectName: "probe"; entityType: "probe"; x: 40; y: 100; width: 32; height: 32
        BoxCollider { objectName: "collider"; collisionTestingOnlyMode: true; density: 1 } }
)"));
    ASSERT_NE(root, nullptr);
    QQuickItem* probe = findItem(root, "probe");
    QQuickItem* collider = findItem(probe, "collider");
    EXPECT_TRUE(collider->property("fixture").value<Box2DFixture*>()->isSensor());
    EXPECT_FALSE(bodyOf(probe)->sleepingAllowed());
    step(root, 10);
    EXPECT_EQ(probe->y(), 100);

    probe->setPosition(QPointF(300, 200));
    step(root, 60);
    EXPECT_EQ(probe->position(), QPointF(300, 200));
    EXPECT_EQ(worldOf(root)->bodyAt(QPointF(316, 216)), bodyOf(probe));
    EXPECT_TRUE(bodyOf(probe)->isAwake());
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
