#include "actions/ZTAction.h"

#include <cstdio>
#include <cstdlib>

#include "ZTDirector.h"
#include "ZTMacros.h"
#include "actions/ZTActionInterval.h"
#include "base_nodes/ZTNode.h"
#include "cocoa/ZTAutoreleasedFactory.h"
#include "support/ZTPointExtension.h"

namespace zanth2d {

//
// ZTAction
//

ZTAction::ZTAction() = default;

ZTAction::~ZTAction() = default;

ZTAction* ZTAction::action()
{
    auto* pRet = new ZTAction();
    pRet->autorelease();
    return pRet;
}

ZTObject* ZTAction::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTAction* pCopy = copyObjectForZone<ZTAction>(pZone, local);
    pCopy->m_nTag = m_nTag;
    return pCopy;
}

char* ZTAction::description()
{
    auto* pszDescription = static_cast<char*>(std::malloc(100));
    std::snprintf(pszDescription, 100, "<ZTAction | Tag = %d>", m_nTag);
    return pszDescription;
}

void ZTAction::update(float) {}

bool ZTAction::isDone()
{
    return true;
}

void ZTAction::startWithTarget(ZTNode* pTarget)
{
    m_pOriginalTarget = m_pTarget = pTarget;
}

void ZTAction::stop()
{
    m_pTarget = nullptr;
}

void ZTAction::step(float) {}

//
// ZTFiniteTimeAction
//

ZTFiniteTimeAction* ZTFiniteTimeAction::reverse()
{
    return nullptr;
}

//
// ZTSpeed
//

ZTSpeed::~ZTSpeed()
{
    ZT_SAFE_RELEASE(m_pInnerAction);
}

ZTSpeed* ZTSpeed::actionWithAction(ZTActionInterval* pAction, float fSpeed)
{
    return ztMakeAutoreleased<ZTSpeed>([&](ZTSpeed* pRet) { return pRet->initWithAction(pAction, fSpeed); });
}

bool ZTSpeed::initWithAction(ZTActionInterval* pAction, float fSpeed)
{
    ZTAssert(pAction != nullptr, "pAction != __null");
    pAction->retain();
    ZT_SAFE_RELEASE(m_pInnerAction);
    m_pInnerAction = pAction;
    m_fSpeed = fSpeed;
    return true;
}

ZTObject* ZTSpeed::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTSpeed* pCopy = copyObjectForZone<ZTSpeed>(pZone, local);
    ZTAction::copyWithZone(pZone);
    auto* pInner = static_cast<ZTActionInterval*>(m_pInnerAction->copy());
    pCopy->initWithAction(pInner, m_fSpeed);
    pInner->release();
    return pCopy;
}

void ZTSpeed::startWithTarget(ZTNode* pTarget)
{
    ZTAction::startWithTarget(pTarget);
    m_pInnerAction->startWithTarget(pTarget);
}

void ZTSpeed::stop()
{
    m_pInnerAction->stop();
    ZTAction::stop();
}

void ZTSpeed::step(float dt)
{
    m_pInnerAction->step(dt * m_fSpeed);
}

bool ZTSpeed::isDone()
{
    return m_pInnerAction->isDone();
}

ZTSpeed* ZTSpeed::reverse()
{
    return actionWithAction(m_pInnerAction->reverse(), m_fSpeed);
}

void ZTSpeed::setInnerAction(ZTActionInterval* pAction)
{
    if (m_pInnerAction == pAction) {
        return;
    }
    ZT_SAFE_RELEASE(m_pInnerAction);
    m_pInnerAction = pAction;
    ZT_SAFE_RETAIN(m_pInnerAction);
}

//
// ZTFollow
//

ZTFollow::~ZTFollow()
{
    ZT_SAFE_RELEASE(m_pobFollowedNode);
}

ZTFollow* ZTFollow::actionWithTarget(ZTNode* pFollowedNode)
{
    return ztMakeAutoreleased<ZTFollow>([&](ZTFollow* pRet) { return pRet->initWithTarget(pFollowedNode); });
}

ZTFollow* ZTFollow::actionWithTarget(ZTNode* pFollowedNode, const ZTRect& rect)
{
    return ztMakeAutoreleased<ZTFollow>([&](ZTFollow* pRet) { return pRet->initWithTarget(pFollowedNode, rect); });
}

void ZTFollow::setFollowedNode(ZTNode* pFollowedNode)
{
    pFollowedNode->retain();
    ZT_SAFE_RELEASE(m_pobFollowedNode);
    m_pobFollowedNode = pFollowedNode;
}

bool ZTFollow::initWithTarget(ZTNode* pFollowedNode)
{
    ZTAssert(pFollowedNode != nullptr, "pFollowedNode != __null");
    setFollowedNode(pFollowedNode);
    m_bBoundarySet = false;
    m_bBoundaryFullyCovered = false;
    ZTSize winSize = ZTDirector::sharedDirector()->getWinSize();
    m_obFullScreenSize = ZTPoint(winSize.width, winSize.height);
    m_obHalfScreenSize = ZTPoint(m_obFullScreenSize.x * 0.5f, m_obFullScreenSize.y * 0.5f);
    return true;
}

bool ZTFollow::initWithTarget(ZTNode* pFollowedNode, const ZTRect& rect)
{
    initWithTarget(pFollowedNode);
    m_bBoundarySet = true;

    m_fLeftBoundary = -((rect.origin.x + rect.size.width) - m_obFullScreenSize.x);
    m_fRightBoundary = -rect.origin.x;
    m_fTopBoundary = -rect.origin.y;
    m_fBottomBoundary = -((rect.origin.y + rect.size.height) - m_obFullScreenSize.y);

    // A world narrower than the screen is centred instead of clamped.
    if (m_fRightBoundary < m_fLeftBoundary) {
        m_fRightBoundary = m_fLeftBoundary = (m_fLeftBoundary + m_fRightBoundary) / 2;
    }
    if (m_fTopBoundary < m_fBottomBoundary) {
        m_fTopBoundary = m_fBottomBoundary = (m_fTopBoundary + m_fBottomBoundary) / 2;
    }
    if (m_fTopBoundary == m_fBottomBoundary && m_fLeftBoundary == m_fRightBoundary) {
        m_bBoundaryFullyCovered = true;
    }
    return true;
}

ZTObject* ZTFollow::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTFollow* pCopy = copyObjectForZone<ZTFollow>(pZone, local);
    ZTAction::copyWithZone(pZone);
    // A copy follows the same node within the same boundary.
    if (m_pobFollowedNode) {
        pCopy->setFollowedNode(m_pobFollowedNode);
    }
    pCopy->m_bBoundarySet = m_bBoundarySet;
    pCopy->m_bBoundaryFullyCovered = m_bBoundaryFullyCovered;
    pCopy->m_obHalfScreenSize = m_obHalfScreenSize;
    pCopy->m_obFullScreenSize = m_obFullScreenSize;
    pCopy->m_fLeftBoundary = m_fLeftBoundary;
    pCopy->m_fRightBoundary = m_fRightBoundary;
    pCopy->m_fTopBoundary = m_fTopBoundary;
    pCopy->m_fBottomBoundary = m_fBottomBoundary;
    return pCopy;
}

void ZTFollow::step(float)
{
    if (!m_pTarget || !m_pobFollowedNode) {
        return;
    }
    ZTPoint followed = m_pobFollowedNode->getPosition();
    ZTPoint p(m_obHalfScreenSize.x - followed.x, m_obHalfScreenSize.y - followed.y);
    if (!m_bBoundarySet) {
        m_pTarget->setPosition(p);
        return;
    }
    if (m_bBoundaryFullyCovered) {
        return;
    }
    m_pTarget->setPosition(ZTPoint(clampf(p.x, m_fLeftBoundary, m_fRightBoundary),
                                   clampf(p.y, m_fBottomBoundary, m_fTopBoundary)));
}

bool ZTFollow::isDone()
{
    return !m_pobFollowedNode || !m_pobFollowedNode->getIsRunning();
}

void ZTFollow::stop()
{
    m_pTarget = nullptr;
    ZTAction::stop();
}

} // namespace zanth2d
