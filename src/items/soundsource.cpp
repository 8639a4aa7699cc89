#include "soundsource.h"

#include "zanthfileutils.h"

#include <QQmlContext>
#include <QQmlEngine>
#include <QUrl>

SoundSource SoundSource::fromUrl(const QUrl& url, const QObject* owner)
{
    SoundSource source;
    if (url.isEmpty())
        return source;
    QUrl resolved = url;
    if (resolved.isRelative()) {
        if (const QQmlContext* context = qmlContext(owner))
            resolved = context->resolvedUrl(resolved);
    }
    if (resolved.scheme().isEmpty() || resolved.isLocalFile()) {
        source.kind = File;
        source.path = resolved.isLocalFile()
                          ? resolved.toLocalFile()
                          : ZanthFileUtils::getFilenameWithoutSchemeAndResourcePath(resolved);
    } else {
        source.kind = NotAFile;
        source.path = resolved.path();
    }
    return source;
}
