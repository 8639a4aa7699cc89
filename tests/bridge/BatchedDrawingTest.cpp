// A scene of every kind of mirrored item drawn with the renderer's batching on and off: the pictures must
// be the same to the pixel, and the batched one must take fewer draw calls.

#include <gtest/gtest.h>

#include "InProcessEngine.h"

#include "items/particleitem.h"

#include "ZTDirector.h"
#include "base_nodes/ZTNode.h"
#include "cocoa/ZTArray.h"
#include "particle_nodes/ZTParticleSystem.h"
#include "support/ZTRenderer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QQuickItem>

#include <set>

using namespace zanth2d;

namespace {

InProcessEngine* engine = nullptr;

// Two small textures of our own: a disc with soft, see-through edges, and a square of four colours.
void writeImages()
{
    QDir().mkpath(engine->folder() + "/qml/images");
    QImage disc(16, 16, QImage::Format_ARGB32);
    disc.fill(Qt::transparent);
    {
        QPainter painter(&disc);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(QColor(255, 220, 60, 200));
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QRectF(1, 1, 14, 14));
    }
    disc.save(engine->folder() + "/qml/images/disc.png");
    QImage quarters(16, 16, QImage::Format_ARGB32);
    {
        QPainter painter(&quarters);
        painter.fillRect(0, 0, 8, 8, QColor(230, 30, 30));
        painter.fillRect(8, 0, 8, 8, QColor(30, 200, 30));
        painter.fillRect(0, 8, 8, 8, QColor(30, 30, 230));
        painter.fillRect(8, 8, 8, 8, QColor(240, 240, 240));
    }
    quarters.save(engine->folder() + "/qml/images/quarters.png");
    QImage dot(8, 8, QImage::Format_RGBA8888);
    dot.fill(Qt::white);
    dot.save(engine->folder() + "/qml/images/dot.png");
}

// Runs of one texture broken by rectangles, text, a polygon, a clipped flickable and particles, with
// overlaps wherever an order mistake would show; some items turned, scaled or see-through.
QByteArray mixedScene()
{
    const QByteArray dot = (engine->folder() + "/qml/images/dot.png").toUtf8();
    return R"(import QtQuick 2.15
import Zanth 1.0
GameWindow { width: 320; height: 240; displayFpsEnabled: false
    Rectangle { width: 320; height: 240; color: "#202040" }
    Image { x: 10; y: 10; source: "images/disc.png" }
    Image { x: 20; y: 14; source: "images/disc.png"; opacity: 0.5 }
    Rectangle { x: 24; y: 18; width: 30; height: 12; color: "red" }
    Image { x: 30; y: 16; source: "images/disc.png" }
    Rectangle { x: 40; y: 20; width: 30; height: 30; color: "green"; opacity: 0.6 }
    Image { x: 50; y: 24; source: "images/quarters.png"; rotation: 30 }
    Image { x: 56; y: 28; source: "images/disc.png"; width: 32; height: 32 }
    Text { x: 60; y: 20; text: "Batched"; color: "white"; font.pixelSize: 14 }
    Image { x: 66; y: 22; source: "images/disc.png" }
    PolygonItem { x: 90; y: 30; fill: true; color: "orange"
        vertices: [Qt.point(0, 0), Qt.point(40, 0), Qt.point(20, 30)] }
    Image { x: 100; y: 34; source: "images/disc.png" }
    Flickable { x: 140; y: 20; width: 60; height: 50; clip: true; contentWidth: 200; contentHeight: 200
        contentX: 10; contentY: 5
        Rectangle { width: 200; height: 200; color: "#604020"
            Image { x: 5; y: 5; source: "images/disc.png" }
            Image { x: 40; y: 40; source: "images/disc.png"; scale: 3 }
            Rectangle { x: 20; y: 10; width: 100; height: 8; color: "cyan" }
            Image { x: 30; y: 12; source: "images/quarters.png" } } }
    Image { x: 190; y: 40; source: "images/disc.png" }
    Particle { objectName: "particles"; x: 120; y: 120; maxParticles: 30; particleLifespan: 5
        emissionRate: 60; startParticleSize: 10
        finishParticleSize: -1; startColor: "white"; finishColor: "white"; speed: 30; angleVariance: 180
        autoStart: true; textureFileName: "file://)" +
           dot + R"(" }
    Image { x: 118; y: 118; source: "images/quarters.png" }
    Repeater { model: 16
        Image { x: 10 + index * 9; y: 150 + (index % 3) * 5; source: "images/disc.png" } }
})";
}

// Pictures of one size equal to the pixel, or where they first differ.
::testing::AssertionResult samePicture(const QImage& a, const QImage& b)
{
    size_t differing = 0;
    QString first;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) != b.pixel(x, y) && !differing++)
                first = QString("(%1, %2): %3 against %4")
                            .arg(x)
                            .arg(y)
                            .arg(QColor(a.pixel(x, y)).name(), QColor(b.pixel(x, y)).name());
        }
    }
    if (!differing)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differing << " pixels differ, first at " << first.toStdString();
}

size_t distinctColours(const QImage& image)
{
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            colours.insert(image.pixel(x, y));
        }
    }
    return colours.size();
}

unsigned liveParticles(QQuickItem* root)
{
    auto* item = root->findChild<ParticleItem*>("particles");
    ZTNode* node = item ? item->getZTNode() : nullptr;
    if (!node || node->getChildrenCount() == 0)
        return 0;
    auto* emitter = dynamic_cast<ZTParticleSystem*>(node->getChildren()->lastObject());
    return emitter ? emitter->getParticleCount() : 0;
}

struct Drawn
{
    QImage picture;
    unsigned long drawCalls;
};

// Batching is on again when a test ends, however it ends.
struct BatchingBackOn
{
    ~BatchingBackOn() { ZTRenderer::sharedRenderer()->setBatchingEnabled(true); }
};

Drawn drawOneFrame(bool batching)
{
    ZTRenderer* renderer = ZTRenderer::sharedRenderer();
    renderer->setBatchingEnabled(batching);
    renderer->resetDrawCalls();
    // No time passes: animations and particles stay where they are.
    ZTDirector::sharedDirector()->setNextDeltaTimeZero(true);
    engine->stepFrames(1);
    return Drawn{engine->grabWindow(), renderer->getDrawCalls()};
}

} // namespace

TEST(BatchedDrawing, aMixedSceneLooksTheSameToThePixelBatchedAndUnbatched)
{
    writeImages();
    QQuickItem* root = engine->load(mixedScene());
    ASSERT_NE(root, nullptr);
    // Particles are out and moving; then the scene holds still while it is drawn both ways.
    const QDeadlineTimer deadline(30000);
    while (liveParticles(root) < 20 && !deadline.hasExpired())
        engine->stepFrames(1);
    ASSERT_GE(liveParticles(root), 20u);
    const BatchingBackOn backOn;
    const Drawn unbatched = drawOneFrame(false);
    const Drawn batched = drawOneFrame(true);
    const Drawn unbatchedAgain = drawOneFrame(false);

    ASSERT_EQ(batched.picture.size(), QSize(320, 240));
    EXPECT_GT(distinctColours(batched.picture), 40u);
    ASSERT_TRUE(samePicture(unbatched.picture, unbatchedAgain.picture)) << "the scene did not hold still";
    EXPECT_TRUE(samePicture(unbatched.picture, batched.picture));
    EXPECT_EQ(unbatched.drawCalls, 0u);
    EXPECT_GT(batched.drawCalls, 0u);
    // Over forty quads; the sixteen discs at the end take one call.
    EXPECT_LT(batched.drawCalls, 20u);
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
