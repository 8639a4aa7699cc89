#pragma once

#include <vector>

#include "cocoa/ZTMutableArray.h"
#include "cocoa/ZTObject.h"

namespace zanth2d {

class ZTKeypadDelegate;
class ZTKeypadHandler;

enum ztKeypadMSGType
{
    kZTKeypadBackClicked = 1,
    kZTKeypadMenuClicked,
};

// Routes the keypad's back and menu messages to the registered delegates, in registration order.
// Delegates added or removed while a message is being dispatched take effect after it.
class ZTKeypadDispatcher : public ZTObject
{
public:
    ZTKeypadDispatcher();
    ~ZTKeypadDispatcher() override;

    // The shared dispatcher, created on first use.
    static ZTKeypadDispatcher* sharedDispatcher();
    // Releases the shared dispatcher and its handlers; the next use makes a new one.
    static void purgeSharedDispatcher();

    // Null is ignored. A delegate may be added more than once.
    void addDelegate(ZTKeypadDelegate* pDelegate);
    // Removes the delegate's first handler; null is ignored.
    void removeDelegate(ZTKeypadDelegate* pDelegate);
    void forceAddDelegate(ZTKeypadDelegate* pDelegate);
    void forceRemoveDelegate(ZTKeypadDelegate* pDelegate);

    // Always true; unknown types reach no delegate.
    bool dispatchKeypadMSG(ztKeypadMSGType nMsgType);

    unsigned int handlerCount() const { return m_pDelegates->count(); }

private:
    ZTMutableArray<ZTKeypadHandler*>* m_pDelegates;
    bool m_bLocked = false;
    bool m_bToAdd = false;
    bool m_bToRemove = false;
    std::vector<ZTKeypadDelegate*> m_handlersToAdd;
    std::vector<ZTKeypadDelegate*> m_handlersToRemove;
};

} // namespace zanth2d
