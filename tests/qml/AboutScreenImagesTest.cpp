// The about screen's sprite sheets and the header logos in the application's resource tree, read the way
// the animated-sprite manager reads a sheet: frame rectangles from the JSON hash, the texture beside it.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QRect>
#include <QSet>

#include "zanthjson.h"

using ZanthJson::Json;

namespace {

struct SheetSize
{
    const char* suffix;
    int scale;
};

const SheetSize kSizes[] = {{"-sd", 1}, {"-hd", 2}, {"-hd2", 4}};

QStringList expectedFrames()
{
    QStringList frames = {"background.png", "item.png"};
    for (const char* button :
         {"left", "right", "title", "link", "interactive_item", "qt", "zanth2d", "product1", "product2"}) {
        for (const char* state : {"_normal.png", "_hover.png", "_click.png"}) {
            frames << QString::fromLatin1(button) + state;
        }
    }
    frames.sort();
    return frames;
}

QVariantMap sheetJson(const SheetSize& size)
{
    QFile file(QStringLiteral(":/qml/img/aboutscreen%1.json").arg(size.suffix));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << size.suffix;
    bool ok = false;
    const QVariantMap sheet = Json::parse(QString::fromUtf8(file.readAll()), ok).toMap();
    EXPECT_TRUE(ok) << size.suffix;
    return sheet;
}

QRect rectOf(const QVariantMap& object)
{
    return QRect(object.value("x").toInt(), object.value("y").toInt(), object.value("w").toInt(),
                 object.value("h").toInt());
}

QRect frameRect(const QVariantMap& sheet, const QString& name)
{
    return rectOf(sheet.value("frames").toMap().value(name).toMap().value("frame").toMap());
}

int visiblePixels(const QImage& image, const QRect& rect)
{
    int visible = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            visible += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
        }
    }
    return visible;
}

} // namespace

TEST(AboutScreenImages, eachSheetListsEveryFrameAndNamesItsImage)
{
    for (const SheetSize& size : kSizes) {
        SCOPED_TRACE(size.suffix);
        const QVariantMap sheet = sheetJson(size);
        EXPECT_EQ(sheet.value("frames").toMap().keys(), expectedFrames());
        const QVariantMap meta = sheet.value("meta").toMap();
        const QString image = QStringLiteral("aboutscreen%1.png").arg(size.suffix);
        EXPECT_EQ(meta.value("image").toString(), image);
        EXPECT_EQ(meta.value("format").toString(), QStringLiteral("RGBA8888"));
        const QImage texture(QStringLiteral(":/qml/img/") + image);
        EXPECT_EQ(texture.size(), QSize(512, 1024) * size.scale);
        EXPECT_EQ(rectOf(meta.value("size").toMap()).size(), texture.size());
    }
}

TEST(AboutScreenImages, framesLieInsideTheirImageWithoutOverlapping)
{
    for (const SheetSize& size : kSizes) {
        SCOPED_TRACE(size.suffix);
        const QVariantMap sheet = sheetJson(size);
        const QRect image(QPoint(0, 0), QSize(512, 1024) * size.scale);
        QList<QRect> placed;
        for (const QString& name : expectedFrames()) {
            const QRect rect = frameRect(sheet, name);
            EXPECT_FALSE(rect.isEmpty()) << name.toStdString();
            EXPECT_TRUE(image.contains(rect)) << name.toStdString();
            for (const QRect& other : placed) {
                EXPECT_FALSE(rect.intersects(other)) << name.toStdString();
            }
            placed << rect;
        }
    }
}

TEST(AboutScreenImages, framesAreWholeImagesAsTheSpriteReaderTakesThem)
{
    // Untrimmed frames give every sprite a zero offset and its full size.
    for (const SheetSize& size : kSizes) {
        const QVariantMap frames = sheetJson(size).value("frames").toMap();
        for (auto it = frames.cbegin(); it != frames.cend(); ++it) {
            const QVariantMap frame = it.value().toMap();
            const QRect rect = rectOf(frame.value("frame").toMap());
            EXPECT_EQ(frame.value("rotated"), QVariant(false)) << it.key().toStdString();
            EXPECT_EQ(frame.value("trimmed"), QVariant(false)) << it.key().toStdString();
            EXPECT_EQ(rectOf(frame.value("spriteSourceSize").toMap()), QRect(QPoint(0, 0), rect.size()));
            EXPECT_EQ(rectOf(frame.value("sourceSize").toMap()).size(), rect.size());
        }
    }
}

TEST(AboutScreenImages, largerSheetsAreTheSmallOneScaledUp)
{
    const QVariantMap small = sheetJson(kSizes[0]);
    for (const SheetSize& size : {kSizes[1], kSizes[2]}) {
        const QVariantMap large = sheetJson(size);
        for (const QString& name : expectedFrames()) {
            const QRect rect = frameRect(small, name);
            EXPECT_EQ(frameRect(large, name), QRect(rect.topLeft() * size.scale, rect.size() * size.scale))
                << size.suffix << " " << name.toStdString();
        }
    }
    EXPECT_EQ(frameRect(small, "background.png").size(), QSize(480, 320));
}

TEST(AboutScreenImages, everyFrameIsDrawnAndButtonStatesLookDifferent)
{
    for (const SheetSize& size : kSizes) {
        const QVariantMap sheet = sheetJson(size);
        const QImage image = QImage(QStringLiteral(":/qml/img/aboutscreen%1.png").arg(size.suffix))
                                 .convertToFormat(QImage::Format_ARGB32);
        for (const QString& name : expectedFrames()) {
            const QRect rect = frameRect(sheet, name);
            EXPECT_GT(visiblePixels(image, rect), rect.width() * rect.height() / 4)
                << size.suffix << " " << name.toStdString();
        }
        for (const char* button : {"left", "title", "link", "qt", "product2"}) {
            const QString base = QString::fromLatin1(button);
            const QImage normal = image.copy(frameRect(sheet, base + "_normal.png"));
            EXPECT_NE(normal, image.copy(frameRect(sheet, base + "_hover.png"))) << button;
            EXPECT_NE(normal, image.copy(frameRect(sheet, base + "_click.png"))) << button;
        }
    }
}

TEST(AboutScreenImages, logosComeInTheirThreeSizesWithTheEmblemOnTheLeft)
{
    const struct
    {
        const char* suffix;
        QSize logo;
        int emblem;
    } logos[] = {{"-sd", {209, 45}, 52}, {"-hd", {417, 89}, 104}, {"-hd2", {833, 178}, 208}};
    for (const auto& logo : logos) {
        SCOPED_TRACE(logo.suffix);
        const QImage mark = QImage(QStringLiteral(":/qml/img/zanth-logo%1.png").arg(logo.suffix))
                                .convertToFormat(QImage::Format_ARGB32);
        const QImage emblem = QImage(QStringLiteral(":/qml/img/zanth-logo-simple%1.png").arg(logo.suffix))
                                  .convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(mark.size(), logo.logo);
        EXPECT_EQ(emblem.size(), QSize(logo.emblem, logo.emblem));
        EXPECT_TRUE(mark.hasAlphaChannel());
        // The closed header shows a square of the logo's height: the emblem must fill it.
        const int h = logo.logo.height();
        EXPECT_GT(visiblePixels(mark, QRect(0, 0, h, h)), h * h / 2);
        EXPECT_GT(visiblePixels(mark, QRect(h + 4, 0, logo.logo.width() - h - 4, h)), 0) << "word mark";
        EXPECT_GT(visiblePixels(emblem, emblem.rect()), logo.emblem * logo.emblem / 2);
        EXPECT_EQ(qAlpha(emblem.pixel(0, 0)), 0) << "emblem corners stay clear";
    }
}
