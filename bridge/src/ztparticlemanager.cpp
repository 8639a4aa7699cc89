#include "ztparticlemanager.h"

#include "itemsignalrelay.h"
#include "scenegraphwrapper.h"
#include "ztparticleproperty.h"

#include "base_nodes/ZTNode.h"
#include "cocoa/ZTArray.h"
#include "particle_nodes/ZTParticleSystemQuad.h"

#include <QUrl>
#include <QVariant>
#include <QtDebug>

#include <cmath>

using namespace zanth2d;

namespace {

// The component's values as the emitter takes them: points and colours are properties per component.
ZTParticleValue componentValue(QObject* item, const ZTParticleProperty& property)
{
    const QByteArray name = property.name;
    auto real = [item, &name](const char* suffix = "") { return item->property(name + suffix).toFloat(); };
    const auto& xy = ZTParticleSetting::kPointSuffixes;
    const auto& rgba = ZTParticleSetting::kColorSuffixes;
    ZTParticleValue value;
    switch (property.kind) {
    case ZTParticleProperty::Point:
        value.point = ZTPoint(real(xy[0]), real(xy[1]));
        break;
    case ZTParticleProperty::Color:
        value.color = {real(rgba[0]), real(rgba[1]), real(rgba[2]), real(rgba[3])};
        break;
    case ZTParticleProperty::Enum:
        value.integer = item->property(name).toInt();
        break;
    case ZTParticleProperty::Duration: {
        // The component's Infinite (-2) is the emitter's endless -1.
        bool isInteger = false;
        const int whole = item->property(name).toInt(&isInteger);
        value.real = isInteger && whole == -2 ? float(kZTParticleDurationInfinity) : real();
        break;
    }
    default:
        value.real = real();
        break;
    }
    return value;
}

ZTParticleProperty::EmitterValue valuesOf(QObject* item)
{
    return [item](const ZTParticleProperty& property) { return componentValue(item, property); };
}

ZTTexture2D* textureOf(QObject* item)
{
    const char* name = ZTParticleProperty::property(ZTParticleProperty::textureFileName).name;
    return ZTParticleProperty::loadTexture(item, item->property(name).toUrl());
}

void applyDuration(QObject* item, ZTParticleSystem* particles)
{
    const ZTParticleProperty& duration = ZTParticleProperty::property(ZTParticleProperty::duration);
    duration.emitterSetting()->set(*particles, componentValue(item, duration));
}

} // namespace

ZTParticleManager::ZTParticleManager(SceneGraphWrapper& wrapper, QObject* parent)
    : AbstractZTNodeManager(wrapper, parent)
{
}

bool ZTParticleManager::canCreateNodeFromItem(QObject* item)
{
    return SceneGraphWrapper::inherits("ParticleSystem", item);
}

ZTNode* ZTParticleManager::createNodeFromItem(QObject* item, ZTNode* parentNode)
{
    ZTNode* node = createBaseNodeAndAddToParent(item, parentNode);
    if (!node)
        return nullptr;
    applyItemPropertiesToNode(item, node);
    insertNodeWithObjectAsKey(item, node);
    sceneGraphWrapper().connectItemSignals(item, this);
    const auto relay = [this, item](const char* signal, void (ZTParticleManager::*slot)(QObject*)) {
        ItemSignalRelay::connectSignal(item, signal, this, [this, item, slot] { (this->*slot)(item); });
    };
    relay(SIGNAL(textureFileNameChanged()), &ZTParticleManager::itemTextureChanged);
    relay(SIGNAL(startColorRedChanged()), &ZTParticleManager::itemStartColorChanged);
    relay(SIGNAL(startColorGreenChanged()), &ZTParticleManager::itemStartColorChanged);
    relay(SIGNAL(startColorBlueChanged()), &ZTParticleManager::itemStartColorChanged);
    relay(SIGNAL(startColorAlphaChanged()), &ZTParticleManager::itemStartColorChanged);
    relay(SIGNAL(positionTypeChanged()), &ZTParticleManager::positionTypeChanged);
    relay(SIGNAL(emitterTypeChanged()), &ZTParticleManager::emitterTypeChanged);
    relay(SIGNAL(durationChanged()), &ZTParticleManager::durationChanged);
    relay(SIGNAL(startSystem()), &ZTParticleManager::startSystem);
    relay(SIGNAL(stopSystem()), &ZTParticleManager::stopSystem);
    relay(SIGNAL(stopLivingParticles()), &ZTParticleManager::stopLivingParticles);
    // Ready: a start asked for while the item was loading goes ahead now.
    item->setProperty("particleStatus", 0);
    return node;
}

ZTParticleSystem* ZTParticleManager::emitterOf(QObject* item) const
{
    ZTNode* node = getNodeFromObject(item);
    if (!node || node->getChildrenCount() == 0)
        return nullptr;
    return dynamic_cast<ZTParticleSystem*>(node->getChildren()->lastObject());
}

void ZTParticleManager::startSystem(QObject* item)
{
    ZTNode* node = getNodeFromObject(item);
    if (!node)
        return;
    // Earlier finite emitters may sit before an endless one: the last child is the one to restart.
    ZTParticleSystem* last = emitterOf(item);
    if (last && last->getDuration() == kZTParticleDurationInfinity) {
        if (!last->getIsActive())
            last->resetSystem();
        return;
    }
    ZTParticleSystem* particles = createParticlesFromObject(item);
    if (!particles)
        return;
    node->addChild(particles);
    if (node->getParent())
        particles->setRotationInversionNode(node->getParent());
    particles->setIsAutoRemoveOnFinish(false);
}

void ZTParticleManager::stopSystem(QObject* item)
{
    if (ZTParticleSystem* particles = emitterOf(item))
        particles->stopSystem();
}

void ZTParticleManager::stopLivingParticles(QObject* item)
{
    if (ZTParticleSystem* particles = emitterOf(item)) {
        particles->resetSystem();
        particles->stopSystem();
    }
}

ZTParticleSystem* ZTParticleManager::createParticlesFromObject(QObject* item)
{
    const int count =
        item->property(ZTParticleProperty::property(ZTParticleProperty::maxParticles).name).toInt();
    if (count < 0 || unsigned(count) > ZTParticleSystem::kMaxTotalParticles) {
        qWarning("ZTParticleManager: WARNING: maxParticles %d is outside 0 to %u, nothing starts", count,
                 ZTParticleSystem::kMaxTotalParticles);
        return nullptr;
    }
    ZTParticleSystemQuad* particles = ZTParticleSystemQuad::particleWithTotalParticles(unsigned(count));
    if (!particles)
        return nullptr;
    // The component counts clockwise, the emitter counter-clockwise.
    particles->setAngle(-item->property("angle").toFloat());
    ZTParticleProperty::copyBlendFuncToEmitter(item, *particles);
    const int mode = ZTParticleProperty::copyToEmitter(*particles, valuesOf(item));
    if (mode != kZTParticleModeGravity && mode != kZTParticleModeRadius) {
        qWarning() << "WARNING: ZTParticleManager: unsupported emitterType:" << mode
                   << " should be either 0 (Gravity) or 1 (Radius)";
    }
    ZTTexture2D* texture = textureOf(item);
    if (!texture)
        return nullptr;
    particles->setTexture(texture);
    return particles;
}

ZTParticleSystem* ZTParticleManager::createParticlesFromFile(QObject* item)
{
    const QString path = SceneGraphWrapper::getPlatformUrlString(item->property("filename").toUrl());
    if (path.isEmpty())
        return nullptr;
    ZTParticleSystemQuad* particles = ZTParticleSystemQuad::particleWithFile(path.toLocal8Bit().constData());
    if (!particles)
        return nullptr;
    const ZTParticleProperty& type = ZTParticleProperty::property(ZTParticleProperty::positionType);
    type.emitterSetting()->set(*particles, componentValue(item, type));
    const QVariant angle = item->property("angle");
    if (angle.isValid())
        particles->setAngle(-angle.toFloat());
    // The component's rate is maxParticles / particleLifespan, which is no number while both are unset.
    const QVariant rate = item->property("emissionRate");
    if (rate.isValid() && std::isfinite(rate.toDouble()))
        particles->setEmissionRate(rate.toFloat());
    return particles;
}

void ZTParticleManager::itemStartColorChanged(QObject* item)
{
    const ZTParticleProperty& color = ZTParticleProperty::property(ZTParticleProperty::startColor);
    if (ZTParticleSystem* particles = emitterOf(item))
        color.emitterSetting()->set(*particles, componentValue(item, color));
}

void ZTParticleManager::itemTextureChanged(QObject* item)
{
    ZTParticleSystem* particles = emitterOf(item);
    if (!particles)
        return;
    if (ZTTexture2D* texture = textureOf(item))
        particles->setTexture(texture);
}

void ZTParticleManager::durationChanged(QObject* item)
{
    if (ZTParticleSystem* particles = emitterOf(item))
        applyDuration(item, particles);
}

void ZTParticleManager::positionTypeChanged(QObject* item)
{
    const ZTParticleProperty& type = ZTParticleProperty::property(ZTParticleProperty::positionType);
    if (ZTParticleSystem* particles = emitterOf(item))
        type.emitterSetting()->set(*particles, componentValue(item, type));
}

void ZTParticleManager::emitterTypeChanged(QObject* item)
{
    ZTParticleSystem* particles = emitterOf(item);
    if (!particles)
        return;
    const ZTParticleProperty& type = ZTParticleProperty::property(ZTParticleProperty::emitterType);
    type.emitterSetting()->set(*particles, componentValue(item, type));
    // Only gravity mode reads its values again.
    if (particles->getEmitterMode() == kZTParticleModeGravity)
        ZTParticleProperty::copyGravityModeToEmitter(*particles, valuesOf(item));
}
