#include <gtest/gtest.h>

#include "support/ZTUtils.h"

using namespace zanth2d;

TEST(ZTUtilsTest, nextPOTIsTheSmallestPowerOfTwoNotBelow)
{
    EXPECT_EQ(ztNextPOT(0), 0ul);
    EXPECT_EQ(ztNextPOT(1), 1ul);
    EXPECT_EQ(ztNextPOT(2), 2ul);
    EXPECT_EQ(ztNextPOT(3), 4ul);
    EXPECT_EQ(ztNextPOT(64), 64ul);
    EXPECT_EQ(ztNextPOT(65), 128ul);
    EXPECT_EQ(ztNextPOT(1025), 2048ul);
    EXPECT_EQ(ztNextPOT((1ul << 31) + 1), 1ul << 32);
    EXPECT_EQ(ztNextPOT(1ul << 32), 1ul << 32);
    EXPECT_EQ(ztNextPOT((1ul << 32) + 1), 1ul << 33);
}
