// The particle formats, held to the results recorded in resources/ParticleFormatsTest/expected.txt: every
// built-in effect file (as it was when the results were recorded, in resources/ParticleFormatsTest/effects)
// read into a Particle (its property values and its emitter), the property list the
// item exports from it byte for byte, that list and lists written by Python's plistlib read back by the
// emitter's reader, and the emitters the older Particles component builds. A mismatch writes the results
// of this run into the tests' build folder, so a deliberate format change is one copy away.

#include <gtest/gtest.h>

#include "FixtureDir.h"
#include "InProcessEngine.h"
#include "PngFixture.h"
#include "TestProgramPath.h"

#include "items/particleitem.h"

#include "ZTDirector.h"
#include "ZTScheduler.h"
#include "base_nodes/ZTNode.h"
#include "cocoa/ZTArray.h"
#include "particle_nodes/ZTParticleSystemQuad.h"
#include "textures/ZTTexture2D.h"
#include "zanthjson.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QMetaProperty>
#include <QPointF>
#include <QRegularExpression>
#include <QUrl>

#include <cstdlib>

using namespace zanth2d;

namespace {

InProcessEngine* engine = nullptr;

QString real(double value)
{
    return QString::number(value, 'g', 17);
}

QString color(const ztColor4F& c)
{
    return real(c.r) + " " + real(c.g) + " " + real(c.b) + " " + real(c.a);
}

QString point(const ZTPoint& p)
{
    return real(p.x) + " " + real(p.y);
}

// Every setting of an emitter that a format or a property can reach (nothing that changes while it runs).
QString emitterText(ZTParticleSystem* e)
{
    if (!e)
        return "emitter none\n";
    ZTTexture2D* texture = e->getTexture();
    const QStringList lines = {
        "TotalParticles " + QString::number(e->getTotalParticles()),
        "Duration " + real(e->getDuration()),
        "SourcePosition " + point(e->getSourcePosition()),
        "PosVar " + point(e->getPosVar()),
        "Life " + real(e->getLife()) + " " + real(e->getLifeVar()),
        "Angle " + real(e->getAngle()) + " " + real(e->getAngleVar()),
        "Gravity " + point(e->getGravity()),
        "Speed " + real(e->getSpeed()) + " " + real(e->getSpeedVar()),
        "TangentialAccel " + real(e->getTangentialAccel()) + " " + real(e->getTangentialAccelVar()),
        "RadialAccel " + real(e->getRadialAccel()) + " " + real(e->getRadialAccelVar()),
        "StartRadius " + real(e->getStartRadius()) + " " + real(e->getStartRadiusVar()),
        "EndRadius " + real(e->getEndRadius()) + " " + real(e->getEndRadiusVar()),
        "RotatePerSecond " + real(e->getRotatePerSecond()) + " " + real(e->getRotatePerSecondVar()),
        "StartSize " + real(e->getStartSize()) + " " + real(e->getStartSizeVar()),
        "EndSize " + real(e->getEndSize()) + " " + real(e->getEndSizeVar()),
        "StartColor " + color(e->getStartColor()) + " var " + color(e->getStartColorVar()),
        "EndColor " + color(e->getEndColor()) + " var " + color(e->getEndColorVar()),
        "StartSpin " + real(e->getStartSpin()) + " " + real(e->getStartSpinVar()),
        "EndSpin " + real(e->getEndSpin()) + " " + real(e->getEndSpinVar()),
        "EmissionRate " + real(e->getEmissionRate()),
        "BlendFunc " + QString::number(e->getBlendFunc().src) + " " + QString::number(e->getBlendFunc().dst),
        "PositionType " + QString::number(e->getPositionType()),
        "EmitterMode " + QString::number(e->getEmitterMode()),
        "AutoRemove " + QString::number(e->getIsAutoRemoveOnFinish()),
        "Position " + point(e->getPosition()),
        "Texture " + (texture ? QString::number(texture->getPixelsWide()) + "x" +
                                    QString::number(texture->getPixelsHigh())
                              : QString("none")),
    };
    return lines.join("\n") + "\n";
}

QString valueText(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return real(value.toDouble());
    case QMetaType::QPointF:
        return real(value.toPointF().x()) + " " + real(value.toPointF().y());
    case QMetaType::QColor:
        return value.value<QColor>().name(QColor::HexArgb);
    case QMetaType::QUrl:
        return value.toUrl().toString().replace(engine->folder(), "<folder>");
    default:
        return value.toString();
    }
}

// The Particle's own properties in declaration order, then the item's place and visibility.
QString itemText(QObject* item)
{
    QString text;
    const QMetaObject& meta = ParticleItem::staticMetaObject;
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i)
        text += QString(meta.property(i).name()) + " " + valueText(meta.property(i).read(item)) + "\n";
    for (const char* name : {"x", "y", "rotation", "visible", "opacity"})
        text += QString(name) + " " + valueText(item->property(name)) + "\n";
    return text;
}

ZTParticleSystem* emitterOf(ZTNode* node)
{
    if (!node || node->getChildrenCount() == 0)
        return nullptr;
    return dynamic_cast<ZTParticleSystem*>(node->getChildren()->lastObject());
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// The same small PNG for every texture name, written by Python so its bytes don't follow Qt's encoder.
QByteArray texturePng()
{
    static QByteArray png;
    if (png.isEmpty()) {
        FixtureDir dir;
        if (dir.python(std::string(kPythonPngWriter) +
                       "png(\"t.png\", 8, 8, lambda x, y: bytes([255, 255 - 20 * x, 255 - 20 * y, 255]))\n"))
            png = QByteArray::fromStdString(dir.read("t.png"));
    }
    return png;
}

// Each built-in effect file beside its texture in a folder of its own, read into a Particle, exported
// and read back.
QString builtInEffectsText()
{
    // Game time stands still, so that even a short burst still runs when it is read, however long the
    // frames take.
    zanth2d::ZTScheduler* scheduler = ZTDirector::sharedDirector()->getScheduler();
    scheduler->setTimeScale(0);
    QString text;
    const QStringList files = QDir(":/effects").entryList({"*.json"}, QDir::Files, QDir::Name);
    for (const QString& name : files) {
        const QString folder = engine->folder() + "/formats/" + name.chopped(5);
        const QByteArray json = readAll(":/effects/" + name);
        writeTestFile(folder + "/" + name, json);
        const QString texture = QString(json).section("\"textureFileName\" : \"", 1).section('"', 0, 0);
        writeTestFile(folder + "/" + texture, texturePng());

        QQuickItem* root = engine->load(
            "import QtQuick 2.15\nimport Zanth 1.0\nGameWindow { width: 320; height: 240; "
            "displayFpsEnabled: false\n  Particle { objectName: \"p\"; autoStart: true; fileName: \"" +
            QUrl::fromLocalFile(folder + "/" + name).toString().toUtf8() + "\" }\n}\n");
        engine->stepFrames(2);
        auto* item = root ? root->findChild<ParticleItem*>("p") : nullptr;
        text += "== effect " + name + "\n";
        if (!item) {
            text += "no item\n";
            continue;
        }
        text += itemText(item);
        text += "-- emitter\n" + emitterText(emitterOf(item->getZTNode()));
        const QString plist = folder + "/" + name.chopped(5) + ".plist";
        item->saveAsPList(QUrl::fromLocalFile(plist));
        text += "-- property list\n" + QString::fromUtf8(readAll(plist));
        text += "-- read back\n" +
                emitterText(ZTParticleSystemQuad::particleWithFile(plist.toLocal8Bit().constData()));
    }
    scheduler->setTimeScale(1);
    return text;
}

// Lists written by plistlib, with integer, real, boolean and string elements.
QString propertyListsText()
{
    FixtureDir dir;
    const bool written = dir.python(std::string(kPythonPngWriter) + R"PY(
import base64, gzip, plistlib
png("dot.png", 4, 4, lambda x, y: bytes([200, 100, 50, 255]))
TEX = base64.b64encode(gzip.compress(open("dot.png", "rb").read(), mtime=0)).decode()
common = {"maxParticles": 64, "angle": 33.5, "angleVariance": 12, "duration": -1, "blendFuncSource": 770,
          "blendFuncDestination": 1, "particleLifespan": 1.25, "particleLifespanVariance": 0.5,
          "startColorRed": 0.75, "startColorGreen": 0.5, "startColorBlue": 0.25, "startColorAlpha": 1,
          "startColorVarianceRed": 0.1, "startColorVarianceGreen": 0.2, "startColorVarianceBlue": 0.3,
          "startColorVarianceAlpha": 0.4, "finishColorRed": 0.9, "finishColorGreen": 0.8,
          "finishColorBlue": 0.7, "finishColorAlpha": 0, "finishColorVarianceRed": 0.05,
          "finishColorVarianceGreen": 0.06, "finishColorVarianceBlue": 0.07, "finishColorVarianceAlpha": 0.08,
          "startParticleSize": 20, "startParticleSizeVariance": 4, "finishParticleSize": -1,
          "finishParticleSizeVariance": 2, "sourcePositionx": 160, "sourcePositiony": 120.5,
          "sourcePositionVariancex": 7, "sourcePositionVariancey": 9, "rotationStart": 10,
          "rotationStartVariance": 5, "rotationEnd": 90, "rotationEndVariance": 15, "gravityx": 3,
          "gravityy": -40.5, "speed": 120, "speedVariance": 30, "radialAcceleration": -5,
          "radialAccelVariance": 1, "tangentialAcceleration": 6, "tangentialAccelVariance": 2,
          "maxRadius": 100, "maxRadiusVariance": 10, "minRadius": 20, "minRadiusVariance": 3,
          "rotatePerSecond": 90, "rotatePerSecondVariance": 45, "textureFileName": "dot.png",
          "textureImageData": TEX, "positionType": 2, "rotation": 45, "visible": True}
for mode in (0, 1):
    values = dict(common, emitterType=mode)
    plistlib.dump(values, open("mode%d.plist" % mode, "wb"))
embedded = dict(common, emitterType=1, textureFileName="elsewhere.png", blendFuncSource=True)
plistlib.dump(embedded, open("embedded.plist", "wb"))
)PY");
    if (!written)
        return "plistlib failed\n";
    QString text;
    for (const char* name : {"mode0.plist", "mode1.plist", "embedded.plist"}) {
        text += QString("== property list ") + name + "\n";
        text += emitterText(ZTParticleSystemQuad::particleWithFile(dir.path(name).c_str()));
    }
    return text;
}

// The older component, started once per set of properties.
QString particlesComponentText()
{
    const char* const sets[] = {
        "emitterType: 0; angle: 30; angleVariance: 5; duration: ParticleSystem.Infinite; gravityx: 3; "
        "gravityy: -7.5; speed: 80; speedVariance: 10; radialAcceleration: 2; radialAccelVariance: 1; "
        "tangentialAcceleration: -3; tangentialAccelVariance: 4; startColorRed: 0.5; startColorGreen: 0.25; "
        "startColorBlue: 1; startColorAlpha: 0.75; finishColorRed: 0.1; finishColorAlpha: 0.2; "
        "startColorVarianceGreen: 0.3; finishColorVarianceBlue: 0.4; startParticleSize: 12; "
        "startParticleSizeVariance: 3; finishParticleSize: -1; finishParticleSizeVariance: 2; "
        "sourcePositionVariancex: 6; sourcePositionVariancey: 8; rotationStart: 15; rotationStartVariance: "
        "2; "
        "rotationEnd: 180; rotationEndVariance: 9; particleLifespanVariance: 0.25; positionType: 1; "
        "blendFuncSource: 770; blendFuncDestination: 1; x: 40; y: 50",
        "emitterType: 1; minRadius: 10; minRadiusVariance: 2; maxRadius: 100; maxRadiusVariance: 5; "
        "rotatePerSecond: 45; rotatePerSecondVariance: 15; speed: 99; duration: 2; positionType: 2",
        "emitterType: 3; minRadius: 10; speed: 50",
    };
    const QString texture = engine->folder() + "/formats/component/spot.png";
    writeTestFile(texture, texturePng());
    QString text;
    for (const char* properties : sets) {
        QQuickItem* root = engine->load(
            QByteArray("import QtQuick 2.15\nimport Zanth 1.0\nGameWindow { width: 320; height: 240; "
                       "displayFpsEnabled: false\n  Particles { objectName: \"p\"; maxParticles: 20; "
                       "particleLifespan: 1.5; textureFileName: \"") +
            QUrl::fromLocalFile(texture).toString().toUtf8() + "\"\n" +
            QByteArray(properties).replace(';', '\n') + "\n  }\n}\n");
        QQuickItem* item = root ? findItem(root, "p") : nullptr;
        text += QString("== Particles ") + properties + "\n";
        if (!item) {
            text += "no item\n";
            continue;
        }
        QMetaObject::invokeMethod(item, "start");
        text += emitterText(emitterOf(engine->wrapper().getNodeFromObject(item)));
        text += "blendFuncSource " + item->property("blendFuncSource").toString() + " blendFuncDestination " +
                item->property("blendFuncDestination").toString() + "\n";
    }
    return text;
}

// A game window holding one Particle "p" loaded from file (a path or a resource), placed at (160, 120)
// or where the file puts it, with frames stepped until its emitter exists.
ParticleItem* loadEffect(const QString& file, bool placed = true)
{
    QQuickItem* root = engine->load(
        "import QtQuick 2.15\nimport Zanth 1.0\nGameWindow { width: 320; height: 240; displayFpsEnabled: "
        "false\n"
        "  Particle { objectName: \"p\"; " +
        QByteArray(placed ? "x: 160; y: 120; " : "") + "autoStart: true; fileName: \"" +
        (file.startsWith(":/") ? "qrc" + file : QUrl::fromLocalFile(file).toString()).toUtf8() + "\" }\n}\n");
    auto* item = root ? root->findChild<ParticleItem*>("p") : nullptr;
    for (int frame = 0; item && frame < 100 && !emitterOf(item->getZTNode()); ++frame)
        engine->stepFrames(1);
    return item;
}

// The picture of an effect after the same steps from the same random numbers: the scheduler stands still,
// so only the steps taken here move the particles.
QImage pictureOf(const QString& file)
{
    zanth2d::ZTScheduler* scheduler = ZTDirector::sharedDirector()->getScheduler();
    scheduler->setTimeScale(0);
    ParticleItem* item = loadEffect(file);
    ZTParticleSystem* particles = item ? emitterOf(item->getZTNode()) : nullptr;
    QImage picture;
    if (particles) {
        std::srand(7);
        for (int step = 0; step < 40; ++step) {
            particles->update(1.0f / 30);
            particles->updateParticles();
        }
        engine->stepFrames(1);
        picture = engine->grabWindow();
    }
    scheduler->setTimeScale(1);
    return picture;
}

QVariantMap parsed(const QByteArray& json)
{
    return ZanthJson::Json::parse(QString::fromUtf8(json)).toMap();
}

} // namespace

TEST(ParticleFormats, readAndWriteAsRecorded)
{
    ASSERT_FALSE(texturePng().isEmpty());
    // The emitters draw random numbers only while they run; their settings don't depend on them.
    const QString actual = builtInEffectsText() + propertyListsText() + particlesComponentText();
    const QString expected = QString::fromUtf8(readAll(":/expected.txt"));
    if (actual == expected)
        return;
    // Beside the test program: tests/run-test.sh removes the test's temporary folder when it ends.
    const QString written = QString::fromStdString(testProgramPath("ParticleFormats.actual.txt"));
    writeTestFile(written, actual.toUtf8());
    const QStringList a = actual.split('\n');
    const QStringList e = expected.split('\n');
    int line = 0;
    while (line < a.size() && line < e.size() && a[line] == e[line])
        ++line;
    ADD_FAILURE() << "first difference at line " << line + 1
                  << ":\n  expected: " << (line < e.size() ? e[line] : QString("(end)")).toStdString()
                  << "\n  actual:   " << (line < a.size() ? a[line] : QString("(end)")).toStdString()
                  << "\nthis run's results: " << written.toStdString();
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}

TEST(ParticleEffectFiles, builtInEffectsWrittenBackAreTheirOwnFiles)
{
    const QStringList files = QDir(":/effects").entryList({"*.json"}, QDir::Files, QDir::Name);
    ASSERT_EQ(files.size(), 35);
    for (const QString& name : files) {
        SCOPED_TRACE(name.toStdString());
        const QString folder = engine->folder() + "/written/" + name.chopped(5);
        const QByteArray original = readAll(":/effects/" + name);
        writeTestFile(folder + "/in/" + name, original);
        const QString texture = parsed(original).first().toMap().value("textureFileName").toString();
        writeTestFile(folder + "/in/" + texture, texturePng());
        ParticleItem* item = loadEffect(folder + "/in/" + name, false);
        ASSERT_NE(item, nullptr);
        const QString out = folder + "/out/" + name;
        ASSERT_TRUE(item->saveAsEffect(QUrl::fromLocalFile(out), parsed(original).firstKey()));

        // The writer's own form of the file (one file has a blank less than the writer writes).
        const QVariantMap effect = parsed(original);
        const QByteArray written = readAll(out);
        if (effect.first().toMap().size() == 44) {
            EXPECT_EQ(written.toStdString(), ZanthJson::Json::serialize(effect).toStdString());
        } else {
            // The keys a file lacks are written with what the item holds: opaque colours, visible.
            const QVariantMap back = parsed(written).value(effect.firstKey()).toMap();
            EXPECT_EQ(back.size(), 44);
            const QVariantMap values = effect.first().toMap();
            for (auto it = values.cbegin(); it != values.cend(); ++it)
                EXPECT_EQ(ZanthJson::Json::serialize(back.value(it.key())),
                          ZanthJson::Json::serialize(it.value()))
                    << it.key().toStdString();
        }
        EXPECT_EQ(readAll(folder + "/out/" + texture), texturePng());
    }
}

TEST(ParticleEffectFiles, aSavedEffectAndItsTextureLoadInAnyFolderWithTheSameLook)
{
    // The application's own effect, its texture inside the resources.
    const QString saved = engine->folder() + "/saved/My Fire.json";
    ParticleItem* fire = loadEffect(":/qml/particles/FireParticle.json");
    ASSERT_NE(fire, nullptr);
    ASSERT_TRUE(fire->saveAsEffect(QUrl::fromLocalFile(saved), "My Fire"));
    const QByteArray json = readAll(saved);
    EXPECT_TRUE(json.contains("\"textureFileName\" : \"particleFire.png\"")) << json.toStdString();
    EXPECT_TRUE(json.contains("\"maxParticles\" : 42,")) << json.toStdString();
    // Whole numbers stand without a decimal point (points keep the writer's "0.0, 0.0").
    EXPECT_FALSE(QString(json).contains(QRegularExpression("\" : -?[0-9]+\\.0[ ,]"))) << json.toStdString();

    // Mailed: the two files in a folder of their own, nothing else.
    const QString mailed = engine->folder() + "/mailed";
    QDir(mailed).removeRecursively();
    QDir().mkpath(mailed);
    ASSERT_TRUE(QFile::copy(saved, mailed + "/My Fire.json"));
    ASSERT_TRUE(QFile::copy(engine->folder() + "/saved/particleFire.png", mailed + "/particleFire.png"));

    const QImage original = pictureOf(":/qml/particles/FireParticle.json");
    const QImage travelled = pictureOf(mailed + "/My Fire.json");
    ASSERT_FALSE(original.isNull());
    ASSERT_FALSE(travelled.isNull());
    int lit = 0;
    for (int y = 0; y < original.height(); ++y)
        for (int x = 0; x < original.width(); ++x)
            lit += qRed(original.pixel(x, y)) > 60 ? 1 : 0;
    EXPECT_GT(lit, 100) << "the fire burns";
    EXPECT_TRUE(original == travelled) << "the travelled effect looks different";
}
