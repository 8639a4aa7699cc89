#include "actions/ZTFlipX.h"

#include "sprite_nodes/ZTSprite.h"

namespace zanth2d {

ZTFlipX* ZTFlipX::actionWithFlipX(bool bFlipX)
{
    auto* pAction = new ZTFlipX();
    pAction->initWithFlipX(bFlipX);
    pAction->autorelease();
    return pAction;
}

bool ZTFlipX::initWithFlipX(bool bFlipX)
{
    m_bFlipX = bFlipX;
    return true;
}

ZTObject* ZTFlipX::copyWithZone(ZTZone* pZone)
{
    ZTZone local;
    ZTFlipX* pCopy = copyObjectForZone<ZTFlipX>(pZone, local);
    ZTActionInstant::copyWithZone(pZone);
    pCopy->initWithFlipX(m_bFlipX);
    return pCopy;
}

void ZTFlipX::startWithTarget(ZTNode* pTarget)
{
    ZTActionInstant::startWithTarget(pTarget);
    static_cast<ZTSprite*>(pTarget)->setFlipX(m_bFlipX);
}

ZTFiniteTimeAction* ZTFlipX::reverse()
{
    return actionWithFlipX(!m_bFlipX);
}

} // namespace zanth2d
