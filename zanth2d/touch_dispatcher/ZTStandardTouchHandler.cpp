#include "touch_dispatcher/ZTStandardTouchHandler.h"

namespace zanth2d {

ZTStandardTouchHandler* ZTStandardTouchHandler::handlerWithDelegate(ZTTouchDelegate* pDelegate, int nPriority)
{
    auto* pHandler = new ZTStandardTouchHandler();
    pHandler->initWithDelegate(pDelegate, nPriority);
    pHandler->autorelease();
    return pHandler;
}

} // namespace zanth2d
