#include <QGuiApplication>
#include <QImage>
#include <gtest/gtest.h>

#include "FixtureDir.h"
#include "PngFixture.h"
#include "platform/ZTImage.h"

using namespace zanth2d;

namespace {

const char* kFont = "/usr/share/fonts/truetype/paratype/PTS55F.ttf";

const std::string kPythonPngs = std::string(kPythonPngWriter) + R"PY(
png("rgba.png", 100, 60, lambda x, y: bytes([200, 100, 50, 128]) if x == 3 and y == 2 else bytes([x, y, 7, 255]), 6)
png("rgb.png", 5, 4, lambda x, y: bytes([10, 20, 30]), 2)
open("notpng.png", "wb").write(b"\x89PNG\r\n\x1a\n broken")
)PY";

class ZTImageTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = new FixtureDir();
        ASSERT_TRUE(s_dir->python(kPythonPngs));
    }
    static void TearDownTestSuite()
    {
        delete s_dir;
        s_dir = nullptr;
    }
    static std::string file(const std::string& name) { return s_dir->path(name); }
    static FixtureDir* s_dir;
};

FixtureDir* ZTImageTest::s_dir = nullptr;

const unsigned char* pixel(ZTImage& image, int x, int y)
{
    return image.getData() + (y * image.getWidth() + x) * 4;
}

bool hasLitPixel(ZTImage& image)
{
    for (size_t i = 0; i < image.getDataLen(); i += 4) {
        if (image.getData()[i + 3] > 128) {
            return true;
        }
    }
    return false;
}

} // namespace

TEST_F(ZTImageTest, pngDecodesToPremultipliedRGBABytes)
{
    ZTImage image;
    ASSERT_TRUE(image.initWithImageFile(file("rgba.png").c_str(), ZTImage::kFmtPng));
    EXPECT_EQ(image.getWidth(), 100);
    EXPECT_EQ(image.getHeight(), 60);
    EXPECT_EQ(image.getBitsPerComponent(), 8);
    EXPECT_TRUE(image.hasAlpha());
    EXPECT_TRUE(image.isPremultipliedAlpha());
    const unsigned char* p = pixel(image, 10, 20);
    EXPECT_EQ((std::vector<int>{p[0], p[1], p[2], p[3]}), (std::vector<int>{10, 20, 7, 255}));
    p = pixel(image, 3, 2);
    EXPECT_NEAR(p[0], 100, 1);
    EXPECT_NEAR(p[1], 50, 1);
    EXPECT_NEAR(p[2], 25, 1);
    EXPECT_EQ(p[3], 128);
}

TEST_F(ZTImageTest, pngWithoutAlphaBecomesOpaque)
{
    ZTImage image;
    ASSERT_TRUE(image.initWithImageFileThreadSafe(file("rgb.png").c_str(), ZTImage::kFmtPng));
    EXPECT_TRUE(image.hasAlpha());
    EXPECT_EQ(image.getBitsPerComponent(), 8);
    const unsigned char* p = pixel(image, 4, 3);
    EXPECT_EQ((std::vector<int>{p[0], p[1], p[2], p[3]}), (std::vector<int>{10, 20, 30, 255}));
}

TEST_F(ZTImageTest, jpegDecodes)
{
    QImage source(16, 8, QImage::Format_RGB32);
    source.fill(QColor(0, 0, 255));
    ASSERT_TRUE(source.save(QString::fromStdString(file("blue.jpg")), "JPG", 95));
    ZTImage image;
    ASSERT_TRUE(image.initWithImageFile(file("blue.jpg").c_str(), ZTImage::kFmtJpg));
    EXPECT_EQ(image.getWidth(), 16);
    const unsigned char* p = pixel(image, 8, 4);
    EXPECT_LT(p[0], 10);
    EXPECT_GT(p[2], 245);
    EXPECT_EQ(p[3], 255);
}

TEST_F(ZTImageTest, badInputLeavesTheImageAsItWas)
{
    ZTImage image;
    ASSERT_TRUE(image.initWithImageFile(file("rgb.png").c_str()));
    testing::internal::CaptureStdout();
    EXPECT_FALSE(image.initWithImageFile(file("notpng.png").c_str()));
    EXPECT_FALSE(image.initWithImageFile(file("missing.png").c_str()));
    EXPECT_FALSE(image.initWithImageFile(file("rgba.png").c_str(), ZTImage::kFmtRawData));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(image.getWidth(), 5);
    unsigned char raw[4 * 4] = {1, 2, 3, 4};
    EXPECT_FALSE(image.initWithImageData(raw, 16, ZTImage::kFmtRawData, 0, 4));
    testing::internal::CaptureStdout();
    EXPECT_FALSE(image.initWithImageData(raw, 16, ZTImage::kFmtRawData, 4, 4))
        << "16 bytes cannot hold 4 x 4 pixels";
    EXPECT_FALSE(testing::internal::GetCapturedStdout().empty());
    EXPECT_FALSE(image.initWithImageData(raw, 16, static_cast<ZTImage::EImageFormat>(7)));
    ASSERT_TRUE(image.initWithImageData(raw, 16, ZTImage::kFmtRawData, 2, 2));
    EXPECT_EQ(image.getWidth(), 2);
    EXPECT_EQ(pixel(image, 0, 0)[3], 4);
}

TEST_F(ZTImageTest, textIsMeasuredOrBoxedWithMargin)
{
    ZTImage measured;
    ASSERT_TRUE(measured.initWithString("Hello", 0, 0, ZTImage::kAlignCenter, kFont, 20));
    EXPECT_GT(measured.getWidth(), 20);
    EXPECT_GE(measured.getHeight(), 20);
    EXPECT_TRUE(hasLitPixel(measured));
    EXPECT_TRUE(measured.isPremultipliedAlpha());

    ZTImage boxed;
    ASSERT_TRUE(boxed.initWithString("Hello", 100, 30, ZTImage::kAlignTopLeft, kFont, 14));
    EXPECT_EQ(boxed.getWidth(), 102);
    EXPECT_EQ(boxed.getHeight(), 30);
    const unsigned char* p = pixel(boxed, 101, 29);
    EXPECT_EQ(p[3], 0) << "top-left text leaves the bottom-right corner empty";

    ZTImage empty;
    ASSERT_TRUE(empty.initWithString("", 0, 0, ZTImage::kAlignCenter, kFont, 14));
    EXPECT_GE(empty.getWidth(), 1);
}

TEST_F(ZTImageTest, impossibleTextSizesAreRefused)
{
    ZTImage image;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(image.initWithString("x", -5, 10, ZTImage::kAlignCenter, kFont, 14));
    EXPECT_FALSE(image.initWithString("x", 10, -1, ZTImage::kAlignCenter, kFont, 14));
    EXPECT_FALSE(image.initWithString("x", 70000, 10, ZTImage::kAlignCenter, kFont, 14));
    EXPECT_FALSE(image.initWithString("x", 65000, 65000, ZTImage::kAlignCenter, kFont, 14))
        << "16 GB of pixels";
    EXPECT_FALSE(image.initWithString("x", 0, 0, ZTImage::kAlignCenter, kFont, 0));
    EXPECT_FALSE(
        image.initWithString(std::string(9000, 'W').c_str(), 0, 0, ZTImage::kAlignCenter, kFont, 40));
    testing::internal::GetCapturedStdout();
    EXPECT_FALSE(image.initWithString(nullptr, 0, 0, ZTImage::kAlignCenter, kFont, 14));
    EXPECT_EQ(image.getData(), nullptr);
}

TEST_F(ZTImageTest, savingKeepsColourOfHalfTransparentPixels)
{
    ZTImage image;
    ASSERT_TRUE(image.initWithImageFile(file("rgba.png").c_str()));
    ASSERT_TRUE(image.saveToFile(file("out.png").c_str(), false));
    QImage saved(QString::fromStdString(file("out.png")));
    ASSERT_TRUE(saved.hasAlphaChannel());
    QColor c = saved.pixelColor(3, 2);
    EXPECT_NEAR(c.red(), 200, 2);
    EXPECT_NEAR(c.green(), 100, 2);
    EXPECT_NEAR(c.blue(), 50, 2);
    EXPECT_EQ(c.alpha(), 128);
    EXPECT_EQ(saved.pixelColor(10, 20), QColor(10, 20, 7, 255));

    ASSERT_TRUE(image.saveToFile(file("rgb.PNG").c_str(), true));
    EXPECT_FALSE(QImage(QString::fromStdString(file("rgb.PNG"))).hasAlphaChannel());
    ASSERT_TRUE(image.saveToFile(file("photo.jpg").c_str(), false));
    EXPECT_EQ(QImage(QString::fromStdString(file("photo.jpg"))).width(), 100);
}

TEST_F(ZTImageTest, saveChoosesTheFormatByName)
{
    ZTImage image;
    ASSERT_TRUE(image.initWithImageFile(file("rgb.png").c_str()));
    FixtureDir dir;
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    EXPECT_TRUE(image.saveToFile("x.png"));
    EXPECT_TRUE(image.saveToFile("shot.PNG"));
    EXPECT_FALSE(image.saveToFile("a.bmp"));
    EXPECT_FALSE(image.saveToFile("a.pn"));
    EXPECT_FALSE(image.saveToFile(nullptr));
    EXPECT_FALSE(image.saveToFile(file("missing-folder/x.png").c_str()));
    ZTImage empty;
    EXPECT_FALSE(empty.saveToFile("e.png"));
    ASSERT_EQ(chdir("/"), 0);
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
