#include "box2dropejoint.h"
#include "JointScene.h"

namespace {
const QByteArray kRope =
    "RopeJoint { objectName: \"joint\"; world: world; bodyA: anchor; bodyB: ball; maxLength: 128;"
    " localAnchorA: Qt.point(0, 0); localAnchorB: Qt.point(0, 0) }";
} // namespace

TEST(Box2DRopeJointTest, hangingBodyNeverGoesBeyondTheMaximum)
{
    PhysicsScene scene;
    scene.load(jointScene(kRope));
    EXPECT_FLOAT_EQ(scene.find<Box2DRopeJoint>("joint")->maxLength(), 4.0f);
    double longest = 0.0;
    for (int i = 0; i < 300; ++i) {
        scene.step(1);
        longest = std::max(longest, centreDistance(scene));
    }
    EXPECT_LT(longest, 128.0 + 1.0);
    EXPECT_GT(longest, 127.0);
    EXPECT_GT(scene.find<Box2DBody>("ball")->y(), 100.0);
}

TEST(Box2DRopeJointTest, ropeShorterThanTheMaximumHangsSlack)
{
    PhysicsScene scene;
    scene.load(jointScene(kRope, "Qt.point(0, 0)"));
    scene.step(120);
    EXPECT_NEAR(centreDistance(scene), 96.0, 0.01);
}

TEST(Box2DRopeJointTest, unsetAnchorsLieOneMetreOutside)
{
    PhysicsScene scene;
    scene.load(jointScene("RopeJoint { objectName: \"joint\" }"));
    auto* joint = scene.find<Box2DRopeJoint>("joint");
    EXPECT_EQ(joint->localAnchorA(), QPointF(-32, 0));
    EXPECT_EQ(joint->localAnchorB(), QPointF(32, 0));
    EXPECT_EQ(joint->maxLength(), 0.0f);
}

TEST(Box2DRopeJointTest, changingTheMaximumOfALiveRopeWarnsAndTakesEffect)
{
    PhysicsScene scene;
    scene.load(jointScene(kRope));
    MessageLog log;
    scene.find<Box2DRopeJoint>("joint")->setMaxLength(64);
    EXPECT_EQ(warnings(log).size(), 1);
    scene.step(300);
    EXPECT_NEAR(centreDistance(scene), 64.0, 1.0);
}

int main(int argc, char** argv)
{
    return runPhysicsTests(argc, argv);
}
