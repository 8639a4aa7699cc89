#include "keypad_dispatcher/ZTKeypadHandler.h"

#include "ZTMacros.h"
#include "keypad_dispatcher/ZTKeypadDelegate.h"

namespace zanth2d {

namespace {
ZTObject* objectOf(ZTKeypadDelegate* pDelegate)
{
    auto* pObject = dynamic_cast<ZTObject*>(pDelegate);
    ZTAssert(pObject != nullptr, "dynamic_cast<ZTObject*>(pDelegate)");
    return pObject;
}
} // namespace

ZTKeypadHandler::~ZTKeypadHandler()
{
    if (m_pDelegate) {
        objectOf(m_pDelegate)->release();
    }
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
    if (pDelegate) {
        objectOf(pDelegate)->retain();
    }
    if (m_pDelegate) {
        objectOf(m_pDelegate)->release();
    }
    m_pDelegate = pDelegate;
}

} // namespace zanth2d
