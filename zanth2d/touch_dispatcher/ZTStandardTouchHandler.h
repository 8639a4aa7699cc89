#pragma once

#include "touch_dispatcher/ZTTouchHandler.h"

namespace zanth2d {

// Registration of a delegate that receives whole touch sets, after the targeted delegates.
class ZTStandardTouchHandler : public ZTTouchHandler
{
public:
    // An autoreleased handler.
    static ZTStandardTouchHandler* handlerWithDelegate(ZTTouchDelegate* pDelegate, int nPriority);
};

} // namespace zanth2d
