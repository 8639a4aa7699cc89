#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <vector>

#include "DirectorWindow.h"
#include "layers_scenes_transitions_nodes/ZTLayerColor.h"
#include "layers_scenes_transitions_nodes/ZTScene.h"
#include "sprite_nodes/ZTSprite.h"
#include "sprite_nodes/ZTSpriteBatchNode.h"
#include "support/ZTRenderer.h"
#include "textures/ZTTexture2D.h"

using namespace zanth2d;

namespace {

using RGB = std::array<int, 3>;
const RGB kRed = {255, 0, 0};
const RGB kGreen = {0, 255, 0};
const RGB kBlue = {0, 0, 255};

// An opaque 8 x 8 texture of one colour. Autoreleased.
ZTTexture2D* solidTexture(const RGB& colour)
{
    std::vector<unsigned char> pixels(8 * 8 * 4);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = static_cast<unsigned char>(colour[0]);
        pixels[i + 1] = static_cast<unsigned char>(colour[1]);
        pixels[i + 2] = static_cast<unsigned char>(colour[2]);
        pixels[i + 3] = 255;
    }
    auto* texture = new ZTTexture2D();
    texture->initWithData(pixels.data(), kZTTexture2DPixelFormat_RGBA8888, 8, 8, ZTSize(8, 8));
    texture->autorelease();
    return texture;
}

// Draws a square of one colour at its origin with GL itself, from client memory, as code outside the
// renderer does.
class SelfDrawnSquare : public ZTNode
{
public:
    static SelfDrawnSquare* squareWithColour(const RGB& colour, float side)
    {
        auto* square = new SelfDrawnSquare();
        for (int i = 0; i < 4; ++i) {
            for (int c = 0; c < 3; ++c) {
                square->m_colours[size_t(i) * 4 + size_t(c)] = GLubyte(colour[size_t(c)]);
            }
            square->m_colours[size_t(i) * 4 + 3] = 255;
        }
        const GLfloat corners[8] = {0, 0, side, 0, 0, side, side, side};
        std::copy(corners, corners + 8, square->m_corners);
        square->autorelease();
        return square;
    }

    void draw() override
    {
        ZTRenderer::sharedRenderer()->beginDirectDraw();
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisable(GL_TEXTURE_2D);
        glVertexPointer(2, GL_FLOAT, 0, m_corners);
        glColorPointer(4, GL_UNSIGNED_BYTE, 0, m_colours);
        glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glEnable(GL_TEXTURE_2D);
    }

private:
    GLfloat m_corners[8] = {};
    GLubyte m_colours[16] = {};
};

class RendererTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_scene = ZTScene::node();
        m_window.director()->runWithScene(m_scene);
    }
    void TearDown() override { ZTRenderer::sharedRenderer()->setBatchingEnabled(true); }

    // As the bridge hangs an item's drawing: a node of its own at the position, the drawing at its origin.
    ZTNode* holder(float x, float y)
    {
        ZTNode* node = ZTNode::node();
        node->setPosition(ZTPoint(x, y));
        m_scene->addChild(node);
        return node;
    }
    ZTSprite* spriteAt(ZTTexture2D* texture, float x, float y)
    {
        ZTSprite* sprite = ZTSprite::spriteWithTexture(texture);
        sprite->setAnchorPoint(ZTPoint(0, 0));
        holder(x, y)->addChild(sprite);
        return sprite;
    }
    ZTLayerColor* layerAt(const RGB& colour, float x, float y, GLubyte opacity = 255, float side = 8)
    {
        ZTLayerColor* layer = ZTLayerColor::layerWithColorWidthHeight(
            ztColor4B{GLubyte(colour[0]), GLubyte(colour[1]), GLubyte(colour[2]), opacity}, side, side);
        holder(x, y)->addChild(layer);
        return layer;
    }
    SelfDrawnSquare* selfDrawnAt(const RGB& colour, float x, float y)
    {
        SelfDrawnSquare* square = SelfDrawnSquare::squareWithColour(colour, 8);
        holder(x, y)->addChild(square);
        return square;
    }
    // A grid of 2 x 2 layers over the window's lower 16 rows, red and blue in turn.
    void fillWithSmallLayers()
    {
        for (int y = 0; y < 16; y += 2) {
            for (int x = 0; x < kWidth; x += 2) {
                layerAt(((x + y) / 2) % 2 ? kBlue : kRed, float(x), float(y), 255, 2);
            }
        }
    }
    void expectSmallLayers()
    {
        int wrong = 0;
        for (int y = 0; y < 16; y += 2) {
            for (int x = 0; x < kWidth; x += 2) {
                wrong += DirectorWindow::pixel(x + 1, y + 1) != (((x + y) / 2) % 2 ? kBlue : kRed);
            }
        }
        EXPECT_EQ(wrong, 0);
    }

    // One frame drawn with batching on or off: its draw calls and the whole picture.
    unsigned long frame(bool batching, std::vector<unsigned char>* picture = nullptr)
    {
        ZTRenderer* renderer = ZTRenderer::sharedRenderer();
        renderer->setBatchingEnabled(batching);
        renderer->resetDrawCalls();
        m_window.frame();
        if (picture) {
            picture->assign(size_t(kWidth) * kHeight * 3, 0);
            glPixelStorei(GL_PACK_ALIGNMENT, 1);
            glReadBuffer(GL_BACK);
            glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, picture->data());
        }
        return renderer->getDrawCalls();
    }

    static constexpr int kWidth = 96;
    static constexpr int kHeight = 48;
    DirectorWindow m_window{kWidth, kHeight};
    ZTScene* m_scene = nullptr;
};

} // namespace

TEST_F(RendererTest, consecutiveQuadsOfOneKindUnderDifferentNodesDrawWithOneCall)
{
    ZTTexture2D* red = solidTexture(kRed);
    for (int i = 0; i < 6; ++i) {
        spriteAt(red, 2.0f + i * 10, 2);
    }
    for (int i = 0; i < 4; ++i) {
        layerAt(kBlue, 2.0f + i * 10, 20);
    }
    EXPECT_EQ(frame(true), 2u);
    EXPECT_EQ(DirectorWindow::pixel(55, 5), kRed);
    EXPECT_EQ(DirectorWindow::pixel(35, 23), kBlue);
    EXPECT_EQ(DirectorWindow::pixel(45, 23), RGB({0, 0, 0}));
    EXPECT_EQ(frame(false), 0u);
}

TEST_F(RendererTest, overlappingQuadsOfMixedKindsKeepTheirOrderAndLookAsDrawnOneByOne)
{
    ZTTexture2D* red = solidTexture(kRed);
    ZTTexture2D* green = solidTexture(kGreen);
    // Red, blue, red again on top, then a see-through layer and a texture of another kind over them.
    spriteAt(red, 10, 10);
    layerAt(kBlue, 13, 13);
    spriteAt(red, 16, 16);
    layerAt(kGreen, 20, 12, 128);
    spriteAt(green, 24, 8)->setRotation(30);
    // Neighbours that differ in their blend function alone: an added red over blue, a half green over blue.
    layerAt(kBlue, 40, 10);
    spriteAt(red, 60, 10);
    spriteAt(red, 42, 12)->setBlendFunc(ztBlendFunc{GL_ONE, GL_ONE});
    layerAt(kBlue, 70, 30);
    layerAt(kGreen, 74, 34, 128);

    std::vector<unsigned char> batched;
    std::vector<unsigned char> alone;
    EXPECT_EQ(frame(true, &batched), 10u);
    EXPECT_EQ(frame(false, &alone), 0u);
    EXPECT_EQ(batched, alone);
    EXPECT_EQ(DirectorWindow::pixel(14, 14), kBlue);
    EXPECT_EQ(DirectorWindow::pixel(17, 17), kRed);
    EXPECT_EQ(DirectorWindow::pixel(45, 15), RGB({255, 0, 255}));
}

TEST_F(RendererTest, aNodeThatDrawsWithGLItselfComesAfterTheQuadsQueuedBeforeIt)
{
    ZTTexture2D* red = solidTexture(kRed);
    ZTTexture2D* green = solidTexture(kGreen);
    spriteAt(red, 10, 10);
    ZTSpriteBatchNode* batch = ZTSpriteBatchNode::batchNodeWithTexture(green);
    ZTSprite* batched = ZTSprite::spriteWithTexture(green);
    batched->setAnchorPoint(ZTPoint(0, 0));
    batched->setPosition(ZTPoint(14, 14));
    batch->addChild(batched);
    m_scene->addChild(batch);
    spriteAt(red, 18, 18);

    std::vector<unsigned char> batchedPicture;
    std::vector<unsigned char> alone;
    frame(true, &batchedPicture);
    EXPECT_EQ(DirectorWindow::pixel(15, 15), kGreen);
    EXPECT_EQ(DirectorWindow::pixel(20, 20), kRed);
    frame(false, &alone);
    EXPECT_EQ(batchedPicture, alone);
}

TEST_F(RendererTest, codeThatDrawsItselfFromClientMemoryBetweenQueuedQuadsDrawsWhatItHolds)
{
    ZTTexture2D* red = solidTexture(kRed);
    for (int round = 0; round < 3; ++round) {
        spriteAt(red, 4.0f + round * 30, 4);
        selfDrawnAt(kGreen, 14.0f + round * 30, 4);
    }
    layerAt(kBlue, 4, 30);

    std::vector<unsigned char> batched;
    std::vector<unsigned char> alone;
    // Twice: the second frame draws from the buffers the first one made.
    for (int frameNumber = 0; frameNumber < 2; ++frameNumber) {
        EXPECT_EQ(frame(true, &batched), 4u);
        for (int round = 0; round < 3; ++round) {
            EXPECT_EQ(DirectorWindow::pixel(7 + round * 30, 7), kRed);
            EXPECT_EQ(DirectorWindow::pixel(17 + round * 30, 7), kGreen);
        }
        EXPECT_EQ(DirectorWindow::pixel(7, 33), kBlue);
    }
    frame(false, &alone);
    EXPECT_EQ(batched, alone);
}

TEST_F(RendererTest, aFrameWithFarMoreQuadsThanTheOnesBeforeDrawsThemAll)
{
    layerAt(kGreen, 40, 30);
    frame(true);
    EXPECT_EQ(DirectorWindow::pixel(43, 33), kGreen);

    // 384 quads after one: the buffers grow while the frame is drawn, in its first run and after code that
    // drew itself.
    selfDrawnAt(kGreen, 60, 30);
    fillWithSmallLayers();
    EXPECT_EQ(frame(true), 2u);
    expectSmallLayers();
    EXPECT_EQ(DirectorWindow::pixel(43, 33), kGreen);
    EXPECT_EQ(DirectorWindow::pixel(63, 33), kGreen);
    frame(true);
    expectSmallLayers();
}

TEST_F(RendererTest, quadsOffThePlaneOfZeroDepthHideWhatIsDrawnBehindThemLater)
{
    // A batch node raised towards the viewer draws its quads itself; blue on the plane z = 0 over them,
    // drawn later, stays behind.
    ZTTexture2D* green = solidTexture(kGreen);
    ZTSpriteBatchNode* batch = ZTSpriteBatchNode::batchNodeWithTexture(green);
    ZTSprite* batched = ZTSprite::spriteWithTexture(green);
    batched->setAnchorPoint(ZTPoint(0, 0));
    batched->setPosition(ZTPoint(50, 10));
    batch->addChild(batched);
    batch->setVertexZ(5);
    m_scene->addChild(batch);
    layerAt(kBlue, 54, 14);

    std::vector<unsigned char> batchedPicture;
    std::vector<unsigned char> alone;
    frame(true, &batchedPicture);
    EXPECT_EQ(DirectorWindow::pixel(55, 15), kGreen);
    EXPECT_EQ(DirectorWindow::pixel(60, 20), kBlue);
    frame(false, &alone);
    EXPECT_EQ(batchedPicture, alone);

    // The same with a raised layer of its own, queued like the others.
    batch->removeFromParentAndCleanup(true);
    ZTLayerColor* raised = layerAt(kRed, 10, 10);
    raised->getParent()->setVertexZ(5);
    layerAt(kBlue, 14, 14);
    frame(true, &batchedPicture);
    EXPECT_EQ(DirectorWindow::pixel(15, 15), kRed);
    EXPECT_EQ(DirectorWindow::pixel(20, 20), kBlue);
    EXPECT_EQ(DirectorWindow::pixel(55, 15), kBlue);
    frame(false, &alone);
    EXPECT_EQ(batchedPicture, alone);
}
