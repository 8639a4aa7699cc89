#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QSslConfiguration>
#include <QSslServer>
#include <QSslSocket>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <functional>
#include <memory>

// One answer of the loopback server. A stalled answer sends its headers and half its body, then holds
// the connection open until the server is destroyed. A delayed answer is written after delayMs.
struct LoopbackAnswer
{
    int status = 200;
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;
    bool stall = false;
    int delayMs = 0;
};

// An HTTP/1.1 server on 127.0.0.1 for tests, plain or (given a certificate and key) over TLS. It answers
// each GET by its path (the query left out) from the routes set with answer(), 404 otherwise, and logs
// every request target (path and query) in the order the requests arrived.
class LoopbackHttpServer : public QObject
{
public:
    // Port 0 takes a free port; a given port lets a test close its server and open it again.
    explicit LoopbackHttpServer(quint16 port = 0) { listenOn(m_plain, port); }
    LoopbackHttpServer(const QSslCertificate& certificate, const QSslKey& key)
    {
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setLocalCertificate(certificate);
        tls.setPrivateKey(key);
        tls.setPeerVerifyMode(QSslSocket::VerifyNone);
        m_tls.setSslConfiguration(tls);
        m_secure = true;
        listenOn(m_tls);
    }

    // "http://127.0.0.1:port" or "https://127.0.0.1:port".
    QString baseUrl() const
    {
        const QTcpServer& server = m_secure ? static_cast<const QTcpServer&>(m_tls) : m_plain;
        return QStringLiteral("%1://127.0.0.1:%2").arg(m_secure ? "https" : "http").arg(server.serverPort());
    }
    void answer(const QByteArray& path, const LoopbackAnswer& answer) { m_routes[path] = answer; }
    // Answers for paths without a route; the default gives 404.
    void setFallback(std::function<LoopbackAnswer(const QByteArray& target)> fallback) { m_fallback = std::move(fallback); }
    QList<QByteArray> requests() const { return m_requests; }

private:
    void listenOn(QTcpServer& server, quint16 port = 0)
    {
        connect(&server, &QTcpServer::pendingConnectionAvailable, this, [this, &server] {
            while (QTcpSocket* socket = server.nextPendingConnection()) {
                socket->setParent(this);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                if (socket->bytesAvailable() > 0)
                    read(socket);
            }
        });
        server.listen(QHostAddress::LocalHost, port);
    }

    void read(QTcpSocket* socket)
    {
        QByteArray& pending = m_pending[socket];
        pending += socket->readAll();
        const qsizetype end = pending.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QList<QByteArray> requestLine = pending.left(pending.indexOf("\r\n")).split(' ');
        m_pending.remove(socket);
        const QByteArray target = requestLine.value(1);
        m_requests.append(target);
        const QByteArray path = target.left(target.indexOf('?') < 0 ? target.size() : target.indexOf('?'));
        LoopbackAnswer answer;
        if (m_routes.contains(path))
            answer = m_routes.value(path);
        else if (m_fallback)
            answer = m_fallback(target);
        else
            answer.status = 404;
        if (answer.delayMs > 0) {
            QTimer::singleShot(answer.delayMs, this, [this, socket = QPointer<QTcpSocket>(socket), answer] {
                if (socket)
                    write(socket, answer);
            });
            return;
        }
        write(socket, answer);
    }

    void write(QTcpSocket* socket, const LoopbackAnswer& answer)
    {
        QByteArray head = "HTTP/1.1 " + QByteArray::number(answer.status) + " Answer\r\nContent-Length: "
                          + QByteArray::number(answer.body.size()) + "\r\nConnection: close\r\n";
        for (const auto& header : std::as_const(answer.headers))
            head += header.first + ": " + header.second + "\r\n";
        socket->write(head + "\r\n");
        if (answer.stall) {
            socket->write(answer.body.left(answer.body.size() / 2));
            return;
        }
        socket->write(answer.body);
        socket->disconnectFromHost();
    }

    QTcpServer m_plain;
    QSslServer m_tls;
    bool m_secure = false;
    QMap<QByteArray, LoopbackAnswer> m_routes;
    QMap<QTcpSocket*, QByteArray> m_pending;
    std::function<LoopbackAnswer(const QByteArray&)> m_fallback;
    QList<QByteArray> m_requests;
};
