// Node-backed items: where their node hangs, between nodes, and a new parent at run time; checked by
// node state and the window's pixels on the engine started in the test process.

#include <gtest/gtest.h>

#include "InProcessEngine.h"
#include "MessageLog.h"

#include "base_nodes/ZTNode.h"
#include "scenegraphwrapper.h"
#include "ztnodeitem.h"

#include <QQmlComponent>
#include <QQuickItem>

using namespace zanth2d;

namespace {

InProcessEngine* engine = nullptr;

bool isRed(int x, int y)
{
    const QColor color = engine->pixel(x, y);
    return color.red() > 200 && color.green() < 50;
}

} // namespace

TEST(NodeItemPlace, aBetweenNodeSitsBetweenTheParentsNodeAndTheItemsWithTheItemsZOnBoth)
{
    QQuickItem* root =
        engine->load("import QtQuick 2.15\nimport Zanth 1.0\nItem { width: 100; height: 100\n"
                     "  Rectangle { objectName: \"holder\"; width: 50; height: 50\n"
                     "    Clipping { objectName: \"clip\"; z: 3; width: 10; height: 10 } } }\n");
    ZTNode* node = engine->nodeOf(findItem(root, "clip"));
    ASSERT_NE(node, nullptr);
    ASSERT_TRUE(engine->stepFramesUntil([node] { return node->getParent() != nullptr; }));
    ZTNode* between = node->getParent();
    EXPECT_EQ(between->getParent(), engine->nodeOf(findItem(root, "holder")));
    EXPECT_EQ(between->getZOrder(), 3);
    EXPECT_EQ(node->getZOrder(), 3);
}

TEST(NodeItemPlace, anItemWhoseParentHasNoNodeHangsFromTheLayerWithAWarning)
{
    QQuickItem* root = engine->load(
        "import QtQuick 2.15\nItem { width: 100; height: 100; Item { objectName: \"plain\" } }\n");
    QQuickItem* plain = findItem(root, "plain");
    ASSERT_EQ(engine->nodeOf(plain), nullptr);
    QQmlComponent component(engine->view().engine());
    component.setData("import QtQuick 2.15\nimport Zanth 1.0\nClipping { width: 5; height: 5 }\n", QUrl());
    auto* clipping = qobject_cast<ZTNodeItem*>(component.create());
    ASSERT_NE(clipping, nullptr) << component.errorString().toStdString();
    clipping->setParent(plain);
    clipping->setParentItem(plain);
    MessageLog log;
    ZTNode* node = clipping->getZTNode();
    ASSERT_TRUE(engine->stepFramesUntil([node] { return node->getParent() != nullptr; }));
    EXPECT_EQ(node->getParent(), engine->wrapper().getRootSceneGraphNode());
    EXPECT_TRUE(
        log.contains("WARNING: no parentNode was found for this object, although the QML parent exists:"));
}

TEST(NodeItemPlace, aNewParentTakesTheNodeAndItsBetweenNodeAlong)
{
    QQuickItem* root =
        engine->load("import QtQuick 2.15\nimport Zanth 1.0\nItem { width: 100; height: 100\n"
                     "  Item { Clipping { objectName: \"clip\"; width: 20; height: 10\n"
                     "                    Rectangle { width: 40; height: 10; color: \"red\" } } }\n"
                     "  Item { objectName: \"away\"; x: 50; y: 50 } }\n");
    ASSERT_TRUE(engine->stepFramesUntil([] { return isRed(5, 5); }));
    EXPECT_EQ(engine->pixel(25, 5).lightness(), 0);

    findItem(root, "clip")->setParentItem(findItem(root, "away"));
    engine->stepFrames(1);
    EXPECT_EQ(engine->pixel(5, 5).lightness(), 0);
    EXPECT_TRUE(isRed(55, 55));
    EXPECT_EQ(engine->pixel(75, 55).lightness(), 0);
}

TEST(NodeItemPlace, itIsStackedAmongItsSiblingsAsQmlStacksThemWhenAttachedAndWhenItsZChanges)
{
    // Three overlapping siblings; the Clipping in the middle is attached from a timer, after the others.
    QQuickItem* root = engine->load(
        "import QtQuick 2.15\nimport Zanth 1.0\nItem { width: 100; height: 100\n"
        "  Rectangle { objectName: \"below\"; width: 30; height: 30; color: \"green\" }\n"
        "  Clipping { objectName: \"clip\"; x: 10; width: 30; height: 30\n"
        "    Rectangle { width: 30; height: 30; color: \"red\" } }\n"
        "  Rectangle { objectName: \"above\"; x: 20; width: 30; height: 30; color: \"blue\" } }\n");
    QQuickItem* clip = findItem(root, "clip");
    ZTNode* node = engine->nodeOf(clip);
    ASSERT_TRUE(engine->stepFramesUntil([node] { return node->getParent() != nullptr; }));
    engine->stepFrames(1);
    const auto shown = [](int x) { return engine->pixel(x, 5).name().toStdString(); };
    EXPECT_EQ(shown(15), "#ff0000") << "above the green one declared before it";
    EXPECT_EQ(shown(25), "#0000ff") << "below the blue one declared after it";

    clip->setZ(1);
    engine->stepFrames(1);
    EXPECT_EQ(shown(25), "#ff0000");
    EXPECT_EQ(node->getParent()->getZOrder(), 1);
    // Back among its equals: in child order again, not after them.
    clip->setZ(0);
    engine->stepFrames(1);
    EXPECT_EQ(shown(25), "#0000ff");
    EXPECT_EQ(shown(15), "#ff0000");
    clip->setZ(-1);
    engine->stepFrames(1);
    EXPECT_EQ(shown(15), "#008000");
}

TEST(NodeItemPlace, withoutAParentItemItsNodeLeavesTheTreeAndComesBackWithTheNextParent)
{
    // One with a between node, one without.
    QQuickItem* root = engine->load(
        "import QtQuick 2.15\nimport Zanth 1.0\nItem { width: 100; height: 100\n"
        "  Clipping { objectName: \"clip\"; width: 10; height: 10\n"
        "    Rectangle { width: 10; height: 10; color: \"red\" } }\n"
        "  PolygonItem { objectName: \"polygon\"; x: 50; fill: true; color: \"red\"\n"
        "    vertices: [Qt.point(0, 0), Qt.point(10, 0), Qt.point(10, 10), Qt.point(0, 10)] } }\n");
    ASSERT_TRUE(engine->stepFramesUntil([] { return isRed(5, 5) && isRed(55, 5); }));
    for (const char* name : {"clip", "polygon"})
        findItem(root, name)->setParentItem(nullptr);
    engine->stepFrames(1);
    EXPECT_FALSE(isRed(5, 5));
    EXPECT_FALSE(isRed(55, 5));
    auto* clip = root->findChild<QQuickItem*>("clip");
    auto* polygon = root->findChild<QQuickItem*>("polygon");
    clip->setParentItem(root);
    polygon->setParentItem(root);
    engine->stepFrames(1);
    EXPECT_TRUE(isRed(5, 5));
    EXPECT_TRUE(isRed(55, 5));
    // Destroyed while out of the tree, under the sanitizers.
    clip->setParentItem(nullptr);
    polygon->setParentItem(nullptr);
    delete clip;
    delete polygon;
    engine->stepFrames(1);
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
