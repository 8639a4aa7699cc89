#pragma once

#include "actions/ZTActionInterval.h"

namespace zanth2d {

// Base of the actions that move a node's camera: records the camera's centre, eye and up vector (points)
// when it starts.
class ZTActionCamera : public ZTActionInterval
{
public:
    void startWithTarget(ZTNode* pTarget) override;
    // A ZTReverseTime over this action.
    ZTActionInterval* reverse() override;

protected:
    float m_fCenterXOrig = 0;
    float m_fCenterYOrig = 0;
    float m_fCenterZOrig = 0;
    float m_fEyeXOrig = 0;
    float m_fEyeYOrig = 0;
    float m_fEyeZOrig = 0;
    float m_fUpXOrig = 0;
    float m_fUpYOrig = 0;
    float m_fUpZOrig = 0;
};

// Moves the camera's eye on a sphere about the recorded centre. The radius is in units of the standard eye
// distance (ZTCamera::getZEye); angle Z is the angle from the z axis, angle X the angle about it, both in
// degrees. A radius, angle Z or angle X given as NaN starts from the camera's current position.
class ZTOrbitCamera : public ZTActionCamera
{
public:
    static ZTOrbitCamera* actionWithDuration(float t, float radius, float deltaRadius, float angleZ,
                                             float deltaAngleZ, float angleX, float deltaAngleX);
    using ZTActionInterval::initWithDuration;
    bool initWithDuration(float t, float radius, float deltaRadius, float angleZ, float deltaAngleZ, float angleX,
                          float deltaAngleX);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;
    void update(float t) override;

    // The target camera's eye as radius (in eye distances), zenith and azimuth (radians).
    void sphericalRadius(float* newRadius, float* zenith, float* azimuth);

protected:
    float m_fRadius = 0;
    float m_fDeltaRadius = 0;
    float m_fAngleZ = 0;
    float m_fDeltaAngleZ = 0;
    float m_fAngleX = 0;
    float m_fDeltaAngleX = 0;
    float m_fRadZ = 0;
    float m_fRadDeltaZ = 0;
    float m_fRadX = 0;
    float m_fRadDeltaX = 0;
};

} // namespace zanth2d
