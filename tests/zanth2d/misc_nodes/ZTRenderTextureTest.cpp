#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <string>
#include <vector>

#include "DirectorWindow.h"
#include "FixtureDir.h"
#include "PngFixture.h"
#include "ZTDrawingPrimitives.h"
#include "misc_nodes/ZTRenderTexture.h"
#include "platform/ZTFileUtils.h"
#include "platform/ZTImage.h"
#include "sprite_nodes/ZTSprite.h"

using namespace zanth2d;

namespace {

using RGBA = std::array<int, 4>;

RGBA at(const unsigned char* pixels, int width, int x, int y)
{
    const unsigned char* p = pixels + (static_cast<size_t>(y) * width + x) * 4;
    return {p[0], p[1], p[2], p[3]};
}

const RGBA kRed = {255, 0, 0, 255};
const RGBA kGreen = {0, 255, 0, 255};
const RGBA kBlue = {0, 0, 255, 255};

void solidRect(GLubyte r, GLubyte g, GLubyte b, ZTPoint from, ZTPoint to)
{
    glColor4ub(r, g, b, 255);
    ztDrawSolidRect(from, to);
    glColor4ub(255, 255, 255, 255);
}

class RenderTextureTest : public ::testing::Test
{
protected:
    // A 100 x 60 render texture: its top half red, its bottom half green, its top-left pixel blue.
    ZTRenderTexture* drawnTexture()
    {
        ZTRenderTexture* texture = ZTRenderTexture::renderTextureWithWidthAndHeight(100, 60);
        texture->beginWithClear(0, 0, 0, 1);
        solidRect(255, 0, 0, ZTPoint(0, 30), ZTPoint(100, 60));
        solidRect(0, 255, 0, ZTPoint(0, 0), ZTPoint(100, 30));
        solidRect(0, 0, 255, ZTPoint(0, 59), ZTPoint(1, 60));
        texture->end();
        return texture;
    }

    DirectorWindow m_window{320, 240};
};

} // namespace

// Making one

TEST_F(RenderTextureTest, textureIsAPowerOfTwoHoldingTheSizeShownByAFlippedSprite)
{
    ZTRenderTexture* texture = ZTRenderTexture::renderTextureWithWidthAndHeight(100, 60);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->getTexture()->getPixelsWide(), 128u);
    EXPECT_EQ(texture->getTexture()->getPixelsHigh(), 64u);
    EXPECT_FLOAT_EQ(texture->getTexture()->getContentSizeInPixels().width, 100);
    EXPECT_FLOAT_EQ(texture->getTexture()->getContentSizeInPixels().height, 60);
    ASSERT_NE(texture->getSprite(), nullptr);
    EXPECT_EQ(texture->getSprite()->getParent(), texture);
    EXPECT_EQ(texture->getSprite()->getTexture(), texture->getTexture());
    EXPECT_FLOAT_EQ(texture->getSprite()->getScaleY(), -1);
}

TEST_F(RenderTextureTest, unusableSizesAreRefusedWithOneLogLine)
{
    testing::internal::CaptureStdout();
    EXPECT_EQ(ZTRenderTexture::renderTextureWithWidthAndHeight(0, 60), nullptr);
    EXPECT_EQ(ZTRenderTexture::renderTextureWithWidthAndHeight(100, -1), nullptr);
    EXPECT_EQ(ZTRenderTexture::renderTextureWithWidthAndHeight(1 << 20, 4), nullptr);
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 3) << log;
}

// Reading back

TEST_F(RenderTextureTest, wholeTextureReadsBackTopRowFirst)
{
    ZTRenderTexture* texture = drawnTexture();
    unsigned char* pixels = texture->getBuffer(nullptr, 0, 0, 0, 0);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(at(pixels, 100, 0, 0), kBlue);
    EXPECT_EQ(at(pixels, 100, 1, 0), kRed);
    EXPECT_EQ(at(pixels, 100, 99, 29), kRed);
    EXPECT_EQ(at(pixels, 100, 0, 30), kGreen);
    EXPECT_EQ(at(pixels, 100, 99, 59), kGreen);
    delete[] pixels;
}

TEST_F(RenderTextureTest, rectangleReachingBeyondTheTextureIsCutAtItsEdge)
{
    ZTRenderTexture* texture = drawnTexture();
    ZTImage image;
    ASSERT_TRUE(texture->getUIImageFromBuffer(&image, 90, 50, 20, 20));
    EXPECT_EQ(image.getWidth(), 10);
    EXPECT_EQ(image.getHeight(), 10);
    EXPECT_EQ(at(image.getData(), 10, 9, 9), kRed);

    unsigned char* corner = texture->getBuffer(nullptr, 0, 0, 10, 10);
    ASSERT_NE(corner, nullptr);
    // The rectangle starts at the bottom: all green.
    EXPECT_EQ(at(corner, 10, 0, 0), kGreen);
    delete[] corner;
}

TEST_F(RenderTextureTest, badRectanglesGiveBackTheFirstArgument)
{
    ZTRenderTexture* texture = drawnTexture();
    unsigned char sentinel[4] = {};
    EXPECT_EQ(texture->getBuffer(nullptr, 0, 0, 10, 0), nullptr);
    EXPECT_EQ(texture->getBuffer(sentinel, 0, 0, 0, 10), sentinel);
    EXPECT_EQ(texture->getBuffer(sentinel, 100, 0, 0, 0), sentinel);
    EXPECT_EQ(texture->getBuffer(sentinel, 0, 60, 0, 0), sentinel);
    EXPECT_EQ(texture->getBuffer(sentinel, -1, 0, 5, 5), sentinel);
    EXPECT_EQ(texture->getBuffer(sentinel, 0, 0, -5, 5), sentinel);
    ZTImage image;
    EXPECT_FALSE(texture->getUIImageFromBuffer(&image, 0, 0, 10, 0));
    EXPECT_FALSE(texture->getUIImageFromBuffer(nullptr));
    EXPECT_EQ(texture->getUIImageAsDataFromBuffer(kZTImageFormatPNG), nullptr);
    FixtureDir dir;
    EXPECT_FALSE(texture->saveBuffer(dir.path("bad.png").c_str(), 0, 0, 10, 0));
    EXPECT_FALSE(std::ifstream(dir.path("bad.png")).good());
}

TEST_F(RenderTextureTest, otherPixelFormatsDrawButDoNotReadBack)
{
    ZTRenderTexture* texture =
        ZTRenderTexture::renderTextureWithWidthAndHeight(16, 16, kZTTexture2DPixelFormat_RGB565);
    ASSERT_NE(texture, nullptr);
    texture->clear(1, 0, 0, 1);
    testing::internal::CaptureStdout();
    EXPECT_EQ(texture->getBuffer(nullptr), nullptr);
    ZTImage image;
    EXPECT_FALSE(texture->getUIImageFromBuffer(&image));
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log;
    EXPECT_NE(log.find("RGBA8888"), std::string::npos) << log;
}

// Drawing state

TEST_F(RenderTextureTest, endGivesTheWindowBackItsFramebufferAndViewport)
{
    ZTRenderTexture* texture = ZTRenderTexture::renderTextureWithWidthAndHeight(100, 60);
    GLfloat clearColour[4] = {0.25f, 0.5f, 0.75f, 1.0f};
    glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
    texture->begin();
    GLint bound = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    EXPECT_NE(bound, 0);
    texture->end();
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    EXPECT_EQ(bound, 0);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 320);
    EXPECT_EQ(viewport[3], 240);

    texture->clear(0, 0, 1, 1);
    GLfloat after[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, after);
    EXPECT_FLOAT_EQ(after[2], 0.75f);
    unsigned char* pixels = texture->getBuffer(nullptr);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(at(pixels, 100, 50, 30), kBlue);
    delete[] pixels;
    glClearColor(0, 0, 0, 1);
}

TEST_F(RenderTextureTest, itsSpriteShowsTheDrawingUprightInTheWindow)
{
    ZTRenderTexture* texture = drawnTexture();
    texture->setPosition(ZTPoint(160, 120));
    ZTScene* scene = ZTScene::node();
    scene->addChild(texture);
    m_window.show(scene);
    // 100 x 60 centred on (160, 120): red above the middle, green below.
    EXPECT_EQ(DirectorWindow::pixel(160, 140), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(DirectorWindow::pixel(160, 100), (std::array<int, 3>{0, 255, 0}));
    EXPECT_EQ(DirectorWindow::pixel(110, 149), (std::array<int, 3>{0, 0, 255}));
    EXPECT_EQ(DirectorWindow::pixel(160, 155), (std::array<int, 3>{0, 0, 0}));
}

// Saving

TEST_F(RenderTextureTest, savedPngHoldsTheSamePixelsForAnotherReader)
{
    ZTRenderTexture* texture = drawnTexture();
    FixtureDir dir;
    ASSERT_TRUE(texture->saveBuffer(dir.path("shot.png").c_str()));
    unsigned char* pixels = texture->getBuffer(nullptr);
    ASSERT_NE(pixels, nullptr);
    std::string rgb;
    for (int i = 0; i < 100 * 60; ++i) {
        rgb.append(reinterpret_cast<const char*>(pixels + i * 4), 3);
    }
    delete[] pixels;
    dir.write("expected.rgb", rgb);
    EXPECT_TRUE(dir.python(std::string(kPythonPngReader) + R"PY(
w, h, channels, rows = read_png("shot.png")
assert (w, h) == (100, 60), (w, h)
got = b"".join(b"".join(row[i:i + 3] for i in range(0, len(row), channels)) for row in rows)
assert got == open("expected.rgb", "rb").read(), "pixels differ"
)PY"));
}

TEST_F(RenderTextureTest, savingWithAFormatWritesIntoTheWriteableFolder)
{
    ZTRenderTexture* texture = drawnTexture();
    ASSERT_TRUE(texture->saveBuffer(kZTImageFormatPNG, "render.png", 0, 0, 10, 10));
    ASSERT_TRUE(texture->saveBuffer(kZTImageFormatJPG, "render.jpg"));
    ZTImage png;
    ASSERT_TRUE(png.initWithImageFile((ZTFileUtils::getWriteablePath() + "render.png").c_str()));
    EXPECT_EQ(png.getWidth(), 10);
    ZTImage jpg;
    EXPECT_TRUE(
        jpg.initWithImageFile((ZTFileUtils::getWriteablePath() + "render.jpg").c_str(), ZTImage::kFmtJpg));
}

TEST_F(RenderTextureTest, unsupportedSaveFormatFailsWithOneLogLine)
{
    ZTRenderTexture* texture = drawnTexture();
    testing::internal::CaptureStdout();
    EXPECT_FALSE(texture->saveBuffer(2, "never.png"));
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
    std::ifstream file(ZTFileUtils::getWriteablePath() + "never.png");
    EXPECT_FALSE(file.good());
}
