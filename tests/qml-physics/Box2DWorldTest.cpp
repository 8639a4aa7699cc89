#include "PhysicsScene.h"
#include "box2dbody.h"
#include "box2ddistancejoint.h"
#include "box2dfixture.h"

#include <box2d/b2_body.h>
#include <box2d/b2_world.h>

#include <QSignalSpy>

namespace {
// A 32 x 32 box dropped from y 100 onto a floor whose top is at 300.
const QByteArray kBoxDrop = R"(
World {
    gravity: Qt.point(0, -10)
    Body {
        objectName: "floor"; y: 300; bodyType: Body.Static
        fixtures: Box { objectName: "floorShape"; width: 640; height: 32 }
    }
    Body {
        objectName: "box"; x: 100; y: 100
        fixtures: Box { objectName: "boxShape"; width: 32; height: 32; density: 1 }
    }
}
)";

struct Contact
{
    QString fixture;
    QString other;
    QPointF normal;
};

// Records the contact signals of the named fixtures, in order.
class ContactRecorder
{
public:
    ContactRecorder(const PhysicsScene& scene, const QStringList& names)
    {
        for (const QString& name : names) {
            auto* fixture = scene.find<Box2DFixture>(name.toUtf8());
            QObject::connect(fixture, &Box2DFixture::beginContact,
                             [this, name](Box2DFixture* other, QPointF normal) {
                                 begins.append({name, other->objectName(), normal});
                             });
            QObject::connect(fixture, &Box2DFixture::endContact, [this, name](Box2DFixture* other) {
                ends.append({name, other->objectName(), {}});
            });
            QObject::connect(fixture, &Box2DFixture::contactChanged, [this] { ++changes; });
        }
    }

    QList<Contact> begins;
    QList<Contact> ends;
    int changes = 0;
};

// Runs change inside the first preSolve of the landing box, then finishes that step. Returns the warnings.
QStringList changeInsidePreSolve(PhysicsScene& scene, const std::function<void()>& change)
{
    MessageLog log;
    bool done = false;
    bool locked = false;
    QObject::connect(scene.find<Box2DFixture>("boxShape"), &Box2DFixture::preSolve, [&] {
        if (done)
            return;
        done = true;
        locked = scene.world()->isLocked();
        change();
    });
    for (int i = 0; i < 120 && !done; ++i)
        scene.step(1);
    EXPECT_TRUE(done && locked);
    return warnings(log);
}
} // namespace

TEST(Box2DWorldTest, droppedBoxFallsLandsAndSleepsUnrotated)
{
    PhysicsScene scene;
    scene.load(kBoxDrop);
    auto* box = scene.find<Box2DBody>("box");
    scene.step(60);
    EXPECT_NEAR(box->y(), 262.67, 0.05);
    scene.step(40);
    EXPECT_FALSE(box->body()->IsAwake());
    EXPECT_FALSE(box->isAwake());
    scene.step(20);
    EXPECT_NEAR(box->y(), 267.52, 0.05);
    EXPECT_NEAR(box->x(), 100.0, 0.05);
    EXPECT_NEAR(box->rotation(), 0.0, 0.01);
}

TEST(Box2DWorldTest, thirtyHertzWorldRestsByStepForty)
{
    PhysicsScene scene;
    scene.load(kBoxDrop);
    scene.world()->setTimeStep(1.0f / 30.0f);
    auto* box = scene.find<Box2DBody>("box");
    scene.step(40);
    EXPECT_NEAR(box->y(), 267.52, 0.05);
    EXPECT_NEAR(box->linearVelocity().y(), 0.0, 0.01);
    const double resting = box->y();
    scene.step(20);
    EXPECT_NEAR(box->y(), resting, 0.01);
    EXPECT_FALSE(box->isAwake());
}

TEST(Box2DWorldTest, landingBeginsOneContactPerFixtureWithNormalsPointingAtTheOther)
{
    PhysicsScene scene;
    scene.load(kBoxDrop);
    ContactRecorder recorder(scene, {"boxShape", "floorShape"});
    scene.step(120);
    ASSERT_EQ(recorder.begins.size(), 2);
    for (const Contact& contact : recorder.begins) {
        const QPointF expected = contact.fixture == "boxShape" ? QPointF(0, -1) : QPointF(0, 1);
        EXPECT_NEAR(contact.normal.x(), expected.x(), 1e-6) << contact.fixture.toStdString();
        EXPECT_NEAR(contact.normal.y(), expected.y(), 1e-6) << contact.fixture.toStdString();
    }
    EXPECT_TRUE(recorder.ends.isEmpty());
    const int changes = recorder.changes;
    EXPECT_GT(changes, 0);
    scene.step(5);
    EXPECT_EQ(recorder.changes, changes + 2 * 5);
}

TEST(Box2DWorldTest, notRunningWorldNeitherStepsNorSignals)
{
    PhysicsScene scene;
    scene.load(kBoxDrop);
    scene.world()->setRunning(false);
    QSignalSpy stepped(scene.world(), &Box2DWorld::stepped);
    scene.frames(30);
    EXPECT_EQ(stepped.count(), 0);
    EXPECT_EQ(scene.find<Box2DBody>("box")->y(), 100.0);
    scene.world()->scheduledUpdate(1.0 / 60.0);
    EXPECT_EQ(stepped.count(), 0);
    scene.world()->setRunning(true);
    scene.frames(3);
    EXPECT_GT(stepped.count(), 0);
}

TEST(Box2DWorldTest, worldCompletedNotRunningStartsWhenRunning)
{
    PhysicsScene scene;
    scene.load("World { running: false }");
    QSignalSpy stepped(scene.world(), &Box2DWorld::stepped);
    EXPECT_FALSE(scene.scheduler.isScheduled(scene.world()));
    scene.world()->setRunning(true);
    EXPECT_TRUE(scene.scheduler.isScheduled(scene.world()));
    scene.frames(3);
    EXPECT_EQ(stepped.count(), 2);
}

TEST(Box2DWorldTest, timeStepIsTheSchedulerRate)
{
    PhysicsScene scene;
    scene.load("World { timeStep: 0.1 }");
    QSignalSpy stepped(scene.world(), &Box2DWorld::stepped);
    scene.scheduler.scheduleUpdates(0.05);
    scene.scheduler.scheduleUpdates(0.05);
    EXPECT_EQ(stepped.count(), 0);
    scene.scheduler.scheduleUpdates(0.05);
    EXPECT_EQ(stepped.count(), 1);
}

TEST(Box2DWorldTest, gravityChangesOnlyBeyondTheTolerance)
{
    PhysicsScene scene;
    scene.load("World {}");
    Box2DWorld* world = scene.world();
    EXPECT_EQ(world->gravity(), QPointF(0, -10));
    QSignalSpy changed(world, &Box2DWorld::gravityChanged);
    world->setGravity(QPointF(0, -10 + 1e-13));
    EXPECT_EQ(changed.count(), 0);
    world->setGravity(QPointF(1, -10));
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(world->world()->GetGravity(), b2Vec2(1, -10));
}

TEST(Box2DWorldTest, missingSchedulerWarnsAndLeavesTheWorldStill)
{
    MessageLog log;
    PhysicsScene scene;
    scene.engine.rootContext()->setContextProperty("zanthScheduler", nullptr);
    scene.load("World {}");
    EXPECT_EQ(warnings(log),
              QStringList{"Box2DWorld: WARNING: Zanth Scheduler was not found in Context Property!"});
    EXPECT_FALSE(scene.scheduler.isScheduled(scene.world()));
}

TEST(Box2DWorldTest, bodyAtFindsTheFirstActiveBodyRegistered)
{
    PhysicsScene scene;
    scene.load(R"(
World {
    gravity: Qt.point(0, 0)
    Body { objectName: "hidden"; x: 0; active: false; fixtures: Box { width: 64; height: 64 } }
    Body { objectName: "first"; x: 32; fixtures: Box { width: 64; height: 64 } }
    Body { objectName: "second"; x: 48; fixtures: Circle { radius: 32 } }
}
)");
    Box2DWorld* world = scene.world();
    EXPECT_EQ(world->bodyAt(QPointF(500, 500)), nullptr);
    EXPECT_EQ(world->bodyAt(QPointF(10, 10)), nullptr);
    EXPECT_EQ(world->bodyAt(QPointF(60, 20)), scene.find<Box2DBody>("first"));
    EXPECT_EQ(world->bodyAt(QPointF(48, -20)), scene.find<Box2DBody>("second"));
    EXPECT_EQ(world->bodyAt(QPointF(60, 10)), scene.find<Box2DBody>("first"));
}

TEST(Box2DWorldTest, laterWorldTakesOverPhysicsWorldAndAGoneWorldIsUnpublished)
{
    PhysicsScene scene;
    scene.load("World { objectName: \"one\" }");
    auto physicsWorld = [&scene] {
        return scene.engine.rootContext()->contextProperty("physicsWorld").value<QObject*>();
    };
    EXPECT_EQ(physicsWorld(), scene.world());
    const auto create = [&scene](const QByteArray& qml) {
        QQmlComponent component(&scene.engine);
        component.setData("import Box2D 1.0\n" + qml, QUrl());
        return std::unique_ptr<QObject>(component.create());
    };
    std::unique_ptr<QObject> two = create("World {}");
    EXPECT_EQ(physicsWorld(), two.get());

    std::unique_ptr<QObject> late = create("Body { fixtures: Box { width: 8; height: 8 } }");
    auto* lateBody = static_cast<Box2DBody*>(late.get());
    EXPECT_NE(lateBody->body(), nullptr);
    EXPECT_EQ(lateBody->worldItem(), two.get());

    late.reset();
    two.reset();
    EXPECT_EQ(physicsWorld(), nullptr);
    std::unique_ptr<QObject> orphan = create("Body {}");
    EXPECT_EQ(static_cast<Box2DBody*>(orphan.get())->body(), nullptr);
}

TEST(Box2DWorldTest, sensorContactsCarryNoNormal)
{
    PhysicsScene scene;
    scene.load(R"(
World {
    Body { y: 300; bodyType: Body.Static; fixtures: Box { objectName: "zone"; width: 640; height: 32; sensor: true } }
    Body { x: 100; y: 250; fixtures: Box { objectName: "box"; width: 32; height: 32; density: 1 } }
}
)");
    ContactRecorder recorder(scene, {"zone", "box"});
    scene.step(30);
    ASSERT_EQ(recorder.begins.size(), 2);
    EXPECT_EQ(recorder.begins[0].normal, QPointF(0, 0));
    EXPECT_EQ(recorder.begins[1].normal, QPointF(0, 0));
}

TEST(Box2DWorldTest, bodyDestroyedInBeginContactDropsItsQueuedEvents)
{
    PhysicsScene scene;
    scene.load(R"(
World {
    gravity: Qt.point(0, 0)
    Body { objectName: "left"; x: 0; linearVelocity: Qt.point(60, 0); fixtures: Box { objectName: "leftShape"; width: 32; height: 32; density: 1 } }
    Body { objectName: "right"; x: 40; fixtures: Box { objectName: "rightShape"; width: 32; height: 32; density: 1 } }
}
)");
    auto* left = scene.find<Box2DFixture>("leftShape");
    auto* right = scene.find<Box2DFixture>("rightShape");
    int rightBegins = 0;
    int rightEnds = 0;
    QObject::connect(left, &Box2DFixture::beginContact, [&scene] { delete scene.find<Box2DBody>("right"); });
    QObject::connect(right, &Box2DFixture::beginContact, [&rightBegins] { ++rightBegins; });
    QObject::connect(right, &Box2DFixture::endContact, [&rightEnds] { ++rightEnds; });
    scene.step(20);
    EXPECT_EQ(scene.find<Box2DBody>("right"), nullptr);
    EXPECT_EQ(rightBegins, 0);
    EXPECT_EQ(rightEnds, 0);
    EXPECT_EQ(scene.world()->world()->GetBodyCount(), 1);
}

TEST(Box2DWorldTest, handlerDeactivatingABodyWhileContactsGoOutIsSafe)
{
    PhysicsScene scene;
    scene.load(kBoxDrop);
    auto* box = scene.find<Box2DBody>("box");
    int changes = 0;
    QObject::connect(scene.find<Box2DFixture>("boxShape"), &Box2DFixture::contactChanged, [box, &changes] {
        ++changes;
        box->setActive(false);
    });
    scene.step(80);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(box->body()->IsEnabled());
    const double y = box->y();
    scene.step(10);
    EXPECT_EQ(box->y(), y);
}

TEST(Box2DWorldTest, onlyPairsStillTouchingAfterTheBeginAndEndSignalsGetContactChanged)
{
    PhysicsScene scene;
    scene.load(kBoxDrop);
    auto* box = scene.find<Box2DBody>("box");
    QStringList events;
    for (const char* name : {"boxShape", "floorShape"}) {
        auto* fixture = scene.find<Box2DFixture>(name);
        QObject::connect(fixture, &Box2DFixture::beginContact,
                         [&events, name] { events << QString("begin ") + name; });
        QObject::connect(fixture, &Box2DFixture::endContact,
                         [&events, name] { events << QString("end ") + name; });
        QObject::connect(fixture, &Box2DFixture::contactChanged,
                         [&events, name] { events << QString("changed ") + name; });
    }
    // The box is taken out of the world as it lands: its contact ends within the same step.
    QObject::connect(scene.find<Box2DFixture>("boxShape"), &Box2DFixture::beginContact,
                     [box] { box->setActive(false); });
    for (int i = 0; i < 120 && events.isEmpty(); ++i)
        scene.step(1);
    scene.step(5);
    EXPECT_EQ(events.size(), 4) << events.join(", ").toStdString();
    EXPECT_EQ(events.filter("begin ").size(), 2) << events.join(", ").toStdString();
    EXPECT_EQ(events.mid(2).filter("end ").size(), 2) << events.join(", ").toStdString();

    // A contactChanged handler ending its contact spares the other fixture its contactChanged.
    PhysicsScene second;
    second.load(kBoxDrop);
    auto* secondBox = second.find<Box2DBody>("box");
    int changes = 0;
    for (const char* name : {"boxShape", "floorShape"}) {
        QObject::connect(second.find<Box2DFixture>(name), &Box2DFixture::contactChanged,
                         [secondBox, &changes] {
                             ++changes;
                             secondBox->setActive(false);
                         });
    }
    second.step(80);
    ASSERT_FALSE(secondBox->body()->IsEnabled());
    EXPECT_EQ(changes, 1);
}

TEST(Box2DWorldTest, fixtureDestroyedOnItsOwnTakesItsBox2DFixtureAndEvents)
{
    PhysicsScene scene;
    scene.load(kBoxDrop);
    auto* box = scene.find<Box2DBody>("box");
    int begins = 0;
    const auto destroyBoxShape = [&scene, &begins] {
        ++begins;
        delete scene.find<Box2DFixture>("boxShape");
    };
    QObject::connect(scene.find<Box2DFixture>("floorShape"), &Box2DFixture::beginContact, destroyBoxShape);
    QObject::connect(scene.find<Box2DFixture>("boxShape"), &Box2DFixture::beginContact, destroyBoxShape);
    scene.step(80);
    EXPECT_EQ(begins, 1);
    EXPECT_EQ(box->body()->GetFixtureList(), nullptr);
    QQmlListProperty<Box2DFixture> fixtures = box->fixtures();
    EXPECT_EQ(fixtures.count(&fixtures), 0);
    EXPECT_EQ(scene.world()->world()->GetContactCount(), 0);
}

TEST(Box2DWorldTest, poseTypeAndActiveChangedInPreSolveReachBox2DWhenTheStepReturns)
{
    PhysicsScene scene;
    scene.load(kBoxDrop);
    auto* box = scene.find<Box2DBody>("box");
    EXPECT_EQ(changeInsidePreSolve(scene, [box] { box->setX(200); }).size(), 1);
    EXPECT_EQ(box->x(), 200.0);
    EXPECT_FLOAT_EQ(box->body()->GetPosition().x, 6.25f);

    PhysicsScene second;
    second.load(kBoxDrop);
    auto* secondBox = second.find<Box2DBody>("box");
    EXPECT_EQ(changeInsidePreSolve(second, [secondBox] { secondBox->setBodyType(Box2DBody::Static); }).size(),
              1);
    EXPECT_EQ(secondBox->body()->GetType(), b2_staticBody);

    PhysicsScene third;
    third.load(kBoxDrop);
    auto* thirdBox = third.find<Box2DBody>("box");
    EXPECT_EQ(changeInsidePreSolve(third, [thirdBox] { thirdBox->setActive(false); }).size(), 1);
    EXPECT_FALSE(thirdBox->body()->IsEnabled());
}

TEST(Box2DWorldTest, bodiesAndJointsMadeInPreSolveAppearWhenTheStepReturns)
{
    PhysicsScene scene;
    scene.load(kBoxDrop);
    QQmlComponent component(&scene.engine);
    component.setData("import Box2D 1.0\nBody { x: 400; fixtures: Box { width: 8; height: 8 } }", QUrl());
    std::unique_ptr<QObject> late;
    Box2DDistanceJoint joint;
    const QStringList lines = changeInsidePreSolve(scene, [&] {
        late.reset(component.create());
        joint.setWorld(scene.world());
        joint.setBodyA(scene.find<Box2DBody>("floor"));
        joint.setBodyB(scene.find<Box2DBody>("box"));
    });
    EXPECT_EQ(lines.size(), 2) << lines.join("\n").toStdString();
    EXPECT_NE(static_cast<Box2DBody*>(late.get())->body(), nullptr);
    EXPECT_NE(joint.joint(), nullptr);
    EXPECT_EQ(scene.world()->world()->GetBodyCount(), 3);
}

TEST(Box2DWorldTest, bodyDestroyedInPreSolveGoesWhenTheStepReturns)
{
    PhysicsScene scene;
    scene.load(kBoxDrop);
    auto* floor = scene.find<Box2DFixture>("floorShape");
    int floorSignals = 0;
    QObject::connect(floor, &Box2DFixture::beginContact, [&floorSignals] { ++floorSignals; });
    QObject::connect(floor, &Box2DFixture::preSolve, [&floorSignals] { ++floorSignals; });
    const QStringList lines = changeInsidePreSolve(scene, [&scene] { delete scene.find<Box2DBody>("box"); });
    EXPECT_EQ(lines.size(), 1);
    EXPECT_EQ(scene.world()->world()->GetBodyCount(), 1);
    EXPECT_LE(floorSignals, 1);
    scene.step(5);
}

TEST(Box2DWorldTest, cleanupInPreSolveIsRefused)
{
    PhysicsScene scene;
    scene.load(kBoxDrop);
    auto* box = scene.find<Box2DBody>("box");
    EXPECT_EQ(changeInsidePreSolve(scene, [box] { box->cleanup(box->body()->GetWorld()); }).size(), 1);
    EXPECT_NE(box->body(), nullptr);
    EXPECT_EQ(scene.world()->world()->GetBodyCount(), 2);
}

int main(int argc, char** argv)
{
    return runPhysicsTests(argc, argv);
}
