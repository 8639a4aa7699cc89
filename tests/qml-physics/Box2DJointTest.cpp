#include "PhysicsScene.h"
#include "box2dbody.h"
#include "box2ddistancejoint.h"

#include <box2d/b2_world.h>

#include <QSignalSpy>

namespace {
const QByteArray kTwoBodies = R"(
World {
    id: world
    gravity: Qt.point(0, 0)
    Body { id: left; objectName: "left"; x: 0; fixtures: Box { width: 16; height: 16; density: 1 } }
    Body { id: right; objectName: "right"; x: 96; fixtures: Box { width: 16; height: 16; density: 1 } }
    Body { id: far; objectName: "far"; x: 200; fixtures: Box { width: 16; height: 16; density: 1 } }
}
)";
} // namespace

TEST(Box2DJointTest, jointIsMadeOnceWorldAndBothBodiesAreThere)
{
    PhysicsScene scene;
    scene.load(kTwoBodies);
    Box2DDistanceJoint joint;
    joint.setBodyA(scene.find<Box2DBody>("left"));
    joint.setBodyB(scene.find<Box2DBody>("right"));
    EXPECT_EQ(joint.joint(), nullptr);
    joint.setWorld(scene.world());
    ASSERT_NE(joint.joint(), nullptr);
    EXPECT_EQ(Box2DJoint::fromJoint(joint.joint()), &joint);
    EXPECT_EQ(scene.world()->world()->GetJointCount(), 1);
}

TEST(Box2DJointTest, jointWaitsForBodiesMadeAfterIt)
{
    PhysicsScene scene;
    scene.load("World {}");
    const QByteArray body = "import Box2D 1.0\nBody { fixtures: Box { width: 8; height: 8; density: 1 } }";
    QQmlComponent first(&scene.engine);
    first.setData(body, QUrl());
    QQmlComponent second(&scene.engine);
    second.setData(body, QUrl());
    std::unique_ptr<QObject> a(first.beginCreate(scene.engine.rootContext()));
    std::unique_ptr<QObject> b(second.beginCreate(scene.engine.rootContext()));
    Box2DDistanceJoint joint;
    QSignalSpy bodyAChanged(&joint, &Box2DJoint::bodyAChanged);
    joint.setWorld(scene.world());
    joint.setBodyA(static_cast<Box2DBody*>(a.get()));
    joint.setBodyB(static_cast<Box2DBody*>(b.get()));
    EXPECT_EQ(joint.bodyA(), nullptr);
    first.completeCreate();
    EXPECT_EQ(joint.bodyA(), a.get());
    EXPECT_EQ(bodyAChanged.count(), 1);
    EXPECT_EQ(joint.joint(), nullptr);
    second.completeCreate();
    EXPECT_NE(joint.joint(), nullptr);
}

TEST(Box2DJointTest, settingABodyTwiceKeepsTheFirst)
{
    PhysicsScene scene;
    scene.load(kTwoBodies);
    Box2DDistanceJoint joint;
    joint.setBodyA(scene.find<Box2DBody>("left"));
    joint.setBodyA(scene.find<Box2DBody>("far"));
    EXPECT_EQ(joint.bodyA(), scene.find<Box2DBody>("left"));
}

TEST(Box2DJointTest, jointOnOneBodyIsRefusedWithOneWarning)
{
    PhysicsScene scene;
    scene.load(kTwoBodies);
    MessageLog log;
    Box2DDistanceJoint joint;
    joint.setWorld(scene.world());
    joint.setBodyA(scene.find<Box2DBody>("left"));
    joint.setBodyB(scene.find<Box2DBody>("left"));
    EXPECT_EQ(joint.joint(), nullptr);
    EXPECT_EQ(warnings(log).size(), 1);
    scene.step(2);
}

TEST(Box2DJointTest, bodyDestroyedTakesItsJointsAndTheirItems)
{
    PhysicsScene scene;
    scene.load(kTwoBodies);
    QPointer<Box2DDistanceJoint> joint = new Box2DDistanceJoint;
    joint->setWorld(scene.world());
    joint->setBodyA(scene.find<Box2DBody>("left"));
    joint->setBodyB(scene.find<Box2DBody>("right"));
    ASSERT_NE(joint->joint(), nullptr);
    delete scene.find<Box2DBody>("right");
    EXPECT_TRUE(joint.isNull());
    EXPECT_EQ(scene.world()->world()->GetJointCount(), 0);
    scene.step(2);
}

TEST(Box2DJointTest, deletedJointLeavesTheWorld)
{
    PhysicsScene scene;
    scene.load(kTwoBodies);
    auto joint = std::make_unique<Box2DDistanceJoint>();
    joint->setWorld(scene.world());
    joint->setBodyA(scene.find<Box2DBody>("left"));
    joint->setBodyB(scene.find<Box2DBody>("right"));
    joint.reset();
    EXPECT_EQ(scene.world()->world()->GetJointCount(), 0);
    scene.step(2);
}

TEST(Box2DJointTest, worldGoingFirstTakesJointsDeclaredInQml)
{
    PhysicsScene scene;
    scene.load(
        QByteArray(kTwoBodies)
            .replace("gravity: Qt.point(0, 0)", "gravity: Qt.point(0, 0)\n DistanceJoint { objectName: "
                                                "\"joint\"; world: world; bodyA: left; bodyB: right }"));
    QPointer<Box2DDistanceJoint> joint = scene.find<Box2DDistanceJoint>("joint");
    ASSERT_NE(joint->joint(), nullptr);
    scene.root.reset();
    EXPECT_TRUE(joint.isNull());
}

TEST(Box2DJointTest, bodiesOfAnotherWorldAreNotJoined)
{
    PhysicsScene scene;
    scene.load(kTwoBodies);
    PhysicsScene other;
    other.load("World {}");
    MessageLog log;
    Box2DDistanceJoint joint;
    joint.setWorld(other.world());
    joint.setBodyA(scene.find<Box2DBody>("left"));
    joint.setBodyB(scene.find<Box2DBody>("right"));
    EXPECT_EQ(joint.joint(), nullptr);
    EXPECT_EQ(warnings(log).size(), 1);
}

int main(int argc, char** argv)
{
    return runPhysicsTests(argc, argv);
}
