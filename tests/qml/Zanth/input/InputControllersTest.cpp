// The joystick and the two-axis controller on the engine started in the test process, driven by touches
// through the GL view and by keys through the wrapper.

#include <gtest/gtest.h>

#include "GLViewFinger.h"
#include "InProcessEngine.h"

#include "cocoa/ZTSet.h"
#include "platform/linux/ZTEGLView.h"
#include "touch_dispatcher/ZTTouch.h"

#include <QGuiApplication>
#include <QJSValue>
#include <QKeyEvent>
#include <QQmlEngine>
#include <QStyleHints>

#include <chrono>
#include <thread>

using namespace zanth2d;

namespace {

InProcessEngine* engine = nullptr;

struct Finger : GLViewFinger
{
    Finger() : GLViewFinger([] { engine->stepFrames(1); }) {}
};

} // namespace

TEST(JoystickControllerHUD, outputsFollowTheFingerWithinTheRadiusAndReleaseCentresTheThumb)
{
    QQuickItem* root = engine->load(R"(import QtQuick 2.15
import Zanth 1.0
Item {
    width: 300; height: 200
    JoystickControllerHUD { objectName: "joystick"; x: 100; y: 50 }
})");
    QQuickItem* joystick = findItem(root, "joystick");
    QQuickItem* thumb = findItem(root, "thumbImage");
    ASSERT_EQ(joystick->width(), 100.0);
    ASSERT_EQ(thumb->width(), 50.0);
    waitPastDoubleClickInterval();
    Finger finger;
    finger.down(150, 100);
    finger.move(170, 100);
    finger.move(250, 100);
    EXPECT_DOUBLE_EQ(joystick->property("controllerXPosition").toDouble(), 1.0);
    EXPECT_DOUBLE_EQ(joystick->property("controllerYPosition").toDouble(), 0.0);
    EXPECT_DOUBLE_EQ(thumb->x(), 25.0);
    finger.up();
    EXPECT_EQ(joystick->property("controllerXPosition").toDouble(), 0.0);
    EXPECT_EQ(thumb->x(), 0.0);

    waitPastDoubleClickInterval();
    finger.down(150, 70);
    EXPECT_NEAR(joystick->property("controllerYPosition").toDouble(), 0.6, 1e-9);
    EXPECT_EQ(joystick->property("controllerXPosition").toDouble(), 0.0);
    EXPECT_DOUBLE_EQ(thumb->y(), -25.0);
    finger.up();
}

TEST(TwoAxisController, theLaterOfTwoOppositeKeysStaysInForceAndRepeatsAreIgnored)
{
    QQuickItem* root = engine->load(R"(import QtQuick 2.15
import Zanth 1.0
Item {
    width: 100; height: 100
    property var log: []
    focus: true
    Keys.forwardTo: [controller]
    TwoAxisController {
        id: controller; objectName: "controller"
        onInputActionPressed: (name) => { log.push("+" + name); log = log }
        onInputActionReleased: (name) => { log.push("-" + name); log = log }
    }
    TwoAxisController { objectName: "other" }
})");
    QObject* controller = root->findChild<QObject*>("controller");
    // The script took the key map at its start and knows every action, none pressed.
    const QJSValue component = qmlEngine(controller)->toScriptValue(controller);
    const QJSValue script = component.property("script").callWithInstance(component);
    EXPECT_EQ(script.property("keyMap").property("fire").toInt(), int(Qt::Key_Return));
    EXPECT_TRUE(script.property("actions").hasOwnProperty("down"));
    EXPECT_FALSE(script.property("actions").property("down").toBool());
    SceneGraphWrapper& wrapper = engine->wrapper();
    wrapper.keyPressed(Qt::Key_Left, 0);
    wrapper.keyPressed(Qt::Key_Right, 0);
    wrapper.keyReleased(Qt::Key_Left, 0);
    EXPECT_EQ(controller->property("xAxis").toDouble(), 1.0);
    wrapper.keyReleased(Qt::Key_Right, 0);
    EXPECT_EQ(controller->property("xAxis").toDouble(), 0.0);

    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier, QString(), true);
    wrapper.keyPressed(Qt::Key_Up, 0);
    QCoreApplication::sendEvent(&engine->view(), &repeat);
    EXPECT_EQ(controller->property("yAxis").toDouble(), 1.0);
    QVariant upPressed;
    QMetaObject::invokeMethod(controller, "isPressed", Q_RETURN_ARG(QVariant, upPressed),
                              Q_ARG(QVariant, "up"));
    EXPECT_TRUE(upPressed.toBool());
    QMetaObject::invokeMethod(root->findChild<QObject*>("other"), "isPressed", Q_RETURN_ARG(QVariant, upPressed),
                              Q_ARG(QVariant, "up"));
    EXPECT_FALSE(upPressed.toBool()) << "each controller keeps its own pressed states";
    EXPECT_EQ(root->property("log").toStringList(),
              QStringList({"+left", "+right", "-left", "-right", "+up"}));

    controller->setProperty("enabled", false);
    wrapper.keyReleased(Qt::Key_Up, 0);
    EXPECT_EQ(controller->property("yAxis").toDouble(), 1.0) << "a disabled controller keeps its axes";
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
