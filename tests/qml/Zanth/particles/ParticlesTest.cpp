// The older Particles component and the bridge's particle manager behind it, on the engine started in the
// test process: what the emitters under an item's node are made of and how starts and stops reach them.

#include <gtest/gtest.h>

#include "InProcessEngine.h"
#include "MessageLog.h"

#include "base_nodes/ZTNode.h"
#include "cocoa/ZTArray.h"
#include "items/particleitem.h"
#include "particle_nodes/ZTParticleSystem.h"
#include "scenegraphwrapper.h"
#include "ztparticlemanager.h"

#include <QRegularExpression>

using namespace zanth2d;

namespace {

InProcessEngine* engine = nullptr;

// A Particles item (objectName "p") in a game window, with the given properties; started by the test.
QQuickItem* loadParticles(QByteArray properties)
{
    if (!properties.contains("maxParticles:"))
        properties += "\nmaxParticles: 20";
    if (!properties.contains("textureFileName:"))
        properties += "\ntextureFileName: \"qrc:/qml/particles/point.png\"";
    QQuickItem* root = engine->load("import QtQuick 2.15\nimport Zanth 1.0\n"
                                    "GameWindow { width: 320; height: 240; displayFpsEnabled: false\n"
                                    "  Particles { objectName: \"p\"; particleLifespan: 1\n" +
                                    properties + "\n  }\n}\n");
    return root ? findItem(root, "p") : nullptr;
}

ZTNode* nodeOf(QQuickItem* item)
{
    return engine->wrapper().getNodeFromObject(item);
}

ZTParticleSystem* lastEmitter(QQuickItem* item)
{
    ZTNode* node = nodeOf(item);
    if (!node || node->getChildrenCount() == 0)
        return nullptr;
    return dynamic_cast<ZTParticleSystem*>(node->getChildren()->lastObject());
}

void start(QQuickItem* item)
{
    QMetaObject::invokeMethod(item, "start");
}

} // namespace

TEST(ParticlesComponent, unsetValuesBecomeZeroAndTheEmitterTakesTheComponentsConventions)
{
    QQuickItem* item = loadParticles("angle: 90; emitterType: 1; minRadius: 10; maxRadius: 100");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->property("particleStatus").toInt(), 0);
    EXPECT_EQ(item->property("speed").toDouble(), 0.0);
    start(item);
    ZTParticleSystem* particles = lastEmitter(item);
    ASSERT_NE(particles, nullptr);
    EXPECT_EQ(item->property("particleStatus").toInt(), 3);
    EXPECT_EQ(particles->getAngle(), -90.0f);
    EXPECT_EQ(particles->getStartRadius(), 10.0f);
    EXPECT_EQ(particles->getEndRadius(), 100.0f);
    EXPECT_EQ(particles->getEmissionRate(), 20.0f);
    EXPECT_EQ(item->property("blendFuncSource").toInt(), 1);
    EXPECT_EQ(item->property("blendFuncDestination").toInt(), 771);

    item->setProperty("startColorRed", 0.5);
    EXPECT_EQ(particles->getStartColor().r, 0.5f);
    item->setProperty("emitterType", 3);
    EXPECT_EQ(particles->getEmitterMode(), 3);
}

TEST(ParticlesComponent, anEndlessEffectRestartsOnlyWhenStoppedAndFiniteStartsAddEmitters)
{
    QQuickItem* item = loadParticles("duration: ParticleSystem.Infinite");
    start(item);
    ZTParticleSystem* particles = lastEmitter(item);
    ASSERT_NE(particles, nullptr);
    EXPECT_EQ(particles->getDuration(), -1.0f);
    start(item);
    EXPECT_EQ(nodeOf(item)->getChildrenCount(), 1u);
    QMetaObject::invokeMethod(item, "stop");
    EXPECT_FALSE(particles->getIsActive());
    start(item);
    EXPECT_TRUE(particles->getIsActive());
    EXPECT_EQ(lastEmitter(item), particles);

    item = loadParticles("duration: 2");
    start(item);
    start(item);
    EXPECT_EQ(nodeOf(item)->getChildrenCount(), 2u);
    // Made endless after finite starts: the newest emitter is the one restarted, nothing breaks.
    item->setProperty("duration", -2);
    EXPECT_EQ(lastEmitter(item)->getDuration(), -1.0f);
    start(item);
    EXPECT_EQ(nodeOf(item)->getChildrenCount(), 2u);
}

TEST(ParticlesComponent, badValuesStartNothingWithOneLogLineAndDisabledItemsIgnoreStart)
{
    for (const QByteArray properties : {QByteArray("emitterType: 3"), QByteArray("maxParticles: -4")}) {
        QQuickItem* item = loadParticles(properties);
        MessageLog log;
        start(item);
        EXPECT_EQ(log.lines().filter(QRegularExpression("WARNING|ERROR")).size(), 1)
            << log.lines().join("\n").toStdString();
    }
    // A position type the emitter has not got is the free one, at the start and when changed.
    QQuickItem* item = loadParticles("positionType: 99; emitterType: 1");
    start(item);
    ASSERT_NE(lastEmitter(item), nullptr);
    EXPECT_EQ(lastEmitter(item)->getPositionType(), kZTPositionTypeFree);
    item->setProperty("positionType", 2);
    EXPECT_EQ(lastEmitter(item)->getPositionType(), kZTPositionTypeGrouped);
    item->setProperty("positionType", -5);
    EXPECT_EQ(lastEmitter(item)->getPositionType(), kZTPositionTypeFree);
    engine->stepFrames(3);

    item = loadParticles("textureFileName: \"qrc:/nothing.png\"");
    start(item);
    EXPECT_EQ(lastEmitter(item), nullptr);

    item = loadParticles("");
    engine->view()
        .rootObject()
        ->property("settings")
        .value<QObject*>()
        ->setProperty("particlesEnabled", false);
    start(item);
    EXPECT_EQ(lastEmitter(item), nullptr);
}

TEST(ParticlesComponent, anEmitterReadFromItsPropertyListTakesTheItemsPositionTypeAngleAndARateThatIsANumber)
{
    // Exported by a Particle, so the texture travels inside the file.
    QQuickItem* root = engine->load("import QtQuick 2.15\nimport Zanth 1.0\n"
                                    "GameWindow { width: 320; height: 240; displayFpsEnabled: false\n"
                                    "  Particle { objectName: \"source\"; autoStart: true; maxParticles: 30\n"
                                    "    particleLifespan: 1.5; speed: 44\n"
                                    "    textureFileName: \"qrc:/qml/particles/point.png\" }\n}\n");
    engine->stepFrames(2);
    ParticleItem* source = root->findChild<ParticleItem*>("source");
    ASSERT_NE(source, nullptr);
    // A test before may have switched particles off in the stored settings.
    root->property("settings").value<QObject*>()->setProperty("particlesEnabled", true);
    source->start();
    const QByteArray plist = engine->folder().toUtf8() + "/exported.plist";
    ASSERT_TRUE(source->saveAsPList(QUrl::fromLocalFile(plist)));
    ZTParticleManager* manager = engine->wrapper().findChild<ZTParticleManager*>();
    ASSERT_NE(manager, nullptr);

    QQuickItem* item = loadParticles("filename: \"file://" + plist +
                                     "\"; angle: 90; positionType: ParticleSystem.Grouped; maxParticles: 10");
    ZTParticleSystem* particles = manager->createParticlesFromFile(item);
    ASSERT_NE(particles, nullptr);
    EXPECT_EQ(particles->getTotalParticles(), 30u);
    EXPECT_EQ(particles->getSpeed(), 44.0f);
    EXPECT_NE(particles->getTexture(), nullptr);
    EXPECT_EQ(particles->getAngle(), -90.0f);
    EXPECT_EQ(particles->getPositionType(), kZTPositionTypeGrouped);
    EXPECT_FLOAT_EQ(particles->getEmissionRate(), 10.0f);

    // A rate that is no number leaves the file's (its pool over its lifespan).
    item = loadParticles("filename: \"file://" + plist + "\"; emissionRate: 0 / 0");
    particles = manager->createParticlesFromFile(item);
    ASSERT_NE(particles, nullptr);
    EXPECT_FLOAT_EQ(particles->getEmissionRate(), 20.0f);

    EXPECT_EQ(manager->createParticlesFromFile(loadParticles("")), nullptr);
    EXPECT_EQ(manager->createParticlesFromFile(loadParticles("filename: \"file:///no/such.plist\"")),
              nullptr);
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
