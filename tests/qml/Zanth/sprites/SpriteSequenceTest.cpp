// Sprite animations drawn by the scene graph, checked by the window's pixels and the batch nodes.

#include <gtest/gtest.h>

#include "EngineProcess.h"
#include "InProcessEngine.h"
#include "MessageLog.h"

#include "actions/ZTAnimate.h"
#include "base_nodes/ZTNode.h"
#include "cocoa/ZTArray.h"
#include "sprite_nodes/ZTAnimation.h"
#include "sprite_nodes/ZTSprite.h"
#include "sprite_nodes/ZTSpriteBatchNode.h"
#include "textures/ZTTexture2D.h"

#include <QPainter>
#include <QQuickItem>

#include <thread>

using namespace zanth2d;

namespace {

InProcessEngine* engine = nullptr;

const QColor kFrameColours[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow};

// The sheet: one row of four 16 x 16 cells, red, green, blue and yellow.
void writeSheet()
{
    QImage image(64, 16, QImage::Format_ARGB32);
    QPainter painter(&image);
    for (int i = 0; i < 4; ++i)
        painter.fillRect(i * 16, 0, 16, 16, kFrameColours[i]);
    painter.end();
    QDir().mkpath(engine->folder() + "/qml");
    image.save(engine->folder() + "/qml/sheet.png");
}

// The index of the frame colour the pixel shows, or -1.
int frameShownAt(const QImage& image, int x, int y)
{
    const QColor colour = image.pixelColor(x, y);
    for (int i = 0; i < 4; ++i) {
        const QColor expected = kFrameColours[i];
        if (qAbs(colour.red() - expected.red()) < 16 && qAbs(colour.green() - expected.green()) < 16 &&
            qAbs(colour.blue() - expected.blue()) < 16)
            return i;
    }
    return -1;
}

QQuickItem* load(const QByteArray& content)
{
    writeSheet();
    return engine->load("import QtQuick 2.15\nimport Zanth 1.0\n"
                        "Item { id: root; width: 200; height: 120\n" +
                        content + "\n}\n");
}

// Runs frames for the given time, about every 20 ms, so that animations advance by real time.
void runFor(int milliseconds)
{
    for (int elapsed = 0; elapsed < milliseconds; elapsed += 20) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        engine->stepFrames(1);
    }
}

// A sequence at (x, y) of the four frames, top-left anchored.
QByteArray sequence(const char* name, int x, int y, const QByteArray& spriteProperties,
                    const QByteArray& sequenceProperties = "")
{
    return QByteArray("SpriteSequence { objectName: \"") + name +
           "\"; translateToCenterAnchor: false; x: " + QByteArray::number(x) +
           "; y: " + QByteArray::number(y) + "; " + sequenceProperties + "\n  Sprite { name: \"" + name +
           "\"; source: \"sheet.png\"; frameWidth: 16; frameHeight: 16; " + spriteProperties + " } }\n";
}

// The animated sprite (tag 20) of the sequence's current animation.
ZTSprite* spriteOf(QQuickItem* sequence)
{
    ZTNode* node = engine->wrapper().getNodeFromObject(sequence);
    return node ? dynamic_cast<ZTSprite*>(node->getChildByTag(20)) : nullptr;
}

QList<ZTSpriteBatchNode*> batchNodes()
{
    QList<ZTSpriteBatchNode*> result;
    ZTArray* children = engine->wrapper().getRootSceneGraphNode()->getChildren();
    for (unsigned int i = 0; children && i < children->count(); ++i) {
        if (auto* batch = dynamic_cast<ZTSpriteBatchNode*>(static_cast<ZTNode*>(children->objectAtIndex(i))))
            result.append(batch);
    }
    return result;
}

} // namespace

TEST(SpriteSequence, zanthsSpriteTypesWinOverQtQuicksWhenImportedAfterIt)
{
    QQuickItem* root = load(sequence("walk", 10, 10, "frameCount: 1"));
    QQuickItem* walk = findItem(root, "walk");
    ASSERT_NE(walk, nullptr);
    EXPECT_TRUE(walk->inherits("SpriteImageItem"));
    QVariant sprites = walk->property("sprites");
    ASSERT_EQ(sprites.toList().size(), 1);
    QObject* sprite = sprites.toList().first().value<QObject*>();
    EXPECT_TRUE(sprite->inherits("SpriteItem"));
    bool isSprite = false;
    QMetaObject::invokeMethod(walk, "isObjectASprite", Q_RETURN_ARG(bool, isSprite), Q_ARG(QObject*, sprite));
    EXPECT_TRUE(isSprite);
    QMetaObject::invokeMethod(walk, "isObjectASprite", Q_RETURN_ARG(bool, isSprite), Q_ARG(QObject*, root));
    EXPECT_FALSE(isSprite);
}

TEST(SpriteSequence, animatesOnScreenThroughTheFramesOfTheSheet)
{
    QQuickItem* root = load(sequence("walk", 40, 40, "frameCount: 4; frameDuration: 100; running: true"));
    QObject* sprite = findItem(root, "walk")->property("currentAnimation").value<QObject*>();
    ASSERT_NE(sprite, nullptr);
    ZTSprite* node = spriteOf(findItem(root, "walk"));
    ASSERT_NE(node, nullptr);
    EXPECT_FLOAT_EQ(static_cast<ZTAnimate*>(node->getUserData())->getAnimation()->getDelay(), 0.1f);
    // The scene graph animates; the QML timer is off.
    EXPECT_FALSE(sprite->property("qmlAnimationTimerEnabled").toBool());
    engine->stepFrames(1);
    const QImage first = engine->grabWindow();
    EXPECT_EQ(frameShownAt(first, 48, 48), 0);
    EXPECT_EQ(frameShownAt(first, 38, 48), -1);
    runFor(150);
    QImage later = engine->grabWindow();
    // Slow frames may have wrapped round to the first frame: wait for another one.
    for (int elapsed = 0; elapsed < 2000 && frameShownAt(later, 48, 48) == 0; elapsed += 20) {
        runFor(20);
        later = engine->grabWindow();
    }
    const int shown = frameShownAt(later, 48, 48);
    EXPECT_GE(shown, 1);
    EXPECT_NE(first.copy(40, 40, 16, 16), later.copy(40, 40, 16, 16));
    // The whole cell shows the one frame.
    EXPECT_EQ(frameShownAt(later, 41, 41), shown);
    EXPECT_EQ(frameShownAt(later, 55, 55), shown);

    // A transparent sequence hides its sprite.
    findItem(root, "walk")->setOpacity(0);
    engine->stepFrames(1);
    EXPECT_EQ(frameShownAt(engine->grabWindow(), 48, 48), -1);
}

TEST(SpriteSequence, aStoppedOrHiddenAnimationStaysStillWhenItsSequenceGetsANewParent)
{
    QQuickItem* root = load("Item { objectName: \"from\"; Rectangle { width: 1; height: 1 }\n" +
                            sequence("stopped", 20, 20, "frameCount: 4; frameDuration: 20; running: true") +
                            sequence("hidden", 60, 20, "frameCount: 4; frameDuration: 20; running: true") +
                            "}\nItem { objectName: \"to\"; x: 100; Rectangle { width: 1; height: 1 } }\n");
    QQuickItem* stopped = findItem(root, "stopped");
    QQuickItem* hidden = findItem(root, "hidden");
    QQuickItem* to = findItem(root, "to");
    stopped->property("currentAnimation").value<QObject*>()->setProperty("running", false);
    hidden->setVisible(false);
    engine->stepFrames(1);
    const float stoppedFrame = spriteOf(stopped)->getTextureRect().origin.x;
    const float hiddenFrame = spriteOf(hidden)->getTextureRect().origin.x;

    stopped->setParentItem(to);
    hidden->setParentItem(to);
    ZTNode* toNode = engine->wrapper().getNodeFromObject(to);
    ASSERT_EQ(engine->wrapper().getNodeFromObject(stopped)->getParent(), toNode);
    ASSERT_EQ(engine->wrapper().getNodeFromObject(hidden)->getParent(), toNode);
    // Four frames of 20 ms would have come round several times by now.
    runFor(200);
    EXPECT_FLOAT_EQ(spriteOf(stopped)->getTextureRect().origin.x, stoppedFrame);
    EXPECT_FLOAT_EQ(spriteOf(hidden)->getTextureRect().origin.x, hiddenFrame);
    EXPECT_EQ(frameShownAt(engine->grabWindow(), 128, 28), int(stoppedFrame) / 16);

    // Running again, it animates where it now is.
    stopped->property("currentAnimation").value<QObject*>()->setProperty("running", true);
    bool moved = false;
    for (int elapsed = 0; elapsed < 2000 && !moved; elapsed += 20) {
        runFor(20);
        moved = spriteOf(stopped)->getTextureRect().origin.x != stoppedFrame;
    }
    EXPECT_TRUE(moved);
}

TEST(SpriteSequence, aSequenceGivenANewParentIsDrawnInItsBatchNodeWhereQmlNowStacksIt)
{
    // Red at (20, 20) under green at (28, 20), both in the sheet's batch node; "later" and "deep" come after.
    QQuickItem* root = load(
        sequence("red", 20, 20, "frameCount: 1") + sequence("green", 28, 20, "frameCount: 1; frameX: 16") +
        "Item { objectName: \"later\" }\n"
        "Item { objectName: \"other\"; Item { objectName: \"deep\"; x: 0 } }\n"
        "Item { objectName: \"shelf\"; visible: false }\nItem { objectName: \"fresh\" }\n");
    QQuickItem* red = findItem(root, "red");
    QQuickItem* later = findItem(root, "later");
    QQuickItem* other = findItem(root, "other");
    engine->stepFrames(1);
    EXPECT_EQ(frameShownAt(engine->grabWindow(), 32, 28), 1);

    const MessageLog log;
    red->setParentItem(later);
    engine->stepFrames(1);
    EXPECT_EQ(frameShownAt(engine->grabWindow(), 32, 28), 0) << "in an item stacked above green";
    // The new ancestors' z counts, the old ones' no longer.
    later->setZ(-1);
    engine->stepFrames(1);
    EXPECT_EQ(frameShownAt(engine->grabWindow(), 32, 28), 1);
    later->setZ(0);
    engine->stepFrames(1);
    EXPECT_EQ(frameShownAt(engine->grabWindow(), 32, 28), 0);

    // An ancestor's own move counts too, several levels up.
    red->setParentItem(findItem(root, "deep"));
    other->setParentItem(later);
    engine->stepFrames(1);
    EXPECT_EQ(frameShownAt(engine->grabWindow(), 32, 28), 0);
    other->setParentItem(root);
    engine->stepFrames(1);
    EXPECT_EQ(frameShownAt(engine->grabWindow(), 32, 28), 0);
    other->setZ(-1);
    engine->stepFrames(1);
    EXPECT_EQ(frameShownAt(engine->grabWindow(), 32, 28), 1);
    // Shown again by a parent that has no node yet: no complaint about that parent.
    red->setParentItem(findItem(root, "shelf"));
    engine->stepFrames(1);
    red->setParentItem(findItem(root, "fresh"));
    engine->stepFrames(1);
    EXPECT_EQ(frameShownAt(engine->grabWindow(), 24, 28), 0);
    EXPECT_FALSE(log.contains("does not exist in the nodes list")) << log.lines().join('\n').toStdString();
}

TEST(SpriteSequence, aSequenceThatOutlivesItsParentItemIsNotDrawnAndAnimatesInItsNextParent)
{
    // Declared at the top, shown in "crate": the crate's destruction leaves it without a parent item.
    QQuickItem* root =
        load(sequence("walk", 0, 0, "frameCount: 4; frameDuration: 20; running: true", "parent: crate") +
             "Item { id: crate; objectName: \"crate\"; x: 20; y: 20 }\n"
             "Item { objectName: \"next\"; x: 60; y: 20 }\n");
    QQuickItem* walk = findItem(root, "walk");
    engine->stepFrames(1);
    ASSERT_GE(frameShownAt(engine->grabWindow(), 28, 28), 0);
    delete findItem(root, "crate");
    engine->stepFrames(1);
    EXPECT_EQ(frameShownAt(engine->grabWindow(), 28, 28), -1);
    walk->setParentItem(findItem(root, "next"));
    engine->stepFrames(1);
    const int first = frameShownAt(engine->grabWindow(), 68, 28);
    ASSERT_GE(first, 0);
    bool animates = false;
    for (int elapsed = 0; elapsed < 2000 && !animates; elapsed += 20) {
        runFor(20);
        animates = frameShownAt(engine->grabWindow(), 68, 28) != first;
    }
    EXPECT_TRUE(animates);
}

TEST(SpriteSequence, aFiniteAnimationFinishesOnceThenShowsItsFirstFrameOrJumpsToItsFollower)
{
    QQuickItem* root = load(
        "property int finished: 0\n" +
        sequence("once", 20, 20, "frameCount: 4; frameDuration: 20; loop: false; repeatCount: 3",
                 "onAnimationFinished: root.finished++") +
        "SpriteSequence { objectName: \"intro\"; translateToCenterAnchor: false; x: 60; y: 20\n"
        "  Sprite { name: \"start\"; to: \"idle\"; source: \"sheet.png\"; frameWidth: 16; frameHeight: 16;"
        "    frameCount: 2; frameDuration: 20 }\n"
        "  Sprite { name: \"idle\"; source: \"sheet.png\"; frameX: 32; frameWidth: 16; frameHeight: 16;"
        "    frameCount: 2; frameDuration: 1000 } }\n");
    runFor(700);
    EXPECT_EQ(root->property("finished").toInt(), 1);
    const QImage image = engine->grabWindow();
    EXPECT_EQ(frameShownAt(image, 28, 28), 0);
    QObject* current = findItem(root, "intro")->property("currentAnimation").value<QObject*>();
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->property("name").toString(), "idle");
    // Frames of the idle animation are the blue and yellow cells.
    EXPECT_GE(frameShownAt(image, 68, 28), 2);
}

TEST(SpriteSequence, sequencesOnOneTextureShareABatchNodeAndDrawInZOrder)
{
    const int batchesBefore = int(batchNodes().size());
    QQuickItem* root = load(sequence("below", 40, 40, "frameCount: 1", "z: 1") +
                            sequence("above", 48, 48, "frameCount: 1; frameX: 16", "z: 2"));
    engine->stepFrames(1);
    QList<ZTSpriteBatchNode*> batches = batchNodes();
    ASSERT_GE(batches.size(), batchesBefore);
    int sharing = 0;
    for (ZTSpriteBatchNode* batch : batches)
        sharing = qMax(sharing, int(batch->getDescendants()->count()));
    EXPECT_EQ(sharing, 2);
    EXPECT_EQ(frameShownAt(engine->grabWindow(), 52, 52), 1);

    findItem(root, "below")->setZ(3);
    engine->stepFrames(1);
    EXPECT_EQ(frameShownAt(engine->grabWindow(), 52, 52), 0);

    // Without sprites the batch node goes when the unused ones are cleared.
    delete findItem(root, "below");
    delete findItem(root, "above");
    engine->stepFrames(1);
    EXPECT_EQ(frameShownAt(engine->grabWindow(), 52, 52), -1);
    engine->wrapper().removeUnusedSpriteBatchNodes();
    for (ZTSpriteBatchNode* batch : batchNodes())
        EXPECT_GT(batch->getDescendants()->count(), 0u);
}

TEST(SpriteSequence, aSharedSheetSourceIsFoundBesideTheFileThatNamedIt)
{
    QQuickItem* root = load(
        "SingleSpriteFromSpriteSheet { objectName: \"single\"; translateToCenterAnchor: false; x: 100; y: 40;"
        " spriteSheetSource: \"sheet.png\"; frameWidth: 16; frameHeight: 16; startFrameColumn: 3 }\n");
    engine->stepFrames(1);
    EXPECT_EQ(frameShownAt(engine->grabWindow(), 108, 48), 2);
    // The frame number counts cells from the first one.
    QObject* single = findItem(root, "single")->property("singleSprite").value<QObject*>();
    QMetaObject::invokeMethod(single, "setFrameNumber", Q_ARG(QVariant, 1));
    engine->stepFrames(1);
    EXPECT_EQ(frameShownAt(engine->grabWindow(), 108, 48), 3);
}

TEST(SpriteSequence, aSpriteWhoseSourceComesLateIsCreatedThenButKeepsItsFirstSource)
{
    QQuickItem* root =
        load("SpriteSequence { objectName: \"late\"; translateToCenterAnchor: false; x: 140; y: 40\n"
             "  Sprite { frameWidth: 16; frameHeight: 16; frameX: 16 } }\n");
    QQuickItem* late = findItem(root, "late");
    EXPECT_EQ(spriteOf(late), nullptr);
    QObject* sprite = late->property("currentAnimation").value<QObject*>();
    sprite->setProperty("source", "sheet.png");
    engine->stepFrames(1);
    EXPECT_EQ(frameShownAt(engine->grabWindow(), 148, 48), 1);
    const MessageLog log;
    sprite->setProperty("source", "other.png");
    EXPECT_TRUE(log.contains("changing the source of animated sprites is currently not supported"));
}

TEST(SpriteSequence, aSpritesPixelFormatOverridesItsSequencesForANewTexture)
{
    writeSheet();
    QFile::copy(engine->folder() + "/qml/sheet.png", engine->folder() + "/qml/sheet4444.png");
    QQuickItem* root = load("SpriteSequence { objectName: \"formats\"; pixelFormat: 3\n"
                            "  Sprite { source: \"sheet4444.png\"; frameWidth: 16; frameHeight: 16; property "
                            "int pixelFormat: 7 } }");
    ZTSprite* sprite = spriteOf(findItem(root, "formats"));
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->getSpriteBatchNode()->getTexture()->getPixelFormat(), kZTTexture2DPixelFormat_RGBA4444);
    EXPECT_EQ(ZTTexture2D::defaultAlphaPixelFormat(), kZTTexture2DPixelFormat_RGBA8888);
}

TEST(SpriteSequence, aPixelFormatImagesCannotBeMadeInFallsBackToTheDefaultWithOneWarningEach)
{
    writeSheet();
    const MessageLog log;
    // On the sequence and on the sprite: PVRTC4, PVRTC2, I8 and no format at all.
    const char* const declarations[] = {"pixelFormat: 9", "pixelFormat: 10", "pixelFormat: 5",
                                        "pixelFormat: 11"};
    QByteArray qml;
    for (int index = 0; index < 4; ++index) {
        // A file each: a texture already in the cache would not be made again.
        const QString file = QString("format%1.png").arg(index);
        QFile::remove(engine->folder() + "/qml/" + file);
        QFile::copy(engine->folder() + "/qml/sheet.png", engine->folder() + "/qml/" + file);
        const QByteArray onSequence = index % 2 ? "" : declarations[index];
        const QByteArray onSprite = index % 2 ? QByteArray("property int ") + declarations[index] : "";
        qml += "SpriteSequence { objectName: \"format" + QByteArray::number(index) + "\"; " + onSequence +
               "\n  Sprite { source: \"" + file.toUtf8() + "\"; frameWidth: 16; frameHeight: 16; " +
               onSprite + " } }\n";
    }
    QQuickItem* root = load(qml);
    for (int index = 0; index < 4; ++index) {
        ZTSprite* sprite =
            spriteOf(findItem(root, QByteArray("format" + QByteArray::number(index)).constData()));
        ASSERT_NE(sprite, nullptr) << index;
        EXPECT_EQ(sprite->getSpriteBatchNode()->getTexture()->getPixelFormat(),
                  kZTTexture2DPixelFormat_RGBA8888)
            << index;
    }
    EXPECT_EQ(log.lines().filter("cannot be made from an image file").size(), 4)
        << log.lines().join('\n').toStdString();
    EXPECT_EQ(ZTTexture2D::defaultAlphaPixelFormat(), kZTTexture2DPixelFormat_RGBA8888);
}

TEST(SpriteSequence, ignoringSizeSignalsPutsTheWidthIntoTheNodeScale)
{
    QQuickItem* root =
        load(sequence("sized", 10, 10, "frameCount: 1", "ignoreWidthAndHeightChangedSignals: true"));
    QQuickItem* sized = findItem(root, "sized");
    sized->setWidth(3);
    ZTNode* node = engine->wrapper().getNodeFromObject(sized);
    ASSERT_NE(node, nullptr);
    EXPECT_FLOAT_EQ(node->getScaleX(), 3.0f);
}

TEST(Sprite, timingAndTheFirstCellAreDerivedFromWhatIsGiven)
{
    QQuickItem* root =
        load("SpriteSequence { running: false\n"
             "  Sprite { objectName: \"rate\"; frameRate: 10; frameCount: 5 }\n"
             "  Sprite { objectName: \"cell\"; frameWidth: 32; frameHeight: 32; startFrameColumn: 3;"
             " startFrameRow: 2 } }\n");
    QObject* rate = root->findChild<QObject*>("rate");
    QObject* cell = root->findChild<QObject*>("cell");
    EXPECT_EQ(rate->property("frameDuration").toInt(), 100);
    EXPECT_EQ(rate->property("duration").toInt(), 500);
    EXPECT_EQ(cell->property("frameX").toInt(), 64);
    EXPECT_EQ(cell->property("frameY").toInt(), 32);
    // The frame number is the frame shown.
    QMetaObject::invokeMethod(cell, "setFrameNumber", Q_ARG(QVariant, 2));
    EXPECT_EQ(cell->property("frameNumber").toInt(), 2);
}

TEST(SpriteSequence, aQuitTearsTheSpritesDownQuietlyWhileALostBatchNodeDuringPlayIsReported)
{
    QImage sheet(64, 16, QImage::Format_ARGB32);
    sheet.fill(Qt::red);
    EngineProcess run("Zanth sprites at quit", R"(import QtQuick 2.15
import Zanth 1.0
GameWindow {
    displayFpsEnabled: false
    Scene {
        SpriteSequence { x: 10; y: 10
            Sprite { source: "sheet.png"; frameWidth: 16; frameHeight: 16; frameCount: 4; frameDuration: 30 } }
        SpriteSequence { x: 40; y: 10
            Sprite { source: "sheet.png"; frameWidth: 16; frameHeight: 16; frameCount: 2; frameDuration: 40 } }
    }
    Timer { interval: 300; running: true; onTriggered: { console.log("quitting"); Qt.quit() } }
}
)",
                      {{"qml/sheet.png", pngFileContent(sheet)}}, "GameProgram");
    // The exit status carries the leak scan's verdict too.
    EXPECT_EQ(run.waitExit(60.0), 0) << run.output();
    EXPECT_EQ(run.countInOutput("exit 0"), 1) << run.output();
    EXPECT_EQ(run.countInOutput("quitting"), 1) << run.output();
    EXPECT_EQ(run.countInOutput("no spiteBatchNode"), 0) << run.output();

    // During play a sprite whose batch node lost it is a fault, and is reported when its item goes.
    QQuickItem* root = load(sequence("lost", 10, 10, "frameCount: 2; frameDuration: 50"));
    QQuickItem* lost = findItem(root, "lost");
    ZTSprite* sprite = spriteOf(lost);
    ASSERT_NE(sprite, nullptr);
    ASSERT_NE(sprite->getSpriteBatchNode(), nullptr);
    sprite->getSpriteBatchNode()->removeSpriteFromAtlas(sprite);
    const MessageLog log;
    delete lost;
    EXPECT_EQ(log.lines().filter("ERROR: no spiteBatchNode found for the sprite from spriteSheet").size(), 1);
    engine->stepFrames(1);
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
