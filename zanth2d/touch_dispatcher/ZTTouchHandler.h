#pragma once

#include "cocoa/ZTObject.h"

namespace zanth2d {

class ZTTouchDelegate;

// One registration of the touch dispatcher; retains its delegate. Lower priorities are served first.
class ZTTouchHandler : public ZTObject
{
public:
    ~ZTTouchHandler() override;

    // An autoreleased handler; pDelegate must not be null and must be a ZTObject.
    static ZTTouchHandler* handlerWithDelegate(ZTTouchDelegate* pDelegate, int nPriority);
    virtual bool initWithDelegate(ZTTouchDelegate* pDelegate, int nPriority);

    ZTTouchDelegate* getDelegate() const { return m_pDelegate; }
    // Retains the new delegate, releases the old one.
    void setDelegate(ZTTouchDelegate* pDelegate);
    int getPriority() const { return m_nPriority; }
    void setPriority(int nPriority) { m_nPriority = nPriority; }
    int getEnabledSelectors() const { return m_nEnabledSelectors; }
    void setEnalbedSelectors(int nValue) { m_nEnabledSelectors = nValue; }

private:
    ZTTouchDelegate* m_pDelegate = nullptr;
    int m_nPriority = 0;
    int m_nEnabledSelectors = 0;
};

} // namespace zanth2d
