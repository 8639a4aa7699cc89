#include "keypad_dispatcher/ZTKeypadDispatcher.h"

#include <algorithm>

#include "ZTMacros.h"
#include "keypad_dispatcher/ZTKeypadDelegate.h"
#include "keypad_dispatcher/ZTKeypadHandler.h"

namespace zanth2d {

namespace {
ZTKeypadDispatcher* s_pKeypadDispatcher = nullptr;
constexpr size_t kWaitingListCapacity = 8;
} // namespace

ZTKeypadDispatcher::ZTKeypadDispatcher() : m_pDelegates(new ZTMutableArray<ZTKeypadHandler*>())
{
    m_handlersToAdd.reserve(kWaitingListCapacity);
    m_handlersToRemove.reserve(kWaitingListCapacity);
}

ZTKeypadDispatcher::~ZTKeypadDispatcher()
{
    // Handlers go first while the list still exists: a delegate released here may call back into
    // the dispatcher from its destructor.
    m_pDelegates->removeAllObjects();
    m_pDelegates->release();
}

ZTKeypadDispatcher* ZTKeypadDispatcher::sharedDispatcher()
{
    if (!s_pKeypadDispatcher) {
        s_pKeypadDispatcher = new ZTKeypadDispatcher();
    }
    return s_pKeypadDispatcher;
}

void ZTKeypadDispatcher::purgeSharedDispatcher()
{
    ZT_SAFE_RELEASE_NULL(s_pKeypadDispatcher);
}

void ZTKeypadDispatcher::addDelegate(ZTKeypadDelegate* pDelegate)
{
    if (!pDelegate) {
        return;
    }
    if (m_bLocked) {
        m_handlersToAdd.push_back(pDelegate);
        m_bToAdd = true;
    } else {
        forceAddDelegate(pDelegate);
    }
}

void ZTKeypadDispatcher::removeDelegate(ZTKeypadDelegate* pDelegate)
{
    if (!pDelegate) {
        return;
    }
    if (!m_bLocked) {
        forceRemoveDelegate(pDelegate);
        return;
    }
    // Added and removed within one dispatch: the two cancel out, and the waiting list never holds a
    // delegate that may be gone by the end of the dispatch.
    auto waiting = std::find(m_handlersToAdd.begin(), m_handlersToAdd.end(), pDelegate);
    if (waiting != m_handlersToAdd.end()) {
        m_handlersToAdd.erase(waiting);
        return;
    }
    m_handlersToRemove.push_back(pDelegate);
    m_bToRemove = true;
}

void ZTKeypadDispatcher::forceAddDelegate(ZTKeypadDelegate* pDelegate)
{
    m_pDelegates->addObject(ZTKeypadHandler::handlerWithDelegate(pDelegate));
}

void ZTKeypadDispatcher::forceRemoveDelegate(ZTKeypadDelegate* pDelegate)
{
    for (ZTKeypadHandler* pHandler : *m_pDelegates) {
        if (pHandler->getDelegate() == pDelegate) {
            m_pDelegates->removeObject(pHandler);
            return;
        }
    }
}

bool ZTKeypadDispatcher::dispatchKeypadMSG(ztKeypadMSGType nMsgType)
{
    // A delegate may dispatch again from its callback: only the outermost dispatch unlocks and
    // applies the waiting changes, so the handler list never changes under a running walk.
    const bool bWasLocked = m_bLocked;
    m_bLocked = true;
    for (ZTKeypadHandler* pHandler : *m_pDelegates) {
        if (!pHandler) {
            break;
        }
        ZTKeypadDelegate* pDelegate = pHandler->getDelegate();
        switch (nMsgType) {
        case kZTKeypadBackClicked:
            pDelegate->keyBackClicked();
            break;
        case kZTKeypadMenuClicked:
            pDelegate->keyMenuClicked();
            break;
        default:
            break;
        }
    }
    m_bLocked = bWasLocked;
    if (bWasLocked) {
        return true;
    }

    if (m_bToRemove) {
        m_bToRemove = false;
        for (ZTKeypadDelegate* pDelegate : m_handlersToRemove) {
            forceRemoveDelegate(pDelegate);
        }
        m_handlersToRemove.clear();
    }
    if (m_bToAdd) {
        m_bToAdd = false;
        for (ZTKeypadDelegate* pDelegate : m_handlersToAdd) {
            forceAddDelegate(pDelegate);
        }
        m_handlersToAdd.clear();
    }
    return true;
}

} // namespace zanth2d
