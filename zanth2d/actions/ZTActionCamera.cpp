#include "actions/ZTActionCamera.h"

#include <cfloat>
#include <cmath>

#include "ZTCamera.h"
#include "base_nodes/ZTNode.h"
#include "cocoa/ZTAutoreleasedFactory.h"

namespace zanth2d {

namespace {

const float kDegreesToRadians = 0.017453292f;
const float kRadiansToDegrees = 57.29578f;
const float kPi = 3.1415927f;

} // namespace

//
// ZTActionCamera
//

void ZTActionCamera::startWithTarget(ZTNode* pTarget)
{
    ZTActionInterval::startWithTarget(pTarget);
    ZTCamera* camera = pTarget->getCamera();
    camera->getCenterXYZ(&m_fCenterXOrig, &m_fCenterYOrig, &m_fCenterZOrig);
    camera->getEyeXYZ(&m_fEyeXOrig, &m_fEyeYOrig, &m_fEyeZOrig);
    camera->getUpXYZ(&m_fUpXOrig, &m_fUpYOrig, &m_fUpZOrig);
}

ZTActionInterval* ZTActionCamera::reverse()
{
    return ZTReverseTime::actionWithAction(this);
}

//
// ZTOrbitCamera
//

ZTOrbitCamera* ZTOrbitCamera::actionWithDuration(float t, float radius, float deltaRadius, float angleZ,
                                                 float deltaAngleZ, float angleX, float deltaAngleX)
{
    return ztMakeAutoreleased<ZTOrbitCamera>([=](ZTOrbitCamera* p) {
        return p->initWithDuration(t, radius, deltaRadius, angleZ, deltaAngleZ, angleX, deltaAngleX);
    });
}

bool ZTOrbitCamera::initWithDuration(float t, float radius, float deltaRadius, float angleZ, float deltaAngleZ,
                                     float angleX, float deltaAngleX)
{
    ZTActionInterval::initWithDuration(t);
    m_fRadius = radius;
    m_fDeltaRadius = deltaRadius;
    m_fAngleZ = angleZ;
    m_fDeltaAngleZ = deltaAngleZ;
    m_fAngleX = angleX;
    m_fDeltaAngleX = deltaAngleX;
    m_fRadDeltaZ = deltaAngleZ * kDegreesToRadians;
    m_fRadDeltaX = deltaAngleX * kDegreesToRadians;
    return true;
}

ZTObject* ZTOrbitCamera::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTOrbitCamera* pCopy = copyObjectForZone<ZTOrbitCamera>(pZone, local);
    ZTActionInterval::copyWithZone(pZone);
    pCopy->initWithDuration(m_fDuration, m_fRadius, m_fDeltaRadius, m_fAngleZ, m_fDeltaAngleZ, m_fAngleX,
                            m_fDeltaAngleX);
    return pCopy;
}

void ZTOrbitCamera::startWithTarget(ZTNode* pTarget)
{
    ZTActionCamera::startWithTarget(pTarget);
    float r = 0;
    float zenith = 0;
    float azimuth = 0;
    sphericalRadius(&r, &zenith, &azimuth);
    if (std::isnan(m_fRadius)) {
        m_fRadius = r;
    }
    if (std::isnan(m_fAngleZ)) {
        m_fAngleZ = zenith * kRadiansToDegrees;
    }
    if (std::isnan(m_fAngleX)) {
        m_fAngleX = azimuth * kRadiansToDegrees;
    }
    m_fRadZ = m_fAngleZ * kDegreesToRadians;
    m_fRadX = m_fAngleX * kDegreesToRadians;
}

void ZTOrbitCamera::update(float t)
{
    const float r = (m_fRadius + m_fDeltaRadius * t) * ZTCamera::getZEye();
    const float za = m_fRadZ + m_fRadDeltaZ * t;
    const float xa = m_fRadX + m_fRadDeltaX * t;
    const float eyeX = std::sin(za) * std::cos(xa) * r + m_fCenterXOrig;
    const float eyeY = std::sin(za) * std::sin(xa) * r + m_fCenterYOrig;
    const float eyeZ = std::cos(za) * r + m_fCenterZOrig;
    m_pTarget->getCamera()->setEyeXYZ(eyeX, eyeY, eyeZ);
}

void ZTOrbitCamera::sphericalRadius(float* newRadius, float* zenith, float* azimuth)
{
    float eyeX = 0;
    float eyeY = 0;
    float eyeZ = 0;
    float centerX = 0;
    float centerY = 0;
    float centerZ = 0;
    ZTCamera* camera = m_pTarget->getCamera();
    camera->getEyeXYZ(&eyeX, &eyeY, &eyeZ);
    camera->getCenterXYZ(&centerX, &centerY, &centerZ);

    const float x = eyeX - centerX;
    const float y = eyeY - centerY;
    const float z = eyeZ - centerZ;
    float r = std::sqrt(x * x + y * y + z * z);
    float s = std::sqrt(x * x + y * y);
    if (s == 0.0f) {
        s = FLT_EPSILON;
    }
    if (r == 0.0f) {
        r = FLT_EPSILON;
    }
    *zenith = std::acos(z / r);
    *azimuth = x < 0 ? kPi - std::asin(y / s) : std::asin(y / s);
    *newRadius = r / ZTCamera::getZEye();
}

} // namespace zanth2d
