#pragma once

#include <string>

#include "cocoa/ZTObject.h"

namespace zanth2d {

// A member function of a ZTObject subclass that receives one object.
typedef void (ZTObject::*SEL_CallFuncO)(ZTObject*);
#define callfuncO_selector(_SELECTOR) (zanth2d::SEL_CallFuncO)(&_SELECTOR)

// One registration of the notification centre. Neither the target nor the object is retained.
class ZTNotificationObserver : public ZTObject
{
public:
    ZTNotificationObserver(ZTObject* pTarget, SEL_CallFuncO selector, const char* pszName, ZTObject* pObject);

    // Calls the selector on the target with pObject; nothing without a target.
    void performSelector(ZTObject* pObject);

    virtual ZTObject* getTarget() const { return m_pTarget; }
    virtual SEL_CallFuncO getSelector() const { return m_selector; }
    virtual const char* getName() const { return m_sName.c_str(); }
    virtual ZTObject* getObject() const { return m_pObject; }

private:
    ZTObject* m_pTarget;
    SEL_CallFuncO m_selector;
    std::string m_sName;
    ZTObject* m_pObject;
};

} // namespace zanth2d
