#include "box2dmousejoint.h"
#include "JointScene.h"

#include <box2d/b2_body.h>
#include <box2d/b2_world.h>

namespace {
const QByteArray kMouse = "MouseJoint { objectName: \"joint\"; world: world; movingBody: ball;"
                          " targetPoint: Qt.point(196, 100); maxForce: 1000 * 0.7853981 }";

int bodyCount(const PhysicsScene& scene)
{
    return scene.world()->world()->GetBodyCount();
}
} // namespace

TEST(Box2DMouseJointTest, strongJointBringsItsBodyToTheTarget)
{
    PhysicsScene scene;
    scene.load(jointScene(kMouse));
    auto* joint = scene.find<Box2DMouseJoint>("joint");
    ASSERT_NE(joint->joint(), nullptr);
    EXPECT_NEAR(scene.find<Box2DBody>("ball")->body()->GetMass(), 0.7853981, 1e-5);
    const QPointF target(196 + 96, 100);
    joint->setTargetPoint(target);
    EXPECT_EQ(joint->targetPoint(), target);
    scene.step(120);
    EXPECT_LT(QLineF(scene.find<Box2DBody>("ball")->getWorldCenter(), target).length(), 1.0);
}

TEST(Box2DMouseJointTest, groundBodyGoesWithTheJointHoweverItGoes)
{
    PhysicsScene scene;
    scene.load(jointScene(kMouse));
    auto* joint = scene.find<Box2DMouseJoint>("joint");
    ASSERT_NE(joint->groundBody(), nullptr);
    EXPECT_EQ(bodyCount(scene), 3);
    joint->cleanup(scene.world()->world());
    EXPECT_EQ(joint->joint(), nullptr);
    EXPECT_EQ(joint->groundBody(), nullptr);
    EXPECT_EQ(bodyCount(scene), 2);

    PhysicsScene deleted;
    deleted.load(jointScene(kMouse));
    delete deleted.find<Box2DMouseJoint>("joint");
    EXPECT_EQ(bodyCount(deleted), 2);

    PhysicsScene withBody;
    withBody.load(jointScene(kMouse));
    QPointer<Box2DMouseJoint> orphaned = withBody.find<Box2DMouseJoint>("joint");
    delete withBody.find<Box2DBody>("ball");
    EXPECT_TRUE(orphaned.isNull());
    EXPECT_EQ(bodyCount(withBody), 1);
    withBody.step(3);
}

TEST(Box2DMouseJointTest, collisionBodySetFirstStandsInForTheGround)
{
    PhysicsScene scene;
    scene.load(jointScene(
        "MouseJoint { objectName: \"joint\"; world: world; collisionBody: anchor; movingBody: ball;"
        " maxForce: 100 }"));
    auto* joint = scene.find<Box2DMouseJoint>("joint");
    EXPECT_EQ(joint->groundBody(), nullptr);
    EXPECT_EQ(joint->joint()->GetBodyA(), scene.find<Box2DBody>("anchor")->body());
    EXPECT_EQ(joint->bodyB(), scene.find<Box2DBody>("ball"));
}

TEST(Box2DMouseJointTest, liveFrequencyBecomesStiffness)
{
    PhysicsScene scene;
    scene.load(jointScene(kMouse));
    auto* joint = scene.find<Box2DMouseJoint>("joint");
    auto* mouse = static_cast<b2MouseJoint*>(joint->joint());
    const float stiffness = mouse->GetStiffness();
    EXPECT_GT(stiffness, 0.0f);
    joint->setFrequencyHz(10);
    EXPECT_NEAR(mouse->GetStiffness(), 4 * stiffness, 1e-3 * stiffness);
}

int main(int argc, char** argv)
{
    return runPhysicsTests(argc, argv);
}
