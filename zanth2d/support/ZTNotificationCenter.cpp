#include "support/ZTNotificationCenter.h"

#include <cstring>

#include "ZTMacros.h"
#include "cocoa/ZTArray.h"

namespace zanth2d {

namespace {
ZTNotificationCenter* s_pSharedNotifCenter = nullptr;

ZTNotificationObserver* observerAt(ZTArray* pArray, unsigned int i)
{
    return static_cast<ZTNotificationObserver*>(pArray->objectAtIndex(i));
}
} // namespace

ZTNotificationCenter::ZTNotificationCenter() : m_pObservers(new ZTArray())
{
    m_pObservers->initWithCapacity(3);
}

ZTNotificationCenter::~ZTNotificationCenter()
{
    m_pObservers->release();
}

ZTNotificationCenter* ZTNotificationCenter::sharedNotifCenter()
{
    if (!s_pSharedNotifCenter) {
        s_pSharedNotifCenter = new ZTNotificationCenter();
    }
    return s_pSharedNotifCenter;
}

void ZTNotificationCenter::purgeNotifCenter()
{
    ZT_SAFE_RELEASE_NULL(s_pSharedNotifCenter);
}

bool ZTNotificationCenter::observerExisted(ZTObject* pTarget, const char* pszName) const
{
    for (unsigned int i = 0; i < m_pObservers->count(); ++i) {
        ZTNotificationObserver* pObserver = observerAt(m_pObservers, i);
        if (pObserver->getTarget() == pTarget && std::strcmp(pObserver->getName(), pszName) == 0) {
            return true;
        }
    }
    return false;
}

void ZTNotificationCenter::addObserver(ZTObject* pTarget, SEL_CallFuncO selector, const char* pszName,
                                       ZTObject* pObject)
{
    if (!pszName || observerExisted(pTarget, pszName)) {
        return;
    }
    auto* pObserver = new ZTNotificationObserver(pTarget, selector, pszName, pObject);
    m_pObservers->addObject(pObserver);
    pObserver->release();
}

void ZTNotificationCenter::removeObserver(ZTObject* pTarget, const char* pszName)
{
    if (!pszName) {
        return;
    }
    for (unsigned int i = 0; i < m_pObservers->count(); ++i) {
        ZTNotificationObserver* pObserver = observerAt(m_pObservers, i);
        if (pObserver->getTarget() == pTarget && std::strcmp(pObserver->getName(), pszName) == 0) {
            m_pObservers->removeObjectAtIndex(i);
            return;
        }
    }
}

void ZTNotificationCenter::postNotification(const char* pszName, ZTObject* pObject)
{
    if (!pszName) {
        return;
    }
    // Observers may add or remove observers from their callback: walk a snapshot, and skip the
    // observers that were removed meanwhile (their targets may be gone).
    auto* pSnapshot = new ZTArray();
    pSnapshot->initWithArray(m_pObservers);
    for (unsigned int i = 0; i < pSnapshot->count(); ++i) {
        ZTNotificationObserver* pObserver = observerAt(pSnapshot, i);
        if (std::strcmp(pObserver->getName(), pszName) == 0 && m_pObservers->containsObject(pObserver)) {
            pObserver->performSelector(pObject);
        }
    }
    pSnapshot->release();
}

void ZTNotificationCenter::postNotification(const char* pszName)
{
    postNotification(pszName, nullptr);
}

unsigned int ZTNotificationCenter::observerCount() const
{
    return m_pObservers->count();
}

} // namespace zanth2d
