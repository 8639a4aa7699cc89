#include "box2dprismaticjoint.h"
#include "JointScene.h"

TEST(Box2DPrismaticJointTest, motorDrivesTheBodyAlongTheAxisUpToTheLimit)
{
    PhysicsScene scene;
    scene.load(
        jointScene("PrismaticJoint { objectName: \"joint\"; world: world; bodyA: anchor; bodyB: ball;"
                   " axis: Qt.point(1, 0); enableLimit: true; lowerTranslation: -32; upperTranslation: 32;"
                   " enableMotor: true; motorSpeed: 2; maxMotorForce: 1000 }"));
    auto* joint = scene.find<Box2DPrismaticJoint>("joint");
    EXPECT_FLOAT_EQ(joint->lowerTranslation(), -32.0f);
    EXPECT_FLOAT_EQ(joint->upperTranslation(), 32.0f);
    EXPECT_EQ(joint->axis(), QPointF(1, 0));
    auto* ball = scene.find<Box2DBody>("ball");
    scene.step(120);
    EXPECT_NEAR(ball->getWorldCenter().x(), 196.0 + 32.0, 1.0);
    EXPECT_NEAR(ball->getWorldCenter().y(), 100.0, 0.5);
}

TEST(Box2DPrismaticJointTest, lowerAboveUpperWaitsUntilConsistent)
{
    PhysicsScene scene;
    MessageLog log;
    scene.load(jointScene("PrismaticJoint { objectName: \"joint\"; world: world; bodyA: anchor; bodyB: ball;"
                          " lowerTranslation: 64; upperTranslation: 32 }"));
    EXPECT_EQ(warnings(log).size(), 1);
    auto* joint = scene.find<Box2DPrismaticJoint>("joint");
    auto* prismatic = static_cast<b2PrismaticJoint*>(joint->joint());
    ASSERT_NE(prismatic, nullptr);
    joint->setUpperTranslation(96);
    EXPECT_FLOAT_EQ(prismatic->GetLowerLimit(), 2.0f);
    EXPECT_FLOAT_EQ(prismatic->GetUpperLimit(), 3.0f);
    scene.step(10);
}

int main(int argc, char** argv)
{
    return runPhysicsTests(argc, argv);
}
