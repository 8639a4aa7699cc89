#pragma once

#include <vector>

#include "cocoa/ZTMutableArray.h"
#include "cocoa/ZTObject.h"
#include "platform/linux/EGLTouchDelegate.h"

namespace zanth2d {

class ZTTouchDelegate;
class ZTTouchHandler;

// Touch phases, the index that touches() takes.
enum
{
    kZTTouchBegan = 0,
    kZTTouchMoved = 1,
    kZTTouchEnded = 2,
    kZTTouchCancelled = 3,
    kZTTouchMax = 4,
};

// Hands the platform view's touch sets to the registered delegates: targeted delegates first (each
// touch on its own, by ascending priority), then standard delegates with the touches nobody swallowed.
// Registrations changed while a dispatch runs take effect when it ends.
class ZTTouchDispatcher : public ZTObject, public EGLTouchDelegate
{
public:
    ZTTouchDispatcher();
    ~ZTTouchDispatcher() override;

    // The shared dispatcher, created on first use.
    static ZTTouchDispatcher* sharedDispatcher();
    // Releases the shared dispatcher and every handler; the next use makes a new one.
    static void purgeSharedDispatcher();

    bool init();

    // While off, incoming touches are dropped.
    bool isDispatchEvents() const { return m_bDispatchEvents; }
    void setDispatchEvents(bool bDispatchEvents) { m_bDispatchEvents = bDispatchEvents; }

    // Among equal priorities the delegate added last is served first. A delegate may be registered
    // only once in each kind.
    void addStandardDelegate(ZTTouchDelegate* pDelegate, int nPriority);
    void addTargetedDelegate(ZTTouchDelegate* pDelegate, int nPriority, bool bSwallowsTouches);
    // Null is ignored.
    void removeDelegate(ZTTouchDelegate* pDelegate);
    void removeAllDelegates();
    // Re-sorts both lists; the order among equal priorities afterwards is not fixed.
    void setPriority(int nPriority, ZTTouchDelegate* pDelegate);

    // The delegate's targeted handler, else its standard handler, else null.
    ZTTouchHandler* findHandler(ZTTouchDelegate* pDelegate);

    void touches(ZTSet* pTouches, ZTEvent* pEvent, unsigned int uIndex);

    void touchesBegan(ZTSet* touches, ZTEvent* pEvent) override;
    void touchesMoved(ZTSet* touches, ZTEvent* pEvent) override;
    void touchesEnded(ZTSet* touches, ZTEvent* pEvent) override;
    void touchesCancelled(ZTSet* touches, ZTEvent* pEvent) override;

    unsigned int targetedHandlerCount() const { return m_pTargetedHandlers->count(); }
    unsigned int standardHandlerCount() const { return m_pStandardHandlers->count(); }

private:
    void forceAddHandler(ZTTouchHandler* pHandler, ZTMutableArray<ZTTouchHandler*>* pArray);
    void forceRemoveDelegate(ZTTouchDelegate* pDelegate);
    void forceRemoveAllDelegates();
    void rearrangeHandlers(ZTMutableArray<ZTTouchHandler*>* pArray);
    ZTTouchHandler* findHandler(ZTMutableArray<ZTTouchHandler*>* pArray, ZTTouchDelegate* pDelegate);
    void addHandler(ZTTouchHandler* pHandler, ZTMutableArray<ZTTouchHandler*>* pArray);

    ZTMutableArray<ZTTouchHandler*>* m_pTargetedHandlers = nullptr;
    ZTMutableArray<ZTTouchHandler*>* m_pStandardHandlers = nullptr;
    bool m_bLocked = false;
    bool m_bToAdd = false;
    bool m_bToRemove = false;
    ZTMutableArray<ZTTouchHandler*>* m_pHandlersToAdd = nullptr;
    std::vector<ZTTouchDelegate*> m_handlersToRemove;
    bool m_bToQuit = false;
    bool m_bDispatchEvents = true;
    int m_sHandlerHelperData[kZTTouchMax] = {kZTTouchBegan, kZTTouchMoved, kZTTouchEnded, kZTTouchCancelled};
};

} // namespace zanth2d
