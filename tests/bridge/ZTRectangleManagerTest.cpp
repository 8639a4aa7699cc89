// Rectangles drawn by the scene graph, checked by the pixels of the window.

#include <gtest/gtest.h>

#include "InProcessEngine.h"

#include "base_nodes/ZTNode.h"
#include "layers_scenes_transitions_nodes/ZTLayerColor.h"
#include "scenegraphwrapper.h"

#include <QQuickItem>

using namespace zanth2d;

namespace {

InProcessEngine* engine = nullptr;

ZTLayerColor* layerOf(QQuickItem* item)
{
    ZTNode* node = engine->wrapper().getNodeFromObject(item);
    return node ? dynamic_cast<ZTLayerColor*>(node->getChildByTag(0)) : nullptr;
}

// The test's colours are pure, so a channel near 255 or 0 tells them apart.
::testing::AssertionResult isColor(const QColor& actual, const QColor& expected, int tolerance = 3)
{
    if (qAbs(actual.red() - expected.red()) <= tolerance &&
        qAbs(actual.green() - expected.green()) <= tolerance &&
        qAbs(actual.blue() - expected.blue()) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "pixel " << actual.name().toStdString() << " is not " << expected.name().toStdString();
}

const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

} // namespace

TEST(RectangleDrawing, aRectangleFillsItsBoxInItsColourFromTheTopLeftCorner)
{
    engine->load("import QtQuick 2.15\nItem { width: 200; height: 100\n"
                 "  Rectangle { x: 10; y: 20; width: 30; height: 15; color: \"red\" } }\n");
    const QImage window = engine->grabWindow();
    EXPECT_EQ(window.size(), QSize(200, 100));
    EXPECT_TRUE(isColor(window.pixelColor(10, 20), kRed));
    EXPECT_TRUE(isColor(window.pixelColor(39, 34), kRed));
    EXPECT_TRUE(isColor(window.pixelColor(9, 20), kBlack));
    EXPECT_TRUE(isColor(window.pixelColor(40, 34), kBlack));
    EXPECT_TRUE(isColor(window.pixelColor(39, 35), kBlack));
}

TEST(RectangleDrawing, colourSizeAndVisibilityChangesShowInTheNextFrame)
{
    QQuickItem* root =
        engine->load("import QtQuick 2.15\nItem { width: 100; height: 100\n"
                     "  Rectangle { objectName: \"box\"; width: 20; height: 20; color: \"red\" } }\n");
    QQuickItem* box = findItem(root, "box");
    box->setProperty("color", QColor(kBlue));
    box->setWidth(40);
    engine->stepFrames(1);
    EXPECT_TRUE(isColor(engine->pixel(35, 10), kBlue));
    box->setVisible(false);
    engine->stepFrames(1);
    EXPECT_TRUE(isColor(engine->pixel(10, 10), kBlack));
}

TEST(RectangleDrawing, theColoursAlphaIsIgnoredAndOpacityBlendsTheLayer)
{
    QQuickItem* root =
        engine->load("import QtQuick 2.15\nItem { width: 100; height: 100\n"
                     "  Rectangle { objectName: \"seeThrough\"; width: 20; height: 20;\n"
                     "              color: Qt.rgba(1, 0, 0, 0.5) }\n"
                     "  Rectangle { objectName: \"faded\"; x: 50; width: 20; height: 20; color: \"red\";\n"
                     "              opacity: 0.5 } }\n");
    EXPECT_TRUE(isColor(engine->pixel(10, 10), kRed));
    EXPECT_EQ(layerOf(findItem(root, "faded"))->getOpacity(), 127);
    EXPECT_TRUE(isColor(engine->pixel(60, 10), QColor(127, 0, 0)));
}

TEST(RectangleDrawing, anAlmostTransparentRectangleIsHiddenUntilItOrAnAncestorRises)
{
    QQuickItem* root =
        engine->load("import QtQuick 2.15\nItem { width: 100; height: 100\n"
                     "  Item { objectName: \"group\"; opacity: 0.05\n"
                     "    Rectangle { objectName: \"ghost\"; width: 20; height: 20; color: \"red\";\n"
                     "                opacity: 0.1 } } }\n");
    QQuickItem* ghost = findItem(root, "ghost");
    ZTNode* node = engine->wrapper().getNodeFromObject(ghost);
    EXPECT_FALSE(node->getIsVisible());
    findItem(root, "group")->setOpacity(0.2);
    EXPECT_TRUE(node->getIsVisible());
    EXPECT_EQ(layerOf(ghost)->getOpacity(), 5);
    findItem(root, "group")->setOpacity(0.05);
    EXPECT_FALSE(node->getIsVisible());
    findItem(root, "group")->setOpacity(1);
    ghost->setVisible(false);
    ghost->setOpacity(1);
    EXPECT_FALSE(node->getIsVisible());
}

TEST(RectangleDrawing, nestedItemsCarryTheirParentsMoveRotationScaleAndZ)
{
    QQuickItem* root =
        engine->load("import QtQuick 2.15\nItem { width: 200; height: 200\n"
                     "  Item { objectName: \"group\"; x: 100; y: 50; transformOrigin: Item.TopLeft\n"
                     "    Rectangle { objectName: \"top\"; width: 10; height: 10; color: \"blue\"; z: 1 }\n"
                     "    Rectangle { width: 20; height: 20; color: \"red\" } } }\n");
    EXPECT_TRUE(isColor(engine->pixel(105, 55), kBlue));
    EXPECT_TRUE(isColor(engine->pixel(115, 65), kRed));

    QQuickItem* group = findItem(root, "group");
    group->setRotation(90);
    group->setScale(2);
    engine->stepFrames(1);
    // Turned a quarter clockwise about its top-left corner and doubled: the red box covers x 60..100.
    EXPECT_TRUE(isColor(engine->pixel(90, 60), kBlue));
    EXPECT_TRUE(isColor(engine->pixel(65, 85), kRed));
    EXPECT_TRUE(isColor(engine->pixel(105, 55), kBlack));

    findItem(root, "top")->setZ(-1);
    engine->stepFrames(1);
    EXPECT_TRUE(isColor(engine->pixel(90, 60), kRed));
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
