#include "actions/ZTAnimate.h"

#include <cmath>

#include "ZTMacros.h"
#include "cocoa/ZTAutoreleasedFactory.h"
#include "sprite_nodes/ZTAnimation.h"
#include "sprite_nodes/ZTSprite.h"
#include "sprite_nodes/ZTSpriteFrame.h"

namespace zanth2d {

ZTAnimate::~ZTAnimate()
{
    ZT_SAFE_RELEASE(m_pAnimation);
    ZT_SAFE_RELEASE(m_pOrigFrame);
}

ZTAnimate* ZTAnimate::actionWithAnimation(ZTAnimation* pAnimation)
{
    return ztMakeAutoreleased<ZTAnimate>([&](ZTAnimate* pAnimate) { return pAnimate->initWithAnimation(pAnimation); });
}

ZTAnimate* ZTAnimate::actionWithAnimation(ZTAnimation* pAnimation, bool bRestoreOriginalFrame)
{
    return ztMakeAutoreleased<ZTAnimate>([&](ZTAnimate* pAnimate) { return pAnimate->initWithAnimation(pAnimation, bRestoreOriginalFrame); });
}

ZTAnimate* ZTAnimate::actionWithDuration(float duration, ZTAnimation* pAnimation, bool bRestoreOriginalFrame)
{
    return ztMakeAutoreleased<ZTAnimate>([&](ZTAnimate* pAnimate) { return pAnimate->initWithDuration(duration, pAnimation, bRestoreOriginalFrame); });
}

bool ZTAnimate::initWithAnimation(ZTAnimation* pAnimation)
{
    ZTAssert(pAnimation != nullptr, "pAnimation != __null");
    return initWithAnimation(pAnimation, true);
}

bool ZTAnimate::initWithAnimation(ZTAnimation* pAnimation, bool bRestoreOriginalFrame)
{
    ZTAssert(pAnimation, "pAnimation");
    const float duration = static_cast<float>(pAnimation->getFrames()->count()) * pAnimation->getDelay();
    return initWithDuration(duration, pAnimation, bRestoreOriginalFrame);
}

bool ZTAnimate::initWithDuration(float duration, ZTAnimation* pAnimation, bool bRestoreOriginalFrame)
{
    ZTAssert(pAnimation != nullptr, "pAnimation != __null");
    if (!ZTActionInterval::initWithDuration(duration)) {
        return false;
    }
    m_bRestoreOriginalFrame = bRestoreOriginalFrame;
    setAnimation(pAnimation);
    ZT_SAFE_RELEASE_NULL(m_pOrigFrame);
    return true;
}

void ZTAnimate::setAnimation(ZTAnimation* pAnimation)
{
    ZT_SAFE_RETAIN(pAnimation);
    ZT_SAFE_RELEASE(m_pAnimation);
    m_pAnimation = pAnimation;
}

void ZTAnimate::setOriginalFrame(ZTSpriteFrame* pFrame)
{
    ZT_SAFE_RELEASE_NULL(m_pOrigFrame);
    if (m_bRestoreOriginalFrame && pFrame) {
        pFrame->retain();
        m_pOrigFrame = pFrame;
    }
}

ZTObject* ZTAnimate::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTAnimate* pCopy = copyObjectForZone<ZTAnimate>(pZone, local);
    ZTActionInterval::copyWithZone(pZone);
    pCopy->initWithDuration(m_fDuration, m_pAnimation, m_bRestoreOriginalFrame);
    return pCopy;
}

void ZTAnimate::startWithTarget(ZTNode* pTarget)
{
    ZTActionInterval::startWithTarget(pTarget);
    ZT_SAFE_RELEASE_NULL(m_pOrigFrame);
    if (m_bRestoreOriginalFrame) {
        m_pOrigFrame = static_cast<ZTSprite*>(pTarget)->displayedFrame();
        m_pOrigFrame->retain();
    }
}

void ZTAnimate::stop()
{
    if (m_bRestoreOriginalFrame && m_pTarget && m_pOrigFrame) {
        static_cast<ZTSprite*>(m_pTarget)->setDisplayFrame(m_pOrigFrame);
    }
    ZTActionInterval::stop();
}

void ZTAnimate::update(float t)
{
    ZTAnimation::FrameArray* pFrames = m_pAnimation->getFrames();
    const unsigned int numberOfFrames = pFrames->count();
    // Truncated towards zero; anything outside the frames (easing overshoot, NaN) shows the last one.
    const float position = std::trunc(t * static_cast<float>(numberOfFrames));
    unsigned int index = numberOfFrames - 1;
    if (position >= 0 && position < static_cast<float>(numberOfFrames)) {
        index = static_cast<unsigned int>(position);
    }
    ZTSpriteFrame* pFrame = pFrames->getObjectAtIndex(index);
    auto* pSprite = static_cast<ZTSprite*>(m_pTarget);
    if (!pSprite->isFrameDisplayed(pFrame)) {
        pSprite->setDisplayFrame(pFrame);
    }
}

ZTActionInterval* ZTAnimate::reverse()
{
    ZTAnimation::FrameArray* pOldFrames = m_pAnimation->getFrames();
    auto* pNewFrames = new ZTAnimation::FrameArray();
    for (unsigned int i = pOldFrames->count(); i > 0; --i) {
        ZTSpriteFrame* pFrame = pOldFrames->getObjectAtIndex(i - 1);
        if (!pFrame) {
            break;
        }
        auto* pCopy = static_cast<ZTSpriteFrame*>(pFrame->copy());
        pNewFrames->addObject(pCopy);
        pCopy->release();
    }
    ZTAnimation* pNewAnimation = ZTAnimation::animationWithFrames(pNewFrames, m_pAnimation->getDelay());
    pNewFrames->release();
    return actionWithDuration(m_fDuration, pNewAnimation, m_bRestoreOriginalFrame);
}

} // namespace zanth2d
