// The 35 effect files compiled into the application's resource tree: what the main menu lists, what the
// effect loader reads from them, and whether the property editor's widgets can show every value.
#include <gtest/gtest.h>

#include <QColor>
#include <QDir>
#include <QFile>
#include <QPointF>
#include <QSet>
#include <algorithm>
#include <cmath>

#include "system.h"
#include "zanthjson.h"

using ZanthJson::Json;

namespace {

const QString kFolder = QStringLiteral(":/qml/particles/");

struct BuiltInEffect
{
    const char* file;
    const char* key;
    const char* texture;
    int mode;
    int particles;
    double duration;
    int position;
    int source;
    int destination;
    const char* colour;
    QPointF gravity;
};

const BuiltInEffect kEffects[] = {
    {"AboutFlames", "AboutFlames", "particleNapalm.png", 0, 49, 0, 1, 770, 1, "#0000a2", {7, 1000}},
    {"AboutSparkle", "AboutSparkle", "karo.png", 0, 428, 0, 1, 770, 1, "#000000", {0, -61}},
    {"BoingStar", "BoingStar", "star.png", 0, 21, 0.1, 1, 770, 771, "#ffff01", {2, 0}},
    {"Booster", "BoosterNew", "point.png", 0, 97, 0, 1, 770, 1, "#642d00", {0, 0}},
    {"CellShadyTunnle", "CellShadyTunnle", "circle.png", 1, 800, 0, 1, 770, 771, "#441b00", {0, 0}},
    {"Comet", "Comet", "point.png", 0, 373, 0, 1, 770, 1, "#220800", {0, 0}},
    {"DeathParticle", "DeathParticle", "particleBlood.png", 0, 10, 2, 1, 770, 771, "#ffbfbf", {0, 0}},
    {"Distortion", "Distortion", "particleBlood.png", 0, 38, 0, 1, 770, 1, "#00ff00", {0, 0}},
    {"Electrosparks", "Electrosparks", "stones.png", 0, 290, 0.13, 1, 770, 1, "#2629ff", {0, 0}},
    {"ExpandingUniverse", "ExpandingUniverse", "point.png", 0, 263, 0.4, 1, 770, 771, "#0180ff", {0, 0}},
    {"Eye", "Eye", "fog.png", 1, 800, 0, 1, 771, 1, "#092100", {0, 0}},
    {"Fire", "Fire2", "particleFire_16.png", 0, 118, 0, 1, 770, 1, "#ff1300", {7, 1000}},
    {"FireBall", "FireBall1", "point.png", 0, 743, 0, 1, 770, 1, "#ff0001", {0, 0}},
    {"FireParticle", "FireParticle", "particleFire.png", 0, 42, 0, 0, 770, 1, "#c2401f", {0, 0}},
    {"Flubber", "Flubber1", "point.png", 0, 303, 0, 1, 770, 1, "#01b401", {0, 0}},
    {"Fountain", "Fountain1", "star.png", 0, 1309, 0, 1, 771, 1, "#818683", {-334, 0}},
    {"Galaxy", "Galaxy", "point.png", 0, 280, 0, 1, 770, 1, "#002aff", {13, 14}},
    {"GhostyFog", "GhostyFog", "distorted.png", 0, 29, 0, 1, 770, 1, "#ffffff", {-98, 0}},
    {"ImplosionParticle", "ImplosionParticle", "stars.png", 1, 250, 0.1, 1, 770, 1, "#f58c57", {0, 0}},
    {"Jellyfish", "Jellyfish", "circle.png", 0, 300, 0, 1, 770, 1, "#2104ff", {0, -1000}},
    {"Laser", "Laser", "distorted.png", 0, 133, 0, 1, 771, 1, "#ff0000", {-1, 0}},
    {"LeaveStorm", "LeaveStorm", "leave.png", 0, 38, 0, 1, 770, 771, "#ffffff", {0, 0}},
    {"Lightrays", "Lightrays", "distorted.png", 0, 35, 0, 1, 770, 1, "#ffffff", {-98, 0}},
    {"LineOfStars", "LineOfStars", "filledstar.png", 0, 1037, 0, 1, 737, 1, "#c6e57f", {0, 0}},
    {"Love", "Love", "heart.png", 0, 5, 0, 1, 771, 729, "#ff0000", {-1, 116}},
    {"RedLaval", "RedLaval", "circle.png", 1, 2000, 0, 1, 770, 1, "#451b00", {0, 0}},
    {"Ring", "Ring", "point.png", 0, 884, 0.1, 1, 770, 1, "#ce8b68", {27, 25}},
    {"Sculls", "Love", "scull.png", 0, 15, 0, 1, 771, 729, "#ffffff", {-1, 116}},
    {"SmokeParticle", "SmokeParticle", "particleSmoke.png", 0, 20, 5, 1, 770, 771, "#bfbfbf", {0, 30}},
    {"Snowing", "Snowing", "snow.png", 0, 102, 0, 1, 770, 1, "#ffffff", {0, -61}},
    {"SpacePort", "SpacePort", "point.png", 0, 1468, 0, 1, 770, 1, "#24d4d1", {71, -71}},
    {"SplatterParticle",
     "SplatterParticle",
     "particleSplatter.png",
     0,
     20,
     0.5,
     1,
     770,
     771,
     "#bfbfbf",
     {0, 0}},
    {"SunExplosion", "SunExplosion", "point.png", 0, 709, 1.01, 0, 770, 1, "#ff7f00", {0, 0}},
    {"WarpfieldSmall", "WarpfieldSmall", "circle.png", 0, 290, 0, 1, 770, 1, "#ffffff", {0, 0}},
    {"Wormhole", "Wormhole", "particleBlood.png", 0, 80, 0, 1, 770, 1, "#00ff00", {0, 0}},
};

const QStringList kOpacityKeys = {"startColorAlpha", "startColorVarianceAlpha", "finishColorAlpha",
                                  "finishColorVarianceAlpha"};

// The names the property editor exposes for an effect.
QSet<QString> editableNames()
{
    return {"angleVariance",
            "blendFuncDestination",
            "blendFuncSource",
            "duration",
            "emitterType",
            "finishColor",
            "finishColorAlpha",
            "finishColorVariance",
            "finishColorVarianceAlpha",
            "finishParticleSize",
            "finishParticleSizeVariance",
            "gravity",
            "maxParticles",
            "maxRadius",
            "maxRadiusVariance",
            "minRadius",
            "minRadiusVariance",
            "particleLifespan",
            "particleLifespanVariance",
            "positionType",
            "radialAccelVariance",
            "radialAcceleration",
            "rotatePerSecond",
            "rotatePerSecondVariance",
            "rotation",
            "rotationEnd",
            "rotationEndVariance",
            "rotationStart",
            "rotationStartVariance",
            "sourcePositionVariance",
            "speed",
            "speedVariance",
            "startColor",
            "startColorAlpha",
            "startColorVariance",
            "startColorVarianceAlpha",
            "startParticleSize",
            "startParticleSizeVariance",
            "tangentialAccelVariance",
            "tangentialAcceleration",
            "textureFileName",
            "visible",
            "x",
            "y"};
}

QString fileText(const BuiltInEffect& effect)
{
    QFile file(kFolder + effect.file + ".json");
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << effect.file;
    return QString::fromUtf8(file.readAll());
}

// The effect's properties as the loader sees them: the value of the first entry in key order.
QVariantMap properties(const BuiltInEffect& effect, QString* key = nullptr)
{
    bool ok = false;
    const QVariantMap top = Json::parse(fileText(effect), ok).toMap();
    EXPECT_TRUE(ok) << effect.file;
    EXPECT_EQ(top.size(), 1) << effect.file;
    if (top.isEmpty()) {
        return {};
    }
    if (key) {
        *key = top.firstKey();
    }
    return top.first().toMap();
}

bool onStep(double value, double step)
{
    const double steps = value / step;
    return std::fabs(steps - std::round(steps)) < 1e-6;
}

} // namespace

TEST(BuiltInEffects, theFolderHoldsExactlyTheThirtyFiveListedFiles)
{
    QStringList expected;
    for (const BuiltInEffect& effect : kEffects) {
        expected << QString::fromLatin1(effect.file) + ".json";
    }
    EXPECT_EQ(QDir(kFolder).entryList({"*.json"}, QDir::Files, QDir::Name), expected);
}

TEST(BuiltInEffects, eachFileIsOneEffectWithTheListedKeyTextureModeAndColours)
{
    for (const BuiltInEffect& effect : kEffects) {
        SCOPED_TRACE(effect.file);
        QString key;
        const QVariantMap p = properties(effect, &key);
        EXPECT_EQ(key, QString::fromLatin1(effect.key));
        EXPECT_EQ(p.value("textureFileName").toString(), QString::fromLatin1(effect.texture));
        EXPECT_EQ(p.value("emitterType").toInt(), effect.mode);
        EXPECT_EQ(p.value("maxParticles").toInt(), effect.particles);
        EXPECT_DOUBLE_EQ(p.value("duration").toDouble(), effect.duration);
        EXPECT_EQ(p.value("positionType").toInt(), effect.position);
        EXPECT_EQ(p.value("blendFuncSource").toInt(), effect.source);
        EXPECT_EQ(p.value("blendFuncDestination").toInt(), effect.destination);
        EXPECT_EQ(p.value("startColor").toString(), QString::fromLatin1(effect.colour));
        EXPECT_EQ(System::pointFFromString(p.value("gravity").toString()), effect.gravity);
    }
}

TEST(BuiltInEffects, eachFileCarriesTheEditorsNamesWithOnlyTheKnownGaps)
{
    const QSet<QString> noOpacity = {"BoingStar", "ImplosionParticle", "SpacePort"};
    for (const BuiltInEffect& effect : kEffects) {
        SCOPED_TRACE(effect.file);
        const QVariantMap p = properties(effect);
        QSet<QString> expected = editableNames();
        if (noOpacity.contains(effect.file)) {
            for (const QString& alpha : kOpacityKeys) {
                expected.remove(alpha);
            }
        }
        if (QLatin1String(effect.file) == QLatin1String("FireParticle")) {
            expected.remove("visible");
        } else {
            EXPECT_EQ(p.value("visible"), QVariant(true));
        }
        const QStringList names = p.keys();
        EXPECT_EQ(QSet<QString>(names.begin(), names.end()), expected);
        EXPECT_EQ(p.value("x").toDouble(), 0.0);
        EXPECT_EQ(p.value("y").toDouble(), 0.0);
    }
}

TEST(BuiltInEffects, eachFileIsOneLineInTheEngineWritersForm)
{
    for (const BuiltInEffect& effect : kEffects) {
        SCOPED_TRACE(effect.file);
        const QString text = fileText(effect);
        QString rewritten = QString::fromUtf8(Json::serialize(Json::parse(text)));
        if (QLatin1String(effect.file) == QLatin1String("FireParticle")) {
            // The start type's file closes without the writer's blank between the braces.
            rewritten.replace(rewritten.size() - 3, 3, QStringLiteral("}}"));
        }
        EXPECT_EQ(text, rewritten);
        EXPECT_FALSE(text.contains(QLatin1Char('\n')));
    }
}

TEST(BuiltInEffects, theStartTypeReadsAsItsKnownText)
{
    const auto fire = std::find_if(std::begin(kEffects), std::end(kEffects), [](const BuiltInEffect& e) {
        return QLatin1String(e.file) == QLatin1String("FireParticle");
    });
    const QString text = fileText(*fire);
    EXPECT_TRUE(text.startsWith("{ \"FireParticle\" : { \"angleVariance\" : 0, \"blendFuncDestination\" : 1, "
                                "\"blendFuncSource\" : 770, \"duration\" : 0, "));
    EXPECT_TRUE(text.contains("\"particleLifespan\" : 0.9000000000000000222, "));
    EXPECT_TRUE(text.contains("\"gravity\" : \"0.0, 0.0\", \"maxParticles\" : 42, "));
    EXPECT_TRUE(text.endsWith("\"textureFileName\" : \"particleFire.png\", \"x\" : 0, \"y\" : 0 }}"));
    EXPECT_EQ(text.size(), 1140);
}

TEST(BuiltInEffects, everyTextureNamedLiesBesideTheEffects)
{
    for (const BuiltInEffect& effect : kEffects) {
        const QString texture = properties(effect).value("textureFileName").toString();
        EXPECT_TRUE(QFile::exists(kFolder + texture)) << effect.file << " names " << texture.toStdString();
    }
}

TEST(BuiltInEffects, everyValueSitsOnTheGridOfItsEditorSlider)
{
    struct Range
    {
        const char* name;
        double low, high, step;
    };
    const Range ranges[] = {
        {"maxParticles", 0, 2000, 1},
        {"particleLifespan", 0, 10, 0.01},
        {"particleLifespanVariance", 0, 10, 0.01},
        {"startParticleSize", 0, 512, 1},
        {"startParticleSizeVariance", 0, 512, 1},
        {"finishParticleSize", 0, 512, 1},
        {"finishParticleSizeVariance", 0, 512, 1},
        {"rotation", 0, 360, 1},
        {"angleVariance", 0, 360, 1},
        {"rotationStart", -360, 360, 1},
        {"rotationStartVariance", -360, 360, 1},
        {"rotationEnd", -360, 360, 1},
        {"rotationEndVariance", -360, 360, 1},
        {"emitterType", 0, 1, 1},
        {"duration", 0, 10, 0.01},
        {"positionType", 0, 2, 1},
        {"speed", 0, 1000, 1},
        {"speedVariance", 0, 1000, 1},
        {"tangentialAcceleration", -1000, 1000, 1},
        {"tangentialAccelVariance", -1000, 1000, 1},
        {"radialAcceleration", -1000, 1000, 1},
        {"radialAccelVariance", -1000, 1000, 1},
        {"minRadius", 0, 512, 1},
        {"minRadiusVariance", 0, 512, 1},
        {"maxRadius", 0, 512, 1},
        {"maxRadiusVariance", 0, 512, 1},
        {"rotatePerSecond", 0, 360, 1},
        {"rotatePerSecondVariance", 0, 360, 1},
        {"startColorAlpha", 0, 1, 0.1},
        {"startColorVarianceAlpha", 0, 1, 0.1},
        {"finishColorAlpha", 0, 1, 0.1},
        {"finishColorVarianceAlpha", 0, 1, 0.1},
        {"blendFuncSource", 1, 771, 1},
        {"blendFuncDestination", 1, 771, 1},
    };
    for (const BuiltInEffect& effect : kEffects) {
        const QVariantMap p = properties(effect);
        for (const Range& range : ranges) {
            if (!p.contains(range.name)) {
                continue;
            }
            const double value = p.value(range.name).toDouble();
            EXPECT_TRUE(value >= range.low && value <= range.high && onStep(value, range.step))
                << effect.file << " " << range.name << " = " << value;
        }
        for (const char* point : {"gravity", "sourcePositionVariance"}) {
            const QPointF value = System::pointFFromString(p.value(point).toString());
            const double low = QLatin1String(point) == QLatin1String("gravity") ? -1000 : 0;
            EXPECT_TRUE(value.x() >= low && value.x() <= 1000 && value.y() >= low && value.y() <= 1000 &&
                        onStep(value.x(), 1) && onStep(value.y(), 1))
                << effect.file << " " << point;
        }
        for (const char* colour :
             {"startColor", "startColorVariance", "finishColor", "finishColorVariance"}) {
            const QString text = p.value(colour).toString();
            EXPECT_TRUE(QColor::isValidColorName(text) && text.size() == 7 && QColor(text).name() == text)
                << effect.file << " " << colour << " = " << text.toStdString();
        }
    }
}

TEST(BuiltInEffects, everyEffectHasALifespanAndAVisibleSize)
{
    // The item derives the rate from the pool and the lifespan: a zero lifespan would emit without end.
    for (const BuiltInEffect& effect : kEffects) {
        const QVariantMap p = properties(effect);
        EXPECT_GT(p.value("particleLifespan").toDouble(), 0.0) << effect.file;
        EXPECT_GT(p.value("startParticleSize").toDouble() + p.value("finishParticleSize").toDouble(), 0.0)
            << effect.file;
    }
}
