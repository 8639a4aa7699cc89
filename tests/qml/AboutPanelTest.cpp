// Embervale's about pane on the engine started in the test process: closed, it shows nothing of its sprite
// sheet and pages, which are made once the first frame is on the screen, or at once by an opening that
// comes sooner; either way they are there, mirrored and turning, when the pane opens.

#include <gtest/gtest.h>

#include "InProcessEmbervale.h"

namespace {

InProcessEngine* engine = nullptr;

// Loads the main file as the program does, without drawing a frame; the window takes the main window's
// size as in a fresh start.
QQuickItem* loadWithoutFrames()
{
    engine->view().resize(1, 1);
    engine->application().setMainQmlFileName(QStringLiteral(":/qml/EmbervaleMain.qml"));
    engine->application().loadQmlFile();
    return engine->view().rootObject();
}

bool pagesMade(QQuickItem* window)
{
    return js(window, "!!scene.aboutPanel.pages").toBool();
}

// The pages are in the scene graph: the sheet's frame and a page's title text have nodes.
bool pagesMirrored(QQuickItem* window)
{
    return js(window, "sceneGraphWrapper.hasSceneGraphNode(scene.aboutPanel.pages.panelA) && "
                      "sceneGraphWrapper.hasSceneGraphNode(scene.aboutPanel.pages.panelB)")
        .toBool();
}

// Nearly white pixels (the pages' texts) in the middle of the 960 x 640 window, where the open pane shows
// its page; 0 while the window has another size.
int pageTextPixels()
{
    const QImage image = engine->grabWindow();
    if (image.size() != QSize(960, 640))
        return 0;
    int count = 0;
    for (int y = 240; y < 400; ++y)
        for (int x = 80; x < 640; ++x) {
            const QColor c = image.pixelColor(x, y);
            count += c.red() > 200 && c.green() > 200 && c.blue() > 200;
        }
    return count;
}

// Pixels of the sheet's panel frame (its dark violet ground, where the stage behind is black) below the
// page's lines, left of the effects in the middle of the 960 x 640 window; 0 while the window has another
// size.
int panelGroundPixels()
{
    const QImage image = engine->grabWindow();
    if (image.size() != QSize(960, 640))
        return 0;
    int count = 0;
    for (int y = 420; y < 480; ++y)
        for (int x = 150; x < 350; ++x) {
            const QColor c = image.pixelColor(x, y);
            count += c.red() + c.green() + c.blue() > 45;
        }
    return count;
}

} // namespace

TEST(AboutPanel, theClosedPanesSheetAndPagesAreMadeOnceTheFirstFrameIsShown)
{
    QQuickItem* window = loadWithoutFrames();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(pagesMade(window));
    engine->stepFrames(1);
    EXPECT_FALSE(pagesMade(window)) << "the first frame is drawn without them";
    ASSERT_TRUE(engine->stepFramesUntil([&] { return pagesMade(window); }));
    EXPECT_TRUE(engine->application().firstFrameShown());
    EXPECT_TRUE(pagesMirrored(window));
    EXPECT_TRUE(js(window, "scene.aboutPanel.front === scene.aboutPanel.pages.panelA").toBool());

    js(window, "scene.aboutPanel.toggle()");
    EXPECT_TRUE(engine->stepFramesUntil([] { return pageTextPixels() > 300; }));
}

TEST(AboutPanel, anOpeningBeforeTheFirstFrameMakesThePagesAtOnceAndTheyTurn)
{
    QQuickItem* window = loadWithoutFrames();
    ASSERT_NE(window, nullptr);
    ASSERT_FALSE(pagesMade(window));
    js(window, "scene.aboutPanel.toggle()");
    ASSERT_TRUE(pagesMade(window));
    EXPECT_TRUE(js(window, "scene.aboutPanel.front === scene.aboutPanel.pages.panelA").toBool());
    engine->stepFrames(1);
    EXPECT_TRUE(pagesMirrored(window));
    EXPECT_TRUE(engine->stepFramesUntil([] { return pageTextPixels() > 300; }));

    // From the third page, on to the fourth: the other panel comes in and shows it.
    js(window, "scene.aboutPanel.turn(1)");
    EXPECT_EQ(js(window, "scene.aboutPanel.page").toInt(), 4);
    EXPECT_TRUE(js(window, "scene.aboutPanel.front === scene.aboutPanel.pages.panelB && "
                           "scene.aboutPanel.pages.panelB.page === 4")
                    .toBool());
    EXPECT_TRUE(engine->stepFramesUntil([&] { return !js(window, "scene.aboutPanel.moving").toBool(); }));
    EXPECT_EQ(js(window, "scene.aboutPanel.pages.panelB.x").toDouble(),
              js(window, "scene.aboutPanel.panelX").toDouble());
}

// However early the pane opens, before its first frame or before the pages were made after it, it shows
// the sheet (its ground, frame, title ribbon and arrows) as a later opening does: the effects made by the
// opening are mirrored after the pages, below which they hang.
TEST(AboutPanel, anOpeningThatMakesThePagesShowsTheSheetAsALaterOpeningDoes)
{
    for (int framesBefore = 0; framesBefore < 3; ++framesBefore) {
        SCOPED_TRACE(framesBefore);
        QQuickItem* window = loadWithoutFrames();
        ASSERT_NE(window, nullptr);
        if (framesBefore == 2)
            ASSERT_TRUE(engine->stepFramesUntil([&] { return pagesMade(window); }));
        else
            engine->stepFrames(framesBefore);
        js(window, "scene.aboutPanel.toggle()");
        ASSERT_TRUE(engine->stepFramesUntil([] { return pageTextPixels() > 300; }));
        EXPECT_TRUE(engine->stepFramesUntil([] { return panelGroundPixels() > 200 * 60 * 9 / 10; }))
            << panelGroundPixels() << " of the panel's 12000 pixels are its ground";
    }
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
