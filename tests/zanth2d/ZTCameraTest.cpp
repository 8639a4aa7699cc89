#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cfloat>
#include <memory>

#include "GLTestContext.h"
#include "ZTCamera.h"
#include "ZTDirector.h"
#include "cocoa/ZTAutoreleasePool.h"

using namespace zanth2d;

class CameraTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    void TearDown() override
    {
        ZTDirector::sharedDirector()->setContentScaleFactor(1.0f);
        ZTPoolManager::getInstance()->pop();
    }

    GLTestContext context;
};

TEST_F(CameraTest, unchangedCameraAppliesNothing)
{
    ZTCamera* camera = new ZTCamera();
    float x, y, z;
    camera->getEyeXYZ(&x, &y, &z);
    EXPECT_EQ(z, FLT_EPSILON);
    camera->locate();
    const auto identity = GLTestContext::modelViewMatrix();
    EXPECT_EQ(identity[0], 1.0f);
    EXPECT_EQ(identity[14], 0.0f);
    camera->release();
}

TEST_F(CameraTest, changedCameraAppliesTheLookAtOnEveryLocate)
{
    ZTCamera* camera = new ZTCamera();
    camera->setEyeXYZ(0, 0, 5);
    camera->locate();
    EXPECT_FLOAT_EQ(GLTestContext::modelViewMatrix()[14], -5.0f);
    camera->locate();
    EXPECT_FLOAT_EQ(GLTestContext::modelViewMatrix()[14], -10.0f);
    camera->restore();
    camera->locate();
    EXPECT_FLOAT_EQ(GLTestContext::modelViewMatrix()[14], -10.0f) << "restored cameras are unchanged again";
    camera->release();
}

TEST_F(CameraTest, eyeAndCentreAreReadInPointsAndAppliedInPixels)
{
    ZTDirector::sharedDirector()->setContentScaleFactor(2.0f);
    glLoadIdentity(); // the factor re-applies the director's projection to the model-view matrix
    ZTCamera* camera = new ZTCamera();
    camera->setEyeXYZ(1, 2, 3);
    camera->setCenterXYZ(4, 5, 6);
    camera->setUpXYZ(0, 0.5f, 0);
    float x, y, z;
    camera->getEyeXYZ(&x, &y, &z);
    EXPECT_FLOAT_EQ(x, 1.0f);
    EXPECT_FLOAT_EQ(y, 2.0f);
    EXPECT_FLOAT_EQ(z, 3.0f);
    camera->getCenterXYZ(&x, &y, &z);
    EXPECT_FLOAT_EQ(z, 6.0f);
    camera->getUpXYZ(&x, &y, &z);
    EXPECT_FLOAT_EQ(y, 0.5f) << "the up vector is not scaled";
    std::unique_ptr<char[]> text(camera->description());
    EXPECT_STREQ(text.get(), "<ZTCamera | center = (8.00,10.00,12.00)>");

    camera->setEyeXYZ(0, 0, 3);
    camera->setCenterXYZ(0, 0, 0);
    camera->setUpXYZ(0, 1, 0);
    camera->locate();
    EXPECT_FLOAT_EQ(GLTestContext::modelViewMatrix()[14], -6.0f);
    camera->release();
}
