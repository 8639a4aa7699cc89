#include <gtest/gtest.h>

#include "support/ZTTransformUtils.h"

using namespace zanth2d;

TEST(ZTTransformUtilsTest, affineFillsTheColumnMajorGLMatrixAndReadsBack)
{
    const ZTAffineTransform t = __ZTAffineTransformMake(1, 2, 3, 4, 5, 6);
    float m[16];
    for (float& v : m) {
        v = 99;
    }
    CGAffineToGL(&t, m);
    const float expected[16] = {1, 2, 0, 0, 3, 4, 0, 0, 0, 0, 1, 0, 5, 6, 0, 1};
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(m[i], expected[i]) << "entry " << i;
    }
    ZTAffineTransform back = ZTAffineTransformIdentity;
    GLToCGAffine(m, &back);
    EXPECT_TRUE(ZTAffineTransformEqualToTransform(back, t));
}
