#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

#include "ZTCamera.h"
#include "ZTDirector.h"
#include "actions/ZTActionCamera.h"
#include "base_nodes/ZTNode.h"
#include "cocoa/ZTAutoreleasePool.h"

using namespace zanth2d;

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

struct Eye
{
    float x, y, z;
};

Eye eyeOf(ZTNode* node)
{
    Eye eye{};
    node->getCamera()->getEyeXYZ(&eye.x, &eye.y, &eye.z);
    return eye;
}

// A node and orbits started on it by hand; both live until the end of the test.
class OrbitTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ZTDirector::sharedDirector();
        node = new ZTNode();
    }
    void TearDown() override
    {
        for (ZTOrbitCamera* orbit : orbits) {
            orbit->release();
        }
        node->release();
    }

    ZTOrbitCamera* start(ZTOrbitCamera* orbit)
    {
        orbit->retain();
        orbits.push_back(orbit);
        orbit->startWithTarget(node);
        return orbit;
    }

    ZTNode* node = nullptr;
    std::vector<ZTOrbitCamera*> orbits;
};

} // namespace

TEST_F(OrbitTest, theDefaultCameraSitsOneEyeDistanceUpTheZAxis)
{
    ZTOrbitCamera* orbit = start(ZTOrbitCamera::actionWithDuration(1, 1, 0, 0, 0, 0, 0));
    float radius = 0;
    float zenith = -1;
    float azimuth = -1;
    orbit->sphericalRadius(&radius, &zenith, &azimuth);
    EXPECT_FLOAT_EQ(radius, 1);
    EXPECT_FLOAT_EQ(zenith, 0);
    EXPECT_FLOAT_EQ(azimuth, 0) << "a zero distance in the plane is taken as epsilon, never divided by";
}

TEST_F(OrbitTest, aQuarterTurnAboutZMovesTheEyeOntoTheXAxis)
{
    ZTOrbitCamera* orbit = start(ZTOrbitCamera::actionWithDuration(2, 1, 1, 0, 90, 0, 0));
    orbit->update(0);
    EXPECT_NEAR(eyeOf(node).z, FLT_EPSILON, 1e-12);
    orbit->update(1);
    const Eye eye = eyeOf(node);
    EXPECT_NEAR(eye.x, 2 * FLT_EPSILON, 1e-12) << "radius 1 + 1";
    EXPECT_NEAR(eye.y, 0, 1e-12);
    EXPECT_NEAR(eye.z, 0, 1e-12);
}

TEST_F(OrbitTest, anOrbitGivenAsNaNStartsFromTheCamerasCurrentPosition)
{
    node->getCamera()->setEyeXYZ(-2 * FLT_EPSILON, 2 * FLT_EPSILON, 0);
    const Eye before = eyeOf(node);
    ZTOrbitCamera* orbit = start(ZTOrbitCamera::actionWithDuration(1, kNaN, 0, kNaN, 0, kNaN, 0));
    orbit->update(0);
    const Eye after = eyeOf(node);
    EXPECT_NEAR(after.x, before.x, 1e-12);
    EXPECT_NEAR(after.y, before.y, 1e-12);
    EXPECT_NEAR(after.z, before.z, 1e-12);
}

TEST_F(OrbitTest, copiesKeepTheParametersAndReverseRunsBackwards)
{
    ZTOrbitCamera* orbit = ZTOrbitCamera::actionWithDuration(3, 1, 0, 0, 90, 0, 0);
    auto* copy = static_cast<ZTOrbitCamera*>(orbit->copy());
    copy->autorelease();
    EXPECT_FLOAT_EQ(copy->getDuration(), 3);
    start(copy)->update(1);
    EXPECT_NEAR(eyeOf(node).x, FLT_EPSILON, 1e-12);

    auto* reverse = dynamic_cast<ZTReverseTime*>(orbit->reverse());
    ASSERT_NE(reverse, nullptr);
    reverse->startWithTarget(node);
    reverse->update(1);
    EXPECT_NEAR(eyeOf(node).x, 0, 1e-12);
    EXPECT_NEAR(eyeOf(node).z, FLT_EPSILON, 1e-12);
    ZTPoolManager::getInstance()->getCurReleasePool()->clear();
}
