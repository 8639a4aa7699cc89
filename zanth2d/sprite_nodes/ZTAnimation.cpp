#include "sprite_nodes/ZTAnimation.h"

#include "ZTMacros.h"
#include "sprite_nodes/ZTSpriteFrame.h"
#include "textures/ZTTexture2D.h"
#include "textures/ZTTextureCache.h"

namespace zanth2d {

ZTAnimation::~ZTAnimation()
{
    ZT_SAFE_RELEASE(m_pobFrames);
}

ZTAnimation* ZTAnimation::animation()
{
    auto* pAnimation = new ZTAnimation();
    pAnimation->init();
    pAnimation->autorelease();
    return pAnimation;
}

ZTAnimation* ZTAnimation::animationWithFrames(FrameArray* pFrames)
{
    return animationWithFrames(pFrames, 0.0f);
}

ZTAnimation* ZTAnimation::animationWithFrames(FrameArray* pFrames, float delay)
{
    auto* pAnimation = new ZTAnimation();
    pAnimation->initWithFrames(pFrames, delay);
    pAnimation->autorelease();
    return pAnimation;
}

bool ZTAnimation::init()
{
    return initWithFrames(nullptr, 0.0f);
}

bool ZTAnimation::initWithFrames(FrameArray* pFrames)
{
    return initWithFrames(pFrames, 0.0f);
}

bool ZTAnimation::initWithFrames(FrameArray* pFrames, float delay)
{
    m_fDelay = delay;
    FrameArray* pCopy = pFrames ? pFrames->copy() : new FrameArray();
    ZT_SAFE_RELEASE(m_pobFrames);
    m_pobFrames = pCopy;
    return true;
}

void ZTAnimation::setFrames(FrameArray* pFrames)
{
    if (!pFrames) {
        pFrames = new FrameArray();
    } else {
        pFrames->retain();
    }
    ZT_SAFE_RELEASE(m_pobFrames);
    m_pobFrames = pFrames;
}

void ZTAnimation::addFrame(ZTSpriteFrame* pFrame)
{
    if (pFrame) {
        m_pobFrames->addObject(pFrame);
    }
}

void ZTAnimation::addFrameWithFileName(const char* pszFileName)
{
    ZTTexture2D* pTexture = ZTTextureCache::sharedTextureCache()->addImage(pszFileName);
    if (!pTexture) {
        return;
    }
    const ZTSize size = pTexture->getContentSize();
    ZTRect rect;
    rect.size = size;
    m_pobFrames->addObject(ZTSpriteFrame::frameWithTexture(pTexture, rect));
}

void ZTAnimation::addFrameWithTexture(ZTTexture2D* pobTexture, const ZTRect& rect)
{
    m_pobFrames->addObject(ZTSpriteFrame::frameWithTexture(pobTexture, rect));
}

} // namespace zanth2d
