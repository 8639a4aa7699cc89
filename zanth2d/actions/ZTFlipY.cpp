#include "actions/ZTFlipY.h"

#include "sprite_nodes/ZTSprite.h"

namespace zanth2d {

ZTFlipY* ZTFlipY::actionWithFlipY(bool bFlipY)
{
    auto* pAction = new ZTFlipY();
    pAction->initWithFlipY(bFlipY);
    pAction->autorelease();
    return pAction;
}

bool ZTFlipY::initWithFlipY(bool bFlipY)
{
    m_bFlipY = bFlipY;
    return true;
}

ZTObject* ZTFlipY::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTFlipY* pCopy = copyObjectForZone<ZTFlipY>(pZone, local);
    ZTActionInstant::copyWithZone(pZone);
    pCopy->initWithFlipY(m_bFlipY);
    return pCopy;
}

void ZTFlipY::startWithTarget(ZTNode* pTarget)
{
    ZTActionInstant::startWithTarget(pTarget);
    static_cast<ZTSprite*>(pTarget)->setFlipY(m_bFlipY);
}

ZTFiniteTimeAction* ZTFlipY::reverse()
{
    return actionWithFlipY(!m_bFlipY);
}

} // namespace zanth2d
