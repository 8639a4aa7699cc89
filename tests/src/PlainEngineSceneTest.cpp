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

// A 480 x 320 scene shown unscaled on a magenta background.
QQuickItem* game(const QByteArray& content)
{
    return engine->load("import QtQuick 2.15\nimport Zanth 1.0\n"
                        "GameWindow {\n  width: 480; height: 320; displayFpsEnabled: false\n"
                        "  Scene { width: 480; height: 320\n"
                        "    Rectangle { anchors.fill: parent; color: \"#ff00ff\" }\n" +
                        content + "\n  }\n}\n");
}

} // namespace

TEST(PlainEngineScene, theWidgetsTakeTheEnginesDefaultSkinAndDraw)
{
    const MessageLog log;
    QQuickItem* root = game("Button { objectName: \"go\"; x: 20; y: 20; text: \"Go\" }\n"
                            "Slider { objectName: \"volume\"; x: 20; y: 100; width: 200 }");
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

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
