#include "ztspritesheetjson.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QMetaType>
#include <QtDebug>

#include <cmath>

namespace {

// A whole number of pixels within [0, kMaximumExtent]; JSON numbers arrive as doubles.
bool readExtent(const QVariantMap& object, const char* key, int* value)
{
    const QVariant entry = object.value(QLatin1String(key));
    if (entry.typeId() != QMetaType::Double && entry.typeId() != QMetaType::LongLong &&
        entry.typeId() != QMetaType::Int)
        return false;
    const double number = entry.toDouble();
    if (!std::isfinite(number) || number < 0 || number > ZTSpriteSheetJson::kMaximumExtent ||
        number != std::floor(number))
        return false;
    *value = int(number);
    return true;
}

bool readFlag(const QVariantMap& object, const char* key, bool* value)
{
    const QVariant entry = object.value(QLatin1String(key));
    if (!entry.isValid()) {
        *value = false;
        return true;
    }
    if (entry.typeId() != QMetaType::Bool)
        return false;
    *value = entry.toBool();
    return true;
}

bool readObject(const QVariantMap& object, const QString& key, QVariantMap* value)
{
    const QVariant entry = object.value(key);
    if (entry.typeId() != QMetaType::QVariantMap)
        return false;
    *value = entry.toMap();
    return true;
}

} // namespace

QVariantMap ZTSpriteSheetJson::parse(const QByteArray& text, const QString& source)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        qWarning().noquote() << "WARNING: ZTAnimatedSpriteManager: the sprite-sheet file" << source
                             << "is no JSON object:" << error.errorString();
        return {};
    }
    return document.object().toVariantMap();
}

std::optional<ZTSpriteSheetJson::Frame> ZTSpriteSheetJson::frame(const QVariantMap& sheet, const QString& name,
                                                                 const QString& textureUrl)
{
    const QVariantMap frames = sheet.value(QStringLiteral("frames")).toMap();
    if (!frames.contains(name)) {
        qWarning().noquote() << "ERROR: Sprite::frameName property with value \"" + name +
                                    "\" not found in the json spritesheet file - did you forget to add the file "
                                    "ending? spriteSheetSourceForJsonFile:\"" + textureUrl + "\"";
        return Frame();
    }
    const auto refuse = [&](const char* reason) {
        qWarning().noquote() << "WARNING: ZTAnimatedSpriteManager: the frame \"" + name +
                                    "\" of the sprite sheet for \"" + textureUrl + "\" is refused:"
                             << reason;
        return std::nullopt;
    };
    QVariantMap entry;
    if (!readObject(frames, name, &entry))
        return refuse("it is no object");
    Frame result;
    QVariantMap rect;
    if (!readObject(entry, QStringLiteral("frame"), &rect) || !readExtent(rect, "x", &result.x) ||
        !readExtent(rect, "y", &result.y) || !readExtent(rect, "w", &result.width) ||
        !readExtent(rect, "h", &result.height))
        return refuse("\"frame\" needs whole numbers x, y, w, h from 0 to 16384");
    bool trimmed = false;
    if (!readFlag(entry, "rotated", &result.rotated) || !readFlag(entry, "trimmed", &trimmed))
        return refuse("\"rotated\" and \"trimmed\" must be booleans");
    QVariantMap source;
    if (!readObject(entry, QStringLiteral("sourceSize"), &source) ||
        !readExtent(source, "w", &result.originalWidth) || !readExtent(source, "h", &result.originalHeight))
        return refuse("\"sourceSize\" needs whole numbers w, h from 0 to 16384");
    if (!trimmed)
        return result;
    QVariantMap trim;
    int sx = 0, sy = 0, sw = 0, sh = 0;
    if (!readObject(entry, QStringLiteral("spriteSourceSize"), &trim) || !readExtent(trim, "x", &sx) ||
        !readExtent(trim, "y", &sy) || !readExtent(trim, "w", &sw) || !readExtent(trim, "h", &sh))
        return refuse("\"spriteSourceSize\" needs whole numbers x, y, w, h from 0 to 16384");
    // The trimmed rectangle's centre from the untrimmed image's centre, y up; halves truncate.
    result.offsetX = float(sx - result.originalWidth / 2 + sw / 2);
    result.offsetY = float(result.originalHeight / 2 - sy - sh / 2);
    return result;
}

QStringList ZTSpriteSheetJson::frameNames(const QVariantMap& sheet)
{
    return sheet.value(QStringLiteral("frames")).toMap().keys();
}

int ZTSpriteSheetJson::pixelFormatForName(const QString& name)
{
    static const struct
    {
        const char* name;
        int format;
    } table[] = {{"RGBA8888", 1}, {"RGBA4444", 7}, {"RGB565", 3}, {"RGB888", 2},
                 {"RGB5A1", 8},   {"RGBA5551", 8}, {"PVRTC2", 10}, {"PVRTC4", 9}};
    for (const auto& row : table) {
        if (name == QLatin1String(row.name))
            return row.format;
    }
    return 0;
}

int ZTSpriteSheetJson::pixelFormat(const QVariantMap& sheet, const QString& texturePath)
{
    const QVariant name = sheet.value(QStringLiteral("meta")).toMap().value(QStringLiteral("format"));
    if (!name.isValid())
        return 0;
    const int format = pixelFormatForName(name.toString());
    if (format == 0)
        qWarning().noquote() << "WARNING: ZTAnimatedSpriteManager: unsupported pixelFomratString read from json "
                                "file: \"" + name.toString() + "\" for image: \"" + texturePath + "\"";
    return format;
}

QString ZTSpriteSheetJson::texturePath(const QUrl& sheetUrl, const QVariantMap& sheet)
{
    const QVariant image = sheet.value(QStringLiteral("meta")).toMap().value(QStringLiteral("image"));
    if (image.typeId() != QMetaType::QString || image.toString().isEmpty())
        return {};
    const QString text = sheetUrl.toString();
    return text.left(text.lastIndexOf('/')) + '/' + image.toString();
}
