// Every built-in effect, spawned alone in a Particle item, draws something: a broken texture, a zero size
// or a colour that blends to nothing would leave the window black.

#include <gtest/gtest.h>

#include "InProcessEngine.h"

#include "items/particleitem.h"

#include <QDir>
#include <QElapsedTimer>
#include <QThread>

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
        // Looked at every frame: short bursts are over soon, and some effects fade in over seconds.
        int lit = 0;
        QElapsedTimer clock;
        clock.start();
        while (lit <= 20 && clock.elapsed() < 3000) {
            QThread::msleep(16);
            engine->stepFrames(1);
            lit = std::max(lit, litPixels(engine->grabWindow()));
        }
        EXPECT_GT(lit, 20);
    }
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
