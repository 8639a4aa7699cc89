#pragma once

#include <QString>
#include <QUrl>
#include <QVariantMap>

#include <optional>

// The JSON-hash sprite sheet that texture packers export: named frames of one texture, with trim
// information. Only reads; needs nothing of the scene graph, so that the reader can be checked alone.
// Malformed input never crashes: a text that is no JSON object gives an empty sheet, a malformed frame
// is refused, each with one warning line.
class ZTSpriteSheetJson
{
public:
    // One frame's geometry, all in pixels, y of the offset pointing up.
    struct Frame
    {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        bool rotated = false;
        float offsetX = 0;
        float offsetY = 0;
        int originalWidth = 0;
        int originalHeight = 0;
    };

    // Larger frames (or positions) than this many pixels are refused as corrupt.
    static constexpr int kMaximumExtent = 16384;

    // The parsed root object; empty, with a warning naming source, when the text is no JSON object.
    static QVariantMap parse(const QByteArray& text, const QString& source);
    // The frame of that name. A name absent from "frames" gives an all-zero frame and the missing-frame
    // error; a frame with missing, wrongly typed, negative or oversized values gives nothing and a
    // warning. textureUrl only names the sheet in messages.
    static std::optional<Frame> frame(const QVariantMap& sheet, const QString& name, const QString& textureUrl);
    // The names of "frames", in the file's key order as Qt keeps it (sorted).
    static QStringList frameNames(const QVariantMap& sheet);
    // The texture pixel format for "meta"."format": 0 (with a warning) for an unknown name, 0 silently
    // when there is none.
    static int pixelFormat(const QVariantMap& sheet, const QString& texturePath);
    // The texture's URL: the sheet's folder, "/", and "meta"."image" (empty without an image name).
    static QString texturePath(const QUrl& sheetUrl, const QVariantMap& sheet);
    // The pixel format for a format name, 0 for an unknown one (names are case-sensitive).
    static int pixelFormatForName(const QString& name);
};
