// Sprites from JSON sheets and multi-resolution images in a game window whose scene is scaled by 2, so
// that the "-hd" files (internal factor 0.5) are chosen.

#include <gtest/gtest.h>

#include "InProcessEngine.h"
#include "MessageLog.h"

#include "base_nodes/ZTNode.h"
#include "scenegraphwrapper.h"
#include "sprite_nodes/ZTSprite.h"
#include "sprite_nodes/ZTSpriteBatchNode.h"
#include "textures/ZTTexture2D.h"

#include <QPainter>
#include <QQuickItem>

#include <thread>

namespace {

InProcessEngine* engine = nullptr;

bool near(const QColor& colour, const QColor& expected)
{
    return qAbs(colour.red() - expected.red()) < 16 && qAbs(colour.green() - expected.green()) < 16 &&
           qAbs(colour.blue() - expected.blue()) < 16;
}

void writeFile(const QString& name, const QByteArray& content)
{
    QFile file(engine->folder() + "/qml/" + name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// A 48 x 16 sheet: a red and a green 16 x 16 cell, then a blue 8 x 8 square, the trimmed frame "c.png"
// whose untrimmed image is 16 x 16 with the square in its bottom-right quarter. The two cells are also
// the frames "Bär.png" and "火.png", written in UTF-8.
void writeSheet(const QString& stem)
{
    QImage image(48, 16, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.fillRect(0, 0, 16, 16, Qt::red);
    painter.fillRect(16, 0, 16, 16, Qt::green);
    painter.fillRect(32, 0, 8, 8, Qt::blue);
    painter.end();
    QDir().mkpath(engine->folder() + "/qml");
    image.save(engine->folder() + "/qml/" + stem + "-hd.png");
    const QByteArray cell = "\"sourceSize\": {\"w\": 16, \"h\": 16}, \"spriteSourceSize\": {\"x\": 0, \"y\": 0, "
                            "\"w\": 16, \"h\": 16}, \"trimmed\": false, \"rotated\": false";
    writeFile(stem + "-hd.json",
              "{\"frames\": {\n"
              " \"a.png\": {\"frame\": {\"x\": 0, \"y\": 0, \"w\": 16, \"h\": 16}, " +
                  cell +
                  "},\n"
                  " \"b.png\": {\"frame\": {\"x\": 16, \"y\": 0, \"w\": 16, \"h\": 16}, " +
                  cell +
                  "},\n"
                  " \"c.png\": {\"frame\": {\"x\": 32, \"y\": 0, \"w\": 8, \"h\": 8}, \"trimmed\": true,"
                  " \"spriteSourceSize\": {\"x\": 8, \"y\": 8, \"w\": 8, \"h\": 8}, \"sourceSize\": {\"w\": "
                  "16, \"h\": 16}},\n"
                  " \"broken.png\": {\"frame\": {\"x\": -5, \"y\": 0, \"w\": 16, \"h\": 16}, " +
                  cell +
                  "},\n"
                  " \"Bär.png\": {\"frame\": {\"x\": 0, \"y\": 0, \"w\": 16, \"h\": 16}, " +
                  cell +
                  "},\n"
                  " \"火.png\": {\"frame\": {\"x\": 16, \"y\": 0, \"w\": 16, \"h\": 16}, " +
                  cell +
                  "}\n"
                  "}, \"meta\": {\"image\": \"" +
                  stem.toUtf8() + "-hd.png\", \"format\": \"RGBA4444\"}}\n");
}

QQuickItem* game(const QByteArray& sceneContent)
{
    return engine->load("import QtQuick 2.15\nimport Zanth 1.0\n"
                        "GameWindow {\n  displayFpsEnabled: false\n"
                        "  Scene {\n    id: scene\n" + sceneContent + "\n  }\n}\n");
}

} // namespace

TEST(SpriteSequenceFromFile, namedFramesOfTheHdSheetAnimateAtTheirLogicalSize)
{
    writeSheet("walk");
    QQuickItem* window = game(
        "SpriteSequenceFromFile { objectName: \"walk\"; translateToCenterAnchor: false; x: 20; y: 20;"
        " filename: \"walk-sd.json\"\n"
        "  Sprite { frameNames: [\"a.png\", \"b.png\"]; frameDuration: 100; running: true } }\n");
    QQuickItem* walk = findItem(window, "walk");
    ASSERT_NE(walk, nullptr);
    EXPECT_TRUE(walk->property("modifiedSpriteSheetFilename").toUrl().toString().endsWith("walk-hd.json"));
    EXPECT_EQ(walk->property("__internalScaleFactorForMultiResImages").toDouble(), 0.5);
    QObject* sprite = walk->property("currentAnimation").value<QObject*>();
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->property("frameWidth").toInt(), 16);
    EXPECT_EQ(sprite->property("frameCount").toInt(), 2);
    EXPECT_EQ(walk->width(), 8.0);
    // The sheet's own format, for lack of one on the items.
    auto* node = dynamic_cast<zanth2d::ZTSprite*>(engine->wrapper().getNodeFromObject(walk)->getChildByTag(20));
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->getSpriteBatchNode()->getTexture()->getPixelFormat(), zanth2d::kZTTexture2DPixelFormat_RGBA4444);

    engine->stepFrames(1);
    // Scene (20, 20) to (28, 28) is window (40, 40) to (56, 56). A slow first frame may already show the
    // second (green) frame of 100 ms.
    const auto sheetFrame = [](const QColor& c) { return near(c, Qt::red) || near(c, Qt::green); };
    EXPECT_TRUE(sheetFrame(engine->pixel(48, 48)));
    EXPECT_TRUE(sheetFrame(engine->pixel(55, 55)));
    EXPECT_FALSE(sheetFrame(engine->pixel(58, 48)));
    // The second frame comes within a few frame durations, however slowly the frames run.
    bool green = false;
    for (int elapsed = 0; elapsed < 2000 && !green; elapsed += 20) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        engine->stepFrames(1);
        green = near(engine->pixel(48, 48), Qt::green);
    }
    EXPECT_TRUE(green);
}

TEST(SpriteSequenceFromFile, aTrimmedFrameSitsWhereItWasInTheUntrimmedImage)
{
    writeSheet("trim");
    game("SingleSpriteFromFile { translateToCenterAnchor: false; x: 60; y: 20; filename: \"trim.json\";"
         " source: \"c.png\" }\n");
    engine->stepFrames(1);
    // The untrimmed 16 x 16 image covers window (120, 40) to (136, 56); the square is its lower right.
    EXPECT_TRUE(near(engine->pixel(132, 52), Qt::blue));
    EXPECT_FALSE(near(engine->pixel(124, 44), Qt::blue));
}

TEST(SpriteSequenceFromFile, aMalformedFrameIsSkippedWithOneLine)
{
    writeSheet("bad");
    const MessageLog log;
    QQuickItem* window = game(
        "SpriteSequenceFromFile { objectName: \"bad\"; translateToCenterAnchor: false; x: 20; y: 60;"
        " filename: \"bad.json\"\n"
        "  Sprite { frameNames: [\"broken.png\", \"b.png\"]; frameDuration: 100; running: false } }\n");
    engine->stepFrames(1);
    int refusals = 0;
    for (const QString& line : log.lines())
        refusals += line.contains("\"broken.png\"") ? 1 : 0;
    EXPECT_EQ(refusals, 1);
    EXPECT_NE(findItem(window, "bad"), nullptr);
    // The frame that could be read is shown.
    EXPECT_TRUE(near(engine->pixel(48, 128), Qt::green));
}

namespace {

// A 64 x 16 PVR file (version 2, RGBA8888, one level) of opaque red.
QByteArray redPvr()
{
    QByteArray body;
    const auto field = [&body](quint32 value) { body.append(reinterpret_cast<const char*>(&value), 4); };
    for (quint32 value :
         {52u, 16u, 64u, 0u, 0x8012u, 64u * 16u * 4u, 32u, 0xFFu, 0xFF00u, 0xFF0000u, 0xFF000000u})
        field(value);
    body += "PVR!";
    field(1);
    for (int i = 0; i < 64 * 16; ++i)
        body += QByteArray::fromRawData("\xff\x00\x00\xff", 4);
    return body;
}

} // namespace

TEST(SpriteSequenceFromFile, aSheetFormatItsImageCannotBeMadeInFallsBackToTheDefaultWithOneWarning)
{
    struct Case
    {
        const char* stem;
        const char* format;
        const char* image;
        int warnings;
        zanth2d::ZTTexture2DPixelFormat loaded;
    };
    const Case cases[] = {
        {"pvrtc4", "PVRTC4", "pvrtc4-hd.png", 1, zanth2d::kZTTexture2DPixelFormat_RGBA8888},
        {"pvrtc2", "PVRTC2", "pvrtc2-hd.png", 1, zanth2d::kZTTexture2DPixelFormat_RGBA8888},
        // A PVR file holds its own format: nothing to refuse.
        {"packed", "PVRTC4", "packed-hd.pvr", 0, zanth2d::kZTTexture2DPixelFormat_RGBA8888},
    };
    for (const Case& sheet : cases) {
        writeSheet(sheet.stem);
        if (QByteArray(sheet.image).endsWith(".pvr"))
            writeFile(sheet.image, redPvr());
        QFile file(engine->folder() + "/qml/" + sheet.stem + "-hd.json");
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QByteArray json = file.readAll();
        file.close();
        json.replace("\"format\": \"RGBA4444\"", QByteArray("\"format\": \"") + sheet.format + "\"");
        json.replace(QByteArray(sheet.stem) + "-hd.png", sheet.image);
        writeFile(QString(sheet.stem) + "-hd.json", json);

        const MessageLog log;
        QQuickItem* window =
            game("SpriteSequenceFromFile { objectName: \"sheet\"; translateToCenterAnchor: false;"
                 " x: 20; y: 20; filename: \"" +
                 QByteArray(sheet.stem) +
                 ".json\"\n"
                 "  Sprite { frameNames: [\"a.png\", \"b.png\"]; frameDuration: 100 } }\n");
        engine->stepFrames(1);
        zanth2d::ZTNode* base = engine->wrapper().getNodeFromObject(findItem(window, "sheet"));
        ASSERT_NE(base, nullptr) << sheet.stem;
        auto* node = dynamic_cast<zanth2d::ZTSprite*>(base->getChildByTag(20));
        ASSERT_NE(node, nullptr) << sheet.stem;
        EXPECT_EQ(node->getSpriteBatchNode()->getTexture()->getPixelFormat(), sheet.loaded) << sheet.stem;
        EXPECT_EQ(log.lines().filter("cannot be made from an image file").size(), sheet.warnings)
            << sheet.stem << ": " << log.lines().join('\n').toStdString();
        EXPECT_EQ(zanth2d::ZTTexture2D::defaultAlphaPixelFormat(), zanth2d::kZTTexture2DPixelFormat_RGBA8888);
        EXPECT_TRUE(near(engine->pixel(48, 48), Qt::red) || near(engine->pixel(48, 48), Qt::green))
            << sheet.stem;
    }
}

TEST(SpriteSequenceFromFile, framesNamedOutsideAsciiAreFoundByTheirUtf8Names)
{
    writeSheet("names");
    const MessageLog log;
    QQuickItem* window = game(
        "SpriteSequenceFromFile { objectName: \"bear\"; translateToCenterAnchor: false; x: 20; y: 60;"
        " filename: \"names.json\"\n"
        "  Sprite { frameNames: [\"Bär.png\", \"火.png\"]; running: false } }\n"
        "SpriteSequenceFromFile { translateToCenterAnchor: false; x: 60; y: 60; filename: \"names.json\"\n"
        "  Sprite { frameNames: [\"火.png\"] } }\n");
    engine->stepFrames(1);
    QObject* sprite = findItem(window, "bear")->property("currentAnimation").value<QObject*>();
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->property("frameCount").toInt(), 2);
    EXPECT_EQ(sprite->property("frameWidth").toInt(), 16);
    // Scene (20, 60) and (60, 60) are window (40, 120) and (120, 120).
    EXPECT_TRUE(near(engine->pixel(48, 128), Qt::red));
    EXPECT_TRUE(near(engine->pixel(128, 128), Qt::green));
    EXPECT_TRUE(log.lines().filter("ZTAnimatedSpriteManager").isEmpty())
        << log.lines().join("\n").toStdString();
}

TEST(SpriteBatchContainer, batchNodesUnderTheContainerStillDrawInWindowCoordinates)
{
    writeSheet("boxed");
    QQuickItem* window = game(
        "SpriteBatchContainer { objectName: \"container\"; x: 30; y: 10 }\n"
        "Item { x: 40; y: 30\n"
        "  SpriteSequenceFromFile { objectName: \"boxed\"; translateToCenterAnchor: false; filename: \"boxed.json\"\n"
        "    Sprite { frameNames: [\"b.png\"] } } }\n");
    engine->stepFrames(1);
    zanth2d::ZTNode* container = engine->wrapper().getNodeFromObject(findItem(window, "container"));
    ASSERT_NE(container, nullptr);
    auto* sprite = dynamic_cast<zanth2d::ZTSprite*>(
        engine->wrapper().getNodeFromObject(findItem(window, "boxed"))->getChildByTag(20));
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->getSpriteBatchNode()->getParent(), container);
    // Scene (40, 30) to (48, 38) is window (80, 60) to (96, 76).
    EXPECT_TRUE(near(engine->pixel(88, 68), Qt::green));
    EXPECT_FALSE(near(engine->pixel(78, 68), Qt::green));
}

TEST(MultiResolutionImage, picksTheHdFileAndScalesItToTheLogicalSize)
{
    QImage picture(200, 100, QImage::Format_ARGB32);
    picture.fill(Qt::red);
    QDir().mkpath(engine->folder() + "/qml");
    picture.save(engine->folder() + "/qml/picture-hd.png");
    QQuickItem* window = game("MultiResolutionImage { objectName: \"picture\"; source: \"picture.png\" }");
    QQuickItem* outer = findItem(window, "picture");
    ASSERT_NE(outer, nullptr);
    QQuickItem* inner = findItem(outer, "multiResImage_image");
    ASSERT_NE(inner, nullptr);
    EXPECT_TRUE(inner->property("source").toUrl().toString().endsWith("picture-hd.png"));
    EXPECT_EQ(outer->size(), QSizeF(100, 50));
    EXPECT_EQ(inner->size(), QSizeF(200, 100));
    EXPECT_EQ(inner->scale(), 0.5);
    outer->setWidth(300);
    EXPECT_EQ(inner->width(), 600.0);

    // A new source takes the suffix already chosen, and its pixels reach the screen.
    picture.fill(Qt::blue);
    picture.save(engine->folder() + "/qml/other-hd.png");
    outer->setProperty("source", QUrl("other.png"));
    EXPECT_TRUE(inner->property("source").toUrl().toString().endsWith("other-hd.png"));
    EXPECT_EQ(inner->scale(), 0.5);
    engine->stepFrames(2);
    EXPECT_TRUE(near(engine->pixel(20, 20), Qt::blue)) << engine->pixel(20, 20).name().toStdString();
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
