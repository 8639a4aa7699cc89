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
    World { id: world; objectName: "world"; gravity: Qt.point(0, -10) }
    Body {
        objectName: "floor"; y: 200; bodyType: Body.Static
        fixtures: Box { width: 320; height: 40 }
    }
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

Box2DBody* boxOf(QQuickItem* root)
{
    return root->findChild<Box2DBody*>("box");
}

} // namespace

TEST(PhysicsOnScreen, theDroppedBoxIsDrawnWhereItsBodyIs)
{
    QQuickItem* root = engine->load(dropScene(""));
    ASSERT_NE(root, nullptr);
    Box2DBody* box = boxOf(root);
    EXPECT_TRUE(near(engine->pixel(116, 36), Qt::red));
    double lastY = box->y();
    for (int i = 0; i < 3; ++i) {
        frames(10);
        const QImage image = engine->grabWindow();
        const int x = int(box->x()) + 16;
        const int y = int(box->y()) + 16;
        EXPECT_GT(box->y(), lastY);
        EXPECT_TRUE(near(image.pixelColor(x, y), Qt::red)) << "at " << x << ", " << y;
        EXPECT_TRUE(near(image.pixelColor(x, int(box->y()) - 2), Qt::white));
        lastY = box->y();
    }
    EXPECT_TRUE(near(engine->pixel(116, 21), Qt::white));
}

TEST(PhysicsOnScreen, debugViewShowsShapeColoursAtTheBodiesAndFollowsThem)
{
    QQuickItem* root = engine->load(
        dropScene("DebugDraw { objectName: \"view\"; world: world; width: 320; height: 240; z: 10 }"));
    ASSERT_NE(root, nullptr);
    engine->stepFrames(2);
    // An awake dynamic body is pink (0.9, 0.7, 0.7), a static one green (0.5, 0.9, 0.5); both over the
    // backdrop's black of alpha 16.
    EXPECT_TRUE(near(engine->pixel(116, 36), QColor(229, 178, 178), 2));
    EXPECT_TRUE(near(engine->pixel(160, 220), QColor(127, 229, 127), 2));
    // Beside the shapes the white window shows darkened by the backdrop.
    EXPECT_TRUE(near(engine->pixel(20, 100), QColor(239, 239, 239), 2));

    Box2DBody* box = boxOf(root);
    frames(20);
    const int x = int(box->x()) + 16;
    const int y = int(box->y()) + 16;
    ASSERT_GT(y, 52);
    EXPECT_TRUE(near(engine->pixel(x, y), QColor(229, 178, 178), 2));
}

TEST(PhysicsOnScreen, debugViewOpacityFadesItAndWithoutWorldNothingIsDrawn)
{
    QQuickItem* root = engine->load(dropScene(
        "DebugDraw { objectName: \"view\"; world: world; width: 320; height: 240; z: 10; opacity: 0.5 }"));
    ASSERT_NE(root, nullptr);
    engine->stepFrames(2);
    // Pink at half strength over the red box: (229 + 255) / 2, 178 / 2, 178 / 2 (backdrop aside).
    const QColor mixed = engine->pixel(116, 36);
    EXPECT_NEAR(mixed.red(), 240, 4);
    EXPECT_NEAR(mixed.green(), 89, 4);

    auto* view = root->findChild<Box2DDebugDraw*>("view");
    view->setWorld(nullptr);
    engine->stepFrames(1);
    EXPECT_TRUE(view->debugDrawNode()->shapes().empty());
    EXPECT_TRUE(near(engine->pixel(116, 36), Qt::red));
    EXPECT_TRUE(near(engine->pixel(20, 100), Qt::white));
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
