#include <gtest/gtest.h>

#include "SpriteScene.h"
#include "cocoa/ZTGeometry.h"
#include "sprite_nodes/ZTSprite.h"
#include "sprite_nodes/ZTSpriteFrame.h"
#include "sprite_nodes/ZTSpriteFrameCache.h"
#include "textures/ZTTexture2D.h"

using namespace zanth2d;

namespace {

class ZTSpriteFrameCacheTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(writeQuadrantPng(m_dir, "ships.png").empty());
        m_cache = ZTSpriteFrameCache::sharedSpriteFrameCache();
    }

    void TearDown() override { ZTSpriteFrameCache::purgeSharedSpriteFrameCache(); }

    // Writes name.plist with plistlib from a Python literal for its root dictionary.
    std::string writeSheet(const std::string& name, const std::string& root)
    {
        EXPECT_TRUE(m_dir.python("import plistlib\nplistlib.dump(" + root + ", open('" + name + "', 'wb'))\n"));
        return m_dir.path(name);
    }

    void expectFrame(const char* name, ZTRect rect, bool rotated, ZTPoint offset, ZTSize original)
    {
        SCOPED_TRACE(name);
        ZTSpriteFrame* frame = m_cache->spriteFrameByName(name);
        ASSERT_NE(frame, nullptr);
        EXPECT_TRUE(ZTRect::ZTRectEqualToRect(frame->getRectInPixels(), rect));
        EXPECT_EQ(frame->isRotated(), rotated);
        EXPECT_FLOAT_EQ(frame->getOffsetInPixels().x, offset.x);
        EXPECT_FLOAT_EQ(frame->getOffsetInPixels().y, offset.y);
        EXPECT_FLOAT_EQ(frame->getOriginalSizeInPixels().width, original.width);
        EXPECT_FLOAT_EQ(frame->getOriginalSizeInPixels().height, original.height);
        ASSERT_NE(frame->getTexture(), nullptr);
        EXPECT_EQ(frame->getTexture()->getPixelsWide(), 32u);
    }

    SpriteScene m_scene;
    FixtureDir m_dir;
    ZTSpriteFrameCache* m_cache = nullptr;
};

} // namespace

TEST_F(ZTSpriteFrameCacheTest, formatZeroReadsNumbersAndTakesAbsoluteOriginalSizes)
{
    m_cache->addSpriteFramesWithFile(writeSheet("ships.plist", R"({
        'frames': {'a.png': {'x': 1, 'y': 2, 'width': 10, 'height': 12, 'offsetX': 1.5, 'offsetY': -2,
                             'originalWidth': -32, 'originalHeight': 20}}})").c_str());
    expectFrame("a.png", ZTRect(1, 2, 10, 12), false, ZTPoint(1.5f, -2), ZTSize(32, 20));
}

TEST_F(ZTSpriteFrameCacheTest, formatsOneAndTwoReadBraceStringsAndTheRotatedFlag)
{
    m_cache->addSpriteFramesWithFile(writeSheet("one.plist", R"({
        'metadata': {'format': 1, 'textureFileName': 'ships.png'},
        'frames': {'b.png': {'frame': '{{0,0},{16,8}}', 'offset': '{1,1}', 'sourceSize': '{18,10}',
                             'rotated': True}}})").c_str());
    m_cache->addSpriteFramesWithFile(writeSheet("two.plist", R"({
        'metadata': {'format': 2, 'textureFileName': 'ships.png'},
        'frames': {'c.png': {'frame': '{{16,0},{8,16}}', 'offset': '{0,-1}', 'sourceSize': '{8,18}',
                             'rotated': True},
                   'd.png': {'frame': '{{0,16},{4,4}}', 'offset': '{0,0}', 'sourceSize': '{4,4}',
                             'rotated': False}}})").c_str());
    // Format 1 has no rotation.
    expectFrame("b.png", ZTRect(0, 0, 16, 8), false, ZTPoint(1, 1), ZTSize(18, 10));
    expectFrame("c.png", ZTRect(16, 0, 8, 16), true, ZTPoint(0, -1), ZTSize(8, 18));
    expectFrame("d.png", ZTRect(0, 16, 4, 4), false, ZTPoint(0, 0), ZTSize(4, 4));
}

TEST_F(ZTSpriteFrameCacheTest, formatThreeTakesItsSizeFromSpriteSizeAndRegistersAliases)
{
    m_cache->addSpriteFramesWithFile(writeSheet("three.plist", R"({
        'metadata': {'format': 3, 'textureFileName': 'ships.png'},
        'frames': {'e.png': {'spriteSize': '{10,6}', 'spriteOffset': '{2,3}', 'spriteSourceSize': '{14,12}',
                             'textureRect': '{{4,5},{99,99}}', 'textureRotated': True,
                             'aliases': ['hero', 'player']},
                   'f.png': {'spriteSize': '{3,3}', 'spriteOffset': '{0,0}', 'spriteSourceSize': '{3,3}',
                             'textureRect': '{{0,0},{3,3}}', 'textureRotated': False}}})").c_str());
    expectFrame("e.png", ZTRect(4, 5, 10, 6), true, ZTPoint(2, 3), ZTSize(14, 12));
    EXPECT_EQ(m_cache->spriteFrameByName("hero"), m_cache->spriteFrameByName("e.png"));
    EXPECT_EQ(m_cache->spriteFrameByName("player"), m_cache->spriteFrameByName("e.png"));
    EXPECT_EQ(m_cache->getAliasCount(), 2u);
    expectFrame("f.png", ZTRect(0, 0, 3, 3), false, ZTPoint(0, 0), ZTSize(3, 3));
}

TEST_F(ZTSpriteFrameCacheTest, listWithoutMetadataLoadsTheImageOfTheSameName)
{
    m_cache->addSpriteFramesWithFile(writeSheet("ships.plist", R"({
        'frames': {'g.png': {'x': 0, 'y': 0, 'width': 4, 'height': 4, 'originalWidth': 4, 'originalHeight': 4}}})").c_str());
    ASSERT_NE(m_cache->spriteFrameByName("g.png"), nullptr);
}

TEST_F(ZTSpriteFrameCacheTest, badSheetsAddNothing)
{
    m_cache->addSpriteFramesWithFile(writeSheet("four.plist", R"({
        'metadata': {'format': 4, 'textureFileName': 'ships.png'},
        'frames': {'h.png': {'x': 0}}})").c_str());
    m_cache->addSpriteFramesWithFile(writeSheet("neg.plist", R"({
        'metadata': {'format': 0, 'textureFileName': 'ships.png'},
        'frames': {'i.png': {'x': 0, 'y': 0, 'width': -4, 'height': 4}}})").c_str());
    m_cache->addSpriteFramesWithFile(writeSheet("noimage.plist", R"({
        'metadata': {'format': 0, 'textureFileName': 'missing.png'},
        'frames': {'j.png': {'x': 0, 'y': 0, 'width': 4, 'height': 4}}})").c_str());
    m_dir.write("broken.plist", "<plist><dict><key>frames</key>");
    m_cache->addSpriteFramesWithFile(m_dir.path("broken.plist").c_str());
    m_cache->addSpriteFramesWithFile(m_dir.path("absent.plist").c_str());
    EXPECT_EQ(m_cache->getFrameCount(), 0u);
}

TEST_F(ZTSpriteFrameCacheTest, firstFrameUnderANameStays)
{
    ZTTexture2D* texture = ZTTextureCache::sharedTextureCache()->addImage(m_dir.path("ships.png").c_str());
    ZTSpriteFrame* first = ZTSpriteFrame::frameWithTexture(texture, ZTRect(0, 0, 1, 1));
    m_cache->addSpriteFrame(first, "x");
    m_cache->addSpriteFrame(ZTSpriteFrame::frameWithTexture(texture, ZTRect(0, 0, 2, 2)), "x");
    EXPECT_EQ(m_cache->spriteFrameByName("x"), first);
    EXPECT_EQ(m_cache->spriteFrameByName("y"), nullptr);
}

TEST_F(ZTSpriteFrameCacheTest, unusedFramesGoAndHeldOnesStay)
{
    ZTTexture2D* texture = ZTTextureCache::sharedTextureCache()->addImage(m_dir.path("ships.png").c_str());
    auto* held = new ZTSpriteFrame();
    held->initWithTexture(texture, ZTRect(0, 0, 4, 4));
    auto* unused = new ZTSpriteFrame();
    unused->initWithTexture(texture, ZTRect(4, 4, 4, 4));
    m_cache->addSpriteFrame(held, "held");
    m_cache->addSpriteFrame(unused, "unused");
    unused->release();
    m_cache->removeUnusedSpriteFrames();
    EXPECT_EQ(m_cache->spriteFrameByName("held"), held);
    EXPECT_EQ(m_cache->spriteFrameByName("unused"), nullptr);
    held->release();
}

TEST_F(ZTSpriteFrameCacheTest, removingByAliasTakesTheFrameAndTheAlias)
{
    const std::string sheet = writeSheet("three.plist", R"({
        'metadata': {'format': 3, 'textureFileName': 'ships.png'},
        'frames': {'e.png': {'spriteSize': '{1,1}', 'textureRect': '{{0,0},{1,1}}', 'aliases': ['hero']},
                   'f.png': {'spriteSize': '{1,1}', 'textureRect': '{{0,0},{1,1}}'}}})");
    m_cache->addSpriteFramesWithFile(sheet.c_str());
    m_cache->removeSpriteFrameByName("hero");
    EXPECT_EQ(m_cache->spriteFrameByName("e.png"), nullptr);
    EXPECT_EQ(m_cache->getAliasCount(), 0u);

    m_cache->addSpriteFramesWithFile(sheet.c_str());
    m_cache->removeSpriteFramesFromFile(sheet.c_str());
    EXPECT_EQ(m_cache->getFrameCount(), 0u);
    m_cache->removeSpriteFrameByName(nullptr);
}

TEST_F(ZTSpriteFrameCacheTest, framesOfATextureAreRemovedWithIt)
{
    ZTTexture2D* texture = ZTTextureCache::sharedTextureCache()->addImage(m_dir.path("ships.png").c_str());
    m_cache->addSpriteFrame(ZTSpriteFrame::frameWithTexture(texture, ZTRect(0, 0, 1, 1)), "a");
    m_cache->addSpriteFrame(ZTSpriteFrame::frameWithTexture(texture, ZTRect(1, 0, 1, 1)), "b");
    m_cache->removeSpriteFramesFromTexture(texture);
    EXPECT_EQ(m_cache->getFrameCount(), 0u);
}

TEST_F(ZTSpriteFrameCacheTest, pointAndPixelFormsFollowTheContentScaleFactor)
{
    ZTTexture2D* texture = ZTTextureCache::sharedTextureCache()->addImage(m_dir.path("ships.png").c_str());
    ZTDirector::sharedDirector()->setContentScaleFactor(2);
    ZTSpriteFrame* inPoints = ZTSpriteFrame::frameWithTexture(texture, ZTRect(10, 10, 20, 20));
    ZTSpriteFrame* inPixels = ZTSpriteFrame::frameWithTexture(texture, ZTRect(10, 10, 20, 20), false, ZTPointZero, ZTSize(20, 20));
    ZTDirector::sharedDirector()->setContentScaleFactor(1);
    EXPECT_TRUE(ZTRect::ZTRectEqualToRect(inPoints->getRectInPixels(), ZTRect(20, 20, 40, 40)));
    EXPECT_FLOAT_EQ(inPoints->getOriginalSizeInPixels().width, 40);
    EXPECT_TRUE(ZTRect::ZTRectEqualToRect(inPixels->getRect(), ZTRect(5, 5, 10, 10)));
}

TEST_F(ZTSpriteFrameCacheTest, spriteOfAFrameNameShowsThatFrame)
{
    m_cache->addSpriteFramesWithFile(writeSheet("ships.plist", R"({
        'frames': {'a.png': {'x': 16, 'y': 0, 'width': 16, 'height': 16, 'originalWidth': 16, 'originalHeight': 16}}})").c_str());
    ZTSprite* sprite = ZTSprite::spriteWithSpriteFrameName("a.png");
    ASSERT_NE(sprite, nullptr);
    EXPECT_TRUE(sprite->isFrameDisplayed(m_cache->spriteFrameByName("a.png")));
    EXPECT_EQ(ZTSprite::spriteWithSpriteFrameName("nothing.png"), nullptr);
}
