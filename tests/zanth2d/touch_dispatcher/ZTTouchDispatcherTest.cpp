#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "cocoa/ZTAutoreleasePool.h"
#include "cocoa/ZTSet.h"
#include "touch_dispatcher/ZTTargetedTouchHandler.h"
#include "touch_dispatcher/ZTTouch.h"
#include "touch_dispatcher/ZTTouchDelegateProtocol.h"
#include "touch_dispatcher/ZTTouchDispatcher.h"

using namespace zanth2d;

namespace {

std::vector<std::string> g_log;
std::map<ZTObject*, std::string> g_touchNames;

std::string namesOf(ZTSet* pTouches)
{
    std::vector<std::string> names;
    for (ZTObject* pTouch : *pTouches) {
        names.push_back(g_touchNames[pTouch]);
    }
    std::sort(names.begin(), names.end());
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : ",") + name;
    }
    return text;
}

// Logs every call as "name:phase touches"; claims the touches it is told to claim.
class Recorder : public ZTObject, public ZTTouchDelegate
{
public:
    explicit Recorder(std::string name) : m_name(std::move(name)) {}

    bool ztTouchBegan(ZTTouch* pTouch, ZTEvent*) override
    {
        record("began " + g_touchNames[pTouch]);
        return claimAll || g_touchNames[pTouch] == claims;
    }
    void ztTouchMoved(ZTTouch* pTouch, ZTEvent*) override { record("moved " + g_touchNames[pTouch]); }
    void ztTouchEnded(ZTTouch* pTouch, ZTEvent*) override { record("ended " + g_touchNames[pTouch]); }
    void ztTouchCancelled(ZTTouch* pTouch, ZTEvent*) override { record("cancelled " + g_touchNames[pTouch]); }
    void ztTouchesBegan(ZTSet* pTouches, ZTEvent*) override { recordSet("began", pTouches); }
    void ztTouchesMoved(ZTSet* pTouches, ZTEvent*) override { recordSet("moved", pTouches); }
    void ztTouchesEnded(ZTSet* pTouches, ZTEvent*) override { recordSet("ended", pTouches); }
    void ztTouchesCancelled(ZTSet* pTouches, ZTEvent*) override { recordSet("cancelled", pTouches); }

    std::string m_name;
    bool claimAll = false;
    std::string claims;
    ZTSet* lastSet = nullptr;
    std::function<void()> onCall;

private:
    void record(const std::string& what)
    {
        g_log.push_back(m_name + ":" + what);
        if (onCall) {
            auto hook = onCall; // the hook may replace itself
            hook();
        }
    }
    void recordSet(const std::string& phase, ZTSet* pTouches)
    {
        lastSet = pTouches;
        record(phase + "s " + namesOf(pTouches));
    }
};

using Log = std::vector<std::string>;

class TouchDispatcherTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_log.clear();
        g_touchNames = {{&t1, "t1"}, {&t2, "t2"}};
        one.addObject(&t1);
        both.addObject(&t1);
        both.addObject(&t2);
    }
    void TearDown() override
    {
        ZTTouchDispatcher::purgeSharedDispatcher();
        ZTPoolManager::purgePoolManager();
    }
    static ZTTouchDispatcher* dispatcher() { return ZTTouchDispatcher::sharedDispatcher(); }
    static Log take()
    {
        Log log;
        log.swap(g_log);
        return log;
    }

    // Members outlive TearDown, which releases the handlers still holding them.
    ZTTouch t1, t2;
    ZTSet one, both;
    Recorder a{"a"}, b{"b"}, s{"s"}, s2{"s2"}, late{"late"};
};

} // namespace

// Routing

TEST_F(TouchDispatcherTest, claimedTouchGoesToItsTargetedHandlerThroughEndAndTheRestToStandardHandlers)
{
    a.claims = "t1";
    dispatcher()->addTargetedDelegate(&a, 0, true);
    dispatcher()->addStandardDelegate(&s, 0);
    dispatcher()->touchesBegan(&both, nullptr);
    dispatcher()->touchesMoved(&both, nullptr);
    dispatcher()->touchesEnded(&both, nullptr);
    EXPECT_EQ(take(), (Log{"a:began t1", "a:began t2", "s:begans t2", "a:moved t1", "s:moveds t2",
                           "a:ended t1", "s:endeds t2"}));
    // The end released the claim: the next move of t1 is not the handler's any more.
    dispatcher()->touchesMoved(&one, nullptr);
    EXPECT_EQ(take(), (Log{"s:moveds t1"}));
}

TEST_F(TouchDispatcherTest, unclaimedTouchBringsNoMovesOrEndToATargetedDelegate)
{
    dispatcher()->addTargetedDelegate(&a, 0, false);
    dispatcher()->touchesBegan(&one, nullptr);
    dispatcher()->touchesMoved(&one, nullptr);
    dispatcher()->touchesEnded(&one, nullptr);
    EXPECT_EQ(take(), (Log{"a:began t1"}));
}

TEST_F(TouchDispatcherTest, cancelReachesTheClaimingHandlerAndEndsTheClaim)
{
    a.claimAll = true;
    dispatcher()->addTargetedDelegate(&a, 0, false);
    dispatcher()->touchesBegan(&one, nullptr);
    dispatcher()->touchesCancelled(&one, nullptr);
    dispatcher()->touchesEnded(&one, nullptr);
    EXPECT_EQ(take(), (Log{"a:began t1", "a:cancelled t1"}));
    EXPECT_EQ(
        static_cast<ZTTargetedTouchHandler*>(dispatcher()->findHandler(&a))->getClaimedTouches()->count(),
        0u);
}

TEST_F(TouchDispatcherTest, swallowedTouchIsHiddenFromLaterTargetedAndStandardHandlers)
{
    a.claimAll = true;
    b.claimAll = true;
    dispatcher()->addTargetedDelegate(&a, 1, true);
    dispatcher()->addTargetedDelegate(&b, 2, false);
    dispatcher()->addStandardDelegate(&s, 0);
    dispatcher()->touchesBegan(&one, nullptr);
    dispatcher()->touchesMoved(&one, nullptr);
    EXPECT_EQ(take(), (Log{"a:began t1", "a:moved t1"}));
}

TEST_F(TouchDispatcherTest, claimWithoutSwallowingLetsLaterHandlersSeeTheTouch)
{
    a.claimAll = true;
    b.claimAll = true;
    dispatcher()->addTargetedDelegate(&a, 1, false);
    dispatcher()->addTargetedDelegate(&b, 2, false);
    dispatcher()->addStandardDelegate(&s, 0);
    dispatcher()->touchesBegan(&one, nullptr);
    dispatcher()->touchesEnded(&one, nullptr);
    EXPECT_EQ(take(),
              (Log{"a:began t1", "b:began t1", "s:begans t1", "a:ended t1", "b:ended t1", "s:endeds t1"}));
}

TEST_F(TouchDispatcherTest, targetedHandlersAreOfferedTouchesByAscendingPriority)
{
    dispatcher()->addTargetedDelegate(&b, 5, false);
    dispatcher()->addTargetedDelegate(&a, -5, false);
    dispatcher()->touchesBegan(&one, nullptr);
    EXPECT_EQ(take(), (Log{"a:began t1", "b:began t1"}));
    dispatcher()->setPriority(10, &a);
    dispatcher()->touchesBegan(&one, nullptr);
    EXPECT_EQ(take(), (Log{"b:began t1", "a:began t1"}));
}

TEST_F(TouchDispatcherTest, standardDelegatesOfEqualPriorityAreCalledLastAddedFirst)
{
    dispatcher()->addStandardDelegate(&s, 0);
    dispatcher()->addStandardDelegate(&s2, 0);
    dispatcher()->touchesBegan(&one, nullptr);
    EXPECT_EQ(take(), (Log{"s2:begans t1", "s:begans t1"}));
}

TEST_F(TouchDispatcherTest, withOnlyStandardHandlersTheIncomingSetIsPassedOnItself)
{
    dispatcher()->addStandardDelegate(&s, 0);
    dispatcher()->touchesBegan(&both, nullptr);
    EXPECT_EQ(s.lastSet, &both);
    dispatcher()->addTargetedDelegate(&a, 0, false);
    dispatcher()->touchesMoved(&both, nullptr);
    EXPECT_NE(s.lastSet, &both) << "the standard handlers get a copy the targeted ones may thin out";
    EXPECT_EQ(both.count(), 2u);
}

TEST_F(TouchDispatcherTest, touchesAreDroppedWhileDispatchingIsOff)
{
    dispatcher()->addStandardDelegate(&s, 0);
    dispatcher()->setDispatchEvents(false);
    dispatcher()->touchesBegan(&one, nullptr);
    EXPECT_TRUE(take().empty());
    dispatcher()->setDispatchEvents(true);
    dispatcher()->touchesBegan(&one, nullptr);
    EXPECT_EQ(take(), (Log{"s:begans t1"}));
}

// Registration

TEST_F(TouchDispatcherTest, handlersRetainTheirDelegateUntilRemoved)
{
    dispatcher()->addStandardDelegate(&s, 0);
    dispatcher()->addTargetedDelegate(&s, 0, false);
    ZTPoolManager::getInstance()->pop();
    EXPECT_EQ(s.retainCount(), 3u);
    dispatcher()->removeDelegate(&s);
    dispatcher()->removeDelegate(nullptr);
    EXPECT_EQ(s.retainCount(), 1u);
    EXPECT_EQ(dispatcher()->findHandler(&s), nullptr);
}

TEST_F(TouchDispatcherTest, delegateRemovingItselfFinishesTheDispatchAndIsGoneAfterIt)
{
    s.onCall = [this] { ZTTouchDispatcher::sharedDispatcher()->removeDelegate(&s); };
    a.onCall = [this] { ZTTouchDispatcher::sharedDispatcher()->removeDelegate(&a); };
    dispatcher()->addTargetedDelegate(&a, 0, false);
    dispatcher()->addStandardDelegate(&s, 0);
    dispatcher()->touchesBegan(&both, nullptr);
    EXPECT_EQ(take(), (Log{"a:began t1", "a:began t2", "s:begans t1,t2"}));
    dispatcher()->touchesBegan(&both, nullptr);
    EXPECT_TRUE(take().empty());
    EXPECT_EQ(dispatcher()->targetedHandlerCount() + dispatcher()->standardHandlerCount(), 0u);
}

TEST_F(TouchDispatcherTest, delegateAddedDuringADispatchGetsOnlyLaterTouches)
{
    s.onCall = [this] {
        s.onCall = nullptr;
        ZTTouchDispatcher::sharedDispatcher()->addStandardDelegate(&late, 0);
        ZTTouchDispatcher::sharedDispatcher()->addTargetedDelegate(&b, 0, false);
    };
    dispatcher()->addStandardDelegate(&s, 0);
    dispatcher()->touchesBegan(&one, nullptr);
    EXPECT_EQ(take(), (Log{"s:begans t1"}));
    dispatcher()->touchesBegan(&one, nullptr);
    EXPECT_EQ(take(), (Log{"b:began t1", "late:begans t1", "s:begans t1"}));
}

TEST_F(TouchDispatcherTest, delegateAddedAndRemovedWithinOneDispatchEndsUnregistered)
{
    s.onCall = [this] {
        s.onCall = nullptr;
        ZTTouchDispatcher::sharedDispatcher()->addStandardDelegate(&late, 0);
        ZTTouchDispatcher::sharedDispatcher()->removeDelegate(&late);
    };
    dispatcher()->addStandardDelegate(&s, 0);
    dispatcher()->touchesBegan(&one, nullptr);
    EXPECT_EQ(dispatcher()->findHandler(&late), nullptr);
    EXPECT_EQ(dispatcher()->standardHandlerCount(), 1u);
}

TEST_F(TouchDispatcherTest, delegateRemovedAndAddedAgainWithinOneDispatchStaysRegistered)
{
    s.onCall = [this] {
        s.onCall = nullptr;
        ZTTouchDispatcher::sharedDispatcher()->removeDelegate(&s);
        ZTTouchDispatcher::sharedDispatcher()->addStandardDelegate(&s, 0);
        // Never registered before: the removal must not swallow the following add.
        ZTTouchDispatcher::sharedDispatcher()->removeDelegate(&late);
        ZTTouchDispatcher::sharedDispatcher()->addStandardDelegate(&late, 0);
    };
    dispatcher()->addStandardDelegate(&s, 0);
    dispatcher()->touchesBegan(&one, nullptr);
    take();
    dispatcher()->touchesBegan(&one, nullptr);
    EXPECT_EQ(take(), (Log{"late:begans t1", "s:begans t1"}));
}

TEST_F(TouchDispatcherTest, removeAllDuringADispatchTakesEffectAfterIt)
{
    a.onCall = [] { ZTTouchDispatcher::sharedDispatcher()->removeAllDelegates(); };
    dispatcher()->addTargetedDelegate(&a, 0, false);
    dispatcher()->addStandardDelegate(&s, 0);
    dispatcher()->touchesBegan(&one, nullptr);
    EXPECT_EQ(take(), (Log{"a:began t1", "s:begans t1"}));
    EXPECT_EQ(dispatcher()->targetedHandlerCount() + dispatcher()->standardHandlerCount(), 0u);
}

TEST_F(TouchDispatcherTest, delegateOwnedOnlyByItsHandlerSurvivesItsOwnRemovalDuringTheDispatch)
{
    auto* owned = new Recorder("owned");
    owned->onCall = [owned] {
        ZTTouchDispatcher::sharedDispatcher()->removeDelegate(owned);
        g_log.push_back(owned->m_name + ":still alive");
    };
    dispatcher()->addStandardDelegate(owned, 0);
    dispatcher()->addStandardDelegate(&s, 1);
    owned->release();
    dispatcher()->touchesBegan(&one, nullptr);
    ZTPoolManager::getInstance()->pop();
    EXPECT_EQ(take(), (Log{"owned:begans t1", "owned:still alive", "s:begans t1"}));
    EXPECT_EQ(dispatcher()->standardHandlerCount(), 1u);
}

TEST_F(TouchDispatcherTest, purgeReleasesDelegatesThatCallTheDispatcherFromTheirDestructor)
{
    struct Leaving : Recorder
    {
        Leaving() : Recorder("leaving") {}
        ~Leaving() override { ZTTouchDispatcher::sharedDispatcher()->removeDelegate(this); }
    };
    auto* leaving = new Leaving();
    dispatcher()->addTargetedDelegate(leaving, 0, false);
    dispatcher()->addStandardDelegate(leaving, 0);
    dispatcher()->addStandardDelegate(&s, 1);
    leaving->release();
    ZTPoolManager::getInstance()->pop();
    ZTTouchDispatcher::purgeSharedDispatcher();
    EXPECT_EQ(s.retainCount(), 1u);
}
