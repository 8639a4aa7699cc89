#include "actions/ZTActionInstant.h"

#include "ZTMacros.h"
#include "base_nodes/ZTNode.h"
#include "cocoa/ZTAutoreleasedFactory.h"

namespace zanth2d {

namespace {

template <typename T> T* autoreleased(T* pAction)
{
    pAction->autorelease();
    return pAction;
}

} // namespace

//
// ZTActionInstant
//

ZTObject* ZTActionInstant::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTActionInstant* pCopy = copyObjectForZone<ZTActionInstant>(pZone, local);
    ZTFiniteTimeAction::copyWithZone(pZone);
    return pCopy;
}

bool ZTActionInstant::isDone()
{
    return true;
}

void ZTActionInstant::step(float)
{
    update(1);
}

void ZTActionInstant::update(float) {}

ZTFiniteTimeAction* ZTActionInstant::reverse()
{
    return autoreleased(static_cast<ZTFiniteTimeAction*>(copy()));
}

//
// ZTShow, ZTHide, ZTToggleVisibility
//

ZTShow* ZTShow::action()
{
    return autoreleased(new ZTShow());
}

ZTObject* ZTShow::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTShow* pCopy = copyObjectForZone<ZTShow>(pZone, local);
    ZTActionInstant::copyWithZone(pZone);
    return pCopy;
}

void ZTShow::startWithTarget(ZTNode* pTarget)
{
    ZTActionInstant::startWithTarget(pTarget);
    pTarget->setIsVisible(true);
}

ZTFiniteTimeAction* ZTShow::reverse()
{
    return ZTHide::action();
}

ZTHide* ZTHide::action()
{
    return autoreleased(new ZTHide());
}

ZTObject* ZTHide::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTHide* pCopy = copyObjectForZone<ZTHide>(pZone, local);
    ZTActionInstant::copyWithZone(pZone);
    return pCopy;
}

void ZTHide::startWithTarget(ZTNode* pTarget)
{
    ZTActionInstant::startWithTarget(pTarget);
    pTarget->setIsVisible(false);
}

ZTFiniteTimeAction* ZTHide::reverse()
{
    return ZTShow::action();
}

ZTToggleVisibility* ZTToggleVisibility::action()
{
    return autoreleased(new ZTToggleVisibility());
}

ZTObject* ZTToggleVisibility::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTToggleVisibility* pCopy = copyObjectForZone<ZTToggleVisibility>(pZone, local);
    ZTActionInstant::copyWithZone(pZone);
    return pCopy;
}

void ZTToggleVisibility::startWithTarget(ZTNode* pTarget)
{
    ZTActionInstant::startWithTarget(pTarget);
    pTarget->setIsVisible(!pTarget->getIsVisible());
}

//
// ZTPlace
//

ZTPlace* ZTPlace::actionWithPosition(const ZTPoint& pos)
{
    return ztMakeAutoreleased<ZTPlace>([&](ZTPlace* pRet) { return pRet->initWithPosition(pos); });
}

bool ZTPlace::initWithPosition(const ZTPoint& pos)
{
    m_tPosition = pos;
    return true;
}

ZTObject* ZTPlace::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTPlace* pCopy = copyObjectForZone<ZTPlace>(pZone, local);
    ZTActionInstant::copyWithZone(pZone);
    pCopy->initWithPosition(m_tPosition);
    return pCopy;
}

void ZTPlace::startWithTarget(ZTNode* pTarget)
{
    ZTActionInstant::startWithTarget(pTarget);
    pTarget->setPosition(m_tPosition);
}

//
// ZTCallFunc
//

ZTCallFunc::~ZTCallFunc()
{
    ZT_SAFE_RELEASE(m_pSelectorTarget);
}

ZTCallFunc* ZTCallFunc::actionWithTarget(ZTObject* pSelectorTarget, SEL_CallFunc selector)
{
    return ztMakeAutoreleased<ZTCallFunc>([&](ZTCallFunc* pRet) {
        if (!pRet->initWithTarget(pSelectorTarget)) {
            return false;
        }
        pRet->m_pCallFunc = selector;
        return true;
    });
}

void ZTCallFunc::setTargetCallback(ZTObject* pSelectorTarget)
{
    ZT_SAFE_RETAIN(pSelectorTarget);
    ZT_SAFE_RELEASE(m_pSelectorTarget);
    m_pSelectorTarget = pSelectorTarget;
}

bool ZTCallFunc::initWithTarget(ZTObject* pSelectorTarget)
{
    setTargetCallback(pSelectorTarget);
    return true;
}

void ZTCallFunc::execute()
{
    if (m_pCallFunc && m_pSelectorTarget) {
        (m_pSelectorTarget->*m_pCallFunc)();
    }
}

ZTObject* ZTCallFunc::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTCallFunc* pCopy = copyObjectForZone<ZTCallFunc>(pZone, local);
    ZTActionInstant::copyWithZone(pZone);
    pCopy->initWithTarget(m_pSelectorTarget);
    pCopy->m_pCallFunc = m_pCallFunc;
    return pCopy;
}

void ZTCallFunc::startWithTarget(ZTNode* pTarget)
{
    ZTActionInstant::startWithTarget(pTarget);
    execute();
}

//
// ZTCallFuncN
//

ZTCallFuncN* ZTCallFuncN::actionWithTarget(ZTObject* pSelectorTarget, SEL_CallFuncN selector)
{
    return ztMakeAutoreleased<ZTCallFuncN>([&](ZTCallFuncN* pRet) { return pRet->initWithTarget(pSelectorTarget, selector); });
}

bool ZTCallFuncN::initWithTarget(ZTObject* pSelectorTarget, SEL_CallFuncN selector)
{
    ZTCallFunc::initWithTarget(pSelectorTarget);
    m_pCallFuncN = selector;
    return true;
}

ZTObject* ZTCallFuncN::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTCallFuncN* pCopy = copyObjectForZone<ZTCallFuncN>(pZone, local);
    ZTCallFunc::copyWithZone(pZone);
    pCopy->initWithTarget(m_pSelectorTarget, m_pCallFuncN);
    return pCopy;
}

void ZTCallFuncN::execute()
{
    if (m_pCallFuncN && m_pSelectorTarget) {
        (m_pSelectorTarget->*m_pCallFuncN)(m_pTarget);
    }
}

//
// ZTCallFuncND
//

ZTCallFuncND* ZTCallFuncND::actionWithTarget(ZTObject* pSelectorTarget, SEL_CallFuncND selector, void* d)
{
    return ztMakeAutoreleased<ZTCallFuncND>([&](ZTCallFuncND* pRet) { return pRet->initWithTarget(pSelectorTarget, selector, d); });
}

bool ZTCallFuncND::initWithTarget(ZTObject* pSelectorTarget, SEL_CallFuncND selector, void* d)
{
    ZTCallFunc::initWithTarget(pSelectorTarget);
    m_pCallFuncND = selector;
    m_pData = d;
    return true;
}

ZTObject* ZTCallFuncND::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTCallFuncND* pCopy = copyObjectForZone<ZTCallFuncND>(pZone, local);
    ZTCallFuncN::copyWithZone(pZone);
    pCopy->initWithTarget(m_pSelectorTarget, m_pCallFuncND, m_pData);
    return pCopy;
}

void ZTCallFuncND::execute()
{
    if (m_pCallFuncND && m_pSelectorTarget) {
        (m_pSelectorTarget->*m_pCallFuncND)(m_pTarget, m_pData);
    }
}

//
// ZTCallFuncO
//

ZTCallFuncO::~ZTCallFuncO()
{
    ZT_SAFE_RELEASE(m_pObject);
}

ZTCallFuncO* ZTCallFuncO::actionWithTarget(ZTObject* pSelectorTarget, SEL_CallFuncO selector,
                                           ZTObject* pObject)
{
    return ztMakeAutoreleased<ZTCallFuncO>([&](ZTCallFuncO* pRet) { return pRet->initWithTarget(pSelectorTarget, selector, pObject); });
}

bool ZTCallFuncO::initWithTarget(ZTObject* pSelectorTarget, SEL_CallFuncO selector, ZTObject* pObject)
{
    ZTCallFunc::initWithTarget(pSelectorTarget);
    m_pCallFuncO = selector;
    ZT_SAFE_RETAIN(pObject);
    ZT_SAFE_RELEASE(m_pObject);
    m_pObject = pObject;
    return true;
}

ZTObject* ZTCallFuncO::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTCallFuncO* pCopy = copyObjectForZone<ZTCallFuncO>(pZone, local);
    ZTCallFunc::copyWithZone(pZone);
    pCopy->initWithTarget(m_pSelectorTarget, m_pCallFuncO, m_pObject);
    return pCopy;
}

void ZTCallFuncO::execute()
{
    if (m_pCallFuncO && m_pSelectorTarget) {
        (m_pSelectorTarget->*m_pCallFuncO)(m_pObject);
    }
}

} // namespace zanth2d
