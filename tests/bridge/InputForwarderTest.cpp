// The input forwarder on its own, sending into an unshown QML window: no engine, no GL.

#include <gtest/gtest.h>

#include "QtPrinters.h"

#include "inputforwarder.h"

#include "cocoa/ZTSet.h"
#include "touch_dispatcher/ZTTouch.h"

#include <QGuiApplication>
#include <QQmlComponent>
#include <QQuickItem>
#include <QQuickView>
#include <QStyleHints>

#include <memory>

using namespace zanth2d;

namespace {

const char* const kTouchAndMouse = R"(import QtQuick 2.15
Item {
    width: 200; height: 200
    property var log: []
    function note(text) { log.push(text); log = log }
    MultiPointTouchArea {
        anchors.fill: parent
        mouseEnabled: false
        onPressed: (points) => note("touch pressed")
        onUpdated: (points) => note("touch at " + points[0].x + "," + points[0].y)
        onReleased: (points) => note("touch released")
    }
    MouseArea {
        anchors.fill: parent
        hoverEnabled: false
        onPressed: note("mouse pressed")
        onPositionChanged: note("mouse moved")
        onReleased: note("mouse released")
    }
}
)";

// One touch in a set of its own, as the dispatcher hands them on.
struct Touch
{
    Touch(float x, float y) { touch->setTouchInfo(x, y), set.addObject(touch); }
    ~Touch() { touch->release(); }
    ZTTouch* touch = new ZTTouch();
    ZTSet set;
};

} // namespace

TEST(InputForwarder, aMoveOfATouchThatIsNotDownKeepsTheFingersStillAndDrivesNoMouse)
{
    QQuickView view;
    QQmlComponent component(view.engine());
    component.setData(kTouchAndMouse, QUrl());
    std::unique_ptr<QQuickItem> root(qobject_cast<QQuickItem*>(component.create()));
    ASSERT_NE(root, nullptr) << component.errorString().toStdString();
    root->setParentItem(view.contentItem());
    view.resize(200, 200);

    InputForwarder input(view);
    Touch finger(20, 20);
    Touch stranger(80, 80);
    const auto log = [&root] { return root->property("log").toStringList(); };
    input.touchesBegan(&finger.set);
    EXPECT_EQ(log(), QStringList({"touch pressed", "mouse pressed"}));
    input.touchesMoved(&stranger.set);
    EXPECT_EQ(log(), QStringList({"touch pressed", "mouse pressed", "touch at 20,20"}));
    finger.touch->setTouchInfo(30, 30);
    input.touchesMoved(&finger.set);
    input.touchesEnded(&finger.set);
    EXPECT_EQ(root->property("log").toStringList(),
              QStringList({"touch pressed", "mouse pressed", "touch at 20,20", "touch at 30,30",
                           "mouse moved", "touch released", "mouse released"}));
}

TEST(InputForwarder, aQuickSecondPressIsADoubleClickOnlyNearTheFirst)
{
    const char* const clicks = R"(import QtQuick 2.15
Item {
    width: 200; height: 200
    property var log: []
    MouseArea {
        anchors.fill: parent
        onPressed: (mouse) => { parent.log.push("press " + mouse.x); parent.log = parent.log }
        onDoubleClicked: (mouse) => { parent.log.push("double " + mouse.x); parent.log = parent.log }
    }
}
)";
    QQuickView view;
    QQmlComponent component(view.engine());
    component.setData(clicks, QUrl());
    std::unique_ptr<QQuickItem> root(qobject_cast<QQuickItem*>(component.create()));
    ASSERT_NE(root, nullptr) << component.errorString().toStdString();
    root->setParentItem(view.contentItem());
    view.resize(200, 200);
    // Long enough that a busy machine never lets the interval pass between two presses of this test.
    QGuiApplication::styleHints()->setMouseDoubleClickInterval(60000);

    InputForwarder input(view);
    const auto click = [&input](float x, float y) {
        Touch finger(x, y);
        input.touchesBegan(&finger.set);
        input.touchesEnded(&finger.set);
    };
    click(20, 20);
    click(150, 150);
    click(151, 151);
    click(60, 60);
    EXPECT_EQ(root->property("log").toStringList(),
              QStringList({"press 20", "press 150", "press 151", "double 151", "press 60"}));
}

int main(int argc, char** argv)
{
    // As the engine runs it: the unshown window never renders the frame that would release a held move.
    qputenv("QML_NO_TOUCH_COMPRESSION", "1");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
