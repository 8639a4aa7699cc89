#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "../sprite_nodes/SpriteScene.h"
#include "cocoa/ZTArray.h"
#include "layers_scenes_transitions_nodes/ZTLayerColor.h"
#include "tileMap_parallax_nodes/ZTParallaxNode.h"
#include "tileMap_parallax_nodes/ZTPointObject.h"

using namespace zanth2d;

namespace {

void expectPosition(ZTNode* node, float x, float y)
{
    EXPECT_FLOAT_EQ(node->getPosition().x, x);
    EXPECT_FLOAT_EQ(node->getPosition().y, y);
}

class ParallaxNodeTest : public ::testing::Test
{
protected:
    SpriteScene m_scene{128, 128};
};

} // namespace

// Positions

TEST_F(ParallaxNodeTest, childWithRatioOneKeepsItsOffsetAndMovesWithTheNode)
{
    ZTParallaxNode* parallax = ZTParallaxNode::node();
    ZTNode* child = ZTNode::node();
    parallax->addChild(child, 0, ZTPoint(1, 1), ZTPoint(7, 9));
    parallax->setPosition(ZTPoint(30, 40));
    parallax->visit();
    expectPosition(child, 7, 9);
}

TEST_F(ParallaxNodeTest, childWithRatioZeroStaysInPlaceInTheScene)
{
    ZTParallaxNode* parallax = ZTParallaxNode::node();
    ZTNode* child = ZTNode::node();
    parallax->addChild(child, 0, ZTPoint(0, 0), ZTPoint(0, 0));
    parallax->setPosition(ZTPoint(50, 0));
    parallax->visit();
    expectPosition(child, -50, 0);
}

TEST_F(ParallaxNodeTest, verticalMovementCountsFromWhereTheLastChildJoined)
{
    ZTNode* parent = ZTNode::node();
    parent->setPosition(ZTPoint(0, 600));
    ZTParallaxNode* parallax = ZTParallaxNode::node();
    parallax->setPosition(ZTPoint(0, 40));
    parent->addChild(parallax);
    ZTNode* child = ZTNode::node();
    parallax->addChild(child, 0, ZTPoint(0.5f, 0.5f), ZTPoint(0, 0));
    EXPECT_FLOAT_EQ(parallax->getReferencePosition().y, 640);
    // Placed at the node's own position times the ratio when it joins.
    expectPosition(child, 0, 20);
    parallax->setPosition(ZTPoint(0, 140));
    parallax->visit();
    expectPosition(child, 0, -50);
}

TEST_F(ParallaxNodeTest, absolutePositionAddsTheAncestorsPositionsOnly)
{
    ZTNode* grandparent = ZTNode::node();
    grandparent->setPosition(ZTPoint(10, 20));
    grandparent->setScale(3);
    grandparent->setRotation(45);
    ZTNode* parent = ZTNode::node();
    parent->setPosition(ZTPoint(1, 2));
    grandparent->addChild(parent);
    ZTParallaxNode* parallax = ZTParallaxNode::node();
    parallax->setPosition(ZTPoint(100, 200));
    parent->addChild(parallax);
    EXPECT_FLOAT_EQ(parallax->absolutePosition().x, 111);
    EXPECT_FLOAT_EQ(parallax->absolutePosition().y, 222);
}

TEST_F(ParallaxNodeTest, childrenAreRepositionedOnlyAfterTheNodeMoved)
{
    ZTParallaxNode* parallax = ZTParallaxNode::node();
    ZTNode* child = ZTNode::node();
    parallax->addChild(child, 0, ZTPoint(0, 0), ZTPoint(0, 0));
    parallax->setPosition(ZTPoint(20, 0));
    parallax->visit();
    child->setPosition(ZTPoint(3, 3));
    parallax->visit();
    expectPosition(child, 3, 3);
    parallax->setPosition(ZTPoint(30, 0));
    parallax->visit();
    expectPosition(child, -30, 0);
}

// Children

TEST_F(ParallaxNodeTest, removingAChildRemovesItsEntry)
{
    ZTParallaxNode* parallax = ZTParallaxNode::node();
    ZTNode* first = ZTNode::node();
    ZTNode* second = ZTNode::node();
    parallax->addChild(first, 0, ZTPoint(1, 1), ZTPoint(0, 0));
    parallax->addChild(second, 1, ZTPoint(0.5f, 0.5f), ZTPoint(5, 5));
    ASSERT_EQ(parallax->getParallaxArray()->count(), 2u);
    parallax->removeChild(first, true);
    ASSERT_EQ(parallax->getParallaxArray()->count(), 1u);
    auto* entry = static_cast<ZTPointObject*>(parallax->getParallaxArray()->objectAtIndex(0));
    EXPECT_EQ(entry->getChild(), second);
    EXPECT_FLOAT_EQ(entry->getOffset().x, 5);
    EXPECT_EQ(parallax->getChildrenCount(), 1u);

    parallax->removeAllChildrenWithCleanup(true);
    EXPECT_EQ(parallax->getParallaxArray()->count(), 0u);
    EXPECT_EQ(parallax->getChildrenCount(), 0u);
}

TEST_F(ParallaxNodeTest, childAddedAsAPlainNodeChildHasNoEntryToRemove)
{
    ZTParallaxNode* parallax = ZTParallaxNode::node();
    ZTNode* tracked = ZTNode::node();
    parallax->addChild(tracked, 0, ZTPoint(1, 1), ZTPoint(0, 0));
    ZTNode* plain = ZTNode::node();
    static_cast<ZTNode*>(parallax)->addChild(plain, 0, 4);
    parallax->removeChild(plain, true);
    EXPECT_EQ(parallax->getParallaxArray()->count(), 1u);
    EXPECT_EQ(parallax->getChildrenCount(), 1u);
}

TEST_F(ParallaxNodeTest, childKeepsItsTag)
{
    ZTParallaxNode* parallax = ZTParallaxNode::node();
    ZTNode* child = ZTNode::node();
    child->setTag(12);
    parallax->addChild(child, 3, ZTPoint(1, 1), ZTPoint(0, 0));
    EXPECT_EQ(parallax->getChildByTag(12), child);
    EXPECT_EQ(child->getZOrder(), 3);
}

TEST(ParallaxNodeDeathTest, childWithoutRatioAndOffsetIsAProgrammingError)
{
    ZTParallaxNode node;
    EXPECT_DEATH(node.addChild(ZTNode::node(), 0u, 1), "0");
}

// Pixels

TEST_F(ParallaxNodeTest, childMovesOnScreenByItsRatioOfTheNodesMovement)
{
    ZTParallaxNode* parallax = ZTParallaxNode::node();
    ZTLayerColor* square = ZTLayerColor::layerWithColorWidthHeight(ztColor4B{255, 0, 0, 255}, 10, 10);
    parallax->addChild(square, 0, ZTPoint(0.5f, 0.5f), ZTPoint(20, 20));
    parallax->visit();
    EXPECT_EQ(SpriteScene::rgb(25, 25), (std::array<int, 3>{255, 0, 0}));

    // The node moves 40 to the right; the child follows by half of it.
    parallax->setPosition(ZTPoint(40, 0));
    m_scene.clear();
    parallax->visit();
    EXPECT_EQ(SpriteScene::rgb(25, 25), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(SpriteScene::rgb(45, 25), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(SpriteScene::rgb(39, 25), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(SpriteScene::rgb(65, 25), (std::array<int, 3>{0, 0, 0}));
}
