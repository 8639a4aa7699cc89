// The switch shows the state declared for it from its first frame.

#include <gtest/gtest.h>

#include "InProcessEngine.h"

#include <QQuickItem>

namespace {

InProcessEngine* engine = nullptr;

} // namespace

TEST(Switch, aSwitchDeclaredCheckedShowsItsKnobAtTheOnEndFromTheStart)
{
    QQuickItem* root = engine->load(R"(import QtQuick 2.15
import Zanth 1.0
Item {
    width: 300; height: 100
    Switch { objectName: "on"; checked: true }
    Switch { objectName: "off"; y: 50 }
}
)");
    ASSERT_NE(root, nullptr);
    QQuickItem* on = findItem(root, "on");
    QQuickItem* off = findItem(root, "off");
    QObject* skin = on->property("platformStyle").value<QObject*>();
    const double maxKnobX = skin->property("maxKnobX").toDouble();
    const double minKnobX = skin->property("minKnobX").toDouble();
    EXPECT_EQ(findItem(on, "switchKnob")->x(), maxKnobX);
    EXPECT_EQ(findItem(off, "switchKnob")->x(), minKnobX);
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
