// Observer items report their own moves, turns and scale changes to the bridge; checked by node state
// and the window's pixels on the engine started in the test process.

#include <gtest/gtest.h>

#include "InProcessEngine.h"

#include "base_nodes/ZTNode.h"
#include "scenegraphwrapper.h"

#include <QQmlComponent>
#include <QQuickItem>
#include <QSignalSpy>

using namespace zanth2d;

namespace {

InProcessEngine* engine = nullptr;

bool isRed(int x, int y)
{
    const QColor color = engine->pixel(x, y);
    return color.red() > 200 && color.green() < 50;
}

} // namespace

TEST(ObservingEnabled, whileOffTurnsNoLongerReachTheNodeButMovesDo)
{
    QQuickItem* root =
        engine->load("import QtQuick 2.15\nimport Zanth 1.0\nItem { width: 100; height: 100\n"
                     "  VisualItemPropertyObserver { objectName: \"observer\"; x: 20; y: 20\n"
                     "    width: 40; height: 10; transformOrigin: Item.TopLeft; observingEnabled: false\n"
                     "    property int reports: 0; onObservingEnabledChanged: reports++\n"
                     "    Rectangle { anchors.fill: parent; color: \"red\" } } }\n");
    QQuickItem* observer = findItem(root, "observer");
    ZTNode* node = engine->nodeOf(observer);
    ASSERT_NE(node, nullptr);
    ASSERT_TRUE(engine->stepFramesUntil([] { return isRed(55, 25); }));
    const int reports = observer->property("reports").toInt();

    observer->setRotation(90);
    observer->setX(30);
    engine->stepFrames(1);
    EXPECT_FLOAT_EQ(node->getRotation(), 0.0f);
    EXPECT_TRUE(isRed(65, 25));
    EXPECT_EQ(engine->pixel(35, 45).lightness(), 0);

    // Reported also when it stays as it was.
    observer->setProperty("observingEnabled", false);
    EXPECT_EQ(observer->property("reports").toInt(), reports + 1);
    observer->setProperty("observingEnabled", true);
    observer->setRotation(45);
    engine->stepFrames(1);
    EXPECT_FLOAT_EQ(node->getRotation(), 45.0f);
}

TEST(IgnoreParentRotation, theNodeKeepsItsLevelUnderATurnedParentUntilItIsSwitchedOff)
{
    QQuickItem* root =
        engine->load("import QtQuick 2.15\nimport Zanth 1.0\nItem { width: 100; height: 100\n"
                     "  Item { objectName: \"turner\"; x: 50; y: 50; rotation: 90\n"
                     "    VisualItemPropertyObserver { objectName: \"steady\"; ignoreParentRotation: true\n"
                     "      property int reports: 0; onIgnoreParentRotationChanged: reports++\n"
                     "      Rectangle { width: 40; height: 4; color: \"red\" } } } }\n");
    QQuickItem* steady = findItem(root, "steady");
    ZTNode* node = engine->nodeOf(steady);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->getRotationInversionNode(), engine->nodeOf(findItem(root, "turner")));
    // The bar stays level to the right of the turned parent's origin.
    ASSERT_TRUE(engine->stepFramesUntil([] { return isRed(80, 51); }));
    EXPECT_EQ(engine->pixel(48, 80).lightness(), 0);

    steady->setProperty("ignoreParentRotation", false);
    engine->stepFrames(1);
    EXPECT_EQ(steady->property("reports").toInt(), 1);
    EXPECT_EQ(node->getRotationInversionNode(), nullptr);
    EXPECT_EQ(engine->pixel(80, 51).lightness(), 0);
    EXPECT_TRUE(isRed(48, 80));
}

TEST(IgnoreParentRotation, aValueSetBeforeCompletionIsNotReportedAndTakesEffectWhenTheNodeIsMade)
{
    QQuickItem* root = engine->load("import QtQuick 2.15\nItem { width: 100; height: 100\n"
                                    "  Rectangle { objectName: \"turner\"; rotation: 30 } }\n");
    QQuickItem* turner = findItem(root, "turner");
    QQmlComponent component(engine->view().engine());
    component.setData("import Zanth 1.0\nVisualItemPropertyObserver { }\n", QUrl());
    QObject* observer = component.beginCreate(engine->view().rootContext());
    ASSERT_NE(observer, nullptr) << component.errorString().toStdString();
    QSignalSpy reports(observer, SIGNAL(ignoreParentRotationChanged()));
    observer->setProperty("ignoreParentRotation", true);
    observer->setParent(turner);
    qobject_cast<QQuickItem*>(observer)->setParentItem(turner);
    component.completeCreate();
    EXPECT_EQ(reports.count(), 0);

    engine->wrapper().createSceneGraphTreeFromQmlTree(observer);
    ZTNode* node = engine->nodeOf(qobject_cast<QQuickItem*>(observer));
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->getRotationInversionNode(), engine->nodeOf(turner));
    EXPECT_EQ(reports.count(), 0);
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
