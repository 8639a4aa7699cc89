#include "ZTCamera.h"

#include <cfloat>
#include <cstdio>

#include "ZTDirector.h"
#include "support/ZTGLU.h"

namespace zanth2d {

ZTCamera::ZTCamera()
{
    init();
}

void ZTCamera::init()
{
    restore();
}

void ZTCamera::restore()
{
    m_fEyeX = m_fEyeY = 0.0f;
    m_fEyeZ = getZEye();
    m_fCenterX = m_fCenterY = m_fCenterZ = 0.0f;
    m_fUpX = 0.0f;
    m_fUpY = 1.0f;
    m_fUpZ = 0.0f;
    m_bDirty = false;
}

float ZTCamera::getZEye()
{
    return FLT_EPSILON;
}

void ZTCamera::locate()
{
    if (m_bDirty) {
        gluLookAt(m_fEyeX, m_fEyeY, m_fEyeZ, m_fCenterX, m_fCenterY, m_fCenterZ, m_fUpX, m_fUpY, m_fUpZ);
    }
}

void ZTCamera::setEyeXYZ(float fEyeX, float fEyeY, float fEyeZ)
{
    const float factor = ZTDirector::sharedDirector()->getContentScaleFactor();
    m_fEyeX = fEyeX * factor;
    m_fEyeY = fEyeY * factor;
    m_fEyeZ = fEyeZ * factor;
    m_bDirty = true;
}

void ZTCamera::setCenterXYZ(float fCenterX, float fCenterY, float fCenterZ)
{
    const float factor = ZTDirector::sharedDirector()->getContentScaleFactor();
    m_fCenterX = fCenterX * factor;
    m_fCenterY = fCenterY * factor;
    m_fCenterZ = fCenterZ * factor;
    m_bDirty = true;
}

void ZTCamera::setUpXYZ(float fUpX, float fUpY, float fUpZ)
{
    m_fUpX = fUpX;
    m_fUpY = fUpY;
    m_fUpZ = fUpZ;
    m_bDirty = true;
}

void ZTCamera::getEyeXYZ(float* pEyeX, float* pEyeY, float* pEyeZ) const
{
    const float factor = ZTDirector::sharedDirector()->getContentScaleFactor();
    *pEyeX = m_fEyeX / factor;
    *pEyeY = m_fEyeY / factor;
    *pEyeZ = m_fEyeZ / factor;
}

void ZTCamera::getCenterXYZ(float* pCenterX, float* pCenterY, float* pCenterZ) const
{
    const float factor = ZTDirector::sharedDirector()->getContentScaleFactor();
    *pCenterX = m_fCenterX / factor;
    *pCenterY = m_fCenterY / factor;
    *pCenterZ = m_fCenterZ / factor;
}

void ZTCamera::getUpXYZ(float* pUpX, float* pUpY, float* pUpZ) const
{
    *pUpX = m_fUpX;
    *pUpY = m_fUpY;
    *pUpZ = m_fUpZ;
}

char* ZTCamera::description() const
{
    char* text = new char[100];
    std::snprintf(text, 100, "<ZTCamera | center = (%.2f,%.2f,%.2f)>", m_fCenterX, m_fCenterY, m_fCenterZ);
    return text;
}

} // namespace zanth2d
