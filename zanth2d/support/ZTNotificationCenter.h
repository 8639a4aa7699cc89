#pragma once

#include "cocoa/ZTObject.h"
#include "support/ZTNotificationObserver.h"

namespace zanth2d {

class ZTArray;

// Name-keyed observer registry. Observers are called in registration order; targets are not retained,
// so a target must remove its observers before it dies.
class ZTNotificationCenter : public ZTObject
{
public:
    ZTNotificationCenter();
    ~ZTNotificationCenter() override;

    // The shared centre, created on first use.
    static ZTNotificationCenter* sharedNotifCenter();
    // Releases the shared centre; the next sharedNotifCenter() makes a new one.
    static void purgeNotifCenter();

    // Nothing when the target already observes that name (or the name is null).
    void addObserver(ZTObject* pTarget, SEL_CallFuncO selector, const char* pszName, ZTObject* pObject);
    // Removes the first observer of that target and name.
    void removeObserver(ZTObject* pTarget, const char* pszName);
    // Calls every observer of the name with pObject (the object given at registration is not consulted).
    void postNotification(const char* pszName, ZTObject* pObject);
    void postNotification(const char* pszName);

    unsigned int observerCount() const;

private:
    bool observerExisted(ZTObject* pTarget, const char* pszName) const;

    ZTArray* m_pObservers;
};

} // namespace zanth2d
