#include "ztparticleproperty.h"

#include "scenegraphwrapper.h"

#include "particle_nodes/ZTParticleSystem.h"
#include "textures/ZTTextureCache.h"

#include <QQmlContext>
#include <QQmlEngine>

using namespace zanth2d;

const std::array<ZTParticleProperty, ZTParticleProperty::kCount>& ZTParticleProperty::all()
{
    static const std::array<ZTParticleProperty, kCount> properties = {{
#define ZT_PARTICLE_PROPERTY_ROW(Kind, name, Setter, Setting, Default)                                       \
    {name, Kind, #name, ZTParticleSetting::k##Setting,                                                       \
     QVariant::fromValue(ZT_PARTICLE_STORED_##Kind(Default))},
        ZT_PARTICLE_PROPERTIES(ZT_PARTICLE_PROPERTY_ROW)
#undef ZT_PARTICLE_PROPERTY_ROW
    }};
    return properties;
}

const ZTParticleProperty* ZTParticleProperty::find(QStringView name)
{
    for (const ZTParticleProperty& property : all()) {
        if (name == QLatin1String(property.name))
            return &property;
    }
    return nullptr;
}

const ZTParticleSetting* ZTParticleProperty::emitterSetting() const
{
    return setting == ZTParticleSetting::kNone ? nullptr : &ZTParticleSetting::setting(setting);
}

QString ZTParticleProperty::alphaName() const
{
    return kind == Color ? QLatin1String(name) + QLatin1String("Alpha") : QString();
}

int ZTParticleProperty::copyToEmitter(ZTParticleSystem& emitter, const EmitterValue& value)
{
    const ZTParticleProperty& mode = property(emitterType);
    mode.emitterSetting()->set(emitter, value(mode));
    const int emitterMode = emitter.getEmitterMode();
    for (const ZTParticleProperty& property : all()) {
        const ZTParticleSetting* setting = property.emitterSetting();
        if (setting && property.id != mode.id && setting->usedInMode(emitterMode))
            setting->set(emitter, value(property));
    }
    return emitterMode;
}

void ZTParticleProperty::copyGravityModeToEmitter(ZTParticleSystem& emitter, const EmitterValue& value)
{
    for (const ZTParticleProperty& property : all()) {
        const ZTParticleSetting* setting = property.emitterSetting();
        if (setting && setting->mode == ZTParticleSetting::kGravityMode)
            setting->set(emitter, value(property));
    }
}

void ZTParticleProperty::copyBlendFuncToEmitter(QObject* item, ZTParticleSystem& emitter)
{
    const ztBlendFunc defaults = emitter.getBlendFunc();
    auto factor = [item](Id id, GLenum fallback) {
        const char* name = property(id).name;
        const int value = item->property(name).toInt();
        if (value != 0)
            return GLenum(value);
        item->setProperty(name, int(fallback));
        return fallback;
    };
    const GLenum source = factor(blendFuncSource, defaults.src);
    const GLenum destination = factor(blendFuncDestination, defaults.dst);
    emitter.setBlendFunc({source, destination});
}

QUrl ZTParticleProperty::resolvedUrl(const QObject* item, const QUrl& url)
{
    QQmlContext* context = url.isRelative() ? qmlContext(item) : nullptr;
    return context ? context->resolvedUrl(url) : url;
}

ZTTexture2D* ZTParticleProperty::loadTexture(const QObject* item, const QUrl& url)
{
    if (url.isEmpty())
        return nullptr;
    const QString path = SceneGraphWrapper::getPlatformUrlString(resolvedUrl(item, url));
    return ZTTextureCache::sharedTextureCache()->addImage(path.toLocal8Bit().constData());
}

ZTParticleValue ZTParticleProperty::emitterValue(Kind kind, double value)
{
    ZTParticleValue result;
    // The item's endless 0 is the emitter's -1.
    result.real = kind == Duration && value == 0 ? float(kZTParticleDurationInfinity) : float(value);
    return result;
}

ZTParticleValue ZTParticleProperty::emitterValue(Kind, int value)
{
    ZTParticleValue result;
    result.integer = value;
    return result;
}

ZTParticleValue ZTParticleProperty::emitterValue(Kind, const QPointF& value)
{
    ZTParticleValue result;
    result.point = ZTPoint(float(value.x()), float(value.y()));
    return result;
}

ZTParticleValue ZTParticleProperty::emitterValue(Kind, const QColor& value)
{
    ZTParticleValue result;
    result.color = {float(value.redF()), float(value.greenF()), float(value.blueF()), float(value.alphaF())};
    return result;
}

ZTParticleValue ZTParticleProperty::emitterValue(Kind, const QUrl&)
{
    return ZTParticleValue();
}
