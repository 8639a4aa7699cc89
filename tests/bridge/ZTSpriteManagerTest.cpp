// Images drawn by the scene graph as sprites, checked by node state and the window's pixels.

#include <gtest/gtest.h>

#include "InProcessEngine.h"
#include "MessageLog.h"

#include "base_nodes/ZTNode.h"
#include "scenegraphwrapper.h"
#include "sprite_nodes/ZTSprite.h"
#include "textures/ZTTexture2D.h"
#include "textures/ZTTextureCache.h"
#include "ztspritemanager.h"

#include <QPainter>
#include <QQuickItem>

using namespace zanth2d;

namespace {

InProcessEngine* engine = nullptr;

ZTSprite* spriteOf(QQuickItem* item)
{
    return ZTSpriteManager::getSpriteFromNode(engine->wrapper().getNodeFromObject(item));
}

bool isRed(const QColor& color)
{
    return color.red() > 240 && color.green() < 15 && color.blue() < 15;
}

bool isBlue(const QColor& color)
{
    return color.blue() > 240 && color.red() < 15 && color.green() < 15;
}

// A 20 x 10 image of our own, red on the left half and blue on the right, in the QML folder.
void writeHalves(const QString& name, const QColor& left = Qt::red, const QColor& right = Qt::blue)
{
    QImage image(20, 10, QImage::Format_ARGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, 10, 10, left);
    painter.fillRect(10, 0, 10, 10, right);
    painter.end();
    QDir().mkpath(engine->folder() + "/qml/images");
    image.save(engine->folder() + "/qml/images/" + name);
}

QByteArray withImage(const QByteArray& imageProperties, const QByteArray& imports = "import Zanth 1.0\n")
{
    return "import QtQuick 2.15\n" + imports +
           "Item { width: 100; height: 60\n  Image { objectName: \"image\"; " + imageProperties + " } }\n";
}

} // namespace

TEST(ImageSprites, anImageWithoutSizeTakesTheTexturesSizeAndIsDrawnAtScaleOne)
{
    writeHalves("halves.png");
    QQuickItem* root = engine->load(withImage("x: 30; y: 20; source: \"images/halves.png\""));
    QQuickItem* image = findItem(root, "image");
    EXPECT_EQ(image->width(), 20.0);
    EXPECT_EQ(image->height(), 10.0);
    EXPECT_EQ(image->property("status").toInt(), 1);
    ZTSprite* sprite = spriteOf(image);
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->getScaleX(), 1.0f);
    EXPECT_EQ(sprite->getAnchorPoint().y, 1.0f);
    const QImage window = engine->grabWindow();
    EXPECT_TRUE(isRed(window.pixelColor(32, 22)));
    EXPECT_TRUE(isBlue(window.pixelColor(47, 28)));
    EXPECT_FALSE(isRed(window.pixelColor(29, 22)));
    EXPECT_FALSE(isBlue(window.pixelColor(50, 28)));
}

TEST(ImageSprites, anExplicitWidthStretchesTheSpriteWhateverTheFillMode)
{
    writeHalves("halves.png");
    QQuickItem* root = engine->load(
        withImage("width: 40; height: 10; fillMode: Image.PreserveAspectFit; source: \"images/halves.png\""));
    EXPECT_EQ(spriteOf(findItem(root, "image"))->getScaleX(), 2.0f);
    EXPECT_TRUE(isBlue(engine->pixel(35, 5)));
    findItem(root, "image")->setHeight(30);
    EXPECT_EQ(spriteOf(findItem(root, "image"))->getScaleY(), 3.0f);
}

TEST(ImageSprites, qtQuicksOwnImageIsMirroredToo)
{
    writeHalves("halves.png");
    QQuickItem* root = engine->load(withImage("source: \"images/halves.png\"", ""));
    ASSERT_TRUE(findItem(root, "image")->inherits("QQuickImage"));
    EXPECT_NE(spriteOf(findItem(root, "image")), nullptr);
    EXPECT_TRUE(isRed(engine->pixel(2, 2)));
}

TEST(ImageSprites, aPixelFormatOf565LoadsWithoutBlendingAndTheNextImageIsRgba8888Again)
{
    writeHalves("opaque.png");
    writeHalves("plain.png", Qt::blue, Qt::red);
    QQuickItem* root =
        engine->load("import QtQuick 2.15\nimport Zanth 1.0\nItem { width: 100; height: 60\n"
                     "  Image { objectName: \"opaque\"; source: \"images/opaque.png\"\n"
                     "          property int pixelFormat: 3 }\n"
                     "  Image { objectName: \"plain\"; y: 20; source: \"images/plain.png\" } }\n");
    ZTSprite* opaque = spriteOf(findItem(root, "opaque"));
    EXPECT_EQ(opaque->getTexture()->getPixelFormat(), kZTTexture2DPixelFormat_RGB565);
    EXPECT_EQ(opaque->getBlendFunc().src, GLenum(GL_ONE));
    EXPECT_EQ(opaque->getBlendFunc().dst, GLenum(GL_ZERO));
    EXPECT_EQ(spriteOf(findItem(root, "plain"))->getTexture()->getPixelFormat(),
              kZTTexture2DPixelFormat_RGBA8888);
    EXPECT_TRUE(isRed(engine->pixel(2, 2)));
}

TEST(ImageSprites, aPixelFormatTheTexturesCannotBeMadeInFallsBackToTheDefaultWithOneWarningEach)
{
    MessageLog log;
    // I8, AI88 and the two compressed formats are not made from image files; 11 and -1 are no format.
    QByteArray qml = "import QtQuick 2.15\nimport Zanth 1.0\nItem { width: 100; height: 60\n";
    const int formats[] = {5, 6, 9, 10, 11, -1};
    // A file each: a texture already in the cache would not be made again.
    for (int index = 0; index < 6; ++index) {
        writeHalves(QString("format%1.png").arg(index));
        qml += "  Image { objectName: \"image" + QByteArray::number(index) +
               "\"; y: " + QByteArray::number(10 * index) + "; source: \"images/format" +
               QByteArray::number(index) +
               ".png\"; property int pixelFormat: " + QByteArray::number(formats[index]) + " }\n";
    }
    QQuickItem* root = engine->load(qml + "}\n");
    for (int index = 0; index < 6; ++index) {
        ZTSprite* sprite =
            spriteOf(findItem(root, QByteArray("image" + QByteArray::number(index)).constData()));
        ASSERT_NE(sprite, nullptr) << index;
        EXPECT_EQ(sprite->getTexture()->getPixelFormat(), kZTTexture2DPixelFormat_RGBA8888) << index;
    }
    EXPECT_EQ(log.lines().filter("cannot be made from an image file").size(), 6)
        << log.lines().join('\n').toStdString();
    EXPECT_EQ(ZTTexture2D::defaultAlphaPixelFormat(), kZTTexture2DPixelFormat_RGBA8888);
    EXPECT_TRUE(isRed(engine->pixel(2, 52)));
}

TEST(ImageSprites, anEmptySourceShowsNothingAndALaterSourceShowsAgain)
{
    writeHalves("halves.png");
    QQuickItem* root = engine->load(withImage("source: \"images/halves.png\""));
    QQuickItem* image = findItem(root, "image");
    EXPECT_TRUE(isRed(engine->pixel(2, 2)));
    image->setProperty("source", "");
    engine->stepFrames(1);
    EXPECT_EQ(engine->pixel(2, 2).lightness(), 0);
    EXPECT_EQ(engine->pixel(12, 2).lightness(), 0);
    image->setProperty("source", "images/halves.png");
    engine->stepFrames(1);
    EXPECT_TRUE(isRed(engine->pixel(2, 2)));
    EXPECT_TRUE(isBlue(engine->pixel(12, 2)));
}

TEST(ImageSprites, anAlmostTransparentImageIsHiddenUntilItsAncestorRisesUnlessItIsInvisible)
{
    writeHalves("halves.png");
    QQuickItem* root = engine->load(
        "import QtQuick 2.15\nimport Zanth 1.0\nItem { width: 100; height: 60\n"
        "  Item { objectName: \"group\"; opacity: 0.05\n"
        "    Image { objectName: \"image\"; source: \"images/halves.png\"; opacity: 0.1 } } }\n");
    ZTNode* node = engine->wrapper().getNodeFromObject(findItem(root, "image"));
    EXPECT_FALSE(node->getIsVisible());
    findItem(root, "group")->setOpacity(0.2);
    EXPECT_TRUE(node->getIsVisible());
    EXPECT_EQ(spriteOf(findItem(root, "image"))->getOpacity(), 5);
    findItem(root, "image")->setVisible(false);
    findItem(root, "group")->setOpacity(0.05);
    findItem(root, "group")->setOpacity(1);
    EXPECT_FALSE(node->getIsVisible());
}

TEST(ImageSprites, mirroringFlipsTheSpriteAndSurvivesASourceChange)
{
    writeHalves("halves.png");
    writeHalves("other.png", Qt::blue, Qt::red);
    QQuickItem* root = engine->load(withImage("source: \"images/halves.png\"; mirror: true"));
    QQuickItem* image = findItem(root, "image");
    EXPECT_TRUE(spriteOf(image)->isFlipX());
    EXPECT_FALSE(spriteOf(image)->isFlipY());
    EXPECT_TRUE(isBlue(engine->pixel(2, 2)));
    image->setProperty("source", "images/other.png");
    engine->stepFrames(1);
    EXPECT_TRUE(spriteOf(image)->isFlipX());
    EXPECT_TRUE(isRed(engine->pixel(2, 2)));
    image->setProperty("mirror", false);
    engine->stepFrames(1);
    EXPECT_TRUE(isBlue(engine->pixel(2, 2)));
}

TEST(ImageSprites, aSourceThatCannotBeLoadedKeepsTheSpriteAndALaterSourceMakesOne)
{
    writeHalves("halves.png");
    QFile broken(engine->folder() + "/qml/images/broken.png");
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
    broken.close();
    QQuickItem* root = engine->load("import QtQuick 2.15\nimport Zanth 1.0\nItem { width: 100; height: 60\n"
                                    "  Image { objectName: \"kept\"; source: \"images/halves.png\" }\n"
                                    "  Image { objectName: \"empty\"; y: 20 } }\n");
    QQuickItem* kept = findItem(root, "kept");
    ZTSprite* sprite = spriteOf(kept);
    ZTTexture2D* texture = sprite->getTexture();
    kept->setProperty("source", "images/broken.png");
    EXPECT_EQ(spriteOf(kept), sprite);
    EXPECT_EQ(sprite->getTexture(), texture);

    QQuickItem* empty = findItem(root, "empty");
    EXPECT_EQ(spriteOf(empty), nullptr);
    EXPECT_EQ(empty->property("status").toInt(), 0);
    empty->setProperty("source", "images/halves.png");
    ASSERT_NE(spriteOf(empty), nullptr);
    EXPECT_EQ(empty->property("status").toInt(), 1);
    engine->stepFrames(1);
    EXPECT_TRUE(isRed(engine->pixel(2, 22)));
}

TEST(ImageSprites, clearingTheSceneGraphCachesDropsTheTexturesNoImageShowsAnyMore)
{
    writeHalves("cached.png");
    engine->load(withImage("source: \"images/cached.png\""));
    const QByteArray path = (engine->folder() + "/qml/images/cached.png").toUtf8();
    ASSERT_NE(ZTTextureCache::sharedTextureCache()->textureForKey(path.constData()), nullptr);
    engine->load("import QtQuick 2.15\nItem { width: 100; height: 60 }\n");
    QObject* nativeUtils = engine->view().rootContext()->contextProperty("nativeUtils").value<QObject*>();
    ASSERT_TRUE(QMetaObject::invokeMethod(nativeUtils, "clearSceneGraphTextureCache"));
    EXPECT_EQ(ZTTextureCache::sharedTextureCache()->textureForKey(path.constData()), nullptr);
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
