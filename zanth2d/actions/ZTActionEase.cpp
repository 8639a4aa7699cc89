#include "actions/ZTActionEase.h"

#include <cmath>

#include "ZTMacros.h"
#include "cocoa/ZTAutoreleasedFactory.h"

namespace zanth2d {

namespace {

const float kPi = 3.1415927f;
const float kHalfPi = 1.5707964f;
const float kBackOvershoot = 1.70158f;
const float kElasticInOutPeriod = 0.3f * 1.5f;

template <typename T, typename... Args> T* makeEase(ZTActionInterval* pAction, Args... args)
{
    return ztMakeAutoreleased<T>([&](T* pRet) { return pRet->initWithAction(pAction, args...); });
}

// A copy of the wrapper's class over a copy of the inner action, owned by the caller; the curve classes
// keep the default tag.
template <typename T, typename... Args>
ZTObject* copyEase(ZTZone* pZone, ZTActionInterval* pInner, Args... args)
{
    T* pCopy = pZone && pZone->m_pCopyObject ? static_cast<T*>(pZone->m_pCopyObject) : new T();
    auto* pInnerCopy = static_cast<ZTActionInterval*>(pInner->copy());
    pCopy->initWithAction(pInnerCopy, args...);
    pInnerCopy->release();
    return pCopy;
}

} // namespace

//
// ZTActionEase
//

ZTActionEase::~ZTActionEase()
{
    ZT_SAFE_RELEASE(m_pOther);
}

ZTActionEase* ZTActionEase::actionWithAction(ZTActionInterval* pAction)
{
    return makeEase<ZTActionEase>(pAction);
}

bool ZTActionEase::initWithAction(ZTActionInterval* pAction)
{
    ZTAssert(pAction != nullptr, "pAction != __null");
    initWithDuration(pAction->getDuration());
    pAction->retain();
    ZT_SAFE_RELEASE(m_pOther);
    m_pOther = pAction;
    return true;
}

ZTObject* ZTActionEase::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTActionEase* pCopy = copyObjectForZone<ZTActionEase>(pZone, local);
    ZTActionInterval::copyWithZone(pZone);
    auto* pInnerCopy = static_cast<ZTActionInterval*>(m_pOther->copy());
    pCopy->initWithAction(pInnerCopy);
    pInnerCopy->release();
    return pCopy;
}

void ZTActionEase::startWithTarget(ZTNode* pTarget)
{
    ZTActionInterval::startWithTarget(pTarget);
    m_pOther->startWithTarget(m_pTarget);
}

void ZTActionEase::stop()
{
    m_pOther->stop();
    ZTActionInterval::stop();
}

void ZTActionEase::update(float t)
{
    m_pOther->update(t);
}

ZTActionInterval* ZTActionEase::reverse()
{
    return ZTActionEase::actionWithAction(m_pOther->reverse());
}

//
// Rate curves
//

ZTEaseRateAction* ZTEaseRateAction::actionWithAction(ZTActionInterval* pAction, float fRate)
{
    return makeEase<ZTEaseRateAction>(pAction, fRate);
}

bool ZTEaseRateAction::initWithAction(ZTActionInterval* pAction, float fRate)
{
    ZTActionEase::initWithAction(pAction);
    m_fRate = fRate;
    return true;
}

ZTObject* ZTEaseRateAction::copyWithZone(ZTZone* pZone)
{
    return copyEase<ZTEaseRateAction>(pZone, m_pOther, m_fRate);
}

ZTActionInterval* ZTEaseRateAction::reverse()
{
    return ZTEaseRateAction::actionWithAction(m_pOther->reverse(), 1 / m_fRate);
}

ZTEaseIn* ZTEaseIn::actionWithAction(ZTActionInterval* pAction, float fRate)
{
    return makeEase<ZTEaseIn>(pAction, fRate);
}

ZTObject* ZTEaseIn::copyWithZone(ZTZone* pZone)
{
    return copyEase<ZTEaseIn>(pZone, m_pOther, m_fRate);
}

void ZTEaseIn::update(float t)
{
    m_pOther->update(powf(t, m_fRate));
}

ZTEaseOut* ZTEaseOut::actionWithAction(ZTActionInterval* pAction, float fRate)
{
    return makeEase<ZTEaseOut>(pAction, fRate);
}

ZTObject* ZTEaseOut::copyWithZone(ZTZone* pZone)
{
    return copyEase<ZTEaseOut>(pZone, m_pOther, m_fRate);
}

void ZTEaseOut::update(float t)
{
    m_pOther->update(powf(t, 1 / m_fRate));
}

ZTEaseInOut* ZTEaseInOut::actionWithAction(ZTActionInterval* pAction, float fRate)
{
    return makeEase<ZTEaseInOut>(pAction, fRate);
}

ZTObject* ZTEaseInOut::copyWithZone(ZTZone* pZone)
{
    return copyEase<ZTEaseInOut>(pZone, m_pOther, m_fRate);
}

void ZTEaseInOut::update(float t)
{
    // The second half mirrors the first; an even rate needs the sign flipped to mirror it.
    int sign = static_cast<int>(m_fRate) % 2 == 0 ? -1 : 1;
    float x = t * 2;
    if (x < 1) {
        m_pOther->update(0.5f * powf(x, m_fRate));
    } else {
        m_pOther->update(sign * 0.5f * (powf(x - 2, m_fRate) + sign * 2));
    }
}

ZTActionInterval* ZTEaseInOut::reverse()
{
    return ZTEaseInOut::actionWithAction(m_pOther->reverse(), m_fRate);
}

//
// Exponential curves
//

ZTEaseExponentialIn* ZTEaseExponentialIn::actionWithAction(ZTActionInterval* pAction)
{
    return makeEase<ZTEaseExponentialIn>(pAction);
}

ZTObject* ZTEaseExponentialIn::copyWithZone(ZTZone* pZone)
{
    return copyEase<ZTEaseExponentialIn>(pZone, m_pOther);
}

void ZTEaseExponentialIn::update(float t)
{
    m_pOther->update(t == 0 ? 0 : exp2f(10 * (t - 1)) - 0.001f);
}

ZTActionInterval* ZTEaseExponentialIn::reverse()
{
    return ZTEaseExponentialOut::actionWithAction(m_pOther->reverse());
}

ZTEaseExponentialOut* ZTEaseExponentialOut::actionWithAction(ZTActionInterval* pAction)
{
    return makeEase<ZTEaseExponentialOut>(pAction);
}

ZTObject* ZTEaseExponentialOut::copyWithZone(ZTZone* pZone)
{
    return copyEase<ZTEaseExponentialOut>(pZone, m_pOther);
}

void ZTEaseExponentialOut::update(float t)
{
    m_pOther->update(t == 1 ? 1 : 1 - exp2f(-10 * t));
}

ZTActionInterval* ZTEaseExponentialOut::reverse()
{
    return ZTEaseExponentialIn::actionWithAction(m_pOther->reverse());
}

ZTEaseExponentialInOut* ZTEaseExponentialInOut::actionWithAction(ZTActionInterval* pAction)
{
    return makeEase<ZTEaseExponentialInOut>(pAction);
}

ZTObject* ZTEaseExponentialInOut::copyWithZone(ZTZone* pZone)
{
    return copyEase<ZTEaseExponentialInOut>(pZone, m_pOther);
}

void ZTEaseExponentialInOut::update(float t)
{
    float x = t * 2;
    if (x < 1) {
        m_pOther->update(0.5f * exp2f(10 * (x - 1)));
    } else {
        m_pOther->update(0.5f * (2 - exp2f(-10 * (x - 1))));
    }
}

ZTActionInterval* ZTEaseExponentialInOut::reverse()
{
    return ZTActionEase::actionWithAction(m_pOther->reverse());
}

//
// Sine curves
//

ZTEaseSineIn* ZTEaseSineIn::actionWithAction(ZTActionInterval* pAction)
{
    return makeEase<ZTEaseSineIn>(pAction);
}

ZTObject* ZTEaseSineIn::copyWithZone(ZTZone* pZone)
{
    return copyEase<ZTEaseSineIn>(pZone, m_pOther);
}

void ZTEaseSineIn::update(float t)
{
    m_pOther->update(-1 * cosf(t * kHalfPi) + 1);
}

ZTActionInterval* ZTEaseSineIn::reverse()
{
    return ZTEaseSineOut::actionWithAction(m_pOther->reverse());
}

ZTEaseSineOut* ZTEaseSineOut::actionWithAction(ZTActionInterval* pAction)
{
    return makeEase<ZTEaseSineOut>(pAction);
}

ZTObject* ZTEaseSineOut::copyWithZone(ZTZone* pZone)
{
    return copyEase<ZTEaseSineOut>(pZone, m_pOther);
}

void ZTEaseSineOut::update(float t)
{
    m_pOther->update(sinf(t * kHalfPi));
}

ZTActionInterval* ZTEaseSineOut::reverse()
{
    return ZTEaseSineIn::actionWithAction(m_pOther->reverse());
}

ZTEaseSineInOut* ZTEaseSineInOut::actionWithAction(ZTActionInterval* pAction)
{
    return makeEase<ZTEaseSineInOut>(pAction);
}

ZTObject* ZTEaseSineInOut::copyWithZone(ZTZone* pZone)
{
    return copyEase<ZTEaseSineInOut>(pZone, m_pOther);
}

void ZTEaseSineInOut::update(float t)
{
    m_pOther->update(-0.5f * (cosf(kPi * t) - 1));
}

ZTActionInterval* ZTEaseSineInOut::reverse()
{
    return ZTActionEase::actionWithAction(m_pOther->reverse());
}

//
// Elastic curves
//

ZTEaseElastic* ZTEaseElastic::actionWithAction(ZTActionInterval* pAction)
{
    return makeEase<ZTEaseElastic>(pAction, 0.3f);
}

ZTEaseElastic* ZTEaseElastic::actionWithAction(ZTActionInterval* pAction, float fPeriod)
{
    return makeEase<ZTEaseElastic>(pAction, fPeriod);
}

bool ZTEaseElastic::initWithAction(ZTActionInterval* pAction, float fPeriod)
{
    ZTActionEase::initWithAction(pAction);
    m_fPeriod = fPeriod;
    return true;
}

ZTObject* ZTEaseElastic::copyWithZone(ZTZone* pZone)
{
    return copyEase<ZTEaseElastic>(pZone, m_pOther, m_fPeriod);
}

ZTActionInterval* ZTEaseElastic::reverse()
{
    ZTAssert(0, "0");
    return nullptr;
}

ZTEaseElasticIn* ZTEaseElasticIn::actionWithAction(ZTActionInterval* pAction)
{
    return makeEase<ZTEaseElasticIn>(pAction, 0.3f);
}

ZTEaseElasticIn* ZTEaseElasticIn::actionWithAction(ZTActionInterval* pAction, float fPeriod)
{
    return makeEase<ZTEaseElasticIn>(pAction, fPeriod);
}

ZTObject* ZTEaseElasticIn::copyWithZone(ZTZone* pZone)
{
    return copyEase<ZTEaseElasticIn>(pZone, m_pOther, m_fPeriod);
}

void ZTEaseElasticIn::update(float t)
{
    float newT = t;
    if (t != 0 && t != 1) {
        float s = m_fPeriod / 4;
        float u = t - 1;
        newT = -exp2f(10 * u) * sinf((u - s) * kPi * 2 / m_fPeriod);
    }
    m_pOther->update(newT);
}

ZTActionInterval* ZTEaseElasticIn::reverse()
{
    return ZTEaseElasticOut::actionWithAction(m_pOther->reverse(), m_fPeriod);
}

ZTEaseElasticOut* ZTEaseElasticOut::actionWithAction(ZTActionInterval* pAction)
{
    return makeEase<ZTEaseElasticOut>(pAction, 0.3f);
}

ZTEaseElasticOut* ZTEaseElasticOut::actionWithAction(ZTActionInterval* pAction, float fPeriod)
{
    return makeEase<ZTEaseElasticOut>(pAction, fPeriod);
}

ZTObject* ZTEaseElasticOut::copyWithZone(ZTZone* pZone)
{
    return copyEase<ZTEaseElasticOut>(pZone, m_pOther, m_fPeriod);
}

void ZTEaseElasticOut::update(float t)
{
    float newT = t;
    if (t != 0 && t != 1) {
        float s = m_fPeriod / 4;
        newT = exp2f(-10 * t) * sinf((t - s) * kPi * 2 / m_fPeriod) + 1;
    }
    m_pOther->update(newT);
}

ZTActionInterval* ZTEaseElasticOut::reverse()
{
    return ZTEaseElasticIn::actionWithAction(m_pOther->reverse(), m_fPeriod);
}

ZTEaseElasticInOut* ZTEaseElasticInOut::actionWithAction(ZTActionInterval* pAction)
{
    return makeEase<ZTEaseElasticInOut>(pAction, 0.3f);
}

ZTEaseElasticInOut* ZTEaseElasticInOut::actionWithAction(ZTActionInterval* pAction, float fPeriod)
{
    return makeEase<ZTEaseElasticInOut>(pAction, fPeriod);
}

ZTObject* ZTEaseElasticInOut::copyWithZone(ZTZone* pZone)
{
    return copyEase<ZTEaseElasticInOut>(pZone, m_pOther, m_fPeriod);
}

void ZTEaseElasticInOut::update(float t)
{
    float newT = t;
    if (t != 0 && t != 1) {
        if (m_fPeriod == 0) {
            m_fPeriod = kElasticInOutPeriod;
        }
        float s = m_fPeriod / 4;
        float u = t * 2 - 1;
        if (u < 0) {
            newT = -0.5f * exp2f(10 * u) * sinf((u - s) * kPi * 2 / m_fPeriod);
        } else {
            newT = exp2f(-10 * u) * sinf((u - s) * kPi * 2 / m_fPeriod) * 0.5f + 1;
        }
    }
    m_pOther->update(newT);
}

ZTActionInterval* ZTEaseElasticInOut::reverse()
{
    return ZTEaseElasticInOut::actionWithAction(m_pOther->reverse(), m_fPeriod);
}

//
// Bounce curves
//

ZTEaseBounce* ZTEaseBounce::actionWithAction(ZTActionInterval* pAction)
{
    return makeEase<ZTEaseBounce>(pAction);
}

ZTObject* ZTEaseBounce::copyWithZone(ZTZone* pZone)
{
    return copyEase<ZTEaseBounce>(pZone, m_pOther);
}

float ZTEaseBounce::bounceTime(float t)
{
    // Four parabolas of falling height, meeting at 1.
    if (t < 1 / 2.75) {
        return 7.5625f * t * t;
    }
    if (t < 2 / 2.75) {
        t -= 1.5f / 2.75f;
        return 7.5625f * t * t + 0.75f;
    }
    if (t < 2.5 / 2.75) {
        t -= 2.25f / 2.75f;
        return 7.5625f * t * t + 0.9375f;
    }
    t -= 2.625f / 2.75f;
    return 7.5625f * t * t + 0.984375f;
}

ZTEaseBounceIn* ZTEaseBounceIn::actionWithAction(ZTActionInterval* pAction)
{
    return makeEase<ZTEaseBounceIn>(pAction);
}

ZTObject* ZTEaseBounceIn::copyWithZone(ZTZone* pZone)
{
    return copyEase<ZTEaseBounceIn>(pZone, m_pOther);
}

void ZTEaseBounceIn::update(float t)
{
    m_pOther->update(1 - bounceTime(1 - t));
}

ZTActionInterval* ZTEaseBounceIn::reverse()
{
    return ZTEaseBounceOut::actionWithAction(m_pOther->reverse());
}

ZTEaseBounceOut* ZTEaseBounceOut::actionWithAction(ZTActionInterval* pAction)
{
    return makeEase<ZTEaseBounceOut>(pAction);
}

ZTObject* ZTEaseBounceOut::copyWithZone(ZTZone* pZone)
{
    return copyEase<ZTEaseBounceOut>(pZone, m_pOther);
}

void ZTEaseBounceOut::update(float t)
{
    m_pOther->update(bounceTime(t));
}

ZTActionInterval* ZTEaseBounceOut::reverse()
{
    return ZTEaseBounceIn::actionWithAction(m_pOther->reverse());
}

ZTEaseBounceInOut* ZTEaseBounceInOut::actionWithAction(ZTActionInterval* pAction)
{
    return makeEase<ZTEaseBounceInOut>(pAction);
}

ZTObject* ZTEaseBounceInOut::copyWithZone(ZTZone* pZone)
{
    return copyEase<ZTEaseBounceInOut>(pZone, m_pOther);
}

void ZTEaseBounceInOut::update(float t)
{
    if (t < 0.5f) {
        m_pOther->update((1 - bounceTime(1 - t * 2)) * 0.5f);
    } else {
        m_pOther->update(bounceTime(t * 2 - 1) * 0.5f + 0.5f);
    }
}

ZTActionInterval* ZTEaseBounceInOut::reverse()
{
    return ZTActionEase::actionWithAction(m_pOther->reverse());
}

//
// Back (overshoot) curves
//

ZTEaseBackIn* ZTEaseBackIn::actionWithAction(ZTActionInterval* pAction)
{
    return makeEase<ZTEaseBackIn>(pAction);
}

ZTObject* ZTEaseBackIn::copyWithZone(ZTZone* pZone)
{
    return copyEase<ZTEaseBackIn>(pZone, m_pOther);
}

void ZTEaseBackIn::update(float t)
{
    const float s = kBackOvershoot;
    m_pOther->update(t * t * ((s + 1) * t - s));
}

ZTActionInterval* ZTEaseBackIn::reverse()
{
    return ZTEaseBackOut::actionWithAction(m_pOther->reverse());
}

ZTEaseBackOut* ZTEaseBackOut::actionWithAction(ZTActionInterval* pAction)
{
    return makeEase<ZTEaseBackOut>(pAction);
}

ZTObject* ZTEaseBackOut::copyWithZone(ZTZone* pZone)
{
    return copyEase<ZTEaseBackOut>(pZone, m_pOther);
}

void ZTEaseBackOut::update(float t)
{
    const float s = kBackOvershoot;
    float u = t - 1;
    m_pOther->update(u * u * ((s + 1) * u + s) + 1);
}

ZTActionInterval* ZTEaseBackOut::reverse()
{
    return ZTEaseBackIn::actionWithAction(m_pOther->reverse());
}

ZTEaseBackInOut* ZTEaseBackInOut::actionWithAction(ZTActionInterval* pAction)
{
    return makeEase<ZTEaseBackInOut>(pAction);
}

ZTObject* ZTEaseBackInOut::copyWithZone(ZTZone* pZone)
{
    return copyEase<ZTEaseBackInOut>(pZone, m_pOther);
}

void ZTEaseBackInOut::update(float t)
{
    const float s = kBackOvershoot * 1.525f;
    float x = t * 2;
    if (x < 1) {
        m_pOther->update(x * x * ((s + 1) * x - s) * 0.5f);
    } else {
        float u = x - 2;
        m_pOther->update(u * u * ((s + 1) * u + s) * 0.5f + 1);
    }
}

ZTActionInterval* ZTEaseBackInOut::reverse()
{
    return ZTActionEase::actionWithAction(m_pOther->reverse());
}

} // namespace zanth2d
