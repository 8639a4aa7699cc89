#include <gtest/gtest.h>

#include <GLFW/glfw3.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>

#include "ShellCommand.h"
#include "VisibleWindowLock.h"
#include "platform/linux/DesktopWindow.h"

using namespace zanth2d;

namespace {

// Waits for the window manager-less X server to apply a size change.
void settle(DesktopWindow& window, int width, int height)
{
    for (int i = 0; i < 100; ++i) {
        glfwPollEvents();
        int w = 0;
        int h = 0;
        window.getContentSize(&w, &h);
        if (w == width && h == height) {
            return;
        }
        glfwWaitEventsTimeout(0.02);
    }
}

const VisibleWindowLock g_windowLock;

} // namespace

TEST(DesktopWindowCreation, failsWithAMessageWhenNoDisplayCanBeOpened)
{
    const std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    setenv("DISPLAY", ":4321", 1);
    testing::internal::CaptureStderr();
    {
        DesktopWindow window;
        EXPECT_FALSE(window.initWithFrame("Nowhere", 960, 640));
        EXPECT_EQ(nullptr, window.handle());
        int w = -1;
        int h = -1;
        window.getContentSize(&w, &h);
        EXPECT_EQ(0, w);
        EXPECT_EQ(0, h);
        EXPECT_FALSE(DesktopWindow::currentContext()) << "no window, no context";
    }
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos, err.find("No OpenGL pixel format")) << err;
    setenv("DISPLAY", display.c_str(), 1);
}

TEST(DesktopWindowCreation, opensTitledWindowOfTheAskedSizeWithDepthAndStencil)
{
    DesktopWindow window;
    ASSERT_TRUE(window.initWithFrame("Zanth window test", 960, 640));
    settle(window, 960, 640);
    int w = 0;
    int h = 0;
    window.getContentSize(&w, &h);
    EXPECT_EQ(960, w);
    EXPECT_EQ(640, h);
    EXPECT_FALSE(window.shouldClose());
    EXPECT_FALSE(window.isResizable());

    GLint depth = 0;
    GLint stencil = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depth);
    glGetIntegerv(GL_STENCIL_BITS, &stencil);
    EXPECT_GE(depth, 24);
    EXPECT_GE(stencil, 8);
    EXPECT_EQ(GLFW_OPENGL_COMPAT_PROFILE == glfwGetWindowAttrib(window.handle(), GLFW_OPENGL_PROFILE) ||
                  GLFW_OPENGL_ANY_PROFILE == glfwGetWindowAttrib(window.handle(), GLFW_OPENGL_PROFILE),
              true);

    const std::string info = commandOutput("xwininfo -name 'Zanth window test' 2>&1");
    EXPECT_NE(std::string::npos, info.find("Width: 960")) << info;
    EXPECT_NE(std::string::npos, info.find("Height: 640")) << info;
}

TEST(DesktopWindowCreation, theCurrentContextIsNamedApartForEachWindowAndNullWithoutOne)
{
    DesktopWindow first;
    DesktopWindow second;
    ASSERT_TRUE(first.initWithFrame("Zanth first context", 64, 64));
    ASSERT_TRUE(second.initWithFrame("Zanth second context", 64, 64));
    first.makeContextCurrent();
    const auto firstContext = DesktopWindow::currentContext();
    second.makeContextCurrent();
    const auto secondContext = DesktopWindow::currentContext();
    EXPECT_TRUE(firstContext);
    EXPECT_TRUE(secondContext);
    EXPECT_NE(firstContext, secondContext);
    first.makeContextCurrent();
    EXPECT_EQ(DesktopWindow::currentContext(), firstContext);
    glfwMakeContextCurrent(nullptr);
    EXPECT_FALSE(DesktopWindow::currentContext());
    EXPECT_FALSE(DesktopWindow::hasCurrentContext());
}

TEST(DesktopWindowCreation, aWindowOpenedAfterAnotherClosedHasAContextNamedApart)
{
    // GLFW may well give the new window the memory, and so the address, of the one that closed.
    std::set<decltype(DesktopWindow::currentContext())> names;
    for (int i = 0; i < 4; ++i) {
        DesktopWindow window;
        ASSERT_TRUE(window.initWithFrame("Zanth closing context", 64, 64));
        names.insert(DesktopWindow::currentContext());
    }
    EXPECT_EQ(names.size(), 4u);
    EXPECT_FALSE(DesktopWindow::currentContext()) << "the current window took its context along";
}

TEST(DesktopWindowGeometry, resizeKeepsTheTopLeftCorner)
{
    DesktopWindow window;
    ASSERT_TRUE(window.initWithFrame("resize", 400, 300));
    settle(window, 400, 300);
    int x0 = 0;
    int y0 = 0;
    glfwGetWindowPos(window.handle(), &x0, &y0);
    window.setContentSize(500, 200);
    settle(window, 500, 200);
    int w = 0;
    int h = 0;
    window.getContentSize(&w, &h);
    EXPECT_EQ(500, w);
    EXPECT_EQ(200, h);
    int x1 = 0;
    int y1 = 0;
    glfwGetWindowPos(window.handle(), &x1, &y1);
    EXPECT_EQ(x0, x1);
    EXPECT_EQ(y0, y1);
}

TEST(DesktopWindowGeometry, fullScreenFillsTheMonitorAndLeavingRestoresTheSavedFrame)
{
    DesktopWindow window;
    ASSERT_TRUE(window.initWithFrame("full", 320, 240));
    settle(window, 320, 240);
    const GLFWvidmode* mode = glfwGetVideoMode(glfwGetPrimaryMonitor());
    ASSERT_NE(nullptr, mode);

    window.setFullScreen(true);
    window.setFullScreen(true);
    EXPECT_TRUE(window.isFullScreen());
    settle(window, mode->width, mode->height);
    int w = 0;
    int h = 0;
    window.getContentSize(&w, &h);
    EXPECT_EQ(mode->width, w);
    EXPECT_EQ(mode->height, h);

    window.setFullScreen(false);
    EXPECT_FALSE(window.isFullScreen());
    settle(window, 320, 240);
    window.getContentSize(&w, &h);
    EXPECT_EQ(320, w);
    EXPECT_EQ(240, h);
}

TEST(DesktopWindowGeometry, resizableFollowsTheSwitch)
{
    DesktopWindow window;
    ASSERT_TRUE(window.initWithFrame("flags", 200, 100));
    window.setResizable(true);
    EXPECT_TRUE(window.isResizable());
    window.setResizable(false);
    EXPECT_FALSE(window.isResizable());
}

TEST(DesktopWindowGeometry, twoWindowsShareOneLibraryLifetime)
{
    auto first = std::make_unique<DesktopWindow>();
    auto second = std::make_unique<DesktopWindow>();
    ASSERT_TRUE(first->initWithFrame("one", 100, 100));
    ASSERT_TRUE(second->initWithFrame("two", 100, 100));
    first.reset();
    // The second window still works after the first one went away.
    second->makeContextCurrent();
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char pixel[4] = {};
    glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(255, pixel[1]);
}
