// The QML Particle on the engine started in the test process: the emitter it builds and edits, the
// effect files it loads, and the property lists it exports, read back by Python's plistlib and by the
// emitter's own reader.

#include <gtest/gtest.h>

#include "FixtureDir.h"
#include "InProcessEngine.h"
#include "MessageLog.h"

#include "items/particleitem.h"

#include "base_nodes/ZTNode.h"
#include "cocoa/ZTArray.h"
#include "particle_nodes/ZTParticleSystemQuad.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QThread>
#include <climits>

#include <cmath>

using namespace zanth2d;

namespace {

InProcessEngine* engine = nullptr;

QString texturePath()
{
    const QString path = engine->folder() + "/textures/dot.png";
    if (!QFile::exists(path)) {
        QDir().mkpath(engine->folder() + "/textures");
        QImage dot(8, 8, QImage::Format_RGBA8888);
        dot.fill(Qt::white);
        dot.save(path);
    }
    return path;
}

// A 320 x 240 game window holding one Particle (objectName "p") with the given properties.
ParticleItem* loadParticle(const QByteArray& properties, const QByteArray& windowProperties = "")
{
    QQuickItem* root =
        engine->load("import QtQuick 2.15\nimport Zanth 1.0\n"
                     "GameWindow { width: 320; height: 240; displayFpsEnabled: false\n" +
                     windowProperties + "\n  Particle { objectName: \"p\"\n" + properties + "\n  }\n}\n");
    engine->stepFrames(2);
    return root ? root->findChild<ParticleItem*>("p") : nullptr;
}

// A visible white effect at (160, 120); "name: value" pairs in extra replace or add properties.
QByteArray litParticle(const QByteArray& extra = "")
{
    QMap<QByteArray, QByteArray> properties{{"x", "160"},
                                            {"y", "120"},
                                            {"maxParticles", "40"},
                                            {"particleLifespan", "2"},
                                            {"startParticleSize", "12"},
                                            {"finishParticleSize", "-1"},
                                            {"startColor", "\"white\""},
                                            {"finishColor", "\"white\""},
                                            {"autoStart", "true"},
                                            {"textureFileName", "\"file://" + texturePath().toUtf8() + "\""}};
    for (const QByteArray& pair : extra.split(';')) {
        const int colon = pair.indexOf(':');
        if (colon > 0)
            properties.insert(pair.left(colon).trimmed(), pair.mid(colon + 1).trimmed());
    }
    QByteArray qml;
    for (auto it = properties.cbegin(); it != properties.cend(); ++it)
        qml += it.key() + ": " + it.value() + "\n";
    return qml;
}

ZTParticleSystem* emitterOf(ParticleItem* item)
{
    ZTNode* node = item->getZTNode();
    if (!node || node->getChildrenCount() == 0)
        return nullptr;
    return dynamic_cast<ZTParticleSystem*>(node->getChildren()->lastObject());
}

// Frames for about ms milliseconds of real time.
void runFor(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QThread::msleep(16);
        engine->stepFrames(1);
    }
}

bool sameTo6Digits(double a, double b)
{
    return std::fabs(a - b) <= 1e-5 * std::max(std::fabs(a), std::fabs(b)) + 1e-9;
}

QString writeEffect(const QByteArray& name, const QByteArray& json)
{
    const QString path = engine->folder() + "/effects/" + name;
    writeTestFile(path, json);
    return QUrl::fromLocalFile(path).toString();
}

} // namespace

TEST(ParticleItemEmitter, buildsAfterSetupAndEveryChangeReachesTheRunningEmitter)
{
    ParticleItem* item = loadParticle(litParticle());
    ASSERT_NE(item, nullptr);
    ZTParticleSystem* particles = emitterOf(item);
    ASSERT_NE(particles, nullptr);
    EXPECT_TRUE(item->running());
    EXPECT_EQ(particles->getTotalParticles(), 40u);
    EXPECT_FLOAT_EQ(particles->getEmissionRate(), 20.0f);
    EXPECT_EQ(particles->getDuration(), -1.0f);

    item->setProperty("speed", 33.0);
    item->setProperty("gravity", QPointF(3, -4));
    item->setProperty("startColorAlpha", 0.5);
    item->setProperty("duration", 3.0);
    EXPECT_EQ(particles->getSpeed(), 33.0f);
    EXPECT_EQ(particles->getGravity().y, -4.0f);
    EXPECT_NEAR(particles->getStartColor().a, 0.5f, 1e-4);
    EXPECT_EQ(particles->getDuration(), 3.0f);

    // However long a frame takes on a loaded machine, the burst lights its centre.
    EXPECT_TRUE(engine->stepFramesUntil([] { return engine->pixel(160, 120).lightness() > 200; }));
    EXPECT_LT(engine->pixel(20, 20).lightness(), 50);

    // A new pool size means a new emitter, and the rate follows maxParticles / particleLifespan.
    item->setProperty("maxParticles", 10.9);
    EXPECT_EQ(item->property("maxParticles").toDouble(), 10.0);
    ASSERT_NE(emitterOf(item), nullptr);
    EXPECT_EQ(emitterOf(item)->getTotalParticles(), 10u);
    EXPECT_EQ(item->emissionRate(), 5.0);
}

TEST(ParticleItemEmitter, durationZeroIsEndlessAndAFiniteEffectClearsRunningOnce)
{
    ParticleItem* item = loadParticle(litParticle("duration: 0.1; particleLifespan: 0.1"));
    ASSERT_NE(emitterOf(item), nullptr);
    QSignalSpy running(item, &ParticleItem::runningChanged);
    runFor(400);
    EXPECT_FALSE(item->running());
    EXPECT_EQ(running.count(), 1);

    // Made endless while the timer is armed: nothing ends it.
    item->start();
    item->setProperty("duration", 0.0);
    EXPECT_EQ(emitterOf(item)->getDuration(), -1.0f);
    runFor(400);
    EXPECT_TRUE(item->running());
}

TEST(ParticleItemEmitter, theItemsRotationTurnsTheEmissionDirection)
{
    ParticleItem* item = loadParticle(litParticle("speed: 100; rotation: 90"));
    runFor(200);
    ZTParticleSystem* particles = emitterOf(item);
    ASSERT_NE(particles, nullptr);
    ASSERT_GT(particles->getParticleCount(), 0u);
    // QML turns clockwise: 90 degrees sends particles down the screen, which is -y for the emitter.
    const sZTParticle particle = particles->getParticle(0);
    EXPECT_LT(particle.dir.y, -90.0f);
    EXPECT_NEAR(particle.dir.x, 0.0f, 1.0f);
}

TEST(ParticleItemEmitter, zeroBlendFactorsAreTheEmittersAndBadPoolsLeaveNoEmitter)
{
    ParticleItem* item = loadParticle(litParticle("blendFuncSource: 0; blendFuncDestination: 0"));
    EXPECT_EQ(item->blendFuncSource(), 1);
    EXPECT_EQ(item->blendFuncDestination(), 771);

    // Numbers beyond int's range (or not numbers at all) saturate instead of overflowing.
    const QString file = writeEffect(
        "blend.json", "{ \"E\": { \"blendFuncSource\": 77e300, \"blendFuncDestination\": -1e30 } }");
    item = loadParticle(litParticle("fileName: \"" + file.toUtf8() + "\""));
    EXPECT_EQ(item->blendFuncSource(), INT_MAX);
    EXPECT_EQ(item->blendFuncDestination(), INT_MIN);

    for (const char* pool : {"-5", "1e12", "2000000"}) {
        MessageLog log;
        item = loadParticle(litParticle(QByteArray("maxParticles: ") + pool));
        EXPECT_EQ(emitterOf(item), nullptr) << pool;
        EXPECT_TRUE(item->running()) << pool;
        EXPECT_EQ(log.lines().filter("maxParticles").size(), 1)
            << pool << log.lines().join("\n").toStdString();
    }
}

TEST(ParticleItemEmitter, switchingTheModeOfALiveEmitterLeavesTheOtherModesValuesUntilTheyAreAssigned)
{
    ParticleItem* item = loadParticle(litParticle("speed: 30; minRadius: 10; maxRadius: 50"));
    ZTParticleSystem* particles = emitterOf(item);
    ASSERT_NE(particles, nullptr);
    const float defaultRadius = particles->getStartRadius();
    ASSERT_NE(defaultRadius, 10.0f) << "a gravity emitter is built without the radius values";

    item->setProperty("emitterType", int(ParticleItem::Radius));
    ASSERT_EQ(emitterOf(item), particles) << "the mode changes on the live emitter";
    EXPECT_EQ(particles->getEmitterMode(), int(kZTParticleModeRadius));
    EXPECT_EQ(particles->getStartRadius(), defaultRadius);
    EXPECT_EQ(particles->getSpeed(), 30.0f);
    item->setProperty("minRadius", 20.0);
    EXPECT_EQ(particles->getStartRadius(), 20.0f);
    EXPECT_EQ(particles->getEndRadius(), defaultRadius);

    // Rebuilt, the emitter takes every value of its mode.
    item->stopLivingParticles();
    item->start();
    ASSERT_NE(emitterOf(item), nullptr);
    EXPECT_EQ(emitterOf(item)->getStartRadius(), 20.0f);
    EXPECT_EQ(emitterOf(item)->getEndRadius(), 50.0f);
}

TEST(ParticleItemEmitter, assigningAColourAgainResetsTheOpacityItsAlphaGaveIt)
{
    ParticleItem* item = loadParticle(litParticle());
    item->setProperty("startColor", QColor("#ff0000"));
    item->setProperty("startColorAlpha", 0.5);
    EXPECT_NEAR(item->startColorAlpha(), 0.5, 1e-3);
    ASSERT_NE(emitterOf(item), nullptr);
    EXPECT_NEAR(emitterOf(item)->getStartColor().a, 0.5f, 1e-3);

    // Six hex digits are an opaque colour, whatever alpha the colour had before.
    QSignalSpy alpha(item, &ParticleItem::startColorAlphaChanged);
    item->setProperty("startColor", QVariant(QStringLiteral("#00ff00")));
    EXPECT_EQ(item->startColor(), QColor(0, 255, 0));
    EXPECT_EQ(item->startColorAlpha(), 1.0);
    EXPECT_EQ(emitterOf(item)->getStartColor().a, 1.0f);
    EXPECT_EQ(emitterOf(item)->getStartColor().g, 1.0f);
}

TEST(ParticleItemEmitter, unknownPositionAndEmitterTypesFromQmlOrAFileKeepTheEffectRunning)
{
    const QString file =
        writeEffect("types.json", "{ \"E\": { \"positionType\": 99, \"emitterType\": 7, "
                                  "\"blendFuncSource\": 99, \"blendFuncDestination\": -3 } }");
    for (const QByteArray& values :
         {QByteArray("positionType: 99; emitterType: -2"),
          QByteArray("positionType: -1; blendFuncSource: 12345"), "fileName: \"" + file.toUtf8() + "\""}) {
        ParticleItem* item = loadParticle(litParticle(values));
        ASSERT_NE(emitterOf(item), nullptr) << values.constData();
        EXPECT_EQ(emitterOf(item)->getPositionType(), kZTPositionTypeFree) << values.constData();
        runFor(100);
        item->setProperty("positionType", 1000);
        EXPECT_EQ(emitterOf(item)->getPositionType(), kZTPositionTypeFree) << values.constData();
        item->setProperty("positionType", 2);
        EXPECT_EQ(emitterOf(item)->getPositionType(), kZTPositionTypeGrouped) << values.constData();
        item->setProperty("positionType", 3);
        runFor(100);
        EXPECT_GT(emitterOf(item)->getParticleCount(), 0u) << values.constData();
    }
}

TEST(ParticleItemEmitter, switchingParticlesOffRemovesTheEmitterAndStartIsIgnoredUntilOn)
{
    ParticleItem* item = loadParticle(litParticle());
    QObject* settings = engine->view().rootObject()->property("settings").value<QObject*>();
    ASSERT_NE(settings, nullptr);
    settings->setProperty("particlesEnabled", false);
    EXPECT_EQ(emitterOf(item), nullptr);
    EXPECT_FALSE(item->running());
    item->start();
    EXPECT_EQ(emitterOf(item), nullptr);
    settings->setProperty("particlesEnabled", true);
    item->start();
    EXPECT_NE(emitterOf(item), nullptr);
}

TEST(ParticleEffectFile, qmlValuesWinAndTheFirstEntryInKeyOrderIsApplied)
{
    const QString file = writeEffect(
        "a.json",
        "{ \"b\": { \"speed\": 1 }, \"Z\": { \"speed\": 7, \"speedVariance\": 3, \"gravity\": \"2,5\", "
        "\"startColor\": \"#ff0000\", \"startColorAlpha\": 0.25, \"finishColorVariance\": \"#00ff00\", "
        "\"finishColorVarianceAlpha\": 0.25, \"x\": 40, \"custom\": 9 } }");
    ParticleItem* item = loadParticle(litParticle("speed: 50; fileName: \"" + file.toUtf8() + "\""));
    EXPECT_EQ(item->speed(), 50.0);
    EXPECT_EQ(item->speedVariance(), 3.0);
    EXPECT_EQ(item->gravity(), QPointF(2, 5));
    // The colour was declared, so the file's alpha for it is refused too.
    EXPECT_EQ(item->startColor(), QColor(Qt::white));
    EXPECT_NEAR(item->finishColorVarianceAlpha(), 0.25, 1e-4);
    EXPECT_EQ(item->x(), 160.0);
    EXPECT_EQ(item->property("custom").toInt(), 9);
    ASSERT_NE(emitterOf(item), nullptr);
    EXPECT_EQ(emitterOf(item)->getSpeed(), 50.0f);

    // An edit made while running survives the next file.
    item->setSpeedVariance(11);
    const QString second =
        writeEffect("b.json", "{ \"E\": { \"speedVariance\": 1, \"angleVariance\": 30 } }");
    item->setFileName(QUrl(second));
    EXPECT_EQ(item->speedVariance(), 11.0);
    EXPECT_EQ(item->angleVariance(), 30.0);
    ASSERT_NE(emitterOf(item), nullptr);
    EXPECT_EQ(emitterOf(item)->getAngleVar(), 30.0f);
}

TEST(ParticleEffectFile, aRateDerivedFromDeclaredValuesTakesTheFilesOthersUnlessTheRateWasDeclared)
{
    const QString file =
        writeEffect("rate.json", "{ \"E\": { \"maxParticles\": 42, \"particleLifespan\": 0.9 } }");
    const auto declared = [&](const QByteArray& properties) {
        return loadParticle("autoStart: true\ntextureFileName: \"file://" + texturePath().toUtf8() +
                            "\"\nfileName: \"" + file.toUtf8() + "\"\n" + properties);
    };
    struct Case
    {
        const char* properties;
        double rate;
    };
    for (const Case& c :
         {Case{"particleLifespan: 2", 42 / 2.0}, Case{"maxParticles: 100", 100 / 0.9}, Case{"", 42 / 0.9},
          Case{"emissionRate: 7; maxParticles: 100", 7}, Case{"maxParticles: 100; emissionRate: 7", 7}}) {
        ParticleItem* item = declared(c.properties);
        ASSERT_NE(emitterOf(item), nullptr) << c.properties;
        EXPECT_DOUBLE_EQ(item->emissionRate(), c.rate) << c.properties;
        EXPECT_FLOAT_EQ(emitterOf(item)->getEmissionRate(), float(c.rate)) << c.properties;
    }

    // Once made, the rate follows the pool and the lifespan again, the declared rate too.
    ParticleItem* item = declared("emissionRate: 7");
    item->setProperty("particleLifespan", 4.0);
    EXPECT_DOUBLE_EQ(item->emissionRate(), 42 / 4.0);
}

TEST(ParticleEffectFile, aFileNamedOnceTheItemIsCompleteIsLoadedBeforeItStarts)
{
    const QByteArray file =
        writeEffect("late.json", "{ \"E\": { \"maxParticles\": 42, \"particleLifespan\": 0.9, \"speed\": 10, "
                                 "\"textureFileName\": \"dot.png\" } }")
            .toUtf8();
    QFile::copy(texturePath(), engine->folder() + "/effects/dot.png");
    // By the item itself, and by the window it stands in (a binding that gets its value there works alike).
    for (const QByteArray& window :
         {QByteArray(), "Component.onCompleted: effect.fileName = \"" + file + "\""}) {
        ParticleItem* item =
            loadParticle("id: effect; autoStart: true\n" +
                             (window.isEmpty() ? "Component.onCompleted: fileName = \"" + file + "\"" : ""),
                         window);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->speed(), 10.0) << window.toStdString();
        EXPECT_EQ(item->maxParticles(), 42) << window.toStdString();
        ASSERT_NE(emitterOf(item), nullptr) << window.toStdString();
        EXPECT_EQ(emitterOf(item)->getTotalParticles(), 42u);
        EXPECT_FLOAT_EQ(emitterOf(item)->getEmissionRate(), float(42 / 0.9));
    }
}

TEST(ParticleEffectFile, aFileNamingAnotherFileLoadsAloneWithOneLogLine)
{
    const QString a = engine->folder() + "/effects/namesB.json";
    const QString b = engine->folder() + "/effects/namesA.json";
    writeEffect("namesB.json", "{ \"E\": { \"fileName\": \"file://" + b.toUtf8() + "\", \"speed\": 1 } }");
    writeEffect("namesA.json", "{ \"E\": { \"fileName\": \"file://" + a.toUtf8() + "\", \"speed\": 2 } }");
    ParticleItem* item = loadParticle(litParticle());
    MessageLog log;
    item->setFileName(QUrl::fromLocalFile(a));
    EXPECT_EQ(item->fileName(), QUrl::fromLocalFile(a));
    EXPECT_EQ(item->speed(), 1.0);
    EXPECT_EQ(log.lines().size(), 1) << log.lines().join("\n").toStdString();
    ASSERT_NE(emitterOf(item), nullptr);

    // What the file set is no assignment of the game's: the next file sets it again.
    item->setFileName(QUrl(writeEffect("plain.json", "{ \"E\": { \"speed\": 3 } }")));
    EXPECT_EQ(item->speed(), 3.0);
}

TEST(ParticleEffectFile, malformedFilesLoadNothingWithOneLogLine)
{
    const std::pair<const char*, const char*> files[] = {
        {"broken.json", "{ \"E\": { \"speed\": "},
        {"list.json", "[1, 2]"},
        {"scalar.json", "{ \"E\": 5 }"},
        {"types.json", "{ \"E\": { \"speed\": \"fast\", \"startColor\": \"nocolour\", \"gravity\": 3 } }"},
    };
    for (const auto& [name, json] : files) {
        ParticleItem* item = loadParticle(litParticle());
        MessageLog log;
        item->setFileName(QUrl(writeEffect(name, json)));
        EXPECT_EQ(log.lines().size(), 1) << name << log.lines().join("\n").toStdString();
        EXPECT_EQ(item->speed(), 0.0) << name;
        EXPECT_EQ(item->startColor(), QColor(Qt::white)) << name;
        EXPECT_NE(emitterOf(item), nullptr) << name;
    }
}

TEST(ParticlePListExport, readsBackThroughPlistlibAndTheEmittersReader)
{
    for (const QByteArray mode : {"emitterType: 0; speed: 61.5; speedVariance: 2; gravity: \"3.25, -7\"; "
                                  "radialAcceleration: 4; tangentialAccelVariance: 0.26",
                                  "emitterType: 1; minRadius: 10; minRadiusVariance: 3; maxRadius: 100; "
                                  "maxRadiusVariance: 5; rotatePerSecond: 45.5"}) {
        ParticleItem* item = loadParticle(litParticle("rotation: 30; positionType: 1; rotationStart: 12; "
                                                      "rotationEndVariance: 7; angleVariance: 9; "
                                                      "startColor: \"#3366cc\"; " +
                                                      mode));
        ZTParticleSystem* original = emitterOf(item);
        ASSERT_NE(original, nullptr);
        FixtureDir dir;
        const QString path = QString::fromStdString(dir.path("out/effect<&>.plist"));
        ASSERT_TRUE(item->saveAsPList(QUrl::fromLocalFile(path)));

        ASSERT_TRUE(dir.python(R"PY(
import plistlib, json
raw = open("out/effect<&>.plist", "rb").read()
assert b"\r" not in raw
d = plistlib.loads(raw)
assert isinstance(d["blendFuncSource"], int) and isinstance(d["maxParticles"], (int, float))
assert all(isinstance(d[k], float) or isinstance(d[k], int) for k in d if k not in ("textureFileName", "textureImageData"))
assert d["textureFileName"] == "dot.png" and len(d["textureImageData"]) > 20
json.dump({k: v for k, v in d.items() if k != "textureImageData"}, open("values.json", "w"))
)PY"));
        const QJsonObject values =
            QJsonDocument::fromJson(QByteArray::fromStdString(dir.read("values.json"))).object();
        EXPECT_EQ(values.size(), 51);
        EXPECT_TRUE(sameTo6Digits(values["speed"].toDouble(), original->getSpeed()));
        EXPECT_TRUE(sameTo6Digits(values["startColorBlue"].toDouble(), original->getStartColor().b));

        // The reader finds no dot.png beside the file: the embedded texture stands in.
        ZTParticleSystem* back = ZTParticleSystemQuad::particleWithFile(path.toLocal8Bit().constData());
        ASSERT_NE(back, nullptr);
        EXPECT_NE(back->getTexture(), nullptr);
        const std::pair<float, float> same[] = {
            {back->getAngle(), -30.0f},
            {back->getAngleVar(), original->getAngleVar()},
            {back->getDuration(), original->getDuration()},
            {back->getLife(), original->getLife()},
            {back->getSpeed(), original->getSpeed()},
            {back->getSpeedVar(), original->getSpeedVar()},
            {back->getGravity().x, original->getGravity().x},
            {back->getGravity().y, original->getGravity().y},
            {back->getRadialAccel(), original->getRadialAccel()},
            {back->getTangentialAccelVar(), original->getTangentialAccelVar()},
            {back->getStartRadius(), original->getStartRadius()},
            {back->getStartRadiusVar(), original->getStartRadiusVar()},
            {back->getEndRadius(), original->getEndRadius()},
            {back->getRotatePerSecond(), original->getRotatePerSecond()},
            {back->getStartSpin(), original->getStartSpin()},
            {back->getEndSpinVar(), original->getEndSpinVar()},
            {back->getStartColor().g, original->getStartColor().g},
            {back->getEndSize(), original->getEndSize()},
            {back->getPosition().x, item->getZTNode()->getPosition().x},
            {back->getPosition().y, item->getZTNode()->getPosition().y},
        };
        for (const auto& [read, written] : same)
            EXPECT_TRUE(sameTo6Digits(read, written))
                << read << " != " << written << " in " << mode.constData();
        EXPECT_EQ(back->getTotalParticles(), original->getTotalParticles());
        EXPECT_EQ(back->getEmitterMode(), original->getEmitterMode());
        EXPECT_EQ(back->getBlendFunc().src, original->getBlendFunc().src);
        // What the format cannot carry: the position type, the end radius variance, an emission rate of
        // its own.
        EXPECT_EQ(back->getPositionType(), kZTPositionTypeFree);
        EXPECT_EQ(back->getEndRadiusVar(), 0.0f);
        EXPECT_FLOAT_EQ(back->getEmissionRate(), float(back->getTotalParticles()) / back->getLife());
    }
}

TEST(ParticlePListExport, theBuiltInFireEffectStandsAloneAndKeepsItsValues)
{
    // The application's file, with a texture of our own beside it.
    QFile::remove(engine->folder() + "/fire/FireParticle.json");
    QDir().mkpath(engine->folder() + "/fire");
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZANTH_CHECKOUT "/qml/particles/FireParticle.json"),
                            engine->folder() + "/fire/FireParticle.json"));
    QFile::copy(texturePath(), engine->folder() + "/fire/particleFire.png");
    ParticleItem* fire = loadParticle("autoStart: true; fileName: \"file://" + engine->folder().toUtf8() +
                                      "/fire/FireParticle.json\"");
    ZTParticleSystem* original = emitterOf(fire);
    ASSERT_NE(original, nullptr);
    FixtureDir dir;
    const QString path = QString::fromStdString(dir.path("FireParticle.plist"));
    ASSERT_TRUE(fire->saveAsPList(QUrl::fromLocalFile(path)));
    ASSERT_TRUE(dir.python(R"PY(
import plistlib
d = plistlib.load(open("FireParticle.plist", "rb"))
assert d["textureFileName"] == "particleFire.png" and d["duration"] == -1 and d["maxParticles"] == 42
assert d["blendFuncSource"] == 770 and d["blendFuncDestination"] == 1 and d["speed"] == 85
assert d["particleLifespan"] == 0.9 and d["startColorRed"] == float("%g" % (0xc2 / 255))
)PY"));
    ZTParticleSystem* back = ZTParticleSystemQuad::particleWithFile(path.toLocal8Bit().constData());
    ASSERT_NE(back, nullptr);
    EXPECT_NE(back->getTexture(), nullptr);
    EXPECT_EQ(back->getTotalParticles(), 42u);
    EXPECT_EQ(back->getDuration(), -1.0f);
    EXPECT_TRUE(sameTo6Digits(back->getLife(), original->getLife()));
    EXPECT_TRUE(sameTo6Digits(back->getEndSize(), original->getEndSize()));
    EXPECT_TRUE(sameTo6Digits(back->getStartColor().r, original->getStartColor().r));
    EXPECT_EQ(back->getBlendFunc().dst, 1u);
}

TEST(ParticlePListExport, noEmitterMeansNoFileAndAFailureWithTheOlderFileKept)
{
    ParticleItem* item = loadParticle("textureFileName: \"missing.png\"; maxParticles: 5; autoStart: true");
    ASSERT_EQ(emitterOf(item), nullptr);
    FixtureDir dir;
    dir.write("old.plist", "older");
    MessageLog log;
    EXPECT_FALSE(item->saveAsPList(QUrl::fromLocalFile(QString::fromStdString(dir.path("old.plist")))));
    EXPECT_EQ(dir.read("old.plist"), "older");
    EXPECT_EQ(log.lines().size(), 1);

    item = loadParticle(litParticle());
    EXPECT_FALSE(item->saveAsPList(QUrl::fromLocalFile("/proc/no/such/folder/x.plist")));
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
