#pragma once

#include <QString>

class QObject;
class QUrl;

// What a sound URL set from QML names: nothing, a file (with the path the sound engine takes), or
// something that is not a file (a resource or a network address).
struct SoundSource
{
    enum Kind
    {
        Empty,
        File,
        NotAFile
    };

    // Relative URLs are taken relative to the QML file that made owner (as they are, without one).
    static SoundSource fromUrl(const QUrl& url, const QObject* owner);

    Kind kind = Empty;
    QString path;
};
