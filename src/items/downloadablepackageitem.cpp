#include "downloadablepackageitem.h"

#include "packageextractor.h"
#include "qmltyperegistry.h"
#include "system.h"
#include "zanthfileutils.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QQmlContext>
#include <QQmlEngine>
#include <QSaveFile>
#include <QThreadPool>
#include <QtConcurrent>

namespace {

const QmlTypeRegistrar downloadablePackageRow(QmlTypeRows::DownloadablePackage, [] {
    qmlRegisterType<DownloadablePackageItem>("Zanth", 1, 0, "DownloadablePackage");
});

// Package folders an item of this process is downloading or unpacking into, with the source it fetches
// (GUI thread only): a second item must neither write there nor clear their leftovers.
QHash<QString, QByteArray>& packagesInUse()
{
    static QHash<QString, QByteArray> folders;
    return folders;
}

// What a package folder's record holds: the source as it is requested, without the signature.
QByteArray sourceKey(const QUrl& source)
{
    return source.toEncoded(QUrl::RemoveFragment);
}

// The folder of a package whose archive name another source's package took first.
QString folderOfItsOwn(const QString& folder, const QUrl& source)
{
    const QByteArray digest = QCryptographicHash::hash(sourceKey(source), QCryptographicHash::Sha1).toHex();
    return folder + QLatin1Char('-') + QString::fromLatin1(digest.left(8));
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
    case FileDownloader::SizeLimitExceeded:
        return DownloadablePackageItem::FileExtractionError;
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
    if (m_holdsPackage) {
        QFile::remove(m_zipFilePath);
        if (m_recordWritten && !QFileInfo::exists(m_folderPath))
            QFile::remove(sourceRecordPath(m_folderPath));
    }
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
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") ||
        name.contains(QChar(0)))
        return QString();
    QString folder = cacheLocation;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder + QStringLiteral("_packages/") + name;
}

QString DownloadablePackageItem::sourceRecordPath(const QString& folder)
{
    const QFileInfo info(folder);
    return info.path() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".source");
}

QString DownloadablePackageItem::claimedFolderPath(const QString& folder, const QUrl& source)
{
    QFile record(sourceRecordPath(folder));
    if (!record.exists() || (record.open(QIODevice::ReadOnly) && record.readAll() == sourceKey(source)))
        return folder;
    return folderOfItsOwn(folder, source);
}

QString DownloadablePackageItem::requestUrl(const QUrl& source, const QString& secret,
                                            const QString& identifier, qint64 timestamp)
{
    const QString url = QString::fromUtf8(source.toEncoded());
    if (secret.isEmpty())
        return url;
    const QString stamp = QString::number(timestamp);
    const QByteArray token =
        QCryptographicHash::hash((identifier + QLatin1Char(':') + secret + QLatin1Char(':') + stamp).toUtf8(),
                                 QCryptographicHash::Sha1)
            .toHex();
    return url + QStringLiteral("?token=") + QString::fromLatin1(token) + QStringLiteral("&timestamp=") +
           stamp;
}

namespace {

// Past 2^62 bytes no archive can tell the difference.
constexpr qint64 kLargestLimit = qint64(1) << 62;

qint64 limitInBytes(double limit)
{
    return limit < 4.6e18 ? qint64(limit) : kLargestLimit;
}

} // namespace

void DownloadablePackageItem::setExtractionSizeLimit(double limit)
{
    if (!(limit >= 1.0)) {
        qWarning("DownloadablePackageItem: WARNING: the extraction size limit must be at least 1 byte, it "
                 "stays %lld",
                 static_cast<long long>(m_extractionSizeLimit));
        return;
    }
    const qint64 bytes = limitInBytes(limit);
    if (m_extractionSizeLimit == bytes)
        return;
    m_extractionSizeLimit = bytes;
    emit extractionSizeLimitChanged();
    if (m_downloadSizeLimit == 0)
        emit downloadSizeLimitChanged();
}

qint64 DownloadablePackageItem::downloadSizeLimit() const
{
    if (m_downloadSizeLimit > 0)
        return m_downloadSizeLimit;
    // An archive that stores its entries uncompressed is their size plus its headers.
    const qint64 headers = m_extractionSizeLimit / 8 + (qint64(1) << 20);
    return m_extractionSizeLimit < kLargestLimit - headers ? m_extractionSizeLimit + headers : kLargestLimit;
}

void DownloadablePackageItem::setDownloadSizeLimit(double limit)
{
    if (!(limit >= 1.0)) {
        qWarning("DownloadablePackageItem: WARNING: the download size limit must be at least 1 byte, it "
                 "stays %lld",
                 static_cast<long long>(downloadSizeLimit()));
        return;
    }
    const qint64 bytes = limitInBytes(limit);
    const bool changed = bytes != downloadSizeLimit();
    m_downloadSizeLimit = bytes;
    if (changed)
        emit downloadSizeLimitChanged();
}

void DownloadablePackageItem::componentComplete()
{
    QQuickItem::componentComplete();
    if (m_folderPath.isEmpty() && !m_source.isEmpty()) {
        const QString folder =
            packageFolderPath(ZanthFileUtils::storageLocation(ZanthFileUtils::CacheLocation), m_source);
        if (folder.isEmpty())
            qWarning().noquote() << "DownloadablePackageItem: WARNING: the source"
                                 << m_source.toString(QUrl::RemoveQuery) << "names no package folder";
        else
            m_folderPath = claimedFolderPath(folder, m_source);
    }
    if (m_folderPath.isEmpty())
        return;
    if (!packagesInUse().contains(m_folderPath))
        removeLeftovers();
    if (QFileInfo(m_folderPath).isDir()) {
        // A folder unpacked before records were kept belongs to the first source that finds it.
        recordClaim();
        registerFolder();
        setStatus(Available);
        setAvailable(true);
    }
}

void DownloadablePackageItem::removeLeftovers()
{
    // A program killed while downloading or unpacking leaves these; neither is ever used again.
    const QString extraction = PackageExtractor::temporaryFolderPath(m_folderPath);
    if (QFileInfo::exists(extraction)) {
        qWarning().noquote() << "DownloadablePackageItem: WARNING: removing the unfinished extraction"
                             << extraction;
        ZanthFileUtils::removeDir(extraction);
    }
    const QString archive = zipFilePath();
    if (QFileInfo::exists(archive)) {
        qWarning().noquote() << "DownloadablePackageItem: WARNING: removing the unfinished download"
                             << archive;
        QFile::remove(archive);
    }
}

void DownloadablePackageItem::chooseFolder()
{
    QString folder = claimedFolderPath(m_folderPath, m_source);
    const auto user = packagesInUse().constFind(folder);
    if (folder == m_folderPath && user != packagesInUse().constEnd() && user.value() != sourceKey(m_source))
        folder = folderOfItsOwn(folder, m_source);
    if (folder != m_folderPath) {
        m_folderPath = folder;
        emit storagePathChanged();
    }
}

bool DownloadablePackageItem::recordClaim(bool* written)
{
    if (written)
        *written = false;
    const QString path = sourceRecordPath(m_folderPath);
    if (QFileInfo::exists(path))
        return true;
    QSaveFile record(path);
    if (!record.open(QIODevice::WriteOnly) || record.write(sourceKey(m_source)) < 0 || !record.commit()) {
        qWarning().noquote() << "DownloadablePackageItem: WARNING: the package folder" << m_folderPath
                             << "could not be claimed for its source:" << record.errorString();
        return false;
    }
    if (written)
        *written = true;
    return true;
}

void DownloadablePackageItem::download()
{
    if (m_status != UnAvailable || m_source.isEmpty())
        return;
    if (!m_folderPath.isEmpty())
        chooseFolder();
    if (m_folderPath.isEmpty() || packagesInUse().contains(m_folderPath)) {
        qWarning().noquote() << "DownloadablePackageItem: ERROR: no package folder to download"
                             << m_source.toString(QUrl::RemoveQuery) << "into";
        emit downloadFinished(FilePathError);
        return;
    }
    packagesInUse().insert(m_folderPath, sourceKey(m_source));
    m_holdsPackage = true;
    m_zipFilePath = zipFilePath();
    if (QFile::exists(m_zipFilePath))
        QFile::remove(m_zipFilePath);

    const QString url =
        requestUrl(m_source, m_secret, System::getConfigValue(QStringLiteral("identifier")).toString(),
                   QDateTime::currentSecsSinceEpoch());
    if (m_downloader)
        m_downloader->deleteLater();
    m_downloader = new FileDownloader(url, m_zipFilePath, this);
    m_downloader->setSizeLimit(downloadSizeLimit());
    connect(m_downloader, &FileDownloader::downloadFinished, this,
            &DownloadablePackageItem::transferFinished);
    connect(m_downloader, &FileDownloader::downloadProgress, this,
            &DownloadablePackageItem::transferProgress);

    emit downloadStarted();
    setStatus(Downloading);
    m_downloader->download();
}

QString DownloadablePackageItem::zipFilePath() const
{
    // Always beside the folder, never at its path (a source named "x.zip.zip" has the folder "x.zip").
    return m_folderPath + QStringLiteral(".zip");
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
    // The folder is claimed before it is put in place, so that it never stands there without its owner
    // (which the first item of any source with that archive name would then take).
    if (!recordClaim(&m_recordWritten)) {
        QFile::remove(m_zipFilePath);
        releasePackage();
        setStatus(UnAvailable);
        setAvailable(false);
        emit downloadFinished(FilePathError);
        return;
    }
    setStatus(Extracting);
    // The worker gets copies and reports through queued calls. The destructor waits for the worker, and
    // calls queued to an object are dropped when it is destroyed, so none reaches a deleted item.
    PackageExtractor extractor(m_zipFilePath, m_folderPath, m_extractionCancelled, m_extractionSizeLimit);
    m_extraction = QtConcurrent::run(QThreadPool::globalInstance(), [this, extractor]() mutable {
        const bool success = extractor.extract([this](int percent) {
            QMetaObject::invokeMethod(
                this, [this, percent] { emit extractionProgessChanged(percent); }, Qt::QueuedConnection);
        });
        // Every handler of extractFinished runs before the status and availability change.
        QMetaObject::invokeMethod(
            this,
            [this, success] {
                emit extractFinished(success);
                fileExtractFinished(success);
            },
            Qt::QueuedConnection);
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
    if (m_recordWritten)
        QFile::remove(sourceRecordPath(m_folderPath));
    setStatus(UnAvailable);
    setAvailable(false);
    emit downloadFinished(FileExtractionError);
}

bool DownloadablePackageItem::registerFolder()
{
    QQmlContext* context = qmlContext(this);
    QObject* property =
        context && context->engine()
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
