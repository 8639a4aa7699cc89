#include <gtest/gtest.h>

#include "GLTestContext.h"

#include <memory>

#include "ZTDirector.h"
#include "cocoa/ZTAutoreleasePool.h"
#include "keypad_dispatcher/ZTKeypadDispatcher.h"
#include "layers_scenes_transitions_nodes/ZTLayerColor.h"
#include "layers_scenes_transitions_nodes/ZTLayerGradient.h"
#include "layers_scenes_transitions_nodes/ZTLayerMultiplex.h"
#include "layers_scenes_transitions_nodes/ZTScene.h"
#include "touch_dispatcher/ZTTouchDispatcher.h"

using namespace zanth2d;

namespace {

struct Corner
{
    int r, g, b, a;
};

// Corners in the layer's order: bottom-left, bottom-right, top-left, top-right.
Corner corner(ZTLayerColor* layer, int index)
{
    const GLubyte* c = layer->squareColors() + index * 4;
    return Corner{c[0], c[1], c[2], c[3]};
}

::testing::AssertionResult is(const Corner& c, int r, int g, int b, int a)
{
    if (c.r == r && c.g == g && c.b == b && c.a == a) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "(" << c.r << "," << c.g << "," << c.b << "," << c.a << ") != (" << r
                                         << "," << g << "," << b << "," << a << ")";
}

ztColor4B rgba(GLubyte r, GLubyte g, GLubyte b, GLubyte a)
{
    ztColor4B c;
    c.r = r;
    c.g = g;
    c.b = b;
    c.a = a;
    return c;
}

class Layers : public ::testing::Test
{
protected:
    void TearDown() override { ZTPoolManager::getInstance()->pop(); }
};

} // namespace

TEST_F(Layers, sceneAndLayerAreAnchoredAtTheirCentreWithoutMovingTheirOrigin)
{
    ZTScene* scene = ZTScene::node();
    ASSERT_NE(nullptr, scene);
    EXPECT_FALSE(scene->getIsRelativeAnchorPoint());
    EXPECT_EQ(0.5f, scene->getAnchorPoint().x);
    EXPECT_EQ(0.5f, scene->getAnchorPoint().y);
    ZTLayer* layer = ZTLayer::node();
    ASSERT_NE(nullptr, layer);
    EXPECT_FALSE(layer->getIsRelativeAnchorPoint());
    EXPECT_FALSE(layer->getIsTouchEnabled());
    EXPECT_EQ(0.5f, layer->getAnchorPoint().y);
}

TEST_F(Layers, colourLayerCornersFollowSizeColourAndOpacity)
{
    ZTLayerColor* layer = ZTLayerColor::layerWithColorWidthHeight(rgba(10, 20, 30, 40), 100, 50);
    ASSERT_NE(nullptr, layer);
    const GLfloat* v = layer->squareVertices();
    EXPECT_EQ((std::vector<GLfloat>{0, 0, 100, 0, 0, 50, 100, 50}), std::vector<GLfloat>(v, v + 8));
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(is(corner(layer, i), 10, 20, 30, 40));
    }
    layer->setOpacity(200);
    ztColor3B green;
    green.r = 0;
    green.g = 255;
    green.b = 0;
    layer->setColor(green);
    EXPECT_TRUE(is(corner(layer, 3), 0, 255, 0, 200));
    layer->changeWidth(30);
    EXPECT_EQ(30.0f, layer->getContentSize().width);
    EXPECT_EQ(50.0f, layer->getContentSize().height);
    EXPECT_EQ(30.0f, layer->squareVertices()[2]);
    EXPECT_EQ(50.0f, layer->squareVertices()[7]);
    EXPECT_EQ(static_cast<GLenum>(GL_ONE), layer->getBlendFunc().src);
    EXPECT_EQ(static_cast<GLenum>(GL_ONE_MINUS_SRC_ALPHA), layer->getBlendFunc().dst);
}

TEST_F(Layers, colourLayerVerticesArePixels)
{
    ZTDirector::sharedDirector()->setContentScaleFactor(2.0f);
    ZTLayerColor* layer = ZTLayerColor::layerWithColorWidthHeight(rgba(1, 2, 3, 4), 100, 50);
    ZTDirector::sharedDirector()->setContentScaleFactor(1.0f);
    EXPECT_EQ(200.0f, layer->squareVertices()[6]);
    EXPECT_EQ(100.0f, layer->squareVertices()[7]);
    EXPECT_EQ(100.0f, layer->getContentSize().width);
}

TEST_F(Layers, compressedVerticalGradientReachesBothColoursExactly)
{
    ZTLayerGradient* layer = ZTLayerGradient::layerWithColor(rgba(255, 0, 0, 255), rgba(0, 0, 255, 255));
    ASSERT_NE(nullptr, layer);
    EXPECT_TRUE(layer->getIsCompressedInterpolation());
    EXPECT_TRUE(is(corner(layer, 2), 255, 0, 0, 255));
    EXPECT_TRUE(is(corner(layer, 3), 255, 0, 0, 255));
    EXPECT_TRUE(is(corner(layer, 0), 0, 0, 255, 255));
    EXPECT_TRUE(is(corner(layer, 1), 0, 0, 255, 255));
}

TEST_F(Layers, uncompressedGradientBlendsTheCornersByTheDirection)
{
    ZTLayerGradient* layer = ZTLayerGradient::layerWithColor(rgba(255, 0, 0, 255), rgba(0, 0, 255, 255));
    layer->setIsCompressedInterpolation(false);
    // (sqrt 2 + 1) / (2 sqrt 2) = 0.854 of the start colour at the top, 0.146 at the bottom.
    EXPECT_TRUE(is(corner(layer, 2), 217, 0, 37, 255));
    EXPECT_TRUE(is(corner(layer, 3), 217, 0, 37, 255));
    EXPECT_TRUE(is(corner(layer, 0), 37, 0, 217, 255));
    EXPECT_TRUE(is(corner(layer, 1), 37, 0, 217, 255));
}

TEST_F(Layers, diagonalGradientPutsTheColoursInOppositeCorners)
{
    ZTLayerGradient* layer =
        ZTLayerGradient::layerWithColor(rgba(200, 100, 0, 255), rgba(0, 100, 200, 255), ZTPoint(1, 1));
    // Compressed (1, 1): the bottom-left corner is the start, the top-right the end, the others halfway.
    EXPECT_TRUE(is(corner(layer, 0), 200, 100, 0, 255));
    EXPECT_TRUE(is(corner(layer, 3), 0, 100, 200, 255));
    EXPECT_TRUE(is(corner(layer, 1), 100, 100, 100, 255));
}

TEST_F(Layers, zeroVectorLeavesEveryCornerAtTheStartColour)
{
    ZTLayerGradient* layer =
        ZTLayerGradient::layerWithColor(rgba(9, 8, 7, 255), rgba(200, 200, 200, 255), ZTPoint(0, 0));
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(is(corner(layer, i), 9, 8, 7, 255));
    }
}

TEST_F(Layers, gradientOpacitiesAreScaledByTheLayerOpacity)
{
    ZTLayerGradient* layer = ZTLayerGradient::layerWithColor(rgba(255, 255, 255, 200), rgba(0, 0, 0, 100));
    EXPECT_EQ(255, layer->getOpacity());
    EXPECT_EQ(200, corner(layer, 2).a);
    EXPECT_EQ(100, corner(layer, 0).a);
    layer->setOpacity(127);
    // trunc(200 * 127/255) = 99, trunc(100 * 127/255) = 49.
    EXPECT_EQ(99, corner(layer, 2).a);
    EXPECT_EQ(49, corner(layer, 0).a);
    layer->setEndOpacity(0);
    EXPECT_EQ(0, corner(layer, 0).a);
    layer->setStartColor(ztColor3B{1, 2, 3});
    EXPECT_TRUE(is(corner(layer, 3), 1, 2, 3, 99));
}

TEST_F(Layers, touchRegistrationFollowsTheRunningState)
{
    ZTTouchDispatcher* dispatcher = ZTTouchDispatcher::sharedDispatcher();
    ZTLayer* layer = ZTLayer::node();
    layer->setIsTouchEnabled(true);
    EXPECT_EQ(nullptr, dispatcher->findHandler(layer));
    layer->onEnter();
    EXPECT_NE(nullptr, dispatcher->findHandler(layer));
    layer->setIsTouchEnabled(false);
    EXPECT_EQ(nullptr, dispatcher->findHandler(layer));
    layer->setIsTouchEnabled(true);
    EXPECT_NE(nullptr, dispatcher->findHandler(layer));
    layer->onExit();
    EXPECT_EQ(nullptr, dispatcher->findHandler(layer));
}

TEST_F(Layers, colourLayerDrawsOpaqueWithTheCurrentBlendingAndTranslucentWithSourceAlpha)
{
    GLTestContext context(64, 64);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 64, 0, 64, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnable(GL_BLEND);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);

    // An opaque layer keeps whatever blending is set: (ZERO, ONE) leaves the red background alone.
    glBlendFunc(GL_ZERO, GL_ONE);
    ZTLayerColor::layerWithColorWidthHeight(rgba(0, 255, 0, 255), 32, 64)->draw();
    auto pixel = GLTestContext::readPixel(10, 10);
    EXPECT_EQ(255, pixel[0]);
    EXPECT_EQ(0, pixel[1]);
    GLint src = 0;
    glGetIntegerv(GL_BLEND_SRC, &src);
    EXPECT_EQ(GL_ZERO, src);

    // A translucent one blends with source alpha and restores (ONE, ONE_MINUS_SRC_ALPHA).
    ZTLayerColor::layerWithColorWidthHeight(rgba(0, 0, 255, 128), 64, 64)->draw();
    pixel = GLTestContext::readPixel(40, 10);
    EXPECT_NEAR(127, pixel[0], 1);
    EXPECT_NEAR(128, pixel[2], 1);
    glGetIntegerv(GL_BLEND_SRC, &src);
    EXPECT_EQ(GL_ONE, src);
    GLint dst = 0;
    glGetIntegerv(GL_BLEND_DST, &dst);
    EXPECT_EQ(GL_ONE_MINUS_SRC_ALPHA, dst);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));

    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
}

TEST_F(Layers, multiplexShowsOneLayerAtATime)
{
    ZTLayer* first = ZTLayer::node();
    ZTLayer* second = ZTLayer::node();
    ZTLayer* third = ZTLayer::node();
    ZTLayerMultiplex* multiplex = ZTLayerMultiplex::layerWithLayers(first, second, nullptr);
    ASSERT_NE(nullptr, multiplex);
    multiplex->addLayer(third);
    EXPECT_EQ(1u, multiplex->getChildrenCount());
    EXPECT_EQ(multiplex, first->getParent());

    multiplex->switchTo(2);
    EXPECT_EQ(2u, multiplex->enabledLayer());
    EXPECT_EQ(nullptr, first->getParent());
    EXPECT_EQ(multiplex, third->getParent());
    EXPECT_EQ(1u, multiplex->getChildrenCount());

    const unsigned int before = third->retainCount();
    multiplex->switchToAndReleaseMe(1);
    EXPECT_EQ(before - 2, third->retainCount());
    EXPECT_EQ(multiplex, second->getParent());
}

TEST_F(Layers, multiplexOfOneLayerShowsIt)
{
    ZTLayer* only = ZTLayer::node();
    ZTLayerMultiplex* multiplex = ZTLayerMultiplex::layerWithLayer(only);
    EXPECT_EQ(multiplex, only->getParent());
    EXPECT_EQ(0u, multiplex->enabledLayer());
}

TEST(LayersDeathTest, switchingPastTheLastLayerIsAProgrammingError)
{
    ZTLayerMultiplex* multiplex = ZTLayerMultiplex::layerWithLayer(ZTLayer::node());
    EXPECT_DEATH(multiplex->switchTo(1), "n < m_pLayers->count\\(\\)");
}
