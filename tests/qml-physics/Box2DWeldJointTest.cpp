#include "box2dweldjoint.h"
#include "JointScene.h"

TEST(Box2DWeldJointTest, bodyWeldedToAStaticBodyStaysWhereItIs)
{
    PhysicsScene scene;
    scene.load(jointScene("WeldJoint { objectName: \"joint\"; world: world; bodyA: anchor; bodyB: ball }"));
    auto* ball = scene.find<Box2DBody>("ball");
    const QPointF start = ball->getWorldCenter();
    double drift = 0.0;
    for (int i = 0; i < 300; ++i) {
        scene.step(1);
        drift = std::max(drift, QLineF(start, ball->getWorldCenter()).length());
    }
    EXPECT_LT(drift, 0.5);
    EXPECT_NEAR(ball->rotation(), 0.0, 0.5);
}

TEST(Box2DWeldJointTest, anchorOffsetKeepsTheBodiesWhereTheyAre)
{
    PhysicsScene scene;
    scene.load(jointScene("WeldJoint { objectName: \"joint\"; world: world; bodyA: anchor; bodyB: ball;"
                          " localAnchorA: Qt.point(48, 0) }"));
    auto* ball = scene.find<Box2DBody>("ball");
    const QPointF start = ball->getWorldCenter();
    scene.step(300);
    EXPECT_LT(QLineF(start, ball->getWorldCenter()).length(), 0.5);
}

TEST(Box2DWeldJointTest, referenceAngleOfALiveWeldWarns)
{
    PhysicsScene scene;
    scene.load(jointScene("WeldJoint { objectName: \"joint\"; world: world; bodyA: anchor; bodyB: ball }"));
    MessageLog log;
    scene.find<Box2DWeldJoint>("joint")->setReferenceAngle(0.5f);
    EXPECT_EQ(warnings(log).size(), 1);
}

int main(int argc, char** argv)
{
    return runPhysicsTests(argc, argv);
}
