#pragma once

#include <QFile>
#include <QList>
#include <QNetworkReply>
#include <QObject>
#include <QSslError>
#include <QString>
#include <QUrl>

#include <memory>

class QNetworkAccessManager;

// Writes what one URL answers into one file. Only the body of a final 2xx answer is stored: redirects
// are followed here (relative targets resolved against the answering URL, at most kMaxRedirects hops,
// never from https to anything else), certificates are verified, a transfer that stays silent for
// kTransferTimeoutMs fails, and a body past the size limit is refused as soon as its Content-Length or
// its received bytes tell. Every failure deletes the partial file.
class FileDownloader : public QObject
{
    Q_OBJECT

public:
    enum DownloadStatus
    {
        Success = 0,
        NetworkFailure = 1,
        Unauthorized = 2,
        FilePathFailure = 3,
        Cancelled = 4,
        SizeLimitExceeded = 5
    };
    Q_ENUM(DownloadStatus)

    static constexpr int kMaxRedirects = 10;
    static constexpr int kTransferTimeoutMs = 30000;

    // url is already-encoded text; filePath is the file to write, which must not exist yet.
    FileDownloader(const QString& url, const QString& filePath, QObject* parent);
    // A transfer still running is aborted and its partial file deleted.
    ~FileDownloader() override;

    // Starts the transfer; downloadFinished follows, at once (before returning) when the file can't be made.
    void download();
    // Aborts a running transfer, which then finishes with Cancelled; without one it does nothing.
    void cancelDownload();
    // The most bytes the body may have, and the page of a redirect or an error, in bytes; 0 (the default)
    // sets no limit. Set before download().
    void setSizeLimit(qint64 bytes) { m_sizeLimit = bytes; }

signals:
    void downloadFinished(FileDownloader::DownloadStatus status);
    // Progress of the final answer's body only; bytesTotal is -1 while unknown.
    void downloadProgress(qint64 bytesReceived, qint64 bytesTotal);

private slots:
    void fileDownloaded(QNetworkReply* reply);
    void replyReadyRead();
    void sslErrors(const QList<QSslError>& errors);
    void replyDownloadProgress(qint64 bytesReceived, qint64 bytesTotal);
    void replyMetaDataChanged();

private:
    void sendRequest(const QUrl& url);
    // Closes the file (deleting it unless status is Success) and reports status.
    void finish(QNetworkReply* reply, DownloadStatus status, const QString& failure = QString());
    static bool isFinalAnswer(QNetworkReply* reply);
    // Aborts the transfer of a body past the size limit; it then finishes with SizeLimitExceeded.
    void refuseBody(QNetworkReply* reply, const QString& reason);

    QString m_url;
    QString m_filePath;
    QNetworkAccessManager* m_manager;
    QNetworkReply* m_reply = nullptr;
    std::unique_ptr<QFile> m_file;
    bool m_cancelled = false;
    bool m_writeFailed = false;
    qint64 m_sizeLimit = 0;
    qint64 m_bodyBytes = 0;
    // The dropped page of the answer under way (a redirect's, an error's), and whether it was cut off.
    qint64 m_pageBytes = 0;
    bool m_pageCutOff = false;
    QString m_refusal;
    int m_redirects = 0;
    QUrl m_lastRedirectUrl;
    QString m_tlsFailure;
};
