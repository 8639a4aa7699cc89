#pragma once

#include "touch_dispatcher/ZTTouchHandler.h"

namespace zanth2d {

class ZTSet;

// Registration of a delegate offered each touch on its own; it keeps the touches its delegate claimed.
class ZTTargetedTouchHandler : public ZTTouchHandler
{
public:
    ~ZTTargetedTouchHandler() override;

    // An autoreleased handler. A swallowing handler hides its claimed touches from later handlers.
    static ZTTargetedTouchHandler* handlerWithDelegate(ZTTouchDelegate* pDelegate, int nPriority,
                                                       bool bSwallowsTouches);
    bool initWithDelegate(ZTTouchDelegate* pDelegate, int nPriority, bool bSwallowsTouches);

    bool isSwallowsTouches() const { return m_bSwallowsTouches; }
    void setSwallowsTouches(bool bSwallowsTouches) { m_bSwallowsTouches = bSwallowsTouches; }
    ZTSet* getClaimedTouches() const { return m_pClaimedTouches; }

private:
    using ZTTouchHandler::initWithDelegate;

    bool m_bSwallowsTouches = false;
    ZTSet* m_pClaimedTouches = nullptr;
};

} // namespace zanth2d
