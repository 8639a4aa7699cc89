#include "box2dbody.h"
#include "PhysicsScene.h"

#include <box2d/b2_body.h>
#include <box2d/b2_world.h>

#include <QSignalSpy>

TEST(Box2DBodyTest, bodyStartsAtItsItemInBox2DUnits)
{
    PhysicsScene scene;
    scene.load(R"(
World {
    Body { objectName: "body"; x: 64; y: -32; rotation: 90; linearVelocity: Qt.point(32, 64) }
}
)");
    b2Body* body = scene.find<Box2DBody>("body")->body();
    ASSERT_NE(body, nullptr);
    EXPECT_FLOAT_EQ(body->GetPosition().x, 2.0f);
    EXPECT_FLOAT_EQ(body->GetPosition().y, 1.0f);
    EXPECT_FLOAT_EQ(body->GetAngle(), -b2_pi / 2);
    EXPECT_FLOAT_EQ(body->GetLinearVelocity().x, 1.0f);
    EXPECT_FLOAT_EQ(body->GetLinearVelocity().y, -2.0f);
}

TEST(Box2DBodyTest, positiveAngularVelocityTurnsCounterClockwiseOnScreen)
{
    PhysicsScene scene;
    scene.load(R"(
World {
    gravity: Qt.point(0, 0)
    Body { objectName: "body"; angularVelocity: 1; fixtures: Circle { radius: 16; density: 1 } }
}
)");
    auto* body = scene.find<Box2DBody>("body");
    scene.step(30);
    EXPECT_NEAR(body->rotation(), -28.6479, 0.01);
    EXPECT_FLOAT_EQ(body->angularVelocity(), 1.0f);
}

TEST(Box2DBodyTest, bodyCompletingAfterTheWorldRegistersThroughPhysicsWorld)
{
    PhysicsScene scene;
    scene.load("World {}");
    QQmlComponent component(&scene.engine);
    component.setData("import Box2D 1.0\nBody { fixtures: Box { width: 8; height: 8 } }", QUrl());
    std::unique_ptr<QObject> body(component.create());
    EXPECT_NE(static_cast<Box2DBody*>(body.get())->body(), nullptr);
    EXPECT_EQ(scene.world()->world()->GetBodyCount(), 1);
    body.reset();
    EXPECT_EQ(scene.world()->world()->GetBodyCount(), 0);
}

TEST(Box2DBodyTest, targetFollowsTheBodyUntilSomethingElseMovesIt)
{
    PhysicsScene scene;
    scene.load(R"(
World {
    gravity: Qt.point(0, -10)
    Item { id: entity; objectName: "entity"; x: 100; y: 50 }
    Body { objectName: "body"; target: entity; fixtures: Box { width: 16; height: 16; density: 1 } }
}
)");
    auto* entity = scene.find<QQuickItem>("entity");
    auto* body = scene.find<Box2DBody>("body");
    scene.step(30);
    EXPECT_GT(entity->y(), 50.0);
    EXPECT_EQ(entity->x(), 100.0);
    EXPECT_EQ(body->position(), QPointF(0, 0));

    entity->setPosition(QPointF(300, 10));
    scene.step(1);
    EXPECT_NEAR(body->body()->GetPosition().x, 300.0f / 32, 1e-4);
    scene.step(10);
    EXPECT_GT(entity->y(), 10.0);
    EXPECT_NEAR(entity->x(), 300.0, 1e-3);
}

TEST(Box2DBodyTest, targetDestroyedIsForgotten)
{
    PhysicsScene scene;
    scene.load("World { Item { id: entity; objectName: \"entity\" } Body { objectName: \"body\"; target: "
               "entity } }");
    auto* body = scene.find<Box2DBody>("body");
    QSignalSpy changed(body, &Box2DBody::targetChanged);
    delete scene.find<QQuickItem>("entity");
    EXPECT_EQ(body->target(), nullptr);
    EXPECT_EQ(changed.count(), 1);
    scene.step(2);
}

TEST(Box2DBodyTest, collisionTestingOnlyModeLetsTheItemDriveTheBody)
{
    PhysicsScene scene;
    scene.load(R"(
World {
    Body { objectName: "body"; x: 10; y: 10; collisionTestingOnlyMode: true; fixtures: Box { width: 16; height: 16; density: 1 } }
}
)");
    auto* body = scene.find<Box2DBody>("body");
    scene.step(20);
    EXPECT_EQ(body->position(), QPointF(10, 10));
    body->setPosition(QPointF(64, 96));
    scene.step(1);
    EXPECT_NEAR(body->body()->GetPosition().x, 2.0f, 1e-5);
    EXPECT_EQ(body->position(), QPointF(64, 96));

    body->setCollisionTestingOnlyMode(false);
    scene.step(10);
    EXPECT_GT(body->y(), 96.0);
}

TEST(Box2DBodyTest, activatingMovesTheItemToTheBodyAtOnce)
{
    PhysicsScene scene;
    scene.load(
        "World { Body { objectName: \"body\"; fixtures: Box { width: 16; height: 16; density: 1 } } }");
    auto* body = scene.find<Box2DBody>("body");
    body->setActive(false);
    scene.step(5);
    EXPECT_EQ(body->position(), QPointF(0, 0));
    body->body()->SetTransform(b2Vec2(1, -1), 0);
    body->setActive(true);
    EXPECT_EQ(body->position(), QPointF(32, 32));
}

TEST(Box2DBodyTest, inactiveBodyNeitherMovesNorIsFound)
{
    PhysicsScene scene;
    scene.load("World { Body { objectName: \"body\"; active: false; fixtures: Box { width: 16; height: 16; "
               "density: 1 } } }");
    auto* body = scene.find<Box2DBody>("body");
    scene.step(10);
    EXPECT_EQ(body->position(), QPointF(0, 0));
    EXPECT_EQ(scene.world()->bodyAt(QPointF(8, 8)), nullptr);
}

TEST(Box2DBodyTest, staticBodyKeepsTheVelocityPropertyToItself)
{
    PhysicsScene scene;
    scene.load("World { Body { objectName: \"body\"; bodyType: Body.Static } }");
    auto* body = scene.find<Box2DBody>("body");
    body->setLinearVelocity(QPointF(64, 0));
    EXPECT_EQ(body->linearVelocity(), QPointF(64, 0));
    EXPECT_EQ(body->body()->GetLinearVelocity(), b2Vec2(0, 0));
}

TEST(Box2DBodyTest, forceAndTorqueActOnEveryStep)
{
    PhysicsScene scene;
    scene.load(R"(
World {
    gravity: Qt.point(0, 0)
    Body { objectName: "pushed"; force: Qt.point(10, 0); fixtures: Box { width: 32; height: 32; density: 1 } }
    Body { objectName: "turned"; x: 200; torque: 1; fixtures: Box { width: 32; height: 32; density: 1 } }
}
)");
    auto* pushed = scene.find<Box2DBody>("pushed");
    auto* turned = scene.find<Box2DBody>("turned");
    scene.step(30);
    EXPECT_GT(pushed->x(), 0.0);
    EXPECT_NEAR(pushed->y(), 0.0, 1e-3);
    EXPECT_GT(pushed->linearVelocity().x(), 0.0);
    EXPECT_GT(turned->rotation(), 0.0);
}

TEST(Box2DBodyTest, impulseAndWorldQueriesUsePixels)
{
    PhysicsScene scene;
    scene.load(R"(
World {
    gravity: Qt.point(0, 0)
    Body { objectName: "body"; x: 32; y: 32; rotation: 90; fixtures: Box { width: 64; height: 64; density: 1 } }
}
)");
    auto* body = scene.find<Box2DBody>("body");
    const QPointF centre = body->getWorldCenter();
    EXPECT_NEAR(centre.x(), 0.0, 1e-4);
    EXPECT_NEAR(centre.y(), 64.0, 1e-4);
    const QPointF turned = body->getWorldVector(QPointF(32, 0));
    EXPECT_NEAR(turned.x(), 0.0, 1e-4);
    EXPECT_NEAR(turned.y(), 32.0, 1e-4);

    body->applyLinearImpulse(QPointF(0, 4 * 32), centre);
    EXPECT_NEAR(body->body()->GetLinearVelocity().y, -1.0f, 1e-5);
    body->resetVelocities();
    EXPECT_EQ(body->body()->GetLinearVelocity(), b2Vec2(0, 0));
}

TEST(Box2DBodyTest, settersRefuseWhatBox2DCannotTake)
{
    PhysicsScene scene;
    scene.load("World { Body { objectName: \"body\"; linearDamping: 0.5 } }");
    auto* body = scene.find<Box2DBody>("body");
    MessageLog log;
    body->setLinearDamping(-1);
    body->setAngularDamping(qQNaN());
    body->setLinearVelocity(QPointF(qInf(), 0));
    body->setGravityScale(qQNaN());
    body->setPosition(QPointF(qQNaN(), 0));
    EXPECT_EQ(warnings(log).size(), 4) << warnings(log).join("\n").toStdString();
    EXPECT_EQ(body->linearDamping(), 0.5);
    EXPECT_FLOAT_EQ(body->body()->GetLinearDamping(), 0.5f);
    EXPECT_EQ(body->body()->GetPosition(), b2Vec2(0, 0));
    scene.step(3);
}

int main(int argc, char** argv)
{
    return runPhysicsTests(argc, argv);
}
