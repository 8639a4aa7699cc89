#pragma once

#include "filedownloader.h"

#include <QFuture>
#include <QPointer>
#include <QQuickItem>
#include <QString>
#include <QUrl>

#include <atomic>
#include <memory>

// A content package fetched as a zip archive from a package server, unpacked into a folder of its own
// below the cache location and added to fileUtils' search paths, so that QML finds its files by their
// plain names. A package unpacked earlier is available as soon as the item is complete. The archive is
// unpacked on a thread of the global pool; the item's signals are all emitted on its own thread.
//
// What a killed program leaves behind (a partial archive, a half-extracted folder) is removed when the
// next item for that package completes; only a fully extracted folder counts as installed. The folder
// of a package is claimed for its source by a record beside it (".<name>.source"), written before the
// folder is put in place: a package from another address whose archive has the same file name goes to
// "<name>-<8 hex digits of its source's SHA-1>".
class DownloadablePackageItem : public QQuickItem
{
    Q_OBJECT
    Q_PROPERTY(QUrl source READ source WRITE setSource NOTIFY sourceChanged)
    Q_PROPERTY(QString secret READ secret WRITE setSecret NOTIFY secretChanged)
    Q_PROPERTY(QUrl storagePath READ storagePath NOTIFY storagePathChanged)
    Q_PROPERTY(bool available READ available NOTIFY availableChanged)
    Q_PROPERTY(Status status READ status NOTIFY statusChanged)
    // The most bytes an archive may unpack to, all entries together (a real number: QML has no 64-bit
    // integers).
    Q_PROPERTY(double extractionSizeLimit READ extractionSizeLimitProperty WRITE setExtractionSizeLimit NOTIFY
                   extractionSizeLimitChanged)
    // The most bytes the archive itself may have, refused by its Content-Length or as its bytes arrive
    // (FileExtractionError, as an archive past extractionSizeLimit). Until it is set it follows
    // extractionSizeLimit, with an eighth and 1 MiB more for the archive's own headers.
    Q_PROPERTY(double downloadSizeLimit READ downloadSizeLimitProperty WRITE setDownloadSizeLimit NOTIFY
                   downloadSizeLimitChanged)

public:
    enum Status
    {
        UnAvailable = 0,
        Available = 1,
        Downloading = 2,
        Extracting = 3
    };
    Q_ENUM(Status)
    enum DownloadError
    {
        NoError = 0,
        NetworkError = 1,
        UnauthorizedError = 2,
        FilePathError = 3,
        FileExtractionError = 4,
        CancelledError = 5,
        UnknownError = 6
    };
    Q_ENUM(DownloadError)

    static constexpr qint64 kDefaultExtractionSizeLimit = qint64(1) << 30;

    explicit DownloadablePackageItem(QQuickItem* parent = nullptr);
    // Cancels a running transfer or extraction and waits for the extraction to stop.
    ~DownloadablePackageItem() override;

    QUrl source() const { return m_source; }
    void setSource(const QUrl& source);
    QString secret() const { return m_secret; }
    void setSecret(const QString& secret);
    // A file URL of the package folder; empty until completion, and when source names no usable folder.
    QUrl storagePath() const;
    bool available() const { return m_available; }
    Status status() const { return m_status; }
    qint64 extractionSizeLimit() const { return m_extractionSizeLimit; }
    double extractionSizeLimitProperty() const { return double(m_extractionSizeLimit); }
    // A limit below 1 byte, or not a number, is refused with a warning; a fraction is cut off.
    void setExtractionSizeLimit(double limit);
    qint64 downloadSizeLimit() const;
    double downloadSizeLimitProperty() const { return double(downloadSizeLimit()); }
    // As setExtractionSizeLimit; once set, the limit no longer follows extractionSizeLimit.
    void setDownloadSizeLimit(double limit);

    // cacheLocation + "_packages/" + the file name of source's path without a final ".zip"; empty text
    // when that name is "", "." or "..", which would stand for the cache itself.
    static QString packageFolderPath(const QString& cacheLocation, const QUrl& source);
    // The folder a package of source takes: folder, unless the record beside it names another source; then
    // the folder + "-" + 8 hexadecimal digits of the SHA-1 of source.
    static QString claimedFolderPath(const QString& folder, const QUrl& source);
    // The record of the source that claimed a package folder.
    static QString sourceRecordPath(const QString& folder);
    // The signed request: source, then "?token=" + SHA-1 hex of "identifier:secret:timestamp" and
    // "&timestamp=" + timestamp (seconds since 1970, UTC); source alone when secret is empty.
    static QString requestUrl(const QUrl& source, const QString& secret, const QString& identifier,
                              qint64 timestamp);

public slots:
    // Only while UnAvailable and with a source.
    void download();
    // Only while Downloading; the transfer then finishes with CancelledError.
    void cancelDownload();
    // Only while available: deletes the package folder. The search path stays registered.
    void remove();

signals:
    void sourceChanged();
    void secretChanged();
    void storagePathChanged();
    void availableChanged();
    void statusChanged();
    void downloadStarted();
    void downloadProgressChanged(int progress);
    void extractionProgessChanged(int progress);
    void downloadFinished(DownloadablePackageItem::DownloadError error);
    void extractFinished(bool success);
    void extractionSizeLimitChanged();
    void downloadSizeLimitChanged();

protected:
    void componentComplete() override;

private slots:
    void transferFinished(FileDownloader::DownloadStatus status);
    void transferProgress(qint64 bytesReceived, qint64 bytesTotal);
    void fileExtractFinished(bool success);

private:
    void setStatus(Status status);
    void setAvailable(bool available);
    void startExtraction();
    bool registerFolder();
    QString zipFilePath() const;
    void releasePackage();
    void removeLeftovers();
    // Moves to a folder of this source's own when another source claimed or is filling the folder.
    void chooseFolder();
    // Records this source as the owner of the folder unless a record is there; false when it can't be
    // written. written tells whether this call wrote it.
    bool recordClaim(bool* written = nullptr);

    QUrl m_source;
    QString m_secret;
    QString m_folderPath;
    QString m_zipFilePath;
    bool m_available = false;
    Status m_status = UnAvailable;
    int m_lastDownloadPercent = -1;
    qint64 m_extractionSizeLimit = kDefaultExtractionSizeLimit;
    // 0 while it follows the extraction size limit.
    qint64 m_downloadSizeLimit = 0;
    // The record of the folder's source was written for the download under way.
    bool m_recordWritten = false;
    bool m_holdsPackage = false;
    QPointer<FileDownloader> m_downloader;
    QFuture<void> m_extraction;
    std::shared_ptr<std::atomic_bool> m_extractionCancelled;
};
