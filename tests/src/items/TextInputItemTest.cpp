// The text input and the device items in a game run as its own program: typing with real keys (xdotool),
// what the window then shows, and the device types loading with their properties and signals.

#include <gtest/gtest.h>

#include "EngineProcess.h"
#include "VisibleWindowLock.h"

#include "items/textinputitem.h"
#include "scenegraphwrapper.h"

#include <QFont>
#include <QGuiApplication>

namespace {

const VisibleWindowLock g_windowLock;

bool isRed(const QColor& color)
{
    return color.red() > 150 && color.green() < 80 && color.blue() < 80;
}

// Red pixels in a column range of the text's row band.
int redPixelsBetween(const QImage& shot, int fromX, int toX)
{
    int count = 0;
    for (int y = 40; y < 110; ++y)
        for (int x = fromX; x < toX; ++x)
            count += isRed(shot.pixelColor(x, y)) ? 1 : 0;
    return count;
}

const char* const kGame = R"(import QtQuick 2.15
import Zanth 1.0
GameWindow {
    displayFpsEnabled: false
    Scene {
        TextInputZanth {
            x: 20; y: 20; width: 60; color: "red"; text: "ab"; font.pixelSize: 20
            onTextChanged: console.log("text now " + text)
            onAccepted: console.log("accepted " + text)
        }
        Accelerometer {
            id: accelerometer
            active: false
            onActiveChanged: console.log("accelerometer " + active + " " + reading.x + " " +
                                         changeSignalThreshold.toFixed(2) + " " + filterFactor.toFixed(2))
        }
        Video {
            source: "clip.mp4"; looping: true; fillMode: Video.Stretch
            onLoopingChanged: console.log("video looping " + looping)
            onStarted: console.log("video started")
            Component.onCompleted: { play(); looping = false; accelerometer.active = true }
        }
    }
})";

} // namespace

TEST(TextInputItemTyping, typedKeysShowAsNewTextAndReturnFinishesTheEdit)
{
    EngineProcess run("Zanth text input", kGame);
    ASSERT_FALSE(run.windowId().empty()) << run.output();
    ASSERT_TRUE(run.waitForPixel(50, 60, isRed, 20) || redPixelsBetween(run.screenshot(), 40, 140) > 0)
        << run.output();
    const int before = redPixelsBetween(run.screenshot(), 95, 400);
    run.focus();
    run.click(60, 60);
    run.key("c d");
    EXPECT_TRUE(run.waitForLine("text now abcd")) << run.output();
    run.key("Return");
    EXPECT_TRUE(run.waitForLine("accepted abcd")) << run.output();
    EXPECT_TRUE(
        EngineProcess::waitFor([&] { return redPixelsBetween(run.screenshot(), 95, 400) > before; }, 10))
        << "the new letters are drawn right of the old ones";
    // Closed: further keys change nothing.
    run.key("e");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(run.countInOutput("text now abcde"), 0);

    // The device types load with their defaults; the video plays nothing here.
    EXPECT_TRUE(run.waitForLine("accelerometer true 0 0.01 0.05")) << run.output();
    EXPECT_TRUE(run.waitForLine("video looping false")) << run.output();
    EXPECT_EQ(run.countInOutput("video started"), 0);
}

TEST(TextInputItemFonts, aTtfFamilyNamesItsFileAndABoldWeightAsksForTheBoldFace)
{
    int argc = 0;
    QGuiApplication application(argc, nullptr);
    QFont bold("Arial");
    bold.setWeight(QFont::DemiBold);
    EXPECT_EQ(TextInputItem::sceneGraphFontName(bold), QString("Arial-Bold"));
    bold.setWeight(QFont::Normal);
    EXPECT_EQ(TextInputItem::sceneGraphFontName(bold), QString("Arial"));
    QFont file("fonts/pts-regular.ttf");
    file.setBold(true);
    EXPECT_EQ(TextInputItem::sceneGraphFontName(file), QString("fonts/pts-regular.ttf"));
}
