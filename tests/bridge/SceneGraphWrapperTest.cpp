// The item-to-node tree and the per-frame batch, on the engine started in the test process.

#include <gtest/gtest.h>

#include "InProcessEngine.h"
#include "MessageLog.h"

#include "ZTDirector.h"
#include "abstractztnodemanager.h"
#include "base_nodes/ZTNode.h"
#include "cocoa/ZTArray.h"
#include "enginescene.h"
#include "ischedulable.h"
#include "layers_scenes_transitions_nodes/ZTLayerColor.h"
#include "scenegraphwrapper.h"
#include "zanthscheduler.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>

#include <chrono>
#include <functional>
#include <thread>
#include <utility>
#include <vector>

using namespace zanth2d;

namespace {

InProcessEngine* engine = nullptr;

ZTNode* nodeOf(QQuickItem* item)
{
    return engine->wrapper().getNodeFromObject(item);
}

int countNodes(ZTNode* node)
{
    int count = 1;
    if (ZTArray* children = node->getChildren()) {
        for (unsigned int i = 0; i < children->count(); ++i)
            count += countNodes(static_cast<ZTNode*>(children->objectAtIndex(i)));
    }
    return count;
}

ZTNode* layer()
{
    return engine->wrapper().getRootSceneGraphNode();
}

// Where each item shown below root disagrees with its node, as the frame's pass left them: the node's place
// (the item's origin in its parent, y up), turn, scale, z order, visibility (a fade to nothing hides it too)
// and parent node, and for a rectangle its colour layer's size, colour and opacity. Empty when all agree.
QStringList mismatches(QQuickItem* root)
{
    QStringList found;
    QList<QQuickItem*> items = root->childItems();
    for (int i = 0; i < items.size(); ++i) {
        QQuickItem* item = items.at(i);
        items << item->childItems();
        ZTNode* node = nodeOf(item);
        if (!node)
            continue;
        const QString name =
            item->objectName().isEmpty() ? QString(item->metaObject()->className()) : item->objectName();
        const auto differ = [&found, &name](const char* what, double itemValue, double nodeValue) {
            if (float(itemValue) != float(nodeValue))
                found << QStringLiteral("%1 %2: item %3, node %4")
                             .arg(name, what)
                             .arg(itemValue)
                             .arg(nodeValue);
        };
        const QPointF origin = AbstractZTNodeManager::originInParent(item);
        differ("x", origin.x(), node->getPosition().x);
        differ("y", -origin.y(), node->getPosition().y);
        differ("rotation", AbstractZTNodeManager::calculateRotation(item), node->getRotation());
        const QPointF scale = AbstractZTNodeManager::calculateScaleData(item);
        differ("x scale", scale.x(), node->getScaleX());
        differ("y scale", scale.y(), node->getScaleY());
        differ("z", int(item->z()), node->getZOrder());
        const double opacity = AbstractZTNodeManager::effectiveOpacity(item);
        const bool isRectangle = item->inherits("QQuickRectangle");
        differ("visible", item->isVisible() && (!isRectangle || opacity > 0.01), node->getIsVisible());
        if (node->getParent() != nodeOf(item->parentItem()))
            found << name + " hangs from another node than its parent's";
        auto* layer = isRectangle ? dynamic_cast<ZTLayerColor*>(node->getChildByTag(0)) : nullptr;
        if (!isRectangle)
            continue;
        if (!layer) {
            found << name + " has no colour layer";
            continue;
        }
        differ("width", item->width(), layer->getContentSize().width);
        differ("height", item->height(), layer->getContentSize().height);
        differ("opacity", int(opacity * 255.0) & 0xFF, layer->getOpacity());
        const QColor color = item->property("color").value<QColor>();
        differ("red", color.red(), layer->getColor().r);
        differ("blue", color.blue(), layer->getColor().b);
    }
    return found;
}

const char* const kGroups = R"(import QtQuick 2.15
Item {
    width: 200; height: 100
    Item { objectName: "container"; x: 10; y: 20
        Item { objectName: "plainInside" }
        Rectangle { objectName: "rect"; x: 5; y: 7; width: 10; height: 10; z: 2.7 }
        Rectangle { objectName: "below"; z: -2.7 }
    }
    Item { objectName: "plainOnly"; Item { objectName: "plainChild" } }
    Item { objectName: "loaderHolder"; Loader { objectName: "loader" } }
}
)";

} // namespace

TEST(SceneGraphTree, itemsHoldingSomethingDrawableGetNodesUnderTheirParentsNodes)
{
    MessageLog log;
    QQuickItem* root = engine->load(kGroups);
    ASSERT_NE(root, nullptr);
    ZTNode* rootNode = nodeOf(root);
    ASSERT_NE(rootNode, nullptr);
    EXPECT_EQ(rootNode->getParent(), layer());
    ZTNode* container = nodeOf(findItem(root, "container"));
    ASSERT_NE(container, nullptr);
    EXPECT_EQ(container->getParent(), rootNode);
    EXPECT_FALSE(container->getIsDrawableNode());
    ASSERT_NE(nodeOf(findItem(root, "rect")), nullptr);
    EXPECT_EQ(nodeOf(findItem(root, "rect"))->getParent(), container);
    EXPECT_EQ(nodeOf(findItem(root, "plainInside")), nullptr);
    EXPECT_EQ(nodeOf(findItem(root, "plainOnly")), nullptr);
    EXPECT_EQ(nodeOf(findItem(root, "plainChild")), nullptr);
    // A loader counts as drawable before it has loaded anything, and so does what holds it.
    EXPECT_NE(nodeOf(findItem(root, "loaderHolder")), nullptr);
    EXPECT_NE(nodeOf(findItem(root, "loader")), nullptr);
    // The view's own root item is no parent: the file's root logs no missing parent node.
    EXPECT_FALSE(log.contains("no parentNode was found")) << log.lines().join('\n').toStdString();
}

TEST(SceneGraphTree, nodesSitAtTheItemsOriginWithYUpAndTheirZTruncatedTowardZero)
{
    QQuickItem* root = engine->load(kGroups);
    engine->stepFrames(1);
    ZTNode* container = nodeOf(findItem(root, "container"));
    ZTNode* rect = nodeOf(findItem(root, "rect"));
    EXPECT_EQ(container->getPosition().x, 10.0f);
    EXPECT_EQ(container->getPosition().y, -20.0f);
    EXPECT_EQ(rect->getPosition().x, 5.0f);
    EXPECT_EQ(rect->getPosition().y, -7.0f);
    EXPECT_EQ(rect->getAnchorPoint().x, 0.0f);
    EXPECT_EQ(rect->getAnchorPoint().y, 1.0f);
    EXPECT_EQ(rect->getZOrder(), 2);
    EXPECT_EQ(nodeOf(findItem(root, "below"))->getZOrder(), -2);
    // The layer sits at the window's height, so QML scene points are window points from the top left.
    EXPECT_EQ(layer()->getPosition().y, float(engine->delegate().getSize().height()));

    findItem(root, "rect")->setZ(-5);
    EXPECT_EQ(rect->getZOrder(), -5);
}

TEST(SceneGraphTree, mirroringBeforeInitialisationDoesNothingAtAll)
{
    QQuickItem* root = engine->load("import QtQuick 2.15\nItem { width: 50; height: 50 }\n");
    QQmlComponent component(engine->view().engine());
    component.setData("import QtQuick 2.15\nRectangle { width: 5; height: 5 }\n", QUrl());
    auto* item = qobject_cast<QQuickItem*>(component.create());
    item->setParent(root);
    item->setParentItem(root);
    MessageLog log;
    engine->wrapper().setInitialized(false);
    engine->wrapper().createSceneGraphTreeFromQmlTree(item);
    engine->wrapper().setInitialized(true);
    EXPECT_EQ(nodeOf(item), nullptr);
    EXPECT_TRUE(log.lines().isEmpty());
}

TEST(SceneGraphTree, mirroringAgainKeepsTheNodeAndReachesChildrenAddedSince)
{
    QQuickItem* root =
        engine->load("import QtQuick 2.15\nItem { width: 50; height: 50\n"
                     "  Item { objectName: \"holder\"; Rectangle { width: 5; height: 5 } } }\n");
    QQuickItem* holder = findItem(root, "holder");
    ZTNode* before = nodeOf(holder);
    ASSERT_NE(before, nullptr);
    QQmlComponent component(engine->view().engine());
    component.setData("import QtQuick 2.15\nRectangle { objectName: \"late\"; width: 5; height: 5 }\n",
                      QUrl());
    auto* late = qobject_cast<QQuickItem*>(component.create());
    late->setParent(holder);
    late->setParentItem(holder);
    EXPECT_EQ(nodeOf(late), nullptr);
    engine->wrapper().createSceneGraphTreeFromQmlTree(holder);
    EXPECT_EQ(nodeOf(holder), before);
    ASSERT_NE(nodeOf(late), nullptr);
    EXPECT_EQ(nodeOf(late)->getParent(), before);
}

TEST(SceneGraphTree, anItemWhoseParentsHaveNoNodeYetIsMirroredBelowThemAndKeepsTheirScale)
{
    // As an entity container that held nothing drawable when the level was mirrored.
    QQuickItem* root =
        engine->load("import QtQuick 2.15\nItem { width: 50; height: 50\n"
                     "  Item { objectName: \"scene\"; scale: 2; transformOrigin: Item.TopLeft\n"
                     "    Item { objectName: \"container\"; x: 10\n"
                     "      Item { objectName: \"other\" } } } }\n");
    QQuickItem* scene = findItem(root, "scene");
    QQuickItem* container = findItem(root, "container");
    QQuickItem* other = findItem(root, "other");
    ASSERT_EQ(nodeOf(container), nullptr);
    QQmlComponent component(engine->view().engine());
    component.setData("import QtQuick 2.15\nRectangle { width: 5; height: 5 }\n", QUrl());
    auto* entity = qobject_cast<QQuickItem*>(component.create());
    entity->setParent(container);
    entity->setParentItem(container);
    auto* orphan = qobject_cast<QQuickItem*>(component.create());
    orphan->setParent(other);
    orphan->setParentItem(other);
    MessageLog log;
    engine->wrapper().createSceneGraphTreeFromQmlTree(container);
    engine->wrapper().createSceneGraphTreeFromQmlTree(orphan);
    ASSERT_NE(nodeOf(entity), nullptr);
    ASSERT_NE(nodeOf(orphan), nullptr);
    ASSERT_NE(nodeOf(container), nullptr) << "the entity would hang from the layer without the scene's scale";
    ASSERT_NE(nodeOf(scene), nullptr);
    EXPECT_EQ(nodeOf(entity)->getParent(), nodeOf(container));
    EXPECT_EQ(nodeOf(container)->getParent(), nodeOf(scene));
    EXPECT_EQ(nodeOf(scene)->getParent(), nodeOf(root));
    EXPECT_EQ(nodeOf(orphan)->getParent(), nodeOf(other));
    EXPECT_EQ(nodeOf(other)->getParent(), nodeOf(container));
    EXPECT_FLOAT_EQ(nodeOf(scene)->getScaleX(), 2.0f);
    EXPECT_FALSE(log.contains("no parentNode was found")) << log.lines().join('\n').toStdString();
}

TEST(SceneGraphTree, anItemWhoseParentCannotHaveANodeHangsFromTheLayerWithAWarning)
{
    engine->load("import QtQuick 2.15\nItem { width: 50; height: 50 }\n");
    QObject holder;
    QQmlComponent component(engine->view().engine());
    component.setData("import QtQuick 2.15\nRectangle { width: 5; height: 5 }\n", QUrl());
    auto* orphan = qobject_cast<QQuickItem*>(component.create());
    orphan->setParent(&holder);
    MessageLog log;
    engine->wrapper().createSceneGraphTreeFromQmlTree(orphan);
    ASSERT_NE(nodeOf(orphan), nullptr);
    EXPECT_EQ(nodeOf(orphan)->getParent(), layer());
    EXPECT_TRUE(
        log.contains("WARNING: no parentNode was found for this object, although the QML parent exists:"));
    delete orphan;
}

TEST(SceneGraphTree, anItemWhoseParentIsASiblingDeclaredLaterIsPlacedInThatSiblingsNode)
{
    MessageLog log;
    QQuickItem* root =
        engine->load("import QtQuick 2.15\nItem { width: 100; height: 100\n"
                     "  Rectangle { objectName: \"early\"; parent: later; x: 3; y: 4; width: 5; "
                     "height: 5; color: \"red\" }\n"
                     "  Item { id: later; objectName: \"later\"; x: 40; y: 30 } }\n");
    ZTNode* early = nodeOf(findItem(root, "early"));
    ASSERT_NE(early, nullptr);
    ASSERT_NE(nodeOf(findItem(root, "later")), nullptr);
    EXPECT_EQ(early->getParent(), nodeOf(findItem(root, "later")));
    EXPECT_FLOAT_EQ(early->getPosition().x, 3.0f);
    EXPECT_FLOAT_EQ(early->getPosition().y, -4.0f);
    EXPECT_FALSE(log.contains("no parentNode was found")) << log.lines().join('\n').toStdString();
    engine->stepFrames(1);
    const QColor shown = engine->pixel(45, 36);
    EXPECT_TRUE(shown.red() > 240 && shown.green() < 15) << shown.name().toStdString();
}

TEST(SceneGraphTree, aHighVertexZIsSetWithOneWarningAndZeroLeavesTheNodeAlone)
{
    MessageLog log;
    QQuickItem* root = engine->load("import QtQuick 2.15\nItem { width: 50; height: 50\n"
                                    "  Rectangle { objectName: \"high\"; property real vertexZ: 60 }\n"
                                    "  Rectangle { objectName: \"flat\"; property real vertexZ: 0 } }\n");
    EXPECT_EQ(nodeOf(findItem(root, "high"))->getVertexZ(), 60.0f);
    EXPECT_EQ(nodeOf(findItem(root, "flat"))->getVertexZ(), 0.0f);
    EXPECT_EQ(log.lines().filter("setting the vertexZ property to a too high value").size(), 1);
}

TEST(SceneGraphTree, rotationsAboutOtherAxesThanZAreIgnoredAndScaleTransformsMultiply)
{
    QQuickItem* root =
        engine->load("import QtQuick 2.15\nItem { width: 50; height: 50\n"
                     "  Rectangle { objectName: \"turned\"; rotation: 10\n"
                     "    transform: [ Rotation { angle: 30; axis { x: 0; y: 1; z: 0 } },\n"
                     "                 Rotation { angle: 5 }, Scale { xScale: 2; yScale: 3 } ]\n"
                     "    scale: 0.5 } }\n");
    ZTNode* node = nodeOf(findItem(root, "turned"));
    EXPECT_FLOAT_EQ(node->getRotation(), 15.0f);
    EXPECT_FLOAT_EQ(node->getScaleX(), 1.0f);
    EXPECT_FLOAT_EQ(node->getScaleY(), 1.5f);
}

TEST(ModificationBatch, everyWayAGameChangesItsItemsReachesTheNodesInTheFrameOfTheChange)
{
    QQuickItem* root = engine->load(
        "import QtQuick 2.15\nItem { width: 200; height: 200\n"
        "  property real spin: 0; property int rows: 2; property color tint: \"gray\"\n"
        "  Item { objectName: \"group\"; x: 10; y: 10\n"
        "    Rectangle { objectName: \"mover\"; width: 10; height: 10; color: \"red\" }\n"
        "    Rectangle { objectName: \"below\"; width: 20; height: 20; color: \"blue\"; z: -1 } }\n"
        "  Item { objectName: \"elsewhere\"; x: 100; y: 100 }\n"
        "  Rectangle { objectName: \"anchored\"; width: 8; height: 8; color: \"green\"\n"
        "              anchors.left: target.right; anchors.top: target.bottom }\n"
        "  Rectangle { id: target; objectName: \"target\"; x: 50; y: 10; width: 10; height: 10 }\n"
        "  Row { objectName: \"row\"; y: 150; spacing: 2\n"
        "    Rectangle { objectName: \"first\"; width: 10; height: 10; color: \"white\" }\n"
        "    Repeater { model: rows; Rectangle { width: 10; height: 10; color: tint } } }\n"
        "  Rectangle { objectName: \"transformed\"; x: 150; y: 50; width: 20; height: 10\n"
        "    transform: [ Rotation { angle: spin; origin.x: 5 },\n"
        "                 Scale { xScale: 1 + spin / 90; yScale: 2 } ] }\n"
        "  Item { objectName: \"holder\"; x: 20; y: 120\n"
        "    Rectangle { objectName: \"faded\"; width: 10; height: 10; color: \"magenta\" } } }\n");
    QQuickItem* mover = findItem(root, "mover");
    QQmlComponent maker(engine->view().engine());
    maker.setData("import QtQuick 2.15\nRectangle { width: 6; height: 6; color: \"orange\" }\n", QUrl());
    QQuickItem* made = nullptr;
    const std::vector<std::pair<const char*, std::function<void()>>> steps = {
        {"a move", [&] { mover->setPosition(QPointF(3, 4)); }},
        {"a turn about the top left corner",
         [&] {
             mover->setTransformOrigin(QQuickItem::TopLeft);
             mover->setRotation(30);
         }},
        {"a scale", [&] { mover->setScale(1.5); }},
        {"a new size, turned about the centre",
         [&] {
             mover->setSize(QSizeF(14, 6));
             mover->setTransformOrigin(QQuickItem::Center);
         }},
        {"new z values",
         [&] {
             mover->setZ(2);
             findItem(root, "below")->setZ(-3.5);
         }},
        {"a parent hidden", [&] { findItem(root, "group")->setVisible(false); }},
        {"a parent shown where it moved",
         [&] {
             findItem(root, "group")->setVisible(true);
             findItem(root, "group")->setX(30);
         }},
        {"fades",
         [&] {
             findItem(root, "holder")->setOpacity(0.5);
             findItem(root, "faded")->setOpacity(0.5);
         }},
        {"a fade to nothing", [&] { findItem(root, "holder")->setOpacity(0); }},
        {"an anchor's target moved and resized", [&] { findItem(root, "target")->setSize(QSizeF(20, 15)); }},
        {"a positioner's child grown", [&] { findItem(root, "first")->setWidth(25); }},
        {"a Repeater's model grown and its delegates' colour",
         [&] {
             root->setProperty("rows", 4);
             root->setProperty("tint", QColor(Qt::darkGreen));
         }},
        {"transforms changed", [&] { root->setProperty("spin", 45.0); }},
        {"a new parent for a moving item",
         [&] {
             mover->setX(40);
             mover->setParentItem(findItem(root, "elsewhere"));
         }},
        {"an item made while the game runs",
         [&] {
             made = qobject_cast<QQuickItem*>(maker.create());
             made->setParent(root);
             made->setParentItem(findItem(root, "elsewhere"));
             made->setPosition(QPointF(7, 9));
             engine->wrapper().createSceneGraphTreeFromQmlTree(made);
             made->setRotation(-20);
         }},
        {"items destroyed with changes waiting",
         [&] {
             QQuickItem* faded = findItem(root, "faded");
             faded->setX(80);
             faded->setWidth(3);
             delete faded;
             made->setY(30);
             delete made;
             findItem(root, "anchored")->setRotation(10);
         }},
    };
    ASSERT_TRUE(mismatches(root).isEmpty()) << mismatches(root).join('\n').toStdString();
    for (const auto& [what, change] : steps) {
        change();
        engine->stepFrames(1);
        const QStringList found = mismatches(root);
        EXPECT_TRUE(found.isEmpty()) << "after " << what << ":\n" << found.join('\n').toStdString();
    }
}

TEST(ModificationBatch, movesWithinAFrameReachTheNodeOnlyInTheFramesPassWithTheLastPosition)
{
    QQuickItem* root = engine->load("import QtQuick 2.15\nItem { width: 100; height: 100\n"
                                    "  Rectangle { objectName: \"mover\"; width: 5; height: 5 } }\n");
    QQuickItem* mover = findItem(root, "mover");
    ZTNode* node = nodeOf(mover);
    for (int i = 1; i <= 10; ++i)
        mover->setX(i * 3);
    EXPECT_EQ(node->getPosition().x, 0.0f);
    engine->stepFrames(1);
    EXPECT_EQ(node->getPosition().x, 30.0f);
    // A move after the pass is taken by the next one.
    mover->setY(4);
    engine->stepFrames(2);
    EXPECT_EQ(node->getPosition().y, -4.0f);
}

TEST(ModificationBatch, anItemMovedAndDestroyedBeforeThePassIsForgottenWhileTheOthersMove)
{
    QQuickItem* root = engine->load("import QtQuick 2.15\nItem { width: 100; height: 100\n"
                                    "  Rectangle { objectName: \"doomed\"; width: 5; height: 5 }\n"
                                    "  Rectangle { objectName: \"stays\"; width: 5; height: 5 } }\n");
    QQuickItem* doomed = findItem(root, "doomed");
    QQuickItem* stays = findItem(root, "stays");
    doomed->setX(12);
    stays->setX(7);
    delete doomed;
    engine->stepFrames(1);
    EXPECT_EQ(nodeOf(stays)->getPosition().x, 7.0f);
}

TEST(ModificationBatch, aRotationAboutTheCentreAlsoMovesTheNode)
{
    QQuickItem* root =
        engine->load("import QtQuick 2.15\nItem { width: 100; height: 100\n"
                     "  Rectangle { objectName: \"spinner\"; x: 20; y: 20; width: 20; height: 10 } }\n");
    QQuickItem* spinner = findItem(root, "spinner");
    ZTNode* node = nodeOf(spinner);
    spinner->setRotation(90);
    engine->stepFrames(1);
    // Turned about its centre (30, 25), the item's origin lands at (35, 15).
    EXPECT_NEAR(node->getPosition().x, 35.0f, 1e-4);
    EXPECT_NEAR(node->getPosition().y, -15.0f, 1e-4);
    EXPECT_FLOAT_EQ(node->getRotation(), 90.0f);
}

TEST(ModificationBatch, scaleTransformChangesReachTheNode)
{
    QQuickItem* root =
        engine->load("import QtQuick 2.15\nItem { width: 100; height: 100\n"
                     "  property real factor: 1\n"
                     "  Item { objectName: \"scaled\"; transform: Scale { xScale: factor; yScale: 2 }\n"
                     "    Rectangle { width: 5; height: 5 } } }\n");
    ZTNode* node = nodeOf(findItem(root, "scaled"));
    root->setProperty("factor", 3.0);
    engine->stepFrames(1);
    EXPECT_FLOAT_EQ(node->getScaleX(), 3.0f);
    EXPECT_FLOAT_EQ(node->getScaleY(), 2.0f);
}

TEST(ModificationBatch, aScaleMarkKeepsTheNodesYScaleAlongsideAPendingMove)
{
    QQuickItem* root =
        engine->load("import QtQuick 2.15\nItem { width: 100; height: 100\n"
                     "  Rectangle { objectName: \"item\"; width: 5; height: 5; scale: 2 } }\n");
    QQuickItem* item = findItem(root, "item");
    ZTNode* node = nodeOf(item);
    item->setX(10);
    engine->wrapper().updateItemScaleX(item, 4);
    engine->stepFrames(1);
    EXPECT_FLOAT_EQ(node->getScaleX(), 4.0f);
    EXPECT_FLOAT_EQ(node->getScaleY(), 2.0f);
    EXPECT_NEAR(node->getPosition().x, 7.5f, 1e-4);
}

TEST(ModificationBatch, whilePausedItemsStillMoveButFixedStepsWait)
{
    struct Counter : ISchedulable
    {
        void scheduledUpdate(double) override { ++steps; }
        int steps = 0;
    } counter;
    QQuickItem* root = engine->load("import QtQuick 2.15\nItem { width: 100; height: 100\n"
                                    "  Rectangle { objectName: \"item\"; width: 5; height: 5 } }\n");
    ZanthScheduler* scheduler = engine->wrapper().scheduler();
    scheduler->schedule(&counter, 1.0 / 1000);
    // Frames run back to back can be shorter than the 1 ms step: let each measured one be longer.
    const auto longFrame = [] {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        engine->stepFrames(1);
    };
    longFrame();
    EXPECT_GT(counter.steps, 0);
    engine->application().system()->pauseGameForObject(root);
    const int before = counter.steps;
    findItem(root, "item")->setX(12);
    engine->stepFrames(2);
    EXPECT_EQ(counter.steps, before);
    EXPECT_EQ(nodeOf(findItem(root, "item"))->getPosition().x, 12.0f);
    engine->application().system()->resumeGameForObject(root);
    longFrame();
    longFrame();
    EXPECT_GT(counter.steps, before);
    scheduler->unschedule(&counter);
}

TEST(ModificationBatch, aContainerShownAgainIsInPlaceInTheSameFrame)
{
    QQuickItem* root = engine->load("import QtQuick 2.15\nItem { width: 100; height: 100\n"
                                    "  Item { objectName: \"box\"; Rectangle { width: 5; height: 5 } } }\n");
    QQuickItem* box = findItem(root, "box");
    ZTNode* node = nodeOf(box);
    box->setVisible(false);
    EXPECT_FALSE(node->getIsVisible());
    box->setX(40);
    box->setVisible(true);
    EXPECT_TRUE(node->getIsVisible());
    EXPECT_EQ(node->getPosition().x, 40.0f);
}

TEST(ModificationBatch, positionersPlaceTheirChildrenThoughTheViewIsNeverShown)
{
    QQuickItem* root =
        engine->load("import QtQuick 2.15\nItem { width: 100; height: 100\n"
                     "  Column { Rectangle { objectName: \"first\"; width: 5; height: 5 }\n"
                     "           Rectangle { objectName: \"second\"; width: 5; height: 5 } } }\n");
    findItem(root, "first")->setHeight(30);
    engine->stepFrames(1);
    EXPECT_EQ(findItem(root, "second")->y(), 30.0);
    EXPECT_EQ(nodeOf(findItem(root, "second"))->getPosition().y, -30.0f);
}

TEST(SceneGraphTree, aRepeatersDelegatesAreMirroredUnderTheItemThatShowsThem)
{
    QQuickItem* root = engine->load("import QtQuick 2.15\nItem { width: 100; height: 40\n"
                                    "  Row { objectName: \"row\"; x: 10; spacing: 5\n"
                                    "    Repeater { model: 3\n"
                                    "      Rectangle { width: 10; height: 10; color: \"red\" } } } }\n");
    ZTNode* row = nodeOf(findItem(root, "row"));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->getChildrenCount(), 3u);
    engine->stepFrames(1);
    // The third square sits at 10 + 2 * (10 + 5).
    EXPECT_GT(engine->pixel(45, 5).red(), 200);
    EXPECT_LT(engine->pixel(38, 5).red(), 50);
}

TEST(SceneGraphTree, aRepeatersDelegatesFollowItsModelAndStackAtItsPlaceAmongTheirSiblings)
{
    QQuickItem* root =
        engine->load("import QtQuick 2.15\nItem { width: 100; height: 40\n"
                     "  property var rows: 2\n"
                     "  Rectangle { width: 60; height: 5; y: 10; color: \"green\" }\n"
                     "  Repeater { model: rows\n"
                     "    Rectangle { x: index * 10; width: 10; height: 20; color: \"red\" } }\n"
                     "  Rectangle { width: 60; height: 5; color: \"blue\" } }\n");
    const auto isRed = [](const QColor& color) { return color.red() > 200 && color.blue() < 50; };
    // Above the green sibling declared before the Repeater, below the blue one declared after it.
    EXPECT_GT(engine->pixel(5, 2).blue(), 200);
    EXPECT_TRUE(isRed(engine->pixel(5, 12)));
    EXPECT_TRUE(isRed(engine->pixel(15, 17)));
    EXPECT_GT(engine->pixel(25, 12).green(), 100);

    root->setProperty("rows", 3);
    engine->stepFrames(1);
    EXPECT_TRUE(isRed(engine->pixel(5, 17)));
    EXPECT_TRUE(isRed(engine->pixel(25, 12)));
    EXPECT_GT(engine->pixel(25, 2).blue(), 200);

    root->setProperty("rows", 1);
    engine->stepFrames(1);
    EXPECT_TRUE(isRed(engine->pixel(5, 17)));
    EXPECT_EQ(engine->pixel(15, 17).lightness(), 0);
    EXPECT_GT(engine->pixel(15, 12).green(), 100);
}

TEST(SceneGraphTree, anItemWhoseZReturnsToItsSiblingsIsStackedInChildOrderAgain)
{
    QQuickItem* root =
        engine->load("import QtQuick 2.15\nItem { width: 100; height: 40\n"
                     "  Rectangle { objectName: \"first\"; width: 20; height: 20; color: \"red\" }\n"
                     "  Rectangle { x: 10; width: 20; height: 20; color: \"green\" }\n"
                     "  Rectangle { x: 15; width: 20; height: 20; color: \"blue\"; z: 0.5 } }\n");
    QQuickItem* first = findItem(root, "first");
    const auto shown = [](int x) { return engine->pixel(x, 5).name().toStdString(); };
    EXPECT_EQ(shown(12), "#008000");
    EXPECT_EQ(shown(17), "#0000ff");
    first->setZ(2);
    engine->stepFrames(1);
    EXPECT_EQ(shown(17), "#ff0000");
    first->setZ(0);
    engine->stepFrames(1);
    EXPECT_EQ(shown(12), "#008000");
    EXPECT_EQ(shown(17), "#0000ff");
    // Between the green one (z 0) and the blue one (z 0.5), which share the node's z order 0.
    first->setZ(0.25);
    engine->stepFrames(1);
    EXPECT_EQ(shown(12), "#ff0000");
    EXPECT_EQ(shown(17), "#0000ff");
}

TEST(ModificationBatch, positionersWithoutAPictureBelowThemStillLayOutForTheirParents)
{
    // The inner positioners hold only plain items and get no node; their size still places the square.
    QQuickItem* root =
        engine->load("import QtQuick 2.15\nItem { width: 100; height: 120\n"
                     "  Column {\n"
                     "    Column { Item { objectName: \"inColumn\"; width: 10; height: 10 } }\n"
                     "    Row { Item { objectName: \"inRow\"; width: 10; height: 10 } }\n"
                     "    Grid { Item { objectName: \"inGrid\"; width: 10; height: 10 } }\n"
                     "    Flow { width: 10; Item { objectName: \"inFlow\"; width: 10; height: 10 } }\n"
                     "    Item { width: 10; height: childrenRect.height\n"
                     "           Column { Item { objectName: \"inNested\"; width: 10; height: 10 } } }\n"
                     "    Rectangle { width: 10; height: 10; color: \"blue\" } } }\n");
    ASSERT_TRUE(engine->stepFramesUntil([] { return engine->pixel(5, 55).blue() > 200; }));
    for (const char* name : {"inColumn", "inRow", "inGrid", "inFlow", "inNested"})
        findItem(root, name)->setHeight(20);
    engine->stepFrames(1);
    EXPECT_EQ(engine->pixel(5, 55).lightness(), 0);
    EXPECT_GT(engine->pixel(5, 105).blue(), 200);
}

TEST(SceneGraphTree, anItemGivenANewParentMovesClipsAndFadesWithTheNewOne)
{
    QQuickItem* root = engine->load(
        "import QtQuick 2.15\nItem { width: 100; height: 100\n"
        "  Item { objectName: \"home\"\n"
        "         Rectangle { objectName: \"mover\"; width: 40; height: 10; color: \"red\" } }\n"
        "  Item { objectName: \"away\"; x: 50; y: 50 }\n"
        "  Flickable { objectName: \"window\"; x: 10; y: 70; width: 20; height: 20; clip: true\n"
        "              contentWidth: 100; contentHeight: 100; Rectangle { width: 1; height: 1 } } }\n");
    QQuickItem* mover = findItem(root, "mover");
    QQuickItem* home = findItem(root, "home");
    QQuickItem* away = findItem(root, "away");
    const auto isRed = [](int x, int y) { return engine->pixel(x, y).red() > 200; };
    // A window grown from the previous scene's size shows the new size a frame later.
    ASSERT_TRUE(engine->stepFramesUntil([&] { return isRed(5, 5); }));

    // "away" had nothing to show and so no node until now.
    mover->setParentItem(away);
    engine->stepFrames(1);
    EXPECT_EQ(engine->pixel(5, 5).lightness(), 0);
    EXPECT_TRUE(isRed(55, 55));
    home->setX(20);
    home->setOpacity(0);
    engine->stepFrames(1);
    EXPECT_TRUE(isRed(55, 55));
    away->setX(0);
    engine->stepFrames(1);
    EXPECT_TRUE(isRed(5, 55));
    EXPECT_EQ(engine->pixel(55, 55).lightness(), 0);
    away->setOpacity(0);
    engine->stepFrames(1);
    EXPECT_EQ(engine->pixel(5, 55).lightness(), 0);

    QQuickItem* flickable = findItem(root, "window");
    mover->setParentItem(flickable->property("contentItem").value<QQuickItem*>());
    engine->stepFrames(1);
    EXPECT_TRUE(isRed(15, 75));
    // The flickable shows 20 of the 40 points.
    EXPECT_EQ(engine->pixel(35, 75).lightness(), 0);

    // A flickable takes its clipping along.
    home->setOpacity(1);
    flickable->setParentItem(home);
    engine->stepFrames(1);
    EXPECT_EQ(engine->pixel(15, 75).lightness(), 0);
    EXPECT_TRUE(isRed(35, 75));
    EXPECT_EQ(engine->pixel(55, 75).lightness(), 0);
}

TEST(SceneGraphTree, anItemWithoutAParentIsNotDrawnAndComesBackWithItsNextParent)
{
    QQuickItem* root = engine->load(
        "import QtQuick 2.15\nItem { width: 100; height: 100\n"
        "  Rectangle { objectName: \"loose\"; x: 10; y: 10; width: 10; height: 10; color: \"red\" }\n"
        "  Flickable { objectName: \"flick\"; x: 40; width: 10; height: 10; clip: true\n"
        "    Rectangle { width: 30; height: 10; color: \"red\" } }\n"
        "  Item { objectName: \"holder\"; x: 70\n"
        "    Rectangle { objectName: \"kept\"; width: 10; height: 10; color: \"red\" } } }\n");
    QQuickItem* loose = findItem(root, "loose");
    QQuickItem* flick = findItem(root, "flick");
    QQuickItem* kept = findItem(root, "kept");
    const auto isRed = [](int x, int y) { return engine->pixel(x, y).red() > 200; };
    ASSERT_TRUE(engine->stepFramesUntil([&] { return isRed(15, 15) && isRed(45, 5) && isRed(75, 5); }));
    loose->setParentItem(nullptr);
    flick->setParentItem(nullptr);
    engine->stepFrames(1);
    EXPECT_FALSE(isRed(15, 15));
    EXPECT_FALSE(isRed(45, 5));
    loose->setParentItem(root);
    flick->setParentItem(root);
    engine->stepFrames(1);
    EXPECT_TRUE(isRed(15, 15));
    EXPECT_TRUE(isRed(45, 5));
    EXPECT_FALSE(isRed(55, 5)) << "the flickable still clips";

    // An item that outlives its parent item (it belongs to another object) shows nothing until it
    // gets a new one, then shows in it.
    kept->setParent(root);
    delete findItem(root, "holder");
    engine->stepFrames(1);
    EXPECT_FALSE(isRed(75, 5));
    kept->setParentItem(flick);
    engine->stepFrames(1);
    EXPECT_TRUE(isRed(45, 5));
    delete flick;
    engine->stepFrames(1);
    EXPECT_FALSE(isRed(45, 5));
    kept->setParentItem(root);
    engine->stepFrames(1);
    EXPECT_TRUE(isRed(5, 5));
}

TEST(NodeLifetime, aDestroyedItemsNodeIsGoneBeforeTheNextFrameIsDrawn)
{
    QQuickItem* root =
        engine->load("import QtQuick 2.15\nItem { width: 100; height: 100\n"
                     "  function drop() { doomed.destroy() }\n"
                     "  Rectangle { id: doomed; objectName: \"doomed\"; width: 5; height: 5 } }\n");
    ZTNode* rootNode = nodeOf(root);
    ASSERT_EQ(rootNode->getChildrenCount(), 1u);
    QMetaObject::invokeMethod(root, "drop");
    engine->stepFrames(1);
    EXPECT_EQ(rootNode->getChildrenCount(), 0u);
    EXPECT_EQ(findItem(root, "doomed"), nullptr);
}

TEST(NodeLifetime, aParentDestroyedWithItsChildrenReleasesEveryNodeWithoutAnError)
{
    QQuickItem* root =
        engine->load("import QtQuick 2.15\nItem { width: 100; height: 100\n"
                     "  function drop() { parentItem.destroy() }\n"
                     "  Item { id: parentItem\n"
                     "    Item { Rectangle { objectName: \"leaf\"; width: 5; height: 5 } } } }\n");
    ZTNode* leaf = nodeOf(findItem(root, "leaf"));
    ASSERT_NE(leaf, nullptr);
    leaf->retain();
    MessageLog log;
    QMetaObject::invokeMethod(root, "drop");
    engine->stepFrames(1);
    // Only the test's own reference is left.
    EXPECT_EQ(leaf->retainCount(), 1u);
    EXPECT_EQ(leaf->getParent(), nullptr);
    leaf->release();
    EXPECT_FALSE(log.contains("does not have a parent")) << log.lines().join('\n').toStdString();
}

TEST(NodeLifetime, loadingAndDestroyingAThousandItemsLeavesNoNodeBehind)
{
    QQuickItem* root = engine->load("import QtQuick 2.15\nItem { width: 100; height: 100\n"
                                    "  property Component maker: Rectangle { width: 5; height: 5 }\n"
                                    "  Rectangle { width: 1; height: 1 }\n"
                                    "  function cycle() {\n"
                                    "    var made = []\n"
                                    "    for (var i = 0; i < 1000; ++i) {\n"
                                    "      var item = maker.createObject(root, { x: i % 90 })\n"
                                    "      wrapper.createSceneGraphTreeFromQmlTree(item)\n"
                                    "      made.push(item) }\n"
                                    "    for (var j = 0; j < made.length; ++j) made[j].destroy() }\n"
                                    "  id: root }\n");
    engine->view().rootContext()->setContextProperty("wrapper", &engine->wrapper());
    const int before = countNodes(layer());
    MessageLog log;
    QMetaObject::invokeMethod(root, "cycle");
    EXPECT_GE(countNodes(layer()), before + 1000);
    EXPECT_FALSE(log.contains("no parentNode was found"));
    engine->stepFrames(1);
    EXPECT_EQ(countNodes(layer()), before);
}

TEST(GameTimeAnimation, aNumberAnimationMovesItsRectangleByTheFrameTimeOfEachFrame)
{
    QQuickItem* root =
        engine->load("import QtQuick 2.15\nItem { width: 200; height: 50\n"
                     "  Rectangle { objectName: \"runner\"; width: 10; height: 10; color: \"red\"\n"
                     "    NumberAnimation on x { objectName: \"move\"; running: false\n"
                     "                           from: 0; to: 100; duration: 1000 } } }\n");
    QQuickItem* runner = findItem(root, "runner");
    QObject* animation = root->findChild<QObject*>("move");
    ASSERT_NE(animation, nullptr);
    animation->setProperty("running", true);
    ZTDirector* director = ZTDirector::sharedDirector();
    engine->stepFrames(2);
    for (int frame = 0; frame < 8; ++frame) {
        const double before = runner->x();
        // Frames of about 20 ms, as at 50 frames a second.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        engine->stepFrames(1);
        // 100 points a second of game time, one frame's time per frame.
        EXPECT_NEAR(runner->x() - before, 100.0 * director->getDeltaTime(), 0.2) << "frame " << frame;
    }
    const int x = int(runner->x());
    EXPECT_GT(x, 0);
    EXPECT_GT(engine->pixel(x + 5, 5).red(), 200);
    EXPECT_LT(engine->pixel(x + 12, 5).red(), 50);

    director->pause();
    const double paused = runner->x();
    engine->stepFrames(3);
    EXPECT_EQ(runner->x(), paused);
    director->resume();
}

TEST(NodeLifetime, aDestroyedItemsPixelsAreGoneInTheFrameOfItsDestruction)
{
    QQuickItem* root = engine->load("import QtQuick 2.15\nItem { width: 100; height: 100\n"
                                    "  Timer { id: timer; interval: 0; onTriggered: doomed.destroy() }\n"
                                    "  function drop() { timer.start() }\n"
                                    "  Rectangle { id: doomed; width: 20; height: 20; color: \"red\" } }\n");
    EXPECT_GT(engine->pixel(10, 10).red(), 200);
    QMetaObject::invokeMethod(root, "drop");
    // The timer fires inside the next frame's event processing; the item dies before that frame is drawn.
    engine->stepFrames(1);
    EXPECT_LT(engine->pixel(10, 10).red(), 50);
}

TEST(ContentScale, theSceneScaleOfAnItemMultipliesItsAncestorsAndSurvivesQuarterTurns)
{
    QQuickItem* root =
        engine->load("import QtQuick 2.15\nItem { width: 100; height: 100\n"
                     "  Item { transform: Scale { xScale: 1.5; yScale: 1.5 }\n"
                     "    Item { objectName: \"scaled\"; scale: 2; transformOrigin: Item.TopLeft }\n"
                     "    Item { objectName: \"quarter\"; scale: 2; rotation: 90 }\n"
                     "    Item { objectName: \"upsideDown\"; rotation: 180 } } }\n");
    EXPECT_DOUBLE_EQ(SceneGraphWrapper::getSceneContentScaleFactorForItem(findItem(root, "scaled")), 3.0);
    EXPECT_NEAR(SceneGraphWrapper::getSceneContentScaleFactorForItem(findItem(root, "quarter")), 3.0, 1e-9);
    EXPECT_NEAR(SceneGraphWrapper::getSceneContentScaleFactorForItem(findItem(root, "upsideDown")), 0.0,
                1e-9);
}

TEST(SceneGraphTree, textItemsAreFoundAtAnyDepthAndNoOtherTypeIsLookedFor)
{
    QQuickItem* root = engine->load("import QtQuick 2.15\nItem { width: 50; height: 50\n"
                                    "  Text { objectName: \"near\" }\n"
                                    "  Item { Rectangle { Text { objectName: \"deep\" } } }\n"
                                    "  Image { } }\n");
    const QObjectList texts = SceneGraphWrapper::getAllChildrenInheritingType("QQuickText", root);
    EXPECT_EQ(texts.size(), 2);
    EXPECT_TRUE(texts.contains(findItem(root, "near")));
    EXPECT_TRUE(texts.contains(findItem(root, "deep")));
    EXPECT_TRUE(SceneGraphWrapper::getAllChildrenInheritingType("QQuickImage", root).isEmpty());
}

TEST(ContentScale, sceneGraphRecordsWidenToQtsFieldByField)
{
    EXPECT_EQ(SceneGraphWrapper::ZTPointConvert(ZTPoint(1.5f, -2.25f)), QPointF(1.5, -2.25));
    EXPECT_EQ(SceneGraphWrapper::ZTSizeConvert(ZTSize(3.5f, 0.125f)), QSizeF(3.5, 0.125));
    EXPECT_EQ(SceneGraphWrapper::ZTRectConvert(ZTRect(1, 2, 30.5f, 40)), QRectF(1, 2, 30.5, 40));
}

TEST(ContentScale, platformFileNamesLoseTheirSchemeAndTheResourcePrefix)
{
    EXPECT_EQ(SceneGraphWrapper::getPlatformUrlString(QUrl("qrc:/qml/img/a.png")), "qml/img/a.png");
    EXPECT_EQ(SceneGraphWrapper::getPlatformUrlString(QUrl("file:///tmp/a.png")), "/tmp/a.png");
    EXPECT_EQ(SceneGraphWrapper::getPlatformUrlString(QUrl("img/a.png")), "img/a.png");
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
