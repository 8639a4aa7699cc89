// Flickables in the scene graph: clipping to their box and scrolling their content, checked by pixels.

#include <gtest/gtest.h>

#include "InProcessEngine.h"

#include "base_nodes/ZTNode.h"
#include "misc_nodes/ZTClipNode.h"
#include "scenegraphwrapper.h"

#include <QQuickItem>

using namespace zanth2d;

namespace {

InProcessEngine* engine = nullptr;

bool isRed(const QColor& color)
{
    return color.red() > 240 && color.green() < 15 && color.blue() < 15;
}

bool isBlue(const QColor& color)
{
    return color.blue() > 240 && color.red() < 15 && color.green() < 15;
}

// A 50 x 50 flickable at (20, 20) over content 200 wide: red rows 0 to 50, blue 50 to 80, red below.
QQuickItem* loadFlickable()
{
    return engine->load(
        "import QtQuick 2.15\nimport Zanth 1.0\n"
        "Item { width: 200; height: 120\n"
        "  Flickable { objectName: \"flick\"; x: 20; y: 20; width: 50; height: 50; clip: true\n"
        "    contentWidth: 200; contentHeight: 200\n"
        "    Rectangle { width: 200; height: 200; color: \"red\"\n"
        "      Rectangle { y: 50; width: 200; height: 30; color: \"blue\" } } } }\n");
}

} // namespace

TEST(FlickableManager, clippingKeepsTheContentInsideTheBoxUntilItIsSwitchedOff)
{
    QQuickItem* flick = findItem(loadFlickable(), "flick");
    ASSERT_NE(flick, nullptr);
    ZTNode* node = engine->wrapper().getNodeFromObject(flick);
    ASSERT_NE(node, nullptr);
    auto* clip = dynamic_cast<ZTClipNode*>(node->getParent());
    ASSERT_NE(clip, nullptr);
    EXPECT_EQ(clip->getClippingRegion().origin.x, 20.0f);
    EXPECT_EQ(clip->getClippingRegion().size.width, 50.0f);

    EXPECT_TRUE(isRed(engine->pixel(40, 40)));
    EXPECT_FALSE(isRed(engine->pixel(100, 40)));
    EXPECT_FALSE(isBlue(engine->pixel(40, 75)));
    flick->setClip(false);
    engine->stepFrames(1);
    EXPECT_TRUE(isRed(engine->pixel(100, 40)));
    flick->setClip(true);
    engine->stepFrames(1);
    EXPECT_FALSE(isRed(engine->pixel(100, 40)));

    // A moved flickable clips at its new place.
    flick->setX(60);
    engine->stepFrames(1);
    EXPECT_EQ(clip->getClippingRegion().origin.x, 60.0f);
    EXPECT_TRUE(isRed(engine->pixel(100, 40)));
    EXPECT_FALSE(isRed(engine->pixel(40, 40)));
}

TEST(FlickableManager, theContentScrollsOnceByTheContentOffset)
{
    QQuickItem* flick = findItem(loadFlickable(), "flick");
    EXPECT_TRUE(isRed(engine->pixel(40, 60)));
    flick->setProperty("contentY", 30);
    engine->stepFrames(1);
    // Content row 70 (blue) shows at flickable row 40; scrolled twice it would be row 100 (red).
    EXPECT_TRUE(isBlue(engine->pixel(40, 60)));
}

TEST(FlickableManager, raisingAndLoweringTheFlickableRestacksItAmongItsSiblings)
{
    QQuickItem* root =
        engine->load("import QtQuick 2.15\nimport Zanth 1.0\n"
                     "Item { width: 200; height: 120\n"
                     "  Flickable { objectName: \"flick\"; x: 20; y: 20; width: 50; height: 50\n"
                     "    Rectangle { width: 50; height: 50; color: \"red\" } }\n"
                     "  Rectangle { objectName: \"cover\"; x: 30; y: 30; width: 20; height: 20;"
                     " color: \"blue\" } }\n");
    QQuickItem* flick = findItem(root, "flick");
    QQuickItem* cover = findItem(root, "cover");
    engine->stepFrames(1);
    EXPECT_TRUE(isBlue(engine->pixel(40, 40)));
    flick->setZ(1);
    engine->stepFrames(1);
    EXPECT_TRUE(isRed(engine->pixel(40, 40)));
    // The clip node moved in the parent's node; the flickable's own node stayed inside it.
    ZTNode* node = engine->wrapper().getNodeFromObject(flick);
    EXPECT_EQ(node->getParent()->getParent(), engine->wrapper().getNodeFromObject(root));
    EXPECT_EQ(node->getParent()->getZOrder(), 1);
    cover->setZ(2);
    engine->stepFrames(1);
    EXPECT_TRUE(isBlue(engine->pixel(40, 40)));
}

TEST(FlickableManager, itIsStackedAmongItsSiblingsByItsClipNodeWhenTheyAreRestacked)
{
    // A Repeater's new delegate comes before the flickable in QML's stacking, though its node is added last.
    QQuickItem* root =
        engine->load("import QtQuick 2.15\nimport Zanth 1.0\n"
                     "Item { width: 200; height: 120; property int rows: 1\n"
                     "  Repeater { model: rows\n"
                     "    Rectangle { x: index * 20; width: 20; height: 40; color: \"red\" } }\n"
                     "  Flickable { x: 10; width: 60; height: 20\n"
                     "    Rectangle { width: 60; height: 20; color: \"blue\" } } }\n");
    engine->stepFrames(1);
    EXPECT_TRUE(isBlue(engine->pixel(15, 5)));
    root->setProperty("rows", 3);
    engine->stepFrames(1);
    EXPECT_TRUE(isBlue(engine->pixel(45, 5)));
    EXPECT_TRUE(isRed(engine->pixel(45, 30)));
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
