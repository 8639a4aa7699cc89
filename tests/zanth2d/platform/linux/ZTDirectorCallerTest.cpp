#include <gtest/gtest.h>

#include <GLFW/glfw3.h>

#include "platform/linux/ZTDirectorCaller.h"

using namespace zanth2d;

TEST(ZTDirectorCallerPacing, followsTheReportedRefreshRateAndSixtyHertzWhenNoneIsReported)
{
    EXPECT_DOUBLE_EQ(1.0 / 144.0, ZTDirectorCaller::refreshPeriodFor(144));
    EXPECT_DOUBLE_EQ(1.0 / 50.0, ZTDirectorCaller::refreshPeriodFor(50));
    EXPECT_DOUBLE_EQ(1.0 / 60.0, ZTDirectorCaller::refreshPeriodFor(0));
    EXPECT_DOUBLE_EQ(1.0 / 60.0, ZTDirectorCaller::refreshPeriodFor(-1));

    // Xvfb's screen has no refresh rate: the loop keeps its 60 Hz there.
    ASSERT_EQ(GLFW_TRUE, glfwInit());
    const GLFWvidmode* mode = glfwGetVideoMode(glfwGetPrimaryMonitor());
    ASSERT_NE(nullptr, mode);
    EXPECT_DOUBLE_EQ(ZTDirectorCaller::refreshPeriodFor(mode->refreshRate),
                     ZTDirectorCaller::displayRefreshPeriod());
    glfwTerminate();
}
