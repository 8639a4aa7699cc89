// The application's life cycle on its own: a QML engine's root context with the test's own "system" and
// game window objects, no window and no GL.

#include <gtest/gtest.h>

#include "MessageLog.h"

#include "applicationlifecycle.h"

#include "cocoa/ZTGeometry.h"

#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>

#include <memory>

using namespace zanth2d;

namespace {

const char* const kGameWindow = R"(import QtQml 2.15
QtObject {
    property real framesPerSecond: -1
    property var calls: []
    function reshape(width, height) { calls.push(width + "x" + height); calls = calls; return width > 100 }
}
)";

class ApplicationLifeCycleTest : public ::testing::Test
{
protected:
    ApplicationLifeCycleTest()
    {
        m_system.setProperty("gamePaused", false);
        context().setContextProperty("system", &m_system);
    }

    QQmlContext& context() { return *m_engine.rootContext(); }
    QObject* publishGameWindow()
    {
        QQmlComponent component(&m_engine);
        component.setData(kGameWindow, QUrl());
        m_gameWindow.reset(component.create());
        context().setContextProperty("rootGameWindow", m_gameWindow.get());
        return m_gameWindow.get();
    }

    QQmlEngine m_engine;
    QObject m_system;
    std::unique_ptr<QObject> m_gameWindow;
};

} // namespace

TEST_F(ApplicationLifeCycleTest, reshapeReachesTheGameWindowOnlyOnceTheApplicationHasStarted)
{
    ApplicationLifeCycle lifeCycle(context());
    EXPECT_FALSE(lifeCycle.reshape(ZTSize(500, 300)));
    QObject* gameWindow = publishGameWindow();
    EXPECT_FALSE(lifeCycle.reshape(ZTSize(500, 300)));
    EXPECT_TRUE(gameWindow->property("calls").toStringList().isEmpty());

    lifeCycle.setAppStarted(true);
    EXPECT_TRUE(lifeCycle.reshape(ZTSize(500, 300)));
    EXPECT_FALSE(lifeCycle.reshape(ZTSize(50, 30)));
    EXPECT_EQ(gameWindow->property("calls").toStringList(), QStringList({"500x300", "50x30"}));
}

TEST_F(ApplicationLifeCycleTest, theGameWindowIsSoughtEveryFrameAndSetFromTheFrameAfterItIsFound)
{
    ApplicationLifeCycle lifeCycle(context());
    {
        MessageLog log;
        lifeCycle.applyGameWindowSettings();
        lifeCycle.applyGameWindowSettings();
        EXPECT_EQ(log.lines().filter("GameWindowItem Context Property was not found").size(), 2);
    }
    QObject* gameWindow = publishGameWindow();
    lifeCycle.applyGameWindowSettings();
    EXPECT_EQ(gameWindow->property("framesPerSecond").toDouble(), -1.0);
    lifeCycle.applyGameWindowSettings();
    EXPECT_GE(gameWindow->property("framesPerSecond").toDouble(), 0.0);
}

TEST_F(ApplicationLifeCycleTest, theGameIsPausedWhenSystemSaysSoAndNeverWithoutSystem)
{
    ApplicationLifeCycle lifeCycle(context());
    EXPECT_FALSE(lifeCycle.gamePaused());
    m_system.setProperty("gamePaused", true);
    EXPECT_TRUE(lifeCycle.gamePaused());

    QQmlEngine bare;
    MessageLog log;
    ApplicationLifeCycle withoutSystem(*bare.rootContext());
    EXPECT_TRUE(log.contains("System Context Property was not found"));
    EXPECT_EQ(withoutSystem.system(), nullptr);
    EXPECT_FALSE(withoutSystem.gamePaused());
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
