#include "particle_nodes/ZTParticleSetting.h"

#include "particle_nodes/ZTParticleSystem.h"

namespace zanth2d {

namespace {

// The accessors of each type, so that one row's get and set are a line each below.
void read(float value, ZTParticleValue* out)
{
    out->real = value;
}

void read(const ZTPoint& value, ZTParticleValue* out)
{
    out->point = value;
}

void read(const ztColor4F& value, ZTParticleValue* out)
{
    out->color = {value.r, value.g, value.b, value.a};
}

void read(int value, ZTParticleValue* out)
{
    out->integer = value;
}

void read(tZTPositionType value, ZTParticleValue* out)
{
    out->integer = value;
}

// The value of a row's type, converted to what its setter takes.
float valueFor(float, const ZTParticleValue& value)
{
    return value.real;
}

const ZTPoint& valueFor(const ZTPoint&, const ZTParticleValue& value)
{
    return value.point;
}

ztColor4F valueFor(const ztColor4F&, const ZTParticleValue& value)
{
    return {value.color.r, value.color.g, value.color.b, value.color.a};
}

int valueFor(int, const ZTParticleValue& value)
{
    return value.integer;
}

tZTPositionType valueFor(tZTPositionType, const ZTParticleValue& value)
{
    return static_cast<tZTPositionType>(value.integer);
}

} // namespace

const std::array<ZTParticleSetting, ZTParticleSetting::kCount>& ZTParticleSetting::all()
{
    static const std::array<ZTParticleSetting, kCount> settings = {{
#define ZT_PARTICLE_SETTING_ROW(Name, Type, UsedIn, Key) {k##Name, k##Type, k##UsedIn##Mode, Key},
        ZT_PARTICLE_SETTINGS(ZT_PARTICLE_SETTING_ROW)
#undef ZT_PARTICLE_SETTING_ROW
    }};
    return settings;
}

bool ZTParticleSetting::usedInMode(int emitterMode) const
{
    switch (mode) {
    case kGravityMode:
        return emitterMode == kZTParticleModeGravity;
    case kRadiusMode:
        return emitterMode == kZTParticleModeRadius;
    default:
        return true;
    }
}

ZTParticleValue ZTParticleSetting::get(const ZTParticleSystem& emitter) const
{
    ZTParticleValue value;
    switch (id) {
#define ZT_PARTICLE_SETTING_GET(Name, Type, Mode, Key)                                                       \
    case k##Name:                                                                                            \
        read(emitter.get##Name(), &value);                                                                   \
        break;
        ZT_PARTICLE_SETTINGS(ZT_PARTICLE_SETTING_GET)
#undef ZT_PARTICLE_SETTING_GET
    case kNone:
    case kCount:
        break;
    }
    return value;
}

void ZTParticleSetting::set(ZTParticleSystem& emitter, const ZTParticleValue& value) const
{
    switch (id) {
#define ZT_PARTICLE_SETTING_SET(Name, Type, Mode, Key)                                                       \
    case k##Name:                                                                                            \
        emitter.set##Name(valueFor(emitter.get##Name(), value));                                             \
        break;
        ZT_PARTICLE_SETTINGS(ZT_PARTICLE_SETTING_SET)
#undef ZT_PARTICLE_SETTING_SET
    case kNone:
    case kCount:
        break;
    }
}

} // namespace zanth2d
