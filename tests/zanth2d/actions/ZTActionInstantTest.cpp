#include "actions/ZTActionInstant.h"
#include "ActionTestSupport.h"
#include "CountedObject.h"

using namespace zanth2d;

class InstantActionTest : public ActionTest
{
};

namespace {
// The object whose member functions the call-back actions call.
class Listener : public ZTObject
{
public:
    void plain() { calls.push_back("plain"); }
    void withNode(ZTNode* node)
    {
        calls.push_back("node");
        nodes.push_back(node);
    }
    void withNodeAndData(ZTNode* node, void* data)
    {
        calls.push_back("node+data");
        nodes.push_back(node);
        datas.push_back(data);
    }
    void withObject(ZTObject* object)
    {
        calls.push_back("object");
        objects.push_back(object);
    }

    std::vector<std::string> calls;
    std::vector<ZTNode*> nodes;
    std::vector<void*> datas;
    std::vector<ZTObject*> objects;
};
} // namespace

// Visibility and place

TEST_F(InstantActionTest, hideWorksInsideRunActionAndIsGoneAfterTheNextUpdate)
{
    ZTNode* node = runningNode();
    run(node, ZTHide::action());
    EXPECT_FALSE(node->getIsVisible());
    EXPECT_EQ(actionsOf(node), 1u);
    manager()->update(0.016f);
    EXPECT_EQ(actionsOf(node), 0u);
    EXPECT_FALSE(node->getIsVisible());
}

TEST_F(InstantActionTest, instantActionRunsAlsoOnANodeThatIsNotRunning)
{
    auto* node = new ZTNode();
    run(node, ZTPlace::actionWithPosition(ZTPoint(3, 4)));
    EXPECT_EQ(node->getPosition().x, 3);
    EXPECT_EQ(node->getPosition().y, 4);
    node->release();
}

TEST_F(InstantActionTest, showAndHideReverseEachOtherAndToggleReadsTheStateAtStart)
{
    ZTNode* node = runningNode();
    ZTShow* show = ZTShow::action();
    ZTFiniteTimeAction* hide = show->reverse();
    hide->startWithTarget(node);
    EXPECT_FALSE(node->getIsVisible());
    hide->reverse()->startWithTarget(node);
    EXPECT_TRUE(node->getIsVisible());

    ZTToggleVisibility* toggle = ZTToggleVisibility::action();
    toggle->startWithTarget(node);
    EXPECT_FALSE(node->getIsVisible());
    ZTFiniteTimeAction* again = toggle->reverse();
    EXPECT_NE(dynamic_cast<ZTToggleVisibility*>(again), nullptr);
    again->startWithTarget(node);
    EXPECT_TRUE(node->getIsVisible());
}

TEST_F(InstantActionTest, instantActionIsDoneAtOnceAndHasNoDuration)
{
    ZTPlace* place = ZTPlace::actionWithPosition(ZTPoint(1, 2));
    EXPECT_EQ(place->getDuration(), 0);
    EXPECT_TRUE(place->isDone());
    ZTNode* node = runningNode();
    auto* copy = static_cast<ZTPlace*>(place->reverse());
    copy->startWithTarget(node);
    EXPECT_EQ(node->getPosition().y, 2);
}

// Call-backs

TEST_F(InstantActionTest, callFuncNAfterADelayIsCalledOnceWithTheNodeWhenTimeReachesTheEnd)
{
    auto* listener = new Listener();
    ZTNode* node = runningNode();
    run(node, ZTSequence::actionOneTwo(
                  ZTDelayTime::actionWithDuration(1),
                  ZTCallFuncN::actionWithTarget(listener, callfuncN_selector(Listener::withNode))));
    manager()->update(0);
    manager()->update(0.5f);
    EXPECT_TRUE(listener->calls.empty());
    manager()->update(0.5f);
    EXPECT_EQ(listener->calls, (std::vector<std::string>{"node"}));
    EXPECT_EQ(listener->nodes, (std::vector<ZTNode*>{node}));
    manager()->update(0.5f);
    EXPECT_EQ(listener->calls.size(), 1u);
    listener->release();
}

TEST_F(InstantActionTest, callBackAfterAnActionRunsOnlyOnceThatActionIsStopped)
{
    ActionLog log;
    auto* listener = new Listener();
    ZTSequence* seq =
        ZTSequence::actionOneTwo(RecordingAction::create(1, &log),
                                 ZTCallFunc::actionWithTarget(listener, callfunc_selector(Listener::plain)));
    seq->startWithTarget(nullptr);
    seq->update(0.5f);
    EXPECT_TRUE(listener->calls.empty());
    seq->update(1);
    EXPECT_EQ(log.events.back(), "stop");
    EXPECT_EQ(listener->calls, (std::vector<std::string>{"plain"}));
    listener->release();
}

TEST_F(InstantActionTest, callBackInsideARepeatedSequenceFiresOnEveryRepetition)
{
    auto* listener = new Listener();
    ZTNode* node = runningNode();
    run(node, ZTRepeat::actionWithAction(
                  ZTSequence::actionOneTwo(
                      ZTDelayTime::actionWithDuration(1),
                      ZTCallFunc::actionWithTarget(listener, callfunc_selector(Listener::plain))),
                  3));
    manager()->update(0);
    for (int i = 0; i < 6; ++i) {
        manager()->update(0.5f);
    }
    EXPECT_EQ(listener->calls.size(), 3u);
    listener->release();
}

TEST_F(InstantActionTest, callFuncNDPassesTheNodeAndItsData)
{
    auto* listener = new Listener();
    int data = 42;
    ZTNode* node = runningNode();
    run(node,
        ZTCallFuncND::actionWithTarget(listener, callfuncND_selector(Listener::withNodeAndData), &data));
    EXPECT_EQ(listener->calls, (std::vector<std::string>{"node+data"}));
    EXPECT_EQ(listener->nodes[0], node);
    EXPECT_EQ(listener->datas[0], &data);

    auto* copy = static_cast<ZTCallFuncND*>(
        ZTCallFuncND::actionWithTarget(listener, callfuncND_selector(Listener::withNodeAndData), &data)
            ->copy());
    copy->startWithTarget(node);
    EXPECT_EQ(listener->datas[1], &data);
    copy->release();
    listener->release();
}

TEST_F(InstantActionTest, callBackRetainsItsTargetAndCopiesShareIt)
{
    auto* listener = new Listener();
    ZTCallFunc* call = ZTCallFunc::actionWithTarget(listener, callfunc_selector(Listener::plain));
    EXPECT_EQ(listener->retainCount(), 2u);
    auto* copy = static_cast<ZTCallFunc*>(call->copy());
    EXPECT_EQ(listener->retainCount(), 3u);
    copy->startWithTarget(nullptr);
    EXPECT_EQ(listener->calls.size(), 1u);
    copy->release();
    EXPECT_EQ(listener->retainCount(), 2u);
    call->initWithTarget(nullptr);
    EXPECT_EQ(listener->retainCount(), 1u);
    listener->release();
}

TEST_F(InstantActionTest, callFuncOKeepsItsObjectAliveUntilTheActionDies)
{
    int destroyed = 0;
    auto* listener = new Listener();
    auto* object = new CountedObject(&destroyed);
    auto* call = new ZTCallFuncO();
    call->initWithTarget(listener, callfuncO_selector(Listener::withObject), object);
    object->release();
    EXPECT_EQ(destroyed, 0);
    call->startWithTarget(nullptr);
    EXPECT_EQ(listener->objects, (std::vector<ZTObject*>{object}));
    auto* copy = static_cast<ZTCallFuncO*>(call->copy());
    call->release();
    EXPECT_EQ(destroyed, 0);
    copy->release();
    EXPECT_EQ(destroyed, 1);
    listener->release();
}

TEST_F(InstantActionTest, callBackWithoutSelectorOrWithoutTargetCallsNothing)
{
    auto* listener = new Listener();
    ZTCallFunc::actionWithTarget(listener, nullptr)->startWithTarget(nullptr);
    ZTCallFuncN::actionWithTarget(nullptr, callfuncN_selector(Listener::withNode))->startWithTarget(nullptr);
    EXPECT_TRUE(listener->calls.empty());
    listener->release();
}
