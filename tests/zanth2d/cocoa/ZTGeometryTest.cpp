#include <gtest/gtest.h>

#include <cmath>

#include "cocoa/ZTGeometry.h"

using namespace zanth2d;

TEST(ZTGeometryTest, equalityIsExactAndNaNNeverEqual)
{
    EXPECT_FALSE(ZTPoint::ZTPointEqualToPoint(ZTPoint(1, 2), ZTPoint(1, std::nextafter(2.0f, 3.0f))));
    const ZTPoint nanPoint(NAN, 0);
    EXPECT_FALSE(ZTPoint::ZTPointEqualToPoint(nanPoint, nanPoint));
    EXPECT_FALSE(ZTSize::ZTSizeEqualToSize(ZTSize(1, NAN), ZTSize(1, NAN)));
    EXPECT_FALSE(ZTRect::ZTRectEqualToRect(ZTRect(1, 2, 3, 4), ZTRect(1, 2, 3, 5)));
    EXPECT_TRUE(ZTRect::ZTRectEqualToRect(ZTRect(1, 2, 3, 4), ZTRect(1, 2, 3, 4)));
    EXPECT_FLOAT_EQ(ZTRect::ZTRectGetMidY(ZTRect(10, -20, 5, 8)), -16);
}

TEST(ZTGeometryTest, containsPointIncludesEveryEdge)
{
    const ZTRect rect(0, 0, 10, 20);
    EXPECT_TRUE(ZTRect::ZTRectContainsPoint(rect, ZTPoint(10, 20)));
    EXPECT_TRUE(ZTRect::ZTRectContainsPoint(rect, ZTPoint(0, 0)));
    EXPECT_FALSE(ZTRect::ZTRectContainsPoint(rect, ZTPoint(10.001f, 5)));
    EXPECT_FALSE(ZTRect::ZTRectContainsPoint(rect, ZTPoint(5, -0.001f)));
}

TEST(ZTGeometryTest, touchingRectsIntersectSeparatedOnesDoNot)
{
    const ZTRect a(0, 0, 10, 10);
    EXPECT_TRUE(ZTRect::ZTRectIntersectsRect(a, ZTRect(10, 10, 5, 5)));
    EXPECT_TRUE(ZTRect::ZTRectIntersectsRect(ZTRect(-5, 3, 5, 1), a));
    EXPECT_FALSE(ZTRect::ZTRectIntersectsRect(a, ZTRect(10.5f, 0, 5, 5)));
    EXPECT_FALSE(ZTRect::ZTRectIntersectsRect(a, ZTRect(0, -6, 5, 5)));
    EXPECT_FALSE(ZTRect::ZTRectIntersectsRect(ZTRect(0, 11, 1, 1), a));
}

TEST(ZTGeometryDeathTest, negativeRectSizeIsAProgrammingError)
{
    EXPECT_DEATH(ZTRect(0, 0, -1, 1), "width >= 0 && height >= 0");
}
