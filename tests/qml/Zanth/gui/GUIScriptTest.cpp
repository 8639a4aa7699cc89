// Run-time bindings of the widgets: a target's property follows the widget until the binding is removed,
// one binding per target and property, and nothing from outside the widget is pasted into QML source.

#include <gtest/gtest.h>

#include "InProcessEngine.h"
#include "MessageLog.h"

#include <QQuickItem>

namespace {

InProcessEngine* engine = nullptr;

const char* const kWidgets = R"(import QtQuick 2.15
import Zanth 1.0
Item {
    width: 400; height: 400
    Slider { id: slider; objectName: "slider"; width: 200; maximumValue: 100 }
    Switch { id: toggle; objectName: "switch" }
    ColorPicker { id: picker; objectName: "picker"; y: 60; maximumValue: 255 }
    PointSelector { id: selector; objectName: "selector"; x: 200; maximumValueX: 50; maximumValueY: 50 }
    Item { id: target; objectName: "target"; property real amount; property bool on; property color tint }
    function bind(widget, property) { return widget.addBinding(target, property) }
    function bindPlainObject(widget) {
        try {
            return String(widget.addBinding({ "amount": 1 }, "amount"))
        } catch (error) {
            return "threw " + error
        }
    }
}
)";

QVariant call(QObject* object, const char* function, const QVariant& a = {}, const QVariant& b = {},
              const QVariant& c = {})
{
    QVariant result;
    const int count = c.isValid() ? 3 : b.isValid() ? 2 : a.isValid() ? 1 : 0;
    bool ok = false;
    if (count == 0)
        ok = QMetaObject::invokeMethod(object, function, Q_RETURN_ARG(QVariant, result));
    else if (count == 1)
        ok = QMetaObject::invokeMethod(object, function, Q_RETURN_ARG(QVariant, result), Q_ARG(QVariant, a));
    else if (count == 2)
        ok = QMetaObject::invokeMethod(object, function, Q_RETURN_ARG(QVariant, result), Q_ARG(QVariant, a),
                                       Q_ARG(QVariant, b));
    else
        ok = QMetaObject::invokeMethod(object, function, Q_RETURN_ARG(QVariant, result), Q_ARG(QVariant, a),
                                       Q_ARG(QVariant, b), Q_ARG(QVariant, c));
    EXPECT_TRUE(ok) << function;
    return result;
}

int bindingsOn(QObject* target)
{
    int count = 0;
    for (QObject* child : target->children())
        count += child->inherits("QQmlBind") ? 1 : 0;
    return count;
}

QVariant asVariant(QObject* object)
{
    return QVariant::fromValue(object);
}

} // namespace

TEST(GUIScript, aBoundPropertyFollowsTheWidgetUntilRemovedAndKeepsItsLastValue)
{
    QQuickItem* root = engine->load(kWidgets);
    ASSERT_NE(root, nullptr);
    QObject* slider = findItem(root, "slider");
    QObject* target = findItem(root, "target");

    EXPECT_TRUE(call(root, "bind", asVariant(slider), "amount").toBool());
    EXPECT_FALSE(call(root, "bind", asVariant(slider), "amount").toBool()) << "the same binding twice";
    EXPECT_EQ(bindingsOn(target), 1);
    slider->setProperty("value", 40);
    EXPECT_EQ(target->property("amount").toDouble(), 40.0);

    EXPECT_TRUE(call(slider, "removeBinding", asVariant(target)).toBool());
    EXPECT_FALSE(call(slider, "removeBinding", asVariant(target)).toBool());
    slider->setProperty("value", 70);
    EXPECT_EQ(target->property("amount").toDouble(), 40.0) << "detached at once";
    engine->stepFrames(1);
    EXPECT_EQ(bindingsOn(target), 0);
}

TEST(GUIScript, removingATargetsBindingsDetachesEveryPropertyOfIt)
{
    QQuickItem* root = engine->load(kWidgets);
    QObject* slider = findItem(root, "slider");
    QObject* target = findItem(root, "target");
    for (const char* property : {"amount", "x", "z"})
        EXPECT_TRUE(call(root, "bind", asVariant(slider), property).toBool()) << property;
    slider->setProperty("value", 30);
    EXPECT_EQ(target->property("amount").toDouble(), 30.0);
    EXPECT_EQ(target->property("x").toDouble(), 30.0);
    EXPECT_EQ(target->property("z").toDouble(), 30.0);

    EXPECT_TRUE(call(slider, "removeBinding", asVariant(target)).toBool());
    slider->setProperty("value", 60);
    EXPECT_EQ(target->property("amount").toDouble(), 30.0);
    EXPECT_EQ(target->property("x").toDouble(), 30.0);
    EXPECT_EQ(target->property("z").toDouble(), 30.0);
    engine->stepFrames(1);
    EXPECT_EQ(bindingsOn(target), 0);
    // Bound afresh, each property follows again.
    EXPECT_TRUE(call(root, "bind", asVariant(slider), "amount").toBool());
    EXPECT_EQ(target->property("amount").toDouble(), 60.0);
}

TEST(GUIScript, aTargetIsKnownByItselfNotByItsNameAndADestroyedOneIsForgotten)
{
    QQuickItem* root = engine->load(R"(import QtQuick 2.15
import Zanth 1.0
Item {
    id: root
    width: 400; height: 400
    property var held: []
    Slider { id: slider; objectName: "slider"; width: 200; maximumValue: 100 }
    Item { id: target; objectName: "target"; property real amount }
    Component { id: kind; Item { property real amount } }
    function bindRenamed() {
        slider.addBinding(target, "amount")
        target.objectName = "renamed"
        return slider.removeBinding(target)
    }
    function bindAndDestroy() {
        held = [kind.createObject(root)]
        slider.addBinding(held[0], "amount")
        held[0].destroy()
    }
    // The dead target as a script still holds it.
    function removeDestroyed() {
        try {
            return slider.removeBinding(held[0]) ? "removed" : "none"
        } catch (error) {
            return "threw " + error
        }
    }
    function bind(widget, property) { return widget.addBinding(target, property) }
}
)");
    ASSERT_NE(root, nullptr);
    QObject* slider = findItem(root, "slider");
    QObject* target = findItem(root, "target");
    EXPECT_TRUE(call(root, "bindRenamed").toBool()) << "a renamed target is still the bound one";
    slider->setProperty("value", 70);
    EXPECT_EQ(target->property("amount").toDouble(), 0.0) << "and its binding is gone";

    call(root, "bindAndDestroy");
    engine->stepFrames(1);
    EXPECT_EQ(call(root, "removeDestroyed").toString().toStdString(), "none");
    EXPECT_TRUE(call(root, "bind", asVariant(slider), "amount").toBool());
}

TEST(GUIScript, aPropertyNameIsNeverRunAsQmlAndAMissingOneIsRefusedWithOneLine)
{
    QQuickItem* root = engine->load(kWidgets);
    QObject* slider = findItem(root, "slider");
    QObject* target = findItem(root, "target");
    MessageLog log;
    EXPECT_FALSE(
        call(root, "bind", asVariant(slider), "amount; Component.onCompleted: console.log(\"pasted\")")
            .toBool());
    EXPECT_FALSE(call(root, "bind", asVariant(slider), "nothingLikeThis").toBool());
    // A plain script object has the property but cannot hold a binding: refused, not thrown.
    EXPECT_EQ(call(root, "bindPlainObject", asVariant(slider)).toString().toStdString(), "false");
    EXPECT_EQ(log.lines().filter("[GUIScript] ERROR:").size(), 3) << log.lines().join("\n").toStdString();
    EXPECT_FALSE(log.lines().contains("pasted"));
    EXPECT_EQ(bindingsOn(target), 0);
}

TEST(GUIScript, switchPickerAndSelectorBindEveryPropertyTheyAreGiven)
{
    QQuickItem* root = engine->load(kWidgets);
    QObject* target = findItem(root, "target");
    QObject* toggle = findItem(root, "switch");
    QObject* picker = findItem(root, "picker");
    QObject* selector = findItem(root, "selector");

    EXPECT_TRUE(call(root, "bind", asVariant(toggle), "on").toBool());
    toggle->setProperty("checked", true);
    EXPECT_TRUE(target->property("on").toBool());

    // Colour and alpha go to the same target: both are bound.
    EXPECT_TRUE(call(picker, "addBinding", asVariant(target), "tint", "opacity").toBool());
    findItem(root, "colorPickerGreen")->setProperty("value", 255);
    findItem(root, "colorPickerAlpha")->setProperty("value", 51);
    EXPECT_EQ(target->property("tint").value<QColor>().green(), 255);
    EXPECT_NEAR(target->property("opacity").toDouble(), 0.2, 1e-9);
    EXPECT_TRUE(call(picker, "removeBinding", asVariant(target)).toBool());
    findItem(root, "colorPickerGreen")->setProperty("value", 0);
    EXPECT_EQ(target->property("tint").value<QColor>().green(), 255);
    EXPECT_EQ(picker->property("green").toInt(), 255) << "the channels no longer follow their sliders";
    picker->setProperty("green", 0);
    picker->setProperty("alpha", 255);
    EXPECT_EQ(target->property("tint").value<QColor>().green(), 255) << "the colour's binding is gone too";
    EXPECT_NEAR(target->property("opacity").toDouble(), 0.2, 1e-9);
    engine->stepFrames(1);
    EXPECT_EQ(bindingsOn(target), 1) << "only the switch's is left";

    EXPECT_TRUE(call(selector, "addBinding", asVariant(target), "x", "y").toBool());
    selector->setProperty("valueX", 12);
    selector->setProperty("valueY", 34);
    EXPECT_EQ(target->property("x").toDouble(), 12.0);
    EXPECT_EQ(target->property("y").toDouble(), 34.0);
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
