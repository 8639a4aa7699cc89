#include "actions/ZTActionInterval.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdarg>

#include "ZTMacros.h"
#include "ZTProtocols.h"
#include "base_nodes/ZTNode.h"
#include "cocoa/ZTArray.h"
#include "cocoa/ZTAutoreleasedFactory.h"

namespace zanth2d {

namespace {

// Every interval keeps a duration that elapsed / duration can divide by.
float storedDuration(float d)
{
    return d == 0 ? FLT_EPSILON : d;
}

// Truncates towards zero and keeps the low eight bits, as a colour channel takes it.
GLubyte toByte(float value)
{
    if (!std::isfinite(value) || std::fabs(value) >= 2147483648.0f) {
        return 0;
    }
    return static_cast<GLubyte>(static_cast<long>(value) & 0xFF);
}

// Folds a list into nested pairs from the left: ((a, b), c), ...; next() gives null after the last one.
template <typename TPair, typename TNext>
ZTFiniteTimeAction* chainPairs(ZTFiniteTimeAction* pFirst, TNext next)
{
    ZTFiniteTimeAction* pPrev = pFirst;
    while (ZTFiniteTimeAction* pNow = next()) {
        pPrev = TPair::actionOneTwo(pPrev, pNow);
    }
    return pPrev;
}

template <typename TPair>
ZTFiniteTimeAction* chainArray(ZTArray* actions)
{
    unsigned int i = 1;
    return chainPairs<TPair>(static_cast<ZTFiniteTimeAction*>(actions->objectAtIndex(0)),
                             [actions, &i]() -> ZTFiniteTimeAction* {
                                 return i < actions->count()
                                            ? static_cast<ZTFiniteTimeAction*>(actions->objectAtIndex(i++))
                                            : nullptr;
                             });
}

ztColor3B makeColor(GLubyte r, GLubyte g, GLubyte b)
{
    ztColor3B color;
    color.r = r;
    color.g = g;
    color.b = b;
    return color;
}

ZTRGBAProtocol* colourOf(ZTNode* pNode)
{
    return dynamic_cast<ZTRGBAProtocol*>(pNode);
}

// A copy owned by the caller, as an action pointer of the same static type.
template <typename T> T* copyOf(T* pAction)
{
    return static_cast<T*>(pAction->copy());
}

} // namespace

//
// ZTActionInterval
//

ZTActionInterval* ZTActionInterval::actionWithDuration(float d)
{
    return ztMakeAutoreleased<ZTActionInterval>([d](ZTActionInterval* p) { return p->initWithDuration(d); });
}

bool ZTActionInterval::initWithDuration(float d)
{
    m_fDuration = storedDuration(d);
    m_elapsed = 0;
    m_bFirstTick = true;
    return true;
}

ZTObject* ZTActionInterval::copyWithZone(ZTZone* pZone)
{
    // Only subclasses are copied: they pass the object they made.
    ZTAssert(pZone && pZone->m_pCopyObject, "0");
    auto* pCopy = static_cast<ZTActionInterval*>(pZone->m_pCopyObject);
    ZTFiniteTimeAction::copyWithZone(pZone);
    pCopy->initWithDuration(m_fDuration);
    return pCopy;
}

bool ZTActionInterval::isDone()
{
    return m_elapsed >= m_fDuration;
}

void ZTActionInterval::step(float dt)
{
    if (m_bFirstTick) {
        m_bFirstTick = false;
        m_elapsed = 0;
    } else {
        m_elapsed += dt;
    }
    float t = m_elapsed / m_fDuration;
    update(std::isnan(t) ? 1.0f : std::min(t, 1.0f));
}

void ZTActionInterval::startWithTarget(ZTNode* pTarget)
{
    ZTFiniteTimeAction::startWithTarget(pTarget);
    m_elapsed = 0;
    m_bFirstTick = true;
}

ZTActionInterval* ZTActionInterval::reverse()
{
    return nullptr;
}

void ZTActionInterval::setAmplitudeRate(float)
{
    ZTAssert(0, "0");
}

float ZTActionInterval::getAmplitudeRate()
{
    ZTAssert(0, "0");
    return 0;
}

//
// ZTSequence
//

ZTSequence::~ZTSequence()
{
    ZT_SAFE_RELEASE(m_pActions[0]);
    ZT_SAFE_RELEASE(m_pActions[1]);
}

ZTSequence* ZTSequence::actionOneTwo(ZTFiniteTimeAction* pActionOne, ZTFiniteTimeAction* pActionTwo)
{
    return ztMakeAutoreleased<ZTSequence>([=](ZTSequence* p) { return p->initOneTwo(pActionOne, pActionTwo); });
}

ZTFiniteTimeAction* ZTSequence::actions(ZTFiniteTimeAction* pAction1, ...)
{
    if (!pAction1) {
        return nullptr;
    }
    va_list params;
    va_start(params, pAction1);
    ZTFiniteTimeAction* pResult =
        chainPairs<ZTSequence>(pAction1, [&params] { return va_arg(params, ZTFiniteTimeAction*); });
    va_end(params);
    return pResult;
}

ZTFiniteTimeAction* ZTSequence::actionsWithArray(ZTArray* actions)
{
    return chainArray<ZTSequence>(actions);
}

bool ZTSequence::initOneTwo(ZTFiniteTimeAction* pActionOne, ZTFiniteTimeAction* pActionTwo)
{
    ZTAssert(pActionOne != nullptr, "pActionOne != __null");
    ZTAssert(pActionTwo != nullptr, "pActionTwo != __null");
    initWithDuration(pActionOne->getDuration() + pActionTwo->getDuration());
    pActionOne->retain();
    pActionTwo->retain();
    ZT_SAFE_RELEASE(m_pActions[0]);
    ZT_SAFE_RELEASE(m_pActions[1]);
    m_pActions[0] = pActionOne;
    m_pActions[1] = pActionTwo;
    return true;
}

ZTObject* ZTSequence::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTSequence* pCopy = copyObjectForZone<ZTSequence>(pZone, local);
    ZTActionInterval::copyWithZone(pZone);
    ZTFiniteTimeAction* pOne = copyOf(m_pActions[0]);
    ZTFiniteTimeAction* pTwo = copyOf(m_pActions[1]);
    pCopy->initOneTwo(pOne, pTwo);
    pOne->release();
    pTwo->release();
    return pCopy;
}

void ZTSequence::startWithTarget(ZTNode* pTarget)
{
    ZTActionInterval::startWithTarget(pTarget);
    m_split = m_pActions[0]->getDuration() / m_fDuration;
    m_last = -1;
}

void ZTSequence::stop()
{
    m_pActions[0]->stop();
    m_pActions[1]->stop();
    ZTActionInterval::stop();
}

void ZTSequence::update(float t)
{
    int found = 0;
    float newT = 0;
    if (t >= m_split) {
        found = 1;
        newT = m_split == 1 ? 1 : (t - m_split) / (1 - m_split);
    } else {
        newT = m_split != 0 ? t / m_split : 1;
    }

    if (found == 1 && m_last == -1) {
        // The time jumped past the first action (or it has no duration): it still runs to its end.
        m_pActions[0]->startWithTarget(m_pTarget);
        m_pActions[0]->update(1);
        m_pActions[0]->stop();
    }

    if (m_last != found) {
        if (m_last != -1) {
            m_pActions[m_last]->update(1);
            m_pActions[m_last]->stop();
        }
        m_pActions[found]->startWithTarget(m_pTarget);
    }

    m_pActions[found]->update(newT);
    m_last = found;
}

ZTActionInterval* ZTSequence::reverse()
{
    return actionOneTwo(m_pActions[1]->reverse(), m_pActions[0]->reverse());
}

//
// ZTRepeat
//

ZTRepeat::~ZTRepeat()
{
    ZT_SAFE_RELEASE(m_pInnerAction);
}

ZTRepeat* ZTRepeat::actionWithAction(ZTFiniteTimeAction* pAction, unsigned int times)
{
    return ztMakeAutoreleased<ZTRepeat>([=](ZTRepeat* p) { return p->initWithAction(pAction, times); });
}

bool ZTRepeat::initWithAction(ZTFiniteTimeAction* pAction, unsigned int times)
{
    ZTAssert(pAction != nullptr, "pAction != __null");
    initWithDuration(pAction->getDuration() * times);
    m_uTimes = times;
    m_uTotal = 0;
    pAction->retain();
    ZT_SAFE_RELEASE(m_pInnerAction);
    m_pInnerAction = pAction;
    return true;
}

ZTObject* ZTRepeat::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTRepeat* pCopy = copyObjectForZone<ZTRepeat>(pZone, local);
    ZTActionInterval::copyWithZone(pZone);
    ZTFiniteTimeAction* pInner = copyOf(m_pInnerAction);
    pCopy->initWithAction(pInner, m_uTimes);
    pInner->release();
    return pCopy;
}

void ZTRepeat::startWithTarget(ZTNode* pTarget)
{
    m_uTotal = 0;
    ZTActionInterval::startWithTarget(pTarget);
    m_pInnerAction->startWithTarget(pTarget);
}

void ZTRepeat::stop()
{
    m_pInnerAction->stop();
    ZTActionInterval::stop();
}

void ZTRepeat::update(float t)
{
    float x = t * m_uTimes;
    if (x > m_uTotal + 1) {
        m_pInnerAction->update(1);
        m_uTotal++;
        m_pInnerAction->stop();
        m_pInnerAction->startWithTarget(m_pTarget);
        if (m_uTotal == m_uTimes) {
            m_pInnerAction->update(0);
        } else {
            m_pInnerAction->update(x - m_uTotal);
        }
    } else {
        float r = fmodf(x, 1.0f);
        if (t == 1.0f) {
            r = 1.0f;
            m_uTotal++;
        }
        m_pInnerAction->update(std::min(r, 1.0f));
    }
}

bool ZTRepeat::isDone()
{
    return m_uTotal == m_uTimes;
}

ZTActionInterval* ZTRepeat::reverse()
{
    return actionWithAction(m_pInnerAction->reverse(), m_uTimes);
}

//
// ZTRepeatForever
//

ZTRepeatForever::~ZTRepeatForever()
{
    ZT_SAFE_RELEASE(m_pInnerAction);
}

ZTRepeatForever* ZTRepeatForever::actionWithAction(ZTActionInterval* pAction)
{
    return ztMakeAutoreleased<ZTRepeatForever>([=](ZTRepeatForever* p) { return p->initWithAction(pAction); });
}

bool ZTRepeatForever::initWithAction(ZTActionInterval* pAction)
{
    ZTAssert(pAction != nullptr, "pAction != __null");
    pAction->retain();
    ZT_SAFE_RELEASE(m_pInnerAction);
    m_pInnerAction = pAction;
    return true;
}

ZTObject* ZTRepeatForever::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTRepeatForever* pCopy = copyObjectForZone<ZTRepeatForever>(pZone, local);
    ZTActionInterval::copyWithZone(pZone);
    ZTActionInterval* pInner = copyOf(m_pInnerAction);
    pCopy->initWithAction(pInner);
    pInner->release();
    return pCopy;
}

void ZTRepeatForever::startWithTarget(ZTNode* pTarget)
{
    ZTActionInterval::startWithTarget(pTarget);
    m_pInnerAction->startWithTarget(pTarget);
}

void ZTRepeatForever::step(float dt)
{
    m_pInnerAction->step(dt);
    if (m_pInnerAction->isDone()) {
        float diff = dt + m_pInnerAction->getDuration() - m_pInnerAction->getElapsed();
        m_pInnerAction->startWithTarget(m_pTarget);
        m_pInnerAction->step(diff);
    }
}

bool ZTRepeatForever::isDone()
{
    return false;
}

ZTActionInterval* ZTRepeatForever::reverse()
{
    return actionWithAction(m_pInnerAction->reverse());
}

//
// ZTSpawn
//

ZTSpawn::~ZTSpawn()
{
    ZT_SAFE_RELEASE(m_pOne);
    ZT_SAFE_RELEASE(m_pTwo);
}

ZTSpawn* ZTSpawn::actionOneTwo(ZTFiniteTimeAction* pAction1, ZTFiniteTimeAction* pAction2)
{
    return ztMakeAutoreleased<ZTSpawn>([=](ZTSpawn* p) { return p->initOneTwo(pAction1, pAction2); });
}

ZTFiniteTimeAction* ZTSpawn::actions(ZTFiniteTimeAction* pAction1, ...)
{
    if (!pAction1) {
        return nullptr;
    }
    va_list params;
    va_start(params, pAction1);
    ZTFiniteTimeAction* pResult =
        chainPairs<ZTSpawn>(pAction1, [&params] { return va_arg(params, ZTFiniteTimeAction*); });
    va_end(params);
    return pResult;
}

ZTFiniteTimeAction* ZTSpawn::actionsWithArray(ZTArray* actions)
{
    return chainArray<ZTSpawn>(actions);
}

bool ZTSpawn::initOneTwo(ZTFiniteTimeAction* pAction1, ZTFiniteTimeAction* pAction2)
{
    ZTAssert(pAction1 != nullptr, "pAction1 != __null");
    ZTAssert(pAction2 != nullptr, "pAction2 != __null");
    float d1 = pAction1->getDuration();
    float d2 = pAction2->getDuration();
    initWithDuration(std::max(d1, d2));

    ZTFiniteTimeAction* pOne = pAction1;
    ZTFiniteTimeAction* pTwo = pAction2;
    if (d1 > d2) {
        pTwo = ZTSequence::actionOneTwo(pAction2, ZTDelayTime::actionWithDuration(d1 - d2));
    } else if (d1 < d2) {
        pOne = ZTSequence::actionOneTwo(pAction1, ZTDelayTime::actionWithDuration(d2 - d1));
    }
    pOne->retain();
    pTwo->retain();
    ZT_SAFE_RELEASE(m_pOne);
    ZT_SAFE_RELEASE(m_pTwo);
    m_pOne = pOne;
    m_pTwo = pTwo;
    return true;
}

ZTObject* ZTSpawn::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTSpawn* pCopy = copyObjectForZone<ZTSpawn>(pZone, local);
    ZTActionInterval::copyWithZone(pZone);
    ZTFiniteTimeAction* pOne = copyOf(m_pOne);
    ZTFiniteTimeAction* pTwo = copyOf(m_pTwo);
    pCopy->initOneTwo(pOne, pTwo);
    pOne->release();
    pTwo->release();
    return pCopy;
}

void ZTSpawn::startWithTarget(ZTNode* pTarget)
{
    ZTActionInterval::startWithTarget(pTarget);
    m_pOne->startWithTarget(pTarget);
    m_pTwo->startWithTarget(pTarget);
}

void ZTSpawn::stop()
{
    m_pOne->stop();
    m_pTwo->stop();
    ZTActionInterval::stop();
}

void ZTSpawn::update(float t)
{
    if (m_pOne) {
        m_pOne->update(t);
    }
    if (m_pTwo) {
        m_pTwo->update(t);
    }
}

ZTActionInterval* ZTSpawn::reverse()
{
    return actionOneTwo(m_pOne->reverse(), m_pTwo->reverse());
}

//
// ZTReverseTime
//

ZTReverseTime::~ZTReverseTime()
{
    ZT_SAFE_RELEASE(m_pOther);
}

ZTReverseTime* ZTReverseTime::actionWithAction(ZTFiniteTimeAction* pAction)
{
    return ztMakeAutoreleased<ZTReverseTime>([=](ZTReverseTime* p) { return p->initWithAction(pAction); });
}

bool ZTReverseTime::initWithAction(ZTFiniteTimeAction* pAction)
{
    ZTAssert(pAction != nullptr, "pAction != __null");
    ZTAssert(pAction != m_pOther, "pAction != m_pOther");
    initWithDuration(pAction->getDuration());
    pAction->retain();
    ZT_SAFE_RELEASE(m_pOther);
    m_pOther = pAction;
    return true;
}

ZTObject* ZTReverseTime::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTReverseTime* pCopy = copyObjectForZone<ZTReverseTime>(pZone, local);
    ZTActionInterval::copyWithZone(pZone);
    ZTFiniteTimeAction* pOther = copyOf(m_pOther);
    pCopy->initWithAction(pOther);
    pOther->release();
    return pCopy;
}

void ZTReverseTime::startWithTarget(ZTNode* pTarget)
{
    ZTActionInterval::startWithTarget(pTarget);
    m_pOther->startWithTarget(pTarget);
}

void ZTReverseTime::stop()
{
    m_pOther->stop();
    ZTActionInterval::stop();
}

void ZTReverseTime::update(float t)
{
    if (m_pOther) {
        m_pOther->update(1 - t);
    }
}

ZTActionInterval* ZTReverseTime::reverse()
{
    ZTFiniteTimeAction* pCopy = copyOf(m_pOther);
    pCopy->autorelease();
    if (auto* pInterval = dynamic_cast<ZTActionInterval*>(pCopy)) {
        return pInterval;
    }
    // An instant action plays the same either way; it needs an interval wrapper to be returned here.
    return actionWithAction(pCopy);
}

void ZTReverseTime::setAmplitudeRate(float amp)
{
    auto* pInterval = dynamic_cast<ZTActionInterval*>(m_pOther);
    ZTAssert(pInterval != nullptr, "0");
    pInterval->setAmplitudeRate(amp);
}

float ZTReverseTime::getAmplitudeRate()
{
    auto* pInterval = dynamic_cast<ZTActionInterval*>(m_pOther);
    ZTAssert(pInterval != nullptr, "0");
    return pInterval->getAmplitudeRate();
}

//
// ZTDelayTime
//

ZTDelayTime* ZTDelayTime::actionWithDuration(float d)
{
    return ztMakeAutoreleased<ZTDelayTime>([d](ZTDelayTime* p) { return p->initWithDuration(d); });
}

ZTObject* ZTDelayTime::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTDelayTime* pCopy = copyObjectForZone<ZTDelayTime>(pZone, local);
    ZTActionInterval::copyWithZone(pZone);
    return pCopy;
}

void ZTDelayTime::update(float) {}

ZTActionInterval* ZTDelayTime::reverse()
{
    return actionWithDuration(m_fDuration);
}

//
// ZTRotateTo
//

ZTRotateTo* ZTRotateTo::actionWithDuration(float duration, float fDeltaAngle)
{
    return ztMakeAutoreleased<ZTRotateTo>(
        [=](ZTRotateTo* p) { return p->initWithDuration(duration, fDeltaAngle); });
}

bool ZTRotateTo::initWithDuration(float duration, float fDeltaAngle)
{
    ZTActionInterval::initWithDuration(duration);
    m_fDstAngle = fDeltaAngle;
    return true;
}

ZTObject* ZTRotateTo::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTRotateTo* pCopy = copyObjectForZone<ZTRotateTo>(pZone, local);
    ZTActionInterval::copyWithZone(pZone);
    pCopy->initWithDuration(m_fDuration, m_fDstAngle);
    return pCopy;
}

void ZTRotateTo::startWithTarget(ZTNode* pTarget)
{
    ZTActionInterval::startWithTarget(pTarget);
    // fmodf keeps the rotation's sign, so -370 starts at -10.
    m_fStartAngle = fmodf(pTarget->getRotation(), 360.0f);
    m_fDiffAngle = m_fDstAngle - m_fStartAngle;
    if (m_fDiffAngle > 180) {
        m_fDiffAngle -= 360;
    }
    if (m_fDiffAngle < -180) {
        m_fDiffAngle += 360;
    }
}

void ZTRotateTo::update(float t)
{
    if (m_pTarget) {
        m_pTarget->setRotation(m_fStartAngle + m_fDiffAngle * t);
    }
}

//
// ZTRotateBy
//

ZTRotateBy* ZTRotateBy::actionWithDuration(float duration, float fDeltaAngle)
{
    return ztMakeAutoreleased<ZTRotateBy>(
        [=](ZTRotateBy* p) { return p->initWithDuration(duration, fDeltaAngle); });
}

bool ZTRotateBy::initWithDuration(float duration, float fDeltaAngle)
{
    ZTActionInterval::initWithDuration(duration);
    m_fAngle = fDeltaAngle;
    return true;
}

ZTObject* ZTRotateBy::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTRotateBy* pCopy = copyObjectForZone<ZTRotateBy>(pZone, local);
    ZTActionInterval::copyWithZone(pZone);
    pCopy->initWithDuration(m_fDuration, m_fAngle);
    return pCopy;
}

void ZTRotateBy::startWithTarget(ZTNode* pTarget)
{
    ZTActionInterval::startWithTarget(pTarget);
    m_fStartAngle = pTarget->getRotation();
}

void ZTRotateBy::update(float t)
{
    if (m_pTarget) {
        m_pTarget->setRotation(m_fStartAngle + m_fAngle * t);
    }
}

ZTActionInterval* ZTRotateBy::reverse()
{
    return actionWithDuration(m_fDuration, -m_fAngle);
}

//
// ZTMoveTo, ZTMoveBy
//

ZTMoveTo* ZTMoveTo::actionWithDuration(float duration, const ZTPoint& position)
{
    return ztMakeAutoreleased<ZTMoveTo>([&](ZTMoveTo* p) { return p->initWithDuration(duration, position); });
}

bool ZTMoveTo::initWithDuration(float duration, const ZTPoint& position)
{
    ZTActionInterval::initWithDuration(duration);
    m_endPosition = position;
    return true;
}

ZTObject* ZTMoveTo::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTMoveTo* pCopy = copyObjectForZone<ZTMoveTo>(pZone, local);
    ZTActionInterval::copyWithZone(pZone);
    pCopy->initWithDuration(m_fDuration, m_endPosition);
    return pCopy;
}

void ZTMoveTo::startWithTarget(ZTNode* pTarget)
{
    ZTActionInterval::startWithTarget(pTarget);
    m_startPosition = pTarget->getPosition();
    m_delta = ZTPoint(m_endPosition.x - m_startPosition.x, m_endPosition.y - m_startPosition.y);
}

void ZTMoveTo::update(float t)
{
    if (m_pTarget) {
        m_pTarget->setPosition(ZTPoint(m_startPosition.x + m_delta.x * t, m_startPosition.y + m_delta.y * t));
    }
}

ZTMoveBy* ZTMoveBy::actionWithDuration(float duration, const ZTPoint& position)
{
    return ztMakeAutoreleased<ZTMoveBy>([&](ZTMoveBy* p) { return p->initWithDuration(duration, position); });
}

bool ZTMoveBy::initWithDuration(float duration, const ZTPoint& position)
{
    ZTActionInterval::initWithDuration(duration);
    m_delta = position;
    return true;
}

ZTObject* ZTMoveBy::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTMoveBy* pCopy = copyObjectForZone<ZTMoveBy>(pZone, local);
    ZTActionInterval::copyWithZone(pZone);
    pCopy->initWithDuration(m_fDuration, m_delta);
    return pCopy;
}

void ZTMoveBy::startWithTarget(ZTNode* pTarget)
{
    // The offset is fixed; only the start is captured.
    ZTPoint delta = m_delta;
    ZTMoveTo::startWithTarget(pTarget);
    m_delta = delta;
}

ZTActionInterval* ZTMoveBy::reverse()
{
    return actionWithDuration(m_fDuration, ZTPoint(-m_delta.x, -m_delta.y));
}

//
// ZTSkewTo, ZTSkewBy
//

ZTSkewTo* ZTSkewTo::actionWithDuration(float t, float sx, float sy)
{
    return ztMakeAutoreleased<ZTSkewTo>([=](ZTSkewTo* p) { return p->initWithDuration(t, sx, sy); });
}

bool ZTSkewTo::initWithDuration(float t, float sx, float sy)
{
    ZTActionInterval::initWithDuration(t);
    m_fEndSkewX = sx;
    m_fEndSkewY = sy;
    return true;
}

ZTObject* ZTSkewTo::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTSkewTo* pCopy = copyObjectForZone<ZTSkewTo>(pZone, local);
    ZTActionInterval::copyWithZone(pZone);
    pCopy->initWithDuration(m_fDuration, m_fEndSkewX, m_fEndSkewY);
    return pCopy;
}

void ZTSkewTo::startWithTarget(ZTNode* pTarget)
{
    ZTActionInterval::startWithTarget(pTarget);
    // X is reduced modulo 180 and Y modulo 360, each keeping the sign of the current skew.
    m_fStartSkewX = fmodf(pTarget->getSkewX(), 180.0f);
    m_fDeltaX = m_fEndSkewX - m_fStartSkewX;
    if (m_fDeltaX > 180) {
        m_fDeltaX -= 360;
    }
    if (m_fDeltaX < -180) {
        m_fDeltaX += 360;
    }
    m_fStartSkewY = fmodf(pTarget->getSkewY(), 360.0f);
    m_fDeltaY = m_fEndSkewY - m_fStartSkewY;
    if (m_fDeltaY > 180) {
        m_fDeltaY -= 360;
    }
    if (m_fDeltaY < -180) {
        m_fDeltaY += 360;
    }
}

void ZTSkewTo::update(float t)
{
    if (m_pTarget) {
        m_pTarget->setSkewX(m_fStartSkewX + m_fDeltaX * t);
        m_pTarget->setSkewY(m_fStartSkewY + m_fDeltaY * t);
    }
}

ZTSkewBy* ZTSkewBy::actionWithDuration(float t, float deltaSkewX, float deltaSkewY)
{
    return ztMakeAutoreleased<ZTSkewBy>(
        [=](ZTSkewBy* p) { return p->initWithDuration(t, deltaSkewX, deltaSkewY); });
}

bool ZTSkewBy::initWithDuration(float t, float deltaSkewX, float deltaSkewY)
{
    ZTSkewTo::initWithDuration(t, deltaSkewX, deltaSkewY);
    m_fSkewX = deltaSkewX;
    m_fSkewY = deltaSkewY;
    return true;
}

ZTObject* ZTSkewBy::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTSkewBy* pCopy = copyObjectForZone<ZTSkewBy>(pZone, local);
    ZTActionInterval::copyWithZone(pZone);
    pCopy->initWithDuration(m_fDuration, m_fSkewX, m_fSkewY);
    return pCopy;
}

void ZTSkewBy::startWithTarget(ZTNode* pTarget)
{
    ZTSkewTo::startWithTarget(pTarget);
    m_fDeltaX = m_fSkewX;
    m_fDeltaY = m_fSkewY;
    m_fEndSkewX = m_fStartSkewX + m_fDeltaX;
    m_fEndSkewY = m_fStartSkewY + m_fDeltaY;
}

ZTActionInterval* ZTSkewBy::reverse()
{
    return actionWithDuration(m_fDuration, -m_fSkewX, -m_fSkewY);
}

//
// ZTJumpBy, ZTJumpTo
//

ZTJumpBy* ZTJumpBy::actionWithDuration(float duration, const ZTPoint& position, float height,
                                       unsigned int jumps)
{
    return ztMakeAutoreleased<ZTJumpBy>(
        [&](ZTJumpBy* p) { return p->initWithDuration(duration, position, height, jumps); });
}

bool ZTJumpBy::initWithDuration(float duration, const ZTPoint& position, float height, unsigned int jumps)
{
    ZTActionInterval::initWithDuration(duration);
    m_delta = position;
    m_height = height;
    m_nJumps = jumps;
    return true;
}

ZTObject* ZTJumpBy::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTJumpBy* pCopy = copyObjectForZone<ZTJumpBy>(pZone, local);
    ZTActionInterval::copyWithZone(pZone);
    pCopy->initWithDuration(m_fDuration, m_delta, m_height, m_nJumps);
    return pCopy;
}

void ZTJumpBy::startWithTarget(ZTNode* pTarget)
{
    ZTActionInterval::startWithTarget(pTarget);
    m_startPosition = pTarget->getPosition();
}

void ZTJumpBy::update(float t)
{
    if (m_pTarget) {
        float frac = fmodf(t * m_nJumps, 1.0f);
        float y = m_height * 4 * frac * (1 - frac) + m_delta.y * t;
        float x = m_delta.x * t;
        m_pTarget->setPosition(ZTPoint(m_startPosition.x + x, m_startPosition.y + y));
    }
}

ZTActionInterval* ZTJumpBy::reverse()
{
    return actionWithDuration(m_fDuration, ZTPoint(-m_delta.x, -m_delta.y), m_height, m_nJumps);
}

ZTJumpTo* ZTJumpTo::actionWithDuration(float duration, const ZTPoint& position, float height, int jumps)
{
    return ztMakeAutoreleased<ZTJumpTo>([&](ZTJumpTo* p) {
        p->m_endPosition = position;
        return p->initWithDuration(duration, position, height, static_cast<unsigned int>(jumps));
    });
}

ZTObject* ZTJumpTo::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTJumpTo* pCopy = copyObjectForZone<ZTJumpTo>(pZone, local);
    ZTActionInterval::copyWithZone(pZone);
    pCopy->m_endPosition = m_endPosition;
    pCopy->initWithDuration(m_fDuration, m_endPosition, m_height, m_nJumps);
    return pCopy;
}

void ZTJumpTo::startWithTarget(ZTNode* pTarget)
{
    ZTJumpBy::startWithTarget(pTarget);
    m_delta = ZTPoint(m_endPosition.x - m_startPosition.x, m_endPosition.y - m_startPosition.y);
}

//
// ZTBezierBy, ZTBezierTo
//

namespace {
// Cubic Bezier from a through control points b and c to d.
float bezierAt(float a, float b, float c, float d, float t)
{
    return powf(1 - t, 3) * a + 3 * t * powf(1 - t, 2) * b + 3 * powf(t, 2) * (1 - t) * c + powf(t, 3) * d;
}
} // namespace

ZTBezierBy* ZTBezierBy::actionWithDuration(float t, const ztBezierConfig& c)
{
    return ztMakeAutoreleased<ZTBezierBy>([&](ZTBezierBy* p) { return p->initWithDuration(t, c); });
}

bool ZTBezierBy::initWithDuration(float t, const ztBezierConfig& c)
{
    ZTActionInterval::initWithDuration(t);
    m_sConfig = c;
    return true;
}

ZTObject* ZTBezierBy::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTBezierBy* pCopy = copyObjectForZone<ZTBezierBy>(pZone, local);
    ZTActionInterval::copyWithZone(pZone);
    pCopy->initWithDuration(m_fDuration, m_sConfig);
    return pCopy;
}

void ZTBezierBy::startWithTarget(ZTNode* pTarget)
{
    ZTActionInterval::startWithTarget(pTarget);
    m_startPosition = pTarget->getPosition();
}

void ZTBezierBy::update(float t)
{
    if (m_pTarget) {
        float x =
            bezierAt(0, m_sConfig.controlPoint_1.x, m_sConfig.controlPoint_2.x, m_sConfig.endPosition.x, t);
        float y =
            bezierAt(0, m_sConfig.controlPoint_1.y, m_sConfig.controlPoint_2.y, m_sConfig.endPosition.y, t);
        m_pTarget->setPosition(ZTPoint(m_startPosition.x + x, m_startPosition.y + y));
    }
}

ZTActionInterval* ZTBezierBy::reverse()
{
    const ztBezierConfig& c = m_sConfig;
    ztBezierConfig r;
    r.endPosition = ZTPoint(-c.endPosition.x, -c.endPosition.y);
    r.controlPoint_1 = ZTPoint(c.controlPoint_2.x - c.endPosition.x, c.controlPoint_2.y - c.endPosition.y);
    r.controlPoint_2 = ZTPoint(c.controlPoint_1.x - c.endPosition.x, c.controlPoint_1.y - c.endPosition.y);
    return actionWithDuration(m_fDuration, r);
}

ZTBezierTo* ZTBezierTo::actionWithDuration(float t, const ztBezierConfig& c)
{
    return ztMakeAutoreleased<ZTBezierTo>([&](ZTBezierTo* p) {
        p->m_sToConfig = c;
        return p->initWithDuration(t, c);
    });
}

ZTObject* ZTBezierTo::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTBezierTo* pCopy = copyObjectForZone<ZTBezierTo>(pZone, local);
    ZTActionInterval::copyWithZone(pZone);
    pCopy->m_sToConfig = m_sToConfig;
    pCopy->initWithDuration(m_fDuration, m_sToConfig);
    return pCopy;
}

void ZTBezierTo::startWithTarget(ZTNode* pTarget)
{
    ZTBezierBy::startWithTarget(pTarget);
    auto relative = [this](const ZTPoint& p) {
        return ZTPoint(p.x - m_startPosition.x, p.y - m_startPosition.y);
    };
    m_sConfig.endPosition = relative(m_sToConfig.endPosition);
    m_sConfig.controlPoint_1 = relative(m_sToConfig.controlPoint_1);
    m_sConfig.controlPoint_2 = relative(m_sToConfig.controlPoint_2);
}

//
// ZTScaleTo, ZTScaleBy
//

ZTScaleTo* ZTScaleTo::actionWithDuration(float duration, float s)
{
    return ztMakeAutoreleased<ZTScaleTo>([=](ZTScaleTo* p) { return p->initWithDuration(duration, s); });
}

ZTScaleTo* ZTScaleTo::actionWithDuration(float duration, float sx, float sy)
{
    return ztMakeAutoreleased<ZTScaleTo>([=](ZTScaleTo* p) { return p->initWithDuration(duration, sx, sy); });
}

bool ZTScaleTo::initWithDuration(float duration, float s)
{
    return initWithDuration(duration, s, s);
}

bool ZTScaleTo::initWithDuration(float duration, float sx, float sy)
{
    ZTActionInterval::initWithDuration(duration);
    m_fEndScaleX = sx;
    m_fEndScaleY = sy;
    return true;
}

ZTObject* ZTScaleTo::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTScaleTo* pCopy = copyObjectForZone<ZTScaleTo>(pZone, local);
    ZTActionInterval::copyWithZone(pZone);
    pCopy->initWithDuration(m_fDuration, m_fEndScaleX, m_fEndScaleY);
    return pCopy;
}

void ZTScaleTo::startWithTarget(ZTNode* pTarget)
{
    ZTActionInterval::startWithTarget(pTarget);
    m_fStartScaleX = pTarget->getScaleX();
    m_fStartScaleY = pTarget->getScaleY();
    m_fDeltaX = m_fEndScaleX - m_fStartScaleX;
    m_fDeltaY = m_fEndScaleY - m_fStartScaleY;
}

void ZTScaleTo::update(float t)
{
    if (m_pTarget) {
        m_pTarget->setScaleX(m_fStartScaleX + m_fDeltaX * t);
        m_pTarget->setScaleY(m_fStartScaleY + m_fDeltaY * t);
    }
}

ZTScaleBy* ZTScaleBy::actionWithDuration(float duration, float s)
{
    return ztMakeAutoreleased<ZTScaleBy>([=](ZTScaleBy* p) { return p->initWithDuration(duration, s); });
}

ZTScaleBy* ZTScaleBy::actionWithDuration(float duration, float sx, float sy)
{
    return ztMakeAutoreleased<ZTScaleBy>([=](ZTScaleBy* p) { return p->initWithDuration(duration, sx, sy); });
}

ZTObject* ZTScaleBy::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTScaleBy* pCopy = copyObjectForZone<ZTScaleBy>(pZone, local);
    ZTActionInterval::copyWithZone(pZone);
    pCopy->initWithDuration(m_fDuration, m_fEndScaleX, m_fEndScaleY);
    return pCopy;
}

void ZTScaleBy::startWithTarget(ZTNode* pTarget)
{
    ZTScaleTo::startWithTarget(pTarget);
    m_fDeltaX = m_fStartScaleX * m_fEndScaleX - m_fStartScaleX;
    m_fDeltaY = m_fStartScaleY * m_fEndScaleY - m_fStartScaleY;
}

ZTActionInterval* ZTScaleBy::reverse()
{
    return actionWithDuration(m_fDuration, 1 / m_fEndScaleX, 1 / m_fEndScaleY);
}

//
// ZTBlink
//

ZTBlink* ZTBlink::actionWithDuration(float duration, unsigned int uBlinks)
{
    return ztMakeAutoreleased<ZTBlink>([=](ZTBlink* p) { return p->initWithDuration(duration, uBlinks); });
}

bool ZTBlink::initWithDuration(float duration, unsigned int uBlinks)
{
    ZTActionInterval::initWithDuration(duration);
    m_nTimes = uBlinks;
    return true;
}

ZTObject* ZTBlink::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTBlink* pCopy = copyObjectForZone<ZTBlink>(pZone, local);
    ZTActionInterval::copyWithZone(pZone);
    pCopy->initWithDuration(m_fDuration, m_nTimes);
    return pCopy;
}

void ZTBlink::update(float t)
{
    // The visibility of the last update before the end stays.
    if (m_pTarget && !isDone()) {
        float slice = 1.0f / m_nTimes;
        float m = fmodf(t, slice);
        m_pTarget->setIsVisible(m > slice / 2);
    }
}

ZTActionInterval* ZTBlink::reverse()
{
    return actionWithDuration(m_fDuration, m_nTimes);
}

//
// Fades and tints
//

ZTFadeIn* ZTFadeIn::actionWithDuration(float d)
{
    return ztMakeAutoreleased<ZTFadeIn>([d](ZTFadeIn* p) { return p->initWithDuration(d); });
}

ZTObject* ZTFadeIn::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTFadeIn* pCopy = copyObjectForZone<ZTFadeIn>(pZone, local);
    ZTActionInterval::copyWithZone(pZone);
    return pCopy;
}

void ZTFadeIn::update(float t)
{
    if (ZTRGBAProtocol* pRGBA = colourOf(m_pTarget)) {
        pRGBA->setOpacity(toByte(255 * t));
    }
}

ZTActionInterval* ZTFadeIn::reverse()
{
    return ZTFadeOut::actionWithDuration(m_fDuration);
}

ZTFadeOut* ZTFadeOut::actionWithDuration(float d)
{
    return ztMakeAutoreleased<ZTFadeOut>([d](ZTFadeOut* p) { return p->initWithDuration(d); });
}

ZTObject* ZTFadeOut::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTFadeOut* pCopy = copyObjectForZone<ZTFadeOut>(pZone, local);
    ZTActionInterval::copyWithZone(pZone);
    return pCopy;
}

void ZTFadeOut::update(float t)
{
    if (ZTRGBAProtocol* pRGBA = colourOf(m_pTarget)) {
        pRGBA->setOpacity(toByte(255 * (1 - t)));
    }
}

ZTActionInterval* ZTFadeOut::reverse()
{
    return ZTFadeIn::actionWithDuration(m_fDuration);
}

ZTFadeTo* ZTFadeTo::actionWithDuration(float duration, GLubyte opacity)
{
    return ztMakeAutoreleased<ZTFadeTo>([=](ZTFadeTo* p) { return p->initWithDuration(duration, opacity); });
}

bool ZTFadeTo::initWithDuration(float duration, GLubyte opacity)
{
    ZTActionInterval::initWithDuration(duration);
    m_toOpacity = opacity;
    return true;
}

ZTObject* ZTFadeTo::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTFadeTo* pCopy = copyObjectForZone<ZTFadeTo>(pZone, local);
    ZTActionInterval::copyWithZone(pZone);
    pCopy->initWithDuration(m_fDuration, m_toOpacity);
    return pCopy;
}

void ZTFadeTo::startWithTarget(ZTNode* pTarget)
{
    ZTActionInterval::startWithTarget(pTarget);
    if (ZTRGBAProtocol* pRGBA = colourOf(pTarget)) {
        m_fromOpacity = pRGBA->getOpacity();
    }
}

void ZTFadeTo::update(float t)
{
    if (ZTRGBAProtocol* pRGBA = colourOf(m_pTarget)) {
        pRGBA->setOpacity(toByte(m_fromOpacity + (m_toOpacity - m_fromOpacity) * t));
    }
}

ZTTintTo* ZTTintTo::actionWithDuration(float duration, GLubyte red, GLubyte green, GLubyte blue)
{
    return ztMakeAutoreleased<ZTTintTo>(
        [=](ZTTintTo* p) { return p->initWithDuration(duration, red, green, blue); });
}

bool ZTTintTo::initWithDuration(float duration, GLubyte red, GLubyte green, GLubyte blue)
{
    ZTActionInterval::initWithDuration(duration);
    m_to = makeColor(red, green, blue);
    return true;
}

ZTObject* ZTTintTo::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTTintTo* pCopy = copyObjectForZone<ZTTintTo>(pZone, local);
    ZTActionInterval::copyWithZone(pZone);
    pCopy->initWithDuration(m_fDuration, m_to.r, m_to.g, m_to.b);
    return pCopy;
}

void ZTTintTo::startWithTarget(ZTNode* pTarget)
{
    ZTActionInterval::startWithTarget(pTarget);
    if (ZTRGBAProtocol* pRGBA = colourOf(pTarget)) {
        m_from = pRGBA->getColor();
    }
}

void ZTTintTo::update(float t)
{
    if (ZTRGBAProtocol* pRGBA = colourOf(m_pTarget)) {
        pRGBA->setColor(makeColor(toByte(m_from.r + (m_to.r - m_from.r) * t),
                                  toByte(m_from.g + (m_to.g - m_from.g) * t),
                                  toByte(m_from.b + (m_to.b - m_from.b) * t)));
    }
}

ZTTintBy* ZTTintBy::actionWithDuration(float duration, GLshort deltaRed, GLshort deltaGreen,
                                       GLshort deltaBlue)
{
    return ztMakeAutoreleased<ZTTintBy>(
        [=](ZTTintBy* p) { return p->initWithDuration(duration, deltaRed, deltaGreen, deltaBlue); });
}

bool ZTTintBy::initWithDuration(float duration, GLshort deltaRed, GLshort deltaGreen, GLshort deltaBlue)
{
    ZTActionInterval::initWithDuration(duration);
    m_deltaR = deltaRed;
    m_deltaG = deltaGreen;
    m_deltaB = deltaBlue;
    return true;
}

ZTObject* ZTTintBy::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTTintBy* pCopy = copyObjectForZone<ZTTintBy>(pZone, local);
    ZTActionInterval::copyWithZone(pZone);
    pCopy->initWithDuration(m_fDuration, m_deltaR, m_deltaG, m_deltaB);
    return pCopy;
}

void ZTTintBy::startWithTarget(ZTNode* pTarget)
{
    ZTActionInterval::startWithTarget(pTarget);
    if (ZTRGBAProtocol* pRGBA = colourOf(pTarget)) {
        ztColor3B color = pRGBA->getColor();
        m_fromR = color.r;
        m_fromG = color.g;
        m_fromB = color.b;
    }
}

void ZTTintBy::update(float t)
{
    if (ZTRGBAProtocol* pRGBA = colourOf(m_pTarget)) {
        pRGBA->setColor(makeColor(toByte(m_fromR + m_deltaR * t), toByte(m_fromG + m_deltaG * t),
                                  toByte(m_fromB + m_deltaB * t)));
    }
}

ZTActionInterval* ZTTintBy::reverse()
{
    return actionWithDuration(m_fDuration, static_cast<GLshort>(-m_deltaR), static_cast<GLshort>(-m_deltaG),
                              static_cast<GLshort>(-m_deltaB));
}

} // namespace zanth2d
