// The physics types on the engine started in the test process: bodies move what the window shows, and the
// debug view draws the world through the scene graph. Checked by the window's pixels.

#include "InProcessEngine.h"
#include "box2dbody.h"
#include "box2ddebugdraw.h"
#include "debugdrawnode.h"

#include <QQuickItem>

#include <chrono>
#include <thread>

namespace {

InProcessEngine* engine = nullptr;

// A white 320 x 240 window, a floor whose top is at 200 and a red 32 x 32 box dropped from y 20, plus extra.
QByteArray dropScene(const QByteArray& extra)
{
    return R"(
import QtQuick 2.15
import Box2D 1.0
Rectangle {
    width: 320; height: 240; color: "white"
    World { id: world; gravity: Qt.point(0, -10) }
    Body { y: 200; bodyType: Body.Static; fixtures: Box { width: 320; height: 40 } }
    Body {
        objectName: "box"; x: 100; y: 20
        Rectangle { width: 32; height: 32; color: "red" }
        fixtures: Box { width: 32; height: 32; density: 1 }
    }
)" + extra +
           "\n}\n";
}

bool near(const QColor& color, const QColor& expected, int tolerance = 3)
{
    return std::abs(color.red() - expected.red()) <= tolerance &&
           std::abs(color.green() - expected.green()) <= tolerance &&
           std::abs(color.blue() - expected.blue()) <= tolerance;
}

// Frames a 60th of a second apart, so that the scheduler steps the world about once a frame.
void frames(int count)
{
    for (int i = 0; i < count; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(17));
        engine->stepFrames(1);
    }
}

// The window's pixel at the centre of the 32 x 32 box.
QColor atBox(const QQuickItem* box)
{
    return engine->pixel(int(box->x()) + 16, int(box->y()) + 16);
}

} // namespace

TEST(PhysicsOnScreen, theDroppedBoxIsDrawnWhereItsBodyIs)
{
    QQuickItem* root = engine->load(dropScene(""));
    ASSERT_NE(root, nullptr);
    auto* box = root->findChild<Box2DBody*>("box");
    for (int i = 0; i < 3; ++i) {
        const double lastY = box->y();
        frames(10);
        EXPECT_GT(box->y(), lastY);
        EXPECT_TRUE(near(atBox(box), Qt::red)) << "at y " << box->y();
        EXPECT_TRUE(near(engine->pixel(int(box->x()) + 16, int(box->y()) - 2), Qt::white));
    }
}

TEST(PhysicsOnScreen, debugViewDrawsShapeColoursWhereTheBodiesAreFadedByItsOpacity)
{
    QQuickItem* root = engine->load(
        dropScene("DebugDraw { objectName: \"view\"; world: world; width: 320; height: 240; z: 10 }"));
    ASSERT_NE(root, nullptr);
    auto* box = root->findChild<Box2DBody*>("box");
    engine->stepFrames(2);
    // An awake dynamic body is pink (0.9, 0.7, 0.7), a static one green (0.5, 0.9, 0.5); elsewhere the white
    // window shows through the backdrop's black of alpha 16.
    EXPECT_TRUE(near(atBox(box), QColor(229, 178, 178), 2));
    EXPECT_TRUE(near(engine->pixel(160, 220), QColor(127, 229, 127), 2));
    EXPECT_TRUE(near(engine->pixel(20, 100), QColor(239, 239, 239), 2));
    frames(20);
    ASSERT_GT(box->y(), 36);
    EXPECT_TRUE(near(atBox(box), QColor(229, 178, 178), 2));

    // Half opacity: pink over the red box, (229 + 255) / 2, 178 / 2 (the backdrop aside).
    auto* view = root->findChild<Box2DDebugDraw*>("view");
    view->setOpacity(0.5);
    engine->stepFrames(1);
    EXPECT_NEAR(atBox(box).red(), 240, 4);
    EXPECT_NEAR(atBox(box).green(), 89, 4);

    // Hidden, the view takes no pictures; shown again, it catches up at once.
    view->setVisible(false);
    const std::vector<float> hiddenAt = view->debugDrawNode()->shapes().front().vertices;
    frames(5);
    EXPECT_EQ(view->debugDrawNode()->shapes().front().vertices, hiddenAt);
    view->setVisible(true);
    EXPECT_NE(view->debugDrawNode()->shapes().front().vertices, hiddenAt);

    view->setWorld(nullptr);
    engine->stepFrames(1);
    EXPECT_TRUE(near(atBox(box), Qt::red));
    EXPECT_TRUE(near(engine->pixel(20, 100), Qt::white));
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
