#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "cocoa/ZTAutoreleasePool.h"
#include "keypad_dispatcher/ZTKeypadDelegate.h"
#include "keypad_dispatcher/ZTKeypadDispatcher.h"

using namespace zanth2d;

namespace {

std::vector<std::string> g_log;

class KeyListener : public ZTObject, public ZTKeypadDelegate
{
public:
    explicit KeyListener(std::string name, bool* destroyed = nullptr)
        : m_name(std::move(name)), m_destroyed(destroyed)
    {
    }
    ~KeyListener() override
    {
        if (m_destroyed) {
            *m_destroyed = true;
        }
    }
    void keyBackClicked() override
    {
        g_log.push_back(m_name + ":back");
        if (onBack) {
            auto hook = onBack; // the hook may replace itself
            hook();
        }
    }
    void keyMenuClicked() override { g_log.push_back(m_name + ":menu"); }

    std::string m_name;
    bool* m_destroyed;
    std::function<void()> onBack;
};

using Log = std::vector<std::string>;

class KeypadDispatcherTest : public ::testing::Test
{
protected:
    void SetUp() override { g_log.clear(); }
    void TearDown() override
    {
        ZTKeypadDispatcher::purgeSharedDispatcher();
        ZTPoolManager::purgePoolManager();
    }
    static ZTKeypadDispatcher* dispatcher() { return ZTKeypadDispatcher::sharedDispatcher(); }
    static Log back()
    {
        g_log.clear();
        EXPECT_TRUE(dispatcher()->dispatchKeypadMSG(kZTKeypadBackClicked));
        return g_log;
    }
    // Members outlive TearDown, which releases the handlers still holding them.
    KeyListener a{"a"}, b{"b"}, late{"late"}, passer{"passer"};
};

} // namespace

TEST_F(KeypadDispatcherTest, messagesReachEveryDelegateInRegistrationOrder)
{
    dispatcher()->addDelegate(&b);
    dispatcher()->addDelegate(&a);
    dispatcher()->addDelegate(nullptr);
    EXPECT_EQ(back(), (Log{"b:back", "a:back"}));
    g_log.clear();
    EXPECT_TRUE(dispatcher()->dispatchKeypadMSG(kZTKeypadMenuClicked));
    EXPECT_TRUE(dispatcher()->dispatchKeypadMSG(static_cast<ztKeypadMSGType>(7)));
    EXPECT_EQ(g_log, (Log{"b:menu", "a:menu"}));
}

TEST_F(KeypadDispatcherTest, handlersRetainTheirDelegateUntilRemoved)
{
    dispatcher()->addDelegate(&a);
    ZTPoolManager::getInstance()->pop();
    EXPECT_EQ(a.retainCount(), 2u);
    dispatcher()->removeDelegate(&a);
    dispatcher()->removeDelegate(nullptr);
    EXPECT_EQ(a.retainCount(), 1u);
    EXPECT_TRUE(back().empty());
}

TEST_F(KeypadDispatcherTest, removalRemovesOnlyTheFirstOfRepeatedRegistrations)
{
    dispatcher()->addDelegate(&a);
    dispatcher()->addDelegate(&a);
    dispatcher()->removeDelegate(&a);
    EXPECT_EQ(back(), (Log{"a:back"}));
    dispatcher()->removeDelegate(&a);
}

TEST_F(KeypadDispatcherTest, delegateRemovingItselfFinishesTheDispatchAndGetsNothingAfter)
{
    bool destroyed = false;
    auto* self = new KeyListener("self", &destroyed);
    self->onBack = [self] { ZTKeypadDispatcher::sharedDispatcher()->removeDelegate(self); };
    dispatcher()->addDelegate(self);
    dispatcher()->addDelegate(&b);
    self->release();
    EXPECT_EQ(back(), (Log{"self:back", "b:back"}));
    ZTPoolManager::getInstance()->pop();
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(back(), (Log{"b:back"}));
}

TEST_F(KeypadDispatcherTest, delegateAddedDuringADispatchGetsOnlyLaterMessages)
{
    a.onBack = [&] {
        a.onBack = nullptr;
        ZTKeypadDispatcher::sharedDispatcher()->addDelegate(&late);
    };
    dispatcher()->addDelegate(&a);
    EXPECT_EQ(back(), (Log{"a:back"}));
    EXPECT_EQ(back(), (Log{"a:back", "late:back"}));
}

TEST_F(KeypadDispatcherTest, delegateAddedAndRemovedWithinOneDispatchEndsUnregistered)
{
    a.onBack = [&] {
        a.onBack = nullptr;
        ZTKeypadDispatcher::sharedDispatcher()->addDelegate(&passer);
        ZTKeypadDispatcher::sharedDispatcher()->removeDelegate(&passer);
    };
    dispatcher()->addDelegate(&a);
    back();
    EXPECT_EQ(dispatcher()->handlerCount(), 1u);
    EXPECT_EQ(back(), (Log{"a:back"}));
}

TEST_F(KeypadDispatcherTest, nestedDispatchAppliesWaitingChangesOnlyAtTheEnd)
{
    a.onBack = [&] {
        a.onBack = nullptr;
        ZTKeypadDispatcher::sharedDispatcher()->removeDelegate(&b);
        ZTKeypadDispatcher::sharedDispatcher()->dispatchKeypadMSG(kZTKeypadMenuClicked);
        ZTKeypadDispatcher::sharedDispatcher()->removeDelegate(&a);
    };
    dispatcher()->addDelegate(&a);
    dispatcher()->addDelegate(&b);
    EXPECT_EQ(back(), (Log{"a:back", "a:menu", "b:menu", "b:back"}));
    EXPECT_EQ(dispatcher()->handlerCount(), 0u);
}

TEST_F(KeypadDispatcherTest, purgeReleasesEveryDelegate)
{
    bool destroyed = false;
    auto* owned = new KeyListener("owned", &destroyed);
    dispatcher()->addDelegate(owned);
    owned->release();
    ZTPoolManager::getInstance()->pop();
    ZTKeypadDispatcher::purgeSharedDispatcher();
    EXPECT_TRUE(destroyed);
}

TEST_F(KeypadDispatcherTest, purgeReleasesDelegatesThatCallTheDispatcherFromTheirDestructor)
{
    struct Leaving : KeyListener
    {
        Leaving() : KeyListener("leaving") {}
        ~Leaving() override { ZTKeypadDispatcher::sharedDispatcher()->removeDelegate(this); }
    };
    auto* leaving = new Leaving();
    dispatcher()->addDelegate(leaving);
    dispatcher()->addDelegate(&a);
    leaving->release();
    ZTPoolManager::getInstance()->pop();
    ZTKeypadDispatcher::purgeSharedDispatcher();
    EXPECT_EQ(a.retainCount(), 1u);
}
