#include "filedownloader.h"

#include <QDir>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QSslConfiguration>

namespace {

int httpStatus(QNetworkReply* reply)
{
    return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

// The URL without its query, which holds the request's token.
QString shownUrl(const QUrl& url)
{
    return url.toString(QUrl::RemoveQuery | QUrl::RemoveUserInfo);
}

} // namespace

FileDownloader::FileDownloader(const QString& url, const QString& filePath, QObject* parent)
    : QObject(parent), m_url(url), m_filePath(filePath), m_manager(new QNetworkAccessManager(this))
{
    m_manager->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    m_manager->setTransferTimeout(kTransferTimeoutMs);
    connect(m_manager, &QNetworkAccessManager::finished, this, &FileDownloader::fileDownloaded);
}

FileDownloader::~FileDownloader()
{
    m_manager->disconnect(this);
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
    }
    if (m_file) {
        m_file->close();
        m_file->remove();
    }
}

void FileDownloader::download()
{
    if (m_reply || m_file)
        return;
    if (QFile::exists(m_filePath)) {
        qWarning().noquote() << "FileDownloader: ERROR: the file" << m_filePath << "already exists";
        emit downloadFinished(FilePathFailure);
        return;
    }
    const QString folder = m_filePath.left(m_filePath.lastIndexOf(QLatin1Char('/')));
    if (!folder.isEmpty() && !QDir().mkpath(folder)) {
        qWarning().noquote() << "FileDownloader: ERROR: the folder" << folder << "could not be made";
        emit downloadFinished(FilePathFailure);
        return;
    }
    auto file = std::make_unique<QFile>(m_filePath);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        qWarning().noquote() << "FileDownloader: ERROR: the file" << m_filePath
                             << "could not be opened:" << file->errorString();
        emit downloadFinished(FilePathFailure);
        return;
    }
    m_file = std::move(file);
    sendRequest(QUrl::fromEncoded(m_url.toLocal8Bit()));
}

void FileDownloader::cancelDownload()
{
    if (!m_reply)
        return;
    m_cancelled = true;
    m_reply->abort();
}

void FileDownloader::sendRequest(const QUrl& url)
{
    QNetworkRequest request(url);
    request.setSslConfiguration(QSslConfiguration::defaultConfiguration());
    m_tlsFailure.clear();
    m_pageBytes = 0;
    m_pageCutOff = false;
    m_reply = m_manager->get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, &FileDownloader::replyReadyRead);
    connect(m_reply, &QNetworkReply::downloadProgress, this, &FileDownloader::replyDownloadProgress);
    connect(m_reply, &QNetworkReply::sslErrors, this, &FileDownloader::sslErrors);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &FileDownloader::replyMetaDataChanged);
}

bool FileDownloader::isFinalAnswer(QNetworkReply* reply)
{
    // Schemes other than HTTP (a file: source) have no status: their content is the answer.
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    return !status.isValid() || (status.toInt() >= 200 && status.toInt() < 300);
}

void FileDownloader::replyMetaDataChanged()
{
    auto* reply = qobject_cast<QNetworkReply*>(sender());
    if (!reply || reply != m_reply || m_sizeLimit <= 0 || !m_refusal.isEmpty() || !isFinalAnswer(reply))
        return;
    // A body that says it is too large is refused before any byte of it is written.
    bool known = false;
    const qint64 length = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&known);
    if (known && length > m_sizeLimit)
        refuseBody(reply, QStringLiteral("its Content-Length of %1 bytes").arg(length));
}

void FileDownloader::replyReadyRead()
{
    auto* reply = qobject_cast<QNetworkReply*>(sender());
    if (!reply || reply != m_reply)
        return;
    // The bodies of redirects and error pages are read and dropped: only the archive is stored. Such a
    // page that never ends would keep the transfer going for good: past the size limit it is cut off.
    const QByteArray data = reply->readAll();
    if (!isFinalAnswer(reply)) {
        m_pageBytes += data.size();
        if (m_sizeLimit > 0 && m_pageBytes > m_sizeLimit && !m_pageCutOff) {
            m_pageCutOff = true;
            reply->abort();
        }
        return;
    }
    if (!m_file || m_writeFailed || !m_refusal.isEmpty())
        return;
    // An endless body, or one longer than it said, stops at the limit.
    m_bodyBytes += data.size();
    if (m_sizeLimit > 0 && m_bodyBytes > m_sizeLimit)
        return refuseBody(reply, QStringLiteral("more than %1 received bytes").arg(m_sizeLimit));
    if (m_file->write(data) != data.size())
        m_writeFailed = true;
}

void FileDownloader::refuseBody(QNetworkReply* reply, const QString& reason)
{
    m_refusal = reason;
    reply->abort();
}

void FileDownloader::replyDownloadProgress(qint64 bytesReceived, qint64 bytesTotal)
{
    auto* reply = qobject_cast<QNetworkReply*>(sender());
    if (reply && reply == m_reply && isFinalAnswer(reply))
        emit downloadProgress(bytesReceived, bytesTotal);
}

void FileDownloader::sslErrors(const QList<QSslError>& errors)
{
    // Packages carry code the engine runs: an unverified peer fails the transfer.
    if (!errors.isEmpty())
        m_tlsFailure = errors.first().errorString();
}

void FileDownloader::fileDownloaded(QNetworkReply* reply)
{
    if (reply != m_reply) {
        reply->deleteLater();
        return;
    }
    const QUrl target = reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
    if (!m_cancelled && reply->error() == QNetworkReply::NoError && !target.isEmpty()) {
        const QUrl next = reply->url().resolved(target);
        // A redirect to the target just followed ends the chain: this answer counts as the final one.
        if (next != m_lastRedirectUrl) {
            if (m_redirects >= kMaxRedirects)
                return finish(reply, NetworkFailure,
                              QStringLiteral("more than %1 redirects").arg(kMaxRedirects));
            const QString scheme = next.scheme();
            if ((scheme != QLatin1String("http") && scheme != QLatin1String("https")) ||
                (reply->url().scheme() == QLatin1String("https") && scheme != QLatin1String("https")))
                return finish(reply, NetworkFailure, QStringLiteral("refused redirect to ") + shownUrl(next));
            ++m_redirects;
            m_lastRedirectUrl = next;
            reply->deleteLater();
            sendRequest(next);
            return;
        }
    }
    m_lastRedirectUrl.clear();
    if (m_cancelled)
        return finish(reply, Cancelled);
    if (!m_refusal.isEmpty())
        return finish(reply, SizeLimitExceeded,
                      QStringLiteral("the body passes the size limit of %1 bytes (%2)")
                          .arg(m_sizeLimit)
                          .arg(m_refusal));
    if (reply->error() == QNetworkReply::NoError && isFinalAnswer(reply)) {
        if (m_writeFailed || !m_file->flush())
            return finish(reply, FilePathFailure,
                          QStringLiteral("writing ") + m_filePath + QStringLiteral(" failed"));
        return finish(reply, Success);
    }
    const int status = httpStatus(reply);
    const bool unauthorized = status == 401 || status == 403 ||
                              reply->error() == QNetworkReply::ContentAccessDenied ||
                              reply->error() == QNetworkReply::AuthenticationRequiredError;
    // An HTTP error says enough; any other failure (a body cut short after a 200) is the network's own.
    QString failure = status >= 300 ? QStringLiteral("HTTP %1").arg(status) : reply->errorString();
    if (status > 0 && status < 300)
        failure += QStringLiteral(" (HTTP %1)").arg(status);
    if (!m_tlsFailure.isEmpty())
        failure += QStringLiteral(" (") + m_tlsFailure + QLatin1Char(')');
    if (m_pageCutOff)
        failure += QStringLiteral(" (its page was cut off past the size limit of %1 bytes)").arg(m_sizeLimit);
    finish(reply, unauthorized ? Unauthorized : NetworkFailure, failure);
}

void FileDownloader::finish(QNetworkReply* reply, DownloadStatus status, const QString& failure)
{
    if (!failure.isEmpty())
        qWarning().noquote() << "FileDownloader: ERROR: downloading" << shownUrl(reply->url())
                             << "failed:" << failure;
    m_file->close();
    if (status != Success)
        m_file->remove();
    m_file.reset();
    m_reply = nullptr;
    reply->deleteLater();
    emit downloadFinished(status);
}
