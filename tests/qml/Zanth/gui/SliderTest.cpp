// The slider's value text, its press and double-click rules and its vertical form, on the engine started
// in the test process with mouse events sent to its view.

#include <gtest/gtest.h>

#include "InProcessEngine.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QQuickItem>
#include <QStyleHints>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

namespace {

InProcessEngine* engine = nullptr;

// A 240-point slider at (0, 0): the knob's centre runs from 14 to 226 for values 0 to 100.
const char* const kSliders = R"(import QtQuick 2.15
import Zanth 1.0
Item {
    width: 400; height: 300
    Slider { objectName: "slider"; width: 240; maximumValue: 100; stepSize: 1; defaultValue: 50 }
    // One unit a point: the knob's centre runs from 14 to 226 for values 0 to 212.
    Slider { objectName: "fine"; y: 100; width: 240; maximumValue: 212; stepSize: 1; defaultValue: 100 }
    Slider {
        objectName: "vertical"; x: 300; y: 20; height: 240
        orientation: Qt.Vertical; maximumValue: 10
    }
}
)";

void mouse(QEvent::Type type, const QPointF& point)
{
    QMouseEvent event(type, point, point, point, Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&engine->view(), &event);
}

void click(const QPointF& point)
{
    mouse(QEvent::MouseButtonPress, point);
    mouse(QEvent::MouseButtonRelease, point);
}

// Qt 6's order: press, release, press, double click, release.
void doubleClick(const QPointF& point)
{
    click(point);
    mouse(QEvent::MouseButtonPress, point);
    mouse(QEvent::MouseButtonDblClick, point);
    mouse(QEvent::MouseButtonRelease, point);
}

void waitPastDoubleClickInterval()
{
    std::this_thread::sleep_for(
        std::chrono::milliseconds(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 50));
}

QString valueText(QQuickItem* root)
{
    return findItem(root, "sliderValueText")->property("text").toString();
}

// One slider for every order in which a QML file may list these declarations, each with a target
// item bound to it once every slider is complete.
QByteArray slidersInEveryOrder(std::vector<QByteArray> declarations)
{
    std::sort(declarations.begin(), declarations.end());
    QByteArray qml = "import QtQuick 2.15\nimport Zanth 1.0\nItem {\n    width: 400; height: 300\n";
    int n = 0;
    do {
        qml += "    Slider { objectName: \"s" + QByteArray::number(n) + "\"; width: 240; ";
        for (const QByteArray& declaration : declarations)
            qml += declaration + "; ";
        qml += "}\n";
        qml += "    Item { objectName: \"t" + QByteArray::number(n++) + "\"; property real amount: -1 }\n";
    } while (std::next_permutation(declarations.begin(), declarations.end()));
    qml += "    Component.onCompleted: {\n"
           "        for (var i = 0; i < children.length; i += 2)\n"
           "            children[i].addBinding(children[i + 1], \"amount\")\n"
           "    }\n}\n";
    return qml;
}

// Each slider's value, and its bound target's, in the order the sliders were declared.
std::vector<std::pair<double, double>> valuesAndTargets(QQuickItem* root)
{
    std::vector<std::pair<double, double>> result;
    for (int n = 0;; ++n) {
        QQuickItem* slider = findItem(root, QByteArray("s" + QByteArray::number(n)).constData());
        QQuickItem* target = findItem(root, QByteArray("t" + QByteArray::number(n)).constData());
        if (!slider || !target)
            return result;
        result.emplace_back(slider->property("value").toDouble(), target->property("amount").toDouble());
    }
}

} // namespace

TEST(Slider, valuesDeclaredAtCreationAreKeptWhateverTheOrderOfTheDeclarations)
{
    QQuickItem* root = engine->load(slidersInEveryOrder(
        {"minimumValue: 10", "maximumValue: 100", "stepSize: 5", "value: 40", "inverted: true"}));
    ASSERT_NE(root, nullptr);
    const auto values = valuesAndTargets(root);
    ASSERT_EQ(values.size(), 120u);
    for (size_t n = 0; n < values.size(); ++n) {
        EXPECT_EQ(values[n].first, 40.0) << "slider s" << n;
        EXPECT_EQ(values[n].second, 40.0) << "the model of slider s" << n;
        QQuickItem* slider = findItem(root, QByteArray("s" + QByteArray::number(n)).constData());
        EXPECT_EQ(slider->property("minimumValue").toDouble(), 10.0);
        EXPECT_EQ(slider->property("maximumValue").toDouble(), 100.0);
        EXPECT_TRUE(slider->property("inverted").toBool());
    }

    // A declared value off the step takes the nearest step, in the slider and its model alike.
    root = engine->load(slidersInEveryOrder({"maximumValue: 10", "stepSize: 3", "value: 4"}));
    for (const auto& [value, target] : valuesAndTargets(root)) {
        EXPECT_EQ(value, 3.0);
        EXPECT_EQ(target, 3.0);
    }
    // The default stands for the value until one is set.
    root = engine->load(slidersInEveryOrder({"maximumValue: 100", "defaultValue: 60", "minimumValue: 50"}));
    for (const auto& [value, target] : valuesAndTargets(root)) {
        EXPECT_EQ(value, 60.0);
        EXPECT_EQ(target, 60.0);
    }
}

TEST(Slider, aValueOutsideTheRangeIsBoundedInTheSliderItsModelAndItsTargetsAlike)
{
    QQuickItem* root = engine->load(R"(import QtQuick 2.15
import Zanth 1.0
Item {
    width: 400; height: 300
    Slider { id: slider; objectName: "slider"; width: 240 }
    Item { id: target; objectName: "target"; property real amount: -1 }
    Component.onCompleted: slider.addBinding(target, "amount")
}
)");
    QQuickItem* slider = findItem(root, "slider");
    QQuickItem* target = findItem(root, "target");
    for (const double wanted : {5.0, 9.0, 0.5, -3.0, -8.0, 1.0}) {
        slider->setProperty("value", wanted);
        const double bounded = std::clamp(wanted, 0.0, 1.0);
        EXPECT_EQ(slider->property("value").toDouble(), bounded) << "set to " << wanted;
        EXPECT_EQ(target->property("amount").toDouble(), bounded) << "set to " << wanted;
    }
    // A range that shrinks below the value bounds it; the value set is kept, so it shows again once the
    // range holds it.
    slider->setProperty("maximumValue", 10);
    slider->setProperty("value", 8);
    slider->setProperty("maximumValue", 4);
    EXPECT_EQ(slider->property("value").toDouble(), 4.0);
    EXPECT_EQ(target->property("amount").toDouble(), 4.0);
    slider->setProperty("maximumValue", 10);
    EXPECT_EQ(slider->property("value").toDouble(), 8.0);
    EXPECT_EQ(target->property("amount").toDouble(), 8.0);
}

TEST(Slider, aValueBoundByTheGameKeepsFollowingItsSourceAfterTheRangeBoundedIt)
{
    QQuickItem* root = engine->load(R"(import QtQuick 2.15
import Zanth 1.0
Item {
    width: 400; height: 300
    Item { id: source; objectName: "source"; property real amount: 3; property real highest: 10 }
    Slider { objectName: "slider"; width: 240; maximumValue: source.highest; value: source.amount }
}
)");
    QQuickItem* slider = findItem(root, "slider");
    QQuickItem* source = findItem(root, "source");
    EXPECT_EQ(slider->property("value").toDouble(), 3.0);
    source->setProperty("amount", 20);
    EXPECT_EQ(slider->property("value").toDouble(), 10.0);
    source->setProperty("amount", 5);
    EXPECT_EQ(slider->property("value").toDouble(), 5.0) << "the binding is still there";
    source->setProperty("highest", 2);
    EXPECT_EQ(slider->property("value").toDouble(), 2.0);
    source->setProperty("highest", 10);
    source->setProperty("amount", 7);
    EXPECT_EQ(slider->property("value").toDouble(), 7.0) << "the binding outlived the range's change";
}

TEST(Slider, theValueTextShowsTheStepsDecimalsOnceAFractionWasSeenUntilTheRangeOrStepChanges)
{
    QQuickItem* root = engine->load(kSliders);
    QQuickItem* slider = findItem(root, "slider");
    slider->setProperty("stepSize", 0.25);
    slider->setProperty("value", 2);
    EXPECT_EQ(valueText(slider), "2");
    slider->setProperty("value", 2.5);
    EXPECT_EQ(valueText(slider), "2.50");
    slider->setProperty("value", 3);
    EXPECT_EQ(valueText(slider), "3.00");
    slider->setProperty("stepSize", 0.5);
    EXPECT_EQ(valueText(slider), "3");
    slider->setProperty("stepSize", 0);
    slider->setProperty("value", 1.23456);
    EXPECT_EQ(valueText(slider), "1.23") << "without a step, two decimals at most";
}

TEST(Slider, aPressNearTheKnobKeepsItAFarOneJumpsAndADoubleClickResetsOnlyWhenAllowed)
{
    QQuickItem* root = engine->load(kSliders);
    QQuickItem* slider = findItem(root, "slider");
    ASSERT_EQ(slider->property("value").toDouble(), 50.0);
    waitPastDoubleClickInterval();
    click(QPointF(120 + 13, 14));
    EXPECT_EQ(slider->property("value").toDouble(), 50.0) << "within half a knob of the knob";
    waitPastDoubleClickInterval();
    click(QPointF(14 + 2.12 * 80, 14));
    EXPECT_EQ(slider->property("value").toDouble(), 80.0);

    waitPastDoubleClickInterval();
    doubleClick(QPointF(14 + 2.12 * 80, 14));
    EXPECT_EQ(slider->property("value").toDouble(), 50.0);

    slider->setProperty("useResetButton", false);
    slider->setProperty("value", 80);
    waitPastDoubleClickInterval();
    doubleClick(QPointF(14 + 2.12 * 80, 14));
    EXPECT_EQ(slider->property("value").toDouble(), 80.0);
}

TEST(Slider, aDragMovesTheValueFromTheFirstPointOnRoundedToTheStep)
{
    QQuickItem* root = engine->load(kSliders);
    QQuickItem* fine = findItem(root, "fine");
    const QPointF knob(14 + 100, 100 + 14);
    mouse(QEvent::MouseButtonPress, knob);
    for (int dx = 1; dx <= 5; ++dx) {
        mouse(QEvent::MouseMove, knob + QPointF(dx, 0));
        EXPECT_EQ(fine->property("value").toDouble(), 100.0 + dx) << "after " << dx << " points";
    }
    mouse(QEvent::MouseButtonRelease, knob + QPointF(5, 0));
    EXPECT_EQ(fine->property("value").toDouble(), 105.0);

    fine->setProperty("stepSize", 10);
    fine->setProperty("value", 100);
    mouse(QEvent::MouseButtonPress, knob);
    mouse(QEvent::MouseMove, knob + QPointF(3, 0));
    EXPECT_EQ(fine->property("value").toDouble(), 100.0);
    mouse(QEvent::MouseMove, knob + QPointF(7, 0));
    EXPECT_EQ(fine->property("value").toDouble(), 110.0);
    mouse(QEvent::MouseMove, knob + QPointF(-6, 0));
    EXPECT_EQ(fine->property("value").toDouble(), 90.0);
    mouse(QEvent::MouseButtonRelease, knob + QPointF(-6, 0));
    EXPECT_EQ(fine->property("value").toDouble(), 90.0);

    // The release's point ends the drag even when the last move before it never came.
    fine->setProperty("stepSize", 1);
    fine->setProperty("value", 100);
    mouse(QEvent::MouseButtonPress, knob);
    mouse(QEvent::MouseMove, knob + QPointF(2, 0));
    mouse(QEvent::MouseButtonRelease, knob + QPointF(5, 0));
    EXPECT_EQ(fine->property("value").toDouble(), 105.0);
}

TEST(Slider, aVerticalSliderIsTurnedSoThatItsValueGrowsUpwards)
{
    QQuickItem* root = engine->load(kSliders);
    QQuickItem* vertical = findItem(root, "vertical");
    EXPECT_EQ(vertical->width(), 28.0) << "its default thickness is the knob's";
    QQuickItem* knob = findItem(vertical, "sliderHandle");
    vertical->setProperty("value", 10);
    // The knob glides there in 150 ms of frame time.
    for (int frame = 0; frame < 30; ++frame) {
        std::this_thread::sleep_for(std::chrono::milliseconds(16));
        engine->stepFrames(1);
    }
    const QPointF top = knob->mapToItem(root, QPointF(14, 14));
    EXPECT_NEAR(top.x(), 314, 0.5);
    EXPECT_NEAR(top.y(), 34, 0.5);
    waitPastDoubleClickInterval();
    click(QPointF(314, 20 + 240 - 14 - 21.2 * 3));
    EXPECT_EQ(vertical->property("value").toDouble(), 3.0);
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
