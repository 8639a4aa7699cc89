#pragma once

#include "actions/ZTActionInstant.h"

namespace zanth2d {

// Sets the horizontal flip of its target, which must be a ZTSprite, when it starts.
class ZTFlipX : public ZTActionInstant
{
public:
    // Autoreleased.
    static ZTFlipX* actionWithFlipX(bool bFlipX);
    bool initWithFlipX(bool bFlipX);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;
    // A flip to the opposite setting.
    ZTFiniteTimeAction* reverse() override;

    bool getFlipX() const { return m_bFlipX; }

protected:
    bool m_bFlipX = false;
};

} // namespace zanth2d
