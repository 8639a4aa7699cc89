// The built-in FireParticle effect in a QML Particle: values declared in QML win over the file's, and the
// effect shows on screen.

#include <gtest/gtest.h>

#include "InProcessEngine.h"

#include "items/particleitem.h"

#include "base_nodes/ZTNode.h"
#include "cocoa/ZTArray.h"
#include "particle_nodes/ZTParticleSystem.h"

#include <QElapsedTimer>
#include <QThread>

using namespace zanth2d;

namespace {

InProcessEngine* engine = nullptr;

ZTParticleSystem* emitterOf(ParticleItem* item)
{
    ZTNode* node = item->getZTNode();
    if (!node || node->getChildrenCount() == 0)
        return nullptr;
    return dynamic_cast<ZTParticleSystem*>(node->getChildren()->lastObject());
}

ParticleItem* loadFire()
{
    QQuickItem* root =
        engine->load("import QtQuick 2.15\nimport Zanth 1.0\n"
                     "GameWindow { width: 320; height: 240; displayFpsEnabled: false\n"
                     "  Particle { objectName: \"fire\"; x: 160; y: 120; autoStart: true\n"
                     "    fileName: \"qrc:/qml/particles/FireParticle.json\"; speed: 50 }\n}\n");
    engine->stepFrames(2);
    return root ? root->findChild<ParticleItem*>("fire") : nullptr;
}

} // namespace

TEST(FireParticle, keepsTheDeclaredSpeedTakesTheRestFromTheFileAndShowsFlames)
{
    ParticleItem* fire = loadFire();
    ASSERT_NE(fire, nullptr);
    EXPECT_EQ(fire->speed(), 50.0);
    EXPECT_EQ(fire->maxParticles(), 42);
    EXPECT_DOUBLE_EQ(fire->particleLifespan(), 0.9);
    EXPECT_EQ(fire->startColor(), QColor("#c2401f"));
    EXPECT_EQ(fire->blendFuncSource(), 770);
    EXPECT_EQ(fire->textureFileName(), QUrl("qrc:/qml/particles/particleFire.png"));
    ZTParticleSystem* particles = emitterOf(fire);
    ASSERT_NE(particles, nullptr);
    EXPECT_EQ(particles->getSpeed(), 50.0f);
    EXPECT_EQ(particles->getDuration(), -1.0f);
    EXPECT_FLOAT_EQ(particles->getEmissionRate(), float(42 / 0.9));

    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 500) {
        QThread::msleep(16);
        engine->stepFrames(1);
    }
    const QImage image = engine->grabWindow();
    int lit = 0;
    for (int y = 100; y < 140; ++y)
        for (int x = 150; x < 220; ++x)
            lit += image.pixelColor(x, y).red() > 60 ? 1 : 0;
    EXPECT_GT(lit, 20);
    EXPECT_LT(image.pixelColor(20, 20).red(), 30);
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
