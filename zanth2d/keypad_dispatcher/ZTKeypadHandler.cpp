#include "keypad_dispatcher/ZTKeypadHandler.h"

#include "ZTMacros.h"
#include "cocoa/ZTRetainedDelegate.h"
#include "keypad_dispatcher/ZTKeypadDelegate.h"

namespace zanth2d {

ZTKeypadHandler::~ZTKeypadHandler()
{
    ztSetRetainedDelegate(m_pDelegate, nullptr);
}

ZTKeypadHandler* ZTKeypadHandler::handlerWithDelegate(ZTKeypadDelegate* pDelegate)
{
    auto* pHandler = new ZTKeypadHandler();
    pHandler->initWithDelegate(pDelegate);
    pHandler->autorelease();
    return pHandler;
}

bool ZTKeypadHandler::initWithDelegate(ZTKeypadDelegate* pDelegate)
{
    ZTAssert(pDelegate != nullptr, "pDelegate != __null");
    setDelegate(pDelegate);
    return true;
}

void ZTKeypadHandler::setDelegate(ZTKeypadDelegate* pDelegate)
{
    ztSetRetainedDelegate(m_pDelegate, pDelegate);
}

} // namespace zanth2d
