// The application's life cycle on the engine started in the test process: what the window's focus,
// iconify and size events do to the director, the game window's signals and the game clock.

#include <gtest/gtest.h>

#include "InProcessEngine.h"

#include "ZTDirector.h"
#include "base_nodes/ZTNode.h"
#include "cocoa/ZTArray.h"
#include "items/particleitem.h"
#include "particle_nodes/ZTParticleSystem.h"
#include "platform/linux/DesktopGLView.h"
#include "platform/linux/DesktopWindow.h"
#include "scenegraphwrapper.h"
#include "zanthappdelegate.h"

#include <GLFW/glfw3.h>

#include <QElapsedTimer>
#include <QFile>
#include <QQuickItem>

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

using namespace zanth2d;

namespace {

InProcessEngine* engine = nullptr;

GLFWwindow* gameWindowHandle()
{
    return DesktopGLView::sharedDesktopGLView()->window()->handle();
}

// Handles the window system's events as the run loop does until the condition holds; false after a
// generous deadline.
bool pollEventsUntil(const std::function<bool()>& condition)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 20000) {
        glfwPollEvents();
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// Calls the iconify callback the view installed, as GLFW does when a window manager iconifies or
// restores the window (the test's X server has none).
void iconify(bool iconified)
{
    GLFWwindow* window = gameWindowHandle();
    const GLFWwindowiconifyfun callback = glfwSetWindowIconifyCallback(window, nullptr);
    glfwSetWindowIconifyCallback(window, callback);
    ASSERT_NE(callback, nullptr);
    callback(window, iconified ? GLFW_TRUE : GLFW_FALSE);
}

// A game window with a 480 x 320 scene holding a red 10 x 10 marker at (5, 5), a log of the application
// signals and a clock item that a movement animation moves 60 pixels per second of game time.
QQuickItem* loadGame()
{
    return engine->load(
        "import QtQuick 2.15\nimport Zanth 1.0\n"
        "GameWindow { id: game\n  displayFpsEnabled: false\n"
        "  property var log: []\n"
        "  onApplicationPaused: { log.push('paused'); log = log }\n"
        "  onApplicationResumed: { log.push('resumed'); log = log }\n"
        "  Scene { objectName: \"scene\"\n"
        "    Rectangle { x: 5; y: 5; width: 10; height: 10; color: \"red\" } }\n"
        "  Item { id: clock; objectName: \"clock\" }\n"
        "  MovementAnimation { target: clock; property: \"x\"; velocity: 60; running: true }\n"
        "}\n");
}

bool isRed(const QColor& color)
{
    return color.red() > 250 && color.green() < 5 && color.blue() < 5;
}

// Pixels visibly apart from the black background.
int litPixels(const QImage& image)
{
    int lit = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            lit += std::max({c.red(), c.green(), c.blue()}) > 40 ? 1 : 0;
        }
    return lit;
}

// The emitter the Particle's node holds, or null.
ZTParticleSystem* emitterOf(ParticleItem* item)
{
    ZTNode* node = item->getZTNode();
    if (!node || node->getChildrenCount() == 0)
        return nullptr;
    return dynamic_cast<ZTParticleSystem*>(node->getChildren()->lastObject());
}

// A white 8 x 8 particle texture in the working folder.
QString dotTexture()
{
    const QString path = engine->folder() + "/textures/dot.png";
    if (!QFile::exists(path)) {
        QDir().mkpath(engine->folder() + "/textures");
        QImage dot(8, 8, QImage::Format_RGBA8888);
        dot.fill(Qt::white);
        dot.save(path);
    }
    return path;
}

} // namespace

bool gameWindowFocused()
{
    return glfwGetWindowAttrib(gameWindowHandle(), GLFW_FOCUSED) == GLFW_TRUE;
}

TEST(ApplicationLifecycle, focusChangesNothingWhileIconifyPausesOnceAndRestoreResumes)
{
    QQuickItem* game = loadGame();
    ASSERT_NE(game, nullptr);
    ZTDirector* director = ZTDirector::sharedDirector();
    ASSERT_TRUE(pollEventsUntil(gameWindowFocused));
    glfwDefaultWindowHints();
    GLFWwindow* other = glfwCreateWindow(100, 100, "another window", nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    glfwFocusWindow(other);
    EXPECT_TRUE(pollEventsUntil([] { return !gameWindowFocused(); }));
    glfwFocusWindow(gameWindowHandle());
    EXPECT_TRUE(pollEventsUntil(gameWindowFocused));
    glfwDestroyWindow(other);
    DesktopGLView::sharedDesktopGLView()->window()->makeContextCurrent();
    EXPECT_FALSE(director->isPaused());
    EXPECT_TRUE(engine->delegate().isRunning());
    EXPECT_EQ(game->property("log").toStringList(), QStringList());

    iconify(true);
    iconify(true);
    EXPECT_TRUE(director->isPaused());
    EXPECT_FALSE(engine->delegate().isRunning());
    EXPECT_EQ(game->property("log").toStringList(), QStringList({"paused"}));
    iconify(false);
    EXPECT_FALSE(director->isPaused());
    EXPECT_TRUE(engine->delegate().isRunning());
    EXPECT_EQ(game->property("log").toStringList(), QStringList({"paused", "resumed"}));
}

TEST(ApplicationLifecycle, aResizeDrawsTheNewLayoutAtOnceWithoutAdvancingTheGameClock)
{
    QQuickItem* game = loadGame();
    QQuickItem* clock = findItem(game, "clock");
    // The frame after the load runs no game time, nor does one that shows a window resized to the new file.
    ASSERT_TRUE(engine->stepFramesUntil([clock] { return clock->x() > 0.0; }))
        << "the clock runs with the frames";
    const qreal gameTime = clock->x();
    EXPECT_TRUE(isRed(engine->pixel(20, 20)));

    glfwSetWindowSize(gameWindowHandle(), 800, 600);
    ASSERT_TRUE(pollEventsUntil([game] { return game->width() == 800.0 && game->height() == 600.0; }));
    EXPECT_EQ(clock->x(), gameTime);
    EXPECT_EQ(engine->delegate().getSize(), QSize(800, 600));
    // The frame the resize drew: the scene is scaled by 800 / 480 and centred vertically, so the marker
    // covers (8, 42) to (25, 58).
    const QImage frame = engine->grabWindow();
    EXPECT_TRUE(isRed(frame.pixelColor(16, 50)));
    EXPECT_FALSE(isRed(frame.pixelColor(16, 20)));

    glfwSetWindowSize(gameWindowHandle(), 960, 640);
    ASSERT_TRUE(pollEventsUntil([game] { return game->width() == 960.0; }));
    EXPECT_EQ(clock->x(), gameTime);
}

TEST(ApplicationLifecycle, aBurstThatASlowMainFileStartsIsDrawnAfterTheLoad)
{
    // A main file that takes 1.5 s to load and declares a burst like the built-in BoingStar: a tenth of a
    // second of emission, particles living about a third, started on creation.
    QQuickItem* game = engine->load(
        "import QtQuick 2.15\nimport Zanth 1.0\n"
        "GameWindow { width: 480; height: 320; displayFpsEnabled: false\n"
        "  Component.onCompleted: { const end = Date.now() + 1500; while (Date.now() < end) {} }\n"
        "  Particle { objectName: \"burst\"; x: 240; y: 160; autoStart: true; duration: 0.1\n"
        "    maxParticles: 21; particleLifespan: 0.35; particleLifespanVariance: 0.1; speed: 250\n"
        "    angleVariance: 360; startParticleSize: 28; finishParticleSize: 6\n"
        "    startColor: \"white\"; finishColor: \"white\"\n"
        "    textureFileName: \"file://" +
        dotTexture().toUtf8() + "\" }\n}\n");
    ASSERT_NE(game, nullptr);
    auto* burst = game->findChild<ParticleItem*>("burst");
    ASSERT_NE(burst, nullptr);
    ZTDirector* director = ZTDirector::sharedDirector();
    EXPECT_EQ(director->getDeltaTime(), 0.0f) << "the frame after the load runs no game time";

    // Frames as the main loop runs them, each with its real time, until the burst shows or is over.
    int lit = 0;
    const bool seen = engine->stepFramesUntil([&] {
        lit = std::max(lit, litPixels(engine->grabWindow()));
        const ZTParticleSystem* emitter = emitterOf(burst);
        return lit > 20 || !emitter || (!emitter->getIsActive() && emitter->getParticleCount() == 0);
    });
    EXPECT_TRUE(seen);
    EXPECT_GT(lit, 20) << "the burst played out without being drawn";
    EXPECT_GT(director->getDeltaTime(), 0.0f) << "later frames run normally";
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
