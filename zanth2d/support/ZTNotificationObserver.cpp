#include "support/ZTNotificationObserver.h"

namespace zanth2d {

ZTNotificationObserver::ZTNotificationObserver(ZTObject* pTarget, SEL_CallFuncO selector, const char* pszName,
                                               ZTObject* pObject)
    : m_pTarget(pTarget), m_selector(selector), m_sName(pszName ? pszName : ""), m_pObject(pObject)
{
}

void ZTNotificationObserver::performSelector(ZTObject* pObject)
{
    if (m_pTarget && m_selector) {
        (m_pTarget->*m_selector)(pObject);
    }
}

} // namespace zanth2d
