// The GameWindow and Scene components on the engine started in the test process, checked by the window's
// pixels and size.

#include <gtest/gtest.h>

#include "InProcessEngine.h"
#include "MessageLog.h"
#include "QtPrinters.h"

#include "ZTDirector.h"
#include "base_nodes/ZTNode.h"
#include "scenegraphwrapper.h"

#include <QQuickItem>

using namespace zanth2d;

namespace {

InProcessEngine* engine = nullptr;

bool isRed(const QColor& color)
{
    return color.red() > 250 && color.green() < 5 && color.blue() < 5;
}

// A game window holding a 480 x 320 scene with a red 10 x 10 rectangle at (5, 5) of the scene.
QByteArray gameWithScene(const QByteArray& windowProperties = "", const QByteArray& sceneProperties = "")
{
    return "import QtQuick 2.15\nimport Zanth 1.0\n"
           "GameWindow {\n  displayFpsEnabled: false\n" +
           windowProperties + "\n  Scene { id: scene; objectName: \"scene\"\n" + sceneProperties +
           "\n    Rectangle { objectName: \"marker\"; x: 5; y: 5; width: 10; height: 10; color: \"red\" } } "
           "}\n";
}

} // namespace

TEST(GameWindowComponent, aSceneRectangleShowsScaledIntoTheDefaultWindow)
{
    QQuickItem* window = engine->load(gameWithScene());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(engine->delegate().getSize(), QSize(960, 640));
    const QImage image = engine->grabWindow();
    EXPECT_TRUE(isRed(image.pixelColor(10, 10)));
    EXPECT_TRUE(isRed(image.pixelColor(29, 29)));
    EXPECT_FALSE(isRed(image.pixelColor(9, 9)));
    EXPECT_FALSE(isRed(image.pixelColor(30, 30)));
    EXPECT_EQ(window->property("xScaleForActiveScene").toDouble(), 2.0);
    EXPECT_EQ(ZTDirector::sharedDirector()->getZanthContentScaleFactor(), 2.0f);
}

TEST(GameWindowComponent, theGameWindowIsPublishedAndGetsTheFrameRateEveryFrame)
{
    QQuickItem* window = engine->load(gameWithScene());
    QQmlContext* context = engine->view().rootContext();
    EXPECT_EQ(context->contextProperty("rootGameWindow").value<QObject*>(), window);
    window->setProperty("framesPerSecond", -1.0);
    engine->stepFrames(1);
    EXPECT_GE(window->property("framesPerSecond").toDouble(), 0.0);
}

TEST(GameWindowComponent, theImageSuffixesFollowTheScaleAndTheTextureLimit)
{
    QQuickItem* window = engine->load(gameWithScene());
    const int maxTextureSize = engine->application().system()->maxTextureSize();
    ASSERT_GE(maxTextureSize, 4096);
    auto suffixesAt = [&](double scale) {
        window->setProperty("xScaleForActiveScene", scale);
        return window->property("__scaleImageSuffixList").toStringList();
    };
    EXPECT_EQ(suffixesAt(2.6), QStringList({"-hd2", "-hd", "-sd"}));
    EXPECT_EQ(suffixesAt(1.5), QStringList({"-sd"}));
    EXPECT_EQ(suffixesAt(0.5), QStringList());
}

TEST(SceneComponent, letterboxZoomEvenAndZoomStretchPlaceAndScaleTheScene)
{
    QQuickItem* window = engine->load(gameWithScene("width: 1024"));
    QQuickItem* scene = findItem(window, "scene");
    EXPECT_EQ(scene->property("xScaleForScene").toDouble(), 2.0);
    EXPECT_EQ(scene->x(), 32.0);
    EXPECT_EQ(scene->y(), 0.0);
    engine->stepFrames(1);
    // The marker at scene (5, 5) lands at window (32 + 10, 10).
    EXPECT_TRUE(isRed(engine->pixel(43, 11)));
    EXPECT_FALSE(isRed(engine->pixel(40, 11)));

    window->setProperty("scaleMode", "zoomEven");
    EXPECT_NEAR(scene->property("xScaleForScene").toDouble(), 2.1333, 1e-4);
    EXPECT_EQ(scene->x(), 0.0);
    EXPECT_NEAR(scene->y(), -21.333, 1e-3);

    window->setProperty("scaleMode", "zoomStretch");
    EXPECT_NEAR(scene->property("xScaleForScene").toDouble(), 2.1333, 1e-4);
    EXPECT_EQ(scene->property("yScaleForScene").toDouble(), 2.0);
}

TEST(SceneComponent, aWindowResizeThatKeepsTheScaleStillMovesTheScene)
{
    QQuickItem* window = engine->load(gameWithScene("", "sceneAlignmentX: \"right\""));
    QQuickItem* scene = findItem(window, "scene");
    EXPECT_EQ(scene->x(), 0.0);
    window->setWidth(1024);
    EXPECT_EQ(scene->property("xScaleForScene").toDouble(), 2.0);
    EXPECT_EQ(scene->x(), 64.0);
    scene->setProperty("sceneAlignmentX", "left");
    EXPECT_EQ(scene->x(), 0.0);
    window->setWidth(1100);
    scene->setProperty("sceneAlignmentX", "center");
    EXPECT_EQ(scene->x(), 70.0);
}

TEST(SceneComponent, aSceneAsLargeAsTheWindowIsNotScaledAndUsesOnlyTheSdSuffix)
{
    QQuickItem* window = engine->load(gameWithScene("width: 480; height: 320"));
    QQuickItem* scene = findItem(window, "scene");
    EXPECT_EQ(scene->property("xScaleForScene").toDouble(), 1.0);
    EXPECT_EQ(window->property("__scaleImageSuffixList").toStringList(), QStringList({"-sd"}));
    scene->setOpacity(0);
    EXPECT_FALSE(scene->isVisible());
    EXPECT_FALSE(engine->wrapper().getNodeFromObject(scene)->getIsVisible());
}

TEST(GameWindowComponent, controlDigitsResizeTheWindowKeepingItsOrientation)
{
    QQuickItem* window = engine->load(gameWithScene());
    engine->wrapper().keyPressed(Qt::Key_2, Qt::ControlModifier);
    engine->stepFrames(1);
    EXPECT_EQ(engine->delegate().getSize(), QSize(480, 320));
    EXPECT_EQ(window->width(), 480.0);
    EXPECT_TRUE(isRed(engine->pixel(6, 6)));

    engine->wrapper().keyPressed(Qt::Key_1, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(engine->delegate().getSize(), QSize(480, 320));

    window->setWidth(320);
    window->setHeight(480);
    engine->wrapper().keyPressed(Qt::Key_2, Qt::ControlModifier);
    EXPECT_EQ(engine->delegate().getSize(), QSize(320, 480));
    engine->wrapper().keyPressed(Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(engine->delegate().getSize(), QSize(640, 960));

    engine->wrapper().keyPressed(Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(window->property("fullscreen").toBool());
    window->setProperty("fullscreen", false);
}

TEST(GameWindowComponent, itemsMadeAtRunTimeShowOnlyWhenLoadedIntoTheSceneGraph)
{
    QQuickItem* window = engine->load(gameWithScene("", R"(
        property Component maker: Rectangle { width: 10; height: 10; color: "red" }
        function make(atX, load) {
            var made = maker.createObject(scene, { x: atX, y: 100 })
            if (load)
                rootGameWindow.loadItemWithSceneGraph(made)
            return made
        })"));
    QQuickItem* scene = findItem(window, "scene");
    QVariant made;
    QMetaObject::invokeMethod(scene, "make", Q_RETURN_ARG(QVariant, made), Q_ARG(QVariant, 100),
                              Q_ARG(QVariant, true));
    QMetaObject::invokeMethod(scene, "make", Q_RETURN_ARG(QVariant, made), Q_ARG(QVariant, 200),
                              Q_ARG(QVariant, false));
    engine->stepFrames(1);
    EXPECT_TRUE(isRed(engine->pixel(205, 205)));
    EXPECT_FALSE(isRed(engine->pixel(405, 205)));
}

TEST(GameWindowComponent, pauseAndResumeOfTheApplicationReachTheGameWindow)
{
    QQuickItem* window = engine->load(
        gameWithScene("", "property var log: []\n"
                          "Connections { target: rootGameWindow\n"
                          "  function onApplicationPaused() { scene.log.push(\"paused\") }\n"
                          "  function onApplicationResumed() { scene.log.push(\"resumed\") } }"));
    MessageLog log;
    engine->wrapper().applicationDidEnterBackground();
    engine->wrapper().applicationWillEnterForeground();
    EXPECT_EQ(findItem(window, "scene")->property("log").toStringList(), QStringList({"paused", "resumed"}));
    EXPECT_TRUE(log.contains("GameWindow: applicationPaused()"));
}

TEST(UtilsComponent, decimalsCountsFractionDigitsAndExponents)
{
    QQuickItem* window = engine->load(gameWithScene());
    QObject* utils = window->property("utils").value<QObject*>();
    ASSERT_NE(utils, nullptr);
    auto decimals = [&](double number) {
        QVariant result;
        QMetaObject::invokeMethod(utils, "decimals", Q_RETURN_ARG(QVariant, result), Q_ARG(QVariant, number));
        return result.toInt();
    };
    EXPECT_EQ(decimals(3), 0);
    EXPECT_EQ(decimals(1.25), 2);
    EXPECT_EQ(decimals(1e-7), 7);
    EXPECT_EQ(decimals(1.5e-7), 8);
    EXPECT_EQ(decimals(1e21), 0);
    QVariant random;
    for (int i = 0; i < 50; ++i) {
        QMetaObject::invokeMethod(utils, "generateRandomValueBetween", Q_RETURN_ARG(QVariant, random),
                                  Q_ARG(QVariant, 2), Q_ARG(QVariant, 3));
        EXPECT_GE(random.toDouble(), 2.0);
        EXPECT_LT(random.toDouble(), 3.0);
    }
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
