#include "sprite_nodes/ZTSpriteFrame.h"

#include "ZTDirector.h"
#include "ZTMacros.h"
#include "textures/ZTTexture2D.h"

namespace zanth2d {

namespace {

ZTRect scaledRect(const ZTRect& rect, float factor)
{
    ZTRect scaled;
    scaled.origin = ZTPoint(rect.origin.x * factor, rect.origin.y * factor);
    scaled.size = ZTSize(rect.size.width * factor, rect.size.height * factor);
    return scaled;
}

float contentScaleFactor()
{
    return ZTDirector::sharedDirector()->getContentScaleFactor();
}

} // namespace

ZTSpriteFrame::~ZTSpriteFrame()
{
    ZT_SAFE_RELEASE(m_pobTexture);
}

ZTSpriteFrame* ZTSpriteFrame::frameWithTexture(ZTTexture2D* pobTexture, const ZTRect& rect)
{
    auto* pFrame = new ZTSpriteFrame();
    pFrame->initWithTexture(pobTexture, rect);
    pFrame->autorelease();
    return pFrame;
}

ZTSpriteFrame* ZTSpriteFrame::frameWithTexture(ZTTexture2D* pobTexture, const ZTRect& rectInPixels, bool rotated,
                                               const ZTPoint& offsetInPixels, const ZTSize& originalSizeInPixels)
{
    auto* pFrame = new ZTSpriteFrame();
    pFrame->initWithTexture(pobTexture, rectInPixels, rotated, offsetInPixels, originalSizeInPixels);
    pFrame->autorelease();
    return pFrame;
}

bool ZTSpriteFrame::initWithTexture(ZTTexture2D* pobTexture, const ZTRect& rect)
{
    const ZTRect rectInPixels = scaledRect(rect, contentScaleFactor());
    return initWithTexture(pobTexture, rectInPixels, false, ZTPointZero, rectInPixels.size);
}

bool ZTSpriteFrame::initWithTexture(ZTTexture2D* pobTexture, const ZTRect& rectInPixels, bool rotated,
                                    const ZTPoint& offsetInPixels, const ZTSize& originalSizeInPixels)
{
    setTexture(pobTexture);
    m_obRectInPixels = rectInPixels;
    m_obRect = scaledRect(rectInPixels, 1.0f / contentScaleFactor());
    m_bRotated = rotated;
    m_obOffsetInPixels = offsetInPixels;
    m_obOriginalSizeInPixels = originalSizeInPixels;
    return true;
}

ZTObject* ZTSpriteFrame::copyWithZone(ZTZone*)
{
    auto* pCopy = new ZTSpriteFrame();
    pCopy->initWithTexture(m_pobTexture, m_obRectInPixels, m_bRotated, m_obOffsetInPixels, m_obOriginalSizeInPixels);
    return pCopy;
}

void ZTSpriteFrame::setRectInPixels(const ZTRect& rectInPixels)
{
    m_obRectInPixels = rectInPixels;
    m_obRect = scaledRect(rectInPixels, 1.0f / contentScaleFactor());
}

void ZTSpriteFrame::setRect(const ZTRect& rect)
{
    m_obRect = rect;
    m_obRectInPixels = scaledRect(rect, contentScaleFactor());
}

void ZTSpriteFrame::setTexture(ZTTexture2D* pobTexture)
{
    ZT_SAFE_RETAIN(pobTexture);
    ZT_SAFE_RELEASE(m_pobTexture);
    m_pobTexture = pobTexture;
}

} // namespace zanth2d
