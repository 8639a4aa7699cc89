#include <gtest/gtest.h>

#include <cstdlib>

#include "SpriteScene.h"
#include "sprite_nodes/ZTSprite.h"
#include "sprite_nodes/ZTSpriteBatchNode.h"
#include "sprite_nodes/ZTSpriteFrame.h"
#include "textures/ZTTexture2D.h"
#include "textures/ZTTextureCache.h"

using namespace zanth2d;

namespace {

// Within 2 levels on each channel.
::testing::AssertionResult near(std::array<int, 3> actual, std::array<int, 3> expected)
{
    for (int i = 0; i < 3; ++i) {
        if (std::abs(actual[i] - expected[i]) > 2) {
            return ::testing::AssertionFailure() << "(" << actual[0] << ", " << actual[1] << ", " << actual[2]
                                                 << ") instead of (" << expected[0] << ", " << expected[1] << ", "
                                                 << expected[2] << ")";
        }
    }
    return ::testing::AssertionSuccess();
}

const std::array<int, 3> kRed = {255, 0, 0};
const std::array<int, 3> kGreen = {0, 255, 0};
const std::array<int, 3> kBlue = {0, 0, 255};
const std::array<int, 3> kBlack = {0, 0, 0};
// (200, 100, 50) at alpha 128, premultiplied and composited over black.
const std::array<int, 3> kHalf = {100, 50, 25};

class ZTSpriteDrawing : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_png = writeQuadrantPng(m_dir);
        ASSERT_FALSE(m_png.empty());
    }

    ZTSprite* spriteAt(float x, float y)
    {
        ZTSprite* sprite = ZTSprite::spriteWithFile(m_png.c_str());
        EXPECT_NE(sprite, nullptr);
        sprite->setPosition(ZTPoint(x, y));
        return sprite;
    }

    void draw(ZTNode* node)
    {
        m_scene.clear();
        node->visit();
    }

    FixtureDir m_dir;
    SpriteScene m_scene;
    std::string m_png;
};

} // namespace

TEST_F(ZTSpriteDrawing, pngAtAPositionIsTheImageCompositedOverBlack)
{
    ZTSprite* sprite = spriteAt(100, 100);
    draw(sprite);
    // Image rows run top-down, GL rows bottom-up: image pixel (x, y) lands at (84 + x, 115 - y).
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const std::array<int, 3> expected = y < 16 ? (x < 16 ? kRed : kGreen) : (x < 16 ? kBlue : kHalf);
            ASSERT_TRUE(near(SpriteScene::rgb(84 + x, 115 - y), expected)) << "image pixel " << x << ", " << y;
        }
    }
    EXPECT_TRUE(near(SpriteScene::rgb(83, 100), kBlack));
    EXPECT_TRUE(near(SpriteScene::rgb(116, 100), kBlack));
    EXPECT_TRUE(near(SpriteScene::rgb(100, 83), kBlack));
    EXPECT_TRUE(near(SpriteScene::rgb(100, 116), kBlack));
}

TEST_F(ZTSpriteDrawing, halfTransparentPixelBlendsPremultipliedOverWhatIsBelow)
{
    ZTSprite* sprite = spriteAt(100, 100);
    ASSERT_TRUE(sprite->getTexture()->getHasPremultipliedAlpha());
    EXPECT_EQ(sprite->getBlendFunc().src, static_cast<GLenum>(GL_ONE));
    EXPECT_EQ(sprite->getBlendFunc().dst, static_cast<GLenum>(GL_ONE_MINUS_SRC_ALPHA));
    glClearColor(1, 1, 1, 1);
    m_scene.clear();
    sprite->visit();
    glClearColor(0, 0, 0, 1);
    // 100 + 255 x (1 - 128/255) = 227, 50 + 127 = 177, 25 + 127 = 152.
    EXPECT_TRUE(near(SpriteScene::rgb(110, 90), {227, 177, 152}));
    EXPECT_TRUE(near(SpriteScene::rgb(90, 110), kRed));
}

TEST_F(ZTSpriteDrawing, flippedSpriteMirrorsItsImage)
{
    ZTSprite* sprite = spriteAt(100, 100);
    sprite->setFlipX(true);
    draw(sprite);
    EXPECT_TRUE(near(SpriteScene::rgb(90, 110), kGreen));
    EXPECT_TRUE(near(SpriteScene::rgb(110, 110), kRed));
    EXPECT_TRUE(near(SpriteScene::rgb(90, 90), kHalf));

    sprite->setFlipX(false);
    sprite->setFlipY(true);
    draw(sprite);
    EXPECT_TRUE(near(SpriteScene::rgb(90, 110), kBlue));
    EXPECT_TRUE(near(SpriteScene::rgb(90, 90), kRed));
    EXPECT_TRUE(near(SpriteScene::rgb(110, 110), kHalf));
}

TEST_F(ZTSpriteDrawing, rotatedSpriteTurnsClockwiseAboutItsAnchor)
{
    ZTSprite* sprite = spriteAt(100, 100);
    sprite->setRotation(90);
    draw(sprite);
    EXPECT_TRUE(near(SpriteScene::rgb(110, 110), kRed));
    EXPECT_TRUE(near(SpriteScene::rgb(110, 90), kGreen));
    EXPECT_TRUE(near(SpriteScene::rgb(90, 90), kHalf));
    EXPECT_TRUE(near(SpriteScene::rgb(90, 110), kBlue));
}

TEST_F(ZTSpriteDrawing, scaledSpriteCoversTheScaledRectangle)
{
    ZTSprite* sprite = spriteAt(100, 100);
    sprite->setScale(2);
    draw(sprite);
    // 64 x 64 centred on (100, 100): x and y from 68 to 131.
    EXPECT_TRUE(near(SpriteScene::rgb(69, 130), kRed));
    EXPECT_TRUE(near(SpriteScene::rgb(130, 130), kGreen));
    EXPECT_TRUE(near(SpriteScene::rgb(69, 69), kBlue));
    EXPECT_TRUE(near(SpriteScene::rgb(130, 69), kHalf));
    EXPECT_TRUE(near(SpriteScene::rgb(66, 100), kBlack));
    EXPECT_TRUE(near(SpriteScene::rgb(133, 100), kBlack));
}

TEST_F(ZTSpriteDrawing, tintMultipliesTheImageColours)
{
    ZTSprite* sprite = spriteAt(100, 100);
    sprite->setColor(ztColor3B{128, 255, 0});
    draw(sprite);
    EXPECT_TRUE(near(SpriteScene::rgb(90, 110), {128, 0, 0}));
    EXPECT_TRUE(near(SpriteScene::rgb(110, 110), kGreen));
    EXPECT_TRUE(near(SpriteScene::rgb(90, 90), kBlack));
}

TEST_F(ZTSpriteDrawing, halfOpacityHalvesAPremultipliedSprite)
{
    ZTSprite* sprite = spriteAt(100, 100);
    sprite->setOpacity(128);
    draw(sprite);
    EXPECT_TRUE(near(SpriteScene::rgb(90, 110), {128, 0, 0}));
}

TEST_F(ZTSpriteDrawing, spriteOfARectangleShowsOnlyThatPart)
{
    ZTSprite* sprite = ZTSprite::spriteWithFile(m_png.c_str(), ZTRect(16, 0, 16, 16));
    ASSERT_NE(sprite, nullptr);
    sprite->setPosition(ZTPoint(100, 100));
    draw(sprite);
    EXPECT_TRUE(near(SpriteScene::rgb(93, 107), kGreen));
    EXPECT_TRUE(near(SpriteScene::rgb(106, 93), kGreen));
    EXPECT_TRUE(near(SpriteScene::rgb(90, 100), kBlack));
}

TEST(ZTSpriteTest, missingImageGivesNoSprite)
{
    SpriteScene scene;
    EXPECT_EQ(ZTSprite::spriteWithFile("/nonexistent/ship.png"), nullptr);
}

TEST(ZTSpriteTest, textureCoordinatesCoverTheImageInsideItsPowerOfTwoTexture)
{
    SpriteScene scene;
    FixtureDir dir;
    ASSERT_TRUE(dir.python(std::string(kPythonPngWriter) + "png('wide.png', 100, 60, lambda x, y: bytes([9, 9, 9, 255]))\n"));
    ZTSprite* sprite = ZTSprite::spriteWithFile(dir.path("wide.png").c_str());
    ASSERT_NE(sprite, nullptr);
    const ztV3F_C4B_T2F_Quad& quad = sprite->getQuad();
    EXPECT_FLOAT_EQ(quad.tl.texCoords.u, 0);
    EXPECT_FLOAT_EQ(quad.tl.texCoords.v, 0);
    EXPECT_FLOAT_EQ(quad.br.texCoords.u, 0.78125f);
    EXPECT_FLOAT_EQ(quad.br.texCoords.v, 0.9375f);
    EXPECT_FLOAT_EQ(quad.tr.vertices.x, 100);
    EXPECT_FLOAT_EQ(quad.tr.vertices.y, 60);

    sprite->setFlipX(true);
    EXPECT_FLOAT_EQ(sprite->getQuad().tl.texCoords.u, 0.78125f);
    EXPECT_FLOAT_EQ(sprite->getQuad().br.texCoords.u, 0);
}

TEST(ZTSpriteTest, flippingNegatesTheHorizontalTrimOffset)
{
    SpriteScene scene;
    FixtureDir dir;
    const std::string png = writeQuadrantPng(dir);
    ZTTexture2D* texture = ZTTextureCache::sharedTextureCache()->addImage(png.c_str());
    ASSERT_NE(texture, nullptr);
    // A 10 x 10 rect of a 20 x 20 original, trimmed 3 pixels right of centre.
    ZTSpriteFrame* frame = ZTSpriteFrame::frameWithTexture(texture, ZTRect(0, 0, 10, 10), false, ZTPoint(3, 0), ZTSize(20, 20));
    ZTSprite* sprite = ZTSprite::spriteWithSpriteFrame(frame);
    EXPECT_FLOAT_EQ(sprite->getOffsetPositionInPixels().x, 8);
    EXPECT_FLOAT_EQ(sprite->getContentSize().width, 20);
    sprite->setFlipX(true);
    EXPECT_FLOAT_EQ(sprite->getOffsetPositionInPixels().x, 2);
}

TEST(ZTSpriteTest, rotatedFrameMapsItsCornersTurned)
{
    SpriteScene scene;
    FixtureDir dir;
    ZTTexture2D* texture = ZTTextureCache::sharedTextureCache()->addImage(writeQuadrantPng(dir).c_str());
    // A 16 x 8 frame stored rotated as 8 x 16 at (0, 0) of the 32 x 32 texture.
    ZTSpriteFrame* frame = ZTSpriteFrame::frameWithTexture(texture, ZTRect(0, 0, 16, 8), true, ZTPointZero, ZTSize(16, 8));
    ZTSprite* sprite = ZTSprite::spriteWithSpriteFrame(frame);
    const ztV3F_C4B_T2F_Quad& quad = sprite->getQuad();
    EXPECT_FLOAT_EQ(quad.tl.texCoords.u, 0.25f);
    EXPECT_FLOAT_EQ(quad.tl.texCoords.v, 0);
    EXPECT_FLOAT_EQ(quad.bl.texCoords.u, 0);
    EXPECT_FLOAT_EQ(quad.bl.texCoords.v, 0);
    EXPECT_FLOAT_EQ(quad.br.texCoords.u, 0);
    EXPECT_FLOAT_EQ(quad.br.texCoords.v, 0.5f);
    EXPECT_FLOAT_EQ(quad.tr.texCoords.u, 0.25f);
    EXPECT_FLOAT_EQ(quad.tr.texCoords.v, 0.5f);
}

TEST(ZTSpriteTest, premultipliedOpacityScalesTheWrittenColourButNotTheReadOne)
{
    SpriteScene scene;
    FixtureDir dir;
    ZTSprite* sprite = ZTSprite::spriteWithFile(writeQuadrantPng(dir).c_str());
    sprite->setOpacity(128);
    sprite->setColor(ztColor3B{200, 100, 50});
    const ztColor4B written = sprite->getQuad().tl.colors;
    EXPECT_EQ(written.r, 100);
    EXPECT_EQ(written.g, 50);
    EXPECT_EQ(written.b, 25);
    EXPECT_EQ(written.a, 128);
    EXPECT_EQ(sprite->getColor().r, 200);
    EXPECT_EQ(sprite->getColor().g, 100);
    EXPECT_EQ(sprite->getColor().b, 50);
}

TEST(ZTSpriteTest, displayedFrameRestoresWhatWasShown)
{
    SpriteScene scene;
    FixtureDir dir;
    ZTTexture2D* texture = ZTTextureCache::sharedTextureCache()->addImage(writeQuadrantPng(dir).c_str());
    ZTSprite* sprite = ZTSprite::spriteWithTexture(texture, ZTRect(0, 0, 16, 16));
    ZTSpriteFrame* shown = sprite->displayedFrame();
    ZTSpriteFrame* other = ZTSpriteFrame::frameWithTexture(texture, ZTRect(16, 16, 16, 16));
    EXPECT_TRUE(sprite->isFrameDisplayed(shown));
    EXPECT_FALSE(sprite->isFrameDisplayed(other));
    sprite->setDisplayFrame(other);
    EXPECT_TRUE(sprite->isFrameDisplayed(other));
    sprite->setDisplayFrame(shown);
    EXPECT_TRUE(sprite->isFrameDisplayed(shown));
    EXPECT_FLOAT_EQ(sprite->getTextureRect().origin.x, 0);
}
