#pragma once

#include "cocoa/ZTObject.h"

namespace zanth2d {

class ZTKeypadDelegate;

// One registration of the keypad dispatcher; retains its delegate.
class ZTKeypadHandler : public ZTObject
{
public:
    ~ZTKeypadHandler() override;

    // An autoreleased handler; pDelegate must not be null and must be a ZTObject.
    static ZTKeypadHandler* handlerWithDelegate(ZTKeypadDelegate* pDelegate);
    virtual bool initWithDelegate(ZTKeypadDelegate* pDelegate);

    ZTKeypadDelegate* getDelegate() const { return m_pDelegate; }
    void setDelegate(ZTKeypadDelegate* pDelegate);

private:
    ZTKeypadDelegate* m_pDelegate = nullptr;
};

} // namespace zanth2d
