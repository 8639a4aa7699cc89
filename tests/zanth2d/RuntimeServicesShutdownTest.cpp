#include <gtest/gtest.h>

#include <string>

#include "ZTScheduler.h"
#include "cocoa/ZTAutoreleasePool.h"
#include "cocoa/ZTSet.h"
#include "keypad_dispatcher/ZTKeypadDelegate.h"
#include "keypad_dispatcher/ZTKeypadDispatcher.h"
#include "support/ZTNotificationCenter.h"
#include "support/ZTScriptEngineManager.h"
#include "support/ZTScriptEngineProtocol.h"
#include "support/ZTUserDefault.h"
#include "text_input_node/ZTIMEDelegate.h"
#include "text_input_node/ZTIMEDispatcher.h"
#include "touch_dispatcher/ZTTouchDelegateProtocol.h"
#include "touch_dispatcher/ZTTouchDispatcher.h"

using namespace zanth2d;

namespace {

int g_destroyed = 0;

// Everything at once: scheduled, touch and keypad delegate, notification observer.
class Everything : public ZTObject, public ZTTouchDelegate, public ZTKeypadDelegate
{
public:
    ~Everything() override { ++g_destroyed; }
    void tick(float) {}
    void notified(ZTObject*) {}
};

class Field : public ZTIMEDelegate
{
protected:
    bool canAttachWithIME() override { return true; }
};

class Engine : public ZTScriptEngineProtocol
{
public:
    ~Engine() override { ++g_destroyed; }
    void removeScriptObjectByID(int) override {}
    void removeScriptHandler(int) override {}
    void executeSchedule(int, float) override {}
    void executeNodeEvent(int, int) override {}
    void executeTouchEvent(int, int, ZTTouch*) override {}
    void executeTouchesEvent(int, int, ZTSet*) override {}
};

} // namespace

// The shutdown the director performs: every service is purged explicitly, in this order, and
// nothing is left for static destruction (LeakSanitizer checks the rest at exit).
TEST(RuntimeServicesShutdownTest, everyServiceShutsDownThroughItsPurge)
{
    ZTPoolManager::getInstance()->push();
    ZTScriptEngineManager::sharedManager()->setScriptEngine(new Engine());

    auto* target = new Everything();
    ZTScheduler::sharedScheduler()->scheduleUpdateForTarget(target, 0, false);
    ZTScheduler::sharedScheduler()->scheduleSelector(schedule_selector(Everything::tick), target, 1.0f,
                                                     false);
    ZTScheduler::sharedScheduler()->scheduleScriptFunc(3, 0.5f, false);
    ZTTouchDispatcher::sharedDispatcher()->addStandardDelegate(target, 0);
    ZTTouchDispatcher::sharedDispatcher()->addTargetedDelegate(target, 0, true);
    ZTKeypadDispatcher::sharedDispatcher()->addDelegate(target);
    ZTNotificationCenter::sharedNotifCenter()->addObserver(target, callfuncO_selector(Everything::notified),
                                                           "n", nullptr);
    ASSERT_NE(ZTUserDefault::sharedUserDefault(), nullptr);
    ZTUserDefault::sharedUserDefault()->setIntegerForKey("runs", 1);
    auto* field = new Field();
    ASSERT_TRUE(field->attachWithIME());
    ZTScheduler::sharedScheduler()->tick(0.1f);
    target->release();
    ZTPoolManager::getInstance()->pop();

    ZTTouchDispatcher::sharedDispatcher()->removeAllDelegates();
    ZTTouchDispatcher::purgeSharedDispatcher();
    ZTScheduler::purgeSharedScheduler();
    ZTUserDefault::purgeSharedUserDefault();
    ZTNotificationCenter::purgeNotifCenter();
    ZTKeypadDispatcher::purgeSharedDispatcher();
    ZTIMEDispatcher::purgeSharedDispatcher();
    ZTScriptEngineManager::purgeSharedManager();
    ZTPoolManager::purgePoolManager();
    EXPECT_EQ(g_destroyed, 2);

    // A text field outliving the dispatcher dies quietly.
    delete field;
    ASSERT_NE(ZTUserDefault::sharedUserDefault(), nullptr);
    EXPECT_EQ(ZTUserDefault::sharedUserDefault()->getIntegerForKey("runs", 0), 1);
    ZTUserDefault::purgeSharedUserDefault();
}
