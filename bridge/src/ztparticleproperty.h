#pragma once

#include "particle_nodes/ZTParticleSetting.h"

#include <QColor>
#include <QPointF>
#include <QStringView>
#include <QUrl>
#include <QVariant>

#include <array>
#include <functional>

class QObject;

namespace zanth2d {
class ZTParticleSystem;
class ZTTexture2D;
} // namespace zanth2d

// The emitter properties of the QML particle types, one row each, in the order the Particle item declares
// them:
//   X(Kind, name, Setter, Setting, Default)
// name: the QML name, which is also the property's key in effect files. Setter: the stem of the Particle
// item's setter (setSetter). Setting: the emitter setting it drives (ZT_PARTICLE_SETTINGS), or None when its
// kind reaches the emitter its own way. Default: the value before anything is assigned.
// Kind says how the value is typed and how it reaches the emitter:
//   Real      a number, narrowed to float
//   Duration  seconds; the item's 0 is the emitter's endless -1
//   Count     the pool size, a whole number (a real in QML); a new size needs a new emitter
//   Factor    a GL blend factor, a whole number (a real in QML); 0 stands for the emitter's default
//   Point     a point; effect files write it as "x, y", the older component as nameX and nameY
//   Color     a colour with its alpha as a property of its own (nameAlpha); effect files write "#rrggbb",
//             the older component the components nameRed, nameGreen, nameBlue and nameAlpha
//   Url       the texture file; effect files write it relative to the file
//   Enum      a whole number
#define ZT_PARTICLE_PROPERTIES(X)                                                                            \
    X(Point, gravity, Gravity, Gravity, QPointF())                                                           \
    X(Real, speed, Speed, Speed, 0)                                                                          \
    X(Real, speedVariance, SpeedVariance, SpeedVar, 0)                                                       \
    X(Real, radialAcceleration, RadialAcceleration, RadialAccel, 0)                                          \
    X(Real, radialAccelVariance, RadialAccelVariance, RadialAccelVar, 0)                                     \
    X(Real, tangentialAcceleration, TangentialAcceleration, TangentialAccel, 0)                              \
    X(Real, tangentialAccelVariance, TangentialAccelVariance, TangentialAccelVar, 0)                         \
    X(Real, rotatePerSecond, RotatePerSecond, RotatePerSecond, 0)                                            \
    X(Real, rotatePerSecondVariance, RotatePerSecondVariance, RotatePerSecondVar, 0)                         \
    /* The smaller name is the radius at birth, the reverse of property lists. */                            \
    X(Real, minRadius, MinRadius, StartRadius, 0)                                                            \
    X(Real, minRadiusVariance, MinRadiusVariance, StartRadiusVar, 0)                                         \
    X(Real, maxRadius, MaxRadius, EndRadius, 0)                                                              \
    X(Real, maxRadiusVariance, MaxRadiusVariance, EndRadiusVar, 0)                                           \
    X(Real, emissionRate, EmissionRate, EmissionRate, 0)                                                     \
    X(Count, maxParticles, MaxParticles, None, 0)                                                            \
    X(Real, particleLifespan, ParticleLifespan, Life, 0)                                                     \
    X(Real, particleLifespanVariance, ParticleLifespanVariance, LifeVar, 0)                                  \
    X(Duration, duration, Duration, Duration, 0)                                                             \
    X(Factor, blendFuncSource, BlendFuncSource, None, 1)                                                     \
    X(Factor, blendFuncDestination, BlendFuncDestination, None, 771)                                         \
    X(Color, startColor, StartColor, StartColor, Qt::transparent)                                            \
    X(Color, startColorVariance, StartColorVariance, StartColorVar, Qt::transparent)                         \
    X(Color, finishColor, FinishColor, EndColor, Qt::transparent)                                            \
    X(Color, finishColorVariance, FinishColorVariance, EndColorVar, Qt::transparent)                         \
    X(Real, startParticleSize, StartParticleSize, StartSize, 0)                                              \
    X(Real, startParticleSizeVariance, StartParticleSizeVariance, StartSizeVar, 0)                           \
    X(Real, finishParticleSize, FinishParticleSize, EndSize, 0)                                              \
    X(Real, finishParticleSizeVariance, FinishParticleSizeVariance, EndSizeVar, 0)                           \
    X(Point, sourcePositionVariance, SourcePositionVariance, PosVar, QPointF())                              \
    X(Real, angleVariance, AngleVariance, AngleVar, 0)                                                       \
    X(Real, rotationStart, RotationStart, StartSpin, 0)                                                      \
    X(Real, rotationStartVariance, RotationStartVariance, StartSpinVar, 0)                                   \
    X(Real, rotationEnd, RotationEnd, EndSpin, 0)                                                            \
    X(Real, rotationEndVariance, RotationEndVariance, EndSpinVar, 0)                                         \
    X(Url, textureFileName, TextureFileName, None, QUrl())                                                   \
    X(Enum, positionType, PositionType, PositionType, 0)                                                     \
    X(Enum, emitterType, EmitterType, EmitterMode, 0)

// The C++ type a kind's value is kept in.
#define ZT_PARTICLE_STORED_Real qreal
#define ZT_PARTICLE_STORED_Duration qreal
#define ZT_PARTICLE_STORED_Count int
#define ZT_PARTICLE_STORED_Factor int
#define ZT_PARTICLE_STORED_Point QPointF
#define ZT_PARTICLE_STORED_Color QColor
#define ZT_PARTICLE_STORED_Url QUrl
#define ZT_PARTICLE_STORED_Enum int

// One row of ZT_PARTICLE_PROPERTIES, and what the particle types share through it: building an emitter's
// settings from the rows, the blend function and the texture.
struct ZTParticleProperty
{
    enum Id
    {
#define ZT_PARTICLE_PROPERTY_ID(Kind, name, Setter, Setting, Default) name,
        ZT_PARTICLE_PROPERTIES(ZT_PARTICLE_PROPERTY_ID)
#undef ZT_PARTICLE_PROPERTY_ID
            kCount
    };
    enum Kind
    {
        Real,
        Duration,
        Count,
        Factor,
        Point,
        Color,
        Url,
        Enum,
    };

    Id id;
    Kind kind;
    const char* name;
    zanth2d::ZTParticleSetting::Id setting;
    QVariant defaultValue;

    // The emitter setting the property drives, or null.
    const zanth2d::ZTParticleSetting* emitterSetting() const;
    // For a colour, the name of its alpha property; empty otherwise.
    QString alphaName() const;

    static const ZTParticleProperty& property(Id id)
    {
        return all()[id];
    }
    static const std::array<ZTParticleProperty, kCount>& all();
    // The row of a QML name, or null (an alpha property has none: it belongs to its colour).
    static const ZTParticleProperty* find(QStringView name);

    // Sets the emitter mode, then every setting of that mode that a row drives, from value (each row's value
    // as the emitter takes it); returns the mode.
    using EmitterValue = std::function<zanth2d::ZTParticleValue(const ZTParticleProperty&)>;
    static int copyToEmitter(zanth2d::ZTParticleSystem& emitter, const EmitterValue& value);
    // Sets the settings of the rows that only gravity mode uses.
    static void copyGravityModeToEmitter(zanth2d::ZTParticleSystem& emitter, const EmitterValue& value);

    // Gives the emitter the item's blend factors, a 0 replaced by the emitter's default and written back to
    // the item.
    static void copyBlendFuncToEmitter(QObject* item, zanth2d::ZTParticleSystem& emitter);
    // The texture of a URL (a relative one taken beside the QML file that declared the item, as Image's
    // source is), or null when it does not load.
    static zanth2d::ZTTexture2D* loadTexture(const QObject* item, const QUrl& url);
    static QUrl resolvedUrl(const QObject* item, const QUrl& url);

    // Values as the emitter takes them.
    static zanth2d::ZTParticleValue emitterValue(Kind kind, double value);
    static zanth2d::ZTParticleValue emitterValue(Kind kind, int value);
    static zanth2d::ZTParticleValue emitterValue(Kind kind, const QPointF& value);
    static zanth2d::ZTParticleValue emitterValue(Kind kind, const QColor& value);
    static zanth2d::ZTParticleValue emitterValue(Kind kind, const QUrl& value);
};
