// The line item and the scrolling background of the engine's QML library, as drawn by the engine started
// in the test process.

#include <gtest/gtest.h>

#include "InProcessEngine.h"

#include "zanthscheduler.h"

#include <QPainter>

namespace {

InProcessEngine* engine = nullptr;

bool isRed(const QColor& color)
{
    return color.red() > 200 && color.green() < 60 && color.blue() < 60;
}

bool isBlue(const QColor& color)
{
    return color.blue() > 200 && color.red() < 60 && color.green() < 60;
}

QList<QPointF> pointsOf(const QVariant& vertices)
{
    QList<QPointF> points;
    for (const QVariant& vertex : vertices.toList())
        points << vertex.toPointF();
    return points;
}

} // namespace

TEST(LineItem, segmentsBecomeAnOffsetOutlineWithStraightRunsMergedAndDrawWhereDeclared)
{
    QQuickItem* root = engine->load(R"(import QtQuick 2.15
import Zanth 1.0
Rectangle {
    width: 300; height: 200; color: "black"
    LineItem { objectName: "line"; color: "red"; lineWidth: 10
        points: [Qt.point(20, 100), Qt.point(120, 100), Qt.point(120, 180)] }
    LineItem { objectName: "straight"; lineWidth: 2; visible: false
        points: [Qt.point(0, 0), Qt.point(5, 0), Qt.point(10, 0), Qt.point(15, 0)] }
    LineItem { objectName: "dot"; points: [Qt.point(3, 3)] }
})");
    engine->stepFrames(2);
    EXPECT_TRUE(isRed(engine->pixel(70, 100)));
    EXPECT_TRUE(isRed(engine->pixel(120, 150)));
    EXPECT_FALSE(isRed(engine->pixel(70, 110)));
    EXPECT_FALSE(isRed(engine->pixel(150, 150)));
    EXPECT_EQ(pointsOf(findItem(root, "straight")->property("vertices")),
              QList<QPointF>({{0, 1}, {5, 1}, {15, 1}, {15, -1}, {5, -1}, {0, -1}}));
    EXPECT_TRUE(findItem(root, "dot")->property("vertices").toList().isEmpty());
}

TEST(ParallaxScrollingBackground, scrollsWithItsVelocityAndWrapsTheCopiesAroundWithTheSecondMirrored)
{
    QImage half(100, 50, QImage::Format_RGB32);
    half.fill(Qt::blue);
    QPainter(&half).fillRect(0, 0, 50, 50, Qt::red);
    // The game window shows the scene unscaled: the "-sd" file.
    ASSERT_TRUE(half.save(engine->folder() + "/qml/half-sd.png"));
    QQuickItem* root = engine->load(R"(import QtQuick 2.15
import Zanth 1.0
GameWindow {
    width: 300; height: 100; displayFpsEnabled: false
    Scene { width: 300; height: 100
        ParallaxScrollingBackground { objectName: "background"; sourceImage: "half.png"
            movementVelocity: Qt.point(-50, 0) } }
})");
    engine->stepFrames(2);
    // Copies: red|blue, mirrored blue|red, red|blue, ...
    EXPECT_TRUE(isRed(engine->pixel(25, 25)));
    EXPECT_TRUE(isBlue(engine->pixel(125, 25)));
    EXPECT_TRUE(isRed(engine->pixel(175, 25)));

    ZanthScheduler* scheduler = engine->wrapper().scheduler();
    for (int i = 0; i < 20; ++i)
        scheduler->scheduleUpdates(0.05);
    engine->stepFrames(2);
    EXPECT_TRUE(isBlue(engine->pixel(25, 25))) << "moved left by about 50";

    for (int i = 0; i < 60; ++i)
        scheduler->scheduleUpdates(0.05);
    engine->stepFrames(2);
    // Moved by about 200: the first copy has jumped to the end of the chain and fills the right side.
    EXPECT_TRUE(isRed(engine->pixel(220, 25)));
    EXPECT_TRUE(isBlue(engine->pixel(280, 25)));
    EXPECT_EQ(findItem(root, "parallaxItem")->x(), 400.0);
}

TEST(ParallaxScrollingBackground, showsTheFileForTheContentScaleAtItsLogicalSize)
{
    // The "-hd" file has twice the pixels of the logical 100 x 50 image: a red left and a blue right half.
    QImage hd(200, 100, QImage::Format_RGB32);
    hd.fill(Qt::blue);
    QPainter(&hd).fillRect(0, 0, 100, 100, Qt::red);
    ASSERT_TRUE(hd.save(engine->folder() + "/qml/strip-hd.png"));
    // A 600 x 200 window shows the 300 x 100 scene scaled by 2: the "-hd" file is chosen.
    QQuickItem* root = engine->load(R"(import QtQuick 2.15
import Zanth 1.0
GameWindow {
    width: 600; height: 200; displayFpsEnabled: false
    Scene { width: 300; height: 100
        ParallaxScrollingBackground { objectName: "background"; sourceImage: "strip.png"; running: false
            movementVelocity: Qt.point(-50, 0) } }
})");
    ASSERT_TRUE(engine->stepFramesUntil([&] { return findItem(root, "parallaxItem2")->x() == 100.0; }))
        << "the second copy follows the first at its logical width";
    QQuickItem* first = findItem(root, "image1");
    EXPECT_TRUE(findItem(first, "multiResImage_image")
                    ->property("source")
                    .toUrl()
                    .toString()
                    .endsWith("strip-hd.png"));
    EXPECT_EQ(first->size(), QSizeF(100, 50));
    engine->stepFrames(2);
    // Scene x 0 to 50 is window 0 to 100: red, then blue; the mirrored second copy from scene x 100.
    EXPECT_TRUE(isRed(engine->pixel(50, 50)));
    EXPECT_TRUE(isBlue(engine->pixel(150, 50)));
    EXPECT_TRUE(isBlue(engine->pixel(250, 50)));
    EXPECT_TRUE(isRed(engine->pixel(350, 50)));
    EXPECT_TRUE(isRed(engine->pixel(450, 50)));
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
