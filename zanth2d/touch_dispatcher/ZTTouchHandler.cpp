#include "touch_dispatcher/ZTTouchHandler.h"

#include "ZTMacros.h"
#include "cocoa/ZTRetainedDelegate.h"
#include "touch_dispatcher/ZTTouchDelegateProtocol.h"

namespace zanth2d {

ZTTouchHandler::~ZTTouchHandler()
{
    ztSetRetainedDelegate(m_pDelegate, nullptr);
}

ZTTouchHandler* ZTTouchHandler::handlerWithDelegate(ZTTouchDelegate* pDelegate, int nPriority)
{
    auto* pHandler = new ZTTouchHandler();
    pHandler->initWithDelegate(pDelegate, nPriority);
    pHandler->autorelease();
    return pHandler;
}

bool ZTTouchHandler::initWithDelegate(ZTTouchDelegate* pDelegate, int nPriority)
{
    ZTAssert(pDelegate != nullptr, "pDelegate != __null");
    setDelegate(pDelegate);
    m_nPriority = nPriority;
    m_nEnabledSelectors = 0;
    return true;
}

void ZTTouchHandler::setDelegate(ZTTouchDelegate* pDelegate)
{
    ztSetRetainedDelegate(m_pDelegate, pDelegate);
}

} // namespace zanth2d
