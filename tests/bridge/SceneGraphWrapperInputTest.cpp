// Touches and keys as the GL view hands them on, reaching QML through the wrapper.

#include <gtest/gtest.h>

#include "GLViewFinger.h"
#include "InProcessEngine.h"
#include "MessageLog.h"
#include "QtPrinters.h"

#include "cocoa/ZTSet.h"
#include "platform/linux/DesktopGLView.h"
#include "platform/linux/ZTEGLView.h"
#include "scenegraphwrapper.h"
#include "touch_dispatcher/ZTTouch.h"

#include <QGuiApplication>
#include <QQuickItem>
#include <QStyleHints>
#include <QWheelEvent>

#include <chrono>
#include <thread>

using namespace zanth2d;

namespace {

InProcessEngine* engine = nullptr;

using Finger = GLViewFinger;

QStringList logOf(QQuickItem* root)
{
    return root->property("log").toStringList();
}

const char* const kClickable = R"(import QtQuick 2.15
Item {
    id: root
    width: 200; height: 200
    property var log: []
    function note(text) { log.push(text); log = log }
    MouseArea {
        x: 10; y: 10; width: 50; height: 50
        onPressed: (mouse) => note("pressed " + mouse.x + "," + mouse.y)
        onClicked: note("clicked")
        onDoubleClicked: note("double")
    }
    Rectangle {
        id: handle
        objectName: "handle"
        x: 100; y: 100; width: 20; height: 20
        MouseArea { anchors.fill: parent; drag.target: handle; drag.threshold: 0 }
    }
}
)";

} // namespace

TEST(MouseFromTouches, oneTapGivesExactlyOneClickAtTheRoundedPoint)
{
    QQuickItem* root = engine->load(kClickable);
    waitPastDoubleClickInterval();
    Finger finger;
    finger.tap(20.5f, 29.4f);
    EXPECT_EQ(logOf(root), QStringList({"pressed 11,19", "clicked"}));
}

TEST(MouseFromTouches, twoQuickTapsGiveOneDoubleClickAndAThirdIsAPlainClickAgain)
{
    QQuickItem* root = engine->load(kClickable);
    waitPastDoubleClickInterval();
    Finger finger;
    finger.tap(20, 20);
    finger.tap(20, 20);
    finger.tap(20, 20);
    EXPECT_EQ(logOf(root), QStringList({"pressed 10,10", "clicked", "pressed 10,10", "double",
                                        "pressed 10,10", "clicked"}));
}

TEST(MouseFromTouches, tapsFurtherApartThanTheDoubleClickIntervalAreTwoClicks)
{
    QQuickItem* root = engine->load(kClickable);
    waitPastDoubleClickInterval();
    Finger finger;
    finger.tap(20, 20);
    waitPastDoubleClickInterval();
    finger.tap(20, 20);
    EXPECT_EQ(logOf(root), QStringList({"pressed 10,10", "clicked", "pressed 10,10", "clicked"}));
}

TEST(MouseFromTouches, aDragMovesTheDraggedItemAndItsPixels)
{
    QQuickItem* root = engine->load(kClickable);
    QQuickItem* handle = root->findChild<QQuickItem*>("handle");
    Finger finger;
    finger.down(110, 110);
    finger.move(130, 115);
    finger.move(150, 140);
    finger.up();
    // The drag starts with the first move and follows the finger from there.
    EXPECT_EQ(handle->x(), 120.0);
    EXPECT_EQ(handle->y(), 125.0);
    engine->stepFrames(1);
    EXPECT_GT(engine->pixel(130, 135).lightness(), 200);
    EXPECT_EQ(engine->pixel(105, 105).lightness(), 0);
}

TEST(MouseFromTouches, aCancelledTouchReleasesLikeAnEndedOne)
{
    QQuickItem* root = engine->load(kClickable);
    waitPastDoubleClickInterval();
    Finger finger;
    finger.down(20, 20);
    finger.cancel();
    EXPECT_EQ(logOf(root), QStringList({"pressed 10,10", "clicked"}));
}

TEST(TouchEvents, touchPointsReachMultiTouchItemsWithoutWarningsAndOnlyTheFirstFingerDrivesTheMouse)
{
    QQuickItem* root = engine->load(R"(import QtQuick 2.15
Item {
    width: 200; height: 200
    property var log: []
    function note(text) { log.push(text); log = log }
    MultiPointTouchArea {
        anchors.fill: parent
        mouseEnabled: false
        onPressed: (points) => note("touch pressed " + points.length)
        onReleased: (points) => note("touch released " + points.length)
    }
    MouseArea {
        anchors.fill: parent
        onPressed: note("mouse pressed")
        onReleased: note("mouse released")
    }
}
)");
    MessageLog log;
    Finger first;
    Finger second;
    first.down(20, 20);
    second.down(80, 80);
    second.up();
    first.up();
    EXPECT_EQ(logOf(root), QStringList({"touch pressed 1", "mouse pressed", "touch pressed 1",
                                        "touch released 1", "touch released 1", "mouse released"}));
    EXPECT_FALSE(log.contains("activePoints")) << log.lines().join('\n').toStdString();
}

TEST(KeyEvents, keysReachTheFocusedItemWithTheirModifiers)
{
    QQuickItem* root = engine->load(R"(import QtQuick 2.15
Item {
    width: 100; height: 100
    property var log: []
    Item {
        focus: true
        Keys.onPressed: (event) => { log.push("down " + event.key + " " + event.modifiers); log = log }
        Keys.onReleased: (event) => { log.push("up " + event.key); log = log }
    }
}
)");
    engine->wrapper().keyPressed(Qt::Key_A, Qt::ControlModifier);
    engine->wrapper().keyReleased(Qt::Key_A, Qt::ControlModifier);
    engine->wrapper().keyBackClicked();
    EXPECT_EQ(logOf(root),
              QStringList({QString("down %1 %2").arg(Qt::Key_A).arg(int(Qt::ControlModifier)),
                           QString("up %1").arg(Qt::Key_A), QString("down %1 0").arg(Qt::Key_Back)}));
}

TEST(KeyEvents, wheelInputIsDropped)
{
    QQuickItem* root = engine->load(R"(import QtQuick 2.15
Item {
    width: 100; height: 100
    property int wheels: 0
    MouseArea { anchors.fill: parent; onWheel: wheels++ }
}
)");
    // The scene takes a wheel event given to its window, so the count below stays put only because the
    // wheel is dropped on its way there.
    QWheelEvent wheel(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&engine->view(), &wheel);
    ASSERT_EQ(root->property("wheels").toInt(), 1);

    // As the GL view hands a wheel on, vertical and horizontal, then frames for anything queued.
    DesktopGLView::sharedDesktopGLView()->scrollWheel(10, 10, 0, 3);
    DesktopGLView::sharedDesktopGLView()->scrollWheel(10, 10, 3, 0);
    engine->wrapper().scrollWheel(10, 10, 3, false);
    engine->stepFrames(3);
    EXPECT_EQ(root->property("wheels").toInt(), 1);
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
