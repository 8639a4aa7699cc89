#pragma once

#include "actions/ZTActionInstant.h"

namespace zanth2d {

// Sets the vertical flip of its target, which must be a ZTSprite, when it starts.
class ZTFlipY : public ZTActionInstant
{
public:
    // Autoreleased.
    static ZTFlipY* actionWithFlipY(bool bFlipY);
    bool initWithFlipY(bool bFlipY);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;
    // A flip to the opposite setting.
    ZTFiniteTimeAction* reverse() override;

    bool getFlipY() const { return m_bFlipY; }

protected:
    bool m_bFlipY = false;
};

} // namespace zanth2d
