// Starts a game the way its main() does, under the X server of the test run: the window the delegate
// opens, the QML it runs inside the frame pump, and the ways the process ends.

#include <gtest/gtest.h>

#include "EngineProcess.h"
#include "VisibleWindowLock.h"

#include <chrono>

namespace {

// The window stays a few seconds before the game quits: xdotool looks for new windows only every half
// second, and a window that is gone by then is never found.
const char* const kQuittingMain = R"(import QtQuick 2.15
Item {
    Timer {
        interval: 200
        running: true
        onTriggered: console.log("timer fired after 200 ms")
    }
    Timer {
        interval: 3000
        running: true
        onTriggered: Qt.quit()
    }
}
)";

const char* const kWaitingMain = R"(import QtQuick 2.15
Item {
    Timer {
        interval: 50
        running: true
        onTriggered: console.log("qml running")
    }
}
)";

const VisibleWindowLock g_windowLock;

} // namespace

TEST(Startup, opensThe960By640WindowTitledFromTheConfigAndQuitsWithStatusZero)
{
    EngineProcess run("Zanth start-up check", kQuittingMain);
    const std::string id = run.windowId();
    ASSERT_FALSE(id.empty()) << run.output();
    const std::string info = commandOutput("xwininfo -id " + id);
    EXPECT_NE(std::string::npos, info.find("\"Zanth start-up check\"")) << info;
    EXPECT_NE(std::string::npos, info.find("Width: 960")) << info;
    EXPECT_NE(std::string::npos, info.find("Height: 640")) << info;
    // Qt timers fire only inside the engine scene's frame pump.
    EXPECT_TRUE(run.waitForLine("timer fired after 200 ms")) << run.output();
    EXPECT_EQ(0, run.waitExit(120.0)) << run.output();
    EXPECT_NE(std::string::npos, run.output().find("exit 0")) << run.output();
}

TEST(Startup, anEmptyConfigTitleGivesAWindowTitledZanth)
{
    EngineProcess run("", kQuittingMain);
    EXPECT_FALSE(run.windowId().empty()) << run.output();
    EXPECT_EQ(0, run.waitExit(120.0)) << run.output();
}

TEST(Startup, escapeEndsTheProcessWithStatusZeroWithinASecond)
{
    EngineProcess run("Zanth escape check", kWaitingMain);
    const std::string id = run.windowId();
    ASSERT_FALSE(id.empty()) << run.output();
    ASSERT_TRUE(run.waitForLine("qml running")) << run.output();
    run.focus();
    const auto pressed = std::chrono::steady_clock::now();
    run.key("Escape");
    // The engine has ended when main() reports its status; what follows is the sanitizers' exit work
    // (the leak scan), which takes its own time on a loaded machine.
    EXPECT_TRUE(run.waitForLine("exit 0", 5.0)) << run.output();
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - pressed).count(), 1.0);
    EXPECT_EQ(0, run.waitExit(120.0)) << run.output();
}
