// Starts a game the way its main() does, under the X server of the test run: the window the delegate
// opens, the QML it runs inside the frame pump, and the ways the process ends.

#include <gtest/gtest.h>

#include "EngineProcess.h"
#include "VisibleWindowLock.h"

namespace {

const char* const kQuittingMain = R"(import QtQuick 2.15
Item {
    Timer {
        interval: 200
        running: true
        onTriggered: {
            console.log("timer fired after 200 ms")
            Qt.quit()
        }
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
    EXPECT_EQ(0, run.waitExit(10.0)) << run.output();
    EXPECT_NE(std::string::npos, run.output().find("exit 0")) << run.output();
}

TEST(Startup, anEmptyConfigTitleGivesAWindowTitledZanth)
{
    EngineProcess run("", kQuittingMain);
    EXPECT_FALSE(run.windowId().empty()) << run.output();
    EXPECT_EQ(0, run.waitExit(10.0)) << run.output();
}

TEST(Startup, escapeEndsTheProcessWithStatusZeroWithinASecond)
{
    EngineProcess run("Zanth escape check", kWaitingMain);
    const std::string id = run.windowId();
    ASSERT_FALSE(id.empty()) << run.output();
    ASSERT_TRUE(run.waitForLine("qml running")) << run.output();
    run.focus();
    run.key("Escape");
    double took = 0;
    EXPECT_EQ(0, run.waitExit(5.0, &took)) << run.output();
    EXPECT_LT(took, 1.0);
}
