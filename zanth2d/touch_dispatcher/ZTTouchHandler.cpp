#include "touch_dispatcher/ZTTouchHandler.h"

#include "ZTMacros.h"
#include "touch_dispatcher/ZTTouchDelegateProtocol.h"

namespace zanth2d {

namespace {
ZTObject* objectOf(ZTTouchDelegate* pDelegate)
{
    auto* pObject = dynamic_cast<ZTObject*>(pDelegate);
    ZTAssert(pObject != nullptr, "dynamic_cast<ZTObject*>(pDelegate)");
    return pObject;
}
} // namespace

ZTTouchHandler::~ZTTouchHandler()
{
    if (m_pDelegate) {
        objectOf(m_pDelegate)->release();
    }
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
    if (pDelegate) {
        objectOf(pDelegate)->retain();
    }
    if (m_pDelegate) {
        objectOf(m_pDelegate)->release();
    }
    m_pDelegate = pDelegate;
}

} // namespace zanth2d
