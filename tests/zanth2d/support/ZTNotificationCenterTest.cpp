#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "cocoa/ZTAutoreleasePool.h"
#include "support/ZTNotificationCenter.h"

using namespace zanth2d;

namespace {

std::vector<std::string>* g_calls = nullptr;

class Listener : public ZTObject
{
public:
    explicit Listener(std::string name) : m_name(std::move(name)) {}
    void onEvent(ZTObject* pObject)
    {
        g_calls->push_back(m_name);
        received = pObject;
        if (onCall) {
            auto hook = onCall; // the hook may replace itself
            hook();
        }
    }
    std::string m_name;
    ZTObject* received = nullptr;
    std::function<void()> onCall;
};

class NotificationCenterTest : public ::testing::Test
{
protected:
    void SetUp() override { g_calls = &calls; }
    void TearDown() override
    {
        ZTNotificationCenter::purgeNotifCenter();
        ZTPoolManager::purgePoolManager();
        g_calls = nullptr;
    }
    ZTNotificationCenter* centre() { return ZTNotificationCenter::sharedNotifCenter(); }
    std::vector<std::string> calls;
};

} // namespace

TEST_F(NotificationCenterTest, observersOfTheNameAreCalledInRegistrationOrderWithThePostedObject)
{
    Listener a("a"), b("b"), other("other");
    ZTObject registered, posted;
    centre()->addObserver(&b, callfuncO_selector(Listener::onEvent), "ping", &registered);
    centre()->addObserver(&other, callfuncO_selector(Listener::onEvent), "pong", nullptr);
    centre()->addObserver(&a, callfuncO_selector(Listener::onEvent), "ping", &registered);
    centre()->postNotification("ping", &posted);
    EXPECT_EQ(calls, (std::vector<std::string>{"b", "a"}));
    EXPECT_EQ(a.received, &posted);
    centre()->postNotification("ping");
    EXPECT_EQ(a.received, nullptr);
}

TEST_F(NotificationCenterTest, sameTargetAndNameAddedTwiceKeepsOneEntry)
{
    Listener a("a");
    centre()->addObserver(&a, callfuncO_selector(Listener::onEvent), "ping", nullptr);
    centre()->addObserver(&a, callfuncO_selector(Listener::onEvent), "ping", nullptr);
    centre()->addObserver(&a, callfuncO_selector(Listener::onEvent), "other", nullptr);
    EXPECT_EQ(centre()->observerCount(), 2u);
    centre()->postNotification("ping");
    EXPECT_EQ(calls.size(), 1u);
}

TEST_F(NotificationCenterTest, removeObserverRemovesOnlyThatTargetAndName)
{
    Listener a("a"), b("b");
    centre()->addObserver(&a, callfuncO_selector(Listener::onEvent), "ping", nullptr);
    centre()->addObserver(&a, callfuncO_selector(Listener::onEvent), "pong", nullptr);
    centre()->addObserver(&b, callfuncO_selector(Listener::onEvent), "ping", nullptr);
    centre()->removeObserver(&a, "ping");
    centre()->removeObserver(&a, "unknown");
    centre()->postNotification("ping");
    centre()->postNotification("pong");
    EXPECT_EQ(calls, (std::vector<std::string>{"b", "a"}));
}

TEST_F(NotificationCenterTest, observerRemovedByAnEarlierObserverDuringAPostIsNotCalled)
{
    Listener first("first");
    auto* second = new Listener("second");
    first.onCall = [&] {
        centre()->removeObserver(second, "ping");
        delete second;
        second = nullptr;
    };
    centre()->addObserver(&first, callfuncO_selector(Listener::onEvent), "ping", nullptr);
    centre()->addObserver(second, callfuncO_selector(Listener::onEvent), "ping", nullptr);
    centre()->postNotification("ping");
    EXPECT_EQ(calls, (std::vector<std::string>{"first"}));
    EXPECT_EQ(centre()->observerCount(), 1u);
}

TEST_F(NotificationCenterTest, observerAddedDuringAPostIsCalledFromTheNextPost)
{
    Listener first("first"), late("late");
    first.onCall = [&] {
        centre()->addObserver(&late, callfuncO_selector(Listener::onEvent), "ping", nullptr);
    };
    centre()->addObserver(&first, callfuncO_selector(Listener::onEvent), "ping", nullptr);
    centre()->postNotification("ping");
    EXPECT_EQ(calls, (std::vector<std::string>{"first"}));
    centre()->postNotification("ping");
    EXPECT_EQ(calls, (std::vector<std::string>{"first", "first", "late"}));
}

TEST_F(NotificationCenterTest, purgeForgetsEveryObserver)
{
    Listener a("a");
    centre()->addObserver(&a, callfuncO_selector(Listener::onEvent), "ping", nullptr);
    ZTNotificationCenter::purgeNotifCenter();
    centre()->postNotification("ping");
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(centre()->observerCount(), 0u);
}
