#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "GLTestContext.h"
#include "RecordingNode.h"
#include "ZTDirector.h"
#include "ZTScheduler.h"
#include "actions/ZTAction.h"
#include "base_nodes/ZTNode.h"
#include "base_nodes/ZTNodeGrid.h"
#include "cocoa/ZTArray.h"
#include "cocoa/ZTAutoreleasePool.h"
#include "support/ZTGLStack.h"

using namespace zanth2d;

namespace {

GLTestContext* g_context = nullptr;

class GLEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        m_context = std::make_unique<GLTestContext>();
        g_context = m_context.get();
        ZTGLStack::createStack();
    }
    void TearDown() override
    {
        ZTGLStack::releaseStack();
        g_context = nullptr;
        m_context.reset();
    }

private:
    std::unique_ptr<GLTestContext> m_context;
};

const ::testing::Environment* const g_environment = ::testing::AddGlobalTestEnvironment(new GLEnvironment);

class NodeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(g_context, nullptr);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    void TearDown() override
    {
        ZTDirector::sharedDirector()->setContentScaleFactor(1.0f);
        ZTPoolManager::getInstance()->pop();
        EXPECT_EQ(ZTGLStack::getDepth(), 0);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    std::vector<std::string> names(ZTNode* parent)
    {
        std::vector<std::string> result;
        for (unsigned int i = 0; i < parent->getChildrenCount(); ++i) {
            result.push_back(
                std::to_string(static_cast<ZTNode*>(parent->getChildren()->objectAtIndex(i))->getTag()));
        }
        return result;
    }

    std::vector<std::string> log;
};

void expectTransform(const ZTAffineTransform& t, float a, float b, float c, float d, float tx, float ty)
{
    EXPECT_NEAR(t.a, a, 1e-5f);
    EXPECT_NEAR(t.b, b, 1e-5f);
    EXPECT_NEAR(t.c, c, 1e-5f);
    EXPECT_NEAR(t.d, d, 1e-5f);
    EXPECT_NEAR(t.tx, tx, 1e-4f);
    EXPECT_NEAR(t.ty, ty, 1e-4f);
}

// Clockwise rotation by degrees, as a node applies it.
void expectRotation(const ZTAffineTransform& t, float degrees)
{
    const float r = degrees * -0.0174532924f;
    expectTransform(t, std::cos(r), std::sin(r), -std::sin(r), std::cos(r), t.tx, t.ty);
}

} // namespace

// Children and their order

TEST_F(NodeTest, equalZOrdersKeepInsertionOrder)
{
    ZTNode* parent = ZTNode::node();
    const int zs[] = {0, -1, 0, 1, -1};
    for (int i = 0; i < 5; ++i) {
        parent->addChild(ZTNode::node(), zs[i], i);
    }
    // tags: first -1 is 1, second -1 is 4, first 0 is 0, second 0 is 2, the 1 is 3
    EXPECT_EQ(names(parent), (std::vector<std::string>{"1", "4", "0", "2", "3"}));
}

TEST_F(NodeTest, reorderToSameZMovesAfterEqualSiblings)
{
    ZTNode* parent = ZTNode::node();
    ZTNode* first = ZTNode::node();
    parent->addChild(first, 0, 1);
    parent->addChild(ZTNode::node(), 0, 2);
    parent->addChild(ZTNode::node(), 5, 3);
    parent->reorderChild(first, 0);
    EXPECT_EQ(names(parent), (std::vector<std::string>{"2", "1", "3"}));
    parent->reorderChild(first, 9);
    EXPECT_EQ(names(parent), (std::vector<std::string>{"2", "3", "1"}));
    EXPECT_EQ(first->getZOrder(), 9);
}

TEST_F(NodeTest, childlessNodeCountsNoChildrenAndIgnoresStrangers)
{
    ZTNode* parent = ZTNode::node();
    EXPECT_EQ(parent->getChildrenCount(), 0u);
    EXPECT_EQ(parent->getChildren(), nullptr);
    ZTNode* stranger = ZTNode::node();
    parent->removeChild(stranger, true);
    parent->addChild(ZTNode::node(), 0, 7);
    parent->removeChild(stranger, true);
    parent->removeChildByTag(8, true);
    EXPECT_EQ(parent->getChildrenCount(), 1u);
    EXPECT_EQ(parent->getChildByTag(8), nullptr);
    EXPECT_NE(parent->getChildByTag(7), nullptr);
}

TEST_F(NodeTest, reorderingAStrangerLeavesBothParentsAsTheyWere)
{
    ZTNode* childless = ZTNode::node();
    ZTNode* other = ZTNode::node();
    ZTNode* stranger = ZTNode::node();
    other->addChild(stranger, 0, 4);
    childless->reorderChild(stranger, 3);
    EXPECT_EQ(childless->getChildrenCount(), 0u);

    ZTNode* parent = ZTNode::node();
    parent->addChild(ZTNode::node(), 0, 1);
    parent->reorderChild(stranger, 3);
    EXPECT_EQ(names(parent), (std::vector<std::string>{"1"}));
    EXPECT_EQ(stranger->getParent(), other);
    EXPECT_EQ(stranger->getZOrder(), 0);
    EXPECT_EQ(stranger->retainCount(), 2u);
}

TEST_F(NodeTest, addChildKeepsOwnZAndTagAndParentRetainsIt)
{
    ZTNode* parent = ZTNode::node();
    ZTNode* child = ZTNode::node();
    child->setZOrder(3);
    child->setTag(12);
    parent->addChild(child);
    EXPECT_EQ(child->getParent(), parent);
    EXPECT_EQ(child->getZOrder(), 3);
    EXPECT_EQ(parent->getChildByTag(12), child);
    EXPECT_EQ(child->retainCount(), 2u);
    parent->removeChildByTag(12, true);
    EXPECT_EQ(child->getParent(), nullptr);
    EXPECT_EQ(child->retainCount(), 1u);
}

TEST_F(NodeTest, destroyedParentLeavesSurvivingChildWithoutParent)
{
    auto* parent = new ZTNode();
    ZTNode* child = ZTNode::node();
    child->retain();
    parent->addChild(child);
    parent->release();
    EXPECT_EQ(child->getParent(), nullptr);
    child->release();
}

TEST_F(NodeTest, childrenEnterAndExitWithARunningParent)
{
    RecordingNode* parent = RecordingNode::create(&log, "p");
    RecordingNode* child = RecordingNode::create(&log, "c");
    parent->addChild(child);
    EXPECT_TRUE(log.empty());
    parent->onEnter();
    parent->onEnterTransitionDidFinish();
    EXPECT_TRUE(child->getIsRunning());
    RecordingNode* late = RecordingNode::create(&log, "l");
    log.clear();
    parent->addChild(late);
    EXPECT_EQ(log, (std::vector<std::string>{"l.enter", "l.entered"}));
    log.clear();
    parent->removeChild(late, false);
    EXPECT_EQ(log, (std::vector<std::string>{"l.exit"}));
    log.clear();
    parent->removeAllChildrenWithCleanup(true);
    EXPECT_EQ(log, (std::vector<std::string>{"c.exit", "c.cleanup"}));
    EXPECT_FALSE(child->getIsRunning());
    parent->onExit();
}

// Visibility

TEST_F(NodeTest, hidingFlagsEveryDescendantAndShowingClearsOnlyUncoveredOnes)
{
    ZTNode* root = ZTNode::node();
    ZTNode* middle = ZTNode::node();
    ZTNode* leaf = ZTNode::node();
    root->addChild(middle);
    middle->addChild(leaf);

    root->setIsVisible(false);
    EXPECT_TRUE(middle->getIsAnyAncestorInvisible());
    EXPECT_TRUE(leaf->getIsAnyAncestorInvisible());
    EXPECT_TRUE(root->getVisibilityChanged());
    EXPECT_TRUE(leaf->getVisibilityChanged());

    middle->setIsVisible(false);
    leaf->setVisibilityChanged(false);
    root->setIsVisible(true);
    EXPECT_FALSE(middle->getIsAnyAncestorInvisible());
    EXPECT_TRUE(leaf->getIsAnyAncestorInvisible()) << "middle still hides the leaf";
    EXPECT_FALSE(leaf->getVisibilityChanged());

    middle->setIsVisible(true);
    EXPECT_FALSE(leaf->getIsAnyAncestorInvisible());
}

TEST_F(NodeTest, childAddedUnderHiddenNodeIsFlaggedAndUnderVisibleNodeIsNot)
{
    ZTNode* hiddenRoot = ZTNode::node();
    ZTNode* hidden = ZTNode::node();
    hiddenRoot->addChild(hidden);
    hiddenRoot->setIsVisible(false);
    ZTNode* underHidden = ZTNode::node();
    hidden->addChild(underHidden);
    EXPECT_TRUE(underHidden->getIsAnyAncestorInvisible());

    ZTNode* visible = ZTNode::node();
    ZTNode* underVisible = ZTNode::node();
    visible->addChild(underVisible);
    EXPECT_FALSE(underVisible->getIsAnyAncestorInvisible());
}

// Visit and drawing

TEST_F(NodeTest, visitDrawsNegativeChildrenFirstAndSkipsHiddenSubtrees)
{
    RecordingNode* parent = RecordingNode::create(&log, "p");
    parent->addChild(RecordingNode::create(&log, "front"), 1);
    parent->addChild(RecordingNode::create(&log, "back"), -1);
    RecordingNode* hidden = RecordingNode::create(&log, "hidden");
    hidden->addChild(RecordingNode::create(&log, "underHidden"));
    hidden->setIsVisible(false);
    parent->addChild(hidden, 0);
    parent->visit();
    EXPECT_EQ(log, (std::vector<std::string>{"back.draw", "p.draw", "front.draw"}));
}

TEST_F(NodeTest, nonDrawableNodeStillTransformsAndVisitsChildren)
{
    RecordingNode* container = RecordingNode::create(&log, "container");
    RecordingNode* child = RecordingNode::create(&log, "child");
    container->setIsDrawableNode(false);
    container->setPosition(5, 7);
    container->addChild(child);
    container->visit();
    EXPECT_EQ(log, (std::vector<std::string>{"child.draw"}));
    EXPECT_FLOAT_EQ(child->drawMatrix[12], 5.0f);
    EXPECT_FLOAT_EQ(child->drawMatrix[13], 7.0f);
}

TEST_F(NodeTest, fortyDeepTreeVisitsBeyondTheGLStackAndRestoresTheMatrix)
{
    GLint glDepth = 0;
    glGetIntegerv(GL_MAX_MODELVIEW_STACK_DEPTH, &glDepth);
    ASSERT_LT(glDepth, 40) << "the tree must be deeper than the driver's stack";

    glTranslatef(3.0f, 0.0f, 0.0f);
    const auto before = GLTestContext::modelViewMatrix();
    std::vector<RecordingNode*> chain;
    RecordingNode* root = RecordingNode::create(&log, "0");
    root->setPosition(1, 0);
    chain.push_back(root);
    for (int i = 1; i < 40; ++i) {
        RecordingNode* node = RecordingNode::create(&log, std::to_string(i));
        node->setPosition(1, 0);
        chain.back()->addChild(node);
        chain.push_back(node);
    }
    root->visit();
    EXPECT_EQ(log.size(), 40u);
    for (int i = 0; i < 40; ++i) {
        EXPECT_FLOAT_EQ(chain[i]->drawMatrix[12], 3.0f + i + 1) << "depth " << i;
    }
    EXPECT_EQ(GLTestContext::modelViewMatrix(), before);
    EXPECT_EQ(ZTGLStack::getDepth(), 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

namespace {

// Records the grid protocol calls of a visit.
class RecordingGrid : public ZTNodeGrid
{
public:
    explicit RecordingGrid(std::vector<std::string>* log) : m_log(log) {}
    bool isActive() const override { return active; }
    void beforeDraw() override { m_log->push_back("grid.before"); }
    void afterDraw(ZTNode*) override { m_log->push_back("grid.after"); }
    bool active = true;

private:
    std::vector<std::string>* m_log;
};

} // namespace

TEST_F(NodeTest, activeGridWrapsTheSubtreeAndAppliesAncestorTransforms)
{
    RecordingNode* parent = RecordingNode::create(&log, "p");
    RecordingNode* child = RecordingNode::create(&log, "c");
    parent->setPosition(4, 0);
    parent->addChild(child);
    auto* grid = new RecordingGrid(&log);
    child->setGrid(grid);
    grid->release();
    // The grid draws the child on its own, so the parent's transform comes from transformAncestors.
    child->visit();
    EXPECT_EQ(log, (std::vector<std::string>{"grid.before", "c.draw", "grid.after"}));
    EXPECT_FLOAT_EQ(child->drawMatrix[12], 4.0f);

    log.clear();
    grid->active = false;
    child->visit();
    EXPECT_EQ(log, (std::vector<std::string>{"c.draw"}));
}

// Transforms and the caches

TEST_F(NodeTest, contentScaleFactorConvertsPositionsAndVertexZ)
{
    ZTDirector::sharedDirector()->setContentScaleFactor(2.0f);
    glLoadIdentity(); // the factor re-applies the director's projection to the model-view matrix
    ZTNode* node = ZTNode::node();
    node->setPosition(10, 20);
    EXPECT_FLOAT_EQ(node->getPositionInPixels().x, 20.0f);
    EXPECT_FLOAT_EQ(node->getPositionInPixels().y, 40.0f);
    node->setPositionInPixels(8, 6);
    EXPECT_FLOAT_EQ(node->getPositionX(), 4.0f);
    EXPECT_FLOAT_EQ(node->getPositionY(), 3.0f);
    node->setVertexZ(3);
    EXPECT_FLOAT_EQ(node->getVertexZ(), 3.0f);
    node->setContentSize(ZTSize(5, 5));
    node->setAnchorPoint(ZTPoint(0.5f, 0.5f));
    EXPECT_FLOAT_EQ(node->getAnchorPointInPixels().x, 5.0f);
    // Vertex z is kept in pixels: the GL translation shows it.
    RecordingNode* drawn = RecordingNode::create(&log, "d");
    drawn->setVertexZ(3);
    drawn->visit();
    EXPECT_FLOAT_EQ(drawn->drawMatrix[14], 6.0f);
}

TEST_F(NodeTest, nodeToParentAppliesPositionRotationScaleAndAnchor)
{
    ZTNode* node = ZTNode::node();
    node->setContentSize(ZTSize(10, 20));
    node->setAnchorPoint(ZTPoint(0.5f, 0.5f));
    node->setPosition(100, 50);
    node->setScale(2);
    // The anchor point lands on the position.
    ZTPoint p = __ZTPointApplyAffineTransform(ZTPoint(5, 10), node->nodeToParentTransform());
    EXPECT_FLOAT_EQ(p.x, 100.0f);
    EXPECT_FLOAT_EQ(p.y, 50.0f);
    p = __ZTPointApplyAffineTransform(ZTPoint(0, 0), node->nodeToParentTransform());
    EXPECT_FLOAT_EQ(p.x, 90.0f);
    EXPECT_FLOAT_EQ(p.y, 30.0f);

    node->setIsRelativeAnchorPoint(false);
    p = __ZTPointApplyAffineTransform(ZTPoint(0, 0), node->nodeToParentTransform());
    EXPECT_FLOAT_EQ(p.x, 95.0f) << "the position names the lower-left corner";
    EXPECT_FLOAT_EQ(p.y, 40.0f);

    ZTNode* rotated = ZTNode::node();
    rotated->setRotation(90);
    p = __ZTPointApplyAffineTransform(ZTPoint(1, 0), rotated->nodeToParentTransform());
    EXPECT_NEAR(p.x, 0.0f, 1e-6f);
    EXPECT_NEAR(p.y, -1.0f, 1e-6f) << "rotation is clockwise";

    const ZTAffineTransform inverse = rotated->parentToNodeTransform();
    p = __ZTPointApplyAffineTransform(ZTPoint(0, -1), inverse);
    EXPECT_NEAR(p.x, 1.0f, 1e-6f);
}

TEST_F(NodeTest, cachedWorldTransformStartsAsIdentityAndFollowsTheVisit)
{
    ZTNode* parent = ZTNode::node();
    ZTNode* child = ZTNode::node();
    parent->addChild(child);
    expectTransform(child->getCachedNodeToWorldTransform(), 1, 0, 0, 1, 0, 0);
    parent->setPosition(10, 0);
    child->setPosition(0, 5);
    parent->visit();
    expectTransform(child->getCachedNodeToWorldTransform(), 1, 0, 0, 1, 10, 5);
    EXPECT_TRUE(child->isAncestorDirty());

    parent->visit();
    EXPECT_FALSE(child->isAncestorDirty()) << "nothing changed since the last visit";
    parent->setAnchorPoint(ZTPoint(0, 0));
    parent->visit();
    EXPECT_FALSE(parent->isAncestorDirty()) << "setting the same anchor point changes nothing";
}

TEST_F(NodeTest, parentTransformComputedBeforeTheVisitStillRefreshesChildren)
{
    ZTNode* parent = ZTNode::node();
    ZTNode* child = ZTNode::node();
    parent->addChild(child);
    parent->visit();
    parent->setPosition(30, 0);
    parent->boundingBox();
    parent->visit();
    expectTransform(child->getCachedNodeToWorldTransform(), 1, 0, 0, 1, 30, 0);
}

TEST_F(NodeTest, nodeMovedToAnotherParentAtTheSameLocalPositionIsAtItsNewPlaceInTheWorld)
{
    ZTNode* root = ZTNode::node();
    ZTNode* from = ZTNode::node();
    ZTNode* to = ZTNode::node();
    from->setPosition(10, 0);
    to->setPosition(100, 50);
    root->addChild(from);
    root->addChild(to);
    ZTNode* moved = ZTNode::node();
    ZTNode* inner = ZTNode::node();
    moved->setPosition(1, 2);
    moved->addChild(inner);
    from->addChild(moved);
    root->visit();
    expectTransform(inner->getCachedNodeToWorldTransform(), 1, 0, 0, 1, 11, 2);

    moved->retain();
    from->removeChild(moved, false);
    to->addChild(moved);
    moved->release();
    // Before any visit: conversions below the moved node read the cache of its new place.
    const ZTPoint before = inner->convertToWorldSpace(ZTPoint(0, 0));
    EXPECT_FLOAT_EQ(before.x, 101);
    EXPECT_FLOAT_EQ(before.y, 52);
    root->visit();
    expectTransform(inner->getCachedNodeToWorldTransform(), 1, 0, 0, 1, 101, 52);
    EXPECT_TRUE(inner->isAncestorDirty()) << "batched sprites below must rewrite their quads";
    root->visit();
    EXPECT_FALSE(inner->isAncestorDirty());
}

TEST_F(NodeTest, nodeAddedUnderAParentThatMovedSinceTheLastVisitIsAtThatParentsNewPlace)
{
    ZTNode* root = ZTNode::node();
    ZTNode* holder = ZTNode::node();
    root->addChild(holder);
    root->visit();
    // Placed after it was added, as the bridge places a new item's node, and not visited since.
    holder->setPosition(60, 20);
    root->setPosition(5, 0);
    ZTNode* moved = ZTNode::node();
    ZTNode* inner = ZTNode::node();
    moved->addChild(inner);
    holder->addChild(moved);
    expectTransform(inner->getCachedNodeToWorldTransform(), 1, 0, 0, 1, 65, 20);
    const ZTPoint world = inner->convertToWorldSpace(ZTPoint(1, 1));
    EXPECT_FLOAT_EQ(world.x, 66);
    EXPECT_FLOAT_EQ(world.y, 21);
    root->visit();
    expectTransform(inner->getCachedNodeToWorldTransform(), 1, 0, 0, 1, 65, 20);
}

TEST_F(NodeTest, rotationInversionNodeCancelsTheAncestorsRotation)
{
    ZTNode* parent = ZTNode::node();
    ZTNode* node = ZTNode::node();
    parent->addChild(node);
    parent->setRotation(45);
    node->setRotation(30);
    node->setRotationInversionNode(parent);
    parent->visit();
    expectRotation(node->getCachedNodeToParentTransform(), -15);
    expectRotation(node->getCachedNodeToWorldTransform(), 30);

    // Only the parent changes: the node's matrix is rebuilt in the same frame.
    parent->setRotation(60);
    parent->visit();
    expectRotation(node->getCachedNodeToParentTransform(), -30);
    expectRotation(node->getCachedNodeToWorldTransform(), 30);
}

TEST_F(NodeTest, rotationInversionStopsAtTheInversionNode)
{
    ZTNode* grand = ZTNode::node();
    ZTNode* parent = ZTNode::node();
    ZTNode* node = ZTNode::node();
    grand->addChild(parent);
    parent->addChild(node);
    grand->setRotation(20);
    parent->setRotation(10);
    node->setRotationInversionNode(parent);
    grand->visit();
    expectRotation(node->getCachedNodeToWorldTransform(), 20);
}

TEST_F(NodeTest, conversionsRoundTripThroughTheWorld)
{
    ZTDirector::sharedDirector()->setContentScaleFactor(2.0f);
    ZTNode* parent = ZTNode::node();
    ZTNode* child = ZTNode::node();
    parent->addChild(child);
    parent->setPosition(10, 20);
    child->setPosition(3, 4);
    child->setScale(2);
    child->setContentSize(ZTSize(4, 2));
    child->setAnchorPoint(ZTPoint(0.5f, 0.5f));
    parent->visit();

    ZTPoint world = child->convertToWorldSpace(ZTPoint(1, 1));
    EXPECT_FLOAT_EQ(world.x, 10 + 3 + (1 - 2) * 2);
    EXPECT_FLOAT_EQ(world.y, 20 + 4 + (1 - 1) * 2);
    ZTPoint back = child->convertToNodeSpace(world);
    EXPECT_NEAR(back.x, 1.0f, 1e-5f);
    EXPECT_NEAR(back.y, 1.0f, 1e-5f);
    ZTPoint centre = child->convertToWorldSpaceAR(ZTPointZero);
    EXPECT_FLOAT_EQ(centre.x, 13.0f);
    EXPECT_FLOAT_EQ(centre.y, 24.0f);
    ZTPoint ar = child->convertToNodeSpaceAR(centre);
    EXPECT_NEAR(ar.x, 0.0f, 1e-5f);
    EXPECT_NEAR(ar.y, 0.0f, 1e-5f);

    const ZTRect box = child->boundingBox();
    EXPECT_FLOAT_EQ(box.origin.x, -1.0f);
    EXPECT_FLOAT_EQ(box.origin.y, 2.0f);
    EXPECT_FLOAT_EQ(box.size.width, 8.0f);
    EXPECT_FLOAT_EQ(box.size.height, 4.0f);
}

TEST_F(NodeTest, descriptionNamesTheTag)
{
    ZTNode* node = ZTNode::node();
    node->setTag(42);
    std::unique_ptr<char[]> text(node->description());
    EXPECT_STREQ(text.get(), "<ZTNode | Tag = 42>");
}

// Scheduling follows the running state

TEST_F(NodeTest, updatesArePausedUntilTheNodeEntersAndStopAfterCleanup)
{
    RecordingNode* node = RecordingNode::create(&log, "n");
    node->scheduleUpdate();
    ZTScheduler* scheduler = ZTDirector::sharedDirector()->getScheduler();
    scheduler->tick(0.1f);
    EXPECT_EQ(node->updates, 0);
    node->onEnter();
    scheduler->tick(0.1f);
    EXPECT_EQ(node->updates, 1);
    node->onExit();
    scheduler->tick(0.1f);
    EXPECT_EQ(node->updates, 1);
    node->onEnter();
    node->cleanup();
    scheduler->tick(0.1f);
    EXPECT_EQ(node->updates, 1);
    node->onExit();
}

namespace {

// Never finishes; counts its steps.
class CountingAction : public ZTAction
{
public:
    bool isDone() override { return false; }
    void step(float) override { ++steps; }
    int steps = 0;
};

} // namespace

TEST_F(NodeTest, actionsWaitForTheNodeToEnterAndStopOnCleanup)
{
    ZTNode* node = ZTNode::node();
    auto* action = new CountingAction();
    action->setTag(5);
    EXPECT_EQ(node->runAction(action), action);
    action->release();
    ZTScheduler* scheduler = ZTDirector::sharedDirector()->getScheduler();
    scheduler->tick(0.1f);
    EXPECT_EQ(action->steps, 0) << "a node that is not running holds its actions paused";
    EXPECT_EQ(node->numberOfRunningActions(), 1u);

    node->onEnter();
    scheduler->tick(0.1f);
    EXPECT_EQ(action->steps, 1);
    EXPECT_EQ(node->getActionByTag(5), action);
    node->onExit();
    scheduler->tick(0.1f);
    EXPECT_EQ(action->steps, 1);

    node->onEnter();
    node->cleanup();
    EXPECT_EQ(node->numberOfRunningActions(), 0u);
    EXPECT_EQ(node->getActionByTag(5), nullptr);
    node->onExit();
}

TEST_F(NodeTest, pauseGivenByItsOwnerOutlastsAMoveToAnotherParent)
{
    ZTScheduler* scheduler = ZTDirector::sharedDirector()->getScheduler();
    ZTNode* from = ZTNode::node();
    ZTNode* to = ZTNode::node();
    from->onEnter();
    to->onEnter();
    RecordingNode* node = RecordingNode::create(&log, "n");
    from->addChild(node);
    auto* action = new CountingAction();
    node->runAction(action);
    action->release();
    node->scheduleUpdate();
    node->pauseSchedulerAndActions();

    node->retain();
    from->removeChild(node, false);
    to->addChild(node);
    node->release();
    scheduler->tick(0.1f);
    EXPECT_EQ(action->steps, 0);
    EXPECT_EQ(node->updates, 0);

    node->resumeSchedulerAndActions();
    scheduler->tick(0.1f);
    EXPECT_EQ(action->steps, 1);
    EXPECT_EQ(node->updates, 1);
    // A node nobody paused still stops while it is out of the tree and goes on once back.
    to->removeChild(node, false);
    to->addChild(node);
    scheduler->tick(0.1f);
    EXPECT_EQ(action->steps, 2);
    node->cleanup();
    from->onExit();
    to->onExit();
}

TEST_F(NodeTest, pauseGivenByItsOwnerHoldsForActionsAndUpdatesAddedBeforeItIsResumed)
{
    ZTScheduler* scheduler = ZTDirector::sharedDirector()->getScheduler();
    ZTNode* from = ZTNode::node();
    ZTNode* to = ZTNode::node();
    from->onEnter();
    to->onEnter();
    RecordingNode* node = RecordingNode::create(&log, "n");
    from->addChild(node);
    node->pauseSchedulerAndActions();
    // Nothing of the node is left in the action manager and the scheduler to hold the pause.
    node->cleanup();
    auto* action = new CountingAction();
    node->runAction(action);
    action->release();
    node->scheduleUpdate();
    scheduler->tick(0.1f);
    EXPECT_EQ(action->steps, 0);
    EXPECT_EQ(node->updates, 0);

    // Moved and resumed: then it goes on, and it goes on after a later move too.
    node->retain();
    from->removeChild(node, false);
    to->addChild(node);
    node->release();
    node->resumeSchedulerAndActions();
    scheduler->tick(0.1f);
    EXPECT_EQ(action->steps, 1);
    EXPECT_EQ(node->updates, 1);
    to->removeChild(node, false);
    from->addChild(node);
    scheduler->tick(0.1f);
    EXPECT_EQ(action->steps, 2);
    EXPECT_EQ(node->updates, 2);
    node->cleanup();

    // A selector given again while paused joins the node's paused timers (the scheduler insists).
    RecordingNode* ticking = RecordingNode::create(&log, "t");
    from->addChild(ticking);
    ticking->schedule(schedule_selector(RecordingNode::update), 0.0f);
    ticking->pauseSchedulerAndActions();
    ticking->schedule(schedule_selector(RecordingNode::update), 0.05f);
    scheduler->tick(0.1f);
    EXPECT_EQ(ticking->updates, 0);
    ticking->resumeSchedulerAndActions();
    // A timer's first tick starts its clock.
    scheduler->tick(0.1f);
    scheduler->tick(0.1f);
    EXPECT_GE(ticking->updates, 1);
    ticking->cleanup();
    from->onExit();
    to->onExit();
}
