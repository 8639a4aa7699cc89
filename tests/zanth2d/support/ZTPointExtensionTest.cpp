#include <gtest/gtest.h>

#include <cmath>

#include "support/ZTPointExtension.h"

using namespace zanth2d;

TEST(ZTPointExtensionTest, clampfSwapsReversedBounds)
{
    EXPECT_FLOAT_EQ(clampf(5, 10, 0), 5);
    EXPECT_FLOAT_EQ(clampf(-1, 10, 0), 0);
    EXPECT_FLOAT_EQ(clampf(11, 10, 0), 10);
    const ZTPoint clamped = ztpClamp(ZTPoint(-5, 50), ZTPoint(0, 10), ZTPoint(10, 0));
    EXPECT_TRUE(ZTPoint::ZTPointEqualToPoint(clamped, ZTPoint(0, 10)));
}

TEST(ZTPointExtensionTest, anglesAreExactlyZeroForEqualDirections)
{
    // (2, 3) and (1, 7) normalise to unit vectors whose float dot product rounds above 1, where acos
    // has no answer.
    for (const ZTPoint& v : {ZTPoint(3, 4), ZTPoint(2, 3), ZTPoint(1, 7), ZTPoint(-0.3f, 0.4f)}) {
        EXPECT_EQ(ztpAngle(v, v), 0.0f) << v.x << "," << v.y;
        EXPECT_EQ(ztpAngleSigned(v, ztpMult(v, 3)), 0.0f);
    }
    EXPECT_FLOAT_EQ(ztpAngle(ZTPoint(1, 0), ZTPoint(-1, 0)), float(M_PI));
    EXPECT_FLOAT_EQ(ztpAngleSigned(ZTPoint(0, 2), ZTPoint(1, 0)), float(-M_PI / 2));
}

TEST(ZTPointExtensionTest, rotateByAngleTurnsAroundThePivot)
{
    const ZTPoint turned = ztpRotateByAngle(ZTPoint(3, 1), ZTPoint(1, 1), float(M_PI / 2));
    EXPECT_NEAR(turned.x, 1, 1e-6);
    EXPECT_NEAR(turned.y, 3, 1e-6);
}

TEST(ZTPointExtensionTest, lineIntersectionParametersParallelAndDegenerateLines)
{
    float s = -7, t = -7;
    ASSERT_TRUE(ztpLineIntersect(ZTPoint(0, 0), ZTPoint(4, 0), ZTPoint(1, -1), ZTPoint(1, 1), &s, &t));
    EXPECT_FLOAT_EQ(s, 0.25f);
    EXPECT_FLOAT_EQ(t, 0.5f);

    s = t = -7;
    EXPECT_FALSE(ztpLineIntersect(ZTPoint(1, 1), ZTPoint(1, 1), ZTPoint(0, 0), ZTPoint(1, 0), &s, &t));
    EXPECT_FALSE(ztpLineIntersect(ZTPoint(0, 0), ZTPoint(1, 0), ZTPoint(2, 2), ZTPoint(2, 2), &s, &t));
    EXPECT_EQ(s, -7);
    // Parallel lines never meet; coincident ones do.
    EXPECT_FALSE(ztpLineIntersect(ZTPoint(0, 0), ZTPoint(1, 0), ZTPoint(0, 1), ZTPoint(1, 1), &s, &t));
    EXPECT_TRUE(ztpLineIntersect(ZTPoint(0, 0), ZTPoint(1, 0), ZTPoint(2, 0), ZTPoint(3, 0), &s, &t));
}

TEST(ZTPointExtensionTest, segmentsMustMeetWithinBothEnds)
{
    EXPECT_TRUE(ztpSegmentIntersect(ZTPoint(0, 0), ZTPoint(2, 2), ZTPoint(0, 2), ZTPoint(2, 0)));
    EXPECT_FALSE(ztpSegmentIntersect(ZTPoint(0, 0), ZTPoint(1, 1), ZTPoint(0, 4), ZTPoint(4, 0)));
    const ZTPoint hit = ztpIntersectPoint(ZTPoint(0, 0), ZTPoint(1, 1), ZTPoint(0, 4), ZTPoint(4, 0));
    EXPECT_TRUE(ZTPoint::ZTPointEqualToPoint(hit, ZTPoint(2, 2)));
    EXPECT_TRUE(ZTPoint::ZTPointEqualToPoint(
        ztpIntersectPoint(ZTPoint(5, 5), ZTPoint(6, 5), ZTPoint(5, 6), ZTPoint(6, 6)), ZTPointZero));
}
