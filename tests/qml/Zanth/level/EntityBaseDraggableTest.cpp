// Dragging entities into a level on the engine started in the test process: grid snapping, the level's
// bounds and obstacles found by the physics test body, and the build button that creates the entities.

#include <gtest/gtest.h>

#include "InProcessEngine.h"
#include "Zanth/gamenetwork/GameNetworkHost.h"
#include "box2dworld.h"
#include "zanthscheduler.h"

#include <QMouseEvent>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQuickItem>
#include <QSignalSpy>

namespace {

InProcessEngine* engine = nullptr;

// A 480 x 320 level on a grid of 32 with two static rocks overlapping at x 192 (y 128 to 160 and 144 to
// 176), a draggable 32 x 32 tower at (64, 64) and a button that builds towers.
QByteArray level(const QString& folder)
{
    const QByteArray tower = "EntityBaseDraggable { entityType: \"tower\"; width: 32; height: 32\n"
                             "    colliderComponent: collider\n"
                             "    selectionMouseArea.width: 32; selectionMouseArea.height: 32\n"
                             "    BoxCollider { id: collider; bodyType: Body.Static } }\n";
    writeTestFile(folder + "/qml/Tower.qml", "import QtQuick 2.15\nimport Zanth 1.0\n" + tower);
    return "import QtQuick 2.15\nimport Zanth 1.0\n"
           "GameWindow {\n  displayFpsEnabled: false\n"
           "  EntityManager { id: entityManager; entityContainer: scene }\n"
           "  Scene { id: scene; objectName: \"scene\"\n"
           "    property real gridSize: 32\n"
           "    state: \"levelEditing\"\n    states: State { name: \"levelEditing\" }\n"
           "    PhysicsWorld { objectName: \"world\" }\n"
           "    EntityBase { entityType: \"rock\"; x: 192; y: 128; width: 32; height: 32\n"
           "      BoxCollider { bodyType: Body.Static } }\n"
           "    EntityBase { entityType: \"rock\"; x: 192; y: 144; width: 32; height: 32\n"
           "      BoxCollider { bodyType: Body.Static } }\n"
           "    Tower { objectName: \"tower\"; x: 64; y: 64 }\n"
           "    BuildEntityButton { objectName: \"button\"; x: 400; y: 260; width: 40; height: 40\n"
           "      toCreateEntityType: \"Tower.qml\" }\n"
           "  }\n}\n";
}

void stepWorld(QQuickItem* root, int count = 3)
{
    auto* scheduler = qobject_cast<ZanthScheduler*>(
        engine->view().rootContext()->contextProperty("zanthScheduler").value<QObject*>());
    auto* world = root->findChild<Box2DWorld*>("world");
    ASSERT_TRUE(scheduler && world);
    for (int i = 0; i < count; ++i)
        scheduler->scheduleUpdates(world->timeStep());
}

// Drags the entity from its centre to the pointer position (in the scene) and lets the world see it.
void dragTo(QQuickItem* root, QQuickItem* entity, double x, double y)
{
    callQml(entity, "changeEntityPosition", {x, y});
    stepWorld(root);
}

// The mouse on the view at a point of the scene.
void mouse(QQuickItem* root, QEvent::Type type, QPointF scenePoint)
{
    const QPointF at = findItem(root, "scene")->mapToScene(scenePoint);
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, at, at, button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(&engine->view(), &event);
}

class DraggingTest : public ::testing::Test
{
protected:
    QQuickItem* root = engine->load(level(engine->folder()));
    QQuickItem* tower = root ? findItem(root, "tower") : nullptr;

    void press(QQuickItem* entity) { callQml(entity, "pressEntity", {16, 16}); }
    bool allowed(QQuickItem* entity) const { return entity->property("allowedToBuild").toBool(); }
};

} // namespace

TEST(DragLogic, snapsHalfwayUpAndKeepsAColliderOfOneGridSizeHalfACellInside)
{
    QQmlComponent component(engine->view().engine());
    component.setData(
        "import QtQuick 2.15\nimport \"qrc:/qml/Zanth/level/EntityBaseDraggableLogic.js\" as L\n"
        "QtObject {\n    function snapped(x, grid) { return L.snapped(x, grid) }\n"
        "    function outOfBounds(x, grid, collider, level) { return L.outOfBounds(x, grid, collider, level) "
        "}\n}\n",
        QUrl("qrc:/logic.qml"));
    std::unique_ptr<QObject> logic(component.create());
    ASSERT_TRUE(logic) << component.errorString().toStdString();
    auto snapped = [&](double x, double grid) {
        return callQml(logic.get(), "snapped", {x, grid}).toDouble();
    };
    EXPECT_EQ(snapped(47, 32), 32);
    EXPECT_EQ(snapped(48, 32), 64);
    EXPECT_EQ(snapped(-17, 32), -32);
    // A grid of 0 (a scene without one) counts as 1 instead of giving NaN.
    EXPECT_EQ(snapped(47.6, 0), 48);

    // Half size 0.5 in grid units, a level of ten cells: indices 1 to 9 are allowed.
    auto out = [&](double x, double collider) {
        return callQml(logic.get(), "outOfBounds", {x, 32, collider, 320}).toBool();
    };
    EXPECT_TRUE(out(10, 32));
    EXPECT_FALSE(out(20, 32));
    EXPECT_FALSE(out(300, 32));
    EXPECT_TRUE(out(310, 32));
    // A collider of three cells needs its centre two cells in.
    EXPECT_TRUE(out(32, 96));
    EXPECT_FALSE(out(64, 96));
}

TEST_F(DraggingTest, theEntityFloatsAboveThePointerAndLandsOnTheNearestGridCell)
{
    ASSERT_TRUE(tower);
    mouse(root, QEvent::MouseButtonPress, {80, 80});
    EXPECT_EQ(tower->property("entityState").toString(), "entityDragged");
    EXPECT_EQ(tower->position(), QPointF(80, 10));
    mouse(root, QEvent::MouseMove, {47, 170});
    stepWorld(root);
    EXPECT_TRUE(allowed(tower));
    mouse(root, QEvent::MouseButtonRelease, {47, 170});
    EXPECT_EQ(tower->position(), QPointF(32, 96));

    // A click selects the entity and leaves it where it is.
    mouse(root, QEvent::MouseButtonPress, {48, 112});
    mouse(root, QEvent::MouseButtonRelease, {48, 112});
    EXPECT_EQ(tower->property("entityState").toString(), "entitySelected");
    EXPECT_EQ(tower->position(), QPointF(32, 96));

    press(tower);
    dragTo(root, tower, 48, 170);
    callQml(tower, "releaseEntity");
    EXPECT_EQ(tower->position(), QPointF(64, 96));

    // A press without a move puts the entity back where it was.
    press(tower);
    callQml(tower, "releaseEntity");
    EXPECT_EQ(tower->position(), QPointF(64, 96));

    // Grid index 0 would leave half the collider outside the level.
    press(tower);
    dragTo(root, tower, 10, 170);
    EXPECT_FALSE(allowed(tower));
    EXPECT_TRUE(tower->property("notAllowedRectangle").value<QQuickItem*>()->isVisible());
    callQml(tower, "releaseEntity");
    EXPECT_EQ(tower->position(), QPointF(64, 96));
}

TEST_F(DraggingTest, buildingStaysRefusedUntilTheLastOverlappedObstacleIsLeft)
{
    ASSERT_TRUE(tower);
    press(tower);
    dragTo(root, tower, 192, 198);
    EXPECT_FALSE(allowed(tower));
    // Leaving the first rock still overlaps the second.
    dragTo(root, tower, 192, 230);
    EXPECT_FALSE(allowed(tower));
    dragTo(root, tower, 192, 294);
    EXPECT_TRUE(allowed(tower));

    dragTo(root, tower, 192, 198);
    callQml(tower, "releaseEntity");
    EXPECT_EQ(tower->position(), QPointF(64, 64));
    EXPECT_FALSE(tower->property("colliderComponent")
                     .value<QObject*>()
                     ->property("collisionTestingOnlyMode")
                     .toBool());
}

TEST_F(DraggingTest, theButtonBuildsATowerWhereItsEntityIsDroppedAndNothingAfterAClick)
{
    QQuickItem* button = findItem(root, "button");
    ASSERT_TRUE(button);
    auto* dragged = button->property("createdEntity").value<QQuickItem*>();
    ASSERT_TRUE(dragged);
    EXPECT_FALSE(dragged->isVisible());
    EXPECT_EQ(dragged->position(), QPointF(420, 280));
    QSignalSpy built(button, SIGNAL(entityWasBuilt(QString)));

    mouse(root, QEvent::MouseButtonPress, {420, 280});
    EXPECT_TRUE(dragged->isVisible());
    mouse(root, QEvent::MouseButtonRelease, {420, 280});
    EXPECT_EQ(built.size(), 0);
    EXPECT_EQ(dragged->position(), QPointF(420, 280));

    mouse(root, QEvent::MouseButtonPress, {420, 280});
    for (double step = 0; step <= 1.0; step += 0.25)
        mouse(root, QEvent::MouseMove, QPointF(420, 280) + step * QPointF(-120, -180));
    stepWorld(root);
    mouse(root, QEvent::MouseButtonRelease, {300, 100});
    ASSERT_EQ(built.size(), 1);
    EXPECT_FALSE(dragged->isVisible());
    EXPECT_EQ(dragged->position(), QPointF(420, 280));
    QQuickItem* builtTower = findItem(root, built[0][0].toString().toUtf8().constData());
    ASSERT_TRUE(builtTower);
    EXPECT_EQ(builtTower->position(), QPointF(288, 32));
    EXPECT_TRUE(builtTower->isVisible());
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
