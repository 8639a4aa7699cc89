#pragma once

#include <array>

#include "cocoa/ZTGeometry.h"

namespace zanth2d {

class ZTParticleSystem;

// The emitter settings that files and QML items set, one row each:
//   X(Name, Type, Mode, "key")
// Name: the setting's accessors on ZTParticleSystem are getName and setName. Type: Real (float), Point,
// Color or Integer. Mode: the emitter mode that uses it (Any, Gravity or Radius). "key": its key in particle
// property lists, a point adding "x" and "y" to it and a colour "Red", "Green", "Blue" and "Alpha"; nullptr
// when the format has none. The pool size, the blend function, the texture and the node's position are not
// plain settings: the reader and writer treat them by name.
#define ZT_PARTICLE_SETTINGS(X)                                                                              \
    X(EmitterMode, Integer, Any, "emitterType")                                                              \
    X(PositionType, Integer, Any, nullptr)                                                                   \
    X(Duration, Real, Any, "duration")                                                                       \
    X(Life, Real, Any, "particleLifespan")                                                                   \
    X(LifeVar, Real, Any, "particleLifespanVariance")                                                        \
    X(EmissionRate, Real, Any, nullptr)                                                                      \
    X(Angle, Real, Any, "angle")                                                                             \
    X(AngleVar, Real, Any, "angleVariance")                                                                  \
    X(PosVar, Point, Any, "sourcePositionVariance")                                                          \
    X(StartColor, Color, Any, "startColor")                                                                  \
    X(StartColorVar, Color, Any, "startColorVariance")                                                       \
    X(EndColor, Color, Any, "finishColor")                                                                   \
    X(EndColorVar, Color, Any, "finishColorVariance")                                                        \
    X(StartSize, Real, Any, "startParticleSize")                                                             \
    X(StartSizeVar, Real, Any, "startParticleSizeVariance")                                                  \
    X(EndSize, Real, Any, "finishParticleSize")                                                              \
    X(EndSizeVar, Real, Any, "finishParticleSizeVariance")                                                   \
    X(StartSpin, Real, Any, "rotationStart")                                                                 \
    X(StartSpinVar, Real, Any, "rotationStartVariance")                                                      \
    X(EndSpin, Real, Any, "rotationEnd")                                                                     \
    X(EndSpinVar, Real, Any, "rotationEndVariance")                                                          \
    X(Gravity, Point, Gravity, "gravity")                                                                    \
    X(Speed, Real, Gravity, "speed")                                                                         \
    X(SpeedVar, Real, Gravity, "speedVariance")                                                              \
    X(RadialAccel, Real, Gravity, "radialAcceleration")                                                      \
    X(RadialAccelVar, Real, Gravity, "radialAccelVariance")                                                  \
    X(TangentialAccel, Real, Gravity, "tangentialAcceleration")                                              \
    X(TangentialAccelVar, Real, Gravity, "tangentialAccelVariance")                                          \
    /* Property lists name the radius at birth the larger one. */                                            \
    X(StartRadius, Real, Radius, "maxRadius")                                                                \
    X(StartRadiusVar, Real, Radius, "maxRadiusVariance")                                                     \
    X(EndRadius, Real, Radius, "minRadius")                                                                  \
    X(EndRadiusVar, Real, Radius, nullptr)                                                                   \
    X(RotatePerSecond, Real, Radius, "rotatePerSecond")                                                      \
    X(RotatePerSecondVar, Real, Radius, "rotatePerSecondVariance")

// A setting's value; the member its type names holds it. (Free of GL types, so that QML item headers can
// take it in.)
struct ZTParticleValue
{
    struct Color
    {
        float r = 0.0f;
        float g = 0.0f;
        float b = 0.0f;
        float a = 0.0f;
    };

    float real = 0.0f;
    ZTPoint point;
    Color color;
    int integer = 0;
};

// One row of ZT_PARTICLE_SETTINGS, with the accessors of its setting.
struct ZTParticleSetting
{
    enum Id
    {
        // No setting: for tables that extend this one with values of their own.
        kNone = -1,
#define ZT_PARTICLE_SETTING_ID(Name, Type, Mode, Key) k##Name,
        ZT_PARTICLE_SETTINGS(ZT_PARTICLE_SETTING_ID)
#undef ZT_PARTICLE_SETTING_ID
            kCount
    };
    enum Type
    {
        kReal,
        kPoint,
        kColor,
        kInteger,
    };
    enum Mode
    {
        kAnyMode,
        kGravityMode,
        kRadiusMode,
    };

    // What a point's and a colour's key is followed by for each component, in the order x, y and red,
    // green, blue, alpha.
    static constexpr const char* kPointSuffixes[2] = {"x", "y"};
    static constexpr const char* kColorSuffixes[4] = {"Red", "Green", "Blue", "Alpha"};

    Id id;
    Type type;
    Mode mode;
    const char* plistKey;

    // Whether an emitter in emitterMode uses the setting (a mode other than gravity and radius uses only
    // the settings of any mode).
    bool usedInMode(int emitterMode) const;
    ZTParticleValue get(const ZTParticleSystem& emitter) const;
    void set(ZTParticleSystem& emitter, const ZTParticleValue& value) const;

    static const ZTParticleSetting& setting(Id id)
    {
        return all()[id];
    }
    static const std::array<ZTParticleSetting, kCount>& all();
};

} // namespace zanth2d
