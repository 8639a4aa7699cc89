#include <QGuiApplication>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include "FixtureDir.h"
#include "GLTestContext.h"
#include "PngFixture.h"
#include "ZTDirector.h"
#include "platform/ZTImage.h"
#include "support/ZTUtils.h"
#include "textures/ZTTexture2D.h"

using namespace zanth2d;

namespace {

const char* kFont = "/usr/share/fonts/truetype/paratype/PTS55F.ttf";

// A w x h image of one RGBA colour.
void fill(ZTImage& image, int w, int h, std::vector<unsigned char> rgba)
{
    std::vector<unsigned char> raw;
    for (int i = 0; i < w * h; ++i) {
        raw.insert(raw.end(), rgba.begin(), rgba.end());
    }
    ASSERT_TRUE(
        image.initWithImageData(raw.data(), static_cast<int>(raw.size()), ZTImage::kFmtRawData, w, h));
}

template <typename T>
std::vector<T> readBack(ZTTexture2D* texture, GLenum format, GLenum type, size_t perPixel, GLint level = 0)
{
    glBindTexture(GL_TEXTURE_2D, texture->getName());
    GLint w = 0, h = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &h);
    std::vector<T> texels(static_cast<size_t>(w) * static_cast<size_t>(h) * perPixel);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, level, format, type, texels.data());
    return texels;
}

uint16_t single16(ZTTexture2DPixelFormat format, std::vector<unsigned char> rgba, GLenum glFormat,
                  GLenum type)
{
    ZTTexture2D::setDefaultAlphaPixelFormat(format);
    ZTImage image;
    fill(image, 1, 1, rgba);
    auto* texture = new ZTTexture2D();
    EXPECT_TRUE(texture->initWithImage(&image));
    ZTTexture2D::setDefaultAlphaPixelFormat(kZTTexture2DPixelFormat_Default);
    EXPECT_EQ(texture->getPixelFormat(), format);
    EXPECT_EQ(texture->bitsPerPixelForFormat(), 16u);
    uint16_t value = readBack<uint16_t>(texture, glFormat, type, 1).at(0);
    texture->release();
    return value;
}

} // namespace

TEST(ZTTexture2DTest, imageIsPaddedToPowerOfTwoWithItsContentCoordinates)
{
    FixtureDir dir;
    ASSERT_TRUE(dir.python(std::string(kPythonPngWriter) +
                           "png('a.png', 100, 60, lambda x, y: bytes([x, y, 255 - x, 255]))\n"
                           "png('b.png', 64, 64, lambda x, y: bytes([1, 2, 3, 255]))\n"));
    ZTImage image;
    ASSERT_TRUE(image.initWithImageFile(dir.path("a.png").c_str()));
    auto* texture = new ZTTexture2D();
    ASSERT_TRUE(texture->initWithImage(&image));
    EXPECT_EQ(texture->getPixelsWide(), 128u);
    EXPECT_EQ(texture->getPixelsHigh(), 64u);
    EXPECT_FLOAT_EQ(texture->getContentSizeInPixels().width, 100.0f);
    EXPECT_FLOAT_EQ(texture->getContentSizeInPixels().height, 60.0f);
    EXPECT_FLOAT_EQ(texture->getMaxS(), 0.78125f);
    EXPECT_FLOAT_EQ(texture->getMaxT(), 0.9375f);
    EXPECT_TRUE(texture->getHasPremultipliedAlpha());
    EXPECT_EQ(texture->getPixelFormat(), kZTTexture2DPixelFormat_RGBA8888);
    EXPECT_NE(texture->getName(), 0u);

    std::vector<unsigned char> texels = readBack<unsigned char>(texture, GL_RGBA, GL_UNSIGNED_BYTE, 4);
    auto at = [&](int x, int y) {
        return std::vector<int>(texels.begin() + (y * 128 + x) * 4, texels.begin() + (y * 128 + x) * 4 + 4);
    };
    EXPECT_EQ(at(0, 0), (std::vector<int>{0, 0, 255, 255})) << "the image's top row is the first row";
    EXPECT_EQ(at(99, 59), (std::vector<int>{99, 59, 156, 255}));
    EXPECT_EQ(at(100, 0), (std::vector<int>{0, 0, 0, 0})) << "padding is transparent black";
    EXPECT_EQ(at(5, 60), (std::vector<int>{0, 0, 0, 0}));

    ZTDirector::sharedDirector()->setContentScaleFactor(2.0f);
    EXPECT_FLOAT_EQ(texture->getContentSize().width, 50.0f);
    EXPECT_FLOAT_EQ(texture->getContentSize().height, 30.0f);
    ZTDirector::sharedDirector()->setContentScaleFactor(1.0f);

    char* text = texture->description();
    EXPECT_EQ(std::string(text), "<ZTTexture2D | Name = " + std::to_string(texture->getName()) +
                                     " | Dimensions = 128 x 64 | Coordinates = (0.78, 0.94)>");
    delete[] text;
    texture->release();

    ASSERT_TRUE(image.initWithImageFile(dir.path("b.png").c_str()));
    texture = new ZTTexture2D();
    ASSERT_TRUE(texture->initWithImage(&image));
    EXPECT_EQ(texture->getPixelsWide(), 64u);
    EXPECT_FLOAT_EQ(texture->getMaxS(), 1.0f);
    EXPECT_FLOAT_EQ(texture->getMaxT(), 1.0f);
    texture->release();
}

TEST(ZTTexture2DTest, sixteenBitFormatsPackKnownColours)
{
    const std::vector<unsigned char> red = {255, 0, 0, 255};
    EXPECT_EQ(single16(kZTTexture2DPixelFormat_RGBA4444, red, GL_RGBA, GL_UNSIGNED_SHORT_4_4_4_4), 0xF00F);
    EXPECT_EQ(single16(kZTTexture2DPixelFormat_RGB5A1, red, GL_RGBA, GL_UNSIGNED_SHORT_5_5_5_1), 0xF801);
    EXPECT_EQ(single16(kZTTexture2DPixelFormat_RGB565, red, GL_RGB, GL_UNSIGNED_SHORT_5_6_5), 0xF800);

    const std::vector<unsigned char> mixed = {0x12, 0x34, 0x56, 0x78};
    EXPECT_EQ(single16(kZTTexture2DPixelFormat_RGBA4444, mixed, GL_RGBA, GL_UNSIGNED_SHORT_4_4_4_4), 0x1357);
    EXPECT_EQ(single16(kZTTexture2DPixelFormat_RGB5A1, mixed, GL_RGBA, GL_UNSIGNED_SHORT_5_5_5_1),
              (0x12 >> 3) << 11 | (0x34 >> 3) << 6 | (0x56 >> 3) << 1 | 0);
    EXPECT_EQ(single16(kZTTexture2DPixelFormat_RGB565, mixed, GL_RGB, GL_UNSIGNED_SHORT_5_6_5),
              (0x12 >> 3) << 11 | (0x34 >> 2) << 5 | (0x56 >> 3));
    EXPECT_EQ(single16(kZTTexture2DPixelFormat_RGB565, {0, 255, 0, 255}, GL_RGB, GL_UNSIGNED_SHORT_5_6_5),
              0x07E0);
    EXPECT_EQ(single16(kZTTexture2DPixelFormat_RGB5A1, {0, 0, 255, 128}, GL_RGBA, GL_UNSIGNED_SHORT_5_5_5_1),
              0x003F);
}

TEST(ZTTexture2DTest, eightBitRequestsAndRawFormatsUploadAsDeclared)
{
    ZTTexture2D::setDefaultAlphaPixelFormat(kZTTexture2DPixelFormat_A8);
    EXPECT_EQ(ZTTexture2D::defaultAlphaPixelFormat(), kZTTexture2DPixelFormat_A8);
    ZTImage image;
    fill(image, 2, 2, {9, 8, 7, 6});
    auto* texture = new ZTTexture2D();
    ASSERT_TRUE(texture->initWithImage(&image));
    ZTTexture2D::setDefaultAlphaPixelFormat(kZTTexture2DPixelFormat_Default);
    EXPECT_EQ(texture->getPixelFormat(), kZTTexture2DPixelFormat_RGBA8888)
        << "an A8 request still uploads 32 bits";
    EXPECT_EQ(readBack<unsigned char>(texture, GL_RGBA, GL_UNSIGNED_BYTE, 4)[3], 6);
    texture->release();

    struct Case
    {
        ZTTexture2DPixelFormat format;
        GLenum glFormat;
        size_t bytes;
        unsigned int bits;
    } cases[] = {{kZTTexture2DPixelFormat_RGB888, GL_RGB, 3, 24},
                 {kZTTexture2DPixelFormat_A8, GL_ALPHA, 1, 8},
                 {kZTTexture2DPixelFormat_AI88, GL_LUMINANCE_ALPHA, 2, 16}};
    for (const Case& c : cases) {
        std::vector<unsigned char> pixels(3 * 5 * c.bytes);
        for (size_t i = 0; i < pixels.size(); ++i) {
            pixels[i] = static_cast<unsigned char>(i * 7);
        }
        texture = new ZTTexture2D();
        ASSERT_TRUE(texture->initWithData(pixels.data(), c.format, 3, 5, ZTSize(3, 5)));
        EXPECT_EQ(texture->bitsPerPixelForFormat(), c.bits);
        EXPECT_EQ(readBack<unsigned char>(texture, c.glFormat, GL_UNSIGNED_BYTE, c.bytes), pixels)
            << "rows are packed without padding";
        EXPECT_FLOAT_EQ(texture->getMaxS(), 1.0f);
        texture->setAliasTexParameters();
        texture->release();
    }
}

TEST(ZTTexture2DTest, aDefaultFormatImagesCannotBeMadeInIsRefusedWithOneWarning)
{
    ZTTexture2D::setDefaultAlphaPixelFormat(kZTTexture2DPixelFormat_RGBA4444);
    for (ZTTexture2DPixelFormat refused :
         {kZTTexture2DPixelFormat_PVRTC4, kZTTexture2DPixelFormat_PVRTC2, kZTTexture2DPixelFormat_I8,
          kZTTexture2DPixelFormat_AI88, kZTTexture2DPixelFormat_Automatic}) {
        testing::internal::CaptureStdout();
        ZTTexture2D::setDefaultAlphaPixelFormat(refused);
        const std::string log = testing::internal::GetCapturedStdout();
        EXPECT_EQ(log, "ZTTexture2D: WARNING: images cannot be loaded in pixel format " +
                           std::to_string(refused) + ", the default alpha pixel format stays 7\n");
        EXPECT_EQ(ZTTexture2D::defaultAlphaPixelFormat(), kZTTexture2DPixelFormat_RGBA4444);
    }
    ZTImage image;
    fill(image, 2, 2, {9, 8, 7, 6});
    auto* texture = new ZTTexture2D();
    ASSERT_TRUE(texture->initWithImage(&image));
    ZTTexture2D::setDefaultAlphaPixelFormat(kZTTexture2DPixelFormat_Default);
    EXPECT_EQ(texture->getPixelFormat(), kZTTexture2DPixelFormat_RGBA4444);
    texture->release();
}

TEST(ZTTexture2DTest, failedInitialisationLeavesOneReferenceToTheCreator)
{
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    ZTImage wide;
    fill(wide, maxSize + 1, 1, {1, 1, 1, 1});
    auto* texture = new ZTTexture2D();
    EXPECT_FALSE(texture->initWithImage(&wide));
    EXPECT_EQ(texture->retainCount(), 1u);
    EXPECT_EQ(texture->getName(), 0u);
    EXPECT_FALSE(texture->initWithImage(nullptr));
    ZTImage empty;
    EXPECT_FALSE(texture->initWithImage(&empty));
    texture->release();
}

TEST(ZTTexture2DTest, textTexturesAreMeasuredOrBoxed)
{
    auto* texture = new ZTTexture2D();
    ASSERT_TRUE(texture->initWithString("Score 100", kFont, 18.7f));
    EXPECT_GT(texture->getContentSizeInPixels().width, 40.0f);
    EXPECT_EQ(texture->getPixelsWide(),
              ztNextPOT(static_cast<unsigned long>(texture->getContentSizeInPixels().width)));
    texture->release();

    texture = new ZTTexture2D();
    ASSERT_TRUE(texture->initWithString("Left", ZTSize(99.2f, 29.5f), kZTTextAlignmentLeft, kFont, 14));
    EXPECT_FLOAT_EQ(texture->getContentSizeInPixels().width, 102.0f);
    EXPECT_FLOAT_EQ(texture->getContentSizeInPixels().height, 30.0f);
    texture->release();

    testing::internal::CaptureStdout();
    for (ZTSize bad :
         {ZTSize(-10, 10), ZTSize(10, -3), ZTSize(NAN, 10), ZTSize(1e12f, 10), ZTSize(10, INFINITY)}) {
        texture = new ZTTexture2D();
        EXPECT_FALSE(texture->initWithString("x", bad, kZTTextAlignmentCenter, kFont, 14))
            << bad.width << " x " << bad.height;
        texture->release();
    }
    texture = new ZTTexture2D();
    EXPECT_FALSE(texture->initWithString("x", kFont, NAN));
    EXPECT_FALSE(texture->initWithString(nullptr, kFont, 12));
    texture->release();
    testing::internal::GetCapturedStdout();
}

TEST(ZTTexture2DTest, drawsItsContentAtAPointAndInARect)
{
    ZTImage image;
    std::vector<unsigned char> raw;
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            std::vector<unsigned char> colour = y == 0 ? std::vector<unsigned char>{0, 0, 255, 255}
                                                       : std::vector<unsigned char>{255, 0, 0, 255};
            raw.insert(raw.end(), colour.begin(), colour.end());
        }
    }
    ASSERT_TRUE(
        image.initWithImageData(raw.data(), static_cast<int>(raw.size()), ZTImage::kFmtRawData, 4, 3));
    auto* texture = new ZTTexture2D();
    ASSERT_TRUE(texture->initWithImage(&image));
    texture->setAliasTexParameters();

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 64, 0, 64, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_TEXTURE_2D);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    texture->drawAtPoint(ZTPoint(10, 10));
    texture->drawInRect(ZTRect(30, 30, 16, 12));
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisable(GL_TEXTURE_2D);

    using Pixel = std::array<unsigned char, 4>;
    // Only the 4 x 3 content is drawn; its first row lands at the top.
    EXPECT_EQ(GLTestContext::readPixel(11, 10), (Pixel{255, 0, 0, 255}));
    EXPECT_EQ(GLTestContext::readPixel(11, 12), (Pixel{0, 0, 255, 255}));
    EXPECT_EQ(GLTestContext::readPixel(14, 11), (Pixel{0, 0, 0, 255}));
    EXPECT_EQ(GLTestContext::readPixel(10, 13), (Pixel{0, 0, 0, 255}));
    EXPECT_EQ(GLTestContext::readPixel(45, 31), (Pixel{255, 0, 0, 255}));
    EXPECT_EQ(GLTestContext::readPixel(45, 41), (Pixel{0, 0, 255, 255}));
    EXPECT_EQ(GLTestContext::readPixel(47, 35), (Pixel{0, 0, 0, 255}));
    texture->release();
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    GLTestContext context;
    int result = RUN_ALL_TESTS();
#if defined(__SANITIZE_ADDRESS__)
    // Check for leaks while the GL driver is still loaded: after GLFW unloads it at exit, the driver's
    // own allocations from drawing can no longer be told apart from ours.
    __lsan_do_leak_check();
#endif
    return result;
}
