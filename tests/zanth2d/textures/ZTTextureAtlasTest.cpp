#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "../sprite_nodes/SpriteScene.h"
#include "textures/ZTTexture2D.h"
#include "textures/ZTTextureAtlas.h"
#include "textures/ZTTextureCache.h"

using namespace zanth2d;

namespace {

// A quad whose x coordinates all hold the marker, so that moves can be followed.
ztV3F_C4B_T2F_Quad marked(float marker)
{
    ztV3F_C4B_T2F_Quad quad = {};
    quad.tl.vertices.x = quad.bl.vertices.x = quad.tr.vertices.x = quad.br.vertices.x = marker;
    return quad;
}

// An opaque white square of side pixels at (x, y), showing the top-left texel of the texture.
ztV3F_C4B_T2F_Quad square(float x, float y, float side)
{
    ztV3F_C4B_T2F_Quad quad = {};
    const ztColor4B white = {255, 255, 255, 255};
    quad.bl = {{x, y, 0}, white, {0, 0}};
    quad.br = {{x + side, y, 0}, white, {0.01f, 0}};
    quad.tl = {{x, y + side, 0}, white, {0, 0.01f}};
    quad.tr = {{x + side, y + side, 0}, white, {0.01f, 0.01f}};
    return quad;
}

class ZTTextureAtlasTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Top-left quadrant red: the corner the squares sample.
        m_texture = ZTTextureCache::sharedTextureCache()->addImage(writeQuadrantPng(m_dir).c_str());
        ASSERT_NE(m_texture, nullptr);
    }

    ZTTextureAtlas* atlasOf(unsigned int capacity, std::initializer_list<float> markers)
    {
        ZTTextureAtlas* atlas = ZTTextureAtlas::textureAtlasWithTexture(m_texture, capacity);
        unsigned int i = 0;
        for (float marker : markers) {
            const ztV3F_C4B_T2F_Quad quad = marked(marker);
            atlas->updateQuad(&quad, i++);
        }
        return atlas;
    }

    std::vector<float> markersOf(ZTTextureAtlas* atlas)
    {
        std::vector<float> markers;
        for (unsigned int i = 0; i < atlas->getTotalQuads(); ++i) {
            markers.push_back(atlas->getQuads()[i].bl.vertices.x);
        }
        return markers;
    }

    SpriteScene m_scene;
    FixtureDir m_dir;
    ZTTexture2D* m_texture = nullptr;
};

} // namespace

TEST_F(ZTTextureAtlasTest, indicesMakeTwoTrianglesPerQuad)
{
    ZTTextureAtlas* atlas = atlasOf(3, {});
    const GLuint* indices = atlas->getIndices();
    const GLuint expected[] = {8, 9, 10, 11, 10, 9};
    EXPECT_EQ(std::memcmp(indices + 12, expected, sizeof(expected)), 0);
    EXPECT_EQ(atlas->getCapacity(), 3u);
    EXPECT_EQ(atlas->getTotalQuads(), 0u);
}

TEST_F(ZTTextureAtlasTest, updatingPastTheTotalRaisesIt)
{
    ZTTextureAtlas* atlas = atlasOf(8, {1, 2});
    const ztV3F_C4B_T2F_Quad quad = marked(6);
    atlas->updateQuad(&quad, 5);
    EXPECT_EQ(atlas->getTotalQuads(), 6u);
    EXPECT_FLOAT_EQ(atlas->getQuads()[5].tr.vertices.x, 6);
}

TEST_F(ZTTextureAtlasTest, insertingAndRemovingKeepTheOtherQuadsInOrder)
{
    ZTTextureAtlas* atlas = atlasOf(5, {1, 2, 3});
    const ztV3F_C4B_T2F_Quad quad = marked(9);
    atlas->insertQuad(&quad, 1);
    EXPECT_EQ(markersOf(atlas), (std::vector<float>{1, 9, 2, 3}));
    atlas->insertQuad(&quad, 4);
    EXPECT_EQ(markersOf(atlas), (std::vector<float>{1, 9, 2, 3, 9}));
    atlas->removeQuadAtIndex(4);
    atlas->removeQuadAtIndex(0);
    EXPECT_EQ(markersOf(atlas), (std::vector<float>{9, 2, 3}));
}

TEST_F(ZTTextureAtlasTest, movingAQuadShiftsTheOnesBetween)
{
    ZTTextureAtlas* atlas = atlasOf(5, {1, 2, 3, 4, 5});
    atlas->insertQuadFromIndex(3, 0);
    EXPECT_EQ(markersOf(atlas), (std::vector<float>{4, 1, 2, 3, 5}));
    atlas->insertQuadFromIndex(0, 4);
    EXPECT_EQ(markersOf(atlas), (std::vector<float>{1, 2, 3, 5, 4}));
    atlas->insertQuadFromIndex(2, 2);
    EXPECT_EQ(markersOf(atlas), (std::vector<float>{1, 2, 3, 5, 4}));
}

TEST_F(ZTTextureAtlasTest, shrinkingTruncatesAndGrowingKeepsTheQuads)
{
    ZTTextureAtlas* atlas = atlasOf(5, {1, 2, 3, 4});
    ASSERT_TRUE(atlas->resizeCapacity(2));
    EXPECT_EQ(markersOf(atlas), (std::vector<float>{1, 2}));
    ASSERT_TRUE(atlas->resizeCapacity(10));
    EXPECT_EQ(atlas->getCapacity(), 10u);
    EXPECT_EQ(markersOf(atlas), (std::vector<float>{1, 2}));
    EXPECT_EQ(atlas->getIndices()[6 * 9 + 5], 37u);
}

TEST_F(ZTTextureAtlasTest, shrinkingToNothingKeepsNoStaleStorageAndCanGrowAgain)
{
    ZTTextureAtlas* atlas = atlasOf(4, {1, 2, 3});
    ASSERT_TRUE(atlas->resizeCapacity(0));
    EXPECT_EQ(atlas->getCapacity(), 0u);
    EXPECT_EQ(atlas->getTotalQuads(), 0u);
    EXPECT_EQ(atlas->getQuads(), nullptr);
    atlas->drawQuads();
    ASSERT_TRUE(atlas->resizeCapacity(2));
    const ztV3F_C4B_T2F_Quad quad = marked(7);
    atlas->insertQuad(&quad, 0);
    EXPECT_EQ(markersOf(atlas), (std::vector<float>{7}));
    EXPECT_EQ(atlas->getIndices()[6 + 5], 5u);
    atlas->drawQuads();
}

TEST_F(ZTTextureAtlasTest, capacityBeyondTheLargestAtlasIsRefused)
{
    auto* atlas = new ZTTextureAtlas();
    EXPECT_FALSE(atlas->initWithTexture(m_texture, ZTTextureAtlas::kMaxCapacity + 1));
    EXPECT_EQ(atlas->getTexture(), nullptr);
    atlas->release();

    ZTTextureAtlas* grown = atlasOf(4, {1});
    EXPECT_FALSE(grown->resizeCapacity(ZTTextureAtlas::kMaxCapacity + 1));
    EXPECT_EQ(grown->getCapacity(), 0u);
    EXPECT_EQ(grown->getTotalQuads(), 0u);
    grown->drawQuads();
}

TEST_F(ZTTextureAtlasTest, quadsPastSixteenThousandDrawWhereTheyAre)
{
    // 16-bit indices would wrap here and draw quad 0's corners instead.
    ZTTextureAtlas* atlas = ZTTextureAtlas::textureAtlasWithTexture(m_texture, 20000);
    ASSERT_NE(atlas, nullptr);
    for (unsigned int i = 0; i < 20000; ++i) {
        const ztV3F_C4B_T2F_Quad quad = i == 19999 ? square(150, 150, 20) : square(10, 10, 20);
        atlas->updateQuad(&quad, i);
    }
    m_scene.clear();
    atlas->drawNumberOfQuads(1, 19999);
    EXPECT_EQ(SpriteScene::rgb(160, 160)[0], 255);
    EXPECT_EQ(SpriteScene::rgb(20, 20)[0], 0);
}

TEST_F(ZTTextureAtlasTest, runsPastTheTotalAreRefusedAndDrawNothing)
{
    ZTTextureAtlas* atlas = ZTTextureAtlas::textureAtlasWithTexture(m_texture, 4);
    const ztV3F_C4B_T2F_Quad quad = square(10, 10, 20);
    atlas->updateQuad(&quad, 0);
    m_scene.clear();
    atlas->drawNumberOfQuads(2, 0);
    atlas->drawNumberOfQuads(1, 1);
    atlas->drawNumberOfQuads(1, 0xFFFFFFFF);
    EXPECT_EQ(SpriteScene::rgb(20, 20)[0], 0);
    atlas->drawQuads();
    EXPECT_EQ(SpriteScene::rgb(20, 20)[0], 255);
}

TEST_F(ZTTextureAtlasTest, removingAllQuadsLeavesNothingToDraw)
{
    ZTTextureAtlas* atlas = ZTTextureAtlas::textureAtlasWithTexture(m_texture, 4);
    const ztV3F_C4B_T2F_Quad quad = square(10, 10, 20);
    atlas->updateQuad(&quad, 0);
    atlas->removeAllQuads();
    m_scene.clear();
    atlas->drawQuads();
    EXPECT_EQ(SpriteScene::rgb(20, 20)[0], 0);
}

TEST_F(ZTTextureAtlasTest, onlyChangedQuadsAreUploadedAgain)
{
    ZTTextureAtlas* atlas = ZTTextureAtlas::textureAtlasWithTexture(m_texture, 4);
    ztV3F_C4B_T2F_Quad quad = square(10, 10, 20);
    atlas->updateQuad(&quad, 0);
    atlas->drawQuads();
    EXPECT_FALSE(atlas->isDirty());
    // Written behind the atlas's back: not uploaded, the buffer keeps the old square.
    atlas->getQuads()[0] = square(100, 100, 20);
    m_scene.clear();
    atlas->drawQuads();
    EXPECT_EQ(SpriteScene::rgb(20, 20)[0], 255);
    quad = square(100, 100, 20);
    atlas->updateQuad(&quad, 0);
    m_scene.clear();
    atlas->drawQuads();
    EXPECT_EQ(SpriteScene::rgb(20, 20)[0], 0);
    EXPECT_EQ(SpriteScene::rgb(110, 110)[0], 255);
}

TEST_F(ZTTextureAtlasTest, missingImageGivesNoAtlas)
{
    EXPECT_EQ(ZTTextureAtlas::textureAtlasWithFile("/nonexistent.png", 4), nullptr);
    ZTTextureAtlas* atlas = ZTTextureAtlas::textureAtlasWithFile(m_dir.path("quadrants.png").c_str(), 4);
    ASSERT_NE(atlas, nullptr);
    std::unique_ptr<char[]> text(atlas->description());
    EXPECT_STREQ(text.get(), "<ZTTextureAtlas | totalQuads = 0>");
}
