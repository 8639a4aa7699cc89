#include "particleitem.h"

#include "particleeffectfile.h"
#include "qmltyperegistry.h"
#include "saturatedint.h"
#include "scenegraphwrapper.h"
#include "zanthfileutils.h"

#include "base_nodes/ZTNode.h"
#include "cocoa/ZTArray.h"
#include "particle_nodes/ZTParticleSystemQuad.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
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

QColor withAlpha(QColor color, qreal alpha)
{
    color.setAlphaF(std::isnan(alpha) ? 0.0f : float(std::clamp(alpha, 0.0, 1.0)));
    return color;
}

// Timer intervals from float seconds, truncated; what can't be an interval becomes 0 or the largest one.
int milliseconds(float seconds)
{
    const float ms = std::trunc(seconds * 1000.0f);
    if (!(ms > 0.0f))
        return 0;
    return ms >= float(INT_MAX) ? INT_MAX : int(ms);
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
    const QString path =
        SceneGraphWrapper::getPlatformUrlString(ZTParticleProperty::resolvedUrl(item, textureUrl));
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

// The setters of the table's properties, by kind.
#define ZT_PARTICLE_ITEM_SETTER(Kind, name, Setter, Setting, Default)                                        \
    void ParticleItem::set##Setter(const ZT_PARTICLE_STORED_##Kind& value)                                   \
    {                                                                                                        \
        assign(ZTParticleProperty::name, m_##name, value, &ParticleItem::name##Changed);                     \
    }                                                                                                        \
    ZT_PARTICLE_ITEM_SETTER_##Kind(name, Setter)
#define ZT_PARTICLE_ITEM_SETTER_Real(name, Setter)
#define ZT_PARTICLE_ITEM_SETTER_Duration(name, Setter)
#define ZT_PARTICLE_ITEM_SETTER_Enum(name, Setter)
#define ZT_PARTICLE_ITEM_SETTER_Point(name, Setter)
#define ZT_PARTICLE_ITEM_SETTER_Url(name, Setter)
#define ZT_PARTICLE_ITEM_SETTER_Count(name, Setter)                                                          \
    void ParticleItem::set##Setter##Real(qreal value)                                                        \
    {                                                                                                        \
        set##Setter(saturatedInt(value));                                                                    \
    }
#define ZT_PARTICLE_ITEM_SETTER_Factor(name, Setter) ZT_PARTICLE_ITEM_SETTER_Count(name, Setter)
// The alpha is asked of the gate under the colour's name, and signals whether the colour changed or not.
#define ZT_PARTICLE_ITEM_SETTER_Color(name, Setter)                                                          \
    void ParticleItem::set##Setter##Alpha(qreal alpha)                                                       \
    {                                                                                                        \
        set##Setter(withAlpha(m_##name, alpha));                                                             \
        emit name##AlphaChanged();                                                                           \
    }

ZT_PARTICLE_PROPERTIES(ZT_PARTICLE_ITEM_SETTER)

template <typename T>
void ParticleItem::assign(ZTParticleProperty::Id id, T& field, const T& value,
                          void (ParticleItem::*changed)())
{
    const ZTParticleProperty& property = ZTParticleProperty::property(id);
    if (isSetAllowed(QLatin1String(property.name)) && !(field == value)) {
        field = value;
        pushToEmitter(property);
        emit(this->*changed)();
        if (id == ZTParticleProperty::maxParticles || id == ZTParticleProperty::particleLifespan)
            followEmissionRate();
    }
    // An endless effect never ends by itself.
    if (id == ZTParticleProperty::duration && m_duration == 0)
        m_oneShotTimer.stop();
}

// The derived rate is not an assignment: it records nothing in the gate, so a file loaded later still
// derives it. An emissionRate assigned outside a load wins over the rate a load derives, and over the rate
// the item's own declarations derive, in whatever order QML assigns them.
void ParticleItem::followEmissionRate()
{
    if ((m_loading || !isComponentComplete()) && m_setAllowed.contains(QLatin1String("emissionRate")))
        return;
    const double rate = double(m_maxParticles) / m_particleLifespan;
    if (m_emissionRate == rate)
        return;
    m_emissionRate = rate;
    pushToEmitter(ZTParticleProperty::property(ZTParticleProperty::emissionRate));
    emit emissionRateChanged();
}

void ParticleItem::pushToEmitter(const ZTParticleProperty& property)
{
    ZTParticleSystem* particles = emitter();
    if (!particles)
        return;
    switch (property.kind) {
    case ZTParticleProperty::Count:
        // The pool size is fixed when an emitter is made: a new size needs a new emitter.
        removeEmitter();
        start();
        break;
    case ZTParticleProperty::Factor:
        particles->setBlendFunc({GLenum(m_blendFuncSource), GLenum(m_blendFuncDestination)});
        break;
    case ZTParticleProperty::Url:
        if (ZTTexture2D* texture = ZTParticleProperty::loadTexture(this, m_textureFileName))
            particles->setTexture(texture);
        break;
    default:
        property.emitterSetting()->set(*particles, emitterValue(property));
        break;
    }
}

ZTParticleValue ParticleItem::emitterValue(const ZTParticleProperty& property) const
{
    switch (property.id) {
#define ZT_PARTICLE_ITEM_EMITTER_VALUE(Kind, name, Setter, Setting, Default)                                 \
    case ZTParticleProperty::name:                                                                           \
        return ZTParticleProperty::emitterValue(ZTParticleProperty::Kind, m_##name);
        ZT_PARTICLE_PROPERTIES(ZT_PARTICLE_ITEM_EMITTER_VALUE)
#undef ZT_PARTICLE_ITEM_EMITTER_VALUE
    case ZTParticleProperty::kCount:
        break;
    }
    return ZTParticleValue();
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
    } else if (isComponentComplete() && !m_fileName.isEmpty()) {
        // Named after componentComplete (from an onCompleted handler, or a binding that got its value
        // there): loaded now, so that setup builds the emitter from it.
        createParticlesFromFile();
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
        const QUrl file = ZTParticleProperty::resolvedUrl(this, m_fileName);
        QStringList refused;
        for (const ParticleEffectFile::Entry& entry : ParticleEffectFile::read(file, this)) {
            // An effect file can't name another one: loading it from here would nest loads, endlessly
            // for two files naming each other.
            if (entry.key == QLatin1String("fileName")) {
                refused << entry.key;
                continue;
            }
            // x, y and rotation are the item's own; the gate covers them as it covers the effect's values.
            if ((entry.key == QLatin1String("x") || entry.key == QLatin1String("y") ||
                 entry.key == QLatin1String("rotation")) &&
                m_setAllowed.contains(entry.key))
                continue;
            const QByteArray name = entry.key.toUtf8();
            const bool declared = metaObject()->indexOfProperty(name.constData()) >= 0;
            if (!entry.usable || (!setProperty(name.constData(), entry.value) && declared))
                refused << entry.key;
        }
        if (!refused.isEmpty())
            qWarning().noquote() << "ParticleItem: WARNING: the effect file" << file.toString()
                                 << "has values it can't set, left unchanged:" << refused.join(", ");
    }
    m_loading = false;
}

QVariantMap ParticleItem::effectValues(const QVariantMap& values) const
{
    if (!values.isEmpty())
        return values;
    QVariantMap own;
    const QStringList keys = ParticleEffectFile::keys();
    for (const QString& key : keys)
        own.insert(key, property(key.toUtf8().constData()));
    return own;
}

bool ParticleItem::saveAsEffect(const QUrl& file, const QString& group, const QVariantMap& values)
{
    const QString path = file.isLocalFile() ? file.toLocalFile() : file.toString();
    return ParticleEffectFile::write(path, group.isEmpty() ? QFileInfo(path).completeBaseName() : group,
                                     effectValues(values), this);
}

QString ParticleItem::effectText(const QString& group, const QVariantMap& values) const
{
    return QString::fromUtf8(ParticleEffectFile::text(group, effectValues(values), this));
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
    ZTParticleProperty::copyBlendFuncToEmitter(this, *particles);
    const int mode = ZTParticleProperty::copyToEmitter(
        *particles, [this](const ZTParticleProperty& property) { return emitterValue(property); });
    if (mode != kZTParticleModeGravity && mode != kZTParticleModeRadius) {
        qWarning().noquote() << QStringLiteral(
                                    "WARNING: ParticleItem: unsupported emitterType: %1 should be either 0 "
                                    "(Gravity) or 1 (Radius)")
                                    .arg(mode);
    }
    ZTTexture2D* texture = ZTParticleProperty::loadTexture(this, m_textureFileName);
    if (!texture)
        return nullptr;
    particles->setTexture(texture);
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
    for (const ZTParticleSetting& setting : ZTParticleSetting::all()) {
        if (!setting.plistKey)
            continue;
        const QString key = QLatin1String(setting.plistKey);
        const ZTParticleValue value = setting.get(*particles);
        switch (setting.type) {
        case ZTParticleSetting::kReal:
            // The direction the emitter really emits in, as the reader takes it.
            real(key, setting.id == ZTParticleSetting::kAngle ? particles->baseAngle() : value.real);
            break;
        case ZTParticleSetting::kPoint:
            real(key + ZTParticleSetting::kPointSuffixes[0], value.point.x);
            real(key + ZTParticleSetting::kPointSuffixes[1], value.point.y);
            break;
        case ZTParticleSetting::kColor: {
            const float components[] = {value.color.r, value.color.g, value.color.b, value.color.a};
            for (int i = 0; i < 4; ++i)
                real(key + ZTParticleSetting::kColorSuffixes[i], components[i]);
            break;
        }
        case ZTParticleSetting::kInteger:
            entries.emplace_back(key, "<real>" + QString::number(value.integer) + "</real>");
            break;
        }
    }
    entries.emplace_back("blendFuncDestination",
                         "<integer>" + QString::number(particles->getBlendFunc().dst) + "</integer>");
    entries.emplace_back("blendFuncSource",
                         "<integer>" + QString::number(particles->getBlendFunc().src) + "</integer>");
    entries.emplace_back("maxParticles",
                         "<real>" + QString::number(particles->getTotalParticles()) + "</real>");
    real("sourcePositionx", position.x);
    real("sourcePositiony", position.y);
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
