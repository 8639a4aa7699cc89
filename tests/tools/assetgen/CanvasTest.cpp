// The drawing helpers every image of the generator goes through.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPainter>

#include "Canvas.h"

using namespace assetgen;

TEST(Canvas, softImagesLeaveTheBorderEmptyAtEverySize)
{
    for (const int edge : {4, 8, 32, 64}) {
        // A drawing that covers the whole canvas still gets a clear outermost ring.
        const QImage image = renderSoftImage(QSize(edge, edge), [](QPainter& p) {
            p.fillRect(QRectF(-1.0, -1.0, 2.0, 2.0), QColor(40, 160, 220));
        });
        ASSERT_EQ(image.size(), QSize(edge, edge));
        EXPECT_EQ(image.format(), QImage::Format_ARGB32);
        for (int i = 0; i < edge; ++i) {
            EXPECT_EQ(qAlpha(image.pixel(i, 0)), 0);
            EXPECT_EQ(qAlpha(image.pixel(0, i)), 0);
            EXPECT_EQ(qAlpha(image.pixel(i, edge - 1)), 0);
            EXPECT_EQ(qAlpha(image.pixel(edge - 1, i)), 0);
        }
        EXPECT_EQ(image.pixel(edge / 2, edge / 2), qRgba(40, 160, 220, 255));
        EXPECT_EQ(image.pixel(0, 0) & 0xFFFFFF, qRgb(40, 160, 220) & 0xFFFFFF)
            << "the colour bleeds outwards";
    }
}

TEST(Canvas, unitCoordinatesPutTheOriginInTheMiddleWithYDown)
{
    const QImage image = renderSoftImage(
        QSize(32, 32), [](QPainter& p) { p.fillRect(QRectF(0.0, 0.0, 0.9, 0.9), Qt::white); });
    EXPECT_EQ(qAlpha(image.pixel(24, 24)), 255) << "lower right quarter";
    EXPECT_EQ(qAlpha(image.pixel(8, 8)), 0) << "upper left quarter";
}

TEST(Canvas, bleedingGivesEachTransparentPixelItsNearestVisibleColour)
{
    QImage image(7, 1, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    image.setPixel(1, 0, qRgba(255, 0, 0, 255));
    image.setPixel(5, 0, qRgba(0, 0, 255, 128));
    bleedColours(image);
    const QRgb expected[] = {qRgba(255, 0, 0, 0), qRgba(255, 0, 0, 255), qRgba(255, 0, 0, 0), 0,
                             qRgba(0, 0, 255, 0), qRgba(0, 0, 255, 128), qRgba(0, 0, 255, 0)};
    for (int x = 0; x < 7; ++x) {
        if (x == 3) {
            EXPECT_EQ(qAlpha(image.pixel(x, 0)), 0) << "halfway: either colour";
            continue;
        }
        EXPECT_EQ(image.pixel(x, 0), expected[x]) << "at " << x;
    }
}

TEST(Canvas, bleedingAnEmptyImageLeavesItAlone)
{
    QImage image(3, 3, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    bleedColours(image);
    EXPECT_EQ(image.pixel(1, 1), 0u);
}

TEST(Canvas, noiseIsRepeatableBoundedAndSmooth)
{
    for (int i = 0; i < 200; ++i) {
        const double x = i * 0.137;
        const double y = i * 0.071;
        const double n = fractalNoise(x, y, 7u);
        EXPECT_EQ(n, fractalNoise(x, y, 7u));
        EXPECT_GE(n, 0.0);
        EXPECT_LE(n, 1.0);
        EXPECT_LT(std::abs(valueNoise(x, y, 7u) - valueNoise(x + 0.001, y, 7u)), 0.01);
    }
    EXPECT_NE(valueNoise(0.5, 0.5, 1u), valueNoise(0.5, 0.5, 2u));
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
