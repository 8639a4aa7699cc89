#include "downloadablepackageitem.h"

#include "packageextractor.h"
#include "qmltyperegistry.h"
#include "system.h"
#include "zanthfileutils.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QQmlContext>
#include <QQmlEngine>
#include <QSet>
#include <QThreadPool>
#include <QtConcurrent>

namespace {

const QmlTypeRegistrar downloadablePackageRow(QmlTypeRows::DownloadablePackage, [] {
    qmlRegisterType<DownloadablePackageItem>("Zanth", 1, 0, "DownloadablePackage");
});

// Package folders an item of this process is downloading or unpacking into (GUI thread only): a second
// item must neither write there nor clear their temporary folder as a leftover.
QSet<QString>& packagesInUse()
{
    static QSet<QString> folders;
    return folders;
}

DownloadablePackageItem::DownloadError errorForStatus(FileDownloader::DownloadStatus status)
{
    switch (status) {
    case FileDownloader::NetworkFailure:
        return DownloadablePackageItem::NetworkError;
    case FileDownloader::Unauthorized:
        return DownloadablePackageItem::UnauthorizedError;
    case FileDownloader::FilePathFailure:
        return DownloadablePackageItem::FilePathError;
    case FileDownloader::Cancelled:
        return DownloadablePackageItem::CancelledError;
    default:
        return DownloadablePackageItem::UnknownError;
    }
}

} // namespace

DownloadablePackageItem::DownloadablePackageItem(QQuickItem* parent)
    : QQuickItem(parent), m_extractionCancelled(std::make_shared<std::atomic_bool>(false))
{
}

DownloadablePackageItem::~DownloadablePackageItem()
{
    m_extractionCancelled->store(true);
    m_extraction.waitForFinished();
    delete m_downloader;
    if (m_holdsPackage)
        QFile::remove(m_zipFilePath);
    releasePackage();
}

void DownloadablePackageItem::setSource(const QUrl& source)
{
    if (m_source == source)
        return;
    m_source = source;
    emit sourceChanged();
}

void DownloadablePackageItem::setSecret(const QString& secret)
{
    if (m_secret == secret)
        return;
    m_secret = secret;
    emit secretChanged();
}

QUrl DownloadablePackageItem::storagePath() const
{
    return m_folderPath.isEmpty() ? QUrl() : QUrl::fromLocalFile(m_folderPath);
}

QString DownloadablePackageItem::packageFolderPath(const QString& cacheLocation, const QUrl& source)
{
    QString name = QFileInfo(source.path()).fileName();
    if (name.endsWith(QLatin1String(".zip")))
        name.chop(4);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") || name.contains(QChar(0)))
        return QString();
    QString folder = cacheLocation;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder + QStringLiteral("_packages/") + name;
}

QString DownloadablePackageItem::requestUrl(const QUrl& source, const QString& secret, const QString& identifier,
                                            qint64 timestamp)
{
    const QString url = QString::fromUtf8(source.toEncoded());
    if (secret.isEmpty())
        return url;
    const QString stamp = QString::number(timestamp);
    const QByteArray token = QCryptographicHash::hash((identifier + QLatin1Char(':') + secret + QLatin1Char(':') + stamp).toUtf8(),
                                                      QCryptographicHash::Sha1).toHex();
    return url + QStringLiteral("?token=") + QString::fromLatin1(token) + QStringLiteral("&timestamp=") + stamp;
}

void DownloadablePackageItem::componentComplete()
{
    QQuickItem::componentComplete();
    if (m_folderPath.isEmpty() && !m_source.isEmpty()) {
        m_folderPath = packageFolderPath(ZanthFileUtils::storageLocation(ZanthFileUtils::CacheLocation), m_source);
        if (m_folderPath.isEmpty())
            qWarning().noquote() << "DownloadablePackageItem: WARNING: the source" << m_source.toString(QUrl::RemoveQuery)
                                 << "names no package folder";
    }
    if (m_folderPath.isEmpty())
        return;
    const QString leftover = PackageExtractor::temporaryFolderPath(m_folderPath);
    if (!packagesInUse().contains(m_folderPath) && QFileInfo::exists(leftover)) {
        qWarning().noquote() << "DownloadablePackageItem: WARNING: removing the unfinished extraction" << leftover;
        ZanthFileUtils::removeDir(leftover);
    }
    if (QFileInfo::exists(m_folderPath)) {
        registerFolder();
        setStatus(Available);
        setAvailable(true);
    }
}

void DownloadablePackageItem::download()
{
    if (m_status != UnAvailable || m_source.isEmpty())
        return;
    if (m_folderPath.isEmpty() || packagesInUse().contains(m_folderPath)) {
        qWarning().noquote() << "DownloadablePackageItem: ERROR: no package folder to download"
                             << m_source.toString(QUrl::RemoveQuery) << "into";
        emit downloadFinished(FilePathError);
        return;
    }
    packagesInUse().insert(m_folderPath);
    m_holdsPackage = true;
    m_zipFilePath = zipFilePath();
    if (QFile::exists(m_zipFilePath))
        QFile::remove(m_zipFilePath);

    const QString url = requestUrl(m_source, m_secret, System::getConfigValue(QStringLiteral("identifier")).toString(),
                                   QDateTime::currentSecsSinceEpoch());
    if (m_downloader)
        m_downloader->deleteLater();
    m_downloader = new FileDownloader(url, m_zipFilePath, this);
    connect(m_downloader, &FileDownloader::downloadFinished, this, &DownloadablePackageItem::transferFinished);
    connect(m_downloader, &FileDownloader::downloadProgress, this, &DownloadablePackageItem::transferProgress);

    emit downloadStarted();
    setStatus(Downloading);
    m_downloader->download();
}

QString DownloadablePackageItem::zipFilePath() const
{
    return m_folderPath.endsWith(QLatin1String(".zip")) ? m_folderPath : m_folderPath + QStringLiteral(".zip");
}

void DownloadablePackageItem::cancelDownload()
{
    if (m_downloader && m_status == Downloading)
        m_downloader->cancelDownload();
}

void DownloadablePackageItem::remove()
{
    if (!m_available || m_folderPath.isEmpty())
        return;
    if (!ZanthFileUtils::removeDir(m_folderPath))
        return;
    setStatus(UnAvailable);
    setAvailable(false);
}

void DownloadablePackageItem::transferProgress(qint64 bytesReceived, qint64 bytesTotal)
{
    if (bytesTotal < bytesReceived || bytesTotal <= 0)
        return;
    const int percent = int(double(bytesReceived) / double(bytesTotal) * 100.0);
    if (percent == m_lastDownloadPercent)
        return;
    m_lastDownloadPercent = percent;
    emit downloadProgressChanged(percent);
}

void DownloadablePackageItem::transferFinished(FileDownloader::DownloadStatus status)
{
    m_lastDownloadPercent = -1;
    if (status == FileDownloader::Success) {
        startExtraction();
        return;
    }
    releasePackage();
    setStatus(UnAvailable);
    setAvailable(false);
    emit downloadFinished(errorForStatus(status));
}

void DownloadablePackageItem::startExtraction()
{
    setStatus(Extracting);
    // The worker gets copies and reports through queued calls. The destructor waits for the worker, and
    // calls queued to an object are dropped when it is destroyed, so none reaches a deleted item.
    PackageExtractor extractor(m_zipFilePath, m_folderPath, m_extractionCancelled);
    m_extraction = QtConcurrent::run(QThreadPool::globalInstance(), [this, extractor]() mutable {
        const bool success = extractor.extract([this](int percent) {
            QMetaObject::invokeMethod(this, [this, percent] { emit extractionProgessChanged(percent); }, Qt::QueuedConnection);
        });
        // Every handler of extractFinished runs before the status and availability change.
        QMetaObject::invokeMethod(this, [this, success] {
            emit extractFinished(success);
            fileExtractFinished(success);
        }, Qt::QueuedConnection);
    });
}

void DownloadablePackageItem::fileExtractFinished(bool success)
{
    QFile::remove(m_zipFilePath);
    releasePackage();
    if (success && registerFolder()) {
        setStatus(Available);
        setAvailable(true);
        emit downloadFinished(NoError);
        return;
    }
    ZanthFileUtils::removeDir(m_folderPath);
    setStatus(UnAvailable);
    setAvailable(false);
    emit downloadFinished(FileExtractionError);
}

bool DownloadablePackageItem::registerFolder()
{
    QQmlContext* context = qmlContext(this);
    QObject* property = context && context->engine()
                            ? context->engine()->rootContext()->contextProperty(QStringLiteral("fileUtils")).value<QObject*>()
                            : nullptr;
    auto* fileUtils = qobject_cast<ZanthFileUtils*>(property);
    if (!fileUtils) {
        qWarning("ERROR: fileUtils Context Property was not found, can't register new path");
        return false;
    }
    fileUtils->addSearchPath(m_folderPath, -1);
    return true;
}

void DownloadablePackageItem::setStatus(Status status)
{
    if (m_status == status)
        return;
    m_status = status;
    emit statusChanged();
}

void DownloadablePackageItem::setAvailable(bool available)
{
    if (m_available == available)
        return;
    m_available = available;
    emit availableChanged();
}

void DownloadablePackageItem::releasePackage()
{
    if (m_holdsPackage)
        packagesInUse().remove(m_folderPath);
    m_holdsPackage = false;
}
