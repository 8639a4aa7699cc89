#include "ztparticlemanager.h"

#include "itemsignalrelay.h"
#include "scenegraphwrapper.h"

#include "base_nodes/ZTNode.h"
#include "cocoa/ZTArray.h"
#include "particle_nodes/ZTParticleSystemQuad.h"
#include "textures/ZTTextureCache.h"

#include <QQmlContext>
#include <QQmlEngine>
#include <QUrl>
#include <QVariant>
#include <QtDebug>

using namespace zanth2d;

namespace {

float realOf(QObject* item, const char* name)
{
    return item->property(name).toFloat();
}

ztColor4F colorOf(QObject* item, const QByteArray& stem)
{
    return ztColor4F{realOf(item, (stem + "Red").constData()), realOf(item, (stem + "Green").constData()),
                     realOf(item, (stem + "Blue").constData()), realOf(item, (stem + "Alpha").constData())};
}

ZTTexture2D* textureOf(QObject* item)
{
    QUrl url = item->property("textureFileName").toUrl();
    if (url.isEmpty())
        return nullptr;
    // A relative name is taken beside the QML file that declared the item, as Image's source is.
    if (QQmlContext* context = url.isRelative() ? qmlContext(item) : nullptr)
        url = context->resolvedUrl(url);
    const QString path = SceneGraphWrapper::getPlatformUrlString(url);
    return ZTTextureCache::sharedTextureCache()->addImage(path.toLocal8Bit().constData());
}

// The component's Infinite (-2) is the emitter's endless -1.
void applyDuration(QObject* item, ZTParticleSystem* particles)
{
    const QVariant duration = item->property("duration");
    bool isInteger = false;
    const int whole = duration.toInt(&isInteger);
    particles->setDuration(isInteger && whole == -2 ? float(kZTParticleDurationInfinity)
                                                    : duration.toFloat());
}

void applyGravityMode(QObject* item, ZTParticleSystem* particles)
{
    particles->setGravity(ZTPoint(realOf(item, "gravityx"), realOf(item, "gravityy")));
    particles->setSpeed(realOf(item, "speed"));
    particles->setSpeedVar(realOf(item, "speedVariance"));
    particles->setRadialAccel(realOf(item, "radialAcceleration"));
    particles->setRadialAccelVar(realOf(item, "radialAccelVariance"));
    particles->setTangentialAccel(realOf(item, "tangentialAcceleration"));
    particles->setTangentialAccelVar(realOf(item, "tangentialAccelVariance"));
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
    const int count = item->property("maxParticles").toInt();
    if (count < 0 || unsigned(count) > ZTParticleSystem::kMaxTotalParticles) {
        qWarning("ZTParticleManager: WARNING: maxParticles %d is outside 0 to %u, nothing starts", count,
                 ZTParticleSystem::kMaxTotalParticles);
        return nullptr;
    }
    ZTParticleSystemQuad* particles = ZTParticleSystemQuad::particleWithTotalParticles(unsigned(count));
    if (!particles)
        return nullptr;
    // The component counts clockwise, the emitter counter-clockwise.
    particles->setAngle(-realOf(item, "angle"));
    particles->setAngleVar(realOf(item, "angleVariance"));
    ztBlendFunc blend{GLenum(item->property("blendFuncSource").toInt()),
                      GLenum(item->property("blendFuncDestination").toInt())};
    if (blend.src == 0) {
        blend.src = particles->getBlendFunc().src;
        item->setProperty("blendFuncSource", int(blend.src));
    }
    if (blend.dst == 0) {
        blend.dst = particles->getBlendFunc().dst;
        item->setProperty("blendFuncDestination", int(blend.dst));
    }
    particles->setBlendFunc(blend);
    particles->setStartColor(colorOf(item, "startColor"));
    particles->setStartColorVar(colorOf(item, "startColorVariance"));
    particles->setEndColor(colorOf(item, "finishColor"));
    particles->setEndColorVar(colorOf(item, "finishColorVariance"));
    particles->setStartSize(realOf(item, "startParticleSize"));
    particles->setStartSizeVar(realOf(item, "startParticleSizeVariance"));
    particles->setEndSize(realOf(item, "finishParticleSize"));
    particles->setEndSizeVar(realOf(item, "finishParticleSizeVariance"));
    particles->setPosVar(
        ZTPoint(realOf(item, "sourcePositionVariancex"), realOf(item, "sourcePositionVariancey")));
    const int mode = item->property("emitterType").toInt();
    particles->setEmitterMode(mode);
    if (mode == kZTParticleModeGravity) {
        applyGravityMode(item, particles);
    } else if (mode == kZTParticleModeRadius) {
        particles->setRotatePerSecond(realOf(item, "rotatePerSecond"));
        particles->setRotatePerSecondVar(realOf(item, "rotatePerSecondVariance"));
        // Here the smaller name is the radius at birth.
        particles->setStartRadius(realOf(item, "minRadius"));
        particles->setStartRadiusVar(realOf(item, "minRadiusVariance"));
        particles->setEndRadius(realOf(item, "maxRadius"));
        particles->setEndRadiusVar(realOf(item, "maxRadiusVariance"));
    } else {
        qWarning() << "WARNING: ZTParticleManager: unsupported emitterType:" << mode
                   << " should be either 0 (Gravity) or 1 (Radius)";
    }
    particles->setStartSpin(realOf(item, "rotationStart"));
    particles->setStartSpinVar(realOf(item, "rotationStartVariance"));
    particles->setEndSpin(realOf(item, "rotationEnd"));
    particles->setEndSpinVar(realOf(item, "rotationEndVariance"));
    particles->setLife(realOf(item, "particleLifespan"));
    particles->setLifeVar(realOf(item, "particleLifespanVariance"));
    ZTTexture2D* texture = textureOf(item);
    if (!texture)
        return nullptr;
    particles->setTexture(texture);
    applyDuration(item, particles);
    particles->setEmissionRate(realOf(item, "emissionRate"));
    particles->setPositionType(tZTPositionType(item->property("positionType").toInt()));
    return particles;
}

void ZTParticleManager::itemStartColorChanged(QObject* item)
{
    if (ZTParticleSystem* particles = emitterOf(item))
        particles->setStartColor(colorOf(item, "startColor"));
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
    if (ZTParticleSystem* particles = emitterOf(item))
        particles->setPositionType(tZTPositionType(item->property("positionType").toInt()));
}

void ZTParticleManager::emitterTypeChanged(QObject* item)
{
    ZTParticleSystem* particles = emitterOf(item);
    if (!particles)
        return;
    particles->setEmitterMode(item->property("emitterType").toInt());
    if (particles->getEmitterMode() == kZTParticleModeGravity)
        applyGravityMode(item, particles);
}
