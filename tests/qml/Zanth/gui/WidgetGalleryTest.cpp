// The widget library in a running game, driven with real pointer input (xdotool) and checked in
// screenshots: every widget draws from the skin module and answers the pointer as a user expects.

#include <gtest/gtest.h>

#include "EngineProcess.h"
#include "VisibleWindowLock.h"

#include <regex>

namespace {

const VisibleWindowLock g_windowLock;

// A 640 x 480 window showing one of each widget at scale 1, logging what they report.
const char* const kGallery = R"(import QtQuick 2.15
import Zanth 1.0
GameWindow {
    displayFpsEnabled: false
    width: 640; height: 480
    Scene {
        width: 640; height: 480
        Rectangle { anchors.fill: parent; color: "#404858" }
        Slider {
            id: slider
            x: 20; y: 60; width: 240
            maximumValue: 100; stepSize: 1; defaultValue: 25
            valueIndicatorVisible: true
            onValueChanged: console.log("slider value " + value)
        }
        Text { x: 280; y: 64; text: "value " + slider.formatValue(slider.value); color: "white"; font.pixelSize: 16 }
        Switch { x: 20; y: 110; onCheckedChanged: console.log("switch checked " + checked) }
        Button {
            x: 120; y: 110; text: "Reset"
            onClicked: { slider.value = slider.defaultValue; console.log("reset clicked") }
        }
        ColorPicker {
            x: 20; y: 160; maximumValue: 255
            red: 200; green: 40; blue: 10
            Component.onCompleted: console.log("colour binding " + addBinding(swatch, "color", "opacity"))
        }
        Rectangle { id: swatch; x: 240; y: 160; width: 40; height: 40 }
        PointSelector {
            x: 300; y: 160
            maximumValueX: 100; maximumValueY: 100; stepSizeX: 1; stepSizeY: 1
            Component.onCompleted: console.log("point binding " + addBinding(marker, "x", "y"))
            onValueXChanged: console.log("point x " + valueX)
            onValueYChanged: console.log("point y " + valueY)
        }
        Item {
            x: 520; y: 160; width: 110; height: 110
            Rectangle { anchors.fill: parent; color: "#202430" }
            Rectangle { id: marker; width: 10; height: 10; color: "lime" }
        }
        TextDialog {
            x: 300; y: 400
            dialogText: ["Hello there", "Second text"]
            dialogTextDelay: 20
            onDialogTextVisibleChanged: console.log("dialog shows " + dialogTextVisible)
            onVisibleChanged: console.log("dialog visible " + visible)
        }
    }
}
)";

// The widgets in a window of twice the scene's size: each skin image is the "-hd" file, drawn at the
// logical size of the "-sd" one. Half a second after the start it logs every image file it shows, then
// hides and shows its text dialog.
const char* const kScaledWidgets = R"(import QtQuick 2.15
import Zanth 1.0
GameWindow {
    id: window
    displayFpsEnabled: false
    width: 960; height: 640
    function logImages(item) {
        if (item.objectName === "multiResImage_image" && String(item.source) !== "")
            console.log("image file " + String(item.source).split("/").pop())
        for (var i = 0; i < item.children.length; ++i)
            logImages(item.children[i])
    }
    Scene {
        id: scene
        width: 480; height: 320
        Slider { x: 20; y: 20; width: 200 }
        Switch { id: toggle; x: 20; y: 60 }
        Button { x: 120; y: 60; text: "Go"; iconName: "arrow" }
        GUIWindow { x: 20; y: 120; width: 100; height: 60 }
        TextDialog {
            id: dialog
            x: 200; y: 120; dialogText: ["Hi"]; dialogTextDelay: 10
            onDialogTextVisibleChanged: console.log("dialog shows " + dialogTextVisible)
        }
        Timer {
            running: true; interval: 500
            onTriggered: {
                window.logImages(scene)
                console.log("switch width " + toggle.width)
                console.log("images done")
                dialog.visible = false
                dialog.visible = true
            }
        }
    }
}
)";

bool isEmber(const QColor& c)
{
    return c.red() > 200 && c.green() > 90 && c.green() < 200 && c.blue() < 110;
}

bool isKnobWhite(const QColor& c)
{
    return c.red() > 200 && c.green() > 200 && c.blue() > 200;
}

bool isLime(const QColor& c)
{
    return c.green() > 200 && c.red() < 60 && c.blue() < 60;
}

// Pixels that differ between two screenshots inside the rectangle.
int changedPixels(const QImage& a, const QImage& b, const QRect& rect)
{
    int changed = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x)
            changed += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
    }
    return changed;
}

// The number in the last output line that starts with prefix, or -1.
int lastNumber(const std::string& output, const std::string& prefix)
{
    const std::regex line(prefix + " (-?[0-9]+)");
    int number = -1;
    for (auto it = std::sregex_iterator(output.begin(), output.end(), line); it != std::sregex_iterator();
         ++it)
        number = std::stoi((*it)[1]);
    return number;
}

class WidgetGallery : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(run.windowId().empty()) << run.output();
        ASSERT_TRUE(run.waitForLine("point binding true")) << run.output();
        // The default slider value puts the knob at 20 + 14 + 0.25 * 212 = 87.
        ASSERT_TRUE(run.waitForPixel(87, 66, isKnobWhite)) << run.output();
    }

    void dragSlowly(int fromX, int fromY, int toX, int toY, bool release = true)
    {
        run.moveTo(fromX, fromY);
        runCommand("timeout 5 xdotool mousedown 1");
        for (int i = 1; i <= 8; ++i) {
            EngineProcess::waitFor([] { return false; }, 0.04);
            run.moveTo(fromX + (toX - fromX) * i / 8, fromY + (toY - fromY) * i / 8);
        }
        EngineProcess::waitFor([] { return false; }, 0.2);
        if (release)
            runCommand("timeout 5 xdotool mouseup 1");
    }

    EngineProcess run{"Zanth widget gallery", kGallery, {}, "GameProgram"};
};

} // namespace

TEST_F(WidgetGallery, draggingTheSliderKnobMovesValueTextAndBalloonAndResetsRestoreTheDefault)
{
    const QImage before = run.screenshot();
    EXPECT_FALSE(isEmber(before.pixelColor(150, 73))) << "the groove right of the knob is dark";

    dragSlowly(87, 73, 200, 73, false);
    ASSERT_TRUE(run.waitForLine("slider value 78")) << run.output();
    const QImage pressed = run.screenshot();
    EXPECT_GT(changedPixels(before, pressed, QRect(180, 10, 40, 40)), 200) << "the value balloon shows";
    runCommand("timeout 5 xdotool mouseup 1");
    ASSERT_TRUE(run.waitForPixel(200, 66, isKnobWhite)) << run.output();
    const QRect balloon(180, 10, 40, 40);
    EXPECT_TRUE(run.waitFor([&] { return changedPixels(before, run.screenshot(), balloon) == 0; }, 5))
        << "the balloon hides on release";
    const QImage released = run.screenshot();
    EXPECT_TRUE(isEmber(released.pixelColor(150, 73))) << "the value track reaches the knob";
    EXPECT_GT(changedPixels(before, released, QRect(320, 62, 40, 22)), 20) << "the value text changed";

    run.click(143, 123);
    ASSERT_TRUE(run.waitForLine("reset clicked")) << run.output();
    EXPECT_EQ(lastNumber(run.output(), "slider value"), 25);
    EXPECT_TRUE(run.waitForPixel(87, 66, isKnobWhite));

    run.click(150, 73);
    EXPECT_TRUE(run.waitFor([&] { return lastNumber(run.output(), "slider value") == 55; }, 5))
        << run.output();
    // Past the double-click interval, so that the single click is not the double click's first half.
    EngineProcess::waitFor([] { return false; }, 0.8);
    run.doubleClick(150, 73);
    EXPECT_TRUE(run.waitFor([&] { return lastNumber(run.output(), "slider value") == 25; }, 5))
        << run.output();
    const QImage reset = run.screenshot();
    EXPECT_EQ(changedPixels(before, reset, QRect(280, 62, 80, 22)), 0) << "the value text reads 25 again";
}

TEST_F(WidgetGallery, theSwitchTogglesOnClickAndOnATinyDragAndSnapsToTheNearerEndOnALongOne)
{
    run.click(50, 126);
    ASSERT_TRUE(run.waitForLine("switch checked true")) << run.output();
    EXPECT_TRUE(run.waitForPixel(30, 126, isEmber)) << "the on track shows";

    dragSlowly(70, 126, 30, 126);
    ASSERT_TRUE(run.waitForLine("switch checked false")) << run.output();
    EXPECT_TRUE(run.waitForPixel(36, 126, isKnobWhite)) << "the knob rests at the off end";

    dragSlowly(40, 126, 43, 126);
    EXPECT_TRUE(run.waitFor([&] { return run.countInOutput("switch checked true") == 2; }, 5))
        << run.output();

    // Dragged left but not past the middle: the knob goes back to the on end.
    dragSlowly(70, 126, 60, 126);
    EXPECT_TRUE(run.waitForPixel(70, 126, isKnobWhite)) << run.output();
    EXPECT_EQ(run.countInOutput("switch checked"), 3) << run.output();
}

TEST_F(WidgetGallery, pickerSelectorAndDialogReportTheirValuesAndMoveWhatIsBoundToThem)
{
    EXPECT_TRUE(run.waitForLine("colour binding true")) << run.output();
    EXPECT_TRUE(run.waitForPixel(260, 180, [](const QColor& c) { return c.red() > 180 && c.green() < 60; }))
        << "the swatch shows the picker's red";

    // Green from 40 to about 180: the swatch turns yellow.
    dragSlowly(61, 275, 180, 275);
    EXPECT_TRUE(run.waitForPixel(260, 180, [](const QColor& c) { return c.red() > 180 && c.green() > 150; }))
        << run.output();

    dragSlowly(313, 305, 413, 305);
    dragSlowly(399, 174, 399, 240);
    // The program prints the point as it follows the drags, a little behind them on a busy machine: read
    // once nothing more came between two looks.
    int x = -1;
    int y = -1;
    size_t seen = 0;
    EXPECT_TRUE(run.waitFor(
        [&] {
            const std::string output = run.output();
            x = lastNumber(output, "point x");
            y = lastNumber(output, "point y");
            const bool still = output.size() == seen;
            seen = output.size();
            return still && x > 30 && y > 30;
        },
        5))
        << x << ", " << y << "\n"
        << run.output();
    EXPECT_TRUE(run.waitForPixel(520 + x + 5, 160 + y + 5, isLime)) << "the bound marker moved";
    EXPECT_FALSE(isLime(run.screenshot().pixelColor(525, 165)));

    ASSERT_TRUE(run.waitForLine("dialog shows Hello there")) << run.output();
    EXPECT_TRUE(run.output().find("dialog shows Hello t\n") != std::string::npos) << "typed one by one";
    ASSERT_TRUE(run.waitForPixel(473, 439, isEmber)) << "the next button shows";
    run.click(473, 439);
    ASSERT_TRUE(run.waitForLine("dialog shows Second text")) << run.output();
    EXPECT_TRUE(run.waitForPixel(473, 439, isEmber));
    run.click(473, 439);
    EXPECT_TRUE(run.waitForLine("dialog visible false")) << run.output();
    EXPECT_TRUE(run.waitForPixel(473, 439, [](const QColor& c) { return c == QColor(0x40, 0x48, 0x58); }));
}

TEST(ScaledWidgets, showTheHdSkinFilesAtTheLogicalSizeOfTheSdOnesAndTheDialogRetypesWhenShownAgain)
{
    EngineProcess run{"Zanth scaled widgets", kScaledWidgets, {}, "GameProgram"};
    ASSERT_FALSE(run.windowId().empty()) << run.output();
    ASSERT_TRUE(run.waitForLine("images done")) << run.output();
    const std::string output = run.output();
    // Groove, handle, indicator and its four arrows, the switch's three, the button's icon form, the
    // window, the dialog's two.
    EXPECT_EQ(run.countInOutput("image file "), 14) << output;
    EXPECT_EQ(run.countInOutput("-sd.png"), 0) << output;
    EXPECT_EQ(run.countInOutput("filename is undefined"), 0) << "every widget image has a file: " << output;
    EXPECT_NE(output.find("image file button-arrow-hd.png"), std::string::npos) << output;
    EXPECT_NE(output.find("image file guiwindow-background-hd.png"), std::string::npos) << output;
    EXPECT_NE(output.find("image file slider-arrow-left-hd.png"), std::string::npos) << output;
    // The skin's "-sd" switch is 64 pixels wide, its "-hd" one 128.
    EXPECT_EQ(lastNumber(output, "switch width"), 64) << output;

    EXPECT_TRUE(run.waitFor([&] { return run.countInOutput("dialog shows Hi\n") == 2; }, 5)) << run.output();
    EXPECT_EQ(run.countInOutput("dialog shows H\n"), 2) << "typed from the start again: " << run.output();
}
