#include "system.h"

#include "qmltyperegistry.h"
#include "saturatedint.h"
#include "zanthfileutils.h"
#include "zanthjson.h"

#include "ZTConfiguration.h"
#include "ZTDirector.h"
#include "layers_scenes_transitions_nodes/ZTScene.h"
#include "misc_nodes/ZTRenderTexture.h"

#include <QAbstractAnimation>
#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QJSValue>
#include <QMetaProperty>
#include <QNetworkInterface>
#include <QQmlEngine>
#include <QQmlProperty>
#include <QRectF>
#include <QTimer>
#include <QUrl>

#include <cmath>

// Qt has no public way to ask whether a QML binding drives a property; the pooling snapshot must know.
#include <private/qqmlproperty_p.h>

QVariantMap System::s_config;

namespace {
const QmlTypeRegistrar systemRow(QmlTypeRows::System, [] {
    qmlRegisterUncreatableType<System>("Zanth", 1, 0, "System",
                                       "Creation of System is not allowed, this is set by the system and "
                                       "only exists once in the application.");
});

// Installed while log output is off: every Qt message is dropped.
void emptyMessageHandler(QtMsgType, const QMessageLogContext&, const QString&) {}

System::ScreenOrientation orientationFromConfig(const QString& text)
{
    if (text == QLatin1String("portrait"))
        return System::ScreenOrientationPortrait;
    if (text == QLatin1String("landscape"))
        return System::ScreenOrientationLandscape;
    if (text == QLatin1String("sensorPortrait"))
        return System::ScreenOrientationSensorPortrait;
    if (text == QLatin1String("sensorLandscape"))
        return System::ScreenOrientationSensorLandscape;
    return System::ScreenOrientationAuto;
}

// Qt 4's qHash(const QString&), which Qt 6 no longer computes (its hash is seeded per process).
quint32 qt4StringHash(const QString& text)
{
    quint32 h = 0;
    for (const QChar c : text) {
        h = (h << 4) + c.unicode();
        h ^= (h & 0xf0000000) >> 23;
        h &= 0x0fffffff;
    }
    return h;
}

// Plain data of a script value; false, with one warning, for one that contains itself, nests too
// deeply or holds too many values.
bool scriptData(const QJSValue& value, QVariant& data)
{
    bool success = true;
    data = ZanthJson::Json::fromScriptValue(value, success);
    if (!success)
        qWarning("System: WARNING: a value that contains itself, nests too deeply or holds too many values "
                 "can't be converted");
    return success;
}

// The names of a QML include list, a single name being a list of one; a number (the 0 QML code passes
// for "all"), null or undefined is none.
QStringList includeList(const QJSValue& includes)
{
    QStringList names;
    if (includes.isString())
        return {includes.toString()};
    if (!includes.isArray())
        return names;
    const int length = includes.property(QStringLiteral("length")).toInt();
    for (int i = 0; i < length; ++i)
        names.append(includes.property(quint32(i)).toString());
    return names;
}
} // namespace

System::System(ZanthApplication* application, QObject* parent) : QObject(parent), m_application(application)
{
#ifndef QT_NO_DEBUG
    m_debugBuild = true;
#endif
    m_screenOrientation = orientationFromConfig(getConfigValue(QStringLiteral("orientation")).toString());
    m_publishBuild = getConfigValue(QStringLiteral("stage")).toString() == QLatin1String("publish");

    if (m_publishBuild) {
        qInstallMessageHandler(emptyMessageHandler);
        storeLogOutputEnabled(false);
    } else if (m_debugBuild || m_platform == IOS || m_platform == Android || m_platform == BlackBerry) {
        qInstallMessageHandler(nullptr);
        storeLogOutputEnabled(true);
    } else {
        qInstallMessageHandler(emptyMessageHandler);
        storeLogOutputEnabled(false);
    }

    m_macAddress = getMacAddress();
    m_udid = getUdid(m_macAddress);
}

void System::storeLogOutputEnabled(bool enabled)
{
    if (m_logOutputEnabled == enabled)
        return;
    m_logOutputEnabled = enabled;
    emit logOutputEnabledChanged();
}

void System::setLogOutputEnabled(bool enabled)
{
    if (m_publishBuild && enabled)
        return;
    qInstallMessageHandler(enabled ? nullptr : emptyMessageHandler);
    storeLogOutputEnabled(enabled);
}

QString System::getMacAddress()
{
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& networkInterface : interfaces) {
        if (networkInterface.flags().testFlag(QNetworkInterface::IsLoopBack))
            continue;
        if (!networkInterface.hardwareAddress().isEmpty())
            return networkInterface.hardwareAddress();
    }
    return QString();
}

QString System::getUdid(const QString& macAddress)
{
    return QString::number(qt4StringHash(macAddress), 10);
}

QVariant System::getConfigValue(const QString& configPath)
{
    if (s_config.isEmpty()) {
        const QString path =
            ZanthFileUtils::findFileOrDirectoryIncludingResources(QStringLiteral("qml/config.json"));
        const QString text = ZanthFileUtils::readFile(path);
        if (text.isEmpty())
            qWarning("WARNING: cant find config.json file");
        else
            s_config = parse(text);
    }
    // The lookup inserts unknown keys, so a missing or empty file is not read a second time.
    return s_config[configPath];
}

QVariantMap System::parse(const QString& stringData)
{
    bool success = true;
    const QVariant result = ZanthJson::Json::parse(stringData, success);
    if (!success)
        qWarning().noquote() << "[System]- [WARNING]: System can't parse stringData file"
                             << QString(QLatin1Char('"') + stringData + QLatin1Char('"'));
    return result.toMap();
}

QString System::stringifyWithBasePath(const QVariant& data, const QStringList& includes,
                                      const QString& basePath)
{
    QByteArray text;
    auto serialize = [&basePath](const QVariant& value) {
        bool success = true;
        const QByteArray json = ZanthJson::Json::serialize(value, success, basePath);
        if (!success)
            qWarning().noquote() << "[WARNING]: serializeData can't load"
                                 << QString(QLatin1Char('"') + value.toString() + QLatin1Char('"'));
        return json;
    };
    if (includes.isEmpty()) {
        text = serialize(data);
    } else {
        const QVariantMap map = data.toMap();
        text = "{";
        for (int i = 0; i < includes.size(); ++i) {
            const QString& name = includes.at(i);
            text += " \"" + name.toUtf8() + "\" : " + serialize(map.value(name));
            if (i + 1 < includes.size())
                text += ",";
        }
        text += " }";
    }
    const int zero = text.indexOf('\0');
    return QString::fromUtf8(zero < 0 ? text : text.left(zero));
}

QString System::stringifyWithBasePath(const QJSValue& data, const QJSValue& includes, const QString& basePath)
{
    QVariant value;
    if (!scriptData(data, value))
        return QString();
    return stringifyWithBasePath(value, includeList(includes), basePath);
}

QString System::stringify(const QJSValue& data, const QJSValue& includes, QObject* sourceObject)
{
    QVariant value;
    if (!scriptData(data, value))
        return QString();
    return stringifyWithBasePath(value, includeList(includes), ZanthFileUtils::getBasePath(sourceObject));
}

QVariantMap System::jsonMapWithPropertiesResolved(const QJSValue&, const QJSValue&, QObject*)
{
    return {};
}

QVariantMap System::jsonMapForObjectWithPropertiesResolved(const QJSValue&, const QJSValue&, QObject*)
{
    return {};
}

bool System::isPropertySerializableAtPooling(QObject* object, const QString& propertyName)
{
    if (!object)
        return false;
    const QQmlProperty property(object, propertyName, qmlContext(object));
    // A list reads as the live list, not a value to keep: writing it back would rebuild it.
    if (!property.isProperty() || !property.isWritable() ||
        property.propertyTypeCategory() == QQmlProperty::List)
        return false;
    if (QQmlPropertyPrivate::binding(property))
        return false;
    // Bindings on bindable properties (an item's x, y, width, height) live in the property itself.
    return !property.isBindable() || !property.property().bindable(object).hasBinding();
}

QVariant System::propertyValueAtPooling(QObject* object, const QString& propertyName)
{
    if (!object)
        return {};
    const QVariant value = QQmlProperty::read(object, propertyName, qmlContext(object));
    // A var property holds a script value whose arrays and objects games change in place: they are
    // taken apart into lists and maps, which reach script as new arrays and objects. Objects of Qt's
    // stay themselves.
    if (value.metaType() == QMetaType::fromType<QJSValue>()) {
        const QJSValue script = value.value<QJSValue>();
        if (script.isObject() && !script.isQObject() && !script.isCallable())
            return script.toVariant();
    }
    return value;
}

void System::outputDeclarativePropertyInformation(QObject*, const QString&) {}

QString System::stringifyObject(QObject* data, const QStringList& includedProperties)
{
    return stringifyWithBasePath(qobject2qvariant(data, includedProperties), includedProperties,
                                 ZanthFileUtils::getBasePath(data));
}

QVariant System::qobject2qvariant(const QObject* object, const QStringList& includedProperties)
{
    if (!object)
        return QVariant();
    QVariantMap map;
    const QMetaObject* meta = object->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        const QString name = QString::fromLatin1(property.name());
        if (!includedProperties.isEmpty() && !includedProperties.contains(name))
            continue;
        if (!property.isReadable())
            continue;
        map.insert(name, property.read(object));
    }
    return map;
}

QString System::typeOf(const QJSValue& variant)
{
    QVariant value;
    scriptData(variant, value);
    return typeOfVariant(value);
}

QString System::typeOfVariant(const QVariant& variant)
{
    if (!variant.isValid())
        return QStringLiteral("null");
    switch (variant.typeId()) {
    case QMetaType::QVariantList:
        return QStringLiteral("list");
    case QMetaType::QStringList:
        return QStringLiteral("stringlist");
    case QMetaType::QVariantHash:
        return QStringLiteral("hash");
    case QMetaType::QVariantMap:
        return QStringLiteral("map");
    case QMetaType::QString:
        return QStringLiteral("string");
    case QMetaType::QByteArray:
        return QStringLiteral("bytearray");
    case QMetaType::Double:
        return QStringLiteral("double");
    case QMetaType::Bool:
        return QStringLiteral("boolean");
    case QMetaType::ULongLong:
        return QStringLiteral("number");
    case QMetaType::QPointF:
        return QStringLiteral("point");
    case QMetaType::QColor:
        return QStringLiteral("color");
    case QMetaType::QUrl:
        return QStringLiteral("url");
    default:
        break;
    }
    if (variant.canConvert<qlonglong>() || variant.canConvert<long>())
        return QStringLiteral("number");
    if (variant.canConvert<QString>())
        return QStringLiteral("string");
    return QStringLiteral("null");
}

QPointF System::pointFFromString(const QString& source)
{
    if (source.count(QLatin1Char(',')) != 1)
        return QPointF(0, 0);
    const int comma = source.indexOf(QLatin1Char(','));
    bool xOk = false;
    bool yOk = false;
    const double x = source.left(comma).trimmed().toDouble(&xOk);
    const double y = source.mid(comma + 1).trimmed().toDouble(&yOk);
    if (!xOk || !yOk)
        return QPointF(0, 0);
    return QPointF(x, y);
}

namespace {
// A Behavior's, a group's or a transition's animation is run by its owner and refuses to be paused on
// its own (Qt warns on every try).
bool isControlledAnimation(const QObject* animation)
{
    const QObject* owner = animation->parent();
    return owner && (owner->inherits("QQuickBehavior") || owner->inherits("QQuickAnimationGroup") ||
                     owner->inherits("QQuickTransition"));
}
} // namespace

void System::pauseGameForObject(QObject* object)
{
    if (!object)
        return;
    // QML's Timer and animation types are private classes: they are recognised by class name and
    // driven through their properties.
    const auto descendants = object->findChildren<QObject*>();
    for (QObject* child : descendants) {
        if (child->inherits("QQmlTimer") && child->property("running").toBool()) {
            QMetaObject::invokeMethod(child, "stop");
            m_pausedQmlTimers.append(child);
        }
    }
    for (QTimer* timer : object->findChildren<QTimer*>()) {
        if (timer->isActive()) {
            timer->stop();
            m_pausedTimers.append(timer);
        }
    }
    for (QAbstractAnimation* animation : object->findChildren<QAbstractAnimation*>()) {
        if (animation->state() == QAbstractAnimation::Running) {
            animation->pause();
            m_pausedAnimations.append(animation);
        }
    }
    for (QObject* child : descendants) {
        if (child->inherits("QQuickAbstractAnimation") && !isControlledAnimation(child) &&
            child->property("running").toBool() && !child->property("paused").toBool()) {
            child->setProperty("paused", true);
            m_pausedQmlAnimations.append(child);
        }
    }
    m_gamePaused = true;
}

void System::resumeGameForObject(QObject* object)
{
    Q_UNUSED(object)
    for (const QPointer<QTimer>& timer : std::as_const(m_pausedTimers)) {
        if (timer)
            timer->start();
    }
    for (const QPointer<QObject>& timer : std::as_const(m_pausedQmlTimers)) {
        if (timer)
            QMetaObject::invokeMethod(timer, "start");
    }
    for (const QPointer<QAbstractAnimation>& animation : std::as_const(m_pausedAnimations)) {
        if (animation)
            animation->resume();
    }
    for (const QPointer<QObject>& animation : std::as_const(m_pausedQmlAnimations)) {
        if (animation)
            animation->setProperty("paused", false);
    }
    m_pausedTimers.clear();
    m_pausedQmlTimers.clear();
    m_pausedAnimations.clear();
    m_pausedQmlAnimations.clear();
    m_gamePaused = false;
}

void System::captureScreenshot(const QString& fileName, float x, float y, float with, float height)
{
    if (fileName.isEmpty()) {
        qWarning("[WARNING] screenshot - No filename specified!");
        return;
    }
    if (!std::isfinite(x + y + with + height) || x < 0 || y < 0 || with <= 0 || height <= 0) {
        qWarning("[WARNING] wrong dimension!");
        return;
    }
    const QString documents = ZanthFileUtils::storageLocation(ZanthFileUtils::DocumentsLocation);
    const QString relative = QDir(documents).relativeFilePath(fileName);
    if (!relative.contains(QLatin1Char('.'))) {
        qWarning("[WARNING] No ending specified!");
        return;
    }
    const int slash = relative.lastIndexOf(QLatin1Char('/'));
    if (slash >= 0)
        QDir(documents).mkpath(relative.left(slash));
    const QString target = QDir::cleanPath(documents + QLatin1Char('/') + relative);

    zanth2d::ZTDirector* director = zanth2d::ZTDirector::sharedDirector();
    const zanth2d::ZTSize winSize = director->getWinSize();
    const int winWidth = static_cast<int>(winSize.width);
    const int winHeight = static_cast<int>(winSize.height);
    // Only the part of the rectangle inside the window is read.
    // Clipped before it becomes whole pixels: a script may ask for any size.
    const QRectF clipped = QRectF(x, y, with, height).intersected(QRectF(0, 0, winWidth, winHeight));
    const QRect inside(saturatedInt(clipped.x()), saturatedInt(clipped.y()), saturatedInt(clipped.width()),
                       saturatedInt(clipped.height()));
    if (inside.isEmpty())
        return;
    zanth2d::ZTRenderTexture* texture =
        zanth2d::ZTRenderTexture::renderTextureWithWidthAndHeight(winWidth, winHeight);
    if (!texture)
        return;
    texture->begin();
    if (zanth2d::ZTScene* scene = director->getRunningScene())
        scene->visit();
    texture->end(true);

    // The texture's rows count from the bottom of the window.
    unsigned char* pixels = texture->getBuffer(nullptr, inside.x(), winHeight - inside.height() - inside.y(),
                                               inside.width(), inside.height());
    if (!pixels)
        return;
    const QImage shot = QImage(pixels, inside.width(), inside.height(), QImage::Format_ARGB32).rgbSwapped();
    QImageWriter writer(target, "png");
    writer.write(shot);
    delete[] pixels;
}

int System::maxTextureSize() const
{
    return zanth2d::ZTConfiguration::sharedConfiguration()->getMaxTextureSize();
}
