// Starts a game the way its main() does, under the X server of the test run: the window the delegate
// opens, the QML it runs inside the frame pump, and the ways the process ends.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "VisibleWindowLock.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string commandOutput(const std::string& command)
{
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe)
        return out;
    std::array<char, 512> buffer{};
    while (fgets(buffer.data(), buffer.size(), pipe.get()))
        out += buffer.data();
    return out;
}

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

// One run of the start-up program in a folder of its own holding its qml/ files; output goes to a file.
class StartupRun
{
public:
    StartupRun(const std::string& configTitle, const char* mainQml)
    {
        char dir[] = "/tmp/zanth-startup-XXXXXX";
        m_dir = mkdtemp(dir);
        std::system(("mkdir -p " + m_dir + "/qml").c_str());
        std::ofstream(m_dir + "/qml/config.json") << "{ \"title\": \"" << configTitle << "\" }\n";
        std::ofstream(m_dir + "/qml/main.qml") << mainQml;
        m_output = m_dir + "/output.txt";
        const std::string program = std::string(std::getenv("ZANTH_TEST_PROGRAMS")) + "/StartupProgram";
        m_pid = fork();
        if (m_pid == 0) {
            const int fd = open(m_output.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
            dup2(fd, STDOUT_FILENO);
            dup2(fd, STDERR_FILENO);
            if (chdir(m_dir.c_str()) != 0)
                _exit(126);
            execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }

    ~StartupRun()
    {
        if (m_pid > 0 && !m_exited) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        std::system(("rm -rf " + m_dir).c_str());
    }

    std::string output() const
    {
        std::ifstream in(m_output);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }

    bool waitForLine(const std::string& text, double seconds = 10.0) const
    {
        const auto end = Clock::now() + std::chrono::duration<double>(seconds);
        while (Clock::now() < end) {
            if (output().find(text) != std::string::npos)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    // The window with exactly this title, waiting for it to show; empty when it never does.
    std::string windowId(const std::string& title) const
    {
        std::string id;
        const auto end = Clock::now() + std::chrono::seconds(10);
        while (id.empty() && Clock::now() < end) {
            std::istringstream in(
                commandOutput("timeout 5 xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null"));
            in >> id;
            if (id.empty())
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return id;
    }

    // The exit status, or -1 on timeout or a signal.
    int waitExit(double seconds, double* took = nullptr)
    {
        const auto start = Clock::now();
        const auto end = start + std::chrono::duration<double>(seconds);
        while (Clock::now() < end) {
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_exited = true;
                if (took)
                    *took = std::chrono::duration<double>(Clock::now() - start).count();
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return -1;
    }

private:
    std::string m_dir;
    std::string m_output;
    pid_t m_pid = -1;
    bool m_exited = false;
};

const VisibleWindowLock g_windowLock;

} // namespace

TEST(Startup, opensThe960By640WindowTitledFromTheConfigAndQuitsWithStatusZero)
{
    StartupRun run("Zanth start-up check", kQuittingMain);
    const std::string id = run.windowId("Zanth start-up check");
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
    StartupRun run("", kQuittingMain);
    EXPECT_FALSE(run.windowId("Zanth").empty()) << run.output();
    EXPECT_EQ(0, run.waitExit(10.0)) << run.output();
}

TEST(Startup, escapeEndsTheProcessWithStatusZeroWithinASecond)
{
    StartupRun run("Zanth escape check", kWaitingMain);
    const std::string id = run.windowId("Zanth escape check");
    ASSERT_FALSE(id.empty()) << run.output();
    ASSERT_TRUE(run.waitForLine("qml running")) << run.output();
    std::system(("xdotool windowfocus " + id + " >/dev/null 2>&1").c_str());
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    std::system("xdotool key Escape");
    double took = 0;
    EXPECT_EQ(0, run.waitExit(5.0, &took)) << run.output();
    EXPECT_LT(took, 1.0);
}
