#include <gtest/gtest.h>

#include <cstdlib>

#include "SpriteScene.h"
#include "cocoa/ZTArray.h"
#include "sprite_nodes/ZTSprite.h"
#include "sprite_nodes/ZTSpriteBatchNode.h"
#include "textures/ZTTexture2D.h"
#include "textures/ZTTextureAtlas.h"
#include "textures/ZTTextureCache.h"

using namespace zanth2d;

namespace {

class ZTSpriteBatchNodeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_texture = ZTTextureCache::sharedTextureCache()->addImage(writeQuadrantPng(m_dir).c_str());
        ASSERT_NE(m_texture, nullptr);
    }

    // Sprite i of a fixed arrangement: positions, rotations, scales, flips and tints that differ.
    ZTSprite* arrangedSprite(int i)
    {
        ZTSprite* sprite = ZTSprite::spriteWithTexture(m_texture);
        sprite->setPosition(ZTPoint(20.0f + (i % 6) * 40.0f, 20.0f + (i / 6) * 45.0f));
        sprite->setRotation(i * 13.0f);
        sprite->setScale(0.6f + (i % 4) * 0.2f);
        sprite->setFlipX(i % 3 == 0);
        sprite->setFlipY(i % 5 == 0);
        if (i % 2) {
            sprite->setColor(ztColor3B{255, static_cast<GLubyte>(i * 8), 200});
        }
        return sprite;
    }

    // The atlas invariant: descendant k has atlas index k.
    void expectIndicesInOrder(ZTSpriteBatchNode* batch)
    {
        ZTArray* descendants = batch->getDescendants();
        for (unsigned int k = 0; k < descendants->count(); ++k) {
            EXPECT_EQ(static_cast<ZTSprite*>(descendants->objectAtIndex(k))->getAtlasIndex(), k);
        }
        EXPECT_EQ(batch->getTextureAtlas()->getTotalQuads(), descendants->count());
    }

    SpriteScene m_scene;
    FixtureDir m_dir;
    ZTTexture2D* m_texture = nullptr;
};

} // namespace

TEST_F(ZTSpriteBatchNodeTest, thirtySpritesInABatchLookLikeTheSameSpritesDrawnAlone)
{
    ZTNode* plain = ZTNode::node();
    for (int i = 0; i < 30; ++i) {
        plain->addChild(arrangedSprite(i), i);
    }
    m_scene.clear();
    plain->visit();
    const std::vector<unsigned char> alone = m_scene.frame();

    ZTSpriteBatchNode* batch = ZTSpriteBatchNode::batchNodeWithTexture(m_texture);
    for (int i = 0; i < 30; ++i) {
        batch->addChild(arrangedSprite(i), i);
    }
    m_scene.clear();
    batch->visit();
    const std::vector<unsigned char> batched = m_scene.frame();

    ASSERT_EQ(alone.size(), batched.size());
    size_t lit = 0;
    size_t differing = 0;
    for (size_t i = 0; i < alone.size(); ++i) {
        lit += alone[i] > 0;
        differing += std::abs(alone[i] - batched[i]) > 2;
    }
    EXPECT_GT(lit, 10000u);
    EXPECT_EQ(differing, 0u);
}

TEST_F(ZTSpriteBatchNodeTest, atlasGrowsByAThirdWhenFull)
{
    ZTSpriteBatchNode* batch = ZTSpriteBatchNode::batchNodeWithTexture(m_texture);
    EXPECT_EQ(batch->getTextureAtlas()->getCapacity(), kDefaultSpriteBatchCapacity);
    for (int i = 0; i < 29; ++i) {
        batch->addChild(ZTSprite::spriteWithTexture(m_texture));
    }
    EXPECT_EQ(batch->getTextureAtlas()->getCapacity(), 29u);
    batch->addChild(ZTSprite::spriteWithTexture(m_texture));
    EXPECT_EQ(batch->getTextureAtlas()->getCapacity(), 40u);
    for (int i = 30; i < 41; ++i) {
        batch->addChild(ZTSprite::spriteWithTexture(m_texture));
    }
    EXPECT_EQ(batch->getTextureAtlas()->getCapacity(), 54u);
    expectIndicesInOrder(batch);
}

TEST_F(ZTSpriteBatchNodeTest, insertingAtTheFrontRenumbersEveryLaterSprite)
{
    ZTSpriteBatchNode* batch = ZTSpriteBatchNode::batchNodeWithTexture(m_texture);
    ZTSprite* first = ZTSprite::spriteWithTexture(m_texture);
    ZTSprite* second = ZTSprite::spriteWithTexture(m_texture);
    batch->addChild(first, 0);
    batch->addChild(second, 1);
    ZTSprite* front = ZTSprite::spriteWithTexture(m_texture);
    batch->addChild(front, -1);
    EXPECT_EQ(front->getAtlasIndex(), 0u);
    EXPECT_EQ(first->getAtlasIndex(), 1u);
    EXPECT_EQ(second->getAtlasIndex(), 2u);
    expectIndicesInOrder(batch);
}

TEST_F(ZTSpriteBatchNodeTest, spriteChildrenSortAroundTheirParentByZ)
{
    ZTSpriteBatchNode* batch = ZTSpriteBatchNode::batchNodeWithTexture(m_texture);
    for (int i = 0; i < 3; ++i) {
        batch->addChild(ZTSprite::spriteWithTexture(m_texture), i);
    }
    ZTSprite* parent = ZTSprite::spriteWithTexture(m_texture);
    ZTSprite* below = ZTSprite::spriteWithTexture(m_texture);
    ZTSprite* above = ZTSprite::spriteWithTexture(m_texture);
    parent->addChild(below, -1);
    parent->addChild(above, 1);
    batch->addChild(parent, 3);
    EXPECT_EQ(below->getAtlasIndex(), 3u);
    EXPECT_EQ(parent->getAtlasIndex(), 4u);
    EXPECT_EQ(above->getAtlasIndex(), 5u);
    expectIndicesInOrder(batch);

    batch->removeChild(parent, true);
    EXPECT_EQ(batch->getTextureAtlas()->getTotalQuads(), 3u);
    EXPECT_FALSE(parent->isUsesBatchNode());
    EXPECT_FALSE(below->isUsesBatchNode());
    expectIndicesInOrder(batch);
}

TEST_F(ZTSpriteBatchNodeTest, unchangedSpriteLeavesItsQuadAlone)
{
    ZTSpriteBatchNode* batch = ZTSpriteBatchNode::batchNodeWithTexture(m_texture);
    ZTSprite* sprite = ZTSprite::spriteWithTexture(m_texture);
    sprite->setPosition(ZTPoint(50, 50));
    batch->addChild(sprite);
    batch->visit();
    EXPECT_FALSE(sprite->isDirty());
    EXPECT_FALSE(batch->getTextureAtlas()->isDirty());
    batch->visit();
    EXPECT_FALSE(batch->getTextureAtlas()->isDirty());
    sprite->setPosition(ZTPoint(60, 50));
    EXPECT_TRUE(sprite->isDirty());
    batch->draw();
    EXPECT_FLOAT_EQ(batch->getTextureAtlas()->getQuads()[0].bl.vertices.x, 44);
}

TEST_F(ZTSpriteBatchNodeTest, hiddenSpriteCollapsesItsQuadAndComesBackWhenShown)
{
    ZTSpriteBatchNode* batch = ZTSpriteBatchNode::batchNodeWithTexture(m_texture);
    ZTSprite* sprite = ZTSprite::spriteWithTexture(m_texture);
    sprite->setPosition(ZTPoint(50, 50));
    batch->addChild(sprite);
    batch->visit();
    sprite->setIsVisible(false);
    batch->visit();
    const ztV3F_C4B_T2F_Quad& quad = batch->getTextureAtlas()->getQuads()[0];
    for (const ztV3F_C4B_T2F* v : {&quad.tl, &quad.bl, &quad.tr, &quad.br}) {
        EXPECT_FLOAT_EQ(v->vertices.x, 0);
        EXPECT_FLOAT_EQ(v->vertices.y, 0);
        EXPECT_FLOAT_EQ(v->vertices.z, 0);
    }
    sprite->setIsVisible(true);
    batch->visit();
    EXPECT_FLOAT_EQ(batch->getTextureAtlas()->getQuads()[0].tr.vertices.x, 66);
}

TEST_F(ZTSpriteBatchNodeTest, quadWithOnlyItsBottomRightAtTheOriginIsStillCollapsedWhenHidden)
{
    ZTSpriteBatchNode* batch = ZTSpriteBatchNode::batchNodeWithTexture(m_texture);
    ZTSprite* sprite = ZTSprite::spriteWithTexture(m_texture);
    // Anchored at its bottom right corner at (0, 0): br is (0, 0, 0) but the other corners are not.
    sprite->setAnchorPoint(ZTPoint(1, 0));
    batch->addChild(sprite);
    batch->visit();
    const ztV3F_C4B_T2F_Quad& quad = batch->getTextureAtlas()->getQuads()[0];
    ASSERT_FLOAT_EQ(quad.br.vertices.x, 0);
    ASSERT_FLOAT_EQ(quad.br.vertices.y, 0);
    ASSERT_FLOAT_EQ(quad.tl.vertices.x, -32);

    sprite->setIsVisible(false);
    batch->visit();
    EXPECT_FLOAT_EQ(quad.tl.vertices.x, 0);
    EXPECT_FLOAT_EQ(quad.tl.vertices.y, 0);
    EXPECT_FLOAT_EQ(quad.tr.vertices.y, 0);
}

TEST_F(ZTSpriteBatchNodeTest, hidingAParentCollapsesItsBatchedChildren)
{
    ZTSpriteBatchNode* batch = ZTSpriteBatchNode::batchNodeWithTexture(m_texture);
    ZTNode* holder = ZTNode::node();
    holder->setPosition(ZTPoint(40, 40));
    ZTSprite* sprite = ZTSprite::spriteWithTexture(m_texture);
    holder->addChild(sprite);
    batch->insertChild(sprite, 0);
    holder->visit();
    batch->visit();
    // Under a holder that is not the batch node the quad follows the cached world transform.
    EXPECT_FLOAT_EQ(batch->getTextureAtlas()->getQuads()[0].bl.vertices.x, 24);

    holder->setPosition(ZTPoint(50, 40));
    holder->visit();
    batch->visit();
    EXPECT_FLOAT_EQ(batch->getTextureAtlas()->getQuads()[0].bl.vertices.x, 34);

    holder->setIsVisible(false);
    batch->visit();
    EXPECT_FLOAT_EQ(batch->getTextureAtlas()->getQuads()[0].bl.vertices.x, 0);
    EXPECT_FLOAT_EQ(batch->getTextureAtlas()->getQuads()[0].tr.vertices.y, 0);
}

TEST_F(ZTSpriteBatchNodeTest, spriteOutlivingItsBatchNodeDrawsItselfAgain)
{
    auto* batch = new ZTSpriteBatchNode();
    ASSERT_TRUE(batch->initWithTexture(m_texture, 4));
    ZTNode* holder = ZTNode::node();
    ZTSprite* sprite = ZTSprite::spriteWithTexture(m_texture);
    sprite->setPosition(ZTPoint(100, 100));
    holder->addChild(sprite);
    batch->insertChild(sprite, 0);
    batch->release();
    EXPECT_FALSE(sprite->isUsesBatchNode());
    sprite->setColor(ztColor3B{255, 0, 0});
    m_scene.clear();
    holder->visit();
    EXPECT_EQ(SpriteScene::rgb(90, 110)[0], 255);
}

TEST_F(ZTSpriteBatchNodeTest, removingAllChildrenFreesSpritesInsertedUnderOtherParentsToo)
{
    auto* batch = new ZTSpriteBatchNode();
    ASSERT_TRUE(batch->initWithTexture(m_texture, 4));
    batch->addChild(ZTSprite::spriteWithTexture(m_texture));
    ZTNode* holder = ZTNode::node();
    ZTSprite* elsewhere = ZTSprite::spriteWithTexture(m_texture);
    elsewhere->setPosition(ZTPoint(100, 100));
    holder->addChild(elsewhere);
    batch->insertChild(elsewhere, 1);
    batch->removeAllChildrenWithCleanup(true);
    EXPECT_FALSE(elsewhere->isUsesBatchNode());
    EXPECT_EQ(elsewhere->getTextureAtlas(), nullptr);
    EXPECT_EQ(batch->getTextureAtlas()->getTotalQuads(), 0u);
    batch->release();
    // Through the freed atlas, under the sanitizers, were it still held.
    elsewhere->setColor(ztColor3B{255, 0, 0});
    m_scene.clear();
    holder->visit();
    EXPECT_EQ(SpriteScene::rgb(90, 110)[0], 255);
}

TEST_F(ZTSpriteBatchNodeTest, plainNodesUnderASpriteGetNoQuadAndNoPlaceInTheAtlas)
{
    ZTSpriteBatchNode* batch = ZTSpriteBatchNode::batchNodeWithTexture(m_texture);
    batch->addChild(ZTSprite::spriteWithTexture(m_texture));
    // A self-drawn sprite that already holds plain nodes beside its sprite children, inserted whole.
    ZTNode* holder = ZTNode::node();
    ZTSprite* parent = ZTSprite::spriteWithTexture(m_texture);
    ZTSprite* below = ZTSprite::spriteWithTexture(m_texture);
    ZTSprite* above = ZTSprite::spriteWithTexture(m_texture);
    ZTNode* plainBelow = ZTNode::node();
    ZTNode* plainLast = ZTNode::node();
    plainLast->addChild(ZTSprite::spriteWithTexture(m_texture));
    parent->addChild(plainBelow, -2);
    parent->addChild(below, -1);
    parent->addChild(above, 1);
    parent->addChild(plainLast, 2);
    holder->addChild(parent);
    batch->insertChild(parent, 1);
    EXPECT_EQ(below->getAtlasIndex(), 1u);
    EXPECT_EQ(parent->getAtlasIndex(), 2u);
    EXPECT_EQ(above->getAtlasIndex(), 3u);
    EXPECT_EQ(batch->highestAtlasIndexInChild(parent), 3u);
    EXPECT_EQ(batch->lowestAtlasIndexInChild(parent), 1u);
    EXPECT_EQ(batch->rebuildIndexInOrder(parent, 1), 4u);
    expectIndicesInOrder(batch);

    batch->removeSpriteFromAtlas(parent);
    EXPECT_EQ(batch->getTextureAtlas()->getTotalQuads(), 1u);
    expectIndicesInOrder(batch);
}

TEST_F(ZTSpriteBatchNodeTest, plainChildrenOfABatchedSpriteAreReorderedAndRemovedLikeAnyChild)
{
    ZTSpriteBatchNode* batch = ZTSpriteBatchNode::batchNodeWithTexture(m_texture);
    ZTSprite* parent = ZTSprite::spriteWithTexture(m_texture);
    ZTSprite* sprite = ZTSprite::spriteWithTexture(m_texture);
    ZTNode* plain = ZTNode::node();
    ZTNode* other = ZTNode::node();
    parent->addChild(plain, 1);
    parent->addChild(other, 2);
    parent->addChild(sprite, 3);
    batch->addChild(parent);
    ASSERT_TRUE(parent->isUsesBatchNode());

    parent->reorderChild(plain, 5);
    EXPECT_EQ(parent->getChildren()->lastObject(), plain);
    EXPECT_EQ(plain->getZOrder(), 5);
    EXPECT_EQ(plain->getParent(), parent);
    parent->reorderChild(sprite, -1);
    EXPECT_EQ(parent->getChildren()->objectAtIndex(0), sprite);
    EXPECT_EQ(sprite->getAtlasIndex(), 0u);
    EXPECT_EQ(parent->getAtlasIndex(), 1u);
    expectIndicesInOrder(batch);

    parent->removeChild(other, true);
    EXPECT_EQ(other->getParent(), nullptr);
    parent->removeAllChildrenWithCleanup(true);
    EXPECT_EQ(parent->getChildrenCount(), 0u);
    EXPECT_FALSE(sprite->isUsesBatchNode());
    expectIndicesInOrder(batch);
    batch->reorderChild(parent, 4);
    EXPECT_EQ(parent->getZOrder(), 4);
    expectIndicesInOrder(batch);
}

TEST_F(ZTSpriteBatchNodeTest, aSpriteInsertedAgainOrIntoAnotherBatchNodeKeepsOneQuadInOneAtlas)
{
    auto* first = new ZTSpriteBatchNode();
    ASSERT_TRUE(first->initWithTexture(m_texture, 4));
    auto* second = new ZTSpriteBatchNode();
    ASSERT_TRUE(second->initWithTexture(m_texture, 4));
    first->addChild(ZTSprite::spriteWithTexture(m_texture));
    ZTNode* holder = ZTNode::node();
    ZTSprite* sprite = ZTSprite::spriteWithTexture(m_texture);
    holder->addChild(sprite);
    first->insertChild(sprite, 0);
    first->insertChild(sprite, 1);
    EXPECT_EQ(first->getDescendants()->count(), 2u);
    EXPECT_EQ(sprite->getAtlasIndex(), 1u);
    expectIndicesInOrder(first);

    // Counted with the sprite in place: one past the end once it has left.
    second->insertChild(sprite, 0);
    second->insertChild(sprite, 1);
    EXPECT_EQ(sprite->getAtlasIndex(), 0u);
    EXPECT_EQ(sprite->getSpriteBatchNode(), second);
    EXPECT_EQ(first->getDescendants()->count(), 1u);
    expectIndicesInOrder(first);
    expectIndicesInOrder(second);
    first->visit();
    second->visit();
    // Neither batch node may leave the sprite holding its atlas when it goes.
    first->release();
    EXPECT_EQ(sprite->getSpriteBatchNode(), second);
    second->release();
    EXPECT_FALSE(sprite->isUsesBatchNode());
    sprite->setColor(ztColor3B{255, 0, 0});
}

TEST_F(ZTSpriteBatchNodeTest, emptyBatchDrawsNothing)
{
    ZTSpriteBatchNode* batch = ZTSpriteBatchNode::batchNodeWithTexture(m_texture);
    batch->setDrawsSpriteOutlines(true);
    m_scene.clear();
    batch->visit();
    for (unsigned char c : m_scene.frame()) {
        ASSERT_EQ(c, 0);
    }
}

TEST_F(ZTSpriteBatchNodeTest, outlinesAreADebuggingAidThatIsOffByDefault)
{
    ZTSpriteBatchNode* batch = ZTSpriteBatchNode::batchNodeWithTexture(m_texture);
    EXPECT_FALSE(batch->getDrawsSpriteOutlines());
    ZTSprite* sprite = ZTSprite::spriteWithTexture(m_texture);
    sprite->setPosition(ZTPoint(100, 100));
    sprite->setOpacity(0);
    batch->addChild(sprite);
    m_scene.clear();
    batch->visit();
    EXPECT_EQ(SpriteScene::rgb(84, 100)[0] + SpriteScene::rgb(84, 100)[1], 0);

    batch->setDrawsSpriteOutlines(true);
    glColor4ub(255, 255, 255, 255);
    m_scene.clear();
    batch->visit();
    bool outlined = false;
    for (int x = 83; x <= 85; ++x) {
        outlined = outlined || SpriteScene::rgb(x, 100)[1] > 0;
    }
    EXPECT_TRUE(outlined);
}

TEST_F(ZTSpriteBatchNodeTest, missingImageGivesNoBatchNode)
{
    EXPECT_EQ(ZTSpriteBatchNode::batchNodeWithFile("/nonexistent/sheet.png"), nullptr);
}
