#include "box2ddistancejoint.h"
#include "JointScene.h"

#include <box2d/b2_body.h>

TEST(Box2DDistanceJointTest, withoutLengthTheStartingDistanceHolds)
{
    PhysicsScene scene;
    scene.load(
        jointScene("DistanceJoint { objectName: \"joint\"; world: world; bodyA: anchor; bodyB: ball }"));
    auto* joint = scene.find<Box2DDistanceJoint>("joint");
    EXPECT_FLOAT_EQ(joint->length(), 3.0f);
    for (int i = 0; i < 10; ++i) {
        scene.step(30);
        EXPECT_NEAR(centreDistance(scene), 96.0, 1.0);
    }
}

TEST(Box2DDistanceJointTest, lengthHoldsTheBodiesAtItFromElsewhere)
{
    PhysicsScene scene;
    scene.load(jointScene(
        "DistanceJoint { objectName: \"joint\"; world: world; bodyA: anchor; bodyB: ball; length: 64 }"));
    auto* joint = scene.find<Box2DDistanceJoint>("joint");
    EXPECT_FLOAT_EQ(joint->length(), 2.0f);
    auto* boxJoint = static_cast<b2DistanceJoint*>(joint->joint());
    EXPECT_FLOAT_EQ(boxJoint->GetMinLength(), 2.0f);
    EXPECT_FLOAT_EQ(boxJoint->GetMaxLength(), 2.0f);
    scene.step(30);
    for (int i = 0; i < 9; ++i) {
        scene.step(30);
        EXPECT_NEAR(centreDistance(scene), 64.0, 1.0);
    }
}

TEST(Box2DDistanceJointTest, springSettlesAtItsLength)
{
    PhysicsScene scene;
    scene.load(jointScene(
        "DistanceJoint { objectName: \"joint\"; world: world; bodyA: anchor; bodyB: ball; length: 64;"
        " frequencyHz: 2; dampingRatio: 0.5 }",
        "Qt.point(0, 0)"));
    auto* boxJoint = static_cast<b2DistanceJoint*>(scene.find<Box2DDistanceJoint>("joint")->joint());
    EXPECT_GT(boxJoint->GetStiffness(), 0.0f);
    EXPECT_GT(boxJoint->GetDamping(), 0.0f);
    EXPECT_GT(boxJoint->GetMaxLength(), 1e6f);
    scene.step(20);
    EXPECT_LT(centreDistance(scene), 90.0);
    scene.step(280);
    EXPECT_NEAR(centreDistance(scene), 64.0, 1.0);
}

TEST(Box2DDistanceJointTest, liveSettingsBecomeStiffnessAndWakeTheBodies)
{
    PhysicsScene scene;
    scene.load(jointScene(
        "DistanceJoint { objectName: \"joint\"; world: world; bodyA: anchor; bodyB: ball; length: 96 }",
        "Qt.point(0, 0)"));
    auto* joint = scene.find<Box2DDistanceJoint>("joint");
    scene.step(60);
    b2Body* ball = scene.find<Box2DBody>("ball")->body();
    ASSERT_FALSE(ball->IsAwake());
    joint->setFrequencyHz(1);
    auto* boxJoint = static_cast<b2DistanceJoint*>(joint->joint());
    EXPECT_TRUE(ball->IsAwake());
    EXPECT_GT(boxJoint->GetStiffness(), 0.0f);
    joint->setDampingRatio(0.7f);
    joint->setLength(48);
    scene.step(300);
    EXPECT_NEAR(centreDistance(scene), 48.0, 1.0);
    joint->setFrequencyHz(0);
    EXPECT_EQ(boxJoint->GetStiffness(), 0.0f);
    EXPECT_FLOAT_EQ(boxJoint->GetMaxLength(), 1.5f);
}

int main(int argc, char** argv)
{
    return runPhysicsTests(argc, argv);
}
