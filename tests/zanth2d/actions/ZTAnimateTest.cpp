#include <gtest/gtest.h>

#include "../sprite_nodes/SpriteScene.h"
#include "actions/ZTActionInterval.h"
#include "actions/ZTActionManager.h"
#include "actions/ZTAnimate.h"
#include "actions/ZTFlipX.h"
#include "actions/ZTFlipY.h"
#include "sprite_nodes/ZTAnimation.h"
#include "sprite_nodes/ZTSprite.h"
#include "sprite_nodes/ZTSpriteFrame.h"
#include "textures/ZTTexture2D.h"

using namespace zanth2d;

namespace {

class ZTAnimateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_texture = ZTTextureCache::sharedTextureCache()->addImage(writeQuadrantPng(m_dir).c_str());
        ASSERT_NE(m_texture, nullptr);
        m_sprite = ZTSprite::spriteWithTexture(m_texture, ZTRect(0, 0, 32, 32));
        m_animation = ZTAnimation::animation();
        for (int i = 0; i < 4; ++i) {
            m_animation->addFrameWithTexture(m_texture, ZTRect(i * 8.0f, 0, 8, 8));
        }
        m_animation->setDelay(0.1f);
    }

    // Index of the animation frame the sprite shows, or -1.
    int shownFrame()
    {
        for (unsigned int i = 0; i < m_animation->getFrames()->count(); ++i) {
            if (m_sprite->isFrameDisplayed(m_animation->getFrames()->getObjectAtIndex(i))) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }

    SpriteScene m_scene;
    FixtureDir m_dir;
    ZTTexture2D* m_texture = nullptr;
    ZTSprite* m_sprite = nullptr;
    ZTAnimation* m_animation = nullptr;
};

} // namespace

TEST_F(ZTAnimateTest, framesFollowTheElapsedTimeInSixtyMillisecondTicks)
{
    ZTAnimate* animate = ZTAnimate::actionWithAnimation(m_animation);
    EXPECT_NEAR(animate->getDuration(), 0.4f, 1e-6f);
    animate->startWithTarget(m_sprite);
    // The first step shows frame 0 and uses no time; then 0.06 s a step: elapsed 0.06, 0.12, ... 0.42.
    std::vector<int> shown;
    for (int step = 0; step < 8 && !animate->isDone(); ++step) {
        animate->step(0.06f);
        shown.push_back(shownFrame());
    }
    // Five float ticks of 0.06 add up to just under 0.3 s, so the sixth step still shows frame 2.
    EXPECT_EQ(shown, (std::vector<int>{0, 0, 1, 1, 2, 2, 3, 3}));
    EXPECT_TRUE(animate->isDone());
    animate->stop();
    EXPECT_TRUE(ZTRect::ZTRectEqualToRect(m_sprite->getTextureRect(), ZTRect(0, 0, 32, 32)));
    EXPECT_EQ(shownFrame(), -1);
}

TEST_F(ZTAnimateTest, frameBoundariesTruncate)
{
    ZTAnimate* animate = ZTAnimate::actionWithAnimation(m_animation, false);
    animate->startWithTarget(m_sprite);
    animate->update(0.24f);
    EXPECT_EQ(shownFrame(), 0);
    animate->update(0.25f);
    EXPECT_EQ(shownFrame(), 1);
    animate->update(1.0f);
    EXPECT_EQ(shownFrame(), 3);
    animate->update(-0.5f);
    EXPECT_EQ(shownFrame(), 3);
    animate->stop();
    EXPECT_EQ(shownFrame(), 3);
}

TEST_F(ZTAnimateTest, runningThroughTheManagerRestoresTheOriginalFrameAtTheEnd)
{
    ZTActionManager* manager = ZTActionManager::sharedManager();
    manager->addAction(ZTAnimate::actionWithAnimation(m_animation), m_sprite, false);
    manager->update(0);
    EXPECT_EQ(shownFrame(), 0);
    for (int i = 0; i < 7; ++i) {
        manager->update(0.06f);
    }
    EXPECT_EQ(manager->numberOfRunningActionsInTarget(m_sprite), 0u);
    EXPECT_EQ(shownFrame(), -1);
    EXPECT_FLOAT_EQ(m_sprite->getTextureRect().size.width, 32);
}

TEST_F(ZTAnimateTest, reverseShowsCopiesOfTheFramesBackwards)
{
    ZTAnimate* animate = ZTAnimate::actionWithAnimation(m_animation, false);
    auto* reversed = static_cast<ZTAnimate*>(animate->reverse());
    ASSERT_EQ(reversed->getAnimation()->getFrames()->count(), 4u);
    ZTSpriteFrame* first = reversed->getAnimation()->getFrames()->getObjectAtIndex(0);
    EXPECT_NE(first, m_animation->getFrames()->getObjectAtIndex(3));
    EXPECT_FLOAT_EQ(first->getRect().origin.x, 24);
    EXPECT_FLOAT_EQ(reversed->getDuration(), animate->getDuration());
    EXPECT_FALSE(reversed->getRestoreOriginalFrame());
}

TEST_F(ZTAnimateTest, copySharesTheAnimation)
{
    ZTAnimate* animate = ZTAnimate::actionWithAnimation(m_animation);
    auto* copy = static_cast<ZTAnimate*>(animate->copy());
    EXPECT_EQ(copy->getAnimation(), m_animation);
    EXPECT_FLOAT_EQ(copy->getDuration(), animate->getDuration());
    EXPECT_TRUE(copy->getRestoreOriginalFrame());
    copy->release();
}

TEST_F(ZTAnimateTest, originalFrameIsKeptOnlyWhenItIsRestored)
{
    ZTAnimate* restoring = ZTAnimate::actionWithAnimation(m_animation, true);
    restoring->setOriginalFrame(m_animation->getFrames()->getObjectAtIndex(2));
    EXPECT_EQ(restoring->getOriginalFrame(), m_animation->getFrames()->getObjectAtIndex(2));
    ZTAnimate* notRestoring = ZTAnimate::actionWithAnimation(m_animation, false);
    notRestoring->setOriginalFrame(m_animation->getFrames()->getObjectAtIndex(2));
    EXPECT_EQ(notRestoring->getOriginalFrame(), nullptr);
}

TEST_F(ZTAnimateTest, repeatedAnimationRestoresAfterEveryRound)
{
    ZTRepeat* repeat = ZTRepeat::actionWithAction(ZTAnimate::actionWithAnimation(m_animation), 3);
    EXPECT_NEAR(repeat->getDuration(), 1.2f, 1e-5f);
    repeat->startWithTarget(m_sprite);
    repeat->update(0.5f);
    EXPECT_EQ(shownFrame(), 2);
    repeat->update(1.0f);
    repeat->stop();
    EXPECT_EQ(shownFrame(), -1);
}

TEST_F(ZTAnimateTest, flipActionsFlipTheSpriteAndReverseToTheOpposite)
{
    ZTFlipX* flipX = ZTFlipX::actionWithFlipX(true);
    flipX->startWithTarget(m_sprite);
    EXPECT_TRUE(m_sprite->isFlipX());
    auto* unflipX = static_cast<ZTFlipX*>(flipX->reverse());
    unflipX->startWithTarget(m_sprite);
    EXPECT_FALSE(m_sprite->isFlipX());

    ZTFlipY* flipY = ZTFlipY::actionWithFlipY(true);
    auto* copy = static_cast<ZTFlipY*>(flipY->copy());
    EXPECT_TRUE(copy->getFlipY());
    copy->startWithTarget(m_sprite);
    EXPECT_TRUE(m_sprite->isFlipY());
    copy->release();
    static_cast<ZTFlipY*>(flipY->reverse())->startWithTarget(m_sprite);
    EXPECT_FALSE(m_sprite->isFlipY());
}
