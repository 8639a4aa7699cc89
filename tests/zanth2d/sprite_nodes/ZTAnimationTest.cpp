#include <gtest/gtest.h>

#include "SpriteScene.h"
#include "sprite_nodes/ZTAnimation.h"
#include "sprite_nodes/ZTAnimationCache.h"
#include "sprite_nodes/ZTSpriteFrame.h"
#include "textures/ZTTexture2D.h"

using namespace zanth2d;

namespace {

class ZTAnimationTest : public ::testing::Test
{
protected:
    void SetUp() override { m_png = writeQuadrantPng(m_dir); }
    void TearDown() override { ZTAnimationCache::purgeSharedAnimationCache(); }

    ZTSpriteFrame* frame(float x)
    {
        ZTTexture2D* texture = ZTTextureCache::sharedTextureCache()->addImage(m_png.c_str());
        return ZTSpriteFrame::frameWithTexture(texture, ZTRect(x, 0, 1, 1));
    }

    SpriteScene m_scene;
    FixtureDir m_dir;
    std::string m_png;
};

} // namespace

TEST_F(ZTAnimationTest, nullFramesGiveAnEmptyAnimationWithTheDelay)
{
    ZTAnimation* animation = ZTAnimation::animationWithFrames(nullptr, 0.1f);
    EXPECT_EQ(animation->getFrames()->count(), 0u);
    EXPECT_FLOAT_EQ(animation->getDelay(), 0.1f);
}

TEST_F(ZTAnimationTest, animationKeepsItsOwnFrameList)
{
    auto* frames = new ZTAnimation::FrameArray();
    frames->addObject(frame(0));
    frames->addObject(frame(1));
    ZTAnimation* animation = ZTAnimation::animationWithFrames(frames, 0.2f);
    frames->removeAllObjects();
    frames->release();
    ASSERT_EQ(animation->getFrames()->count(), 2u);
    EXPECT_FLOAT_EQ(animation->getFrames()->getObjectAtIndex(1)->getRect().origin.x, 1);
}

TEST_F(ZTAnimationTest, framesAddedFromImagesAndTexturesAppendInOrder)
{
    ZTAnimation* animation = ZTAnimation::animation();
    animation->addFrame(nullptr);
    animation->addFrameWithFileName(m_png.c_str());
    animation->addFrameWithFileName("/nonexistent.png");
    ZTTexture2D* texture = ZTTextureCache::sharedTextureCache()->addImage(m_png.c_str());
    animation->addFrameWithTexture(texture, ZTRect(0, 0, 8, 8));
    ASSERT_EQ(animation->getFrames()->count(), 2u);
    EXPECT_FLOAT_EQ(animation->getFrames()->getObjectAtIndex(0)->getRect().size.width, 32);
    EXPECT_FLOAT_EQ(animation->getFrames()->getObjectAtIndex(1)->getRect().size.width, 8);
}

TEST_F(ZTAnimationTest, cacheKeepsTheFirstAnimationUnderAName)
{
    ZTAnimationCache* cache = ZTAnimationCache::sharedAnimationCache();
    ZTAnimation* first = ZTAnimation::animation();
    cache->addAnimation(first, "walk");
    cache->addAnimation(ZTAnimation::animation(), "walk");
    EXPECT_EQ(cache->animationByName("walk"), first);
    EXPECT_EQ(cache->animationByName("run"), nullptr);
    cache->removeAnimationByName(nullptr);
    cache->removeAnimationByName("walk");
    EXPECT_EQ(cache->animationByName("walk"), nullptr);
}

TEST_F(ZTAnimationTest, directorPurgeReleasesTheCaches)
{
    ZTAnimation* animation = ZTAnimation::animation();
    animation->retain();
    ZTAnimationCache::sharedAnimationCache()->addAnimation(animation, "walk");
    EXPECT_EQ(animation->retainCount(), 3u);
    ZTDirector::sharedDirector()->resetDirector();
    EXPECT_EQ(animation->retainCount(), 2u);
    EXPECT_EQ(ZTAnimationCache::sharedAnimationCache()->animationByName("walk"), nullptr);
    animation->release();
}
