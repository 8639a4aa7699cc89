// A game run as its own program under the test's X server: what its window shows, checked in screenshots,
// and how it answers real mouse and keyboard input sent with xdotool.

#include <gtest/gtest.h>

#include "EngineProcess.h"
#include "VisibleWindowLock.h"

#include <QBuffer>

namespace {

const VisibleWindowLock g_windowLock;

bool isRed(const QColor& color)
{
    return color.red() > 200 && color.green() < 60 && color.blue() < 60;
}

bool isGreen(const QColor& color)
{
    return color.green() > 200 && color.red() < 60 && color.blue() < 60;
}

bool isBlue(const QColor& color)
{
    return color.blue() > 200 && color.red() < 60 && color.green() < 60;
}

// An 8 x 8 blue PNG of our own.
QByteArray blueSquarePng()
{
    QImage square(8, 8, QImage::Format_ARGB32);
    square.fill(Qt::blue);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    square.save(&buffer, "PNG");
    return png;
}

// A 960 x 640 game window with a 480 x 320 scene (scale 2); the scene's content follows.
std::string game(const std::string& sceneContent)
{
    return "import QtQuick 2.15\nimport Zanth 1.0\n"
           "GameWindow {\n  displayFpsEnabled: false\n"
           "  Scene {\n    id: scene\n" +
           sceneContent + "\n  }\n}\n";
}

} // namespace

TEST(EngineProgram, theCompiledInGameRunsUnlessAFileOnDiskOverridesIt)
{
    {
        EngineProcess run("Zanth compiled-in main", "");
        ASSERT_FALSE(run.windowId().empty()) << run.output();
        EXPECT_TRUE(run.waitForLine("compiled-in main loaded")) << run.output();
        EXPECT_TRUE(run.waitForPixel(120, 120, isGreen)) << run.output();
    }
    EngineProcess run("Zanth main on disk",
                      game("Rectangle { x: 50; y: 50; width: 20; height: 20; color: \"red\" }"));
    ASSERT_FALSE(run.windowId().empty()) << run.output();
    EXPECT_TRUE(run.waitForPixel(120, 120, isRed)) << run.output();
    EXPECT_EQ(run.countInOutput("compiled-in main loaded"), 0);
}

TEST(EngineProgram, aSceneRectangleAtFiveFiveFillsWindowPixelsTenToThirty)
{
    EngineProcess run("Zanth scene pixels",
                      game("Rectangle { x: 5; y: 5; width: 10; height: 10; color: \"red\" }"));
    ASSERT_TRUE(run.waitForPixel(20, 20, isRed)) << run.output();
    const QImage shot = run.screenshot();
    EXPECT_EQ(shot.size(), QSize(960, 640));
    EXPECT_TRUE(isRed(shot.pixelColor(10, 10)));
    EXPECT_TRUE(isRed(shot.pixelColor(29, 29)));
    EXPECT_FALSE(isRed(shot.pixelColor(9, 9)));
    EXPECT_FALSE(isRed(shot.pixelColor(30, 30)));
    EXPECT_EQ(run.countInOutput("no parentNode was found"), 0) << run.output();
}

TEST(EngineProgram, anImageAndATextShowWhereTheyAreDeclaredInTheirColours)
{
    EngineProcess run("Zanth image and text", game(R"(
        Image { x: 20; y: 10; source: "square.png" }
        Text { x: 50; y: 10; text: "HH"; color: "lime"; font.pixelSize: 12 })"),
                      {{"qml/square.png", blueSquarePng()}});
    // Scaled by 2: the 8-point square covers window pixels 40 to 56.
    ASSERT_TRUE(run.waitForPixel(48, 28, isBlue)) << run.output();
    const QImage shot = run.screenshot();
    EXPECT_TRUE(isBlue(shot.pixelColor(41, 21)));
    EXPECT_FALSE(isBlue(shot.pixelColor(38, 28)));
    EXPECT_FALSE(isBlue(shot.pixelColor(58, 28)));
    int textPixels = 0;
    for (int y = 20; y < 60; ++y) {
        for (int x = 100; x < 160; ++x)
            textPixels += isGreen(shot.pixelColor(x, y)) ? 1 : 0;
    }
    EXPECT_GT(textPixels, 30);
    EXPECT_FALSE(isGreen(shot.pixelColor(98, 30)));
}

TEST(EngineProgram, aRepeaterItsModelAClearedImageAndAReparentedItemShowWhatTheQmlHolds)
{
    EngineProcess run("Zanth what QML holds", game(R"(
        property int rows: 1
        Repeater { model: scene.rows
            Rectangle { x: 10 + index * 30; y: 10; width: 20; height: 20; color: "red" } }
        Image { id: picture; x: 10; y: 50; source: "square.png" }
        Item { id: home; x: 10; y: 80; Rectangle { id: mover; width: 20; height: 20; color: "lime" } }
        Item { id: away; x: 200; y: 80 }
        Rectangle {
            x: 300; y: 200; width: 50; height: 50; color: "white"
            MouseArea {
                anchors.fill: parent
                onClicked: { scene.rows = 3; picture.source = ""; mover.parent = away; console.log("changed") }
            }
        })"),
                      {{"qml/square.png", blueSquarePng()}});
    // The scene is scaled by 2.
    ASSERT_TRUE(run.waitForPixel(40, 180, isGreen)) << run.output();
    QImage shot = run.screenshot();
    EXPECT_TRUE(isRed(shot.pixelColor(40, 40)));
    EXPECT_FALSE(isRed(shot.pixelColor(160, 40)));
    EXPECT_TRUE(isBlue(shot.pixelColor(24, 104)));

    run.click(650, 450);
    ASSERT_TRUE(run.waitForLine("changed")) << run.output();
    ASSERT_TRUE(run.waitForPixel(420, 180, isGreen)) << run.output();
    shot = run.screenshot();
    EXPECT_FALSE(isGreen(shot.pixelColor(40, 180)));
    EXPECT_TRUE(isRed(shot.pixelColor(40, 40)));
    EXPECT_TRUE(isRed(shot.pixelColor(100, 40)));
    EXPECT_TRUE(isRed(shot.pixelColor(160, 40)));
    EXPECT_FALSE(isBlue(shot.pixelColor(24, 104)));
}

TEST(EngineProgram, aClickRunsItsHandlerOnceAndTheEffectShowsInTheNextScreenshot)
{
    EngineProcess run("Zanth click", game(R"(
        property int clicks: 0
        Rectangle {
            x: 10; y: 10; width: 50; height: 50
            color: scene.clicks > 0 ? "blue" : "red"
            MouseArea {
                anchors.fill: parent
                onClicked: { scene.clicks++; console.log("clicked " + scene.clicks) }
                onDoubleClicked: console.log("double clicked")
            }
        }
        // Input is handled in order: once a later press here is reported, none before it is outstanding.
        property int fences: 0
        MouseArea {
            x: 200; y: 200; width: 50; height: 50
            onPressed: { scene.fences++; console.log("fence " + scene.fences) }
        })"));
    ASSERT_TRUE(run.waitForPixel(40, 40, isRed)) << run.output();
    run.click(40, 40);
    EXPECT_TRUE(run.waitForPixel(40, 40, isBlue)) << run.output();
    EXPECT_TRUE(run.waitForLine("clicked 1")) << run.output();
    run.click(440, 440);
    EXPECT_TRUE(run.waitForLine("fence 1")) << run.output();
    EXPECT_EQ(run.countInOutput("clicked 2"), 0) << run.output();

    run.doubleClick(40, 40);
    EXPECT_TRUE(run.waitForLine("double clicked")) << run.output();
    run.click(440, 440);
    EXPECT_TRUE(run.waitForLine("fence 2")) << run.output();
    EXPECT_EQ(run.countInOutput("double clicked"), 1) << run.output();
}

TEST(EngineProgram, aDragMovesTheDraggedItemOnTheScreen)
{
    EngineProcess run("Zanth drag", game(R"(
        Rectangle {
            id: handle
            x: 20; y: 20; width: 20; height: 20
            color: "red"
            MouseArea { anchors.fill: parent; drag.target: handle }
        })"));
    ASSERT_TRUE(run.waitForPixel(60, 60, isRed)) << run.output();
    run.drag(60, 60, 260, 160);
    // The scene is scaled by 2: the square ends about 100 scene points further right and 50 down.
    EXPECT_TRUE(run.waitForPixel(250, 150, isRed)) << run.output();
    EXPECT_FALSE(isRed(run.screenshot().pixelColor(45, 45)));
}

TEST(EngineProgram, draggingAClippedFlickableScrollsItsContent)
{
    EngineProcess run("Zanth flickable drag", game(R"(
        Flickable {
            x: 20; y: 20; width: 100; height: 100; clip: true
            contentWidth: 200; contentHeight: 400
            Rectangle { width: 200; height: 400; color: "blue"
                Rectangle { width: 200; height: 100; color: "red" } }
        })"));
    ASSERT_TRUE(run.waitForPixel(140, 140, isRed)) << run.output();
    // Scene (130, 70) lies right of the box: the red content reaching there is cut off.
    EXPECT_FALSE(isRed(run.screenshot().pixelColor(260, 140)));
    run.drag(140, 220, 140, 40);
    EXPECT_TRUE(run.waitForPixel(140, 140, isBlue)) << run.output();
    EXPECT_FALSE(isBlue(run.screenshot().pixelColor(140, 260)));
}

TEST(EngineProgram, keysReachTheActiveSceneAndControlTwoResizesTheWindow)
{
    EngineProcess run("Zanth keys", "import QtQuick 2.15\nimport Zanth 1.0\n"
                                    "GameWindow {\n  displayFpsEnabled: false\n  activeScene: scene\n"
                                    "  Scene {\n    id: scene\n"
                                    "    Keys.onPressed: (event) => console.log(\"key \" + event.key)\n"
                                    "    Rectangle { width: 10; height: 10; color: \"red\" } } }\n");
    ASSERT_TRUE(run.waitForPixel(5, 5, isRed)) << run.output();
    run.focus();
    run.key("a");
    EXPECT_TRUE(run.waitForLine("key " + std::to_string(int(Qt::Key_A)))) << run.output();
    // The scene leaves the size keys to the game window.
    run.key("ctrl+2");
    EXPECT_TRUE(EngineProcess::waitFor(
        [&] {
            const std::string info = run.windowInfo();
            return info.find("Width: 480") != std::string::npos &&
                   info.find("Height: 320") != std::string::npos;
        },
        10.0))
        << run.windowInfo() << run.output();
    EXPECT_TRUE(run.waitForPixel(5, 5, isRed)) << run.output();
    EXPECT_FALSE(isRed(run.screenshot().pixelColor(12, 12)));
}

TEST(EngineProgram, aFileWithoutGameWindowLogsThatTheGameWindowIsMissing)
{
    EngineProcess run("Zanth no game window",
                      "import QtQuick 2.15\nRectangle { width: 200; height: 100; color: \"red\" }\n");
    ASSERT_TRUE(run.waitForPixel(100, 50, isRed)) << run.output();
    EXPECT_TRUE(run.waitForLine("SceneGraphWrapper: WARNING: GameWindowItem Context Property was not found!"))
        << run.output();
    EXPECT_TRUE(run.waitForLine("WARNING: ZanthApplication: no GameWindow item found")) << run.output();
}
