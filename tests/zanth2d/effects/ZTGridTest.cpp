#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "DirectorWindow.h"
#include "GLTestContext.h"
#include "effects/ZTGrid.h"
#include "layers_scenes_transitions_nodes/ZTLayerColor.h"
#include "layers_scenes_transitions_nodes/ZTScene.h"
#include "textures/ZTTexture2D.h"

using namespace zanth2d;

namespace {

using RGB = std::array<int, 3>;

// A scene red on its left half and green on its right half, running in the window.
ZTScene* runHalvesScene(DirectorWindow& window)
{
    const ZTSize size = window.director()->getWinSize();
    ZTScene* scene = ZTScene::node();
    ZTLayerColor* left = ZTLayerColor::layerWithColorWidthHeight(ztColor4B{255, 0, 0, 255}, size.width / 2, size.height);
    ZTLayerColor* right = ZTLayerColor::layerWithColorWidthHeight(ztColor4B{0, 255, 0, 255}, size.width / 2, size.height);
    right->setPosition(size.width / 2, 0);
    scene->addChild(left);
    scene->addChild(right);
    window.director()->runWithScene(scene);
    window.frames(2);
    return scene;
}

std::vector<GLushort> slice(const std::vector<GLushort>& indices, size_t from, size_t count)
{
    return std::vector<GLushort>(indices.begin() + from, indices.begin() + from + count);
}

// Runs make() while collecting the scene graph's log output.
template <typename Make> auto logged(std::string* output, Make make)
{
    testing::internal::CaptureStdout();
    auto result = make();
    *output = testing::internal::GetCapturedStdout();
    return result;
}

int lines(const std::string& text)
{
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

} // namespace

// Sizes and meshes

TEST(GridCapture, aWindowOf960x640GivesA1024TextureAndTenByEightStepsOf96x80)
{
    DirectorWindow window(960, 640);
    ZTGrid3D* grid = ZTGrid3D::gridWithSize(ztg(10, 8));
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->getTexture()->getPixelsWide(), 1024u);
    EXPECT_EQ(grid->getTexture()->getPixelsHigh(), 1024u);
    EXPECT_EQ(grid->getTexture()->getContentSizeInPixels().width, 960);
    EXPECT_EQ(grid->getTexture()->getContentSizeInPixels().height, 640);
    EXPECT_FLOAT_EQ(grid->getStep().x, 96);
    EXPECT_FLOAT_EQ(grid->getStep().y, 80);
    EXPECT_FALSE(grid->isActive());
    EXPECT_EQ(grid->getReuseGrid(), 0);

    // The lattice has 11 x 9 points; tile (x, y) is numbered y * 10 + x and joins a, b, d, b, c, d.
    const std::vector<GLushort>& indices = grid->getIndices();
    ASSERT_EQ(indices.size(), 10u * 8u * 6u);
    EXPECT_EQ(slice(indices, 0, 6), (std::vector<GLushort>{0, 9, 1, 9, 10, 1}));
    EXPECT_EQ(slice(indices, (7 * 10 + 9) * 6, 6), (std::vector<GLushort>{88, 97, 89, 97, 98, 89}));
    const ztVertex3F topRight = grid->vertex(ztg(10, 8));
    EXPECT_FLOAT_EQ(topRight.x, 960);
    EXPECT_FLOAT_EQ(topRight.y, 640);

    ZTTiledGrid3D* tiled = ZTTiledGrid3D::gridWithSize(ztg(10, 8));
    ASSERT_NE(tiled, nullptr);
    ASSERT_EQ(tiled->getIndices().size(), 80u * 6u);
    EXPECT_EQ(slice(tiled->getIndices(), 79 * 6, 6), (std::vector<GLushort>{316, 317, 318, 317, 318, 319}));
    const ztQuad3 last = tiled->tile(ztg(9, 7));
    EXPECT_FLOAT_EQ(last.bl.x, 864);
    EXPECT_FLOAT_EQ(last.bl.y, 560);
    EXPECT_FLOAT_EQ(last.tr.x, 960);
    EXPECT_FLOAT_EQ(last.tr.y, 640);
}

TEST(GridCapture, aTwoByOneLatticeSharesItsMiddleEdge)
{
    DirectorWindow window(480, 320);
    ZTGrid3D* grid = ZTGrid3D::gridWithSize(ztg(2, 1));
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->getIndices(), (std::vector<GLushort>{0, 2, 1, 2, 3, 1, 2, 4, 3, 4, 5, 3}));
    EXPECT_EQ(grid->getTexCoordinates().size(), 6u * 2u);
    const ztVertex3F middleTop = grid->vertex(ztg(1, 1));
    EXPECT_FLOAT_EQ(middleTop.x, 240);
    EXPECT_FLOAT_EQ(middleTop.y, 320);
}

TEST(GridCapture, aTileIsReadFromItsOwnTwelveFloats)
{
    DirectorWindow window(480, 320);
    ZTTiledGrid3D* grid = ZTTiledGrid3D::gridWithSize(ztg(2, 3));
    ASSERT_NE(grid, nullptr);
    // Tiles are stored x outer, y inner: (1, 0) is the fourth, floats 36 to 47.
    const ztQuad3 tile = grid->tile(ztg(1, 0));
    EXPECT_FLOAT_EQ(tile.bl.x, 240);
    EXPECT_FLOAT_EQ(tile.bl.y, 0);
    EXPECT_FLOAT_EQ(tile.tr.x, 480);
    EXPECT_NEAR(tile.tr.y, 320 / 3.0f, 1e-4);
    EXPECT_EQ(slice(grid->getIndices(), 3 * 6, 6), (std::vector<GLushort>{12, 13, 14, 13, 14, 15}));

    const ztQuad3 moved{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}};
    grid->setTile(ztg(1, 0), moved);
    EXPECT_FLOAT_EQ(grid->tile(ztg(1, 0)).tr.z, 12);
    EXPECT_FLOAT_EQ(grid->originalTile(ztg(1, 0)).tr.z, 0) << "the original stays";
    EXPECT_FLOAT_EQ(grid->tile(ztg(0, 2)).bl.x, 0) << "the neighbour in storage stays";
    EXPECT_FLOAT_EQ(grid->tile(ztg(1, 1)).bl.y, tile.tl.y);
}

TEST(GridCapture, flippingTheTextureReadsRowsFromTheTop)
{
    DirectorWindow window(960, 640);
    ZTGrid3D* grid = ZTGrid3D::gridWithSize(ztg(10, 8));
    ASSERT_NE(grid, nullptr);
    EXPECT_FLOAT_EQ(grid->getTexCoordinates()[1], 0);
    grid->setIsTextureFlipped(true);
    EXPECT_TRUE(grid->isTextureFlipped());
    EXPECT_FLOAT_EQ(grid->getTexCoordinates()[1], 640.0f / 1024.0f) << "vertex y = 0 reads the image's top row";
    EXPECT_EQ(grid->getIndices().size(), 10u * 8u * 6u) << "the mesh is rebuilt, not added to";
    grid->setIsTextureFlipped(false);
    EXPECT_FLOAT_EQ(grid->getTexCoordinates()[1], 0);
}

// Reuse and activation

TEST(GridCapture, reuseTakesTheCurrentShapeOnlyWhileTheCountLasts)
{
    DirectorWindow window(480, 320);
    ZTGrid3D* grid = ZTGrid3D::gridWithSize(ztg(4, 4));
    ASSERT_NE(grid, nullptr);
    grid->setVertex(ztg(1, 1), ztVertex3F{5, 6, 7});

    grid->reuse();
    EXPECT_FLOAT_EQ(grid->originalVertex(ztg(1, 1)).x, 120) << "a count of 0 changes nothing";

    grid->setReuseGrid(1);
    grid->reuse();
    EXPECT_FLOAT_EQ(grid->originalVertex(ztg(1, 1)).x, 5);
    EXPECT_FLOAT_EQ(grid->originalVertex(ztg(1, 1)).z, 7);
    EXPECT_EQ(grid->getReuseGrid(), 0);
}

TEST(GridCapture, deactivatingRestoresTheDirectorsProjectionEvenWhenNeverDrawn)
{
    DirectorWindow window(480, 320);
    const auto expected = GLTestContext::projectionMatrix();
    ZTTiledGrid3D* grid = ZTTiledGrid3D::gridWithSize(ztg(3, 3));
    ASSERT_NE(grid, nullptr);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    grid->setActive(true);
    grid->setActive(false);
    EXPECT_EQ(GLTestContext::projectionMatrix(), expected);
}

// Drawing through a grid

TEST(GridCapture, anUntouchedGridShowsTheNodeAsItWasAndKeepsTheClearColour)
{
    DirectorWindow window(480, 320);
    ZTScene* scene = runHalvesScene(window);
    ZTTiledGrid3D* grid = ZTTiledGrid3D::gridWithSize(ztg(18, 12));
    ASSERT_NE(grid, nullptr);
    scene->setGrid(grid);
    grid->setActive(true);
    glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
    window.frames(2);
    EXPECT_EQ(DirectorWindow::pixel(10, 10), (RGB{255, 0, 0}));
    EXPECT_EQ(DirectorWindow::pixel(235, 300), (RGB{255, 0, 0}));
    EXPECT_EQ(DirectorWindow::pixel(245, 20), (RGB{0, 255, 0}));
    EXPECT_EQ(DirectorWindow::pixel(470, 310), (RGB{0, 255, 0}));

    // A tile turned off lets the screen's own clear colour through, frame after frame.
    grid->setTile(ztg(2, 3), ztQuad3{});
    window.frames(2);
    EXPECT_EQ(DirectorWindow::pixel(60, 90), (RGB{51, 102, 153}));
    EXPECT_EQ(DirectorWindow::pixel(100, 90), (RGB{255, 0, 0}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(GridCapture, theLargestTiledGridTheIndicesAddressDrawsWhole)
{
    DirectorWindow window(480, 320);
    ZTScene* scene = runHalvesScene(window);
    ZTTiledGrid3D* grid = ZTTiledGrid3D::gridWithSize(ztg(128, 128));
    ASSERT_NE(grid, nullptr);
    scene->setGrid(grid);
    grid->setActive(true);
    window.frames(2);
    EXPECT_EQ(DirectorWindow::pixel(477, 317), (RGB{0, 255, 0}));
    EXPECT_EQ(DirectorWindow::pixel(2, 317), (RGB{255, 0, 0}));
}

// Refusals

TEST(GridCapture, gridSizesNoMeshCanAddressAreRefusedWithOneWarning)
{
    DirectorWindow window(480, 320);
    std::string output;
    EXPECT_EQ(logged(&output, [] { return ZTGrid3D::gridWithSize(ztg(0, 4)); }), nullptr);
    EXPECT_EQ(lines(output), 1) << output;
    EXPECT_NE(output.find("ZTGrid3D: WARNING:"), std::string::npos);
    EXPECT_EQ(logged(&output, [] { return ZTTiledGrid3D::gridWithSize(ztg(4, -1)); }), nullptr);
    EXPECT_EQ(lines(output), 1) << output;
    EXPECT_EQ(logged(&output, [] { return ZTGrid3D::gridWithSize(ztg(256, 255)); }), nullptr);
    EXPECT_EQ(lines(output), 1) << output;
    EXPECT_EQ(logged(&output, [] { return ZTTiledGrid3D::gridWithSize(ztg(160, 120)); }), nullptr);
    EXPECT_EQ(lines(output), 1) << output;
    EXPECT_NE(output.find("ZTTiledGrid3D: WARNING:"), std::string::npos);
    EXPECT_EQ(logged(&output, [] { return ZTTiledGrid3D::gridWithSize(ztg(1 << 20, 1 << 20)); }), nullptr);
    EXPECT_EQ(lines(output), 1) << output;
    EXPECT_EQ(ZTTiledGrid3D::gridWithSize(ztg(4, 3), nullptr, false), nullptr);

    EXPECT_NE(logged(&output, [] { return ZTGrid3D::gridWithSize(ztg(255, 255)); }), nullptr);
    EXPECT_TRUE(output.empty()) << output;
}

TEST(GridCapture, anIncompleteFramebufferIsReportedOnceAndTheNodeDrawnUnwarped)
{
    DirectorWindow window(480, 320);
    ZTScene* scene = runHalvesScene(window);
    auto* empty = new ZTTexture2D();
    unsigned char pixel[4] = {0, 0, 0, 0};
    empty->initWithData(pixel, kZTTexture2DPixelFormat_RGBA8888, 0, 0, ZTSize(0, 0));
    std::string output;
    ZTTiledGrid3D* grid = logged(&output, [&] { return ZTTiledGrid3D::gridWithSize(ztg(2, 2), empty, false); });
    empty->release();
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(lines(output), 1) << output;
    EXPECT_NE(output.find("ZTGrabber: WARNING:"), std::string::npos);

    scene->setPosition(20, 10);
    scene->setGrid(grid);
    grid->setActive(true);
    testing::internal::CaptureStdout();
    window.frames(2);
    EXPECT_TRUE(testing::internal::GetCapturedStdout().empty());
    EXPECT_EQ(DirectorWindow::pixel(15, 100), (RGB{0, 0, 0})) << "the scene is drawn where it is, moved";
    EXPECT_EQ(DirectorWindow::pixel(25, 100), (RGB{255, 0, 0}));
    EXPECT_EQ(DirectorWindow::pixel(300, 100), (RGB{0, 255, 0}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
