#include "touch_dispatcher/ZTTouchDispatcher.h"

#include <algorithm>
#include <vector>

#include "ZTMacros.h"
#include "cocoa/ZTSet.h"
#include "touch_dispatcher/ZTStandardTouchHandler.h"
#include "touch_dispatcher/ZTTargetedTouchHandler.h"
#include "touch_dispatcher/ZTTouch.h"
#include "touch_dispatcher/ZTTouchDelegateProtocol.h"

namespace zanth2d {

namespace {
ZTTouchDispatcher* s_pSharedDispatcher = nullptr;
constexpr size_t kRemovalListCapacity = 8;
} // namespace

ZTTouchDispatcher::ZTTouchDispatcher() = default;

ZTTouchDispatcher::~ZTTouchDispatcher()
{
    // Handlers go first while the lists still exist: a delegate released here may call back into
    // the dispatcher from its destructor.
    if (m_pTargetedHandlers) {
        forceRemoveAllDelegates();
        m_pHandlersToAdd->removeAllObjects();
    }
    ZT_SAFE_RELEASE(m_pTargetedHandlers);
    ZT_SAFE_RELEASE(m_pStandardHandlers);
    ZT_SAFE_RELEASE(m_pHandlersToAdd);
}

ZTTouchDispatcher* ZTTouchDispatcher::sharedDispatcher()
{
    if (!s_pSharedDispatcher) {
        s_pSharedDispatcher = new ZTTouchDispatcher();
        s_pSharedDispatcher->init();
    }
    return s_pSharedDispatcher;
}

void ZTTouchDispatcher::purgeSharedDispatcher()
{
    ZT_SAFE_RELEASE_NULL(s_pSharedDispatcher);
}

bool ZTTouchDispatcher::init()
{
    m_bDispatchEvents = true;
    m_pTargetedHandlers = new ZTMutableArray<ZTTouchHandler*>();
    m_pStandardHandlers = new ZTMutableArray<ZTTouchHandler*>();
    m_pHandlersToAdd = new ZTMutableArray<ZTTouchHandler*>();
    m_handlersToRemove.reserve(kRemovalListCapacity);
    m_bToRemove = false;
    m_bToAdd = false;
    m_bToQuit = false;
    m_bLocked = false;
    return true;
}

void ZTTouchDispatcher::forceAddHandler(ZTTouchHandler* pHandler, ZTMutableArray<ZTTouchHandler*>* pArray)
{
    unsigned int u = 0;
    for (ZTTouchHandler* pOther : *pArray) {
        if (pOther->getPriority() < pHandler->getPriority()) {
            ++u;
        }
        ZTAssert(pOther->getDelegate() != pHandler->getDelegate(), "0");
    }
    pArray->insertObjectAtIndex(pHandler, u);
}

void ZTTouchDispatcher::addHandler(ZTTouchHandler* pHandler, ZTMutableArray<ZTTouchHandler*>* pArray)
{
    if (!m_bLocked) {
        forceAddHandler(pHandler, pArray);
        return;
    }
    // Removed and added again within one dispatch: the registration simply stays.
    auto waiting = std::find(m_handlersToRemove.begin(), m_handlersToRemove.end(), pHandler->getDelegate());
    if (waiting != m_handlersToRemove.end()) {
        m_handlersToRemove.erase(waiting);
        return;
    }
    m_pHandlersToAdd->addObject(pHandler);
    m_bToAdd = true;
}

void ZTTouchDispatcher::addStandardDelegate(ZTTouchDelegate* pDelegate, int nPriority)
{
    addHandler(ZTStandardTouchHandler::handlerWithDelegate(pDelegate, nPriority), m_pStandardHandlers);
}

void ZTTouchDispatcher::addTargetedDelegate(ZTTouchDelegate* pDelegate, int nPriority, bool bSwallowsTouches)
{
    addHandler(ZTTargetedTouchHandler::handlerWithDelegate(pDelegate, nPriority, bSwallowsTouches),
               m_pTargetedHandlers);
}

void ZTTouchDispatcher::forceRemoveDelegate(ZTTouchDelegate* pDelegate)
{
    for (ZTMutableArray<ZTTouchHandler*>* pArray : {m_pStandardHandlers, m_pTargetedHandlers}) {
        for (ZTTouchHandler* pHandler : *pArray) {
            if (pHandler->getDelegate() == pDelegate) {
                pArray->removeObject(pHandler);
                break;
            }
        }
    }
}

void ZTTouchDispatcher::removeDelegate(ZTTouchDelegate* pDelegate)
{
    if (!pDelegate) {
        return;
    }
    if (!m_bLocked) {
        forceRemoveDelegate(pDelegate);
        return;
    }
    for (ZTTouchHandler* pHandler : *m_pHandlersToAdd) {
        if (pHandler->getDelegate() == pDelegate) {
            m_pHandlersToAdd->removeObject(pHandler);
            return;
        }
    }
    // Only a registered delegate waits for removal: a waiting entry would cancel a later add.
    if (findHandler(pDelegate)) {
        m_handlersToRemove.push_back(pDelegate);
        m_bToRemove = true;
    }
}

void ZTTouchDispatcher::forceRemoveAllDelegates()
{
    m_pStandardHandlers->removeAllObjects();
    m_pTargetedHandlers->removeAllObjects();
}

void ZTTouchDispatcher::removeAllDelegates()
{
    if (m_bLocked) {
        m_bToQuit = true;
    } else {
        forceRemoveAllDelegates();
    }
}

ZTTouchHandler* ZTTouchDispatcher::findHandler(ZTTouchDelegate* pDelegate)
{
    if (!pDelegate) {
        return nullptr;
    }
    ZTTouchHandler* pHandler = findHandler(m_pTargetedHandlers, pDelegate);
    return pHandler ? pHandler : findHandler(m_pStandardHandlers, pDelegate);
}

ZTTouchHandler* ZTTouchDispatcher::findHandler(ZTMutableArray<ZTTouchHandler*>* pArray,
                                               ZTTouchDelegate* pDelegate)
{
    ZTAssert(pArray != nullptr && pDelegate != nullptr, "pArray != __null && pDelegate != __null");
    for (ZTTouchHandler* pHandler : *pArray) {
        if (pHandler->getDelegate() == pDelegate) {
            return pHandler;
        }
    }
    return nullptr;
}

void ZTTouchDispatcher::rearrangeHandlers(ZTMutableArray<ZTTouchHandler*>* pArray)
{
    std::vector<ZTTouchHandler*> sorted(pArray->begin(), pArray->end());
    std::stable_sort(sorted.begin(), sorted.end(), [](ZTTouchHandler* a, ZTTouchHandler* b) {
        return a->getPriority() < b->getPriority();
    });
    for (ZTTouchHandler* pHandler : sorted) {
        pHandler->retain();
    }
    pArray->removeAllObjects();
    for (ZTTouchHandler* pHandler : sorted) {
        pArray->addObject(pHandler);
        pHandler->release();
    }
}

void ZTTouchDispatcher::setPriority(int nPriority, ZTTouchDelegate* pDelegate)
{
    ZTAssert(pDelegate != nullptr, "pDelegate != __null");
    ZTTouchHandler* pHandler = findHandler(pDelegate);
    ZTAssert(pHandler != nullptr, "handler != __null");
    pHandler->setPriority(nPriority);
    rearrangeHandlers(m_pTargetedHandlers);
    rearrangeHandlers(m_pStandardHandlers);
}

void ZTTouchDispatcher::touches(ZTSet* pTouches, ZTEvent* pEvent, unsigned int uIndex)
{
    ZTAssert(uIndex < kZTTouchMax, "uIndex >= 0 && uIndex < 4");

    // A delegate may dispatch again from its callback: only the outermost dispatch unlocks and
    // applies the waiting changes. The handler lists do not change while locked.
    const bool bWasLocked = m_bLocked;
    m_bLocked = true;

    const unsigned int uTargetedHandlersCount = m_pTargetedHandlers->count();
    const unsigned int uStandardHandlersCount = m_pStandardHandlers->count();
    const bool bNeedsMutableSet = uTargetedHandlersCount && uStandardHandlersCount;
    ZTSet* pMutableTouches = bNeedsMutableSet ? pTouches->mutableCopy() : pTouches;
    const int sHelper = m_sHandlerHelperData[uIndex];

    if (uTargetedHandlersCount > 0) {
        for (ZTObject* pObject : *pTouches) {
            auto* pTouch = static_cast<ZTTouch*>(pObject);
            for (unsigned int i = 0; i < m_pTargetedHandlers->count(); ++i) {
                auto* pHandler =
                    static_cast<ZTTargetedTouchHandler*>(m_pTargetedHandlers->getObjectAtIndex(i));
                ZTTouchDelegate* pDelegate = pHandler->getDelegate();
                bool bClaimed = false;
                if (sHelper == kZTTouchBegan) {
                    bClaimed = pDelegate->ztTouchBegan(pTouch, pEvent);
                    if (bClaimed) {
                        pHandler->getClaimedTouches()->addObject(pTouch);
                    }
                } else if (pHandler->getClaimedTouches()->containsObject(pTouch)) {
                    bClaimed = true;
                    switch (sHelper) {
                    case kZTTouchMoved:
                        pDelegate->ztTouchMoved(pTouch, pEvent);
                        break;
                    case kZTTouchEnded:
                        pDelegate->ztTouchEnded(pTouch, pEvent);
                        pHandler->getClaimedTouches()->removeObject(pTouch);
                        break;
                    default:
                        pDelegate->ztTouchCancelled(pTouch, pEvent);
                        pHandler->getClaimedTouches()->removeObject(pTouch);
                        break;
                    }
                }
                if (bClaimed && pHandler->isSwallowsTouches()) {
                    if (bNeedsMutableSet) {
                        pMutableTouches->removeObject(pTouch);
                    }
                    break;
                }
            }
        }
    }

    if (uStandardHandlersCount > 0 && pMutableTouches->count() > 0) {
        for (unsigned int i = 0; i < m_pStandardHandlers->count(); ++i) {
            ZTTouchDelegate* pDelegate = m_pStandardHandlers->getObjectAtIndex(i)->getDelegate();
            switch (sHelper) {
            case kZTTouchBegan:
                pDelegate->ztTouchesBegan(pMutableTouches, pEvent);
                break;
            case kZTTouchMoved:
                pDelegate->ztTouchesMoved(pMutableTouches, pEvent);
                break;
            case kZTTouchEnded:
                pDelegate->ztTouchesEnded(pMutableTouches, pEvent);
                break;
            default:
                pDelegate->ztTouchesCancelled(pMutableTouches, pEvent);
                break;
            }
        }
    }

    if (bNeedsMutableSet) {
        pMutableTouches->release();
    }
    m_bLocked = bWasLocked;
    if (bWasLocked) {
        return;
    }

    if (m_bToRemove) {
        m_bToRemove = false;
        for (ZTTouchDelegate* pDelegate : m_handlersToRemove) {
            forceRemoveDelegate(pDelegate);
        }
        m_handlersToRemove.clear();
    }
    if (m_bToAdd) {
        m_bToAdd = false;
        for (ZTTouchHandler* pHandler : *m_pHandlersToAdd) {
            if (dynamic_cast<ZTTargetedTouchHandler*>(pHandler)) {
                forceAddHandler(pHandler, m_pTargetedHandlers);
            } else {
                forceAddHandler(pHandler, m_pStandardHandlers);
            }
        }
        m_pHandlersToAdd->removeAllObjects();
    }
    if (m_bToQuit) {
        m_bToQuit = false;
        forceRemoveAllDelegates();
    }
}

void ZTTouchDispatcher::touchesBegan(ZTSet* touches, ZTEvent* pEvent)
{
    if (m_bDispatchEvents) {
        this->touches(touches, pEvent, kZTTouchBegan);
    }
}

void ZTTouchDispatcher::touchesMoved(ZTSet* touches, ZTEvent* pEvent)
{
    if (m_bDispatchEvents) {
        this->touches(touches, pEvent, kZTTouchMoved);
    }
}

void ZTTouchDispatcher::touchesEnded(ZTSet* touches, ZTEvent* pEvent)
{
    if (m_bDispatchEvents) {
        this->touches(touches, pEvent, kZTTouchEnded);
    }
}

void ZTTouchDispatcher::touchesCancelled(ZTSet* touches, ZTEvent* pEvent)
{
    if (m_bDispatchEvents) {
        this->touches(touches, pEvent, kZTTouchCancelled);
    }
}

} // namespace zanth2d
