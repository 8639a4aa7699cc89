// Every built-in effect, spawned alone in a Particle item, draws something: a broken texture, a zero size
// or a colour that blends to nothing would leave the window black.

#include <gtest/gtest.h>

#include "InProcessEngine.h"

#include "ZTDirector.h"
#include "ZTScheduler.h"
#include "items/particleitem.h"

#include <QDir>
#include <QThread>

#include <chrono>

namespace {

InProcessEngine* engine = nullptr;

QStringList effectFiles()
{
    return QDir(QStringLiteral(":/qml/particles"))
        .entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name);
}

// Pixels visibly apart from the black background.
int litPixels(const QImage& image)
{
    int lit = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            lit += std::max({c.red(), c.green(), c.blue()}) > 40 ? 1 : 0;
        }
    return lit;
}

} // namespace

TEST(BuiltInEffectsOnScreen, eachEffectSpawnedAloneDrawsPixels)
{
    const QStringList files = effectFiles();
    ASSERT_EQ(files.size(), 35);
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        QQuickItem* root =
            engine->load("import QtQuick 2.15\nimport Zanth 1.0\n"
                         "GameWindow { width: 480; height: 320; displayFpsEnabled: false\n"
                         "  Particle { objectName: \"effect\"; x: 240; y: 160; autoStart: true\n"
                         "    fileName: \"qrc:/qml/particles/" +
                         file.toUtf8() + "\" }\n}\n");
        ASSERT_NE(root, nullptr);
        ASSERT_NE(root->findChild<ParticleItem*>("effect"), nullptr);
        zanth2d::ZTDirector* director = zanth2d::ZTDirector::sharedDirector();
        // Looked at every frame for three seconds of game time: short bursts are over soon, and some
        // effects fade in over seconds. Each frame is a sixtieth of a second of game time however long it
        // took (the look is kept out of the clock, the frame's own time scaled to it), so that a busy
        // machine cannot let a burst live and die within one frame.
        zanth2d::ZTScheduler* scheduler = zanth2d::ZTScheduler::sharedScheduler();
        int lit = 0;
        float gameTime = 0.0f;
        while (lit <= 20 && gameTime < 3.0f) {
            director->setNextDeltaTimeZero(true);
            engine->stepFrames(1);
            const auto start = std::chrono::steady_clock::now();
            QThread::msleep(16);
            const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            scheduler->setTimeScale(float(1.0 / 60.0 / took));
            engine->stepFrames(1);
            gameTime += director->getDeltaTime() * scheduler->getTimeScale();
            scheduler->setTimeScale(1.0f);
            lit = std::max(lit, litPixels(engine->grabWindow()));
        }
        EXPECT_GT(lit, 20);
    }
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
