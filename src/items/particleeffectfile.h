#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>

class QObject;

// The particle effect file: a JSON object whose first entry in key order maps the QML property names of a
// Particle to their values. Values are typed by the particle property table (ztparticleproperty.h): points
// as "x, y" texts, colours as "#rrggbb" with their alphas under the colour's name + "Alpha", the texture as
// a name beside the file (or one the item's QML file resolves); any other key is an item property.
class ParticleEffectFile
{
public:
    struct Entry
    {
        QString key;
        // What the item's property takes.
        QVariant value;
        // False when the file's value has the wrong type for the property.
        bool usable = true;
    };

    // The entries of the file's effect in key order, converted for the item (whose QML file resolves a
    // texture not found beside the effect file). Empty, with one log line, when the file can't be read or
    // holds no effect.
    static QList<Entry> read(const QUrl& file, QObject* item);

    // Writes values (property names to values, as an item or the property editor holds them) as the effect
    // group in file: whole numbers without a decimal point, and the texture as a name in the file's folder,
    // copied there when it is not there yet (under a new name when another image has its name). False, with
    // one log line, when nothing could be written; an earlier file then stays as it was.
    static bool write(const QString& file, const QString& group, const QVariantMap& values,
                      const QObject* item);
    // The text write writes, with the texture named by its file name alone; null (with one log line) when a
    // value can't be written.
    static QByteArray text(const QString& group, const QVariantMap& values, const QObject* item);

    // The keys an item writes of itself: the table's properties (the emission rate follows from the others),
    // the colours' alphas, and the item's place, turn and visibility.
    static QStringList keys();
};
