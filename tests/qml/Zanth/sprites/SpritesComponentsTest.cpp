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
    ASSERT_TRUE(half.save(engine->folder() + "/qml/half.png"));
    QQuickItem* root = engine->load(R"(import QtQuick 2.15
import Zanth 1.0
Rectangle {
    width: 300; height: 100; color: "black"
    ParallaxScrollingBackground { objectName: "background"; sourceImage: "half.png"
        movementVelocity: Qt.point(-50, 0) }
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

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
