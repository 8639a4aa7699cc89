#include "layers_scenes_transitions_nodes/ZTLayer.h"

#include "ZTDirector.h"
#include "ZTMacros.h"
#include "keypad_dispatcher/ZTKeypadDispatcher.h"
#include "support/ZTScriptEngineManager.h"
#include "support/ZTScriptEngineProtocol.h"
#include "support/ZTTouchScriptHandlerEntry.h"
#include "touch_dispatcher/ZTTouchDispatcher.h"

namespace zanth2d {

ZTLayer::ZTLayer()
{
    setAnchorPoint(ZTPoint(0.5f, 0.5f));
    setIsRelativeAnchorPoint(false);
}

ZTLayer::~ZTLayer()
{
    unregisterScriptTouchHandler();
}

bool ZTLayer::init()
{
    setContentSize(ZTDirector::sharedDirector()->getWinSize());
    m_bIsTouchEnabled = false;
    return true;
}

ZTLayer* ZTLayer::node()
{
    auto* layer = new ZTLayer();
    if (layer->init()) {
        layer->autorelease();
        return layer;
    }
    layer->release();
    return nullptr;
}

void ZTLayer::registerWithTouchDispatcher()
{
    ZTTouchDispatcher* dispatcher = ZTTouchDispatcher::sharedDispatcher();
    if (m_pScriptHandlerEntry && !m_pScriptHandlerEntry->isMultiTouches()) {
        dispatcher->addTargetedDelegate(this, m_pScriptHandlerEntry->getPriority(),
                                        m_pScriptHandlerEntry->getSwallowsTouches());
    } else {
        dispatcher->addStandardDelegate(this, 0);
    }
}

void ZTLayer::registerScriptTouchHandler(int handler, bool multiTouches, int priority, bool swallows)
{
    unregisterScriptTouchHandler();
    m_pScriptHandlerEntry = ZTTouchScriptHandlerEntry::entryWithHandler(handler, multiTouches, priority, swallows);
    m_pScriptHandlerEntry->retain();
}

void ZTLayer::unregisterScriptTouchHandler()
{
    ZT_SAFE_RELEASE_NULL(m_pScriptHandlerEntry);
}

void ZTLayer::excuteScriptTouchHandler(int eventType, ZTTouch* touch)
{
    if (ZTScriptEngineProtocol* engine = ZTScriptEngineManager::sharedManager()->getScriptEngine()) {
        engine->executeTouchEvent(m_pScriptHandlerEntry->getHandler(), eventType, touch);
    }
}

void ZTLayer::excuteScriptTouchHandler(int eventType, ZTSet* touches)
{
    if (ZTScriptEngineProtocol* engine = ZTScriptEngineManager::sharedManager()->getScriptEngine()) {
        engine->executeTouchesEvent(m_pScriptHandlerEntry->getHandler(), eventType, touches);
    }
}

void ZTLayer::setIsTouchEnabled(bool enabled)
{
    if (m_bIsTouchEnabled == enabled) {
        return;
    }
    m_bIsTouchEnabled = enabled;
    if (!getIsRunning()) {
        return;
    }
    if (enabled) {
        registerWithTouchDispatcher();
    } else {
        ZTTouchDispatcher::sharedDispatcher()->removeDelegate(this);
    }
}

void ZTLayer::setIsAccelerometerEnabled(bool enabled)
{
    m_bIsAccelerometerEnabled = enabled;
}

void ZTLayer::setIsKeypadEnabled(bool enabled)
{
    if (m_bIsKeypadEnabled == enabled) {
        return;
    }
    m_bIsKeypadEnabled = enabled;
    if (!getIsRunning()) {
        return;
    }
    if (enabled) {
        ZTKeypadDispatcher::sharedDispatcher()->addDelegate(this);
    } else {
        ZTKeypadDispatcher::sharedDispatcher()->removeDelegate(this);
    }
}

void ZTLayer::onEnter()
{
    if (m_bIsTouchEnabled) {
        registerWithTouchDispatcher();
    }
    ZTNode::onEnter();
    if (m_bIsKeypadEnabled) {
        ZTKeypadDispatcher::sharedDispatcher()->addDelegate(this);
    }
}

void ZTLayer::onEnterTransitionDidFinish()
{
    ZTNode::onEnterTransitionDidFinish();
}

void ZTLayer::onExit()
{
    if (m_bIsTouchEnabled) {
        ZTTouchDispatcher::sharedDispatcher()->removeDelegate(this);
        unregisterScriptTouchHandler();
    }
    if (m_bIsKeypadEnabled) {
        ZTKeypadDispatcher::sharedDispatcher()->removeDelegate(this);
    }
    ZTNode::onExit();
}

bool ZTLayer::ztTouchBegan(ZTTouch* touch, ZTEvent*)
{
    if (m_pScriptHandlerEntry) {
        excuteScriptTouchHandler(0, touch);
        return true;
    }
    ZTAssert(false, "false");
    return true;
}

void ZTLayer::ztTouchMoved(ZTTouch* touch, ZTEvent*)
{
    if (m_pScriptHandlerEntry) {
        excuteScriptTouchHandler(1, touch);
    }
}

void ZTLayer::ztTouchEnded(ZTTouch* touch, ZTEvent*)
{
    if (m_pScriptHandlerEntry) {
        excuteScriptTouchHandler(2, touch);
    }
}

void ZTLayer::ztTouchCancelled(ZTTouch* touch, ZTEvent*)
{
    if (m_pScriptHandlerEntry) {
        excuteScriptTouchHandler(3, touch);
    }
}

void ZTLayer::ztTouchesBegan(ZTSet* touches, ZTEvent*)
{
    if (m_pScriptHandlerEntry) {
        excuteScriptTouchHandler(0, touches);
    }
}

void ZTLayer::ztTouchesMoved(ZTSet* touches, ZTEvent*)
{
    if (m_pScriptHandlerEntry) {
        excuteScriptTouchHandler(1, touches);
    }
}

void ZTLayer::ztTouchesEnded(ZTSet* touches, ZTEvent*)
{
    if (m_pScriptHandlerEntry) {
        excuteScriptTouchHandler(2, touches);
    }
}

void ZTLayer::ztTouchesCancelled(ZTSet* touches, ZTEvent*)
{
    if (m_pScriptHandlerEntry) {
        excuteScriptTouchHandler(3, touches);
    }
}

} // namespace zanth2d
