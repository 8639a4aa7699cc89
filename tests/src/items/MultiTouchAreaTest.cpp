// Touch gestures on a MultiTouchArea inside the running engine: one finger through the GL view as the
// platform delivers it, two fingers through Qt's test touch device.

#include <gtest/gtest.h>

#include "GLViewFinger.h"
#include "InProcessEngine.h"
#include "QtPrinters.h"

#include "cocoa/ZTSet.h"
#include "platform/linux/ZTEGLView.h"
#include "touch_dispatcher/ZTTouch.h"

#include <QGuiApplication>
#include <QStyleHints>
#include <QTest>

#include <chrono>
#include <thread>

using namespace zanth2d;

namespace {

InProcessEngine* engine = nullptr;

struct Finger : GLViewFinger
{
    Finger() : GLViewFinger([] { engine->stepFrames(1); }) {}
};

// One device for the process, going with the application.
QPointingDevice* touchDevice()
{
    static QPointingDevice* device = nullptr;
    if (!device) {
        device = QTest::createTouchDevice();
        device->setParent(QCoreApplication::instance());
    }
    return device;
}

QStringList logOf(QQuickItem* root)
{
    return root->property("log").toStringList();
}

const char* const kArea = R"(import QtQuick 2.15
import Zanth 1.0
Item {
    id: root
    width: 400; height: 300
    property var log: []
    function note(text) { log.push(text); log = log }
    Rectangle { id: box; objectName: "box"; x: 0; y: 100; width: 40; height: 40; color: "red" }
    MultiTouchArea {
        objectName: "area"
        anchors.fill: parent
        multiTouch.target: box
        multiTouch.dragAxis: MultiTouch.XAxis
        multiTouch.minimumX: 0
        multiTouch.maximumX: 200
        multiTouch.maximumScale: 4
        multiTouch.minimumScale: 0.25
        multiTouch.rotationMode: MultiTouch.Infinity
        onPressed: note("pressed")
        onReleased: note("released")
        onClicked: note("clicked")
        onPositionChanged: note("position")
        onPinchStarted: note("pinchStarted")
        onPinchUpdated: (event) => note("pinch " + event.scale.toFixed(2) + " " + event.rotation.toFixed(0))
        onPinchFinished: note("pinchFinished")
        onSwipeRight: note("swipeRight")
        onSwipe: (angle) => note("swipe " + angle.toFixed(0))
    }
})";

} // namespace

TEST(MultiTouchAreaGestures, aTapGivesPressedReleasedClickedInOrderAndNoMove)
{
    QQuickItem* root = engine->load(kArea);
    waitPastDoubleClickInterval();
    Finger finger;
    finger.down(50, 50);
    finger.up();
    EXPECT_EQ(logOf(root), QStringList({"pressed", "released", "clicked"}));
}

TEST(MultiTouchAreaGestures, aDragLimitedInXStopsAtTheMaximumAndDoesNotClick)
{
    QQuickItem* root = engine->load(kArea);
    QQuickItem* box = findItem(root, "box");
    waitPastDoubleClickInterval();
    Finger finger;
    finger.down(20, 120);
    for (int x = 40; x <= 320; x += 20)
        finger.move(float(x), 120);
    EXPECT_EQ(box->x(), 200.0);
    EXPECT_EQ(box->y(), 100.0);
    const QStringList whileDragging = logOf(root);
    finger.move(330, 120);
    EXPECT_EQ(logOf(root), whileDragging) << "a clamped move reports no position";
    finger.up();
    const QStringList log = logOf(root);
    EXPECT_EQ(log.first(), "pressed");
    EXPECT_TRUE(log.contains("position"));
    EXPECT_TRUE(log.contains("released"));
    EXPECT_FALSE(log.contains("clicked"));
    EXPECT_EQ(log.mid(log.size() - 2), QStringList({"swipeRight", "swipe 0"}));
    // The box is drawn where the drag left it.
    engine->stepFrames(2);
    EXPECT_EQ(engine->pixel(220, 120), QColor(Qt::red));
    EXPECT_NE(engine->pixel(20, 120), QColor(Qt::red));
}

TEST(MultiTouchAreaGestures, twoFingersReportScaleAndRotationAndFinishThePinch)
{
    QQuickItem* root = engine->load(kArea);
    QQuickItem* box = findItem(root, "box");
    QPointingDevice* device = touchDevice();
    QQuickView& view = engine->view();
    QTest::touchEvent(&view, device).press(0, QPoint(100, 150)).press(1, QPoint(200, 150));
    // Past the drag threshold 60 apart, then 200 apart, then turned by 90 degrees around the centre.
    QTest::touchEvent(&view, device).move(0, QPoint(120, 150)).move(1, QPoint(180, 150));
    QTest::touchEvent(&view, device).move(0, QPoint(50, 150)).move(1, QPoint(250, 150));
    QTest::touchEvent(&view, device).move(0, QPoint(150, 50)).move(1, QPoint(150, 250));
    QTest::touchEvent(&view, device).release(0, QPoint(150, 50)).release(1, QPoint(150, 250));
    const QStringList log = logOf(root);
    EXPECT_FALSE(log.contains("pressed")) << "both fingers came down together";
    ASSERT_TRUE(log.contains("pinchStarted")) << log.join(", ").toStdString();
    EXPECT_TRUE(log.contains("pinch 3.33 0")) << log.join(", ").toStdString();
    // The fingers' line turned clockwise on the screen by 90 degrees.
    EXPECT_TRUE(log.contains("pinch 3.33 90")) << log.join(", ").toStdString();
    EXPECT_EQ(log.last(), "pinchFinished");
    EXPECT_FALSE(log.contains("released"));
    EXPECT_DOUBLE_EQ(box->scale(), 200.0 / 60.0);
    EXPECT_DOUBLE_EQ(box->rotation(), 90.0);
}

TEST(MultiTouchAreaGestures, aSwipeLongerThanTenPointsToTheLowerRightIsASwipeRight)
{
    QQuickItem* root = engine->load(kArea);
    QPointingDevice* device = touchDevice();
    QQuickView& view = engine->view();
    QTest::touchEvent(&view, device).press(0, QPoint(100, 100));
    QTest::touchEvent(&view, device).move(0, QPoint(140, 123));
    QTest::touchEvent(&view, device).release(0, QPoint(140, 123));
    const QStringList log = logOf(root);
    ASSERT_GE(log.size(), 2);
    EXPECT_EQ(log.mid(log.size() - 2), QStringList({"swipeRight", "swipe 30"}));

    root = engine->load(kArea);
    QTest::touchEvent(&view, device).press(0, QPoint(100, 100));
    QTest::touchEvent(&view, device).release(0, QPoint(106, 108));
    EXPECT_FALSE(logOf(root).join(",").contains("swipe")) << "a swipe of length 10 is none";
}

TEST(MultiTouchAreaGestures, aRejectedPinchStopsTheGestureAndItsReleaseClicks)
{
    QQuickItem* root = engine->load(QByteArray(kArea).replace(
        "onPinchStarted: note(\"pinchStarted\")",
        "onPinchStarted: (event) => { note(\"pinchStarted\"); event.accepted = false }"));
    QPointingDevice* device = touchDevice();
    QQuickView& view = engine->view();
    QTest::touchEvent(&view, device).press(0, QPoint(100, 150)).press(1, QPoint(200, 150));
    QTest::touchEvent(&view, device).move(0, QPoint(60, 150)).move(1, QPoint(240, 150));
    QTest::touchEvent(&view, device).move(0, QPoint(20, 150)).move(1, QPoint(280, 150));
    QTest::touchEvent(&view, device).release(0, QPoint(20, 150)).release(1, QPoint(280, 150));
    EXPECT_EQ(logOf(root), QStringList({"pinchStarted", "released", "clicked"}));
    EXPECT_DOUBLE_EQ(findItem(root, "box")->scale(), 1.0);
}

TEST(MultiTouchAreaGestures, mouseEventsStandForOneTouchOnlyUntilTheFirstRealTouch)
{
    QQuickItem* root = engine->load(kArea);
    QQuickView& view = engine->view();
    auto mouse = [&](QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, at, at, Qt::LeftButton, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(&view, &event);
    };
    mouse(QEvent::MouseButtonPress, {50, 50}, Qt::LeftButton);
    mouse(QEvent::MouseMove, {90, 50}, Qt::LeftButton);
    mouse(QEvent::MouseMove, {120, 50}, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, {120, 50}, Qt::NoButton);
    EXPECT_EQ(logOf(root), QStringList({"pressed", "position", "released"}));

    QTest::touchEvent(&view, touchDevice()).press(0, QPoint(10, 10));
    QTest::touchEvent(&view, touchDevice()).release(0, QPoint(10, 10));
    const QStringList afterTouch = logOf(root);
    mouse(QEvent::MouseButtonPress, {50, 50}, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, {50, 50}, Qt::NoButton);
    EXPECT_EQ(logOf(root), afterTouch);
}

// The area of kArea switched off by its own pressed handler, in one of the two ways, while the root's
// switchOff holds.
QByteArray areaSwitchingItselfOff(const char* how)
{
    return QByteArray(kArea)
        .replace("property var log: []", "property var log: []\n    property bool switchOff: true")
        .replace("onPressed: note(\"pressed\")",
                 QByteArray("onPressed: { note(\"pressed\"); if (root.switchOff) ") + how + " }");
}

void sendMouse(QEvent::Type type, QPointF at)
{
    QMouseEvent event(type, at, at, at, Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&engine->view(), &event);
}

TEST(MultiTouchAreaGestures, anAreaThatHidesOrSwitchesItselfOffWhenPressedGivesThatTouchNoReleaseOrClick)
{
    for (const char* how : {"visible = false", "enabled = false", "parent = null"}) {
        for (const bool realTouch : {false, true}) {
            QQuickItem* root = engine->load(areaSwitchingItselfOff(how));
            QQuickItem* area = findItem(root, "area");
            const auto tap = [&] {
                if (realTouch) {
                    QTest::touchEvent(&engine->view(), touchDevice()).press(0, QPoint(50, 50));
                    QTest::touchEvent(&engine->view(), touchDevice()).move(0, QPoint(52, 50));
                    QTest::touchEvent(&engine->view(), touchDevice()).release(0, QPoint(52, 50));
                } else {
                    sendMouse(QEvent::MouseButtonPress, {50, 50});
                    sendMouse(QEvent::MouseMove, {52, 50});
                    sendMouse(QEvent::MouseButtonRelease, {52, 50});
                }
            };
            tap();
            EXPECT_EQ(logOf(root), QStringList({"pressed"}))
                << how << (realTouch ? " by touch" : " by mouse");

            // Switched on again, the next touch is a whole one.
            root->setProperty("log", QStringList());
            area->setProperty("visible", true);
            area->setProperty("enabled", true);
            area->setParentItem(root);
            root->setProperty("switchOff", false);
            tap();
            EXPECT_EQ(logOf(root), QStringList({"pressed", "released", "clicked"}))
                << how << (realTouch ? " by touch" : " by mouse");
        }
    }
}

TEST(MultiTouchAreaGestures, aDragOnAnAreaHiddenOrSwitchedOffMidwayEndsThereAndTheNextPressStartsAfresh)
{
    for (const char* switchName : {"enabled", "visible"}) {
        QQuickItem* root = engine->load(kArea);
        QQuickItem* area = findItem(root, "area");
        QQuickItem* box = findItem(root, "box");
        QObject* settings = area->property("multiTouch").value<QObject*>();
        waitPastDoubleClickInterval();
        Finger finger;
        finger.down(20, 120);
        finger.move(60, 120);
        finger.move(80, 120);
        ASSERT_TRUE(settings->property("active").toBool());
        const double draggedTo = box->x();
        EXPECT_GT(draggedTo, 0.0);
        area->setProperty(switchName, false);
        EXPECT_FALSE(settings->property("active").toBool()) << "the gesture ended with " << switchName;
        const QStringList beforeSwitch = logOf(root);
        finger.move(120, 120);
        finger.up();
        EXPECT_EQ(box->x(), draggedTo) << switchName;
        EXPECT_EQ(logOf(root), beforeSwitch) << "no release for the touch, " << switchName;

        area->setProperty(switchName, true);
        root->setProperty("log", QStringList());
        waitPastDoubleClickInterval();
        finger.down(200, 50);
        finger.up();
        EXPECT_EQ(logOf(root), QStringList({"pressed", "released", "clicked"})) << switchName;
    }
}

TEST(MultiTouchAreaSettings, theThreeNamesShareOneSettingsObjectAndOffsetsMoveAnActiveTarget)
{
    QQuickItem* root = engine->load(kArea);
    QObject* area = root->findChild<QObject*>("area");
    QObject* multiTouch = area->property("multiTouch").value<QObject*>();
    EXPECT_EQ(area->property("pinch").value<QObject*>(), multiTouch);
    EXPECT_EQ(area->property("drag").value<QObject*>(), multiTouch);
    EXPECT_EQ(multiTouch->property("dragAxis").toInt(), 1);
    EXPECT_EQ(multiTouch->property("maximumY").toDouble(), double(std::numeric_limits<float>::max()));

    // Each press moves the target by the offset.
    QQuickItem* box = findItem(root, "box");
    multiTouch->setProperty("dragOffsetX", 30.0);
    QTest::touchEvent(&engine->view(), touchDevice()).press(0, QPoint(10, 10));
    EXPECT_EQ(box->x(), 30.0);
    QTest::touchEvent(&engine->view(), touchDevice()).release(0, QPoint(10, 10));
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
