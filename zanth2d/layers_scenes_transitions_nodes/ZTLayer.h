#pragma once

#include "base_nodes/ZTNode.h"
#include "keypad_dispatcher/ZTKeypadDelegate.h"
#include "touch_dispatcher/ZTTouchDelegateProtocol.h"

namespace zanth2d {

class ZTTouchScriptHandlerEntry;

// Accelerometer samples; no accelerometer exists on the desktop, so nothing produces them.
struct ZTAcceleration
{
    double x = 0;
    double y = 0;
    double z = 0;
    double timestamp = 0;
};

class ZTAccelerometerDelegate
{
public:
    virtual ~ZTAccelerometerDelegate() = default;
    virtual void didAccelerate(ZTAcceleration* acceleration) = 0;
};

// A window-sized node that can take touches and keypad keys while it runs.
class ZTLayer : public ZTNode, public ZTTouchDelegate, public ZTAccelerometerDelegate, public ZTKeypadDelegate
{
public:
    ZTLayer();
    ~ZTLayer() override;

    // Content size = the window size; touches off.
    bool init();
    static ZTLayer* node();

    // A layer registered for targeted touches must override this one.
    bool ztTouchBegan(ZTTouch* touch, ZTEvent* event) override;
    void ztTouchMoved(ZTTouch* touch, ZTEvent* event) override;
    void ztTouchEnded(ZTTouch* touch, ZTEvent* event) override;
    void ztTouchCancelled(ZTTouch* touch, ZTEvent* event) override;
    void ztTouchesBegan(ZTSet* touches, ZTEvent* event) override;
    void ztTouchesMoved(ZTSet* touches, ZTEvent* event) override;
    void ztTouchesEnded(ZTSet* touches, ZTEvent* event) override;
    void ztTouchesCancelled(ZTSet* touches, ZTEvent* event) override;
    void didAccelerate(ZTAcceleration*) override {}

    // A script touch handler with one touch at a time registers targeted, with its priority and swallowing;
    // otherwise the layer registers as a standard delegate with priority 0.
    virtual void registerWithTouchDispatcher();
    virtual bool getIsTouchEnabled() const { return m_bIsTouchEnabled; }
    // Registers or leaves the touch dispatcher at once while running; otherwise on entering.
    virtual void setIsTouchEnabled(bool enabled);
    virtual bool getIsAccelerometerEnabled() const { return m_bIsAccelerometerEnabled; }
    virtual void setIsAccelerometerEnabled(bool enabled);
    virtual bool getIsKeypadEnabled() const { return m_bIsKeypadEnabled; }
    virtual void setIsKeypadEnabled(bool enabled);

    void onEnter() override;
    void onEnterTransitionDidFinish() override;
    // Also drops the script touch handler.
    void onExit() override;

    // Touches then go to the script engine, when one is installed; phases 0 began .. 3 cancelled.
    void registerScriptTouchHandler(int handler, bool multiTouches = false, int priority = 0, bool swallows = false);
    void unregisterScriptTouchHandler();
    void excuteScriptTouchHandler(int eventType, ZTTouch* touch);
    void excuteScriptTouchHandler(int eventType, ZTSet* touches);

protected:
    bool m_bIsTouchEnabled = false;
    bool m_bIsAccelerometerEnabled = false;
    bool m_bIsKeypadEnabled = false;
    ZTTouchScriptHandlerEntry* m_pScriptHandlerEntry = nullptr;
};

} // namespace zanth2d
