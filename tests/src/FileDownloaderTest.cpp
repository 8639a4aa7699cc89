#include <gtest/gtest.h>

#include "FixtureDir.h"
#include "LoopbackHttpServer.h"
#include "MessageLog.h"
#include "TestCertificateAuthority.h"
#include "filedownloader.h"

#include <QCoreApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <optional>

namespace {

QString path(const FixtureDir& dir)
{
    return QString::fromStdString(dir.path("sub/folder/pkg.zip"));
}

// Runs one transfer to its end and gives its status and the file it left (empty when it left none).
struct Transfer
{
    std::optional<FileDownloader::DownloadStatus> status;
    QByteArray file;
    bool fileExists = false;
};

// cancelAfterMs >= 0 cancels the transfer that long after it started.
Transfer fetch(const QString& url, const QString& filePath, int cancelAfterMs = -1, qint64 sizeLimit = 0)
{
    FileDownloader downloader(url, filePath, nullptr);
    downloader.setSizeLimit(sizeLimit);
    Transfer result;
    QObject::connect(&downloader, &FileDownloader::downloadFinished,
                     [&result](FileDownloader::DownloadStatus status) { result.status = status; });
    if (cancelAfterMs >= 0)
        QTimer::singleShot(cancelAfterMs, &downloader, &FileDownloader::cancelDownload);
    QSignalSpy finished(&downloader, &FileDownloader::downloadFinished);
    downloader.download();
    if (finished.isEmpty())
        finished.wait(20000);
    QFile file(filePath);
    result.fileExists = file.exists();
    if (file.open(QIODevice::ReadOnly))
        result.file = file.readAll();
    return result;
}

// Writes one raw answer to every connection on 127.0.0.1: a head and a body, then closes the connection
// (so a body shorter than its Content-Length is cut short), or, endless, writes more of the body every
// few milliseconds until the client goes away.
class RawAnswerServer
{
public:
    RawAnswerServer(const QByteArray& head, const QByteArray& body, bool endless = false)
    {
        QObject::connect(&m_server, &QTcpServer::pendingConnectionAvailable, [this, head, body, endless] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                socket->setParent(&m_server);
                socket->write(head + body);
                written += body.size();
                if (!endless) {
                    socket->disconnectFromHost();
                    continue;
                }
                auto* more = new QTimer(socket);
                QObject::connect(more, &QTimer::timeout, [this, socket, body] {
                    if (socket->state() == QAbstractSocket::ConnectedState &&
                        socket->bytesToWrite() < body.size()) {
                        socket->write(body);
                        written += body.size();
                    }
                });
                more->start(2);
            }
        });
        m_server.listen(QHostAddress::LocalHost);
    }
    QString url(const QString& path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
    }

    qint64 written = 0;

private:
    QTcpServer m_server;
};

LoopbackAnswer redirectTo(const QByteArray& location, const QByteArray& body = "redirect page")
{
    return LoopbackAnswer{302, body, {{"Location", location}}, false};
}

TEST(FileDownloaderRedirects, relativeRedirectStoresOnlyTheFinalBody)
{
    LoopbackHttpServer server;
    FixtureDir dir;
    server.answer("/pkgs/world2.zip", redirectTo("mirror/world2.zip"));
    server.answer("/pkgs/mirror/world2.zip", LoopbackAnswer{200, "PK archive bytes", {}, false});
    const Transfer transfer = fetch(server.baseUrl() + "/pkgs/world2.zip", path(dir));
    EXPECT_EQ(transfer.status, FileDownloader::Success);
    EXPECT_EQ(transfer.file, QByteArray("PK archive bytes"));
    EXPECT_EQ(server.requests(), (QList<QByteArray>{"/pkgs/world2.zip", "/pkgs/mirror/world2.zip"}));
}

TEST(FileDownloaderRedirects, loopFailsWithinElevenRequests)
{
    LoopbackHttpServer server;
    FixtureDir dir;
    server.answer("/a", redirectTo("/b"));
    server.answer("/b", redirectTo("/a"));
    MessageLog log;
    const Transfer transfer = fetch(server.baseUrl() + "/a", path(dir));
    EXPECT_EQ(transfer.status, FileDownloader::NetworkFailure);
    EXPECT_FALSE(transfer.fileExists);
    EXPECT_EQ(server.requests().size(), 11);
    EXPECT_EQ(log.lines().size(), 1) << log.lines().join('\n').toStdString();
}

TEST(FileDownloaderRedirects, redirectToTheTargetJustFollowedEndsTheChainAsAFailure)
{
    LoopbackHttpServer server;
    FixtureDir dir;
    server.answer("/self", redirectTo("/self"));
    const Transfer transfer = fetch(server.baseUrl() + "/self", path(dir));
    EXPECT_EQ(transfer.status, FileDownloader::NetworkFailure);
    EXPECT_FALSE(transfer.fileExists);
    EXPECT_EQ(server.requests().size(), 2);
}

TEST(FileDownloaderRedirects, neverLeavesHttpsOrHttp)
{
    TestCertificateAuthority authority;
    ASSERT_TRUE(authority.isValid());
    authority.trust();
    LoopbackHttpServer secure(authority.serverCertificate(), authority.serverKey());
    LoopbackHttpServer plain;
    FixtureDir dir;
    secure.answer("/down", redirectTo((plain.baseUrl() + "/pkg.zip").toUtf8()));
    secure.answer("/local", redirectTo("file:///etc/hostname"));
    plain.answer("/pkg.zip", LoopbackAnswer{200, "PK", {}, false});
    EXPECT_EQ(fetch(secure.baseUrl() + "/down", path(dir)).status, FileDownloader::NetworkFailure);
    EXPECT_EQ(fetch(secure.baseUrl() + "/local", path(dir)).status, FileDownloader::NetworkFailure);
    EXPECT_TRUE(plain.requests().isEmpty());
    EXPECT_FALSE(QFile::exists(path(dir)));
}

TEST(FileDownloaderStatus, httpErrorsMapToUnauthorizedOrNetworkFailureAndDeleteTheFile)
{
    LoopbackHttpServer server;
    FixtureDir dir;
    const QList<QPair<int, FileDownloader::DownloadStatus>> cases{{401, FileDownloader::Unauthorized},
                                                                  {403, FileDownloader::Unauthorized},
                                                                  {404, FileDownloader::NetworkFailure},
                                                                  {500, FileDownloader::NetworkFailure}};
    for (const auto& [code, expected] : cases) {
        server.answer("/pkg.zip", LoopbackAnswer{code, "<html>error page</html>", {}, false});
        const Transfer transfer = fetch(server.baseUrl() + "/pkg.zip", path(dir));
        EXPECT_EQ(transfer.status, expected) << code;
        EXPECT_FALSE(transfer.fileExists) << code;
    }
}

TEST(FileDownloaderStatus, closedPortIsANetworkFailure)
{
    FixtureDir dir;
    quint16 port = 0;
    {
        LoopbackHttpServer gone;
        port = QUrl(gone.baseUrl()).port();
    }
    const Transfer transfer = fetch(QStringLiteral("http://127.0.0.1:%1/pkg.zip").arg(port), path(dir));
    EXPECT_EQ(transfer.status, FileDownloader::NetworkFailure);
    EXPECT_FALSE(transfer.fileExists);
}

TEST(FileDownloaderStatus, existingTargetFailsBeforeDownloadReturns)
{
    FixtureDir dir;
    dir.write("sub/folder/pkg.zip", "earlier");
    FileDownloader downloader(QStringLiteral("http://127.0.0.1:1/pkg.zip"), path(dir), nullptr);
    QSignalSpy finished(&downloader, &FileDownloader::downloadFinished);
    downloader.download();
    ASSERT_EQ(finished.size(), 1);
    EXPECT_EQ(finished.at(0).at(0).value<FileDownloader::DownloadStatus>(), FileDownloader::FilePathFailure);
    EXPECT_EQ(dir.read("sub/folder/pkg.zip"), "earlier");
}

TEST(FileDownloaderStatus, cancellingAStalledTransferDeletesThePartialFile)
{
    LoopbackHttpServer server;
    FixtureDir dir;
    server.answer("/slow.zip", LoopbackAnswer{200, QByteArray(64 * 1024, 'z'), {}, true});
    const Transfer transfer = fetch(server.baseUrl() + "/slow.zip", path(dir), 300);
    EXPECT_EQ(transfer.status, FileDownloader::Cancelled);
    EXPECT_FALSE(transfer.fileExists);
}

// The body is refused as soon as its Content-Length, or the bytes received so far, pass the limit: no
// endless answer fills the disk, and the partial file goes.
TEST(FileDownloaderSizeLimit, bodyPastTheLimitIsRefusedByItsLengthOrItsBytesAndLeavesNoFile)
{
    LoopbackHttpServer server;
    FixtureDir dir;
    server.answer("/big.zip", LoopbackAnswer{200, QByteArray(200000, 'z'), {}, false});
    server.answer("/fits.zip", LoopbackAnswer{200, QByteArray(100000, 'f'), {}, false});
    MessageLog log;
    Transfer transfer = fetch(server.baseUrl() + "/big.zip", path(dir), -1, 100000);
    EXPECT_EQ(transfer.status, FileDownloader::SizeLimitExceeded);
    EXPECT_FALSE(transfer.fileExists);
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(
        log.lines().first().contains("size limit of 100000 bytes (its Content-Length of 200000 bytes)"))
        << log.lines().first().toStdString();

    RawAnswerServer endless("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n", QByteArray(16384, 'e'), true);
    transfer = fetch(endless.url("/endless.zip"), path(dir), -1, 100000);
    EXPECT_EQ(transfer.status, FileDownloader::SizeLimitExceeded);
    EXPECT_FALSE(transfer.fileExists);
    EXPECT_TRUE(log.lines().last().contains("(more than 100000 received bytes)"))
        << log.lines().last().toStdString();

    transfer = fetch(server.baseUrl() + "/fits.zip", path(dir), -1, 100000);
    EXPECT_EQ(transfer.status, FileDownloader::Success);
    EXPECT_EQ(transfer.file.size(), 100000);
}

// The page of an error or a redirect is dropped, but one that never ends is cut off at the size limit:
// the transfer fails instead of running for good.
TEST(FileDownloaderSizeLimit, endlessPageOfAnErrorOrARedirectIsCutOffAtTheLimit)
{
    FixtureDir dir;
    const QList<QPair<QByteArray, QString>> cases{
        {"HTTP/1.1 500 Internal Server Error\r\nConnection: close\r\n\r\n", "HTTP 500"},
        {"HTTP/1.1 302 Found\r\nLocation: /elsewhere.zip\r\nConnection: close\r\n\r\n", "HTTP 302"}};
    for (const auto& [head, failure] : cases) {
        RawAnswerServer endless(head, QByteArray(16384, 'p'), true);
        MessageLog log;
        const Transfer transfer = fetch(endless.url("/pkg.zip"), path(dir), -1, 100000);
        EXPECT_EQ(transfer.status, FileDownloader::NetworkFailure) << failure.toStdString();
        EXPECT_FALSE(transfer.fileExists);
        EXPECT_LT(endless.written, 10000000);
        ASSERT_FALSE(log.lines().isEmpty());
        EXPECT_TRUE(log.lines().last().endsWith(
            "failed: " + failure + " (its page was cut off past the size limit of 100000 bytes)"))
            << log.lines().last().toStdString();
    }
}

// A 200 whose body stops short is a network failure whose line says what the network said, not only
// the status.
TEST(FileDownloaderStatus, bodyCutShortIsANetworkFailureThatKeepsTheNetworksReason)
{
    RawAnswerServer server("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n", QByteArray(1000, 'c'));
    FixtureDir dir;
    MessageLog log;
    const Transfer transfer = fetch(server.url("/cut.zip"), path(dir));
    EXPECT_EQ(transfer.status, FileDownloader::NetworkFailure);
    EXPECT_FALSE(transfer.fileExists);
    ASSERT_EQ(log.lines().size(), 1);
    const QString line = log.lines().first();
    EXPECT_TRUE(line.endsWith("failed: Connection closed (HTTP 200)")) << line.toStdString();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
