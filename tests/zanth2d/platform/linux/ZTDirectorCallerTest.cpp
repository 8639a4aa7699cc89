#include <gtest/gtest.h>

#include "platform/linux/ZTDirectorCaller.h"

using namespace zanth2d;

TEST(ZTDirectorCallerPacing, followsTheReportedRefreshRateAndSixtyHertzWhenNoneIsReported)
{
    EXPECT_DOUBLE_EQ(1.0 / 144.0, ZTDirectorCaller::refreshPeriodFor(144));
    EXPECT_DOUBLE_EQ(1.0 / 50.0, ZTDirectorCaller::refreshPeriodFor(50));
    // Xvfb reports 0.
    EXPECT_DOUBLE_EQ(1.0 / 60.0, ZTDirectorCaller::refreshPeriodFor(0));
    EXPECT_DOUBLE_EQ(1.0 / 60.0, ZTDirectorCaller::refreshPeriodFor(-1));
}
