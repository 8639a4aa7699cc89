#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <utility>
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

// Point sprites

namespace {

// A 4 x 4 texture whose quarters differ: red top left, green top right, blue bottom left, white bottom
// right (rows top-down in the image), so that any turn or flip of the picture shows.
ZTTexture2D* quarteredTexture()
{
    std::vector<unsigned char> pixels;
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            const bool right = x >= 2;
            const bool bottom = y >= 2;
            const unsigned char r = !bottom && !right ? 255 : (bottom && right ? 255 : 0);
            const unsigned char g = !bottom && right ? 255 : (bottom && right ? 255 : 0);
            const unsigned char b = bottom ? 255 : 0;
            pixels.insert(pixels.end(), {r, g, b, 255});
        }
    }
    auto* texture = new ZTTexture2D();
    EXPECT_TRUE(texture->initWithData(pixels.data(), kZTTexture2DPixelFormat_RGBA8888, 4, 4, ZTSize(4, 4)));
    texture->autorelease();
    return texture;
}

// Particles of the quartered texture whose edges lie on pixel edges (whole centres, even sizes), drawn
// once as sprites and once as quads; gives both pictures.
struct TwoPictures
{
    std::vector<unsigned char> sprites;
    std::vector<unsigned char> quads;
    bool drewSprites = false;
    bool drewQuadsWhenAsked = false;
};

template <typename Setup> TwoPictures drawBothWays(SpriteScene& scene, Setup setup)
{
    TwoPictures pictures;
    for (const bool sprites : {true, false}) {
        ZTParticleSystemQuad::setPointSpritesAllowed(sprites);
        auto* e = plainEmitter<ZTParticleSystemQuad>(8);
        e->setPositionType(kZTPositionTypeGrouped);
        e->setTexture(quarteredTexture());
        const std::pair<ZTPoint, float> particles[] = {
            {ZTPoint(-60, -40), 40.0f}, {ZTPoint(30, 50), 24.0f}, {ZTPoint(10, -10), 16.0f}};
        for (const auto& [at, size] : particles) {
            e->setSourcePosition(at);
            e->setStartSize(size);
            e->setEndSize(size);
            e->addParticle();
        }
        e->setPosition(ZTPoint(128, 128));
        setup(e);
        scene.clear();
        frame(e, 0.01f);
        (sprites ? pictures.sprites : pictures.quads) = scene.frame();
        (sprites ? pictures.drewSprites : pictures.drewQuadsWhenAsked) = sprites == e->getDrewPointSprites();
    }
    ZTParticleSystemQuad::setPointSpritesAllowed(true);
    return pictures;
}

// The largest difference of a colour channel between two pictures, and how many channels differ at all.
std::pair<int, int> difference(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b)
{
    int largest = 0;
    int count = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        const int d = std::abs(int(a[i]) - int(b[i]));
        largest = std::max(largest, d);
        count += d ? 1 : 0;
    }
    return {largest, count};
}

} // namespace

TEST_F(ParticleQuads, spritesDrawWhatQuadsDrawUprightTurnedByRightAnglesFlippedAndScaled)
{
    const std::pair<const char*, std::function<void(ZTParticleSystemQuad*)>> cases[] = {
        {"upright", [](ZTParticleSystemQuad*) {}},
        {"turned 90", [](ZTParticleSystemQuad* e) { e->setRotation(90); }},
        {"turned 180", [](ZTParticleSystemQuad* e) { e->setRotation(180); }},
        {"turned -90 and scaled 1.5",
         [](ZTParticleSystemQuad* e) {
             e->setRotation(-90);
             e->setScale(1.5f);
         }},
        {"flipped", [](ZTParticleSystemQuad* e) { e->setScaleX(-1); }},
        {"a corner of the texture",
         [](ZTParticleSystemQuad* e) { e->setTextureWithRect(e->getTexture(), ZTRect(2, 0, 2, 2)); }},
    };
    for (const auto& [name, setup] : cases) {
        const TwoPictures pictures = drawBothWays(m_scene, setup);
        EXPECT_TRUE(pictures.drewSprites) << name;
        EXPECT_TRUE(pictures.drewQuadsWhenAsked) << name;
        const auto [largest, count] = difference(pictures.sprites, pictures.quads);
        // The texture is sampled at the same places, up to the last bit of the coordinates.
        EXPECT_LE(largest, 2) << name << ": " << count << " channels differ";
        int lit = 0;
        for (unsigned char c : pictures.quads)
            lit += c > 0 ? 1 : 0;
        EXPECT_GT(lit, 1000) << name;
    }
}

TEST_F(ParticleQuads, spinningParticlesTurnedNodesAndSubPixelParticlesAreDrawnAsQuads)
{
    const std::pair<const char*, std::function<void(ZTParticleSystemQuad*)>> cases[] = {
        {"a particle spins",
         [](ZTParticleSystemQuad* e) {
             e->setStartSpin(30);
             e->setEndSpin(30);
             e->addParticle();
         }},
        {"the node is turned by 45 degrees", [](ZTParticleSystemQuad* e) { e->setRotation(45); }},
        {"the node is stretched", [](ZTParticleSystemQuad* e) { e->setScaleX(2); }},
        {"a particle is smaller than a pixel",
         [](ZTParticleSystemQuad* e) {
             e->setStartSize(0.5f);
             e->setEndSize(0.5f);
             e->addParticle();
         }},
    };
    for (const auto& [name, setup] : cases) {
        const TwoPictures pictures = drawBothWays(m_scene, setup);
        EXPECT_FALSE(pictures.drewSprites) << name;
        EXPECT_EQ(difference(pictures.sprites, pictures.quads).first, 0) << name;
    }
}
