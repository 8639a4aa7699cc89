#include <gtest/gtest.h>

#include <GL/gl.h>

#include <vector>

#include "ParticleTestSupport.h"
#include "particle_nodes/ZTParticleSystemQuad.h"
#include "sprite_nodes/SpriteScene.h"
#include "textures/ZTTexture2D.h"

using namespace zanth2d;

namespace {

class ParticleQuads : public ::testing::Test
{
protected:
    // A 2 x 2 opaque white texture without premultiplied alpha, released with the test.
    ZTTexture2D* whiteTexture()
    {
        const std::vector<unsigned char> pixels(16, 255);
        auto* texture = new ZTTexture2D();
        EXPECT_TRUE(
            texture->initWithData(pixels.data(), kZTTexture2DPixelFormat_RGBA8888, 2, 2, ZTSize(2, 2)));
        texture->autorelease();
        return texture;
    }

    // Grouped, so that particles are drawn where they are born, in the window's pixels.
    ZTParticleSystemQuad* emitterAt(float x, float y, unsigned int pool = 4)
    {
        auto* e = plainEmitter<ZTParticleSystemQuad>(pool);
        e->setPositionType(kZTPositionTypeGrouped);
        e->setSourcePosition(ZTPoint(x, y));
        return e;
    }

    SpriteScene m_scene;
};

::testing::AssertionResult corner(const ztV2F_C4B_T2F& vertex, float x, float y)
{
    if (std::abs(vertex.vertices.x - x) < 1e-3f && std::abs(vertex.vertices.y - y) < 1e-3f) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "(" << vertex.vertices.x << ", " << vertex.vertices.y
                                         << ") instead of (" << x << ", " << y << ")";
}

} // namespace

// Buffers

TEST_F(ParticleQuads, poolOfThreeHasTwoTrianglesPerQuad)
{
    auto* e = ZTParticleSystemQuad::particleWithTotalParticles(3);
    ASSERT_NE(e, nullptr);
    const std::vector<GLuint> indices(e->getIndices(), e->getIndices() + 18);
    EXPECT_EQ(indices, (std::vector<GLuint>{0, 1, 2, 3, 2, 1, 4, 5, 6, 7, 6, 5, 8, 9, 10, 11, 10, 9}));
}

TEST_F(ParticleQuads, quadsMadeWithoutTextureShowTheUnitSquare)
{
    auto* e = ZTParticleSystemQuad::particleWithTotalParticles(2);
    ASSERT_NE(e, nullptr);
    const ztV2F_C4B_T2F_Quad& quad = e->getQuads()[1];
    EXPECT_EQ(quad.bl.texCoords.u, 0.0f);
    EXPECT_EQ(quad.bl.texCoords.v, 1.0f);
    EXPECT_EQ(quad.br.texCoords.u, 1.0f);
    EXPECT_EQ(quad.br.texCoords.v, 1.0f);
    EXPECT_EQ(quad.tl.texCoords.u, 0.0f);
    EXPECT_EQ(quad.tl.texCoords.v, 0.0f);
    EXPECT_EQ(quad.tr.texCoords.u, 1.0f);
    EXPECT_EQ(quad.tr.texCoords.v, 0.0f);
}

TEST_F(ParticleQuads, sameGLTextureAgainOnlyRecomputesTheTextureCoordinates)
{
    ZTTexture2D* texture = whiteTexture();
    auto* e = emitterAt(0, 0);
    e->setTexture(texture);
    EXPECT_EQ(e->getBlendFunc().src, static_cast<GLenum>(GL_SRC_ALPHA)) << "no premultiplied alpha";

    e->setBlendFunc({GL_ONE, GL_ONE_MINUS_SRC_ALPHA});
    e->setTextureWithRect(texture, ZTRect(0, 0, 1, 1));
    EXPECT_EQ(e->getQuads()[0].br.texCoords.u, 0.5f);
    e->setTexture(texture);
    EXPECT_EQ(e->getQuads()[0].br.texCoords.u, 1.0f);
    EXPECT_EQ(e->getBlendFunc().src, static_cast<GLenum>(GL_ONE)) << "the blend function stays as set";
}

// Quad geometry and colour

TEST_F(ParticleQuads, particleOfSizeTenSpansFivePointsEachWayAndSpinsClockwise)
{
    auto* e = emitterAt(100, 50);
    e->addParticle();
    e->setStartSpin(90);
    e->setEndSpin(90);
    e->addParticle();
    frame(e, 0.01f);

    const ztV2F_C4B_T2F_Quad& still = e->getQuads()[0];
    EXPECT_TRUE(corner(still.bl, 95, 45));
    EXPECT_TRUE(corner(still.br, 105, 45));
    EXPECT_TRUE(corner(still.tl, 95, 55));
    EXPECT_TRUE(corner(still.tr, 105, 55));

    const ztV2F_C4B_T2F_Quad& turned = e->getQuads()[1];
    EXPECT_TRUE(corner(turned.bl, 95, 55));
    EXPECT_TRUE(corner(turned.br, 95, 45));
    EXPECT_TRUE(corner(turned.tr, 105, 45));
}

TEST_F(ParticleQuads, colourComponentsAreTruncatedToBytes)
{
    auto* e = emitterAt(0, 0);
    e->setStartColor({0.5f, 1.0f, 0.0f, 0.5f});
    e->setEndColor({0.5f, 1.0f, 0.0f, 0.5f});
    e->addParticle();
    frame(e, 0.01f);
    for (const ztV2F_C4B_T2F* vertex : {&e->getQuads()[0].bl, &e->getQuads()[0].tr}) {
        EXPECT_EQ(vertex->colors.r, 127);
        EXPECT_EQ(vertex->colors.g, 255);
        EXPECT_EQ(vertex->colors.b, 0);
        EXPECT_EQ(vertex->colors.a, 127);
    }
}

// Drawing

TEST_F(ParticleQuads, particlesDrawTheirTextureInTheirColourWhereTheyAre)
{
    auto* e = emitterAt(100, 100);
    e->setTexture(whiteTexture());
    e->setStartSize(20);
    e->setEndSize(20);
    e->setStartColor({1.0f, 0.0f, 0.0f, 1.0f});
    e->setEndColor({1.0f, 0.0f, 0.0f, 1.0f});
    e->addParticle();
    m_scene.clear();
    frame(e, 0.01f);
    EXPECT_EQ(SpriteScene::rgb(100, 100), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(SpriteScene::rgb(108, 92), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(SpriteScene::rgb(112, 100), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ParticleQuads, additiveBlendAddsOverlappingParticlesAndIsRestoredAfterDrawing)
{
    auto* e = emitterAt(60, 60);
    e->setTexture(whiteTexture());
    e->setIsBlendAdditive(true);
    e->setStartColor({0.4f, 0.0f, 0.0f, 1.0f});
    e->setEndColor({0.4f, 0.0f, 0.0f, 1.0f});
    e->addParticle();
    e->addParticle();
    m_scene.clear();
    frame(e, 0.01f);
    EXPECT_NEAR(SpriteScene::rgb(60, 60)[0], 2 * 102, 2);
    GLint source = 0;
    GLint destination = 0;
    glGetIntegerv(GL_BLEND_SRC, &source);
    glGetIntegerv(GL_BLEND_DST, &destination);
    EXPECT_EQ(source, GL_ONE);
    EXPECT_EQ(destination, GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
}

TEST_F(ParticleQuads, transparentParticlesLeaveTheBackgroundUnderEveryBlendFunction)
{
    const std::vector<ztBlendFunc> blends = {
        {GL_SRC_ALPHA, GL_ONE}, {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}, {GL_ONE, GL_ONE_MINUS_SRC_ALPHA}};
    for (const ztBlendFunc& blend : blends) {
        auto* e = emitterAt(60, 60);
        e->setTexture(whiteTexture());
        e->setBlendFunc(blend);
        // Alpha 0 with colour: only the premultiplied blend adds it.
        e->setStartColor({0.0f, 0.6f, 0.0f, 0.0f});
        e->setEndColor({0.0f, 0.6f, 0.0f, 0.0f});
        e->addParticle();
        glClearColor(0.2f, 0.2f, 0.2f, 1.0f);
        m_scene.clear();
        glClearColor(0, 0, 0, 1);
        frame(e, 0.01f);
        const int expectedGreen = blend.src == GL_ONE ? 51 + 153 : 51;
        EXPECT_NEAR(SpriteScene::rgb(60, 60)[1], expectedGreen, 2) << blend.src << ", " << blend.dst;
        EXPECT_NEAR(SpriteScene::rgb(60, 60)[0], 51, 2);
        EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    }
}

TEST_F(ParticleQuads, blendFactorsThatAreNoGLFactorsDrawWithTheDefaultBlendingAndNoGLError)
{
    auto* e = emitterAt(60, 60);
    e->setTexture(whiteTexture());
    e->setBlendFunc({GL_ONE_MINUS_SRC_ALPHA, 729});
    e->setStartColor({0.4f, 0.0f, 0.0f, 1.0f});
    e->setEndColor({0.4f, 0.0f, 0.0f, 1.0f});
    e->addParticle();
    m_scene.clear();
    frame(e, 0.01f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_NEAR(SpriteScene::rgb(60, 60)[0], 102, 2);
}

TEST_F(ParticleQuads, withoutLiveParticlesNothingIsDrawn)
{
    auto* e = emitterAt(30, 30);
    e->setTexture(whiteTexture());
    m_scene.clear();
    frame(e, 0.01f);
    e->visit();
    EXPECT_EQ(SpriteScene::rgb(30, 30), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ParticleQuads, poolAboveSixteenBitIndicesDrawsItsLastQuadsInTheirOwnPlace)
{
    const unsigned int pool = 16390;
    auto* e = emitterAt(40, 100, pool);
    e->setTexture(whiteTexture());
    for (unsigned int i = 0; i < 16384; ++i) {
        e->addParticle();
    }
    e->setSourcePosition(ZTPoint(200, 100));
    while (e->addParticle()) {
    }
    EXPECT_EQ(e->getIndices()[6 * (pool - 1)], 4 * (pool - 1));

    m_scene.clear();
    frame(e, 0.01f);
    EXPECT_EQ(SpriteScene::rgb(40, 100), (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(SpriteScene::rgb(200, 100), (std::array<int, 3>{255, 255, 255}))
        << "quads past 16,384 must not wrap onto the first ones";
}
