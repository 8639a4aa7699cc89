// The engine's node-backed items as drawn: clipping, polygons, parallax layers and the typewriter.

#include <gtest/gtest.h>

#include "InProcessEngine.h"
#include "MessageLog.h"

#include "base_nodes/ZTNode.h"
#include "cocoa/ZTArray.h"
#include "items/parallaxitem.h"
#include "items/polygonitem.h"
#include "items/typewriteritem.h"

#include <QElapsedTimer>
#include <QSignalSpy>

namespace {

InProcessEngine* engine = nullptr;

// Frames (and with them Qt's timers) for the given real time.
void runFor(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds)
        engine->stepFrames(1);
}

bool isRed(const QColor& color)
{
    return color.red() > 200 && color.green() < 60 && color.blue() < 60;
}

QQuickItem* loadScene(const QByteArray& content)
{
    QQuickItem* root = engine->load("import QtQuick 2.15\nimport Zanth 1.0\nRectangle {\n"
                                    " width: 300; height: 200; color: \"black\"\n" +
                                    content + "\n}\n");
    engine->stepFrames(2);
    return root;
}

} // namespace

TEST(ClippingItem, aChildLargerThanItsClippingParentIsCutAtTheParentsEdgeAndFollowsAnAncestor)
{
    QQuickItem* root = loadScene(R"(
        Item { objectName: "holder"; x: 20; y: 20
            Clipping { x: 20; y: 20; width: 50; height: 40
                Rectangle { width: 200; height: 150; color: "red" } } })");
    EXPECT_TRUE(isRed(engine->pixel(45, 45)));
    EXPECT_TRUE(isRed(engine->pixel(89, 79)));
    EXPECT_FALSE(isRed(engine->pixel(91, 50)));
    EXPECT_FALSE(isRed(engine->pixel(50, 81)));
    findItem(root, "holder")->setX(100);
    engine->stepFrames(2);
    EXPECT_TRUE(isRed(engine->pixel(169, 79)));
    EXPECT_FALSE(isRed(engine->pixel(171, 50)));
    EXPECT_FALSE(isRed(engine->pixel(89, 50)));
}

TEST(PolygonItem, drawsWhereDeclaredInItsColourAndHidesAtAnAlmostZeroOpacity)
{
    QQuickItem* root = loadScene(R"(
        PolygonItem { objectName: "polygon"; x: 100; y: 50; fill: true; color: "#80ff0000"
            vertices: [Qt.point(0, 0), Qt.point(60, 0), Qt.point(60, 40), Qt.point(0, 40)] })");
    // The colour's own alpha is not used.
    EXPECT_EQ(engine->pixel(130, 70), QColor(Qt::red));
    EXPECT_FALSE(isRed(engine->pixel(170, 70)));
    EXPECT_FALSE(isRed(engine->pixel(130, 95)));
    auto* polygon = root->findChild<PolygonItem*>("polygon");
    polygon->setOpacity(0.005);
    engine->stepFrames(1);
    EXPECT_FALSE(polygon->getZTNode()->getIsVisible());
    polygon->setOpacity(0.5);
    engine->stepFrames(1);
    EXPECT_TRUE(polygon->getZTNode()->getIsVisible());
    const QColor half = engine->pixel(130, 70);
    EXPECT_NEAR(half.red(), 128, 3);
    polygon->setVertices({QPointF(0, 0), QPointF(10, 0), QPointF(10, 10)});
    engine->stepFrames(1);
    EXPECT_FALSE(isRed(engine->pixel(150, 80))) << "redrawn from the new vertices";
}

TEST(ParallaxItem, childNodesLeaveTheirFormerParentForTheParallaxNodeAndLaterRatiosAreOnlyStored)
{
    QQuickItem* root = loadScene(R"(
        ParallaxItem { objectName: "layer"; ratio: Qt.point(0.5, 1)
            Rectangle { x: 10; y: 10; width: 20; height: 20; color: "red" } })");
    auto* layer = root->findChild<ParallaxItem*>("layer");
    zanth2d::ZTNode* node = layer->getZTNode();
    ASSERT_EQ(node->getChildrenCount(), 1u) << "only the parallax node: the child is in one list";
    auto* parallax = static_cast<zanth2d::ZTNode*>(node->getChildren()->objectAtIndex(0));
    EXPECT_EQ(parallax->getChildrenCount(), 1u);
    EXPECT_TRUE(isRed(engine->pixel(20, 20)));
    // Half the movement of the layer.
    layer->setX(100);
    engine->stepFrames(2);
    EXPECT_TRUE(isRed(engine->pixel(70, 20)));
    EXPECT_FALSE(isRed(engine->pixel(120, 20)));
    QSignalSpy ratioChanges(layer, &ParallaxItem::ratioChanged);
    layer->setRatio(QPointF(1, 1));
    layer->setRatio(QPointF(1, 1));
    EXPECT_EQ(ratioChanges.count(), 1);
    engine->stepFrames(2);
    EXPECT_TRUE(isRed(engine->pixel(70, 20))) << "the scrolling is unchanged";
}

TEST(TypeWriterItem, typesOneCharacterPerDelayThenFinishesEmpty)
{
    MessageLog log;
    QQuickItem* root = loadScene(R"(
        TypeWriterItem { objectName: "writer"; textSource: "abc"; typeDelay: 50 })");
    auto* writer = root->findChild<TypeWriterItem*>("writer");
    EXPECT_EQ(log.lines().filter("The timer of this item was not available").size(), 1)
        << "the delay was set before setup";
    QSignalSpy finished(writer, &TypeWriterItem::typeWriterFinished);
    QStringList seen;
    QObject::connect(writer, &TypeWriterItem::typeWriterTextChanged,
                     [&] { seen << writer->typeWriterText(); });
    runFor(400);
    EXPECT_EQ(seen, QStringList({"a", "ab", "abc"}));
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(writer->typeWriterText(), QString());
    writer->start();
    runFor(80);
    EXPECT_EQ(writer->typeWriterText(), QString("a"));
    writer->stop();
    EXPECT_EQ(writer->typeWriterText(), QString());
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
