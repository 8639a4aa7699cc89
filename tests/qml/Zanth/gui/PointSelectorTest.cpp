// The point selector keeps the ranges, steps and values declared for it, whatever their order.

#include <gtest/gtest.h>

#include "InProcessEngine.h"

#include <QQuickItem>

#include <algorithm>
#include <vector>

namespace {

InProcessEngine* engine = nullptr;

QQuickItem* numbered(QQuickItem* root, const char* prefix, int n)
{
    return findItem(root, QByteArray(prefix + QByteArray::number(n)).constData());
}

} // namespace

TEST(PointSelector, valuesDeclaredAtCreationAreKeptWhateverTheOrderOfTheDeclarations)
{
    // Every order of one axis's declarations, the other axis's interleaved in the reverse order.
    std::vector<QByteArray> x = {"maximumValueX: 100", "minimumValueX: 10", "stepSizeX: 5", "valueX: 30"};
    std::vector<QByteArray> y = {"maximumValueY: 200", "minimumValueY: 20", "stepSizeY: 10", "valueY: 60"};
    std::sort(x.begin(), x.end());
    QByteArray qml = "import QtQuick 2.15\nimport Zanth 1.0\nItem {\n    width: 400; height: 300\n";
    int count = 0;
    do {
        std::vector<QByteArray> yOrder = x;
        for (QByteArray& declaration : yOrder)
            declaration.replace("X:", "Y:")
                .replace("100", "200")
                .replace("10", "20")
                .replace(": 5", ": 10")
                .replace("30", "60");
        std::reverse(yOrder.begin(), yOrder.end());
        qml += "    PointSelector { objectName: \"p" + QByteArray::number(count) + "\"; ";
        for (size_t i = 0; i < x.size(); ++i)
            qml += x[i] + "; " + yOrder[i] + "; ";
        qml += "}\n";
        qml += "    Item { objectName: \"t" + QByteArray::number(count++) + "\" }\n";
    } while (std::next_permutation(x.begin(), x.end()));
    qml += "    Component.onCompleted: {\n"
           "        for (var i = 0; i < children.length; i += 2)\n"
           "            children[i].addBinding(children[i + 1], \"x\", \"y\")\n"
           "    }\n}\n";
    QQuickItem* root = engine->load(qml);
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(count, 24);
    for (int n = 0; n < count; ++n) {
        QQuickItem* selector = numbered(root, "p", n);
        QQuickItem* target = numbered(root, "t", n);
        EXPECT_EQ(selector->property("valueX").toDouble(), 30.0) << "selector p" << n;
        EXPECT_EQ(selector->property("valueY").toDouble(), 60.0) << "selector p" << n;
        EXPECT_EQ(target->x(), 30.0) << "the x model of selector p" << n;
        EXPECT_EQ(target->y(), 60.0) << "the y model of selector p" << n;
        EXPECT_EQ(selector->property("maximumValueY").toDouble(), 200.0);
        EXPECT_EQ(selector->property("minimumValueX").toDouble(), 10.0);
    }

    root = engine->load(R"(import QtQuick 2.15
import Zanth 1.0
Item {
    width: 400; height: 300
    PointSelector { objectName: "rangeFirst"; maximumValueX: 100; maximumValueY: 100; valueX: 30; valueY: 60 }
    PointSelector { objectName: "valuesFirst"; valueX: 30; valueY: 60; maximumValueX: 100; maximumValueY: 100 }
    PointSelector { objectName: "notInverted"; valueY: 60; invertedY: false; maximumValueY: 100 }
}
)");
    for (const char* name : {"rangeFirst", "valuesFirst"}) {
        QQuickItem* selector = findItem(root, name);
        EXPECT_EQ(selector->property("valueX").toDouble(), 30.0) << name;
        EXPECT_EQ(selector->property("valueY").toDouble(), 60.0) << name;
    }
    QQuickItem* notInverted = findItem(root, "notInverted");
    EXPECT_EQ(notInverted->property("valueY").toDouble(), 60.0);
    EXPECT_FALSE(notInverted->property("invertedY").toBool());
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
