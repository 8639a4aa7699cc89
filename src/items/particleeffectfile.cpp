#include "particleeffectfile.h"

#include "scenegraphwrapper.h"
#include "system.h"
#include "zanthfileutils.h"
#include "zanthjson.h"
#include "ztparticleproperty.h"

#include <QColor>
#include <QFile>
#include <QFileInfo>
#include <QtDebug>

#include <cmath>
#include <functional>

namespace {

const char* const kItemKeys[] = {"rotation", "visible", "x", "y"};

// The table row a key belongs to (an alpha belongs to its colour), or null.
const ZTParticleProperty* propertyOf(const QString& key, bool* isAlpha)
{
    *isAlpha = false;
    if (const ZTParticleProperty* property = ZTParticleProperty::find(key))
        return property;
    for (const ZTParticleProperty& property : ZTParticleProperty::all()) {
        if (property.kind == ZTParticleProperty::Color && key == property.alphaName()) {
            *isAlpha = true;
            return &property;
        }
    }
    return nullptr;
}

// A whole number as an integer, so that the writer gives it no decimal point.
QVariant wholeIfWhole(const QVariant& value)
{
    if (value.typeId() != QMetaType::Double && value.typeId() != QMetaType::Float)
        return value;
    const double number = value.toDouble();
    if (std::isfinite(number) && std::trunc(number) == number && std::fabs(number) < 9007199254740992.0)
        return QVariant::fromValue(qlonglong(number));
    return number;
}

// QColor keeps an alpha in 16 bits: the shortest decimal it keeps the same, so that 0.8 is written as
// 0.8 and not as the float it was read back as.
double shortestAlpha(double alpha)
{
    if (!std::isfinite(alpha) || alpha < 0 || alpha > 1)
        return alpha;
    const long kept = std::lround(alpha * 65535);
    for (double scale = 1; scale <= 1e6; scale *= 10) {
        const double rounded = std::round(alpha * scale) / scale;
        if (std::lround(rounded * 65535) == kept)
            return rounded;
    }
    return alpha;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The texture's name in folder: the texture is copied there, unless the same image already lies there;
// another image of that name moves the copy to name-2, name-3 and so on.
QString placeTexture(const QUrl& url, const QString& folder, const QObject* item)
{
    const QString path = SceneGraphWrapper::getPlatformUrlString(ZTParticleProperty::resolvedUrl(item, url));
    const QString name = QFileInfo(path).fileName();
    const QString source = ZanthFileUtils::findFileOrDirectoryIncludingResources(path);
    const QByteArray image = source.isEmpty() ? QByteArray() : fileBytes(source);
    if (image.isEmpty()) {
        qWarning().noquote() << "ParticleEffectFile: WARNING: the texture" << url.toString()
                             << "can't be read; the effect names it" << name << "without it beside";
        return name;
    }
    const QFileInfo info(name);
    const QString suffix = info.suffix().isEmpty() ? QString() : "." + info.suffix();
    for (int copy = 1;; ++copy) {
        const QString candidate =
            copy == 1 ? name : info.completeBaseName() + "-" + QString::number(copy) + suffix;
        const QString target = folder + "/" + candidate;
        if (!QFileInfo::exists(target)) {
            if (!ZanthFileUtils::writeFile(target, image))
                qWarning().noquote() << "ParticleEffectFile: WARNING: the texture could not be written to"
                                     << target;
            return candidate;
        }
        if (fileBytes(target) == image)
            return candidate;
    }
}

} // namespace

QStringList ParticleEffectFile::keys()
{
    QStringList keys;
    for (const ZTParticleProperty& property : ZTParticleProperty::all()) {
        if (property.id == ZTParticleProperty::emissionRate)
            continue;
        keys << QLatin1String(property.name);
        if (property.kind == ZTParticleProperty::Color)
            keys << property.alphaName();
    }
    for (const char* key : kItemKeys)
        keys << QLatin1String(key);
    keys.sort();
    return keys;
}

QList<ParticleEffectFile::Entry> ParticleEffectFile::read(const QUrl& file, QObject* item)
{
    bool parsed = true;
    const QVariantMap effects =
        ZanthJson::Json::parse(ZanthFileUtils::readFile(file.toString()), parsed).toMap();
    const QVariantMap effect = effects.isEmpty() ? QVariantMap() : effects.first().toMap();
    if (!parsed || effect.isEmpty())
        qWarning().noquote() << "ParticleItem: WARNING: the effect file" << file.toString()
                             << "can't be read or holds no effect, nothing was loaded";
    QList<Entry> entries;
    for (auto it = effect.cbegin(); it != effect.cend(); ++it) {
        Entry entry{it.key(), it.value(), true};
        bool isAlpha = false;
        const ZTParticleProperty* property = propertyOf(entry.key, &isAlpha);
        const bool isText = entry.value.typeId() == QMetaType::QString;
        const QString text = entry.value.toString();
        if (property && !isAlpha) {
            switch (property->kind) {
            case ZTParticleProperty::Url: {
                entry.usable = isText;
                const QUrl besideFile = ZanthFileUtils::getPathUrl(text, file);
                entry.value = ZanthFileUtils::existsFile(ZanthFileUtils::stripSchemeFromUrl(besideFile))
                                  ? besideFile
                                  : ZanthFileUtils::getPathUrl(text, item);
                break;
            }
            case ZTParticleProperty::Point:
                entry.usable = isText;
                entry.value = System::pointFFromString(text);
                break;
            case ZTParticleProperty::Color:
                entry.usable = isText && QColor::isValidColorName(text);
                break;
            default:
                break;
            }
        }
        entries << entry;
    }
    return entries;
}

namespace {

// The effect file's text; textureName turns the texture's value into the name to write.
QByteArray effectText(const QString& group, const QVariantMap& values,
                      const std::function<QString(const QVariant&)>& textureName)
{
    QVariantMap effect;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        bool isAlpha = false;
        const ZTParticleProperty* property = propertyOf(it.key(), &isAlpha);
        QVariant value = it.value();
        if (property && isAlpha)
            value = shortestAlpha(value.toDouble());
        else if (property && property->kind == ZTParticleProperty::Url)
            value = textureName(value);
        effect.insert(it.key(), wholeIfWhole(value));
    }
    bool written = true;
    const QByteArray text = ZanthJson::Json::serialize(QVariantMap{{group, effect}}, written, QString());
    if (!written)
        qWarning().noquote() << "ParticleEffectFile: WARNING: the effect" << group
                             << "holds a value an effect file can't hold";
    return written ? text : QByteArray();
}

QUrl textureUrl(const QVariant& value)
{
    return value.typeId() == QMetaType::QUrl ? value.toUrl() : QUrl(value.toString());
}

} // namespace

QByteArray ParticleEffectFile::text(const QString& group, const QVariantMap& values, const QObject* item)
{
    return effectText(group, values, [item](const QVariant& value) {
        const QUrl url = ZTParticleProperty::resolvedUrl(item, textureUrl(value));
        return QFileInfo(SceneGraphWrapper::getPlatformUrlString(url)).fileName();
    });
}

bool ParticleEffectFile::write(const QString& file, const QString& group, const QVariantMap& values,
                               const QObject* item)
{
    const QString path = ZanthFileUtils::prependDefaultWritablePathIfFileIsRelative(file);
    const QString folder = QFileInfo(path).absolutePath();
    const QByteArray text = effectText(group, values, [&folder, item](const QVariant& value) {
        return placeTexture(textureUrl(value), folder, item);
    });
    if (text.isNull()) {
        qWarning().noquote() << "ParticleEffectFile: WARNING: nothing was written to" << path;
        return false;
    }
    return ZanthFileUtils::writeFile(path, text);
}
