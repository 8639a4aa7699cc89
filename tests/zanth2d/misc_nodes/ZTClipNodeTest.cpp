#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "../sprite_nodes/SpriteScene.h"
#include "DirectorWindow.h"
#include "misc_nodes/ZTClipNode.h"
#include "misc_nodes/ZTFilledPolygon.h"
#include "sprite_nodes/ZTSprite.h"
#include "textures/ZTTexture2D.h"

using namespace zanth2d;

namespace {

const std::array<int, 3> kRed = {255, 0, 0};
const std::array<int, 3> kBlack = {0, 0, 0};

// A clipping node where the engine puts its scene layer (y pointing down from the top of a 256-pixel
// window), clipping on. Autoreleased.
ZTClipNode* clipAtTopLeft()
{
    auto* clip = new ZTClipNode();
    clip->autorelease();
    clip->setPosition(ZTPoint(0, 256));
    clip->setClipsToBounds(true);
    return clip;
}

// An opaque red sprite hanging from its parent's origin that covers a 256 x 256 window. Autoreleased.
ZTSprite* redSprite()
{
    std::vector<unsigned char> pixels(256 * 256 * 4);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = 255;
        pixels[i + 3] = 255;
    }
    auto* texture = new ZTTexture2D();
    texture->initWithData(pixels.data(), kZTTexture2DPixelFormat_RGBA8888, 256, 256, ZTSize(256, 256));
    ZTSprite* sprite = ZTSprite::spriteWithTexture(texture);
    texture->release();
    sprite->setAnchorPoint(ZTPoint(0, 1));
    return sprite;
}

struct StencilState
{
    GLint enabled, func, ref, valueMask, fail, depthFail, depthPass, writeMask;

    static StencilState current()
    {
        StencilState s{};
        s.enabled = glIsEnabled(GL_STENCIL_TEST);
        glGetIntegerv(GL_STENCIL_FUNC, &s.func);
        glGetIntegerv(GL_STENCIL_REF, &s.ref);
        glGetIntegerv(GL_STENCIL_VALUE_MASK, &s.valueMask);
        glGetIntegerv(GL_STENCIL_FAIL, &s.fail);
        glGetIntegerv(GL_STENCIL_PASS_DEPTH_FAIL, &s.depthFail);
        glGetIntegerv(GL_STENCIL_PASS_DEPTH_PASS, &s.depthPass);
        glGetIntegerv(GL_STENCIL_WRITEMASK, &s.writeMask);
        return s;
    }
    bool operator==(const StencilState& o) const
    {
        return enabled == o.enabled && func == o.func && ref == o.ref && valueMask == o.valueMask &&
               fail == o.fail && depthFail == o.depthFail && depthPass == o.depthPass &&
               writeMask == o.writeMask;
    }
};

class ClipNodeTest : public ::testing::Test
{
protected:
    SpriteScene m_scene{256, 256};
};

} // namespace

// Where the subtree shows

TEST_F(ClipNodeTest, spriteShowsOnlyInsideTheClippingRectangle)
{
    ZTClipNode* clip = clipAtTopLeft();
    clip->setClippingRegion(50, 50, 100, 100);
    clip->addChild(redSprite());
    clip->visit();
    // Window rows count from the bottom: the region's top edge is row 205, its bottom edge row 106.
    EXPECT_EQ(SpriteScene::rgb(100, 150), kRed);
    EXPECT_EQ(SpriteScene::rgb(50, 205), kRed);
    EXPECT_EQ(SpriteScene::rgb(149, 106), kRed);
    EXPECT_EQ(SpriteScene::rgb(49, 150), kBlack);
    EXPECT_EQ(SpriteScene::rgb(150, 150), kBlack);
    EXPECT_EQ(SpriteScene::rgb(100, 105), kBlack);
    EXPECT_EQ(SpriteScene::rgb(100, 206), kBlack);
}

TEST_F(ClipNodeTest, withClippingOffTheSubtreeDrawsAsAPlainNode)
{
    ZTClipNode* clip = clipAtTopLeft();
    clip->setClippingRegion(50, 50, 100, 100);
    clip->setClipsToBounds(false);
    clip->addChild(redSprite());
    clip->visit();
    EXPECT_EQ(SpriteScene::rgb(10, 10), kRed);
    EXPECT_EQ(SpriteScene::rgb(250, 250), kRed);
}

TEST_F(ClipNodeTest, withoutARegionNothingOfTheSubtreeDraws)
{
    ZTClipNode* clip = clipAtTopLeft();
    clip->addChild(redSprite());
    clip->visit();
    EXPECT_EQ(SpriteScene::rgb(128, 128), kBlack);
    EXPECT_EQ(clip->getStencil(), nullptr);
}

TEST_F(ClipNodeTest, regionOfZeroWidthDrawsNothing)
{
    ZTClipNode* clip = clipAtTopLeft();
    clip->setClippingRegion(50, 50, 0, 100);
    clip->addChild(redSprite());
    clip->visit();
    EXPECT_EQ(SpriteScene::rgb(50, 150), kBlack);
    EXPECT_EQ(clip->getStencil()->getVertexCount(), 0);
}

TEST_F(ClipNodeTest, regionMovesWithTheNodesPosition)
{
    ZTClipNode* clip = clipAtTopLeft();
    clip->setPosition(ZTPoint(100, 200));
    clip->setClippingRegion(0, 0, 20, 20);
    clip->addChild(redSprite());
    clip->visit();
    EXPECT_EQ(SpriteScene::rgb(110, 190), kRed);
    EXPECT_EQ(SpriteScene::rgb(95, 190), kBlack);
    EXPECT_EQ(SpriteScene::rgb(110, 201), kBlack);
}

TEST_F(ClipNodeTest, siblingsClipToTheirOwnRegions)
{
    ZTNode* root = ZTNode::node();
    ZTClipNode* left = clipAtTopLeft();
    left->setClippingRegion(0, 0, 50, 50);
    left->addChild(redSprite());
    ZTClipNode* right = clipAtTopLeft();
    right->setClippingRegion(200, 200, 50, 50);
    right->addChild(redSprite());
    root->addChild(left);
    root->addChild(right);
    root->visit();
    EXPECT_EQ(SpriteScene::rgb(25, 230), kRed);
    EXPECT_EQ(SpriteScene::rgb(225, 30), kRed);
    EXPECT_EQ(SpriteScene::rgb(225, 230), kBlack);
    EXPECT_EQ(SpriteScene::rgb(25, 30), kBlack);
}

// Nesting

TEST_F(ClipNodeTest, nestedClipsShowOnlyWhereEveryRegionOverlaps)
{
    ZTClipNode* outer = clipAtTopLeft();
    outer->setClippingRegion(0, 0, 100, 100);
    auto* inner = new ZTClipNode();
    inner->autorelease();
    inner->setClipsToBounds(true);
    inner->setClippingRegion(50, 50, 100, 100);
    inner->addChild(redSprite());
    outer->addChild(inner);
    outer->visit();
    EXPECT_EQ(SpriteScene::rgb(75, 180), kRed);
    EXPECT_EQ(SpriteScene::rgb(120, 180), kBlack);
    EXPECT_EQ(SpriteScene::rgb(25, 230), kBlack);
}

TEST_F(ClipNodeTest, ninthNestedClipWarnsOnceAndDrawsUnclippedInsideTheEighth)
{
    ASSERT_EQ(ZTClipNode::getStencilBits(), 8);
    ZTClipNode* root = clipAtTopLeft();
    ZTNode* parent = root;
    for (int k = 0; k < 9; ++k) {
        ZTClipNode* clip = k == 0 ? root : new ZTClipNode();
        if (k > 0) {
            clip->autorelease();
            clip->setClipsToBounds(true);
            parent->addChild(clip);
        }
        // Eight shrinking regions; the ninth is a small square that would hide most of the content.
        if (k < 8) {
            clip->setClippingRegion(5.0f * k, 5.0f * k, 200.0f - 10 * k, 200.0f - 10 * k);
        } else {
            clip->setClippingRegion(100, 100, 10, 10);
        }
        parent = clip;
    }
    parent->addChild(redSprite());

    testing::internal::CaptureStdout();
    root->visit();
    root->visit();
    const std::string log = testing::internal::GetCapturedStdout();
    const std::string message =
        "Nesting more than 8 stencils is not supported. Everything will be drawn without "
        "stencil for this node and its childs.\n";
    EXPECT_EQ(log, message);

    // The eighth region runs from 35 to 165 points in both directions.
    EXPECT_EQ(SpriteScene::rgb(50, 150), kRed);
    EXPECT_EQ(SpriteScene::rgb(36, 150), kRed);
    EXPECT_EQ(SpriteScene::rgb(33, 150), kBlack);
    EXPECT_EQ(SpriteScene::rgb(100, 256 - 167), kBlack);
}

// GL state

TEST_F(ClipNodeTest, visitLeavesTheStencilStateAsItFoundItAndTheDefaultBlendFunction)
{
    glStencilFunc(GL_LEQUAL, 3, 0x0F);
    glStencilOp(GL_KEEP, GL_INCR, GL_DECR);
    glStencilMask(0x7F);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    const StencilState before = StencilState::current();

    ZTClipNode* clip = clipAtTopLeft();
    clip->setClippingRegion(50, 50, 100, 100);
    clip->addChild(redSprite());
    clip->visit();

    EXPECT_TRUE(StencilState::current() == before);
    EXPECT_EQ(GLTestContext::blendFunction(), (std::array<GLint, 2>{GL_ONE, GL_ONE_MINUS_SRC_ALPHA}));
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_EQ(depthWrites, GL_TRUE);
    glStencilMask(0xFF);
    glStencilFunc(GL_ALWAYS, 0, 0xFF);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
}

// The clip shape

TEST_F(ClipNodeTest, regionBecomesARectangleInNodeSpaceWithYNegated)
{
    ZTClipNode clip;
    clip.setClippingRegion(10, 20, 100, 50);
    const std::vector<ZTPoint>& points = clip.getStencil()->getAreaTrianglePoints();
    ASSERT_EQ(points.size(), 6u);
    auto byX = [](const ZTPoint& a, const ZTPoint& b) { return a.x < b.x; };
    auto byY = [](const ZTPoint& a, const ZTPoint& b) { return a.y < b.y; };
    EXPECT_FLOAT_EQ(std::min_element(points.begin(), points.end(), byX)->x, 10);
    EXPECT_FLOAT_EQ(std::max_element(points.begin(), points.end(), byX)->x, 110);
    EXPECT_FLOAT_EQ(std::min_element(points.begin(), points.end(), byY)->y, -70);
    EXPECT_FLOAT_EQ(std::max_element(points.begin(), points.end(), byY)->y, -20);
}

TEST_F(ClipNodeTest, negativeWidthIsUsedOnceButStoredAsZero)
{
    ZTClipNode clip;
    clip.setClippingRegion(0, 0, -10, 10);
    EXPECT_FLOAT_EQ(clip.getClippingRegion().size.width, 0);
    EXPECT_EQ(clip.getStencil()->getVertexCount(), 6);
    clip.setScale(1.0f);
    EXPECT_EQ(clip.getStencil()->getVertexCount(), 0);
}

TEST_F(ClipNodeTest, rotationTurnsOnlyTheClipShape)
{
    ZTClipNode clip;
    clip.setClippingRegion(0, 0, 10, 10);
    ZTFilledPolygon* stencil = clip.getStencil();
    clip.setRotation(30);
    EXPECT_FLOAT_EQ(clip.getRotation(), 0);
    EXPECT_FLOAT_EQ(stencil->getRotation(), 30);
    EXPECT_EQ(clip.getStencil(), stencil);
}

// In the director's window

namespace {

// Reads the stencil value of one pixel when it is drawn, before anything else of the frame.
class StencilProbe : public ZTNode
{
public:
    void draw() override { glReadPixels(100, 150, 1, 1, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, &value); }
    unsigned char value = 0xEE;
};

} // namespace

TEST(ClipNodeInTheWindow, windowHasAnEightBitStencilBufferClearedEveryFrame)
{
    DirectorWindow window(256, 256);
    GLint bits = 0;
    glGetIntegerv(GL_STENCIL_BITS, &bits);
    EXPECT_EQ(bits, 8);

    ZTScene* scene = ZTScene::node();
    auto* probe = new StencilProbe();
    probe->autorelease();
    scene->addChild(probe, -1);
    ZTClipNode* clip = clipAtTopLeft();
    clip->setClippingRegion(50, 50, 100, 100);
    clip->addChild(redSprite());
    scene->addChild(clip);
    window.show(scene);
    EXPECT_EQ(window.pixel(100, 150), kRed);
    window.frame();
    EXPECT_EQ(probe->value, 0);
}

TEST(ClipNodeInTheWindow, movedRegionLeavesNothingBehindInTheNextFrame)
{
    DirectorWindow window(256, 256);
    ZTScene* scene = ZTScene::node();
    ZTClipNode* clip = clipAtTopLeft();
    clip->setClippingRegion(0, 0, 50, 50);
    clip->addChild(redSprite());
    scene->addChild(clip);
    window.show(scene);
    EXPECT_EQ(window.pixel(25, 230), kRed);
    clip->setClippingRegion(200, 200, 50, 50);
    window.frame();
    EXPECT_EQ(window.pixel(25, 230), kBlack);
    EXPECT_EQ(window.pixel(225, 30), kRed);
}
