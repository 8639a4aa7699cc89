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

// A scrolling background of the logical 100 x 50 image "strip.png" (red left half, blue right half) in a
// 300 x 100 scene that the game window shows scaled by scale (1 or 2), which picks the "-sd" or "-hd"
// file; the file has scale times the logical pixels.
QQuickItem* backgroundGame(int scale, const QByteArray& properties)
{
    QImage strip(100 * scale, 50 * scale, QImage::Format_RGB32);
    strip.fill(Qt::blue);
    QPainter(&strip).fillRect(0, 0, 50 * scale, 50 * scale, Qt::red);
    const QString file = scale == 1 ? "strip-sd.png" : "strip-hd.png";
    EXPECT_TRUE(strip.save(engine->folder() + "/qml/" + file));
    const QByteArray size = QByteArray::number(300 * scale) + "; height: " + QByteArray::number(100 * scale);
    return engine->load(
        "import QtQuick 2.15\nimport Zanth 1.0\n"
        "GameWindow { width: " +
        size +
        "; displayFpsEnabled: false\n"
        "  Scene { width: 300; height: 100\n"
        "    ParallaxScrollingBackground { objectName: \"background\"; sourceImage: \"strip.png\"\n"
        "      " +
        properties + " } } }\n");
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
    QQuickItem* root = backgroundGame(1, "movementVelocity: Qt.point(-50, 0)");
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
    QQuickItem* root = backgroundGame(2, "movementVelocity: Qt.point(-50, 0); running: false");
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
