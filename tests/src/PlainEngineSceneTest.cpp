// A game made with the engine alone (its own QML library and resource tree, no application files): the
// widgets with their default skin and the items of Qt Quick, drawn by the scene graph and read back.

#include <gtest/gtest.h>

#include "InProcessEngine.h"
#include "MessageLog.h"

#include <QQuickItem>

namespace {

InProcessEngine* engine = nullptr;

bool isBackground(const QColor& c)
{
    return c.red() > 230 && c.green() < 30 && c.blue() > 230;
}

// The skin's button face: a dark slate.
bool isButtonFace(const QColor& c)
{
    return c.red() < 90 && c.green() < 100 && c.blue() < 120 && c.blue() > c.red();
}

// The skin's slider knob: nearly white around an ember centre.
bool isKnob(const QColor& c)
{
    return c.red() > 170 && c.green() > 170 && c.blue() > 170;
}

bool isColour(const QColor& c, const QColor& expected)
{
    return qAbs(c.red() - expected.red()) < 16 && qAbs(c.green() - expected.green()) < 16 &&
           qAbs(c.blue() - expected.blue()) < 16;
}

// A 480 x 320 scene shown unscaled on a magenta background: a button, a slider, three repeated green
// cells, a red picture and a blue square in the left of two items.
QQuickItem* loadGame()
{
    QImage square(20, 20, QImage::Format_RGB32);
    square.fill(Qt::red);
    EXPECT_TRUE(square.save(engine->folder() + "/qml/square.png"));
    return engine->load(R"(import QtQuick 2.15
import Zanth 1.0
GameWindow {
    width: 480; height: 320; displayFpsEnabled: false
    Scene { width: 480; height: 320
        Rectangle { anchors.fill: parent; color: "#ff00ff" }
        Button { objectName: "go"; x: 20; y: 20; text: "Go" }
        Slider { objectName: "volume"; x: 20; y: 100; width: 200 }
        Repeater { objectName: "cells"; model: 3
            Rectangle { x: 20 + index * 30; y: 200; width: 20; height: 20; color: "lime" } }
        Image { objectName: "picture"; x: 300; y: 20; source: "square.png" }
        Item { objectName: "left"; x: 300; y: 100
            Rectangle { objectName: "mover"; width: 20; height: 20; color: "blue" } }
        Item { objectName: "right"; x: 400; y: 150 }
    }
})");
}

} // namespace

TEST(PlainEngineScene, theWidgetsTakeTheEnginesDefaultSkinAndDraw)
{
    const MessageLog log;
    QQuickItem* root = loadGame();
    ASSERT_NE(root, nullptr) << log.lines().join("\n").toStdString();
    QQuickItem* button = findItem(root, "go");
    QQuickItem* slider = findItem(root, "volume");
    ASSERT_NE(button, nullptr);
    ASSERT_NE(slider, nullptr);
    EXPECT_GT(button->width(), 20.0);

    // The knob (28 pixels, its light ring 6 pixels right of its centre) starts at the left end and
    // follows the value to the right end.
    const int knobY = 100 + int(slider->height() / 2);
    ASSERT_TRUE(engine->stepFramesUntil([&] { return isKnob(engine->pixel(40, knobY)); }))
        << engine->pixel(40, knobY).name().toStdString();
    const int faceY = 20 + int(button->height() / 2);
    EXPECT_TRUE(isButtonFace(engine->pixel(24, faceY))) << engine->pixel(24, faceY).name().toStdString();
    EXPECT_TRUE(isBackground(engine->pixel(int(20 + button->width() + 4), faceY)));
    EXPECT_FALSE(isKnob(engine->pixel(212, knobY)));

    slider->setProperty("value", 1.0);
    EXPECT_TRUE(engine->stepFramesUntil([&] { return isKnob(engine->pixel(212, knobY)); }));
    EXPECT_FALSE(isKnob(engine->pixel(40, knobY)));
}

TEST(PlainEngineScene, repeatedClearedAndReparentedItemsShowWhatQmlHolds)
{
    QQuickItem* root = loadGame();
    ASSERT_NE(root, nullptr);
    ASSERT_TRUE(engine->stepFramesUntil([&] { return isColour(engine->pixel(90, 210), Qt::green); }));
    EXPECT_TRUE(isColour(engine->pixel(310, 30), Qt::red));
    EXPECT_TRUE(isColour(engine->pixel(310, 110), Qt::blue));

    findItem(root, "cells")->setProperty("model", 1);
    findItem(root, "picture")->setProperty("source", QUrl());
    findItem(root, "mover")->setParentItem(findItem(root, "right"));
    EXPECT_TRUE(engine->stepFramesUntil([&] { return isColour(engine->pixel(410, 160), Qt::blue); }))
        << "drawn under its new parent";
    EXPECT_TRUE(isColour(engine->pixel(30, 210), Qt::green));
    EXPECT_TRUE(isBackground(engine->pixel(60, 210)));
    EXPECT_TRUE(isBackground(engine->pixel(90, 210)));
    EXPECT_TRUE(isBackground(engine->pixel(310, 30))) << "the cleared image shows nothing";
    EXPECT_TRUE(isBackground(engine->pixel(310, 110)));
    EXPECT_TRUE(isButtonFace(engine->pixel(24, 20 + int(findItem(root, "go")->height() / 2))));
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
