#include "touch_dispatcher/ZTTargetedTouchHandler.h"

#include "ZTMacros.h"
#include "cocoa/ZTSet.h"

namespace zanth2d {

ZTTargetedTouchHandler::~ZTTargetedTouchHandler()
{
    ZT_SAFE_RELEASE(m_pClaimedTouches);
}

ZTTargetedTouchHandler* ZTTargetedTouchHandler::handlerWithDelegate(ZTTouchDelegate* pDelegate, int nPriority,
                                                                    bool bSwallowsTouches)
{
    auto* pHandler = new ZTTargetedTouchHandler();
    pHandler->initWithDelegate(pDelegate, nPriority, bSwallowsTouches);
    pHandler->autorelease();
    return pHandler;
}

bool ZTTargetedTouchHandler::initWithDelegate(ZTTouchDelegate* pDelegate, int nPriority,
                                              bool bSwallowsTouches)
{
    ZTTouchHandler::initWithDelegate(pDelegate, nPriority);
    ZT_SAFE_RELEASE(m_pClaimedTouches);
    m_pClaimedTouches = new ZTSet();
    m_bSwallowsTouches = bSwallowsTouches;
    return true;
}

} // namespace zanth2d
