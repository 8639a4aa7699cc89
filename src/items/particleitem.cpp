#include "particleitem.h"

#include "qmltyperegistry.h"
#include "saturatedint.h"
#include "scenegraphwrapper.h"
#include "system.h"
#include "zanthfileutils.h"
#include "zanthjson.h"

#include "base_nodes/ZTNode.h"
#include "cocoa/ZTArray.h"
#include "particle_nodes/ZTParticleSystemQuad.h"
#include "textures/ZTTextureCache.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QMetaProperty>
#include <QQmlContext>
#include <QtDebug>

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>
#include <vector>

using namespace zanth2d;

namespace {

const QmlTypeRegistrar particleRow(17, [] { qmlRegisterType<ParticleItem>("Zanth", 1, 0, "Particle"); });

ztColor4F toColor4F(const QColor& color)
{
    return ztColor4F{float(color.redF()), float(color.greenF()), float(color.blueF()), float(color.alphaF())};
}

// The item's 0 is the emitter's endless -1.
float emitterDuration(qreal duration)
{
    return duration == 0 ? float(kZTParticleDurationInfinity) : float(duration);
}

// Timer intervals from float seconds, truncated; what can't be an interval becomes 0 or the largest one.
int milliseconds(float seconds)
{
    const float ms = std::trunc(seconds * 1000.0f);
    if (!(ms > 0.0f))
        return 0;
    return ms >= float(INT_MAX) ? INT_MAX : int(ms);
}

// A relative name is taken beside the QML file that declared the item, as Image's source is.
QUrl resolvedUrl(const QObject* item, const QUrl& url)
{
    QQmlContext* context = url.isRelative() ? qmlContext(item) : nullptr;
    return context ? context->resolvedUrl(url) : url;
}

ZTTexture2D* loadTexture(const QObject* item, const QUrl& url)
{
    if (url.isEmpty())
        return nullptr;
    const QString path = SceneGraphWrapper::getPlatformUrlString(resolvedUrl(item, url));
    return ZTTextureCache::sharedTextureCache()->addImage(path.toLocal8Bit().constData());
}

QString plistNumber(double value)
{
    return QString::number(value, 'g', 6);
}

// gzip, as the property-list reader inflates it; empty when zlib refuses.
QByteArray gzip(const QByteArray& data)
{
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return QByteArray();
    QByteArray out(int(deflateBound(&stream, uLong(data.size()))), Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    const int status = deflate(&stream, Z_FINISH);
    out.resize(int(stream.total_out));
    deflateEnd(&stream);
    return status == Z_STREAM_END ? out : QByteArray();
}

// The texture file as base64 of gzip of PNG bytes, so an exported file stands alone; empty when the
// image can't be read. A PNG goes in as it is; other formats are converted.
QByteArray embeddedTexture(const QObject* item, const QUrl& textureUrl)
{
    const QString path = SceneGraphWrapper::getPlatformUrlString(resolvedUrl(item, textureUrl));
    const QString found = ZanthFileUtils::findFileOrDirectoryIncludingResources(path);
    QFile file(found);
    if (found.isEmpty() || !file.open(QIODevice::ReadOnly))
        return QByteArray();
    QByteArray png = file.readAll();
    if (!png.startsWith("\x89PNG\r\n\x1a\n")) {
        QImage image;
        if (!image.loadFromData(png))
            return QByteArray();
        png.clear();
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, "PNG"))
            return QByteArray();
    }
    return gzip(png).toBase64();
}

} // namespace

ParticleItem::ParticleItem(QQuickItem* parent) : ZTNodeItem(parent)
{
    connect(&m_setupTimer, &QTimer::timeout, this, &ParticleItem::setup);
    m_setupTimer.start(0);
    m_oneShotTimer.setSingleShot(true);
    connect(&m_oneShotTimer, &QTimer::timeout, this, &ParticleItem::oneShotFinished);
    // A file load must not move or turn an item whose place was set from QML.
    connect(this, &QQuickItem::xChanged, this, [this] { recordGeometryName("x"); });
    connect(this, &QQuickItem::yChanged, this, [this] { recordGeometryName("y"); });
    connect(this, &QQuickItem::rotationChanged, this, [this] { recordGeometryName("rotation"); });
}

void ParticleItem::recordGeometryName(const char* name)
{
    if (!m_loading)
        m_setAllowed.insert(QLatin1String(name), true);
}

bool ParticleItem::isSetAllowed(const QString& name)
{
    if (!m_loading) {
        m_setAllowed.insert(name, true);
        return true;
    }
    return !m_setAllowed.contains(name);
}

template <typename T, typename Push>
void ParticleItem::setGated(const char* name, T& field, const T& value, void (ParticleItem::*changed)(),
                            Push push)
{
    if (!isSetAllowed(QLatin1String(name)) || field == value)
        return;
    field = value;
    if (ZTParticleSystem* particles = emitter())
        push(particles);
    emit(this->*changed)();
}

ZTParticleSystem* ParticleItem::emitter() const
{
    ZTNode* node = getZTNode();
    if (!node || node->getChildrenCount() == 0)
        return nullptr;
    return dynamic_cast<ZTParticleSystem*>(node->getChildren()->lastObject());
}

void ParticleItem::removeEmitter()
{
    if (ZTParticleSystem* particles = emitter())
        getZTNode()->removeChild(particles, true);
}

void ParticleItem::setGravity(const QPointF& value)
{
    setGated("gravity", m_gravity, value, &ParticleItem::gravityChanged,
             [&](ZTParticleSystem* e) { e->setGravity(ZTPoint(float(value.x()), float(value.y()))); });
}

void ParticleItem::setSpeed(qreal value)
{
    setGated("speed", m_speed, value, &ParticleItem::speedChanged,
             [&](ZTParticleSystem* e) { e->setSpeed(float(value)); });
}

void ParticleItem::setSpeedVariance(qreal value)
{
    setGated("speedVariance", m_speedVariance, value, &ParticleItem::speedVarianceChanged,
             [&](ZTParticleSystem* e) { e->setSpeedVar(float(value)); });
}

void ParticleItem::setRadialAcceleration(qreal value)
{
    setGated("radialAcceleration", m_radialAcceleration, value, &ParticleItem::radialAccelerationChanged,
             [&](ZTParticleSystem* e) { e->setRadialAccel(float(value)); });
}

void ParticleItem::setRadialAccelVariance(qreal value)
{
    setGated("radialAccelVariance", m_radialAccelVariance, value, &ParticleItem::radialAccelVarianceChanged,
             [&](ZTParticleSystem* e) { e->setRadialAccelVar(float(value)); });
}

void ParticleItem::setTangentialAcceleration(qreal value)
{
    setGated("tangentialAcceleration", m_tangentialAcceleration, value,
             &ParticleItem::tangentialAccelerationChanged,
             [&](ZTParticleSystem* e) { e->setTangentialAccel(float(value)); });
}

void ParticleItem::setTangentialAccelVariance(qreal value)
{
    setGated("tangentialAccelVariance", m_tangentialAccelVariance, value,
             &ParticleItem::tangentialAccelVarianceChanged,
             [&](ZTParticleSystem* e) { e->setTangentialAccelVar(float(value)); });
}

void ParticleItem::setRotatePerSecond(qreal value)
{
    setGated("rotatePerSecond", m_rotatePerSecond, value, &ParticleItem::rotatePerSecondChanged,
             [&](ZTParticleSystem* e) { e->setRotatePerSecond(float(value)); });
}

void ParticleItem::setRotatePerSecondVariance(qreal value)
{
    setGated("rotatePerSecondVariance", m_rotatePerSecondVariance, value,
             &ParticleItem::rotatePerSecondVarianceChanged,
             [&](ZTParticleSystem* e) { e->setRotatePerSecondVar(float(value)); });
}

void ParticleItem::setMinRadius(qreal value)
{
    setGated("minRadius", m_minRadius, value, &ParticleItem::minRadiusChanged,
             [&](ZTParticleSystem* e) { e->setStartRadius(float(value)); });
}

void ParticleItem::setMinRadiusVariance(qreal value)
{
    setGated("minRadiusVariance", m_minRadiusVariance, value, &ParticleItem::minRadiusVarianceChanged,
             [&](ZTParticleSystem* e) { e->setStartRadiusVar(float(value)); });
}

void ParticleItem::setMaxRadius(qreal value)
{
    setGated("maxRadius", m_maxRadius, value, &ParticleItem::maxRadiusChanged,
             [&](ZTParticleSystem* e) { e->setEndRadius(float(value)); });
}

void ParticleItem::setMaxRadiusVariance(qreal value)
{
    setGated("maxRadiusVariance", m_maxRadiusVariance, value, &ParticleItem::maxRadiusVarianceChanged,
             [&](ZTParticleSystem* e) { e->setEndRadiusVar(float(value)); });
}

void ParticleItem::setEmissionRate(qreal value)
{
    setGated("emissionRate", m_emissionRate, value, &ParticleItem::emissionRateChanged,
             [&](ZTParticleSystem* e) { e->setEmissionRate(float(value)); });
}

void ParticleItem::setMaxParticlesReal(qreal value)
{
    setMaxParticles(saturatedInt(value));
}

void ParticleItem::setBlendFuncSourceReal(qreal value)
{
    setBlendFuncSource(saturatedInt(value));
}

void ParticleItem::setBlendFuncDestinationReal(qreal value)
{
    setBlendFuncDestination(saturatedInt(value));
}

void ParticleItem::setMaxParticles(int value)
{
    if (!isSetAllowed(QStringLiteral("maxParticles")) || m_maxParticles == value)
        return;
    m_maxParticles = value;
    // The pool size is fixed when an emitter is made: a new size needs a new emitter.
    if (emitter()) {
        removeEmitter();
        start();
    }
    emit maxParticlesChanged();
    setEmissionRate(double(m_maxParticles) / m_particleLifespan);
}

void ParticleItem::setParticleLifespan(qreal value)
{
    if (!isSetAllowed(QStringLiteral("particleLifespan")) || m_particleLifespan == value)
        return;
    m_particleLifespan = value;
    if (ZTParticleSystem* particles = emitter())
        particles->setLife(float(value));
    emit particleLifespanChanged();
    setEmissionRate(double(m_maxParticles) / m_particleLifespan);
}

void ParticleItem::setParticleLifespanVariance(qreal value)
{
    setGated("particleLifespanVariance", m_particleLifespanVariance, value,
             &ParticleItem::particleLifespanVarianceChanged,
             [&](ZTParticleSystem* e) { e->setLifeVar(float(value)); });
}

void ParticleItem::setDuration(qreal value)
{
    setGated("duration", m_duration, value, &ParticleItem::durationChanged,
             [&](ZTParticleSystem* e) { e->setDuration(emitterDuration(value)); });
    // An endless effect never ends by itself.
    if (m_duration == 0)
        m_oneShotTimer.stop();
}

void ParticleItem::setBlendFuncSource(int value)
{
    setGated("blendFuncSource", m_blendFuncSource, value, &ParticleItem::blendFuncSourceChanged,
             [&](ZTParticleSystem* e) {
                 e->setBlendFunc({GLenum(m_blendFuncSource), GLenum(m_blendFuncDestination)});
             });
}

void ParticleItem::setBlendFuncDestination(int value)
{
    setGated("blendFuncDestination", m_blendFuncDestination, value,
             &ParticleItem::blendFuncDestinationChanged, [&](ZTParticleSystem* e) {
                 e->setBlendFunc({GLenum(m_blendFuncSource), GLenum(m_blendFuncDestination)});
             });
}

void ParticleItem::setStartColor(const QColor& value)
{
    setGated("startColor", m_startColor, value, &ParticleItem::startColorChanged,
             [&](ZTParticleSystem* e) { e->setStartColor(toColor4F(value)); });
}

void ParticleItem::setStartColorVariance(const QColor& value)
{
    setGated("startColorVariance", m_startColorVariance, value, &ParticleItem::startColorVarianceChanged,
             [&](ZTParticleSystem* e) { e->setStartColorVar(toColor4F(value)); });
}

void ParticleItem::setFinishColor(const QColor& value)
{
    setGated("finishColor", m_finishColor, value, &ParticleItem::finishColorChanged,
             [&](ZTParticleSystem* e) { e->setEndColor(toColor4F(value)); });
}

void ParticleItem::setFinishColorVariance(const QColor& value)
{
    setGated("finishColorVariance", m_finishColorVariance, value, &ParticleItem::finishColorVarianceChanged,
             [&](ZTParticleSystem* e) { e->setEndColorVar(toColor4F(value)); });
}

namespace {
QColor withAlpha(QColor color, qreal alpha)
{
    color.setAlphaF(std::isnan(alpha) ? 0.0f : float(std::clamp(alpha, 0.0, 1.0)));
    return color;
}
} // namespace

void ParticleItem::setStartColorAlpha(qreal alpha)
{
    setStartColor(withAlpha(m_startColor, alpha));
    emit startColorAlphaChanged();
}

void ParticleItem::setStartColorVarianceAlpha(qreal alpha)
{
    setStartColorVariance(withAlpha(m_startColorVariance, alpha));
    emit startColorVarianceAlphaChanged();
}

void ParticleItem::setFinishColorAlpha(qreal alpha)
{
    setFinishColor(withAlpha(m_finishColor, alpha));
    emit finishColorAlphaChanged();
}

void ParticleItem::setFinishColorVarianceAlpha(qreal alpha)
{
    setFinishColorVariance(withAlpha(m_finishColorVariance, alpha));
    emit finishColorVarianceAlphaChanged();
}

void ParticleItem::setStartParticleSize(qreal value)
{
    setGated("startParticleSize", m_startParticleSize, value, &ParticleItem::startParticleSizeChanged,
             [&](ZTParticleSystem* e) { e->setStartSize(float(value)); });
}

void ParticleItem::setStartParticleSizeVariance(qreal value)
{
    setGated("startParticleSizeVariance", m_startParticleSizeVariance, value,
             &ParticleItem::startParticleSizeVarianceChanged,
             [&](ZTParticleSystem* e) { e->setStartSizeVar(float(value)); });
}

void ParticleItem::setFinishParticleSize(qreal value)
{
    setGated("finishParticleSize", m_finishParticleSize, value, &ParticleItem::finishParticleSizeChanged,
             [&](ZTParticleSystem* e) { e->setEndSize(float(value)); });
}

void ParticleItem::setFinishParticleSizeVariance(qreal value)
{
    setGated("finishParticleSizeVariance", m_finishParticleSizeVariance, value,
             &ParticleItem::finishParticleSizeVarianceChanged,
             [&](ZTParticleSystem* e) { e->setEndSizeVar(float(value)); });
}

void ParticleItem::setSourcePositionVariance(const QPointF& value)
{
    setGated("sourcePositionVariance", m_sourcePositionVariance, value,
             &ParticleItem::sourcePositionVarianceChanged,
             [&](ZTParticleSystem* e) { e->setPosVar(ZTPoint(float(value.x()), float(value.y()))); });
}

void ParticleItem::setAngleVariance(qreal value)
{
    setGated("angleVariance", m_angleVariance, value, &ParticleItem::angleVarianceChanged,
             [&](ZTParticleSystem* e) { e->setAngleVar(float(value)); });
}

void ParticleItem::setRotationStart(qreal value)
{
    setGated("rotationStart", m_rotationStart, value, &ParticleItem::rotationStartChanged,
             [&](ZTParticleSystem* e) { e->setStartSpin(float(value)); });
}

void ParticleItem::setRotationStartVariance(qreal value)
{
    setGated("rotationStartVariance", m_rotationStartVariance, value,
             &ParticleItem::rotationStartVarianceChanged,
             [&](ZTParticleSystem* e) { e->setStartSpinVar(float(value)); });
}

void ParticleItem::setRotationEnd(qreal value)
{
    setGated("rotationEnd", m_rotationEnd, value, &ParticleItem::rotationEndChanged,
             [&](ZTParticleSystem* e) { e->setEndSpin(float(value)); });
}

void ParticleItem::setRotationEndVariance(qreal value)
{
    setGated("rotationEndVariance", m_rotationEndVariance, value, &ParticleItem::rotationEndVarianceChanged,
             [&](ZTParticleSystem* e) { e->setEndSpinVar(float(value)); });
}

void ParticleItem::setTextureFileName(const QUrl& value)
{
    setGated("textureFileName", m_textureFileName, value, &ParticleItem::textureFileNameChanged,
             [&](ZTParticleSystem* e) {
                 if (ZTTexture2D* texture = loadTexture(this, value))
                     e->setTexture(texture);
             });
}

void ParticleItem::setPositionType(int value)
{
    setGated("positionType", m_positionType, value, &ParticleItem::positionTypeChanged,
             [&](ZTParticleSystem* e) { e->setPositionType(tZTPositionType(value)); });
}

void ParticleItem::setEmitterType(int value)
{
    setGated("emitterType", m_emitterType, value, &ParticleItem::emitterTypeChanged,
             [&](ZTParticleSystem* e) { e->setEmitterMode(value); });
}

void ParticleItem::setFileName(const QUrl& value)
{
    if (m_fileName == value)
        return;
    m_fileName = value;
    if (m_setupDone) {
        createParticlesFromFile();
        if (emitter()) {
            removeEmitter();
            start();
        }
    }
    emit fileNameChanged();
}

void ParticleItem::setAutoStart(bool value)
{
    if (m_autoStart == value)
        return;
    m_autoStart = value;
    emit autoStartChanged();
}

void ParticleItem::setRunning(bool value)
{
    if (m_running != value) {
        m_running = value;
        emit runningChanged();
    }
    if (m_running)
        start();
    else
        stop();
}

void ParticleItem::componentComplete()
{
    ZTNodeItem::componentComplete();
    if (system() && !m_fileName.isEmpty())
        createParticlesFromFile();
}

void ParticleItem::createParticlesFromFile()
{
    m_loading = true;
    if (system()) {
        const QUrl file = resolvedUrl(this, m_fileName);
        bool parsed = true;
        const QVariantMap effects =
            ZanthJson::Json::parse(ZanthFileUtils::readFile(file.toString()), parsed).toMap();
        const QVariantMap effect = effects.isEmpty() ? QVariantMap() : effects.first().toMap();
        if (!parsed || effect.isEmpty())
            qWarning().noquote() << "ParticleItem: WARNING: the effect file" << file.toString()
                                 << "can't be read or holds no effect, nothing was loaded";
        QStringList refused;
        for (auto entry = effect.cbegin(); entry != effect.cend(); ++entry) {
            const QString& key = entry.key();
            const QVariant& value = entry.value();
            // x, y and rotation are the item's own; the gate covers them as it covers the effect's values.
            if ((key == QLatin1String("x") || key == QLatin1String("y") ||
                 key == QLatin1String("rotation")) &&
                m_setAllowed.contains(key))
                continue;
            const bool declared = metaObject()->indexOfProperty(key.toUtf8().constData()) >= 0;
            QVariant converted = value;
            bool usable = true;
            if (key == QLatin1String("textureFileName")) {
                usable = value.typeId() == QMetaType::QString;
                const QString name = value.toString();
                const QUrl besideFile = ZanthFileUtils::getPathUrl(name, file);
                converted = ZanthFileUtils::existsFile(ZanthFileUtils::stripSchemeFromUrl(besideFile))
                                ? besideFile
                                : ZanthFileUtils::getPathUrl(name, this);
            } else if (key == QLatin1String("gravity") || key == QLatin1String("sourcePositionVariance")) {
                usable = value.typeId() == QMetaType::QString;
                converted = System::pointFFromString(value.toString());
            } else if (key.endsWith(QLatin1String("Color")) || key.endsWith(QLatin1String("ColorVariance"))) {
                usable = value.typeId() == QMetaType::QString && QColor::isValidColorName(value.toString());
            }
            if (!usable || (!setProperty(key.toUtf8().constData(), converted) && declared))
                refused << key;
        }
        if (!refused.isEmpty())
            qWarning().noquote() << "ParticleItem: WARNING: the effect file" << file.toString()
                                 << "has values of the wrong type, left unchanged:" << refused.join(", ");
    }
    m_loading = false;
}

ZTParticleSystem* ParticleItem::createParticlesFromObject()
{
    if (m_maxParticles < 0 || unsigned(m_maxParticles) > ZTParticleSystem::kMaxTotalParticles) {
        qWarning("ParticleItem: WARNING: maxParticles %d is outside 0 to %u, no particles are shown",
                 m_maxParticles, ZTParticleSystem::kMaxTotalParticles);
        return nullptr;
    }
    // Autoreleased: dropped with the pool when it is not used.
    ZTParticleSystemQuad* particles =
        ZTParticleSystemQuad::particleWithTotalParticles(unsigned(m_maxParticles));
    if (!particles)
        return nullptr;
    particles->setAngleVar(float(m_angleVariance));
    // 0 stands for the emitter's default factor.
    if (m_blendFuncSource == 0)
        setBlendFuncSource(int(particles->getBlendFunc().src));
    if (m_blendFuncDestination == 0)
        setBlendFuncDestination(int(particles->getBlendFunc().dst));
    particles->setBlendFunc({GLenum(m_blendFuncSource), GLenum(m_blendFuncDestination)});
    particles->setStartColor(toColor4F(m_startColor));
    particles->setStartColorVar(toColor4F(m_startColorVariance));
    particles->setEndColor(toColor4F(m_finishColor));
    particles->setEndColorVar(toColor4F(m_finishColorVariance));
    particles->setStartSize(float(m_startParticleSize));
    particles->setStartSizeVar(float(m_startParticleSizeVariance));
    particles->setEndSize(float(m_finishParticleSize));
    particles->setEndSizeVar(float(m_finishParticleSizeVariance));
    particles->setPosVar(ZTPoint(float(m_sourcePositionVariance.x()), float(m_sourcePositionVariance.y())));
    particles->setEmitterMode(m_emitterType);
    const int mode = particles->getEmitterMode();
    if (mode == kZTParticleModeGravity) {
        particles->setGravity(ZTPoint(float(m_gravity.x()), float(m_gravity.y())));
        particles->setSpeed(float(m_speed));
        particles->setSpeedVar(float(m_speedVariance));
        particles->setRadialAccel(float(m_radialAcceleration));
        particles->setRadialAccelVar(float(m_radialAccelVariance));
        particles->setTangentialAccel(float(m_tangentialAcceleration));
        particles->setTangentialAccelVar(float(m_tangentialAccelVariance));
    } else if (mode == kZTParticleModeRadius) {
        particles->setRotatePerSecond(float(m_rotatePerSecond));
        particles->setRotatePerSecondVar(float(m_rotatePerSecondVariance));
        particles->setStartRadius(float(m_minRadius));
        particles->setStartRadiusVar(float(m_minRadiusVariance));
        particles->setEndRadius(float(m_maxRadius));
        particles->setEndRadiusVar(float(m_maxRadiusVariance));
    } else {
        qWarning().noquote() << QStringLiteral(
                                    "WARNING: ParticleItem: unsupported emitterType: %1 should be either 0 "
                                    "(Gravity) or 1 (Radius)")
                                    .arg(mode);
    }
    particles->setStartSpin(float(m_rotationStart));
    particles->setStartSpinVar(float(m_rotationStartVariance));
    particles->setEndSpin(float(m_rotationEnd));
    particles->setEndSpinVar(float(m_rotationEndVariance));
    particles->setLife(float(m_particleLifespan));
    particles->setLifeVar(float(m_particleLifespanVariance));
    ZTTexture2D* texture = loadTexture(this, m_textureFileName);
    if (!texture)
        return nullptr;
    particles->setTexture(texture);
    particles->setDuration(emitterDuration(m_duration));
    particles->setEmissionRate(float(m_emissionRate));
    particles->setPositionType(tZTPositionType(m_positionType));
    return particles;
}

void ParticleItem::armOneShotTimer(int ms)
{
    m_oneShotTimer.start(ms);
}

void ParticleItem::start()
{
    ZTNode* node = getZTNode();
    if (!m_particlesEnabled || !node)
        return;
    if (!m_setupDone) {
        m_autoStart = true;
        return;
    }
    if (!m_running) {
        m_running = true;
        emit runningChanged();
    }
    ZTParticleSystem* particles = emitter();
    if (!particles) {
        particles = createParticlesFromObject();
        if (!particles)
            return;
        node->addChild(particles);
        if (node->getParent())
            particles->setRotationInversionNode(node->getParent());
        particles->setIsAutoRemoveOnFinish(false);
        if (particles->getDuration() == kZTParticleDurationInfinity)
            m_oneShotTimer.stop();
        else
            armOneShotTimer(milliseconds(particles->getDuration() + particles->getLife()));
    } else if (particles->getDuration() != kZTParticleDurationInfinity) {
        particles->resetSystem();
        armOneShotTimer(milliseconds(particles->getDuration() + particles->getLife()));
    } else {
        m_oneShotTimer.stop();
        if (!particles->getIsActive())
            particles->resetSystem();
    }
}

void ParticleItem::stop()
{
    ZTParticleSystem* particles = emitter();
    if (!particles)
        return;
    particles->stopSystem();
    if (m_running) {
        m_running = false;
        emit runningChanged();
    }
    if (particles->getDuration() != kZTParticleDurationInfinity)
        armOneShotTimer(milliseconds(particles->getLife()));
}

void ParticleItem::stopLivingParticles()
{
    ZTParticleSystem* particles = emitter();
    if (!particles)
        return;
    particles->resetSystem();
    particles->stopSystem();
    removeEmitter();
    if (m_running) {
        m_running = false;
        emit runningChanged();
    }
    m_oneShotTimer.stop();
}

void ParticleItem::oneShotFinished()
{
    if (m_running) {
        m_running = false;
        emit runningChanged();
    }
}

void ParticleItem::setup()
{
    m_setupTimer.stop();
    createBaseNodeAndAddToParent(nullptr);
    QObject* window = gameWindowItem();
    // The window publishes itself when it completes, which may be after this item did.
    if (!window) {
        if (QQmlContext* context = qmlContext(this))
            window = context->contextProperty(QStringLiteral("rootGameWindow")).value<QObject*>();
    }
    if (window) {
        // Without a settings object particles stay off.
        if (QObject* settings = window->property("settings").value<QObject*>()) {
            connect(settings, SIGNAL(particlesEnabledChanged()), this, SLOT(enableStatusChanged()));
            m_particlesEnabled = settings->property("particlesEnabled").toBool();
        }
    }
    m_setupDone = true;
    if (m_autoStart)
        start();
}

void ParticleItem::enableStatusChanged()
{
    QObject* settings = sender();
    m_particlesEnabled = settings && settings->property("particlesEnabled").toBool();
    if (!m_particlesEnabled)
        stopLivingParticles();
}

bool ParticleItem::saveAsPList(const QUrl& file)
{
    const QString path = file.isLocalFile() ? file.toLocalFile() : file.toString();
    ZTParticleSystem* particles = emitter();
    if (!system() || path.isEmpty() || !particles) {
        qWarning().noquote()
            << "ParticleItem: WARNING: saveAsPList: no running emitter or no file name, nothing "
               "written to"
            << path;
        return false;
    }

    // The direction the emitter really emits in, counter-clockwise, as the reader takes "angle".
    float angle = particles->getAngle();
    if (ZTNode* inversionNode = particles->getRotationInversionNode()) {
        for (ZTNode* ancestor = particles->getParent(); ancestor; ancestor = ancestor->getParent()) {
            angle -= ancestor->getRotation();
            if (ancestor == inversionNode)
                break;
        }
    }
    // The node's place in its parent node, y up: where the reader puts its emitter.
    const ZTPoint position = getZTNode()->getPosition();
    const QByteArray texture = embeddedTexture(this, m_textureFileName);
    if (texture.isEmpty())
        qWarning().noquote() << "ParticleItem: WARNING: saveAsPList: the texture"
                             << m_textureFileName.toString() << "could not be embedded";

    std::vector<std::pair<QString, QString>> entries;
    auto real = [&](const QString& key, double value) {
        entries.emplace_back(key, "<real>" + plistNumber(value) + "</real>");
    };
    auto integer = [&](const QString& key, qlonglong value) {
        entries.emplace_back(key, "<integer>" + QString::number(value) + "</integer>");
    };
    auto color = [&](const QString& name, const ztColor4F& c) {
        real(name + "Alpha", c.a);
        real(name + "Blue", c.b);
        real(name + "Green", c.g);
        real(name + "Red", c.r);
    };
    real("angle", angle);
    real("angleVariance", particles->getAngleVar());
    integer("blendFuncDestination", qlonglong(particles->getBlendFunc().dst));
    integer("blendFuncSource", qlonglong(particles->getBlendFunc().src));
    real("duration", particles->getDuration());
    entries.emplace_back("emitterType", "<real>" + QString::number(particles->getEmitterMode()) + "</real>");
    color("finishColor", particles->getEndColor());
    color("finishColorVariance", particles->getEndColorVar());
    real("finishParticleSize", particles->getEndSize());
    real("finishParticleSizeVariance", particles->getEndSizeVar());
    real("gravityx", particles->getGravity().x);
    real("gravityy", particles->getGravity().y);
    entries.emplace_back("maxParticles",
                         "<real>" + QString::number(particles->getTotalParticles()) + "</real>");
    // The reader's radius at birth is "maxRadius" and its radius at death "minRadius".
    real("maxRadius", particles->getStartRadius());
    real("maxRadiusVariance", particles->getStartRadiusVar());
    real("minRadius", particles->getEndRadius());
    real("particleLifespan", particles->getLife());
    real("particleLifespanVariance", particles->getLifeVar());
    real("radialAccelVariance", particles->getRadialAccelVar());
    real("radialAcceleration", particles->getRadialAccel());
    real("rotatePerSecond", particles->getRotatePerSecond());
    real("rotatePerSecondVariance", particles->getRotatePerSecondVar());
    real("rotationEnd", particles->getEndSpin());
    real("rotationEndVariance", particles->getEndSpinVar());
    real("rotationStart", particles->getStartSpin());
    real("rotationStartVariance", particles->getStartSpinVar());
    real("sourcePositionVariancex", particles->getPosVar().x);
    real("sourcePositionVariancey", particles->getPosVar().y);
    real("sourcePositionx", position.x);
    real("sourcePositiony", position.y);
    real("speed", particles->getSpeed());
    real("speedVariance", particles->getSpeedVar());
    color("startColor", particles->getStartColor());
    color("startColorVariance", particles->getStartColorVar());
    real("startParticleSize", particles->getStartSize());
    real("startParticleSizeVariance", particles->getStartSizeVar());
    real("tangentialAccelVariance", particles->getTangentialAccelVar());
    real("tangentialAcceleration", particles->getTangentialAccel());
    const QString textureName = ZanthFileUtils::cropPathAndKeepFilename(m_textureFileName.toString(), false);
    entries.emplace_back("textureFileName", "<string>" + textureName.toHtmlEscaped() + "</string>");
    entries.emplace_back("textureImageData", "<string>" + QString::fromLatin1(texture) + "</string>");
    std::sort(entries.begin(), entries.end());

    QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                  "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                                  "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                                  "<plist version=\"1.0\">\n<dict>\n");
    for (const auto& [key, element] : entries)
        text += "<key>" + key + "</key>\n" + element + "\n";
    text += QStringLiteral("</dict>\n</plist>\n");
    return ZanthFileUtils::writeFile(path, text);
}
