// Packing, drawing and describing frames of a sprite sheet.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>

#include "SpriteSheet.h"

using assetgen::SpriteSheet;

namespace {

SpriteSheet::FrameDrawing fill(const QColor& colour)
{
    return [colour](QPainter& painter, const QRectF&) {
        // Paints far beyond the frame: the sheet must clip it.
        painter.fillRect(QRectF(-1000, -1000, 3000, 3000), colour);
    };
}

QRect rectOf(const QJsonObject& object)
{
    return QRect(object["x"].toInt(), object["y"].toInt(), object["w"].toInt(), object["h"].toInt());
}

QJsonObject framesOf(const SpriteSheet& sheet, int scale)
{
    return QJsonDocument::fromJson(sheet.json(scale, "sheet.png")).object()["frames"].toObject();
}

} // namespace

TEST(SpriteSheet, packsTallestFirstOnShelvesWithPaddingBetweenFrames)
{
    SpriteSheet sheet(QSize(100, 100), 2);
    sheet.addFrame("low.png", QSize(40, 10), fill(Qt::red));
    sheet.addFrame("high.png", QSize(60, 30), fill(Qt::green));
    sheet.addFrame("next.png", QSize(36, 20), fill(Qt::blue));
    sheet.addFrame("wide.png", QSize(90, 10), fill(Qt::white));
    ASSERT_TRUE(sheet.pack());
    const QJsonObject frames = framesOf(sheet, 1);
    EXPECT_EQ(rectOf(frames["high.png"].toObject()["frame"].toObject()), QRect(0, 0, 60, 30));
    EXPECT_EQ(rectOf(frames["next.png"].toObject()["frame"].toObject()), QRect(62, 0, 36, 20));
    EXPECT_EQ(rectOf(frames["low.png"].toObject()["frame"].toObject()), QRect(0, 32, 40, 10));
    EXPECT_EQ(rectOf(frames["wide.png"].toObject()["frame"].toObject()), QRect(0, 44, 90, 10));
}

TEST(SpriteSheet, refusesFramesThatDoNotFit)
{
    SpriteSheet tooWide(QSize(100, 100), 2);
    tooWide.addFrame("a.png", QSize(101, 10), fill(Qt::red));
    EXPECT_FALSE(tooWide.pack());

    SpriteSheet tooMany(QSize(100, 100), 2);
    for (int i = 0; i < 4; ++i) {
        tooMany.addFrame(QStringLiteral("%1.png").arg(i), QSize(100, 30), fill(Qt::red));
    }
    EXPECT_FALSE(tooMany.pack());
}

TEST(SpriteSheet, drawsEachFrameOnlyInsideItsRectangleAtEveryScale)
{
    SpriteSheet sheet(QSize(64, 32), 2);
    sheet.addFrame("red.png", QSize(20, 20), fill(Qt::red));
    sheet.addFrame("blue.png", QSize(20, 10), fill(Qt::blue));
    ASSERT_TRUE(sheet.pack());
    for (const int scale : {1, 2, 4}) {
        const QImage image = sheet.render(scale);
        ASSERT_EQ(image.size(), QSize(64, 32) * scale);
        EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::red));
        EXPECT_EQ(image.pixelColor(20 * scale - 1, 20 * scale - 1), QColor(Qt::red));
        EXPECT_EQ(image.pixelColor(22 * scale, 0), QColor(Qt::blue));
        EXPECT_EQ(qAlpha(image.pixel(21 * scale, 0)), 0) << "padding stays clear";
        EXPECT_EQ(qAlpha(image.pixel(22 * scale, 10 * scale)), 0) << "below the short frame";
        EXPECT_EQ(qAlpha(image.pixel(0, 20 * scale)), 0) << "below the tall frame";
    }
}

TEST(SpriteSheet, describesFramesAndImageInThePixelsOfItsScale)
{
    SpriteSheet sheet(QSize(64, 32), 2);
    sheet.addFrame("red.png", QSize(20, 20), fill(Qt::red));
    sheet.addFrame("blue.png", QSize(20, 10), fill(Qt::blue));
    ASSERT_TRUE(sheet.pack());
    const QJsonObject json = QJsonDocument::fromJson(sheet.json(4, "sheet-hd2.png")).object();
    const QJsonObject blue = json["frames"].toObject()["blue.png"].toObject();
    EXPECT_EQ(rectOf(blue["frame"].toObject()), QRect(88, 0, 80, 40));
    EXPECT_EQ(rectOf(blue["spriteSourceSize"].toObject()), QRect(0, 0, 80, 40));
    EXPECT_EQ(blue["sourceSize"].toObject()["w"].toInt(), 80);
    EXPECT_EQ(blue["sourceSize"].toObject()["h"].toInt(), 40);
    EXPECT_FALSE(blue["rotated"].toBool(true));
    EXPECT_FALSE(blue["trimmed"].toBool(true));
    const QJsonObject meta = json["meta"].toObject();
    EXPECT_EQ(meta["image"].toString(), QStringLiteral("sheet-hd2.png"));
    EXPECT_EQ(meta["format"].toString(), QStringLiteral("RGBA8888"));
    EXPECT_EQ(meta["size"].toObject()["w"].toInt(), 256);
    EXPECT_EQ(meta["size"].toObject()["h"].toInt(), 128);
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
