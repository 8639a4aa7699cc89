#include <gtest/gtest.h>

#include <cmath>

#include "GLTestContext.h"
#include "support/ZTGLU.h"

using namespace zanth2d;

namespace {
class ZTGLUTest : public ::testing::Test
{
protected:
    GLTestContext context{16, 16};

    // M·(x, y, z, 1) for a column-major matrix.
    static std::array<float, 3> apply(const std::array<float, 16>& m, float x, float y, float z)
    {
        return {m[0] * x + m[4] * y + m[8] * z + m[12], m[1] * x + m[5] * y + m[9] * z + m[13],
                m[2] * x + m[6] * y + m[10] * z + m[14]};
    }
};
} // namespace

TEST_F(ZTGLUTest, perspectiveBuildsTheSymmetricFrustum)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    zanth2d::gluPerspective(60, 2, 0.5f, 1500);
    const auto m = GLTestContext::projectionMatrix();
    const float f = 1.0f / std::tan(float(M_PI) / 6);
    EXPECT_NEAR(m[0], f / 2, 1e-5);
    EXPECT_NEAR(m[5], f, 1e-5);
    EXPECT_NEAR(m[10], -(1500 + 0.5) / (1500 - 0.5), 1e-5);
    EXPECT_NEAR(m[11], -1, 1e-6);
    EXPECT_NEAR(m[14], -2 * 1500 * 0.5 / (1500 - 0.5), 1e-5);
    EXPECT_EQ(m[8], 0);
    EXPECT_EQ(m[9], 0);
}

TEST_F(ZTGLUTest, lookAtPutsTheEyeAtTheOriginLookingDownMinusZ)
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    zanth2d::gluLookAt(3, 4, 5, 1, -2, 0, 0, 1, 0);
    const auto m = GLTestContext::modelViewMatrix();
    const auto eye = apply(m, 3, 4, 5);
    const auto center = apply(m, 1, -2, 0);
    const float distance = std::sqrt(2.0f * 2 + 6 * 6 + 5 * 5);
    for (float v : eye) {
        EXPECT_NEAR(v, 0, 1e-4);
    }
    EXPECT_NEAR(center[0], 0, 1e-4);
    EXPECT_NEAR(center[1], 0, 1e-4);
    EXPECT_NEAR(center[2], -distance, 1e-4);
    // Up stays up: a point above the centre lands above the view axis.
    EXPECT_GT(apply(m, 1, 0, 0)[1], 0);
}

TEST_F(ZTGLUTest, lookAtWithEyeOnTheCentreStaysFinite)
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    zanth2d::gluLookAt(1, 2, 3, 1, 2, 3, 0, 1, 0);
    const auto m = GLTestContext::modelViewMatrix();
    for (int i = 0; i < 16; ++i) {
        EXPECT_TRUE(std::isfinite(m[i])) << "entry " << i;
    }
    EXPECT_EQ(m[0], 0);
    EXPECT_EQ(m[5], 0);
    EXPECT_EQ(m[10], 0);
    EXPECT_EQ(m[15], 1);
}
