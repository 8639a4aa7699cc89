#include <gtest/gtest.h>

#include <string>

#include "platform/ZTCommon.h"

using namespace zanth2d;

TEST(LogTest, writesFormattedTextWithoutPrefixOrLineBreak)
{
    testing::internal::CaptureStdout();
    ZTLog("%d%%", 50);
    ZTLog("[%s]", "x");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "50%[x]");
}

TEST(LogTest, percentSignsInTheFormattedTextArePrintedAsTheyStand)
{
    testing::internal::CaptureStdout();
    ZTLog("%s", "100%d %s");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "100%d %s");
}

TEST(LogTest, textLongerThanTheBufferIsCut)
{
    const std::string longText(20000, 'a');
    testing::internal::CaptureStdout();
    ZTLog("%s", longText.c_str());
    EXPECT_EQ(testing::internal::GetCapturedStdout().size(), 16383u);
}

TEST(LogTest, messageBoxWritesTitleThenMessage)
{
    testing::internal::CaptureStdout();
    ZTMessageBox("Get data from file(x) failed!", "Notification");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Notification: Get data from file(x) failed!");
}
