#include "box2drevolutejoint.h"
#include "JointScene.h"

TEST(Box2DRevoluteJointTest, anglesAreWrittenInMultiplesOfPiAndReadInRadians)
{
    Box2DRevoluteJoint joint;
    joint.setLowerAngle(0.5f);
    EXPECT_NEAR(joint.lowerAngle(), 1.5708, 1e-4);
}

TEST(Box2DRevoluteJointTest, limitsKeepThePendulumInItsArc)
{
    PhysicsScene scene;
    scene.load(jointScene("RevoluteJoint { objectName: \"joint\"; world: world; bodyA: anchor; bodyB: ball;"
                          " enableLimit: true; lowerAngle: -0.1; upperAngle: 0.1 }"));
    auto* joint = static_cast<b2RevoluteJoint*>(scene.find<Box2DRevoluteJoint>("joint")->joint());
    EXPECT_NEAR(joint->GetLowerLimit(), -0.1 * b2_pi, 1e-5);
    for (int i = 0; i < 10; ++i) {
        scene.step(30);
        EXPECT_LT(std::fabs(joint->GetJointAngle()), 0.1 * b2_pi + 0.1);
        EXPECT_NEAR(centreDistance(scene), 96.0, 1.0);
    }
}

TEST(Box2DRevoluteJointTest, lowerAboveUpperWaitsUntilConsistent)
{
    PhysicsScene scene;
    MessageLog log;
    scene.load(jointScene("RevoluteJoint { objectName: \"joint\"; world: world; bodyA: anchor; bodyB: ball;"
                          " enableLimit: true; lowerAngle: 0.5; upperAngle: 0.25 }"));
    EXPECT_EQ(warnings(log).size(), 1);
    auto* joint = scene.find<Box2DRevoluteJoint>("joint");
    auto* revolute = static_cast<b2RevoluteJoint*>(joint->joint());
    ASSERT_NE(revolute, nullptr);
    EXPECT_EQ(revolute->GetLowerLimit(), 0.0f);
    EXPECT_EQ(revolute->GetUpperLimit(), 0.0f);
    joint->setUpperAngle(0.75f);
    EXPECT_NEAR(revolute->GetLowerLimit(), 0.5 * b2_pi, 1e-5);
    EXPECT_NEAR(revolute->GetUpperLimit(), 0.75 * b2_pi, 1e-5);
    joint->setLowerAngle(1.0f);
    EXPECT_EQ(warnings(log).size(), 2);
    EXPECT_NEAR(revolute->GetLowerLimit(), 0.5 * b2_pi, 1e-5);
    scene.step(10);
}

int main(int argc, char** argv)
{
    return runPhysicsTests(argc, argv);
}
