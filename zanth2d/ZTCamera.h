#pragma once

#include "cocoa/ZTObject.h"

namespace zanth2d {

// A node's look-at camera. Eye and centre are set and read in points and kept in pixels. A camera that was
// never changed applies nothing; once changed, every locate() applies the look-at again.
class ZTCamera : public ZTObject
{
public:
    ZTCamera();

    void init();
    void restore();
    // Multiplies the look-at onto the current GL matrix when the camera has been changed.
    void locate();

    void setEyeXYZ(float fEyeX, float fEyeY, float fEyeZ);
    void setCenterXYZ(float fCenterX, float fCenterY, float fCenterZ);
    void setUpXYZ(float fUpX, float fUpY, float fUpZ);
    void getEyeXYZ(float* pEyeX, float* pEyeY, float* pEyeZ) const;
    void getCenterXYZ(float* pCenterX, float* pCenterY, float* pCenterZ) const;
    void getUpXYZ(float* pUpX, float* pUpY, float* pUpZ) const;

    // A new char[100] that the caller deletes.
    char* description() const;

    // The eye's default z distance.
    static float getZEye();

private:
    float m_fEyeX, m_fEyeY, m_fEyeZ;
    float m_fCenterX, m_fCenterY, m_fCenterZ;
    float m_fUpX, m_fUpY, m_fUpZ;
    bool m_bDirty;
};

} // namespace zanth2d
