// The window made ahead on a thread of its own (DesktopWindow::prepareWindow): it is there, hidden and
// untitled, before anyone asks for a window; the window asked for next is that very window, titled,
// sized, shown and with its context current on the asking thread, and known to the window system by the
// same class as a window made at once; one nobody takes is ended. A
// preparation needs a process in which GLFW has not started yet: each case runs in a process of its own,
// which exits with 0 when every check held and names the checks that failed otherwise.

#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GLFW/glfw3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

#include "Deadline.h"
#include "ShellCommand.h"
#include "platform/linux/DesktopWindow.h"

using namespace zanth2d;

namespace {

// The X id of a top-level window without a name of that size (sizes no other test uses), or "".
std::string unnamedWindowOfSize(int width, int height)
{
    std::istringstream lines(commandOutput("xwininfo -root -children 2>/dev/null"));
    const std::string size = std::to_string(width) + "x" + std::to_string(height) + "+";
    for (std::string line; std::getline(lines, line);) {
        if (line.find("(has no name)") != std::string::npos && line.find(size) != std::string::npos) {
            std::istringstream words(line);
            std::string id;
            words >> id;
            return id;
        }
    }
    return {};
}

bool waitFor(const std::function<bool()>& condition)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20) * deadlineScale();
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return condition();
}

// Counts the checks that fail, naming each on stderr, and exits with their number.
class Checks
{
public:
    void operator()(bool held, const char* what)
    {
        if (!held) {
            std::fprintf(stderr, "failed: %s\n", what);
            ++m_failed;
        }
    }
    [[noreturn]] void exit() { std::exit(m_failed); }

private:
    int m_failed = 0;
};

void takeThePreparedWindow()
{
    Checks check;
    DesktopWindow::prepareWindow(317, 203);
    std::string prepared;
    check(waitFor([&] { return !(prepared = unnamedWindowOfSize(317, 203)).empty(); }),
          "the window is made before it is asked for");
    check(commandOutput("xwininfo -id " + prepared + " 2>&1").find("IsUnMapped") != std::string::npos,
          "the prepared window stays hidden");

    DesktopWindow window;
    check(window.initWithFrame("Zanth prepared window", 401, 299), "the window opens");
    check(glGetString(GL_VERSION) != nullptr, "its context is current on this thread");
    check(DesktopWindow::currentContext() != 0, "its context is named");
    check(waitFor([&] {
              glfwPollEvents();
              int width = 0;
              int height = 0;
              window.getContentSize(&width, &height);
              return width == 401 && height == 299;
          }),
          "it takes the size asked for");
    const std::string info = commandOutput("xwininfo -id " + prepared + " 2>&1");
    check(info.find("\"Zanth prepared window\"") != std::string::npos,
          "the prepared window is the one opened");
    check(info.find("IsViewable") != std::string::npos, "it is shown");
    check(info.find("Width: 401") != std::string::npos && info.find("Height: 299") != std::string::npos,
          "the server shows it at that size");

    // GLFW has started: a later preparation does nothing, and a window asked for is made at once.
    DesktopWindow::prepareWindow(313, 211);
    DesktopWindow second;
    check(second.initWithFrame("Zanth second window", 64, 64), "a second window opens");
    check.exit();
}

// The class (WM_CLASS) by which task bars and window managers group and name the top-level window of the
// title, as xwininfo shows it: ("name" "class"); "" when there is no such window.
std::string classOfWindowNamed(const std::string& title)
{
    std::istringstream lines(commandOutput("xwininfo -root -children 2>/dev/null"));
    const std::string named = "\"" + title + "\": (";
    for (std::string line; std::getline(lines, line);) {
        const size_t at = line.find(named);
        if (at != std::string::npos) {
            const size_t from = at + named.size() - 1;
            return line.substr(from, line.find(')', from) + 1 - from);
        }
    }
    return {};
}

void classTheWindowAsOneMadeAtOnce()
{
    Checks check;
    // Would name the class's instance instead of the title.
    unsetenv("RESOURCE_NAME");
    DesktopWindow::prepareWindow(319, 209);
    DesktopWindow prepared;
    check(prepared.initWithFrame("Zanth classed window", 319, 209), "the prepared window opens");
    DesktopWindow madeAtOnce;
    check(madeAtOnce.initWithFrame("Zanth window made at once", 64, 64), "a window made at once opens");
    check(classOfWindowNamed("Zanth window made at once") ==
              "(\"Zanth window made at once\" \"Zanth window made at once\")",
          "a window made at once is classed after its title");
    const std::string preparedClass = classOfWindowNamed("Zanth classed window");
    check(preparedClass == "(\"Zanth classed window\" \"Zanth classed window\")",
          ("the prepared window is classed after its title, not " + preparedClass).c_str());
    check.exit();
}

void discardThePreparedWindow()
{
    Checks check;
    DesktopWindow::prepareWindow(311, 207);
    std::string prepared;
    check(waitFor([&] { return !(prepared = unnamedWindowOfSize(311, 207)).empty(); }),
          "the window is made before it is asked for");
    DesktopWindow::discardPreparedWindow();
    check(waitFor([&] {
              glfwPollEvents();
              return commandOutput("xwininfo -id " + prepared + " 2>&1").find("No such window") !=
                     std::string::npos;
          }),
          "the window nobody took is ended");
    DesktopWindow window;
    check(window.initWithFrame("Zanth window after a discarded one", 64, 64),
          "a window asked for then opens");
    check(glGetString(GL_VERSION) != nullptr, "with its context current");
    check.exit();
}

} // namespace

TEST(DesktopWindowPreparation, theNextWindowAskedForIsThePreparedOneTitledSizedShownAndCurrent)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(takeThePreparedWindow(), testing::ExitedWithCode(0), "");
}

// Its class is given when the window is made, after the title it then has: the prepared one has none yet.
TEST(DesktopWindowPreparation, thePreparedWindowHasTheClassOfAWindowMadeAtOnceWithItsTitle)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(classTheWindowAsOneMadeAtOnce(), testing::ExitedWithCode(0), "");
}

TEST(DesktopWindowPreparation, aPreparedWindowNobodyTakesIsEnded)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(discardThePreparedWindow(), testing::ExitedWithCode(0), "");
}
