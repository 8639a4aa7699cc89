#include <gtest/gtest.h>

#include <GL/gl.h>

#include <array>
#include <vector>

#include "../sprite_nodes/SpriteScene.h"
#include "misc_nodes/ZTFilledPolygon.h"
#include "textures/ZTTexture2D.h"

using namespace zanth2d;

namespace {

const ztColor4F kRed = {1, 0, 0, 1};

std::array<int, 3> rgb(int r, int g, int b)
{
    return {r, g, b};
}

// An 8 x 4 texture of four 4 x 2 quadrants: top left red, top right green, bottom left blue, bottom right
// white. Autoreleased.
ZTTexture2D* quadrantTexture()
{
    std::vector<unsigned char> pixels(8 * 4 * 4);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 8; ++x) {
            unsigned char* p = &pixels[(y * 8 + x) * 4];
            const bool top = y < 2;
            const bool left = x < 4;
            p[0] = (top && left) || (!top && !left) ? 255 : 0;
            p[1] = (top && !left) || (!top && !left) ? 255 : 0;
            p[2] = !top ? 255 : 0;
            p[3] = 255;
        }
    }
    auto* texture = new ZTTexture2D();
    texture->initWithData(pixels.data(), kZTTexture2DPixelFormat_RGBA8888, 8, 4, ZTSize(8, 4));
    texture->autorelease();
    return texture;
}

std::vector<ZTPoint> rectangle(float width, float height)
{
    return {ZTPoint(0, 0), ZTPoint(width, 0), ZTPoint(width, height), ZTPoint(0, height)};
}

class FilledPolygonTest : public ::testing::Test
{
protected:
    SpriteScene m_scene{128, 128};
};

} // namespace

// What is drawn

TEST_F(FilledPolygonTest, outlineKeepsThePointsAsGivenAndFillTriangulatesThem)
{
    ZTFilledPolygon* outline =
        ZTFilledPolygon::filledPolygonWithPoints(rectangle(10, 10), nullptr, kRed, false, false);
    ASSERT_EQ(outline->getVertexCount(), 4);
    EXPECT_FLOAT_EQ(outline->getAreaTrianglePoints()[2].x, 10);
    EXPECT_TRUE(outline->getTextureCoordinates().empty());

    ZTFilledPolygon* filled =
        ZTFilledPolygon::filledPolygonWithPoints(rectangle(10, 10), nullptr, kRed, true, true);
    ASSERT_EQ(filled->getVertexCount(), 6);
    EXPECT_FLOAT_EQ(filled->getAreaTrianglePoints()[0].y, 10);
}

TEST_F(FilledPolygonTest, changingFillTakesEffectAtTheNextSetPoints)
{
    ZTFilledPolygon* polygon =
        ZTFilledPolygon::filledPolygonWithPoints(rectangle(10, 10), nullptr, kRed, false, true);
    polygon->setFill(true);
    EXPECT_EQ(polygon->getVertexCount(), 4);
    polygon->setPoints(rectangle(10, 10));
    EXPECT_EQ(polygon->getVertexCount(), 6);
}

TEST_F(FilledPolygonTest, fewerThanThreePointsFilledGiveNothingToDraw)
{
    ZTFilledPolygon* polygon = ZTFilledPolygon::filledPolygonWithPoints({ZTPoint(0, 0), ZTPoint(5, 5)},
                                                                        quadrantTexture(), kRed, true, true);
    EXPECT_EQ(polygon->getVertexCount(), 0);
    polygon->setPosition(ZTPoint(10, 10));
    polygon->visit();
    EXPECT_EQ(SpriteScene::rgb(12, 11), rgb(0, 0, 0));
}

TEST_F(FilledPolygonTest, concavePolygonLeavesItsNotchEmpty)
{
    const std::vector<ZTPoint> u = {ZTPoint(0, 0),   ZTPoint(60, 0),  ZTPoint(60, 60), ZTPoint(40, 60),
                                    ZTPoint(40, 20), ZTPoint(20, 20), ZTPoint(20, 60), ZTPoint(0, 60)};
    ZTFilledPolygon* polygon = ZTFilledPolygon::filledPolygonWithPoints(u, nullptr, kRed, true, true);
    polygon->setPosition(ZTPoint(30, 30));
    polygon->visit();
    EXPECT_EQ(SpriteScene::rgb(40, 70), rgb(255, 0, 0)); // left arm
    EXPECT_EQ(SpriteScene::rgb(80, 70), rgb(255, 0, 0)); // right arm
    EXPECT_EQ(SpriteScene::rgb(60, 40), rgb(255, 0, 0)); // base
    EXPECT_EQ(SpriteScene::rgb(60, 70), rgb(0, 0, 0));   // notch
    EXPECT_EQ(SpriteScene::rgb(95, 70), rgb(0, 0, 0));   // outside
}

TEST_F(FilledPolygonTest, openOutlineDrawsNoClosingEdge)
{
    const std::vector<ZTPoint> corners = {ZTPoint(20.5f, 20.5f), ZTPoint(80.5f, 20.5f),
                                          ZTPoint(80.5f, 80.5f)};
    ZTFilledPolygon* open = ZTFilledPolygon::filledPolygonWithPoints(corners, nullptr, kRed, false, false);
    open->visit();
    EXPECT_EQ(SpriteScene::rgb(50, 20), rgb(255, 0, 0));
    EXPECT_EQ(SpriteScene::rgb(80, 50), rgb(255, 0, 0));
    // The diagonal back to the first corner is not drawn.
    EXPECT_EQ(SpriteScene::rgb(50, 50), rgb(0, 0, 0));

    m_scene.clear();
    open->setClose(true);
    open->visit();
    EXPECT_EQ(SpriteScene::rgb(50, 50), rgb(255, 0, 0));
}

// Textures

TEST_F(FilledPolygonTest, textureRepeatsByItsWidthAcrossAndByItsHeightUpwards)
{
    ZTFilledPolygon* polygon = ZTFilledPolygon::filledPolygonWithPoints(rectangle(32, 16), quadrantTexture(),
                                                                        ztColor4F{1, 1, 1, 1}, false, true);
    polygon->setPosition(ZTPoint(40, 40));
    polygon->visit();
    // Rows count up from the node's origin: the texture's bottom half first, then its top half.
    EXPECT_EQ(SpriteScene::rgb(41, 40), rgb(0, 0, 255));
    EXPECT_EQ(SpriteScene::rgb(41, 42), rgb(255, 0, 0));
    EXPECT_EQ(SpriteScene::rgb(45, 41), rgb(255, 255, 255));
    EXPECT_EQ(SpriteScene::rgb(45, 43), rgb(0, 255, 0));
    // One repeat later in both directions.
    EXPECT_EQ(SpriteScene::rgb(49, 44), rgb(0, 0, 255));
    EXPECT_EQ(SpriteScene::rgb(53, 47), rgb(0, 255, 0));
    EXPECT_EQ(SpriteScene::rgb(71, 55), rgb(0, 255, 0));
    EXPECT_EQ(SpriteScene::rgb(72, 40), rgb(0, 0, 0));
}

TEST_F(FilledPolygonTest, textureCoordinatesSpanOneTextureSizeInPoints)
{
    ZTFilledPolygon* polygon = ZTFilledPolygon::filledPolygonWithPoints(
        {ZTPoint(0, 0), ZTPoint(8, 0), ZTPoint(8, 4)}, quadrantTexture(), kRed, false, true);
    const std::vector<ZTPoint>& points = polygon->getAreaTrianglePoints();
    const std::vector<ZTPoint>& coordinates = polygon->getTextureCoordinates();
    ASSERT_EQ(coordinates.size(), points.size());
    for (size_t i = 0; i < points.size(); ++i) {
        EXPECT_FLOAT_EQ(coordinates[i].x, points[i].x / 8);
        EXPECT_FLOAT_EQ(coordinates[i].y, 1 - points[i].y / 4);
    }
}

TEST_F(FilledPolygonTest, settingATextureMakesItRepeatWithNearestFiltering)
{
    ZTTexture2D* texture = quadrantTexture();
    ZTFilledPolygon::filledPolygonWithPoints(rectangle(8, 8), texture, kRed, false, true);
    glBindTexture(GL_TEXTURE_2D, texture->getName());
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
    EXPECT_EQ(value, GL_REPEAT);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &value);
    EXPECT_EQ(value, GL_REPEAT);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
    EXPECT_EQ(value, GL_NEAREST);
}

TEST_F(FilledPolygonTest, textureSetAfterThePointsDrawsNothingUntilTheNextSetPoints)
{
    ZTFilledPolygon* polygon = ZTFilledPolygon::filledPolygonWithPoints(rectangle(20, 20), nullptr,
                                                                        ztColor4F{1, 1, 1, 1}, true, true);
    polygon->setTexture(quadrantTexture());
    EXPECT_TRUE(polygon->getTextureCoordinates().empty());
    polygon->setPosition(ZTPoint(10, 10));
    polygon->visit();
    EXPECT_EQ(SpriteScene::rgb(15, 15), rgb(0, 0, 0));

    polygon->setPoints(rectangle(20, 20));
    polygon->visit();
    EXPECT_EQ(SpriteScene::rgb(11, 10), rgb(0, 0, 255));
}

TEST_F(FilledPolygonTest, removingTheTextureKeepsTheDrawnPointsUntilTheNextSetPoints)
{
    ZTTexture2D* texture = quadrantTexture();
    ZTFilledPolygon* polygon =
        ZTFilledPolygon::filledPolygonWithPoints(rectangle(20, 20), texture, kRed, false, true);
    EXPECT_EQ(texture->retainCount(), 2u);
    polygon->setTexture(nullptr);
    EXPECT_EQ(texture->retainCount(), 1u);
    EXPECT_EQ(polygon->getVertexCount(), 6);
    polygon->setPoints(rectangle(20, 20));
    EXPECT_EQ(polygon->getVertexCount(), 4);
    EXPECT_TRUE(polygon->getTextureCoordinates().empty());
}

// Blending

TEST_F(FilledPolygonTest, drawingLeavesTheSceneGraphsBlendFunctionWhateverIsStored)
{
    ZTFilledPolygon* polygon = ZTFilledPolygon::filledPolygonWithPoints(rectangle(20, 20), nullptr,
                                                                        ztColor4F{1, 0, 0, 0.5f}, true, true);
    polygon->setBlendFunc(ztBlendFunc{GL_ONE, GL_ZERO});
    polygon->setPosition(ZTPoint(10, 10));
    polygon->visit();
    // Half-transparent red drawn with source alpha over black.
    EXPECT_NEAR(SpriteScene::rgb(15, 15)[0], 128, 2);
    EXPECT_EQ(GLTestContext::blendFunction(), (std::array<GLint, 2>{GL_ONE, GL_ONE_MINUS_SRC_ALPHA}));
}

TEST_F(FilledPolygonTest, storedBlendFunctionFollowsTheTexturesAlphaKind)
{
    ZTFilledPolygon* polygon =
        ZTFilledPolygon::filledPolygonWithPoints(rectangle(8, 8), quadrantTexture(), kRed, false, true);
    EXPECT_EQ(polygon->getBlendFunc().src, static_cast<GLenum>(GL_ONE));
    polygon->setTexture(nullptr);
    polygon->updateBlendFunc();
    EXPECT_EQ(polygon->getBlendFunc().src, static_cast<GLenum>(GL_SRC_ALPHA));
}
