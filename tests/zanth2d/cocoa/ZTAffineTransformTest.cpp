#include <gtest/gtest.h>

#include <cmath>

#include "cocoa/ZTAffineTransform.h"

using namespace zanth2d;

namespace {
void expectPointNear(const ZTPoint& p, float x, float y)
{
    EXPECT_NEAR(p.x, x, 1e-4);
    EXPECT_NEAR(p.y, y, 1e-4);
}
} // namespace

TEST(ZTAffineTransformTest, applyRoundsOnceFromDoubleAndSizesIgnoreTranslation)
{
    // 16777216 + 1 - 1 is exact in double, but loses the 1 when every step rounds to float.
    const ZTAffineTransform t = __ZTAffineTransformMake(1, 0, 1, 0, -1, 0);
    EXPECT_EQ(__ZTPointApplyAffineTransform(ZTPoint(16777216.0f, 1.0f), t).x, 16777216.0f);
    const ZTSize size =
        __ZTSizeApplyAffineTransform(ZTSize(10, 100), __ZTAffineTransformMake(1, 2, 3, 4, 5, 6));
    EXPECT_TRUE(ZTSize::ZTSizeEqualToSize(size, ZTSize(310, 420)));
}

TEST(ZTAffineTransformTest, translateScaleRotateActBeforeTheTransform)
{
    const ZTAffineTransform base = __ZTAffineTransformMake(2, 0, 0, 3, 10, 20);
    const ZTPoint p(1, 1);
    expectPointNear(__ZTPointApplyAffineTransform(p, ZTAffineTransformTranslate(base, 4, 5)), 2 * 5 + 10,
                    3 * 6 + 20);
    expectPointNear(__ZTPointApplyAffineTransform(p, ZTAffineTransformScale(base, 4, 5)), 2 * 4 + 10,
                    3 * 5 + 20);
    // A quarter turn takes (1, 1) to (-1, 1) before base applies.
    expectPointNear(__ZTPointApplyAffineTransform(p, ZTAffineTransformRotate(base, float(M_PI / 2))), 8, 23);
}

TEST(ZTAffineTransformTest, concatAppliesFirstThenSecondAndInvertUndoes)
{
    const ZTAffineTransform t1 = __ZTAffineTransformMake(1, 2, 3, 4, 5, 6);
    const ZTAffineTransform t2 = ZTAffineTransformRotate(__ZTAffineTransformMake(2, 0, 0, 1, -7, 8), 0.3f);
    const ZTPoint p(0.5f, -2);
    const ZTPoint expected = __ZTPointApplyAffineTransform(__ZTPointApplyAffineTransform(p, t1), t2);
    const ZTAffineTransform both = ZTAffineTransformConcat(t1, t2);
    expectPointNear(__ZTPointApplyAffineTransform(p, both), expected.x, expected.y);
    expectPointNear(__ZTPointApplyAffineTransform(expected, ZTAffineTransformInvert(both)), p.x, p.y);
    EXPECT_TRUE(std::isinf(ZTAffineTransformInvert(__ZTAffineTransformMake(1, 2, 2, 4, 0, 0)).a));
}

TEST(ZTAffineTransformTest, rectTransformIsTheBoundsOfTheCorners)
{
    const ZTRect turned = ZTRectApplyAffineTransform(
        ZTRect(1, 2, 4, 2), ZTAffineTransformRotate(ZTAffineTransformIdentity, M_PI / 2));
    // A quarter turn maps (x, y) to (-y, x).
    expectPointNear(turned.origin, -4, 1);
    EXPECT_NEAR(turned.size.width, 2, 1e-5);
    EXPECT_NEAR(turned.size.height, 4, 1e-5);
}

TEST(ZTAffineTransformTest, rectThroughSingularInverseDoesNotStopTheProcess)
{
    const ZTAffineTransform infinite = ZTAffineTransformInvert(__ZTAffineTransformMake(0, 0, 0, 0, 1, 1));
    EXPECT_TRUE(std::isnan(ZTRectApplyAffineTransform(ZTRect(0, 0, 1, 1), infinite).size.width));
}
